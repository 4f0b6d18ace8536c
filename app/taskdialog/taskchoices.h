#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <vector>

namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db

namespace tarvik::planner {

// The templates and sounds the task dialog offers, taken once when a dialog
// is created: changes to either table while the dialog is open do not reach
// it. Rows keep the order in which the lists returned them.
//
// Template positions count the template rows from 0. Sound positions put the
// no-sound choice "нет" (stored as 0) at 0 and the k-th sound row at k.
class TaskChoices
{
public:
    struct Row
    {
        int id;
        QString name;
    };

    static inline const QString kTemplatesSql = QStringLiteral("SELECT * FROM TEMPLATE");
    static inline const QString kSoundsSql = QStringLiteral("SELECT * FROM Sounds");
    static inline const QString kNoSound = QStringLiteral("нет");

    TaskChoices() = default;
    TaskChoices(std::vector<Row> templates, std::vector<Row> sounds);
    // The rows of the options window's open template and sound lists; their
    // current rows are left where they are.
    [[nodiscard]] static TaskChoices fromLists(const db::Query& templates, const db::Query& sounds);
    // Reads both tables afresh, for callers that hold no lists of their own.
    [[nodiscard]] static TaskChoices load(db::Connection& connection);

    [[nodiscard]] const std::vector<Row>& templates() const { return m_templates; }
    [[nodiscard]] const std::vector<Row>& sounds() const { return m_sounds; }
    [[nodiscard]] QStringList templateNames() const;
    // "нет" followed by the sound names.
    [[nodiscard]] QStringList soundChoices() const;

    // The position shown for an event's TEMPLATE: that template's row, and
    // the last row when no template has the key (deleted since, or null);
    // -1 when there are no templates.
    [[nodiscard]] int templatePositionOf(const QVariant& key) const;
    [[nodiscard]] bool hasTemplate(const QVariant& key) const;
    // The position shown for an event's SOUND: 0 for 0 and null, which both
    // mean no sound; the sound's row + 1; the last sound when none has the key.
    [[nodiscard]] int soundPositionOf(const QVariant& key) const;
    // True also for 0 and null: "нет" stands for them.
    [[nodiscard]] bool hasSound(const QVariant& key) const;

    // The template ID chosen at a position; no selection (-1) reads the first
    // row. Null when there are no templates or the position is past the end.
    [[nodiscard]] QVariant templateIdAt(int position) const;
    // 0 at position 0, otherwise the ID of that sound row; null past the end.
    [[nodiscard]] QVariant soundIdAt(int position) const;

private:
    std::vector<Row> m_templates;
    std::vector<Row> m_sounds;
};

} // namespace tarvik::planner
