#pragma once

#include "connection.h"
#include "platformscope.h"
#include "roles.h"
#include "scriptedplatform.h"
#include "testdatabase.h"

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
class PlannerFixture : public testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
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
        return QDateTime(QDate(2024, month, day), QTime(hour, minute));
    }

    static TestDatabase* s_db;
    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    std::unique_ptr<db::Connection> m_c;
};

} // namespace tarvik::test
