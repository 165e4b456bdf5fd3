// The Fourier-transform dialog on the bundled sample and on a real NanoScope image: opened
// from the 2D view, it refuses an image too small for it, its primitive list follows the
// keyboard, typed values come back from a filter file, typed parameters stay as typed and are
// refused only by their own edit as it is left, its panes show the spectrum and the surface,
// a drag edits the cut-off live, Filtering and Replace Image reach the document, and Edit
// Undo brings the heights back.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTest>
#include <QWindow>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <set>
#include <tuple>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/fourier/DialogFourierTransform.h"
#include "app/fourier/FourierPanes.h"
#include "formats/ImageFile.h"
#include "fourier/FilterFile.h"
#include "platform/core/NumberText.h"
#include "platform/core/ProfileFile.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "support/TestImages.h"

namespace {

// Distinct grey levels of a picture: a blank pane has one or two.
std::size_t Levels(const QImage& picture)
{
    std::set<QRgb> levels;
    for (int y = 0; y < picture.height(); y += 3)
        for (int x = 0; x < picture.width(); x += 3)
            levels.insert(picture.pixel(x, y));
    return levels.size();
}

// The application on `file` with its 2D frame active: the Fourier tool's frame.
class FourierApp : public RunningApp {
public:
    explicit FourierApp(const std::string& file) : RunningApp(file) { Activate(":2D"); }
    // Runs the tool and `steps` on its dialog, then cancels it; false when no dialog opened.
    bool WithDialog(const std::function<void(CDialogFourierTransform&)>& steps)
    {
        return WithModal<CDialogFourierTransform>([this] { Run(cmd::kFourierTransform); }, steps);
    }
};

// The controls show primitive p as the list's selection leaves them.
void ExpectShows(CDialogFourierTransform& dialog, const FilterPrimitive& p)
{
    EXPECT_EQ(dialog.Edit(kIdcOder)->text().toStdString(), FormatFixed(p.Oder, 0));
    EXPECT_EQ(dialog.Edit(kIdcCutOff)->text().toStdString(), FormatFixed(p.Cutoff, 2));
    EXPECT_EQ(dialog.Edit(kIdcYexpansion)->text().toStdString(), FormatFixed(p.Ycomp, 1));
    EXPECT_EQ(dialog.Edit(kIdcShift)->text().toStdString(), FormatFixed(p.Shift, 2));
    EXPECT_EQ(dialog.Button(1099)->isChecked(), p.LoPass != 0);
}

} // namespace

// An image of 1 x 40 points: the tool says what it needs instead of that the name is unknown.
TEST(FourierDialog, ImageBelowTwoByTwoPointsIsRefusedWithItsSize)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    CSpmImage thin = MakeImage(1, 40, [](int r, int) { return r * 0.5; });
    ASSERT_TRUE(CImageFile().WriteSpm((dir / "thin.spm").string(), thin));
    FourierApp app((dir / "thin.spm").string());
    ASSERT_TRUE(app.Enabled(cmd::kFourierTransform));
    const std::string name = app.MainFrame().MDIGetActive()->m_strImageName;
    app.Prompt().messages.clear();
    EXPECT_FALSE(app.WithDialog([](CDialogFourierTransform&) {}));
    EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{kTextImageTooSmall + name + " has 1 x 40"});
}

// The arrow keys move the selection in the primitive list as a click does, so the controls
// always show the selected primitive: Rep Prim writes it back unchanged and Remove removes it.
TEST(FourierDialog, PrimitiveListFollowsTheKeyboard)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    const std::vector<FilterPrimitive> defaults = DefaultPrimitives();
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        QListWidget& list = dialog.List();
        CFourierDialogModel& model = dialog.Model();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
        ExpectShows(dialog, defaults[0]);
        QTest::keyClick(&list, Qt::Key_Down);
        EXPECT_EQ(list.currentRow(), 2);
        ExpectShows(dialog, defaults[1]);
        EXPECT_EQ(model.m_CurPrimitive, defaults[1]);
        dialog.Button(1116)->click();  // Rep Prim
        EXPECT_EQ(model.m_PrimitiveList, defaults);
        QTest::keyClick(&list, Qt::Key_Up);
        ExpectShows(dialog, defaults[0]);
        // A click on the selected item shows it again over an edit.
        dialog.Edit(kIdcOder)->setText("9");
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
        ExpectShows(dialog, defaults[0]);
        dialog.Button(1121)->click();  // Remove
        EXPECT_EQ(model.m_PrimitiveList, std::vector<FilterPrimitive>{defaults[1]});
        EXPECT_EQ(list.count(), 2);
        EXPECT_TRUE(list.selectedItems().isEmpty());
        dialog.Button(1121)->click();
        EXPECT_EQ(model.m_PrimitiveList.size(), 1u);
        // "Filter" rebuilds the whole filter from the keyboard too.
        QTest::keyClick(&list, Qt::Key_Home);
        EXPECT_EQ(list.currentRow(), 0);
        EXPECT_EQ(model.m_CurPrimitive, defaults[1]);
        EXPECT_TRUE(dialog.Button(1099)->isChecked());
        Screenshot("fourier-4-list-keys", &dialog);
    }));
    EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{kTextSelectPrimitive});
}

// Values typed at the controls' ends, and one with more decimals than a filter file keeps,
// which shows as the file has it once the edit is left, by Return or by the focus going
// elsewhere: a filter saved and loaded again holds what the dialog held. Each control's ends
// through a file: ModelTest.
TEST(FourierDialog, TypedValuesComeBackFromAFilterFile)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        CFourierDialogModel& model = dialog.Model();
        dialog.Button(1120)->click();  // Clear All
        const std::tuple<int, const char*, const char*> cases[] = {
            {kIdcXexpansion, "1.0", "1.0"}, {kIdcYexpansion, "99.9", "99.9"}, {kIdcCutOff, ".125", "0.12"},
            {kIdcShift, "2.00", "2.00"}};
        for (const auto& [id, typed, held] : cases)
            for (const bool tab : {false, true}) {
                QLineEdit& edit = *dialog.Edit(id);
                edit.selectAll();
                QTest::keyClicks(&edit, typed);
                // The focus goes elsewhere (sent, as the dialog need not be the active window).
                QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
                tab ? (void)QApplication::sendEvent(&edit, &out) : QTest::keyClick(&edit, Qt::Key_Return);
                EXPECT_EQ(edit.text().toStdString(), held) << typed;
            }
        model.OnOK();
        dialog.Button(1112)->click();  // Add Prim
        ASSERT_EQ(model.m_PrimitiveList.size(), 1u);
        const FilterPrimitive ends = model.m_PrimitiveList[0];
        EXPECT_EQ(std::tie(ends.Xcomp, ends.Ycomp, ends.Cutoff, ends.Shift), std::tuple(1.0, 99.9, 0.12, 2.0));
        const std::string file = (dir / "ends.flt").string();
        AnswerFileDialog(app.Prompt(), file);
        dialog.Button(1123)->click();  // SaveFilter
        dialog.Button(1120)->click();
        AnswerFileDialog(app.Prompt(), file);
        dialog.Button(1122)->click();  // Load Filter
        EXPECT_EQ(model.m_PrimitiveList, std::vector<FilterPrimitive>{ends});
        EXPECT_EQ(dialog.List().count(), 2);
    }));
    EXPECT_TRUE(app.Prompt().messages.empty());
}

// Add Prim and Rep Prim store what the controls show, each parameter typed and left with
// Tab since the last mask build, a refused one as it is shown again; SaveFilter writes those
// numbers.
TEST(FourierDialog, AddPrimAndRepPrimStoreWhatTheControlsShow)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    const std::string file = (dir / "typed.flt").string();
    std::vector<FilterPrimitive> stored;
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        CFourierDialogModel& model = dialog.Model();
        const auto type = [&](int id, const char* keys) {
            QLineEdit& edit = *dialog.Edit(id);
            edit.selectAll();
            TypeKeys(edit, keys);
            Leave(edit);
        };
        const auto typeAll = [&](int pass, int shape, const std::array<const char*, 6>& keys) {
            dialog.Button(shape)->click();
            dialog.Button(pass)->click();
            const int ids[] = {kIdcOder, kIdcAngle, kIdcCutOff, kIdcXexpansion, kIdcYexpansion, kIdcShift};
            for (std::size_t i = 0; i < std::size(ids); ++i)
                type(ids[i], keys[i]);
        };
        dialog.Button(1120)->click();  // Clear All
        typeAll(1098, 1138, {"7", "30", "0.65", "2.5", "12.5", "0.4"});  // LoPass, Rectangle
        dialog.Button(1112)->click();  // Add Prim
        typeAll(1099, 1137, {"12", "90", "5", "1.5", "3", "1.2"});  // HiPass, Circle; CutOff refused
        EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{RangeMessage(0.01, 1, false)});
        dialog.Button(1112)->click();
        const FilterPrimitive first{0, 1, 7, 0.65, 2.5, 12.5, 0.4, 30}, second{1, 0, 12, 0.65, 1.5, 3.0, 1.2, 90};
        EXPECT_EQ(model.m_PrimitiveList, (std::vector{first, second}));
        QListWidget& list = dialog.List();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
        type(kIdcCutOff, "0.9");
        dialog.Button(1116)->click();  // Rep Prim
        FilterPrimitive replaced = first;
        replaced.Cutoff = 0.9;
        EXPECT_EQ(model.m_PrimitiveList, (std::vector{replaced, second}));
        stored = model.m_PrimitiveList;
        AnswerFileDialog(app.Prompt(), file);
        dialog.Button(1123)->click();  // SaveFilter
    }));
    // The file read back as numbers, key by key.
    const ProfileFile saved = ProfileFile::Load(file);
    ASSERT_EQ(saved.GetString("FilterPrimitive", "NofPrimitive"), std::to_string(stored.size()));
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const FilterPrimitive& p = stored[i];
        const std::pair<const char*, double> keys[] = {{"LoPass", p.LoPass}, {"Type", p.Type},     {"Oder", p.Oder},
                                                       {"Cutoff", p.Cutoff}, {"Xcomp", p.Xcomp},   {"Ycomp", p.Ycomp},
                                                       {"Shift", p.Shift},   {"Angle", p.Angle}};
        for (const auto& [key, value] : keys) {
            const std::string name = std::string(key).append("[").append(std::to_string(i)).append("]");
            EXPECT_EQ(std::stod(saved.GetString("FilterPrimitive", name, "nan")), value) << name;
        }
    }
}

// A filter saved under a name with another extension goes to that name with ".flt" behind
// it, and the real dialog asks before it replaces that file.
TEST(FourierDialog, SaveFilterAsksAboutTheFileItWrites)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    const std::filesystem::path written = dir / "kept.txt.flt";
    WriteFile(written, std::string_view("kept"));
    RealDialogs real(app);
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        for (const QMessageBox::StandardButton answer : {QMessageBox::No, QMessageBox::Yes}) {
            const std::string question =
                SaveUnderTypedName([&] { dialog.Button(1123)->click(); }, (dir / "kept.txt").string(), answer);
            EXPECT_NE(question.find("kept.txt.flt"), std::string::npos) << question;
            EXPECT_EQ(FileText(written) == "kept", answer == QMessageBox::No);
        }
    }));
    EXPECT_FALSE(std::filesystem::exists(dir / "kept.txt"));
}

TEST(FourierDialog, TransformDragFilterReplaceAndUndo)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    FourierApp app(SamplePath("nanoscope-v432-height-amplitude.007").string());
    const CSpmImage& image = *app.ActiveDoc().Doc().FindImage(app.MainFrame().MDIGetActive()->m_strImageName)->m_pImage;
    const std::vector<double> loaded = image.m_pData;
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        CFourierDialogModel& model = dialog.Model();
        EXPECT_TRUE(dialog.TimerActive());
        EXPECT_EQ(dialog.TimerInterval(), 30);
        EXPECT_EQ(dialog.List().count(), 3);
        Screenshot("fourier-1-opened", &dialog);
        EXPECT_GT(Levels(dialog.SpectrumPane().Picture()), 20u);
        if (dialog.SurfacePane() != nullptr) {
            EXPECT_GT(Levels(dialog.SurfacePane()->grabFramebuffer()), 20u);
        }

        dialog.Button(1139)->click();  // Marker
        dialog.Button(1100)->click();  // Filtering
        EXPECT_NE(model.m_imgWork.m_pData, loaded);
        Screenshot("fourier-2-filtered", &dialog);

        // The panes let the mouse through: a press and a drag on the spectrum pane reach the dialog.
        const PaneRect& pane = model.m_rcPane;
        const QPoint centre(pane.left + pane.Width() / 2, pane.top + pane.Height() / 2);
        QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, centre);
        EXPECT_EQ(dialog.TimerInterval(), 100);
        SendMouse(dialog, QEvent::MouseMove, centre + QPoint(100, 0));
        EXPECT_EQ(model.m_nPendingAction, kLiveEdit);
        RunningApp::Pump(300);
        EXPECT_EQ(model.m_nPendingAction, kNoAction);
        EXPECT_EQ(model.m_nDragRadius, static_cast<int>(100 * model.m_fScaleX));
        EXPECT_EQ(dialog.Edit(kIdcCutOff)->text().toStdString(),
                  FormatFixed(model.m_nDragRadius * 200 / image.m_nWidth * 0.01, 2));
        Screenshot("fourier-3-dragged", &dialog);
        // The button goes up again, as the user's does: the application tells what waits for
        // the user's action only while no button is down.
        QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, centre + QPoint(100, 0));

        dialog.Button(1102)->click();  // Replace Image
        EXPECT_EQ(image.m_pData, model.m_imgWork.m_pData);
    }));
    EXPECT_NE(image.m_pData, loaded);
    ASSERT_TRUE(app.Run(cmd::kEditUndo));
    EXPECT_EQ(image.m_pData, loaded);
    EXPECT_TRUE(app.Prompt().messages.empty());
}

namespace {

// The largest imaginary part the last inverse transform left, against the heights' range:
// what a filter that is not symmetric about the zero frequency adds to a real image.
double ImaginaryShare(const CFourierDialogModel& model)
{
    double worst = 0.0;
    for (double v : model.m_Workspace.m_pSpatialIm)
        worst = std::max(worst, std::fabs(v));
    return worst / (model.m_imgWork.m_dMax - model.m_imgWork.m_dMin);
}

// The middle of the pixels of the outline's colour on the spectrum pane, in pane pixels.
std::optional<QPointF> OutlineCentre(CSpectrumPane& pane, QRgb colour)
{
    const QImage picture = pane.grab().toImage();
    QRect box;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (picture.pixel(x, y) == colour)
                box |= QRect(x, y, 1, 1);
    if (box.isEmpty())
        return std::nullopt;
    return QRectF(box).center();
}

} // namespace

// The scan of the NT-MDT file has 51 x 39 points: its spectrum's zero frequency lies between
// two cells. The default filter leaves the heights real in both directions; the outline
// centres between the two middle cells, and a drag as far to the left as to the right lays
// the same filter, which leaves the heights real too.
TEST(FourierDialog, AScanOfOddSizeFilteredStaysRealAndItsOutlineCentresOnTheZeroFrequency)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    FourierApp app(SamplePath("mdt-spectra-and-scan-51x39.mdt").string());
    const QRgb blue = qRgb(0, 0, 255);
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        CFourierDialogModel& model = dialog.Model();
        ASSERT_EQ(model.m_Workspace.m_nWidth, 51);
        ASSERT_EQ(model.m_Workspace.m_nHeight, 39);
        dialog.Button(1142)->click();  // Complex: the default list
        for (int direction : {1031, 1136}) {  // X, then XY
            dialog.Button(direction)->click();
            dialog.Button(1100)->click();  // Filtering
            EXPECT_LT(ImaginaryShare(model), 1e-6) << direction;
        }

        // FilterPrim1: a low-pass circle, drawn blue.
        QListWidget& list = dialog.List();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.item(1)).center());
        dialog.Button(1139)->click();  // Marker
        CSpectrumPane& pane = dialog.SpectrumPane();
        // The picture draws cell c from c x width / 51 on: cell 26 and row 20 begin at the zero frequency.
        const QPointF zero(26.0 * pane.width() / 51, 20.0 * pane.height() / 39);
        RunningApp::Pump();
        Screenshot("fourier-odd-1-marker", &dialog);
        const std::optional<QPointF> marked = OutlineCentre(pane, blue);
        ASSERT_TRUE(marked.has_value());
        EXPECT_NEAR(marked->x(), zero.x(), 1.5);
        EXPECT_NEAR(marked->y(), zero.y(), 1.5);

        const QPointF zeroOnDialog = QPointF(pane.mapTo(&dialog, QPoint(0, 0))) + zero;
        QTest::mousePress(&dialog, Qt::LeftButton, Qt::NoModifier, zeroOnDialog.toPoint());
        int radius[2] = {};
        for (int side : {0, 1}) {
            const QPoint at = (zeroOnDialog + QPointF(side == 0 ? 60 : -60, 0)).toPoint();
            SendMouse(dialog, QEvent::MouseMove, at);
            for (int waited = 0; model.m_nPendingAction != kNoAction && waited < 5000; waited += 50)
                RunningApp::Pump(50);
            ASSERT_EQ(model.m_nPendingAction, kNoAction);
            radius[side] = model.m_nDragRadius;
            EXPECT_LT(ImaginaryShare(model), 1e-6) << side;
            RunningApp::Pump();
            Screenshot("fourier-odd-2-dragged-" + std::to_string(side), &dialog);
            const std::optional<QPointF> dragged = OutlineCentre(pane, blue);
            ASSERT_TRUE(dragged.has_value());
            EXPECT_NEAR(dragged->x(), zero.x(), 1.5) << side;
            EXPECT_NEAR(dragged->y(), zero.y(), 1.5) << side;
        }
        EXPECT_GT(radius[0], 3);
        EXPECT_EQ(radius[0], radius[1]);
        QTest::mouseRelease(&dialog, Qt::LeftButton, Qt::NoModifier, zeroOnDialog.toPoint());
    }));
    EXPECT_TRUE(app.Prompt().messages.empty());
}

// The tool's own message and file dialog belong to the tool: each comes in front of it, as
// the window manager keeps a window's dialogs, and the main window stays behind the tool.
TEST(FourierDialog, MessagesAndFileDialogsBelongToTheTool)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    RealDialogs real(app);
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        dialog.List().clearSelection();
        // What each window that came up belonged to, and the screen while the message is up.
        std::vector<std::pair<QWidget*, QWindow*>> owners;
        std::string text;
        const auto look = [&](QWidget* modal, bool message) {
            if (modal == nullptr || modal == &dialog || (qobject_cast<QMessageBox*>(modal) != nullptr) != message)
                return false;
            owners.emplace_back(modal->parentWidget(), modal->windowHandle()->transientParent());
            if (message) {
                Screenshot("fourier-5-message-in-front");
                text = qobject_cast<QMessageBox*>(modal)->text().toStdString();
            }
            static_cast<QDialog*>(modal)->reject();
            return true;
        };
        RunWithModals([&] { dialog.Button(1121)->click(); },  // Remove, with no primitive selected
                      {[&](QWidget* modal) { return look(modal, true); }});
        RunWithModals([&] { dialog.Button(1123)->click(); },  // SaveFilter
                      {[&](QWidget* modal) { return look(modal, false); }});
        EXPECT_EQ(text, kTextSelectPrimitive);
        ASSERT_EQ(owners.size(), 2u);
        for (const auto& [parent, transient] : owners) {
            EXPECT_EQ(parent, &dialog);
            EXPECT_EQ(transient, dialog.windowHandle());
        }
    }));
}

namespace {

// What parameter edit `id` takes: whole numbers within 0 to 360 (Angle) or 0 to 100 (Oder),
// texts of at most 4 characters that are numbers within the range their scroll bar shows
// (the other four).
struct EditRange {
    double min, max;
    bool whole;
};

EditRange RangeOf(int id)
{
    switch (id) {
    case kIdcAngle: return {0, 360, true};
    case kIdcOder: return {0, 100, true};
    case kIdcCutOff: return {0.01, 1, false};
    case kIdcShift: return {0, 2, false};
    default: return {1, 99.9, false};
    }
}

// What the dialog holds of parameter edit `id`.
std::string Member(const CFourierDialogModel& m, int id)
{
    switch (id) {
    case kIdcAngle: return std::to_string(m.m_nAngle);
    case kIdcOder: return std::to_string(m.m_nOder);
    case kIdcCutOff: return m.m_strCutOff;
    case kIdcShift: return m.m_strShift;
    case kIdcXexpansion: return m.m_strXexpansion;
    default: return m.m_strYexpansion;
    }
}

// The value of real-valued edit `id` in primitive `p`.
double FieldOf(const FilterPrimitive& p, int id)
{
    switch (id) {
    case kIdcCutOff: return p.Cutoff;
    case kIdcShift: return p.Shift;
    case kIdcXexpansion: return p.Xcomp;
    default: return p.Ycomp;
    }
}

// What the dialog holds of `text` in parameter edit `id`, when the edit takes it.
std::optional<std::string> Taken(int id, const QString& text)
{
    const EditRange range = RangeOf(id);
    if (!range.whole && text.size() > 4)
        return std::nullopt;
    const std::optional<double> value = ValueInRange(text.toStdString(), range.min, range.max, range.whole);
    if (!value)
        return std::nullopt;
    return range.whole ? std::to_string(static_cast<int>(*value)) : text.toStdString();
}

// The texts edit `id` shows while `keys` are typed into it emptied ('\b' a backspace), and
// what the dialog holds of it afterwards, starting from `member`.
std::pair<std::vector<QString>, std::string> WhileTyped(int id, const char* keys, std::string member)
{
    std::vector<QString> shown;
    QString text;
    for (const char* key = keys; *key != '\0'; ++key) {
        const QString next = *key == '\b' ? text.left(text.size() - 1) : text + QChar(*key);
        if (RangeOf(id).whole || next.size() <= 4 || next.size() < text.size())
            text = next;
        shown.push_back(text);
        member = Taken(id, text).value_or(member);
    }
    return {shown, member};
}

// Types `keys` into the emptied edit `id`, then leaves it, twice: the text stays as typed
// and says nothing while typed; when left, a text the edit takes stays and says nothing, any
// other is said once, and the dialog and the edit take back the value held before the first
// key, not one read on the way.
void TypeAndLeave(CDialogFourierTransform& dialog, std::vector<std::string>& messages, int id, const char* keys)
{
    const CFourierDialogModel& model = dialog.Model();
    QLineEdit& edit = *dialog.Edit(id);
    edit.clear();
    const std::string before = Member(model, id);
    const auto [expected, member] = WhileTyped(id, keys, before);
    messages.clear();
    EXPECT_EQ(TypeKeys(edit, keys), expected) << keys;
    EXPECT_EQ(Member(model, id), member) << keys;
    EXPECT_EQ(messages, std::vector<std::string>{}) << keys;
    Leave(edit);
    const QString text = expected.back();
    if (Taken(id, text)) {
        EXPECT_EQ(messages, std::vector<std::string>{}) << keys;
        EXPECT_EQ(edit.text(), text) << keys;
        return;
    }
    const EditRange range = RangeOf(id);
    EXPECT_EQ(messages, std::vector<std::string>{RangeMessage(range.min, range.max, range.whole)}) << keys;
    EXPECT_EQ(Member(model, id), before) << keys;
    EXPECT_EQ(edit.text().toStdString(), before) << keys;
    Leave(edit);
    EXPECT_EQ(messages.size(), 1u) << keys;
}

// Each case typed into its edit and left in turn (TypeAndLeave), in a dialog on the sample.
void TypeAndLeaveInTurn(std::initializer_list<std::pair<int, const char*>> cases)
{
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        for (const auto& [id, keys] : cases)
            TypeAndLeave(dialog, app.Prompt().messages, id, keys);
    }));
}

} // namespace

// What the user types into a parameter edit stays as typed ("05" is not made "5"), and a
// text edit stops taking characters at its 4, as an edit with a text limit does; each text
// that is a value goes into the dialog at once, and any other ("", "-", "2000" beyond 360)
// takes nothing and says nothing until the edit is left: then it is said once, and the edit
// shows the dialog's value again.
TEST(FourierDialog, TypedParametersStayAsTypedAndAreRefusedOnlyWhenLeft)
{
    SPM_REQUIRE_DISPLAY();
    TypeAndLeaveInTurn({
        {kIdcAngle, "05"},  {kIdcAngle, "2000"}, {kIdcAngle, "-"},       {kIdcAngle, "12\b\b"},
        {kIdcOder, "007"},  {kIdcOder, "1.5"},   {kIdcCutOff, "0.305"},  {kIdcXexpansion, "12.34"},
        // Refused after values on the way ("1.", 25, "2.", 99): none of them is kept.
        {kIdcCutOff, "1.5"}, {kIdcXexpansion, "250"}, {kIdcShift, "2.50"}, {kIdcYexpansion, "999"},
    });
}

// CutOff, Shift, Xexpansion and Yexpansion take only numbers within the range their scroll
// bar shows, as Angle and Oder do: a number beyond it or no number at all is said once when
// the edit is left, naming the range, and the edit shows the dialog's value again; a number
// on its way ("." or "0.") says nothing while typed.
TEST(FourierDialog, RealParametersTakeOnlyNumbersWithinTheirBars)
{
    SPM_REQUIRE_DISPLAY();
    TypeAndLeaveInTurn({
        {kIdcCutOff, "5"},        {kIdcCutOff, "abc"},      {kIdcCutOff, "."},      {kIdcCutOff, "0."},
        {kIdcShift, "9"},         {kIdcShift, "x1"},        {kIdcShift, "."},       {kIdcShift, "0."},
        {kIdcXexpansion, "0.01"}, {kIdcXexpansion, "xyz"},  {kIdcXexpansion, "."},  {kIdcXexpansion, "0."},
        {kIdcYexpansion, "0.5"},  {kIdcYexpansion, "xyz"},  {kIdcYexpansion, "."},  {kIdcYexpansion, "0."},
    });
}

// An emptied Angle is the Angle edit's to report, when the user leaves it: typing in another
// edit and every radio and check box go on working without a word, and the text stays.
TEST(FourierDialog, ARefusedParameterIsReportedByItsOwnEditAlone)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        const CFourierDialogModel& model = dialog.Model();
        std::vector<std::string>& messages = app.Prompt().messages;
        QLineEdit& angle = *dialog.Edit(kIdcAngle);
        const std::string held = Member(model, kIdcAngle);
        angle.selectAll();
        TypeKeys(angle, "\b");
        QLineEdit& order = *dialog.Edit(kIdcOder);
        order.selectAll();
        TypeKeys(order, "7");
        EXPECT_EQ(model.m_nOder, 7);
        // Each radio pair with the member it sets, the other one clicked; then the Marker.
        const std::tuple<int, int, const int*> pairs[] = {{1098, 1099, &model.m_nLoPass}, {1137, 1138, &model.m_nShape},
                                                          {1141, 1142, &model.m_nSingleComplex},
                                                          {kIdcLogView, kIdcLinView, &model.m_nLinLog}};
        for (const auto& [zero, one, member] : pairs) {
            const int wanted = 1 - *member;
            dialog.Button(wanted == 0 ? zero : one)->click();
            EXPECT_EQ(*member, wanted) << one;
        }
        EXPECT_EQ(model.m_CurPrimitive.LoPass, model.m_nLoPass);
        EXPECT_EQ(model.m_CurPrimitive.Type, static_cast<std::uint32_t>(model.m_nShape));
        const int marker = model.m_bMarker;
        dialog.Button(1139)->click();
        EXPECT_NE(model.m_bMarker, marker);
        EXPECT_EQ(messages, std::vector<std::string>{});
        EXPECT_EQ(angle.text(), "");
        Leave(angle);
        EXPECT_EQ(messages, std::vector<std::string>{RangeMessage(0, 360, true)});
        EXPECT_EQ(angle.text().toStdString(), held);
        Leave(angle);
        EXPECT_EQ(messages.size(), 1u);
    }));
}

// "1.5" typed over CutOff reads "1." on the way, and a bar moved meanwhile builds the mask
// from the current primitive, which takes that 1. Left by Tab or by Return, the refused text
// is said once, and the edit, its member, the current primitive and the mask shown all take
// back the cut-off from before the text.
TEST(FourierDialog, ARefusedParameterTakesThePrimitiveAndTheMaskBackWithIt)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    for (const bool byReturn : {false, true}) {
        EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
            CFourierDialogModel& model = dialog.Model();
            std::vector<std::string>& messages = app.Prompt().messages;
            QLineEdit& cutoff = *dialog.Edit(kIdcCutOff);
            const std::string start = model.m_strCutOff;
            cutoff.selectAll();
            TypeKeys(cutoff, "1.5");
            ASSERT_EQ(model.m_strCutOff, "1.");
            model.OnHScroll(kIdcShiftScroll, kLineRight, 0);
            model.OnTimer();
            ASSERT_EQ(model.m_CurPrimitive.Cutoff, 1.0);
            messages.clear();
            if (byReturn)
                QTest::keyClick(&cutoff, Qt::Key_Return);
            else
                Leave(cutoff);
            EXPECT_TRUE(PumpUntil([&] { return !messages.empty(); })) << byReturn;
            model.OnTimer();
            EXPECT_EQ(messages, std::vector<std::string>{CFourierDialogModel::RealEditRefusal(kIdcCutOff)}) << byReturn;
            EXPECT_EQ(cutoff.text().toStdString(), start) << byReturn;
            EXPECT_EQ(model.m_strCutOff, start) << byReturn;
            EXPECT_EQ(model.m_CurPrimitive.Cutoff, std::stod(start)) << byReturn;
            std::vector<double> mask(model.m_imgMask.m_pData.size());
            ASSERT_TRUE(BuildPrimitiveMask(model.m_CurPrimitive, model.m_Workspace, mask));
            EXPECT_EQ(model.m_imgMask.m_pData, mask) << byReturn;
        }));
    }
}

namespace {

// Where a click on `button` toggles or pushes it: a radio takes only clicks on its circle
// and its text, the rest of its row is the dialog's.
QPoint ClickPoint(QAbstractButton& button)
{
    if (qobject_cast<QRadioButton*>(&button) == nullptr)
        return button.rect().center();
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    return button.style()->subElementRect(QStyle::SE_RadioButtonClickRect, &option, &button).center();
}

// What a click does, as a test of whether it has happened, made before the click.
using Effect = std::function<bool()>;
// Each message said after a click, and whether the click had taken effect by then.
using Said = std::vector<std::pair<std::string, bool>>;

// Where a click on button `id` of the dialog toggles or pushes it, in dialog coordinates.
QPoint ButtonPoint(CDialogFourierTransform& dialog, int id)
{
    QAbstractButton& button = *dialog.Button(id);
    return button.mapTo(&dialog, ClickPoint(button));
}

// Types `keys` into the emptied edit `id` with the keyboard focus in it, then clicks at `at`
// as the user's click comes through the window system: the press moves the focus and the
// release follows a moment later whatever is on the screen by then. A message box up before
// the release would take it for itself and the click would do nothing. `watch` makes the
// click's effect, which must not hold before it. The messages said after the release, once
// the effect holds and `refusals` were said.
void TypeAndClickAway(CDialogFourierTransform& dialog, int id, const char* keys, QPoint at,
                      const std::function<Effect(CDialogFourierTransform&)>& watch, Said& said,
                      std::size_t refusals = 1)
{
    constexpr int kHoldMs = 150;  // between the press and the release
    QWindow* const window = dialog.windowHandle();
    QLineEdit& edit = *dialog.Edit(id);
    dialog.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog, kWaitLimitMs))
        << "the dialog does not become active on this display";
    edit.setFocus(Qt::MouseFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), &edit) << keys;
    edit.clear();
    TypeKeys(edit, keys);
    const Effect done = watch(dialog);
    ASSERT_FALSE(done()) << keys;
    bool released = false;
    const ModalStep answer = [&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (box == nullptr || !released)
            return false;
        said.emplace_back(box->text().toStdString(), done());
        box->button(QMessageBox::Ok)->click();
        return true;
    };
    RunWithModals(
        [&] {
            // Set first: the release runs what it brings before it returns.
            QTimer::singleShot(kHoldMs, &dialog, [&] {
                released = true;
                QTest::mouseRelease(window, Qt::LeftButton, {}, at);
            });
            QTest::mousePress(window, Qt::LeftButton, {}, at);
            EXPECT_NE(QApplication::focusWidget(), &edit) << keys;
            while (!released)
                RunningApp::Pump(10);
            PumpUntil([&] { return done() && said.size() >= refusals; });
            // Time for a message too many to come.
            RunningApp::Pump(300);
        },
        {answer, answer});
    EXPECT_TRUE(done()) << keys;
}

} // namespace

// A click that leaves Angle holding a refused "2000" takes effect, and then the refusal is
// said once; Angle takes back what it held before the "2", not the 200 read on the way.
// Needs the keyboard focus in the dialog, for the press to take it from Angle.
TEST(FourierDialogFocus, AClickLeavingARefusedParameterTakesEffectBeforeItIsSaid)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    RealDialogs real(app);
    const std::pair<int, std::function<Effect(CDialogFourierTransform&)>> cases[] = {
        {kIdcLinView,
         [](CDialogFourierTransform& d) -> Effect {
             return [&d] { return d.Button(kIdcLinView)->isChecked() && d.Model().m_nLinLog == 1; };
         }},
        {1112,  // Add Prim
         [](CDialogFourierTransform& d) -> Effect {
             return [&d, held = d.Model().m_PrimitiveList.size(), shown = d.List().count()] {
                 return d.Model().m_PrimitiveList.size() == held + 1 && d.List().count() == shown + 1;
             };
         }},
    };
    constexpr const char* kTyped = "2000";
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        for (const auto& [id, watch] : cases) {
            const std::string held = Member(dialog.Model(), kIdcAngle);
            ASSERT_NE(WhileTyped(kIdcAngle, kTyped, held).second, held);
            Said said;
            TypeAndClickAway(dialog, kIdcAngle, kTyped, ButtonPoint(dialog, id), watch, said);
            EXPECT_EQ(said, (Said{{RangeMessage(0, 360, true), true}})) << id;
            EXPECT_EQ(dialog.Edit(kIdcAngle)->text().toStdString(), held) << id;
            EXPECT_EQ(Member(dialog.Model(), kIdcAngle), held) << id;
        }
    }));
}

// Add Prim and Rep Prim, clicked while a real-valued parameter is being typed, store the
// value the edit shows once the click has left it: the typed one, or for a refused text the
// one from before that text, after which the refusal is said once. Needs the keyboard focus.
TEST(FourierDialogFocus, AddPrimAndRepPrimByAClickStoreWhatTheEditShows)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    RealDialogs real(app);
    const struct {
        int button, edit;
        const char* keys;
        const char* order;  // typed over FilterPrim1 before, for Rep Prim
    } cases[] = {
        {1112, kIdcCutOff, "0.65", nullptr}, {1112, kIdcCutOff, "5", nullptr},  // Add Prim
        {1112, kIdcCutOff, "1.5", nullptr},  // "1." on the way: the value before it is stored
        {1116, kIdcYexpansion, "2.5", "9"},  {1116, kIdcYexpansion, "0.5", "8"},  // Rep Prim
    };
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        CFourierDialogModel& model = dialog.Model();
        QLineEdit& oder = *dialog.Edit(kIdcOder);
        dialog.List().setCurrentRow(1);  // FilterPrim1
        for (const auto& c : cases) {
            const bool add = c.order == nullptr;
            // For Rep Prim an order typed over the selected primitive tells that it was replaced.
            if (!add) {
                oder.selectAll();
                TypeKeys(oder, c.order);
                Leave(oder);
            }
            QLineEdit& edit = *dialog.Edit(c.edit);
            const auto watch = [&, c](CDialogFourierTransform& d) -> Effect {
                return [&d, &edit, c, add, size = d.Model().m_PrimitiveList.size()] {
                    const std::vector<FilterPrimitive>& list = d.Model().m_PrimitiveList;
                    std::optional<double> value;
                    if (add ? list.size() == size + 1 : std::to_string(list.front().Oder) == c.order)
                        value = FieldOf(add ? list.back() : list.front(), c.edit);
                    return value == std::stod(edit.text().toStdString());
                };
            };
            const bool taken = Taken(c.edit, QString::fromUtf8(c.keys)).has_value();
            const std::string held = taken ? c.keys : Member(model, c.edit);
            Said said;
            TypeAndClickAway(dialog, c.edit, c.keys, ButtonPoint(dialog, c.button), watch, said, taken ? 0 : 1);
            EXPECT_EQ(edit.text().toStdString(), held) << c.keys;
            const EditRange range = RangeOf(c.edit);
            const Said refusal{{RangeMessage(range.min, range.max, false), true}};
            EXPECT_EQ(said, taken ? Said{} : refusal) << c.keys;
        }
    }));
}

// A press on the spectrum pane writes the drag's parameters into every edit: it leaves the
// edit typed in first, as a click on a control does, so that a refused order is said once
// after the press, not overwritten without a word, and the order and the current primitive
// keep what they held before it was typed. Needs the keyboard focus.
TEST(FourierDialogFocus, APressOnTheSpectrumLeavesTheEditTypedIn)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    RealDialogs real(app);
    constexpr const char* kTyped = "200";
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        const CFourierDialogModel& model = dialog.Model();
        const PaneRect& pane = model.m_rcPane;
        const QPoint centre(pane.left + pane.Width() / 2, pane.top + pane.Height() / 2);
        const std::string held = Member(model, kIdcOder);
        ASSERT_NE(WhileTyped(kIdcOder, kTyped, held).second, held);
        const auto watch = [](CDialogFourierTransform& d) -> Effect { return [&d] { return d.Model().m_bMarker == 1; }; };
        Said said;
        TypeAndClickAway(dialog, kIdcOder, kTyped, centre, watch, said);
        EXPECT_EQ(said, (Said{{RangeMessage(0, 100, true), true}}));
        EXPECT_EQ(dialog.Edit(kIdcOder)->text().toStdString(), held);
        EXPECT_EQ(model.m_CurPrimitive.Oder, static_cast<std::uint32_t>(std::stoi(held)));
    }));
}
