#include "app/views/ViewLookup.h"

#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/View.h"

ImageLookup DocumentImages(CMDIDoc& doc)
{
    return [&doc](const std::string& name) {
        ImageEntry* entry = doc.FindImage(name);
        return entry == nullptr ? ImageRecords{}
                                : ImageRecords{entry->m_pImage.get(), entry->m_pSettings.get()};
    };
}

ShownImage FindShownImage(const CView& view)
{
    const CMDIChildFrame* frame = view.GetParentFrame();
    if (frame == nullptr || view.GetDocument() == nullptr)
        return {};
    return {view.Doc().FindImage(frame->m_strImageName), frame->m_nSettingsIndex};
}
