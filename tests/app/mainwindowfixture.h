#pragma once

#include "platformscope.h"
#include "scriptedplatform.h"
#include "testdatabase.h"
#include "tfmmain.h"

#include <QTemporaryDir>
#include <QVariant>

#include <memory>

namespace tarvik::test {

// A main window in programDir (whose init.txt names its database), logged
// in as the named user through its login dialog.
std::unique_ptr<startup::TfmMain> logIn(const QString& programDir, const QString& name, const QString& password,
                                        bool exclusive);

// Workstations of the main program on the suite's database: each test
// starts with nobody present and no saved placement, and logs users in
// through the real login dialog.
class MainWindowFixture : public SharedDatabaseTest
{
protected:
    void SetUp() override;

    void writeInit(const QByteArray& text);
    // A user with the password "Pw"; boss "T" for a boss, bossId for a worker.
    int addUser(const QString& name, const QString& boss, const QVariant& bossId);
    int addWorkPlace(const QString& name, int bossId);
    void addRight(int userId, int workPlaceId, bool view, bool edit);
    // A main window logged in as the named user through its login dialog.
    std::unique_ptr<startup::TfmMain> loggedIn(const QString& name, const QString& password, bool exclusive);
    // A column of a user's row, read on a connection of its own.
    [[nodiscard]] QVariant userColumn(int id, const QString& column);

    ScriptedPlatform m_platform;
    PlatformScope m_scope{m_platform};
    QTemporaryDir m_programDir;
    std::unique_ptr<db::Connection> m_c;
};

} // namespace tarvik::test
