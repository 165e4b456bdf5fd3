// The program's own pictures: its icon, the toolbar buttons and the four cursors, all drawn
// for this program and kept in resources/ (compiled in as Qt resources).
#pragma once

#include <QCursor>
#include <QIcon>

inline constexpr const char* kAppVersion = "1.0";

// Makes the compiled-in pictures reachable; once, before any of the functions below.
void InitAppResources();

QIcon AppIcon();
// The toolbar picture of a command; an empty icon for commands without one.
QIcon CommandIcon(int id);
// Cursor 157 (a point selection half entered), 158, 159 (a 3D drag), 160 (a profile cursor
// dragged).
QCursor AppCursor(int id);
