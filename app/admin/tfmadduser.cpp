#include "tfmadduser.h"

#include "dialogbar.h"
#include "platform.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace tarvik::admin {

TfmAddUser::TfmAddUser(const QString& title, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("fmAddUser"));
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    m_bar = new widgets::DialogBar(this, true);
    m_bar->okButton()->setObjectName(QStringLiteral("sbOk"));
    m_bar->okButton()->setToolTip(QStringLiteral("OK"));
    connect(m_bar, &widgets::DialogBar::helpClicked, this, [] { platform().showHelp(99); });
    connect(m_bar, &widgets::DialogBar::okClicked, this, &TfmAddUser::sbOkClick);
    connect(m_bar, &widgets::DialogBar::cancelClicked, this, &QDialog::reject);

    auto edit = [this](const char* name, bool password) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setMaxLength(kFieldLength);
        if (password)
            e->setEchoMode(QLineEdit::Password);
        return e;
    };
    m_edUser = edit("edUser", false);
    m_edPass = edit("edPass", true);
    m_edPass1 = edit("edPass1", true);
    connect(m_edUser, &QLineEdit::textChanged, this,
            [this](const QString& text) { m_bar->okButton()->setEnabled(!text.isEmpty()); });
    m_bar->okButton()->setEnabled(false);

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Имя пользователя:"), this), 0, 0);
    fields->addWidget(m_edUser, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Пароль:"), this), 1, 0);
    fields->addWidget(m_edPass, 1, 1);
    fields->addWidget(new QLabel(QStringLiteral("Пароль (повторно):"), this), 2, 0);
    fields->addWidget(m_edPass1, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 0, 4, 8);
    layout->addWidget(m_bar);
    layout->addLayout(fields);
    setFixedSize(330, 130);
}

void TfmAddUser::setFields(const QString& name, const QString& password)
{
    m_edUser->setText(name);
    m_edPass->setText(password);
    m_edPass1->setText(password);
}

QString TfmAddUser::name() const
{
    return m_edUser->text();
}

QString TfmAddUser::password() const
{
    return m_edPass->text();
}

void TfmAddUser::sbOkClick()
{
    if (m_edPass->text() != m_edPass1->text()) {
        platform().notice(QStringLiteral("Пароли не совпадают"));
        return;
    }
    accept();
}

} // namespace tarvik::admin
