#include "tfmsystementer.h"

#include "dberror.h"
#include "dialogbar.h"
#include "loginrules.h"
#include "markupcombobox.h"
#include "platform.h"
#include "presencemarks.h"
#include "query.h"
#include "screencentre.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace tarvik::startup {

TfmSystemEnter::TfmSystemEnter(db::Query& users, QWidget* parent) : QDialog(parent), m_users(users)
{
    setObjectName(QStringLiteral("fmSystemEnter"));
    setWindowTitle(QStringLiteral("Вход в систему"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

    auto* bar = new widgets::DialogBar(this, true);
    connect(bar, &widgets::DialogBar::helpClicked, this, &TfmSystemEnter::sbHelpClick);
    connect(bar, &widgets::DialogBar::okClicked, this, &TfmSystemEnter::sbOKClick);
    connect(bar, &widgets::DialogBar::cancelClicked, this, &TfmSystemEnter::sbCancelClick);

    auto* name = new QLabel(QStringLiteral("Имя пользователя"), this);
    name->setObjectName(QStringLiteral("StaticText1"));
    m_cbUser = new widgets::MarkupComboBox(this);
    m_cbUser->setObjectName(QStringLiteral("cbUser"));
    auto* pass = new QLabel(QStringLiteral("Пароль"), this);
    pass->setObjectName(QStringLiteral("StaticText2"));
    m_edPass = new QLineEdit(this);
    m_edPass->setObjectName(QStringLiteral("edPass"));
    m_edPass->setEchoMode(QLineEdit::Password);
    m_cbMono = new QCheckBox(QStringLiteral("Монопольно"), this);
    m_cbMono->setObjectName(QStringLiteral("cbMono"));

    auto* grid = new QGridLayout;
    grid->addWidget(name, 0, 0);
    grid->addWidget(m_cbUser, 0, 1);
    grid->addWidget(pass, 1, 0);
    grid->addWidget(m_edPass, 1, 1);
    grid->addWidget(m_cbMono, 2, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addLayout(grid);
    setFixedSize(360, 150);
}

bool TfmSystemEnter::openList()
{
    m_cbUser->clear();
    m_users.close();
    m_users.open();
    for (int r = 0; r < m_users.recordCount(); ++r) {
        m_users.setRecNo(r);
        m_cbUser->addMarkupItem(userCaption(m_users, CaptionForm::Role));
    }
    QStringList notices = exclusiveStartNotices(m_users);
    if (!notices.isEmpty()) {
        if (const std::optional<db::PresenceMarks> marks = readMarks())
            notices = exclusiveStartNotices(m_users, &*marks);
    }
    for (const QString& notice : notices)
        platform().notice(notice);
    if (!notices.isEmpty())
        return false;
    const int remembered =
        platform().readIni(kEnterIni, QStringLiteral("Enter"), QStringLiteral("User"), 1).toInt();
    m_cbUser->selectPosition(rememberedPosition(m_users, remembered));
    m_edPass->setFocus();
    return true;
}

void TfmSystemEnter::sbOKClick()
{
    const int row = m_cbUser->selectedPosition() < 0 ? 0 : m_cbUser->selectedPosition();
    const LoginRefusal refusal = checkLogin(m_users, row, m_edPass->text(), m_cbMono->isChecked());
    if (refusal != LoginRefusal::None) {
        QString text = refusalText(refusal);
        if (refusal != LoginRefusal::WrongPassword && refusal != LoginRefusal::OnlyAdministratorExclusive) {
            if (const std::optional<db::PresenceMarks> marks = readMarks()) {
                const QString note = staleMarkNote(refusal, m_users, row, *marks);
                if (!note.isEmpty())
                    text += QLatin1Char('\n') + note;
            }
        }
        platform().notice(text);
        if (refusal == LoginRefusal::WrongPassword) {
            m_edPass->selectAll();
            m_edPass->setFocus();
        }
        return;
    }
    try {
        m_profile = presence::logIn(m_users, row, m_cbMono->isChecked());
    } catch (const db::DbError& e) {
        platform().error(e.text());
        return;
    }
    platform().writeIni(kEnterIni, QStringLiteral("Enter"), QStringLiteral("User"), m_profile.userId);
    m_loggedIn = true;
    accept();
}

// The marks' states help explain a refusal; without them the refusal
// stands as it is.
std::optional<db::PresenceMarks> TfmSystemEnter::readMarks()
{
    try {
        return db::PresenceMarks::read(m_users.connection());
    } catch (const db::DbError&) {
        return std::nullopt;
    }
}

void TfmSystemEnter::sbCancelClick()
{
    reject();
}

void TfmSystemEnter::sbHelpClick()
{
    platform().showHelp(4);
}

void TfmSystemEnter::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    widgets::centreOnScreen(this);
}

} // namespace tarvik::startup
