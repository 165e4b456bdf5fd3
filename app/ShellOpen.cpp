#include "app/ShellOpen.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "platform/core/PathText.h"
#include "platform/qt/QtPath.h"

namespace {

constexpr const char* kSocketName = "spmviewer-open";
// A client that connects and says nothing is dropped after this long.
constexpr int kSilentClientMs = 5000;
constexpr int kConnectMs = 1000;
// How often a start that found the lock taken tries again while the holder starts up.
constexpr unsigned long kHandOverRetryMs = 20;
// How often files handed over look whether the program has finished what it was doing.
constexpr int kQueueRetryMs = 100;
// The level of the event loop in which no code of the program waits for a window to close.
int g_mainLoopLevel = 0;

// A folder that the user alone can enter: no link, a folder, owned by the user, no rights
// for group or others.
bool IsPrivateFolder(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid() &&
           (info.st_mode & (S_IRWXG | S_IRWXO)) == 0;
}

// Whether the socket path fits a local socket address.
bool FitsSocketAddress(const std::string& path)
{
    return path.size() < sizeof(sockaddr_un::sun_path);
}

} // namespace

std::string BuildOpenRequest(const std::vector<std::string>& paths)
{
    std::string request(kOpenRequestHeader);
    for (const std::string& path : paths) {
        request += path;
        request += '\0';
    }
    request += '\0';
    return request;
}

OpenRequestState ParseOpenRequest(std::string_view bytes, std::vector<std::string>& paths)
{
    paths.clear();
    if (bytes.size() > kMaxOpenRequestBytes)
        return OpenRequestState::kMalformed;
    const std::size_t headerBytes = std::min(bytes.size(), kOpenRequestHeader.size());
    if (bytes.substr(0, headerBytes) != kOpenRequestHeader.substr(0, headerBytes))
        return OpenRequestState::kMalformed;
    if (bytes.size() < kOpenRequestHeader.size())
        return OpenRequestState::kIncomplete;
    std::size_t at = kOpenRequestHeader.size();
    std::vector<std::string> found;
    while (true) {
        const std::size_t end = bytes.find('\0', at);
        if (end == std::string_view::npos)
            return OpenRequestState::kIncomplete;
        const std::string_view path = bytes.substr(at, end - at);
        at = end + 1;
        if (path.empty())
            break;   // the closing zero byte
        // Any other byte may be part of a file's name, which need not be UTF-8.
        if (path.front() != '/')
            return OpenRequestState::kMalformed;
        found.emplace_back(path);
    }
    if (found.empty() || at != bytes.size())
        return OpenRequestState::kMalformed;
    paths = std::move(found);
    return OpenRequestState::kComplete;
}

std::optional<uid_t> PeerUid(int socketDescriptor)
{
    ucred credentials{};
    socklen_t size = sizeof(credentials);
    if (getsockopt(socketDescriptor, SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0 ||
        size != sizeof(credentials))
        return std::nullopt;
    return credentials.uid;
}

std::string ShellOpenDisplayName(const char* xDisplay, const char* waylandDisplay)
{
    std::string name;
    if (xDisplay != nullptr && xDisplay[0] != '\0') {
        name = xDisplay;
        // One program per display, whichever of its screens it was started on.
        if (const std::size_t colon = name.rfind(':'); colon != std::string::npos)
            name.erase(std::min(name.find('.', colon), name.size()));
        if (name[0] == ':')
            name.erase(0, 1);
    } else if (waylandDisplay != nullptr) {
        name = waylandDisplay;
    }
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-')
            c = '_';
    return name;
}

std::optional<std::string> ShellOpenSocketPath()
{
    return ShellOpenSocketPath(std::getenv("XDG_RUNTIME_DIR"), "/tmp",
                               ShellOpenDisplayName(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")));
}

std::optional<std::string> ShellOpenSocketPath(const char* runtime, const std::string& fallbackParent,
                                               const std::string& display)
{
    const std::string suffix = display.empty() ? "" : "-" + display;
    if (runtime != nullptr && runtime[0] == '/' && IsPrivateFolder(runtime)) {
        const std::string path = std::string(runtime) + "/" + kSocketName + suffix;
        if (FitsSocketAddress(path))
            return path;
    }
    // No usable runtime folder: one of our own, which must be ours and private whether we
    // made it now or it was there (someone else's folder of that name would see the paths).
    const std::string folder = fallbackParent + "/" + kSocketName + "-" + std::to_string(getuid());
    if (mkdir(folder.c_str(), S_IRWXU) != 0 && errno != EEXIST)
        return std::nullopt;
    if (!IsPrivateFolder(folder))
        return std::nullopt;
    const std::string path = folder + "/socket" + suffix;
    return FitsSocketAddress(path) ? std::optional(path) : std::nullopt;
}

bool SendToRunningInstance(const std::string& socketPath, const std::vector<std::string>& paths, int timeoutMs)
{
    if (paths.empty())
        return false;
    std::vector<std::string> absolute;
    for (const std::string& path : paths)
        absolute.push_back(AbsolutePath(path));
    QLocalSocket socket;
    socket.connectToServer(ToQtPath(socketPath));
    if (!socket.waitForConnected(kConnectMs))
        return false;
    // Only a program of our own user gets the paths.
    const std::optional<uid_t> server = PeerUid(static_cast<int>(socket.socketDescriptor()));
    if (!server || *server != getuid())
        return false;
    const std::string request = BuildOpenRequest(absolute);
    socket.write(request.data(), static_cast<qint64>(request.size()));
    QByteArray reply;
    QElapsedTimer clock;
    clock.start();
    while (socket.bytesToWrite() > 0 && clock.elapsed() < timeoutMs)
        socket.waitForBytesWritten(static_cast<int>(timeoutMs - clock.elapsed()));
    while (reply.size() < static_cast<qsizetype>(kOpenReply.size()) && clock.elapsed() < timeoutMs) {
        if (!socket.waitForReadyRead(static_cast<int>(std::max<qint64>(1, timeoutMs - clock.elapsed()))))
            break;
        reply += socket.readAll();
    }
    return reply.toStdString() == kOpenReply;
}

CShellOpenServer::CShellOpenServer(OpenHandedOverFiles open, uid_t allowedUid, QObject* parent)
    : QObject(parent), m_open(std::move(open)), m_allowedUid(allowedUid), m_pServer(new QLocalServer(this))
{
    m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_pServer, &QLocalServer::newConnection, this, &CShellOpenServer::OnNewConnection);
}

CShellOpenServer::~CShellOpenServer()
{
    StopListening();
}

CShellOpenServer::ListenResult CShellOpenServer::Listen(const std::string& socketPath)
{
    if (m_nLockFile >= 0)
        return ListenResult::kFailed;   // listening already
    const std::string lockPath = socketPath + ".lock";
    const int lock = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, S_IRUSR | S_IWUSR);
    if (lock < 0)
        return ListenResult::kFailed;
    if (flock(lock, LOCK_EX | LOCK_NB) != 0) {
        const bool taken = errno == EWOULDBLOCK;
        close(lock);
        return taken ? ListenResult::kAnotherServes : ListenResult::kFailed;
    }
    // Holding the lock, this program alone may listen: whatever socket is there was left by
    // a program that ended.
    const QString name = ToQtPath(socketPath);
    QLocalServer::removeServer(name);
    if (!m_pServer->listen(name)) {
        close(lock);
        return ListenResult::kFailed;
    }
    m_nLockFile = lock;
    return ListenResult::kListening;
}

void CShellOpenServer::StopListening()
{
    if (m_nLockFile < 0)
        return;
    // The connections go with the listener: their senders get no answer and try again.
    for (QLocalSocket* socket : m_pServer->findChildren<QLocalSocket*>())
        socket->abort();
    m_pServer->close();
    close(m_nLockFile);
    m_nLockFile = -1;
}

void CShellOpenServer::OnNewConnection()
{
    while (QLocalSocket* socket = m_pServer->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        const std::optional<uid_t> peer = PeerUid(static_cast<int>(socket->socketDescriptor()));
        if (!peer || *peer != m_allowedUid) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { OnReadyRead(socket); });
        QTimer::singleShot(kSilentClientMs, socket, [socket] { socket->abort(); });
        OnReadyRead(socket);
    }
}

void CShellOpenServer::OnReadyRead(QLocalSocket* socket)
{
    QByteArray received = socket->property("received").toByteArray() + socket->readAll();
    std::vector<std::string> paths;
    switch (ParseOpenRequest(std::string_view(received.constData(), static_cast<std::size_t>(received.size())), paths)) {
    case OpenRequestState::kIncomplete:
        socket->setProperty("received", received);
        return;
    case OpenRequestState::kMalformed:
        socket->abort();
        return;
    case OpenRequestState::kComplete:
        break;
    }
    socket->setProperty("received", QByteArray());
    // Taken before the answer goes: a program that quits looks whether files wait.
    m_open(paths);
    socket->write(kOpenReply.data(), static_cast<qint64>(kOpenReply.size()));
    socket->disconnectFromServer();
}

ShellOpenRole ServeOrHandOver(CShellOpenServer& server, const std::string& socketPath,
                              const std::vector<std::string>& files, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (true) {
        switch (server.Listen(socketPath)) {
        case CShellOpenServer::ListenResult::kListening: return ShellOpenRole::kServes;
        case CShellOpenServer::ListenResult::kFailed: return ShellOpenRole::kAlone;
        case CShellOpenServer::ListenResult::kAnotherServes: break;
        }
        const qint64 left = timeoutMs - clock.elapsed();
        if (files.empty() || left <= 0)
            return ShellOpenRole::kAlone;
        if (SendToRunningInstance(socketPath, files, static_cast<int>(left)))
            return ShellOpenRole::kHandedOver;
        // The holder has taken the lock and is about to listen, or it is ending and lets the
        // lock go: either way the next round settles it.
        QThread::msleep(kHandOverRetryMs);
    }
}

int RunMainEventLoop()
{
    // QApplication::exec is one event loop deeper than the code that calls it.
    const int outside = g_mainLoopLevel;
    g_mainLoopLevel = QThread::currentThread()->loopLevel() + 1;
    const int result = QApplication::exec();
    g_mainLoopLevel = outside;
    return result;
}

bool ProgramMustFinishFirst()
{
    return QThread::currentThread()->loopLevel() > g_mainLoopLevel || QApplication::activeModalWidget() != nullptr ||
           QApplication::activePopupWidget() != nullptr;
}

CShellOpenQueue::CShellOpenQueue(OpenHandedOverFiles open, std::function<bool()> mustWait, QObject* parent)
    : QObject(parent), m_open(std::move(open)), m_mustWait(std::move(mustWait))
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &CShellOpenQueue::Serve);
}

void CShellOpenQueue::Add(const std::vector<std::string>& paths)
{
    m_paths.insert(m_paths.end(), paths.begin(), paths.end());
    if (m_mustWait()) {
        // The user sees what the program waits for: the question, not the window behind it.
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->raise();
            modal->activateWindow();
        }
        m_retry.start(kQueueRetryMs);
        return;
    }
    // Never from inside the caller: it may be the listener's signal, or code that reads the
    // documents after it.
    m_retry.start(0);
}

void CShellOpenQueue::Serve()
{
    if (m_paths.empty())
        return;
    if (m_mustWait()) {
        m_retry.start(kQueueRetryMs);
        return;
    }
    std::vector<std::string> paths;
    paths.swap(m_paths);
    m_open(paths);
}
