#pragma once

#include "mainwindowfixture.h"

#include <QApplication>
#include <QTimer>

#include <functional>

namespace tarvik::test {

// Workstations whose administration windows are driven as a user would:
// the menu command shows a window modally and the test acts in it.
class AdminFixture : public MainWindowFixture
{
protected:
    void SetUp() override;

    // Acts on the next modal window of class T as soon as it is up.
    template <typename T> static void onModal(std::function<void(T&)> act, int tries = 500)
    {
        QTimer::singleShot(tries == 500 ? 0 : 10, [act, tries] {
            if (auto* w = qobject_cast<T*>(QApplication::activeModalWidget()))
                act(*w);
            else if (tries > 0)
                onModal<T>(act, tries - 1);
        });
    }
    // A count on a connection of its own: what other workstations see.
    [[nodiscard]] int committedCount(const QString& sql);

    int m_boss = 0, m_worker = 0, m_otherBoss = 0, m_place = 0, m_other = 0;
};

} // namespace tarvik::test
