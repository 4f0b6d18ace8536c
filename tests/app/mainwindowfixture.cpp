#include "mainwindowfixture.h"

#include "connection.h"
#include "markupcombobox.h"
#include "query.h"
#include "tfmsystementer.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>

namespace tarvik::test {

void MainWindowFixture::SetUp()
{
    m_c = database().connect();
    m_c->execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'F', MONO = 'F', WSTATE = NULL, CPWIDTH = 0, "
                                "STARTSYSTEM = NULL"));
    m_c->execute(QStringLiteral("DELETE FROM MESAGES"));
    m_c->commitRetaining();
}

void MainWindowFixture::writeInit(const QByteArray& text)
{
    QFile f(m_programDir.filePath(QStringLiteral("init.txt")));
    f.open(QIODevice::WriteOnly);
    f.write(text);
}

int MainWindowFixture::addUser(const QString& name, const QString& boss, const QVariant& bossId)
{
    const int id = int(m_c->generatorValue(QStringLiteral("USERS_ID")));
    m_c->execute(QStringLiteral("INSERT INTO USERS (ID, NAME, PASS, ADMCHECK, BOSS, BOSSID, SNEVENT) VALUES "
                                "(:I, :N, 'Pw', 'F', :B, :BI, 'T')"),
                 {{QStringLiteral("I"), id},
                  {QStringLiteral("N"), name},
                  {QStringLiteral("B"), boss},
                  {QStringLiteral("BI"), bossId}});
    m_c->commitRetaining();
    return id;
}

int MainWindowFixture::addWorkPlace(const QString& name, int bossId)
{
    const int id = int(m_c->generatorValue(QStringLiteral("WORKPLACE_ID")));
    m_c->execute(QStringLiteral("INSERT INTO WORKPLACE (ID, NAME, BOSSID) VALUES (:I, :N, :B)"),
                 {{QStringLiteral("I"), id}, {QStringLiteral("N"), name}, {QStringLiteral("B"), bossId}});
    m_c->commitRetaining();
    return id;
}

void MainWindowFixture::addRight(int userId, int workPlaceId, bool view, bool edit)
{
    m_c->execute(QStringLiteral("INSERT INTO USERWORKPLACE (ID, USERID, WORKPLACEID, WVIEW, WEDIT) VALUES "
                                "(GEN_ID(USERWORKPLACE_ID, 1), :U, :W, :V, :E)"),
                 {{QStringLiteral("U"), userId},
                  {QStringLiteral("W"), workPlaceId},
                  {QStringLiteral("V"), view ? QStringLiteral("T") : QStringLiteral("F")},
                  {QStringLiteral("E"), edit ? QStringLiteral("T") : QStringLiteral("F")}});
    m_c->commitRetaining();
}

std::unique_ptr<startup::TfmMain> logIn(const QString& programDir, const QString& name, const QString& password,
                                        bool exclusive)
{
    auto window = std::make_unique<startup::TfmMain>(programDir);
    EXPECT_TRUE(window->connectDatabase());
    startup::TfmSystemEnter* login = window->loginDialog();
    EXPECT_TRUE(login->openList());
    EXPECT_TRUE(window->users().locate(QStringLiteral("NAME"), name));
    login->findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"))
        ->selectPosition(window->users().recNo());
    login->findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(password);
    login->findChild<QCheckBox*>(QStringLiteral("cbMono"))->setChecked(exclusive);
    login->sbOKClick();
    EXPECT_TRUE(login->loggedIn());
    window->applyLogin(login->profile());
    return window;
}

std::unique_ptr<startup::TfmMain> MainWindowFixture::loggedIn(const QString& name, const QString& password,
                                                              bool exclusive)
{
    writeInit(database().name().toLocal8Bit() + "\n");
    return logIn(m_programDir.path(), name, password, exclusive);
}

QVariant MainWindowFixture::userColumn(int id, const QString& column)
{
    auto other = database().connect();
    db::Query q(*other, QStringLiteral("SELECT * FROM USERS WHERE ID = :I"));
    q.setParam(QStringLiteral("I"), id);
    q.open();
    return q.value(column);
}

} // namespace tarvik::test
