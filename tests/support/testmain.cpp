// One application object for the whole test program, offscreen, as the GUI
// tests need; database tests use its event loop for alert delivery. It is
// the programs' own, so that what escapes an event handler meets the same
// safety net as in the field.

#include "tarvikapplication.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    tarvik::TarvikApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
