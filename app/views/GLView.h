// What the 2D and 3D views share: a widget with a GL canvas (where the platform shows
// windows), the framework's view, the main frame's rendering options, messages posted once,
// the colour-source lookup and the sole-image rule of the first update.
#pragma once

#include <QTimer>
#include <QWidget>

#include <set>
#include <string>
#include <vector>

#include "app/CommandIds.h"
#include "app/render/GLCanvas.h"
#include "app/views/ViewLookup.h"
#include "platform/qt/View.h"
#include "presentation/ViewArrays.h"

class CGLView : public QWidget, public CView, protected IGLScene {
    Q_OBJECT
public:
    explicit CGLView(QWidget* parent = nullptr);
    ~CGLView() override;

    QWidget* Widget() override { return this; }
    // The GL surface; null on a platform without windows (the view then draws nothing).
    CGLCanvas* Canvas() const { return m_pCanvas; }
    const SurfaceArrays& Arrays() const { return m_arrays; }
    // The main frame's FastRenderSceneMode and XYMatrixSize (the defaults without one).
    static RenderOptions Options();

    // Shows a message after the current event, once per text for the life of this view: a
    // paint that cannot find its image must neither loop on message boxes nor run a modal
    // loop inside itself.
    void PostMessageOnce(const std::string& text);

protected:
    // Sets the canvas's cache state and, with `repaint`, schedules a paint; a paint of a
    // picture not cached draws the header texts as they read now.
    void Invalidate(int cacheState, bool repaint = true);
    // Schedules a paint; the cached picture stays as valid as it was.
    void Repaint();
    // Runs `copy` with the canvas's context current, after a full render; `copy` gets the
    // canvas's size in device pixels.
    template <class Copy>
    void CopyPicture(Copy copy);
    // On the first update: a document of one image shows that image, whatever the frame was
    // opened with.
    void AdoptSoleImage();
    // The cache state of an initial update: a repeated one keeps the cached picture; the first
    // runs `build` and takes the hint.
    template <class Build>
    int InitialUpdate(Build build);
    // The colour source of the shown image; a name the document does not know is reported
    // once as `prefix` + name + `suffix`, and the image colours itself from then on.
    ColourSource LookUpColour(const ShownImage& shown, const std::string& prefix,
                              const std::string& suffix = {});
    // The frame's image, or none after posting `missing`.
    ShownImage FindShownImageOr(const std::string& missing);
    // The surface of the image by the rendering options, and its colours from the colour
    // source (`colourMissing` the start of the message for an unknown source).
    void BuildSurface(const ShownImage& shown);
    void BuildColours(const ShownImage& shown, const std::string& colourMissing);
    // The texts the view writes beside its picture from the headers of the images it shows,
    // as they read now (HeaderTexts2D, HeaderTexts3D); none before the first update or
    // without its image.
    virtual std::vector<std::string> HeaderTexts() const = 0;

    SurfaceArrays m_arrays;
    bool m_bFirstUpdate = true;

private:
    // A header text changed since the view last drew its picture anew (a unit or the name
    // typed on the work bench, the steps of a command, whatever way it came): the picture is
    // drawn again, also where the last update kept the cached one.
    void FollowHeader();

    CGLCanvas* m_pCanvas = nullptr;
    std::set<std::string> m_posted;
    // Looks at the headers as often as the panels look at the active frame.
    QTimer m_headerWatch;
    std::vector<std::string> m_drawnHeader;  // what the picture shows of the headers
};

template <class Copy>
void CGLView::CopyPicture(Copy copy)
{
    // Without its context current the render would go elsewhere and the copy read whatever
    // that held: then nothing is copied (the canvas says why).
    if (m_pCanvas == nullptr || m_pCanvas->context() == nullptr || !m_pCanvas->makeCurrent())
        return;
    if (RenderScene(false))
        copy(m_pCanvas->PixelSize());
    m_pCanvas->doneCurrent();
}

template <class Build>
int CGLView::InitialUpdate(Build build)
{
    if (!m_bFirstUpdate)
        return kCacheValid;
    m_bFirstUpdate = false;
    build();
    return kHintInitial;
}

// The cursor of a selection being placed (resource 157) and of a height drag (159).
QCursor SelectionCursor();
QCursor ZScaleCursor();
