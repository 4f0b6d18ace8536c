#pragma once

#include <QList>
#include <QString>

#include <set>

namespace tarvik::messaging {

// Which chat messages a workstation has still to fetch.
//
// The mark is the greatest key fetched, and a refresh asks only for keys
// above it. Keys are drawn just before a message is stored and committed,
// so two overlapping sends can commit in the opposite order of their keys:
// when the higher one has been fetched first, the lower one would fall
// below the mark and never be fetched. The keys below the mark that have
// not been fetched and may still come are therefore kept as awaited and
// asked for besides the keys above the mark. A key stops being awaited when
// its message is fetched, when it turns out to be a message not meant for
// this user, or when it is too old to be a send still under way.
class ChatMark
{
public:
    // How far below the mark a send can still be under way: far more sends
    // than can commit while one send commits. Keys further down (drawn by
    // sends that failed, or by messages deleted before anybody fetched them)
    // are given up, so that at most this many keys are ever awaited.
    static constexpr int kWindow = 64;

    void reset();

    [[nodiscard]] int mark() const { return m_mark; }
    [[nodiscard]] const std::set<int>& awaited() const { return m_awaited; }

    // The key condition of the fetch statement: "(Id > :LastId)" alone while
    // nothing is awaited, else with the awaited keys beside it.
    [[nodiscard]] QString keyCondition() const;
    // The fetch statement with that condition.
    [[nodiscard]] QString fetchSql() const;

    // A refresh fetched these keys: the mark moves to the greatest, and the
    // keys it passed without fetching them are awaited.
    void fetched(const QList<int>& keys);
    // The mark statement gave every key the user can see now: the mark
    // moves up to the greatest (never down, or lines already shown would
    // come again); the messages it passes are skipped on purpose, but the
    // keys it passes that are not in the table yet are awaited.
    void markSet(const QList<int>& visibleKeys);
    // These awaited keys belong to messages between other users.
    void notMine(const QList<int>& keys);

private:
    void awaitBetween(int from, int to, const QList<int>& present);
    void trim();

    int m_mark = 0;
    std::set<int> m_awaited;
};

} // namespace tarvik::messaging
