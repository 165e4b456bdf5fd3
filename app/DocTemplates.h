// The three document templates and the view kinds their frames carry.
#pragma once

inline constexpr int kTemplate2D = 131;        // the first: every file opens with it
inline constexpr int kTemplate3D = 132;
inline constexpr int kTemplateProfile = 133;

inline constexpr const char* kViewKind2D = ":2D";
inline constexpr const char* kViewKind3D = ":3D";
inline constexpr const char* kViewKindProfile = ":Profile";

// The new-file name of the first template, the only one that has one: File New lists it.
inline constexpr const char* kFileNewName2D = "SPM";
