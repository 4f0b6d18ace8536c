#include "ruduvomain.h"

#include "connection.h"
#include "dberror.h"
#include "dialogbar.h"
#include "markupcombobox.h"
#include "platform.h"
#include "query.h"
#include "roles.h"
#include "screencentre.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace tarvik::ruduvo {

const QString TfmMain::kClearAllSql = QStringLiteral("UPDATE Users SET InSystem = \"F\", Mono = \"F\"");
// The name goes as a parameter, so that a name with a double quote in it
// clears its own user and nothing else.
const QString TfmMain::kClearOneSql =
    QStringLiteral("UPDATE Users SET InSystem = \"F\", Mono = \"F\" WHERE Name = :Name");

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
    connect(m_rbAllUsers, &QRadioButton::toggled, this, &TfmMain::scopeChanged);
    connect(m_rbSelectUser, &QRadioButton::toggled, this, &TfmMain::scopeChanged);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(m_rbAllUsers);
    layout->addWidget(m_rbSelectUser);
    layout->addWidget(m_cbUser);
    setFixedSize(360, 150);
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

void TfmMain::sbCancelClick()
{
    reject();
}

void TfmMain::sbHelpClick()
{
    platform().showHelp(19);
}

} // namespace tarvik::ruduvo
