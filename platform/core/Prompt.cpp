#include "platform/core/Prompt.h"

#include <cstdio>

namespace {

class StderrPrompt final : public IPrompt {
public:
    void Message(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
};

StderrPrompt g_stderrPrompt;
IPrompt* g_prompt = &g_stderrPrompt;

} // namespace

IPrompt& Prompt()
{
    return *g_prompt;
}

IPrompt* SetPrompt(IPrompt* prompt)
{
    IPrompt* previous = g_prompt;
    g_prompt = prompt != nullptr ? prompt : &g_stderrPrompt;
    return previous;
}
