#include "benchdatabase.h"

#include "databasecreator.h"
#include "dberror.h"
#include "maintenance.h"
#include "statement_p.h"
#include "wallclock.h"

#include <QElapsedTimer>
#include <QFile>
#include <QStringList>

#include <random>
#include <stdexcept>

namespace tarvik::bench {

namespace {

// Rows per commit while filling: large enough that the commit cost vanishes,
// small enough that the server's undo log stays modest.
constexpr int kRowsPerCommit = 5000;
// Rows per INSERT statement; their parameters stay well below the 64 KB
// limit of a statement's input message.
constexpr int kRowsPerBlock = 25;

const QStringList kHeaders = {
    QStringLiteral("Планёрка отдела продаж"),
    QStringLiteral("Совещание у директора"),
    QStringLiteral("Звонок клиенту «Северный ветер»"),
    QStringLiteral("Подготовка квартального отчёта"),
    QStringLiteral("Выезд на объект, ул. Садовая"),
    QStringLiteral("Собеседование: инженер-сметчик"),
    QStringLiteral("Обучение новых сотрудников"),
    QStringLiteral("Приёмка оборудования на склад"),
    QStringLiteral("Сверка взаиморасчётов с поставщиком"),
    QStringLiteral("Техническое обслуживание сервера"),
    QStringLiteral("Обед с партнёрами"),
    QStringLiteral("Проверка договоров и счетов-фактур"),
};

const QStringList kCommentLines = {
    QStringLiteral("Взять с собой распечатку прошлого протокола."),
    QStringLiteral("Уточнить у бухгалтерии остатки по счёту 60."),
    QStringLiteral("Контактное лицо — Ольга Николаевна, тел. 8 (812) 555-12-34."),
    QStringLiteral("Перенести, если не будет готов черновик."),
    QStringLiteral("Согласовать смету с главным инженером; после — подписать акт."),
    QStringLiteral("Пропуск заказан на проходной №2."),
    QStringLiteral("Повестка: итоги месяца, план закупок, разное."),
    QStringLiteral("Не забыть ключи от переговорной «Ёлка»."),
};

QString header(std::mt19937& rng, int n)
{
    return kHeaders.at(qsizetype(rng() % kHeaders.size())) + QStringLiteral(" №%1").arg(n);
}

// A description of two to five lines, as the edit box stores them.
QString comment(std::mt19937& rng)
{
    QStringList lines;
    const int count = 2 + int(rng() % 4);
    for (int i = 0; i < count; ++i)
        lines << kCommentLines.at(qsizetype(rng() % kCommentLines.size()));
    return lines.join(QStringLiteral("\r\n"));
}

// One INSERT ... SELECT adding that many events, 15 parameters for each: a
// derived table of rows from parameters joined by UNION ALL. The description
// is cast shorter than its column so that all parameters fit the 64 KB input
// message; the generated descriptions are far shorter still.
QString insertRowsSql(int rows)
{
    static const QStringList kColumns = {
        QStringLiteral("HEADER VARCHAR(255)"), QStringLiteral("COMMENT VARCHAR(1000)"),
        QStringLiteral("STARTTIME DATE"),      QStringLiteral("ENDTIME DATE"),
        QStringLiteral("ISFINISH VARCHAR(1)"), QStringLiteral("ISPERCENT INTEGER"),
        QStringLiteral("IMPORTANCE INTEGER"),  QStringLiteral("COLOR INTEGER"),
        QStringLiteral("IMAGE INTEGER"),       QStringLiteral("WORKPLACE INTEGER"),
        QStringLiteral("TEMPLATE INTEGER"),    QStringLiteral("WORKTYPE INTEGER"),
        QStringLiteral("DATEEDIT DATE"),       QStringLiteral("ALARM INTEGER"),
        QStringLiteral("SOUND INTEGER")};
    QStringList names;
    for (const QString& c : kColumns)
        names << c.section(QLatin1Char(' '), 0, 0);
    QStringList selects;
    for (int r = 0; r < rows; ++r) {
        QStringList casts;
        for (const QString& c : kColumns) {
            const QString name = c.section(QLatin1Char(' '), 0, 0);
            const QString type = c.section(QLatin1Char(' '), 1);
            casts << QStringLiteral("CAST(:%1%2 AS %3) AS %1").arg(name).arg(r).arg(type);
        }
        selects << QStringLiteral("SELECT %1 FROM RDB$DATABASE").arg(casts.join(QStringLiteral(", ")));
    }
    const QString list = names.join(QStringLiteral(", "));
    return QStringLiteral("INSERT INTO EVENTS (ID, USERSID, %1, SHOWALARM) "
                          "SELECT GEN_ID(EVENTS_ID, 1), 1, %1, 0 FROM (%2)")
        .arg(list, selects.join(QStringLiteral(" UNION ALL ")));
}

} // namespace

BenchDatabase::BenchDatabase(Size size) : m_size(size), m_dir(QStringLiteral("/tmp/tarvik-bench-XXXXXX"))
{
    if (!m_dir.isValid())
        throw std::runtime_error("cannot make a temporary folder for the benchmark database");
    // The server may run as another user.
    QFile::setPermissions(m_dir.path(), QFile::Permissions(0x7777));
    m_name = QStringLiteral("localhost:") + m_dir.path() + QStringLiteral("/bench.gdb");
    db::createDatabase(m_name, false);
}

BenchDatabase::~BenchDatabase()
{
    try {
        db::Connection c(db::ConnectionParams{m_name});
        c.open();
        c.drop();
    } catch (const db::DbError&) {
        // The folder goes with the file anyway.
    }
}

std::unique_ptr<db::Connection> BenchDatabase::connect() const
{
    auto c = std::make_unique<db::Connection>(db::ConnectionParams{m_name});
    c->open();
    c->startTransaction();
    return c;
}

double BenchDatabase::fill(Statistics statistics)
{
    QElapsedTimer timer;
    timer.start();
    const auto c = connect();
    addWorkPlaces(*c);
    addEvents(*c);
    c->commit();
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (statistics == Statistics::Recompute) {
        c->startTransaction();
        db::recomputeIndexStatistics(*c);
        c->commit();
    }
    return seconds;
}

void BenchDatabase::addWorkPlaces(db::Connection& c)
{
    for (int i = 1; i <= m_size.workPlaces; ++i) {
        const int id = int(c.generatorValue(QStringLiteral("WORKPLACE_ID")));
        c.execute(
            QStringLiteral("INSERT INTO WORKPLACE (ID, NAME, BOSSID, ORDERPOS) VALUES (:Id, :Name, 1, :Pos)"),
            {{QStringLiteral("Id"), id},
             {QStringLiteral("Name"), QStringLiteral("Рабочее место %1").arg(i)},
             {QStringLiteral("Pos"), i}});
        m_workPlaces << id;
    }
    c.commitRetaining();
}

void BenchDatabase::addEvents(db::Connection& c)
{
    std::mt19937 rng(20260101);
    const QDate firstDay(m_size.year, m_size.month > 0 ? m_size.month : 1, 1);
    const int days = m_size.month > 0 ? firstDay.daysInMonth() : firstDay.daysInYear();
    const QDateTime edited = wallClock(QDate(m_size.year - 1, 12, 20), QTime(17, 5));
    auto appendRow = [&](QVariantList& values, int n) {
        const QDate day = firstDay.addDays(rng() % days);
        // Office hours in quarter-hour steps; an event never crosses midnight.
        const QTime start(8 + int(rng() % 11), 15 * int(rng() % 4));
        const int minutes = 15 * (1 + int(rng() % 16));
        const QTime end = start.addSecs(qMin(minutes * 60, start.secsTo(QTime(23, 45))));
        const bool described = rng() % 7 != 0;
        const bool templated = rng() % 2 == 0;
        values << header(rng, n + 1) << (described ? QVariant(comment(rng)) : QVariant())
               << wallClock(day, start) << wallClock(day, end)
               << (rng() % 3 == 0 ? QStringLiteral("T") : QStringLiteral("F")) << int(rng() % 101)
               << int(rng() % 3) << int(rng() & 0xFFFFFF)
               << (rng() % 10 == 0 ? QVariant(int(rng() % 20)) : QVariant())
               << m_workPlaces.at(n % m_workPlaces.size()) << (templated ? QVariant(1) : QVariant())
               << int(rng() % 4) << edited << (rng() % 4 == 0 ? 15 : 0) << QVariant();
    };

    // One statement prepared once and executed over and over, each round
    // trip inserting kRowsPerBlock rows.
    db::Statement block(*c.d(), insertRowsSql(kRowsPerBlock));
    QVariantList values;
    int n = 0;
    for (; n + kRowsPerBlock <= m_size.events; n += kRowsPerBlock) {
        values.clear();
        for (int i = 0; i < kRowsPerBlock; ++i)
            appendRow(values, n + i);
        block.execute(values);
        if ((n + kRowsPerBlock) % kRowsPerCommit < kRowsPerBlock)
            c.commitRetaining();
    }
    if (n < m_size.events) {
        db::Statement rest(*c.d(), insertRowsSql(m_size.events - n));
        values.clear();
        for (; n < m_size.events; ++n)
            appendRow(values, n);
        rest.execute(values);
    }
    c.commitRetaining();
}

} // namespace tarvik::bench
