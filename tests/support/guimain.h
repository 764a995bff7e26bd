#pragma once
// The main of the test programs that open windows: the program outlives its last window closing,
// as the client does while its link still runs.
#include <gtest/gtest.h>

#include <QApplication>

namespace testsupport {

inline int RunWindowTests(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

}  // namespace testsupport
