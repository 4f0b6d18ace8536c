#include "messagingfixture.h"

#include "chatpage.h"
#include "connection.h"
#include "mailpage.h"
#include "markupcombobox.h"
#include "tfmaddtexts.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolButton>

namespace tarvik::test {

void MessagingFixture::SetUp()
{
    MainWindowFixture::SetUp();
    m_c->execute(QStringLiteral("DELETE FROM TEXTS"));
    m_c->execute(QStringLiteral("DELETE FROM USERS WHERE ID <> 1"));
    m_c->commitRetaining();
    m_boss = addUser(QStringLiteral("Шеф"), QStringLiteral("T"), QVariant());
    m_worker = addUser(QStringLiteral("Рабочий"), QStringLiteral("F"), m_boss);
    m_guard = addUser(QStringLiteral("Сторож"), QStringLiteral("F"), m_boss);
    m_c->execute(QStringLiteral("UPDATE USERS SET SNTEXT = 'T', SNMESAGE = 'T'"));
    m_c->commitRetaining();
}

std::unique_ptr<startup::TfmMain> MessagingFixture::station(const QString& name)
{
    auto w = loggedIn(name, QStringLiteral("Pw"), false);
    w->show();
    w->FormActivate();
    w->findChild<QToolButton*>(QStringLiteral("sb1"))->click();
    return w;
}

void MessagingFixture::sendLetter(startup::TfmMain& from, int toId, const QString& subject,
                                  const QString& body)
{
    from.mail()->setDialogRunner([&](messaging::TfmAddTexts& d) {
        auto* users = d.findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUsers"));
        users->selectPosition(users->findData(toId));
        d.findChild<QLineEdit*>(QStringLiteral("edSubj"))->setText(subject);
        d.findChild<QPlainTextEdit*>(QStringLiteral("meBody"))->setPlainText(body);
        d.sbOKClick();
    });
    from.mail()->sbAddMessageClick();
}

QStringList MessagingFixture::chatLines(const startup::TfmMain& w)
{
    const QString text = w.chat()->view()->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void MessagingFixture::say(startup::TfmMain& w, int toId, const QString& text)
{
    widgets::MarkupComboBox* to = w.chat()->recipients();
    to->selectPosition(toId == -1 ? 0 : to->findData(toId));
    w.chat()->findChild<QLineEdit*>(QStringLiteral("edSendText"))->setText(text);
    w.chat()->sbSendClick();
}

} // namespace tarvik::test
