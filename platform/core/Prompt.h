// The core's only way to talk to the user: modal messages and the small repair dialogs.
// The GUI implements it with real dialogs; tests script the answers and record the texts.
#pragma once

#include <string>

class IPrompt {
public:
    virtual ~IPrompt() = default;

    // A modal message box with an OK button and the given text.
    virtual void Message(const std::string& text) = 0;
};

// The prompt the core uses; never null. Without a GUI it writes messages to stderr.
IPrompt& Prompt();
// Installs another prompt (the GUI's, or a test's) and returns the previous one.
IPrompt* SetPrompt(IPrompt* prompt);
