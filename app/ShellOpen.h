// Files sent to the running program: a second start with files while the program runs hands
// their paths over a local socket to the one running and ends; the running one opens each
// as the desktop's open requests are opened (the first image in a 2D frame). The socket
// lives in a folder of the user's alone, and the listener answers only processes of the user
// who started it.
#pragma once

#include <QObject>

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
// Malformed: another header, a relative or empty path, text that is not UTF-8, no path at
// all, bytes after the end, or more than kMaxOpenRequestBytes.
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

class CShellOpenServer : public QObject {
    Q_OBJECT
public:
    using OpenFiles = std::function<void(const std::vector<std::string>&)>;

    // `open` runs from the event loop with each complete request's paths. Only processes of
    // `allowedUid` are answered.
    explicit CShellOpenServer(OpenFiles open, uid_t allowedUid = getuid(), QObject* parent = nullptr);
    ~CShellOpenServer() override;

    // Listens on `socketPath`, readable and writable by the user alone. A socket left by a
    // program that ended is removed first; false when another program listens there or the
    // socket cannot be made.
    bool Listen(const std::string& socketPath);

private:
    void OnNewConnection();
    void OnReadyRead(QLocalSocket* socket);

    OpenFiles m_open;
    uid_t m_allowedUid;
    QLocalServer* m_pServer;
};
