// One QApplication for all cases of an application test program: on the display it finds
// (Xvfb in the test script), else on the offscreen platform, where tests that open views
// skip (OpenGL widgets need a display). Programs built with SPM_APP_TEST_OFFSCREEN never use
// a display.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <string_view>

#include "platform/qt/AfterAction.h"

namespace {

// Only a suite that runs alone (named *Focus) owns the display's focus: in any other, a test
// program beside it takes the focus whenever it opens a window, and a message waiting for
// the focus to come back would wait for good.
class FocusFromOtherPrograms : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo& test) override
    {
        SetWaitForFocusFromOtherPrograms(std::string_view(test.test_suite_name()).ends_with("Focus"));
    }
};

// The names in the shared sample folder. The application writes *.cnf files beside the
// images it saves settings for; a test that lets it do so on a shared sample would change
// what every later test reads.
std::set<std::string> SampleNames()
{
    std::set<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(SPM_SAMPLES_DIR, error))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::set<std::string> samplesBefore = SampleNames();
#ifdef SPM_APP_TEST_OFFSCREEN
    qputenv("QT_QPA_PLATFORM", "offscreen");
#else
    if (std::getenv("DISPLAY") == nullptr)
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
#ifdef SPM_APP_TEST_SCALE_FACTOR
    // Every window at this many device pixels per window pixel, as on a HiDPI screen.
    qputenv("QT_SCALE_FACTOR", SPM_APP_TEST_SCALE_FACTOR);
#endif
    // Settings (the recent files, the dialogs' folder) go to a folder of this process alone:
    // never the user's, and never shared with the test programs that run beside it.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toUtf8());
    // The same for the desktop entry the program writes at start, and for the socket through
    // which a second start hands its files over: each test program talks to itself alone.
    const QTemporaryDir data;
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    const QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    QApplication application(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new FocusFromOtherPrograms);
    const int result = RUN_ALL_TESTS();
    for (const std::string& name : SampleNames())
        if (samplesBefore.count(name) == 0) {
            std::fprintf(stderr, "The tests wrote %s into the shared sample folder\n", name.c_str());
            return 1;
        }
    return result;
}
