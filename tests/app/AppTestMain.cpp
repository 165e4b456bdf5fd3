// One QApplication for all cases of an application test program. Logic tests run without a
// display; the scenario uses the display it finds (Xvfb in the test script) and falls back
// to the offscreen platform without one.
#include <QApplication>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>

int main(int argc, char* argv[])
{
#ifdef SPM_APP_TEST_OFFSCREEN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#else
    if (std::getenv("DISPLAY") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    // Settings (the recent files) go to a test folder, never the user's.
    QStandardPaths::setTestModeEnabled(true);
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
