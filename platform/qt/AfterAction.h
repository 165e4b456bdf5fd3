// Work that must wait until what the user is doing now is done. Leaving an edit is a side
// effect of another action: a click on a button, a frame or a menu, a key. A message box shown
// while that action is on its way runs its own event loop, which takes the release of the
// click or the menu's choice for itself, and the action is lost without a word. What the
// user is told about the edit left therefore waits until no mouse button is down, no menu or
// other popup is open, and every dialog the action opened has closed again.
#pragma once

#include <functional>
#include <string>

class QObject;

// Runs `work` once the user's present action is done; not at all when `context`, the object
// the work is for, is gone by then (a dialog the action closed). Queued work runs in the order it came, one at a time.
void RunAfterUserAction(QObject* context, std::function<void()> work);
// Shows `message` through the prompt that way.
void SayAfterUserAction(QObject* context, std::string message);
