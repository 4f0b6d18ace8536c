#pragma once

#include "connection.h"

#include <QDateTime>
#include <QString>
#include <QVariant>

namespace tarvik::test {

// A small office for the reminder and notification tests: the built-in
// administrator (ID 1), a boss with two work places, a second boss with one,
// and two workers with rights on the first boss's places.
struct TasksOffice
{
    int boss = 0;
    int otherBoss = 0;
    int worker = 0; // views P1 without editing; P2 editable but not viewed
    int editor = 0; // views and edits P1
    int p1 = 0, p2 = 0, p3 = 0;
    static constexpr int kAdmin = 1;

    // Empties the tables the tests write and builds the office afresh.
    void build(db::Connection& c);
    static int addUser(db::Connection& c, const QString& name, bool boss, const QVariant& bossId);
    static int addWorkPlace(db::Connection& c, const QString& name, int bossId);
    static void addRight(db::Connection& c, int userId, int workPlaceId, bool view, bool edit);
};

// An event to add; an hour long unless its end is given.
struct EventRow
{
    EventRow(int workPlace, const QDateTime& start, const QVariant& alarm = 0)
        : workPlace(workPlace), start(start), alarm(alarm)
    {}
    EventRow& withHeader(const QString& h)
    {
        header = h;
        return *this;
    }
    EventRow& withEnd(const QDateTime& e)
    {
        end = e;
        return *this;
    }
    EventRow& withSound(int s)
    {
        sound = s;
        return *this;
    }
    EventRow& withFinished(const QString& f)
    {
        finished = f;
        return *this;
    }

    int workPlace;
    QDateTime start;
    QVariant alarm;
    QString header = QStringLiteral("Совещание");
    QDateTime end;
    int sound = 0;
    QString finished = QStringLiteral("F");
};

// Adds the event and commits; gives its ID.
int addEvent(db::Connection& c, const EventRow& row);
// Adds a sound and commits; gives its ID.
int addSound(db::Connection& c, const QString& name, const QString& path);
// Counts the rows a statement selects, on the given connection.
int countOf(db::Connection& c, const QString& sql);

} // namespace tarvik::test
