// The coefficient dialog of a header that failed its check, as the user meets it when a file
// opens: Cancel, Escape and the close box take no number typed on the way to a text refused,
// while the fields the user completed count; each OK that refuses says one message, and
// nothing comes after it; an Origin export's Z scale, which its heights set, is shown and
// kept, not typed.
#include <gtest/gtest.h>

#include <QDialog>
#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "AppTestSupport.h"
#include "platform/core/NumberText.h"
#include "platform/core/Prompt.h"
#include "platform/qt/Document.h"

namespace {

// A copy of the sample whose X and Y steps and Z scale are 0: its check offers 1 for each.
std::string WithoutCoefficients(const ScratchDir& dir, const std::string& name)
{
    const std::string path = SampleCopy(dir, name);
    std::string bytes = FileText(path);
    const float zero = 0.0f;
    for (const std::size_t offset : {offsetof(SpmHeader, m_fKx), offsetof(SpmHeader, m_fKy), offsetof(SpmHeader, m_fKz)})
        std::memcpy(bytes.data() + offset, &zero, sizeof zero);
    WriteFile(path, bytes);
    return path;
}

// The edit of `field` in the coefficient dialog in front; null while none is.
QLineEdit* CoefficientEdit(QWidget* modal, const char* field)
{
    return modal != nullptr ? modal->findChild<QLineEdit*>(field) : nullptr;
}

// The dialog in front has the keyboard focus, as the user's has.
bool Focused(QWidget* modal)
{
    modal->activateWindow();
    return QTest::qWaitForWindowActive(modal, kWaitLimitMs);
}

// The user selects what `edit` shows and types `keys` over it.
void TypeOver(QLineEdit& edit, const char* keys)
{
    UserClick(edit);
    edit.selectAll();
    TypeKeys(edit, keys);
}

// The ways to leave a dialog without OK.
enum class Way { Cancel, Escape, CloseBox };

// Leaves `modal` `way` once the step that asks it is done: Escape from the edit with the focus.
void CloseSoon(QWidget* modal, Way way)
{
    auto* dialog = qobject_cast<QDialog*>(modal);
    QTimer::singleShot(0, dialog, [=] {
        switch (way) {
        case Way::Cancel: UserClick(*dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)); break;
        case Way::Escape: QTest::keyClick(dialog->focusWidget(), Qt::Key_Escape); break;
        case Way::CloseBox: dialog->close(); break;
        }
    });
}

// Opens `path` as the user does, which brings up the repair dialogs.
std::function<void()> Opening(RunningApp& app, const std::string& path)
{
    return [&app, path] {
        app.App().OpenWithFollowUp(path);
        RunningApp::Pump(300);
    };
}

const SpmHeader& OpenedHeader(RunningApp& app)
{
    return app.ActiveDoc().Doc().ImageList().back().m_pImage->m_header;
}

} // namespace

class RepairDialogOkCancelFocus : public testing::Test {
protected:
    void SetUp() override
    {
        if (!DisplayAvailable())
            GTEST_SKIP() << "no display";
    }
};

// One field completed ("2.5" and Tab), then "2000000" in another, which it took as 200000 on
// the way, and the dialog left without OK: the refused field is 1 as offered, the completed
// one 2.5, and nothing is said.
TEST_F(RepairDialogOkCancelFocus, LeavingWithoutOkTakesThePresetOfARefusedTextAndTheCompletedFields)
{
    const ScratchDir dir;
    RunningApp app;
    RealDialogs real(app);
    const char* const fields[] = {"Kx", "Ky", "Kz"};
    int run = 0;
    for (int refused = 0; refused < 3; ++refused) {
        for (const Way way : {Way::Cancel, Way::Escape, Way::CloseBox}) {
            const int completed = (refused + 1) % 3;
            const std::string path = WithoutCoefficients(dir, std::string("c").append(std::to_string(++run)).append(".spm"));
            std::vector<std::string> said;
            const ModalStep typeThenLeave = [&](QWidget* modal) {
                QLineEdit* done = CoefficientEdit(modal, fields[completed]);
                QLineEdit* typed = CoefficientEdit(modal, fields[refused]);
                if (done == nullptr || !Focused(modal))
                    return false;
                TypeOver(*done, "2.5");
                QTest::keyClick(done, Qt::Key_Tab);
                TypeOver(*typed, "2000000");
                CloseSoon(modal, way);
                return true;
            };
            const std::size_t done = RunWithModals(
                Opening(app, path), {AnswerBox(QMessageBox::Ok), typeThenLeave, RecordBoxes(said)}, kWaitLimitMs);
            const std::string what = std::string(fields[refused]) + " way " + std::to_string(static_cast<int>(way));
            EXPECT_EQ(done, 2u) << what;
            EXPECT_EQ(said, std::vector<std::string>{}) << what;
            const SpmHeader& header = OpenedHeader(app);
            const float values[] = {header.m_fKx, header.m_fKy, header.m_fKz};
            EXPECT_EQ(values[refused], 1.0f) << what;
            EXPECT_EQ(values[completed], 2.5f) << what;
            EXPECT_EQ(values[(refused + 2) % 3], 1.0f) << what;
        }
    }
}

// An Origin export whose steps are 0: "2000000" and Return in K_x, then in K_y, are
// refused with one message each, and none comes later; K_x has the focus, K_y keeps its
// text. "3" in K_x and Cancel then leave the header with X step 3, Y step 1 as offered, and
// the Z scale the dialog showed in its disabled edit, which the heights 1000 to 6000 set.
TEST_F(RepairDialogOkCancelFocus, EachRefusingOkSaysOneMessageAndTheOriginZScaleIsShownAndKept)
{
    const ScratchDir dir;
    const std::string path = OriginExportWithoutSteps(dir);
    RunningApp app;
    RealDialogs real(app);
    // The keys go in from a step of their own: the message they bring runs a loop of its
    // own, in which the next step answers it.
    const auto typeThenReturn = [](const char* field) -> ModalStep {
        return [=](QWidget* modal) {
            QLineEdit* edit = CoefficientEdit(modal, field);
            if (edit == nullptr || !Focused(modal))
                return false;
            TypeOver(*edit, "2000000");
            QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
            return true;
        };
    };
    std::string first, second;
    std::vector<std::string> later;
    QString kx, ky, kz;
    bool kxFocused = false, kzEnabled = true;
    QElapsedTimer since;
    const ModalStep look = [&](QWidget* modal) {
        if (RecordBox(modal, later))
            return false;
        if (CoefficientEdit(modal, "Kx") == nullptr)
            return false;
        // A deferred leave would have spoken by then.
        if (!since.isValid())
            since.start();
        if (since.elapsed() < 1500)
            return false;
        std::tie(kx, ky, kz) = std::tuple(CoefficientEdit(modal, "Kx")->text(), CoefficientEdit(modal, "Ky")->text(),
                                          CoefficientEdit(modal, "Kz")->text());
        kxFocused = modal->focusWidget() == CoefficientEdit(modal, "Kx");
        kzEnabled = CoefficientEdit(modal, "Kz")->isEnabled();
        return true;
    };
    const ModalStep fixThenCancel = [](QWidget* modal) {
        QLineEdit* edit = CoefficientEdit(modal, "Kx");
        if (edit == nullptr)
            return false;
        TypeOver(*edit, "3");
        auto* cancel = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel);
        QTimer::singleShot(0, cancel, [cancel] { UserClick(*cancel); });
        return true;
    };
    const std::size_t done = RunWithModals(
        Opening(app, path),
        {AnswerBox(QMessageBox::Ok), typeThenReturn("Kx"), AnswerBox(QMessageBox::Ok, &first), typeThenReturn("Ky"),
         AnswerBox(QMessageBox::Ok, &second), look, fixThenCancel, RecordBoxes(later)},
        kWaitLimitMs);
    EXPECT_EQ(done, 7u);
    const std::string range = "Please enter a number greater than 0 and at most 1000000.";
    EXPECT_EQ(std::tie(first, second), std::tie(range, range));
    EXPECT_EQ(later, std::vector<std::string>{});
    EXPECT_EQ(std::tuple(kx, ky, kxFocused), std::tuple(QString("2000000"), QString("2000000"), true));
    EXPECT_FALSE(kzEnabled);
    ASSERT_FALSE(app.Frames().empty());
    const SpmHeader& header = OpenedHeader(app);
    EXPECT_EQ(std::tuple(header.m_fKx, header.m_fKy), std::tuple(3.0f, 1.0f));
    EXPECT_EQ(kz.toStdString(), ShortestFloatText(header.m_fKz));
    EXPECT_FLOAT_EQ(header.m_fKz, (6000.0f - 1000.0f) / 65530.0f);
}

// An Origin export whose steps are 0: "0" and "1e-50" (a float 0) with Return in K_x, then,
// once K_x holds 2.5, in K_y, are each refused with one message that says what the header
// takes, and the dialog stays open showing what was typed; a number it keeps in K_y then
// closes it with OK, and the header holds both numbers.
TEST_F(RepairDialogOkCancelFocus, ACoefficientTheHeaderCannotKeepIsRefusedAtOkWithOneMessage)
{
    const ScratchDir dir;
    const std::string path = OriginExportWithoutSteps(dir);
    RunningApp app;
    RealDialogs real(app);
    using Typing = std::vector<std::pair<const char*, const char*>>;
    // Each text typed over its edit's, then Return in the last edit.
    const auto typeThenReturn = [](Typing typing) -> ModalStep {
        return [=](QWidget* modal) {
            if (CoefficientEdit(modal, "Kx") == nullptr || !Focused(modal))
                return false;
            QLineEdit* edit = nullptr;
            for (const auto& [field, text] : typing)
                TypeOver(*(edit = CoefficientEdit(modal, field)), text);
            QTimer::singleShot(0, edit, [edit] { QTest::keyClick(edit, Qt::Key_Return); });
            return true;
        };
    };
    const Typing typings[] = {{{"Kx", "0"}}, {{"Kx", "1e-50"}}, {{"Kx", "2.5"}, {"Ky", "0"}}, {{"Ky", "1e-50"}}};
    std::vector<ModalStep> steps{AnswerBox(QMessageBox::Ok)};
    std::string said[4];
    for (int i = 0; i < 4; ++i) {
        steps.push_back(typeThenReturn(typings[i]));
        steps.push_back(AnswerBox(QMessageBox::Ok, &said[i]));
    }
    QString kx, ky;
    bool kyFocused = false;
    std::vector<std::string> later;
    steps.push_back([&](QWidget* modal) {
        if (CoefficientEdit(modal, "Kx") == nullptr)
            return false;
        std::tie(kx, ky) = std::tuple(CoefficientEdit(modal, "Kx")->text(), CoefficientEdit(modal, "Ky")->text());
        kyFocused = modal->focusWidget() == CoefficientEdit(modal, "Ky");
        TypeOver(*CoefficientEdit(modal, "Ky"), "0.5");
        auto* ok = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QTimer::singleShot(0, ok, [ok] { UserClick(*ok); });
        return true;
    });
    steps.push_back(RecordBoxes(later));
    const std::size_t done = RunWithModals(
        Opening(app, path), steps, 5000);
    EXPECT_EQ(done, 10u);
    const std::string range = "Please enter a number greater than 0 and at most 1000000";
    const std::string zero = range + ": the header keeps 1e-50 as 0.";
    EXPECT_EQ(std::vector<std::string>(said, said + 4),
              (std::vector<std::string>{range + ".", zero, range + ".", zero}));
    EXPECT_EQ(later, std::vector<std::string>{});
    EXPECT_EQ(std::tuple(kx, ky, kyFocused), std::tuple(QString("2.5"), QString("1e-50"), true));
    ASSERT_FALSE(app.Frames().empty());
    const SpmHeader& header = OpenedHeader(app);
    EXPECT_EQ(std::tuple(header.m_fKx, header.m_fKy), std::tuple(2.5f, 0.5f));
}

// The file: an Origin export whose steps are 0. "5" and Tab complete K_x, then
// "2000000", which reads 200000 on the way, is typed over it and K_x is left by Tab, by a
// click into K_y or by OK. One message says why; Tab and the click show K_x's 5 again, OK
// keeps the dialog open on the text typed. Cancel, Escape and the close box then leave the
// header with 5, the value from before the refused text, never 200000.
TEST_F(RepairDialogOkCancelFocus, ARefusedTextTakesNothingReadOnTheWayToItHoweverItsEditIsLeft)
{
    const ScratchDir dir;
    RunningApp app;
    RealDialogs real(app);
    int run = 0;
    enum class Leave { Tab, Click, Ok };
    for (const Leave leave : {Leave::Tab, Leave::Click, Leave::Ok}) {
        for (const Way close : {Way::Cancel, Way::Escape, Way::CloseBox}) {
            const std::string what = "leave " + std::to_string(static_cast<int>(leave)) + " close " +
                                     std::to_string(static_cast<int>(close));
            // A file of its own each time: one open already would only come to the front.
            const std::string path = OriginExportWithoutSteps(dir, "steps" + std::to_string(++run) + ".dat");
            const ModalStep typeThenLeave = [leave](QWidget* modal) {
                QLineEdit* kx = CoefficientEdit(modal, "Kx");
                if (kx == nullptr || !Focused(modal))
                    return false;
                TypeOver(*kx, "5");
                QTest::keyClick(kx, Qt::Key_Tab);
                TypeOver(*kx, "2000000");
                // A click runs what it brings, the message among them: it comes after this step,
                // which must be done for the next one to answer the message.
                QWidget* ok = modal->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
                QWidget* target = leave == Leave::Click ? CoefficientEdit(modal, "Ky") : ok;
                if (leave == Leave::Tab)
                    QTest::keyClick(kx, Qt::Key_Tab);
                else
                    QTimer::singleShot(0, target, [target] { UserClick(*target); });
                return true;
            };
            std::string said;
            QString shown;
            std::vector<std::string> later;
            const ModalStep lookThenClose = [&](QWidget* modal) {
                QLineEdit* kx = CoefficientEdit(modal, "Kx");
                if (kx == nullptr)
                    return false;
                shown = kx->text();
                CloseSoon(modal, close);
                return true;
            };
            const std::size_t done = RunWithModals(
                Opening(app, path),
                {AnswerBox(QMessageBox::Ok), typeThenLeave, AnswerBox(QMessageBox::Ok, &said), lookThenClose,
                 RecordBoxes(later)},
                kWaitLimitMs);
            EXPECT_EQ(done, 4u) << what;
            EXPECT_EQ(said, "Please enter a number greater than 0 and at most 1000000.") << what;
            EXPECT_EQ(later, std::vector<std::string>{}) << what;
            EXPECT_EQ(shown, leave == Leave::Ok ? QString("2000000") : QString("5")) << what;
            ASSERT_FALSE(app.Frames().empty()) << what;
            const SpmHeader& header = OpenedHeader(app);
            EXPECT_EQ(std::tuple(header.m_fKx, header.m_fKy), std::tuple(5.0f, 1.0f)) << what;
        }
    }
}
