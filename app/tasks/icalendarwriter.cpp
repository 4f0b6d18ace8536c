#include "icalendarwriter.h"

#include <utility>

namespace tarvik::tasks {

namespace {

constexpr int kMaxLineOctets = 75;
const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

ICalendarWriter::ICalendarWriter(QString databaseIdentity, QDateTime stamp)
    : m_identity(std::move(databaseIdentity)),
      m_stamp(stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")))
{}

QByteArray ICalendarWriter::begin() const
{
    return contentLine(QStringLiteral("BEGIN:VCALENDAR")) + contentLine(QStringLiteral("VERSION:2.0")) +
           contentLine(QStringLiteral("PRODID:-//Tarvik//Tarvik//RU")) +
           contentLine(QStringLiteral("CALSCALE:GREGORIAN"));
}

QByteArray ICalendarWriter::end() const
{
    return contentLine(QStringLiteral("END:VCALENDAR"));
}

QString ICalendarWriter::uid(qint64 id) const
{
    return QString::number(id) + QLatin1Char('@') + m_identity;
}

QByteArray ICalendarWriter::event(const CalendarEvent& e) const
{
    QByteArray out = contentLine(QStringLiteral("BEGIN:VEVENT"));
    out += contentLine(QStringLiteral("UID:") + escapedText(uid(e.id)));
    out += contentLine(QStringLiteral("DTSTAMP:") + m_stamp);
    out += contentLine(QStringLiteral("DTSTART:") + floatingTime(e.start));
    // DTEND must lie after DTSTART; an event without length ends where it
    // starts, which is what a VEVENT without DTEND means.
    if (e.end.isValid() && e.end > e.start)
        out += contentLine(QStringLiteral("DTEND:") + floatingTime(e.end));
    out += contentLine(QStringLiteral("SUMMARY:") + escapedText(e.header));
    if (!e.comment.isEmpty())
        out += contentLine(QStringLiteral("DESCRIPTION:") + escapedText(e.comment));
    if (e.done)
        out += contentLine(QStringLiteral("X-TARVIK-COMPLETED:TRUE"));
    if (e.percent > 0)
        out += contentLine(QStringLiteral("X-TARVIK-PERCENT-COMPLETE:") +
                           QString::number(qBound(0, e.percent, 100)));
    if (e.alarmMinutes > 0) {
        out += contentLine(QStringLiteral("BEGIN:VALARM"));
        out += contentLine(QStringLiteral("ACTION:DISPLAY"));
        out += contentLine(QStringLiteral("TRIGGER:") + triggerBefore(e.alarmMinutes));
        // A display alarm must carry a text; an event without a heading
        // still reminds of something.
        const QString text = e.header.trimmed().isEmpty() ? QStringLiteral("Напоминание") : e.header;
        out += contentLine(QStringLiteral("DESCRIPTION:") + escapedText(text));
        out += contentLine(QStringLiteral("END:VALARM"));
    }
    out += contentLine(QStringLiteral("END:VEVENT"));
    return out;
}

QByteArray ICalendarWriter::contentLine(const QString& line)
{
    const QByteArray utf8 = line.toUtf8();
    QByteArray out;
    out.reserve(utf8.size() + utf8.size() / 70 * 3 + 2);
    qsizetype pos = 0;
    int room = kMaxLineOctets;
    while (utf8.size() - pos > room) {
        qsizetype cut = pos + room;
        // Back to the first octet of a character: continuation octets are
        // 10xxxxxx.
        while (cut > pos && (uchar(utf8[cut]) & 0xC0) == 0x80)
            --cut;
        out += utf8.mid(pos, cut - pos);
        out += kLineEnd;
        out += ' ';
        pos = cut;
        room = kMaxLineOctets - 1; // the leading space counts
    }
    out += utf8.mid(pos);
    out += kLineEnd;
    return out;
}

QString ICalendarWriter::escapedText(const QString& text)
{
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case ';':
            out += QLatin1String("\\;");
            break;
        case ',':
            out += QLatin1String("\\,");
            break;
        case '\r':
            // CR LF, a lone CR (as the users' texts are often written) and a
            // lone LF are each one line break.
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            out += QLatin1String("\\n");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        case '\t':
            out += c;
            break;
        default:
            if (c.unicode() >= 0x20 && c.unicode() != 0x7F)
                out += c;
        }
    }
    return out;
}

QString ICalendarWriter::triggerBefore(int minutes)
{
    constexpr int kDay = 24 * 60;
    constexpr int kWeek = 7 * kDay;
    if (minutes % kWeek == 0)
        return QStringLiteral("-P%1W").arg(minutes / kWeek);
    if (minutes % kDay == 0)
        return QStringLiteral("-P%1D").arg(minutes / kDay);
    const int hours = minutes / 60;
    const int rest = minutes % 60;
    QString out = QStringLiteral("-PT");
    if (hours > 0)
        out += QString::number(hours) + QLatin1Char('H');
    if (rest > 0)
        out += QString::number(rest) + QLatin1Char('M');
    return out;
}

QString ICalendarWriter::floatingTime(const QDateTime& wallClock)
{
    // The date and time of day exactly as held; no zone conversion.
    return wallClock.date().toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('T') +
           wallClock.time().toString(QStringLiteral("HHmmss"));
}

} // namespace tarvik::tasks
