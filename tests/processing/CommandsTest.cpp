// The document's processing commands through a fake active frame.
#include <gtest/gtest.h>

#include <array>
#include <numeric>
#include <utility>

#include "document/DocumentFixture.h"
#include "image/ImageStatistics.h"
#include "processing/DocProcessingCommands.h"
#include "processing/ImageProcessor.h"

namespace {

using Command = ProcessingCommand;
using Images = std::vector<const CSpmImage*>;

// The active frame, the wait cursor, the palette panel and a view that logs its hints.
struct FakeHost : IProcessingHost, IDocumentView {
    std::string ActiveImageName() const override { return name; }
    std::string ActiveViewKind() const override { return kind; }
    void BeginWaitCursor() override { ++waiting; }
    void EndWaitCursor() override { --waiting, ++waits; }
    void RepaintPalette() override { ++repaints; }
    void OnUpdate(int hint, const CMDIChildFrame*) override { hints.push_back(hint); }

    std::string name, kind = ":2D";
    int waiting = 0, waits = 0, repaints = 0;
    std::vector<int> hints;
};

class CommandsTest : public DocumentTest {
protected:
    // Images of 12 x 10 and 8 x 6 points; the second, with steps 3 and 2, is the active one.
    void SetUp() override
    {
        ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height", 12, 10)));
        ASSERT_TRUE(doc.AddImage(Spm("b.spm", "Phase", 8, 6), 0));
        doc.AddView(&host);
        host.name = Image(1).m_strName;
        Image(1).m_header.m_fKx = 3.0f;
    }
    CSpmImage& Image(std::size_t i) { return *doc.ImageList()[i].m_pImage; }
    bool UndoEnabled() const
    {
        CommandState state{false, false};
        commands.Update(Command::kUndo, state);
        return state.enabled;
    }
    void Select(int mode, ImagePoint p1, ImagePoint p2, ImagePoint p3 = {}, int third = 0)
    {
        doc.m_nSelectMode = mode;
        doc.m_ptSel1 = p1, doc.m_ptSel2 = p2, doc.m_ptSel3 = p3;
        doc.m_bSel1Set = doc.m_bSel2Set = 1, doc.m_bSel3Set = third;
    }
    // Range and histogram follow the heights, and both palettes span the new automatic range.
    void ExpectMeasured(std::size_t i)
    {
        const CSpmImage& image = Image(i);
        const auto [low, high] = std::minmax_element(image.m_pData.begin(), image.m_pData.end());
        EXPECT_EQ(std::make_pair(image.m_dMin, image.m_dMax), std::make_pair(*low, *high));
        EXPECT_EQ(std::accumulate(image.m_pHistogram.begin(), image.m_pHistogram.end(), 0u), image.m_pData.size());
        CSpmImage cut = image;
        AutoRangeFromHistogram(cut);
        const auto fit = DefaultColorCursors(ViewKind::View2D, {low[0], high[0]}, {cut.m_dMin, cut.m_dMax});
        for (const CPresentationConfig& record : *doc.ImageList()[i].m_pSettings)
            for (std::size_t k : {0, 1})
                EXPECT_FLOAT_EQ(record.m_ColorCursors[k].m_Position, fit[k].m_Position) << k;
    }

    CMDIDoc doc;
    FakeHost host;
    CDocProcessingCommands commands{doc, host};
};

struct ImageCommand {
    Command command;
    const char* method;  // the filters, and only they, show the wait cursor
    bool Waits() const { return std::string_view(method).starts_with("Filter"); }
};

const ImageCommand kImageCommands[] = {
    {Command::kMedianX, "MedianLineCorrection"}, {Command::kMedianY, "MedianLineCorrection"},
    {Command::kMedianXY, "MedianLineCorrection"}, {Command::kFlattenX, "SurfaceFlatting"},
    {Command::kFlattenY, "SurfaceFlatting"},      {Command::kFlattenXY, "SurfaceFlatting"},
    {Command::kAlignX, "AlignLine"},              {Command::kAlignY, "AlignLine"},
    {Command::kAlignXY, "AlignLine"},             {Command::kNormalize, "OnNormalizeToZerro"},
    {Command::kGauss3x3, "FilterGauss"},          {Command::kGauss5x5, "FilterGauss"},
    {Command::kLaplace3x3, "FilterLaplace"},      {Command::kLaplace5x5, "FilterLaplace"},
    {Command::kLowpass3x3, "FilterLowpass"},      {Command::kLowpass5x5, "FilterLowpass"},
    {Command::kHighpass3x3, "FilterHighpass"},    {Command::kHighpass5x5, "FilterHighpass"},
    {Command::kSharpen, "FilterSharpen"},         {Command::kSobelVert, "FilterSobel"},
    {Command::kHipassGaussX, "FilterLineHipassGaussVert"}, {Command::kRotate90, "OnRotate90"},
};

// First with an unknown image (the lookup message, nothing changed), then with the active one.
TEST_F(CommandsTest, EveryCommandChangesTheActiveImageOnceAndUndoBringsItBack)
{
    const std::string known = host.name;
    const auto lookupMessage = [](const char* method) { return Texts{std::string("Image Name is not Valid-> CMDIDoc::") + method}; };
    for (const ImageCommand& c : kImageCommands) {
        const CSpmImage before = Image(1), other = Image(0);
        host.hints.clear();
        host.repaints = host.waits = 0;
        doc.SetModifiedFlag(Image(1), false);
        host.name = "Nothing_07";
        commands.Run(c.command);
        EXPECT_EQ(std::exchange(prompt.messages, {}), lookupMessage(c.method));
        EXPECT_EQ(std::make_tuple(Image(1).m_pData, Image(1).m_bUndoValid, host.hints.size()), std::make_tuple(before.m_pData, 0, std::size_t{0}));
        host.name = known;
        commands.Run(c.command);
        EXPECT_NE(Image(1).m_pData, before.m_pData) << c.method;
        EXPECT_EQ(Image(0).m_pData, other.m_pData) << c.method;
        ExpectMeasured(1);
        EXPECT_EQ(std::make_tuple(host.hints, host.repaints, host.waiting, host.waits, doc.m_nUndoScope, doc.ModifiedImages()),
                  std::make_tuple(std::vector<int>{kHintSurface}, 1, 0, c.Waits() ? 2 : 0, 2, Images{&Image(1)})) << c.method;
        EXPECT_TRUE(UndoEnabled());
        commands.Run(Command::kUndo);
        EXPECT_EQ(Image(1).m_pData, before.m_pData) << c.method;
        EXPECT_EQ(std::make_tuple(Image(1).m_nWidth, Image(1).m_header.m_fKx, Image(1).m_header.m_fKy),
                  std::make_tuple(8, 3.0f, 2.0f)) << c.method;
        ExpectMeasured(1);
        EXPECT_FALSE(UndoEnabled()) << c.method;
    }
    EXPECT_TRUE(prompt.messages.empty());
    host.hints.clear();
    host.name = "Nothing_07";
    commands.Run(Command::kUndo);  // still redraws
    EXPECT_EQ(std::make_pair(prompt.messages, host.hints.size()), std::make_pair(lookupMessage("OnEditUndo"), std::size_t{1}));
}

TEST_F(CommandsTest, SelectionsDecideTheVariantOrAreRefused)
{
    Image(1).m_pData[2] += 100.0;  // outside the rectangle: moves only the whole image's medians
    const CSpmImage before = Image(1);
    struct Case {
        Command command;
        int mode;
        ImagePoint p1, p2, p3;
        const char* message;  // null: the command runs
        std::function<void(CSpmImage&)> expected;
    };
    const Case cases[] = {
        {Command::kMedianXY, 2, {6, 4}, {1, 1}, {}, nullptr,
         [](CSpmImage& i) { CImageProcessor().MedianLineCorrectionInRect(kLinesXY, i, {1, 1, 6, 4}); }},
        {Command::kMedianXY, 1, {6, 4}, {1, 1}, {}, nullptr,
         [](CSpmImage& i) { CImageProcessor().MedianLineCorrection(kLinesXY, i); }},
        {Command::kFlattenXY, 3, {1, 1}, {6, 2}, {3, 5}, nullptr, [](CSpmImage& i) {
             const auto at = [&i](double x, double y) { return PlanePoint{x, y, i.m_pData[static_cast<std::size_t>(y * 8 + x)]}; };
             CImageProcessor().FlattenSurface(i, kFlattenThreePoints, at(1, 1), at(3, 5), at(6, 2));
         }},
        {Command::kMedianX, 2, {1, 1}, {1, 4}, {}, kTextSelectRectArea, {}},   // no columns
        {Command::kMedianX, 2, {1, 1}, {10, 4}, {}, kTextSelectRectArea, {}},  // past the last column
        {Command::kFlattenXY, 3, {1, 1}, {3, 3}, {9, 2}, kTextSelectRectArea, {}},
        {Command::kFlattenXY, 3, {1, 1}, {3, 3}, {5, 5}, kTextPointsOnOneLine, {}},
    };
    for (const Case& c : cases) {
        prompt.messages.clear();
        Select(c.mode, c.p1, c.p2, c.p3, 1);
        commands.Run(c.command);
        CSpmImage expected = before;
        if (c.expected)
            c.expected(expected);
        EXPECT_EQ(Image(1).m_pData, expected.m_pData) << c.mode;
        EXPECT_EQ(prompt.messages, c.message ? Texts{c.message} : Texts{});
        commands.Run(Command::kUndo);
    }
    // Without the third point, flatten XY fits the least-squares plane.
    Select(3, {1, 1}, {6, 2});
    commands.Run(Command::kFlattenXY);
    CSpmImage fitted = before;
    CImageProcessor().FlattenSurface(fitted, kFlattenXY);
    EXPECT_EQ(Image(1).m_pData, fitted.m_pData);
}

TEST_F(CommandsTest, CropCutsEveryImageHoldingTheRectangleAndUndoRestoresThemAll)
{
    const CSpmImage first = Image(0), second = Image(1);
    Select(0, {9, 1}, {2, 7});  // columns 2 to 8, rows 1 to 6: too big for the second image
    commands.Run(Command::kCrop);
    EXPECT_EQ(std::make_tuple(Image(0).m_nWidth, Image(0).m_nHeight, Image(1).m_pData),
              std::make_tuple(7, 6, second.m_pData));
    EXPECT_EQ(std::exchange(prompt.messages, {}),
              Texts{"Phase_02 is not cropped: the rectangle lies outside its 8 x 6 points."});
    ExpectMeasured(0);
    EXPECT_EQ(std::make_tuple(doc.m_nSelectMode, doc.m_bSel1Set, doc.m_bSel2Set, doc.m_nUndoScope, host.waits),
              std::make_tuple(0, 0, 0, 1, 1));
    EXPECT_EQ(doc.ModifiedImages(), Images{&Image(0)});  // the second image kept its heights
    commands.Run(Command::kCrop);
    EXPECT_EQ(prompt.messages, Texts{kTextSelectRectArea});
    commands.Run(Command::kUndo);
    EXPECT_EQ(std::make_tuple(Image(0).m_pData, Image(0).m_header.m_nColumns, Image(1).m_pData),
              std::make_tuple(first.m_pData, std::uint16_t{12}, second.m_pData));
    // Both hold their heights as loaded again: nothing left to save.
    EXPECT_TRUE(doc.ModifiedImages().empty());

    // Align after a crop: Undo then restores only the aligned image.
    Select(0, {0, 0}, {4, 3});
    commands.Run(Command::kCrop);
    const CSpmImage cropped = Image(0);
    commands.Run(Command::kAlignX);
    commands.Run(Command::kUndo);
    EXPECT_EQ(std::make_pair(Image(0).m_pData, Image(1).m_nWidth), std::make_pair(cropped.m_pData, 4));
}

// Columns x0 to x1 - 1 and rows y0 to y1 - 1 of an image's heights, row by row: what a cut
// to that rectangle leaves.
std::vector<double> HeightsIn(const CSpmImage& image, const SelectionRect& rect)
{
    std::vector<double> heights;
    for (int y = rect.y0; y < rect.y1; ++y)
        for (int x = rect.x0; x < rect.x1; ++x)
            heights.push_back(image.m_pData[static_cast<std::size_t>(y * image.m_nWidth + x)]);
    return heights;
}

// Size as the image and its header give it, and heights.
auto Shape(const CSpmImage& image)
{
    return std::make_tuple(image.m_nWidth, image.m_nHeight, int{image.m_header.m_nColumns},
                           int{image.m_header.m_nRows}, image.m_pData);
}

// A prompt that also notes whether the wait cursor was up when each message came.
struct CursorNotingPrompt : ScriptedPrompt {
    explicit CursorNotingPrompt(const FakeHost& host) : host(host) {}
    void Message(const std::string& text) override
    {
        waitingAt.push_back(host.waiting);
        ScriptedPrompt::Message(text);
    }
    const FakeHost& host;
    std::vector<int> waitingAt;
};

// Images of one document cut or turned to other sizes: 12 x 10, 8 x 6 and 10 x 12, the last
// with a backslash and a line break in its name, as a header may hold. The crop cuts each
// image that holds the rectangle and keeps the others whole, all in one Undo; one message,
// once the wait cursor is gone, names each image it kept, one line each, in list order.
TEST_F(CommandsTest, CropNamesEveryImageItLeavesWholeInOneMessage)
{
    ASSERT_TRUE(doc.AddImage(Spm("c.spm", "Turned\\\nAmplitude", 10, 12), 0));
    doc.SetModifiedFlag(Image(1), false);  // its step as the fixture set it counts as saved
    const std::string height = "Height_01 is not cropped: the rectangle lies outside its 12 x 10 points.";
    const std::string phase = "Phase_02 is not cropped: the rectangle lies outside its 8 x 6 points.";
    const std::string turned = R"(Turned\\\nAmplitude_03 is not cropped: the rectangle lies outside its 10 x 12 points.)";
    const struct {
        const char* what;
        ImagePoint p1, p2;
        std::array<bool, 3> cut;
        Texts message;
    } cases[] = {
        {"inside every image", {1, 1}, {5, 4}, {true, true, true}, {}},
        {"past the second's last column", {2, 1}, {9, 5}, {true, false, true}, {phase}},
        {"past the second's last row", {7, 7}, {1, 2}, {true, false, true}, {phase}},
        {"past two images' last column", {11, 1}, {1, 4}, {true, false, false}, {phase + "\n" + turned}},
        {"up to the second's last column and row", {2, 1}, {8, 6}, {true, true, true}, {}},
        {"up to the third's last row", {0, 0}, {3, 12}, {false, false, true}, {height + "\n" + phase}},
    };
    for (const auto& c : cases) {
        std::vector<CSpmImage> before;
        for (std::size_t i = 0; i < 3; ++i)
            before.push_back(Image(i));
        Select(2, c.p1, c.p2);
        const SelectionRect rect = {std::min(c.p1.x, c.p2.x), std::min(c.p1.y, c.p2.y), std::max(c.p1.x, c.p2.x),
                                    std::max(c.p1.y, c.p2.y)};
        CursorNotingPrompt noting(host);
        commands.Run(Command::kCrop);
        EXPECT_EQ(noting.messages, c.message) << c.what;
        EXPECT_EQ(noting.waitingAt, std::vector<int>(c.message.size(), 0)) << c.what;
        const int width = rect.x1 - rect.x0, rows = rect.y1 - rect.y0;
        Images modified;
        for (std::size_t i = 0; i < 3; ++i) {
            const auto expected = c.cut[i] ? std::make_tuple(width, rows, width, rows, HeightsIn(before[i], rect))
                                           : Shape(before[i]);
            EXPECT_EQ(Shape(Image(i)), expected) << c.what << ", image " << i;
            if (c.cut[i])
                modified.push_back(&Image(i));
        }
        EXPECT_EQ(doc.ModifiedImages(), modified) << c.what;
        commands.Run(Command::kUndo);
        for (std::size_t i = 0; i < 3; ++i)
            EXPECT_EQ(Shape(Image(i)), Shape(before[i])) << c.what << ", image " << i;
        EXPECT_TRUE(doc.ModifiedImages().empty()) << c.what;
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// The points name places of the image as it lay: a crop or a rotation forgets them, and so
// does the Undo of either once new points lie on the cut or turned image; the Undo of any
// other command keeps them. Crop also leaves the selection mode, rotation keeps it.
TEST_F(CommandsTest, CropAndRotationForgetThePointsAndSoDoesTheirUndo)
{
    // Each point's column and row, then the three placed flags and the mode.
    using Selection = std::array<int, 10>;
    const auto selection = [this] {
        return Selection{doc.m_ptSel1.x, doc.m_ptSel1.y, doc.m_ptSel2.x, doc.m_ptSel2.y, doc.m_ptSel3.x,
                         doc.m_ptSel3.y, doc.m_bSel1Set, doc.m_bSel2Set, doc.m_bSel3Set, doc.m_nSelectMode};
    };
    const Selection placed{1, 1, 6, 4, 3, 2, 1, 1, 1, 3};
    const auto place = [this] { Select(3, {1, 1}, {6, 4}, {3, 2}, 1); };
    const struct {
        Command command;
        Selection after, afterUndo;
    } cases[] = {
        {Command::kCrop, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 3}},
        {Command::kRotate90, {0, 0, 0, 0, 0, 0, 0, 0, 0, 3}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 3}},
        {Command::kNormalize, placed, placed},
        {Command::kGauss3x3, placed, placed},
    };
    for (const auto& c : cases) {
        place();
        commands.Run(c.command);
        EXPECT_EQ(selection(), c.after) << static_cast<int>(c.command);
        place();
        commands.Run(Command::kUndo);
        EXPECT_EQ(selection(), c.afterUndo) << static_cast<int>(c.command);
        // Undo once more gives nothing back and forgets nothing.
        place();
        commands.Run(Command::kUndo);
        EXPECT_EQ(selection(), placed) << static_cast<int>(c.command);
    }
    EXPECT_TRUE(prompt.messages.empty());
}

// Palettes a user moved: a command stretches every palette its image colours over the new
// range; Undo gives each back as it was, whichever image's record it is, so the picture is
// the one before the command.
TEST_F(CommandsTest, UndoGivesBackThePalettesTheCommandRefitted)
{
    SettingsPair& own = *doc.ImageList()[1].m_pSettings;
    SettingsPair& other = *doc.ImageList()[0].m_pSettings;
    other[kSettings3D].m_NameOfImageForColor = Image(1).m_strName;
    CPresentationConfig* records[] = {&own[kSettings2D], &own[kSettings3D], &other[kSettings3D], &other[kSettings2D]};
    const float positions[][3] = {{0.3f, 0.8f}, {0.1f, 0.6f, 0.7f}, {0.2f, 0.25f, 0.9f}, {0.35f, 0.95f}};
    for (std::size_t i = 0; i < 4; ++i) {
        records[i]->m_ColorCursors.clear();
        for (float position : positions[i])
            if (position > 0.0f)
                records[i]->m_ColorCursors.push_back({MakeColor(0, static_cast<int>(position * 200), 50), position});
    }
    const auto palettes = [&records] {
        std::vector<std::vector<ColorCursor>> all;
        for (const CPresentationConfig* record : records)
            all.push_back(record->m_ColorCursors);
        return all;
    };
    const auto before = palettes();
    // The three records coloured by the second image move; the first image's own does not.
    commands.Run(Command::kFlattenXY);
    const auto flattened = palettes();
    for (std::size_t i : {0, 1, 2})
        EXPECT_NE(flattened[i], before[i]) << i;
    EXPECT_EQ(flattened[3], before[3]);
    commands.Run(Command::kUndo);
    EXPECT_EQ(palettes(), before);
    // After a crop Undo restores every image, and every palette with it.
    Select(0, {1, 1}, {6, 5});
    commands.Run(Command::kCrop);
    EXPECT_NE(palettes(), before);
    commands.Run(Command::kUndo);
    EXPECT_EQ(palettes(), before);
    // A record that took its colours from the image after the command is refitted instead.
    commands.Run(Command::kNormalize);
    other[kSettings2D].m_NameOfImageForColor = Image(1).m_strName;
    commands.Run(Command::kUndo);
    EXPECT_EQ(palettes()[0], before[0]);
    EXPECT_NE(palettes()[3], before[3]);
}

TEST_F(CommandsTest, UndoOfEveryImageSkipsImagesWithoutACopy)
{
    host.name = Image(0).m_strName;
    commands.Run(Command::kNormalize);
    const CSpmImage untouched = Image(1);  // its plane never held a copy
    doc.m_nUndoScope = kUndoScopeAll;
    commands.Run(Command::kUndo);
    EXPECT_EQ(std::make_pair(Image(1).m_pData, Image(0).m_bUndoValid), std::make_pair(untouched.m_pData, 0));
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
    CommandState rectangle;
    doc.m_nSelectMode = 2;
    commands.Update(Command::kRectangleMode, rectangle);
    EXPECT_TRUE(rectangle.checked);
}

TEST_F(CommandsTest, ReplaceImageTakesAnUndoCopy)
{
    const CSpmImage before = Image(1);
    std::vector<double> heights(48);
    std::iota(heights.begin(), heights.end(), -3.0);
    EXPECT_FALSE(commands.ReplaceImage(Image(1), std::span(heights).first(47)));
    EXPECT_FALSE(doc.IsModified());
    ASSERT_TRUE(commands.ReplaceImage(Image(1), heights));
    EXPECT_EQ(Image(1).m_pData, heights);
    ExpectMeasured(1);
    EXPECT_EQ(std::make_tuple(host.hints.size(), host.repaints, doc.m_nUndoScope, doc.ModifiedImages()),
              std::make_tuple(1u, 1, 2, Images{&Image(1)}));
    commands.Run(Command::kUndo);
    EXPECT_EQ(Image(1).m_pData, before.m_pData);
}

}  // namespace
