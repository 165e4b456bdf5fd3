// One action per command id, shared by menus, toolbars and accelerators. A triggered action
// goes along the route (view, document, frame, main frame, application) to the first object
// with a handler; the same route decides each action's enabled and checked state when a menu
// is about to show, after every command and on a short idle timer. An id that nothing handles
// is disabled.
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/qt/CmdTarget.h"

class QAction;
class QMenu;

class CCommandRegistry : public QObject {
    Q_OBJECT
public:
    // The objects a command visits, first to last; null entries are skipped.
    using Route = std::function<std::vector<CCmdTarget*>()>;

    explicit CCommandRegistry(QObject* parent = nullptr);

    // The action of `id`, made on first use. `text` may hold "\t" and the shortcut after it,
    // as menu resources write it; the shortcut becomes the action's. The text, without its
    // mnemonics, is also the tooltip and the status-bar prompt; an action that never gets a
    // text has neither.
    QAction* Define(int id, const std::string& text);
    // Gives `action` the label `label` with the tooltip and prompt that go with it.
    static void SetText(QAction* action, const QString& label);
    // The action of `id`, or null when no menu, toolbar or accelerator defined it.
    QAction* Action(int id) const;
    // A further shortcut for the same command (Undo has two).
    void AddShortcut(int id, const QString& keys);

    void SetRoute(Route route) { m_route = std::move(route); }
    // Runs `id` along the route; false when nothing handled it.
    bool Execute(int id);
    // The state the route gives `id` now.
    CCmdUI Query(int id) const;
    // Recomputes every action's state.
    void UpdateAll();
    // Updates the actions of `menu` (and its submenus) each time it is about to show.
    void WatchMenu(QMenu* menu);

signals:
    // After each command has run, so that windows may refresh what depends on it.
    void commandExecuted(int id);

private:
    void Apply(int id, QAction* action) const;

    Route m_route;
    std::map<int, QAction*> m_actions;
    QTimer m_idleTimer;
};
