// Work that must wait until what the user is doing now is done. Leaving an edit is a side
// effect of another action: a click on a button, a frame or a menu, a key. A message box shown
// while that action is on its way runs its own event loop, which takes the release of the
// click or the menu's choice for itself, and the action is lost without a word. What the
// user is told about the edit left therefore waits until no mouse button is down, no menu or
// other popup is open, and every dialog the action opened has closed again.
//
// Work belongs to the window of the object it is for. A modal window opened after it, by the
// action or later, holds it back until that window has closed, however the window came; work
// for that modal window itself runs while it is up, whatever waits outside it. Work brought
// by another program taking the focus waits until the user is back in this program: a message
// must not pull them back. A window manager's task switch gives the program the focus for a
// moment as its keyboard grab ends, before the window chosen gets it; so the program must
// have kept the focus for a while, or the user must have pressed a key or a button in it. A
// modifier pressed alone does not count: the Alt of the next task switch comes to the program
// before the window manager takes the keyboard.
#pragma once

#include <functional>
#include <string>

class QObject;

// Runs `work` once the user's present action is done; not at all when `context`, the object
// the work is for, is gone by then (a dialog the action closed). The work of one window runs
// in the order it came, one piece at a time.
void RunAfterUserAction(QObject* context, std::function<void()> work);
// Shows `message` through the prompt that way.
void SayAfterUserAction(QObject* context, std::string message);
// Whether work brought by another program taking the focus waits for the focus to come back
// (the default). A test program that shares its display with others beside it turns this off:
// there any of them takes the focus when it opens a window, and no user brings it back.
void SetWaitForFocusFromOtherPrograms(bool wait);
// Runs all work still waiting, now and in order, whatever it waits for: the program is about
// to end, and what it would say afterwards nobody reads. Each message stays until answered.
void RunWaitingWorkNow();
