// The data loading status window of the almanac and ephemeris transfers,
// caption "Data Loading Status". Created hidden at start; each transfer shows
// it and writes its progress lines into the memo.
#pragma once

#include "platform/widgets.h"

class QPlainTextEdit;

class TForm_Alm : public Form {
    Q_OBJECT
public:
    TForm_Alm();

    // Inserts the message and CR LF at the memo's caret.
    void WriteLine(const QString& message);
    // Closing the window clears the memo, so the next transfer starts afresh.
    void FormClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QPlainTextEdit* Memo_Alm = nullptr;
};

extern TForm_Alm* Form_Alm;

// Writes a progress line into the status window, if it exists.
void AlmMessage(const QString& message);
