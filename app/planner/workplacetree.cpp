#include "workplacetree.h"

#include "accessrights.h"
#include "markuptreemodel.h"
#include "markuptreeview.h"
#include "query.h"

#include <QItemSelectionModel>

namespace tarvik::planner {

const QString WorkPlaceTree::kRootCaption = QStringLiteral("<b>Рабочие места</b>");

namespace {

QVariant valueOf(EntryKind kind, int number)
{
    return QVariant::fromValue(WorkPlaceEntry{kind, number});
}

} // namespace

WorkPlaceTree::WorkPlaceTree(AccessRights& rights, db::Query& users, QObject* parent)
    : QObject(parent), m_rights(rights), m_users(users), m_view(new widgets::MarkupTreeView)
{
    m_view->setObjectName(QStringLiteral("tvWorkType"));
    m_view->setFrameShape(QFrame::NoFrame);
    // The chosen entry stays visible when the tree loses the focus.
    QPalette palette = m_view->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight, QColor(192, 192, 192));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::black);
    m_view->setPalette(palette);
    connect(m_view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { currentIndexChanged(current); });
}

WorkPlaceTree::~WorkPlaceTree()
{
    if (m_view && !m_view->parent())
        delete m_view;
}

void WorkPlaceTree::BuildWorkPlaceTree()
{
    widgets::MarkupTreeModel* model = m_view->markupModel();
    m_quiet = true;
    model->clear();
    m_quiet = false;
    m_current.reset();
    switch (m_rights.role()) {
    case UserRole::Worker: {
        const QModelIndex root = model->appendItem(kRootCaption, valueOf(EntryKind::Root, 0));
        m_rights.reload();
        for (const VisibleWorkPlace& place : m_rights.visibleWorkPlaces()) {
            const QString caption =
                place.editable ? place.name
                               : QStringLiteral("<font color=\"clSilver\">%1</font>").arg(place.name);
            model->appendItem(caption, valueOf(EntryKind::WorkPlace, place.rightsRowId), root);
        }
        break;
    }
    case UserRole::Boss:
        addBossWorkPlaces(m_rights.userId(), model->appendItem(kRootCaption, valueOf(EntryKind::Root, 0)));
        break;
    case UserRole::Administrator:
        for (int r = 0; r < m_users.recordCount(); ++r) {
            if (!isFlagSet(m_users.valueAt(r, QStringLiteral("BOSS"))))
                continue;
            const int bossId = m_users.valueAt(r, QStringLiteral("ID")).toInt();
            const QString caption = QStringLiteral("<IMG src=\"idx:1\">  <b>%1</b>")
                                        .arg(m_users.valueAt(r, QStringLiteral("NAME")).toString());
            addBossWorkPlaces(bossId, model->appendItem(caption, valueOf(EntryKind::Boss, bossId)));
        }
        break;
    }
}

void WorkPlaceTree::addBossWorkPlaces(int bossId, const QModelIndex& parent)
{
    for (const VisibleWorkPlace& place : m_rights.visibleWorkPlaces(bossId))
        m_view->markupModel()->appendItem(place.name, valueOf(EntryKind::WorkPlace, place.workPlaceId),
                                          parent);
}

void WorkPlaceTree::chooseFirst()
{
    const QModelIndex first = m_view->markupModel()->index(0, 0);
    if (!first.isValid())
        return;
    m_quiet = true;
    m_view->setCurrentIndex(first);
    m_quiet = false;
    m_view->expandAll();
    tvWorkTypeChange(first.data(Qt::UserRole).value<WorkPlaceEntry>());
}

void WorkPlaceTree::currentIndexChanged(const QModelIndex& current)
{
    if (m_quiet || !current.isValid())
        return;
    tvWorkTypeChange(current.data(Qt::UserRole).value<WorkPlaceEntry>());
}

void WorkPlaceTree::tvWorkTypeChange(const WorkPlaceEntry& entry)
{
    m_current = entry;
    emit entryChosen(entry);
}

void WorkPlaceTree::chooseCurrentAgain()
{
    if (m_current)
        tvWorkTypeChange(*m_current);
}

} // namespace tarvik::planner
