#include "app/views/ViewCommon.h"

#include "app/render/GLCanvas.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"

void AdoptSoleImage(CView& view)
{
    const auto& images = view.Doc().ImageList();
    if (images.size() == 1 && view.GetParentFrame() != nullptr)
        view.GetParentFrame()->m_strImageName = images.front().m_pImage->m_strName;
}

ColourSource LookUpColour(CGLCanvas& canvas, const CView& view, const ShownImage& shown,
                          const std::string& prefix, const std::string& suffix)
{
    ColourSource source = LookUpColourSource(DocumentImages(view.Doc()), shown.Records(), shown.settingsIndex);
    if (source.missingName)
        canvas.PostMessageOnce(prefix + *source.missingName + suffix);
    return source;
}

QCursor SelectionCursor()
{
    return QCursor(Qt::CrossCursor);
}
