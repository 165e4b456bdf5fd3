// The dialog's controls, scroll bars, timer and mouse drag on the spectrum pane.
#include <algorithm>
#include <cmath>

#include "fourier/FourierDialogModel.h"
#include "platform/core/NumberText.h"
#include "platform/core/Prompt.h"
#include "presentation/IniConversions.h"

namespace {

struct ScrollBar {
    int id;
    int min, max;
    int edit;         // the edit the position shows in (0 none)
    double scale;     // edit value per position
    int decimals;
};

// The clamps of Oder and CutOff start at 0 and 1: a zero cut-off divides, so its bar stops at 1.
constexpr ScrollBar kBars[] = {
    {kIdcAngleScroll, 0, 180, kIdcAngle, 1.0, 0},
    {kIdcShiftScroll, 0, 100, kIdcShift, 0.02, 2},
    {kIdcOderScroll, 0, 100, kIdcOder, 1.0, 0},
    {kIdcCutOffScroll, 1, 100, kIdcCutOff, 0.01, 2},
    {kIdcXexpScroll, 10, 999, kIdcXexpansion, 0.1, 1},
    {kIdcYexpScroll, 10, 999, kIdcYexpansion, 0.1, 1},
};

// The bar whose positions real-valued edit `edit` shows; null for the other edits.
const ScrollBar* BarOfRealEdit(int edit)
{
    for (const ScrollBar& bar : kBars)
        if (bar.edit == edit && bar.decimals > 0)
            return &bar;
    return nullptr;
}

} // namespace

std::optional<double> CFourierDialogModel::RealEditValue(int id, const std::string& text)
{
    const ScrollBar* bar = BarOfRealEdit(id);
    if (bar == nullptr)
        return std::nullopt;
    const std::optional<double> value = ValueInRange(text, bar->min * bar->scale, bar->max * bar->scale, false);
    // The primitive reads the text as a filter file reads its numbers: "1e-1" or "0.5 " would
    // become another value there.
    if (!value || ParseIniNumber(text) != *value)
        return std::nullopt;
    return value;
}

std::string CFourierDialogModel::RealEditRefusal(int id)
{
    const ScrollBar* bar = BarOfRealEdit(id);
    return bar != nullptr ? RangeMessage(bar->min * bar->scale, bar->max * bar->scale, false) : std::string();
}

int CFourierDialogModel::StepScrollPos(int current, int code, int thumb, int min, int max)
{
    int position = current;
    switch (code) {
    case kLineLeft: position = current - 1; break;
    case kLineRight: position = current + 1; break;
    case kPageLeft: position = current - 10; break;
    case kPageRight: position = current + 10; break;
    case kThumbPosition:
    case kThumbTrack: position = thumb; break;
    default: return current;
    }
    return std::clamp(position, min, max);
}

void CFourierDialogModel::OnHScroll(int id, int code, int thumb)
{
    if (id == kIdcColorRange) {
        m_nColorRange = StepScrollPos(m_nColorRange, code, thumb, 1, 1000);
        m_view.SetScroll(id, m_nColorRange);
        const double top = m_nColorRange * 0.001 * m_dTopValue;
        m_view.SetText(kIdcColorRangeText, "Color Range = " + FormatFixed(top, 2));
        m_imgSpectrum.m_dMax = top;
        m_nPendingAction = kRedrawOverlay;
        return;
    }
    int* positions[] = {&m_nAngleScroll, &m_nShiftScroll, &m_nOderScroll, &m_nCutOffScroll,
                        &m_nXexpScroll, &m_nYexpScroll};
    for (std::size_t i = 0; i < std::size(kBars); ++i) {
        const ScrollBar& bar = kBars[i];
        if (bar.id != id)
            continue;
        int& position = *positions[i];
        position = StepScrollPos(position, code, thumb, bar.min, bar.max);
        m_view.SetScroll(id, position);
        SetEdit(bar.edit, FormatFixed(position * bar.scale, bar.decimals));
        m_nPendingAction = kSingleMask;
    }
}

void CFourierDialogModel::OnTimer()
{
    const int action = m_nPendingAction;
    m_nPendingAction = kNoAction;
    if (action == kRedrawOverlay)
        Overlay();
    else if (action == kSingleMask)
        BuildSingleFilterMask();
    else if (action == kLiveEdit)
        LiveEdit();
}

void CFourierDialogModel::OnParameterChange()
{
    m_view.Exchange();
}

void CFourierDialogModel::OnFourieMode()
{
    const int previous = m_nFourieMode;
    m_view.Exchange();
    if (m_nFourieMode == kFourierY && !SupportsLineAxisY(m_Workspace)) {
        Prompt().Message(kTextSquareForY);
        m_nFourieMode = previous;
        m_view.RefreshChecks();
        return;
    }
    m_view.BeginWaitCursor();
    DirectTransform();
    // The mask is laid out as the spectra are: the filter shown is the one Filtering applies.
    BuildFilterMask();
    m_view.EndWaitCursor();
    Overlay();
}

void CFourierDialogModel::OnLoPassHiPass()
{
    m_view.Exchange();
    BuildSingleFilterMask();
    Filtering();
}

void CFourierDialogModel::OnCircleRectangle()
{
    m_view.Exchange();
    m_CurPrimitive.Type = m_nShape == 0 ? 0u : 1u;
    Filtering();
}

void CFourierDialogModel::OnMarker()
{
    m_view.Exchange();
    Overlay();
}

void CFourierDialogModel::OnShowImage()
{
    m_view.Exchange();
    Filtering();
}

void CFourierDialogModel::OnShowFourierTransform()
{
    m_view.Exchange();
    ShowSpectrumOf(true);
    Overlay();
}

void CFourierDialogModel::OnShowFilteredTransform()
{
    m_view.Exchange();
    ShowSpectrumOf(false);
    Overlay();
}

void CFourierDialogModel::OnShowFilter()
{
    m_view.Exchange();
    m_nLinLogSaved = m_nLinLog;
    m_nLinLog = 1;
    m_view.RefreshChecks();
    for (int id : {kIdcColorRange, kIdcLogView, kIdcLinView})
        m_view.EnableControl(id, false);
    m_pShownImage = &m_imgFilter;
    Overlay();
}

void CFourierDialogModel::OnOK()
{
    m_view.Exchange();
    BuildSingleFilterMask();
}

void CFourierDialogModel::OnPaint()
{
    RenderPanes();
    Overlay();
}

FilterOutline CFourierDialogModel::Outline() const
{
    FilterOutline outline;
    if (m_bMarker != 1)
        return outline;
    outline.highPass = m_nLoPass == 1;
    const int radius = static_cast<int>(m_Workspace.m_nWidth * m_CurPrimitive.Cutoff * 0.5);
    const double r = std::trunc(radius / m_fScaleX);
    const double cx = PaneZeroX(), cy = PaneZeroY();
    if (m_nFourieMode != kFourierXY || m_nShape == 1) {
        outline.kind = FilterOutline::kBand;
        outline.rect = {static_cast<int>(cx - r), m_rcPaneClient.top, static_cast<int>(cx + r),
                        m_rcPaneClient.bottom};
        return outline;
    }
    // An ellipse beyond the pane is cut at the pane's edge on that side only.
    const auto cut = [](double v, int low, int high, int lowEdge, int highEdge) {
        const int value = static_cast<int>(v);
        return value < low ? lowEdge : value > high ? highEdge : value;
    };
    const PaneRect& c = m_rcPaneClient;
    outline.kind = FilterOutline::kEllipse;
    outline.rect = {cut(cx - r * m_CurPrimitive.Xcomp, 2, 1 << 30, c.left, c.right),
                    cut(cy - r * m_CurPrimitive.Ycomp, 2, 1 << 30, c.top, c.bottom),
                    cut(cx + r * m_CurPrimitive.Xcomp, -(1 << 30), 393, c.left, c.right),
                    cut(cy + r * m_CurPrimitive.Ycomp, -(1 << 30), 393, c.top, c.bottom)};
    return outline;
}

void CFourierDialogModel::OnLButtonDown()
{
    m_nShowSpectrum = 0;
    m_bMarker = 1;
    m_nSingleComplex = 0;
    if (m_nShowImage == kShowOriginal)
        m_nShowImage = kShowFiltered;
    m_view.RefreshChecks();
    // The drag keeps the order, cut-off and kind the controls show, typed since the last
    // mask build or not.
    ReadPrimitiveControls();
    m_CurPrimitive.Xcomp = m_CurPrimitive.Ycomp = 1.0;
    m_CurPrimitive.Shift = 0.0;
    m_CurPrimitive.Angle = 0;
    UpdatePrimitiveControls();
    ShowSpectrumOf(true);
    Overlay();
}

void CFourierDialogModel::OnMouseMove(bool leftButtonOnly, int x, int y)
{
    const int width = m_rcPane.Width(), height = m_rcPane.Height();
    m_fScaleX = static_cast<float>(m_Workspace.m_nWidth) / static_cast<float>(std::max(width, 1));
    m_fScaleY = static_cast<float>(m_Workspace.m_nHeight) / static_cast<float>(std::max(height, 1));
    if (!leftButtonOnly)
        return;
    // From the pane's centre, and on to the zero frequency where a side is odd.
    const float dx = static_cast<float>(x - m_rcPane.left) - static_cast<float>(width / 2) -
                     static_cast<float>(PaneZeroX() - m_nCentreX);
    if (static_cast<int>(dx) >= width / 2)
        return;
    const float dy = static_cast<float>((y - m_rcPane.top) - height / 2) - static_cast<float>(PaneZeroY() - m_nCentreY);
    m_nDragOffset = static_cast<int>(dx);
    m_nDragDx = static_cast<int>(std::fabs(dx));
    m_nDragDy = static_cast<int>(std::fabs(dy));
    m_nDragRadius = static_cast<int>(m_fScaleX * std::fabs(dx));
    m_nPendingAction = kLiveEdit;
}

void CFourierDialogModel::LiveEdit()
{
    FilterOutline outline;
    outline.highPass = m_nLoPass == 1;
    const double cx = PaneZeroX(), cy = PaneZeroY();
    if (m_nFourieMode == kFourierXY && m_nShape == 0) {
        const int r = static_cast<int>(std::sqrt(static_cast<double>(m_nDragDx) * m_nDragDx +
                                                 static_cast<double>(m_nDragDy) * m_nDragDy));
        outline.kind = FilterOutline::kEllipse;
        outline.rect = {static_cast<int>(cx - r), static_cast<int>(cy - r), static_cast<int>(cx + r),
                        static_cast<int>(cy + r)};
        m_nDragRadius = static_cast<int>(static_cast<float>(r) * m_fScaleX);
        CircleIdealFilter(m_nDragRadius, m_nLoPass, m_Workspace);
    } else {
        outline.kind = FilterOutline::kBand;
        outline.rect = {static_cast<int>(cx - m_nDragDx), m_rcPaneClient.top, static_cast<int>(cx + m_nDragDx),
                        m_rcPaneClient.bottom};
        LineIdealFilter(m_nDragRadius, m_nLoPass, m_Workspace);
    }
    m_view.DrawDragOutline(outline);
    // A cut-off of 0 would divide by zero in the next mask build: the drag stops at 0.01. A
    // circle reaches beyond the pane's sides toward its corners, but the cut-off stops at the
    // CutOff bar's end, which is all that a filter file brings back.
    const int percent = std::clamp(m_nDragRadius * 200 / std::max(m_imgSpectrum.m_nWidth, 1), 1, 100);
    m_nCutOffScroll = percent;
    m_view.SetScroll(kIdcCutOffScroll, percent);
    m_CurPrimitive.Cutoff = percent * 0.01;
    SetEdit(kIdcCutOff, FormatFixed(percent * 0.01, 2));
    InverseAndRender();
}
