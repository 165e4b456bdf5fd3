// The document's processing commands through a fake active frame.
#include <gtest/gtest.h>

#include <numeric>

#include "document/DocumentFixture.h"
#include "processing/DocProcessingCommands.h"
#include "processing/ImageProcessor.h"

namespace {

using Command = ProcessingCommand;

struct FakeHost : IProcessingHost {
    std::string ActiveImageName() const override { return name; }
    std::string ActiveViewKind() const override { return kind; }
    void BeginWaitCursor() override { ++waits; }
    void EndWaitCursor() override { --waits, ++waited; }
    void RepaintPalette() override { ++paletteRepaints; }

    std::string name, kind = ":2D";
    int waits = 0, waited = 0, paletteRepaints = 0;
};

struct HintLog : IDocumentView {
    void OnUpdate(int hint, const CMDIChildFrame*) override { hints.push_back(hint); }
    std::vector<int> hints;
};

class CommandsTest : public DocumentTest {
protected:
    // Two images of 12 x 10 and 8 x 6 points; the second is the active frame's.
    void SetUp() override
    {
        ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height", 12, 10)));
        ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Phase", 8, 6), 0));
        doc.AddView(&log);
        host.name = Image(1).m_strName;
    }
    CSpmImage& Image(std::size_t i) { return *doc.ImageList()[i].m_pImage; }
    bool UndoEnabled() const
    {
        CommandState state{false, false};
        commands.Update(Command::kUndo, state);
        return state.enabled;
    }
    void ExpectMeasured(const CSpmImage& image)
    {
        const auto [low, high] = std::minmax_element(image.m_pData.begin(), image.m_pData.end());
        EXPECT_EQ(std::make_pair(image.m_dMin, image.m_dMax), std::make_pair(*low, *high));
        EXPECT_EQ(std::accumulate(image.m_pHistogram.begin(), image.m_pHistogram.end(), 0u), image.m_pData.size());
    }

    CMDIDoc doc;
    FakeHost host;
    HintLog log;
    CDocProcessingCommands commands{doc, host};
};

struct ImageCommand {
    Command command;
    const char* method;
    bool wait;
};

const ImageCommand kImageCommands[] = {
    {Command::kMedianX, "MedianLineCorrection", false}, {Command::kMedianY, "MedianLineCorrection", false},
    {Command::kMedianXY, "MedianLineCorrection", false}, {Command::kFlattenX, "SurfaceFlatting", false},
    {Command::kFlattenY, "SurfaceFlatting", false},     {Command::kFlattenXY, "SurfaceFlatting", false},
    {Command::kAlignX, "AlignLine", false},             {Command::kAlignY, "AlignLine", false},
    {Command::kAlignXY, "AlignLine", false},            {Command::kNormalize, "OnNormalizeToZerro", false},
    {Command::kGauss3x3, "FilterGauss", true},          {Command::kGauss5x5, "FilterGauss", true},
    {Command::kLaplace3x3, "FilterLaplace", true},      {Command::kLaplace5x5, "FilterLaplace", true},
    {Command::kLowpass3x3, "FilterLowpass", true},      {Command::kLowpass5x5, "FilterLowpass", true},
    {Command::kHighpass3x3, "FilterHighpass", true},    {Command::kHighpass5x5, "FilterHighpass", true},
    {Command::kSharpen, "FilterSharpen", true},         {Command::kSobelVert, "FilterSobel", true},
    {Command::kHipassGaussX, "FilterLineHipassGaussVert", true}, {Command::kRotate90, "OnRotate90", false},
};

TEST_F(CommandsTest, EveryCommandChangesTheActiveImageOnceAndUndoBringsItBack)
{
    for (const ImageCommand& c : kImageCommands) {
        const CSpmImage before = Image(1), other = Image(0);
        log.hints.clear();
        host.paletteRepaints = host.waited = 0;
        doc.SetModifiedFlag(false);
        commands.Run(c.command);
        EXPECT_NE(Image(1).m_pData, before.m_pData) << c.method;
        EXPECT_EQ(Image(0).m_pData, other.m_pData) << c.method;
        ExpectMeasured(Image(1));
        EXPECT_EQ(log.hints, std::vector<int>{kHintSurface}) << c.method;
        EXPECT_EQ(std::make_tuple(host.paletteRepaints, host.waits, host.waited, doc.m_nUndoScope, doc.IsModified()),
                  std::make_tuple(1, 0, c.wait ? 1 : 0, int{kUndoScopeActive}, true)) << c.method;
        EXPECT_TRUE(UndoEnabled());

        commands.Run(Command::kUndo);
        EXPECT_EQ(Image(1).m_pData, before.m_pData) << c.method;
        EXPECT_EQ(std::make_pair(Image(1).m_nWidth, Image(1).m_header.m_fKx), std::make_pair(8, before.m_header.m_fKx));
        ExpectMeasured(Image(1));
        EXPECT_FALSE(UndoEnabled()) << c.method;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CommandsTest, AnUnknownImageShowsTheLookupMessageAndChangesNothing)
{
    host.name = "Nothing_07";
    std::vector<ImageCommand> all(std::begin(kImageCommands), std::end(kImageCommands));
    all.push_back({Command::kUndo, "OnEditUndo", false});
    for (const ImageCommand& c : all) {
        const CSpmImage before = Image(1);
        prompt.messages.clear();
        log.hints.clear();
        commands.Run(c.command);
        EXPECT_EQ(prompt.messages, Texts{std::string("Image Name is not Valid-> CMDIDoc::") + c.method});
        EXPECT_EQ(Image(1).m_pData, before.m_pData);
        EXPECT_EQ(std::make_pair(Image(1).m_bUndoValid, doc.m_nUndoScope), std::make_pair(0, 0)) << c.method;
        // Undo still redraws after its message.
        EXPECT_EQ(log.hints.size(), c.command == Command::kUndo ? 1u : 0u) << c.method;
    }
}

TEST_F(CommandsTest, MedianMeasuresInsideTheRectangleOnlyInRectangleMode)
{
    doc.m_ptSel1 = {6, 4};
    doc.m_ptSel2 = {1, 1};
    doc.m_bSel1Set = doc.m_bSel2Set = 1;
    for (int mode : {1, 2}) {
        Image(1).m_pData[2] += 100.0;  // outside the rectangle, it moves only the whole-image medians
        CSpmImage expected = Image(1);
        if (mode == 2)
            CImageProcessor().MedianLineCorrectionInRect(kLinesXY, expected, {1, 1, 6, 4});
        else
            CImageProcessor().MedianLineCorrection(kLinesXY, expected);
        doc.m_nSelectMode = mode;
        commands.Run(Command::kMedianXY);
        EXPECT_EQ(Image(1).m_pData, expected.m_pData) << mode;
    }
}

TEST_F(CommandsTest, SelectionsThatDoNotFitTheImageChangeNothing)
{
    struct Case {
        Command command;
        int mode;
        ImagePoint p1, p2, p3;
        const char* message;
    };
    const Case cases[] = {
        {Command::kMedianX, 2, {1, 1}, {1, 4}, {}, kTextSelectRectArea},    // no columns
        {Command::kMedianX, 2, {1, 1}, {10, 4}, {}, kTextSelectRectArea},   // past the last column
        {Command::kFlattenXY, 3, {1, 1}, {3, 3}, {9, 2}, kTextSelectRectArea},
        {Command::kFlattenXY, 3, {1, 1}, {3, 3}, {5, 5}, kTextPointsOnOneLine},
    };
    for (const Case& c : cases) {
        const CSpmImage before = Image(1);
        prompt.messages.clear();
        doc.m_nSelectMode = c.mode;
        doc.m_ptSel1 = c.p1, doc.m_ptSel2 = c.p2, doc.m_ptSel3 = c.p3;
        doc.m_bSel1Set = doc.m_bSel2Set = doc.m_bSel3Set = 1;
        commands.Run(c.command);
        EXPECT_EQ(prompt.messages, Texts{c.message});
        EXPECT_EQ(Image(1).m_pData, before.m_pData);
        EXPECT_EQ(Image(1).m_bUndoValid, 0);
    }
}

TEST_F(CommandsTest, ThreePointFlattenZeroesThePointsAndFallsBackWithoutTheThird)
{
    doc.m_nSelectMode = 3;
    doc.m_ptSel1 = {1, 1}, doc.m_ptSel2 = {6, 2}, doc.m_ptSel3 = {3, 5};
    doc.m_bSel1Set = doc.m_bSel2Set = doc.m_bSel3Set = 1;
    Image(1).m_pData[6 * 8 - 1] += 50.0;  // off the plane of the three points
    CSpmImage fitted = Image(1);
    CImageProcessor().FlattenSurface(fitted, kFlattenXY);
    commands.Run(Command::kFlattenXY);
    for (const ImagePoint& p : {doc.m_ptSel1, doc.m_ptSel2, doc.m_ptSel3})
        EXPECT_NEAR(Image(1).m_pData[static_cast<std::size_t>(p.y * 8 + p.x)], 0.0, 1e-9);
    commands.Run(Command::kUndo);
    doc.m_bSel3Set = 0;
    commands.Run(Command::kFlattenXY);
    EXPECT_EQ(Image(1).m_pData, fitted.m_pData);
}

TEST_F(CommandsTest, CropCutsEveryImageThatHoldsTheRectangleAndUndoRestoresAll)
{
    doc.m_ptSel1 = {9, 1};
    doc.m_ptSel2 = {2, 7};  // columns 2 to 8, rows 1 to 6: too wide and too tall for image 1
    doc.m_bSel1Set = doc.m_bSel2Set = 1;
    const CSpmImage first = Image(0), second = Image(1);
    commands.Run(Command::kCrop);
    EXPECT_EQ(std::make_pair(Image(0).m_nWidth, Image(0).m_nHeight), std::make_pair(7, 6));
    EXPECT_EQ(Image(1).m_pData, second.m_pData);
    ExpectMeasured(Image(0));
    EXPECT_EQ(std::make_tuple(doc.m_nSelectMode, doc.m_bSel1Set, doc.m_bSel2Set, doc.m_nUndoScope),
              std::make_tuple(0, 0, 0, int{kUndoScopeAll}));
    EXPECT_EQ(host.waited, 1);
    commands.Run(Command::kCrop);
    EXPECT_EQ(prompt.messages, Texts{kTextSelectRectArea});

    commands.Run(Command::kUndo);
    EXPECT_EQ(Image(0).m_pData, first.m_pData);
    EXPECT_EQ(Image(0).m_header.m_nColumns, 12);
    EXPECT_EQ(Image(1).m_pData, second.m_pData);

    // Align after a crop: Undo then restores only the aligned image.
    commands.Run(Command::kCrop);  // no points: nothing
    doc.m_ptSel1 = {0, 0}, doc.m_ptSel2 = {4, 3}, doc.m_bSel2Set = 1;
    commands.Run(Command::kCrop);
    const CSpmImage cropped = Image(0);
    commands.Run(Command::kAlignX);
    commands.Run(Command::kUndo);
    EXPECT_EQ(Image(1).m_nWidth, 4);
    EXPECT_EQ(Image(0).m_pData, cropped.m_pData);
}

TEST_F(CommandsTest, UndoOfEveryImageSkipsImagesWithoutACopy)
{
    host.name = Image(0).m_strName;
    commands.Run(Command::kNormalize);
    const CSpmImage untouched = Image(1);
    doc.m_nUndoScope = kUndoScopeAll;
    commands.Run(Command::kUndo);
    EXPECT_EQ(Image(1).m_pData, untouched.m_pData);  // its plane never held a copy
    EXPECT_EQ(Image(0).m_bUndoValid, 0);
}

TEST_F(CommandsTest, UndoIsEnabledOnlyForAViewOfAnImageWithACopy)
{
    struct Case {
        const char* kind;
        bool nameKnown, copied, enabled;
    };
    for (const Case& c : {Case{":2D", true, true, true}, Case{":3D", true, true, true}, Case{":Profile", true, true, false},
                          Case{":2D", true, false, false}, Case{":2D", false, true, false}}) {
        Image(1).m_bUndoValid = c.copied ? 1 : 0;
        host.kind = c.kind;
        host.name = c.nameKnown ? Image(1).m_strName : "Nothing_07";
        EXPECT_EQ(UndoEnabled(), c.enabled) << c.kind << c.nameKnown << c.copied;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

TEST_F(CommandsTest, SelectionModeButtonsToggleAndShowTheirMode)
{
    const Command buttons[] = {Command::kTwoPointMode, Command::kRectangleMode, Command::kThreePointMode};
    for (int i = 0; i < 3; ++i) {
        commands.Run(buttons[i]);
        EXPECT_EQ(doc.m_nSelectMode, i + 1);
        for (int j = 0; j < 3; ++j) {
            CommandState state;
            commands.Update(buttons[j], state);
            EXPECT_EQ(state.checked, i == j);
        }
    }
    commands.Run(Command::kThreePointMode);
    EXPECT_EQ(doc.m_nSelectMode, 0);
}

TEST_F(CommandsTest, ReplaceImageTakesAnUndoCopy)
{
    const CSpmImage before = Image(1);
    EXPECT_FALSE(commands.ReplaceImage(Image(1), std::vector<double>(47, 1.0)));
    EXPECT_TRUE(log.hints.empty());
    std::vector<double> heights(48);
    std::iota(heights.begin(), heights.end(), -3.0);
    ASSERT_TRUE(commands.ReplaceImage(Image(1), heights));
    EXPECT_EQ(Image(1).m_pData, heights);
    ExpectMeasured(Image(1));
    EXPECT_EQ(std::make_tuple(log.hints.size(), host.paletteRepaints, doc.m_nUndoScope), std::make_tuple(1u, 1, 2));
    commands.Run(Command::kUndo);
    EXPECT_EQ(Image(1).m_pData, before.m_pData);
}

}  // namespace
