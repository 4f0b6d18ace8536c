#include "sqlscript.h"

#include "connection.h"

#include <QRegularExpression>

namespace tarvik::db {

QStringList splitSqlScript(const QString& script)
{
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)\\s*$"),
                                            QRegularExpression::CaseInsensitiveOption);
    QStringList out;
    QString terminator = QStringLiteral(";");
    QString current;
    const qsizetype n = script.size();
    qsizetype i = 0;
    auto finish = [&]() {
        const QString statement = current.trimmed();
        current.clear();
        if (statement.isEmpty())
            return;
        const QRegularExpressionMatch m = setTerm.match(statement);
        if (m.hasMatch())
            terminator = m.captured(1);
        else
            out << statement;
    };
    while (i < n) {
        const QChar c = script.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            qsizetype j = i + 1;
            while (j < n && !(script.at(j) == c && !(j + 1 < n && script.at(j + 1) == c)))
                j += script.at(j) == c ? 2 : 1;
            j = qMin(j + 1, n);
            current += QStringView(script).mid(i, j - i);
            i = j;
        } else if (script.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype j = script.indexOf(QLatin1String("*/"), i + 2);
            i = j < 0 ? n : j + 2;
            current += QLatin1Char(' ');
        } else if (script.mid(i, 2) == QLatin1String("--")) {
            const qsizetype j = script.indexOf(QLatin1Char('\n'), i);
            i = j < 0 ? n : j;
        } else if (QStringView(script).mid(i, terminator.size()) == terminator) {
            i += terminator.size();
            finish();
        } else {
            current += c;
            ++i;
        }
    }
    finish();
    return out;
}

void runSqlScript(Connection& connection, const QString& script)
{
    static const QRegularExpression ddl(
        QStringLiteral("^(CREATE|ALTER|DROP|RECREATE|DECLARE|SET\\s+GENERATOR)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    for (const QString& statement : splitSqlScript(script)) {
        connection.execute(statement);
        if (ddl.match(statement).hasMatch())
            connection.commitRetaining();
    }
}

} // namespace tarvik::db
