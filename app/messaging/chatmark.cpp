#include "chatmark.h"

#include "chatstatements.h"

#include <QSet>

#include <algorithm>

namespace tarvik::messaging {

void ChatMark::reset()
{
    m_mark = 0;
    m_awaited.clear();
}

QString ChatMark::keyCondition() const
{
    if (m_awaited.empty())
        return QStringLiteral("(Id > :LastId) AND");
    QStringList keys;
    for (int key : m_awaited)
        keys << QString::number(key);
    return QStringLiteral("(Id > :LastId OR Id IN (%1)) AND").arg(keys.join(QStringLiteral(", ")));
}

QString ChatMark::fetchSql() const
{
    QStringList lines = chatFetchLines();
    lines.replace(lines.indexOf(QStringLiteral("(Id > :LastId) AND")), keyCondition());
    return lines.join(QLatin1Char('\n'));
}

void ChatMark::fetched(const QList<int>& keys)
{
    for (int key : keys)
        m_awaited.erase(key);
    const int newest = keys.isEmpty() ? m_mark : *std::max_element(keys.begin(), keys.end());
    if (newest > m_mark) {
        awaitBetween(m_mark, newest, keys);
        m_mark = newest;
    }
    trim();
}

void ChatMark::markSet(const QList<int>& visibleKeys)
{
    const int newest = visibleKeys.isEmpty() ? 0 : *std::max_element(visibleKeys.begin(), visibleKeys.end());
    if (newest > m_mark) {
        awaitBetween(m_mark, newest, visibleKeys);
        m_mark = newest;
    }
    trim();
}

void ChatMark::notMine(const QList<int>& keys)
{
    for (int key : keys)
        m_awaited.erase(key);
}

void ChatMark::awaitBetween(int from, int to, const QList<int>& present)
{
    const QSet<int> seen(present.begin(), present.end());
    for (int key = std::max(from, to - kWindow) + 1; key < to; ++key) {
        if (!seen.contains(key))
            m_awaited.insert(key);
    }
}

void ChatMark::trim()
{
    while (!m_awaited.empty() && *m_awaited.begin() <= m_mark - kWindow)
        m_awaited.erase(m_awaited.begin());
}

} // namespace tarvik::messaging
