// The shared acceptance scenario, driven through the running application under a display:
// each step asserts what the user would see and saves a screenshot into the build folder.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QClipboard>
#include <QFileDialog>
#include <QMessageBox>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include <cstddef>
#include <filesystem>
#include <set>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MainFrame.h"
#include "app/panels/DlgColor.h"
#include "app/panels/DlgConfig.h"
#include "document/DocumentShared.h"
#include "app/views/ProfileView.h"
#include "platform/core/DialogModels.h"
#include "platform/core/PathText.h"
#include "platform/core/ProfileFile.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "presentation/ImageSettingsFiles.h"
#include "presentation/PaletteEditing.h"
#include "support/TestImages.h"

namespace {

const char* const kNanoscope = "nanoscope-v432-height-amplitude.007";
const char* const kMdt = "mdt-spectra-and-scan-51x39.mdt";

int CountColour(const QImage& picture, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x)
            count += picture.pixel(x, y) == colour;
    return count;
}

// A copy of the NanoScope sample under its own name in `dir`: saves and view settings go
// beside it. Its path.
std::string NanoscopeCopy(const ScratchDir& dir)
{
    const std::string nanoscope = (dir / kNanoscope).string();
    std::filesystem::copy_file(SamplePath(kNanoscope), nanoscope);
    return nanoscope;
}

// Whether `file`, read into a document of its own, gives back the heights of `image`.
bool FileHolds(const std::filesystem::path& file, const CSpmImage& image)
{
    CMDIDoc reopened;
    return reopened.OnOpenDocument(file.string()) &&
           HeightsWithinSampleStep(reopened.ImageList().front().m_pImage->m_pData, image);
}

} // namespace

TEST(Scenario, ShellFromStartToQuit)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    ScratchDir dir;
    const std::string nanoscope = NanoscopeCopy(dir);
    RunningApp app(nanoscope);
    CMainFrame& mainFrame = app.MainFrame();

    // Step 1: the file of the command line with its companion image and the active 3D frame.
    const std::string title = kNanoscope;
    EXPECT_EQ(app.FrameTitles(), (std::vector<std::string>{title + ":Height_01:2D:1",
                                                           title + ":Amplitude_02:2D:2",
                                                           title + ":Height_01:3D:3"}));
    EXPECT_EQ(app.ActiveTitle(), title + ":Height_01:3D:3");
    EXPECT_EQ(mainFrame.windowTitle().toStdString(), "Quintara - " + title);
    EXPECT_EQ(mainFrame.MDIGetActive()->size(), QSize(460, 480));
    // The whole window, status bar included, lies on the screen.
    EXPECT_TRUE(mainFrame.screen()->availableGeometry().contains(mainFrame.frameGeometry()))
        << mainFrame.frameGeometry().height();
    mainFrame.WorkBench().OnTimer();
    std::vector<std::string> tree;
    for (QTreeWidgetItemIterator it(&mainFrame.WorkBench().Tree()); *it != nullptr; ++it)
        tree.push_back((*it)->text(0).toStdString());
    EXPECT_EQ(tree, (std::vector<std::string>{title, "Height_01", "Amplitude_02"}));
    Screenshot("01-start-nanoscope", &mainFrame);
    CDocument& nanoscopeDoc = *mainFrame.MDIGetActive()->GetActiveDocument();

    // The panels: the Z scale of the active 3D frame changes its picture within a tick, the
    // palette recolours it; two points clicked in the 2D frame give the profile view its
    // two curves.
    CMDIChildFrame& frame3D = *mainFrame.MDIGetActive();
    const QImage before3D = ViewPicture(frame3D);
    EXPECT_TRUE(app.Run(cmd::kShowConfigPanel));
    mainFrame.ConfigPanel().OnTimer();
    mainFrame.ConfigPanel().Edit(kEditZScale).setText("80");
    EXPECT_NE(ViewPicture(frame3D), before3D);
    Screenshot("01a-config-zscale", &mainFrame);
    QAbstractButton* colourAndLight = mainFrame.ConfigPanel().findChild<QAbstractButton*>("1020");
    ASSERT_NE(colourAndLight, nullptr);
    colourAndLight->click();
    const QImage coloured3D = ViewPicture(frame3D);
    EXPECT_TRUE(app.Run(cmd::kShowPalettePanel));
    C3DdlgColor& palette = mainFrame.ColorPanel();
    palette.OnTimer();
    ASSERT_NE(palette.Palette(), nullptr);
    const GdiRect strip = palette.Strip().ClientInPanel();
    SendMouse(palette, QEvent::MouseButtonPress,
              QPointF(strip.left + 5, strip.bottom - strip.Height() * palette.Palette()->front().m_Position - 1));
    AnswerColour(app.Prompt(), MakeColor(0, 0, 200));
    palette.OnCursorCommand(kCmdChangeColor);
    EXPECT_NE(ViewPicture(frame3D), coloured3D);
    Screenshot("01b-palette-recoloured", &mainFrame);
    CMDIChildFrame& frame2D = *nanoscopeDoc.Frames().front();
    mainFrame.ActivateFrame(&frame2D);
    RunningApp::Pump();
    EXPECT_TRUE(app.Run(cmd::kTwoPointMode));
    QWidget& view2D = *frame2D.GetActiveView()->Widget();
    for (const QPointF at : {QPointF(view2D.width() * 0.3, view2D.height() * 0.3),
                             QPointF(view2D.width() * 0.7, view2D.height() * 0.6)}) {
        SendMouse(view2D, QEvent::MouseMove, at, Qt::NoButton);
        SendMouse(view2D, QEvent::MouseButtonPress, at);
    }
    // The 2D view draws the selection line over the image; Edit Copy takes about the image.
    EXPECT_GT(CountColour(view2D.grab().toImage().convertToFormat(QImage::Format_RGB32), qRgb(0, 0, 255)), 20);
    EXPECT_TRUE(app.Run(cmd::kEditCopy));
    const QImage copied = QApplication::clipboard()->image();
    EXPECT_TRUE(copied.width() > 0 && copied.width() % 4 == 0 && copied.height() < view2D.height());
    EXPECT_TRUE(app.Run(cmd::kOpenProfile));
    const QImage profile = dynamic_cast<CProfileView&>(*mainFrame.MDIGetActive()->GetActiveView()).Picture();
    EXPECT_GT(CountColour(profile, qRgb(255, 0, 0)), 100);
    EXPECT_GT(CountColour(profile, qRgb(0, 0, 255)), 100);
    Screenshot("01c-profile-view", &mainFrame);
    mainFrame.MDIGetActive()->close();
    mainFrame.ActivateFrame(&frame3D);
    RunningApp::Pump();

    // Step 2: File Open of the bundled sample through the dialog; it joins the recent files.
    const std::string sample = SampleCopy(dir);
    AnswerFileDialog(app.Prompt(), sample);
    EXPECT_TRUE(app.Run(cmd::kFileOpen));
    EXPECT_EQ(app.FrameTitles().size(), 5u);
    EXPECT_EQ(app.ActiveTitle(), "sample.spm:Height_01:3D:2");
    EXPECT_EQ(mainFrame.DocManager().RecentFiles().Entries(), (std::vector<std::string>{sample, nanoscope}));
    Screenshot("02-file-open-sample", &mainFrame);

    // Step 3: Options with the precise render.
    app.Prompt().dialogScript.push_back([](IDialogModel& model) {
        auto& options = dynamic_cast<CDialogOptions&>(model);
        options.m_nMode = 0;
        options.m_nMatrixSize = 64;
        options.m_bAccepted = 1;
        return true;
    });
    EXPECT_TRUE(app.Run(cmd::kOptions));
    EXPECT_EQ(mainFrame.FastRenderSceneMode(), RenderMode::kPrecisely);
    EXPECT_EQ(mainFrame.XYMatrixSize(), 64);

    // Step 4: the panel switch shows one panel at a time, or none.
    for (int id : {cmd::kShowConfigPanel, cmd::kShowPalettePanel, cmd::kHidePanels, cmd::kShowWorkBench}) {
        EXPECT_TRUE(app.Run(id));
        EXPECT_EQ(mainFrame.CheckedPanelSwitch(), id);
        EXPECT_EQ(mainFrame.WorkBench().isVisible(), id == cmd::kShowWorkBench);
        EXPECT_EQ(mainFrame.ConfigPanel().isVisible(), id == cmd::kShowConfigPanel);
        EXPECT_EQ(mainFrame.ColorPanel().isVisible(), id == cmd::kShowPalettePanel);
        if (id == cmd::kShowConfigPanel)
            Screenshot("03-configuration-panel", &mainFrame);
    }

    // Step 5: a dropped file opens its first image only: no companion, no 3D frame.
    mainFrame.OpenDroppedFiles({QUrl::fromLocalFile(QString::fromStdString(SamplePath(kMdt).string()))});
    RunningApp::Pump();
    EXPECT_EQ(app.FrameTitles().size(), 6u);
    EXPECT_EQ(app.ActiveTitle().substr(0, std::string(kMdt).size()), kMdt);
    Screenshot("04-dropped-mdt", &mainFrame);

    // Step 6: both images of the NanoScope document processed, then Save As "scan" with the
    // *.spm entry writes the active frame's image, which reopens with the same heights; the
    // other image's change is still unsaved.
    mainFrame.ActivateFrame(&frame3D);
    const std::vector<ImageEntry>& images = nanoscopeDoc.Doc().ImageList();
    for (const char* image : {"Amplitude_02", "Height_01"}) {
        ASSERT_TRUE(app.Activate(":2D", image));
        EXPECT_TRUE(app.Run(cmd::kFlattenXY)) << image;
    }
    ASSERT_EQ(nanoscopeDoc.Doc().ModifiedImages().size(), 2u);
    AnswerFileDialog(app.Prompt(), (dir / "scan").string(), 0);
    EXPECT_TRUE(app.Run(cmd::kFileSaveAs));
    EXPECT_EQ(nanoscopeDoc.Doc().ModifiedImages(), std::vector<const CSpmImage*>{images[1].m_pImage.get()});
    ASSERT_TRUE(std::filesystem::exists(dir / "scan.spm"));
    EXPECT_EQ(mainFrame.windowTitle().toStdString(), "Quintara - scan.spm");
    // The file is read into a document of its own, not the open one that now bears its name.
    EXPECT_TRUE(FileHolds(dir / "scan.spm", *images.front().m_pImage));
    Screenshot("05-saved-one-of-two", &mainFrame);

    // Step 7: quitting asks about every image whose change no save wrote, by the name its
    // frames show: the Z scale, the polygon and the palette cursor of step 1 are the first
    // image's view settings, which Yes writes into the presentation file of scan.spm, the file
    // the image was saved as; Yes saves the amplitude image as a file of its own, which the
    // image list beside scan.spm then names; No lets the sample's rotation go.
    CDocument& sampleDoc = *mainFrame.DocManager().Documents()[1];
    mainFrame.ActivateFrame(sampleDoc.Frames().front());
    RunningApp::Pump();
    EXPECT_TRUE(app.Run(cmd::kRotate90));
    app.Prompt().events.clear();
    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::Yes));
    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::Yes));
    AnswerFileDialog(app.Prompt(), (dir / "amplitude").string(), 0);
    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::Yes));
    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::No));
    EXPECT_TRUE(mainFrame.close());
    EXPECT_EQ(app.Prompt().events,
              (std::vector<std::string>{"dialog: Save the view settings of scan.spm:Height_01 to scan.cnf?",
                                        "dialog: Save changes to scan.spm:Amplitude_02?", "dialog: Save As",
                                        "dialog: Save the image list of amplitude.spm to scan.cnf?",
                                        "dialog: Save changes to sample.spm:Height_01?"}));
    CMDIDoc amplitude;
    ASSERT_TRUE(amplitude.OnOpenDocument((dir / "amplitude.spm").string()));
    EXPECT_EQ(amplitude.ImageList().front().m_pImage->m_strName, "Amplitude_01");
    const ProfileFile cnf = ProfileFile::Load((dir / "scan.cnf").string());
    EXPECT_EQ(cnf.GetString(".spm:Height_01_Presentation3D", "Z_Scale"), "80.00");
    EXPECT_EQ(cnf.GetString(".spm:Height_01_Presentation3D", "EnablePolygonColor"), "1");
    EXPECT_EQ(cnf.GetString(".spm:Height_01_ColorCursor3D", "Color[0]"), "0,0,200");
    // Opening scan.spm again brings the amplitude image along, as image 0 of its own file.
    const std::vector<ListedImage> listed = ReadDocImages(SettingsPlaceOf((dir / "scan.spm").string()));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].m_strPath, (dir / "amplitude.spm").string());
    EXPECT_EQ(listed[0].m_nIndexInFile, 0);
    // Nothing was written beside the instrument file, which is as it was.
    EXPECT_EQ(FileBytes(nanoscope), FileBytes(SamplePath(kNanoscope)));
    std::set<std::string> files;
    for (const auto& file : std::filesystem::directory_iterator(dir.path()))
        files.insert(file.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{kNanoscope, "sample.spm", "scan.spm", "scan.cnf", "amplitude.spm"}));
}

// Typing into the work bench's header fields changes the image: quitting asks about it, and
// Yes writes the typed texts. Filling the fields when a frame becomes active changes nothing.
TEST(Scenario, HeaderEditsOnTheWorkBenchAreAskedAboutAndSaved)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app(SampleCopy(dir));
    CDocument& doc = app.ActiveDoc();
    CSpmImage& image = *doc.Doc().ImageList().front().m_pImage;
    CDialogWorkBench& bench = app.MainFrame().WorkBench();
    bench.OnTimer();
    EXPECT_FALSE(doc.IsModified());
    // The four texts lie together in the header, from the Z unit to the quantity.
    const auto texts = [](const SpmHeader& header) {
        return std::string(header.m_szZUnit, offsetof(SpmHeader, m_szVersion) - offsetof(SpmHeader, m_szZUnit));
    };
    for (const char* id : {"1068", "1069", "1071", "1070"}) {  // Z unit, XY unit, name, note
        const std::string before = texts(image.m_header);
        QTest::keyClicks(bench.findChild<QWidget*>(id), "q");
        EXPECT_NE(texts(image.m_header), before) << id;
        EXPECT_TRUE(doc.IsModified()) << id;
        doc.Doc().SetModifiedFlag(image, false);
    }
    // A letter the three-character Z unit cannot hold changes nothing.
    QTest::keyClicks(bench.findChild<QWidget*>("1068"), "x");
    EXPECT_FALSE(doc.IsModified());
    QTest::keyClicks(bench.findChild<QWidget*>("1069"), "x");
    const std::string edited = texts(image.m_header);
    Screenshot("06-header-edited", &app.MainFrame());

    app.Prompt().events.clear();
    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::Yes));
    AnswerFileDialog(app.Prompt(), (dir / "edited").string(), 0);
    EXPECT_TRUE(app.MainFrame().close());
    EXPECT_EQ(app.Prompt().events,
              (std::vector<std::string>{"dialog: Save changes to sample.spm:Height_01?", "dialog: Save As"}));
    CMDIDoc reopened;
    ASSERT_TRUE(reopened.OnOpenDocument((dir / "edited.spm").string()));
    EXPECT_EQ(texts(reopened.ImageList().front().m_pImage->m_header), edited);
}

// A file that no reader claims, from the command line, a drop or File Open's "All Files":
// each time a message names it and its type, and nothing opens.
TEST(Scenario, AFileOfATypeNoReaderClaimsIsNamedInAMessage)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string di = SampleCopy(dir, "scan.di");
    RunningApp app(di);
    app.MainFrame().OpenDroppedFiles({QUrl::fromLocalFile(QString::fromStdString(di))});
    AnswerFileDialog(app.Prompt(), di, 4);
    EXPECT_TRUE(app.Run(cmd::kFileOpen));
    const std::string message = "message: Cannot open " + di + ": the file type \".di\" is not one this program reads."
                                "\nIt reads Tessalo Files (*.spm), DI Nanoscope V4.3x Files (*.000 - *.999), NT-MDT "
                                "Files (*.mdt) and Origin Files (*.dat).";
    EXPECT_EQ(app.Prompt().events, (std::vector<std::string>{message, message, "dialog: Open", message}));
    EXPECT_TRUE(app.FrameTitles().empty());
    EXPECT_TRUE(app.MainFrame().DocManager().RecentFiles().Entries().empty());
}

// Ctrl+S in the Height frame and then in the Amplitude frame of a NanoScope file: the second
// save would take the file the first one wrote, so it asks, and No goes on to Save As, which
// gives the amplitude image a file of its own. Its next Ctrl+S and "Save Image Config" go
// there; quitting asks only whether the document's image list should name that file.
TEST(Scenario, BothImagesOfANanoScopeFileSavedInPlaceKeepFilesOfTheirOwn)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    ScratchDir dir;
    const std::string nanoscope = NanoscopeCopy(dir);
    RunningApp app(nanoscope);
    CDocument& doc = app.ActiveDoc();
    const CSpmImage& height = *doc.Doc().ImageList()[0].m_pImage;
    const CSpmImage& amplitude = *doc.Doc().ImageList()[1].m_pImage;
    for (const char* image : {"Height_01", "Amplitude_02"}) {
        ASSERT_TRUE(app.Activate(":2D", image));
        EXPECT_TRUE(app.Run(cmd::kFlattenXY)) << image;
    }
    ASSERT_TRUE(app.Activate(":2D", "Height_01"));
    app.Prompt().events.clear();
    EXPECT_TRUE(app.Run(cmd::kFileSave));
    EXPECT_TRUE(app.Prompt().events.empty());
    ASSERT_TRUE(app.Activate(":2D", "Amplitude_02"));
    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::No));
    AnswerFileDialog(app.Prompt(), (dir / "amplitude").string(), 0);
    EXPECT_TRUE(app.Run(cmd::kFileSave));
    const std::string title = kNanoscope;
    EXPECT_EQ(app.Prompt().events,
              (std::vector<std::string>{"dialog: " + title + ".spm holds " + title +
                                            ":Height_01. Replace it with Amplitude_02? No saves Amplitude_02 under "
                                            "another name.",
                                        "dialog: Save As"}));
    EXPECT_TRUE(FileHolds(dir / (title + ".spm"), height));
    EXPECT_TRUE(FileHolds(dir / "amplitude.spm", amplitude));
    EXPECT_FALSE(doc.IsModified());
    Screenshot("07-both-images-saved", &app.MainFrame());

    app.Prompt().events.clear();
    EXPECT_TRUE(app.Run(cmd::kRotate90));
    EXPECT_TRUE(app.Run(cmd::kFileSave));
    EXPECT_TRUE(app.Run(cmd::kSaveImageConfig));
    EXPECT_TRUE(app.Prompt().events.empty());
    EXPECT_TRUE(FileHolds(dir / "amplitude.spm", amplitude));
    EXPECT_TRUE(FileHolds(dir / (title + ".spm"), height));
    EXPECT_NE(FileText(dir / "amplitude.cnf").find("[.spm:Amplitude_02_Presentation2D]"), std::string::npos);

    AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::No));
    EXPECT_TRUE(app.MainFrame().close());
    EXPECT_EQ(app.Prompt().events, (std::vector<std::string>{"dialog: Save the image list of amplitude.spm to "
                                                             "nanoscope-v432-height-amplitude.cnf?"}));
    EXPECT_EQ(FileBytes(nanoscope), FileBytes(SamplePath(kNanoscope)));
}

// The file of each open document, in the order they opened.
std::vector<std::string> OpenFiles(RunningApp& app)
{
    std::vector<std::string> files;
    for (const auto& doc : app.MainFrame().DocManager().Documents())
        files.push_back(FileNameOf(doc->GetPathName()));
    return files;
}

// Ctrl+S in the Amplitude frame of a NanoScope file whose Height has its file already: while
// the replace question is up, something happens that would change the active frame when it
// closes; No, and Save As still writes the amplitude image. A file handed over meanwhile opens
// only once the save has returned: not in the moment the question has gone and its event
// loop has not handed back, nor while Save As asks for the name.
TEST(Scenario, SaveAsAfterTheReplaceQuestionWritesTheImageCtrlSWasPressedFor)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    const struct {
        const char* meanwhile;
        std::function<void(RunningApp&, const std::string& sent)> happen;
    } cases[] = {
        {"a file handed over", [](RunningApp& app, const std::string& sent) { app.App().OpenShellFiles({sent}); }},
        {"the Height frame activated", [](RunningApp& app, const std::string&) { app.Activate(":2D", "Height_01"); }},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        const std::string nanoscope = NanoscopeCopy(dir);
        const std::string sent = SampleCopy(dir, "sent.spm");
        RunningApp app(nanoscope);
        const CSpmImage& height = *app.ActiveDoc().Doc().ImageList()[0].m_pImage;
        const CSpmImage& amplitude = *app.ActiveDoc().Doc().ImageList()[1].m_pImage;
        ASSERT_TRUE(app.Activate(":2D", "Height_01"));
        ASSERT_TRUE(app.Run(cmd::kFileSave));
        ASSERT_TRUE(app.Activate(":2D", "Amplitude_02"));
        std::vector<std::string> afterAnswer;
        std::vector<std::string> duringSaveAs;
        RealDialogs real(app);
        const std::size_t steps = RunWithModals([&] { app.App().Commands().Execute(cmd::kFileSave); }, {
            [&](QWidget* up) {
                if (qobject_cast<QMessageBox*>(up) == nullptr)
                    return false;
                c.happen(app, sent);
                return true;
            },
            [&](QWidget* up) {
                auto* question = qobject_cast<QMessageBox*>(up);
                if (question == nullptr)
                    return false;
                question->button(QMessageBox::No)->click();
                // Gone from the screen, while its loop has not yet handed back to the save.
                RunningApp::Pump(300);
                afterAnswer = OpenFiles(app);
                return true;
            },
            [&](QWidget* up) {
                if (qobject_cast<QFileDialog*>(up) == nullptr)
                    return false;
                duringSaveAs = OpenFiles(app);
                return true;
            },
            TypeInFileDialog((dir / "amplitude").string(), 0),
        });
        EXPECT_EQ(steps, 4u) << c.meanwhile;
        EXPECT_EQ(afterAnswer, std::vector<std::string>{kNanoscope}) << c.meanwhile;
        EXPECT_EQ(duringSaveAs, std::vector<std::string>{kNanoscope}) << c.meanwhile;
        EXPECT_TRUE(FileHolds(dir / "amplitude.spm", amplitude)) << c.meanwhile;
        EXPECT_TRUE(FileHolds(dir / (std::string(kNanoscope) + ".spm"), height)) << c.meanwhile;
        if (c.meanwhile == cases[0].meanwhile) {
            app.Pump(500);
            // Save As has given the document the name of the file it wrote.
            EXPECT_EQ(OpenFiles(app), (std::vector<std::string>{"amplitude.spm", "sent.spm"}));
            Screenshot("handover-after-save-as", &app.MainFrame());
        }
    }
}

// An image added with File > Add Image comes back with its document only through the image
// list, so quitting asks about the list; with Yes the document reopens with it and has
// nothing to ask about.
TEST(Scenario, AnAddedImageIsAskedAboutAtQuitAndComesBackWithItsDocument)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string sample = SampleCopy(dir);
    const std::string other = SampleCopy(dir, "other.spm");
    {
        RunningApp app(sample);
        AnswerFileDialog(app.Prompt(), other);
        EXPECT_TRUE(app.Run(cmd::kAddImage));
        ASSERT_EQ(app.ActiveDoc().Doc().ImageList().size(), 2u);
        app.Prompt().events.clear();
        AnswerQuestion(app.Prompt(), static_cast<int>(CQuestionBox::Answer::Yes));
        EXPECT_TRUE(app.MainFrame().close());
        EXPECT_EQ(app.Prompt().events,
                  (std::vector<std::string>{"dialog: Save the image list of sample.spm to sample.cnf?"}));
    }
    RunningApp again(sample);
    EXPECT_EQ(again.FrameTitles(), (std::vector<std::string>{"sample.spm:Height_01:2D:1", "sample.spm:Height_02:2D:2",
                                                             "sample.spm:Height_01:3D:3"}));
    again.Prompt().events.clear();
    EXPECT_TRUE(again.MainFrame().close());
    EXPECT_TRUE(again.Prompt().events.empty());
}
