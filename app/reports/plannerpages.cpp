#include "plannerpages.h"

#include "reportbuilder.h"

#include "datetimetext.h"
#include "plannergrid.h"
#include "planneroverlaplayout.h"
#include "plannerpage.h"
#include "platform.h"
#include "query.h"
#include "workplacetree.h"

#include "markuptreeview.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

namespace tarvik::reports {

namespace {

using Unit = widgets::PlannerRowMap::Unit;

const QString kIni = QStringLiteral("enter.ini");
const QString kIniSection = QStringLiteral("PlannerPages");

constexpr double kMargin = 28.35;
constexpr double kHeadingHeight = 30;
constexpr double kColumnHeadHeight = 22;
constexpr double kFootGap = 40;
constexpr double kSidebarWidth = 46;
constexpr double kSlotHeight = 16;
constexpr int kDaysPerPage = 7;
constexpr double kPad = 1.5;

constexpr double kPeriodSize = 10;
constexpr double kGroupSize = 8;
constexpr double kHeadSize = 6.5;
constexpr double kLabelSize = 6.5;
constexpr double kHeaderSize = 6.5;
constexpr double kSmallestHeaderSize = 4.5;
constexpr double kTimeSize = 5.5;
constexpr double kFootSize = 7;

const QColor kHeadFill(230, 230, 230);
const QColor kFinishedFill(225, 225, 225);

QSizeF sheetSize(bool landscape)
{
    ReportDocument d;
    d.setLandscape(landscape);
    return d.pageSize();
}

double bodyTop()
{
    return kMargin + kHeadingHeight + kColumnHeadHeight;
}

double bodyHeight(bool landscape)
{
    return sheetSize(landscape).height() - kFootGap - bodyTop();
}

QString plainText(const QString& markup)
{
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    QString text = markup;
    text.remove(tags);
    text.replace(QStringLiteral("&lt;"), QStringLiteral("<"))
        .replace(QStringLiteral("&gt;"), QStringLiteral(">"))
        .replace(QStringLiteral("&nbsp;"), QStringLiteral(" "))
        .replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return text.simplified();
}

int ceilDiv(int a, int b)
{
    return a <= 0 ? 0 : (a + b - 1) / b;
}

ReportItem textItem(const QRectF& rect, const QString& text, double size, bool bold, int alignment)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Text;
    item.rect = rect;
    item.text = text;
    item.family = ReportBuilder::kFont;
    item.pointSize = size;
    item.bold = bold;
    item.alignment = alignment;
    return item;
}

ReportItem boxItem(const QRectF& rect, const QColor& fill = {})
{
    ReportItem item;
    item.kind = ReportItem::Kind::Box;
    item.rect = rect;
    item.framed = true;
    item.fill = fill;
    return item;
}

ReportItem lineItem(const QPointF& from, const QPointF& to)
{
    ReportItem item;
    item.kind = ReportItem::Kind::Line;
    item.rect = QRectF(from, to);
    return item;
}

// Lines of text stacked from the top of a box, as many as fit; a text
// wider than the box is wrapped, a line below the box is left out.
void stackLines(ReportDocument::Page& page, const QRectF& box, double& y, const QStringList& lines,
                double size, bool bold)
{
    const double h = ReportBuilder::lineHeight(size, bold);
    for (const QString& line : lines) {
        if (y + h > box.bottom() + 0.01)
            return;
        page << textItem(QRectF(box.left(), y, box.width(), h), line, size, bold,
                         Qt::AlignLeft | Qt::AlignVCenter);
        y += h;
    }
}

QString timeText(const PlannerSheet::Event& e)
{
    const QString from = e.start.toString(QStringLiteral("HH:mm"));
    const QString to = e.end.toString(QStringLiteral("HH:mm"));
    if (e.start.date() == e.end.date())
        return from + QStringLiteral("–") + to;
    return e.start.toString(QStringLiteral("d.MM ")) + from + QStringLiteral(" – ") +
           e.end.toString(QStringLiteral("d.MM ")) + to;
}

QString bandLabel(const widgets::PlannerRowMap& rows, int band)
{
    const QDateTime start = rows.rowStart(rows.firstRow() + band);
    if (rows.unit() == Unit::Days)
        return widgets::PlannerGrid::weekdayName(Qt::DayOfWeek(start.date().dayOfWeek())) + u' ' +
               start.toString(QStringLiteral("d.MM"));
    return start.toString(QStringLiteral("HH:mm"));
}

// One event's box as the grid places it: its rows and its lane.
struct Placed
{
    const PlannerSheet::Event* event = nullptr;
    double top = 0; // rows from the first row shown
    double bottom = 0;
    widgets::PlannerLane lane;
};

std::vector<Placed> place(const PlannerSheet& sheet)
{
    std::vector<Placed> placed;
    std::vector<widgets::PlannerSpan> spans;
    for (const PlannerSheet::Event& e : sheet.events) {
        if (e.column < 0 || e.column >= sheet.columns.size())
            continue;
        const auto span = sheet.rows.span(e.start, e.end);
        if (!span)
            continue;
        placed.push_back({&e, span->first, span->second, {}});
        spans.push_back({span->first, span->second, e.column});
    }
    const std::vector<widgets::PlannerLane> lanes = widgets::PlannerOverlapLayout::arrange(spans);
    for (size_t i = 0; i < placed.size(); ++i)
        placed[i].lane = lanes[i];
    return placed;
}

// The header lines of a box, wrapped at the largest size at which they fit
// the box's height without breaking a word, or else at the largest size at
// which they fit at all, or at the smallest.
std::pair<QStringList, double> headerLines(const QString& header, const QSizeF& room)
{
    const QStringList words = header.simplified().split(u' ', Qt::SkipEmptyParts);
    std::optional<std::pair<QStringList, double>> broken;
    for (double size = kHeaderSize; size >= kSmallestHeaderSize - 0.01; size -= 0.5) {
        const QStringList lines = ReportBuilder::wrap(header, room.width(), size, true);
        if (double(lines.size()) * ReportBuilder::lineHeight(size, true) > room.height() + 0.01)
            continue;
        const bool whole = std::all_of(words.begin(), words.end(), [&](const QString& w) {
            return ReportBuilder::textWidth(w, size, true) <= room.width();
        });
        if (whole)
            return {lines, size};
        if (!broken)
            broken = std::make_pair(lines, size);
    }
    if (broken)
        return *broken;
    return {ReportBuilder::wrap(header, room.width(), kSmallestHeaderSize, true), kSmallestHeaderSize};
}

} // namespace

PlannerSheet PlannerSheet::of(const planner::PlannerPage& page)
{
    PlannerSheet sheet;
    const widgets::PlannerGrid& grid = *page.grid();
    sheet.period = plainText(grid.captionTitle());
    sheet.group = plainText(page.workPlaceTree().view()->currentIndex().data().toString());
    sheet.columns = grid.headerCaptions().mid(1, grid.positions());
    while (sheet.columns.size() < grid.positions())
        sheet.columns << QString();
    sheet.rows = grid.rowMap();
    if (sheet.rows.unit() == Unit::Days && sheet.rows.rowCount() > 0) {
        const QString format = QStringLiteral("dd.MM.yyyy");
        sheet.period += QStringLiteral(" (%1 – %2)")
                            .arg(sheet.rows.rowStart(sheet.rows.firstRow()).toString(format),
                                 sheet.rows.rowStart(sheet.rows.lastRow()).toString(format));
    }
    const db::Query& events = page.events();
    if (!events.isOpen())
        return sheet;
    const int rows = events.recordCount();
    sheet.events.reserve(rows);
    for (int r = 0; r < rows; ++r) {
        Event e;
        e.column = page.positionMap().positionOf(events.valueAt(r, QStringLiteral("WORKPLACE")).toInt());
        if (e.column < 0 || e.column >= sheet.columns.size())
            continue;
        e.start = events.valueAt(r, QStringLiteral("STARTTIME")).toDateTime();
        e.end = events.valueAt(r, QStringLiteral("ENDTIME")).toDateTime();
        if (!sheet.rows.span(e.start, e.end))
            continue;
        e.header = events.valueAt(r, QStringLiteral("HEADER")).toString();
        e.finished = events.valueAt(r, QStringLiteral("ISFINISH")).toString() == QLatin1String("T");
        sheet.events << e;
    }
    return sheet;
}

PlannerPageSetup PlannerPageSetup::remembered()
{
    PlannerPageSetup setup;
    setup.columnsPerPage = std::clamp(
        platform().readIni(kIni, kIniSection, QStringLiteral("ColumnsPerPage"), setup.columnsPerPage).toInt(),
        kMinColumns, kMaxColumns);
    setup.landscape =
        platform().readIni(kIni, kIniSection, QStringLiteral("Landscape"), setup.landscape ? 1 : 0).toInt() !=
        0;
    return setup;
}

void PlannerPageSetup::remember() const
{
    platform().writeIni(kIni, kIniSection, QStringLiteral("ColumnsPerPage"), columnsPerPage);
    platform().writeIni(kIni, kIniSection, QStringLiteral("Landscape"), landscape ? 1 : 0);
}

int plannerBandsPerPage(const PlannerPageSetup& setup, Unit unit)
{
    if (unit == Unit::Days)
        return kDaysPerPage;
    return std::max(1, int(std::floor(bodyHeight(setup.landscape) / kSlotHeight)));
}

int plannerPageCount(int columns, int bands, Unit unit, const PlannerPageSetup& setup)
{
    const int across = std::max(1, ceilDiv(columns, std::max(setup.columnsPerPage, 1)));
    const int down = std::max(1, ceilDiv(bands, plannerBandsPerPage(setup, unit)));
    return across * down;
}

ReportDocument plannerPagesReport(const PlannerSheet& sheet, const PlannerPageSetup& setup,
                                  const QDateTime& printed, const LayoutProgress& progress)
{
    const Unit unit = sheet.rows.unit();
    const int columns = int(sheet.columns.size());
    const int bands = sheet.bandCount();
    const int perPage = std::max(setup.columnsPerPage, 1);
    const int bandsPerPage = plannerBandsPerPage(setup, unit);
    const int across = std::max(1, ceilDiv(columns, perPage));
    const int down = std::max(1, ceilDiv(bands, bandsPerPage));
    const int total = across * down;

    const QSizeF size = sheetSize(setup.landscape);
    const double left = kMargin;
    const double right = size.width() - kMargin;
    const double gridLeft = left + kSidebarWidth;
    const double columnWidth = (right - gridLeft) / perPage;
    const double top = bodyTop();
    const double bandHeight = bodyHeight(setup.landscape) / bandsPerPage;
    const QString printedText = tasks::dateTimeText(printed);
    const double footLine = ReportBuilder::lineHeight(kFootSize, false);
    const double footY = size.height() - 30;

    const std::vector<Placed> placed = place(sheet);
    // Boxes by column, so that a sheet looks only at its own columns.
    std::vector<std::vector<const Placed*>> byColumn(size_t(std::max(columns, 0)));
    for (const Placed& p : placed)
        byColumn[size_t(p.event->column)].push_back(&p);

    ReportDocument document;
    document.setLandscape(setup.landscape);
    int number = 0;
    for (int down_ = 0; down_ < down; ++down_) {
        const int firstBand = down_ * bandsPerPage;
        const int endBand = std::min(bands, firstBand + bandsPerPage);
        for (int across_ = 0; across_ < across; ++across_) {
            const int firstColumn = across_ * perPage;
            const int endColumn = std::min(columns, firstColumn + perPage);
            ReportDocument::Page& page = document.addPage();
            ++number;

            // The heading: the period, the group and the share of columns.
            const double periodLine = ReportBuilder::lineHeight(kPeriodSize, true);
            page << textItem(QRectF(left, kMargin, right - left, periodLine), sheet.period, kPeriodSize, true,
                             Qt::AlignLeft | Qt::AlignVCenter);
            QString second = sheet.group;
            if (columns > 0)
                second += QStringLiteral("   (столбцы %1–%2 из %3)")
                              .arg(firstColumn + 1)
                              .arg(endColumn)
                              .arg(columns);
            page << textItem(QRectF(left, kMargin + periodLine + 2, right - left,
                                    ReportBuilder::lineHeight(kGroupSize, false)),
                             second.trimmed(), kGroupSize, false, Qt::AlignLeft | Qt::AlignVCenter);

            // Column heads.
            const double headTop = kMargin + kHeadingHeight;
            page << boxItem(QRectF(left, headTop, kSidebarWidth, kColumnHeadHeight), kHeadFill);
            for (int c = firstColumn; c < endColumn; ++c) {
                const QRectF cell(gridLeft + (c - firstColumn) * columnWidth, headTop, columnWidth,
                                  kColumnHeadHeight);
                page << boxItem(cell, kHeadFill);
                const QRectF inner = cell.adjusted(kPad, kPad, -kPad, -kPad);
                const QStringList lines =
                    ReportBuilder::wrap(sheet.columns.at(c), inner.width(), kHeadSize, true);
                const double h = ReportBuilder::lineHeight(kHeadSize, true);
                const int fit = std::max(1, int(inner.height() / h));
                double y = inner.top() +
                           std::max(0.0, (inner.height() - h * std::min<double>(fit, lines.size())) / 2);
                for (int l = 0; l < lines.size() && l < fit; ++l, y += h)
                    page << textItem(QRectF(inner.left(), y, inner.width(), h), lines.at(l), kHeadSize, true,
                                     Qt::AlignHCenter | Qt::AlignVCenter);
            }

            // Time labels and the grid's lines.
            const double gridBottom = top + (endBand - firstBand) * bandHeight;
            const double gridRight = gridLeft + (endColumn - firstColumn) * columnWidth;
            page << boxItem(QRectF(left, top, gridRight - left, gridBottom - top));
            for (int b = firstBand; b < endBand; ++b) {
                const double y = top + (b - firstBand) * bandHeight;
                if (b > firstBand)
                    page << lineItem(QPointF(left, y), QPointF(gridRight, y));
                page << textItem(QRectF(left + kPad, y + kPad, kSidebarWidth - 2 * kPad,
                                        ReportBuilder::lineHeight(kLabelSize, false)),
                                 bandLabel(sheet.rows, b), kLabelSize, false,
                                 Qt::AlignRight | Qt::AlignVCenter);
            }
            for (int c = firstColumn; c <= endColumn; ++c) {
                const double x = gridLeft + (c - firstColumn) * columnWidth;
                page << lineItem(QPointF(x, top), QPointF(x, gridBottom));
            }

            // The events of this share.
            for (int c = firstColumn; c < endColumn; ++c) {
                for (const Placed* p : byColumn[size_t(c)]) {
                    const double from = std::max(p->top, double(firstBand));
                    const double to = std::min(p->bottom, double(endBand));
                    if (to <= from)
                        continue;
                    const bool starts = p->top >= firstBand && p->top < endBand;
                    const double laneWidth = columnWidth / p->lane.lanes;
                    QRectF box(gridLeft + (c - firstColumn) * columnWidth + p->lane.lane * laneWidth,
                               top + (from - firstBand) * bandHeight, laneWidth, (to - from) * bandHeight);
                    // A short event still gets a line, within the grid.
                    const double minimum = ReportBuilder::lineHeight(kHeaderSize, true) + 2 * kPad;
                    if (box.height() < minimum) {
                        box.setHeight(minimum);
                        if (box.bottom() > gridBottom)
                            box.moveBottom(gridBottom);
                    }
                    page << boxItem(box, p->event->finished ? kFinishedFill : QColor(Qt::white));
                    const QRectF inner = box.adjusted(kPad, kPad, -kPad, -kPad);
                    double y = inner.top();
                    QString time = timeText(*p->event);
                    if (p->event->finished)
                        time += QStringLiteral(" вып.");
                    if (starts) {
                        const auto [lines, headerSize] = headerLines(p->event->header, inner.size());
                        stackLines(page, inner, y, lines, headerSize, true);
                    } else {
                        stackLines(page, inner, y, {QStringLiteral("(продолжение)")}, kTimeSize, false);
                    }
                    stackLines(page, inner, y, ReportBuilder::wrap(time, inner.width(), kTimeSize, false),
                               kTimeSize, false);
                }
            }

            // The foot.
            const QRectF foot(left, footY, right - left, footLine);
            page << textItem(foot, printedText, kFootSize, false, Qt::AlignLeft | Qt::AlignVCenter);
            page << textItem(foot, QStringLiteral("стр. %1 из %2").arg(number).arg(total), kFootSize, false,
                             Qt::AlignHCenter | Qt::AlignVCenter);
            page << textItem(foot, QStringLiteral("Tarvik v1.0"), kFootSize, false,
                             Qt::AlignRight | Qt::AlignVCenter);

            if (progress && !progress(number, total))
                return {};
        }
    }
    return document;
}

} // namespace tarvik::reports
