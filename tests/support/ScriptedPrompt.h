// A prompt for tests: records every message and answers dialogs from a script.
// Installed for its lifetime; the previous prompt comes back when it goes.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/core/Prompt.h"

class ScriptedPrompt : public IPrompt {
public:
    // One run of a dialog: the texts the user types, in order, each through the dialog's own
    // validation. The dialog then closes (OK or Cancel alike). A run with no script left
    // closes at once with the preset values.
    using NameTyping = std::vector<std::string>;
    using CoefTyping = std::vector<std::pair<HeaderCoefField, std::string>>;

    ScriptedPrompt() { m_previous = SetPrompt(this); }
    ~ScriptedPrompt() override { SetPrompt(m_previous); }
    ScriptedPrompt(const ScriptedPrompt&) = delete;
    ScriptedPrompt& operator=(const ScriptedPrompt&) = delete;

    void Message(const std::string& text) override
    {
        messages.push_back(text);
        events.push_back("message: " + text);
    }

    void RunImageNameDialog(CDialogImageName& dialog) override
    {
        events.push_back(std::string("dialog: ") + CDialogImageName::kCaption);
        imageNamePresets.push_back(dialog.Name());
        for (const std::string& text : Next(imageNameScript))
            dialog.TypeName(text);
    }

    void RunHeaderCoefDialog(CDialogHeaderCoef& dialog) override
    {
        events.push_back(std::string("dialog: ") + CDialogHeaderCoef::kCaption);
        headerCoefPresets.push_back(dialog.Values());
        for (const auto& [field, text] : Next(headerCoefScript))
            dialog.Type(field, text);
    }

    // Any other dialog (questions, file and colour dialogs, Options): the next answer in
    // line fills the model and returns OK or Cancel; none left means Cancel.
    bool RunDialog(IDialogModel& dialog) override
    {
        events.push_back("dialog: " + dialog.Caption());
        if (dialogScript.empty())
            return false;
        const std::function<bool(IDialogModel&)> answer = std::move(dialogScript.front());
        dialogScript.pop_front();
        return answer(dialog);
    }

    std::deque<std::function<bool(IDialogModel&)>> dialogScript;
    std::deque<NameTyping> imageNameScript;
    std::deque<CoefTyping> headerCoefScript;

    std::vector<std::string> messages;                // message texts in order
    std::vector<std::string> events;                  // "message: ..." and "dialog: <caption>"
    std::vector<std::string> imageNamePresets;        // the name each name dialog opened with
    std::vector<HeaderCoefValues> headerCoefPresets;  // the values each coefficient dialog showed

private:
    template <class Typing>
    static Typing Next(std::deque<Typing>& script)
    {
        if (script.empty())
            return {};
        Typing typing = std::move(script.front());
        script.pop_front();
        return typing;
    }

    IPrompt* m_previous = nullptr;
};
