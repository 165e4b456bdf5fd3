// The running application for a test: started with a file or none, a scripted prompt in
// front of its own, event processing, frame lookups and screenshots.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "support/ScriptedPrompt.h"
#include "app/SpmApp.h"

class CMDIChildFrame;
class CDocument;

// Skips the current test when there is no display to open views on.
#define SPM_REQUIRE_DISPLAY()                                                          \
    do {                                                                               \
        if (!DisplayAvailable())                                                       \
            GTEST_SKIP() << "no display for the OpenGL views (run under Xvfb); skipping"; \
    } while (0)
bool DisplayAvailable();

class RunningApp {
public:
    // Starts the application; `path` opens as from the command line. The recent files start
    // empty.
    explicit RunningApp(const std::string& path = {});
    ~RunningApp();

    CSpmApp& App() { return *m_pApp; }
    CMainFrame& MainFrame() { return m_pApp->MainFrame(); }
    ScriptedPrompt& Prompt() { return *m_pPrompt; }

    // Lets queued events, timers and deferred deletions run for about `ms` milliseconds.
    static void Pump(int ms = 50);
    // The window titles of the child frames in creation order.
    std::vector<std::string> FrameTitles() const;
    std::string ActiveTitle() const;
    // Runs a command as the menu would; false when it was disabled or unhandled.
    bool Run(int id);
    bool Enabled(int id);

private:
    std::unique_ptr<CSpmApp> m_pApp;
    std::unique_ptr<ScriptedPrompt> m_pPrompt;
};

// Answers the next file dialog with `path` in type entry `type`.
void AnswerFileDialog(ScriptedPrompt& prompt, const std::string& path, std::size_t type = 0);
// Answers the next question box.
void AnswerQuestion(ScriptedPrompt& prompt, int answer);
