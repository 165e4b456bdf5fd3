// How a document tells its views that something changed: the GUI's views implement
// IDocumentView and register with their document; the document only passes the news on.
#pragma once

// The hint of an update: what a view has to rebuild.
enum ViewHint : int {
    kHintInitial = 0,      // first update of a view, a new 2D selection, a changed header text
    kHintGridLines = 1,    // both grid-line arrays
    kHintXLines = 2,
    kHintYLines = 3,
    kHintColors = 4,
    kHintSurface = 5,      // the heights changed: the whole surface
    kHintRepaint = 6,
    kHintCursorMoved = 7,  // a selected point or a profile cursor moved
};

// The GUI's child frame; the core never looks inside, it only passes it on.
class CMDIChildFrame;

class IDocumentView {
public:
    virtual ~IDocumentView() = default;

    // frame, when not null, names the one frame whose view the update is meant for; each
    // view decides whether that concerns it (the profile view reacts to every update).
    virtual void OnUpdate(int hint, const CMDIChildFrame* frame) = 0;
};
