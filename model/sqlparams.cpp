#include "sqlparams.h"

#include <QRegularExpression>

namespace tarvik::db {

namespace {

bool isNameStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isNamePart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

} // namespace

ParsedSql parseNamedParameters(const QString& sql)
{
    ParsedSql out;
    out.sql.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            // A quoted literal or identifier; a doubled quote stays inside.
            qsizetype j = i + 1;
            while (j < n) {
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const qsizetype end = qMin(j + 1, n);
            out.sql += QStringView(sql).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            qsizetype j = sql.indexOf(QLatin1Char('\n'), i);
            if (j < 0)
                j = n;
            out.sql += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char('/') && i + 1 < n && sql.at(i + 1) == QLatin1Char('*')) {
            qsizetype j = sql.indexOf(QLatin1String("*/"), i + 2);
            j = j < 0 ? n : j + 2;
            out.sql += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (c == QLatin1Char(':') && i + 1 < n && isNameStart(sql.at(i + 1))) {
            qsizetype j = i + 1;
            while (j < n && isNamePart(sql.at(j)))
                ++j;
            out.markers << sql.mid(i + 1, j - i - 1).toUpper();
            out.sql += QLatin1Char('?');
            i = j;
        } else {
            out.sql += c;
            ++i;
        }
    }
    return out;
}

namespace {

// Splits text at depth 0 (outside parentheses, quotes and comments) into
// the select items, stopping at the outermost FROM.
QStringList topLevelItems(const QString& list)
{
    QStringList items;
    QString current;
    int depth = 0;
    const qsizetype n = list.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = list.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && list.at(j) != c)
                ++j;
            current += QStringView(list).mid(i, j - i + 1);
            i = j;
            continue;
        }
        if (c == QLatin1Char('(')) {
            ++depth;
        } else if (c == QLatin1Char(')')) {
            --depth;
        } else if (depth == 0 && c == QLatin1Char(',')) {
            items << current.trimmed();
            current.clear();
            continue;
        } else if (depth == 0 && (i == 0 || !isNamePart(list.at(i - 1))) &&
                   QStringView(list).mid(i, 4).compare(QLatin1String("FROM"), Qt::CaseInsensitive) == 0 &&
                   (i + 4 >= n || !isNamePart(list.at(i + 4)))) {
            break;
        }
        current += c;
    }
    if (!current.trimmed().isEmpty())
        items << current.trimmed();
    return items;
}

SelectItem classify(const QString& item)
{
    static const QRegularExpression star(QStringLiteral("^([A-Za-z_][\\w$]*\\.)?\\*$"));
    static const QRegularExpression column(
        QStringLiteral("^(([A-Za-z_][\\w$]*|\"[^\"]+\")\\.)?([A-Za-z_][\\w$]*|\"[^\"]+\")$"));
    static const QRegularExpression alias(
        QStringLiteral("(\\s+AS\\s+|[\\s)'\"])([A-Za-z_][\\w$]*|\"[^\"]+\")$"),
        QRegularExpression::CaseInsensitiveOption);
    if (star.match(item).hasMatch())
        return SelectItem::Star;
    if (column.match(item).hasMatch())
        return SelectItem::Named;
    const QRegularExpressionMatch m = alias.match(item);
    if (m.hasMatch() && m.captured(2).compare(QLatin1String("END"), Qt::CaseInsensitive) != 0) {
        // "a || b" ends with a name too, but an operator stands before it.
        const QString before = item.left(m.capturedStart(2)).trimmed();
        static const QRegularExpression asWord(QStringLiteral("\\bAS$"),
                                               QRegularExpression::CaseInsensitiveOption);
        if (asWord.match(before).hasMatch())
            return SelectItem::Named;
        const QChar last = before.isEmpty() ? QChar() : before.back();
        if (last.isLetterOrNumber() || last == QLatin1Char(')') || last == QLatin1Char('\'') ||
            last == QLatin1Char('"') || last == QLatin1Char('_'))
            return SelectItem::Named;
    }
    return SelectItem::Unnamed;
}

} // namespace

QList<SelectItem> selectItems(const QString& sql)
{
    static const QRegularExpression head(
        QStringLiteral("^\\s*SELECT\\b(\\s+FIRST\\s+\\S+)?(\\s+SKIP\\s+\\S+)?(\\s+(DISTINCT|ALL)\\b)?"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = head.match(sql);
    if (!m.hasMatch())
        return {};
    QList<SelectItem> out;
    for (const QString& item : topLevelItems(sql.mid(m.capturedEnd())))
        out << classify(item);
    return out;
}

} // namespace tarvik::db
