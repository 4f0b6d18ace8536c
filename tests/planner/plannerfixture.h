#pragma once

#include "connection.h"
#include "plannergrid.h"
#include "plannerpage.h"
#include "platformscope.h"
#include "query.h"
#include "roles.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "wallclock.h"

#include <QDateTime>
#include <QVariant>

#include <gtest/gtest.h>

#include <memory>

namespace tarvik::test {

// One event row as the tests write it; unset columns stay NULL.
struct EventRow
{
    int workPlace = 0;
    QDateTime start;
    QDateTime end;
    QString header = QStringLiteral("Задание");
    QString comment;
    QVariant isFinish;
    int alarm = 0;
    int templateId = 1;
    QVariant authorId;
    QVariant dateEdit;
};

// A suite on its own database; every test starts with only the built-in
// administrator, no work places, rights or events, the initial options, and
// the clock standing at 15 March 2024, 10:00.
class PlannerFixture : public SharedDatabaseTest
{
protected:
    void SetUp() override;

    int addUser(const QString& name, UserRole role, const QVariant& bossId = {});
    int addWorkPlace(const QString& name, int bossId);
    int addRight(int userId, int workPlaceId, bool view, bool edit);
    int addEvent(const EventRow& row);
    // A column of one event, read on a connection of its own.
    [[nodiscard]] QVariant eventColumn(int id, const QString& column) const;

    static EventRow eventAt(int workPlace, const QDateTime& start, const QDateTime& end,
                            const QString& header = QStringLiteral("Задание"))
    {
        EventRow row;
        row.workPlace = workPlace;
        row.start = start;
        row.end = end;
        row.header = header;
        return row;
    }
    static QDateTime at(int month, int day, int hour, int minute = 0)
    {
        return wallClock(QDate(2024, month, day), QTime(hour, minute));
    }

    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    std::unique_ptr<db::Connection> m_c;
};

// A workstation's planner page over the suite's database, logged in as
// the user a test opens it for.
class PlannerPageFixture : public PlannerFixture
{
protected:
    void TearDown() override { close(); }
    void close()
    {
        m_page.reset();
        m_users.reset();
        m_station.reset();
    }
    // The page of a workstation where the user has just logged in, with the
    // tree built and its first entry loaded.
    planner::PlannerPage& open(int userId, UserRole role)
    {
        close();
        m_station = database().connect();
        m_users =
            std::make_unique<db::Query>(*m_station, QStringLiteral("SELECT * FROM Users ORDER BY Name"));
        m_users->open();
        m_page = std::make_unique<planner::PlannerPage>(*m_station, *m_users);
        m_page->resize(800, 600);
        m_page->setUser(userId, role);
        m_page->openLists();
        m_page->ReadOptions();
        m_page->refreshWorkPlaces();
        return *m_page;
    }
    widgets::PlannerGrid& grid() const { return *m_page->grid(); }
    widgets::PlannerItem* itemOf(int eventId) const { return grid().itemByKey(eventId); }
    QStringList loadedHeaders() const
    {
        QStringList out;
        for (int r = 0; r < m_page->events().recordCount(); ++r)
            out << m_page->events().valueAt(r, QStringLiteral("HEADER")).toString();
        return out;
    }

    std::unique_ptr<db::Connection> m_station;
    std::unique_ptr<db::Query> m_users;
    std::unique_ptr<planner::PlannerPage> m_page;
};

} // namespace tarvik::test
