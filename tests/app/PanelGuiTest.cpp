// The three panels and the profile view on real frames: an edit reaches the active view at
// the next tick, a palette change recolours it, a processing command redraws the palette at
// once, *.cnf and *.plt files go out and come back through the panels, Escape and Enter hide
// the panels until the switch shows them, and the profile view drags its cursors. Every test
// runs on the bundled sample, so that a bare clone runs them, and again on a real NanoScope
// file when the samples are there.
#include <gtest/gtest.h>

#include <QApplication>
#include <QScreen>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>

#include <array>
#include <filesystem>
#include <fstream>

#include "AppTestSupport.h"
#include "support/TestPaths.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "app/panels/ColorSwatch.h"
#include "app/panels/DlgColor.h"
#include "app/panels/DlgConfig.h"
#include "app/views/ProfileView.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/core/ProfileFile.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PaletteEditing.h"

namespace {

// The document the panels work on: two images, Height_01 and a second one.
struct PanelSource {
    const char* name;
    bool bundled;         // the sample in the repository, else a real NanoScope file
};

void PrintTo(const PanelSource& source, std::ostream* out)
{
    *out << source.name;
}

const char* const kNanoscope = "nanoscope-v432-height-amplitude.007";

// A view that records the updates sent to its frame alone.
class ProbeView : public QWidget, public CView {
public:
    QWidget* Widget() override { return this; }
    void OnUpdate(int hint, const CMDIChildFrame* frame) override
    {
        if (frame != nullptr && frame == GetParentFrame())
            hints.push_back(hint);
    }
    std::vector<int> hints;
};

// The application on a two-image document, with a probe on the active frame: the NanoScope
// sample with its amplitude image, or the bundled sample with a copy of it added.
class PanelGui : public testing::TestWithParam<PanelSource> {
protected:
    void SetUp() override
    {
        if (!GetParam().bundled) {
            if (SamplesDir().empty())
                GTEST_SKIP() << "real instrument samples not found; the bundled sample ran these tests";
            // A copy: the view settings may be saved beside it.
            m_strFile = kNanoscope;
            m_strSecond = "Amplitude_02";
            std::filesystem::copy_file(SamplePath(kNanoscope), m_files / m_strFile);
            m_app = std::make_unique<RunningApp>((m_files / m_strFile).string());
            return;
        }
        const std::filesystem::path bundled = std::filesystem::path(SPM_SOURCE_DIR) / "resources/samples/sample.spm";
        m_strFile = "sample.spm";
        m_strSecond = "Height_02";
        std::filesystem::copy_file(bundled, m_files / m_strFile);
        std::filesystem::copy_file(bundled, m_files / "second.spm");
        m_app = std::make_unique<RunningApp>((m_files / m_strFile).string());
        Main().AddImageToActiveDoc((m_files / "second.spm").string(), 0);
        RunningApp::Pump();
    }
    void TearDown() override
    {
        if (m_probeDoc != nullptr)
            m_probeDoc->RemoveView(&m_probe);
        m_app.reset();
    }

    CMainFrame& Main() { return m_app->MainFrame(); }
    CMDIChildFrame& Activate(const std::string& title)
    {
        for (QMdiSubWindow* window : Main().MDIClient()->subWindowList())
            if (window->windowTitle().toStdString().starts_with(m_strFile + ":" + title))
                Activate(*qobject_cast<CMDIChildFrame*>(window));
        CMDIChildFrame* frame = Main().MDIGetActive();
        EXPECT_TRUE(frame->windowTitle().toStdString().find(title) != std::string::npos);
        return *frame;
    }
    // The test programs share one display: another program's window takes the keyboard focus
    // and gives it back at any time, and the focus then returns to the widget that had it. The
    // frame keeps it, so a focus coming back cannot make an older frame active again.
    void Activate(CMDIChildFrame& frame)
    {
        Main().ActivateFrame(&frame);
        frame.setFocus();
    }
    void Probe(CMDIChildFrame& frame)
    {
        m_probeDoc = frame.GetActiveDocument();
        m_probeDoc->AddView(&m_probe, &frame);
    }
    CMDIDoc& Doc() { return Main().MDIGetActive()->GetActiveDocument()->Doc(); }
    // The view-settings marks of both records of both images: {first 2D, first 3D, second 2D,
    // second 3D}.
    std::array<bool, 4> Marks()
    {
        const std::vector<ImageEntry>& images = Doc().ImageList();
        return {images[0].m_bSettingsModified[0], images[0].m_bSettingsModified[1],
                images[1].m_bSettingsModified[0], images[1].m_bSettingsModified[1]};
    }
    void ClearMarks()
    {
        for (const ImageEntry& entry : Doc().ImageList())
            for (const CPresentationConfig& record : *entry.m_pSettings)
                Doc().SetSettingsModified(record, false);
    }
    // The record the active frame shows.
    CPresentationConfig& Record()
    {
        const CMDIChildFrame& frame = *Main().MDIGetActive();
        return (*Doc().FindImage(frame.m_strImageName)->m_pSettings)[frame.m_nSettingsIndex == 0 ? 0 : 1];
    }
    // What is queued runs, then each panel ticks: the panels' own timers are never waited for.
    void Tick()
    {
        RunningApp::Pump(0);
        Main().ConfigPanel().OnTimer();
        Main().ColorPanel().OnTimer();
    }
    // What the frame's view shows once it has finished drawing.
    static QImage Picture(CMDIChildFrame& frame)
    {
        RunningApp::Pump(400);
        return frame.GetActiveView()->Widget()->grab().toImage();
    }
    // The whole screen, as the user sees it.
    void Screenshot(const std::string& name)
    {
        RunningApp::Pump(200);
        std::filesystem::create_directories(SPM_SCREENSHOT_DIR);
        QGuiApplication::primaryScreen()->grabWindow(0).save(QString(SPM_SCREENSHOT_DIR "/") +
                                                            QString::fromStdString(name) + "-" + GetParam().name + ".png");
    }

    const ScratchDir m_files;
    std::string m_strFile;     // the document's file name, which starts its frames' titles
    std::string m_strSecond;   // its second image
    std::unique_ptr<RunningApp> m_app;
    ProbeView m_probe;
    CDocument* m_probeDoc = nullptr;
};

void AnswerColour(ScriptedPrompt& prompt, COLORREF colour)
{
    prompt.dialogScript.push_back([colour](IDialogModel& model) {
        dynamic_cast<CColorDialogModel&>(model).m_color = colour;
        return true;
    });
}

} // namespace

TEST_P(PanelGui, ConfigurationEditReachesTheActiveViewAtTheNextTick)
{
    CMDIChildFrame& frame = Activate("Height_01:3D");
    m_app->Run(cmd::kShowConfigPanel);
    Tick();
    C3DdlgConfig& panel = Main().ConfigPanel();
    EXPECT_EQ(panel.ImageList().count(), 2);
    Probe(frame);
    const QImage before = Picture(frame);
    panel.Edit(kEditZScale).setText("12.5");
    EXPECT_EQ(Record().m_Z_Scale, 12.5f);
    EXPECT_TRUE(m_probe.hints.empty());
    Tick();
    EXPECT_EQ(m_probe.hints, std::vector<int>{kHintRepaint});
    EXPECT_NE(Picture(frame), before);
    // A refused value shows the framework's message and is written nowhere.
    panel.Edit(kEditZScale).setText("5000");
    EXPECT_EQ(m_app->Prompt().messages.back(), "Please enter a number between 0.1 and 1000.");
    EXPECT_EQ(Record().m_Z_Scale, 12.5f);
    // The other edits go on working; grid lines send their own hint.
    panel.Edit(kEditXLineDecim).setText("7");
    EXPECT_EQ(Record().m_XLineDecim, 7);
    panel.Edit(kEditZScale).setText("12.5");
    Tick();
    EXPECT_EQ(m_probe.hints.back(), kHintXLines);
    // Bars stop at their ends: Tilt at 90, Angle at 360.
    for (int page = 0; page < 40; ++page) {
        panel.ScrollBar(1).triggerAction(QAbstractSlider::SliderPageStepAdd);  // Tilt
        panel.ScrollBar(2).triggerAction(QAbstractSlider::SliderPageStepAdd);  // Angle
    }
    EXPECT_EQ(Record().m_Tilt, 90.0f);
    EXPECT_EQ(Record().m_Angle, 360.0f);
    EXPECT_EQ(panel.Edit(kEditAngle).text(), "360");
    // Choosing the colour source tells the view at once.
    panel.ImageList().setCurrentRow(1);
    EXPECT_EQ(Record().m_NameOfImageForColor, m_strSecond);
    EXPECT_EQ(m_probe.hints.back(), kHintColors);
    Screenshot("panels-01-configuration");
}

TEST_P(PanelGui, ConfigurationFollowsTheFrameAndSavesAndLoadsCnf)
{
    Activate("Height_01:3D");
    m_app->Run(cmd::kShowConfigPanel);
    Tick();
    C3DdlgConfig& panel = Main().ConfigPanel();
    const ScratchDir folder;
    const std::string saved = (folder / "conf.CNF").string();
    AnswerFileDialog(m_app->Prompt(), saved);
    panel.OnSave2D3DConf();
    ASSERT_TRUE(std::filesystem::exists(saved + ".cnf"));
    const float tilt = Record().m_Tilt;
    panel.Edit(kEditTilt).setText("33");
    EXPECT_EQ(Record().m_Tilt, 33.0f);
    AnswerFileDialog(m_app->Prompt(), saved + ".cnf");
    panel.OnLoad2D3DConf();
    EXPECT_EQ(Record().m_Tilt, tilt);
    EXPECT_EQ(panel.Edit(kEditTilt).text().toDouble(), tilt);
    // The 2D frame of the same image edits its own record.
    Activate("Height_01:2D");
    Tick();
    panel.Edit(kEditTilt).setText("21");
    EXPECT_EQ(Record().m_Tilt, 21.0f);
    EXPECT_EQ((*Doc().FindImage("Height_01")->m_pSettings)[1].m_Tilt, tilt);
}

TEST_P(PanelGui, PaletteChangeRecoloursTheViewAndPltFilesRoundTrip)
{
    CMDIChildFrame& frame = Activate("Height_01:2D");
    m_app->Run(cmd::kShowPalettePanel);
    Tick();
    C3DdlgColor& panel = Main().ColorPanel();
    ASSERT_NE(panel.Palette(), nullptr);
    Probe(frame);
    const std::vector<ColorCursor> original = *panel.Palette();
    ASSERT_GE(original.size(), 2u);
    // Pick the top cursor's mark on the strip, recolour it.
    const GdiRect strip = panel.Strip().ClientInPanel();
    const int y = strip.bottom - int(strip.Height() * original.back().m_Position) + 1;
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(strip.left + 5, y), panel.mapToGlobal(QPointF(strip.left + 5, y)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &press);
    EXPECT_EQ(panel.SelectedCursor(), original.size() - 1);
    const QImage before = Picture(frame);
    AnswerColour(m_app->Prompt(), MakeColor(255, 0, 0));
    panel.OnCursorCommand(kCmdChangeColor);
    EXPECT_EQ(panel.Palette()->back().m_Color, MakeColor(255, 0, 0));
    Tick();
    EXPECT_EQ(m_probe.hints, std::vector<int>{kHintColors});
    EXPECT_NE(Picture(frame), before);
    Screenshot("panels-02-palette");
    // Dragged to the top of the strip, it stops 0.01 below the end.
    QMouseEvent drag(QEvent::MouseMove, QPointF(strip.left + 5, strip.top - 20),
                     panel.mapToGlobal(QPointF(strip.left + 5, strip.top - 20)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&panel, &drag);
    EXPECT_FLOAT_EQ(panel.Palette()->back().m_Position, 0.99f);
    EXPECT_TRUE(panel.Edited());
    // Out to a file and back over a changed palette.
    const ScratchDir folder;
    const std::string saved = (folder / "red").string();
    AnswerFileDialog(m_app->Prompt(), saved);
    panel.OnSavePalette();
    ASSERT_TRUE(std::filesystem::exists(saved + ".plt"));
    AnswerFileDialog(m_app->Prompt(), (folder / "missing" / "red.plt").string());
    panel.OnSavePalette();
    EXPECT_EQ(m_app->Prompt().messages.back(), "Unable to open file for writing");
    const std::vector<ColorCursor> red = *panel.Palette();
    panel.Palette()->pop_back();
    AnswerFileDialog(m_app->Prompt(), saved + ".plt");
    panel.OnLoadPalette();
    // Each cursor's colour and rounded position through the file: ColorTableTest.
    ASSERT_EQ(panel.Palette()->size(), red.size());
    EXPECT_EQ(panel.Palette()->back().m_Color, MakeColor(255, 0, 0));
}

// A processing command changes the heights and so the range and the histogram beside the
// palette: the panel shows them at once, as it would after looking its source up again, and
// so after Undo.
TEST_P(PanelGui, PaletteFollowsProcessingCommandsAtOnce)
{
    Activate("Height_01:2D");
    m_app->Run(cmd::kShowPalettePanel);
    Tick();
    C3DdlgColor& panel = Main().ColorPanel();
    // What the panel shows once it has looked its colour source up again.
    const auto lookedUpAgain = [&] {
        panel.ForgetActiveFrame();
        Tick();
        return panel.Bar().Picture();
    };
    const QImage loaded = panel.Bar().Picture();
    ASSERT_FALSE(loaded.isNull());
    for (int command : {cmd::kMedianX, cmd::kEditUndo, cmd::kNormalize}) {
        const QImage before = panel.Bar().Picture();
        ASSERT_TRUE(m_app->Run(command)) << command;
        const QImage shown = panel.Bar().Picture();
        if (command == cmd::kMedianX)
            Screenshot("panels-05-palette-after-median");
        EXPECT_NE(shown, before) << command;
        EXPECT_EQ(shown, lookedUpAgain()) << command;
    }
    EXPECT_TRUE(m_app->Prompt().messages.empty());
}

// Escape hides the work bench and the configuration panel, Enter or Escape the palette panel,
// from whichever of their controls has the focus; the switch button stays checked and shows
// the panel again.
TEST_P(PanelGui, EscapeAndEnterHideThePanelsUntilTheSwitchShowsThem)
{
    const auto press = [](QWidget& control, Qt::Key key) {
        control.setFocus();
        QTest::keyClick(&control, key);
        RunningApp::Pump(0);
    };
    CDialogWorkBench& bench = Main().WorkBench();
    C3DdlgConfig& config = Main().ConfigPanel();
    C3DdlgColor& palette = Main().ColorPanel();
    QPushButton* loadPalette = palette.findChild<QPushButton*>("1059");
    ASSERT_NE(loadPalette, nullptr);
    struct Case {
        int command;
        QWidget& panel;
        QWidget& control;
        Qt::Key key;
        bool hides;
    };
    const Case cases[] = {
        {cmd::kShowWorkBench, bench, bench.Tree(), Qt::Key_Return, false},
        {cmd::kShowWorkBench, bench, bench.Tree(), Qt::Key_Escape, true},
        {cmd::kShowWorkBench, bench, *bench.findChild<QPlainTextEdit*>(), Qt::Key_Escape, true},  // the note
        {cmd::kShowConfigPanel, config, config.Edit(kEditTilt), Qt::Key_Enter, false},
        {cmd::kShowConfigPanel, config, config.Edit(kEditTilt), Qt::Key_Escape, true},
        {cmd::kShowConfigPanel, config, config.ImageList(), Qt::Key_Escape, true},
        {cmd::kShowPalettePanel, palette, *loadPalette, Qt::Key_Return, true},
        {cmd::kShowPalettePanel, palette, *loadPalette, Qt::Key_Enter, true},
        {cmd::kShowPalettePanel, palette, *loadPalette, Qt::Key_Escape, true},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(m_app->Run(c.command));
        ASSERT_TRUE(c.panel.isVisible());
        press(c.control, c.key);
        EXPECT_EQ(c.panel.isVisible(), !c.hides) << c.command << " " << c.key;
        EXPECT_EQ(Main().CheckedPanelSwitch(), c.command);
        if (c.hides && &c.control != &c.panel)
            Screenshot("panels-04-hidden-" + std::to_string(c.command) + "-" + std::to_string(&c - cases));
    }
    // The switch shows a hidden panel again.
    ASSERT_TRUE(m_app->Run(cmd::kShowPalettePanel));
    EXPECT_TRUE(palette.isVisible());
    EXPECT_FALSE(bench.isVisible());
    EXPECT_FALSE(config.isVisible());
}

// The panels kept the document since their last tick: closed since, it is touched no more.
TEST_P(PanelGui, PanelsDoNothingOnceTheirDocumentClosed)
{
    CMDIChildFrame& frame = Activate("Height_01:2D");
    Tick();
    C3DdlgConfig& config = Main().ConfigPanel();
    C3DdlgColor& palette = Main().ColorPanel();
    ASSERT_NE(config.ActiveRecord(), nullptr);
    ASSERT_NE(palette.Palette(), nullptr);
    ASSERT_TRUE(Main().DocManager().CloseDocument(*frame.GetActiveDocument()));
    m_app->Prompt().messages.clear();
    config.Edit(kEditTilt).setText("12");
    config.OnSave2D3DConf();
    palette.OnCursorCommand(kCmdDelCursor);
    palette.OnLoadPalette();
    EXPECT_EQ(config.ActiveRecord(), nullptr);
    EXPECT_EQ(palette.Palette(), nullptr);
    EXPECT_TRUE(m_app->Prompt().messages.empty());
    Tick();
}

// Every kind of edit of the panels and the 3D view marks the record it changed, and only
// that one; showing a record (which rounds what the controls show), an edit that leaves the
// record as it was and a Cancel mark nothing. A *.cnf written by the panel into the image's
// own presentation file clears the record's mark.
TEST_P(PanelGui, UserEditsMarkTheirRecordsViewSettings)
{
    C3DdlgConfig& config = Main().ConfigPanel();
    C3DdlgColor& palette = Main().ColorPanel();
    m_app->Run(cmd::kShowConfigPanel);
    // Values the controls cannot show: loading them rounds the record, which is no edit.
    for (CPresentationConfig& record : *Doc().ImageList()[0].m_pSettings) {
        record.m_Tilt = 45.6f;
        record.m_Z_Scale = 30.37f;
    }
    const std::string second2DFrame = m_strSecond + ":2D";
    for (const std::string& frame : {std::string("Height_01:3D"), std::string("Height_01:2D"), second2DFrame,
                                     std::string("Height_01:3D")}) {
        Activate(frame);
        Tick();
    }
    palette.ForgetActiveFrame();
    Tick();
    const std::array<bool, 4> none{};
    EXPECT_EQ(Marks(), none);
    EXPECT_EQ(Record().m_Tilt, 45.0f);

    const ScratchDir folder;
    const std::string other = (folder / "other.cnf").string();
    const std::string own = PresentationFilePath((m_files / m_strFile).string());
    WriteFile(other, "[Height_01_Presentation3D]\r\nTilt=12\r\n");
    const auto click = [](QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(3, 3)); };
    const auto button = [&config](const char* id) { return config.findChild<QAbstractButton*>(id); };
    const auto view3D = [this](QEvent::Type type, QPointF at, Qt::MouseButton button) {
        QWidget& view = *Main().MDIGetActive()->GetActiveView()->Widget();
        QMouseEvent event(type, at, view.mapToGlobal(at), type == QEvent::MouseMove ? Qt::NoButton : button,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
        QApplication::sendEvent(&view, &event);
    };
    const auto cursorMark = [&palette](std::size_t index) {
        const GdiRect strip = palette.Strip().ClientInPanel();
        return QPointF(strip.left + 5, strip.bottom - strip.Height() * (*palette.Palette())[index].m_Position);
    };
    const auto pick = [&palette, &cursorMark](std::size_t index) {
        const QPointF at = cursorMark(index);
        QMouseEvent press(QEvent::MouseButtonPress, at, palette.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&palette, &press);
    };
    struct Case {
        const char* what;
        std::string frame;
        std::function<void()> edit;
        std::array<bool, 4> marks;
    };
    const std::array<bool, 4> first3D{false, true, false, false}, first2D{true, false, false, false};
    const std::array<bool, 4> second2D{false, false, true, false};
    const Case cases[] = {
        {"Z scale typed", "Height_01:3D", [&] { config.Edit(kEditZScale).setText("44.5"); }, first3D},
        {"same Z scale typed", "Height_01:3D", [&] { config.Edit(kEditZScale).setText("44.50"); }, none},
        {"refused Z scale", "Height_01:3D", [&] { config.Edit(kEditZScale).setText("5000"); }, none},
        {"tilt bar", "Height_01:3D", [&] { config.ScrollBar(1).triggerAction(QAbstractSlider::SliderSingleStepSub); }, first3D},
        {"border check", "Height_01:2D", [&] { click(button("1011")); }, first2D},
        {"polygon radio", "Height_01:2D", [&] { button("1021")->click(); }, first2D},
        {"line radio", "Height_01:2D", [&] { button("1024")->click(); }, first2D},
        {"swatch OK", "Height_01:3D", [&] { AnswerColour(m_app->Prompt(), MakeColor(1, 2, 3)); click(&config.Swatch(kSwatchBackground)); }, first3D},
        {"swatch same colour", "Height_01:3D", [&] { AnswerColour(m_app->Prompt(), MakeColor(1, 2, 3)); click(&config.Swatch(kSwatchBackground)); }, none},
        {"swatch Cancel", "Height_01:3D", [&] { click(&config.Swatch(kSwatchPolygon)); }, none},
        {"colour source", "Height_01:2D", [&] { config.ImageList().setCurrentRow(1); }, first2D},
        {"Load 2D/3D Conf", "Height_01:3D", [&] { AnswerFileDialog(m_app->Prompt(), other); config.OnLoad2D3DConf(); }, first3D},
        {"Load cancelled", "Height_01:3D", [&] { config.OnLoad2D3DConf(); }, none},
        {"Save into another file", "Height_01:3D", [&] { config.Edit(kEditTilt).setText("13"); AnswerFileDialog(m_app->Prompt(), other); config.OnSave2D3DConf(); }, first3D},
        {"Save into the image's own file", "Height_01:3D", [&] { config.Edit(kEditTilt).setText("14"); AnswerFileDialog(m_app->Prompt(), own); config.OnSave2D3DConf(); }, none},
        {"palette drag", second2DFrame, [&] {
             pick(0);
             const QPointF at = cursorMark(0) - QPointF(0, 10);
             QMouseEvent drag(QEvent::MouseMove, at, palette.mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
             QApplication::sendEvent(&palette, &drag);
         }, second2D},
        {"palette recolour", second2DFrame, [&] { pick(1); AnswerColour(m_app->Prompt(), MakeColor(9, 9, 9)); palette.OnCursorCommand(kCmdChangeColor); }, second2D},
        {"palette add cancelled", second2DFrame, [&] { palette.OnCursorCommand(kCmdAddCursor); }, none},
        {"palette delete", second2DFrame, [&] { pick(1); palette.OnCursorCommand(kCmdDelCursor); }, second2D},
        {"3D turn", "Height_01:3D", [&] { view3D(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton); view3D(QEvent::MouseMove, {140, 90}, Qt::LeftButton); }, first3D},
        {"3D Z scale", "Height_01:3D", [&] { view3D(QEvent::MouseButtonPress, {100, 100}, Qt::RightButton); view3D(QEvent::MouseMove, {100, 80}, Qt::RightButton); }, first3D},
        {"3D click", "Height_01:3D", [&] { view3D(QEvent::MouseButtonPress, {100, 100}, Qt::LeftButton); view3D(QEvent::MouseButtonRelease, {100, 100}, Qt::LeftButton); }, none},
    };
    for (const Case& c : cases) {
        Activate(c.frame);
        m_app->Run(std::string(c.what).starts_with("palette") ? cmd::kShowPalettePanel : cmd::kShowConfigPanel);
        Tick();
        ClearMarks();
        c.edit();
        Tick();
        EXPECT_EQ(Marks(), c.marks) << c.what;
    }
    // A *.plt file loads over the colour source's palette: Height_01's 2D frame takes its
    // colours from the second image since the colour-source case, so that image's record.
    const std::string plt = (folder / "p.plt").string();
    WriteFile(plt, "[ColorCursor]\r\nNofCursor=2\r\nPosition[0]=0.1\r\nColor[0]=1,1,1\r\nPosition[1]=0.9\r\nColor[1]=2,2,2\r\n");
    Activate("Height_01:2D");
    m_app->Run(cmd::kShowPalettePanel);
    Tick();
    ClearMarks();
    AnswerFileDialog(m_app->Prompt(), plt);
    palette.OnLoadPalette();
    EXPECT_EQ(Marks(), second2D);
    // A *.plt holds the palette alone: saving one leaves the mark.
    AnswerFileDialog(m_app->Prompt(), plt);
    palette.OnSavePalette();
    EXPECT_EQ(Marks(), second2D);
    EXPECT_TRUE(std::filesystem::exists(own));
}

// Closing a document whose second image's palette changed asks about its view settings, in
// our words: Cancel keeps the document, a file that cannot be written says so and keeps it,
// No lets the change go, Yes writes the image's presentation file beside its image file and
// nothing else: for the NanoScope file that is the one file of both images.
TEST_P(PanelGui, ClosingAsksToSaveChangedViewSettings)
{
    const std::string image = Doc().ImageList()[1].m_pImage->m_strPath;
    const std::string cnf = PresentationFilePath(image);
    EXPECT_EQ(std::filesystem::path(cnf).filename(), GetParam().bundled ? "second.cnf" : "nanoscope-v432-height-amplitude.cnf");
    const std::vector<std::uint8_t> imageBytes = FileBytes(image);
    const std::string question = "dialog: Save the view settings of " + m_strFile + ":" + m_strSecond + " to " +
                                 std::filesystem::path(cnf).filename().string() + "?";
    const std::string unable = "message: Unable to open file for writing";
    // What another program or an earlier save left in the file stays.
    const std::string kept = "[Notes]\r\nkeep=this\r\n[Height_01_Presentation2D]\r\nTilt=17.00\r\n";
    WriteFile(cnf, kept);
    const auto open = [this] {
        m_app->App().OpenWithFollowUp((m_files / m_strFile).string());
        RunningApp::Pump();
        if (GetParam().bundled)
            Main().AddImageToActiveDoc((m_files / "second.spm").string(), 0);
        RunningApp::Pump();
    };
    struct Step {
        CQuestionBox::Answer answer;
        bool blocked;      // a folder stands where the file must go
        bool closes;
    };
    const Step steps[] = {{CQuestionBox::Answer::Cancel, false, false},
                          {CQuestionBox::Answer::Yes, true, false},
                          {CQuestionBox::Answer::No, false, true},
                          {CQuestionBox::Answer::Yes, false, true}};
    for (const Step& step : steps) {
        if (m_app->FrameTitles().empty())
            open();
        Activate(m_strSecond + ":2D");
        m_app->Run(cmd::kShowPalettePanel);
        Tick();
        C3DdlgColor& panel = Main().ColorPanel();
        ASSERT_NE(panel.Palette(), nullptr);
        AnswerColour(m_app->Prompt(), MakeColor(0, 128, 0));
        panel.OnCursorCommand(kCmdAddCursor);
        if (step.blocked) {
            std::filesystem::remove(cnf);
            std::filesystem::create_directory(cnf);
        }
        m_app->Prompt().events.clear();
        AnswerQuestion(m_app->Prompt(), static_cast<int>(step.answer));
        CDocument& doc = *Main().MDIGetActive()->GetActiveDocument();
        EXPECT_EQ(Main().DocManager().CloseDocument(doc), step.closes);
        RunningApp::Pump();
        const std::vector<std::string> asked = step.blocked ? std::vector<std::string>{question, unable}
                                                            : std::vector<std::string>{question};
        EXPECT_EQ(m_app->Prompt().events, asked);
        EXPECT_EQ(m_app->FrameTitles().empty(), step.closes);
        if (step.blocked) {
            std::filesystem::remove(cnf);
            WriteFile(cnf, kept);
        }
        if (step.answer != CQuestionBox::Answer::Yes || step.blocked)
            EXPECT_EQ(FileText(cnf), kept);
        if (!step.closes) {
            // Let the document go without a question for the next step.
            ClearMarks();
            ASSERT_TRUE(Main().DocManager().CloseDocument(doc));
            RunningApp::Pump();
        }
    }
    // Yes added the image's sections to the file and kept the rest; the image file is as it was.
    const std::string text = FileText(cnf);
    EXPECT_TRUE(text.starts_with(kept)) << text;
    EXPECT_NE(text.find("[" + m_strSecond + "_ColorCursor2D]"), std::string::npos) << text;
    EXPECT_EQ(text.find("[Height_01_Light2D]"), std::string::npos) << text;
    EXPECT_EQ(FileBytes(image), imageBytes);
}

// Both curves are checked in the scenario; here the cursors move.
TEST_P(PanelGui, ProfileViewDragsItsCursors)
{
    Activate("Height_01:2D");
    CMDIDoc& doc = Doc();
    doc.m_ptSel1 = {10, 20};
    doc.m_ptSel2 = {200, 150};
    m_app->Run(cmd::kOpenProfile);
    CMDIChildFrame& frame = *Main().MDIGetActive();
    auto* view = dynamic_cast<CProfileView*>(frame.GetActiveView());
    ASSERT_NE(view, nullptr);
    Tick();
    Screenshot("panels-03-profile");
    // Drag [a] from 0.25 toward [b]: it stops short of it.
    const int w = view->width() - 110;
    const int xa = int(0.25 * w) + 90;  // the plot area starts 90 pixels in
    const int yMid = (view->height() - 115) / 2 + 35;
    const auto send = [&](QEvent::Type type, int x, Qt::MouseButtons buttons) {
        QMouseEvent event(type, QPointF(x, yMid), view->mapToGlobal(QPointF(x, yMid)), Qt::LeftButton,
                          buttons, Qt::NoModifier);
        QApplication::sendEvent(view, &event);
    };
    send(QEvent::MouseButtonPress, xa, Qt::LeftButton);
    EXPECT_EQ(doc.m_profileCursors.m_bCursorAGrabbed, 1);
    send(QEvent::MouseMove, xa + w / 4, Qt::LeftButton);
    EXPECT_NEAR(doc.m_profileCursors.m_dCursorA, 0.5, 0.01);
    send(QEvent::MouseMove, 90 + w - 5, Qt::LeftButton);
    EXPECT_LT(doc.m_profileCursors.m_dCursorA, doc.m_profileCursors.m_dCursorB);
    EXPECT_NEAR(doc.m_profileCursors.m_dCursorA, 0.5, 0.01);
}

INSTANTIATE_TEST_SUITE_P(Files, PanelGui,
                         testing::Values(PanelSource{"Bundled", true}, PanelSource{"NanoScope", false}),
                         [](const testing::TestParamInfo<PanelSource>& info) { return info.param.name; });
