// The main of every non-GUI test program: a private environment and a
// QCoreApplication, so queued calls and timers work in tests.

#include "tests/TestEnvironment.h"

#include <QCoreApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    SetUpTestEnvironment();
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
