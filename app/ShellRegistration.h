// The program's place on the desktop: at every start it writes the user's desktop entry and
// the MIME type of its image files, so that file managers offer to open them with it. The
// files go under the user's data folder ($XDG_DATA_HOME, else ~/.local/share).
#pragma once

#include <optional>
#include <string>

// The name the entry, the type's package and the icon go by (<name>.desktop, <name>.xml).
inline constexpr const char* kDesktopName = "spmviewer";

// One argument of a desktop entry's Exec line, so that launchers pass it on unchanged: as it
// stands where it holds no reserved character, else quoted and escaped; empty when it cannot
// be written there (control characters).
std::optional<std::string> DesktopExecArgument(const std::string& argument);
// The desktop entry that starts `executable` with the files to open; empty when the path
// cannot be written into one.
std::optional<std::string> DesktopEntryText(const std::string& executable);
// The shared-MIME-info package of the document type: *.spm, *.000 to *.999 and *.mdt by
// name, *.spm and NanoScope files by their header as well.
std::string MimePackageText();

// The user's data folder, or empty when neither $XDG_DATA_HOME nor $HOME says where it is.
std::string UserDataHome();

struct RegistrationResult {
    bool entryWritten = false;       // the desktop entry was new or changed
    bool mimeWritten = false;        // the MIME package was new or changed
    bool failed = false;             // a file could not be written (the others still were)
    bool mimeToolRan = false;        // update-mime-database ran, its tables being behind the package
    bool entryToolRan = false;       // update-desktop-database ran, its table being behind the entry
};

// Writes the entry, the type and the icon under `dataHome` where their text changed, each
// all or nothing, then brings the desktop's tables up to date where the tools for them are
// installed and the tables are behind the files: missing, older, or, for the entries by
// type, without ours. Never fatal: whatever fails, the program runs on.
RegistrationResult RegisterShellFileTypes(const std::string& dataHome, const std::string& executable);
