// The program on the desktop: its desktop entry and file type, and files handed over from a
// second start to the one running (request protocol, socket folder, peer check, stale socket).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <future>

#include "AppTestSupport.h"
#include "app/MainFrame.h"
#include "app/ShellOpen.h"
#include "app/ShellRegistration.h"
#include "document/MDIDoc.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"

namespace {

// --- desktop entry and file type

TEST(DesktopEntry, ExecArgumentsAreQuotedSoThatLaunchersPassThemOnUnchanged)
{
    // Bare without reserved characters, else quoted with `"`, `` ` `` and `$` escaped and each
    // backslash twice over; `%` doubled either way.
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/spmviewer", "/usr/bin/spmviewer"},
        {"/opt/v1.2_x-y+z=w,@:a/spm", "/opt/v1.2_x-y+z=w,@:a/spm"},
        {"/100%/x", "/100%%/x"},
        {"/opt/my apps/spmviewer", R"("/opt/my apps/spmviewer")"},
        {"/a$b/`c`/\"d\"", R"("/a\\$b/\\`c\\`/\\"d\\"")"},
        {"/a\\b", R"("/a\\\\b")"},
        {"/100% x", R"("/100%% x")"},
        {"/a'b;c&d|e", R"("/a'b;c&d|e")"},
        {"/a>b<c*d?e#f(g)h~i", R"("/a>b<c*d?e#f(g)h~i")"},
    };
    for (const auto& [path, written] : cases)
        EXPECT_EQ(DesktopExecArgument(path), std::optional<std::string>(written)) << path;
    for (const char* unwritable : {"/a\nb", "/a\tb", "/a\x7f"}) {
        EXPECT_FALSE(DesktopExecArgument(unwritable).has_value());
        EXPECT_FALSE(DesktopEntryText(unwritable).has_value());
    }
}

// The entry starts the given program with the files, for a type the desktop's MIME tool
// takes; registering again writes only what changed, and a folder that cannot hold the
// files is only reported.
TEST(DesktopEntry, RegistrationWritesOnlyWhatChangedAndNeverFails)
{
    const std::string text = DesktopEntryText("/opt/x y/spmviewer").value();
    EXPECT_NE(text.find("\nExec=\"/opt/x y/spmviewer\" %F\n"), std::string::npos);
    EXPECT_NE(text.find("\nMimeType=application/x-spm-document;\n"), std::string::npos);
    ScratchDir dir;
    const std::filesystem::path entry = dir / "applications/spmviewer.desktop";
    RegistrationResult first = RegisterShellFileTypes(dir.path().string(), "/a/spmviewer");
    EXPECT_TRUE(first.entryWritten && first.mimeWritten && !first.failed);
    EXPECT_EQ(FileText(entry), DesktopEntryText("/a/spmviewer").value());
    EXPECT_EQ(FileText(dir / "mime/packages/spmviewer.xml"), MimePackageText());
    EXPECT_TRUE(std::filesystem::exists(dir / "icons/hicolor/scalable/apps/spmviewer.svg"));
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        // The tool ran at registration and built its tables from the package.
        const std::string globs = FileText(dir / "mime/globs2");
        for (const char* glob : {"*.spm", "*.[0-9][0-9][0-9]", "*.mdt"})
            EXPECT_NE(globs.find(std::string("application/x-spm-document:") + glob), std::string::npos) << glob;
    }

    RegistrationResult again = RegisterShellFileTypes(dir.path().string(), "/a/spmviewer");
    EXPECT_FALSE(again.entryWritten || again.mimeWritten || again.failed);
    RegistrationResult moved = RegisterShellFileTypes(dir.path().string(), "/b/spmviewer");
    EXPECT_TRUE(moved.entryWritten && !moved.mimeWritten);
    EXPECT_EQ(FileText(entry), DesktopEntryText("/b/spmviewer").value());

    WriteFile(dir / "file", std::string_view("x"));
    EXPECT_TRUE(RegisterShellFileTypes((dir / "file").string(), "/a/spmviewer").failed);
    EXPECT_FALSE(RegisterShellFileTypes({}, "/a/spmviewer").entryWritten);
}

// What the desktop's MIME query answers for `file` with the registration under `dataHome`
// and the system's tables beside it, on a desktop of kind `desktop` (none: the generic tool).
std::string QueryFileType(const std::filesystem::path& dataHome, const std::filesystem::path& file,
                          const QString& desktop)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
        env.remove(name);
    if (!desktop.isEmpty())
        env.insert("XDG_CURRENT_DESKTOP", desktop);
    env.insert("XDG_DATA_HOME", QString::fromStdString(dataHome.string()));
    QProcess query;
    query.setProcessEnvironment(env);
    query.start("xdg-mime", {"query", "filetype", QString::fromStdString(file.string())});
    if (!query.waitForFinished(20000))
        query.kill();
    return query.readAllStandardOutput().trimmed().toStdString();
}

// Another type claims *.spm as well (a source package), with the same weight: the program's
// own files, saved from real instrument files, are told by their content, while a file of
// that other type keeps its type whatever its name.
TEST(DesktopEntry, TheDesktopsMimeQueryTypesSavedFilesAsTheProgramsOwn)
{
    SPM_REQUIRE_SAMPLES();
    // mimetype answers xdg-mime on a desktop of no kind it knows.
    for (const char* tool : {"xdg-mime", "mimetype", "update-mime-database"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh installs it); skipping";
    ScratchDir home;
    ASSERT_FALSE(RegisterShellFileTypes(home.path().string(), "/a/spmviewer").failed);
    ScratchDir dir;
    std::filesystem::copy_file(SamplePath("nanoscope-v432-height-amplitude.007"), dir / "scan.000");
    std::filesystem::copy_file(SamplePath("mdt-spectra-and-scan-51x39.mdt"), dir / "scan.mdt");
    CMDIDoc nanoscope;
    ASSERT_TRUE(nanoscope.OnOpenDocument((dir / "scan.000").string()));
    ASSERT_TRUE(nanoscope.AddImage((dir / "scan.000").string(), 1));
    ASSERT_TRUE(nanoscope.OnSaveDocument((dir / "height.spm").string(), "Height_01"));
    ASSERT_TRUE(nanoscope.OnSaveDocument((dir / "amplitude.spm").string(), "Amplitude_02"));
    CMDIDoc mdt;
    ASSERT_TRUE(mdt.OnOpenDocument((dir / "scan.mdt").string()));
    ASSERT_TRUE(mdt.OnSaveDocument((dir / "from-mdt.spm").string(), mdt.ImageList().front().m_pImage->m_strName));
    std::filesystem::copy_file(kBundledSample, dir / "bundled.spm");
    // A source package's lead: its magic number, then version 3.0 and type 1 (source).
    std::string package("\xED\xAB\xEE\xDB\x03\x00\x00\x01", 8);
    package += std::string(4096, 'p');
    WriteFile(dir / "package.spm", std::string_view(package));

    const std::pair<const char*, const char*> cases[] = {
        {"height.spm", "application/x-spm-document"},    {"amplitude.spm", "application/x-spm-document"},
        {"from-mdt.spm", "application/x-spm-document"},  {"bundled.spm", "application/x-spm-document"},
        {"scan.000", "application/x-spm-document"},      {"scan.mdt", "application/x-spm-document"},
        {"package.spm", "application/x-source-rpm"},
    };
    QStringList desktops{QString()};
    if (!QStandardPaths::findExecutable("gio").isEmpty())
        desktops << "GNOME";   // answered by the desktop's own library instead
    for (const QString& desktop : desktops)
        for (const auto& [name, type] : cases)
            EXPECT_EQ(QueryFileType(home.path(), dir / name, desktop), type) << name << " " << desktop.toStdString();
}

// --- the request

TEST(ShellOpenRequest, EveryRequestReadsBackAndEveryShorterPrefixWaitsForMore)
{
    const std::vector<std::vector<std::string>> lists{
        {"/a.spm"}, {"/x y/scan.007", "/ü/ß.mdt", "/a\nb.spm"}, {std::string(4000, 'p').insert(0, "/")}};
    for (const auto& list : lists) {
        const std::string request = BuildOpenRequest(list);
        std::vector<std::string> paths;
        EXPECT_EQ(ParseOpenRequest(request, paths), OpenRequestState::kComplete);
        EXPECT_EQ(paths, list);
        for (std::size_t n = 0; n < request.size(); ++n)
            ASSERT_EQ(ParseOpenRequest(std::string_view(request).substr(0, n), paths), OpenRequestState::kIncomplete) << n;
    }
}

TEST(ShellOpenRequest, MalformedRequestsAreRefused)
{
    const std::string header(kOpenRequestHeader);
    const std::string cases[] = {
        "GET / HTTP/1.0\r\n",                                   // another header
        "spmviewer open 2\n/a.spm" + std::string(2, '\0'),      // another version
        header + std::string(1, '\0'),                          // no path at all
        header + "relative.spm" + std::string(2, '\0'),         // not absolute
        header + "/bad\xff.spm" + std::string(2, '\0'),         // not UTF-8
        header + "/a.spm" + std::string(2, '\0') + "more",      // bytes after the end
        header + std::string(kMaxOpenRequestBytes, '/'),        // too long
    };
    for (const std::string& request : cases) {
        std::vector<std::string> paths{"kept?"};
        EXPECT_EQ(ParseOpenRequest(request, paths), OpenRequestState::kMalformed) << request.substr(0, 40);
        EXPECT_TRUE(paths.empty());
    }
}

// --- the socket's folder

// A folder with a short path: a socket's whole path must fit in 108 bytes.
struct ShortDir {
    QTemporaryDir dir{"/tmp/spm-XXXXXX"};
    std::filesystem::path path() const { return dir.path().toStdString(); }
    std::filesystem::path operator/(const std::string& name) const { return path() / name; }
};

// Screens of one display share a program; other displays, local or not, have their own.
TEST(ShellOpenSocket, IsNamedByTheDisplayWithoutItsScreen)
{
    const struct {
        const char* x;
        const char* wayland;
        const char* name;
    } cases[] = {
        {":0", nullptr, "0"},          {":0.1", nullptr, "0"},
        {":12", "wayland-0", "12"},    {"localhost:10.0", nullptr, "localhost_10"},
        {"host.lan:1", nullptr, "host.lan_1"}, {"/tmp/launch-x/org.x:0", nullptr, "_tmp_launch-x_org.x_0"},
        {nullptr, "wayland-1", "wayland-1"}, {"", "wayland-0", "wayland-0"},
        {nullptr, nullptr, ""},        {":", nullptr, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ShellOpenDisplayName(c.x, c.wayland), c.name) << (c.x ? c.x : "-") << " " << (c.wayland ? c.wayland : "-");
}

TEST(ShellOpenSocket, LivesInAPrivateRuntimeFolderElseInAPrivateFolderOfOurOwn)
{
    ShortDir runtime;
    ShortDir tmp;
    const std::string runtimePath = runtime.path().string();
    chmod(runtimePath.c_str(), 0700);
    EXPECT_EQ(ShellOpenSocketPath(runtimePath.c_str(), tmp.path().string(), ""),
              (runtime / "spmviewer-open").string());
    // One per display.
    EXPECT_EQ(ShellOpenSocketPath(runtimePath.c_str(), tmp.path().string(), "1"),
              (runtime / "spmviewer-open-1").string());

    // A runtime folder that others may enter, or none: our own folder, made private.
    const std::filesystem::path own = tmp / ("spmviewer-open-" + std::to_string(getuid()));
    chmod(runtimePath.c_str(), 0755);
    for (const char* candidate : {runtimePath.c_str(), static_cast<const char*>(nullptr), "relative"}) {
        EXPECT_EQ(ShellOpenSocketPath(candidate, tmp.path().string(), ""), (own / "socket").string());
        EXPECT_EQ(ShellOpenSocketPath(candidate, tmp.path().string(), "1"), (own / "socket-1").string());
        struct stat info {};
        ASSERT_EQ(stat(own.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0700u);
    }

    // A folder of that name that others may enter, or a link, is not used.
    chmod(own.c_str(), 0755);
    EXPECT_FALSE(ShellOpenSocketPath(nullptr, tmp.path().string(), "").has_value());
    std::filesystem::remove(own);
    std::filesystem::create_directory_symlink(runtime.path(), own);
    EXPECT_FALSE(ShellOpenSocketPath(nullptr, tmp.path().string(), "").has_value());
    // A path too long for a socket address is not used either.
    const std::filesystem::path deep = runtime / std::string(120, 'd');
    std::filesystem::create_directory(deep);
    chmod(deep.c_str(), 0700);
    EXPECT_FALSE(ShellOpenSocketPath(deep.c_str(), deep.string(), "").has_value());
}

// --- the listener

// A listener on a socket in a scratch folder, with the requests it took.
struct Listener {
    ShortDir dir;
    std::string path = (dir / "s").string();
    std::vector<std::vector<std::string>> opened;
    CShellOpenServer server;

    explicit Listener(uid_t allowed = getuid())
        : server([this](const std::vector<std::string>& paths) { opened.push_back(paths); }, allowed) {}
};

// Runs `send` off the event loop, which serves the listener meanwhile.
template <class Send>
auto Serve(Send send)
{
    auto result = std::async(std::launch::async, send);
    while (result.wait_for(std::chrono::milliseconds(5)) != std::future_status::ready)
        RunningApp::Pump(5);
    RunningApp::Pump(20);
    return result.get();
}

using Requests = std::vector<std::vector<std::string>>;

sockaddr_un Address(const std::string& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    return address;
}

// Sends raw bytes and returns what came back before the listener closed the connection.
std::string RawExchange(const std::string& path, const std::string& bytes)
{
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = Address(path);
    std::string reply;
    if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) {
        (void)!write(fd, bytes.data(), bytes.size());
        timeval wait{3, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &wait, sizeof(wait));
        char buffer[64];
        for (ssize_t n; (n = read(fd, buffer, sizeof(buffer))) > 0;)
            reply.append(buffer, static_cast<std::size_t>(n));
    }
    close(fd);
    return reply;
}

// The user's requests are taken and answered, relative paths made absolute before they go;
// a malformed one is dropped unanswered and the next one served; a socket only the user may
// use, and another user's process gets nothing.
TEST(ShellOpenServer, TakesTheUsersWellFormedRequestsAlone)
{
    Listener listener;
    ASSERT_TRUE(listener.server.Listen(listener.path));
    struct stat info {};
    ASSERT_EQ(stat(listener.path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);
    EXPECT_TRUE(Serve([&] { return SendToRunningInstance(listener.path, {"/b c.007", "rel.spm"}, 3000); }));
    EXPECT_EQ(Serve([&] { return RawExchange(listener.path, "rm -rf /\n"); }), "");
    EXPECT_EQ(Serve([&] { return RawExchange(listener.path, std::string(kOpenRequestHeader) + "x" + std::string(2, '\0')); }), "");
    EXPECT_EQ(Serve([&] { return RawExchange(listener.path, BuildOpenRequest({"/ok.spm"})); }), kOpenReply);
    EXPECT_EQ(listener.opened, (Requests{{"/b c.007", std::filesystem::absolute("rel.spm").string()}, {"/ok.spm"}}));

    Listener strict(getuid() + 1);
    ASSERT_TRUE(strict.server.Listen(strict.path));
    EXPECT_FALSE(Serve([&] { return SendToRunningInstance(strict.path, {"/a.spm"}, 1000); }));
    EXPECT_TRUE(strict.opened.empty());
}

TEST(ShellOpenServer, RemovesAStaleSocketButLeavesARunningInstanceAlone)
{
    Listener listener;
    // What a program that ended without cleaning up leaves: a socket file nobody listens on.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    const sockaddr_un address = Address(listener.path);
    ASSERT_EQ(bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof(address)), 0);
    close(fd);
    EXPECT_FALSE(Serve([&] { return SendToRunningInstance(listener.path, {"/a.spm"}, 1000); }));
    ASSERT_TRUE(listener.server.Listen(listener.path));
    // A second program finds the first listening and leaves its socket alone.
    CShellOpenServer second([](const std::vector<std::string>&) { ADD_FAILURE() << "second listener got files"; });
    EXPECT_FALSE(second.Listen(listener.path));
    EXPECT_TRUE(Serve([&] { return SendToRunningInstance(listener.path, {"/b.spm"}, 3000); }));
    EXPECT_EQ(listener.opened, Requests{{"/b.spm"}});
}

// --- the whole road: a second start of the program with a file

// Runs a program while the running one serves its requests; false when it had to be ended
// after 20 s.
bool RunToEnd(QProcess& process, const QString& program, const QStringList& arguments)
{
    process.start(program, arguments);
    QElapsedTimer clock;
    clock.start();
    while (process.state() != QProcess::NotRunning && clock.elapsed() < 20000)
        RunningApp::Pump(20);
    if (process.state() == QProcess::NotRunning)
        return true;
    process.kill();
    process.waitForFinished();
    return false;
}

TEST(ShellOpen, ASecondStartHandsItsFileToTheRunningProgramWhichOpensOnlyItsFirstImage)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string file = SampleCopy(dir, "sent.spm");
    RunningApp app;
    QProcess second;
    if (!RunToEnd(second, SPM_VIEWER_PATH, {QString::fromStdString(file)}))
        FAIL() << "the second start did not end: it did not hand its file over";
    RunningApp::Pump(100);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    ASSERT_EQ(app.MainFrame().DocManager().Documents().size(), 1u);
    EXPECT_EQ(app.MainFrame().DocManager().Documents().front()->GetPathName(), file);
    // As the desktop's requests: the first image in a 2D frame, no 3D frame.
    EXPECT_EQ(app.FrameTitles().size(), 1u);
    EXPECT_NE(app.ActiveTitle().find(":2D"), std::string::npos);
}

// The desktop's own road: with the registration in place, the desktop's generic opener asks
// the MIME tables for the type of a *.000 file and starts the entry's program on it, which
// hands the file to the program running.
TEST(ShellOpen, TheDesktopsOpenerTypesANanoScopeFileAndOpensItInTheRunningProgram)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    for (const char* tool : {"xdg-open", "xdg-mime", "update-mime-database", "update-desktop-database"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh installs it); skipping";
    ScratchDir dir;
    const std::filesystem::path file = dir / "scan.000";
    std::filesystem::copy_file(SamplePath("nanoscope-v432-height-amplitude.007"), file);
    RunningApp app;
    // The test program registered itself at start; the desktop is to start the real one.
    ASSERT_FALSE(RegisterShellFileTypes(UserDataHome(), SPM_VIEWER_PATH).failed);
    // As on a desktop of none of the kinds the opener knows, whatever this one is.
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"XDG_CURRENT_DESKTOP", "DESKTOP_SESSION", "KDE_FULL_SESSION", "GNOME_DESKTOP_SESSION_ID"})
        env.remove(name);
    const auto run = [&env](const QString& program, const QStringList& arguments, QProcess& process) {
        process.setProcessEnvironment(env);
        RunToEnd(process, program, arguments);
    };
    QProcess query;
    run("xdg-mime", {"query", "filetype", QString::fromStdString(file.string())}, query);
    EXPECT_EQ(query.readAllStandardOutput().trimmed().toStdString(), "application/x-spm-document");

    QProcess opener;
    run("xdg-open", {QString::fromStdString(file.string())}, opener);
    EXPECT_EQ(opener.exitCode(), 0) << opener.readAllStandardError().toStdString();
    RunningApp::Pump(100);
    ASSERT_EQ(app.MainFrame().DocManager().Documents().size(), 1u);
    EXPECT_EQ(app.MainFrame().DocManager().Documents().front()->GetPathName(), file.string());
    EXPECT_EQ(app.FrameTitles().size(), 1u);
    EXPECT_NE(app.ActiveTitle().find(":2D"), std::string::npos);

    // Once more while another document is in front: its frame comes back, nothing opens.
    ASSERT_TRUE(app.MainFrame().DocManager().OpenDocumentFile(SampleCopy(dir)).created);
    const std::size_t frames = app.FrameTitles().size();
    EXPECT_EQ(app.ActiveTitle().find("scan.000"), std::string::npos);
    QProcess again;
    run("xdg-open", {QString::fromStdString(file.string())}, again);
    RunningApp::Pump(100);
    EXPECT_EQ(app.MainFrame().DocManager().Documents().size(), 2u);
    EXPECT_EQ(app.FrameTitles().size(), frames);
    EXPECT_NE(app.ActiveTitle().find("scan.000"), std::string::npos);
}

} // namespace
