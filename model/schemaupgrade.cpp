#include "schemaupgrade.h"

#include "connection.h"
#include "dberror.h"
#include "query.h"
#include "sqlscript.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace tarvik::db {

namespace {

struct Probe
{
    QRegularExpression pattern;
    QString sql; // :A (and :B) from the pattern's captures
};

QRegularExpression statementPattern(const char* text)
{
    return QRegularExpression(QString::fromLatin1(text), QRegularExpression::CaseInsensitiveOption |
                                                             QRegularExpression::DotMatchesEverythingOption);
}

const std::vector<Probe>& probes()
{
    static const std::vector<Probe> all = {
        {statementPattern(R"(^\s*CREATE\s+(?:GENERATOR|SEQUENCE)\s+(\w+))"),
         QStringLiteral("SELECT COUNT(*) FROM RDB$GENERATORS WHERE RDB$GENERATOR_NAME = :A")},
        {statementPattern(R"(^\s*CREATE\s+TABLE\s+(\w+))"),
         QStringLiteral("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME = :A")},
        {statementPattern(R"(^\s*ALTER\s+TABLE\s+(\w+)\s+ADD\s+(\w+))"),
         QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = :A AND "
                        "RDB$FIELD_NAME = :B")},
        {statementPattern(R"(^\s*CREATE\s+(?:UNIQUE\s+)?(?:ASC\w*\s+|DESC\w*\s+)?INDEX\s+(\w+))"),
         QStringLiteral("SELECT COUNT(*) FROM RDB$INDICES WHERE RDB$INDEX_NAME = :A")},
        {statementPattern(R"(^\s*CREATE\s+TRIGGER\s+(\w+))"),
         QStringLiteral("SELECT COUNT(*) FROM RDB$TRIGGERS WHERE RDB$TRIGGER_NAME = :A")},
        {statementPattern(R"(^\s*CREATE\s+PROCEDURE\s+(\w+))"),
         QStringLiteral("SELECT COUNT(*) FROM RDB$PROCEDURES WHERE RDB$PROCEDURE_NAME = :A")},
    };
    return all;
}

// The object a statement makes, and whether it is there already; statements
// that make no named object are always run.
std::pair<QString, bool> madeObject(Connection& connection, const QString& statement)
{
    for (const Probe& probe : probes()) {
        const QRegularExpressionMatch m = probe.pattern.match(statement);
        if (!m.hasMatch())
            continue;
        Query q(connection, probe.sql);
        q.setParam(QStringLiteral("A"), m.captured(1).toUpper());
        if (m.lastCapturedIndex() >= 2)
            q.setParam(QStringLiteral("B"), m.captured(2).toUpper());
        q.open();
        const QString name = m.lastCapturedIndex() >= 2
                                 ? m.captured(1).toUpper() + QLatin1Char('.') + m.captured(2).toUpper()
                                 : m.captured(1).toUpper();
        return {name, q.value(0).toInt() > 0};
    }
    return {{}, false};
}

QStringList upgradeScripts()
{
    QStringList out;
    const QDir dir(QStringLiteral(":/sql/upgrades"));
    for (const QString& name : dir.entryList({QStringLiteral("*.sql")}, QDir::Files, QDir::Name)) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            throw DbError(QStringLiteral("Не найден сценарий %1").arg(f.fileName()));
        out << QString::fromUtf8(f.readAll());
    }
    return out;
}

} // namespace

QStringList upgradeSchema(Connection& connection)
{
    static const QRegularExpression ddl(
        QStringLiteral("^\\s*(CREATE|ALTER|DROP|RECREATE|DECLARE|SET\\s+GENERATOR)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    QStringList made;
    if (!connection.inTransaction())
        connection.startTransaction();
    for (const QString& script : upgradeScripts()) {
        for (const QString& statement : splitSqlScript(script)) {
            const auto [name, present] = madeObject(connection, statement);
            if (present)
                continue;
            connection.execute(statement);
            if (ddl.match(statement).hasMatch())
                connection.commitRetaining();
            if (!name.isEmpty())
                made << name;
        }
    }
    connection.commitRetaining();
    return made;
}

bool keepsEventStamps(Connection& connection)
{
    Query q(connection, QStringLiteral("SELECT COUNT(*) FROM RDB$RELATION_FIELDS WHERE RDB$RELATION_NAME = "
                                       "'EVENTS' AND RDB$FIELD_NAME = 'STAMP'"));
    q.open();
    return q.value(0).toInt() > 0;
}

} // namespace tarvik::db
