// One QApplication for all cases of an application test program: on the display it finds
// (Xvfb in the test script), else on the offscreen platform, where tests that open views
// skip (OpenGL widgets need a display).
#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (std::getenv("DISPLAY") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings (the recent files) go to a test folder, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
