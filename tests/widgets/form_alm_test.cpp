// The data loading status window: its memo, the line format and the clear
// on close.
#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>

#include "platform/widgets.h"
#include "transfer/form_alm.h"

TEST(FormAlm, MemoFillsTheWindowReadOnlyWithItsHint)
{
    TForm_Alm form;
    EXPECT_EQ(form.windowTitle(), "Data Loading Status");
    EXPECT_EQ(form.objectName(), "Form_Alm");
    ASSERT_NE(form.Memo_Alm, nullptr);
    EXPECT_EQ(form.Memo_Alm->objectName(), "Memo_Alm");
    EXPECT_EQ(form.Memo_Alm->geometry(), form.rect());
    EXPECT_TRUE(form.Memo_Alm->isReadOnly());
    EXPECT_EQ(form.Memo_Alm->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(HintOf(form.Memo_Alm), "Almanac Loading: packets 38, 58.");
    EXPECT_EQ(form.Memo_Alm->toPlainText(), "");
}

TEST(FormAlm, LinesGoInAtTheCaretWithTheirTrailingBlanksAndCloseClearsThem)
{
    TForm_Alm form;
    form.WriteLine("Ionosphere data... ");
    form.WriteLine("   Data block acknowledged");
    EXPECT_EQ(form.Memo_Alm->toPlainText(), "Ionosphere data... \n   Data block acknowledged\n");

    // A selection is replaced by the next line.
    QTextCursor c = form.Memo_Alm->textCursor();
    c.setPosition(0);
    c.setPosition(3, QTextCursor::KeepAnchor);
    form.Memo_Alm->setTextCursor(c);
    form.WriteLine("X");
    EXPECT_EQ(form.Memo_Alm->toPlainText(), "X\nosphere data... \n   Data block acknowledged\n");

    form.showForm();
    form.close();
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Memo_Alm->toPlainText(), "");
    form.WriteLine("Almanac download complete.");
    EXPECT_EQ(form.Memo_Alm->toPlainText(), "Almanac download complete.\n");
}
