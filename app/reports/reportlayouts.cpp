#include "reportlayouts.h"

#include "query.h"
#include "reportbuilder.h"

#include <QLocale>

#include <array>

namespace tarvik::reports {

namespace {

constexpr double kTitleSize = 12;
constexpr double kFieldSize = 10;
constexpr double kTableSize = 7;
constexpr double kCellPadding = 2;

// Dates and times as the workstation writes them, short, so that a date
// and its time fit the table's narrow date columns on one line.
QString dateTime(const QDateTime& value)
{
    if (!value.isValid())
        return {};
    const QLocale locale;
    return locale.toString(value.date(), QLocale::ShortFormat) + u' ' +
           locale.toString(value.time(), QLocale::ShortFormat);
}

bool isSet(const QVariant& flag)
{
    return flag.toString() == QStringLiteral("T");
}

// A bold caption and its value on one line; returns where the value ends.
double labelled(ReportBuilder& b, double x, const QString& label, const QString& value)
{
    const double end = b.textAt(x, b.y(), label, kFieldSize, true);
    return b.textAt(end + 4, b.y(), value, kFieldSize, false);
}

// A caption whose value may run over several lines.
void labelledWrapped(ReportBuilder& b, const QString& label, const QString& value)
{
    const double h = ReportBuilder::lineHeight(kFieldSize, false);
    const double x = b.textAt(ReportBuilder::kLeft, b.y(), label, kFieldSize, true) + 4;
    const QStringList lines = ReportBuilder::wrap(value, ReportBuilder::kRight - x, kFieldSize, false);
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            b.setY(b.y() + h);
        b.textAt(x, b.y(), lines.at(i), kFieldSize, false);
    }
    b.setY(b.y() + h + 3);
}

void title(ReportBuilder& b, const QString& text)
{
    b.textAt(ReportBuilder::kLeft, b.y(), text, kTitleSize, true);
    b.setY(b.y() + ReportBuilder::lineHeight(kTitleSize, true) + 10);
}

void ruleBelow(ReportBuilder& b)
{
    b.setY(b.y() + 2);
    b.rule(b.y());
    b.setY(b.y() + 8);
}

} // namespace

LetterFields LetterFields::fromCurrent(const db::Query& letters)
{
    // The two names are the list's last columns: the recipient's, then the
    // sender's.
    const int n = letters.columnCount();
    LetterFields f;
    f.to = letters.value(n - 2).toString();
    f.from = letters.value(n - 1).toString();
    f.subject = letters.text(QStringLiteral("SUBJ"));
    f.body = letters.text(QStringLiteral("BODY"));
    f.written = letters.value(QStringLiteral("WRITEDATE")).toDateTime();
    return f;
}

EventFields EventFields::fromRow(const db::Query& events, int row)
{
    EventFields f;
    f.header = events.valueAt(row, QStringLiteral("HEADER")).toString();
    f.workPlace = events.valueAt(row, QStringLiteral("WORKPLACENAME")).toString();
    f.comment = events.valueAt(row, QStringLiteral("COMMENT")).toString();
    f.start = events.valueAt(row, QStringLiteral("STARTTIME")).toDateTime();
    f.end = events.valueAt(row, QStringLiteral("ENDTIME")).toDateTime();
    f.finished = isSet(events.valueAt(row, QStringLiteral("ISFINISH")));
    f.percent = events.valueAt(row, QStringLiteral("ISPERCENT"));
    return f;
}

QList<EventFields> EventFields::allRows(const db::Query& events)
{
    QList<EventFields> rows;
    for (int r = 0; r < events.recordCount(); ++r)
        rows << fromRow(events, r);
    return rows;
}

ReportDocument letterReport(const LetterFields& letter, const QDateTime& printed)
{
    ReportBuilder b(printed, ReportBuilder::PageNumbers::No);
    title(b, QStringLiteral("Сообщение"));
    const double dateX = ReportBuilder::kLeft + (ReportBuilder::kRight - ReportBuilder::kLeft) * 0.62;
    const double fromEnd = labelled(b, ReportBuilder::kLeft, QStringLiteral("От кого:"), letter.from);
    labelled(b, std::max(dateX, fromEnd + 12), QStringLiteral("Дата:"), dateTime(letter.written));
    b.setY(b.y() + ReportBuilder::lineHeight(kFieldSize, false) + 3);
    labelledWrapped(b, QStringLiteral("Кому:"), letter.to);
    labelledWrapped(b, QStringLiteral("Тема:"), letter.subject);
    ruleBelow(b);
    b.paragraph(letter.body, kFieldSize);
    return b.finish();
}

ReportDocument eventReport(const EventFields& event, const QDateTime& printed)
{
    ReportBuilder b(printed, ReportBuilder::PageNumbers::No);
    title(b, QStringLiteral("Задача"));
    labelledWrapped(b, QStringLiteral("Заголовок:"), event.header);
    labelledWrapped(b, QStringLiteral("Время:"),
                    dateTime(event.start) + QStringLiteral(" - ") + dateTime(event.end));
    labelledWrapped(b, QStringLiteral("Рабочее место:"), event.workPlace);
    ruleBelow(b);
    b.paragraph(event.comment, kFieldSize);
    return b.finish();
}

ReportDocument taskListReport(const QString& heading, const QList<EventFields>& events, PercentSign sign,
                              const QDateTime& printed)
{
    ReportBuilder b(printed, ReportBuilder::PageNumbers::Yes);
    constexpr std::array<double, 6> kProportions = {16, 308, 156, 92, 92, 44};
    double total = 0;
    for (double p : kProportions)
        total += p;
    std::array<double, 7> x{};
    x[0] = ReportBuilder::kLeft;
    for (size_t i = 0; i < kProportions.size(); ++i)
        x[i + 1] = x[i] + (ReportBuilder::kRight - ReportBuilder::kLeft) * kProportions[i] / total;

    // The title band: the heading, vertically centred, and the column heads.
    const double headHeight = 28;
    b.text(QRectF(ReportBuilder::kLeft, b.y(), ReportBuilder::kRight - ReportBuilder::kLeft, headHeight),
           heading, kTitleSize, true, Qt::AlignLeft | Qt::AlignVCenter);
    b.setY(b.y() + headHeight + 4);
    const double line = ReportBuilder::lineHeight(kTableSize, false);
    const double headRow = ReportBuilder::lineHeight(kTableSize, true) + 2 * kCellPadding;
    const QStringList heads = {QString(),
                               QStringLiteral("Заголовок"),
                               QStringLiteral("Рабочее место"),
                               QStringLiteral("Дата начала"),
                               QStringLiteral("Дата выполнения"),
                               QStringLiteral("Вып.")};
    for (int c = 0; c < 6; ++c) {
        const QRectF cell(x[c], b.y(), x[c + 1] - x[c], headRow);
        b.box(cell, true, QColor(230, 230, 230));
        // A head wider than its narrow column is set a little smaller.
        double size = kTableSize;
        while (size > 5 && ReportBuilder::textWidth(heads.at(c), size, true) > cell.width() - 2)
            size -= 0.5;
        b.text(cell, heads.at(c), size, true, Qt::AlignCenter);
    }
    b.setY(b.y() + headRow);

    for (const EventFields& e : events) {
        QList<QStringList> cells(6);
        const auto width = [&](int c) { return x[c + 1] - x[c] - 2 * kCellPadding; };
        cells[1] = ReportBuilder::wrap(e.header, width(1), kTableSize, false);
        cells[2] = ReportBuilder::wrap(e.workPlace, width(2), kTableSize, false);
        cells[3] = ReportBuilder::wrap(dateTime(e.start), width(3), kTableSize, false);
        cells[4] = ReportBuilder::wrap(dateTime(e.end), width(4), kTableSize, false);
        qsizetype lines = 1;
        for (const QStringList& c : cells)
            lines = std::max(lines, c.size());
        const double height = double(lines) * line + 2 * kCellPadding;
        b.ensureRoom(height);
        const double top = b.y();
        for (int c = 0; c < 6; ++c)
            b.box(QRectF(x[c], top, x[c + 1] - x[c], height), true);
        if (e.finished)
            b.text(QRectF(x[0], top, x[1] - x[0], height), QStringLiteral("+"), kTableSize + 1, false,
                   Qt::AlignCenter, QStringLiteral("Wingdings"));
        for (int c = 1; c <= 4; ++c)
            for (int l = 0; l < cells[c].size(); ++l)
                b.text(QRectF(x[c] + kCellPadding, top + kCellPadding + l * line, width(c), line),
                       cells[c].at(l), kTableSize, false, Qt::AlignLeft | Qt::AlignVCenter);
        if (!e.percent.isNull()) {
            QString percent = QString::number(e.percent.toInt());
            if (sign == PercentSign::Shown)
                percent += u'%';
            b.text(QRectF(x[5], top, x[6] - x[5], height), percent, kTableSize, true, Qt::AlignCenter);
        }
        b.setY(top + height);
    }
    return b.finish();
}

} // namespace tarvik::reports
