// A document template: pairs the document with the child frame and one view class. It
// makes a frame with its view for a document (hidden, fields at their defaults) so that the
// opener can set the frame's fields before the view's first update.
#pragma once

#include <functional>

class CDocument;
class CMDIChildFrame;
class CSpmDocManager;
class CView;

class CMultiDocTemplate {
public:
    using ViewFactory = std::function<CView*()>;

    CMultiDocTemplate(CSpmDocManager& manager, int resourceId, ViewFactory makeView)
        : m_manager(manager), m_nIDResource(resourceId), m_makeView(std::move(makeView)) {}

    // A new hidden frame in the main frame's MDI area with a new view of `doc`.
    CMDIChildFrame* CreateNewFrame(CDocument& doc);
    // The view's first update, then the frame shown and activated.
    void InitialUpdateFrame(CMDIChildFrame& frame, CDocument& doc);

    int ResourceId() const { return m_nIDResource; }
    CSpmDocManager& Manager() const { return m_manager; }

private:
    CSpmDocManager& m_manager;
    int m_nIDResource;
    ViewFactory m_makeView;
};
