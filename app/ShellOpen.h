// Files sent to the running program: a second start with files while the program runs hands
// their paths over a local socket to the one running and ends; the running one opens each
// as the desktop's open requests are opened (the first image in a 2D frame), once it is not
// in the middle of something. The socket lives in a folder of the user's alone, and the
// listener answers only processes of the user who started it. Which start serves is decided
// by a lock beside the socket: the start that takes it listens, every other one hands over.
#pragma once

#include <QObject>
#include <QTimer>

#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QLocalServer;
class QLocalSocket;

// The request: a header line, then each path followed by a zero byte, then one more zero
// byte. Paths are absolute; a path cannot hold a zero byte, so none is cut short.
inline constexpr std::string_view kOpenRequestHeader = "spmviewer open 1\n";
inline constexpr std::string_view kOpenReply = "ok\n";
inline constexpr std::size_t kMaxOpenRequestBytes = 1 << 20;

std::string BuildOpenRequest(const std::vector<std::string>& paths);

enum class OpenRequestState { kIncomplete, kMalformed, kComplete };
// Reads the bytes received so far; `paths` holds the paths once the request is complete.
// Malformed: another header, a relative or empty path, no path at all, bytes after the end,
// or more than kMaxOpenRequestBytes. A path is taken byte for byte, as the system names files.
OpenRequestState ParseOpenRequest(std::string_view bytes, std::vector<std::string>& paths);

// The user id of the process at the other end of a local socket, or empty.
std::optional<uid_t> PeerUid(int socketDescriptor);

// The display the program shows its windows on, as part of a file name: $DISPLAY without
// its screen number and leading colon (":0.1" gives "0", "host:10.0" "host_10"), else
// $WAYLAND_DISPLAY; empty with neither.
std::string ShellOpenDisplayName(const char* xDisplay, const char* waylandDisplay);

// Where the socket goes, one per user and display: in $XDG_RUNTIME_DIR when that is a folder
// of the user's alone, else in a folder of our own under /tmp named with the user id (made
// with mode 0700). Empty when neither is safe to use, such as a folder of that name that
// belongs to someone else.
std::optional<std::string> ShellOpenSocketPath();
// The same with the runtime folder (may be null), the parent of our own folder and the
// display's name given.
std::optional<std::string> ShellOpenSocketPath(const char* runtimeDir, const std::string& fallbackParent,
                                               const std::string& display);

// Sends `paths` (made absolute here) to the program listening on `socketPath`; true when it
// took them. False at once when no one listens, and after `timeoutMs` when no one answers.
bool SendToRunningInstance(const std::string& socketPath, const std::vector<std::string>& paths,
                           int timeoutMs = 5000);

using OpenHandedOverFiles = std::function<void(const std::vector<std::string>&)>;

class CShellOpenServer : public QObject {
    Q_OBJECT
public:
    // `open` gets each complete request's paths as the request is answered; it must not open
    // them there and then (a CShellOpenQueue waits for the right moment). Only processes of
    // `allowedUid` are answered.
    explicit CShellOpenServer(OpenHandedOverFiles open, uid_t allowedUid = getuid(), QObject* parent = nullptr);
    ~CShellOpenServer() override;

    enum class ListenResult { kListening, kAnotherServes, kFailed };
    // Takes the lock "<socketPath>.lock" without waiting and, holding it, listens on
    // `socketPath`, readable and writable by the user alone; a socket left by a program that
    // ended is removed first. kAnotherServes while another program holds the lock (it listens,
    // or is about to); the system lets the lock go when its holder ends, also by a crash.
    ListenResult Listen(const std::string& socketPath);
    // No more requests: a connection not answered yet is dropped, so that its sender serves
    // itself, and the lock goes to the next start.
    void StopListening();

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);

    OpenHandedOverFiles m_open;
    uid_t m_allowedUid;
    QLocalServer* m_pServer;
    int m_nLockFile = -1;
};

// The part a start plays.
enum class ShellOpenRole {
    kServes,        // it took the lock and listens
    kHandedOver,    // the program serving took its files: this start ends
    kAlone,         // it runs without serving: no safe socket folder, a start without files
                    // while another serves, or files that no one took in time
};
// Decides a start's part: it serves when it takes the lock; otherwise, with files, it hands
// them to the program holding the lock, retrying while that one is still starting, and
// serves after all when the holder has ended meanwhile. Two starts at once cannot both serve.
// The holder answers once its windows are built, which takes seconds on a busy machine: a
// start gives up after `timeoutMs` only, and then runs alone.
ShellOpenRole ServeOrHandOver(CShellOpenServer& server, const std::string& socketPath,
                              const std::vector<std::string>& files, int timeoutMs = 20000);

// Runs the program's main event loop until the program ends (QApplication::exec); its
// result. Without it, as in a program that only processes events, the outermost level counts
// as the main loop.
int RunMainEventLoop();

// Whether the program is in the middle of something that a file opened now would disturb:
// a modal dialog (a question, a file dialog, a load's message) or a popup menu is up, or the
// event loop it ran has not returned to the code that opened it yet, which goes on with the
// documents and the active frame it has then. A window closes a moment before its loop hands
// back: only the main event loop knows that the code that asked has gone on and finished.
bool ProgramMustFinishFirst();

// Files handed over wait here until the program may open them, and then open in the order
// they came; meanwhile the dialog the program waits for is brought to the front.
class CShellOpenQueue : public QObject {
    Q_OBJECT
public:
    explicit CShellOpenQueue(OpenHandedOverFiles open, std::function<bool()> mustWait = &ProgramMustFinishFirst,
                             QObject* parent = nullptr);

    void Add(const std::vector<std::string>& paths);
    bool Waiting() const { return !m_paths.empty(); }

private:
    void Serve();

    OpenHandedOverFiles m_open;
    std::function<bool()> m_mustWait;
    std::vector<std::string> m_paths;
    QTimer m_retry;
};
