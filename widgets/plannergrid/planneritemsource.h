#pragma once

#include "planneritem.h"

#include "query.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>

namespace tarvik::widgets {

class PlannerGrid;
class PlannerRowMap;

// Binds the items of a planner grid to the rows of a row set: every row
// whose span falls in the source's range becomes an item, and items dragged,
// resized or created in the grid are written back to their rows. A row is
// found by its key field; its times come from the start and end fields and
// its column from the resource field through the position handlers.
//
// The handlers let the program decide what a row looks like: fieldsToItem
// fills an item from row `row` (read with Query::valueAt, so that loading
// does not move the current row); itemToFields completes the current row
// while it is being edited or inserted, after the source has written the
// times and the resource.
class PlannerItemSource : public QObject
{
    Q_OBJECT
public:
    using FieldsToItem = std::function<void(PlannerItem& item, const db::Query& query, int row)>;
    using ItemToFields = std::function<void(PlannerItem& item, db::Query& query)>;
    using CreateKey = std::function<QVariant()>;
    // The grid position of a row's resource value; a negative result leaves
    // the row without an item.
    using ResourceToPosition = std::function<int(const QVariant& resource)>;
    using PositionToResource = std::function<QVariant(int position)>;
    // Writes the row in editing; false when the change was given up and the
    // row is no longer in editing.
    using PostRow = std::function<bool(db::Query& query)>;

    explicit PlannerItemSource(QObject* parent = nullptr);
    ~PlannerItemSource() override;

    void setQuery(db::Query* query);
    [[nodiscard]] db::Query* query() const { return m_query; }
    void setStartField(const QString& name) { m_startField = name; }
    void setEndField(const QString& name) { m_endField = name; }
    void setKeyField(const QString& name) { m_keyField = name; }
    void setResourceField(const QString& name) { m_resourceField = name; }
    [[nodiscard]] const QString& startField() const { return m_startField; }
    [[nodiscard]] const QString& endField() const { return m_endField; }
    [[nodiscard]] const QString& keyField() const { return m_keyField; }
    [[nodiscard]] const QString& resourceField() const { return m_resourceField; }
    // Positions from 0 to count - 1 take items; 0 leaves it to the grid's
    // number of positions.
    void setResourceCount(int count);
    [[nodiscard]] int resourceCount() const { return m_resourceCount; }

    void setFieldsToItem(FieldsToItem handler) { m_fieldsToItem = std::move(handler); }
    void setItemToFields(ItemToFields handler) { m_itemToFields = std::move(handler); }
    void setCreateKey(CreateKey handler) { m_createKey = std::move(handler); }
    void setResourceToPosition(ResourceToPosition handler) { m_resourceToPosition = std::move(handler); }
    void setPositionToResource(PositionToResource handler) { m_positionToResource = std::move(handler); }
    // Without one, a change is posted as it is.
    void setPostRow(PostRow handler) { m_postRow = std::move(handler); }

    // An inactive source leaves the grid empty and ignores its rows.
    void setActive(bool active);
    [[nodiscard]] bool isActive() const { return m_active; }
    [[nodiscard]] PlannerGrid* grid() const { return m_grid; }

    // Rebuilds all items from the rows.
    void reload();
    // Stores a moved or resized item into its row (edit, set, post). False
    // when the row was not written: the item no longer shows its row.
    bool writeItem(PlannerItem& item);
    // Inserts a row for a new item over [start, end) at `position`; the item
    // appears through the row set's insert notification. Gives the new key.
    QVariant insertRow(const QDateTime& start, const QDateTime& end, int position);
    // Makes the item's row the current row.
    void makeCurrent(const PlannerItem& item);

protected:
    // Sets the grid's rows for this source's range.
    virtual void arrangeRows(PlannerRowMap& rows) const = 0;
    // Whether a row spanning [start, end) belongs to this source's range.
    [[nodiscard]] virtual bool covers(const QDateTime& start, const QDateTime& end) const = 0;
    // Re-applies the range after a setter changed it.
    void rangeChanged();

private:
    friend class PlannerGrid;
    void attachTo(PlannerGrid* grid);
    void connectQuery();
    [[nodiscard]] bool canShow() const;
    [[nodiscard]] int positionLimit() const;
    [[nodiscard]] int keyColumnRow(const QVariant& key) const;
    // Builds or refreshes the item of one row; drops it when it falls
    // outside the range.
    void syncRow(int row);
    void updateRow(int row);
    // The items of rows merged in from a partial read: each key's row, or
    // none when the row went.
    void syncKeys(const QVariantList& keys);
    [[nodiscard]] bool fillItem(PlannerItem& item, int row) const;

    QPointer<db::Query> m_query;
    PlannerGrid* m_grid = nullptr; // cleared by the grid when it goes
    QList<QMetaObject::Connection> m_queryConnections;
    QString m_startField;
    QString m_endField;
    QString m_keyField;
    QString m_resourceField;
    int m_resourceCount = 0;
    bool m_active = false;
    FieldsToItem m_fieldsToItem;
    ItemToFields m_itemToFields;
    CreateKey m_createKey;
    ResourceToPosition m_resourceToPosition;
    PositionToResource m_positionToResource;
    PostRow m_postRow;
};

} // namespace tarvik::widgets
