#include "taskchoices.h"

#include "query.h"

#include <optional>

namespace tarvik::planner {

namespace {

std::vector<TaskChoices::Row> rowsOf(const db::Query& list)
{
    std::vector<TaskChoices::Row> rows;
    if (!list.isOpen())
        return rows;
    const int id = list.columnIndex(QStringLiteral("ID"));
    const int name = list.columnIndex(QStringLiteral("NAME"));
    rows.reserve(std::size_t(list.recordCount()));
    for (int r = 0; r < list.recordCount(); ++r)
        rows.push_back({list.valueAt(r, id).toInt(), list.valueAt(r, name).toString()});
    return rows;
}

std::optional<int> keyOf(const QVariant& key)
{
    bool ok = false;
    const int value = key.toInt(&ok);
    if (key.isNull() || !ok)
        return std::nullopt;
    return value;
}

// The row whose ID equals the key, or -1.
int find(const std::vector<TaskChoices::Row>& rows, const QVariant& key)
{
    const std::optional<int> wanted = keyOf(key);
    if (!wanted)
        return -1;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].id == *wanted)
            return int(r);
    }
    return -1;
}

bool isNoSound(const QVariant& key)
{
    const std::optional<int> value = keyOf(key);
    return !value || *value == 0;
}

} // namespace

TaskChoices::TaskChoices(std::vector<Row> templates, std::vector<Row> sounds)
    : m_templates(std::move(templates)), m_sounds(std::move(sounds))
{}

TaskChoices TaskChoices::fromLists(const db::Query& templates, const db::Query& sounds)
{
    return TaskChoices(rowsOf(templates), rowsOf(sounds));
}

TaskChoices TaskChoices::load(db::Connection& connection)
{
    db::Query templates(connection, kTemplatesSql);
    db::Query sounds(connection, kSoundsSql);
    templates.open();
    sounds.open();
    return fromLists(templates, sounds);
}

QStringList TaskChoices::templateNames() const
{
    QStringList names;
    for (const Row& row : m_templates)
        names << row.name;
    return names;
}

QStringList TaskChoices::soundChoices() const
{
    QStringList names{kNoSound};
    for (const Row& row : m_sounds)
        names << row.name;
    return names;
}

int TaskChoices::templatePositionOf(const QVariant& key) const
{
    const int found = find(m_templates, key);
    return found >= 0 ? found : int(m_templates.size()) - 1;
}

bool TaskChoices::hasTemplate(const QVariant& key) const
{
    return find(m_templates, key) >= 0;
}

int TaskChoices::soundPositionOf(const QVariant& key) const
{
    if (isNoSound(key))
        return 0;
    const int found = find(m_sounds, key);
    return found >= 0 ? found + 1 : int(m_sounds.size());
}

bool TaskChoices::hasSound(const QVariant& key) const
{
    return isNoSound(key) || find(m_sounds, key) >= 0;
}

QVariant TaskChoices::templateIdAt(int position) const
{
    const int row = position < 0 ? 0 : position;
    if (row >= int(m_templates.size()))
        return {};
    return m_templates[std::size_t(row)].id;
}

QVariant TaskChoices::soundIdAt(int position) const
{
    if (position <= 0)
        return 0;
    if (position > int(m_sounds.size()))
        return {};
    return m_sounds[std::size_t(position - 1)].id;
}

} // namespace tarvik::planner
