#include "planneritemmapper.h"

#include "accessrights.h"
#include "connection.h"
#include "planneritemsource.h"
#include "platform.h"
#include "positionmap.h"
#include "query.h"
#include "storedevent.h"

#include <QColor>

namespace tarvik::planner {

namespace {

QColor colourOf(const QVariant& stored)
{
    return QColor(EventMarkup::colourText(stored.toInt()));
}

EventFields fieldsOf(const std::function<QVariant(const QString&)>& value)
{
    EventFields f;
    f.isFinish = value(QStringLiteral("ISFINISH"));
    f.alarm = value(QStringLiteral("ALARM"));
    f.header = value(QStringLiteral("HEADER")).toString();
    f.comment = value(QStringLiteral("COMMENT")).toString();
    f.authorId = value(QStringLiteral("USERSID")).toInt();
    f.dateEdit = value(QStringLiteral("DATEEDIT"));
    return f;
}

int rowOf(const db::Query& query, const QString& column, const QVariant& id)
{
    if (!query.isOpen() || !id.isValid())
        return -1;
    const int key = id.toInt();
    const int c = query.columnIndex(column);
    for (int r = 0; c >= 0 && r < query.recordCount(); ++r)
        if (!query.isNullAt(r, c) && query.intAt(r, c) == key)
            return r;
    return -1;
}

} // namespace

PlannerItemMapper::PlannerItemMapper(db::Connection& connection, const db::Query& templates,
                                     const db::Query& authors, const PositionMap& positions,
                                     const AccessRights& rights)
    : m_connection(connection), m_templates(templates), m_authors(authors), m_positions(positions),
      m_rights(rights)
{}

void PlannerItemMapper::bind(widgets::PlannerItemSource& source)
{
    source.setStartField(QStringLiteral("STARTTIME"));
    source.setEndField(QStringLiteral("ENDTIME"));
    source.setKeyField(QStringLiteral("ID"));
    source.setResourceField(QStringLiteral("WORKPLACE"));
    source.setFieldsToItem([this](widgets::PlannerItem& item, const db::Query& events, int row) {
        DBDaySourceFieldsToItem(item, events, row);
    });
    source.setItemToFields(
        [this](widgets::PlannerItem& item, db::Query& events) { DBDaySourceItemToFields(item, events); });
    source.setCreateKey([this] { return DBDaySourceCreateKey(); });
    source.setResourceToPosition(
        [this](const QVariant& resource) { return DBDaySourceResourceToPosition(resource); });
    source.setPositionToResource([this](int position) { return DBDaySourcePositionToResource(position); });
    source.setPostRow([](db::Query& events) { return storeEventChange(events); });
}

int PlannerItemMapper::templateRow(const QVariant& id) const
{
    return rowOf(m_templates, QStringLiteral("ID"), id);
}

int PlannerItemMapper::authorRow(const QVariant& id) const
{
    return rowOf(m_authors, QStringLiteral("ID"), id);
}

// A template that no longer exists leaves the fonts unset: the body is
// drawn in the grid's default font and black.
BodyFonts PlannerItemMapper::bodyFonts(int row) const
{
    BodyFonts f;
    if (row < 0)
        return f;
    auto v = [&](const char* column) { return m_templates.valueAt(row, QLatin1String(column)); };
    f.headerFont = v("HEADERFONT").toString();
    f.headerFontSize = v("HEADERFONTSIZE").toInt();
    f.headerFontColor = v("HEADERFONTCOLOR").toInt();
    f.textFont = v("TEXTFONT").toString();
    f.textFontSize = v("TEXTFONTSIZE").toInt();
    f.textFontColor = v("TEXTFONTCOLOR").toInt();
    return f;
}

// An author who no longer exists keeps his link with an empty name.
QString PlannerItemMapper::authorName(int row) const
{
    return row < 0 ? QString() : m_authors.valueAt(row, QStringLiteral("NAME")).toString();
}

// The caption bar and colours of the template; a missing template keeps
// the grid's default look.
void PlannerItemMapper::applyLook(widgets::PlannerItem& item, int row) const
{
    item.captionType = widgets::PlannerCaptionType::TimeText;
    item.uniformBackground = false;
    item.readOnly = true;
    if (row < 0)
        return;
    auto v = [&](const char* column) { return m_templates.valueAt(row, QLatin1String(column)); };
    item.captionBackground = colourOf(v("CAPTIONBG"));
    item.captionFontColor = colourOf(v("CAPTIONFONTCOLOR"));
    QFont caption = item.captionFont;
    const QString family = v("CAPTIONFONT").toString();
    if (!family.isEmpty())
        caption.setFamily(family);
    if (v("CAPTIONFONTSIZE").toInt() > 0)
        caption.setPointSize(v("CAPTIONFONTSIZE").toInt());
    caption.setBold(true);
    item.captionFont = caption;
    item.color = colourOf(v("BGCOLOR"));
    item.trackColor = colourOf(v("TRACKCOLOR"));
}

void PlannerItemMapper::DBDaySourceFieldsToItem(widgets::PlannerItem& item, const db::Query& events,
                                                int row) const
{
    const EventFields fields = fieldsOf([&](const QString& column) { return events.valueAt(row, column); });
    const int look = templateRow(events.valueAt(row, QStringLiteral("TEMPLATE")));
    if (m_rights.role() == UserRole::Worker &&
        !m_rights.canEditWorkPlace(events.valueAt(row, QStringLiteral("WORKPLACE")).toInt())) {
        item.fixedTime = true;
        item.fixedPosition = true;
        item.fixedSize = true;
    }
    applyLook(item, look);
    item.text = EventMarkup::body(fields, bodyFonts(look), authorName(authorRow(fields.authorId)));
}

void PlannerItemMapper::DBDaySourceItemToFields(widgets::PlannerItem& item, db::Query& events) const
{
    events.setValue(QStringLiteral("USERSID"), m_rights.userId());
    events.setValue(QStringLiteral("DATEEDIT"), platform().now());
    const EventFields fields = fieldsOf([&](const QString& column) { return events.value(column); });
    const int look = templateRow(events.value(QStringLiteral("TEMPLATE")));
    item.text = EventMarkup::body(fields, bodyFonts(look), authorName(authorRow(fields.authorId)));
}

QVariant PlannerItemMapper::DBDaySourceCreateKey()
{
    const QVariantMap out = m_connection.executeProcedure(QStringLiteral("EXECUTE PROCEDURE GETEVENTS_ID"));
    const QVariant key = out.value(QStringLiteral("IDD"));
    m_lastCreatedKey = key.toInt();
    return QString::number(key.toLongLong());
}

int PlannerItemMapper::DBDaySourceResourceToPosition(const QVariant& workPlace) const
{
    return m_positions.positionOf(workPlace.toInt());
}

QVariant PlannerItemMapper::DBDaySourcePositionToResource(int position) const
{
    return m_positions.workPlaceAt(position);
}

} // namespace tarvik::planner
