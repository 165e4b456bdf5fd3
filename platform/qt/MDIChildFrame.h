// The child window of every view: which image of the document the view shows, which record
// of the image's settings pair it uses and what kind of view it is. Views, panels and
// commands read these fields from the active child frame and look the image up by name.
#pragma once

#include <QMdiSubWindow>

#include <cstdint>
#include <string>

#include "platform/qt/CmdTarget.h"

class CDocument;
class CMultiDocTemplate;
class CView;

// The size of the next child frame, set by whoever opens one; the frame adds its border.
extern std::int16_t g_nFrameWidth;
extern std::int16_t g_nFrameHeight;

class CMDIChildFrame : public QMdiSubWindow, public CCmdTarget {
    Q_OBJECT
public:
    CMDIChildFrame(CMultiDocTemplate& docTemplate, QWidget* parent = nullptr);
    ~CMDIChildFrame() override;

    CDocument* GetActiveDocument() const;
    CView* GetActiveView() const { return m_pView; }
    CMultiDocTemplate& GetTemplate() const { return m_template; }
    void SetView(CView* view);

    // "<document title>:<image name><view kind>", then ":<n>" when the document has two
    // frames or more; the frame's own title when it has no document.
    std::string FrameTitle() const;
    void OnUpdateFrameTitle();

    std::string m_strImageName;
    int m_nSettingsIndex = 0;          // 0 the 2D record (2D and profile frames), 1 the 3D record
    int m_nImageNumber = 0;
    std::string m_strViewKind = ":2D";
    int m_nWindow = 0;                 // the frame's number within its document; 0 alone

signals:
    // The frame was shown or hidden (the work bench rebuilds its tree).
    void visibilityChanged();

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    CMultiDocTemplate& m_template;
    CView* m_pView = nullptr;
    bool m_bShownOnce = false;
};
