#include "transfer/form_alm.h"

#include <QCloseEvent>
#include <QPlainTextEdit>

TForm_Alm* Form_Alm = nullptr;

namespace {
// Designed outer size 265 x 349; the client area is that less the window frame.
constexpr int kClientWidth = 257;
constexpr int kClientHeight = 322;
} // namespace

TForm_Alm::TForm_Alm() : Form("Form_Alm", "Data Loading Status", kClientWidth, kClientHeight)
{
    Memo_Alm = new QPlainTextEdit(this);
    Place(Memo_Alm, "Memo_Alm", 0, 0, kClientWidth, kClientHeight);
    Memo_Alm->setReadOnly(true);
    Memo_Alm->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    SetHint(Memo_Alm, "Almanac Loading: packets 38, 58.");
}

void TForm_Alm::WriteLine(const QString& message)
{
    // At the caret, replacing any selection: lines follow each other as long
    // as the user leaves the caret where the last line put it.
    Memo_Alm->insertPlainText(message + QStringLiteral("\r\n"));
    Memo_Alm->ensureCursorVisible();
}

void TForm_Alm::FormClose() { Memo_Alm->clear(); }

void TForm_Alm::closeEvent(QCloseEvent* event)
{
    FormClose();
    Form::closeEvent(event);
}

void AlmMessage(const QString& message)
{
    if (Form_Alm)
        Form_Alm->WriteLine(message);
}
