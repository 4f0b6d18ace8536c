// The options window with its pages and the template editor, through the
// main window's menu commands on the real database.

#include "adminfixture.h"

#include "admincommands.h"
#include "connection.h"
#include "dialogbar.h"
#include "markupitemdelegate.h"
#include "markuptreeview.h"
#include "optionlists.h"
#include "query.h"
#include "querylistmodel.h"
#include "soundplaybutton.h"
#include "soundspage.h"
#include "templatesample.h"
#include "templatespage.h"
#include "tfmaddsound.h"
#include "tfmmp.h"
#include "tfmoptions.h"
#include "tfmtemplate.h"
#include "tfmworkplace.h"
#include "workplacespage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

using namespace tarvik;
using namespace tarvik::admin;

namespace {

class OptionsTest : public test::AdminFixture
{
protected:
    static QStringList entries(const QComboBox* box)
    {
        QStringList out;
        for (int i = 0; i < box->count(); ++i)
            out << box->itemText(i);
        return out;
    }
    template <typename T> static T* child(QWidget& w, const char* name)
    {
        return w.findChild<T*>(QLatin1String(name));
    }
    static const QColor kSilver;
};

const QColor OptionsTest::kSilver(192, 192, 192);

} // namespace

TEST_F(OptionsTest, DayPageTimesAndEscapeUndoingAWorkPlace)
{
    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), true);
    bool done = false;
    onModal<TfmOptions>([&](TfmOptions& o) {
        EXPECT_EQ(o.shownPage(), TfmOptions::PersonalPage);
        auto* start = child<QComboBox>(o, "cbVisibleStart");
        auto* end = child<QComboBox>(o, "cbVisibleEnd");
        auto* workStart = child<QComboBox>(o, "cbWorkStart");
        auto* workEnd = child<QComboBox>(o, "cbWorkEnd");
        EXPECT_EQ(start->count(), 49);
        EXPECT_EQ(start->currentText() + end->currentText(), QStringLiteral("08:0020:00"));
        EXPECT_EQ(workStart->currentText() + workEnd->currentText(), QStringLiteral("09:0018:00"));
        EXPECT_TRUE(child<QRadioButton>(o, "cb30")->isChecked());

        end->setCurrentIndex(end->findText(QStringLiteral("18:00")));
        EXPECT_EQ(entries(workStart).first() + entries(workStart).last() +
                      QString::number(workStart->count()),
                  QStringLiteral("08:0018:0021"));
        EXPECT_EQ(entries(workStart), entries(workEnd));
        // A narrower range takes the working times to its ends.
        start->setCurrentIndex(start->findText(QStringLiteral("10:00")));
        end->setCurrentIndex(end->findText(QStringLiteral("17:00")));
        EXPECT_EQ(workStart->currentText() + workEnd->currentText(), QStringLiteral("10:0017:00"));

        end->setCurrentIndex(end->findText(QStringLiteral("08:00")));
        EXPECT_EQ(m_platform.beepCount(), 1);
        EXPECT_EQ(m_platform.messageTexts(),
                  QStringList{QStringLiteral(
                      "Начало отображаемого времени не может быть позже окончания отображаемого времени.")});
        EXPECT_EQ(start->currentText() + end->currentText(), QStringLiteral("00:0024:00"));
        EXPECT_EQ(entries(workStart).first() + entries(workStart).last() +
                      QString::number(workStart->count()),
                  QStringLiteral("00:3024:0048"));

        // A work place added for a chosen boss, then Escape.
        o.pageTree()->setCurrentIndex(o.pageTree()->model()->index(2, 0));
        EXPECT_EQ(o.shownPage(), TfmOptions::WorkPlacesPageIndex);
        WorkPlacesPage* page = o.workPlacesPage();
        EXPECT_EQ(o.lists().workPlaces().recordCount(), 0);
        EXPECT_FALSE(child<QToolButton>(*page, "sbAddPlace")->isEnabled());
        page->bossChooser()->setCurrentIndex(page->bossChooser()->findText(QStringLiteral("Шеф")));
        page->cbUsersChange(page->bossChooser()->currentIndex());
        EXPECT_EQ(o.lists().workPlaces().recordCount(), 2);
        onModal<TfmWorkPlace>([](TfmWorkPlace& d) {
            d.deName()->setText(QStringLiteral("   "));
            EXPECT_FALSE(d.bar()->okButton()->isEnabled()) << "blanks are no name";
            d.deName()->setText(QStringLiteral("Новое место"));
            d.bar()->okButton()->click();
        });
        child<QToolButton>(*page, "sbAddPlace")->click();
        EXPECT_EQ(o.lists().workPlaces().recordCount(), 3);
        EXPECT_EQ(start->currentText(), QStringLiteral("00:00")) << "edits survive the dialog";
        done = true;
        QTest::keyClick(&o, Qt::Key_Escape);
    });
    admin->administration().miSystemParamClick();
    ASSERT_TRUE(done);
    db::Query q(admin->connection(),
                QStringLiteral("SELECT COUNT(*) FROM WORKPLACE WHERE NAME = 'Новое место'"));
    q.open();
    EXPECT_EQ(q.value(0).toInt(), 0);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM WORKPLACE WHERE NAME = 'Новое место'")), 0);
    EXPECT_EQ(admin->options().lists().workPlaces().recordCount(), 2)
        << "the list shows the rolled-back state";
    admin->close();
}

TEST_F(OptionsTest, PersonalSwitchesTakeEffectAtOnceAndOddStepShowsFifteen)
{
    auto worker = loggedIn(QStringLiteral("Рабочий"), QStringLiteral("Pw"), false);
    m_platform.clearMessages();
    worker->administration().miSystemParamClick();
    EXPECT_EQ(m_platform.messageTexts(),
              QStringList{QStringLiteral("Настройка системы возможна только в монопольном режиме!")});

    m_c->execute(QStringLiteral("UPDATE USERS SET SNTEXT = 'T' WHERE ID = :I"),
                 {{QStringLiteral("I"), m_worker}});
    m_c->commitRetaining();
    worker->users().reopen();
    bool done = false;
    onModal<TfmOptions>([&](TfmOptions& o) {
        EXPECT_EQ(o.shownPage(), TfmOptions::PersonalPage);
        EXPECT_FALSE(o.pageTree()->isEnabled());
        auto* mail = child<QCheckBox>(o, "cbNewTexts");
        mail->setChecked(false);
        child<QComboBox>(o, "cbStartSystem")->setCurrentIndex(2);
        done = true;
        o.sbOKClick();
    });
    worker->administration().miPersonalClick();
    ASSERT_TRUE(done);
    EXPECT_FALSE(worker->profile().newLetterNotices) << "the notice stops without a new login";
    EXPECT_EQ(userColumn(m_worker, QStringLiteral("SNTEXT")).toString(), QStringLiteral("F"));
    EXPECT_EQ(userColumn(m_worker, QStringLiteral("STARTSYSTEM")).toInt(), 2);

    TfmOptions& o = worker->options();
    o.setGridValues({45, QStringLiteral("08:00"), QStringLiteral("20:00"), QStringLiteral("09:00"),
                     QStringLiteral("18:00")});
    o.FormActivate();
    EXPECT_TRUE(child<QRadioButton>(o, "cb15")->isChecked());
    worker->close();
}

TEST_F(OptionsTest, TemplatesSoundsAndTheEditor)
{
    m_c->execute(QStringLiteral(
        "INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (GEN_ID(SOUNDS_ID, 1), 'Звон', '/snd/bell.wav')"));
    m_c->execute(QStringLiteral(
        "INSERT INTO SOUNDS (ID, NAME, PATH) VALUES (GEN_ID(SOUNDS_ID, 1), 'Нет', '/snd/gone.wav')"));
    m_c->commitRetaining();
    m_platform.addFile(QStringLiteral("/snd/bell.wav"));
    m_platform.setFontFamilies(
        {QStringLiteral("Arial"), QStringLiteral("MS Sans Serif"), QStringLiteral("Tahoma")});
    auto admin = loggedIn(QStringLiteral("Администратор"), QStringLiteral("admin"), true);
    bool done = false;
    onModal<TfmOptions>([&](TfmOptions& o) {
        // Templates: the default one in silver, protected.
        TemplatesPage* templates = o.templatesPage();
        db::Query& list = o.lists().templates();
        EXPECT_EQ(list.recordCount(), 1);
        EXPECT_EQ(templates->grid()->model()->index(0, 0).data(Qt::ForegroundRole).value<QColor>(), kSilver);
        m_platform.clearMessages();
        templates->sbDelTemplateClick();
        EXPECT_EQ(m_platform.messageTexts(),
                  QStringList{QStringLiteral("Невозможно удалить шаблон по умолчанию!")});
        EXPECT_EQ(list.recordCount(), 1);
        onModal<TfmTemplate>([](TfmTemplate& t) {
            EXPECT_FALSE(child<QLineEdit>(t, "dbeName")->isEnabled());
            EXPECT_TRUE(t.bar()->okButton()->isEnabled());
            // A stored size of 9 is entry 3.
            t.cbElementChange(TemplateSample::Heading);
            EXPECT_EQ(child<QComboBox>(t, "cbFontSize")->currentIndex(), 3);
            t.bar()->cancelButton()->click();
        });
        templates->sbEditTemplateClick();

        // A new template: the editor's rules, then the stored starting values.
        onModal<TfmTemplate>([&](TfmTemplate& t) {
            auto enabled = [&t](std::initializer_list<const char*> names) {
                QString out;
                for (const char* n : names)
                    out += t.findChild<QWidget*>(QLatin1String(n))->isEnabled() ? QLatin1Char('1')
                                                                                : QLatin1Char('0');
                return out;
            };
            const auto controls = {"shElementColor", "sbElementColor", "shStyle",     "sbStyle",
                                   "fcbFont",        "shFontColor",    "sbFontColor", "cbFontSize"};
            EXPECT_EQ(enabled(controls), QStringLiteral("00000000"));
            EXPECT_FALSE(t.bar()->okButton()->isEnabled());
            t.cbElementChange(TemplateSample::Track);
            EXPECT_EQ(enabled(controls), QStringLiteral("11110000"));
            t.cbElementChange(TemplateSample::Heading);
            EXPECT_EQ(enabled(controls), QStringLiteral("00001111"));
            t.cbElementChange(TemplateSample::Note);
            EXPECT_EQ(enabled(controls), QStringLiteral("11111111"));
            EXPECT_EQ(child<QComboBox>(t, "fcbFont")->currentText(), QStringLiteral("MS Sans Serif"));
            QTest::mouseClick(t.sample()->text(TemplateSample::Caption), Qt::LeftButton);
            EXPECT_EQ(child<QComboBox>(t, "cbElement")->currentText(), QStringLiteral("Заголовок"));
            // A colour chosen then the name typed; Enter accepts only with a name.
            m_platform.queueColor(QColor(255, 0, 0));
            child<QToolButton>(t, "sbFontColor")->click();
            t.activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(&t));
            QTest::keyClick(&t, Qt::Key_Return);
            EXPECT_TRUE(t.isVisible());
            child<QLineEdit>(t, "dbeName")->setText(QStringLiteral("Срочно"));
            QTest::keyClick(&t, Qt::Key_Return);
            if (t.isVisible()) // keep the suite going whatever happened
                t.bar()->okButton()->click();
        });
        templates->sbAddTemplateClick();
        EXPECT_EQ(list.recordCount(), 2);
        list.locate(QStringLiteral("NAME"), QStringLiteral("Срочно"));
        EXPECT_EQ(list.value(QStringLiteral("BGCOLOR")).toInt(), 16777215);
        EXPECT_EQ(list.value(QStringLiteral("TRACKCOLOR")).toInt(), 0);
        EXPECT_EQ(list.value(QStringLiteral("TEXTFONTCOLOR")).toInt(), 0);
        EXPECT_EQ(list.value(QStringLiteral("CAPTIONFONTCOLOR")).toInt(), 255) << "red in the low byte";
        EXPECT_EQ(list.text(QStringLiteral("TEXTFONT")), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(list.value(QStringLiteral("HEADERFONTSIZE")).toInt(), 9);
        EXPECT_FALSE(templates->grid()->model()->index(list.recNo(), 0).data(Qt::ForegroundRole).isValid());
        EXPECT_EQ(templates->sample()->text(TemplateSample::Note)->font().pointSize(), 9);

        // Sounds: a missing file in silver and not playable; play twice
        // plays and then stops.
        SoundsPage* sounds = o.soundsPage();
        db::Query& soundList = o.lists().sounds();
        soundList.locate(QStringLiteral("NAME"), QStringLiteral("Нет"));
        EXPECT_EQ(
            sounds->grid()->model()->index(soundList.recNo(), 0).data(Qt::ForegroundRole).value<QColor>(),
            kSilver);
        EXPECT_FALSE(sounds->playButton()->isEnabled());
        soundList.locate(QStringLiteral("NAME"), QStringLiteral("Звон"));
        EXPECT_TRUE(sounds->playButton()->isEnabled());
        sounds->playButton()->click();
        EXPECT_TRUE(m_platform.soundPlaying());
        sounds->playButton()->click();
        EXPECT_FALSE(m_platform.soundPlaying());
        EXPECT_EQ(m_platform.playedSounds(), QStringList{QStringLiteral("/snd/bell.wav")});

        // In the sound dialog a missing file is told once; the next press
        // only stops.
        m_platform.clearMessages();
        TfmAddSound dialog(QStringLiteral("Новый звук"), *admin->soundPlayer());
        dialog.setFields(QStringLiteral("Гудок"), QStringLiteral("/snd/none.wav"));
        dialog.sbPlayClick();
        dialog.sbPlayClick();
        EXPECT_EQ(m_platform.messageTexts(),
                  QStringList{QStringLiteral("Ошибка! Указынный файл не существует.")});
        EXPECT_EQ(m_platform.playedSounds().size(), 1);
        done = true;
        o.sbOKClick();
    });
    admin->administration().miSystemParamClick();
    ASSERT_TRUE(done);
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM TEMPLATE WHERE NAME = 'Срочно'")), 1);
    admin->close();
}

// A boss's work places mode: his own places at once, no chooser; a rename
// refused by the server shows its text and offers the typed name again;
// OK commits what was stored.
TEST_F(OptionsTest, BossWorkPlacesAndAFailedRenameKeepingTheTypedName)
{
    auto boss = loggedIn(QStringLiteral("Шеф"), QStringLiteral("Pw"), false);
    auto other = database().connect();
    other->execute(QStringLiteral("UPDATE WORKPLACE SET ORDERPOS = 1 WHERE ID = :I"),
                   {{QStringLiteral("I"), m_place}});
    bool done = false;
    QString offeredAgain;
    onModal<TfmOptions>([&](TfmOptions& o) {
        WorkPlacesPage* page = o.workPlacesPage();
        EXPECT_EQ(o.shownPage(), TfmOptions::WorkPlacesPageIndex);
        EXPECT_TRUE(page->bossChooser()->isHidden());
        EXPECT_EQ(o.lists().workPlaces().recordCount(), 2);
        EXPECT_TRUE(child<QToolButton>(*page, "sbEditPlace")->isEnabled());
        o.lists().workPlaces().locate(QStringLiteral("ID"), m_place);
        m_platform.clearMessages();
        onModal<TfmWorkPlace>([&](TfmWorkPlace& d) {
            d.deName()->setText(QStringLiteral("Цех №1"));
            onModal<TfmWorkPlace>([&](TfmWorkPlace& again) {
                offeredAgain = again.name();
                other->rollback();
                again.bar()->okButton()->click();
            });
            d.bar()->okButton()->click();
        });
        page->sbEditPlaceClick();
        EXPECT_EQ(m_platform.messages().size(), 1);
        if (!m_platform.messages().isEmpty()) {
            EXPECT_EQ(m_platform.messages()[0].kind, MessageKind::Error);
        }
        done = true;
        o.sbOKClick();
    });
    boss->administration().miWorkPlacesClick();
    ASSERT_TRUE(done);
    EXPECT_EQ(offeredAgain, QStringLiteral("Цех №1"));
    EXPECT_EQ(committedCount(QStringLiteral("SELECT COUNT(*) FROM WORKPLACE WHERE NAME = 'Цех №1'")), 1);
    boss->close();
}
