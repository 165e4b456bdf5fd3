// The three panels and the profile view on real frames: an edit reaches the active view at
// the next tick, a palette change recolours it, a processing command redraws the palette at
// once, *.cnf and *.plt files go out and come back through the panels, Escape and Enter hide
// the panels until the switch shows them, edits mark the view settings that closing asks
// about, and the profile view drags its cursors. Every test runs on the bundled sample, so
// that a bare clone runs them, and again on a real NanoScope file when the samples are there.
#include <gtest/gtest.h>

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QStyleOptionTitleBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <array>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <functional>
#include <tuple>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "app/draw/GdiPainter.h"
#include "app/panels/ColorSwatch.h"
#include "app/panels/DlgColor.h"
#include "app/panels/DlgConfig.h"
#include "app/views/ProfileView.h"
#include "formats/ImageFile.h"
#include "platform/core/DialogModels.h"
#include "platform/core/NumberText.h"
#include "platform/core/ProfileFile.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PaletteEditing.h"
#include "presentation/PresentationFile.h"
#include "support/TestImages.h"

namespace {

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

// Right-clicks `at` in the tree's viewport, reads the entries of the menu it opens (none when
// it opens none) and chooses `entry` (none: closes the menu).
std::vector<std::string> RightClick(QTreeWidget& tree, QPoint at, const QString& entry)
{
    std::vector<std::string> entries;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr || !entries.empty())
            return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            entries.push_back(action->text().toStdString());
            if (action->text() == entry)
                chosen = action;
        }
        menu->close();
        if (chosen != nullptr)
            chosen->trigger();
    });
    poll.start(20);
    // The press, then the context-menu event that the window system sends on it.
    QWidget* viewport = tree.viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, at);
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
    QApplication::sendEvent(viewport, &menuEvent);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, at);
    RunningApp::Pump();
    return entries;
}

// The application on a copy of a two-image document, with a probe on the active frame: the
// NanoScope sample with its amplitude image, or the bundled sample with a copy of it added.
class PanelGui : public testing::TestWithParam<bool> {
protected:
    void SetUp() override
    {
        if (!Bundled()) {
            if (SamplesDir().empty())
                GTEST_SKIP() << "real instrument samples not found; the bundled sample ran these tests";
            m_strFile = kNanoscope;
            m_strSecond = "Amplitude_02";
            std::filesystem::copy_file(SamplePath(kNanoscope), m_files / m_strFile);
        }
        Open();
    }
    void TearDown() override
    {
        if (m_probeDoc != nullptr)
            m_probeDoc->RemoveView(&m_probe);
        m_app.reset();
    }
    bool Bundled() const { return GetParam(); }
    // Opens the document, in a new application when none runs.
    void Open()
    {
        if (Bundled() && !std::filesystem::exists(m_files / m_strFile)) {
            SampleCopy(m_files, m_strFile);
            SampleCopy(m_files, "second.spm");
        }
        if (m_app == nullptr)
            m_app = std::make_unique<RunningApp>();
        m_app->App().OpenWithFollowUp((m_files / m_strFile).string());
        // The added image is kept in the document's image list, so closing asks nothing about
        // it; opening again brings it back by itself.
        if (Bundled() && Doc().ImageList().size() == 1) {
            Main().AddImageToActiveDoc((m_files / "second.spm").string(), 0);
            ASSERT_TRUE(Doc().SaveImageList());
        }
        RunningApp::Pump();
    }

    CMainFrame& Main() { return m_app->MainFrame(); }
    // Activates the frame "<image>:<kind>" of the document.
    CMDIChildFrame& Activate(const std::string& title)
    {
        const std::size_t colon = title.find(':');
        EXPECT_TRUE(m_app->Activate(title.substr(colon), title.substr(0, colon))) << title;
        return *Main().MDIGetActive();
    }
    // Shows a panel through its switch and lets it tick.
    void Show(int panelSwitch)
    {
        m_app->Run(panelSwitch);
        Tick();
    }
    void Probe(CMDIChildFrame& frame)
    {
        m_probeDoc = frame.GetActiveDocument();
        m_probeDoc->AddView(&m_probe, &frame);
    }
    CMDIDoc& Doc() { return m_app->ActiveDoc().Doc(); }
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
    // The mark of the palette's cursor `index` on the palette panel's strip, and a press on it.
    QPointF CursorMark(std::size_t index)
    {
        C3DdlgColor& panel = Main().ColorPanel();
        const GdiRect strip = panel.Strip().ClientInPanel();
        return QPointF(strip.left + 5, strip.bottom - strip.Height() * (*panel.Palette())[index].m_Position);
    }
    void PickCursor(std::size_t index)
    {
        SendMouse(Main().ColorPanel(), QEvent::MouseButtonPress, CursorMark(index));
    }
    // The configuration panel on the 3D frame, its record holding the typed tilt, angle and
    // Z scale.
    C3DdlgConfig& PanelOn3D(const char* tilt, const char* angle, const char* zScale)
    {
        Activate("Height_01:3D");
        Show(cmd::kShowConfigPanel);
        C3DdlgConfig& panel = Main().ConfigPanel();
        for (const auto& [edit, text] : {std::pair{kEditTilt, tilt}, {kEditAngle, angle}, {kEditZScale, zScale}}) {
            Type(panel.Edit(edit), text);
            Leave(panel.Edit(edit));
        }
        Tick();
        return panel;
    }
    // A drag with `button` in the active frame's view from (150, 100) to `to`; the panels tick.
    void DragInView(Qt::MouseButton button, QPointF to)
    {
        QWidget& view = *Main().MDIGetActive()->GetActiveView()->Widget();
        SendMouse(view, QEvent::MouseButtonPress, {150, 100}, button);
        SendMouse(view, QEvent::MouseMove, to, button);
        SendMouse(view, QEvent::MouseButtonRelease, to, button);
        Tick();
    }
    void Screenshot(const std::string& name)
    {
        ::Screenshot(name + (Bundled() ? "-Bundled" : "-NanoScope"), &Main());
    }

    const ScratchDir m_files;
    std::string m_strFile = "sample.spm";   // the document's file name, which starts its frames' titles
    std::string m_strSecond = "Height_02";  // its second image
    std::unique_ptr<RunningApp> m_app;
    ProbeView m_probe;
    CDocument* m_probeDoc = nullptr;
};

} // namespace

// An edit reaches the record at once and the active view at the next tick; *.cnf files go
// out and come back through the panel; each frame edits its own record.
TEST_P(PanelGui, ConfigurationEditReachesTheActiveViewAtTheNextTick)
{
    CMDIChildFrame& frame = Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    C3DdlgConfig& panel = Main().ConfigPanel();
    EXPECT_EQ(panel.ImageList().count(), 2);
    Probe(frame);
    const QImage before = ViewPicture(frame);
    Type(panel.Edit(kEditZScale), "12.5");
    EXPECT_EQ(Record().m_Z_Scale, 12.5f);
    EXPECT_TRUE(m_probe.hints.empty());
    Tick();
    EXPECT_EQ(m_probe.hints, std::vector<int>{kHintRepaint});
    EXPECT_NE(ViewPicture(frame), before);
    // A refused value is written nowhere, and leaving the edit says so.
    Type(panel.Edit(kEditZScale), "5000");
    EXPECT_EQ(Record().m_Z_Scale, 12.5f);
    Leave(panel.Edit(kEditZScale));
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{"Please enter a number between 0.1 and 1000."});
    EXPECT_EQ(panel.Edit(kEditZScale).text(), "12.5");
    // Choosing the colour source tells the view at once.
    panel.ImageList().setCurrentRow(1);
    EXPECT_EQ(Record().m_NameOfImageForColor, m_strSecond);
    EXPECT_EQ(m_probe.hints.back(), kHintColors);
    Screenshot("panels-01-configuration");

    const std::string saved = (m_files / "conf.CNF").string();
    AnswerFileDialog(m_app->Prompt(), saved);
    panel.OnSave2D3DConf();
    ASSERT_TRUE(std::filesystem::exists(saved + ".cnf"));
    const float tilt = Record().m_Tilt;
    Type(panel.Edit(kEditTilt), "33");
    EXPECT_EQ(Record().m_Tilt, 33.0f);
    AnswerFileDialog(m_app->Prompt(), saved + ".cnf");
    panel.OnLoad2D3DConf();
    EXPECT_EQ(Record().m_Tilt, tilt);
    EXPECT_EQ(panel.Edit(kEditTilt).text().toDouble(), tilt);
    Activate("Height_01:2D");
    Tick();
    Type(panel.Edit(kEditTilt), "21");
    EXPECT_EQ(Record().m_Tilt, 21.0f);
    EXPECT_EQ((*Doc().FindImage("Height_01")->m_pSettings)[1].m_Tilt, tilt);
}

// A drag across a wide frame turns the surface more than once and leaves the angle in 0..360;
// a record read from a file with values beyond the panel's ranges comes into them. Neither
// brings a message, on the frame switch that shows the record or on a later one.
TEST_P(PanelGui, RecordsBeyondThePanelsRangesShowWithoutAMessage)
{
    C3DdlgConfig& config = Main().ConfigPanel();
    CMDIChildFrame& frame = Activate("Height_01:3D");
    Tick();
    m_app->Prompt().messages.clear();
    const float start = Record().m_Angle;
    QWidget& view = *frame.GetActiveView()->Widget();
    // 1600 pixels to the right: 480 degrees less, a turn and a third.
    SendMouse(view, QEvent::MouseButtonPress, {100, 100});
    SendMouse(view, QEvent::MouseMove, {1700, 100});
    SendMouse(view, QEvent::MouseButtonRelease, {1700, 100});
    const auto inRange = [](float angle) { return angle >= 0.0f && angle <= 360.0f; };
    EXPECT_TRUE(inRange(Record().m_Angle)) << Record().m_Angle;
    EXPECT_NEAR(std::remainder(Record().m_Angle - (start - 480.0f), 360.0f), 0.0f, 1e-3f);
    const auto switchFrames = [this] {
        for (const char* title : {"Height_01:2D", "Height_01:3D"}) {
            Activate(title);
            Tick();
        }
    };
    switchFrames();
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
    EXPECT_TRUE(inRange(Record().m_Angle)) << Record().m_Angle;
    Screenshot("panels-04-long-drag");

    const std::string file = (m_files / "beyond.cnf").string();
    WriteFile(file, "[Height_01_Presentation3D]\r\nAngle=400\r\n[Height_01_Light3D]\r\nLightAngle=-30\r\n"
                    "LightHight=5000\r\nLightIntensity=3\r\n[Height_01_Material3D]\r\nMatEmiss=-1\r\n"
                    "[Height_01_XYLine3D]\r\nXLineDecim=500\r\nYLineWidth=-2\r\n");
    AnswerFileDialog(m_app->Prompt(), file);
    config.OnLoad2D3DConf();
    switchFrames();
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
    const CPresentationConfig& record = Record();
    EXPECT_EQ(std::tuple(record.m_Angle, record.m_LightAngle, record.m_LightHight, record.m_LightIntensity),
              std::tuple(40.0f, 330.0f, 2000.0f, 1.0f));
    EXPECT_EQ(std::tuple(record.m_MatEmiss, record.m_XLineDecim, record.m_YLineWidth),
              std::tuple(0.0f, std::int16_t(100), std::int16_t(0)));
    EXPECT_EQ(config.Edit(kEditAngle).text().toDouble(), 40.0);
    // What the user types is still checked.
    Type(config.Edit(kEditAngle), "400");
    Leave(config.Edit(kEditAngle));
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{"Please enter a number between 0 and 360."});
}

// What a plain line edit shows after each of `keys` ('\b' is Backspace) typed at the end of
// `text`.
static std::vector<QString> Typing(QString text, const char* keys)
{
    std::vector<QString> shown;
    for (const char* key = keys; *key != '\0'; ++key) {
        if (*key == '\b')
            text.chop(1);
        else
            text += QChar(*key);
        shown.push_back(text);
    }
    return shown;
}

// A click on a bar's left or right arrow.
static void ClickArrow(QScrollBar& bar, bool right)
{
    const int x = right ? bar.width() - 4 : 4;
    QTest::mouseClick(&bar, Qt::LeftButton, {}, QPoint(x, bar.height() / 2));
}

// Whether `edit` shows its text from the first character: as an edit of its size that was
// never scrolled shows it.
static bool ShowsFromStart(QLineEdit& edit)
{
    QLineEdit start(edit.parentWidget());
    start.setGeometry(edit.geometry());
    start.setEnabled(edit.isEnabled());
    start.setText(edit.text());
    start.home(false);
    return start.grab().toImage() == edit.grab().toImage();
}

// Whether `text` is wider than what `edit` shows of it.
static bool Overflows(const QLineEdit& edit, const QString& text)
{
    return edit.fontMetrics().horizontalAdvance(text) > edit.contentsRect().width();
}

// Every edit takes what the user types, key by key over a selection or after emptying it
// with Backspace: the edit is never rewritten while they type, a text on its way to a value
// ("0", "0.", "") takes nothing and says nothing, and what they typed is what the record
// holds and the image's presentation file keeps.
TEST_P(PanelGui, EditsTakeWhatIsTypedKeyByKey)
{
    CMDIChildFrame& frame = Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    C3DdlgConfig& panel = Main().ConfigPanel();
    Probe(frame);
    m_app->Prompt().messages.clear();
    const struct {
        ConfigEdit edit;
        bool overSelection;   // else the text is emptied with Backspace first
        const char* keys;
        double taken;
    } cases[] = {
        {kEditZScale, true, "12.5", 12.5},
        {kEditLightIntensity, true, "0.5", 0.5},
        {kEditMatReflect, true, "0.25", 0.25},
        {kEditMatEmiss, true, "0.75", 0.75},
        {kEditZScale, true, "0.5", 0.5},
        {kEditLightHight, false, "\b\b\b\b\b\b\b1500", 1500},
        {kEditXLineDecim, false, "\b\b\b\b7", 7},
        {kEditYLineWidth, false, "\b\b\b\b12", 12},
        {kEditTilt, true, "72.25", 72.25},
    };
    for (const auto& c : cases) {
        QLineEdit& edit = panel.Edit(c.edit);
        if (c.overSelection)
            edit.selectAll();
        else
            edit.end(false);
        const std::vector<QString> expected = Typing(c.overSelection ? QString() : edit.text(), c.keys);
        m_probe.hints.clear();
        EXPECT_EQ(TypeKeys(edit, c.keys), expected) << kConfigEdits[c.edit].label;
        EXPECT_EQ(EditField(c.edit, Record()), static_cast<float>(c.taken)) << kConfigEdits[c.edit].label;
        Leave(edit);
        EXPECT_EQ(edit.text(), expected.back());
        Tick();
        EXPECT_FALSE(m_probe.hints.empty()) << kConfigEdits[c.edit].label;
    }
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
    Screenshot("panels-09-typed-key-by-key");

    ASSERT_TRUE(m_app->Run(cmd::kSaveImageConfig));
    CPresentationConfig saved;
    saved.m_ImageName = "Height_01";
    const CSpmImage& image = *Doc().ImageList()[0].m_pImage;
    ReadCnf(ImageSettingsPlace(image.m_strPath, false), ViewKind::View3D, saved);
    // The last value typed into each edit: Z scale 0.5.
    for (const auto& c : cases) {
        if (c.edit == kEditZScale && c.taken != 0.5)
            continue;
        EXPECT_EQ(EditField(c.edit, saved), static_cast<float>(c.taken)) << kConfigEdits[c.edit].label;
    }
}

// A text that is no value in its edit's range is said so once, when the user leaves that
// edit, and the record and the edit take back the value from before that text, also when
// other edits were typed in meanwhile; while it stands in one edit, typing in another, a
// check box and a bar go on working without a word about it.
TEST_P(PanelGui, ARefusedTextIsSaidOnceWhenItsEditIsLeft)
{
    Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    C3DdlgConfig& panel = Main().ConfigPanel();
    std::vector<std::string>& messages = m_app->Prompt().messages;
    messages.clear();
    QLineEdit& tiltEdit = panel.Edit(kEditTilt);
    const float tilt = Record().m_Tilt;
    tiltEdit.selectAll();
    TypeKeys(tiltEdit, "2000");
    EXPECT_EQ(tiltEdit.text(), "2000");
    // On its way the text was a tilt: the record keeps the last one while it is typed.
    EXPECT_EQ(Record().m_Tilt, 200.0f);
    // Meanwhile the other controls work, and say nothing of the tilt.
    panel.Edit(kEditAngle).selectAll();
    TypeKeys(panel.Edit(kEditAngle), "45");
    EXPECT_EQ(Record().m_Angle, 45.0f);
    panel.Edit(kEditZScale).selectAll();
    TypeKeys(panel.Edit(kEditZScale), "150");
    EXPECT_EQ(Record().m_Z_Scale, 150.0f);
    const int border = Record().m_Border;
    QTest::mouseClick(panel.findChild<QAbstractButton*>("1011"), Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_NE(Record().m_Border, border);
    ClickArrow(panel.ScrollBar(ScrollBarOf(kEditAngle)), true);
    EXPECT_EQ(Record().m_Angle, 46.0f);
    Tick();
    EXPECT_EQ(messages, std::vector<std::string>{});

    Leave(tiltEdit);
    EXPECT_EQ(messages, std::vector<std::string>{"Please enter a number between 0 and 360."});
    EXPECT_EQ(tiltEdit.text().toStdString(), EditValueText(kEditTilt, tilt));
    EXPECT_EQ(Record().m_Tilt, tilt);
    Leave(tiltEdit);
    panel.Edit(kEditZScale).selectAll();
    TypeKeys(panel.Edit(kEditZScale), "5");
    Tick();
    EXPECT_EQ(messages.size(), 1u);

    // An integer edit left empty, and a text left as another frame becomes active.
    QLineEdit& decimation = panel.Edit(kEditXLineDecim);
    const QString decimationShown = decimation.text();
    decimation.end(false);
    TypeKeys(decimation, "\b\b\b\b");
    EXPECT_EQ(decimation.text(), "");
    Leave(decimation);
    EXPECT_EQ(messages.back(), "Please enter an integer between 0 and 100.");
    EXPECT_EQ(decimation.text(), decimationShown);
    panel.Edit(kEditLightAngle).selectAll();
    TypeKeys(panel.Edit(kEditLightAngle), "-");
    Activate("Height_01:2D");
    Tick();
    Tick();
    EXPECT_EQ(messages, (std::vector<std::string>{"Please enter a number between 0 and 360.",
                                                  "Please enter an integer between 0 and 100.",
                                                  "Please enter a number between 0 and 360."}));
    EXPECT_EQ(panel.Edit(kEditLightAngle).text().toStdString(), EditValueText(kEditLightAngle, Record().m_LightAngle));
}

// The cases that need the display's keyboard focus for themselves.
class PanelGuiFocus : public PanelGui {
protected:
    // The configuration panel on the 3D frame, in the active main window.
    C3DdlgConfig& Start()
    {
        Activate("Height_01:3D");
        Show(cmd::kShowConfigPanel);
        return Focused();
    }
    // Without a window manager, the window a closed dialog leaves is active again only when
    // asked.
    C3DdlgConfig& Focused()
    {
        Main().activateWindow();
        if (!QTest::qWaitForWindowActive(&Main(), kWaitLimitMs))
            ADD_FAILURE() << "the main window does not become active on this display";
        return Main().ConfigPanel();
    }
    // The user puts the focus into the panel's `edit` and types `keys` over its text.
    QLineEdit& TypeInto(ConfigEdit edit, const char* keys)
    {
        QLineEdit& typed = Main().ConfigPanel().Edit(edit);
        typed.setFocus(Qt::MouseFocusReason);
        typed.selectAll();
        QTest::keyClicks(&typed, keys);
        return typed;
    }
    // The real message box answered: its text goes to `said`, and whether the user's action
    // was `done` by the time it came to `doneWhenSaid`.
    static ModalStep NoteMessage(std::vector<std::string>& said, bool& doneWhenSaid, std::function<bool()> done)
    {
        return [&said, &doneWhenSaid, done = std::move(done)](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (box == nullptr)
                return false;
            said.push_back(box->text().toStdString());
            doneWhenSaid = done();
            box->button(QMessageBox::Ok)->click();
            return true;
        };
    }
};

// The user's Tab key and a click on another frame, with the focus where the user put it: the
// edit left says what it takes, and the focus goes on to the next control, or the frame
// clicked becomes the active one, all the same.
TEST_P(PanelGuiFocus, TabOrAClickElsewhereLeavesARefusedEditWithItsMessage)
{
    C3DdlgConfig& panel = Start();
    m_app->Prompt().messages.clear();
    QLineEdit& edit = TypeInto(kEditMatEmiss, "1.5");
    EXPECT_TRUE(m_app->Prompt().messages.empty());
    QTest::keyClick(&edit, Qt::Key_Tab);
    EXPECT_NE(QApplication::focusWidget(), &edit);
    PumpUntil([&] { return !m_app->Prompt().messages.empty(); });
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{"Please enter a number between 0 and 1."});
    EXPECT_EQ(edit.text().toStdString(), EditValueText(kEditMatEmiss, Record().m_MatEmiss));

    // A click on another frame, and one on a check box, which takes effect on its release:
    // each leaves the edit, does what it does, and then the message comes.
    CMDIChildFrame* const other = Main().MDIGetActive() == m_app->Frames().front() ? m_app->Frames().back()
                                                                                    : m_app->Frames().front();
    QAbstractButton& border = *panel.findChild<QAbstractButton*>("1011");
    const struct {
        const char* what;
        QWidget* clicked;
        std::function<bool()> done;
    } clicks[] = {
        // The border of the frame active now, before the other frame's turn.
        {"a check box", &border, [&, before = Record().m_Border] { return Record().m_Border != before; }},
        {"another frame", other->GetActiveView()->Widget(), [&] { Tick(); return Main().MDIGetActive() == other; }},
    };
    for (const auto& c : clicks) {
        Focused();
        QLineEdit& height = TypeInto(kEditLightHight, "-");
        // The real message box, whose own event loop must not swallow the click.
        const RealDialogs real(*m_app);
        std::vector<std::string> said;
        bool doneWhenSaid = false;
        // On the box itself, where a check box takes its clicks.
        const QPoint at = c.clicked == &border ? QPoint(6, border.height() / 2) : c.clicked->rect().center();
        RunWithModals([&] { UserClick(*c.clicked, at); PumpUntil([&] { return !said.empty(); }); },
                      {NoteMessage(said, doneWhenSaid, c.done)}, kWaitLimitMs);
        EXPECT_EQ(said, std::vector<std::string>{"Please enter a number between 0 and 2000."}) << c.what;
        EXPECT_TRUE(doneWhenSaid) << c.what;
        EXPECT_TRUE(c.done()) << c.what;
        EXPECT_EQ(height.text().toStdString(), EditValueText(kEditLightHight, Record().m_LightHight)) << c.what;
    }
}

// A long value the user typed shows from its first character once they leave its edit, by
// the Tab key or a click on another control.
TEST_P(PanelGuiFocus, ALongTypedValueShowsFromItsStartOnceTheEditIsLeft)
{
    Start();
    QLineEdit& height = TypeInto(kEditLightHight, "1234.56789");
    ASSERT_TRUE(Overflows(height, height.text()));
    EXPECT_FALSE(ShowsFromStart(height));
    QTest::keyClick(&height, Qt::Key_Tab);
    RunningApp::Pump(0);
    EXPECT_NE(QApplication::focusWidget(), &height);
    EXPECT_TRUE(ShowsFromStart(height));

    QLineEdit& scale = TypeInto(kEditZScale, "12.3456789");
    EXPECT_FALSE(ShowsFromStart(scale));
    QAbstractButton& border = *Main().ConfigPanel().findChild<QAbstractButton*>("1011");
    UserClick(border, QPoint(6, border.height() / 2));
    Tick();
    EXPECT_EQ(QApplication::focusWidget(), &border);
    EXPECT_TRUE(ShowsFromStart(scale));
    EXPECT_EQ(scale.text(), "12.3456789");
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// What ends the typing of a refused text, a button, a menu or a frame's close button, does
// what it does as though the edit had never held that text; then the refusal is said, once.
TEST_P(PanelGuiFocus, AnActionThatLeavesARefusedEditIsDoneAndThenTheEditSaysSo)
{
    C3DdlgConfig& panel = Start();
    const std::string conf = (m_files / "typed.cnf").string();
    const SettingsPlace own = ImageSettingsPlace(Doc().ImageList()[0].m_pImage->m_strPath, false);
    std::filesystem::remove(own.m_strFile);
    const auto tiltIn = [&](const auto& place) {
        CPresentationConfig read;
        read.m_ImageName = "Height_01";
        read.m_Tilt = -1.0f;
        ReadCnf(place, ViewKind::View3D, read);
        return read.m_Tilt;
    };
    const auto menuClick = [this](QMenu& menu, const char* text) {
        for (QAction* action : menu.actions())
            if (action->text().remove('&') == text)
                UserClick(menu, menu.actionGeometry(action).center());
    };
    const auto fileMenu = [this]() -> QMenu* {
        for (QAction* action : Main().menuBar()->actions())
            if (action->text() == "&File")
                return action->menu();
        return nullptr;
    };
    const std::size_t frames = m_app->Frames().size();
    // The record's tilt before "2000" was typed: the 200 read on the way to it is no value
    // the user chose.
    float tiltBefore = 0.0f;
    const struct {
        const char* what;
        std::function<void()> act;
        std::vector<ModalStep> dialogs;   // answered before the message
        std::function<bool()> done;
    } cases[] = {
        {"Save 2D/3D Conf",
         [&] { UserClick(*panel.findChild<QPushButton*>("1052")); },
         {TypeInFileDialog(conf)},
         [&] { return tiltIn(conf) == tiltBefore; }},
        {"File, Save Image Config",
         [&] {
             QMenuBar& bar = *Main().menuBar();
             UserClick(bar, bar.actionGeometry(fileMenu()->menuAction()).center());
             // The menu stays open, and nothing is said while it is.
             EXPECT_TRUE(fileMenu()->isVisible());
             EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
             menuClick(*fileMenu(), "Save Image Config");
         },
         {},
         [&] { return tiltIn(own) == tiltBefore; }},
        {"the frame's close button",
         [&] {
             CMDIChildFrame& frame = *Main().MDIGetActive();
             QStyleOptionTitleBar option;
             option.initFrom(&frame);
             option.titleBarFlags = frame.windowFlags();
             option.subControls = QStyle::SC_All;
             option.rect = QRect(0, 0, frame.width(),
                                 frame.style()->pixelMetric(QStyle::PM_TitleBarHeight, &option, &frame));
             UserClick(frame, frame.style()
                                  ->subControlRect(QStyle::CC_TitleBar, &option, QStyle::SC_TitleBarCloseButton, &frame)
                                  .center());
         },
         {},
         [&] { return m_app->Frames().size() == frames - 1; }},
    };
    for (const auto& c : cases) {
        Activate("Height_01:3D");
        Tick();
        Focused();
        tiltBefore = Record().m_Tilt;
        ASSERT_NE(tiltBefore, 200.0f);
        TypeInto(kEditTilt, "2000");
        const RealDialogs real(*m_app);
        std::vector<std::string> said;
        bool doneWhenSaid = false;
        std::vector<ModalStep> steps = c.dialogs;
        steps.push_back(NoteMessage(said, doneWhenSaid, c.done));
        RunWithModals([&] { c.act(); PumpUntil([&] { return !said.empty(); }); }, steps, kWaitLimitMs);
        EXPECT_EQ(said, std::vector<std::string>{"Please enter a number between 0 and 360."}) << c.what;
        EXPECT_TRUE(doneWhenSaid) << c.what;
        EXPECT_TRUE(c.done()) << c.what;
        EXPECT_TRUE(PumpUntil([] { return QApplication::activePopupWidget() == nullptr; })) << c.what;
    }
    Screenshot("panels-10-actions-after-a-refused-text");
}

// A bar steps from the value its edit shows, typed or read from a file, over the edit's
// whole range.
TEST_P(PanelGui, BarsStepFromWhatTheirEditsShow)
{
    Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    C3DdlgConfig& panel = Main().ConfigPanel();
    const auto typeThenStep = [&](ConfigEdit edit, const char* typed, bool right) {
        panel.Edit(edit).selectAll();
        TypeKeys(panel.Edit(edit), typed);
        ClickArrow(panel.ScrollBar(ScrollBarOf(edit)), right);
        return panel.Edit(edit).text().toStdString();
    };
    const struct {
        ConfigEdit edit;
        const char* typed;
        bool right;
        const char* shown;   // afterwards, also what the record holds
    } cases[] = {
        {kEditZScale, "150", true, "150.10"},   {kEditZScale, "12.55", true, "12.60"},
        {kEditZScale, "12.55", false, "12.50"}, {kEditZScale, "999.95", true, "1000.00"},
        {kEditTilt, "200", true, "201.00"},     {kEditTilt, "0.5", false, "0.00"},
        {kEditLightIntensity, "0.5", true, "0.501"},
        {kEditMatReflect, "0.33", false, "0.32"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(typeThenStep(c.edit, c.typed, c.right), c.shown) << c.typed;
        EXPECT_EQ(EditField(c.edit, Record()), std::stof(c.shown)) << c.typed;
    }
    // Ten steps from 0.5 move the light intensity on by 0.01.
    for (int i = 0; i < 9; ++i)
        ClickArrow(panel.ScrollBar(ScrollBarOf(kEditLightIntensity)), true);
    EXPECT_EQ(Record().m_LightIntensity, 0.51f);

    const std::string file = (m_files / "steep.cnf").string();
    WriteFile(file, "[Height_01_Presentation3D]\r\nZ_Scale=300\r\nTilt=120\r\n");
    AnswerFileDialog(m_app->Prompt(), file);
    panel.OnLoad2D3DConf();
    EXPECT_EQ(std::tuple(Record().m_Z_Scale, Record().m_Tilt), std::tuple(300.0f, 120.0f));
    ClickArrow(panel.ScrollBar(ScrollBarOf(kEditZScale)), true);
    ClickArrow(panel.ScrollBar(ScrollBarOf(kEditTilt)), true);
    EXPECT_EQ(std::tuple(Record().m_Z_Scale, Record().m_Tilt), std::tuple(300.1f, 121.0f));
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// An arrow of every bar, from a value of three decimals, moves the edit and the record one
// step the way it points, and the bar stands where the value lies; from 0.74 each of ten
// clicks on the light intensity's right arrow moves them on.
TEST_P(PanelGui, EveryBarsArrowMovesItsEditAndRecordOneStepThatWay)
{
    Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    C3DdlgConfig& panel = Main().ConfigPanel();
    const struct {
        ConfigEdit edit;
        const char* typed;
        const char* left;    // what the left arrow writes
        const char* right;   // and the right one, from the same text
    } cases[] = {
        {kEditZScale, "12.345", "12.30", "12.40"},          {kEditTilt, "45.125", "45.00", "46.00"},
        {kEditAngle, "300.375", "300.00", "301.00"},        {kEditLightAngle, "0.125", "0.00", "1.00"},
        {kEditLightHight, "1500.625", "1500.00", "1501.00"}, {kEditLightIntensity, "0.747", "0.746", "0.748"},
        {kEditMatEmiss, "0.125", "0.12", "0.13"},           {kEditMatReflect, "0.995", "0.99", "1.00"},
    };
    for (const auto& c : cases) {
        const std::size_t b = ScrollBarOf(c.edit);
        for (const bool right : {false, true}) {
            const char* written = right ? c.right : c.left;
            panel.Edit(c.edit).selectAll();
            TypeKeys(panel.Edit(c.edit), c.typed);
            ClickArrow(panel.ScrollBar(b), right);
            EXPECT_EQ(panel.Edit(c.edit).text(), written) << c.typed << (right ? " right" : " left");
            EXPECT_EQ(EditField(c.edit, Record()), std::stof(written)) << c.typed;
            EXPECT_NEAR(panel.ScrollBar(b).value() * kConfigScrollBars[b].scale, std::stod(written), 1e-9) << c.typed;
        }
    }
    const std::size_t intensityBar = ScrollBarOf(kEditLightIntensity);
    Type(panel.Edit(kEditLightIntensity), "0.74");
    for (int i = 1; i <= 10; ++i) {
        ClickArrow(panel.ScrollBar(intensityBar), true);
        EXPECT_EQ(panel.Edit(kEditLightIntensity).text().toStdString(), FormatFixed(0.74 + i * 0.001, 3));
        EXPECT_EQ(Record().m_LightIntensity, static_cast<float>(0.74 + i * 0.001)) << i;
    }
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// A drag in the 3D view changes the record; the panel shows it by its next tick, so that a
// bar step goes on from what the view draws and the edits say what a save writes.
TEST_P(PanelGui, TheViewsDragsShowInThePanel)
{
    C3DdlgConfig& panel = PanelOn3D("60", "50", "60");
    const auto shows = [&](ConfigEdit edit) {
        const QScrollBar& bar = panel.ScrollBar(ScrollBarOf(edit));
        const double position = bar.value() * kConfigScrollBars[ScrollBarOf(edit)].scale;
        return std::tuple(panel.Edit(edit).text().toStdString(), static_cast<float>(position));
    };
    // A left drag of 100 pixels left and 100 down turns the view from 50 to 80 and tilts it
    // from 60 to 80; a right drag 40 up raises the Z scale from 60 to 100.
    const struct {
        Qt::MouseButton button;
        QPointF to;
        std::vector<std::tuple<ConfigEdit, float, float>> shown;   // the value left, and after a step right
    } drags[] = {
        {Qt::LeftButton, {50, 200}, {{kEditAngle, 80.0f, 81.0f}, {kEditTilt, 80.0f, 81.0f}}},
        {Qt::RightButton, {150, 60}, {{kEditZScale, 100.0f, 100.1f}}},
    };
    for (const auto& d : drags) {
        DragInView(d.button, d.to);
        for (const auto& [edit, dragged, stepped] : d.shown) {
            const char* label = kConfigEdits[edit].label;
            ASSERT_EQ(EditField(edit, Record()), dragged) << label;
            EXPECT_EQ(shows(edit), std::tuple(EditValueText(edit, dragged), dragged)) << label;
            ClickArrow(panel.ScrollBar(ScrollBarOf(edit)), true);
            EXPECT_EQ(EditField(edit, Record()), stepped) << label;
        }
        Tick();
    }
    // A turn between two of the bar's steps shows as it is, and a step goes to the next one.
    DragInView(Qt::LeftButton, {149, 100});
    const float turned = Record().m_Angle;
    EXPECT_NE(turned, std::round(turned));
    EXPECT_EQ(std::get<0>(shows(kEditAngle)), EditValueText(kEditAngle, turned));
    ClickArrow(panel.ScrollBar(ScrollBarOf(kEditAngle)), false);
    EXPECT_EQ(Record().m_Angle, std::floor(turned));
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});

    // The record changed anywhere else shows too, while the text the user is typing in
    // another edit stays as typed.
    panel.Edit(kEditTilt).selectAll();
    TypeKeys(panel.Edit(kEditTilt), "2000");
    Record().m_XLineShift = 7;
    Record().m_ViewPersp = 0;
    Record().m_YLineColor = MakeColor(10, 20, 30);
    Record().m_NameOfImageForColor = m_strSecond;
    Tick();
    EXPECT_EQ(panel.Edit(kEditXLineShift).text(), "7");
    EXPECT_FALSE(panel.findChild<QAbstractButton*>("1049")->isChecked());
    EXPECT_EQ(panel.Swatch(kSwatchYLine).Color(), MakeColor(10, 20, 30));
    EXPECT_EQ(panel.ImageList().currentRow(), 1);
    EXPECT_EQ(panel.Edit(kEditTilt).text(), "2000");
}

// A drag whose float steps give long values leaves them in hundredths: the record holds
// them, the panel's edits show them whole and a save writes them short.
TEST_P(PanelGui, ADragLeavesValuesTheEditsShowWholeAndFilesKeepShort)
{
    C3DdlgConfig& panel = PanelOn3D("60", "50", "2.06");
    // Each pixel turns by 0.3f and tilts by 0.2f: 139 to the right and 84 up would leave
    // 8.299999 and 43.199997, and 10 up from 2.06f a Z scale of 12.059999.
    DragInView(Qt::LeftButton, {289, 16});
    DragInView(Qt::RightButton, {150, 90});
    const struct {
        ConfigEdit edit;
        const char* key;
        float value;
        const char* shown;
        const char* saved;
    } cases[] = {
        {kEditAngle, "Angle", 8.3f, "8.3", "8.30"},
        {kEditTilt, "Tilt", 43.2f, "43.2", "43.20"},
        {kEditZScale, "Z_Scale", 12.06f, "12.06", "12.06"},
    };
    ASSERT_TRUE(m_app->Run(cmd::kSaveImageConfig));
    const SettingsPlace own = ImageSettingsPlace(Doc().ImageList()[0].m_pImage->m_strPath, false);
    const ProfileFile file = ProfileFile::Load(own.m_strFile);
    for (const auto& c : cases) {
        EXPECT_EQ(EditField(c.edit, Record()), c.value) << c.key;
        EXPECT_EQ(panel.Edit(c.edit).text(), c.shown) << c.key;
        EXPECT_TRUE(ShowsFromStart(panel.Edit(c.edit))) << c.key;
        EXPECT_EQ(file.GetString(SectionToWrite(own, "Height_01_Presentation3D"), c.key), c.saved) << c.key;
    }
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// Every text the panel puts into an edit shows from its first character, however narrow the
// edit, and so does a long text the user typed once they leave the edit.
TEST_P(PanelGui, EveryEditShowsItsTextFromTheFirstCharacter)
{
    Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    C3DdlgConfig& panel = Main().ConfigPanel();
    // Values an older program or a hand left in a file, each wider than its edit.
    const std::string file = (m_files / "long.cnf").string();
    WriteFile(file, "[Height_01_Presentation3D]\r\nZ_Scale=12.345678\r\nTilt=43.199997\r\nAngle=168.29999\r\n"
                    "[Height_01_Light3D]\r\nLightAngle=123.45678\r\nLightHight=1234.5677\r\n"
                    "LightIntensity=0.1234567\r\n[Height_01_Material3D]\r\nMatEmiss=0.7654321\r\n"
                    "MatReflect=0.4567891\r\n[Height_01_XYLine3D]\r\nXLineDecim=100\r\nYLineShift=100\r\n");
    AnswerFileDialog(m_app->Prompt(), file);
    panel.OnLoad2D3DConf();
    for (std::size_t e = 0; e < kEditCount; ++e) {
        QLineEdit& edit = panel.Edit(ConfigEdit(e));
        EXPECT_TRUE(ShowsFromStart(edit)) << kConfigEdits[e].label << " " << edit.text().toStdString();
        if (!kConfigEdits[e].whole) {
            EXPECT_TRUE(Overflows(edit, edit.text())) << kConfigEdits[e].label << " " << edit.text().toStdString();
        }
    }
    // A bar step and a refused text, which the panel puts back.
    ClickArrow(panel.ScrollBar(ScrollBarOf(kEditLightHight)), true);
    QLineEdit& intensity = panel.Edit(kEditLightIntensity);
    intensity.selectAll();
    TypeKeys(intensity, "7");
    Leave(intensity);
    EXPECT_EQ(intensity.text(), "0.1234567");
    for (ConfigEdit e : {kEditLightHight, kEditLightIntensity})
        EXPECT_TRUE(ShowsFromStart(panel.Edit(e))) << kConfigEdits[e].label;
    // Long typed values, while typed and once left.
    for (std::size_t e = 0; e < kEditCount; ++e) {
        if (kConfigEdits[e].whole)
            continue;
        QLineEdit& edit = panel.Edit(ConfigEdit(e));
        edit.selectAll();
        TypeKeys(edit, "0.123456789");
        ASSERT_TRUE(Overflows(edit, edit.text())) << kConfigEdits[e].label;
        EXPECT_FALSE(ShowsFromStart(edit)) << kConfigEdits[e].label;
        Leave(edit);
        EXPECT_TRUE(ShowsFromStart(edit)) << kConfigEdits[e].label;
        EXPECT_EQ(edit.text(), "0.123456789") << kConfigEdits[e].label;
    }
    Screenshot("panels-11-texts-from-their-start");
}

// Showing a record again, after another frame was active, keeps what the user typed between
// the bars' steps: the edits show it and every save writes it.
TEST_P(PanelGui, ShowingARecordAgainKeepsWhatWasTyped)
{
    Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    C3DdlgConfig& panel = Main().ConfigPanel();
    const struct {
        ConfigEdit edit;
        const char* typed;
    } cases[] = {{kEditZScale, "12.55"}, {kEditTilt, "45.5"}, {kEditLightIntensity, "0.125"}, {kEditAngle, "33.3"}};
    for (const auto& c : cases) {
        panel.Edit(c.edit).selectAll();
        TypeKeys(panel.Edit(c.edit), c.typed);
        Leave(panel.Edit(c.edit));
    }
    for (const char* frame : {"Height_01:2D", "Height_01:3D"}) {
        Activate(frame);
        Tick();
    }
    ASSERT_TRUE(m_app->Run(cmd::kSaveImageConfig));
    CPresentationConfig saved;
    saved.m_ImageName = "Height_01";
    ReadCnf(ImageSettingsPlace(Doc().ImageList()[0].m_pImage->m_strPath, false), ViewKind::View3D, saved);
    for (const auto& c : cases) {
        const float typed = std::stof(c.typed);
        EXPECT_EQ(panel.Edit(c.edit).text(), c.typed);
        EXPECT_EQ(EditField(c.edit, Record()), typed) << c.typed;
        EXPECT_EQ(EditField(c.edit, saved), typed) << c.typed;
    }
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// A palette change recolours the view, *.plt files go out and come back; a processing command
// changes the heights and so the range and the histogram beside the palette: the panel shows
// them at once, as after looking its source up again, and so after Undo.
TEST_P(PanelGui, PaletteChangeRecoloursTheViewFilesRoundTripAndProcessingRedrawsIt)
{
    CMDIChildFrame& frame = Activate("Height_01:2D");
    Show(cmd::kShowPalettePanel);
    C3DdlgColor& panel = Main().ColorPanel();
    ASSERT_NE(panel.Palette(), nullptr);
    Probe(frame);
    const std::size_t top = panel.Palette()->size() - 1;
    ASSERT_GE(top, 1u);
    // Pick the top cursor's mark on the strip, recolour it.
    PickCursor(top);
    EXPECT_EQ(panel.SelectedCursor(), top);
    const QImage before = ViewPicture(frame);
    AnswerColour(m_app->Prompt(), MakeColor(255, 0, 0));
    panel.OnCursorCommand(kCmdChangeColor);
    EXPECT_EQ(panel.Palette()->back().m_Color, MakeColor(255, 0, 0));
    Tick();
    EXPECT_EQ(m_probe.hints, std::vector<int>{kHintColors});
    EXPECT_NE(ViewPicture(frame), before);
    Screenshot("panels-02-palette");
    // Out to a file and back over a changed palette.
    const std::string saved = (m_files / "red").string();
    AnswerFileDialog(m_app->Prompt(), saved);
    panel.OnSavePalette();
    ASSERT_TRUE(std::filesystem::exists(saved + ".plt"));
    AnswerFileDialog(m_app->Prompt(), (m_files / "missing" / "red.plt").string());
    panel.OnSavePalette();
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{"Unable to open file for writing"});
    panel.Palette()->pop_back();
    AnswerFileDialog(m_app->Prompt(), saved + ".plt");
    panel.OnLoadPalette();
    // Each cursor's colour and rounded position through the file: ColorTableTest.
    ASSERT_EQ(panel.Palette()->size(), top + 1);
    EXPECT_EQ(panel.Palette()->back().m_Color, MakeColor(255, 0, 0));

    for (int command : {cmd::kMedianX, cmd::kEditUndo, cmd::kNormalize}) {
        Tick();
        const QImage shown = panel.Bar().Picture();
        ASSERT_TRUE(m_app->Run(command)) << command;
        const QImage after = panel.Bar().Picture();
        if (command == cmd::kMedianX)
            Screenshot("panels-05-palette-after-median");
        EXPECT_NE(after, shown) << command;
        panel.ForgetActiveFrame();
        Tick();
        EXPECT_EQ(after, panel.Bar().Picture()) << command;
    }
}

// The panels write a name typed with another extension with their own behind it: the real
// dialog asks whether to replace that file, and No leaves it as it was.
TEST_P(PanelGui, SaveDialogsAskAboutTheFileTheyWrite)
{
    Activate("Height_01:2D");
    const struct {
        int panelSwitch;
        const char* written;
        std::function<void()> save;
    } cases[] = {
        {cmd::kShowPalettePanel, "kept.txt.plt", [&] { Main().ColorPanel().OnSavePalette(); }},
        {cmd::kShowConfigPanel, "kept.txt.cnf", [&] { Main().ConfigPanel().OnSave2D3DConf(); }},
    };
    RealDialogs real(*m_app);
    for (const auto& c : cases) {
        Show(c.panelSwitch);
        const std::filesystem::path written = m_files / c.written;
        WriteFile(written, std::string_view("kept"));
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            const std::string question = SaveUnderTypedName(c.save, (m_files / "kept.txt").string(), answer);
            EXPECT_NE(question.find(c.written), std::string::npos) << c.written << ": " << question;
            EXPECT_EQ(FileText(written) == "kept", answer == QMessageBox::No) << c.written;
        }
        EXPECT_FALSE(std::filesystem::exists(m_files / "kept.txt"));
    }
}

// Escape hides the work bench and the configuration panel, Enter or Escape the palette panel,
// from whichever of their controls has the focus; the switch button stays checked and shows
// the panel again.
TEST_P(PanelGui, EscapeAndEnterHideThePanelsUntilTheSwitchShowsThem)
{
    CDialogWorkBench& bench = Main().WorkBench();
    C3DdlgConfig& config = Main().ConfigPanel();
    C3DdlgColor& palette = Main().ColorPanel();
    QPushButton* loadPalette = palette.findChild<QPushButton*>("1059");
    ASSERT_NE(loadPalette, nullptr);
    const struct {
        int command;
        QWidget& panel;
        QWidget& control;
        Qt::Key key;
    } cases[] = {
        {cmd::kShowWorkBench, bench, bench.Tree(), Qt::Key_Return},
        {cmd::kShowWorkBench, bench, bench.Tree(), Qt::Key_Escape},
        {cmd::kShowWorkBench, bench, *bench.findChild<QPlainTextEdit*>(), Qt::Key_Escape},  // the note
        {cmd::kShowConfigPanel, config, config.Edit(kEditTilt), Qt::Key_Enter},
        {cmd::kShowConfigPanel, config, config.Edit(kEditTilt), Qt::Key_Escape},
        {cmd::kShowConfigPanel, config, config.ImageList(), Qt::Key_Escape},
        {cmd::kShowPalettePanel, palette, *loadPalette, Qt::Key_Return},
        {cmd::kShowPalettePanel, palette, *loadPalette, Qt::Key_Enter},
        {cmd::kShowPalettePanel, palette, *loadPalette, Qt::Key_Escape},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(m_app->Run(c.command));
        ASSERT_TRUE(c.panel.isVisible());
        c.control.setFocus();
        QTest::keyClick(&c.control, c.key);
        RunningApp::Pump(0);
        const bool hides = c.key == Qt::Key_Escape || &c.panel == &palette;
        EXPECT_EQ(c.panel.isVisible(), !hides) << c.command << " " << c.key;
        EXPECT_EQ(Main().CheckedPanelSwitch(), c.command);
        if (hides)
            Screenshot("panels-04-hidden-" + std::to_string(c.command) + "-" + std::to_string(&c - cases));
    }
    // The switch shows a hidden panel again.
    ASSERT_TRUE(m_app->Run(cmd::kShowPalettePanel));
    EXPECT_TRUE(palette.isVisible());
    EXPECT_FALSE(bench.isVisible());
    EXPECT_FALSE(config.isVisible());
}

// A right click in the work bench's tree gives the menu of the item under the pointer, and
// the entry chosen acts on that item; beside the items the menu is the selected item's.
TEST_P(PanelGui, TreeMenuActsOnTheItemClicked)
{
    ASSERT_TRUE(m_app->Run(cmd::kShowWorkBench));
    CDialogWorkBench& bench = Main().WorkBench();
    // The bench follows the active frame first: its own tick would rebuild the tree, and the
    // items taken from it, later.
    bench.OnTimer();
    bench.FillTree();
    QTreeWidget& tree = bench.Tree();
    QTreeWidgetItem* document = tree.topLevelItem(0);
    ASSERT_EQ(document->childCount(), 2);
    const auto rightClick = [&tree](QPoint at, const QString& entry) { return RightClick(tree, at, entry); };
    const auto centre = [&tree](QTreeWidgetItem* item) { return tree.visualItemRect(item).center(); };
    const std::vector<std::string> imageMenu{"2D", "3D", "Profile"};
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centre(document->child(0)));
    EXPECT_EQ(rightClick(centre(document->child(1)), "3D"), imageMenu);
    EXPECT_EQ(m_app->ActiveTitle(), m_strFile + ":" + m_strSecond + ":3D:" + std::to_string(m_app->Frames().size()));
    EXPECT_EQ(Main().m_selItem.m_strItemName, m_strSecond);
    RunningApp::Pump();
    bench.OnTimer();
    bench.FillTree();
    document = tree.topLevelItem(0);
    EXPECT_EQ(rightClick(centre(document), ""), std::vector<std::string>{"Add Image"});
    const QPoint below(centre(document->child(1)).x(), tree.viewport()->height() - 5);
    ASSERT_EQ(tree.itemAt(below), nullptr);
    EXPECT_EQ(rightClick(below, ""), std::vector<std::string>{"Add Image"});
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, centre(document->child(0)));
    EXPECT_EQ(rightClick(below, ""), imageMenu);
}

// While the active frame has no record to edit, a profile frame of no image or no frame at
// all, the panel takes no input: what the user types there would reach no record and no
// file. A 2D or 3D frame takes it again.
TEST_P(PanelGui, WithoutARecordThePanelTakesNoInput)
{
    C3DdlgConfig& panel = Main().ConfigPanel();
    Show(cmd::kShowConfigPanel);
    const auto inputs = [&] {
        std::vector<QWidget*> widgets;
        for (std::size_t e = 0; e < kEditCount; ++e)
            widgets.push_back(&panel.Edit(ConfigEdit(e)));
        for (std::size_t b = 0; b < kConfigScrollBars.size(); ++b)
            widgets.push_back(&panel.ScrollBar(b));
        for (std::size_t s = 0; s < kSwatchCount; ++s)
            widgets.push_back(&panel.Swatch(ConfigSwatch(s)));
        for (const ConfigCheckSpec& check : kConfigChecks)
            widgets.push_back(panel.findChild<QWidget*>(QString::number(check.id)));
        for (int radio : {1020, 1022, 1021, 1043, 1024, 1027, 1030, 1042})
            widgets.push_back(panel.findChild<QWidget*>(QString::number(radio)));
        return widgets;
    };
    const auto enabled = [&](bool expected, const char* when) {
        for (QWidget* widget : inputs())
            EXPECT_EQ(widget->isEnabled(), expected) << when << ": " << widget->objectName().toStdString();
        // A swatch shows its colour as it is only while it takes clicks.
        for (std::size_t s = 0; s < kSwatchCount; ++s) {
            CColorSwatch& swatch = panel.Swatch(ConfigSwatch(s));
            const QColor shown = swatch.grab().toImage().pixelColor(swatch.rect().center());
            const COLORREF colour = swatch.Color();
            EXPECT_EQ(shown == ToQColor(colour), expected) << when << ": swatch " << s;
        }
    };
    // Every tilt of the active frame's document, none without one.
    const auto tilts = [this] {
        std::vector<float> all;
        if (Main().MDIGetActive() == nullptr)
            return all;
        for (const ImageEntry& entry : Doc().ImageList())
            for (const CPresentationConfig& record : *entry.m_pSettings)
                all.push_back(record.m_Tilt);
        return all;
    };
    const auto typeTilt = [&](const char* when) {
        QLineEdit& tilt = panel.Edit(kEditTilt);
        const QString shown = tilt.text();
        const std::vector<float> before = tilts();
        tilt.end(false);
        TypeKeys(tilt, "\b\b77");
        ClickArrow(panel.ScrollBar(ScrollBarOf(kEditTilt)), true);
        EXPECT_EQ(tilt.text(), shown) << when;
        EXPECT_EQ(tilts(), before) << when;
    };
    Activate("Height_01:3D");
    Tick();
    enabled(true, "3D frame");
    ASSERT_TRUE(m_app->Run(cmd::kOpenProfile));
    Tick();
    ASSERT_EQ(panel.ActiveRecord(), nullptr);
    enabled(false, "profile frame");
    typeTilt("profile frame");
    m_app->Prompt().messages.clear();
    Screenshot("panels-12-profile-frame");
    Activate("Height_01:2D");
    Tick();
    enabled(true, "2D frame");
    CDocument& doc = *Main().MDIGetActive()->GetActiveDocument();
    ASSERT_TRUE(Main().DocManager().CloseDocument(doc));
    Tick();
    enabled(false, "no frame");
    typeTilt("no frame");
    Open();
    Activate("Height_01:3D");
    Tick();
    enabled(true, "3D frame again");
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// The buttons that load or save the record or the palette, and the list of colour sources,
// take no press while there is nothing they would act on, like the panels' other inputs: on a
// profile frame of no image and with no frame at all. A 2D or 3D frame takes it again.
// The palette panel on such a profile frame keeps no palette of the frame before.
TEST_P(PanelGui, WithoutARecordOrPaletteTheFileButtonsTakeNoPress)
{
    C3DdlgConfig& config = Main().ConfigPanel();
    C3DdlgColor& palette = Main().ColorPanel();
    Show(cmd::kShowConfigPanel);
    const auto enabled = [&](bool expected, const char* when) {
        const std::pair<QWidget*, const char*> controls[] = {
            {&config, "1051"}, {&config, "1052"}, {&config, "1061"}, {&palette, "1058"}, {&palette, "1059"}};
        for (const auto& [panel, id] : controls) {
            const QWidget* control = panel->findChild<QWidget*>(id);
            ASSERT_NE(control, nullptr) << id;
            EXPECT_EQ(control->isEnabled(), expected) << when << ": " << id;
        }
    };
    Activate("Height_01:3D");
    Tick();
    enabled(true, "3D frame");
    ASSERT_TRUE(m_app->Run(cmd::kOpenProfile));
    Tick();
    Tick();
    // Nor is the last frame's palette edited, which no view here shows.
    EXPECT_EQ(palette.Palette(), nullptr);
    enabled(false, "profile frame");
    Screenshot("panels-13-profile-frame-buttons");
    Activate("Height_01:2D");
    Tick();
    enabled(true, "2D frame");
    ASSERT_TRUE(Main().DocManager().CloseDocument(*Main().MDIGetActive()->GetActiveDocument()));
    Tick();
    enabled(false, "no frame");
    Open();
    Activate("Height_01:3D");
    Tick();
    enabled(true, "3D frame again");
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// The tree offers no menu whose entries would act on nothing: once the document of the item
// last selected has closed, a right click shows none, for an image (whose views would open
// nowhere) or for a document (with no frame left whose document an image would join).
TEST_P(PanelGui, TreeOffersNoMenuThatWouldActOnNothing)
{
    ASSERT_TRUE(m_app->Run(cmd::kShowWorkBench));
    CDialogWorkBench& bench = Main().WorkBench();
    QTreeWidget& tree = bench.Tree();
    for (const bool image : {true, false}) {
        bench.OnTimer();
        bench.FillTree();
        QTreeWidgetItem* document = tree.topLevelItem(0);
        const QPoint at = tree.visualItemRect(image ? document->child(0) : document).center();
        const QPoint blank(at.x(), tree.viewport()->height() - 5);
        ASSERT_EQ(tree.itemAt(blank), nullptr);
        QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, at);
        const std::vector<std::string> menu =
            image ? std::vector<std::string>{"2D", "3D", "Profile"} : std::vector<std::string>{"Add Image"};
        EXPECT_EQ(RightClick(tree, blank, ""), menu) << image;
        ASSERT_TRUE(Main().DocManager().CloseDocument(m_app->ActiveDoc()));
        bench.OnTimer();
        ASSERT_EQ(tree.topLevelItemCount(), 0);
        EXPECT_EQ(RightClick(tree, blank, ""), std::vector<std::string>{}) << image;
        Open();
    }
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// A menu asked for beside the items is the selected item's, so the tree built anew as
// documents open and close shows the item its menu acts on: selected still while its
// document is open, and nothing selected, and no menu, once that has closed.
TEST_P(PanelGui, TheTreeBuiltAnewShowsTheItemItsMenuActsOn)
{
    ASSERT_TRUE(m_app->Run(cmd::kShowWorkBench));
    CDialogWorkBench& bench = Main().WorkBench();
    QTreeWidget& tree = bench.Tree();
    bench.FillTree();
    CDocument& first = m_app->ActiveDoc();
    QTreeWidgetItem* image = tree.topLevelItem(0)->child(1);
    const std::string name = image->text(0).toStdString();
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(image).center());
    const ScratchDir others;
    m_app->App().OpenWithFollowUp(SampleCopy(others, "other.spm"));
    RunningApp::Pump();
    ASSERT_NE(&m_app->ActiveDoc(), &first);
    ASSERT_EQ(tree.topLevelItemCount(), 2);
    const QPoint blank(5, tree.viewport()->height() - 5);
    ASSERT_EQ(tree.itemAt(blank), nullptr);
    const QList<QTreeWidgetItem*> selected = tree.selectedItems();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected.front()->text(0).toStdString(), name);
    EXPECT_EQ(selected.front()->parent(), tree.topLevelItem(0));
    EXPECT_EQ(RightClick(tree, blank, ""), (std::vector<std::string>{"2D", "3D", "Profile"}));
    ASSERT_TRUE(Main().DocManager().CloseDocument(first));
    RunningApp::Pump();
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_TRUE(tree.selectedItems().isEmpty());
    EXPECT_EQ(Main().m_selItem.m_pDoc, nullptr);
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
}

// A profile frame opened on an image from the tree shows that image's 2D record in the
// panels, which its own view does not draw: what the user changes there reaches the 2D view
// of the image, at the next tick or, for a colour source, at once, and the view shows it.
TEST_P(PanelGui, OnAProfileFrameThePanelsEditsReachTheImages2DView)
{
    CDocument& doc = m_app->ActiveDoc();
    Main().WorkBench().OnTreeCommand(cmd::kTreeProfile, {1, &doc, 0, "Height_01"});
    RunningApp::Pump();
    CMDIChildFrame& profile = *Main().MDIGetActive();
    ASSERT_EQ(profile.m_strViewKind, ":Profile");
    CMDIChildFrame* view2D = nullptr;
    for (CMDIChildFrame* frame : doc.Frames())
        if (frame->m_strViewKind == ":2D" && frame->m_strImageName == "Height_01")
            view2D = frame;
    ASSERT_NE(view2D, nullptr);
    Probe(*view2D);
    C3DdlgConfig& config = Main().ConfigPanel();
    C3DdlgColor& palette = Main().ColorPanel();
    Show(cmd::kShowConfigPanel);
    ASSERT_EQ(config.ActiveRecord(), &(*doc.Doc().FindImage("Height_01")->m_pSettings)[0]);
    const QImage before = ViewPicture(*view2D);
    // The surface in its height colours, then coloured by the other image.
    config.findChild<QRadioButton*>("1022")->click();
    Tick();
    EXPECT_EQ(m_probe.hints, std::vector<int>{kHintRepaint});
    config.ImageList().setCurrentRow(1);
    EXPECT_EQ(m_probe.hints, (std::vector<int>{kHintRepaint, kHintColors}));
    config.ImageList().setCurrentRow(0);
    Show(cmd::kShowPalettePanel);
    ASSERT_NE(palette.Palette(), nullptr);
    PickCursor(0);
    AnswerColour(m_app->Prompt(), MakeColor(0, 255, 0));
    palette.OnCursorCommand(kCmdChangeColor);
    m_probe.hints.clear();
    Tick();
    EXPECT_EQ(m_probe.hints, std::vector<int>{kHintColors});
    EXPECT_TRUE(ViewPicture(*view2D) != before);
    EXPECT_EQ(Main().MDIGetActive(), &profile);
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{});
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
    Type(config.Edit(kEditTilt), "12");
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
    // Values between the bars' steps: showing them changes nothing, and marks nothing.
    for (CPresentationConfig& record : *Doc().ImageList()[0].m_pSettings) {
        record.m_Tilt = 45.6f;
        record.m_Z_Scale = 30.37f;
    }
    const std::string first3D = "Height_01:3D", first2D = "Height_01:2D", second2D = m_strSecond + ":2D";
    for (const std::string& frame : {first3D, first2D, second2D, first3D}) {
        Activate(frame);
        Tick();
    }
    palette.ForgetActiveFrame();
    Tick();
    EXPECT_EQ(Marks(), (std::array<bool, 4>{}));
    EXPECT_EQ(std::tuple(Record().m_Tilt, Record().m_Z_Scale), std::tuple(45.6f, 30.37f));

    const std::string other = (m_files / "other.cnf").string();
    const std::string own = PresentationFilePath((m_files / m_strFile).string());
    WriteFile(other, "[Height_01_Presentation3D]\r\nTilt=12\r\n");
    const auto click = [](QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(3, 3)); };
    const auto button = [&config](const char* id) { return config.findChild<QAbstractButton*>(id); };
    const auto drag3D = [this](Qt::MouseButton button, QPointF to, QEvent::Type type = QEvent::MouseMove) {
        QWidget& view = *Main().MDIGetActive()->GetActiveView()->Widget();
        SendMouse(view, QEvent::MouseButtonPress, {100, 100}, button);
        SendMouse(view, type, to, button);
    };
    const auto swatch = [&](ConfigSwatch id, COLORREF colour) {
        AnswerColour(m_app->Prompt(), colour);
        click(&config.Swatch(id));
    };
    const auto save = [&](const char* tilt, const std::string& file) {
        Type(config.Edit(kEditTilt), tilt);
        AnswerFileDialog(m_app->Prompt(), file);
        config.OnSave2D3DConf();
    };
    // The frame, the edit, and the record it marks: 0 none, else 1 + its place in Marks().
    const struct {
        const char* what;
        std::string frame;
        std::function<void()> edit;
        int marked;
    } cases[] = {
        {"Z scale typed", first3D, [&] { Type(config.Edit(kEditZScale), "44.5"); }, 2},
        {"same Z scale typed", first3D, [&] { Type(config.Edit(kEditZScale), "44.50"); }, 0},
        {"refused Z scale", first3D, [&] { Type(config.Edit(kEditZScale), "5000"); }, 0},
        {"tilt bar", first3D, [&] { config.ScrollBar(1).triggerAction(QAbstractSlider::SliderSingleStepSub); }, 2},
        {"border check", first2D, [&] { click(button("1011")); }, 1},
        {"polygon radio", first2D, [&] { button("1021")->click(); }, 1},
        {"line radio", first2D, [&] { button("1024")->click(); }, 1},
        {"swatch OK", first3D, [&] { swatch(kSwatchBackground, MakeColor(1, 2, 3)); }, 2},
        {"swatch same colour", first3D, [&] { swatch(kSwatchBackground, MakeColor(1, 2, 3)); }, 0},
        {"swatch Cancel", first3D, [&] { click(&config.Swatch(kSwatchPolygon)); }, 0},
        {"colour source", first2D, [&] { config.ImageList().setCurrentRow(1); }, 1},
        {"Load 2D/3D Conf", first3D, [&] { AnswerFileDialog(m_app->Prompt(), other); config.OnLoad2D3DConf(); }, 2},
        {"Load cancelled", first3D, [&] { config.OnLoad2D3DConf(); }, 0},
        {"Save into another file", first3D, [&] { save("13", other); }, 2},
        {"Save into the image's own file", first3D, [&] { save("14", own); }, 0},
        {"palette drag", second2D, [&] { PickCursor(0); SendMouse(palette, QEvent::MouseMove, CursorMark(0) - QPointF(0, 10)); }, 3},
        {"palette recolour", second2D, [&] { PickCursor(1); AnswerColour(m_app->Prompt(), MakeColor(9, 9, 9)); palette.OnCursorCommand(kCmdChangeColor); }, 3},
        {"palette add cancelled", second2D, [&] { palette.OnCursorCommand(kCmdAddCursor); }, 0},
        {"palette delete", second2D, [&] { PickCursor(1); palette.OnCursorCommand(kCmdDelCursor); }, 3},
        {"3D turn", first3D, [&] { drag3D(Qt::LeftButton, {140, 90}); }, 2},
        {"3D Z scale", first3D, [&] { drag3D(Qt::RightButton, {100, 80}); }, 2},
        {"3D click", first3D, [&] { drag3D(Qt::LeftButton, {100, 100}, QEvent::MouseButtonRelease); }, 0},
    };
    for (const auto& c : cases) {
        Activate(c.frame);
        Show(std::string(c.what).starts_with("palette") ? cmd::kShowPalettePanel : cmd::kShowConfigPanel);
        ClearMarks();
        c.edit();
        Tick();
        std::array<bool, 4> expected{};
        if (c.marked > 0)
            expected[c.marked - 1] = true;
        EXPECT_EQ(Marks(), expected) << c.what;
    }
    // A *.plt file loads over the colour source's palette: Height_01's 2D frame takes its
    // colours from the second image since the colour-source case, so that image's record; a
    // *.plt holds the palette alone, so saving one leaves the mark.
    const std::string plt = (m_files / "p.plt").string();
    WriteFile(plt, "[ColorCursor]\r\nNofCursor=2\r\nPosition[0]=0.1\r\nColor[0]=1,1,1\r\nPosition[1]=0.9\r\nColor[1]=2,2,2\r\n");
    Activate(first2D);
    Show(cmd::kShowPalettePanel);
    ClearMarks();
    for (const auto command : {&C3DdlgColor::OnLoadPalette, &C3DdlgColor::OnSavePalette}) {
        AnswerFileDialog(m_app->Prompt(), plt);
        (palette.*command)();
        EXPECT_EQ(Marks(), (std::array<bool, 4>{false, false, true, false}));
    }
    // The record saved into the image's own file went into the sections the image reads.
    const CSpmImage& first = *Doc().ImageList()[0].m_pImage;
    EXPECT_NE(FileText(own).find("[" + std::filesystem::path(first.m_strPath).extension().string() + ":" +
                                 first.m_strName + "_Presentation3D]"),
              std::string::npos);
}

// Closing a document whose second image's palette changed asks about its view settings, in
// our words: Cancel keeps the document, a file that cannot be written says so and keeps it,
// No lets the change go, Yes writes the image's presentation file beside its image file: for
// the NanoScope file the one file of both images. What that file then holds: SaveTest.
TEST_P(PanelGui, ClosingAsksToSaveChangedViewSettings)
{
    const std::filesystem::path cnf = PresentationFilePath(Doc().ImageList()[1].m_pImage->m_strPath);
    EXPECT_EQ(cnf.filename(), Bundled() ? "second.cnf" : "nanoscope-v432-height-amplitude.cnf");
    // The sections of the image's own file, which may share its presentation file.
    const std::string own = std::filesystem::path(Doc().ImageList()[1].m_pImage->m_strPath).extension().string() + ":";
    const std::string question = "dialog: Save the view settings of " + m_strFile + ":" + m_strSecond + " to " +
                                 cnf.filename().string() + "?";
    using Answer = CQuestionBox::Answer;
    // The answer, and whether a folder stands where the file must go.
    for (const auto& [answer, blocked] : {std::pair(Answer::Cancel, false), std::pair(Answer::Yes, true),
                                         std::pair(Answer::No, false), std::pair(Answer::Yes, false)}) {
        if (m_app->FrameTitles().empty())
            Open();
        Activate(m_strSecond + ":2D");
        Show(cmd::kShowPalettePanel);
        ASSERT_NE(Main().ColorPanel().Palette(), nullptr);
        AnswerColour(m_app->Prompt(), MakeColor(0, 128, 0));
        Main().ColorPanel().OnCursorCommand(kCmdAddCursor);
        if (blocked)
            std::filesystem::create_directory(cnf);
        m_app->Prompt().events.clear();
        AnswerQuestion(m_app->Prompt(), static_cast<int>(answer));
        CDocument& doc = m_app->ActiveDoc();
        const bool closes = answer != Answer::Cancel && !blocked;
        EXPECT_EQ(Main().DocManager().CloseDocument(doc), closes);
        std::vector<std::string> asked{question};
        if (blocked)
            asked.push_back("message: Unable to open file for writing");
        EXPECT_EQ(m_app->Prompt().events, asked);
        if (blocked)
            std::filesystem::remove(cnf);
        EXPECT_EQ(std::filesystem::is_regular_file(cnf), closes && answer == Answer::Yes);
        if (!closes) {
            // Let the document go without a question for the next step.
            ClearMarks();
            ASSERT_TRUE(Main().DocManager().CloseDocument(doc));
        }
        RunningApp::Pump();
    }
    EXPECT_NE(FileText(cnf).find("[" + own + m_strSecond + "_ColorCursor2D]"), std::string::npos);
}

// The configuration panel moves a record between image files through their presentation
// files: a Load takes what another image file saved there, a series' shared file asks whose
// through the real list, and a Save goes where the image file reads it.
TEST_P(PanelGui, LoadAndSaveMoveSettingsBetweenImageFiles)
{
    const ScratchDir others;
    // Each image file's 3D view turned and saved as the quit question's Yes saves it: their
    // presentation files hold their own sections alone.
    const auto saveAngle = [](const std::string& path, float angle) {
        CMDIDoc doc;
        ASSERT_TRUE(doc.OnOpenDocument(path));
        (*doc.ImageList().front().m_pSettings)[1].m_Angle = angle;
        ASSERT_TRUE(doc.SaveImageSettings(*doc.ImageList().front().m_pImage));
    };
    const auto reopenedAngle = [](const std::string& path) {
        CMDIDoc doc;
        EXPECT_TRUE(doc.OnOpenDocument(path));
        return (*doc.ImageList().front().m_pSettings)[1].m_Angle;
    };
    const std::string a = SampleCopy(others, "a.spm");
    saveAngle(a, 123.0f);
    saveAngle(SampleCopy(others, "s.SPM"), 11.0f);
    saveAngle(SampleCopy(others, "s.spm"), 22.0f);
    const std::string aCnf = (others / "a.cnf").string(), sCnf = (others / "s.cnf").string();
    ASSERT_EQ(FileText(aCnf).find("[Height_01_"), std::string::npos);

    C3DdlgConfig& config = Main().ConfigPanel();
    Activate("Height_01:3D");
    Show(cmd::kShowConfigPanel);
    m_app->Prompt().messages.clear();
    AnswerFileDialog(m_app->Prompt(), aCnf);
    config.OnLoad2D3DConf();
    EXPECT_EQ(Record().m_Angle, 123.0f);
    EXPECT_EQ(config.Edit(kEditAngle).text().toDouble(), 123.0);

    std::string question;
    std::vector<std::string> entries;
    {
        RealDialogs real(*m_app);
        const ModalStep chooseSecond = [&](QWidget* modal) {
            auto* list = modal != nullptr ? modal->findChild<QListWidget*>("choiceList") : nullptr;
            if (list == nullptr)
                return false;
            if (auto* text = modal->findChild<QLabel*>("choiceText"))
                question = text->text().toStdString();
            for (int row = 0; row < list->count(); ++row)
                entries.push_back(list->item(row)->text().toStdString());
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
            ::Screenshot(std::string("panels-07-whose-settings") + (Bundled() ? "-Bundled" : "-NanoScope"), modal);
            auto* buttons = modal->findChild<QDialogButtonBox*>();
            if (buttons != nullptr)
                buttons->button(QDialogButtonBox::Ok)->click();
            return true;
        };
        EXPECT_EQ(RunWithModals([&] { config.OnLoad2D3DConf(); }, {TypeInFileDialog(sCnf), chooseSecond}), 2u);
    }
    EXPECT_EQ(question, "s.cnf holds 3D settings of Height_01 of several image files. Load those of:");
    EXPECT_EQ(entries, (std::vector<std::string>{"s.SPM", "s.spm"}));
    EXPECT_EQ(Record().m_Angle, 22.0f);
    EXPECT_EQ(config.Edit(kEditAngle).text().toDouble(), 22.0);

    Type(config.Edit(kEditAngle), "77");
    AnswerFileDialog(m_app->Prompt(), aCnf);
    config.OnSave2D3DConf();
    EXPECT_EQ(reopenedAngle(a), 77.0f);
    EXPECT_EQ(FileText(aCnf).find("[Height_01_"), std::string::npos);

    // A file that holds no record of the image says so and changes nothing.
    const std::string none = (others / "none.cnf").string();
    WriteFile(none, "[Height_01_Presentation2D]\r\nAngle=5\r\n");
    AnswerFileDialog(m_app->Prompt(), none);
    config.OnLoad2D3DConf();
    EXPECT_EQ(Record().m_Angle, 77.0f);
    EXPECT_EQ(m_app->Prompt().messages, std::vector<std::string>{"none.cnf holds no 3D settings of Height_01."});
}

// The panel's Save into the presentation file of an image open in another document: that
// image shows what was saved (asked first, as its own change to the record is not saved yet),
// and its quit's Yes keeps the save while it saves its other record.
TEST_P(PanelGui, APanelSaveIntoAnOpenImagesFileIsWhatThatImageShowsAndItsQuitKeeps)
{
    const ScratchDir others;
    const std::string a = SampleCopy(others, "a.spm");
    const std::string aCnf = (others / "a.cnf").string();
    CDocument& first = m_app->ActiveDoc();
    C3DdlgConfig& config = Main().ConfigPanel();
    Show(cmd::kShowConfigPanel);
    m_app->App().OpenWithFollowUp(a);
    CDocument& opened = m_app->ActiveDoc();
    ASSERT_NE(&opened, &first);
    for (const auto& [kind, angle] : {std::pair(":3D", "99"), std::pair(":2D", "55")}) {
        ASSERT_TRUE(m_app->Activate(kind, "Height_01"));
        Tick();
        Type(config.Edit(kEditAngle), angle);
        Tick();
    }
    for (CMDIChildFrame* frame : first.Frames())
        if (frame->m_strViewKind == ":2D" && frame->m_strImageName == "Height_01")
            Main().ActivateFrame(frame);
    RunningApp::Pump();
    Tick();
    ASSERT_EQ(&m_app->ActiveDoc(), &first);
    Type(config.Edit(kEditAngle), "77");
    Tick();

    std::string asked;
    {
        RealDialogs real(*m_app);
        const ModalStep yes = AnswerBox(QMessageBox::Yes, &asked);
        const ModalStep answer = [&](QWidget* modal) {
            if (qobject_cast<QMessageBox*>(modal) != nullptr)
                ::Screenshot(std::string("panels-08-open-image-changes") + (Bundled() ? "-Bundled" : "-NanoScope"), modal);
            return yes(modal);
        };
        EXPECT_EQ(RunWithModals([&] { config.OnSave2D3DConf(); }, {TypeInFileDialog(aCnf), answer}), 2u);
    }
    EXPECT_EQ(asked, "a.cnf keeps the 2D settings of a.spm:Height_01, which is open with changes to them not yet "
                     "saved.\nReplace its changes with the settings saved now?\n(No keeps them, unsaved; Cancel saves "
                     "nothing.)");
    const SettingsPair& shown = *opened.Doc().ImageList().front().m_pSettings;
    EXPECT_EQ(shown[0].m_Angle, 77.0f);
    EXPECT_EQ(shown[1].m_Angle, 99.0f);
    ASSERT_TRUE(m_app->Activate(":2D", "Height_01"));
    ASSERT_EQ(&m_app->ActiveDoc(), &first);
    for (CMDIChildFrame* frame : opened.Frames())
        if (frame->m_strViewKind == ":2D")
            Main().ActivateFrame(frame);
    RunningApp::Pump();
    Tick();
    EXPECT_EQ(config.Edit(kEditAngle).text().toDouble(), 77.0);

    // Its quit asks about the 3D change alone; Yes keeps what the panel saved.
    m_app->Prompt().events.clear();
    AnswerQuestion(m_app->Prompt(), static_cast<int>(CQuestionBox::Answer::Yes));
    EXPECT_TRUE(Main().DocManager().CloseDocument(opened));
    EXPECT_EQ(m_app->Prompt().events, std::vector<std::string>{"dialog: Save the view settings of a.spm:Height_01 to a.cnf?"});
    CMDIDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument(a));
    EXPECT_EQ((*reopened.ImageList().front().m_pSettings)[0].m_Angle, 77.0f);
    EXPECT_EQ((*reopened.ImageList().front().m_pSettings)[1].m_Angle, 99.0f);
}

// Both curves are checked in the scenario; here the cursors move.
TEST_P(PanelGui, ProfileViewDragsItsCursors)
{
    Activate("Height_01:2D");
    CMDIDoc& doc = Doc();
    doc.m_ptSel1 = {10, 20};
    doc.m_ptSel2 = {200, 150};
    m_app->Run(cmd::kOpenProfile);
    auto* view = dynamic_cast<CProfileView*>(Main().MDIGetActive()->GetActiveView());
    ASSERT_NE(view, nullptr);
    Tick();
    Screenshot("panels-03-profile");
    // Drag [a] from 0.25 toward [b]: it stops short of it.
    const int w = view->width() - 110;
    const int xa = int(0.25 * w) + 90;  // the plot area starts 90 pixels in
    const int yMid = (view->height() - 115) / 2 + 35;
    SendMouse(*view, QEvent::MouseButtonPress, QPointF(xa, yMid));
    EXPECT_EQ(doc.m_profileCursors.m_bCursorAGrabbed, 1);
    SendMouse(*view, QEvent::MouseMove, QPointF(xa + w / 4, yMid));
    EXPECT_NEAR(doc.m_profileCursors.m_dCursorA, 0.5, 0.01);
    SendMouse(*view, QEvent::MouseMove, QPointF(90 + w - 5, yMid));
    EXPECT_LT(doc.m_profileCursors.m_dCursorA, doc.m_profileCursors.m_dCursorB);
    EXPECT_NEAR(doc.m_profileCursors.m_dCursorA, 0.5, 0.01);
}

static std::string FileParamName(const testing::TestParamInfo<bool>& info)
{
    return info.param ? "Bundled" : "NanoScope";
}
INSTANTIATE_TEST_SUITE_P(Files, PanelGui, testing::Values(true, false), FileParamName);
INSTANTIATE_TEST_SUITE_P(Files, PanelGuiFocus, testing::Values(true, false), FileParamName);
