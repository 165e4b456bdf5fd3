// The dialog's logic through a recording view and a real document.
#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "FourierFixture.h"
#include "document/DocumentFixture.h"
#include "fourier/FilterFile.h"
#include "fourier/FourierDialogModel.h"
#include "fourier/SpectrumDisplay.h"
#include "platform/core/NumberText.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/Prompt.h"

namespace {

struct FakeView : IFourierView, IProcessingHost {
    void Exchange() override
    {
        if (onExchange)
            onExchange();
        ++exchanges;
    }
    void SetText(int id, const std::string& text) override { texts[id] = text; }
    void SetScroll(int id, int position) override { scrolls[id] = position; }
    void EnableControl(int id, bool enabled) override { enabledControls[id] = enabled; }
    void RefreshChecks() override {}
    void ClearList() override { items.clear(); }
    void AddListItem(const std::string& text) override { items.push_back(text); }
    void RemoveListItem(int index) override { items.erase(items.begin() + index); }
    int SelectedListItem() const override { return selected; }
    void DrawOverlay(const CSpmImage&, const FilterOutline& o) override { ++overlays, outline = o; }
    void DrawDragOutline(const FilterOutline& o) override { outline = o; }
    void RenderPanes() override { ++renders; }
    void SetTimerPeriod(int ms) override { timer = ms; }
    std::optional<std::string> ChooseFilterFile(bool) override { return file; }
    std::string ActiveImageName() const override { return name; }
    std::string ActiveViewKind() const override { return ":2D"; }

    int exchanges = 0, overlays = 0, renders = 0, timer = -1, selected = -1;
    std::map<int, std::string> texts;
    std::map<int, int> scrolls;
    std::map<int, bool> enabledControls;
    std::vector<std::string> items;
    FilterOutline outline;
    std::optional<std::string> file;
    std::string name;
    std::function<void()> onExchange;
};

class ModelTest : public DocumentTest {
protected:
    void OpenImage(int columns = 256, int rows = 256)
    {
        ASSERT_TRUE(doc.OnOpenDocument(Spm("a.spm", "Height", columns, rows)));
        view.name = doc.ImageList()[0].m_pImage->m_strName;
        model.SetPaneGeometry(394, 394, {10, 20, 410, 420});
        ASSERT_TRUE(model.Open(&doc, view.name, 0, CDocProcessingCommands(doc, view)));
    }
    CSpmImage& DocImage() { return *doc.ImageList()[0].m_pImage; }

    CMDIDoc doc;
    FakeView view;
    CFourierDialogModel model{view};
};

TEST_F(ModelTest, OpeningWithoutAnImageStops)
{
    EXPECT_FALSE(model.Open(&doc, "none", 0, std::nullopt));
    EXPECT_EQ(prompt.messages, Texts{kTextImageNotValid});
    EXPECT_EQ(view.timer, -1);
}

// An image the transform cannot take is named with its size, not reported as missing.
TEST_F(ModelTest, OpeningATooSmallImageSaysSo)
{
    const std::pair<int, int> sizes[] = {{1, 5}, {5, 1}, {1, 1}};
    for (const auto& [columns, rows] : sizes) {
        CMDIDoc small;
        ASSERT_TRUE(small.OnOpenDocument(Spm("s.spm", "Height", columns, rows)));
        const std::string name = small.ImageList()[0].m_pImage->m_strName;
        prompt.messages.clear();
        EXPECT_FALSE(model.Open(&small, name, 0, std::nullopt));
        EXPECT_EQ(prompt.messages, Texts{kTextImageTooSmall + name + " has " + std::to_string(columns) + " x " +
                                         std::to_string(rows)});
        EXPECT_EQ(view.timer, -1);
    }
}

TEST_F(ModelTest, OpeningTransformsAndBuildsTheDefaultFilter)
{
    OpenImage();
    EXPECT_EQ(view.timer, 30);
    EXPECT_EQ(view.items, (Texts{"Filter", "FilterPrim1", "FilterPrim2"}));
    EXPECT_EQ(model.m_CurPrimitive, DefaultPrimitives()[1]);
    std::vector<double> mask;
    BuildListMask(DefaultPrimitives(), model.m_Workspace, mask);
    EXPECT_EQ(model.m_imgMask.m_pData, mask);
    EXPECT_EQ(model.m_imgFilter.m_nWidth, 256);
    EXPECT_EQ(model.m_imgFilter.m_pData[0], mask[64 * 384 + 64]);
    EXPECT_FALSE(view.enabledControls[kIdcColorRange]);
}

struct Scroll {
    int id, start, code, thumb, position;
    const char* text;  // the paired edit or static
};

class ScrollSteps : public ModelTest, public testing::WithParamInterface<Scroll> {};

TEST_P(ScrollSteps, ClampAndShow)
{
    OpenImage(32, 32);
    const Scroll s = GetParam();
    for (int i = 0; i < 2; ++i)  // from the start position, then once more from the clamp
        model.OnHScroll(s.id, i == 0 ? kThumbTrack : s.code, i == 0 ? s.start : s.thumb);
    EXPECT_EQ(view.scrolls[s.id], s.position);
    const int edit = s.id == kIdcColorRange ? kIdcColorRangeText
                     : s.id == kIdcCutOffScroll ? kIdcCutOff
                     : s.id == kIdcOderScroll   ? kIdcOder
                                                : kIdcXexpansion;
    if (s.id == kIdcColorRange)
        EXPECT_EQ(view.texts[edit], "Color Range = " + FormatFixed(s.position * 0.001 * model.m_dTopValue, 2));
    else
        EXPECT_EQ(view.texts[edit], s.text);
    EXPECT_EQ(model.m_nPendingAction, s.id == kIdcColorRange ? kRedrawOverlay : kSingleMask);
}

INSTANTIATE_TEST_SUITE_P(
    Bars, ScrollSteps,
    testing::Values(Scroll{kIdcCutOffScroll, 1, kLineLeft, 0, 1, "0.01"},
                    Scroll{kIdcCutOffScroll, 95, kPageRight, 0, 100, "1.00"},
                    Scroll{kIdcOderScroll, 1, kLineLeft, 0, 0, "0"},
                    Scroll{kIdcXexpScroll, 12, kPageLeft, 0, 10, "1.0"},
                    Scroll{kIdcXexpScroll, 500, kThumbPosition, 2000, 999, "99.9"},
                    Scroll{kIdcXexpScroll, 500, kEndScroll, 0, 500, "50.0"},
                    Scroll{kIdcColorRange, 1000, kLineRight, 0, 1000, ""}));

TEST_F(ModelTest, TimerRunsTheLatestActionOnce)
{
    OpenImage(64, 64);
    model.m_nShape = 0;
    model.OnHScroll(kIdcAngleScroll, kLineRight, 0);
    model.OnMouseMove(true, 10 + 3 + 194 + 16, 200);  // 16 pane pixels right of the centre
    model.OnMouseMove(false, 10 + 3 + 194 + 80, 200);  // with another button held: nothing
    EXPECT_EQ(model.m_nPendingAction, kLiveEdit);
    const int renders = view.renders;
    model.OnTimer();
    EXPECT_EQ(view.renders, renders + 1);
    EXPECT_EQ(view.outline.kind, FilterOutline::kEllipse);
    EXPECT_EQ(model.m_nPendingAction, kNoAction);
    model.OnTimer();
    EXPECT_EQ(view.renders, renders + 1);
}

TEST_F(ModelTest, DragOfRadius32ShowsCutoffQuarter)
{
    OpenImage();
    model.OnLButtonDown();
    EXPECT_EQ(view.timer, 100);
    const float pixels = 32.0f / model.m_fScaleX;
    model.OnMouseMove(true, model.m_rcPane.left + model.m_rcPane.Width() / 2 + static_cast<int>(std::ceil(pixels)),
                      model.m_rcPane.top + model.m_rcPane.Height() / 2);
    model.OnTimer();
    EXPECT_EQ(model.m_nDragRadius, 32);
    EXPECT_EQ(view.texts[kIdcCutOff], "0.25");
    EXPECT_EQ(model.m_CurPrimitive.Cutoff, 0.25);
    // Toward a corner the circle outgrows the pane's half width; the cut-off stops at the
    // CutOff bar's end.
    model.OnMouseMove(true, model.m_rcPane.right - 2, model.m_rcPane.bottom - 2);
    model.OnTimer();
    EXPECT_GT(model.m_nDragRadius, 128);
    EXPECT_EQ(view.texts[kIdcCutOff], "1.00");
    EXPECT_EQ(model.m_CurPrimitive.Cutoff, 1.0);
}

// On an image of odd size the zero frequency lies between the two middle cells of the
// spectrum: the filter's outline centres there, and a drag measures the cursor's distance from
// there, in both directions alike, whatever the shape.
TEST_F(ModelTest, OnAnOddImageTheOutlineAndTheDragCentreOnTheZeroFrequency)
{
    const int w = 51, h = 39, side = 396;
    ASSERT_TRUE(doc.OnOpenDocument(Spm("odd.spm", "Height", w, h)));
    view.name = DocImage().m_strName;
    model.SetPaneGeometry(side, side, {10, 20, 10 + side, 20 + side});  // the dialog's pane: no frame
    ASSERT_TRUE(model.Open(&doc, view.name, 0, std::nullopt));
    // The picture draws cell c from c x side / w on: the zero frequency, between cells 25 and
    // 26 and rows 19 and 20, where cell 26 and row 20 begin.
    const double zeroX = (w / 2 + 1) * double(side) / w, zeroY = (h / 2 + 1) * double(side) / h;
    const auto centreX = [](const FilterOutline& o) { return (o.rect.left + o.rect.right) / 2.0; };
    const auto centreY = [](const FilterOutline& o) { return (o.rect.top + o.rect.bottom) / 2.0; };
    model.m_bMarker = 1;
    for (int shape : {0, 1}) {
        model.m_nShape = shape;
        EXPECT_NEAR(centreX(model.Outline()), zeroX, 1.0) << shape;
    }
    model.m_nShape = 0;
    EXPECT_NEAR(centreY(model.Outline()), zeroY, 1.0);

    model.OnLButtonDown();
    const double cellsPerPixel = double(w) / (side - 6);
    for (int shape : {0, 1}) {
        model.m_nShape = shape;
        for (int x = 10 + static_cast<int>(zeroX) - 90; x < 10 + zeroX + 90; x += 3) {
            const double distance = std::fabs(x - 10 - zeroX);
            // A circle's radius is a whole number of pane pixels first.
            const double cells = (shape == 0 ? std::trunc(distance) : distance) * cellsPerPixel;
            if (std::fabs(cells - std::round(cells)) < 1e-3)
                continue;  // on the edge of a cell: rounding may take either side
            model.OnMouseMove(true, x, 20 + static_cast<int>(std::lround(zeroY)));
            model.OnTimer();
            ASSERT_EQ(model.m_nDragRadius, static_cast<int>(cells)) << shape << ", " << x;
            EXPECT_NEAR(centreX(view.outline), zeroX, 1.0) << shape << ", " << x;
        }
    }
}

TEST_F(ModelTest, LinAndLogViews)
{
    OpenImage(64, 64);
    const double top = model.m_dTopValue;
    model.m_nLinLog = 1;
    model.m_nColorRange = 250;
    model.OnLinView();
    EXPECT_TRUE(view.enabledControls[kIdcColorRange]);
    EXPECT_EQ(model.ShownImage().m_dMax, 250 * 0.001 * top);
    model.OnShowFilter();
    EXPECT_EQ(&model.ShownImage(), &model.m_imgFilter);
    model.m_nLinLog = 0;
    model.OnShowFourierTransform();  // back to Lin, as before "Filter"
    EXPECT_EQ(model.m_nLinLog, 1);
    CSpmImage zeros = RandomImage(4, 4);
    zeros.m_pData.assign(16, 0.0);
    ApplyLogView(zeros);
    EXPECT_NEAR(zeros.m_dMin, -13.8155, 1e-4);
}

TEST_F(ModelTest, OrderZeroFilteringHalvesTheHeights)
{
    OpenImage(64, 64);
    model.m_nOder = 0;
    model.m_nSingleComplex = 0;
    model.Filtering();
    for (std::size_t i = 0; i < model.m_imgWork.m_pData.size(); ++i)
        ASSERT_NEAR(model.m_imgWork.m_pData[i], 0.5 * DocImage().m_pData[i], 1e-3);
}

TEST_F(ModelTest, ReplaceImageThenUndo)
{
    OpenImage(64, 64);
    const std::vector<double> before = DocImage().m_pData;
    model.m_nOder = 0;
    model.Filtering();
    model.OnReplaceImage();
    EXPECT_EQ(DocImage().m_pData, model.m_imgWork.m_pData);
    CDocProcessingCommands(doc, view).Run(ProcessingCommand::kUndo);
    EXPECT_EQ(DocImage().m_pData, before);
    model.m_imgWork.m_pData[5] = NAN;
    model.OnReplaceImage();
    EXPECT_EQ(DocImage().m_pData, before);
    EXPECT_EQ(prompt.messages, Texts{kTextNotFinite});
}

TEST_F(ModelTest, PrimitiveListEditing)
{
    OpenImage(32, 32);
    const std::vector<double> mask = model.m_imgMask.m_pData;
    model.OnClearAll();
    model.m_nSingleComplex = 1;
    model.Filtering();  // an empty list keeps the mask
    EXPECT_EQ(model.m_imgMask.m_pData, mask);
    model.OnRemove();
    model.OnAddPrim();
    model.OnAddPrim();
    view.selected = 1;
    model.OnRemove();
    model.OnAddPrim();
    EXPECT_EQ(view.items, (Texts{"Filter", "FilterPrim2", "FilterPrim2"}));
    EXPECT_EQ(prompt.messages, Texts{kTextSelectPrimitive});
    // A zero cut-off would divide: the edit takes no "0", and the primitive stops at the
    // bar's 0.01 whatever its member holds.
    EXPECT_FALSE(CFourierDialogModel::RealEditValue(kIdcCutOff, "0"));
    model.m_strCutOff = "0";
    model.OnOK();
    EXPECT_EQ(model.m_CurPrimitive.Cutoff, 0.01);
    EXPECT_NE(model.m_imgMask.m_pData, mask);
}

// What the edits take is what a filter file brings back: each edit's ends, and a value with
// more decimals than a file keeps, which the edit shows as the file has it when the user
// leaves it. Values beyond the ends the edits do not take: RealEditsTakeNumbersWithinTheirBars.
TEST_F(ModelTest, EveryControlsEndsComeBackFromAFilterFile)
{
    OpenImage(32, 32);
    struct Typed {
        int edit;
        const char* text;
        const char* shown;  // after leaving the edit
    };
    const Typed typed[] = {
        {kIdcCutOff, "0.01", "0.01"},      {kIdcCutOff, "1.00", "1.00"},      {kIdcCutOff, ".125", "0.12"},
        {kIdcXexpansion, "1.0", "1.0"},    {kIdcXexpansion, "99.9", "99.9"},  {kIdcXexpansion, "1.25", "1.25"},
        {kIdcYexpansion, "1", "1"},        {kIdcYexpansion, "99.9", "99.9"},  {kIdcShift, "0", "0"},
        {kIdcShift, "2.00", "2.00"},       {kIdcShift, ".125", "0.12"},
    };
    const std::map<int, std::string CFourierDialogModel::*> member = {
        {kIdcCutOff, &CFourierDialogModel::m_strCutOff}, {kIdcXexpansion, &CFourierDialogModel::m_strXexpansion},
        {kIdcYexpansion, &CFourierDialogModel::m_strYexpansion}, {kIdcShift, &CFourierDialogModel::m_strShift}};
    model.OnClearAll();
    for (const Typed& t : typed) {
        model.*member.at(t.edit) = t.text;  // as the exchange takes a typed text
        model.OnEditFinished(t.edit);
        EXPECT_EQ(model.*member.at(t.edit), t.shown) << t.text;
        model.OnOK();
        model.OnAddPrim();
    }
    const std::vector<FilterPrimitive> list = model.m_PrimitiveList;
    ASSERT_EQ(list.size(), std::size(typed));
    EXPECT_EQ(list[1].Cutoff, 1.0);
    view.file = (dir / "ends").string();
    model.OnSaveFilter();
    model.OnClearAll();
    view.file = (dir / "ends.flt").string();
    model.OnLoadFilter();
    EXPECT_EQ(model.m_PrimitiveList, list);
    EXPECT_TRUE(prompt.messages.empty());
    // A hand-made file beyond the controls loads into them, and says so.
    WriteFile(dir / "wide.flt", "[FilterPrimitive]\r\nNofPrimitive=1\r\nCutoff[0]=1.5\r\nXcomp[0]=1\r\nYcomp[0]=1\r\n");
    view.file = (dir / "wide.flt").string();
    model.OnLoadFilter();
    ASSERT_EQ(model.m_PrimitiveList.size(), 1u);
    EXPECT_EQ(model.m_PrimitiveList[0].Cutoff, 1.0);
    EXPECT_EQ(prompt.messages, Texts{kTextFilterLimited + *view.file});
}

// A list grows no longer than a filter file brings back, and a file that counts more says
// why it was not loaded.
TEST_F(ModelTest, AFilterGrowsNoLongerThanAFileBringsBack)
{
    OpenImage(32, 32);
    model.OnClearAll();
    for (int i = 0; i < 100; ++i) {
        model.m_nAngle = i;
        model.OnOK();
        model.OnAddPrim();
    }
    const std::vector<FilterPrimitive> list = model.m_PrimitiveList;
    ASSERT_EQ(list.size(), 99u);
    EXPECT_EQ(list.back().Angle, 98);
    EXPECT_EQ(view.items.size(), 100u);
    EXPECT_EQ(view.items.back(), "FilterPrim99");
    EXPECT_EQ(prompt.messages, Texts{kTextFilterFull});
    view.file = (dir / "full").string();
    model.OnSaveFilter();
    model.OnClearAll();
    view.file = (dir / "full.flt").string();
    model.OnLoadFilter();
    EXPECT_EQ(model.m_PrimitiveList, list);
    prompt.messages.clear();
    WriteFile(dir / "long.flt", "[FilterPrimitive]\r\nNofPrimitive=100\r\nCutoff[0]=0.5\r\n");
    view.file = (dir / "long.flt").string();
    model.OnLoadFilter();
    EXPECT_EQ(model.m_PrimitiveList, list);
    EXPECT_EQ(view.items.size(), 100u);
    EXPECT_EQ(prompt.messages, Texts{kTextFilterTooLong + *view.file});
}

TEST_F(ModelTest, FilterFilesSaveAndLoad)
{
    OpenImage(32, 32);
    view.file = (dir / "f").string();
    model.OnSaveFilter();
    model.OnClearAll();
    view.file = (dir / "f.flt").string();
    model.OnLoadFilter();
    EXPECT_EQ(view.items, (Texts{"Filter", "FilterPrim1", "FilterPrim2"}));
    view.file = (dir / "missing" / "f.flt").string();
    model.OnSaveFilter();
    EXPECT_EQ(prompt.messages, Texts{kTextFilterNotSaved});
}

// What each real-valued edit takes: a number within its scroll bar's range, written as the
// primitive reads it (a filter file's loose reading would make "1e0" 10 and "0.50 " 0.05);
// what it says of anything else names that range.
TEST(FourierRealEdits, RealEditsTakeNumbersWithinTheirBars)
{
    const struct {
        int id;
        double min, max;
    } edits[] = {{kIdcCutOff, 0.01, 1.0}, {kIdcShift, 0.0, 2.0}, {kIdcXexpansion, 1.0, 99.9}, {kIdcYexpansion, 1.0, 99.9}};
    using M = CFourierDialogModel;
    for (const auto& e : edits) {
        const double middle = 0.5 * (e.min + e.max);
        for (const double value : {e.min, e.max, middle})
            EXPECT_EQ(M::RealEditValue(e.id, FormatFixed(value, 2)), std::optional(std::stod(FormatFixed(value, 2))))
                << e.id << " " << value;
        EXPECT_EQ(M::RealEditValue(e.id, " " + FormatFixed(middle, 2)), std::stod(FormatFixed(middle, 2))) << e.id;
        for (const std::string& text : {FormatFixed(e.min - 0.01, 2), FormatFixed(e.max + 0.01, 2), std::string(),
                                        std::string("."), std::string("-"), std::string("xyz"), std::string("1e0"),
                                        FormatFixed(middle, 2) + " "})
            EXPECT_FALSE(M::RealEditValue(e.id, text)) << e.id << " \"" << text << "\"";
        EXPECT_EQ(M::RealEditRefusal(e.id), RangeMessage(e.min, e.max, false));
    }
    // The whole-number edits are not real-valued ones.
    for (const int id : {kIdcOder, kIdcAngle})
        EXPECT_FALSE(M::RealEditValue(id, "5")) << id;
}

// The primitive as the dialog's members hold it once its controls took it.
void ShowInControls(CFourierDialogModel& m, const FilterPrimitive& p)
{
    m.m_nLoPass = p.LoPass;
    m.m_nShape = static_cast<int>(p.Type);
    m.m_nOder = static_cast<int>(p.Oder);
    m.m_nAngle = p.Angle;
    m.m_strCutOff = ShortestFloatText(static_cast<float>(p.Cutoff));
    m.m_strXexpansion = ShortestFloatText(static_cast<float>(p.Xcomp));
    m.m_strYexpansion = ShortestFloatText(static_cast<float>(p.Ycomp));
    m.m_strShift = ShortestFloatText(static_cast<float>(p.Shift));
}

// Add Prim and Rep Prim store the primitive the controls show, whatever the last mask build
// read, and a filter saved afterwards holds it, number for number.
TEST_F(ModelTest, AddPrimAndRepPrimStoreWhatTheControlsShow)
{
    OpenImage(32, 32);
    const FilterPrimitive first{1, 1, 7, 0.65, 2.5, 12.5, 0.4, 30};
    const FilterPrimitive second{0, 0, 12, 0.15, 1.5, 3.0, 1.2, 90};
    model.OnClearAll();
    for (const FilterPrimitive& p : {first, second}) {
        ShowInControls(model, p);
        model.OnAddPrim();
    }
    EXPECT_EQ(model.m_PrimitiveList, (std::vector{first, second}));
    // The first one selected, which builds its mask, and then one value typed over it.
    view.selected = 1;
    model.OnSelChangePrimList();
    model.m_strCutOff = "0.9";
    model.OnRepPrim();
    FilterPrimitive replaced = first;
    replaced.Cutoff = 0.9;
    const std::vector<FilterPrimitive> list{replaced, second};
    EXPECT_EQ(model.m_PrimitiveList, list);
    view.file = (dir / "typed").string();
    model.OnSaveFilter();
    const ProfileFile file = ProfileFile::Load((dir / "typed.flt").string());
    const auto number = [&](const std::string& key, std::size_t i) {
        return std::stod(file.GetString("FilterPrimitive", key + "[" + std::to_string(i) + "]", "nan"));
    };
    EXPECT_EQ(file.GetString("FilterPrimitive", "NofPrimitive"), "2");
    for (std::size_t i = 0; i < list.size(); ++i) {
        const FilterPrimitive& p = list[i];
        const std::vector<double> saved = {number("LoPass", i), number("Type", i),   number("Oder", i),
                                           number("Cutoff", i), number("Xcomp", i),  number("Ycomp", i),
                                           number("Shift", i),  number("Angle", i)};
        EXPECT_EQ(saved, (std::vector<double>{double(p.LoPass), double(p.Type), double(p.Oder), p.Cutoff, p.Xcomp,
                                              p.Ycomp, p.Shift, double(p.Angle)}))
            << i;
    }
}

// A press on the spectrum pane keeps the order, cut-off, pass and kind the controls show and
// shows them again, typed since the last mask build or not.
TEST_F(ModelTest, APressOnTheSpectrumKeepsWhatTheControlsShow)
{
    OpenImage(32, 32);
    const FilterPrimitive shown{0, 1, 7, 0.65, 2.5, 12.5, 0.4, 30};
    ShowInControls(model, shown);
    model.OnLButtonDown();
    const FilterPrimitive kept{shown.LoPass, shown.Type, shown.Oder, shown.Cutoff, 1.0, 1.0, 0.0, 0};
    EXPECT_EQ(model.m_CurPrimitive, kept);
    EXPECT_EQ(std::tie(model.m_nLoPass, model.m_nShape), std::tuple(0, 1));
    EXPECT_EQ(std::tie(view.texts[kIdcOder], view.texts[kIdcCutOff]), std::tuple("7", "0.65"));
}

TEST_F(ModelTest, YDirectionNeedsASquareImage)
{
    OpenImage(40, 20);
    view.onExchange = [this] { model.m_nFourieMode = kFourierY; };
    model.OnFourieMode();
    EXPECT_EQ(model.m_nFourieMode, kFourierXY);
    EXPECT_EQ(prompt.messages, Texts{kTextSquareForY});
}

// A new direction lays the mask out for its spectra at once: the filter the pane shows is
// the one Filtering applies, built from the controls (Single) or from the list (Complex).
TEST_F(ModelTest, DirectionChangeShowsTheMaskFilteringApplies)
{
    OpenImage(32, 32);
    for (int complex : {0, 1})
        for (int mode : {kFourierX, kFourierY, kFourierXY, kFourierX}) {
            view.onExchange = [this, mode, complex] {
                model.m_nFourieMode = mode;
                model.m_nSingleComplex = complex;
            };
            model.OnFourieMode();
            const std::vector<double> shown = model.m_imgFilter.m_pData;
            model.Filtering();
            EXPECT_EQ(model.m_imgFilter.m_pData, shown) << complex << " " << mode;
        }
}

// With the list cleared, Complex keeps the filter it built last; a new direction lays that
// filter out for its own spectra, as a build of the list would have.
TEST_F(ModelTest, AClearedListKeepsItsFilterLaidOutForANewDirection)
{
    OpenImage(32, 32);
    const auto direction = [this](int mode) {
        view.onExchange = [this, mode] {
            model.m_nFourieMode = mode;
            model.m_nSingleComplex = 1;
        };
        model.OnFourieMode();
    };
    for (int from : {kFourierX, kFourierXY})
        for (int to : {kFourierXY, kFourierX, kFourierY}) {
            if (to == from)
                continue;
            direction(to);
            const std::vector<double> built = model.m_imgMask.m_pData;  // the list's, laid out for `to`
            direction(from);
            model.OnClearAll();
            direction(to);
            model.Filtering();
            EXPECT_EQ(model.m_imgMask.m_pData, built) << from << " to " << to;
            model.OnLoadDef();
        }
}

} // namespace
