#include "ruduvomain.h"

#include "connection.h"
#include "dberror.h"
#include "dialogbar.h"
#include "markupcombobox.h"
#include "platform.h"
#include "presencemarks.h"
#include "query.h"
#include "roles.h"
#include "screencentre.h"

#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tarvik::ruduvo {

const QString TfmMain::kClearAllSql = QStringLiteral("UPDATE Users SET InSystem = \"F\", Mono = \"F\"");
// The name goes as a parameter, so that a name with a double quote in it
// clears its own user and nothing else.
const QString TfmMain::kClearOneSql =
    QStringLiteral("UPDATE Users SET InSystem = \"F\", Mono = \"F\" WHERE Name = :Name");
// Only while the mark still names the attachment that is gone: a user who
// logged in again meanwhile keeps his new mark.
const QString TfmMain::kClearStaleSql = QStringLiteral(
    "UPDATE Users SET InSystem = \"F\", Mono = \"F\" WHERE Id = :Id AND Attachment = :Attachment");

TfmMain::TfmMain(db::Connection& connection, db::Query& users, QWidget* parent)
    : QDialog(parent), m_connection(connection), m_users(users)
{
    setObjectName(QStringLiteral("fmMain"));
    setWindowTitle(QStringLiteral("Очистка состояния пользователей"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto* bar = new widgets::DialogBar(this, true);
    connect(bar, &widgets::DialogBar::helpClicked, this, &TfmMain::sbHelpClick);
    connect(bar, &widgets::DialogBar::okClicked, this, &TfmMain::sbOKClick);
    connect(bar, &widgets::DialogBar::cancelClicked, this, &TfmMain::sbCancelClick);

    m_rbAllUsers = new QRadioButton(QStringLiteral("Очистить всех пользователей"), this);
    m_rbAllUsers->setObjectName(QStringLiteral("rbAllUsers"));
    m_rbAllUsers->setChecked(true);
    m_rbSelectUser = new QRadioButton(QStringLiteral("Очистить выбранного пользователя:"), this);
    m_rbSelectUser->setObjectName(QStringLiteral("rbSelectUser"));
    m_cbUser = new widgets::MarkupComboBox(this);
    m_cbUser->setObjectName(QStringLiteral("cbUser"));
    m_cbUser->setEnabled(false);
    m_rbStaleUsers = new QRadioButton(QStringLiteral("Очистить только потерявших связь с сервером"), this);
    m_rbStaleUsers->setObjectName(QStringLiteral("rbStaleUsers"));
    connect(m_rbAllUsers, &QRadioButton::toggled, this, &TfmMain::scopeChanged);
    connect(m_rbSelectUser, &QRadioButton::toggled, this, &TfmMain::scopeChanged);

    m_refresh = new QTimer(this);
    m_refresh->setInterval(kRefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &TfmMain::refreshStates);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_rbAllUsers);
    layout->addWidget(m_rbSelectUser);
    layout->addWidget(m_cbUser);
    layout->addWidget(m_rbStaleUsers);
    setFixedSize(400, 180);
}

void TfmMain::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    widgets::centreOnScreen(this);
    fillUsers();
}

void TfmMain::fillUsers()
{
    if (m_filled)
        return;
    m_filled = true;
    for (int r = 0; r < m_users.recordCount(); ++r) {
        m_users.setRecNo(r);
        m_cbUser->addMarkupItem(userCaption(m_users, CaptionForm::Role));
    }
    m_cbUser->selectPosition(-1);
    refreshStates();
    m_refresh->start();
}

void TfmMain::refreshStates()
{
    db::PresenceMarks marks;
    try {
        marks = db::PresenceMarks::read(m_connection);
    } catch (const db::DbError&) {
        // The list stays as it was; the next refresh tries again.
        return;
    }
    const int selected = m_cbUser->selectedPosition();
    QStringList items;
    for (int r = 0; r < m_users.recordCount(); ++r) {
        m_users.setRecNo(r);
        const QString state = db::markStateText(marks.state(m_users.integer(QStringLiteral("ID"))));
        items << userCaption(m_users, CaptionForm::Role) +
                     (state.isEmpty() ? QString() : QStringLiteral(" — ") + state);
    }
    bool same = items.size() == m_cbUser->count();
    for (int i = 0; same && i < items.size(); ++i)
        same = m_cbUser->markupItem(i) == items.at(i);
    if (same)
        return; // an open list is left alone
    m_cbUser->setMarkupItems(items);
    m_cbUser->selectPosition(selected);
}

void TfmMain::scopeChanged()
{
    m_cbUser->setEnabled(m_rbSelectUser->isChecked());
}

void TfmMain::sbOKClick()
{
    fillUsers();
    if (!platform().confirm(QStringLiteral("Вы уверены, что хотите произвести очитстку пользователей?")))
        return;
    if (m_rbStaleUsers->isChecked()) {
        if (clearStale())
            accept();
        return;
    }
    try {
        if (m_rbAllUsers->isChecked()) {
            m_connection.execute(kClearAllSql);
        } else {
            const int row = m_cbUser->selectedPosition() < 0 ? 0 : m_cbUser->selectedPosition();
            m_connection.execute(kClearOneSql,
                                 {{QStringLiteral("Name"), m_users.valueAt(row, QStringLiteral("NAME"))}});
        }
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return;
    }
    platform().notice(QStringLiteral("Очистка пользователей успешно завершена!"));
    m_cleared = true;
    accept();
}

// The marks are read again at the moment of clearing: only those stale now
// go, each only while it still names its dead attachment.
bool TfmMain::clearStale()
{
    try {
        const db::PresenceMarks marks = db::PresenceMarks::read(m_connection);
        const QList<int> stale = marks.staleUsers();
        if (stale.isEmpty()) {
            platform().notice(
                QStringLiteral("Нет отметок, оставленных рабочими местами без связи с сервером."));
            return false;
        }
        for (int id : stale)
            m_connection.execute(kClearStaleSql, {{QStringLiteral("Id"), id},
                                                  {QStringLiteral("Attachment"), marks.attachment(id)}});
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        try {
            m_connection.rollbackRetaining();
        } catch (const db::DbError&) {
        }
        platform().error(e.text());
        return false;
    }
    platform().notice(QStringLiteral("Очистка пользователей успешно завершена!"));
    m_cleared = true;
    return true;
}

void TfmMain::sbCancelClick()
{
    reject();
}

void TfmMain::sbHelpClick()
{
    platform().showHelp(19);
}

} // namespace tarvik::ruduvo
