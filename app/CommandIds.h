// The command ids of menus, toolbars and accelerators: the framework's own and the
// program's. One action per id (platform/qt/CommandRegistry.h).
#pragma once

namespace cmd {

// The framework's.
inline constexpr int kFileNew = 57600;
inline constexpr int kFileOpen = 57601;
inline constexpr int kFileClose = 57602;
inline constexpr int kFileSave = 57603;
inline constexpr int kFileSaveAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFilePrintPreview = 57609;
inline constexpr int kFileMru1 = 57616;        // to 57621: the six recent files
inline constexpr int kEditCopy = 57634;
inline constexpr int kEditCut = 57635;
inline constexpr int kEditPaste = 57637;
inline constexpr int kEditUndo = 57643;
inline constexpr int kWindowNew = 57648;
inline constexpr int kWindowArrange = 57649;
inline constexpr int kWindowCascade = 57650;
inline constexpr int kWindowTile = 57651;
inline constexpr int kAppAbout = 57664;
inline constexpr int kAppExit = 57665;
inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;

// The program's.
inline constexpr int kShowConfigPanel = 32776;
inline constexpr int kOpen2D = 32777;
inline constexpr int kOpen3D = 32778;
inline constexpr int kViewEmpty = 32781;       // the views' empty handler; no item carries it
inline constexpr int kOpenProfile = 32784;
inline constexpr int kPanelBarButton = 32785;
inline constexpr int kPresentationFileOpen = 32790;
inline constexpr int kAddImage = 32791;
inline constexpr int kShowPalettePanel = 32792;
inline constexpr int kHidePanels = 32793;
inline constexpr int kShowWorkBench = 32794;
inline constexpr int kMedianX = 32796;
inline constexpr int kMedianY = 32797;
inline constexpr int kMedianXY = 32798;
inline constexpr int kToolbar32802 = 32802;    // a toolbar button nothing handles
inline constexpr int kAlignX = 32803;
inline constexpr int kAlignY = 32804;
inline constexpr int kAlignXY = 32805;
inline constexpr int kTwoPointMode = 32806;
inline constexpr int kRectMode = 32807;
inline constexpr int kNormalize = 32808;
inline constexpr int kFlattenX = 32809;
inline constexpr int kFlattenY = 32810;
inline constexpr int kFlattenXY = 32811;
inline constexpr int kThreePointMode = 32812;
inline constexpr int kToolbar32813 = 32813;    // a toolbar button nothing handles
inline constexpr int kGauss3x3 = 32815;
inline constexpr int kGauss5x5 = 32816;
inline constexpr int kCrop = 32817;
inline constexpr int kLaplace3x3 = 32819;
inline constexpr int kLaplace5x5 = 32820;
inline constexpr int kLowpass3x3 = 32821;
inline constexpr int kLowpass5x5 = 32822;
inline constexpr int kHighpass3x3 = 32823;
inline constexpr int kHighpass5x5 = 32824;
inline constexpr int kSharpen = 32825;
inline constexpr int kSobelVert = 32826;
inline constexpr int kSobelHoriz = 32827;
inline constexpr int kHipassGaussX = 32829;
inline constexpr int kFourierTransform = 32830;
inline constexpr int kRotate90 = 32831;
inline constexpr int kRotate180 = 32832;
inline constexpr int kRotate270 = 32833;
inline constexpr int kSaveImageConfig = 32834;
inline constexpr int kSaveDocConfigs = 32836;
inline constexpr int kOptions = 32837;
inline constexpr int kTree2D = 32903;
inline constexpr int kTree3D = 32904;
inline constexpr int kTreeProfile = 32905;
inline constexpr int kTreeAddImage = 32906;

} // namespace cmd
