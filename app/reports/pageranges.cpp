#include "pageranges.h"

#include <QRegularExpression>

#include <set>

namespace tarvik::reports {

std::optional<QList<int>> parsePageRanges(const QString& text, int pageCount)
{
    std::set<int> pages;
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        for (int p = 1; p <= pageCount; ++p)
            pages.insert(p);
        return QList<int>(pages.begin(), pages.end());
    }
    static const QRegularExpression item(QStringLiteral("^\\s*(\\d{1,6})\\s*(?:-\\s*(\\d{1,6})\\s*)?$"));
    for (const QString& part : trimmed.split(u',')) {
        const QRegularExpressionMatch m = item.match(part);
        if (!m.hasMatch())
            return std::nullopt;
        const int from = m.captured(1).toInt();
        const int to = m.captured(2).isEmpty() ? from : m.captured(2).toInt();
        if (from < 1 || to < from)
            return std::nullopt;
        for (int p = from; p <= std::min(to, pageCount); ++p)
            pages.insert(p);
    }
    return QList<int>(pages.begin(), pages.end());
}

} // namespace tarvik::reports
