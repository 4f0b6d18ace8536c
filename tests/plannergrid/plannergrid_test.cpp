// The planner grid on its own, offscreen: selecting cells, items created
// over them, dragging and resizing with the fixing flags, overlapping items,
// links, keys and what is painted.

#include "plannergrid.h"
#include "wallclock.h"

#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <cctype>

#include <gtest/gtest.h>

using namespace tarvik::widgets;

namespace {

class PlannerGridTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        grid.resize(640, 520);
        grid.setPositions(3);
        grid.setHeaderCaptions(
            {QString(), QStringLiteral("Склад"), QStringLiteral("Цех"), QStringLiteral("Офис")});
        grid.setMinutesPerRow(30);
        grid.setFirstRow(16); // 08:00
        grid.setLastRow(40);  // 20:00
        grid.setWorkingRows(2, 20);
        grid.setRowHeight(20);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    [[nodiscard]] QDateTime at(int h, int m = 0) const
    {
        return tarvik::wallClock(grid.rowMap().baseDate(), QTime(h, m));
    }

    PlannerItem* addItem(int position, QDateTime start, QDateTime end, const QString& text = {})
    {
        PlannerItem item = grid.defaultItem();
        item.position = position;
        item.start = start;
        item.end = end;
        item.text = text;
        PlannerItem* added = grid.addItem(item);
        grid.itemsChanged();
        return added;
    }

    void drag(const QPoint& from, const QPoint& to)
    {
        QWidget* vp = grid.viewport();
        QTest::mousePress(vp, Qt::LeftButton, {}, from);
        QTest::mouseMove(vp, (from + to) / 2);
        QTest::mouseMove(vp, to);
        QTest::mouseRelease(vp, Qt::LeftButton, {}, to);
    }

    [[nodiscard]] QPoint rowsDown(const QPoint& p, int rows, int columns = 0) const
    {
        const QRect cell = grid.cellRect(0, 16);
        return p + QPoint(columns * cell.width(), rows * cell.height());
    }

    [[nodiscard]] int captionHeight() const
    {
        return QFontMetrics(grid.defaultItem().captionFont).height() + 4;
    }

    PlannerGrid grid;
};

} // namespace

TEST_F(PlannerGridTest, CellsSelectedByMouseGiveTheirTimeSpanAndAnUnboundItem)
{
    QSignalSpy cells(&grid, &PlannerGrid::cellsSelected);
    drag(grid.cellRect(1, 18).center(), grid.cellRect(1, 19).center());
    ASSERT_EQ(cells.size(), 1);
    EXPECT_EQ(cells.at(0).at(0).toInt(), 1);
    EXPECT_EQ(cells.at(0).at(1).toDateTime(), at(9));
    EXPECT_EQ(cells.at(0).at(2).toDateTime(), at(10));

    PlannerItem* item = grid.createItemAtSelection(false);
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->bound);
    EXPECT_EQ(item->start, at(9));
    EXPECT_EQ(item->end, at(10));
    EXPECT_EQ(item->position, 1);
    EXPECT_EQ(grid.itemRect(item).top(), grid.cellRect(1, 18).top());
    EXPECT_EQ(grid.itemAt(grid.cellRect(1, 19).center()), item);
    EXPECT_EQ(grid.itemAt(grid.cellRect(1, 20).center()), nullptr);
    // Without a source there is nothing to bind a new item to.
    EXPECT_EQ(grid.createItemAtSelection(true), nullptr);
}

TEST_F(PlannerGridTest, DragMovesInTimeAndAcrossColumnsAndReportsBothPlaces)
{
    PlannerItem* item = addItem(0, at(9), at(10));
    QSignalSpy moved(&grid, &PlannerGrid::itemMoved);
    drag(grid.itemRect(item).center(), rowsDown(grid.itemRect(item).center(), 3, 2));
    ASSERT_EQ(moved.size(), 1);
    const auto move = moved.at(0).at(1).value<PlannerMove>();
    EXPECT_EQ(move.oldStart, at(9));
    EXPECT_EQ(move.oldEnd, at(10));
    EXPECT_EQ(move.oldPosition, 0);
    EXPECT_EQ(move.newStart, at(10, 30));
    EXPECT_EQ(move.newEnd, at(11, 30));
    EXPECT_EQ(move.newPosition, 2);
    EXPECT_EQ(item->start, at(10, 30));
    EXPECT_TRUE(item->selected);
}

TEST_F(PlannerGridTest, BottomEdgeResizesAndAHandlerMayPutTheItemBack)
{
    PlannerItem* item = addItem(1, at(9), at(10));
    QSignalSpy moved(&grid, &PlannerGrid::itemMoved);
    const QRect r = grid.itemRect(item);
    const QPoint edge(r.center().x(), r.bottom() - 1);
    drag(edge, rowsDown(edge, 2));
    ASSERT_EQ(moved.size(), 1);
    EXPECT_EQ(moved.at(0).at(1).value<PlannerMove>().newEnd, at(11));
    EXPECT_EQ(item->start, at(9));

    // A refused move: the handler restores the former place.
    QObject::connect(&grid, &PlannerGrid::itemMoved, &grid, [this](PlannerItem* it, const PlannerMove& m) {
        grid.moveItem(it, m.oldStart, m.oldEnd, m.oldPosition);
    });
    drag(grid.itemRect(item).center(), rowsDown(grid.itemRect(item).center(), 2, 1));
    EXPECT_EQ(moved.size(), 2);
    EXPECT_EQ(item->start, at(9));
    EXPECT_EQ(item->end, at(11));
    EXPECT_EQ(item->position, 1);
}

namespace {

struct FixingCase
{
    const char* name;
    bool fixedTime, fixedPosition, fixedSize;
    bool onEdge;
    int startShift; // in 30-minute rows
    int endShift;
    int positionShift;
};

// Names the case in test names instead of its bytes.
void PrintTo(const FixingCase& c, std::ostream* os)
{
    *os << c.name;
}

class FixingFlags : public PlannerGridTest, public ::testing::WithParamInterface<FixingCase>
{
};

} // namespace

// A drag two rows down and one column right, from the middle or the bottom
// edge, under each fixing flag.
TEST_P(FixingFlags, LimitWhatADragChanges)
{
    const FixingCase c = GetParam();
    PlannerItem* item = addItem(0, at(9), at(10));
    item->fixedTime = c.fixedTime;
    item->fixedPosition = c.fixedPosition;
    item->fixedSize = c.fixedSize;
    QSignalSpy moved(&grid, &PlannerGrid::itemMoved);
    const QRect r = grid.itemRect(item);
    const QPoint from = c.onEdge ? QPoint(r.center().x(), r.bottom() - 1) : r.center();
    drag(from, rowsDown(from, 2, 1));
    EXPECT_EQ(item->start, at(9).addSecs(c.startShift * 1800)) << c.name;
    EXPECT_EQ(item->end, at(10).addSecs(c.endShift * 1800)) << c.name;
    EXPECT_EQ(item->position, c.positionShift) << c.name;
    const bool changed = c.startShift || c.endShift || c.positionShift;
    EXPECT_EQ(moved.size(), changed ? 1 : 0) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Flags, FixingFlags,
    ::testing::Values(FixingCase{"free", false, false, false, false, 2, 2, 1},
                      FixingCase{"fixed", true, true, true, false, 0, 0, 0},
                      FixingCase{"fixed, edge", true, true, true, true, 0, 0, 0},
                      FixingCase{"time fixed", true, false, false, false, 0, 0, 1},
                      FixingCase{"column fixed", false, true, false, false, 2, 2, 0},
                      FixingCase{"size fixed, edge moves", false, false, true, true, 2, 2, 1},
                      FixingCase{"free, edge resizes", false, false, false, true, 0, 2, 0}));

TEST_F(PlannerGridTest, OverlappingItemsStandSideBySide)
{
    PlannerItem* a = addItem(2, at(9), at(11));
    PlannerItem* b = addItem(2, at(10), at(12));
    PlannerItem* c = addItem(2, at(12), at(13)); // only touches b
    const QRect ra = grid.itemRect(a), rb = grid.itemRect(b), rc = grid.itemRect(c);
    EXPECT_FALSE(ra.intersects(rb));
    EXPECT_NEAR(ra.width(), rb.width(), 1);
    EXPECT_NEAR(rc.width(), ra.width() * 2, 3);
    EXPECT_GE(ra.left(), grid.cellRect(2, 18).left());
    EXPECT_LE(rb.right(), grid.cellRect(2, 18).right());
}

TEST_F(PlannerGridTest, LinkPressReportsItsTargetInsteadOfDragging)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::blue);
    grid.setImages(QList<QPixmap>(9, picture));
    PlannerItem* item = addItem(0, at(9), at(11),
                                QStringLiteral(R"(<a href="if3"><IMG src="idx:3"></a><IMG src="idx:8"><br>)"
                                               R"(<a href="user12"><font size="20">Автор</font></a>)"));
    QSignalSpy anchors(&grid, &PlannerGrid::anchorClicked);
    QSignalSpy moved(&grid, &PlannerGrid::itemMoved);
    const QRect r = grid.itemRect(item);
    const QPoint onPicture(r.left() + PlannerGrid::kTrackWidth + 8, r.top() + captionHeight() + 9);
    drag(onPicture, rowsDown(onPicture, 1));
    ASSERT_EQ(anchors.size(), 1);
    EXPECT_EQ(anchors.at(0).at(0).value<PlannerItem*>(), item);
    EXPECT_EQ(anchors.at(0).at(1).toString(), QStringLiteral("if3"));
    EXPECT_EQ(moved.size(), 0);
    EXPECT_TRUE(item->selected);

    const QPoint onAuthor(r.left() + PlannerGrid::kTrackWidth + 12, r.top() + captionHeight() + 36);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, {}, onAuthor);
    ASSERT_EQ(anchors.size(), 2);
    EXPECT_EQ(anchors.at(1).at(1).toString(), QStringLiteral("user12"));
}

TEST_F(PlannerGridTest, DoubleClickAndDeleteKeyAreReported)
{
    PlannerItem* item = addItem(1, at(14), at(15));
    QSignalSpy doubles(&grid, &PlannerGrid::itemDoubleClicked);
    QSignalSpy deletes(&grid, &PlannerGrid::itemDeleteRequested);
    QTest::keyClick(&grid, Qt::Key_Delete);
    EXPECT_EQ(deletes.size(), 0); // nothing selected
    QTest::mouseDClick(grid.viewport(), Qt::LeftButton, {}, grid.itemRect(item).center());
    ASSERT_EQ(doubles.size(), 1);
    EXPECT_EQ(doubles.at(0).at(0).value<PlannerItem*>(), item);
    QTest::keyClick(&grid, Qt::Key_Delete);
    ASSERT_EQ(deletes.size(), 1);
    EXPECT_EQ(deletes.at(0).at(0).value<PlannerItem*>(), item);
}

TEST_F(PlannerGridTest, EnsureVisibleScrollsALateItemIntoView)
{
    PlannerItem* late = addItem(0, at(20), at(20, 30));
    ASSERT_GT(grid.verticalScrollBar()->maximum(), 0);
    EXPECT_GT(grid.itemRect(late).bottom(), grid.viewport()->height());
    grid.ensureVisible(late);
    EXPECT_LE(grid.itemRect(late).bottom(), grid.viewport()->height());
    EXPECT_GE(grid.itemRect(late).top(), PlannerGrid::kCaptionHeight + PlannerGrid::kHeaderHeight);
}

// The colours the program relies on: the accent caption bar, white working
// rows and grey other rows, selected items on the tooltip background.
TEST_F(PlannerGridTest, PaintsCaptionRowsAndSelectionColours)
{
    PlannerItem* a = addItem(1, at(9), at(10, 30));
    PlannerItem* b = addItem(2, at(9), at(10, 30));
    a->color = b->color = QColor(200, 255, 200);
    grid.selectItem(a);
    grid.setCaptionTitle(QStringLiteral("4 марта 2024, понедельник"));
    const QImage image = grid.viewport()->grab().toImage();
    EXPECT_EQ(image.pixelColor(grid.sidebarWidth() + 3, 3), QColor(177, 185, 207));
    EXPECT_EQ(image.pixelColor(grid.cellRect(0, 16).center()), QColor(234, 234, 234));
    EXPECT_EQ(image.pixelColor(grid.cellRect(0, 20).center()), QColor(Qt::white));
    const auto bodyPixel = [&](const PlannerItem* it) {
        const QRect r = grid.itemRect(it);
        return image.pixelColor(r.right() - 4, r.bottom() - 4);
    };
    EXPECT_EQ(bodyPixel(a), QToolTip::palette().color(QPalette::ToolTipBase));
    EXPECT_EQ(bodyPixel(b), QColor(200, 255, 200));
    const QRect r = grid.itemRect(b);
    EXPECT_EQ(image.pixelColor(r.left() + 1, r.center().y()), b->trackColor);

    // A non-working weekday has no working rows.
    grid.setInactiveDay(Qt::DayOfWeek(grid.rowMap().baseDate().dayOfWeek()), true);
    const QImage inactive = grid.viewport()->grab().toImage();
    EXPECT_EQ(inactive.pixelColor(grid.cellRect(0, 20).center()), QColor(234, 234, 234));
}

// The current cell follows every click, an item's cell and a right click
// included; a right click inside the selection keeps it. New columns or
// other rows forget both, and the top left cell in view stands in.
TEST_F(PlannerGridTest, CurrentCellFollowsClicksAndGoesWithColumnsAndRows)
{
    QWidget* vp = grid.viewport();
    EXPECT_EQ(grid.currentCell(), QPoint(0, 16));
    PlannerItem* item = addItem(2, at(12), at(13));
    QTest::mouseClick(vp, Qt::LeftButton, {}, grid.cellRect(2, 25).center());
    EXPECT_EQ(grid.selectedItem(), item);
    EXPECT_EQ(grid.currentCell(), QPoint(2, 25));
    grid.selectCurrentCellIfNone();
    EXPECT_EQ(grid.selectionStart(), at(12, 30));
    EXPECT_EQ(grid.selectionEnd(), at(13));

    drag(grid.cellRect(1, 18).center(), grid.cellRect(1, 21).center());
    QTest::mouseClick(vp, Qt::RightButton, {}, grid.cellRect(1, 20).center());
    EXPECT_EQ(grid.selectionStart(), at(9));
    EXPECT_EQ(grid.selectionEnd(), at(11)) << "a right click inside the selection keeps it";
    QTest::mouseClick(vp, Qt::RightButton, {}, grid.cellRect(0, 30).center());
    EXPECT_EQ(grid.selectionPosition(), 0);
    EXPECT_EQ(grid.selectionStart(), at(15));
    EXPECT_EQ(grid.selectionEnd(), at(15, 30));

    grid.setLastRow(47);
    EXPECT_FALSE(grid.hasCellSelection());
    EXPECT_EQ(grid.currentCell(), QPoint(0, 16));
    grid.selectCells(2, 47, 47);
    EXPECT_EQ(grid.selectionEnd(), at(23, 59)) << "the day's last cell ends within the day";
    grid.setPositions(2);
    EXPECT_FALSE(grid.hasCellSelection());
    grid.selectCells(5, 10, 60);
    EXPECT_EQ(grid.selectionPosition(), 1);
    EXPECT_EQ(grid.selectionStart(), at(8)) << "only cells shown can be selected";
}

// Items are drawn from pictures kept between paints. A look changed in
// place (as a reloaded row replaces its item), a removed item and a new one
// where it stood must each show as they are now.
TEST_F(PlannerGridTest, PaintShowsItemsAsTheyAreNowAfterInPlaceChangesAndRemoval)
{
    PlannerItem* a = addItem(0, at(9), at(10), QStringLiteral("<b>Склад</b>"));
    PlannerItem* b = addItem(1, at(9), at(10), QStringLiteral("Цех"));
    b->bound = true;
    b->key = 7;
    grid.itemsChanged();
    // Idle time draws the pictures of what was painted last.
    const auto shown = [this](const PlannerItem* it) {
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return grid.viewport()->grab().copy(grid.itemRect(it));
    };
    const auto body = [&](const PlannerItem* it) {
        const QImage image = shown(it).toImage();
        return image.pixelColor(image.width() - 4, image.height() - 4);
    };
    const QImage first = shown(a).toImage();
    a->text = QStringLiteral("<b>Офис</b>");
    grid.itemsChanged();
    EXPECT_NE(shown(a).toImage(), first) << "a new text is drawn";
    a->text = QStringLiteral("<b>Склад</b>");
    grid.itemsChanged();
    EXPECT_EQ(shown(a).toImage(), first);

    PlannerItem fresh = *b;
    fresh.color = QColor(200, 255, 200);
    *b = std::move(fresh);
    grid.itemsChanged();
    EXPECT_EQ(body(b), QColor(200, 255, 200));
    grid.selectItem(b);
    EXPECT_EQ(body(b), QToolTip::palette().color(QPalette::ToolTipBase));

    const QRect place = grid.itemRect(a);
    grid.removeItem(a);
    EXPECT_EQ(grid.viewport()->grab().toImage().pixelColor(place.center() + QPoint(0, 5)), QColor(Qt::white));
    PlannerItem* c = addItem(0, at(9), at(10), QStringLiteral("<b>Склад</b>"));
    c->color = QColor(255, 220, 220);
    grid.itemsChanged();
    EXPECT_EQ(body(c), QColor(255, 220, 220));
}

// A scroll moves what is on screen and paints only the rows scrolled in;
// the result must be what painting the whole grid gives.
TEST_F(PlannerGridTest, ScrolledGridShowsWhatAWholePaintShows)
{
    grid.setRowHeight(40);
    for (int h = 8; h < 20; ++h)
        addItem(h % 3, at(h, 10), at(h + 1, 40), QStringLiteral("<b>%1</b>").arg(h));
    grid.selectCells(1, 30, 31);
    for (int step : {3, 5, -2}) {
        grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->value() + step * grid.rowHeight());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
        const QImage screen = grid.screen()->grabWindow(grid.winId()).toImage();
        const QRect vp(grid.viewport()->mapTo(&grid, QPoint(0, 0)), grid.viewport()->size());
        EXPECT_EQ(screen.copy(vp).convertToFormat(QImage::Format_RGB32),
                  grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32))
            << "after scrolling by " << step << " rows";
    }
}
