#pragma once

#include "reportdocument.h"

#include <QDateTime>
#include <QList>
#include <QVariant>

namespace tarvik::db {
class Query;
}

namespace tarvik::reports {

struct LetterFields
{
    QString from; // the sender's name
    QString to;   // the recipient's name
    QString subject;
    QString body;
    QDateTime written;
    // The current row of a letter list.
    [[nodiscard]] static LetterFields fromCurrent(const db::Query& letters);
};

struct EventFields
{
    QString header;
    QString workPlace;
    QString comment;
    QDateTime start;
    QDateTime end;
    bool finished = false;
    QVariant percent;
    // A row of an events query with the shared event columns.
    [[nodiscard]] static EventFields fromRow(const db::Query& events, int row);
    [[nodiscard]] static QList<EventFields> allRows(const db::Query& events);
};

// The letter report ("Сообщение").
[[nodiscard]] ReportDocument letterReport(const LetterFields& letter, const QDateTime& printed);
// The single-event report ("Задача").
[[nodiscard]] ReportDocument eventReport(const EventFields& event, const QDateTime& printed);

// The task list report and the search report: the same table, the search's
// percent column without the "%" sign.
enum class PercentSign
{
    Shown,
    Hidden
};
[[nodiscard]] ReportDocument taskListReport(const QString& heading, const QList<EventFields>& events,
                                            PercentSign sign, const QDateTime& printed);

} // namespace tarvik::reports
