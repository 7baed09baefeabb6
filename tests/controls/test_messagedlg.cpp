#include "pickers/MessageDlgEx.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

TEST(MessageDlgEx, KindsShowTheirButtonsAndEachButtonGivesItsResult)
{
    struct Case {
        int kind;
        std::vector<TModalResult> buttons;
        std::vector<QString> captions;
    };
    const Case cases[] = {
        {0, {mrYes, mrNo}, {QStringLiteral("&Yes"), QStringLiteral("&No")}},
        {1, {mrYes, mrNo, mrCancel}, {QStringLiteral("&Yes"), QStringLiteral("&No"), QStringLiteral("&Cancel")}},
        {2, {mrOk}, {QStringLiteral("OK")}},
    };
    for (const Case& c : cases) {
        for (std::size_t i = 0; i < c.buttons.size(); ++i) {
            TfrmMessageDlgEx box;
            box.SetKind(c.kind);
            box.show();
            std::vector<QString> shown;
            for (QPushButton* b : box.findChildren<QPushButton*>())
                if (b->isVisible())
                    shown.push_back(b->text());
            EXPECT_EQ(shown, c.captions) << "kind " << c.kind;
            QPushButton* button = box.Button(c.buttons[i]);
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), c.captions[i]);
            QTest::mouseClick(button, Qt::LeftButton);
            EXPECT_EQ(box.ModalResult(), c.buttons[i]) << "kind " << c.kind;
            EXPECT_FALSE(box.isVisible());
        }
    }
    EXPECT_EQ(static_cast<int>(mrYes), 6);
    EXPECT_EQ(static_cast<int>(mrNo), 7);
    EXPECT_EQ(static_cast<int>(mrCancel), 2);
    EXPECT_EQ(static_cast<int>(mrOk), 1);

    // Buttons a kind does not have are not offered.
    TfrmMessageDlgEx box;
    box.SetKind(0);
    EXPECT_EQ(box.Button(mrCancel), nullptr);
    EXPECT_EQ(box.Button(mrOk), nullptr);
}

TEST(MessageDlgEx, CaptionTextCheckBoxAndDismissal)
{
    TfrmMessageDlgEx box;
    EXPECT_EQ(box.windowTitle(), QStringLiteral("Warning"));
    EXPECT_EQ(box.CheckBox()->text(), QStringLiteral("Do not show again"));
    EXPECT_FALSE(box.Checked());

    box.SetText(QStringLiteral("Delete the swatch <b>Sky</b>?"));
    EXPECT_EQ(box.Text(), QStringLiteral("Delete the swatch <b>Sky</b>?"));
    const auto labels = box.findChildren<QLabel*>();
    const bool rich = std::any_of(labels.begin(), labels.end(),
        [](QLabel* l) { return l->textFormat() == Qt::RichText && l->text().contains(QStringLiteral("<b>")); });
    EXPECT_TRUE(rich);

    box.SetKind(0);
    box.show();
    QTest::mouseClick(box.CheckBox(), Qt::LeftButton);
    EXPECT_TRUE(box.Checked());
    // Esc picks no button: the box was dismissed, which reads as Cancel; the check survives.
    QTest::keyClick(&box, Qt::Key_Escape);
    EXPECT_EQ(box.ModalResult(), mrCancel);
    EXPECT_TRUE(box.Checked());

    box.SetChecked(false);
    EXPECT_FALSE(box.CheckBox()->isChecked());
}

TEST(MessageDlgEx, OpensCentredOnItsParentWindow)
{
    QWidget main;
    main.setGeometry(100, 80, 900, 600);
    main.show();
    TfrmMessageDlgEx box(&main);
    box.SetText(QStringLiteral("Clear the palette?"));
    box.SetKind(1);
    box.show();
    // Within the window frame's margin, which is not known before the box is first shown.
    const QPoint offset = box.geometry().center() - main.geometry().center();
    EXPECT_LE(std::abs(offset.x()), 2);
    EXPECT_LE(std::abs(offset.y()), 2);
    box.close();
}
