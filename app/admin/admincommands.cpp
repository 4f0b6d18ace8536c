#include "admincommands.h"

#include "connection.h"
#include "dberror.h"
#include "optionlists.h"
#include "platform.h"
#include "query.h"
#include "tfmoptions.h"
#include "tfmusersmanager.h"
#include "workplacespage.h"

namespace tarvik::admin {

AdminCommands::AdminCommands(db::Connection& connection, db::Query& users, TfmOptions& options,
                             startup::LoginProfile& profile, Hooks hooks, QWidget* window)
    : QObject(window), m_connection(connection), m_users(users), m_options(options), m_profile(profile),
      m_hooks(std::move(hooks)), m_window(window)
{}

void AdminCommands::commit()
{
    try {
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void AdminCommands::rollback()
{
    try {
        m_connection.rollbackRetaining();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

// The lists show again what the database holds after a commit or rollback.
void AdminCommands::reopenLists()
{
    try {
        m_options.lists().reopenAll();
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void AdminCommands::miSystemParamClick()
{
    if (!m_profile.exclusive) {
        platform().notice(QStringLiteral("Настройка системы возможна только в монопольном режиме!"));
        return;
    }
    m_options.setUser(m_profile.userId, m_profile.role);
    m_options.setGridValues(m_hooks.gridValues());
    m_options.setMode(TfmOptions::Mode::Full);
    const bool confirmed = m_options.showModal();
    m_options.workPlacesPage()->setButtonsAvailable(false);
    if (confirmed) {
        commit();
        savePersonalSettings();
        try {
            m_hooks.readGridOptions();
        } catch (const db::DbError& e) {
            platform().error(e.text());
        }
        m_hooks.refreshWorkPlaces();
    } else {
        // Cancel already rolled back; this covers a window closed otherwise.
        rollback();
        reopenLists();
    }
}

void AdminCommands::miWorkPlacesClick()
{
    m_options.setUser(m_profile.userId, m_profile.role);
    m_options.setGridValues(m_hooks.gridValues());
    m_options.setMode(TfmOptions::Mode::WorkPlaces);
    m_options.setTreeAvailable(false);
    WorkPlacesPage* page = m_options.workPlacesPage();
    const bool boss = m_profile.role == UserRole::Boss;
    page->setBossChooserVisible(!boss);
    page->setButtonsAvailable(boss);
    try {
        m_options.lists().showWorkPlacesOf(-1);
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
    m_options.showPage(TfmOptions::WorkPlacesPageIndex);
    const bool confirmed = m_options.showModal();
    page->setButtonsAvailable(false);
    m_options.setTreeAvailable(true);
    page->setBossChooserVisible(true);
    m_options.setMode(TfmOptions::Mode::Full);
    if (confirmed) {
        m_hooks.refreshWorkPlaces();
        commit();
    } else {
        rollback();
    }
    reopenLists();
}

void AdminCommands::miPersonalClick()
{
    m_options.setUser(m_profile.userId, m_profile.role);
    m_options.setGridValues(m_hooks.gridValues());
    m_options.setMode(TfmOptions::Mode::Personal);
    m_options.setTreeAvailable(false);
    m_options.showPage(TfmOptions::PersonalPage);
    const bool confirmed = m_options.showModal();
    m_options.setTreeAvailable(true);
    m_options.setMode(TfmOptions::Mode::Full);
    if (confirmed)
        savePersonalSettings();
}

void AdminCommands::savePersonalSettings()
{
    auto flag = [](bool on) { return on ? QStringLiteral("T") : QStringLiteral("F"); };
    const int start = m_options.startSystem();
    try {
        m_connection.execute(
            QStringLiteral("UPDATE Users SET StartSystem = :StartSystem, SNEvent = :SNEvent, "
                           "SNText = :SNText, SNMesage = :SNMesage WHERE ID = :ID"),
            {{QStringLiteral("StartSystem"), start < 0 ? QVariant() : QVariant(start)},
             {QStringLiteral("SNEvent"), flag(m_options.newEventNotices())},
             {QStringLiteral("SNText"), flag(m_options.newLetterNotices())},
             {QStringLiteral("SNMesage"), flag(m_options.newChatNotices())},
             {QStringLiteral("ID"), m_profile.userId}});
        m_connection.commitRetaining();
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return;
    }
    m_profile.newEventNotices = m_options.newEventNotices();
    m_profile.newLetterNotices = m_options.newLetterNotices();
    m_profile.newChatNotices = m_options.newChatNotices();
    emit noticesChanged();
    try {
        const int row = m_users.recNo();
        m_users.reopen();
        if (row >= 0 && row < m_users.recordCount())
            m_users.setRecNo(row);
    } catch (const db::DbError& e) {
        platform().error(e.text());
    }
}

void AdminCommands::miUsersManagerClick()
{
    try {
        TfmUsersManager manager(m_connection, m_options, m_profile.userId, m_profile.role,
                                m_profile.exclusive, m_window);
        const bool confirmed = manager.exec() == QDialog::Accepted;
        if (confirmed) {
            commit();
            m_hooks.refreshWorkPlaces();
        } else {
            rollback();
        }
    } catch (const db::DbError& e) {
        platform().error(e.text());
        rollback();
    }
}

} // namespace tarvik::admin
