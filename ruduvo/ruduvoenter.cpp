#include "ruduvoenter.h"

#include "dialogbar.h"
#include "platform.h"
#include "query.h"
#include "screencentre.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvik::ruduvo {

const QString TfmSystemEnter::kAdministratorsSql =
    QStringLiteral("SELECT * FROM Users WHERE AdmCheck = \"T\" ORDER BY Name");

TfmSystemEnter::TfmSystemEnter(db::Query& users, QWidget* parent) : QDialog(parent), m_users(users)
{
    setObjectName(QStringLiteral("fmSystemEnter"));
    setWindowTitle(QStringLiteral("Вход в систему"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* bar = new widgets::DialogBar(this, false);
    connect(bar, &widgets::DialogBar::okClicked, this, &TfmSystemEnter::sbOKClick);
    connect(bar, &widgets::DialogBar::cancelClicked, this, &TfmSystemEnter::sbCancelClick);

    auto* name = new QLabel(QStringLiteral("Имя администратора"), this);
    name->setObjectName(QStringLiteral("StaticText1"));
    m_cbUser = new QComboBox(this);
    m_cbUser->setObjectName(QStringLiteral("cbUser"));
    auto* pass = new QLabel(QStringLiteral("Пароль"), this);
    pass->setObjectName(QStringLiteral("StaticText2"));
    m_edPass = new QLineEdit(this);
    m_edPass->setObjectName(QStringLiteral("edPass"));
    m_edPass->setEchoMode(QLineEdit::Password);

    auto* grid = new QGridLayout;
    grid->addWidget(name, 0, 0);
    grid->addWidget(m_cbUser, 0, 1);
    grid->addWidget(pass, 1, 0);
    grid->addWidget(m_edPass, 1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addLayout(grid);
    setFixedSize(340, 120);

    m_users.setSql(kAdministratorsSql);
    m_users.open();
    for (int r = 0; r < m_users.recordCount(); ++r)
        m_cbUser->addItem(m_users.valueAt(r, QStringLiteral("NAME")).toString());
    m_cbUser->setFocus();
}

void TfmSystemEnter::sbOKClick()
{
    if (m_users.isEmpty())
        return;
    const int row = m_cbUser->currentIndex() < 0 ? 0 : m_cbUser->currentIndex();
    if (m_users.valueAt(row, QStringLiteral("PASS")).toString() != m_edPass->text()) {
        platform().notice(QStringLiteral("Введен неверный пароль!"));
        m_edPass->selectAll();
        m_edPass->setFocus();
        return;
    }
    m_users.setSql(QStringLiteral("SELECT * FROM Users ORDER BY Name"));
    m_users.open();
    accept();
}

void TfmSystemEnter::sbCancelClick()
{
    reject();
}

void TfmSystemEnter::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    widgets::centreOnScreen(this);
}

} // namespace tarvik::ruduvo
