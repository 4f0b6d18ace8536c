#include "workplacespage.h"

#include "dberror.h"
#include "optionlists.h"
#include "platform.h"
#include "query.h"
#include "tfmworkplace.h"

#include <QComboBox>
#include <QToolBar>
#include <QToolButton>

namespace tarvik::admin {

WorkPlacesPage::WorkPlacesPage(OptionLists& lists, QWidget* parent)
    : ListPage(lists.workPlaces(), QStringLiteral("dbgWorkPlace"),
               QStringLiteral("Наименование рабочего места"), parent),
      m_lists(lists)
{
    setObjectName(QStringLiteral("tsWorkPlaces"));
    m_sbAddPlace = addButton("sbAddPlace", QStringLiteral("Добавить"), listIcon(ListIcon::Add));
    m_sbEditPlace = addButton("sbEditPlace", QStringLiteral("Правка"), listIcon(ListIcon::Edit));
    m_sbDelPlace = addButton("sbDelPlace", QStringLiteral("Удалить"), listIcon(ListIcon::Delete));
    toolBar()->addSeparator();
    m_cbUsers = new QComboBox(toolBar());
    m_cbUsers->setObjectName(QStringLiteral("cbUsers"));
    m_cbUsers->setToolTip(QStringLiteral("Выберете управляющего"));
    m_cbUsers->setMinimumWidth(180);
    // A boss's name may be a hundred letters long: the box keeps to an
    // ordinary width, the open list shows names whole.
    m_cbUsers->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cbUsers->setMinimumContentsLength(24);
    toolBar()->addWidget(m_cbUsers);
    connect(m_cbUsers, &QComboBox::activated, this, &WorkPlacesPage::cbUsersChange);
    connect(m_sbAddPlace, &QToolButton::clicked, this, &WorkPlacesPage::sbAddPlaceClick);
    connect(m_sbEditPlace, &QToolButton::clicked, this, &WorkPlacesPage::sbEditPlaceClick);
    connect(m_sbDelPlace, &QToolButton::clicked, this, &WorkPlacesPage::sbDelPlaceClick);
    setButtonsAvailable(false);
}

void WorkPlacesPage::setButtonsAvailable(bool available)
{
    for (QToolButton* b : {m_sbAddPlace, m_sbEditPlace, m_sbDelPlace})
        b->setEnabled(available);
}

void WorkPlacesPage::setBossChooserVisible(bool visible)
{
    // The chooser lives in the tool bar: its action decides the showing.
    for (QAction* a : toolBar()->actions()) {
        if (toolBar()->widgetForAction(a) == m_cbUsers)
            a->setVisible(visible);
    }
}

void WorkPlacesPage::fillBosses()
{
    const db::Query& bosses = m_lists.bosses();
    m_cbUsers->clear();
    for (int row = 0; bosses.isOpen() && row < bosses.recordCount(); ++row)
        m_cbUsers->addItem(bosses.valueAt(row, QStringLiteral("NAME")).toString(),
                           bosses.valueAt(row, QStringLiteral("ID")));
    m_cbUsers->setCurrentIndex(-1);
}

void WorkPlacesPage::cbUsersChange(int index)
{
    if (index < 0)
        return;
    try {
        m_lists.showWorkPlacesOf(m_cbUsers->itemData(index).toInt());
        setButtonsAvailable(true);
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void WorkPlacesPage::editRow(const QString& name)
{
    QString typed = name;
    for (;;) {
        TfmWorkPlace dialog(typed, window());
        if (dialog.exec() != QDialog::Accepted) {
            m_list.cancel();
            return;
        }
        typed = dialog.name();
        m_list.setValue(QStringLiteral("NAME"), typed);
        if (store(m_list))
            return;
    }
}

void WorkPlacesPage::sbAddPlaceClick()
{
    m_list.append();
    m_list.setValue(QStringLiteral("BOSSID"), m_lists.workPlacesBoss());
    editRow(QString());
}

void WorkPlacesPage::sbEditPlaceClick()
{
    if (m_list.isEmpty() || m_list.recNo() < 0)
        return;
    m_list.edit();
    editRow(m_list.text(QStringLiteral("NAME")));
}

void WorkPlacesPage::sbDelPlaceClick()
{
    if (m_list.isEmpty() || m_list.recNo() < 0)
        return;
    if (!platform().confirm(QStringLiteral("Вы уверены, что хотите удалть это рабочее место?\r"
                                           "Также будут уделены все задания с этого рабочего места!")))
        return;
    try {
        m_list.deleteRow();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

} // namespace tarvik::admin
