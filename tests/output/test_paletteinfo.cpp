#include "output/PaletteInfo.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(PaletteInfo, FormCaptionSizeAndLabels)
{
    TfrmPaletteInfo dlg;
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Color Palette"));
    EXPECT_EQ(dlg.size(), QSize(412, 264));
    EXPECT_EQ(dlg.minimumSize(), dlg.maximumSize());
    EXPECT_EQ(dlg.edcPaletteTitle->width(), 305);
    EXPECT_EQ(dlg.memoDescription->size(), QSize(305, 89));
    EXPECT_TRUE(dlg.btnOK->isDefault());
    // Every field has its label, and the label's mnemonic leads to it.
    const std::pair<const char*, QWidget*> labels[] = {{"&Palette Title", dlg.edcPaletteTitle},
        {"&Description", dlg.memoDescription}, {"&URL", dlg.edcPaletteURL}, {"&Author", dlg.edcAuthor}};
    for (const auto& [text, field] : labels) {
        const QLabel* found = nullptr;
        for (const QLabel* label : dlg.findChildren<QLabel*>())
            if (label->text() == QLatin1String(text))
                found = label;
        ASSERT_NE(found, nullptr) << text;
        EXPECT_EQ(found->buddy(), field) << text;
    }
    // OK and Cancel stand in a column right of the fields.
    EXPECT_GT(dlg.btnOK->x(), dlg.edcPaletteTitle->geometry().right());
    EXPECT_EQ(dlg.btnOK->x(), dlg.btnCancel->x());
}

TEST(PaletteInfo, ReadsBackTrimmedExceptUrlAndKeywords)
{
    TfrmPaletteInfo dlg;
    dlg.SetTitle(QStringLiteral("  Herbst\t"));
    dlg.SetDescription(QStringLiteral("\n Laub und Äpfel \n"));
    dlg.SetURL(QStringLiteral(" http://example.org/ "));
    dlg.SetAuthor(QStringLiteral("\tJörg "));
    dlg.SetKeywords(QStringLiteral("  rot,  gelb  "));
    EXPECT_EQ(dlg.Title(), QStringLiteral("Herbst"));
    EXPECT_EQ(dlg.Description(), QStringLiteral("Laub und Äpfel"));
    EXPECT_EQ(dlg.URL(), QStringLiteral(" http://example.org/ "));
    EXPECT_EQ(dlg.Author(), QStringLiteral("Jörg"));
    EXPECT_EQ(dlg.Keywords(), QStringLiteral("  rot,  gelb  "));
    // A non-breaking space is text, not a blank.
    dlg.SetTitle(QStringLiteral("\u00A0A "));
    EXPECT_EQ(dlg.Title(), QStringLiteral("\u00A0A"));
}

TEST(PaletteInfo, DescriptionWithWindowsLineBreaksComesBackUnchanged)
{
    TfrmPaletteInfo dlg;
    dlg.SetDescription(QStringLiteral("one\r\ntwo\r\n\r\nthree"));
    EXPECT_EQ(dlg.Description(), QStringLiteral("one\r\ntwo\r\n\r\nthree"));
    dlg.memoDescription->appendPlainText(QStringLiteral("four"));
    EXPECT_EQ(dlg.Description(), QStringLiteral("one\r\ntwo\r\n\r\nthree\r\nfour"));
}

TEST(PaletteInfo, ShowFocusesTheTitleWithItsTextSelected)
{
    TfrmPaletteInfo dlg;
    dlg.SetTitle(QStringLiteral("Palette 3"));
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    EXPECT_EQ(QApplication::focusWidget(), dlg.edcPaletteTitle);
    EXPECT_EQ(dlg.edcPaletteTitle->selectedText(), QStringLiteral("Palette 3"));
    // Typing replaces the offered title.
    QTest::keyClicks(dlg.edcPaletteTitle, QStringLiteral("Mine"));
    EXPECT_EQ(dlg.Title(), QStringLiteral("Mine"));
}

TEST(PaletteInfo, CancelHandsTheKeywordsBackExactly)
{
    TfrmPaletteInfo dlg;
    dlg.SetKeywords(QStringLiteral(" a,\tb "));
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QTest::keyClicks(dlg.edcAuthor, QStringLiteral("x"));
    QTest::keyClick(&dlg, Qt::Key_Escape);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.Keywords(), QStringLiteral(" a,\tb "));
}

TEST(PaletteInfo, EnterInAnEditIsOk)
{
    TfrmPaletteInfo dlg;
    dlg.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    QTest::keyClick(dlg.edcPaletteTitle, Qt::Key_Return);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

} // namespace
