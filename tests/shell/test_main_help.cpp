// The help pages: every topic the program asks for has a page, unknown topics fall back
// to the contents, and no page links to a page that is not there.
#include "shell/HelpWindow.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTextBrowser>

#include <gtest/gtest.h>

TEST(HelpWindow, TopicsOfTheProgramHavePagesAndUnknownOnesOpenTheContents)
{
    // F1, the eyedropper settings, colours from an image, the swatch dialog.
    for (int topic : {1000, 2110, 5000, 6000})
        EXPECT_TRUE(THelpWindow::HasTopic(topic)) << topic;
    EXPECT_FALSE(THelpWindow::HasTopic(4242));

    THelpWindow window;
    EXPECT_EQ(window.ShowTopic(6000), 6000);
    auto* browser = window.findChild<QTextBrowser*>(QStringLiteral("HelpBrowser"));
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Color Swatch Info")));
    EXPECT_EQ(window.ShowTopic(4242), THelpWindow::kContentsTopic);
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("Korvel Help")));
}

TEST(HelpWindow, EveryLinkBetweenPagesResolves)
{
    THelpWindow::HasTopic(0); // registers the pages
    const QRegularExpression href(QStringLiteral("href=\"([^\"#:]+)[\"#]"));
    int pages = 0;
    for (QDirIterator it(QStringLiteral(":/help")); it.hasNext();) {
        const QString path = it.next();
        if (!path.endsWith(QStringLiteral(".html")))
            continue;
        ++pages;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (auto m = href.globalMatch(text); m.hasNext();) {
            const QString target = m.next().captured(1);
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + target)) << path.toStdString() << " -> "
                                                                          << target.toStdString();
        }
    }
    EXPECT_GE(pages, 4);
}
