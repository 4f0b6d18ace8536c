#pragma once

#include <QString>
#include <QVariant>

#include <memory>

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db

namespace tarvik::admin {

// The four lists the options window holds for the whole run: work places of
// one boss, appearance templates, sounds and the bosses. The planner, the
// task dialog and the reminders read the same templates and sounds; after
// the options window rolled back they are re-run, so everybody sees the
// state that stands.
class OptionLists
{
public:
    static const QString kWorkPlacesSql;
    static const QString kTemplatesSql;
    static const QString kSoundsSql;
    static const QString kBossesSql;

    explicit OptionLists(db::Connection& connection);
    ~OptionLists();
    OptionLists(const OptionLists&) = delete;
    OptionLists& operator=(const OptionLists&) = delete;

    // Opens the templates, sounds and bosses (after login). The work places
    // stay empty (boss -1) until somebody chooses whose to show.
    void open();
    // Re-runs the work places, templates and sounds, as after a rollback.
    void reopenAll();
    // Shows the work places of one boss (-1: none).
    void showWorkPlacesOf(int bossId);
    [[nodiscard]] int workPlacesBoss() const;

    [[nodiscard]] db::Query& workPlaces() const { return *m_workPlaces; }
    [[nodiscard]] db::Query& templates() const { return *m_templates; }
    [[nodiscard]] db::Query& sounds() const { return *m_sounds; }
    [[nodiscard]] db::Query& bosses() const { return *m_bosses; }

    // The row of a list whose column holds the value, without moving the
    // list's current row; -1 when there is none.
    [[nodiscard]] static int rowWith(const db::Query& list, const QString& column, const QVariant& value);
    // The file of a sound by its key; empty for an unknown key.
    [[nodiscard]] QString soundPath(int soundId) const;

private:
    std::unique_ptr<db::Query> m_workPlaces;
    std::unique_ptr<db::Query> m_templates;
    std::unique_ptr<db::Query> m_sounds;
    std::unique_ptr<db::Query> m_bosses;
};

} // namespace tarvik::admin
