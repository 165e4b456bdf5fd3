// Processing in the running application on a real NanoScope file: the menu's items are
// enabled by their handlers, flatten changes the active image, Edit Undo brings it back.
#include <gtest/gtest.h>

#include <QLabel>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"

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
