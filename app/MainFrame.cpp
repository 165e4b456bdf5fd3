#include "app/MainFrame.h"

#include <QCloseEvent>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include <array>

#include "app/AppResources.h"
#include "app/CommandIds.h"
#include "app/DialogWorkBench.h"
#include "app/MenuResources.h"
#include "app/SpmApp.h"
#include "app/panels/DlgColor.h"
#include "app/panels/DlgConfig.h"
#include "platform/core/DialogModels.h"
#include "platform/qt/AfterAction.h"
#include "platform/qt/CommandRegistry.h"
#include "platform/qt/DisplayText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/KeyboardLocks.h"
#include "platform/qt/MDIChildFrame.h"
#include "platform/qt/QtPath.h"

namespace {

CMainFrame* g_pMainFrame = nullptr;

constexpr const char* kAppTitle = "Quintara";
constexpr const char* kIdleMessage = "Ready";
constexpr std::array<const char*, 3> kIndicatorTexts{"CAP", "NUM", "SCRL"};
constexpr int kIndicatorPollMs = 250;
constexpr qsizetype kWindowListLength = 9;

// A numbered menu entry for a file or frame name: a menu takes a lone "&" for a mnemonic,
// which would hide it and underline the letter after it in a name such as "R&D/a&1.spm", and
// a tab for the start of the shortcut column. An entry is one line: a tab or a line break of
// a name shows as the blank it looks like.
QString NumberedEntry(qsizetype number, QString name)
{
    name.replace(u'&', QStringLiteral("&&"));
    for (const char16_t blank : {u'\t', u'\n', u'\r'})
        name.replace(blank, u' ');
    return QStringLiteral("&%1 %2").arg(number).arg(name);
}

// The panel bar's title bar, which shows nothing. The bar adds its title bar's height to the
// panel's; a plain widget's height of "no size" (-1) would make an empty bar, whose panel was
// put away with Escape, ask for a negative height.
class NoTitleBar : public QWidget {
public:
    using QWidget::QWidget;
    QSize sizeHint() const override { return {0, 0}; }
};

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
    BuildStatusBar();
    connect(this, &CMDIFrameWnd::activeFrameChanged, this, [this] {
        UseMenus(MDIGetActive() != nullptr);
        FillWindowList();
        emit framesChanged();
    });
    // Queued: a frame announces its end while it is half destroyed.
    connect(this, &CMDIFrameWnd::childFramesChanged, this, &CMainFrame::FillWindowList, Qt::QueuedConnection);
    // Files join and leave the list outside commands too: at start, by hand-over, at quit.
    m_docManager.RecentFiles().SetOnChanged([this] { FillRecentFiles(); });
    UseMenus(false);
}

CMainFrame::~CMainFrame()
{
    m_docManager.RecentFiles().SetOnChanged({});
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
            } else if (item.id == MenuItem::kWindowList) {
                m_pWindowMenu = menu;
                connect(menu, &QMenu::aboutToShow, this, &CMainFrame::FillWindowList);
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
    // File New has its key and no menu item.
    addAction(m_commands.Define(cmd::kFileNew, "\tCtrl+N"));
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
            CCommandRegistry::SetText(action, NumberedEntry(static_cast<qsizetype>(i) + 1, DisplayText(entries[i])));
            menu->insertAction(before, action);
        }
    }
}

void CMainFrame::FillWindowList()
{
    if (m_pWindowMenu == nullptr)
        return;
    for (QAction* action : m_windowList)
        delete action;
    m_windowList.clear();
    const QList<QMdiSubWindow*> frames = MDIClient()->subWindowList(QMdiArea::CreationOrder);
    if (frames.isEmpty())
        return;
    m_windowList.push_back(m_pWindowMenu->addSeparator());
    const QMdiSubWindow* active = MDIGetActive();
    // Nine frames by number and title, the active one checked; the rest through a list.
    for (qsizetype i = 0; i < frames.size() && i < kWindowListLength; ++i) {
        QAction* action = m_pWindowMenu->addAction(NumberedEntry(i + 1, frames[i]->windowTitle()));
        action->setCheckable(true);
        action->setChecked(frames[i] == active);
        connect(action, &QAction::triggered, this, [this, frame = QPointer<QMdiSubWindow>(frames[i])] {
            if (auto* child = qobject_cast<CMDIChildFrame*>(frame.data()))
                ActivateFrame(child);
        });
        m_windowList.push_back(action);
    }
    if (frames.size() > kWindowListLength) {
        QAction* more = m_pWindowMenu->addAction("&More Windows...");
        connect(more, &QAction::triggered, this, &CMainFrame::SelectWindow);
        m_windowList.push_back(more);
    }
}

void CMainFrame::SelectWindow()
{
    const QList<QMdiSubWindow*> frames = MDIClient()->subWindowList(QMdiArea::CreationOrder);
    std::vector<std::string> titles;
    for (const QMdiSubWindow* frame : frames)
        titles.push_back(frame->windowTitle().toStdString());
    CChoiceListDlg dialog("Select Window", titles);
    dialog.m_nSelected = static_cast<std::size_t>(std::max<qsizetype>(0, frames.indexOf(MDIGetActive())));
    // The list was read before the dialog ran: a frame closed meanwhile is looked for anew.
    std::vector<QPointer<QMdiSubWindow>> kept(frames.begin(), frames.end());
    if (!Prompt().RunDialog(dialog) || dialog.m_nSelected >= kept.size())
        return;
    if (auto* child = qobject_cast<CMDIChildFrame*>(kept[dialog.m_nSelected].data()))
        ActivateFrame(child);
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
        m_pToolBar->addAction(action);
    }
    // The buttons of no menu item: the menus have given the others their texts already.
    for (const ButtonText& button : ToolBarOnlyTexts())
        m_commands.Define(button.id, button.text);
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

void CMainFrame::BuildStatusBar()
{
    // The message pane says "Ready" whenever no prompt of a menu item or button is shown.
    connect(statusBar(), &QStatusBar::messageChanged, this, [this](const QString& message) {
        if (message.isEmpty())
            statusBar()->showMessage(kIdleMessage);
    });
    statusBar()->showMessage(kIdleMessage);
    for (std::size_t i = 0; i < m_indicators.size(); ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("indicator%1").arg(kIndicatorTexts[i]));
        label->setAlignment(Qt::AlignCenter);
        // The pane keeps its width while its lock is off, so the bar does not jump.
        label->setMinimumWidth(label->fontMetrics().horizontalAdvance(kIndicatorTexts[i]) + 8);
        statusBar()->addPermanentWidget(label);
        m_indicators[i] = label;
    }
    UpdateIndicators();
    // The X server tells no one when a lock changes: ask it a few times a second.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, &CMainFrame::UpdateIndicators);
    timer->start(kIndicatorPollMs);
}

void CMainFrame::UpdateIndicators()
{
    const std::optional<LockStates> locks = ReadLockStates();
    const std::array<std::optional<bool>, 3> lights =
        locks ? std::array{locks->caps, locks->num, locks->scroll} : std::array<std::optional<bool>, 3>{};
    for (std::size_t i = 0; i < m_indicators.size(); ++i) {
        // Where the platform does not tell, the pane goes: a text that might lie is worse.
        m_indicators[i]->setVisible(lights[i].has_value());
        m_indicators[i]->setText(lights[i].value_or(false) ? kIndicatorTexts[i] : "");
    }
}

void CMainFrame::BuildPanels()
{
    m_pPanelBar = new QDockWidget(this);
    m_pPanelBar->setObjectName("panelbar141");
    m_pPanelBar->setFeatures(QDockWidget::NoDockWidgetFeatures);
    m_pPanelBar->setAllowedAreas(Qt::RightDockWidgetArea);
    m_pPanelBar->setTitleBarWidget(new NoTitleBar(m_pPanelBar));
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

    // The main window is as wide as four configuration panels and as tall as one, as far as
    // its screen has room; the bar keeps a panel's width whichever panel it shows.
    const QSize panel = m_pConfigPanel->sizeHint().expandedTo(QSize(203, 578));
    host->setMinimumWidth(panel.width());
    resize(QSize(4 * panel.width() + 20, panel.height() + 120).boundedTo(RoomOnScreen()));
    move(0, 0);
    ShowPanel(cmd::kShowWorkBench);
}

void CMainFrame::ShowPanel(int switchCommand)
{
    m_pPanelBar->setVisible(switchCommand != cmd::kHidePanels);
    if (switchCommand != cmd::kHidePanels) {
        // The panels that go are hidden before the one that comes is shown: showing a panel
        // lays the window out at once, and two panels at a time would make it as tall as both.
        const std::array<std::pair<int, QWidget*>, 3> panels{{{cmd::kShowWorkBench, m_pWorkBench},
                                                              {cmd::kShowConfigPanel, m_pConfigPanel},
                                                              {cmd::kShowPalettePanel, m_pColorPanel}}};
        for (const auto& [command, panel] : panels)
            if (command != switchCommand)
                panel->setVisible(false);
        for (const auto& [command, panel] : panels)
            if (command == switchCommand)
                panel->setVisible(true);
    }
    if (switchCommand == cmd::kShowPalettePanel)
        m_pColorPanel->ForgetActiveFrame();
    m_nPanelSwitch = switchCommand;
    m_commands.UpdateAll();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    // The quit leaves the edit being typed into, as any action taking the focus does. What
    // that edit refuses, and any message still waiting, is said before the quit asks anything:
    // once the program has ended nobody reads it, and an answer must not save a refused text.
    const QPointer<QWidget> typing = focusWidget();
    if (typing != nullptr)
        typing->clearFocus();
    RunWaitingWorkNow();
    // Files sent while the documents were asked about open now instead: the user asked for
    // them after asking to quit.
    CSpmApp* app = CSpmApp::Instance();
    if (!m_docManager.CloseAllDocuments() || (app != nullptr && !app->EndShellOpen())) {
        event->ignore();
        // The program stays: the user goes on where they were.
        if (typing != nullptr)
            typing->setFocus(Qt::OtherFocusReason);
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
    std::vector<std::string> paths;
    for (const QUrl& url : urls)
        if (url.isLocalFile())
            paths.push_back(FromLocalFileUrl(url));
    OpenDroppedFiles(paths);
}

bool CMainFrame::OpenDroppedFiles(const std::vector<std::string>& paths)
{
    bool shown = false;
    for (const std::string& path : paths)
        shown = m_docManager.OpenDocumentFile(path).doc != nullptr || shown;
    return shown;
}
