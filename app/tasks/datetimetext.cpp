#include "datetimetext.h"

#include <QLocale>

namespace tarvik::tasks {

namespace {

// Qt's long time format names the time zone ("t"), which the event times,
// local wall-clock values, do not have.
QString longTimeFormat(const QLocale& locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t'))
            out += c;
    }
    return out.trimmed();
}

} // namespace

QString dateTimeText(const QDateTime& value)
{
    if (!value.isValid())
        return {};
    const QLocale locale;
    const QString date = locale.toString(value.date(), QLocale::ShortFormat);
    if (value.time() == QTime(0, 0))
        return date;
    return date + QLatin1Char(' ') + locale.toString(value.time(), longTimeFormat(locale));
}

} // namespace tarvik::tasks
