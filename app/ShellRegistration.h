// The program's place on the desktop: at every start it writes the user's desktop entry and
// the MIME type of its image files, so that file managers offer to open them with it. The
// files go under the user's data folder ($XDG_DATA_HOME, else ~/.local/share).
#pragma once

#include <QObject>
#include <QTimer>

#include <chrono>
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

class QProcess;

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

// A run of one of the desktop's cache tools that is due: its table is behind our file.
struct TableUpdate {
    std::filesystem::path program;   // the tool, as installed
    std::filesystem::path folder;    // the folder whose table it rebuilds
    std::filesystem::path table;     // the table the desktop reads
    std::filesystem::path source;    // our file, which the table is to take in
};

struct RegistrationResult {
    bool entryWritten = false;       // the desktop entry was new or changed
    bool mimeWritten = false;        // the MIME package was new or changed
    bool failed = false;             // a file could not be written (the others still were)
    // The tool runs due, in the order they are to be made: the types' table first.
    std::vector<TableUpdate> updates;
};

// Writes the entry, the type and the icon under `dataHome` where their text changed, each
// all or nothing, and says which of the desktop's tables are to be brought up to date: those
// whose tool is installed and which are behind the files (missing, older, or, for the entries
// by type, without ours). Never fatal: whatever fails, the program runs on.
RegistrationResult WriteShellFileTypes(const std::string& dataHome, const std::string& executable);

// A cache tool is run for this long at most: a busy or broken desktop database may hang it.
inline constexpr std::chrono::milliseconds kTableUpdateLimit{10000};

// Makes the due updates of the desktop's tables in the background, one after the other, each
// for `limit` at most, so that neither the start nor files handed over meanwhile wait for
// them. A run that fails, crashes, does not start or is stopped at the limit dates its table
// back, so that the next start makes it again.
class CDesktopTableUpdater : public QObject {
    Q_OBJECT
public:
    explicit CDesktopTableUpdater(std::vector<TableUpdate> updates, std::chrono::milliseconds limit = kTableUpdateLimit,
                                  QObject* parent = nullptr);
    // The program quits: a run still going is killed there and then (a quit does not wait for
    // the desktop), and its table, with those of the runs not made yet, dated back.
    ~CDesktopTableUpdater() override;

    void Start();
    // Every run has ended.
    bool Done() const { return m_nCurrent == m_updates.size(); }

signals:
    void Finished();

private:
    void RunNext();
    void EndRun(bool succeeded);

    std::vector<TableUpdate> m_updates;
    std::size_t m_nCurrent = 0;      // the run going, or the next one
    QProcess* m_pRun = nullptr;      // while a run goes
    QTimer m_limit;
};
