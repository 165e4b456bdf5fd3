// The start of a typed text: what a refused text gives back when its edit is left.
#include <gtest/gtest.h>

#include <any>
#include <string>
#include <vector>

#include "platform/core/TypingStart.h"

namespace {

// An edit of whole degrees, 0 to 360, that takes each text that is one as it is typed.
struct DegreeField {
    int value = 60;
    CTypingStart start;

    static bool Reads(const std::string& text)
    {
        return !text.empty() && text.size() <= 4 && text.find_first_not_of("0123456789") == std::string::npos &&
               std::stoi(text) <= 360;
    }
    void Type(const std::string& text)
    {
        if (start.Typed(text))
            start.Keep(value);
        const bool taken = Reads(text);
        if (taken)
            value = std::stoi(text);
        start.Taken(taken);
    }
    // The user leaves the edit holding `text`.
    void Leave(const std::string& text)
    {
        const std::any kept = start.End();
        if (const int* before = std::any_cast<int>(&kept); before != nullptr && !Reads(text))
            value = *before;
    }
    // The program shows a value of its own.
    void Show(int shown)
    {
        value = shown;
        start.End();
    }
};

// "|" leaves the edit, "=N" is the program showing N; any other step is the edit's text
// after one change.
int KeptAfter(const std::vector<std::string>& steps)
{
    DegreeField field;
    std::string text = std::to_string(field.value);
    for (const std::string& step : steps) {
        if (step == "|")
            field.Leave(text);
        else if (step.starts_with("="))
            field.Show(std::stoi(text = step.substr(1)));
        else
            field.Type(text = step);
    }
    return field.value;
}

} // namespace

TEST(TypingStart, ARefusedTextGivesBackWhatWasThereBeforeItBegan)
{
    const struct {
        const char* what;
        std::vector<std::string> steps;
        int kept;
    } cases[] = {
        {"digits typed over the value", {"2", "20", "200", "2000", "|"}, 60},
        {"Backspace through the value, then digits", {"6", "", "2", "20", "200", "2000", "|"}, 60},
        {"a value, then a text typed over it", {"4", "45", "5", "50", "500", "5000", "|"}, 45},
        {"a value, then a digit put in its middle", {"4", "45", "415", "|"}, 45},
        {"a refused text, then another typed over it", {"2", "20", "200", "2000", "5", "50", "500", "5000", "|"}, 60},
        {"a refused text, then a value typed over it", {"2", "20", "200", "2000", "4", "45", "|"}, 45},
        {"a value left, then more digits after it", {"4", "45", "|", "450", "4500", "|"}, 45},
        {"the program's value, then a text", {"2", "20", "200", "2000", "=100", "1000", "|"}, 100},
        {"a text taken back by Backspace", {"2", "20", "200", "20", "2", "", "|"}, 60},
        {"a value typed and left", {"2", "20", "200", "|"}, 200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(KeptAfter(c.steps), c.kept) << c.what;
}

TEST(TypingStart, HandsItsStartOverOnceWhenTheTextEnds)
{
    CTypingStart start;
    EXPECT_FALSE(start.End().has_value()) << "between texts";
    EXPECT_TRUE(start.Typed("1"));
    start.Keep(std::string("before"));
    EXPECT_FALSE(start.Typed("12"));
    const std::any kept = start.End();
    ASSERT_NE(std::any_cast<std::string>(&kept), nullptr);
    EXPECT_EQ(std::any_cast<std::string>(kept), "before");
    EXPECT_FALSE(start.End().has_value()) << "the text ended already";
    EXPECT_TRUE(start.Typed("12")) << "the next change begins a text";
    EXPECT_FALSE(start.End().has_value()) << "nothing kept for it";
}
