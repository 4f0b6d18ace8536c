// The task dialog on a real database: how it is filled from event rows, what
// it writes back, its three modes and its keyboard.

#include "connection.h"
#include "platformscope.h"
#include "query.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "tfmtask.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>
#include <QToolButton>

#include <gtest/gtest.h>

#include <stdexcept>

using namespace tarvik;
using namespace tarvik::planner;

// Keys typed through QTest are ASCII only; Cyrillic text is set directly.

namespace {

const QString kEventsSql = QStringLiteral("SELECT * FROM EVENTS WHERE ID = :ID");
const QString kModifySql = QStringLiteral(
    "UPDATE EVENTS SET HEADER = :HEADER, COMMENT = :COMMENT, TEMPLATE = :TEMPLATE, SOUND = :SOUND, "
    "ALARM = :ALARM, ISFINISH = :ISFINISH WHERE ID = :OLD_ID");

class TfmTaskTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_db = new test::TestDatabase();
        auto c = s_db->connect();
        c->execute(QStringLiteral("INSERT INTO TEMPLATE (ID, NAME) VALUES (5, 'Срочный')"));
        c->execute(QStringLiteral("INSERT INTO TEMPLATE (ID, NAME) VALUES (7, 'Встреча')"));
        c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (1, 'Звонок', 'c:\\r.wav')"));
        c->execute(QStringLiteral("INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (2, 'Гонг', 'c:\\g.wav')"));
        c->commitRetaining();
    }
    static void TearDownTestSuite()
    {
        delete s_db;
        s_db = nullptr;
    }
    void SetUp() override
    {
        m_c = s_db->connect();
        m_choices = TaskChoices::load(*m_c);
    }

    // An event row with the given columns (the others null); returns its ID.
    int addEvent(const db::Params& columns)
    {
        const int id = int(m_c->generatorValue(QStringLiteral("EVENTS_ID")));
        db::Params params = columns;
        params.insert(QStringLiteral("ID"), id);
        QStringList names{QStringLiteral("ID")};
        QStringList values{QStringLiteral(":ID")};
        for (const QString& name : columns.keys()) {
            names << name;
            values << QLatin1Char(':') + name;
        }
        m_c->execute(
            QStringLiteral("INSERT INTO EVENTS (%1) VALUES (%2)").arg(names.join(u','), values.join(u',')),
            params);
        m_c->commitRetaining();
        return id;
    }
    std::unique_ptr<db::Query> openEvent(int id)
    {
        auto q = std::make_unique<db::Query>(*m_c, kEventsSql);
        q->setModifySql(kModifySql);
        q->setParam(QStringLiteral("ID"), id);
        q->open();
        return q;
    }
    // The dialog's choices written back through the query and committed.
    void store(TfmTask& dialog, db::Query& events, TfmTask::Unticked unticked)
    {
        events.edit();
        dialog.writeToRow(events, unticked);
        events.post();
        m_c->commitRetaining();
    }
    // The event as another workstation reads it.
    QVariant stored(int id, const QString& column)
    {
        auto other = s_db->connect();
        db::Query q(*other, kEventsSql);
        q.setParam(QStringLiteral("ID"), id);
        q.open();
        return q.value(column);
    }

    template <typename T> static T* child(TfmTask& d, const char* name)
    {
        T* w = d.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    static QComboBox* combo(TfmTask& d, const char* name) { return child<QComboBox>(d, name); }
    static QToolButton* sbOK(TfmTask& d) { return child<QToolButton>(d, "sbOK"); }
    static void showActive(TfmTask& d)
    {
        d.show();
        d.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&d));
    }

    static test::TestDatabase* s_db;
    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    std::unique_ptr<db::Connection> m_c;
    TaskChoices m_choices;
};

test::TestDatabase* TfmTaskTest::s_db = nullptr;

} // namespace

TEST_F(TfmTaskTest, ControlsCarryTheirNamesCaptionsAndLists)
{
    TfmTask d(m_choices);
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Задача"));
    EXPECT_EQ(d.size(), QSize(352, 363));
    const struct
    {
        const char* name;
        const char* text;
    } labels[] = {{"Label1", "Задача"},
                  {"Label2", "Шаблон"},
                  {"Label3", "Описание "},
                  {"Label4", "Оповещение"},
                  {"Label6", "Звук"}};
    for (const auto& l : labels) {
        auto* label = child<QLabel>(d, l.name);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromUtf8(l.text));
        EXPECT_TRUE(label->font().bold());
    }
    const struct
    {
        const char* name;
        const char* hint;
    } buttons[] = {{"sbPrint", "Печать"}, {"sbHelp", "Справка"}, {"sbOK", "ОК"}, {"sbCancel", "Отмена"}};
    for (const auto& b : buttons)
        EXPECT_EQ(child<QToolButton>(d, b.name)->toolTip(), QString::fromUtf8(b.hint));
    EXPECT_FALSE(sbOK(d)->isEnabled()) << "OK is disabled when the dialog opens";
    EXPECT_EQ(child<QPushButton>(d, "btOK")->text(), QStringLiteral("OK"));
    EXPECT_EQ(child<QPushButton>(d, "btCancel")->text(), QStringLiteral("Cancel"));
    auto* finish = child<QCheckBox>(d, "cbIsFinish");
    EXPECT_EQ(finish->text(), QStringLiteral("Задание выполнено"));
    EXPECT_TRUE(finish->font().bold());
    EXPECT_NE(child<QLineEdit>(d, "edHeader"), nullptr);
    EXPECT_NE(child<QPlainTextEdit>(d, "meTask"), nullptr);

    QStringList alarms;
    for (int i = 0; i < combo(d, "cbAlarm")->count(); ++i)
        alarms << combo(d, "cbAlarm")->itemText(i);
    EXPECT_EQ(alarms.size(), 15);
    EXPECT_EQ(alarms.front(), QStringLiteral("нет"));
    EXPECT_EQ(alarms.back(), QStringLiteral("1 нед."));
    QStringList templates;
    for (int i = 0; i < combo(d, "cbStyle")->count(); ++i)
        templates << combo(d, "cbStyle")->itemText(i);
    EXPECT_EQ(templates, m_choices.templateNames());
    EXPECT_EQ(combo(d, "cbStyle")->currentIndex(), -1) << "no template until filled";
    EXPECT_EQ(combo(d, "cbSound")->count(), 3);
    EXPECT_EQ(combo(d, "cbSound")->itemText(0), QStringLiteral("нет"));
}

TEST_F(TfmTaskTest, NewEventStartsEmptyWithTemplateOneAndWaitsForAHeader)
{
    TfmTask d(m_choices);
    d.fillNew();
    EXPECT_TRUE(d.header().isEmpty());
    EXPECT_TRUE(d.description().isEmpty());
    EXPECT_FALSE(d.finished());
    EXPECT_EQ(combo(d, "cbStyle")->currentText(), QStringLiteral("Обычный"));
    EXPECT_EQ(combo(d, "cbSound")->currentIndex(), 0);
    EXPECT_EQ(combo(d, "cbAlarm")->currentIndex(), 0);
    EXPECT_FALSE(sbOK(d)->isEnabled());

    child<QLineEdit>(d, "edHeader")->setText(QStringLiteral("Совещание"));
    EXPECT_TRUE(sbOK(d)->isEnabled());
    child<QLineEdit>(d, "edHeader")->clear();
    EXPECT_FALSE(sbOK(d)->isEnabled()) << "clearing the header disables OK again";
    child<QLineEdit>(d, "edHeader")->setText(QStringLiteral("Совещание"));

    sbOK(d)->click();
    EXPECT_TRUE(d.accepted());
    EXPECT_EQ(d.templateId(), QVariant(1));
    EXPECT_EQ(d.soundId(), QVariant(0));
    EXPECT_EQ(d.alarmMinutes(), QVariant(0));
}

// Adding stores the dialog's choices into a new row; an unticked mark stays empty.
TEST_F(TfmTaskTest, NewEventWrittenIntoAnAppendedRow)
{
    TfmTask d(m_choices);
    d.fillNew();
    child<QLineEdit>(d, "edHeader")->setText(QStringLiteral("Отчёт за квартал"));
    combo(d, "cbAlarm")->setCurrentIndex(6);
    combo(d, "cbSound")->setCurrentText(QStringLiteral("Гонг"));
    sbOK(d)->click();
    ASSERT_TRUE(d.accepted());

    db::Query events(*m_c, kEventsSql);
    events.setInsertSql(QStringLiteral("INSERT INTO EVENTS (ID, HEADER, COMMENT, TEMPLATE, SOUND, ALARM, "
                                       "ISFINISH) VALUES (:ID, :HEADER, :COMMENT, :TEMPLATE, :SOUND, :ALARM, "
                                       ":ISFINISH)"));
    events.setKeyGenerator(QStringLiteral("ID"), QStringLiteral("EVENTS_ID"));
    events.setParam(QStringLiteral("ID"), -1);
    events.open();
    events.append();
    d.writeToRow(events, TfmTask::Unticked::LeaveAsIs);
    events.post();
    m_c->commitRetaining();
    const int id = events.integer(QStringLiteral("ID"));

    EXPECT_EQ(stored(id, QStringLiteral("HEADER")).toString(), QStringLiteral("Отчёт за квартал"));
    EXPECT_EQ(stored(id, QStringLiteral("COMMENT")), QVariant(QStringLiteral("")));
    EXPECT_EQ(stored(id, QStringLiteral("TEMPLATE")).toInt(), 1);
    EXPECT_EQ(stored(id, QStringLiteral("SOUND")).toInt(), 2);
    EXPECT_EQ(stored(id, QStringLiteral("ALARM")).toInt(), 60);
    EXPECT_TRUE(stored(id, QStringLiteral("ISFINISH")).isNull());
}

TEST_F(TfmTaskTest, NewEventWithoutTemplateOnePreselectsTheLastTemplate)
{
    TfmTask d(TaskChoices({{5, QStringLiteral("Срочный")}, {7, QStringLiteral("Встреча")}}, {}));
    d.fillNew();
    EXPECT_EQ(combo(d, "cbStyle")->currentIndex(), 1);
    child<QLineEdit>(d, "edHeader")->setText(QStringLiteral("x"));
    sbOK(d)->click();
    EXPECT_EQ(d.templateId(), QVariant(7));
}

// With no templates, or no header, OK stays disabled, but Enter accepts
// through btOK all the same.
TEST_F(TfmTaskTest, EnterAcceptsWhileOkIsDisabled)
{
    TfmTask none(TaskChoices({}, {}));
    none.fillNew();
    showActive(none);
    auto* header = child<QLineEdit>(none, "edHeader");
    QTest::keyClicks(header, QStringLiteral("no template"));
    EXPECT_FALSE(sbOK(none)->isEnabled());
    sbOK(none)->click();
    EXPECT_FALSE(none.accepted()) << "the disabled button does nothing";
    QTest::keyClick(header, Qt::Key_Return);
    EXPECT_TRUE(none.accepted());
    EXPECT_FALSE(none.templateId().isValid());

    TfmTask empty(m_choices);
    empty.fillNew();
    showActive(empty);
    EXPECT_FALSE(sbOK(empty)->isEnabled());
    QTest::keyClick(child<QLineEdit>(empty, "edHeader"), Qt::Key_Return);
    EXPECT_TRUE(empty.accepted());
    EXPECT_EQ(empty.header(), QString());
}

// Every field survives a fill and an unchanged write-back, Cyrillic and line breaks included.
TEST_F(TfmTaskTest, EditedEventRoundTripsEveryField)
{
    const QString comment = QStringLiteral("Первая строка\nвторая: «ёжик» — №5");
    const int id = addEvent({{QStringLiteral("HEADER"), QStringLiteral("Проверка склада")},
                             {QStringLiteral("COMMENT"), comment},
                             {QStringLiteral("ISFINISH"), QStringLiteral("T")},
                             {QStringLiteral("TEMPLATE"), 7},
                             {QStringLiteral("SOUND"), 2},
                             {QStringLiteral("ALARM"), 1440}});
    auto events = openEvent(id);
    TfmTask d(m_choices);
    d.fillFromRow(*events);
    EXPECT_EQ(child<QLineEdit>(d, "edHeader")->text(), QStringLiteral("Проверка склада"));
    EXPECT_EQ(child<QPlainTextEdit>(d, "meTask")->toPlainText(), comment);
    EXPECT_TRUE(child<QCheckBox>(d, "cbIsFinish")->isChecked());
    EXPECT_EQ(combo(d, "cbStyle")->currentText(), QStringLiteral("Встреча"));
    EXPECT_EQ(combo(d, "cbSound")->currentText(), QStringLiteral("Гонг"));
    EXPECT_EQ(combo(d, "cbAlarm")->currentText(), QStringLiteral("1 сут."));
    EXPECT_TRUE(sbOK(d)->isEnabled()) << "an existing event can be accepted at once";

    sbOK(d)->click();
    store(d, *events, TfmTask::Unticked::StoreF);
    EXPECT_EQ(stored(id, QStringLiteral("HEADER")).toString(), QStringLiteral("Проверка склада"));
    EXPECT_EQ(stored(id, QStringLiteral("COMMENT")).toString(), comment);
    EXPECT_EQ(stored(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("T"));
    EXPECT_EQ(stored(id, QStringLiteral("TEMPLATE")).toInt(), 7);
    EXPECT_EQ(stored(id, QStringLiteral("SOUND")).toInt(), 2);
    EXPECT_EQ(stored(id, QStringLiteral("ALARM")).toInt(), 1440);

    TfmTask changed(m_choices);
    events->reopen();
    changed.fillFromRow(*events);
    child<QLineEdit>(changed, "edHeader")->setText(QStringLiteral("Склад проверен"));
    child<QPlainTextEdit>(changed, "meTask")->setPlainText(QString());
    child<QCheckBox>(changed, "cbIsFinish")->setChecked(false);
    combo(changed, "cbStyle")->setCurrentText(QStringLiteral("Обычный"));
    combo(changed, "cbSound")->setCurrentIndex(0);
    combo(changed, "cbAlarm")->setCurrentIndex(14);
    sbOK(changed)->click();
    store(changed, *events, TfmTask::Unticked::StoreF);
    EXPECT_EQ(stored(id, QStringLiteral("HEADER")).toString(), QStringLiteral("Склад проверен"));
    EXPECT_EQ(stored(id, QStringLiteral("COMMENT")), QVariant(QStringLiteral("")));
    EXPECT_EQ(stored(id, QStringLiteral("ISFINISH")).toString(), QStringLiteral("F"));
    EXPECT_EQ(stored(id, QStringLiteral("TEMPLATE")).toInt(), 1);
    EXPECT_EQ(stored(id, QStringLiteral("SOUND")).toInt(), 0);
    EXPECT_EQ(stored(id, QStringLiteral("ALARM")).toInt(), 10080);
}

// Nulls shown as empty or "нет" and accepted unchanged stay null.
TEST_F(TfmTaskTest, NullsLeftAloneStayNull)
{
    const int id = addEvent({{QStringLiteral("HEADER"), QStringLiteral("Только заголовок")}});
    auto events = openEvent(id);
    TfmTask d(m_choices);
    d.fillFromRow(*events);
    EXPECT_TRUE(d.description().isEmpty());
    EXPECT_FALSE(d.finished());
    EXPECT_EQ(combo(d, "cbSound")->currentIndex(), 0) << "a null sound is no sound";
    EXPECT_EQ(combo(d, "cbAlarm")->currentIndex(), 0);
    EXPECT_EQ(combo(d, "cbStyle")->currentIndex(), combo(d, "cbStyle")->count() - 1);
    sbOK(d)->click();
    store(d, *events, TfmTask::Unticked::LeaveAsIs);
    for (const char* column : {"COMMENT", "ISFINISH", "TEMPLATE", "SOUND", "ALARM"})
        EXPECT_TRUE(stored(id, QString::fromLatin1(column)).isNull()) << column;
}

// Adding leaves an unticked mark as the row holds it; changing stores "F".
TEST_F(TfmTaskTest, UntickedFinishedMarkPerCommand)
{
    const struct
    {
        QVariant before;
        bool ticked;
        TfmTask::Unticked unticked;
        QVariant after;
    } cases[] = {
        {QVariant(), false, TfmTask::Unticked::LeaveAsIs, QVariant()},
        {QVariant(), false, TfmTask::Unticked::StoreF, QStringLiteral("F")},
        {QStringLiteral("T"), false, TfmTask::Unticked::StoreF, QStringLiteral("F")},
        {QVariant(), true, TfmTask::Unticked::LeaveAsIs, QStringLiteral("T")},
        {QStringLiteral("F"), true, TfmTask::Unticked::StoreF, QStringLiteral("T")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.before.toString().toStdString() + (c.ticked ? " ticked" : " unticked"));
        const int id = addEvent(
            {{QStringLiteral("HEADER"), QStringLiteral("Отметка")}, {QStringLiteral("ISFINISH"), c.before}});
        auto events = openEvent(id);
        TfmTask d(m_choices);
        d.fillFromRow(*events);
        child<QCheckBox>(d, "cbIsFinish")->setChecked(c.ticked);
        sbOK(d)->click();
        store(d, *events, c.unticked);
        EXPECT_EQ(stored(id, QStringLiteral("ISFINISH")), c.after);
    }
}

// A lead time the list does not offer shows "нет" and is stored as 0.
TEST_F(TfmTaskTest, AlarmNotInTheTableShowsNoneAndStoresZero)
{
    const int id =
        addEvent({{QStringLiteral("HEADER"), QStringLiteral("Полчаса")}, {QStringLiteral("ALARM"), 30}});
    auto events = openEvent(id);
    TfmTask d(m_choices);
    d.fillFromRow(*events);
    EXPECT_EQ(combo(d, "cbAlarm")->currentText(), QStringLiteral("нет"));
    sbOK(d)->click();
    store(d, *events, TfmTask::Unticked::StoreF);
    EXPECT_EQ(stored(id, QStringLiteral("ALARM")).toInt(), 0);
}

// A deleted sound or template shows the last row, but only a choice the user
// makes replaces the event's own key.
TEST_F(TfmTaskTest, DeletedSoundOrTemplateShowsTheLastRowAndKeepsTheKeyUnlessChosen)
{
    const int id = addEvent({{QStringLiteral("HEADER"), QStringLiteral("Старый звук")},
                             {QStringLiteral("SOUND"), 99},
                             {QStringLiteral("TEMPLATE"), 98}});
    auto events = openEvent(id);
    TfmTask d(m_choices);
    d.fillFromRow(*events);
    EXPECT_EQ(combo(d, "cbSound")->currentIndex(), combo(d, "cbSound")->count() - 1);
    EXPECT_EQ(combo(d, "cbStyle")->currentIndex(), combo(d, "cbStyle")->count() - 1);
    child<QLineEdit>(d, "edHeader")->setText(QStringLiteral("Новый заголовок"));
    sbOK(d)->click();
    store(d, *events, TfmTask::Unticked::StoreF);
    EXPECT_EQ(stored(id, QStringLiteral("SOUND")).toInt(), 99);
    EXPECT_EQ(stored(id, QStringLiteral("TEMPLATE")).toInt(), 98);

    TfmTask chosen(m_choices);
    events->reopen();
    chosen.fillFromRow(*events);
    combo(chosen, "cbSound")->setCurrentText(QStringLiteral("Звонок"));
    combo(chosen, "cbStyle")->setCurrentText(QStringLiteral("Срочный"));
    sbOK(chosen)->click();
    store(chosen, *events, TfmTask::Unticked::StoreF);
    EXPECT_EQ(stored(id, QStringLiteral("SOUND")).toInt(), 1);
    EXPECT_EQ(stored(id, QStringLiteral("TEMPLATE")).toInt(), 5);
}

TEST_F(TfmTaskTest, ViewOnlyRefusesEveryChange)
{
    const int id = addEvent({{QStringLiteral("HEADER"), QStringLiteral("Только чтение")},
                             {QStringLiteral("COMMENT"), QStringLiteral("Текст")},
                             {QStringLiteral("ISFINISH"), QStringLiteral("T")},
                             {QStringLiteral("TEMPLATE"), 5},
                             {QStringLiteral("SOUND"), 1},
                             {QStringLiteral("ALARM"), 5}});
    auto events = openEvent(id);
    for (TfmTask::ViewOnlyOk ok : {TfmTask::ViewOnlyOk::Disabled, TfmTask::ViewOnlyOk::Hidden}) {
        SCOPED_TRACE(int(ok));
        TfmTask d(m_choices);
        d.fillFromRow(*events);
        d.setViewOnly(ok);
        showActive(d);
        EXPECT_TRUE(d.finished()) << "a finished event shows ticked";
        EXPECT_EQ(combo(d, "cbSound")->currentText(), QStringLiteral("Звонок"));

        auto* header = child<QLineEdit>(d, "edHeader");
        auto* text = child<QPlainTextEdit>(d, "meTask");
        QTest::keyClicks(header, QStringLiteral("abc"));
        QTest::keyClicks(text, QStringLiteral("def"));
        EXPECT_EQ(d.header(), QStringLiteral("Только чтение"));
        EXPECT_EQ(d.description(), QStringLiteral("Текст"));
        for (const char* name : {"cbStyle", "cbAlarm", "cbSound", "cbIsFinish"})
            EXPECT_FALSE(child<QWidget>(d, name)->isEnabled()) << name;
        EXPECT_FALSE(sbOK(d)->isEnabled());
        EXPECT_EQ(sbOK(d)->isVisible(), ok == TfmTask::ViewOnlyOk::Disabled);
        EXPECT_EQ(d.windowFlags().testFlag(Qt::WindowStaysOnTopHint), ok == TfmTask::ViewOnlyOk::Hidden);

        QTest::keyClick(header, Qt::Key_Escape);
        EXPECT_FALSE(d.isVisible()) << "Escape closes";
        EXPECT_FALSE(d.accepted());
    }
}

TEST_F(TfmTaskTest, FillingAfterViewOnlyDoesNotEnableOk)
{
    const int id =
        addEvent({{QStringLiteral("HEADER"), QStringLiteral("Поиск")}, {QStringLiteral("TEMPLATE"), 1}});
    auto events = openEvent(id);
    TfmTask d(m_choices);
    d.setViewOnly(TfmTask::ViewOnlyOk::Disabled);
    d.fillFromRow(*events);
    EXPECT_FALSE(sbOK(d)->isEnabled());
}

TEST_F(TfmTaskTest, EnterAcceptsOutsideTheDescriptionAndEscapeCancels)
{
    TfmTask d(m_choices);
    d.fillNew();
    showActive(d);
    auto* header = child<QLineEdit>(d, "edHeader");
    auto* text = child<QPlainTextEdit>(d, "meTask");
    QTest::keyClicks(header, QStringLiteral("Call the client"));
    QTest::keyClicks(text, QStringLiteral("line"));
    QTest::keyClick(text, Qt::Key_Return);
    QTest::keyClicks(text, QStringLiteral("more"));
    EXPECT_TRUE(d.isVisible()) << "Enter in the description starts a new line";
    EXPECT_EQ(d.description(), QStringLiteral("line\nmore"));
    QTest::keyClick(header, Qt::Key_Return);
    EXPECT_FALSE(d.isVisible());
    EXPECT_TRUE(d.accepted());
    EXPECT_EQ(d.result(), QDialog::Accepted);

    TfmTask cancelled(m_choices);
    cancelled.fillNew();
    showActive(cancelled);
    QTest::keyClicks(child<QLineEdit>(cancelled, "edHeader"), QStringLiteral("Changed my mind"));
    QTest::keyClick(child<QLineEdit>(cancelled, "edHeader"), Qt::Key_Escape);
    EXPECT_FALSE(cancelled.isVisible());
    EXPECT_FALSE(cancelled.accepted());
}

TEST_F(TfmTaskTest, CancelButtonsAndClosingLeaveTheDialogUnaccepted)
{
    for (const char* name : {"sbCancel", "btCancel"}) {
        TfmTask d(m_choices);
        d.fillNew();
        d.show();
        child<QLineEdit>(d, "edHeader")->setText(QStringLiteral("Отмена"));
        child<QAbstractButton>(d, name)->click();
        EXPECT_FALSE(d.isVisible()) << name;
        EXPECT_FALSE(d.accepted()) << name;
    }
    TfmTask closed(m_choices);
    closed.fillNew();
    closed.show();
    child<QLineEdit>(closed, "edHeader")->setText(QStringLiteral("Закрыто"));
    closed.close();
    EXPECT_FALSE(closed.accepted());
}

TEST_F(TfmTaskTest, HelpOpensTopic91)
{
    TfmTask d(m_choices);
    child<QToolButton>(d, "sbHelp")->click();
    EXPECT_EQ(m_platform.helpTopics(), QList<int>{91});
}

// Printing goes to the planner's current event; a failing report shows the
// printer message and leaves the dialog open.
TEST_F(TfmTaskTest, PrintTakesThePlannerCurrentEventAndReportsFailures)
{
    const int id = addEvent({{QStringLiteral("HEADER"), QStringLiteral("Печатаемое")}});
    auto planner = openEvent(id);
    TfmTask d(m_choices);
    d.fillNew();
    EXPECT_FALSE(child<QToolButton>(d, "sbPrint")->isEnabled()) << "nothing to print through";

    QList<int> printed;
    bool fail = false;
    d.setPrinting(planner.get(), [&](const db::Query& events) {
        if (fail)
            throw std::runtime_error("no printer");
        printed << events.integer(QStringLiteral("ID"));
    });
    d.show();
    child<QToolButton>(d, "sbPrint")->click();
    EXPECT_EQ(printed, QList<int>{id});

    fail = true;
    child<QToolButton>(d, "sbPrint")->click();
    ASSERT_EQ(m_platform.messages().size(), 1);
    EXPECT_EQ(m_platform.messages().at(0).kind, MessageKind::Question);
    EXPECT_EQ(m_platform.messages().at(0).text, QStringLiteral("Ошибка! Возможно, не установлен принтер."));
    EXPECT_TRUE(d.isVisible());

    fail = false;
    auto empty = openEvent(-1);
    d.setPrinting(empty.get(), [&](const db::Query&) { printed << -1; });
    child<QToolButton>(d, "sbPrint")->click();
    planner->close();
    d.setPrinting(planner.get(), [&](const db::Query&) { printed << -2; });
    child<QToolButton>(d, "sbPrint")->click();
    EXPECT_EQ(printed, QList<int>{id}) << "an empty or closed events query prints nothing";
}

// Header and description are held to EVENTS.HEADER and EVENTS.COMMENT:
// typing or pasting beyond loses what went over at the cursor, never the
// text already there, and a counter shows the description's length.
TEST_F(TfmTaskTest, TextsAreHeldToTheirColumns)
{
    TfmTask d(m_choices);
    d.fillNew();
    auto* header = child<QLineEdit>(d, "edHeader");
    header->setText(QString(300, QLatin1Char('x')));
    EXPECT_EQ(header->text().size(), 255);

    auto* text = child<QPlainTextEdit>(d, "meTask");
    auto* counter = child<QLabel>(d, "lbTaskLength");
    EXPECT_EQ(counter->text(), QStringLiteral("0 / 4000"));
    text->setPlainText(QStringLiteral("начало конец"));
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(6);
    text->setTextCursor(cursor);
    text->insertPlainText(QString(5000, QChar(u'я')));
    EXPECT_EQ(text->toPlainText(),
              QStringLiteral("начало") + QString(3988, QChar(u'я')) + QStringLiteral(" конец"));
    EXPECT_EQ(counter->text(), QStringLiteral("4000 / 4000"));
    QTest::keyClicks(text, QStringLiteral("more"));
    EXPECT_EQ(text->toPlainText().size(), 4000);
    text->setPlainText(QString(4100, QLatin1Char('a')) + QStringLiteral("хвост"));
    EXPECT_EQ(text->toPlainText(), QString(4000, QLatin1Char('a')));
}
