// The Fourier-transform dialog on a real NanoScope image: opened from the 2D view, its
// panes show the spectrum and the surface, a drag edits the cut-off live, Filtering and
// Replace Image reach the document, and Edit Undo brings the heights back.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>

#include <set>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/fourier/DialogFourierTransform.h"
#include "app/fourier/FourierPanes.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/core/NumberText.h"
#include "support/TestPaths.h"

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

void Shot(QWidget& widget, const char* name)
{
    RunningApp::Pump(200);
    QDir().mkpath(SPM_SCREENSHOT_DIR);
    EXPECT_TRUE(widget.grab().save(QString(SPM_SCREENSHOT_DIR) + "/" + name + ".png"));
}

} // namespace

TEST(FourierDialog, TransformDragFilterReplaceAndUndo)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    RunningApp app(SamplePath("nanoscope-v432-height-amplitude.007").string());
    CMDIChildFrame* frame = app.MainFrame().MDIGetActive();
    ASSERT_NE(frame, nullptr);
    CDocument& doc = *frame->GetActiveDocument();
    for (CMDIChildFrame* other : doc.Frames())
        if (other->m_strViewKind == ":2D" && other->m_strImageName == frame->m_strImageName)
            app.MainFrame().ActivateFrame(other);
    RunningApp::Pump();
    const CSpmImage& image = *doc.Doc().FindImage(app.MainFrame().MDIGetActive()->m_strImageName)->m_pImage;
    const std::vector<double> loaded = image.m_pData;
    ASSERT_TRUE(app.Enabled(cmd::kFourierTransform));

    bool ran = false;
    QTimer::singleShot(100, [&] {
        auto* dialog = dynamic_cast<CDialogFourierTransform*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ran = true;
        CFourierDialogModel& model = dialog->Model();
        EXPECT_TRUE(dialog->TimerActive());
        EXPECT_EQ(dialog->TimerInterval(), 30);
        EXPECT_EQ(dialog->List().count(), 3);
        Shot(*dialog, "fourier-1-opened");
        EXPECT_GT(Levels(dialog->SpectrumPane().Picture()), 20u);
        if (dialog->SurfacePane() != nullptr) {
            EXPECT_GT(Levels(dialog->SurfacePane()->grabFramebuffer()), 20u);
        }

        dialog->Button(1139)->click();  // Marker
        dialog->Button(1100)->click();  // Filtering
        EXPECT_NE(model.m_imgWork.m_pData, loaded);
        Shot(*dialog, "fourier-2-filtered");

        // The panes let the mouse through: a press and a drag on the spectrum pane reach the dialog.
        const PaneRect& pane = model.m_rcPane;
        const QPoint centre(pane.left + pane.Width() / 2, pane.top + pane.Height() / 2);
        QTest::mousePress(dialog, Qt::LeftButton, Qt::NoModifier, centre);
        EXPECT_EQ(dialog->TimerInterval(), 100);
        const QPoint to = centre + QPoint(100, 0);
        QMouseEvent drag(QEvent::MouseMove, to, dialog->mapToGlobal(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(dialog, &drag);
        EXPECT_EQ(model.m_nPendingAction, kLiveEdit);
        RunningApp::Pump(300);
        EXPECT_EQ(model.m_nPendingAction, kNoAction);
        EXPECT_EQ(model.m_nDragRadius, static_cast<int>(100 * model.m_fScaleX));
        EXPECT_EQ(dialog->Edit(kIdcCutOff)->text().toStdString(),
                  FormatFixed(model.m_nDragRadius * 200 / image.m_nWidth * 0.01, 2));
        Shot(*dialog, "fourier-3-dragged");

        dialog->Button(1102)->click();  // Replace Image
        EXPECT_EQ(image.m_pData, model.m_imgWork.m_pData);
        dialog->Button(2)->click();      // Cancel
    });
    ASSERT_TRUE(app.Run(cmd::kFourierTransform));
    EXPECT_TRUE(ran);
    EXPECT_NE(image.m_pData, loaded);
    ASSERT_TRUE(app.Run(cmd::kEditUndo));
    EXPECT_EQ(image.m_pData, loaded);
    EXPECT_TRUE(app.Prompt().messages.empty());
}
