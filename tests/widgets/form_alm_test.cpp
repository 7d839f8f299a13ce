// The data loading status window: its memo, the line format and the clear
// on close.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "platform/widgets.h"
#include "support/ui_find.h"
#include "transfer/form_alm.h"

TEST(FormAlm, MemoFillsTheWindowReadOnlyWithItsHint)
{
    TForm_Alm form;
    EXPECT_EQ(form.windowTitle(), "Data Loading Status");
    EXPECT_EQ(form.objectName(), "Form_Alm");
    const QPlainTextEdit* memo = Ui<QPlainTextEdit>(&form, "Memo_Alm");
    EXPECT_EQ(memo->geometry(), form.rect());
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(HintOf(memo), "Almanac Loading: packets 38, 58.");
    EXPECT_EQ(memo->toPlainText(), "");
}

TEST(FormAlm, LinesGoInAtTheCaretWithTheirTrailingBlanksAndCloseClearsThem)
{
    TForm_Alm form;
    form.WriteLine("Ionosphere data... ");
    form.WriteLine("   Data block acknowledged");
    QPlainTextEdit* memo = Ui<QPlainTextEdit>(&form, "Memo_Alm");
    EXPECT_EQ(memo->toPlainText(), "Ionosphere data... \n   Data block acknowledged\n");

    // A selection is replaced by the next line.
    QTextCursor c = memo->textCursor();
    c.setPosition(0);
    c.setPosition(3, QTextCursor::KeepAnchor);
    memo->setTextCursor(c);
    form.WriteLine("X");
    EXPECT_EQ(memo->toPlainText(), "X\nosphere data... \n   Data block acknowledged\n");

    form.showForm();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(memo->toPlainText(), "");
    form.WriteLine("Almanac download complete.");
    EXPECT_EQ(memo->toPlainText(), "Almanac download complete.\n");
}
