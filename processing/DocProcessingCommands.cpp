#include "processing/DocProcessingCommands.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "document/MDIDoc.h"
#include "image/HeaderTextCoding.h"
#include "image/ImageStatistics.h"
#include "platform/core/Prompt.h"
#include "processing/ImageProcessor.h"

namespace {

// The line high-pass command's spacing and cutoff: a cutoff of 100 points.
constexpr double kHipassSpacing = 1.0;
constexpr double kHipassCutoff = 100.0;

class WaitCursorScope {
public:
    WaitCursorScope(IProcessingHost& host, bool wait) : m_host(wait ? &host : nullptr)
    {
        if (m_host != nullptr)
            m_host->BeginWaitCursor();
    }
    ~WaitCursorScope()
    {
        if (m_host != nullptr)
            m_host->EndWaitCursor();
    }
    WaitCursorScope(const WaitCursorScope&) = delete;
    WaitCursorScope& operator=(const WaitCursorScope&) = delete;

private:
    IProcessingHost* m_host;
};

// The histogram after every change, so the palette panel never shows a stale one. The
// routines have refreshed the range (the line filter's command does it for its routine).
// After new heights: histogram, range texts and the palettes that colour by the image.
void Remeasure(CMDIDoc& doc, CSpmImage& image)
{
    ComputeHistogram(image);
    SetRangeTexts(image);
    doc.RefitPalettes(image);
}

bool NoCheck(const CSpmImage&)
{
    return true;
}

// A command that runs one routine of the processor with nothing to check first.
struct SimpleCommand {
    ProcessingCommand command;
    const char* method;  // the handler whose name the lookup message carries
    bool wait;
    void (*routine)(CSpmImage&);
};

const SimpleCommand kSimpleCommands[] = {
    {ProcessingCommand::kAlignX, "AlignLine", false, [](CSpmImage& i) { CImageProcessor().AlignLines(kLinesX, i); }},
    {ProcessingCommand::kAlignY, "AlignLine", false, [](CSpmImage& i) { CImageProcessor().AlignLines(kLinesY, i); }},
    {ProcessingCommand::kAlignXY, "AlignLine", false, [](CSpmImage& i) { CImageProcessor().AlignLines(kLinesXY, i); }},
    {ProcessingCommand::kNormalize, "OnNormalizeToZerro", false, [](CSpmImage& i) { CImageProcessor().NormalizeToZero(i); }},
    {ProcessingCommand::kGauss3x3, "FilterGauss", true, [](CSpmImage& i) { CImageProcessor().FilterGauss(i, kSquare3x3); }},
    {ProcessingCommand::kGauss5x5, "FilterGauss", true, [](CSpmImage& i) { CImageProcessor().FilterGauss(i, kSquare5x5); }},
    {ProcessingCommand::kLaplace3x3, "FilterLaplace", true, [](CSpmImage& i) { CImageProcessor().FilterLaplace(i, kSquare3x3); }},
    {ProcessingCommand::kLaplace5x5, "FilterLaplace", true, [](CSpmImage& i) { CImageProcessor().FilterLaplace(i, kSquare5x5); }},
    {ProcessingCommand::kLowpass3x3, "FilterLowpass", true, [](CSpmImage& i) { CImageProcessor().FilterLowpass(i, kSquare3x3); }},
    {ProcessingCommand::kLowpass5x5, "FilterLowpass", true, [](CSpmImage& i) { CImageProcessor().FilterLowpass(i, kSquare5x5); }},
    {ProcessingCommand::kHighpass3x3, "FilterHighpass", true, [](CSpmImage& i) { CImageProcessor().FilterHighpass(i, kSquare3x3); }},
    {ProcessingCommand::kHighpass5x5, "FilterHighpass", true, [](CSpmImage& i) { CImageProcessor().FilterHighpass(i, kSquare5x5); }},
    {ProcessingCommand::kSharpen, "FilterSharpen", true, [](CSpmImage& i) { CImageProcessor().FilterSharpen(i); }},
    {ProcessingCommand::kSobelVert, "FilterSobel", true, [](CSpmImage& i) { CImageProcessor().FilterSobel(i, 0); }},
    {ProcessingCommand::kHipassGaussX, "FilterLineHipassGaussVert", true,
     [](CSpmImage& i) {
         CImageProcessor().LineHipassGauss(i, kHipassSpacing, kHipassCutoff);
         CImageProcessor().UpdateMinMax(i);
     }},
};

int SelectionModeOf(ProcessingCommand command)
{
    switch (command) {
    case ProcessingCommand::kTwoPointMode: return 1;
    case ProcessingCommand::kRectangleMode: return 2;
    case ProcessingCommand::kThreePointMode: return 3;
    default: return 0;
    }
}

PlanePoint PointOf(const ImagePoint& point, const CSpmImage& image)
{
    const double z = image.m_pData[static_cast<std::size_t>(point.y) * static_cast<std::size_t>(image.m_nWidth) +
                                   static_cast<std::size_t>(point.x)];
    return {static_cast<double>(point.x), static_cast<double>(point.y), z};
}

// One line of the message after a crop, naming an image it left whole. Crop leaves an image
// whole when the rectangle is empty or not wholly inside it (every image of a document holds
// its points). The crop goes ahead only when some image holds the rectangle, so by then it
// has points and starts inside every image: what is left is its reaching past the image's
// last column or row.
std::string UncutImageLine(const CSpmImage& image)
{
    return OneLineText(image.m_strName) + " is not cropped: the rectangle lies outside its " +
           std::to_string(image.m_nWidth) + " x " + std::to_string(image.m_nHeight) + " points.";
}

}  // namespace

void CDocProcessingCommands::Run(ProcessingCommand command)
{
    const auto simple = std::find_if(std::begin(kSimpleCommands), std::end(kSimpleCommands),
                                     [command](const SimpleCommand& c) { return c.command == command; });
    if (simple != std::end(kSimpleCommands))
        return ChangeActiveImage(simple->method, NoCheck, simple->routine, simple->wait);
    switch (command) {
    case ProcessingCommand::kMedianX: return MedianLineCorrection(kLinesX);
    case ProcessingCommand::kMedianY: return MedianLineCorrection(kLinesY);
    case ProcessingCommand::kMedianXY: return MedianLineCorrection(kLinesXY);
    case ProcessingCommand::kFlattenX: return SurfaceFlatting(kFlattenX);
    case ProcessingCommand::kFlattenY: return SurfaceFlatting(kFlattenY);
    case ProcessingCommand::kFlattenXY:
        return SurfaceFlatting(m_doc.m_nSelectMode == 3 && m_doc.m_bSel3Set == 1 ? kFlattenThreePoints : kFlattenXY);
    case ProcessingCommand::kRotate90: return OnRotate90();
    case ProcessingCommand::kCrop: return OnCrop();
    case ProcessingCommand::kUndo: return OnEditUndo();
    default: {
        const int mode = SelectionModeOf(command);
        m_doc.m_nSelectMode = m_doc.m_nSelectMode == mode ? 0 : mode;
    }
    }
}

void CDocProcessingCommands::Update(ProcessingCommand command, CommandState& state) const
{
    if (const int mode = SelectionModeOf(command)) {
        state.checked = m_doc.m_nSelectMode == mode;
        return;
    }
    // Asked at every idle moment: a missing image only disables the item, without a message
    // box that would come back at once.
    const ImageEntry* entry = ShownImage();
    switch (command) {
    case ProcessingCommand::kUndo: state.enabled = entry != nullptr && entry->m_pImage->m_bUndoValid == 1; break;
    // The rectangle is selected in a 2D view.
    case ProcessingCommand::kCrop: state.enabled = entry != nullptr && m_host.ActiveViewKind() == ":2D"; break;
    default: state.enabled = entry != nullptr;
    }
}

bool CDocProcessingCommands::ShowsImage() const
{
    return ShownImage() != nullptr;
}

ImageEntry* CDocProcessingCommands::ShownImage() const
{
    // A profile frame plots every image of the document along the line and acts on none.
    const std::string kind = m_host.ActiveViewKind();
    return kind == ":2D" || kind == ":3D" ? m_doc.FindImage(m_host.ActiveImageName()) : nullptr;
}

CSpmImage* CDocProcessingCommands::ActiveImage(const char* method) const
{
    ImageEntry* entry = m_doc.FindImage(m_host.ActiveImageName());
    if (entry == nullptr) {
        Prompt().Message(std::string(kTextImageNameNotValid) + method);
        return nullptr;
    }
    return entry->m_pImage.get();
}

SelectionRect CDocProcessingCommands::SelectedRect() const
{
    const ImagePoint& a = m_doc.m_ptSel1;
    const ImagePoint& b = m_doc.m_ptSel2;
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void CDocProcessingCommands::HeightsChanged()
{
    m_doc.UpdateAllViews(nullptr, kHintSurface, nullptr);
    m_host.RepaintPalette();
}

void CDocProcessingCommands::MakeUndoCopy(CSpmImage& image)
{
    CImageProcessor().MakeUndoCopy(image);
    m_doc.KeepPalettesForUndo(image);
}

void CDocProcessingCommands::ChangeActiveImage(const char* method, const Check& check, const Routine& routine,
                                               bool wait)
{
    const WaitCursorScope cursor(m_host, wait);
    CSpmImage* image = ActiveImage(method);
    if (image == nullptr || !check(*image))
        return;
    MakeUndoCopy(*image);
    m_doc.m_bUndoMovesPoints = false;  // a routine that turns the image says so
    routine(*image);
    Remeasure(m_doc, *image);
    m_doc.SetModifiedFlag(*image);
    m_doc.m_nUndoScope = kUndoScopeActive;
    HeightsChanged();
}

void CDocProcessingCommands::MedianLineCorrection(int mode)
{
    if (m_doc.m_bSel2Set != 1 || m_doc.m_nSelectMode != 2)
        return ChangeActiveImage("MedianLineCorrection", NoCheck,
                                 [mode](CSpmImage& i) { CImageProcessor().MedianLineCorrection(mode, i); });
    const SelectionRect rect = SelectedRect();
    // Points kept from another image or from before a rotation may lie outside this one,
    // and a rectangle of one line has no differences to take a median of.
    const auto inside = [rect](const CSpmImage& image) {
        if (RectInsideImage(rect, image))
            return true;
        Prompt().Message(kTextSelectRectArea);
        return false;
    };
    ChangeActiveImage("MedianLineCorrection", inside,
                      [mode, rect](CSpmImage& i) { CImageProcessor().MedianLineCorrectionInRect(mode, i, rect); });
}

void CDocProcessingCommands::SurfaceFlatting(int mode)
{
    if (mode != kFlattenThreePoints)
        return ChangeActiveImage("SurfaceFlatting", NoCheck,
                                 [mode](CSpmImage& i) { CImageProcessor().FlattenSurface(i, mode); });
    const ImagePoint p1 = m_doc.m_ptSel1, p2 = m_doc.m_ptSel3, p3 = m_doc.m_ptSel2;
    const auto spansPlane = [this, p1, p2, p3](const CSpmImage& image) {
        const bool placed = m_doc.m_bSel1Set == 1 && m_doc.m_bSel2Set == 1;
        if (!placed || !PointInsideImage(p1.x, p1.y, image) || !PointInsideImage(p2.x, p2.y, image) ||
            !PointInsideImage(p3.x, p3.y, image)) {
            Prompt().Message(kTextSelectRectArea);
            return false;
        }
        if ((p2.x - p1.x) * (p3.y - p1.y) == (p3.x - p1.x) * (p2.y - p1.y)) {
            Prompt().Message(kTextPointsOnOneLine);
            return false;
        }
        return true;
    };
    ChangeActiveImage("SurfaceFlatting", spansPlane, [p1, p2, p3](CSpmImage& i) {
        CImageProcessor().FlattenSurface(i, kFlattenThreePoints, PointOf(p1, i), PointOf(p2, i), PointOf(p3, i));
    });
}

void CDocProcessingCommands::OnRotate90()
{
    ChangeActiveImage("OnRotate90", NoCheck, [this](CSpmImage& i) {
        CImageProcessor().Rotate90(i);
        ForgetSelectedPoints();
        m_doc.m_bUndoMovesPoints = true;
    });
}

void CDocProcessingCommands::ForgetSelectedPoints()
{
    m_doc.m_ptSel1 = m_doc.m_ptSel2 = m_doc.m_ptSel3 = {};
    m_doc.m_bSel1Set = m_doc.m_bSel2Set = m_doc.m_bSel3Set = 0;
}

void CDocProcessingCommands::OnCrop()
{
    // Said once the wait cursor is gone and the views show the cut images: the message waits
    // for the user, not for the program.
    const std::string uncut = CropEveryImage();
    if (!uncut.empty())
        Prompt().Message(uncut);
}

std::string CDocProcessingCommands::CropEveryImage()
{
    const WaitCursorScope cursor(m_host, true);
    const SelectionRect rect = SelectedRect();
    const auto& images = m_doc.ImageList();
    const auto contains = [rect](const ImageEntry& entry) { return RectInsideImage(rect, *entry.m_pImage); };
    // The selection mode is not asked: two points placed in any mode crop.
    if (m_doc.m_bSel2Set != 1 || std::none_of(images.begin(), images.end(), contains)) {
        Prompt().Message(kTextSelectRectArea);
        return {};
    }
    // Every image takes a copy, so one Undo brings the whole document back. An image that
    // does not hold the rectangle stays whole rather than be cut to part of it, and is named,
    // or the document would hold images of one scan cut differently without a word.
    std::string uncut;
    for (const ImageEntry& entry : images) {
        CSpmImage& image = *entry.m_pImage;
        MakeUndoCopy(image);
        if (CImageProcessor().Crop(image, rect) != 0) {
            Remeasure(m_doc, image);
            m_doc.SetModifiedFlag(image);
        } else {
            uncut += uncut.empty() ? "" : "\n";
            uncut += UncutImageLine(image);
        }
    }
    ForgetSelectedPoints();
    m_doc.m_nSelectMode = 0;
    m_doc.m_nUndoScope = kUndoScopeAll;
    m_doc.m_bUndoMovesPoints = true;
    HeightsChanged();
    return uncut;
}

void CDocProcessingCommands::OnEditUndo()
{
    // Only images whose copy holds a state before a command come back: a plane that never
    // received a copy would replace the heights with nothing of theirs.
    const auto restore = [this](CSpmImage& image) {
        if (image.m_bUndoValid != 1)
            return false;
        // The heights before the command need not be the ones last written; but an image the
        // crop left as it was has not changed.
        const bool sameHeights = image.m_pData == image.m_pUndo;
        const SpmHeader header = image.m_header;
        if (!CImageProcessor().RestoreUndo(image))
            return false;
        ComputeHistogram(image);
        m_doc.RestorePalettesForUndo(image);
        if (!sameHeights || std::memcmp(&image.m_header, &header, sizeof header) != 0)
            m_doc.SetModifiedFlag(image);
        return true;
    };
    bool restored = false;
    if (m_doc.m_nUndoScope == kUndoScopeAll) {
        for (const ImageEntry& entry : m_doc.ImageList())
            restored = restore(*entry.m_pImage) || restored;
    } else if (CSpmImage* image = ActiveImage("OnEditUndo")) {
        restored = restore(*image);
    }
    // Points placed on the cut or turned image would name other places on the one given back.
    if (restored && m_doc.m_bUndoMovesPoints)
        ForgetSelectedPoints();
    m_doc.UpdateAllViews(nullptr, kHintSurface, nullptr);
    m_host.RepaintPalette();
}

bool CDocProcessingCommands::ReplaceImage(CSpmImage& image, std::span<const double> heights)
{
    if (image.m_nWidth < 1 || image.m_nHeight < 1 ||
        heights.size() != static_cast<std::size_t>(image.m_nWidth) * static_cast<std::size_t>(image.m_nHeight))
        return false;
    MakeUndoCopy(image);
    image.m_pData.assign(heights.begin(), heights.end());
    CImageProcessor().UpdateMinMax(image);
    Remeasure(m_doc, image);
    m_doc.SetModifiedFlag(image);
    m_doc.m_nUndoScope = kUndoScopeActive;
    m_doc.m_bUndoMovesPoints = false;
    HeightsChanged();
    return true;
}
