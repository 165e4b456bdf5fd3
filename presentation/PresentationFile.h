// The presentation file (*.cnf): an image's 2D and 3D records in five sections each, named
// by the image, the group and the kind (Height_01_Presentation2D, ..._ColorCursor3D), with
// "Ver" in section "Introduction". Files of version "1.2" have sections without the image
// prefix (Presentation2D, ...).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/core/ProfileFile.h"
#include "presentation/PresentationConfig.h"

// Where in a presentation file one image file keeps its records and image list. The file
// beside an image is named after the image file without its extension, so every file of one
// name stem shares it (a NanoScope series scan.001, scan.002; scan.spm beside scan.mdt):
// each keeps its sections under its own extension, "[.001:Height_01_Presentation2D]",
// "[.001:AddImage]". The plain sections, as files written before had them and as a file the
// user names in the configuration panel has them, count as an image file's own only when no
// other file of its stem could have written them; the records of version 1.2, which name no
// image at all ("[Presentation2D]"), serve every file of the stem that keeps none of its own.
struct SettingsPlace {
    std::string m_strFile;            // the *.cnf
    std::string m_strQualifier;       // ".001:"; empty for the plain sections only
    bool m_bPlainSectionsOwn = true;  // plain sections stand in for own ones that are missing
};
// The place of a file the user named: its plain sections.
SettingsPlace PlainSettingsPlace(const std::string& cnfPath);
// The section a place reads for `name`: its own one when the file has it, else the plain
// one, `plainName`, when that counts as its own (for the place of a file the user named,
// always), else its own (absent) one.
std::string SectionToRead(const ProfileFile& profile, const SettingsPlace& place, std::string_view name,
                          std::string_view plainName);
// The section a place writes for `name`.
std::string SectionToWrite(const SettingsPlace& place, std::string_view name);

// Reads one record of `kind` from the profile; keys that are absent leave their fields as
// they were. A Z scale outside 0.1..100 and a tilt outside 0..90 are ignored; the light
// position is recomputed whatever the file holds.
void LoadCnf(const ProfileFile& profile, ViewKind kind, CPresentationConfig& settings,
             const SettingsPlace& place = {});
// Why the record of `kind` cannot be stored at `place`, as the message that says so: the
// image's name cannot be part of a section name, or a value cannot be a profile's value
// ("Unable to save the 3D settings of A]_01 in a.cnf: ..."); none when it can.
std::optional<std::string> CnfStoreRefusal(const SettingsPlace& place, ViewKind kind,
                                           const CPresentationConfig& settings);
// Stores one record of `kind` and "Ver" into the profile, key by key in the file's order;
// keys it does not write (cursors beyond the current count) stay. Returns false, changing
// nothing, when CnfStoreRefusal refuses the record.
bool StoreCnf(ProfileFile& profile, ViewKind kind, const CPresentationConfig& settings,
              const SettingsPlace& place = {});

// Whether `place` holds a record of `kind` of the image `imageName` of its own: a section of
// any of the record's five groups where LoadCnf reads them, but for the sections of version
// 1.2, which every image file reads where it keeps no record of its own.
bool HoldsOwnRecord(const ProfileFile& profile, const SettingsPlace& place, const std::string& imageName,
                    ViewKind kind);
// Whether the record of `kind` of the image `imageName`, as `reader` reads it, comes (in
// some group) from the sections that the record of `writtenImageName` stored at `written`
// would be in.
bool ReadsRecordFrom(const ProfileFile& profile, const SettingsPlace& reader, const std::string& imageName,
                     ViewKind kind, const SettingsPlace& written, const std::string& writtenImageName);
// Whose sections in the profile hold a record of `kind` of the image `imageName`: the
// qualifier of each image file that wrote one, and empty for the plain sections, in the
// order of the file.
std::vector<std::string> QualifiersHoldingRecord(const ProfileFile& profile, const std::string& imageName,
                                                 ViewKind kind);

// Whether two records keep the same settings in a presentation file: every field a *.cnf
// holds, exactly. The colour table, the light position (both derived) and the image name
// (the file's section prefix) do not count.
bool SameStoredSettings(const CPresentationConfig& a, const CPresentationConfig& b);

// LoadCnf from the place's file; a missing or unreadable file changes nothing.
FileReadResult ReadCnf(const SettingsPlace& place, ViewKind kind, CPresentationConfig& settings);
// StoreCnf into the place's file and save it; false when nothing could be written.
bool WriteCnf(const SettingsPlace& place, ViewKind kind, const CPresentationConfig& settings);
// WriteCnf, saying why when nothing could be written: the refusal of CnfStoreRefusal, else
// "Unable to open file for writing".
bool SaveRecordAt(const SettingsPlace& place, ViewKind kind, const CPresentationConfig& settings);
// The same with the plain sections of the file at `path`.
FileReadResult ReadCnf(const std::string& path, ViewKind kind, CPresentationConfig& settings);
bool WriteCnf(const std::string& path, ViewKind kind, const CPresentationConfig& settings);
