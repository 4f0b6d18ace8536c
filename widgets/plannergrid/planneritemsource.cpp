#include "planneritemsource.h"

#include "plannergrid.h"
#include "query.h"

#include <climits>

namespace tarvik::widgets {

namespace {

// Keys handed out as decimal text are kept as numbers, so that they compare
// equal to the keys read from the rows.
QVariant normalisedKey(const QVariant& key)
{
    if (key.typeId() != QMetaType::QString)
        return key;
    bool ok = false;
    const qlonglong n = key.toString().toLongLong(&ok);
    if (!ok)
        return key;
    return n >= INT_MIN && n <= INT_MAX ? QVariant(int(n)) : QVariant(n);
}

} // namespace

PlannerItemSource::PlannerItemSource(QObject* parent) : QObject(parent) {}

PlannerItemSource::~PlannerItemSource()
{
    if (m_grid && m_grid->itemSource() == this)
        m_grid->setItemSource(nullptr);
}

void PlannerItemSource::setQuery(db::Query* query)
{
    m_query = query;
    connectQuery();
    reload();
}

void PlannerItemSource::setResourceCount(int count)
{
    m_resourceCount = count;
    reload();
}

void PlannerItemSource::setActive(bool active)
{
    if (m_active == active)
        return;
    m_active = active;
    connectQuery();
    if (active)
        rangeChanged();
    else
        reload();
}

void PlannerItemSource::attachTo(PlannerGrid* grid)
{
    m_grid = grid;
    connectQuery();
}

void PlannerItemSource::rangeChanged()
{
    if (!m_grid || !m_active)
        return;
    const PlannerRowMap before = m_grid->m_rows;
    arrangeRows(m_grid->m_rows);
    m_grid->rowsArranged(before);
    reload();
}

// Row set notifications are followed only while the source shows items.
void PlannerItemSource::connectQuery()
{
    for (const auto& c : std::as_const(m_queryConnections))
        disconnect(c);
    m_queryConnections.clear();
    if (!m_query || !m_grid || !m_active)
        return;
    m_queryConnections << connect(m_query, &db::Query::opened, this, &PlannerItemSource::reload)
                       << connect(m_query, &db::Query::closed, this, &PlannerItemSource::reload)
                       << connect(m_query, &db::Query::rowRemoved, this, &PlannerItemSource::reload)
                       << connect(m_query, &db::Query::rowChanged, this, &PlannerItemSource::syncRow)
                       << connect(m_query, &db::Query::rowInserted, this, &PlannerItemSource::syncRow)
                       << connect(m_query, &db::Query::rowsMerged, this, &PlannerItemSource::syncKeys);
}

bool PlannerItemSource::canShow() const
{
    return m_grid && m_active && m_query && m_query->isOpen();
}

int PlannerItemSource::positionLimit() const
{
    return m_resourceCount > 0 ? m_resourceCount : m_grid->positions();
}

void PlannerItemSource::reload()
{
    if (!m_grid || m_grid->itemSource() != this)
        return;
    m_grid->removeBoundItems();
    if (canShow()) {
        const int rows = m_query->recordCount();
        for (int row = 0; row < rows; ++row) {
            PlannerItem item = m_grid->defaultItem();
            if (fillItem(item, row))
                m_grid->addItem(std::move(item));
        }
    }
    m_grid->itemsChanged();
}

bool PlannerItemSource::fillItem(PlannerItem& item, int row) const
{
    const QDateTime start = m_query->valueAt(row, m_startField).toDateTime();
    const QDateTime end = m_query->valueAt(row, m_endField).toDateTime();
    if (!start.isValid() || !end.isValid() || !covers(start, end))
        return false;
    const QVariant resource =
        m_resourceField.isEmpty() ? QVariant(0) : m_query->valueAt(row, m_resourceField);
    const int position = m_resourceToPosition ? m_resourceToPosition(resource) : resource.toInt();
    if (position < 0 || position >= positionLimit())
        return false;
    item.key = m_query->valueAt(row, m_keyField);
    item.bound = true;
    item.start = start;
    item.end = end;
    item.position = position;
    if (m_fieldsToItem)
        m_fieldsToItem(item, *m_query, row);
    return true;
}

int PlannerItemSource::keyColumnRow(const QVariant& key) const
{
    if (m_query->columnIndex(m_keyField) < 0)
        return -1;
    return m_query->rowOf(m_keyField, {key});
}

void PlannerItemSource::syncKeys(const QVariantList& keys)
{
    if (!canShow() || m_grid->itemSource() != this)
        return;
    for (const QVariant& key : keys) {
        const int row = keyColumnRow(key);
        if (row >= 0)
            updateRow(row);
        else if (PlannerItem* gone = m_grid->itemByKey(key))
            m_grid->removeItem(gone);
    }
    m_grid->orderBoundItems();
    m_grid->itemsChanged();
}

void PlannerItemSource::syncRow(int row)
{
    if (!canShow() || m_grid->itemSource() != this)
        return;
    updateRow(row);
    m_grid->itemsChanged();
}

void PlannerItemSource::updateRow(int row)
{
    const QVariant key = m_query->valueAt(row, m_keyField);
    PlannerItem* existing = m_grid->itemByKey(key);
    PlannerItem fresh = m_grid->defaultItem();
    if (!fillItem(fresh, row)) {
        if (existing)
            m_grid->removeItem(existing);
    } else if (existing) {
        fresh.selected = existing->selected;
        *existing = std::move(fresh);
    } else {
        m_grid->addItem(std::move(fresh));
    }
}

void PlannerItemSource::makeCurrent(const PlannerItem& item)
{
    if (item.bound && m_query && m_query->state() == db::Query::State::Browse)
        m_query->locate(m_keyField, item.key);
}

bool PlannerItemSource::writeItem(PlannerItem& item)
{
    if (!m_query || !item.bound || !m_query->locate(m_keyField, item.key))
        return true;
    m_query->edit();
    try {
        m_query->setValue(m_startField, item.start);
        m_query->setValue(m_endField, item.end);
        if (!m_resourceField.isEmpty())
            m_query->setValue(m_resourceField, m_positionToResource ? m_positionToResource(item.position)
                                                                    : QVariant(item.position));
        if (m_itemToFields)
            m_itemToFields(item, *m_query);
        if (!m_postRow) {
            m_query->post();
            return true;
        }
        // The handler may ask the user; the item is not touched after it.
        return m_postRow(*m_query);
    } catch (...) {
        m_query->cancel();
        throw;
    }
}

QVariant PlannerItemSource::insertRow(const QDateTime& start, const QDateTime& end, int position)
{
    if (!m_query)
        return {};
    m_query->append();
    try {
        PlannerItem item = m_grid ? m_grid->defaultItem() : PlannerItem{};
        item.key = normalisedKey(m_createKey ? m_createKey() : m_query->value(m_keyField));
        item.bound = true;
        item.start = start;
        item.end = end;
        item.position = position;
        m_query->setValue(m_keyField, item.key);
        m_query->setValue(m_startField, start);
        m_query->setValue(m_endField, end);
        if (!m_resourceField.isEmpty())
            m_query->setValue(m_resourceField,
                              m_positionToResource ? m_positionToResource(position) : QVariant(position));
        if (m_itemToFields)
            m_itemToFields(item, *m_query);
        m_query->post();
        return item.key;
    } catch (...) {
        m_query->cancel();
        throw;
    }
}

} // namespace tarvik::widgets
