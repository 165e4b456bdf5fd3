// Which image colours a view: the one place the 2D view, the 3D view and the palette panel
// find the colour-source image and its record, so that they never disagree and none keeps
// a table that a rebuild elsewhere has replaced.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "presentation/PresentationConfig.h"

class CSpmImage;

// An image of a document with its settings pair; both null when there is no such image.
struct ImageRecords {
    CSpmImage* image = nullptr;
    SettingsPair* settings = nullptr;

    explicit operator bool() const { return image != nullptr && settings != nullptr; }
};

// Finds an image of the document by name (the document's own name rule).
using ImageLookup = std::function<ImageRecords(const std::string& name)>;

struct ColourSource {
    CSpmImage* image = nullptr;
    CPresentationConfig* settings = nullptr;  // the source's record of the shown kind: palette, table
    // The colour-source name that the document did not know; the shown image stood in.
    std::optional<std::string> missingName;
};

// The image named by the shown record's m_NameOfImageForColor and its record of the same
// settings index. A name the document does not know is reported in `missingName` and
// replaced in the shown record by the shown image's own name, so the image colours itself
// from then on. `shown` must hold an image and its pair.
ColourSource LookUpColourSource(const ImageLookup& find, ImageRecords shown, int settingsIndex);

// The settings index of a frame as an index into a pair: 0 for 2D and profile, else 1.
inline std::size_t PairIndex(int settingsIndex)
{
    return ViewKindForSettingsIndex(settingsIndex) == ViewKind::View2D ? 0 : 1;
}
