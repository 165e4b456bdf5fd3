// What the fields an edit feeds held before the user began the text the edit shows, so that a
// text refused as the user leaves the edit takes nothing, not even the values read on the way
// to it: 2, 20 and 200 on the way to a refused 2000 are all taken back to what was there
// before the 2.
//
// Keys at the end of the text and Backspace go on typing one text; any other change (typed
// over a selection or in the middle, a paste) begins another, whose start is what the fields
// hold then. A text begun over one that was not taken keeps that one's start: what was read
// on the way to a refused text counts for no later text either.
#pragma once

#include <any>
#include <optional>
#include <string>
#include <utility>

class CTypingStart {
public:
    // The user changed the text to `text`. True when that begins a text: the caller keeps
    // what the fields hold now with Keep, before the change reaches them.
    bool Typed(const std::string& text);
    void Keep(std::any start) { m_start = std::move(start); }
    // Whether the text the last change left went into its field; one that did not (refused,
    // or a number on its way) hands its start on to a text begun over it.
    void Taken(bool taken) { m_bTaken = taken; }
    // The text ends: the user left the edit, or the program showed a text of its own there.
    // What the fields held before it began; empty between texts or when nothing was kept.
    std::any End();

private:
    std::optional<std::string> m_text;   // as the last change left it; none between texts
    std::any m_start;
    bool m_bTaken = true;
};
