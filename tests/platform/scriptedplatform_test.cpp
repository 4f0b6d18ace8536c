#include "platformscope.h"
#include "scriptedplatform.h"
#include "wallclock.h"

#include <QPrinter>

#include <gtest/gtest.h>

using tarvik::MessageButtons;
using tarvik::MessageKind;
using tarvik::ScriptedPlatform;

TEST(ScriptedPlatform, RecordsEveryBoxWithKindTitleAndExactText)
{
    ScriptedPlatform p;
    p.setApplicationTitle(QStringLiteral("Tarvik"));
    p.notice(QStringLiteral("У вас нет доступа для редактирования этого рабочего места!"));
    p.error(QStringLiteral("line 1\rline 2"));
    (void)p.confirm(QStringLiteral("Удалить?"));

    const QList<ScriptedPlatform::Message> expected{
        {MessageKind::Notice, MessageButtons::Ok, QStringLiteral("Tarvik"),
         QStringLiteral("У вас нет доступа для редактирования этого рабочего места!")},
        {MessageKind::Error, MessageButtons::Ok, QStringLiteral("Tarvik"), QStringLiteral("line 1\rline 2")},
        {MessageKind::Question, MessageButtons::YesNo, QStringLiteral("Tarvik"), QStringLiteral("Удалить?")},
    };
    EXPECT_EQ(p.messages(), expected);
}

TEST(ScriptedPlatform, ConfirmationsTakeQueuedAnswersThenTheDefault)
{
    ScriptedPlatform p;
    p.queueAnswer(true);
    p.queueAnswer(false);
    EXPECT_TRUE(p.confirm(QStringLiteral("1")));
    EXPECT_FALSE(p.confirm(QStringLiteral("2")));
    EXPECT_FALSE(p.confirm(QStringLiteral("3"))) << "a user who is not asked says No";
    p.setDefaultAnswer(true);
    EXPECT_TRUE(p.message(MessageKind::Error, MessageButtons::YesNo, QStringLiteral("4")));
    // An OK box consumes no answer.
    p.queueAnswer(false);
    EXPECT_TRUE(p.message(MessageKind::Question, MessageButtons::Ok, QStringLiteral("5")));
    EXPECT_FALSE(p.confirm(QStringLiteral("6")));
    EXPECT_EQ(p.messageTexts(), (QStringList{"1", "2", "3", "4", "5", "6"}));
}

TEST(ScriptedPlatform, RecordsShellHelpBeepsAndSounds)
{
    ScriptedPlatform p;
    p.addFile(QStringLiteral("firebird.html"));
    EXPECT_TRUE(p.openDocument(QStringLiteral("firebird.html")));
    EXPECT_FALSE(p.openDocument(QStringLiteral("info\\firebird.html")));
    EXPECT_EQ(p.openedDocuments(), (QStringList{"firebird.html", "info\\firebird.html"}));

    EXPECT_TRUE(p.startProgram(QStringLiteral("Ruduvo")));
    p.setProgramStartable(false);
    EXPECT_FALSE(p.startProgram(QStringLiteral("Ruduvo")));
    EXPECT_EQ(p.startedPrograms(), (QStringList{"Ruduvo", "Ruduvo"}));

    p.showHelp(4);
    p.showHelp(19);
    EXPECT_EQ(p.helpTopics(), (QList<int>{4, 19}));

    p.beep();
    p.beep();
    EXPECT_EQ(p.beepCount(), 2);

    EXPECT_TRUE(p.playSound(QStringLiteral("/s/ring.wav")));
    EXPECT_TRUE(p.soundPlaying());
    p.stopSound();
    EXPECT_FALSE(p.soundPlaying());
    p.setSoundAvailable(false);
    EXPECT_FALSE(p.playSound(QStringLiteral("/s/other.wav")));
    EXPECT_EQ(p.playedSounds(), QStringList{"/s/ring.wav"});
    EXPECT_EQ(p.soundStops(), 1);
}

TEST(ScriptedPlatform, IniKeepsValuesPerFileSectionAndKeyIgnoringCase)
{
    ScriptedPlatform p;
    EXPECT_EQ(p.readIni("enter.ini", "Enter", "User", 0).toInt(), 0);
    p.writeIni("enter.ini", "Enter", "User", 7);
    EXPECT_EQ(p.readIni("ENTER.INI", "enter", "user").toInt(), 7);
    EXPECT_FALSE(p.readIni("other.ini", "Enter", "User").isValid());
    p.setIniValue("enter.ini", "Enter", "User", 3);
    EXPECT_EQ(p.iniValue("enter.ini", "Enter", "User").toInt(), 3);
}

TEST(ScriptedPlatform, ClockStandsStillUntilAdvanced)
{
    ScriptedPlatform p;
    const QDateTime t = tarvik::wallClock(QDate(2002, 7, 12), QTime(14, 30));
    p.setNow(t);
    EXPECT_EQ(p.now(), t);
    EXPECT_EQ(p.now(), t);
    p.advanceClock(10);
    EXPECT_EQ(p.now(), t.addSecs(10));

    // A local time that the clock change skips is still the time it shows.
    p.setNow(QDateTime(QDate(2026, 3, 29), QTime(2, 30), Qt::LocalTime));
    EXPECT_EQ(p.now(), tarvik::wallClock(QDate(2026, 3, 29), QTime(2, 30)));
}

TEST(ScriptedPlatform, DialogsAnswerFromTheScriptAndCancelWhenItRunsOut)
{
    ScriptedPlatform p;
    p.queueOpenFile(QStringLiteral("/s/a.wav"));
    EXPECT_EQ(p.chooseOpenFile(nullptr, QStringLiteral("Wav файл|*.wav")), "/s/a.wav");
    EXPECT_TRUE(p.chooseOpenFile(nullptr, QStringLiteral("Wav файл|*.wav")).isEmpty());
    EXPECT_EQ(p.fileFilters(), (QStringList{"Wav файл|*.wav", "Wav файл|*.wav"}));

    p.queueColor(QColor(Qt::red));
    EXPECT_EQ(p.chooseColor(nullptr, Qt::black), QColor(Qt::red));
    EXPECT_FALSE(p.chooseColor(nullptr, Qt::black).has_value());

    p.setPrintOutput(QStringLiteral("/tmp/x.pdf"));
    const auto printer = p.choosePrinter(nullptr);
    ASSERT_TRUE(printer);
    EXPECT_EQ(printer->outputFormat(), QPrinter::PdfFormat);
    EXPECT_EQ(printer->outputFileName(), "/tmp/x.pdf");
    p.setPrintDialogAccepted(false);
    EXPECT_FALSE(p.choosePrinter(nullptr));
    EXPECT_EQ(p.printDialogs(), 2);
}

TEST(PlatformScope, InstallsForTheScopeAndRestoresThePrevious)
{
    tarvik::Platform& desktop = tarvik::platform();
    ScriptedPlatform outer;
    ScriptedPlatform inner;
    {
        tarvik::PlatformScope a(outer);
        {
            tarvik::PlatformScope b(inner);
            tarvik::platform().beep();
        }
        tarvik::platform().beep();
        tarvik::platform().beep();
    }
    EXPECT_EQ(inner.beepCount(), 1);
    EXPECT_EQ(outer.beepCount(), 2);
    EXPECT_EQ(&tarvik::platform(), &desktop);
}
