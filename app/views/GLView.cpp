#include "app/views/GLView.h"

#include <QTimer>
#include <QVBoxLayout>

#include "app/MainFrame.h"
#include "app/SpmApp.h"
#include "platform/core/Prompt.h"
#include "platform/qt/MDIChildFrame.h"

namespace {
constexpr int kHeaderWatchMs = 100;
}

CGLView::CGLView(QWidget* parent) : QWidget(parent)
{
    if (!CGLCanvas::PlatformDraws())
        return;
    m_pCanvas = new CGLCanvas(*this, &CGLView::Options, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pCanvas);
    connect(&m_headerWatch, &QTimer::timeout, this, &CGLView::FollowHeader);
    m_headerWatch.start(kHeaderWatchMs);
}

CGLView::~CGLView() = default;

RenderOptions CGLView::Options()
{
    const CMainFrame* mainFrame = CMainFrame::Instance();
    if (mainFrame == nullptr)
        return {};
    return {mainFrame->m_nRenderMode, mainFrame->m_nMatrixSize};
}

void CGLView::PostMessageOnce(const std::string& text)
{
    if (!m_posted.insert(text).second)
        return;
    QTimer::singleShot(0, this, [text] { Prompt().Message(text); });
}

void CGLView::Invalidate(int cacheState, bool repaint)
{
    if (m_pCanvas == nullptr)
        return;
    m_pCanvas->SetCacheState(cacheState);
    if (!repaint)
        return;
    if (cacheState != kCacheValid)
        m_drawnHeader = HeaderTexts();
    m_pCanvas->update();
}

void CGLView::FollowHeader()
{
    // A view without its image leaves saying so to its next paint.
    const std::vector<std::string> now = HeaderTexts();
    if (!now.empty() && now != m_drawnHeader)
        Invalidate(kHintRepaint);
}

void CGLView::Repaint()
{
    if (m_pCanvas != nullptr)
        m_pCanvas->update();
}

void CGLView::AdoptSoleImage()
{
    const auto& images = Doc().ImageList();
    if (images.size() == 1 && GetParentFrame() != nullptr)
        GetParentFrame()->m_strImageName = images.front().m_pImage->m_strName;
}

ColourSource CGLView::LookUpColour(const ShownImage& shown, const std::string& prefix,
                                   const std::string& suffix)
{
    ColourSource source = LookUpColourSource(DocumentImages(Doc()), shown.Records(), shown.settingsIndex);
    if (source.missingName)
        PostMessageOnce(prefix + *source.missingName + suffix);
    return source;
}

ShownImage CGLView::FindShownImageOr(const std::string& missing)
{
    const ShownImage shown = FindShownImage(*this);
    // Without its document the view is one of a closed document's, waiting to be deleted:
    // nothing is missing that the user could put right.
    if (!shown && GetDocument() != nullptr)
        PostMessageOnce(missing);
    return shown;
}

void CGLView::BuildSurface(const ShownImage& shown)
{
    const RenderOptions options = Options();
    CreatePolygonArray(shown.Image(), options.mode, options.matrixSize, m_arrays);
}

void CGLView::BuildColours(const ShownImage& shown, const std::string& colourMissing)
{
    const ColourSource source = LookUpColour(shown, colourMissing);
    CreateColorArray(shown.Image(), *source.image, *source.settings, m_arrays);
}

QCursor SelectionCursor()
{
    return CSpmApp::Instance() != nullptr ? CSpmApp::Instance()->m_hCursor157 : QCursor(Qt::CrossCursor);
}

QCursor ZScaleCursor()
{
    return CSpmApp::Instance() != nullptr ? CSpmApp::Instance()->m_hCursor159 : QCursor(Qt::SizeVerCursor);
}
