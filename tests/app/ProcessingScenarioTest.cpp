// Processing in the running application on a real NanoScope file: the menu's items are
// enabled by their handlers, flatten changes the active image, Edit Undo brings it back; the
// commands on the active frame's image are enabled only where it shows one.
#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>

#include <cstdlib>
#include <map>
#include <set>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "app/MenuResources.h"
#include "app/views/ProfileView.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"
#include "presentation/ProfilePlotMath.h"
#include "processing/ImageProcessor.h"

TEST(ProcessingScenario, FlattenThenUndo)
{
    SPM_REQUIRE_SAMPLES();
    RunningApp app(SamplePath("nanoscope-v432-height-amplitude.007").string());
    // The first image's 2D frame: its picture shows the palette.
    ASSERT_TRUE(app.Activate(":2D"));
    CMDIChildFrame* frame = app.MainFrame().MDIGetActive();
    CDocument& doc = *frame->GetActiveDocument();
    const CSpmImage& image = *doc.Doc().FindImage(frame->m_strImageName)->m_pImage;
    const std::vector<double> loaded = image.m_pData;
    Screenshot("processing-1-loaded", &app.MainFrame());

    for (int id : {cmd::kMedianXY, cmd::kFlattenXY, cmd::kGauss5x5, cmd::kHipassGaussX, cmd::kRotate90})
        EXPECT_TRUE(app.Enabled(id)) << id;
    for (int id : {cmd::kSobelHoriz, cmd::kRotate180, cmd::kRotate270, cmd::kEditUndo})
        EXPECT_FALSE(app.Enabled(id)) << id;

    // A palette cursor the user dragged: the flatten stretches the palette over the new
    // range, and Undo gives back the picture as it was, palette and all.
    std::vector<ColorCursor>& cursors =
        (*doc.Doc().FindImage(frame->m_strImageName)->m_pSettings)[static_cast<std::size_t>(frame->m_nSettingsIndex)]
            .m_ColorCursors;
    ASSERT_GE(cursors.size(), 2u);
    cursors.front().m_Position = (cursors.front().m_Position + cursors.back().m_Position) / 2;
    const std::vector<ColorCursor> dragged = cursors;
    doc.UpdateAllViews(nullptr, kHintColors, frame);
    const QImage before = ViewPicture(*frame);

    ASSERT_TRUE(app.Run(cmd::kFlattenXY));
    EXPECT_NE(image.m_pData, loaded);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(app.Enabled(cmd::kEditUndo));
    EXPECT_NE(cursors.front().m_Position, dragged.front().m_Position);
    EXPECT_NE(ViewPicture(*frame), before);
    Screenshot("processing-2-flattened", &app.MainFrame());

    ASSERT_TRUE(app.Run(cmd::kEditUndo));
    EXPECT_EQ(image.m_pData, loaded);
    // The heights are the file's again: nothing to save, nothing to ask at quit.
    EXPECT_FALSE(doc.IsModified());
    EXPECT_FALSE(app.Enabled(cmd::kEditUndo));
    EXPECT_EQ(cursors.front().m_Position, dragged.front().m_Position);
    EXPECT_EQ(ViewPicture(*frame), before);
    Screenshot("processing-3-undone", &app.MainFrame());

    // The rectangle mode through the view, a crop of both images.
    ASSERT_TRUE(app.Run(cmd::kRectMode));
    EXPECT_EQ(doc.Doc().m_nSelectMode, 2);
    doc.Doc().m_ptSel1 = {10, 20}, doc.Doc().m_ptSel2 = {110, 70};
    doc.Doc().m_bSel1Set = doc.Doc().m_bSel2Set = 1;
    CDialogWorkBench& bench = app.MainFrame().WorkBench();
    bench.OnTimer();
    ASSERT_TRUE(app.Run(cmd::kCrop));
    EXPECT_EQ(std::make_pair(image.m_nWidth, image.m_nHeight), std::make_pair(100, 50));
    // The work bench shows the new sizes though the active frame stayed.
    bench.OnTimer();
    QStringList labels;
    for (const QLabel* label : bench.findChildren<QLabel*>())
        labels << label->text();
    EXPECT_TRUE(labels.contains("mx= 100") && labels.contains("my= 50")) << labels.join('|').toStdString();
    Screenshot("processing-4-cropped", &app.MainFrame());
    ASSERT_TRUE(app.Run(cmd::kEditUndo));
    EXPECT_EQ(image.m_pData, loaded);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(app.Prompt().messages.empty());
}

namespace {

// Red pixels of the profile's curve inside its frame off the centre line, where a profile of
// no length lies: how much of a segment the profile shows.
int CurveOffTheCentreLine(const QImage& picture)
{
    const PlotGeometry geometry = PlotGeometryFor(0, 0, picture.width(), picture.height());
    int count = 0;
    for (int y = geometry.ValueToPixelY(0.5); y < geometry.ValueToPixelY(-0.5); ++y)
        for (int x = geometry.ValueToPixelX(-0.5); x < geometry.ValueToPixelX(0.5); ++x)
            count += std::abs(y - geometry.m_nOrgY) > 3 && picture.pixel(x, y) == qRgb(255, 0, 0);
    return count;
}

} // namespace

// The profile shows the segment of the 2D view and no other: a crop or a rotation forgets the
// points, and so does the Undo of either once new points lie on the cut or turned image.
TEST(ProcessingScenario, TheProfileShowsNoSegmentThe2DViewDoesNotShow)
{
    SPM_REQUIRE_SAMPLES();
    RunningApp app(SamplePath("nanoscope-v432-height-amplitude.007").string());
    ASSERT_TRUE(app.Activate(":2D"));
    CMDIChildFrame& frame2D = *app.MainFrame().MDIGetActive();
    CMDIDoc& doc = frame2D.GetActiveDocument()->Doc();
    QWidget& view2D = *frame2D.GetActiveView()->Widget();
    // Two points placed by the user: a click when both are placed starts anew.
    const auto placeTwoPoints = [&](int mode) {
        app.MainFrame().ActivateFrame(&frame2D);
        RunningApp::Pump();
        if (doc.m_nSelectMode != mode) {
            ASSERT_TRUE(app.Run(mode == 1 ? cmd::kTwoPointMode : cmd::kRectMode));
        }
        const auto click = [&](QPointF at) {
            SendMouse(view2D, QEvent::MouseMove, at, Qt::NoButton);
            SendMouse(view2D, QEvent::MouseButtonPress, at);
        };
        for (const QPointF at : {QPointF(view2D.width() * 0.35, view2D.height() * 0.3),
                                 QPointF(view2D.width() * 0.65, view2D.height() * 0.7)}) {
            click(at);
            if (doc.m_bSel1Set == 0)  // the click cleared both points: the next places the first
                click(at);
        }
        ASSERT_EQ(std::make_pair(doc.m_bSel1Set, doc.m_bSel2Set), std::make_pair(1, 1));
    };
    placeTwoPoints(1);
    ASSERT_TRUE(app.Run(cmd::kOpenProfile));
    auto& profile = dynamic_cast<CProfileView&>(*app.MainFrame().MDIGetActive()->GetActiveView());
    EXPECT_GT(CurveOffTheCentreLine(profile.Picture()), 100);

    struct Step {
        const char* name;
        int mode;       // of the two points placed before the command
        int command;
        bool newPoints;  // placed again between the command and Undo
    };
    for (const Step& step : {Step{"crop", 2, cmd::kCrop, true}, Step{"rotation", 1, cmd::kRotate90, true}}) {
        placeTwoPoints(step.mode);
        ASSERT_TRUE(app.Run(step.command)) << step.name;
        EXPECT_EQ(std::make_pair(doc.m_bSel1Set, doc.m_bSel2Set), std::make_pair(0, 0)) << step.name;
        EXPECT_EQ(CurveOffTheCentreLine(profile.Picture()), 0) << step.name;
        Screenshot(std::string("processing-profile-after-") + step.name, &app.MainFrame());
        placeTwoPoints(1);
        EXPECT_GT(CurveOffTheCentreLine(profile.Picture()), 100) << step.name;
        ASSERT_TRUE(app.Run(cmd::kEditUndo)) << step.name;
        EXPECT_EQ(CurveOffTheCentreLine(profile.Picture()), 0) << step.name << " undone";
    }
    EXPECT_TRUE(app.Prompt().messages.empty());
}

namespace {

void AddCommands(const std::vector<MenuItem>& items, std::set<int>& ids)
{
    for (const MenuItem& item : items) {
        if (item.id > 0)
            ids.insert(item.id);
        AddCommands(item.items, ids);
    }
}

// Every command a menu item or a toolbar button carries.
std::set<int> MenuAndToolBarCommands()
{
    std::set<int> ids;
    AddCommands(AppMenu(), ids);
    AddCommands(DocumentMenu(), ids);
    for (int id : StandardToolBarButtons())
        if (id > 0)
            ids.insert(id);
    return ids;
}

// The commands that act on the active frame's image: they change it, save it, or select in
// its 2D view.
const std::set<int> kImageCommands{
    cmd::kMedianX,     cmd::kMedianY,     cmd::kMedianXY,      cmd::kFlattenX,      cmd::kFlattenY,
    cmd::kFlattenXY,   cmd::kAlignX,      cmd::kAlignY,        cmd::kAlignXY,       cmd::kNormalize,
    cmd::kGauss3x3,    cmd::kGauss5x5,    cmd::kLaplace3x3,    cmd::kLaplace5x5,    cmd::kLowpass3x3,
    cmd::kLowpass5x5,  cmd::kHighpass3x3, cmd::kHighpass5x5,   cmd::kSharpen,       cmd::kSobelVert,
    cmd::kHipassGaussX, cmd::kRotate90,   cmd::kCrop,          cmd::kFourierTransform, cmd::kEditUndo,
    cmd::kFileSave,    cmd::kFileSaveAs,  cmd::kSaveImageConfig, cmd::kTwoPointMode, cmd::kRectMode,
    cmd::kThreePointMode,
};
// Those of them that need the 2D view: the selection and what works on it.
const std::set<int> k2DCommands{cmd::kCrop, cmd::kFourierTransform, cmd::kTwoPointMode, cmd::kRectMode,
                                cmd::kThreePointMode};

}  // namespace

TEST(ProcessingScenario, CommandsOnTheImageAreEnabledOnlyWhileTheActiveFrameShowsOne)
{
    SPM_REQUIRE_DISPLAY();
    RunningApp app(kBundledSample);
    const std::set<int> ids = MenuAndToolBarCommands();
    std::map<std::string, std::map<int, bool>> enabled;
    const auto look = [&](const std::string& kind) {
        for (int id : ids)
            enabled[kind][id] = app.Enabled(id);
    };
    ASSERT_TRUE(app.Activate(":2D"));
    // An undo copy, so that Undo depends on the frame alone.
    CImageProcessor().MakeUndoCopy(*app.ActiveDoc().Doc().ImageList().front().m_pImage);
    look(":2D");
    ASSERT_TRUE(app.Activate(":3D"));
    look(":3D");
    // A profile frame plots every image of the document and shows none of its own.
    ASSERT_TRUE(app.Run(cmd::kOpenProfile));
    ASSERT_EQ(app.MainFrame().MDIGetActive()->m_strViewKind, ":Profile");
    look(":Profile");
    for (int id : ids) {
        if (kImageCommands.contains(id)) {
            EXPECT_TRUE(enabled[":2D"][id]) << id;
            EXPECT_EQ(enabled[":3D"][id], !k2DCommands.contains(id)) << id;
            EXPECT_FALSE(enabled[":Profile"][id]) << id;
        } else {
            // What works without an image works in every frame alike.
            EXPECT_EQ(enabled[":Profile"][id], enabled[":2D"][id]) << id;
            EXPECT_EQ(enabled[":3D"][id], enabled[":2D"][id]) << id;
        }
    }

    // The toolbar's Rotate as the user meets it: greyed, and a click says nothing.
    RunningApp::Pump(400);
    QAction* rotate = app.App().Commands().Action(cmd::kRotate90);
    ASSERT_NE(rotate, nullptr);
    EXPECT_FALSE(rotate->isEnabled());
    rotate->trigger();
    RunningApp::Pump();
    EXPECT_TRUE(app.Prompt().messages.empty());

    // No frame at all: the commands of the menu without a document work as before.
    ASSERT_TRUE(app.MainFrame().DocManager().CloseAllDocuments());
    RunningApp::Pump();
    ASSERT_EQ(app.MainFrame().MDIGetActive(), nullptr);
    look("");
    std::set<int> withoutDocument;
    AddCommands(AppMenu(), withoutDocument);
    for (int id : ids) {
        if (kImageCommands.contains(id)) {
            EXPECT_FALSE(enabled[""][id]) << id;
        }
        if (withoutDocument.contains(id)) {
            EXPECT_EQ(enabled[""][id], enabled[":2D"][id]) << id;
        }
    }
}
