// The main of every GUI test program: a private environment and a
// QApplication on the offscreen platform, so the tests need no display
// (test discovery runs the program at build time too).

#include "tests/TestEnvironment.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    SetUpTestEnvironment();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
