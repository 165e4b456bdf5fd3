#include "app/MainFrame.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/AppResources.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MenuResources.h"
#include "app/panels/DlgColor.h"
#include "app/panels/DlgConfig.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/MDIChildFrame.h"

namespace {

CMainFrame* g_pMainFrame = nullptr;

constexpr const char* kAppTitle = "Quintara";

} // namespace

CMainFrame* CMainFrame::Instance()
{
    return g_pMainFrame;
}

CMainFrame::CMainFrame(CSpmDocManager& docManager, CCommandRegistry& commands)
    : CMDIFrameWnd(kAppTitle), m_docManager(docManager), m_commands(commands)
{
    g_pMainFrame = this;
    setWindowIcon(AppIcon());
    setAcceptDrops(true);
    AddHandlers();
    BuildMenus();
    BuildToolBars();
    BuildPanels();
    statusBar()->showMessage("Ready");
    for (const char* indicator : {"CAP", "NUM", "SCRL"})
        statusBar()->addPermanentWidget(new QLabel(indicator));
    connect(this, &CMDIFrameWnd::activeFrameChanged, this, [this] {
        UseMenus(MDIGetActive() != nullptr);
        emit framesChanged();
    });
    connect(&m_commands, &CCommandRegistry::commandExecuted, this, [this] { FillRecentFiles(); });
    UseMenus(false);
}

CMainFrame::~CMainFrame()
{
    // The frames go while the panels that follow them still have their main frame.
    for (QMdiSubWindow* frame : MDIClient()->subWindowList())
        delete frame;
    if (g_pMainFrame == this)
        g_pMainFrame = nullptr;
}

void CMainFrame::BuildMenus()
{
    // Both menu sets share one action per command; only the set in the menu bar changes.
    const auto build = [this](auto& self, QMenu* menu, const std::vector<MenuItem>& items) -> void {
        for (const MenuItem& item : items) {
            if (item.id == MenuItem::kSeparator) {
                menu->addSeparator();
            } else if (item.id == MenuItem::kPopup) {
                QMenu* popup = menu->addMenu(item.text);
                m_commands.WatchMenu(popup);
                self(self, popup, item.items);
            } else if (item.id == MenuItem::kRecentFiles) {
                m_recentMenus.push_back(menu);
                menu->addAction(item.text)->setEnabled(false);
            } else {
                menu->addAction(m_commands.Define(item.id, item.text));
            }
        }
    };
    for (auto [menus, resource] : {std::pair{&m_appMenus, &AppMenu()}, std::pair{&m_docMenus, &DocumentMenu()}}) {
        for (const MenuItem& top : *resource) {
            auto* menu = new QMenu(QString::fromUtf8(top.text), this);
            if (top.id == MenuItem::kPopup) {
                m_commands.WatchMenu(menu);
                build(build, menu, top.items);
            } else {
                // A command on the menu bar itself ("Options").
                menu->menuAction()->setData(top.id);
                connect(menu->menuAction(), &QAction::triggered, this, [this, id = top.id] { m_commands.Execute(id); });
            }
            menus->push_back(menu);
        }
    }
    m_commands.AddShortcut(cmd::kEditUndo, "Alt+Backspace");
    FillRecentFiles();
}

void CMainFrame::UseMenus(bool documentOpen)
{
    if (!menuBar()->actions().isEmpty() && documentOpen == m_bDocMenus)
        return;
    m_bDocMenus = documentOpen;
    menuBar()->clear();
    for (QMenu* menu : documentOpen ? m_docMenus : m_appMenus) {
        if (menu->menuAction()->data().isValid())
            menuBar()->addAction(m_commands.Define(menu->menuAction()->data().toInt(), menu->title().toStdString()));
        else
            menuBar()->addMenu(menu);
    }
}

void CMainFrame::FillRecentFiles()
{
    const std::vector<std::string>& entries = m_docManager.RecentFiles().Entries();
    for (QMenu* menu : m_recentMenus) {
        // The entries sit between the two separators around the placeholder.
        const QList<QAction*> actions = menu->actions();
        qsizetype first = -1;
        qsizetype last = -1;
        for (qsizetype i = actions.size() - 1; i >= 0; --i) {
            if (!actions[i]->isSeparator())
                continue;
            if (last < 0) last = i;
            else { first = i; break; }
        }
        for (qsizetype i = first + 1; i < last; ++i)
            menu->removeAction(actions[i]);
        QAction* before = actions[last];
        if (entries.empty()) {
            auto* placeholder = new QAction("Recent File", menu);
            placeholder->setEnabled(false);
            menu->insertAction(before, placeholder);
        }
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const int id = cmd::kFileMru1 + static_cast<int>(i);
            QAction* action = m_commands.Define(id, "");
            action->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QString::fromStdString(entries[i])));
            menu->insertAction(before, action);
        }
    }
}

void CMainFrame::BuildToolBars()
{
    m_pToolBar = addToolBar("Standard");
    m_pToolBar->setObjectName("toolbar128");
    m_pToolBar->setIconSize(QSize(17, 17));
    for (int id : StandardToolBarButtons()) {
        if (id == 0) {
            m_pToolBar->addSeparator();
            continue;
        }
        QAction* action = m_commands.Define(id, "");
        action->setIcon(CommandIcon(id));
        if (action->text().isEmpty())
            action->setText(QString::number(id));
        m_pToolBar->addAction(action);
    }
    m_pPanelSwitch = new QToolBar("Panels", this);
    m_pPanelSwitch->setObjectName("toolbar138");
    m_pPanelSwitch->setIconSize(QSize(16, 15));
    m_pPanelSwitch->setMovable(false);
    m_pPanelSwitch->setAllowedAreas(Qt::RightToolBarArea | Qt::TopToolBarArea);
    for (int id : PanelSwitchButtons()) {
        QAction* action = m_commands.Define(id, "");
        action->setIcon(CommandIcon(id));
        action->setCheckable(true);
        m_pPanelSwitch->addAction(action);
    }
    addToolBar(Qt::RightToolBarArea, m_pPanelSwitch);
}

void CMainFrame::BuildPanels()
{
    m_pPanelBar = new QDockWidget(this);
    m_pPanelBar->setObjectName("panelbar141");
    m_pPanelBar->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_pPanelBar->setAllowedAreas(Qt::RightDockWidgetArea);
    m_pPanelBar->setTitleBarWidget(new QWidget(m_pPanelBar));
    auto* host = new QWidget(m_pPanelBar);
    auto* layout = new QVBoxLayout(host);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pConfigPanel = new C3DdlgConfig(*this, host);
    m_pColorPanel = new C3DdlgColor(*this, host);
    m_pWorkBench = new CDialogWorkBench(*this, host);
    // Hidden before the bar measures them: the window's first minimum height would otherwise
    // count all three panels and push the window's bottom off a small screen.
    for (QWidget* panel : std::initializer_list<QWidget*>{m_pWorkBench, m_pConfigPanel, m_pColorPanel}) {
        panel->setVisible(panel == m_pWorkBench);
        layout->addWidget(panel);
    }
    m_pPanelBar->setWidget(host);
    addDockWidget(Qt::RightDockWidgetArea, m_pPanelBar);

    // The main window is as wide as four configuration panels and as tall as one; the bar
    // keeps a panel's width whichever panel it shows.
    const QSize panel = m_pConfigPanel->sizeHint().expandedTo(QSize(203, 578));
    host->setMinimumWidth(panel.width());
    QSize size(4 * panel.width() + 20, panel.height() + 120);
    // ... but never larger than the screen it opens on.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size());
    resize(size);
    move(0, 0);
    ShowPanel(cmd::kShowWorkBench);
}

void CMainFrame::ShowPanel(int switchCommand)
{
    m_pPanelBar->setVisible(switchCommand != cmd::kHidePanels);
    if (switchCommand != cmd::kHidePanels) {
        m_pWorkBench->setVisible(switchCommand == cmd::kShowWorkBench);
        m_pConfigPanel->setVisible(switchCommand == cmd::kShowConfigPanel);
        m_pColorPanel->setVisible(switchCommand == cmd::kShowPalettePanel);
    }
    if (switchCommand == cmd::kShowPalettePanel)
        m_pColorPanel->ForgetActiveFrame();
    m_nPanelSwitch = switchCommand;
    m_commands.UpdateAll();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_docManager.CloseAllDocuments()) {
        event->ignore();
        return;
    }
    CMDIFrameWnd::closeEvent(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event)
{
    OpenDroppedFiles(event->mimeData()->urls());
    event->acceptProposedAction();
}

void CMainFrame::OpenDroppedFiles(const QList<QUrl>& urls)
{
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            m_docManager.OpenDocumentFile(url.toLocalFile().toStdString());
    FillRecentFiles();
}
