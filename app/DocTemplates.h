// The three document templates and the view kinds their frames carry.
#pragma once

inline constexpr int kTemplate2D = 131;        // the first: every file opens with it
inline constexpr int kTemplate3D = 132;
inline constexpr int kTemplateProfile = 133;

inline constexpr const char* kViewKind2D = ":2D";
inline constexpr const char* kViewKind3D = ":3D";
inline constexpr const char* kViewKindProfile = ":Profile";
