// The planner page of a boss with 20 work places and 2,000 events in one
// month: from building the page after login to the month view's first paint
// offscreen, split into its steps; what a user then does on the month (a
// repaint, scrolling, dragging an item by one day); the day and week
// views after it; and the month as a screen reader reads it.

#include "benchdatabase.h"
#include "failures.h"
#include "offscreen.h"

#include "connection.h"
#include "dberror.h"
#include "optionlists.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "platformscope.h"
#include "query.h"
#include "roles.h"
#include "scriptedplatform.h"

#include <QAccessible>
#include <QApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QPixmap>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace tarvik;
using Clock = std::chrono::steady_clock;

constexpr int kEvents = 2000;
constexpr int kWorkPlaces = 20;
constexpr int kYear = 2026;
constexpr int kMonth = 3;
constexpr int kRepetitions = 9;
const QSize kPageSize(1280, 900);
// How long a user looks at the month before scrolling or dragging; the page
// may use it.
constexpr int kPauseMs = 500;
// Mouse moves of a one-row drag.
constexpr int kDragSteps = 3;

// One repetition's figures in milliseconds.
struct Sample
{
    double setup = 0; // page built, lists and options read, shown
    double load = 0;  // tree built, first entry chosen, events loaded
    double items = 0; // month view's items from the rows
    double paint = 0; // layout and the first paint of the page
    double dayItems = 0;
    double dayPaint = 0;
    double weekItems = 0;
    double weekPaint = 0;
    // On the month after its first paint.
    double repaint = 0;   // the whole grid painted again
    double newPage = 0;   // one page down, onto rows not shown before
    double shownPage = 0; // one page back up, onto rows shown before
    double dragPaint = 0; // the slowest repaint of a one-row drag
    double dragFrame = 0; // the slowest press or move with its repaint
    double dragWhole = 0; // press to release, the write and its repaint included
    // The month again, read by an accessibility client.
    int accessChildren = 0;
    double accessWalk = 0;    // every child's name and place read
    double accessChildAt = 0; // one child looked up by point, in microseconds
    double accessItems = 0;   // the month's items made again, their interfaces going
    [[nodiscard]] double total() const { return setup + load + items + paint; }
};

double msSince(Clock::time_point& since)
{
    const Clock::time_point now = Clock::now();
    const double ms = std::chrono::duration<double, std::milli>(now - since).count();
    since = now;
    return ms;
}

// The layout the page asked for since it was shown, then the whole page
// drawn as the screen would get it.
void paint(planner::PlannerPage& page)
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QPixmap pixmap = page.grab();
    benchmark::DoNotOptimize(pixmap.cacheKey());
}

// What the grid's viewport asked to repaint, painted as the window system
// would have it painted; gives the milliseconds it took.
double flushPaints()
{
    const Clock::time_point start = Clock::now();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::UpdateRequest);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The user looking at the page: events, timers and idle work go on.
void pause(int ms)
{
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(ms);
    while (Clock::now() < end) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
        QCoreApplication::processEvents(QEventLoop::AllEvents, int(std::max<qint64>(1, left)));
    }
}

// Counts the paint events of a widget, so that a figure never stands for
// nothing painted.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget* widget) : m_widget(widget) { widget->installEventFilter(this); }
    ~PaintCounter() override { m_widget->removeEventFilter(this); }
    int take() { return std::exchange(m_count, 0); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_widget && event->type() == QEvent::Paint)
            ++m_count;
        return false;
    }

private:
    QWidget* m_widget;
    int m_count = 0;
};

void sendMouse(QWidget* widget, QEvent::Type type, const QPoint& pos, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, widget->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

// An item in full view near the top, with a row below it in view too.
widgets::PlannerItem* itemToDrag(const widgets::PlannerGrid& grid)
{
    const int top = widgets::PlannerGrid::kCaptionHeight + widgets::PlannerGrid::kHeaderHeight;
    for (int i = 0; i < grid.itemCount(); ++i) {
        widgets::PlannerItem* item = grid.item(i);
        const QRect r = grid.itemRect(item);
        if (!r.isNull() && item->isMovable() && r.top() >= top &&
            r.bottom() + grid.rowHeight() < grid.viewport()->height() && r.height() <= grid.rowHeight())
            return item;
    }
    throw std::runtime_error("no item to drag on the month shown");
}

// The month as a user goes on with it: a repaint, a page down onto rows not
// shown before, back up, then one item dragged a day later by the mouse and
// written to its row. Each with a pause before it.
void useMonth(widgets::PlannerGrid& grid, Sample& s)
{
    QWidget* viewport = grid.viewport();
    PaintCounter paints(viewport);
    QScrollBar* bar = grid.verticalScrollBar();
    const auto painted = [&paints](const char* what) {
        if (paints.take() == 0)
            throw std::runtime_error(std::string("nothing was painted: ") + what);
    };

    pause(kPauseMs);
    paints.take();
    Clock::time_point t = Clock::now();
    viewport->update();
    flushPaints();
    s.repaint = msSince(t);
    painted("repaint");

    pause(kPauseMs);
    t = Clock::now();
    bar->setValue(bar->value() + bar->pageStep());
    flushPaints();
    s.newPage = msSince(t);
    painted("page down");

    pause(kPauseMs);
    t = Clock::now();
    bar->setValue(bar->value() - bar->pageStep());
    flushPaints();
    s.shownPage = msSince(t);
    painted("page up");

    pause(kPauseMs);
    widgets::PlannerItem* item = itemToDrag(grid);
    int moves = 0;
    const QMetaObject::Connection moved =
        QObject::connect(&grid, &widgets::PlannerGrid::itemMoved, [&moves] { ++moves; });
    const QPoint from = grid.itemRect(item).center();
    const Clock::time_point start = Clock::now();
    t = start;
    sendMouse(viewport, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    s.dragPaint = flushPaints();
    s.dragFrame = msSince(t);
    for (int step = 1; step <= kDragSteps; ++step) {
        const QPoint to = from + QPoint(0, grid.rowHeight() * step / kDragSteps);
        sendMouse(viewport, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        s.dragPaint = std::max(s.dragPaint, flushPaints());
        s.dragFrame = std::max(s.dragFrame, msSince(t));
    }
    sendMouse(viewport, QEvent::MouseButtonRelease, from + QPoint(0, grid.rowHeight()), Qt::LeftButton,
              Qt::NoButton);
    s.dragPaint = std::max(s.dragPaint, flushPaints());
    s.dragWhole = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    QObject::disconnect(moved);
    if (moves != 1)
        throw std::runtime_error("the drag did not move the item");
    painted("drag");
}

// What a screen reader does on the month: every child's name, role and
// place read (cells, headers and items), then children found by point, as
// the pointer passes over items.
void readMonth(widgets::PlannerGrid& grid, Sample& s)
{
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&grid);
    if (!table || !table->tableInterface())
        throw std::runtime_error("the grid has no accessible table");
    Clock::time_point t = Clock::now();
    s.accessChildren = table->childCount();
    size_t read = 0;
    for (int i = 0; i < s.accessChildren; ++i) {
        QAccessibleInterface* child = table->child(i);
        read += size_t(child->text(QAccessible::Name).size()) + size_t(child->role());
        read += size_t(child->rect().width() > 0);
    }
    s.accessWalk = msSince(t);
    if (read == 0)
        throw std::runtime_error("the grid's children read empty");
    constexpr int kLookups = 200;
    const int items = grid.itemCount();
    int found = 0;
    t = Clock::now();
    for (int i = 0; i < kLookups; ++i) {
        const QRect r = grid.itemRect(grid.item(i * items / kLookups));
        const QPoint at = grid.viewport()->mapToGlobal(r.center());
        found += table->childAt(at.x(), at.y()) != nullptr;
    }
    s.accessChildAt = msSince(t) * 1e3 / kLookups;
    if (found == 0)
        throw std::runtime_error("no child found by point");
}

// The boss owning every work place, and three more templates than the
// built-in one shared out among the events that have a template.
int addBossAndTemplates(db::Connection& c)
{
    const int boss = int(c.generatorValue(QStringLiteral("USERS_ID")));
    c.execute(QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, INSYSTEM, MONO) "
                             "VALUES (:Id, 'Начальник отдела продаж', 'Pw', 'F', 'T', 'F', 'F')"),
              {{QStringLiteral("Id"), boss}});
    c.execute(QStringLiteral("UPDATE WORKPLACE SET BOSSID = :Boss"), {{QStringLiteral("Boss"), boss}});

    const QList<std::pair<QString, int>> templates = {{QStringLiteral("Встреча с клиентом"), 0x80C0FF},
                                                      {QStringLiteral("Срочное"), 0x4040FF},
                                                      {QStringLiteral("Выезд"), 0x60D060}};
    QList<int> ids{1};
    for (const auto& [name, colour] : templates) {
        const int id = int(c.generatorValue(QStringLiteral("TEMPLATE_ID")));
        c.execute(
            QStringLiteral(
                "INSERT INTO TEMPLATE (ID, NAME, TRACKCOLOR, CAPTIONBG, CAPTIONFONT, CAPTIONFONTCOLOR, "
                "CAPTIONFONTSIZE, HEADERFONT, HEADERFONTCOLOR, HEADERFONTSIZE, BGCOLOR, TEXTFONT, "
                "TEXTFONTCOLOR, TEXTFONTSIZE, CAPTIONCOLOR, TEXTCOLOR, BRUSHSTILE, TDEFAULT) "
                "SELECT CAST(:Id AS INTEGER), CAST(:Name AS VARCHAR(100)), CAST(:Colour AS INTEGER), "
                "CAST(:Colour AS INTEGER), CAPTIONFONT, CAPTIONFONTCOLOR, CAPTIONFONTSIZE, HEADERFONT, "
                "HEADERFONTCOLOR, HEADERFONTSIZE, BGCOLOR, TEXTFONT, TEXTFONTCOLOR, TEXTFONTSIZE, "
                "CAPTIONCOLOR, TEXTCOLOR, BRUSHSTILE, 'F' FROM TEMPLATE WHERE ID = 1"),
            {{QStringLiteral("Id"), id}, {QStringLiteral("Name"), name}, {QStringLiteral("Colour"), colour}});
        ids << id;
    }
    for (qsizetype i = 0; i < ids.size(); ++i)
        c.execute(QStringLiteral("UPDATE EVENTS SET TEMPLATE = :Template WHERE TEMPLATE IS NOT NULL AND "
                                 "MOD(ID, :Count) = :Rest"),
                  {{QStringLiteral("Template"), ids.at(i)},
                   {QStringLiteral("Count"), int(ids.size())},
                   {QStringLiteral("Rest"), int(i)}});
    c.commitRetaining();
    return boss;
}

// A workstation where the boss has just logged in, as the main window builds
// it; the connection stays, everything else is made anew each time.
class Station
{
public:
    Station(const bench::BenchDatabase& database, int bossId)
        : m_connection(database.connect()), m_boss(bossId)
    {}

    Sample run(int* rows, int* monthItems)
    {
        Sample s;
        Clock::time_point t = Clock::now();
        db::Query users(*m_connection, QStringLiteral("SELECT * FROM Users ORDER BY Name"));
        users.open();
        admin::OptionLists lists(*m_connection);
        lists.open();
        planner::PlannerPage page(*m_connection, users, lists);
        page.resize(kPageSize);
        page.setUser(m_boss, UserRole::Boss);
        page.openLists();
        page.ReadOptions();
        page.show();
        s.setup = msSince(t);
        page.refreshWorkPlaces();
        s.load = msSince(t);
        page.sb31Click();
        s.items = msSince(t);
        paint(page);
        s.paint = msSince(t);
        *rows = page.events().recordCount();
        *monthItems = page.grid()->itemCount();
        if (!page.canShowEvents())
            throw std::runtime_error("the planner page could not show the events");
        m_gridSize = page.grid()->viewport()->size();
        useMonth(*page.grid(), s);

        t = Clock::now();
        page.sb1Click();
        s.dayItems = msSince(t);
        paint(page);
        s.dayPaint = msSince(t);
        page.sb7Click();
        s.weekItems = msSince(t);
        paint(page);
        s.weekPaint = msSince(t);

        page.sb31Click();
        paint(page);
        readMonth(*page.grid(), s);
        t = Clock::now();
        page.sb31Click();
        s.accessItems = msSince(t);
        return s;
    }

    [[nodiscard]] QSize gridSize() const { return m_gridSize; }

private:
    std::unique_ptr<db::Connection> m_connection;
    int m_boss;
    QSize m_gridSize;
};

double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

template <typename Field> double medianOf(const std::vector<Sample>& samples, Field field)
{
    std::vector<double> v;
    for (const Sample& s : samples)
        v.push_back(field(s));
    return median(v);
}

int run(int argc, char** argv)
{
    ScriptedPlatform platform;
    // The calendar opens on today: a Monday in the middle of the month.
    platform.setNow(wallClock(QDate(kYear, kMonth, 16), QTime(10, 0)));
    PlatformScope scope(platform);

    bench::BenchDatabase database({kEvents, kWorkPlaces, kYear, kMonth});
    const double fillSeconds = database.fill();
    int boss = 0;
    {
        const auto c = database.connect();
        boss = addBossAndTemplates(*c);
        c->commit();
    }
    std::printf("fill_s=%.2f events=%d work_places=%d month=%d-%02d\n", fillSeconds, kEvents, kWorkPlaces,
                kYear, kMonth);
    std::fflush(stdout);

    Station station(database, boss);
    int rows = 0;
    int items = 0;
    // Fonts, pictures and the statement cache come in once per program.
    (void)station.run(&rows, &items);
    if (!platform.messages().isEmpty()) {
        std::fprintf(stderr, "the page reported: %s\n", qPrintable(platform.messageTexts().join(u'\n')));
        return 1;
    }

    std::vector<Sample> samples;
    benchmark::RegisterBenchmark("PlannerPage/MonthFirstPaint",
                                 [&](benchmark::State& state) {
                                     for (auto _ : state) {
                                         const Sample s = station.run(&rows, &items);
                                         samples.push_back(s);
                                         state.SetIterationTime(s.total() / 1e3);
                                     }
                                     state.counters["rows"] = rows;
                                     state.counters["items"] = items;
                                 })
        ->Unit(benchmark::kMillisecond)
        ->Iterations(kRepetitions)
        ->UseManualTime();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (samples.empty())
        return 0;

    std::printf("\nrows=%d items=%d load_ms=%.1f items_ms=%.1f paint_ms=%.1f total_ms=%.1f setup_ms=%.1f "
                "repetitions=%zu\n",
                rows, items, medianOf(samples, [](const Sample& s) { return s.load; }),
                medianOf(samples, [](const Sample& s) { return s.items; }),
                medianOf(samples, [](const Sample& s) { return s.paint; }),
                medianOf(samples, [](const Sample& s) { return s.total(); }),
                medianOf(samples, [](const Sample& s) { return s.setup; }), samples.size());
    std::printf("day items_ms=%.1f paint_ms=%.1f\n",
                medianOf(samples, [](const Sample& s) { return s.dayItems; }),
                medianOf(samples, [](const Sample& s) { return s.dayPaint; }));
    std::printf("week items_ms=%.1f paint_ms=%.1f\n",
                medianOf(samples, [](const Sample& s) { return s.weekItems; }),
                medianOf(samples, [](const Sample& s) { return s.weekPaint; }));
    std::printf("month grid=%dx%d repaint_ms=%.1f page_ms=%.1f new_page_ms=%.1f\n",
                station.gridSize().width(), station.gridSize().height(),
                medianOf(samples, [](const Sample& s) { return s.repaint; }),
                medianOf(samples, [](const Sample& s) { return s.shownPage; }),
                medianOf(samples, [](const Sample& s) { return s.newPage; }));
    std::printf("drag paint_ms=%.1f frame_ms=%.1f whole_ms=%.1f\n",
                medianOf(samples, [](const Sample& s) { return s.dragPaint; }),
                medianOf(samples, [](const Sample& s) { return s.dragFrame; }),
                medianOf(samples, [](const Sample& s) { return s.dragWhole; }));
    std::printf("access children=%d walk_ms=%.1f child_at_us=%.1f items_ms=%.1f\n",
                int(medianOf(samples, [](const Sample& s) { return double(s.accessChildren); })),
                medianOf(samples, [](const Sample& s) { return s.accessWalk; }),
                medianOf(samples, [](const Sample& s) { return s.accessChildAt; }),
                medianOf(samples, [](const Sample& s) { return s.accessItems; }));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    tarvik::bench::runOffscreen();
    QApplication app(argc, argv);
    return tarvik::bench::runReportingFailures("bench_planner", [&] { return run(argc, argv); });
}
