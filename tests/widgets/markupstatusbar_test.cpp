#include "markupstatusbar.h"
#include "platformscope.h"
#include "scriptedplatform.h"
#include "wallclock.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using tarvik::widgets::MarkupStatusBar;

namespace {

// The main window's bar: user, role, exclusive mark, NUM, CAPS, clock.
void addMainWindowPanels(MarkupStatusBar& bar)
{
    bar.addPanel(280, Qt::AlignLeft, true);
    bar.addPanel(120, Qt::AlignHCenter, true);
    bar.addPanel(25, Qt::AlignHCenter, true);
    bar.addPanel(40);
    bar.addPanel(40);
    bar.addPanel(200);
}

// The columns in which a panel has red pixels, as [first, last].
std::pair<int, int> redColumns(MarkupStatusBar& bar)
{
    const QImage image = bar.grab().toImage();
    int first = -1;
    int last = -1;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y) {
            const QColor c = image.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 80 && c.blue() < 80) {
                if (first < 0)
                    first = x;
                last = x;
            }
        }
    return {first, last};
}

} // namespace

TEST(MarkupStatusBar, PanelsLieSideBySideWithTheirWidths)
{
    MarkupStatusBar bar;
    addMainWindowPanels(bar);
    bar.resize(800, bar.sizeHint().height());
    EXPECT_EQ(bar.panelCount(), 6);
    const QList<int> lefts{0, 280, 400, 425, 465, 505};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(bar.panelRect(i).left(), lefts[i]) << i;
    // The window's resize rule sets the clock panel to its width less 600.
    bar.setPanelWidth(5, 1000 - 600);
    EXPECT_EQ(bar.panelWidth(5), 400);
    EXPECT_EQ(bar.panelAt(QPoint(290, 5)), 1);
    EXPECT_EQ(bar.panelAt(QPoint(906, 5)), -1);
    EXPECT_EQ(bar.panelAlignment(1), Qt::AlignHCenter);
}

TEST(MarkupStatusBar, RichPanelsDrawMarkupAlignedInTheirPanel)
{
    MarkupStatusBar bar;
    addMainWindowPanels(bar);
    bar.resize(800, bar.sizeHint().height());
    bar.setPanelText(0, QStringLiteral("<font color=\"clRed\"><b>Админ</b></font>"));
    auto [first, last] = redColumns(bar);
    EXPECT_GE(first, 0);
    EXPECT_LT(first, 20) << "panel 0 is left-aligned";

    bar.setPanelText(0, QString());
    bar.setPanelText(1, QStringLiteral("<font color=\"clRed\">М</font>"));
    std::tie(first, last) = redColumns(bar);
    const int centre = 280 + 60;
    EXPECT_NEAR((first + last) / 2, centre, 3) << "panel 1 is centred";

    // A plain panel shows the markup as it is written, in the text colour.
    bar.setPanelText(1, QString());
    bar.setPanelText(3, QStringLiteral("<font color=\"clRed\">NUM</font>"));
    EXPECT_EQ(redColumns(bar).first, -1);
}

TEST(MarkupStatusBar, ClickOnALinkInARichPanelReportsIt)
{
    MarkupStatusBar bar;
    addMainWindowPanels(bar);
    bar.resize(800, 24);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    bar.setPanelText(0, QStringLiteral("<a href=\"me\">Иван Петров</a>"));
    QSignalSpy clicked(&bar, &MarkupStatusBar::linkClicked);
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(10, 12));
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(260, 12));
    ASSERT_EQ(clicked.size(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 0);
    EXPECT_EQ(clicked.at(0).at(1).toString(), "me");
}

TEST(MarkupStatusBar, ClockPanelFollowsThePlatformClock)
{
    tarvik::ScriptedPlatform platform;
    tarvik::PlatformScope scope(platform);
    platform.setNow(tarvik::wallClock(QDate(2002, 7, 12), QTime(14, 30, 0)));
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    MarkupStatusBar bar;
    addMainWindowPanels(bar);
    bar.setClockPanel(5, QStringLiteral("dd MMMM yyyy г. hh:mm:ss"));
    EXPECT_EQ(bar.panelText(5), "12 июля 2002 г. 14:30:00");
    platform.advanceClock(1);
    QTRY_COMPARE_WITH_TIMEOUT(bar.panelText(5), QStringLiteral("12 июля 2002 г. 14:30:01"), 3000);
    QLocale::setDefault(QLocale::system());
}

// Painted by the bar itself, the panels reach a screen reader only through
// the bar's accessible children: a rich panel as the plain text of its markup.
TEST(MarkupStatusBar, PanelsReadAsStaticTexts)
{
    MarkupStatusBar bar;
    addMainWindowPanels(bar);
    bar.resize(800, bar.sizeHint().height());
    bar.setPanelText(0, QStringLiteral("<b><font color=\"clRed\">Иванов</font></b>"));
    bar.setPanelText(3, QStringLiteral("NUM"));
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(&bar);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->childCount(), 6);
    EXPECT_EQ(iface->child(0)->text(QAccessible::Name), QStringLiteral("Иванов"));
    EXPECT_EQ(iface->child(3)->text(QAccessible::Name), QStringLiteral("NUM"));
    EXPECT_EQ(iface->child(0)->role(), QAccessible::StaticText);
    const QPoint num = bar.mapToGlobal(bar.panelRect(3).center());
    EXPECT_EQ(iface->childAt(num.x(), num.y()), iface->child(3));
    EXPECT_EQ(iface->indexOfChild(iface->child(3)), 3);
}
