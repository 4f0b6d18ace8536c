// Queries, row changes and the dialect-1 statements the programs rely on,
// against a real database on the local server.

#include "connection.h"
#include "dberror.h"
#include "query.h"
#include "testdatabase.h"
#include "wallclock.h"

#include <QDateTime>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::db;

namespace {

class QueryTest : public test::SharedDatabaseTest
{
protected:
    void SetUp() override { m_c = database().connect(); }

    int addUser(const QString& name, const QVariant& admCheck = QStringLiteral("F"))
    {
        const int id = int(m_c->generatorValue(QStringLiteral("USERS_ID")));
        m_c->execute(
            QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK) VALUES (:Id, :Name, '', :Adm)"),
            {{QStringLiteral("Id"), id}, {QStringLiteral("Name"), name}, {QStringLiteral("Adm"), admCheck}});
        return id;
    }

    std::unique_ptr<Connection> m_c;
};

} // namespace

TEST_F(QueryTest, InitialRowsArePresent)
{
    Query options(*m_c, QStringLiteral("SELECT * FROM OPTIONS"));
    options.open();
    EXPECT_EQ(options.recordCount(), 1);
    EXPECT_EQ(options.integer(QStringLiteral("Step")), 30);
    EXPECT_EQ(options.text(QStringLiteral("StartTimeGrid")).left(2), QStringLiteral("08"));

    Query templates(*m_c, QStringLiteral("SELECT * FROM TEMPLATE WHERE TDefault = \"T\""));
    templates.open();
    ASSERT_EQ(templates.recordCount(), 1);
    EXPECT_EQ(templates.integer(QStringLiteral("ID")), 1);

    Query admins(*m_c, QStringLiteral("SELECT * FROM Users WHERE AdmCheck = \"T\" ORDER BY Name"));
    admins.open();
    ASSERT_TRUE(admins.locate(QStringLiteral("Name"), QStringLiteral("Администратор")));
    EXPECT_EQ(admins.text(QStringLiteral("Pass")), QStringLiteral("admin"));
}

TEST_F(QueryTest, Dialect1ArithmeticAndDates)
{
    Query q(*m_c, QStringLiteral(
                      "SELECT (Alarm / 24) / 60 FROM RDB$DATABASE, (SELECT 90 AS Alarm FROM RDB$DATABASE) "
                      "A WHERE CAST('9.12.2026 10:30' AS DATE) > :Since"));
    q.setParam(QStringLiteral("Since"), QStringLiteral("1.12.2026"));
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_DOUBLE_EQ(q.value(0).toDouble(), 0.0625);

    // The reminder arithmetic: an event at 10:00 with ALARM 90 is due at 08:30.
    Query due(*m_c, QStringLiteral(
                        "SELECT CAST('9.12.2026 10:00' AS DATE) - (90 / 24) / 60 AS DUE FROM RDB$DATABASE"));
    due.open();
    EXPECT_EQ(due.value(QStringLiteral("Due")).toDateTime(), wallClock(QDate(2026, 12, 9), QTime(8, 30)));
}

TEST_F(QueryTest, RepeatedParameterIsBoundOnceAndUnnamedColumnsAreNumbered)
{
    const int a = addUser(QStringLiteral("Отправитель"));
    const int b = addUser(QStringLiteral("Получатель"));
    m_c->execute(QStringLiteral("INSERT INTO TEXTS (ID, IDUSER, IDFROM, IDTO, SUBJ) VALUES "
                                "(GEN_ID(TEXTS_ID, 1), :IdTo, :IdFrom, :IdTo, 'Тема')"),
                 {{QStringLiteral("idto"), b}, {QStringLiteral("IDFROM"), a}});
    Query q(*m_c, QStringLiteral(
                      "SELECT Texts.*, (SELECT Name FROM Users WHERE Id = Texts.IdTo), (SELECT Name FROM "
                      "Users WHERE Id = Texts.IdFrom) FROM Texts WHERE Texts.IdTo = :IdTo AND IdUser = "
                      ":IdTo ORDER BY Id"));
    q.setParam(QStringLiteral("IdTo"), b);
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    EXPECT_EQ(q.text(QStringLiteral("F_1")), QStringLiteral("Получатель"));
    EXPECT_EQ(q.text(QStringLiteral("f_2")), QStringLiteral("Отправитель"));
    EXPECT_EQ(q.text(QStringLiteral("Subj")), QStringLiteral("Тема"));
}

TEST_F(QueryTest, LocateByTwoColumnsFindsFirstMatchingRow)
{
    const int u = addUser(QStringLiteral("Ищущий"));
    for (int place : {7, 8, 8})
        m_c->execute(QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID) VALUES "
                                    "(GEN_ID(USERWORKPLACE_ID, 1), :U, :W)"),
                     {{QStringLiteral("U"), u}, {QStringLiteral("W"), place}});
    Query q(*m_c, QStringLiteral("SELECT * FROM UserWorkPlace WHERE UserId = :U ORDER BY Id"));
    q.setParam(QStringLiteral("U"), u);
    q.open();
    ASSERT_EQ(q.recordCount(), 3);
    EXPECT_TRUE(q.locate(QStringLiteral("UserId;WorkPlaceId"), {u, 8}));
    EXPECT_EQ(q.recNo(), 1);
    EXPECT_FALSE(q.locate(QStringLiteral("UserId;WorkPlaceId"), {u, 9}));
    EXPECT_EQ(q.recNo(), 1) << "a failed lookup keeps the current row";
    EXPECT_THROW(q.locate(QStringLiteral("NoSuchColumn"), QVariant(1)), DbError);
}

TEST_F(QueryTest, NavigationAndEndTests)
{
    Query q(*m_c, QStringLiteral("SELECT * FROM TEMPLATE WHERE ID < 0"));
    q.open();
    EXPECT_TRUE(q.eof());
    EXPECT_TRUE(q.bof());
    EXPECT_EQ(q.recNo(), -1);

    Query all(*m_c, QStringLiteral("SELECT * FROM USERS ORDER BY ID"));
    all.open();
    int seen = 0;
    for (all.first(); !all.eof(); all.next())
        ++seen;
    EXPECT_EQ(seen, all.recordCount());
    all.last();
    EXPECT_EQ(all.recNo(), all.recordCount() - 1);
}

// Row changes bind their statements from the row: columns by name, OLD_ for
// the value as read, anything else null.
TEST_F(QueryTest, PostBindsColumnsOldValuesAndNullForUnknownNames)
{
    const int id = int(m_c->generatorValue(QStringLiteral("SOUNDS_ID")));
    m_c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (:Id, 'Звонок', '/a.wav')"),
                 {{QStringLiteral("Id"), id}});
    Query q(*m_c, QStringLiteral("SELECT * FROM SOUNDS WHERE ID = :Id"));
    q.setParam(QStringLiteral("Id"), id);
    q.setModifySql(
        QStringLiteral("UPDATE SOUNDS SET ID = :ID, NAME = :Name, PATH = :NoSuchColumn WHERE ID = :OLD_ID"));
    q.open();
    q.edit();
    const int newId = int(m_c->generatorValue(QStringLiteral("SOUNDS_ID")));
    q.setValue(QStringLiteral("ID"), newId);
    q.setValue(QStringLiteral("Name"), QStringLiteral("Гонг"));
    q.post();
    EXPECT_EQ(q.state(), Query::State::Browse);
    EXPECT_EQ(q.integer(QStringLiteral("ID")), newId) << "the row stays in the result as changed";
    EXPECT_EQ(q.text(QStringLiteral("Name")), QStringLiteral("Гонг"));

    Query check(*m_c, QStringLiteral("SELECT * FROM SOUNDS WHERE ID = :Id"));
    check.setParam(QStringLiteral("Id"), newId);
    check.open();
    ASSERT_EQ(check.recordCount(), 1);
    EXPECT_EQ(check.text(QStringLiteral("Name")), QStringLiteral("Гонг"));
    EXPECT_FALSE(check.value(QStringLiteral("Path")).isValid()) << "an unknown parameter is null";
}

TEST_F(QueryTest, AppendDrawsKeyAndDeleteUsesOldKey)
{
    Query q(*m_c, QStringLiteral("SELECT * FROM TEMPLATE ORDER BY ID"));
    q.setKeyGenerator(QStringLiteral("ID"), QStringLiteral("TEMPLATE_ID"), Query::KeyDrawn::OnPost);
    q.setInsertSql(QStringLiteral("INSERT INTO TEMPLATE (ID, NAME, TDEFAULT) VALUES (:ID, :NAME, 'F')"));
    q.setDeleteSql(QStringLiteral("DELETE FROM TEMPLATE WHERE ID =:OLD_ID"));
    q.open();
    const int before = q.recordCount();
    q.append();
    EXPECT_FALSE(q.value(QStringLiteral("ID")).isValid()) << "drawn only when posted";
    q.setValue(QStringLiteral("NAME"), QStringLiteral("Новый"));
    q.post();
    const int id = q.integer(QStringLiteral("ID"));
    EXPECT_GT(id, 1);
    EXPECT_EQ(q.recordCount(), before + 1);

    ASSERT_TRUE(q.locate(QStringLiteral("ID"), id));
    q.deleteRow();
    EXPECT_EQ(q.recordCount(), before);
    q.reopen();
    EXPECT_FALSE(q.locate(QStringLiteral("ID"), id));
}

TEST_F(QueryTest, CancelledNewRowStoresNothing)
{
    Query q(*m_c, QStringLiteral("SELECT * FROM SOUNDS"));
    q.setKeyGenerator(QStringLiteral("ID"), QStringLiteral("SOUNDS_ID"));
    q.setInsertSql(QStringLiteral("INSERT INTO SOUNDS (ID, NAME) VALUES (:ID, :NAME)"));
    q.open();
    const int before = q.recordCount();
    q.append();
    EXPECT_TRUE(q.value(QStringLiteral("ID")).isValid()) << "drawn when the row is started";
    q.cancel();
    EXPECT_EQ(q.recordCount(), before);
    q.reopen();
    EXPECT_EQ(q.recordCount(), before);
}

TEST_F(QueryTest, TextNullsEmptiesAndDatesRoundTrip)
{
    const QDateTime when = wallClock(QDate(2026, 12, 31), QTime(23, 59, 0));
    const QString comment = QStringLiteral("Первая строка\nВторая строка: «кавычки», ё, №");
    const int id = int(m_c->generatorValue(QStringLiteral("EVENTS_ID")));
    m_c->execute(QStringLiteral("INSERT INTO EVENTS (ID, HEADER, COMMENT, STARTTIME, ISFINISH) "
                                "VALUES (:Id, :Header, :Comment, :Start, :IsFinish)"),
                 {{QStringLiteral("Id"), id},
                  {QStringLiteral("Header"), QString(QLatin1String(""))},
                  {QStringLiteral("Comment"), comment},
                  {QStringLiteral("Start"), when},
                  {QStringLiteral("IsFinish"), QVariant()}});
    Query q(*m_c, QStringLiteral("SELECT * FROM EVENTS WHERE ID = :Id"));
    q.setParam(QStringLiteral("Id"), id);
    q.open();
    EXPECT_EQ(q.value(QStringLiteral("Comment")).toString(), comment);
    EXPECT_TRUE(q.value(QStringLiteral("Header")).isValid()) << "empty text is not null";
    EXPECT_EQ(q.text(QStringLiteral("Header")), QString());
    EXPECT_FALSE(q.value(QStringLiteral("IsFinish")).isValid());
    EXPECT_TRUE(q.isNull(QStringLiteral("EndTime")));
    EXPECT_EQ(q.value(QStringLiteral("StartTime")).toDateTime(), when);

    // Dates given as text in the server's form are converted by the server.
    Query byText(*m_c, QStringLiteral("SELECT ID FROM EVENTS WHERE STARTTIME = :T"));
    byText.setParam(QStringLiteral("T"), QStringLiteral("31.12.2026 23:59:00"));
    byText.open();
    EXPECT_TRUE(byText.locate(QStringLiteral("ID"), id));
}

// In zones with daylight saving 29.03.2026 02:30 is skipped by the clock and
// 25.10.2026 02:30 comes twice. Dates are wall-clock values: both are stored
// as the date and time they show, also when given as Qt local times, and read
// back unchanged.
TEST_F(QueryTest, WallClockTimesRoundTripAcrossTheClockChanges)
{
    const QDateTime skipped = wallClock(QDate(2026, 3, 29), QTime(2, 30));
    const QDateTime doubled = wallClock(QDate(2026, 10, 25), QTime(2, 30));
    const int id = int(m_c->generatorValue(QStringLiteral("EVENTS_ID")));
    m_c->execute(QStringLiteral("INSERT INTO EVENTS (ID, STARTTIME, ENDTIME, DATEEDIT) "
                                "VALUES (:Id, :Start, :End, :Edited)"),
                 {{QStringLiteral("Id"), id},
                  {QStringLiteral("Start"), QDateTime(skipped.date(), skipped.time(), Qt::LocalTime)},
                  {QStringLiteral("End"), QDateTime(doubled.date(), doubled.time(), Qt::LocalTime)},
                  {QStringLiteral("Edited"), skipped}});

    Query asText(*m_c, QStringLiteral("SELECT COUNT(*) FROM EVENTS WHERE ID = :Id AND "
                                      "STARTTIME = '29.3.2026 2:30:00' AND ENDTIME = '25.10.2026 2:30:00' "
                                      "AND DATEEDIT = '29.3.2026 2:30:00'"));
    asText.setParam(QStringLiteral("Id"), id);
    asText.open();
    EXPECT_EQ(asText.value(0).toInt(), 1) << "stored as the times shown";

    Query q(*m_c, QStringLiteral("SELECT STARTTIME, ENDTIME FROM EVENTS WHERE ID = :Id"));
    q.setParam(QStringLiteral("Id"), id);
    q.open();
    const QDateTime start = q.value(QStringLiteral("STARTTIME")).toDateTime();
    ASSERT_TRUE(start.isValid());
    EXPECT_EQ(start.time(), QTime(2, 30));
    EXPECT_EQ(start, skipped);
    EXPECT_EQ(q.value(QStringLiteral("ENDTIME")).toDateTime(), doubled);
    EXPECT_EQ(start.addDays(1), wallClock(QDate(2026, 3, 30), QTime(2, 30)));
    EXPECT_EQ(start.secsTo(doubled), qint64(start.daysTo(doubled)) * 86400);
}

TEST_F(QueryTest, UnencodableTextFailsWithoutWritingAnything)
{
    const int before = [&] {
        Query q(*m_c, QStringLiteral("SELECT COUNT(*) FROM SOUNDS"));
        q.open();
        return q.value(0).toInt();
    }();
    EXPECT_THROW(
        m_c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME) VALUES (GEN_ID(SOUNDS_ID, 1), :N)"),
                     {{QStringLiteral("N"), QStringLiteral("звук ♫")}}),
        EncodingError);
    Query q(*m_c, QStringLiteral("SELECT COUNT(*) FROM SOUNDS"));
    q.open();
    EXPECT_EQ(q.value(0).toInt(), before);
}

TEST_F(QueryTest, ShowAlarmTakesThreeUnnamedValuesAndProceduresShareTheEventSequence)
{
    const QVariantMap out = m_c->executeProcedure(QStringLiteral("EXECUTE PROCEDURE GETSHOWALARM_ID"));
    ASSERT_TRUE(out.contains(QStringLiteral("IDD")));
    m_c->execute(QStringLiteral("INSERT INTO SHOWALARM VALUES (:Id, :IdUser, :IdEvents)"),
                 {{QStringLiteral("Id"), out.value(QStringLiteral("IDD"))},
                  {QStringLiteral("IdUser"), 1},
                  {QStringLiteral("IdEvents"), 42}});
    Query q(*m_c, QStringLiteral("SELECT * FROM SHOWALARM WHERE IDEVENTS = 42"));
    q.open();
    EXPECT_EQ(q.columnNames(), (QStringList{"ID", "IDUSER", "IDEVENTS"}));
    EXPECT_EQ(q.recordCount(), 1);

    const qint64 fromGenerator = m_c->generatorValue(QStringLiteral("EVENTS_ID"));
    const qint64 fromProcedure = m_c->executeProcedure(QStringLiteral("EXECUTE PROCEDURE GETEVENTS_ID"))
                                     .value(QStringLiteral("IDD"))
                                     .toLongLong();
    EXPECT_EQ(fromProcedure, fromGenerator + 1);
}

TEST_F(QueryTest, ChatMessageGetsServerTimeAndLettersAreSeparateRows)
{
    // The server's clock, in the server's own zone, whatever the client's is.
    const auto serverNow = [this] {
        Query now(*m_c, QStringLiteral("SELECT CAST('NOW' AS DATE) FROM RDB$DATABASE"));
        now.open();
        return now.value(0).toDateTime();
    };
    const QDateTime before = serverNow().addSecs(-1);
    m_c->execute(QStringLiteral("INSERT INTO MESAGES (ID, IDFROM, IDTO, BODY, SERVDATE) VALUES "
                                "(GEN_ID(MESAGES_ID, 1), 1, -1, 'Всем привет', '1.1.2000')"));
    Query q(*m_c, QStringLiteral("SELECT * FROM MESAGES WHERE IDTO = -1"));
    q.open();
    ASSERT_GE(q.recordCount(), 1);
    q.last();
    const QDateTime stamped = q.value(QStringLiteral("SERVDATE")).toDateTime();
    EXPECT_GE(stamped, before) << "the server's clock, not the client's value";
    EXPECT_LE(stamped, serverNow().addSecs(1));
}

TEST_F(QueryTest, DuplicateUserNameIsRefused)
{
    addUser(QStringLiteral("Двойник"));
    try {
        addUser(QStringLiteral("Двойник"));
        FAIL() << "a second user of the same name was stored";
    } catch (const ConstraintError& e) {
        EXPECT_FALSE(e.text().isEmpty());
        EXPECT_TRUE(e.statement().contains(QStringLiteral("INSERT INTO USERS")));
    }
}

TEST_F(QueryTest, DeletingWorkPlaceOrBossCascades)
{
    const int boss = addUser(QStringLiteral("Шеф каскада"));
    m_c->execute(QStringLiteral("UPDATE USERS SET BOSS = 'T' WHERE ID = :B"), {{QStringLiteral("B"), boss}});
    const int worker = addUser(QStringLiteral("Подчинённый каскада"));
    m_c->execute(QStringLiteral("UPDATE USERS SET BOSSID = :B WHERE ID = :W"),
                 {{QStringLiteral("B"), boss}, {QStringLiteral("W"), worker}});
    const int place1 = int(m_c->generatorValue(QStringLiteral("WORKPLACE_ID")));
    const int place2 = int(m_c->generatorValue(QStringLiteral("WORKPLACE_ID")));
    for (int p : {place1, place2}) {
        m_c->execute(QStringLiteral("INSERT INTO WORKPLACE (ID, NAME, BOSSID) VALUES (:P, 'Место', :B)"),
                     {{QStringLiteral("P"), p}, {QStringLiteral("B"), boss}});
        m_c->execute(QStringLiteral(
                         "INSERT INTO EVENTS (ID, WORKPLACE, HEADER) VALUES (GEN_ID(EVENTS_ID, 1), :P, 'x')"),
                     {{QStringLiteral("P"), p}});
    }
    auto count = [&](const QString& sql) {
        Query q(*m_c, sql);
        q.setParam(QStringLiteral("P1"), place1);
        q.setParam(QStringLiteral("P2"), place2);
        q.setParam(QStringLiteral("W"), worker);
        q.open();
        return q.value(0).toInt();
    };
    const QString eventsOf1 = QStringLiteral("SELECT COUNT(*) FROM EVENTS WHERE WORKPLACE = :P1");
    const QString eventsOf2 = QStringLiteral("SELECT COUNT(*) FROM EVENTS WHERE WORKPLACE = :P2");

    m_c->execute(QStringLiteral("DELETE FROM WORKPLACE WHERE ID = :P"), {{QStringLiteral("P"), place1}});
    EXPECT_EQ(count(eventsOf1), 0);
    EXPECT_EQ(count(eventsOf2), 1);

    m_c->execute(QStringLiteral("DELETE FROM USERS WHERE ID = :B"), {{QStringLiteral("B"), boss}});
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM USERS WHERE ID = :W")), 0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM WORKPLACE WHERE ID = :P2")), 0);
    EXPECT_EQ(count(eventsOf2), 0);
}

// A result that fails part-way (the 4000th row divides by zero, long after
// the first rows came over) leaves the query closed and empty, not holding
// the rows that did arrive.
TEST_F(QueryTest, FetchFailingPartWayKeepsNoRows)
{
    Query q(*m_c, QStringLiteral("EXECUTE BLOCK RETURNS (N INTEGER) AS BEGIN N = 0; WHILE (N < 5000) DO "
                                 "BEGIN N = N + 1; IF (N = 4000) THEN N = N / 0; SUSPEND; END END"));
    EXPECT_THROW(q.open(), DbError);
    EXPECT_FALSE(q.isOpen());
    EXPECT_EQ(q.recordCount(), 0);
    EXPECT_TRUE(q.eof());
    EXPECT_EQ(q.recNo(), -1);
}

// Rows are held column by column. Every way of reading a cell gives the same
// value, NULL stays apart from empty text and 0 (dates before 1970 too), and
// what a row change sets reads back as set, also a value of a type the
// column does not hold and texts changed often enough to be tidied away.
TEST_F(QueryTest, TypedReadsAgreeWithValuesAndChangesReadBackAsSet)
{
    const QDateTime early = wallClock(QDate(1965, 5, 1), QTime(10, 15, 30, 250));
    const QString insert = QStringLiteral("INSERT INTO EVENTS (ID, HEADER, COMMENT, STARTTIME, ISPERCENT) "
                                          "VALUES (:Id, :Header, :Comment, :Start, :Percent)");
    const int first = int(m_c->generatorValue(QStringLiteral("EVENTS_ID")));
    const int second = int(m_c->generatorValue(QStringLiteral("EVENTS_ID")));
    m_c->execute(insert, {{QStringLiteral("Id"), first},
                          {QStringLiteral("Header"), QString(QLatin1String(""))},
                          {QStringLiteral("Comment"), QStringLiteral("Ёлка №1")},
                          {QStringLiteral("Start"), early},
                          {QStringLiteral("Percent"), 0}});
    m_c->execute(insert, {{QStringLiteral("Id"), second}});
    Query q(*m_c, QStringLiteral("SELECT ID, HEADER, COMMENT, STARTTIME, ISPERCENT FROM EVENTS "
                                 "WHERE ID IN (:A, :B) ORDER BY ID"));
    q.setModifySql(QStringLiteral("UPDATE EVENTS SET HEADER = :HEADER, COMMENT = :COMMENT, "
                                  "ISPERCENT = :ISPERCENT WHERE ID = :OLD_ID"));
    q.setParam(QStringLiteral("A"), first);
    q.setParam(QStringLiteral("B"), second);
    q.open();
    ASSERT_EQ(q.recordCount(), 2);
    for (int r = 0; r < 2; ++r) {
        for (int c = 0; c < q.columnCount(); ++c) {
            const QVariant v = q.valueAt(r, c);
            EXPECT_EQ(q.isNullAt(r, c), !v.isValid()) << r << c;
            EXPECT_EQ(q.intAt(r, c), v.toInt()) << r << c;
            EXPECT_EQ(q.textAt(r, c), v.toString()) << r << c;
            EXPECT_EQ(q.dateTimeAt(r, c), v.toDateTime()) << r << c;
        }
    }
    EXPECT_EQ(q.valueAt(0, 1), QVariant(QString())) << "empty text is not null";
    EXPECT_FALSE(q.isNullAt(0, 4));
    EXPECT_TRUE(q.isNullAt(1, 1));
    EXPECT_TRUE(q.isNullAt(1, 4));
    EXPECT_EQ(q.dateTimeAt(0, 3), early);
    EXPECT_EQ(q.dateTimeAt(0, 3).timeSpec(), Qt::UTC);

    ASSERT_TRUE(q.locate(QStringLiteral("ID;HEADER"), {second, QVariant()}));
    const QString longText(4000, u'ж');
    for (int round = 0; round < 40; ++round) {
        q.edit();
        q.setValue(QStringLiteral("COMMENT"), longText.left(3990 + round % 10));
        q.setValue(QStringLiteral("HEADER"), QStringLiteral("Заголовок %1").arg(round));
        q.setValue(QStringLiteral("ISPERCENT"), QString::number(round));
        q.post();
    }
    EXPECT_EQ(q.value(QStringLiteral("COMMENT")), QVariant(longText.left(3999)));
    EXPECT_EQ(q.value(QStringLiteral("HEADER")), QVariant(QStringLiteral("Заголовок 39")));
    EXPECT_EQ(q.value(QStringLiteral("ISPERCENT")), QVariant(QStringLiteral("39")));
    EXPECT_EQ(q.valueAt(0, 2), QVariant(QStringLiteral("Ёлка №1")));
    q.reopen();
    EXPECT_EQ(q.valueAt(1, 4), QVariant(39));
    EXPECT_EQ(q.textAt(1, 2), longText.left(3999));

    // A text the database could not hold, set on a column the change does
    // not write, is kept as set and leaves the other texts readable.
    const QString emoji = QStringLiteral("Смайл 😀");
    q.setModifySql(QStringLiteral("UPDATE EVENTS SET ISPERCENT = :ISPERCENT WHERE ID = :OLD_ID"));
    q.first();
    q.edit();
    q.setValue(QStringLiteral("HEADER"), emoji);
    q.post();
    EXPECT_EQ(q.textAt(0, 1), emoji);
    EXPECT_EQ(q.valueAt(0, 2), QVariant(QStringLiteral("Ёлка №1")));
    EXPECT_EQ(q.textAt(1, 1), QStringLiteral("Заголовок 39"));
    EXPECT_TRUE(q.locate(QStringLiteral("HEADER"), QVariantList{emoji}));
}

// A change checked against the row's version writes only while the row is
// as read: by a RETURNING clause (NULL when nothing matched) or, without
// one, by the count of rows written. A miss leaves the row in editing with
// its values, ready to be posted again against the version stored now.
TEST_F(QueryTest, VersionCheckedChangeRefusesARowChangedSinceReading)
{
    const int id = int(m_c->generatorValue(QStringLiteral("SOUNDS_ID")));
    m_c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (:Id, 'Звонок', '/a.wav')"),
                 {{QStringLiteral("Id"), id}});
    m_c->commitRetaining();
    for (const bool returning : {true, false}) {
        SCOPED_TRACE(returning ? "RETURNING" : "row count");
        Query q(*m_c, QStringLiteral("SELECT ID, NAME, PATH FROM SOUNDS WHERE ID = :Id"));
        q.setParam(QStringLiteral("Id"), id);
        q.setModifySql(QStringLiteral("UPDATE SOUNDS SET NAME = :NAME WHERE ID = :OLD_ID AND "
                                      "PATH IS NOT DISTINCT FROM :OLD_PATH") +
                       (returning ? QStringLiteral(" RETURNING PATH") : QString()));
        q.setVersionColumn(QStringLiteral("PATH"));
        q.open();
        const QString path = q.text(QStringLiteral("PATH"));

        auto other = database().connect();
        other->execute(QStringLiteral("UPDATE SOUNDS SET PATH = PATH || 'x' WHERE ID = :Id"),
                       {{QStringLiteral("Id"), id}});
        other->commit();

        q.edit();
        q.setValue(QStringLiteral("NAME"), QStringLiteral("Гонг"));
        EXPECT_THROW(q.post(), RowChangedError);
        EXPECT_EQ(q.state(), Query::State::Edit);
        EXPECT_EQ(q.text(QStringLiteral("NAME")), QStringLiteral("Гонг"));
        EXPECT_EQ(q.text(QStringLiteral("PATH")), path) << "nothing returned is taken";

        q.setOriginalValue(QStringLiteral("PATH"), path + QLatin1Char('x'));
        q.post();
        m_c->commitRetaining();
        EXPECT_EQ(q.state(), Query::State::Browse);
        if (returning) {
            EXPECT_EQ(q.text(QStringLiteral("PATH")), path + QLatin1Char('x')) << "what RETURNING gave";
        }
    }
    Query check(*m_c, QStringLiteral("SELECT NAME FROM SOUNDS WHERE ID = :Id"));
    check.setParam(QStringLiteral("Id"), id);
    check.open();
    EXPECT_EQ(check.text(QStringLiteral("NAME")), QStringLiteral("Гонг"));
}
