// Opening, the transforms and the spectrum display of the Fourier-transform dialog.
#include "fourier/FourierDialogModel.h"

#include <algorithm>
#include <cmath>

#include "document/MDIDoc.h"
#include "fourier/SpectrumDisplay.h"
#include "image/HeaderTextCoding.h"
#include "image/ImageStatistics.h"
#include "platform/core/NumberText.h"
#include "platform/core/Prompt.h"
#include "presentation/SurfaceBuilders.h"
#include "processing/ImageProcessor.h"

namespace {

void SizeImage(CSpmImage& image, int width, int height)
{
    image.m_nWidth = width;
    image.m_nHeight = height;
    image.m_pData.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0.0);
}

// The pane's centre is where the picture begins the middle cell of an even side: there the
// outline and the drag have always centred. An odd side has its zero frequency between two
// cells, half a cell of the picture further on.
double PaneZero(int paneCentre, double zeroFrequency, int cells, int pixels)
{
    const double beyondCell = zeroFrequency - std::floor(zeroFrequency);
    return paneCentre + beyondCell * pixels / std::max(cells, 1);
}

} // namespace

double CFourierDialogModel::PaneZeroX() const
{
    return PaneZero(m_nCentreX, m_Workspace.ZeroFrequencyX(), m_Workspace.m_nWidth, m_rcPaneClient.Width());
}

double CFourierDialogModel::PaneZeroY() const
{
    return PaneZero(m_nCentreY, m_Workspace.ZeroFrequencyY(), m_Workspace.m_nHeight, m_rcPaneClient.Height());
}

void CFourierDialogModel::SetPaneGeometry(int clientWidth, int clientHeight, const PaneRect& window)
{
    m_rcPaneClient = {0, 0, clientWidth, clientHeight};
    m_nCentreX = window.Width() / 2;
    m_nCentreY = window.Height() / 2;
    m_rcPane = {window.left + 3, window.top + 3, window.right - 3, window.bottom - 3};
}

bool CFourierDialogModel::Open(CMDIDoc* doc, const std::string& imageName, int settingsIndex,
                               std::optional<CDocProcessingCommands> commands)
{
    ImageEntry* entry = doc != nullptr ? doc->FindImage(imageName) : nullptr;
    if (entry == nullptr) {
        Prompt().Message(kTextImageNotValid);
        return false;
    }
    const CSpmImage& image = *entry->m_pImage;
    if (image.m_nWidth < 2 || image.m_nHeight < 2) {
        Prompt().Message(kTextImageTooSmall + OneLineText(image.m_strName) + " has " + std::to_string(image.m_nWidth) +
                         " x " + std::to_string(image.m_nHeight));
        return false;
    }
    m_pDoc = doc;
    m_commands.reset();
    if (commands)
        m_commands.emplace(*commands);
    m_pDocImage = entry->m_pImage.get();
    m_pSettings = &(*entry->m_pSettings)[settingsIndex == 1 ? 1 : 0];
    const int w = m_pDocImage->m_nWidth, h = m_pDocImage->m_nHeight;
    m_Workspace.Allocate(w, h, 1.5);
    m_imgWork.m_pData = m_imgWork.m_pUndo = m_pDocImage->m_pData;
    m_imgWork.m_nWidth = m_imgWork.m_nUndoWidth = w;
    m_imgWork.m_nHeight = m_imgWork.m_nUndoHeight = h;
    m_imgWork.m_dMin = m_pDocImage->m_dMin;
    m_imgWork.m_dMax = m_pDocImage->m_dMax;
    SizeImage(m_imgSpectrum, w, h);
    m_imgSpectrum.m_nBins = kSpectrumBins;
    SizeImage(m_imgMask, static_cast<int>(m_Workspace.PaddedWidth()), static_cast<int>(m_Workspace.PaddedHeight()));
    SizeImage(m_imgFilter, w, h);
    m_pShownImage = &m_imgSpectrum;
    m_fScaleX = static_cast<float>(w) / static_cast<float>(std::max(m_rcPane.Width(), 1));
    m_fScaleY = static_cast<float>(h) / static_cast<float>(std::max(m_rcPane.Height(), 1));
    BuildTriangleIndices(m_imgWork, m_arrays.indices);
    BuildPaneArrays();

    m_CurPrimitive = FilterPrimitive{};
    for (int id : {kIdcCutOff, kIdcShift, kIdcXexpansion, kIdcYexpansion})
        SetEdit(id, FormatFixed(id == kIdcCutOff ? 0.3 : id == kIdcShift ? 0.0 : 1.0, 2));
    DirectTransform();
    m_nColorRange = 500;
    m_view.SetScroll(kIdcColorRange, 500);
    m_view.EnableControl(kIdcColorRange, m_nLinLog == 1);
    m_view.SetText(kIdcColorRangeText, "Color Range = " + FormatFixed(500 * 0.001 * m_dTopValue, 2));
    ResetList(DefaultPrimitives());
    m_CurPrimitive = m_PrimitiveList.back();
    m_nLinLogSaved = m_nDragRadius = m_nDragOffset = 0;
    BuildComplexFilterMask();
    m_view.SetTimerPeriod(30);
    return true;
}

void CFourierDialogModel::SetEdit(int id, const std::string& text)
{
    switch (id) {
    case kIdcCutOff: m_strCutOff = text; break;
    case kIdcShift: m_strShift = text; break;
    case kIdcXexpansion: m_strXexpansion = text; break;
    case kIdcYexpansion: m_strYexpansion = text; break;
    case kIdcOder: m_nOder = TruncToInt32(ParseDigitsNumber(text)); break;
    case kIdcAngle: m_nAngle = TruncToInt32(ParseDigitsNumber(text)); break;
    default: break;
    }
    m_view.SetText(id, text);
}

void CFourierDialogModel::BuildPaneArrays()
{
    BuildSurfaceArraysForDialog(m_imgWork, m_arrays.vertices, m_arrays.normals, m_arrays.colours, 0.0f);
    SmoothNormalArray(m_imgWork, m_arrays.normals, m_arrays.smoothNormals);
}

void CFourierDialogModel::InverseAndRender()
{
    TransformByMode(m_imgWork, m_nFourieMode, 1, m_nShowImage, m_Workspace);
    BuildPaneArrays();
    RenderPanes();
}

void CFourierDialogModel::RenderPanes()
{
    m_view.RenderPanes();
    m_view.SetText(kIdcWorkMin, "MinVal = " + FormatFixed(m_imgWork.m_dMin, 3));
    m_view.SetText(kIdcWorkMax, "MaxVal = " + FormatFixed(m_imgWork.m_dMax, 3));
}

void CFourierDialogModel::Overlay()
{
    m_view.DrawOverlay(*m_pShownImage, Outline());
    m_view.SetText(kIdcShownMin, m_pShownImage->m_strMinText);
    m_view.SetText(kIdcShownMax, m_pShownImage->m_strMaxText);
}

void CFourierDialogModel::ScaleDisplay()
{
    m_dTopValue = SpectrumTopValue(m_imgSpectrum);
    if (m_nLinLog == 1)
        ApplyLinView(m_imgSpectrum, m_nColorRange, m_dTopValue);
    else
        ApplyLogView(m_imgSpectrum);
}

void CFourierDialogModel::DirectTransform()
{
    TransformByMode(m_imgWork, m_nFourieMode, 0, m_nShowImage, m_Workspace);
    SpectrumMagnitude(m_imgSpectrum, m_Workspace);
    SetDisplayTexts(m_imgSpectrum, 3);
    ScaleDisplay();
}

void CFourierDialogModel::ShowMagnitude(bool unfiltered, int decimals)
{
    if (unfiltered)
        UnfilteredSpectrumMagnitude(m_imgSpectrum, m_Workspace);
    else
        SpectrumMagnitude(m_imgSpectrum, m_Workspace);
    SetDisplayTexts(m_imgSpectrum, decimals);
}

void CFourierDialogModel::BuildFilterMask()
{
    if (m_nSingleComplex == 0)
        BuildSingleFilterMask();
    else
        BuildComplexFilterMask();
}

void CFourierDialogModel::Filtering()
{
    m_view.BeginWaitCursor();
    BuildFilterMask();
    MultiplySpectrumByMask(m_imgMask.m_pData, m_Workspace);
    ShowMagnitude(m_nShowSpectrum == 0, 5);
    if (m_nLinLog == 0)
        ApplyLogView(m_imgSpectrum);
    else
        ApplyLinView(m_imgSpectrum, m_nColorRange, m_dTopValue);
    Overlay();
    InverseAndRender();
    m_view.EndWaitCursor();
}

void CFourierDialogModel::OnDirectTransform()
{
    m_view.BeginWaitCursor();
    DirectTransform();
    m_view.EndWaitCursor();
    Overlay();
}

void CFourierDialogModel::OnInverseTransform()
{
    m_view.BeginWaitCursor();
    InverseAndRender();
    m_view.EndWaitCursor();
}

void CFourierDialogModel::LinLogView()
{
    m_view.Exchange();
    m_nLinLogSaved = m_nLinLog;
    ShowMagnitude(m_nShowSpectrum == 0, 5);
    m_view.EnableControl(kIdcColorRange, m_nLinLog == 1);
    if (m_nLinLog == 1)
        ApplyLinView(m_imgSpectrum, m_nColorRange, m_dTopValue);
    else
        ApplyLogView(m_imgSpectrum);
    Overlay();
}

void CFourierDialogModel::ShowSpectrumOf(bool unfiltered)
{
    m_nLinLog = m_nLinLogSaved;
    m_view.RefreshChecks();
    m_view.EnableControl(kIdcColorRange, m_nLinLog == 1);
    m_view.EnableControl(kIdcLogView, true);
    m_view.EnableControl(kIdcLinView, true);
    ShowMagnitude(unfiltered, 3);
    ScaleDisplay();
    m_pShownImage = &m_imgSpectrum;
}

void CFourierDialogModel::OnLoadImage()
{
    if (m_pDocImage->m_pData.size() != m_imgWork.m_pData.size()) {
        Prompt().Message(kTextSizeChanged);
        return;
    }
    m_imgWork.m_pData = m_pDocImage->m_pData;
    m_imgWork.m_dMin = m_pDocImage->m_dMin;
    m_imgWork.m_dMax = m_pDocImage->m_dMax;
    BuildPaneArrays();
    RenderPanes();
    m_view.BeginWaitCursor();
    DirectTransform();
    m_view.EndWaitCursor();
    Overlay();
}

void CFourierDialogModel::OnReplaceImage()
{
    for (double z : m_imgWork.m_pData)
        if (!std::isfinite(z)) {
            Prompt().Message(kTextNotFinite);
            return;
        }
    if (!m_commands)
        return;
    m_view.BeginWaitCursor();
    m_commands->ReplaceImage(*m_pDocImage, m_imgWork.m_pData);
    m_view.EndWaitCursor();
}
