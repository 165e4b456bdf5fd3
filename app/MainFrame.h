// The main window: menus, toolbars, status bar, the panel bar at the right edge with its
// three panels and their switch, the view openers, adding images to the active document,
// and the rendering options every view reads when it paints.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <vector>

#include "app/WorkBenchItem.h"
#include "platform/qt/MDIFrameWnd.h"

class C3DdlgColor;
class C3DdlgConfig;
class CCommandRegistry;
class CDialogWorkBench;
class CDocument;
class CMultiDocTemplate;
class CSpmDocManager;
class QAction;
class QDockWidget;
class QLabel;
class QMenu;
class QToolBar;
class QUrl;

// How views render: 0 every cell at once, 1 coarsely first, 2 not at all.
enum class RenderMode : int { kPrecisely = 0, kCoarsely = 1, kNoDrawing = 2 };

class CMainFrame : public CMDIFrameWnd {
    Q_OBJECT
public:
    CMainFrame(CSpmDocManager& docManager, CCommandRegistry& commands);
    ~CMainFrame() override;

    // The one main frame while it lives, for views and panels; null otherwise.
    static CMainFrame* Instance();

    CSpmDocManager& DocManager() const { return m_docManager; }
    CCommandRegistry& Commands() const { return m_commands; }
    CDialogWorkBench& WorkBench() const { return *m_pWorkBench; }
    C3DdlgConfig& ConfigPanel() const { return *m_pConfigPanel; }
    C3DdlgColor& ColorPanel() const { return *m_pColorPanel; }

    RenderMode FastRenderSceneMode() const { return static_cast<RenderMode>(m_nRenderMode); }
    int XYMatrixSize() const { return m_nMatrixSize; }

    // The view openers: activate the frame of the item's image of that kind, or make one.
    void Open2DView(const WorkBenchItem& item);
    void Open3DView(const WorkBenchItem& item);
    void OpenProfileView(const WorkBenchItem& item);
    // Activates or creates a frame of `docTemplate` for the item's image; `alwaysNew` skips
    // the search for an existing one.
    void OpenViewFrame(const WorkBenchItem& item, CMultiDocTemplate& docTemplate,
                       const char* viewKind, int settingsIndex, bool alwaysNew);

    // Adds image `indexInFile` of `path` to the active document in a new 2D frame.
    void AddImageToActiveDoc(const std::string& path, int indexInFile);
    // The same for `doc`, when it is still open.
    void AddImageToDoc(CDocument& doc, const std::string& path, int indexInFile);
    // Asks for an *.spm file and adds it to the document active when the dialog opened.
    void AddImageDialog();
    // The follow-up steps of File Open for the document just opened: image 1 of the same
    // file, then the images the document's presentation file lists, then the 3D frame of the
    // first image. Each goes to `doc` whatever frame is active meanwhile.
    void OpenCompanionImage(CDocument& doc);
    void LoadDocConfig(CDocument& doc);

    // Files dropped on the window open their first image only, without the follow-up steps.
    void OpenDroppedFiles(const QList<QUrl>& urls);
    // The same for paths; true when any of them shows now (opened, or open already).
    bool OpenDroppedFiles(const std::vector<std::string>& paths);

    // Shows one panel (or hides the bar) and checks its switch button.
    void ShowPanel(int switchCommand);
    // The switch button checked now.
    int CheckedPanelSwitch() const { return m_nPanelSwitch; }

    // The end of the Window menu: a separator and one checkable entry per child frame in
    // the order they were made ("&1 <title>"), the active one checked; beyond nine,
    // "&More Windows..." asks with a list. Empty without frames.
    const std::vector<QAction*>& WindowListActions() const { return m_windowList; }
    void FillWindowList();

    std::vector<WorkBenchItem> m_listWorkBench;
    WorkBenchItem m_selItem;
    int m_nMatrixSize = 128;
    int m_nRenderMode = 1;

signals:
    // The documents, their images or the frames changed (the work bench refills its tree).
    void framesChanged();

protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBars();
    void BuildPanels();
    void BuildStatusBar();
    // "CAP", "NUM" and "SCRL" show while their lock is on.
    void UpdateIndicators();
    void AddHandlers();
    void UseMenus(bool documentOpen);
    void FillRecentFiles();
    void OnOptions();
    void SelectWindow();
    // The image the active frame shows, or its document's first image when it names none.
    std::string ActiveImageName() const;
    // The document of the active frame, or null.
    CDocument* ActiveDocument() const;
    // A view item of the active frame: its document, number 0 and `name`.
    WorkBenchItem ActiveItem(const std::string& name) const;

    CSpmDocManager& m_docManager;
    CCommandRegistry& m_commands;
    std::vector<QMenu*> m_appMenus;        // menu 128: no document open
    std::vector<QMenu*> m_docMenus;        // menu 131: a document open
    std::vector<QMenu*> m_recentMenus;     // the File menus that list the recent files
    QMenu* m_pWindowMenu = nullptr;
    std::vector<QAction*> m_windowList;
    QToolBar* m_pToolBar = nullptr;
    QToolBar* m_pPanelSwitch = nullptr;
    QDockWidget* m_pPanelBar = nullptr;
    CDialogWorkBench* m_pWorkBench = nullptr;
    C3DdlgConfig* m_pConfigPanel = nullptr;
    C3DdlgColor* m_pColorPanel = nullptr;
    std::array<QLabel*, 3> m_indicators{};    // CAP, NUM, SCRL
    int m_nPanelSwitch = 0;
    bool m_bDocMenus = false;
};
