#include "listpage.h"

#include "dberror.h"
#include "pictures.h"
#include "platform.h"
#include "query.h"
#include "querylistmodel.h"

#include <QHeaderView>
#include <QPainter>
#include <QTableView>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::admin {

QIcon listIcon(ListIcon kind)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (kind) {
    case ListIcon::Add:
        p.setPen(QPen(QColor(0, 130, 0), 2.6));
        p.drawLine(QPointF(8, 2.5), QPointF(8, 13.5));
        p.drawLine(QPointF(2.5, 8), QPointF(13.5, 8));
        break;
    case ListIcon::Edit:
        p.drawImage(QRect(0, 0, 16, 16), widgets::Pictures::pencil());
        break;
    case ListIcon::Delete:
        p.setPen(QPen(QColor(200, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
        break;
    case ListIcon::Play:
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 90, 170));
        p.drawPolygon(QPolygonF({QPointF(4, 2), QPointF(13, 8), QPointF(4, 14)}));
        break;
    }
    return QIcon(pixmap);
}

ListPage::ListPage(db::Query& list, const QString& gridName, const QString& columnTitle, QWidget* parent)
    : QWidget(parent), m_list(list)
{
    m_toolBar = new QToolBar(this);
    m_toolBar->setIconSize(QSize(16, 16));
    m_grid = new QTableView(this);
    m_grid->setObjectName(gridName);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_model = new QueryListModel(list, {{QStringLiteral("NAME"), columnTitle, {}}}, this);
    m_model->bindView(m_grid);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_toolBar);
    layout->addWidget(m_grid, 1);
}

QToolButton* ListPage::addButton(const char* name, const QString& hint, const QIcon& icon)
{
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setText(hint);
    button->setIcon(icon);
    button->setAutoRaise(true);
    m_toolBar->addWidget(button);
    return button;
}

bool ListPage::store(db::Query& list)
{
    try {
        list.post();
        return true;
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return false;
    }
}

} // namespace tarvik::admin
