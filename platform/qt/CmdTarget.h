// Command handling shared by every object a command can reach: the active view, its
// document, its frame, the main frame and the application. Each keeps its own id-keyed
// handlers; the registry (CommandRegistry.h) walks them in that order.
#pragma once

#include <functional>
#include <unordered_map>

// What an update handler may change of a menu item or toolbar button.
class CCmdUI {
public:
    explicit CCmdUI(int id) : m_nID(id) {}

    void Enable(bool enabled = true) { m_bEnabled = enabled; }
    // 0 unchecked, 1 checked; a command that is ever checked shows as a check item.
    void SetCheck(int check = 1)
    {
        m_bChecked = check != 0;
        m_bCheckable = true;
    }

    int m_nID;
    bool m_bEnabled = true;
    bool m_bChecked = false;
    bool m_bCheckable = false;
};

struct CommandHandler {
    std::function<void()> run;               // empty: the object only updates the item
    std::function<void(CCmdUI&)> update;     // empty: enabled while `run` exists
};

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;

    // Handles `id` from now on; a second call for the same id replaces the first.
    void OnCommand(int id, std::function<void()> run, std::function<void(CCmdUI&)> update = {});
    // Only decides the item's state; the command itself goes on along the route.
    void OnUpdateCommand(int id, std::function<void(CCmdUI&)> update);

    // This object's handler of `id`, or null. Classes with handlers of their own beside the
    // instance's (the document's class-wide table) extend it.
    virtual const CommandHandler* FindCommand(int id) const;

private:
    std::unordered_map<int, CommandHandler> m_commands;
};
