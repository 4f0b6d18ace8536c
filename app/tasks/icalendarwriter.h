#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tarvik::tasks {

// One event as it goes into a calendar file: the values of an EVENTS row,
// copied so that the file can be written while the rows are read again.
struct CalendarEvent
{
    qint64 id = 0;
    QString header;
    QString comment;
    QDateTime start; // wall-clock values (wallclock.h)
    QDateTime end;
    bool done = false;
    int percent = 0;
    int alarmMinutes = 0; // 0: no reminder
};

// Writes events as an iCalendar stream (RFC 5545): a VCALENDAR with one
// VEVENT per event, lines ended by CRLF and folded at 75 octets.
//
// Times are written as the wall clock shows them, as floating local times
// (no "Z", no TZID), so that no zone rule moves them; only DTSTAMP, which the
// standard requires in UTC, is a moment. A VEVENT has no place for STATUS
// COMPLETED nor PERCENT-COMPLETE (both belong to VTODO; a VEVENT's STATUS
// is TENTATIVE, CONFIRMED or CANCELLED), so the done mark and the progress
// travel as X-TARVIK-COMPLETED and X-TARVIK-PERCENT-COMPLETE, which readers
// keep and ignore; calendars then show the event where it is planned.
class ICalendarWriter
{
public:
    // `databaseIdentity` makes the UIDs unique beyond one database: an event
    // keeps its UID, "<ID>@<identity>", on every export. `stamp` is the
    // moment of the export, in UTC.
    ICalendarWriter(QString databaseIdentity, QDateTime stamp);

    [[nodiscard]] QByteArray begin() const;
    [[nodiscard]] QByteArray event(const CalendarEvent& e) const;
    [[nodiscard]] QByteArray end() const;

    [[nodiscard]] QString uid(qint64 id) const;
    // A content line as written: UTF-8, folded so that no line exceeds 75
    // octets and no character is split, each line ended by CRLF.
    [[nodiscard]] static QByteArray contentLine(const QString& line);
    // A TEXT value: backslash, semicolon, comma and line breaks escaped;
    // other control characters, which TEXT cannot hold, dropped.
    [[nodiscard]] static QString escapedText(const QString& text);
    // The trigger of a reminder `minutes` before the start: "-PT15M",
    // "-PT2H", "-P1D", "-P1W".
    [[nodiscard]] static QString triggerBefore(int minutes);
    [[nodiscard]] static QString floatingTime(const QDateTime& wallClock);

private:
    QString m_identity;
    QString m_stamp;
};

} // namespace tarvik::tasks
