// The event search and the database clearing on the real database: the key
// text and the dates go to the server as parameters, so quotes in a key and
// the workstation's date format change nothing of what is found or deleted.

#include "datepicker.h"
#include "eventsearchstatement.h"
#include "plannercalendar.h"
#include "plannerfixture.h"
#include "query.h"
#include "tfmclearbase.h"
#include "tfmeventsearch.h"
#include "tfmtask.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>

using namespace tarvik;
using tarvik::tasks::TfmClearBase;
using tarvik::tasks::TfmEventSearch;

namespace {

class EventSearchTest : public test::PlannerFixture
{
protected:
    void SetUp() override
    {
        PlannerFixture::SetUp();
        m_boss = addUser(QStringLiteral("Шеф"), UserRole::Boss);
        m_place = addWorkPlace(QStringLiteral("Цех"), m_boss);
        m_other = addWorkPlace(QStringLiteral("Склад"), m_boss);
    }
    void TearDown() override
    {
        QLocale::setDefault(QLocale::c());
        PlannerFixture::TearDown();
    }
    int add(const QString& header, const QDateTime& start, const QDateTime& end, const QString& comment = {},
            const QVariant& finished = {}, int place = 0)
    {
        test::EventRow row = eventAt(place ? place : m_place, start, end, header);
        row.comment = comment;
        row.isFinish = finished;
        return addEvent(row);
    }
    // The headers the search window lists, in name order.
    static QStringList found(TfmEventSearch& w)
    {
        QStringList out;
        db::Query& q = w.qSearchEvent();
        for (int r = 0; q.isOpen() && r < q.recordCount(); ++r)
            out << q.valueAt(r, QStringLiteral("HEADER")).toString();
        out.sort();
        return out;
    }
    static QStringList search(TfmEventSearch& w, const QString& key, int scope = 0)
    {
        w.findChild<QLineEdit*>(QStringLiteral("edKey"))->setText(key);
        w.findChild<QMenu*>(QStringLiteral("pmSearch"))->actions().at(scope)->trigger();
        w.sbSearchClick();
        return found(w);
    }
    static void period(QWidget& w, QDate from, QDate to)
    {
        w.findChild<widgets::DatePicker*>(QStringLiteral("pdStart"))->setDate(from);
        w.findChild<widgets::DatePicker*>(QStringLiteral("pdEnd"))->setDate(to);
    }
    QStringList remaining() const
    {
        db::Query q(*m_c, QStringLiteral("SELECT HEADER FROM EVENTS ORDER BY HEADER"));
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << q.text(QStringLiteral("HEADER"));
        return out;
    }

    int m_boss = 0, m_place = 0, m_other = 0;
};

} // namespace

TEST_F(EventSearchTest, StatementKeepsTheKeyAndDatesOutOfItsText)
{
    const auto s = tasks::EventSearchStatement::build(QStringLiteral("a\"b"), tasks::SearchScope::Everywhere,
                                                      true, QDate(2024, 3, 1), QDate(2024, 3, 5));
    ASSERT_EQ(s.lines.size(), 4);
    EXPECT_EQ(s.lines.at(1), QStringLiteral("(Header LIKE :KEY OR Comment LIKE :KEY)"));
    EXPECT_EQ(s.lines.at(2), QStringLiteral("AND"));
    EXPECT_EQ(s.lines.at(3), QStringLiteral("(StartTime >= :STARTDATE AND EndTime <= :ENDDATE)"));
    EXPECT_EQ(s.params.value(QStringLiteral("KEY")).toString(), QStringLiteral("%a\"b%"));
    EXPECT_TRUE(tasks::EventSearchStatement::build({}, tasks::SearchScope::Text, false, {}, {}).isEmpty());
}

// Each scope with the database's case-sensitive LIKE; quotes, "%" and "_"
// in the key; events of every work place.
TEST_F(EventSearchTest, KeyFindsByScopeWithLikeWildcardsAndQuotes)
{
    add(QStringLiteral("Отчёт за март"), at(3, 3, 10), at(3, 3, 11), QStringLiteral("сдать бухгалтеру"));
    add(QStringLiteral("Ремонт крыши"), at(3, 5, 10), at(3, 5, 11), QStringLiteral("отчёт прораба"), {},
        m_other);
    add(QStringLiteral("Кавычки \"ГОСТ\""), at(3, 10, 10), at(3, 10, 11));
    add(QStringLiteral("план_А 100%"), at(3, 11, 10), at(3, 11, 11));
    add(QStringLiteral("планXА 100 штук"), at(3, 12, 10), at(3, 12, 11));
    TfmEventSearch w(*m_c);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Поиск задач"));
    auto* where = w.findChild<QToolButton*>(QStringLiteral("sbWhereSearch"));
    EXPECT_EQ(where->text(), QStringLiteral("Везде"));
    EXPECT_EQ(where->toolTip(), QStringLiteral("Где искать"));

    EXPECT_EQ(search(w, QStringLiteral("Отчёт")), QStringList{QStringLiteral("Отчёт за март")});
    EXPECT_EQ(search(w, QStringLiteral("отчёт")), QStringList{QStringLiteral("Ремонт крыши")});
    EXPECT_EQ(search(w, QStringLiteral("отчёт"), 1), QStringList{});
    EXPECT_EQ(where->text(), QStringLiteral("Заголовок"));
    EXPECT_EQ(search(w, QStringLiteral("Ремонт"), 1), QStringList{QStringLiteral("Ремонт крыши")});
    EXPECT_EQ(search(w, QStringLiteral("Ремонт"), 2), QStringList{});
    EXPECT_EQ(where->text(), QStringLiteral("Текст"));
    EXPECT_EQ(search(w, QStringLiteral("бухгалтер"), 2), QStringList{QStringLiteral("Отчёт за март")});

    EXPECT_EQ(search(w, QStringLiteral("\"ГОСТ\"")), QStringList{QStringLiteral("Кавычки \"ГОСТ\"")});
    const QStringList both{QStringLiteral("планXА 100 штук"), QStringLiteral("план_А 100%")};
    EXPECT_EQ(search(w, QStringLiteral("план_А")), both);
    EXPECT_EQ(search(w, QStringLiteral("100%")), both);
    EXPECT_TRUE(m_platform.messages().isEmpty());
}

// The period runs from midnight of its first day to midnight of its last
// day; with a key both must hold. Without either the search is refused and
// the list stays.
TEST_F(EventSearchTest, PeriodEndsAtMidnightOfItsLastDay)
{
    add(QStringLiteral("Третье"), at(3, 3, 10), at(3, 3, 11));
    add(QStringLiteral("Пятое"), at(3, 5, 10), at(3, 5, 11));
    add(QStringLiteral("Сегодня"), at(3, 15, 9), at(3, 15, 10));
    TfmEventSearch w(*m_c);
    auto* pdStart = w.findChild<widgets::DatePicker*>(QStringLiteral("pdStart"));
    EXPECT_EQ(pdStart->date(), QDate(2024, 3, 15));
    EXPECT_FALSE(pdStart->isEnabled());
    w.findChild<QCheckBox*>(QStringLiteral("cbPeriod"))->setChecked(true);
    EXPECT_TRUE(pdStart->isEnabled());

    EXPECT_EQ(search(w, {}), QStringList{}) << "both pickers at today";
    period(w, QDate(2024, 3, 1), QDate(2024, 3, 5));
    EXPECT_EQ(search(w, {}), QStringList{QStringLiteral("Третье")});
    EXPECT_EQ(search(w, QStringLiteral("Пят")), QStringList{});
    EXPECT_EQ(search(w, QStringLiteral("Тре")), QStringList{QStringLiteral("Третье")});

    w.findChild<QCheckBox*>(QStringLiteral("cbPeriod"))->setChecked(false);
    EXPECT_EQ(search(w, {}), QStringList{QStringLiteral("Третье")}) << "the previous list stays";
    EXPECT_EQ(m_platform.messageTexts(), QStringList{TfmEventSearch::kNoConditionsMessage});
}

// A picker's date comes only from its calendar, whose months are short.
TEST_F(EventSearchTest, PickerTakesTheDateFromItsCalendar)
{
    TfmEventSearch w(*m_c);
    w.show();
    w.findChild<QCheckBox*>(QStringLiteral("cbPeriod"))->setChecked(true);
    auto* picker = w.findChild<widgets::DatePicker*>(QStringLiteral("pdEnd"));
    auto* text = picker->findChild<QLineEdit*>();
    EXPECT_TRUE(text->isReadOnly());
    QTest::keyClicks(text, QStringLiteral("01.01.2020"));
    EXPECT_EQ(picker->date(), QDate(2024, 3, 15));
    QTest::keyClick(text, Qt::Key_F4);
    EXPECT_TRUE(picker->isCalendarShown());
    widgets::PlannerCalendar* calendar = picker->calendar();
    EXPECT_EQ(calendar->title(), QStringLiteral("мар 2024"));
    QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->nextMonthRect().center());
    EXPECT_EQ(calendar->title(), QStringLiteral("апр 2024"));
    QTest::mouseClick(calendar, Qt::LeftButton, {}, calendar->dayRect(QDate(2024, 4, 2)).center());
    EXPECT_EQ(picker->date(), QDate(2024, 4, 2));
    EXPECT_EQ(picker->text(), QStringLiteral("02.04.2024"));
    EXPECT_FALSE(picker->isCalendarShown());
}

// Open shows the current result read-only; an event without a sound shows "нет".
TEST_F(EventSearchTest, OpenShowsTheEventReadOnly)
{
    add(QStringLiteral("Смена"), at(3, 3, 10), at(3, 3, 11), QStringLiteral("описание"));
    TfmEventSearch w(*m_c);
    int shown = 0;
    w.setDialogRunner([&](planner::TfmTask& dialog) {
        ++shown;
        EXPECT_EQ(dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->text(), QStringLiteral("Смена"));
        EXPECT_TRUE(dialog.findChild<QLineEdit*>(QStringLiteral("edHeader"))->isReadOnly());
        EXPECT_EQ(dialog.findChild<QComboBox*>(QStringLiteral("cbSound"))->currentText(),
                  QStringLiteral("нет"));
        EXPECT_FALSE(dialog.findChild<QToolButton*>(QStringLiteral("sbOK"))->isEnabled());
    });
    w.sbOpenClick();
    EXPECT_EQ(shown, 0) << "nothing searched yet";
    search(w, QStringLiteral("Смена"));
    w.sbOpenClick();
    EXPECT_EQ(shown, 1);
}

// Both choices with their examples; "No" deletes nothing; a second run
// succeeds too.
TEST_F(EventSearchTest, ClearingDeletesThePeriodOrTheFinishedEvents)
{
    add(QStringLiteral("01 утро"), at(3, 1, 10), at(3, 1, 11));
    add(QStringLiteral("30 утро"), at(3, 30, 10), at(3, 30, 11));
    add(QStringLiteral("апрель не готово"), at(4, 2, 10), at(4, 2, 11), {}, QStringLiteral("F"));
    add(QStringLiteral("31 полночь"), at(3, 31, 0), at(3, 31, 0));
    add(QStringLiteral("31 утро"), at(3, 31, 10), at(3, 31, 11));
    add(QStringLiteral("29 февраля"), at(2, 29, 10), at(2, 29, 11), {}, QStringLiteral("T"));
    add(QStringLiteral("будущее готово"), QDateTime(QDate(2025, 6, 1), QTime(9, 0)),
        QDateTime(QDate(2025, 6, 1), QTime(10, 0)), {}, QStringLiteral("T"), m_other);
    add(QStringLiteral("15 полночь"), at(3, 15, 0), at(3, 15, 0));
    add(QStringLiteral("15 утро"), at(3, 15, 9), at(3, 15, 10));
    TfmClearBase w(*m_c);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Чистка базы"));
    EXPECT_TRUE(w.findChild<QRadioButton*>(QStringLiteral("rbPeriod"))->isChecked());

    m_platform.queueAnswer(false);
    period(w, QDate(2024, 1, 1), QDate(2026, 1, 1));
    w.SpeedButton1Click();
    EXPECT_EQ(remaining().size(), 9);
    EXPECT_EQ(m_platform.messageTexts(), QStringList{TfmClearBase::kQuestion});

    m_platform.clearMessages();
    m_platform.setDefaultAnswer(true);
    period(w, QDate(2024, 3, 15), QDate(2024, 3, 15));
    w.SpeedButton1Click();
    EXPECT_FALSE(remaining().contains(QStringLiteral("15 полночь")));
    EXPECT_TRUE(remaining().contains(QStringLiteral("15 утро")));
    period(w, QDate(2024, 3, 1), QDate(2024, 3, 31));
    w.SpeedButton1Click();
    EXPECT_EQ(remaining(),
              (QStringList{QStringLiteral("29 февраля"), QStringLiteral("31 утро"),
                           QStringLiteral("апрель не готово"), QStringLiteral("будущее готово")}));

    w.findChild<QRadioButton*>(QStringLiteral("rbComplete"))->setChecked(true);
    EXPECT_FALSE(w.findChild<widgets::DatePicker*>(QStringLiteral("pdStart"))->isEnabled());
    w.SpeedButton1Click();
    w.SpeedButton1Click();
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("31 утро"), QStringLiteral("апрель не готово")}));
    EXPECT_EQ(m_platform.messageTexts(),
              (QStringList{TfmClearBase::kQuestion, TfmClearBase::kDoneMessage, TfmClearBase::kQuestion,
                           TfmClearBase::kDoneMessage, TfmClearBase::kQuestion, TfmClearBase::kDoneMessage,
                           TfmClearBase::kQuestion, TfmClearBase::kDoneMessage}));
}

// A row locked by another workstation makes the server refuse the whole
// deletion: its text is shown, no success, nothing deleted.
TEST_F(EventSearchTest, ClearingRefusedByTheServerDeletesNothing)
{
    const int locked = add(QStringLiteral("занято"), at(3, 1, 10), at(3, 1, 11), {}, QStringLiteral("T"));
    add(QStringLiteral("свободно"), at(3, 2, 10), at(3, 2, 11), {}, QStringLiteral("T"));
    auto other = database().connect();
    other->execute(QStringLiteral("UPDATE EVENTS SET ALARM = 5 WHERE ID = :I"),
                   {{QStringLiteral("I"), locked}});
    m_platform.setDefaultAnswer(true);
    TfmClearBase w(*m_c);
    w.findChild<QRadioButton*>(QStringLiteral("rbComplete"))->setChecked(true);
    w.SpeedButton1Click();
    other->rollback();
    ASSERT_EQ(m_platform.messages().size(), 2);
    EXPECT_EQ(m_platform.messages().at(1).kind, MessageKind::Error);
    EXPECT_FALSE(m_platform.messageTexts().contains(TfmClearBase::kDoneMessage));
    EXPECT_EQ(remaining(), (QStringList{QStringLiteral("занято"), QStringLiteral("свободно")}));
}

// The workstation's date format (Russian day first, US month first) has
// no part in which events a period clearing deletes.
TEST_F(EventSearchTest, ClearingDeletesTheSameRowsUnderRussianAndUsLocales)
{
    m_platform.setDefaultAnswer(true);
    QList<QStringList> left;
    for (const QLocale& locale :
         {QLocale(QLocale::Russian, QLocale::Russia), QLocale(QLocale::English, QLocale::UnitedStates)}) {
        m_c->execute(QStringLiteral("DELETE FROM EVENTS"));
        m_c->commitRetaining();
        add(QStringLiteral("2 марта"), at(3, 2, 10), at(3, 2, 11));
        add(QStringLiteral("3 февраля"), at(2, 3, 10), at(2, 3, 11));
        add(QStringLiteral("12 марта"), at(3, 12, 10), at(3, 12, 11));
        QLocale::setDefault(locale);
        TfmClearBase w(*m_c);
        period(w, QDate(2024, 3, 2), QDate(2024, 3, 12));
        w.SpeedButton1Click();
        left << remaining();
    }
    EXPECT_EQ(left.at(0), (QStringList{QStringLiteral("12 марта"), QStringLiteral("3 февраля")}));
    EXPECT_EQ(left.at(1), left.at(0));
}
