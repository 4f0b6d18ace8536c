// The user state clearing utility, driven offscreen on a real database.

#include "connection.h"
#include "markupcombobox.h"
#include "platformscope.h"
#include "query.h"
#include "ruduvoenter.h"
#include "ruduvomain.h"
#include "ruduvostart.h"
#include "scriptedplatform.h"
#include "testdatabase.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace tarvik::ruduvo;

namespace {

class RuduvoTest : public testing::Test
{
protected:
    void SetUp() override
    {
        m_c = m_db.connect();
        m_worker = add(QStringLiteral("Рабочий \"Ёж\""), QStringLiteral("F"), QStringLiteral("T"),
                       QStringLiteral("T"));
        m_second = add(QStringLiteral("Второй админ"), QStringLiteral("T"), QStringLiteral("T"),
                       QStringLiteral("T"));
        m_nulls = add(QStringLiteral("Абвгдеев"), QStringLiteral("F"), QVariant(), QVariant());
        m_c->commitRetaining();
    }
    int add(const QString& name, const QString& adm, const QVariant& in, const QVariant& mono)
    {
        const int id = int(m_c->generatorValue(QStringLiteral("USERS_ID")));
        m_c->execute(QStringLiteral("INSERT INTO USERS (ID, NAME, ADMCHECK, INSYSTEM, MONO, PASS) VALUES "
                                    "(:I, :N, :A, :S, :M, 'секрет')"),
                     {{QStringLiteral("I"), id},
                      {QStringLiteral("N"), name},
                      {QStringLiteral("A"), adm},
                      {QStringLiteral("S"), in},
                      {QStringLiteral("M"), mono}});
        return id;
    }
    QStringList marks()
    {
        auto other = m_db.connect();
        db::Query q(*other, QStringLiteral("SELECT * FROM USERS ORDER BY NAME"));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.text(QStringLiteral("NAME")) + QLatin1Char(':') + q.text(QStringLiteral("INSYSTEM")) +
                       q.text(QStringLiteral("MONO"));
        return out;
    }
    // The users list as the login leaves it.
    std::unique_ptr<db::Query> loggedInUsers()
    {
        auto users = std::make_unique<db::Query>(*m_c);
        TfmSystemEnter enter(*users);
        enter.findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("admin"));
        enter.findChild<QComboBox*>(QStringLiteral("cbUser"))->setCurrentIndex(-1);
        enter.sbOKClick();
        EXPECT_EQ(enter.result(), QDialog::Accepted);
        return users;
    }

    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    test::TestDatabase m_db;
    std::unique_ptr<db::Connection> m_c;
    int m_worker = 0, m_second = 0, m_nulls = 0;
};

} // namespace

TEST_F(RuduvoTest, OnlyAdministratorsLogInAndPasswordIsCaseSensitive)
{
    db::Query users(*m_c);
    TfmSystemEnter enter(users);
    auto* names = enter.findChild<QComboBox*>(QStringLiteral("cbUser"));
    ASSERT_EQ(names->count(), 2);
    EXPECT_EQ(names->itemText(0), QStringLiteral("Администратор"));
    EXPECT_EQ(names->itemText(1), QStringLiteral("Второй админ"));

    names->setCurrentIndex(1);
    enter.findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("СЕКРЕТ"));
    enter.sbOKClick();
    EXPECT_EQ(m_platform.messageTexts(), QStringList{QStringLiteral("Введен неверный пароль!")});
    EXPECT_NE(enter.result(), QDialog::Accepted);

    enter.findChild<QLineEdit*>(QStringLiteral("edPass"))->setText(QStringLiteral("секрет"));
    enter.sbOKClick();
    EXPECT_EQ(enter.result(), QDialog::Accepted);
    EXPECT_EQ(users.recordCount(), 4) << "the users list after the login holds everybody";
}

TEST_F(RuduvoTest, ClearsAllUsersIncludingNullMarks)
{
    auto users = loggedInUsers();
    TfmMain window(*m_c, *users);
    window.show();
    auto* combo = window.findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"));
    EXPECT_FALSE(combo->isEnabled());
    EXPECT_EQ(combo->count(), 4);
    ASSERT_TRUE(users->locate(QStringLiteral("ID"), 1));
    EXPECT_EQ(combo->markupItem(users->recNo()),
              QStringLiteral("<font color=\"clRed\"><b>Администратор</b></font>"));
    EXPECT_EQ(combo->markupItem(0), QStringLiteral("Абвгдеев")) << "the users list is in name order";

    m_platform.queueAnswer(true);
    window.sbOKClick();
    EXPECT_TRUE(window.cleared());
    EXPECT_EQ(m_platform.messageTexts(),
              (QStringList{QStringLiteral("Вы уверены, что хотите произвести очитстку пользователей?"),
                           QStringLiteral("Очистка пользователей успешно завершена!")}));
    for (const QString& m : marks())
        EXPECT_TRUE(m.endsWith(QStringLiteral(":FF"))) << m.toStdString();
}

TEST_F(RuduvoTest, NoLeavesEveryRowAndTheWindowOpen)
{
    auto users = loggedInUsers();
    const QStringList before = marks();
    TfmMain window(*m_c, *users);
    window.show();
    m_platform.queueAnswer(false);
    window.sbOKClick();
    EXPECT_FALSE(window.cleared());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(marks(), before);
}

// A name with a double quote in it clears exactly that user.
TEST_F(RuduvoTest, ClearsTheChosenUserEvenWithAQuoteInTheName)
{
    auto users = loggedInUsers();
    TfmMain window(*m_c, *users);
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("rbSelectUser"))->setChecked(true);
    auto* combo = window.findChild<widgets::MarkupComboBox*>(QStringLiteral("cbUser"));
    EXPECT_TRUE(combo->isEnabled());
    ASSERT_TRUE(users->locate(QStringLiteral("ID"), m_worker));
    combo->selectPosition(users->recNo());
    m_platform.queueAnswer(true);
    window.sbOKClick();
    EXPECT_TRUE(marks().contains(QStringLiteral("Рабочий \"Ёж\":FF")));
    EXPECT_TRUE(marks().contains(QStringLiteral("Второй админ:TT")));
}

TEST_F(RuduvoTest, NothingChosenClearsTheFirstUser)
{
    m_c->execute(QStringLiteral("UPDATE USERS SET INSYSTEM = 'T' WHERE ID = :I"),
                 {{QStringLiteral("I"), m_nulls}});
    m_c->commitRetaining();
    auto users = loggedInUsers();
    TfmMain window(*m_c, *users);
    window.show();
    window.findChild<QRadioButton*>(QStringLiteral("rbSelectUser"))->setChecked(true);
    m_platform.queueAnswer(true);
    window.sbOKClick();
    EXPECT_EQ(marks().first(), QStringLiteral("Абвгдеев:FF")) << "first in name order";
    EXPECT_TRUE(marks().contains(QStringLiteral("Второй админ:TT")));
}

// A row held by another workstation: the server's text, nothing committed,
// the window stays.
TEST_F(RuduvoTest, LockedRowReportsServerErrorAndKeepsWindow)
{
    auto users = loggedInUsers();
    auto other = m_db.connect();
    other->execute(QStringLiteral("UPDATE USERS SET PASS = 'x' WHERE ID = :I"),
                   {{QStringLiteral("I"), m_second}});
    TfmMain window(*m_c, *users);
    window.show();
    m_platform.queueAnswer(true);
    window.sbOKClick();
    EXPECT_FALSE(window.cleared());
    ASSERT_EQ(m_platform.messages().size(), 2);
    EXPECT_EQ(m_platform.messages().at(1).kind, MessageKind::Error);
    EXPECT_TRUE(m_platform.messages().at(1).text.contains(QStringLiteral("concurrent")));
    other->rollback();
    EXPECT_TRUE(marks().contains(QStringLiteral("Второй админ:TT")));
}

TEST_F(RuduvoTest, ConfigurationFromTheWorkingFolder)
{
    QTemporaryDir work;
    QTemporaryDir programs;
    auto write = [&](const QString& name, const QByteArray& text) {
        QFile f(work.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(text);
    };

    EXPECT_EQ(connectFromConfig(work.path(), programs.path()), nullptr);
    EXPECT_EQ(m_platform.messageTexts(), QStringList{QStringLiteral("Ошибка подключения к базе: ")});

    m_platform.clearMessages();
    write(QStringLiteral("init.txt"), "#auto\r\n");
    EXPECT_EQ(connectFromConfig(work.path(), programs.path()), nullptr);
    EXPECT_EQ(m_platform.messageTexts(),
              QStringList{QStringLiteral("Ошибка подключения к базе: ") +
                          QDir::toNativeSeparators(programs.path() + QStringLiteral("/db/tk.gdb"))});

    m_platform.clearMessages();
    write(QStringLiteral("init.txt"), m_db.name().toLocal8Bit() + "\n");
    auto connection = connectFromConfig(work.path(), programs.path());
    ASSERT_NE(connection, nullptr);
    EXPECT_TRUE(connection->inTransaction());
    EXPECT_TRUE(m_platform.messages().isEmpty());
}
