// A prompt for tests: records every message and answers dialogs from a script.
#pragma once

#include <string>
#include <vector>

#include "platform/core/Prompt.h"

class ScriptedPrompt : public IPrompt {
public:
    ScriptedPrompt() { m_previous = SetPrompt(this); }
    ~ScriptedPrompt() override { SetPrompt(m_previous); }
    ScriptedPrompt(const ScriptedPrompt&) = delete;
    ScriptedPrompt& operator=(const ScriptedPrompt&) = delete;

    void Message(const std::string& text) override { messages.push_back(text); }

    std::vector<std::string> messages;

private:
    IPrompt* m_previous = nullptr;
};
