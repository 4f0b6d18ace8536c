#include "loadjournal.h"

#include <QJsonDocument>

#include <stdexcept>

namespace tarvik::bench {

namespace {

const char* kindName(JournalEntry::Kind k)
{
    switch (k) {
    case JournalEntry::Kind::Operation:
        return "op";
    case JournalEntry::Kind::Alert:
        return "alert";
    case JournalEntry::Kind::AlertUnloaded:
        return "alert_unreloaded";
    }
    return "op";
}

} // namespace

QJsonObject JournalEntry::toJson() const
{
    QJsonObject o;
    o[QStringLiteral("kind")] = QLatin1String(kindName(kind));
    o[QStringLiteral("station")] = station;
    o[QStringLiteral("user")] = userId;
    if (kind != Kind::Operation) {
        o[QStringLiteral("alert")] = alertName;
        o[QStringLiteral("alert_ms")] = alertMs;
        return o;
    }
    o[QStringLiteral("op")] = op;
    o[QStringLiteral("marker")] = marker;
    o[QStringLiteral("key")] = key;
    o[QStringLiteral("outcome")] = outcome;
    o[QStringLiteral("text")] = text;
    o[QStringLiteral("start_ns")] = QString::number(startNs);
    o[QStringLiteral("end_ns")] = QString::number(endNs);
    o[QStringLiteral("ms")] = ms();
    o[QStringLiteral("set")] = set;
    o[QStringLiteral("removes")] = removes;
    o[QStringLiteral("creates")] = creates;
    o[QStringLiteral("seen_stamp")] = QString::number(seenStamp);
    o[QStringLiteral("stamp")] = QString::number(stamp);
    o[QStringLiteral("row")] = row;
    o[QStringLiteral("asked")] = asked;
    QJsonArray shown;
    for (int k : shownKeys)
        shown.append(k);
    o[QStringLiteral("shown")] = shown;
    o[QStringLiteral("recipient")] = recipient;
    return o;
}

JournalEntry JournalEntry::fromJson(const QJsonObject& o)
{
    JournalEntry e;
    const QString kind = o.value(QStringLiteral("kind")).toString();
    e.kind = kind == QLatin1String("alert")              ? Kind::Alert
             : kind == QLatin1String("alert_unreloaded") ? Kind::AlertUnloaded
                                                         : Kind::Operation;
    e.station = o.value(QStringLiteral("station")).toInt();
    e.userId = o.value(QStringLiteral("user")).toInt();
    e.alertName = o.value(QStringLiteral("alert")).toString();
    e.alertMs = o.value(QStringLiteral("alert_ms")).toDouble();
    e.op = o.value(QStringLiteral("op")).toString();
    e.marker = o.value(QStringLiteral("marker")).toString();
    e.key = o.value(QStringLiteral("key")).toInt();
    e.outcome = o.value(QStringLiteral("outcome")).toString();
    e.text = o.value(QStringLiteral("text")).toString();
    e.startNs = o.value(QStringLiteral("start_ns")).toString().toLongLong();
    e.endNs = o.value(QStringLiteral("end_ns")).toString().toLongLong();
    e.set = o.value(QStringLiteral("set")).toObject();
    e.removes = o.value(QStringLiteral("removes")).toBool();
    e.creates = o.value(QStringLiteral("creates")).toBool();
    e.seenStamp = o.value(QStringLiteral("seen_stamp")).toString().toLongLong();
    e.stamp = o.value(QStringLiteral("stamp")).toString().toLongLong();
    e.row = o.value(QStringLiteral("row")).toObject();
    e.asked = o.value(QStringLiteral("asked")).toBool();
    for (const QJsonValue& v : o.value(QStringLiteral("shown")).toArray())
        e.shownKeys << v.toInt();
    e.recipient = o.value(QStringLiteral("recipient")).toInt();
    return e;
}

QString columnText(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return {};
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return v.toString();
}

JournalWriter::JournalWriter(const QString& path) : m_file(path)
{
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write the journal " + path.toStdString());
}

void JournalWriter::write(const JournalEntry& e)
{
    m_file.write(QJsonDocument(e.toJson()).toJson(QJsonDocument::Compact));
    m_file.write("\n");
    m_file.flush();
}

QList<JournalEntry> readJournal(const QString& path)
{
    QFile f(path);
    QList<JournalEntry> out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    while (!f.atEnd()) {
        const QByteArray line = f.readLine().trimmed();
        if (!line.isEmpty())
            out << JournalEntry::fromJson(QJsonDocument::fromJson(line).object());
    }
    return out;
}

} // namespace tarvik::bench
