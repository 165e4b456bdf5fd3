// The limit an edit holds the user's typing to, in characters and in the bytes of UTF-8 its
// field keeps.
#pragma once

#include <cstddef>
#include <limits>

class QLineEdit;
class QPlainTextEdit;

// No limit on the bytes of a text, only on its characters.
inline constexpr std::size_t kAnyBytes = std::numeric_limits<std::size_t>::max();

// Holds a change by the user to `limit` characters, as an edit with a text limit does, and to
// `byteLimit` bytes of UTF-8, so that a field that keeps bytes holds what the edit shows: a
// paste, a drop, a key or an input method's commit that would leave the text longer than that,
// and than it was, puts in only the whole characters of its start that fit over the selection,
// and nothing when none does (the text and its selection stay then); one Undo takes back what
// went in. A commit after a preedit is measured against the text before the preedit, which
// took the selection away: with none of it fitting, that selection comes back. A text the
// program shows keeps its full length, and the user may shorten it; Undo and Redo give back
// what the edit showed, whatever its length, and a change after them is held like any other.
// A single-line edit takes the part of a paste, a drop or a key that fits once the event that
// brought the change is done; a multi-line edit, which takes no validator, at once. A dragged
// text that is cut is copied, not moved: where it came from keeps it whole.
void LimitTyping(QLineEdit& edit, std::size_t limit, std::size_t byteLimit = kAnyBytes);
void LimitTyping(QPlainTextEdit& edit, std::size_t limit, std::size_t byteLimit = kAnyBytes);
