// The document's image-processing commands: every item of the "&Image Processing" menu,
// Edit Undo, the selection-mode buttons and Crop, with the states of their menu items.
// GUI-free: the application hands in the active frame, the wait cursor and the palette panel.
#pragma once

#include <functional>
#include <span>
#include <string>

class CMDIDoc;
class CSpmImage;
struct ImageEntry;
struct SelectionRect;

// What the commands need of the application around the document.
class IProcessingHost {
public:
    virtual ~IProcessingHost() = default;

    // The active child frame's image name and view kind (":2D", ":3D", ":Profile"); empty
    // texts when no frame is active.
    virtual std::string ActiveImageName() const = 0;
    virtual std::string ActiveViewKind() const = 0;
    // Shown around the long commands.
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // The palette panel repaints its bar, scale and histogram.
    virtual void RepaintPalette() {}
};

enum class ProcessingCommand {
    kMedianX, kMedianY, kMedianXY,
    kFlattenX, kFlattenY, kFlattenXY,
    kAlignX, kAlignY, kAlignXY,
    kNormalize,
    kGauss3x3, kGauss5x5, kLaplace3x3, kLaplace5x5, kLowpass3x3, kLowpass5x5,
    kHighpass3x3, kHighpass5x5, kSharpen, kSobelVert,
    kHipassGaussX,
    kRotate90,
    kCrop,
    kUndo,
    kTwoPointMode, kRectangleMode, kThreePointMode,
};

// The state of a menu item or toolbar button, as an update handler leaves it.
struct CommandState {
    bool enabled = true;
    bool checked = false;
};

// Which images Undo restores, as the last command left it.
enum UndoScope : int {
    kUndoScopeNone = 0,
    kUndoScopeAll = 1,     // after Crop
    kUndoScopeActive = 2,  // after a command on the active image
};

inline constexpr const char* kTextSelectRectArea = "Please select Rect.Area";
inline constexpr const char* kTextPointsOnOneLine =
    "The three points lie on one line: please select points that span a plane";
// The lookup message ends in the name of the handler that looked the image up.
inline constexpr const char* kTextImageNameNotValid = "Image Name is not Valid-> CMDIDoc::";

class CDocProcessingCommands {
public:
    CDocProcessingCommands(CMDIDoc& doc, IProcessingHost& host) : m_doc(doc), m_host(host) {}

    void Run(ProcessingCommand command);
    // Sets what the command's update handler decides and leaves the rest of the state: a
    // command on the active image is enabled while ShowsImage, Crop only in a 2D frame.
    void Update(ProcessingCommand command, CommandState& state) const;
    // Whether the active frame is a 2D or 3D one whose image the document holds: what every
    // command on the active frame's image needs.
    bool ShowsImage() const;

    // The Fourier tool's "Replace Image": the heights (one per point of the image) replace
    // the image's after an undo copy, like any command on the active image. False, with
    // nothing changed, when the count does not match.
    bool ReplaceImage(CSpmImage& image, std::span<const double> heights);

private:
    using Check = std::function<bool(const CSpmImage&)>;
    using Routine = std::function<void(CSpmImage&)>;

    // Steps of a command on the active image: lookup (message naming `method`), the check
    // (which shows its own message), undo copy, routine, range and histogram, scope, redraw.
    void ChangeActiveImage(const char* method, const Check& check, const Routine& routine, bool wait = false);
    void MedianLineCorrection(int mode);
    void SurfaceFlatting(int mode);
    void OnRotate90();
    void OnCrop();
    // Cuts every image that holds the selected rectangle, or refuses with its message; the
    // lines that name the images left whole, one each, in list order.
    std::string CropEveryImage();
    // The points were placed on the image as it lay: once it is cut or turned they name other
    // places, so the selection starts anew (the mode stays).
    void ForgetSelectedPoints();
    void OnEditUndo();
    CSpmImage* ActiveImage(const char* method) const;
    ImageEntry* ShownImage() const;
    SelectionRect SelectedRect() const;
    // Hint 5 to every view, the palette repainted.
    void HeightsChanged();
    // The undo copy of the heights with the palettes they colour.
    void MakeUndoCopy(CSpmImage& image);

    CMDIDoc& m_doc;
    IProcessingHost& m_host;
};
