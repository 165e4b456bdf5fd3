// Which processing commands the update handlers enable, by the kind of the active frame and
// whether its image is in the document.
#include <gtest/gtest.h>

#include "document/DocumentFixture.h"
#include "processing/DocProcessingCommands.h"

namespace {

using Command = ProcessingCommand;

struct Frame : IProcessingHost {
    std::string ActiveImageName() const override { return name; }
    std::string ActiveViewKind() const override { return kind; }
    std::string name, kind;
};

// Every command that works on the active frame's image; the selection modes are the 2D view's.
constexpr Command kImageCommands[] = {
    Command::kMedianX,     Command::kMedianY,     Command::kMedianXY,    Command::kFlattenX,
    Command::kFlattenY,    Command::kFlattenXY,   Command::kAlignX,      Command::kAlignY,
    Command::kAlignXY,     Command::kNormalize,   Command::kGauss3x3,    Command::kGauss5x5,
    Command::kLaplace3x3,  Command::kLaplace5x5,  Command::kLowpass3x3,  Command::kLowpass5x5,
    Command::kHighpass3x3, Command::kHighpass5x5, Command::kSharpen,     Command::kSobelVert,
    Command::kHipassGaussX, Command::kRotate90,   Command::kCrop,        Command::kUndo,
};

class CommandStatesTest : public DocumentTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height", 6, 5)));
        // An undo copy, so that Undo depends on the frame alone here.
        doc.ImageList().front().m_pImage->m_bUndoValid = 1;
    }
    bool Enabled(Command command, bool before)
    {
        CommandState state{before, false};
        commands.Update(command, state);
        return state.enabled;
    }

    CMDIDoc doc;
    Frame frame;
    CDocProcessingCommands commands{doc, frame};
};

// A profile frame plots every image of the document and acts on none; Crop needs the
// rectangle that only a 2D view selects.
TEST_F(CommandStatesTest, ImageCommandsAreEnabledOnlyWhileA2DOr3DFrameShowsAnImageOfTheDocument)
{
    const std::string image = doc.ImageList().front().m_pImage->m_strName;
    for (const char* kind : {":2D", ":3D", ":Profile", ""})
        for (const std::string& name : {image, std::string("Nothing_07"), std::string()})
            for (const Command command : kImageCommands) {
                frame.kind = kind;
                frame.name = name;
                const bool shown = name == image && (frame.kind == ":2D" || frame.kind == ":3D");
                const bool expected = shown && (command != Command::kCrop || frame.kind == ":2D");
                for (const bool before : {false, true})
                    EXPECT_EQ(Enabled(command, before), expected)
                        << '"' << kind << "\" \"" << name << "\" " << static_cast<int>(command);
            }
    // Asked at every idle moment: no message box.
    EXPECT_TRUE(prompt.messages.empty());
}

}  // namespace
