#pragma once

#include "eventmarkup.h"
#include "planneritem.h"

#include <QVariant>

namespace tarvik {
class AccessRights;
}
namespace tarvik::db {
class Connection;
class Query;
} // namespace tarvik::db
namespace tarvik::widgets {
class PlannerItemSource;
}

namespace tarvik::planner {

class PositionMap;

// The handlers the three item sources call: an event row becomes an item
// drawn in its template's fonts and colours, an item written back records
// its mover, new rows get keys from GETEVENTS_ID, and work places map to
// grid positions through the position map.
class PlannerItemMapper
{
public:
    // `templates` is the template list ("SELECT * FROM TEMPLATE"),
    // `authors` the planner's users ("SELECT* FROM Users"); both are
    // searched without moving their current rows.
    PlannerItemMapper(db::Connection& connection, const db::Query& templates, const db::Query& authors,
                      const PositionMap& positions, const AccessRights& rights);

    // Binds the handlers and the field names to a source.
    void bind(widgets::PlannerItemSource& source);

    void DBDaySourceFieldsToItem(widgets::PlannerItem& item, const db::Query& events, int row) const;
    void DBDaySourceItemToFields(widgets::PlannerItem& item, db::Query& events) const;
    [[nodiscard]] QVariant DBDaySourceCreateKey();
    [[nodiscard]] int DBDaySourceResourceToPosition(const QVariant& workPlace) const;
    [[nodiscard]] QVariant DBDaySourcePositionToResource(int position) const;

    // The key most recently handed out for a row the grid inserted; the
    // paste command finds its new row by it (an integer, as the rows hold
    // their keys). Invalid before the first.
    [[nodiscard]] const QVariant& lastCreatedKey() const { return m_lastCreatedKey; }

private:
    // Rows by key; -1 when there is none.
    [[nodiscard]] int templateRow(const QVariant& id) const;
    [[nodiscard]] int authorRow(const QVariant& id) const;
    [[nodiscard]] BodyFonts bodyFonts(int templateRow) const;
    [[nodiscard]] QString authorName(int authorRow) const;
    void applyLook(widgets::PlannerItem& item, int templateRow) const;

    db::Connection& m_connection;
    const db::Query& m_templates;
    const db::Query& m_authors;
    const PositionMap& m_positions;
    const AccessRights& m_rights;
    QVariant m_lastCreatedKey;
};

} // namespace tarvik::planner
