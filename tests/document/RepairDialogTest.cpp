// The two repair dialogs' rules, driven as the GUI's widgets will drive them.
#include <gtest/gtest.h>

#include "platform/core/Prompt.h"
#include "support/ScriptedPrompt.h"

namespace {

using Texts = std::vector<std::string>;

HeaderCoefValues Preset()
{
    return {1.0, 2.0, 3.0, "nm", "um"};
}

} // namespace

TEST(ImageNameDialog, KeepsTwentyCharactersAndRefusesTheTwentyFirst)
{
    ScriptedPrompt prompt;
    CDialogImageName dialog("Height");
    EXPECT_TRUE(dialog.TypeName("abcdefghijklmnopqrst"));
    EXPECT_FALSE(dialog.TypeName("abcdefghijklmnopqrstu"));
    EXPECT_EQ(dialog.Name(), "abcdefghijklmnopqrst");
    EXPECT_EQ(prompt.messages, Texts{"Please enter no more than 20 characters."});
    EXPECT_TRUE(dialog.TypeName(""));
    EXPECT_EQ(dialog.Name(), "");
}

TEST(HeaderCoefDialog, TakesNumbersWithinZeroToAMillionAndUnitsOfThreeCharacters)
{
    ScriptedPrompt prompt;
    CDialogHeaderCoef dialog(Preset());
    EXPECT_TRUE(dialog.Type(HeaderCoefField::Kx, "0"));
    EXPECT_TRUE(dialog.Type(HeaderCoefField::Ky, " 1000000 "));
    EXPECT_TRUE(dialog.Type(HeaderCoefField::Kz, "1.5E-03"));
    EXPECT_EQ(dialog.Values().m_dKx, 0.0);
    EXPECT_EQ(dialog.Values().m_dKy, 1000000.0);
    EXPECT_EQ(dialog.Values().m_dKz, 0.0015);
    EXPECT_TRUE(dialog.Type(HeaderCoefField::Kx, "+2.5"));
    EXPECT_EQ(dialog.Values().m_dKx, 2.5);
    EXPECT_TRUE(dialog.Type(HeaderCoefField::ZUnit, "deg"));
    EXPECT_TRUE(dialog.Type(HeaderCoefField::XYUnit, "A"));
    EXPECT_TRUE(prompt.messages.empty());
    EXPECT_FALSE(dialog.Type(HeaderCoefField::XYUnit, "mkm1"));
    EXPECT_EQ(prompt.messages, Texts{"Please enter no more than 3 characters."});
    EXPECT_EQ(dialog.Values().m_strZUnit, "deg");
    EXPECT_EQ(dialog.Values().m_strXYUnit, "A");
}

TEST(HeaderCoefDialog, RefusesOutOfRangeAndNonNumbersKeepingTheOldValue)
{
    ScriptedPrompt prompt;
    CDialogHeaderCoef dialog(Preset());
    const std::string range = "Please enter a number between 0 and 1000000.";
    const std::string number = "Please enter a number.";
    const std::pair<const char*, std::string> cases[] = {
        {"1000000.5", range}, {"-0.1", range}, {"inf", range}, {"", number},
        {"  ", number},       {"1,5", number}, {"2 nm", number}, {"nan", number},
        {"0x10", number},     {"+-1", number}, {"e5", number},
    };
    for (const auto& [text, message] : cases) {
        prompt.messages.clear();
        EXPECT_FALSE(dialog.Type(HeaderCoefField::Kz, text)) << text;
        EXPECT_EQ(prompt.messages, Texts{message}) << text;
        EXPECT_EQ(dialog.Values().m_dKz, 3.0) << text;
    }
}

TEST(HeaderCoefDialog, ShowsNumbersInTheDialogNumberFormat)
{
    CDialogHeaderCoef dialog({static_cast<double>(0.1f), 1.0, 1e-7, "nm", "um"});
    EXPECT_EQ(dialog.Text(HeaderCoefField::Kx), "0.100000001490116");
    EXPECT_EQ(dialog.Text(HeaderCoefField::Ky), "1");
    EXPECT_EQ(dialog.Text(HeaderCoefField::Kz), "1e-07");
    EXPECT_EQ(dialog.Text(HeaderCoefField::ZUnit), "nm");
    EXPECT_EQ(dialog.Text(HeaderCoefField::XYUnit), "um");
}

TEST(ScriptedPromptDialogs, TypeThroughTheDialogRulesAndRecordWhatWasShown)
{
    ScriptedPrompt prompt;
    prompt.imageNameScript.push_back({"far too long a name for it", "Phase"});
    prompt.headerCoefScript.push_back({{HeaderCoefField::Kx, "-1"}, {HeaderCoefField::Ky, "4"}});

    CDialogImageName name("Height");
    Prompt().RunImageNameDialog(name);
    CDialogHeaderCoef coef(Preset());
    Prompt().RunHeaderCoefDialog(coef);
    CDialogImageName unscripted("Height");
    Prompt().RunImageNameDialog(unscripted);

    EXPECT_EQ(name.Name(), "Phase");
    EXPECT_EQ(coef.Values().m_dKx, 1.0);
    EXPECT_EQ(coef.Values().m_dKy, 4.0);
    EXPECT_EQ(unscripted.Name(), "Height");
    EXPECT_EQ(prompt.imageNamePresets, (Texts{"Height", "Height"}));
    ASSERT_EQ(prompt.headerCoefPresets.size(), 1u);
    EXPECT_EQ(prompt.headerCoefPresets[0].m_dKz, 3.0);
    EXPECT_EQ(prompt.events, (Texts{
                                 "dialog: Image Name",
                                 "message: Please enter no more than 20 characters.",
                                 "dialog: Header X Y Z Coefficient",
                                 "message: Please enter a number between 0 and 1000000.",
                                 "dialog: Image Name",
                             }));
}

TEST(ScriptedPromptDialogs, WithoutAGuiThePresetsStand)
{
    class SilentPrompt : public IPrompt {
    public:
        void Message(const std::string&) override {}
    } silent;
    IPrompt* previous = SetPrompt(&silent);
    CDialogHeaderCoef coef(Preset());
    Prompt().RunHeaderCoefDialog(coef);
    CDialogImageName name("Height");
    Prompt().RunImageNameDialog(name);
    SetPrompt(previous);
    EXPECT_EQ(coef.Values().m_strXYUnit, "um");
    EXPECT_EQ(name.Name(), "Height");
}
