// The task list's and the search window's printed lists inside the main
// window: the month heading, the done marks and percents, nothing for an
// empty month, and the found event printed from the search's task dialog.

#include "mainwindowfixture.h"
#include "plannerpage.h"
#include "query.h"
#include "reportpdf.h"
#include "tfmeventsearch.h"
#include "tfmtask.h"
#include "todopage.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

using namespace tarvik;

namespace {

class ReportTaskListTest : public test::MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        ASSERT_TRUE(m_dir.isValid());
        // Dates as a Russian workstation writes them.
        QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
        m_platform.setNow(QDateTime(QDate(2024, 3, 15), QTime(10, 0)));
        m_platform.setPrinterNames({QStringLiteral("Office")});
        m_platform.setPrintOutput(pdf());
        for (const char* table : {"EVENTS", "USERWORKPLACE", "WORKPLACE"})
            m_c->execute(QStringLiteral("DELETE FROM ") + QLatin1String(table));
        m_c->execute(QStringLiteral("DELETE FROM USERS WHERE ID <> 1"));
        m_c->commitRetaining();
        m_boss = addUser(QStringLiteral("Шеф"), QStringLiteral("T"), QVariant());
        m_place = addWorkPlace(QStringLiteral("Цех"), m_boss);
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        MainWindowFixture::TearDown();
    }
    [[nodiscard]] QString pdf() const { return m_dir.filePath(QStringLiteral("out.pdf")); }
    void addEvent(QDate day, const QString& header, const QString& finished, int percent)
    {
        m_c->execute(
            QStringLiteral("INSERT INTO EVENTS (ID, HEADER, STARTTIME, ENDTIME, WORKPLACE, TEMPLATE, "
                           "ISFINISH, ISPERCENT) VALUES (GEN_ID(EVENTS_ID, 1), :H, :S, :E, :W, 1, :F, :P)"),
            {{QStringLiteral("H"), header},
             {QStringLiteral("S"), QDateTime(day, QTime(9, 0))},
             {QStringLiteral("E"), QDateTime(day, QTime(10, 0))},
             {QStringLiteral("W"), m_place},
             {QStringLiteral("F"), finished},
             {QStringLiteral("P"), percent}});
        m_c->commitRetaining();
    }
    // The line of the printed text holding needle, blanks squeezed.
    static QString lineWith(const QString& text, const QString& needle)
    {
        for (const QString& line : text.split(u'\n'))
            if (line.contains(needle))
                return line.simplified();
        return {};
    }

    QTemporaryDir m_dir;
    int m_boss = 0;
    int m_place = 0;
};

TEST_F(ReportTaskListTest, TaskListPrintsTheMonthAndSearchPrintsItsRows)
{
    addEvent(QDate(2024, 3, 4), QStringLiteral("Покраска"), QStringLiteral("T"), 40);
    addEvent(QDate(2024, 3, 5), QStringLiteral("Сверловка"), QStringLiteral("F"), 40);
    auto w = loggedIn(QStringLiteral("Шеф"), QStringLiteral("Pw"), false);
    w->show();
    w->FormActivate();
    w->findChild<QToolButton*>(QStringLiteral("sbTodoList"))->click();
    const QString caption = w->findChild<tasks::TodoPage*>()->caption();
    ASSERT_FALSE(caption.isEmpty());

    w->findChild<QToolButton*>(QStringLiteral("sbTodoPrint"))->click();
    const QString list = test::pdfText(pdf(), QStringLiteral("tasklist-window.pdf"));
    EXPECT_EQ(lineWith(list, QStringLiteral("Задания на")), QStringLiteral("Задания на ") + caption);
    EXPECT_TRUE(caption.contains(QStringLiteral("Март"), Qt::CaseInsensitive)) << caption.toStdString();
    EXPECT_TRUE(lineWith(list, QStringLiteral("Покраска")).startsWith(QStringLiteral("+ Покраска Цех")));
    EXPECT_TRUE(lineWith(list, QStringLiteral("Покраска")).endsWith(QStringLiteral(" 40%")));
    EXPECT_TRUE(lineWith(list, QStringLiteral("Сверловка")).startsWith(QStringLiteral("Сверловка Цех")));

    // The search lists both with their own marks and a bare percent; its
    // task dialog prints the found event it shows.
    QFile::remove(pdf());
    QString event;
    QTimer::singleShot(0, [&] {
        auto* search = qobject_cast<tasks::TfmEventSearch*>(QApplication::activeModalWidget());
        ASSERT_TRUE(search);
        search->findChild<QLineEdit*>(QStringLiteral("edKey"))->setText(QStringLiteral("ка"));
        search->sbSearchClick();
        search->sbPrintClick();
        const QString found = test::pdfText(pdf(), QStringLiteral("search-window.pdf"));
        EXPECT_TRUE(lineWith(found, QStringLiteral("Задачи")).startsWith(QStringLiteral("Задачи")));
        EXPECT_TRUE(lineWith(found, QStringLiteral("Покраска")).startsWith(QStringLiteral("+ Покраска")));
        EXPECT_TRUE(lineWith(found, QStringLiteral("Покраска")).endsWith(QStringLiteral(" 40")));
        EXPECT_FALSE(lineWith(found, QStringLiteral("Сверловка")).contains(u'+'));
        search->qSearchEvent().last();
        search->setDialogRunner(
            [](planner::TfmTask& d) { d.findChild<QToolButton*>(QStringLiteral("sbPrint"))->click(); });
        search->sbOpenClick();
        event = test::pdfText(pdf(), QStringLiteral("event-from-search.pdf")).simplified();
        search->reject();
    });
    w->findChild<QAction*>(QStringLiteral("miEventSearch"))->trigger();
    EXPECT_TRUE(event.startsWith(QStringLiteral("Задача Заголовок: "))) << event.toStdString();
    EXPECT_TRUE(event.contains(QStringLiteral("Рабочее место: Цех")));
    EXPECT_TRUE(m_platform.messages().isEmpty()) << m_platform.messageTexts().join(u'|').toStdString();

    // A month without events prints nothing and asks nothing.
    m_c->execute(QStringLiteral("DELETE FROM EVENTS"));
    m_c->commitRetaining();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->planner()->events().isEmpty(); }, 5000));
    QFile::remove(pdf());
    const int dialogs = m_platform.printDialogs();
    w->findChild<QToolButton*>(QStringLiteral("sbTodoPrint"))->click();
    EXPECT_EQ(m_platform.printDialogs(), dialogs);
    EXPECT_FALSE(QFile::exists(pdf()));
}

} // namespace
