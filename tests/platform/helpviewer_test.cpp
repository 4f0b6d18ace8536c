#include "helpviewer.h"

#include <QScrollBar>
#include <QTextBrowser>

#include <gtest/gtest.h>

using tarvik::HelpViewer;

// Every topic a Help button of the programs opens is in the delivered file.
TEST(HelpViewer, DeliveredFileHasEveryTopicTheProgramsOpen)
{
    HelpViewer viewer;
    for (int topic : {1, 4, 5, 6, 7, 8, 9, 10, 19, 89, 91, 93, 95, 97, 99}) {
        SCOPED_TRACE(topic);
        viewer.showTopic(QStringLiteral(TARVIK_DELIVERED_HELP), topic);
        EXPECT_EQ(viewer.browser()->source().fragment(), HelpViewer::topicAnchor(topic));
        EXPECT_TRUE(viewer.browser()->toHtml().contains(QStringLiteral("name=\"topic-%1\"").arg(topic)));
    }
}

TEST(HelpViewer, OpensAtTheTopicsHeading)
{
    HelpViewer viewer;
    viewer.resize(400, 200);
    viewer.show();
    viewer.showTopic(QStringLiteral(TARVIK_DELIVERED_HELP), 19);
    EXPECT_GT(viewer.browser()->verticalScrollBar()->value(), 0) << "topic 19 is far down the file";
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("Очистка состояния пользователей")));
}

TEST(HelpViewer, MissingFileIsSaidInTheWindow)
{
    HelpViewer viewer;
    viewer.showTopic(QStringLiteral("/nowhere/Tarvik.html"), 1);
    EXPECT_TRUE(viewer.browser()->toPlainText().contains(QStringLiteral("/nowhere/Tarvik.html")));
}
