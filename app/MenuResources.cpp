#include "app/MenuResources.h"

#include "app/CommandIds.h"

namespace {

using M = MenuItem;
constexpr int kSep = MenuItem::kSeparator;
constexpr int kPop = MenuItem::kPopup;

const M kSeparator{kSep, "", {}};

M Popup(const char* text, std::vector<M> items)
{
    return {kPop, text, std::move(items)};
}

// The three directions of the line corrections.
std::vector<M> Directions(int x, int y, int xy)
{
    return {{x, "X direction", {}}, {y, "Y direction", {}}, {xy, "XY direction", {}}};
}

std::vector<M> Sizes(int small, int large)
{
    return {{small, "3x3", {}}, {large, "5x5", {}}};
}

M ImageProcessingMenu()
{
    return Popup("&Image Processing", {
        Popup("2D/3D: Median Line Correction ", Directions(cmd::kMedianX, cmd::kMedianY, cmd::kMedianXY)),
        Popup("2D/3D: Flatting", Directions(cmd::kFlattenX, cmd::kFlattenY, cmd::kFlattenXY)),
        Popup("2D/3D: Align Line", Directions(cmd::kAlignX, cmd::kAlignY, cmd::kAlignXY)),
        {cmd::kNormalize, "2D/3D: Normalize", {}},
        Popup("2D/3D: Square filtering ", {
            Popup("Gaussian", Sizes(cmd::kGauss3x3, cmd::kGauss5x5)),
            Popup("Laplacian", Sizes(cmd::kLaplace3x3, cmd::kLaplace5x5)),
            Popup("Lowpass", Sizes(cmd::kLowpass3x3, cmd::kLowpass5x5)),
            Popup("Highpass", Sizes(cmd::kHighpass3x3, cmd::kHighpass5x5)),
            {cmd::kSharpen, "Sharpening", {}},
            Popup("Sobel", {{cmd::kSobelVert, "Vert", {}}, {cmd::kSobelHoriz, "Horiz", {}}}),
        }),
        Popup("2D/3D: Line filtering", {{cmd::kHipassGaussX, "Hipass  Gauss X direction", {}}}),
        {cmd::kCrop, "2D/__: Crop ", {}},
        Popup("2D/3D: Rotate", {{cmd::kRotate90, "90   deg", {}},
                                {cmd::kRotate180, "180 deg", {}},
                                {cmd::kRotate270, "270 deg", {}}}),
        {cmd::kFourierTransform, "2D/__: FourierTransform", {}},
    });
}

M ViewMenu()
{
    return Popup("&View", {{cmd::kViewToolbar, "&Toolbar", {}}, {cmd::kViewStatusBar, "&Status Bar", {}}});
}

M HelpMenu()
{
    return Popup("&Help", {{cmd::kAppAbout, "&About Quintara...", {}}});
}

const M kOpen{cmd::kFileOpen, "&Open Doc.\tCtrl+O", {}};
const M kPrintSetup{cmd::kFilePrintSetup, "P&rint Setup...", {}};
const M kRecent{MenuItem::kRecentFiles, "Recent File", {}};
const M kExit{cmd::kAppExit, "E&xit", {}};
const M kOptions{cmd::kOptions, "Options", {}};

} // namespace

const std::vector<MenuItem>& AppMenu()
{
    static const std::vector<MenuItem> menu{
        Popup("&File", {kOpen, kPrintSetup, kSeparator, kRecent, kSeparator, kExit}),
        ViewMenu(),
        kOptions,
        HelpMenu(),
    };
    return menu;
}

const std::vector<MenuItem>& DocumentMenu()
{
    static const std::vector<MenuItem> menu{
        Popup("&File", {
            kOpen,
            {cmd::kFileClose, "&Close", {}},
            {cmd::kFileSave, "&Save Image \tCtrl+S", {}},
            {cmd::kFileSaveAs, "Save Image As...", {}},
            kSeparator,
            {cmd::kAddImage, "Add Image", {}},
            {cmd::kSaveImageConfig, "Save Image Config", {}},
            {cmd::kSaveDocConfigs, "Save Configs of Doc. Images ", {}},
            kSeparator,
            {cmd::kFilePrint, "&Print...\tCtrl+P", {}},
            {cmd::kFilePrintPreview, "Print Pre&view", {}},
            kPrintSetup,
            kSeparator,
            kRecent,
            kSeparator,
            kExit,
        }),
        Popup("&Edit", {
            {cmd::kEditUndo, "&Undo\tCtrl+Z", {}},
            kSeparator,
            {cmd::kEditCut, "Cu&t\tCtrl+X", {}},
            {cmd::kEditCopy, "&Copy\tCtrl+C", {}},
            {cmd::kEditPaste, "&Paste\tCtrl+V", {}},
        }),
        ViewMenu(),
        Popup("&Presentation", {
            {cmd::kOpen2D, "2D", {}},
            {cmd::kOpen3D, "3D", {}},
            {cmd::kOpenProfile, "PROFILE", {}},
            kSeparator,
            {cmd::kPresentationFileOpen, "File Open", {}},
        }),
        ImageProcessingMenu(),
        kOptions,
        Popup("&Window", {
            {cmd::kWindowNew, "&New Window", {}},
            {cmd::kWindowCascade, "&Cascade", {}},
            {cmd::kWindowTile, "&Tile", {}},
            {cmd::kWindowArrange, "&Arrange Icons", {}},
            {MenuItem::kWindowList, "", {}},
        }),
        HelpMenu(),
    };
    return menu;
}

const std::vector<int>& StandardToolBarButtons()
{
    static const std::vector<int> buttons{
        cmd::kFileOpen, cmd::kFileSave, 0, cmd::kEditCut, cmd::kEditCopy, cmd::kEditPaste, 0,
        cmd::kFilePrint, 0, cmd::kAppAbout, 0, cmd::kToolbar32802, cmd::kEditUndo, 0,
        cmd::kThreePointMode, cmd::kTwoPointMode, cmd::kRectMode, cmd::kToolbar32813, cmd::kRotate90,
    };
    return buttons;
}

const std::vector<ButtonText>& ToolBarOnlyTexts()
{
    static const std::vector<ButtonText> texts{
        {cmd::kTwoPointMode, "Two-point selection"},
        {cmd::kRectMode, "Rectangle selection"},
        {cmd::kThreePointMode, "Three-point selection"},
    };
    return texts;
}

const std::vector<int>& PanelSwitchButtons()
{
    static const std::vector<int> buttons{cmd::kHidePanels, cmd::kShowWorkBench,
                                          cmd::kShowConfigPanel, cmd::kShowPalettePanel};
    return buttons;
}
