#include "qtplatform.h"
#include "wallclock.h"

#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

using tarvik::QtPlatform;

TEST(QtPlatform, IsTheDefaultPlatform)
{
    EXPECT_NE(dynamic_cast<QtPlatform*>(&tarvik::platform()), nullptr);
}

// The clock gives what the workstation's clock shows, as a wall-clock value
// that no daylight-saving rule shifts.
TEST(QtPlatform, ClockGivesTheLocalTimeAsAWallClockValue)
{
    QtPlatform p;
    const QDateTime before = tarvik::wallClock(QDateTime::currentDateTime());
    const QDateTime now = p.now();
    EXPECT_EQ(now.timeSpec(), Qt::UTC);
    EXPECT_GE(before.secsTo(now), 0);
    EXPECT_LE(before.secsTo(now), 2);
}

TEST(QtPlatform, FileFiltersTakeTheDescriptionPatternPairs)
{
    EXPECT_EQ(QtPlatform::qtFileFilter(QStringLiteral("Wav файл|*.wav")), "Wav файл (*.wav)");
    EXPECT_EQ(QtPlatform::qtFileFilter(QStringLiteral("Звуки|*.wav;*.mp3|Все файлы|*.*")),
              "Звуки (*.wav *.mp3);;Все файлы (*.*)");
    EXPECT_EQ(QtPlatform::qtFileFilter(QString()), "");
}

TEST(QtPlatform, PathsWithWindowsSeparatorsResolveAgainstTheBase)
{
    const QString base = QDir::tempPath();
#ifndef Q_OS_WIN
    EXPECT_EQ(QtPlatform::localPath(QStringLiteral("info\\firebird.html"), base),
              QDir(base).filePath(QStringLiteral("info/firebird.html")));
#endif
    EXPECT_EQ(QtPlatform::localPath(QStringLiteral("/abs/x.ini"), base), "/abs/x.ini");
}

TEST(QtPlatform, IniValuesSurviveInTheFile)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("enter.ini"));
    QtPlatform p;
    EXPECT_EQ(p.readIni(file, "Enter", "User", -1).toInt(), -1);
    p.writeIni(file, "Enter", "User", 12);
    EXPECT_TRUE(p.fileExists(file));
    EXPECT_EQ(QtPlatform().readIni(file, "Enter", "User").toInt(), 12);
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains("[Enter]\nUser=12"));
}

TEST(QtPlatform, FileExistsOnlyForFiles)
{
    QTemporaryDir dir;
    QtPlatform p;
    EXPECT_FALSE(p.fileExists(dir.path()));
    EXPECT_FALSE(p.fileExists(dir.filePath(QStringLiteral("none.wav"))));
}

// The real box is shown modally; a timer reads it and answers it as a user would.
TEST(QtPlatform, BoxesShowTheTitleTheLinesAndReturnTheAnswer)
{
    QtPlatform p;
    p.setApplicationTitle(QStringLiteral("Tarvik"));
    struct Seen
    {
        QString title, text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        int buttons = 0;
    } seen;
    auto answer = [&seen](QMessageBox::StandardButton which) {
        QTimer::singleShot(0, [&seen, which] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            seen = {box->windowTitle(), box->text(), box->icon(), int(box->buttons().size())};
            box->button(which)->click();
        });
    };

    answer(QMessageBox::Yes);
    EXPECT_TRUE(p.confirm(QStringLiteral("Первая\r\rПоказать подробное описание?")));
    EXPECT_EQ(seen.title, "Tarvik");
    EXPECT_EQ(seen.text, "Первая\n\nПоказать подробное описание?");
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, 2);

    answer(QMessageBox::No);
    EXPECT_FALSE(p.message(tarvik::MessageKind::Error, tarvik::MessageButtons::YesNo, QStringLiteral("x")));
    EXPECT_EQ(seen.icon, QMessageBox::Critical);

    answer(QMessageBox::Ok);
    p.notice(QStringLiteral("Готово"));
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, 1);
}
