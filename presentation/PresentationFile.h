// The presentation file (*.cnf): an image's 2D and 3D records in five sections each, named
// by the image, the group and the kind (Height_01_Presentation2D, ..._ColorCursor3D), with
// "Ver" in section "Introduction". Files of version "1.2" have sections without the image
// prefix (Presentation2D, ...).
#pragma once

#include <string>

#include "platform/core/ProfileFile.h"
#include "presentation/PresentationConfig.h"

// Reads one record of `kind` from the profile; keys that are absent leave their fields as
// they were. A Z scale outside 0.1..100 and a tilt outside 0..90 are ignored; the light
// position is recomputed whatever the file holds.
void LoadCnf(const ProfileFile& profile, ViewKind kind, CPresentationConfig& settings);
// Stores one record of `kind` and "Ver" into the profile, key by key in the file's order;
// keys it does not write (cursors beyond the current count) stay. Returns false when a name
// cannot be stored in a profile (see ProfileFile::SetString); the profile is then partly
// changed and must not be saved.
bool StoreCnf(ProfileFile& profile, ViewKind kind, const CPresentationConfig& settings);

// Whether two records keep the same settings in a presentation file: every field a *.cnf
// holds, exactly. The colour table, the light position (both derived) and the image name
// (the file's section prefix) do not count.
bool SameStoredSettings(const CPresentationConfig& a, const CPresentationConfig& b);

// LoadCnf from the file at `path`; a missing or unreadable file changes nothing.
FileReadResult ReadCnf(const std::string& path, ViewKind kind, CPresentationConfig& settings);
// StoreCnf into the file at `path` and save it; false when nothing could be written.
bool WriteCnf(const std::string& path, ViewKind kind, const CPresentationConfig& settings);
