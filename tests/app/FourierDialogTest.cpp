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

// Values typed beyond the controls' ranges are brought into them as the edit is left, by
// Return or by the focus going elsewhere, so a filter saved and loaded again holds what the
// dialog held. Each control's ends through a file: ModelTest.
TEST(FourierDialog, TypedValuesComeBackFromAFilterFile)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        CFourierDialogModel& model = dialog.Model();
        dialog.Button(1120)->click();  // Clear All
        const std::tuple<int, const char*, const char*> cases[] = {
            {kIdcXexpansion, "0.5", "1.0"}, {kIdcYexpansion, "999", "99.9"}, {kIdcCutOff, "1.50", "1.00"},
            {kIdcShift, "2.50", "2.00"}};
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
        EXPECT_EQ(std::tie(ends.Xcomp, ends.Ycomp, ends.Cutoff, ends.Shift), std::tuple(1.0, 99.9, 1.0, 2.0));
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

// The largest value of a whole-number parameter edit (Angle, Oder); 0 for the others, which
// hold texts of at most 4 characters.
int WholeMax(int id)
{
    return id == kIdcAngle ? 360 : id == kIdcOder ? 100 : 0;
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

// What the dialog holds of `text` in parameter edit `id`, when the edit takes it.
std::optional<std::string> Taken(int id, const QString& text)
{
    if (WholeMax(id) == 0)
        return text.size() <= 4 ? std::optional(text.toStdString()) : std::nullopt;
    const std::optional<double> value = ValueInRange(text.toStdString(), 0, WholeMax(id), true);
    return value ? std::optional(std::to_string(static_cast<int>(*value))) : std::nullopt;
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
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    const std::pair<int, const char*> cases[] = {
        {kIdcAngle, "05"},  {kIdcAngle, "2000"}, {kIdcAngle, "-"},       {kIdcAngle, "12\b\b"},
        {kIdcOder, "007"},  {kIdcOder, "1.5"},   {kIdcCutOff, "0.305"},  {kIdcXexpansion, "12.34"},
    };
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        const CFourierDialogModel& model = dialog.Model();
        std::vector<std::string>& messages = app.Prompt().messages;
        for (const auto& [id, keys] : cases) {
            QLineEdit& edit = *dialog.Edit(id);
            edit.clear();
            std::string member = Member(model, id);
            std::vector<QString> expected;
            QString text;
            for (const char* key = keys; *key != '\0'; ++key) {
                const QString next = *key == '\b' ? text.left(text.size() - 1) : text + QChar(*key);
                if (WholeMax(id) > 0 || next.size() <= 4 || next.size() < text.size())
                    text = next;
                expected.push_back(text);
                member = Taken(id, text).value_or(member);
            }
            messages.clear();
            EXPECT_EQ(TypeKeys(edit, keys), expected) << keys;
            EXPECT_EQ(Member(model, id), member) << keys;
            EXPECT_EQ(messages, std::vector<std::string>{}) << keys;
            Leave(edit);
            if (Taken(id, text)) {
                EXPECT_EQ(messages, std::vector<std::string>{}) << keys;
                EXPECT_EQ(edit.text(), text) << keys;
                continue;
            }
            EXPECT_EQ(messages, std::vector<std::string>{RangeMessage(0, WholeMax(id), true)}) << keys;
            EXPECT_EQ(edit.text().toStdString(), member) << keys;
            Leave(edit);
            EXPECT_EQ(messages.size(), 1u) << keys;
        }
    }));
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

} // namespace

// A click that leaves Angle holding a refused "2000", as the user's click comes through the
// window system: the press moves the focus and the release follows a moment later whatever
// is on the screen by then. A message box up before the release would take it for itself
// and the click would do nothing; the click must take effect, then the refusal be said once.
// Needs the keyboard focus in the dialog, for the press to take it from Angle.
TEST(FourierDialogFocus, AClickLeavingARefusedParameterTakesEffectBeforeItIsSaid)
{
    SPM_REQUIRE_DISPLAY();
    const ScratchDir dir;
    FourierApp app(SampleCopy(dir));
    RealDialogs real(app);
    // What each click does, as a test of whether it has happened, made before the click.
    using Effect = std::function<bool()>;
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
    constexpr int kHoldMs = 150;  // between the press and the release
    EXPECT_TRUE(app.WithDialog([&](CDialogFourierTransform& dialog) {
        QWindow* const window = dialog.windowHandle();
        QLineEdit& angle = *dialog.Edit(kIdcAngle);
        for (const auto& [id, watch] : cases) {
            dialog.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog)) << "the dialog does not become active on this display";
            angle.setFocus(Qt::MouseFocusReason);
            ASSERT_EQ(QApplication::focusWidget(), &angle) << id;
            angle.clear();
            std::string held = Member(dialog.Model(), kIdcAngle);
            QString prefix;
            for (const char* key = kTyped; *key != '\0'; ++key)
                held = Taken(kIdcAngle, prefix += QChar(*key)).value_or(held);
            TypeKeys(angle, kTyped);
            ASSERT_FALSE(Taken(kIdcAngle, angle.text())) << id;
            const Effect done = watch(dialog);
            ASSERT_FALSE(done()) << id;

            QAbstractButton& target = *dialog.Button(id);
            const QPoint at = target.mapTo(&dialog, ClickPoint(target));
            bool released = false;
            std::vector<std::pair<std::string, bool>> said;  // each message, and whether the click had taken effect
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
                    EXPECT_NE(QApplication::focusWidget(), &angle) << id;
                    while (!released)
                        RunningApp::Pump(10);
                    RunningApp::Pump(500);
                },
                {answer, answer});
            EXPECT_TRUE(done()) << id;
            EXPECT_EQ(said, (std::vector<std::pair<std::string, bool>>{{RangeMessage(0, 360, true), true}})) << id;
            EXPECT_EQ(angle.text().toStdString(), held) << id;
            EXPECT_EQ(Member(dialog.Model(), kIdcAngle), held) << id;
        }
    }));
}
