#include "accessrights.h"
#include "roles.h"

#include <gtest/gtest.h>

using namespace tarvik;

namespace {

const QVariant T = QStringLiteral("T");
const QVariant F = QStringLiteral("F");

} // namespace

TEST(Flags, OnlyExactTIsSet)
{
    EXPECT_TRUE(isFlagSet(T));
    for (const QVariant& v : {F, QVariant(QStringLiteral("t")), QVariant(QStringLiteral(" T")),
                              QVariant(QStringLiteral("T ")), QVariant(QString()), QVariant(), QVariant(1)})
        EXPECT_FALSE(isFlagSet(v)) << v.toString().toStdString();
}

TEST(UserRole, BossWinsOverAdministratorAndNullsMakeAWorker)
{
    EXPECT_EQ(userRoleOf(T, F), UserRole::Administrator);
    EXPECT_EQ(userRoleOf(F, T), UserRole::Boss);
    EXPECT_EQ(userRoleOf(T, T), UserRole::Boss);
    EXPECT_EQ(userRoleOf(QVariant(), QVariant()), UserRole::Worker);
    EXPECT_EQ(userRoleOf(QStringLiteral("t"), QStringLiteral("F")), UserRole::Worker);
    EXPECT_EQ(roleStatusText(UserRole::Administrator), QStringLiteral(" <b>Администратор</b>"));
    EXPECT_EQ(roleStatusText(UserRole::Boss), QStringLiteral(" <b>Управляющий</b>"));
    EXPECT_EQ(roleStatusText(UserRole::Worker), QStringLiteral(" <b>Рабочий</b>"));
}

TEST(UserCaption, RoleFormShowsRoleOnly)
{
    const QString n = QStringLiteral("Иванов");
    EXPECT_EQ(userCaption(n, T, F, F, CaptionForm::Role),
              QStringLiteral("<font color=\"clRed\"><b>Иванов</b></font>"));
    EXPECT_EQ(userCaption(n, F, T, F, CaptionForm::Role), QStringLiteral("<b>Иванов</b>"));
    EXPECT_EQ(userCaption(n, F, F, QVariant(), CaptionForm::Role), n);
}

TEST(UserCaption, PresenceFormGreysOutAbsentUsersWhateverTheirRole)
{
    const QString n = QStringLiteral("Иванов");
    const QString silver = QStringLiteral("<font color=\"clSilver\">Иванов</font>");
    EXPECT_EQ(userCaption(n, T, F, F, CaptionForm::Presence), silver);
    EXPECT_EQ(userCaption(n, F, T, QVariant(), CaptionForm::Presence), silver);
    EXPECT_EQ(userCaption(n, F, F, QStringLiteral("t"), CaptionForm::Presence), silver);
    EXPECT_EQ(userCaption(n, T, F, T, CaptionForm::Presence),
              QStringLiteral("<font color=\"clRed\"><b>Иванов</b></font>"));
    EXPECT_EQ(userCaption(n, F, F, T, CaptionForm::Presence), n);
}

TEST(RefusalTexts, AreWordForWord)
{
    EXPECT_EQ(kNoEditRightMessage,
              QStringLiteral("У вас нет доступа для редактирования этого рабочего места!"));
    EXPECT_EQ(kNoMoveRightMessage,
              QStringLiteral("Невозможно перенести задание на это рабочее место!\nУ вас нет "
                             "прав для его редактирования."));
}
