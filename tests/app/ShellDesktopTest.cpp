// The program on the desktop: its desktop entry and file type, and files handed over from a
// second start to the one running (request protocol, socket folder, peer check, stale socket,
// which start serves, files that wait while the program asks something).
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileDialog>
#include <QPointer>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <future>
#include <span>
#include <sstream>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/ShellOpen.h"
#include "app/ShellRegistration.h"
#include "document/MDIDoc.h"
#include "platform/core/PathText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/QtPath.h"
#include "platform/qt/RecentFileList.h"

namespace {

// Whether `upper`'s window lies above `lower`'s as the X server stacks them (defined last:
// Xlib's macros would break the headers).
bool StacksAbove(const QWidget& upper, const QWidget& lower);
// Writes the registration under `dataHome` and makes the due updates of the desktop's tables,
// waiting for them (defined with UpdateTables): for cases that need the tables built.
RegistrationResult RegisterAndUpdateTables(const std::string& dataHome, const std::string& executable);

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

// The tools whose runs a registration found due, in their order.
std::vector<std::string> Tools(const RegistrationResult& result)
{
    std::vector<std::string> tools;
    for (const TableUpdate& update : result.updates)
        tools.push_back(update.program.filename().string());
    return tools;
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
    RegistrationResult first = RegisterAndUpdateTables(dir.path().string(), "/a/spmviewer");
    EXPECT_TRUE(first.entryWritten && first.mimeWritten && !first.failed);
    EXPECT_EQ(FileText(entry), DesktopEntryText("/a/spmviewer").value());
    EXPECT_EQ(FileText(dir / "mime/packages/spmviewer.xml"), MimePackageText());
    EXPECT_TRUE(std::filesystem::exists(dir / "icons/hicolor/scalable/apps/spmviewer.svg"));
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
        // The tool ran at registration and built its tables from the package.
        EXPECT_EQ(Tools(first).at(0), "update-mime-database");
        const std::string globs = FileText(dir / "mime/globs2");
        for (const char* glob : {"*.spm", "*.[0-9][0-9][0-9]", "*.mdt"})
            EXPECT_NE(globs.find(std::string("application/x-spm-document:") + glob), std::string::npos) << glob;
    }

    RegistrationResult again = RegisterAndUpdateTables(dir.path().string(), "/a/spmviewer");
    EXPECT_FALSE(again.entryWritten || again.mimeWritten || again.failed);
    // The real tools' tables, where they ran, are what a start finds up to date.
    EXPECT_TRUE(again.updates.empty());
    RegistrationResult moved = RegisterAndUpdateTables(dir.path().string(), "/b/spmviewer");
    EXPECT_TRUE(moved.entryWritten && !moved.mimeWritten);
    EXPECT_EQ(FileText(entry), DesktopEntryText("/b/spmviewer").value());

    WriteFile(dir / "file", std::string_view("x"));
    EXPECT_TRUE(RegisterAndUpdateTables((dir / "file").string(), "/a/spmviewer").failed);
    EXPECT_FALSE(RegisterAndUpdateTables({}, "/a/spmviewer").entryWritten);
}

// What the desktop's cache tools do at a start: not installed, or they log their run and
// write the table the desktop reads, failing before or after that, crashing or hanging after
// it; or installed but not starting at all (a broken interpreter line).
enum class CacheTools {
    Missing,
    Working,
    FailingBeforeWriting,
    FailingAfterWriting,
    CrashingAfterWriting,
    HangingAfterWriting,
    NotStarting
};

// Where the fakes that hang note their process, beside their log.
std::filesystem::path HangingLog(const std::filesystem::path& log)
{
    return log.string() + "-hanging";
}

// Puts fakes of the two cache tools in `bin` that do as `tools` says, logging to `log`.
void FakeCacheTools(const std::filesystem::path& bin, CacheTools tools, const std::filesystem::path& log)
{
    const struct {
        const char* tool;
        const char* table;
        const char* text;
    } fakes[] = {
        {"update-mime-database", "mime.cache", "a table of types"},
        {"update-desktop-database", "mimeinfo.cache",
         "[MIME Cache]\napplication/x-spm-document=spmviewer.desktop;\n"},
    };
    for (const auto& fake : fakes) {
        const std::filesystem::path path = bin / fake.tool;
        std::filesystem::remove(path);
        if (tools == CacheTools::Missing)
            continue;
        std::string script = std::string(tools == CacheTools::NotStarting ? "#!/missing/sh" : "#!/bin/sh")
                             + "\necho " + std::string(fake.tool) + " >> '" + log.string() + "'\n";
        if (tools == CacheTools::FailingBeforeWriting)
            script += "exit 1\n";
        script += "printf '%s' '" + std::string(fake.text) + "' > \"$1/" + fake.table + "\"\n";
        if (tools == CacheTools::CrashingAfterWriting)
            script += "kill -SEGV $$\n";
        // exec: the process noted is the one that hangs. Whatever PATH a test gives.
        if (tools == CacheTools::HangingAfterWriting)
            script += "echo $$ >> '" + HangingLog(log).string() + "'\nexec '"
                      + QStandardPaths::findExecutable("sleep", {"/usr/bin", "/bin"}).toStdString() + "' 30\n";
        script += tools == CacheTools::FailingAfterWriting ? "exit 1\n" : "exit 0\n";
        WriteFile(path, std::string_view(script));
        std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    }
}

// Makes `updates` in the background, as a start does, up to their end; false when they had
// not ended within 30 s.
bool UpdateTables(std::vector<TableUpdate> updates, std::chrono::milliseconds limit = kTableUpdateLimit)
{
    CDesktopTableUpdater updater(std::move(updates), limit);
    updater.Start();
    return PumpUntil([&updater] { return updater.Done(); }, 30000);
}

RegistrationResult RegisterAndUpdateTables(const std::string& dataHome, const std::string& executable)
{
    RegistrationResult result = WriteShellFileTypes(dataHome, executable);
    EXPECT_TRUE(UpdateTables(result.updates));
    return result;
}

// Lines of a file, in their order.
std::vector<std::string> FileLines(const std::filesystem::path& path)
{
    std::vector<std::string> lines;
    std::istringstream text(FileText(path));
    for (std::string line; std::getline(text, line);)
        lines.push_back(line);
    return lines;
}

// Whether process `pid` is there, a zombie not collected counting.
bool ProcessThere(pid_t pid)
{
    return kill(pid, 0) == 0 || errno != ESRCH;
}

// The desktop's tables catch up with the registration whenever they are behind it, not only
// when its text changed: a tool installed since the last start, or one that failed or hung
// then (whatever it got to write), runs at the next start, and so does the entries' tool when
// another program's run left our entry out; with the tables up to date no tool runs. The
// runs are made one after the other, the types' first, a hanging one stopped at the limit.
TEST(DesktopEntry, TheDesktopsTablesCatchUpWithTheRegistrationAtTheNextStart)
{
    enum class Before { Nothing, PackageRemoved, OtherMimeTable, OtherEntryTable };
    using Runs = std::vector<std::string>;
    const Runs none;
    const Runs mime{"update-mime-database"};
    const Runs entry{"update-desktop-database"};
    const Runs both{"update-mime-database", "update-desktop-database"};
    const struct {
        const char* start;
        Before before;
        CacheTools tools;
        const char* executable;
        Runs runs;
    } starts[] = {
        {"first, the tools missing", Before::Nothing, CacheTools::Missing, "/a/spmviewer", none},
        {"the tools installed since", Before::Nothing, CacheTools::Working, "/a/spmviewer", both},
        {"up to date", Before::Nothing, CacheTools::Working, "/a/spmviewer", none},
        {"another package rebuilt the types", Before::OtherMimeTable, CacheTools::Working, "/a/spmviewer", none},
        {"another run left the entry out", Before::OtherEntryTable, CacheTools::Working, "/a/spmviewer", entry},
        {"the program moved, a tool failing", Before::Nothing, CacheTools::FailingBeforeWriting, "/b/spmviewer",
         entry},
        {"the failed tool again", Before::Nothing, CacheTools::Working, "/b/spmviewer", entry},
        {"the package removed, a tool failing late", Before::PackageRemoved, CacheTools::FailingAfterWriting,
         "/b/spmviewer", mime},
        {"the late failure again", Before::Nothing, CacheTools::Working, "/b/spmviewer", mime},
        {"up to date at last", Before::Nothing, CacheTools::Working, "/b/spmviewer", none},
        {"the package removed and the program moved, the tools hanging", Before::PackageRemoved,
         CacheTools::HangingAfterWriting, "/c/spmviewer", both},
        {"the hung tools again", Before::Nothing, CacheTools::Working, "/c/spmviewer", both},
        {"up to date after the hang", Before::Nothing, CacheTools::Working, "/c/spmviewer", none},
        {"the package removed and the program moved, the tools not starting", Before::PackageRemoved,
         CacheTools::NotStarting, "/d/spmviewer", both},
        {"the tools starting again", Before::Nothing, CacheTools::Working, "/d/spmviewer", both},
        {"the package removed, a tool crashing late", Before::PackageRemoved, CacheTools::CrashingAfterWriting,
         "/d/spmviewer", mime},
        {"the crashed tool again", Before::Nothing, CacheTools::Working, "/d/spmviewer", mime},
        {"up to date after the crash", Before::Nothing, CacheTools::Working, "/d/spmviewer", none},
    };
    ScratchDir dir;
    const std::filesystem::path home = dir / "share";
    const std::filesystem::path bin = dir / "bin";
    const std::filesystem::path log = dir / "runs";
    std::filesystem::create_directory(bin);
    const std::string path = std::getenv("PATH");
    setenv("PATH", bin.c_str(), 1);
    for (const auto& start : starts) {
        if (start.before == Before::PackageRemoved)
            std::filesystem::remove(home / "mime/packages/spmviewer.xml");
        else if (start.before == Before::OtherMimeTable)
            WriteFile(home / "mime/mime.cache", std::string_view("another table of types"));
        else if (start.before == Before::OtherEntryTable)
            WriteFile(home / "applications/mimeinfo.cache",
                      std::string_view("[MIME Cache]\ntext/plain=other.desktop;\n"));
        FakeCacheTools(bin, start.tools, log);
        std::filesystem::remove(log);
        RegistrationResult result = WriteShellFileTypes(home.string(), start.executable);
        EXPECT_FALSE(result.failed) << start.start;
        EXPECT_EQ(Tools(result), start.runs) << start.start;
        // Hanging runs end at a limit short enough for a test.
        const auto limit =
            start.tools == CacheTools::HangingAfterWriting ? std::chrono::milliseconds(500) : kTableUpdateLimit;
        EXPECT_TRUE(UpdateTables(std::move(result.updates), limit)) << start.start;
        EXPECT_EQ(FileLines(log), start.tools == CacheTools::NotStarting ? none : start.runs) << start.start;
    }
    setenv("PATH", path.c_str(), 1);
    // Each run stopped at the limit was collected.
    EXPECT_EQ(FileLines(HangingLog(log)).size(), both.size());
    for (const std::string& pid : FileLines(HangingLog(log)))
        EXPECT_FALSE(ProcessThere(std::stoi(pid))) << pid;
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

// The desktop's MIME queries about files in `dir`, with the program registered in `home`
// and the system's tables beside it. Skipped where the tools or the samples are missing.
class DesktopMimeQuery : public testing::Test {
protected:
    void SetUp() override
    {
        SPM_REQUIRE_SAMPLES();
        // mimetype answers xdg-mime on a desktop of no kind it knows.
        for (const char* tool : {"xdg-mime", "mimetype", "update-mime-database"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh installs it); skipping";
        ASSERT_FALSE(RegisterAndUpdateTables(home.path().string(), "/a/spmviewer").failed);
    }

    // Each file of `dir` is of its type on a desktop of no kind xdg-mime knows, and on GNOME,
    // whose query the desktop's own library answers, where installed.
    void ExpectTypes(std::span<const std::pair<const char*, const char*>> cases)
    {
        QStringList desktops{QString()};
        if (!QStandardPaths::findExecutable("gio").isEmpty())
            desktops << "GNOME";
        for (const QString& desktop : desktops)
            for (const auto& [name, type] : cases)
                EXPECT_EQ(QueryFileType(home.path(), dir / name, desktop), type) << name << " " << desktop.toStdString();
    }

    ScratchDir home;
    ScratchDir dir;
};

// Another type claims *.spm as well (a source package), with the same weight: the program's
// own files, saved from real instrument files, are told by their content, while a file of
// that other type keeps its type whatever its name.
TEST_F(DesktopMimeQuery, TypesSavedFilesAsTheProgramsOwn)
{
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
    ExpectTypes(cases);
}

// NanoScope files are numbered *.000 to *.999, which the generic tool's reading of the glob
// matches only for some numbers: the files are told by their first header line as well,
// with CR LF or LF line ends, while a name another type claims (a text) keeps that type.
TEST_F(DesktopMimeQuery, TypesNanoScopeFilesOfEveryNumberAsTheProgramsOwn)
{
    for (const char* name : {"scan.007", "scan.001", "scan.500", "scan.998", "scan.000", "scan.999"})
        std::filesystem::copy_file(SamplePath("nanoscope-v432-height-amplitude.007"), dir / name);
    for (const char* name : {"header.001", "header.txt"})
        std::filesystem::copy_file(SamplePath("nanoscope-v515-header-only.001"), dir / name);
    const std::pair<const char*, const char*> cases[] = {
        {"scan.007", "application/x-spm-document"},   {"scan.001", "application/x-spm-document"},
        {"scan.500", "application/x-spm-document"},   {"scan.998", "application/x-spm-document"},
        {"scan.000", "application/x-spm-document"},   {"scan.999", "application/x-spm-document"},
        {"header.001", "application/x-spm-document"}, {"header.txt", "text/plain"},
    };
    ExpectTypes(cases);
}

// --- the request

TEST(ShellOpenRequest, EveryRequestReadsBackAndEveryShorterPrefixWaitsForMore)
{
    const std::vector<std::vector<std::string>> lists{
        {"/a.spm"}, {"/x y/scan.007", "/ü/ß.mdt", "/a\nb.spm"}, {std::string(4000, 'p').insert(0, "/")},
        {"/H\xF6he.spm", "/\xFF\x80/\xC3.mdt"}};   // names that are not UTF-8
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
    ASSERT_EQ(listener.server.Listen(listener.path), CShellOpenServer::ListenResult::kListening);
    struct stat info {};
    ASSERT_EQ(stat(listener.path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 077, 0u);
    EXPECT_TRUE(Serve([&] { return SendToRunningInstance(listener.path, {"/b c.007", "rel.spm"}, 3000); }));
    EXPECT_EQ(Serve([&] { return RawExchange(listener.path, "rm -rf /\n"); }), "");
    EXPECT_EQ(Serve([&] { return RawExchange(listener.path, std::string(kOpenRequestHeader) + "x" + std::string(2, '\0')); }), "");
    EXPECT_EQ(Serve([&] { return RawExchange(listener.path, BuildOpenRequest({"/ok.spm"})); }), kOpenReply);
    EXPECT_EQ(listener.opened, (Requests{{"/b c.007", std::filesystem::absolute("rel.spm").string()}, {"/ok.spm"}}));

    Listener strict(getuid() + 1);
    ASSERT_EQ(strict.server.Listen(strict.path), CShellOpenServer::ListenResult::kListening);
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
    ASSERT_EQ(listener.server.Listen(listener.path), CShellOpenServer::ListenResult::kListening);
    // A second program finds the first serving and leaves its socket alone.
    Listener second;
    EXPECT_EQ(second.server.Listen(listener.path), CShellOpenServer::ListenResult::kAnotherServes);
    EXPECT_TRUE(Serve([&] { return SendToRunningInstance(listener.path, {"/b.spm"}, 3000); }));
    EXPECT_EQ(listener.opened, Requests{{"/b.spm"}});
    // Once the first stops, the next one to try serves; what the first was sent stays its own.
    listener.server.StopListening();
    EXPECT_FALSE(Serve([&] { return SendToRunningInstance(listener.path, {"/c.spm"}, 1000); }));
    ASSERT_EQ(second.server.Listen(listener.path), CShellOpenServer::ListenResult::kListening);
    EXPECT_TRUE(Serve([&] { return SendToRunningInstance(listener.path, {"/d.spm"}, 3000); }));
    EXPECT_EQ(listener.opened, Requests{{"/b.spm"}});
    EXPECT_EQ(second.opened, Requests{{"/d.spm"}});
}

// A start serves when it takes the lock; with files and another serving it hands them over;
// without files it runs alone; with the one serving gone it serves after all; where no lock
// can be made it runs alone. Each start is a listener made where it runs, as in a program.
TEST(ShellOpenServer, EachStartServesHandsOverOrRunsAloneByTheLock)
{
    Listener first;
    const auto start = [](const std::string& socketPath, std::vector<std::string> files) {
        return Serve([socketPath, files] {
            CShellOpenServer server([](const std::vector<std::string>&) {});
            return ServeOrHandOver(server, socketPath, files, 3000);
        });
    };
    ASSERT_EQ(ServeOrHandOver(first.server, first.path, {}), ShellOpenRole::kServes);
    EXPECT_EQ(start(first.path, {"/b.spm"}), ShellOpenRole::kHandedOver);
    EXPECT_EQ(start(first.path, {}), ShellOpenRole::kAlone);
    EXPECT_EQ(first.opened, Requests{{"/b.spm"}});
    first.server.StopListening();
    EXPECT_EQ(start(first.path, {"/c.spm"}), ShellOpenRole::kServes);
    EXPECT_EQ(start((first.dir / "missing/s").string(), {"/d.spm"}), ShellOpenRole::kAlone);
    EXPECT_EQ(first.opened, Requests{{"/b.spm"}});
}

// Files handed over wait while the program must finish something, then open together in the
// order they came; never from inside the call that hands them over.
TEST(ShellOpenQueue, FilesWaitWhileTheProgramIsBusyAndThenOpenInTheirOrder)
{
    bool busy = true;
    Requests opened;
    CShellOpenQueue queue([&opened](const std::vector<std::string>& paths) { opened.push_back(paths); },
                          [&busy] { return busy; });
    queue.Add({"/a.spm"});
    queue.Add({"/b.spm", "/c.spm"});
    RunningApp::Pump(300);
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(queue.Waiting());
    busy = false;
    RunningApp::Pump(300);
    EXPECT_EQ(opened, (Requests{{"/a.spm", "/b.spm", "/c.spm"}}));
    EXPECT_FALSE(queue.Waiting());
    queue.Add({"/d.spm"});
    EXPECT_EQ(opened.size(), 1u);
    RunningApp::Pump(50);
    EXPECT_EQ(opened.back(), std::vector<std::string>{"/d.spm"});
}

// --- the whole road: a second start of the program with a file

// Runs a program while the running one serves its requests; false when it had to be ended
// after 20 s.
bool RunToEnd(QProcess& process, const QString& program, const QStringList& arguments)
{
    process.start(program, arguments);
    if (PumpUntil([&process] { return process.state() == QProcess::NotRunning; }, 20000))
        return true;
    process.kill();
    process.waitForFinished();
    return false;
}

// The program's recent files, sorted, once they are `files` (sorted), or as they are after 10 s:
// the program serving lists every file it opened there.
std::vector<std::string> RecentFilesOnceThey(const std::vector<std::string>& files)
{
    std::vector<std::string> opened;
    PumpUntil(
        [&] {
            CRecentFileList recent("Local AppWizard-Generated Applications", "Quintara", 6);
            recent.ReadList();
            opened = recent.Entries();
            std::sort(opened.begin(), opened.end());
            return opened == files;
        },
        10000);
    return opened;
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

// The names of the images of each open document, in the order the documents opened.
std::vector<std::vector<std::string>> DocumentImages(RunningApp& app)
{
    std::vector<std::vector<std::string>> images;
    for (const auto& doc : app.MainFrame().DocManager().Documents()) {
        images.emplace_back();
        for (const ImageEntry& entry : doc->Doc().ImageList())
            images.back().push_back(FileNameOf(entry.m_pImage->m_strPath));
    }
    return images;
}
using DocImages = std::vector<std::vector<std::string>>;

// A second start with `file`, made while the program shows a modal window of type Window:
// `open` brings the window up, and `answers` answer it and whatever comes after. The start
// must have handed its file over while the window was still up, with the documents then
// `whileUp` (nothing opened) and the window still above the main window. The documents once
// the file sent has had its time to open; a whole-screen capture of the window with the
// hand-over done goes to `screenshot` when given.
template <class Window>
DocImages SendWhileModal(RunningApp& app, const std::string& file, const std::function<void()>& open,
                         std::vector<ModalStep> answers, const DocImages& whileUp, const std::string& screenshot = {})
{
    QProcess sender;
    QPointer<QWidget> modal;
    DocImages seen;
    bool stayedOnTop = false;
    std::vector<ModalStep> steps{
        [&](QWidget* up) {
            if (qobject_cast<Window*>(up) == nullptr)
                return false;
            modal = up;
            sender.start(SPM_VIEWER_PATH, {QString::fromStdString(file)});
            return true;
        },
        [&](QWidget* up) {
            if (sender.state() != QProcess::NotRunning)
                return false;
            RunningApp::Pump(200);   // what the request would do has had its time
            seen = DocumentImages(app);
            stayedOnTop = up == modal && modal != nullptr && StacksAbove(*modal, app.MainFrame());
            if (!screenshot.empty())
                Screenshot(screenshot);
            return true;
        }};
    steps.insert(steps.end(), answers.begin(), answers.end());
    RealDialogs real(app);
    EXPECT_EQ(RunWithModals(open, steps), steps.size());
    EXPECT_EQ(sender.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(sender.exitCode(), 0) << sender.readAllStandardError().toStdString();
    EXPECT_EQ(seen, whileUp);
    EXPECT_TRUE(stayedOnTop);
    RunningApp::Pump(500);
    return DocumentImages(app);
}

// The quit question is up for the first of two changed documents when a file is sent: the
// question stays in front and nothing opens; No to it, the second document is still asked
// about, and the file sent then opens in a document of its own in the program, which stays.
TEST(ShellOpen, AFileSentWhileTheQuitQuestionIsUpWaitsForTheQuestionsAndOpensInItsOwnDocument)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app;
    for (const char* name : {"first.spm", "second.spm"}) {
        ASSERT_TRUE(app.MainFrame().DocManager().OpenDocumentFile(SampleCopy(dir, name)).created);
        ASSERT_TRUE(app.Run(cmd::kFlattenXY));
    }
    std::string firstQuestion;
    std::string secondQuestion;
    const DocImages after = SendWhileModal<QMessageBox>(
        app, SampleCopy(dir, "sent.spm"), [&] { app.MainFrame().close(); },
        {AnswerBox(QMessageBox::No, &firstQuestion), AnswerBox(QMessageBox::No, &secondQuestion)},
        {{"first.spm"}, {"second.spm"}}, "shell-handover-quit-question");
    EXPECT_NE(firstQuestion.find("first.spm"), std::string::npos) << firstQuestion;
    EXPECT_NE(secondQuestion.find("second.spm"), std::string::npos) << secondQuestion;
    EXPECT_EQ(after, (DocImages{{"sent.spm"}}));
    EXPECT_TRUE(app.MainFrame().isVisible());
}

// A file sent while Add Image's dialog is up opens after it, and the image chosen joins the
// document it was chosen for.
TEST(ShellOpen, AFileSentWhileAddImageAsksLeavesTheChosenImageToItsDocument)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    RunningApp app;
    ASSERT_TRUE(app.MainFrame().DocManager().OpenDocumentFile(SampleCopy(dir, "first.spm")).created);
    const std::string added = SampleCopy(dir, "added.spm");
    EXPECT_EQ(SendWhileModal<QFileDialog>(app, SampleCopy(dir, "sent.spm"), [&] { app.Run(cmd::kAddImage); },
                                          {TypeInFileDialog(added)}, {{"first.spm"}}),
              (DocImages{{"first.spm", "added.spm"}, {"sent.spm"}}));
}

// A document whose presentation file lists a broken image and a sound one: a file sent
// while the load says why the broken one failed opens after the load, and the sound image
// still joins the document that lists it.
TEST(ShellOpen, AFileSentWhileALoadSaysWhyAnImageFailedLeavesTheListedImagesToTheirDocument)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string first = SampleCopy(dir, "first.spm");
    const std::string broken = SampleCopy(dir, "broken.spm");
    {
        RunningApp app(first);
        app.MainFrame().AddImageToActiveDoc(broken, 0);
        app.MainFrame().AddImageToActiveDoc(SampleCopy(dir, "listed.spm"), 0);
        ASSERT_TRUE(app.Run(cmd::kSaveDocConfigs));
    }
    WriteFile(broken, std::string_view("not an image"));
    RunningApp app;
    std::string refusal;
    EXPECT_EQ(SendWhileModal<QMessageBox>(app, SampleCopy(dir, "sent.spm"), [&] { app.App().OpenWithFollowUp(first); },
                                          {AnswerBox(QMessageBox::Ok, &refusal)}, {{"first.spm"}}),
              (DocImages{{"first.spm", "listed.spm"}, {"sent.spm"}}));
    EXPECT_FALSE(refusal.empty());
}

// Two starts with a file each at the same moment, no program running: one serves and opens
// both files, the other hands its file over and ends; a third start then hands over too.
TEST(ShellOpen, TwoStartsAtOnceLeaveOneProgramThatOpensBothFiles)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::vector<std::string> files{SampleCopy(dir, "a.spm"), SampleCopy(dir, "b.spm"), SampleCopy(dir, "c.spm")};
    QSettings("Local AppWizard-Generated Applications", "Quintara").clear();
    std::array<QProcess, 2> starts;
    for (std::size_t i = 0; i < starts.size(); ++i)
        starts[i].start(SPM_VIEWER_PATH, {QString::fromStdString(files[i])});
    const auto ended = [&starts] {
        return std::count_if(starts.begin(), starts.end(), [](const QProcess& p) { return p.state() == QProcess::NotRunning; });
    };
    PumpUntil([&] { return ended() != 0; }, 25000);
    RunningApp::Pump(1500);
    EXPECT_EQ(ended(), 1);
    QProcess* survivor = nullptr;
    for (QProcess& start : starts) {
        if (start.state() != QProcess::NotRunning)
            survivor = &start;
        else
            EXPECT_EQ(start.exitCode(), 0) << start.readAllStandardError().toStdString();
    }
    QProcess third;
    EXPECT_TRUE(RunToEnd(third, SPM_VIEWER_PATH, {QString::fromStdString(files[2])}));
    EXPECT_EQ(third.exitCode(), 0);
    // The one serving lists every file it opened among its recent files.
    EXPECT_EQ(RecentFilesOnceThey(files), files);
    for (QProcess& start : starts) {
        start.kill();
        start.waitForFinished();
    }
    EXPECT_NE(survivor, nullptr);
}

// --- the desktop's tools hang

// Fakes of the desktop's cache tools that write their table and then hang, first on PATH,
// and a data folder whose tables are missing: at a start both tools are due.
class HangingCacheTools : public testing::Test {
protected:
    void SetUp() override
    {
        std::filesystem::create_directory(bin);
        FakeCacheTools(bin, CacheTools::HangingAfterWriting, log);
        setenv("PATH", (bin.string() + ":" + m_path).c_str(), 1);
        setenv("XDG_DATA_HOME", share.c_str(), 1);
    }

    void TearDown() override
    {
        setenv("PATH", m_path.c_str(), 1);
        setenv("XDG_DATA_HOME", m_dataHome.c_str(), 1);
        // A program the test killed leaves its tool hanging.
        for (const pid_t pid : Hanging())
            if (FileText("/proc/" + std::to_string(pid) + "/cmdline").starts_with(m_sleep))
                kill(pid, SIGKILL);
    }

    // The processes of the tools that hung, in their order.
    std::vector<pid_t> Hanging() const
    {
        std::vector<pid_t> pids;
        for (const std::string& pid : FileLines(HangingLog(log)))
            pids.push_back(std::stoi(pid));
        return pids;
    }

    // Waits, serving events, until a tool hangs; false when none did within 15 s.
    bool WaitForAHang() const
    {
        return PumpUntil([this] { return !Hanging().empty(); }, 15000);
    }

    ScratchDir dir;
    const std::filesystem::path bin = dir / "bin";
    const std::filesystem::path log = dir / "runs";
    const std::filesystem::path share = dir / "share";

private:
    const std::string m_path = std::getenv("PATH");
    const std::string m_dataHome = std::getenv("XDG_DATA_HOME");
    const std::string m_sleep = QStandardPaths::findExecutable("sleep", {"/usr/bin", "/bin"}).toStdString();
};

// The main window shows while the types' tool hangs, and a quit meanwhile ends the tool at
// once; the table it wrote is dated back, so that the next start runs it again.
TEST_F(HangingCacheTools, NeitherTheStartNorTheQuitWaitsForThem)
{
    SPM_REQUIRE_DISPLAY();
    QElapsedTimer clock;
    clock.start();
    auto app = std::make_unique<RunningApp>();
    EXPECT_TRUE(app->MainFrame().isVisible());
    EXPECT_LT(clock.elapsed(), 3000);
    ASSERT_TRUE(WaitForAHang());
    ASSERT_EQ(FileLines(log), std::vector<std::string>{"update-mime-database"});
    const pid_t tool = Hanging().front();
    EXPECT_TRUE(ProcessThere(tool));

    clock.restart();
    app.reset();
    EXPECT_LT(clock.elapsed(), 2000);
    EXPECT_FALSE(ProcessThere(tool));
    EXPECT_EQ(Hanging().size(), 1u);   // the entries' tool never started
    // The types' table, written before the hang, is not taken for up to date.
    EXPECT_EQ(Tools(WriteShellFileTypes(share.string(), FromQtPath(QCoreApplication::applicationFilePath()))),
              (std::vector<std::string>{"update-mime-database", "update-desktop-database"}));
}

// Points the test program's own reading of the user's settings at `folder` while it lives.
class SettingsReadFrom {
public:
    explicit SettingsReadFrom(const QString& folder)
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    }
    ~SettingsReadFrom()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
    }
    SettingsReadFrom(const SettingsReadFrom&) = delete;
    SettingsReadFrom& operator=(const SettingsReadFrom&) = delete;
};

// The program with a file, its tools hanging: a second start with another file hands it over
// within seconds (it would give up after 20 s and run a program of its own), and the first
// program opens it.
TEST_F(HangingCacheTools, ASecondStartHandsItsFileOverWhileTheyRun)
{
    SPM_REQUIRE_DISPLAY();
    const std::vector<std::string> files{SampleCopy(dir, "a.spm"), SampleCopy(dir, "b.spm")};
    // Settings and socket of its own: the test program's socket is not the one it meets.
    const QTemporaryDir config;
    const ShortDir runtime;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config.path());
    env.insert("XDG_RUNTIME_DIR", runtime.dir.path());
    QProcess program;
    program.setProcessEnvironment(env);
    program.start(SPM_VIEWER_PATH, {QString::fromStdString(files[0])});
    // It took the lock to serve before it registered.
    ASSERT_TRUE(WaitForAHang());

    QProcess second;
    second.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(RunToEnd(second, SPM_VIEWER_PATH, {QString::fromStdString(files[1])}));
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();

    {
        const SettingsReadFrom settings(config.path());
        EXPECT_EQ(RecentFilesOnceThey(files), files);
    }
    EXPECT_EQ(program.state(), QProcess::Running);
    program.kill();
    program.waitForFinished();
}

// The desktop's own road: with the registration in place, the desktop's generic opener asks
// the MIME tables for the type of a *.007 file and starts the entry's program on it, which
// hands the file to the program running.
TEST(ShellOpen, TheDesktopsOpenerTypesANanoScopeFileAndOpensItInTheRunningProgram)
{
    SPM_REQUIRE_DISPLAY();
    SPM_REQUIRE_SAMPLES();
    for (const char* tool : {"xdg-open", "xdg-mime", "update-mime-database", "update-desktop-database"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            GTEST_SKIP() << tool << " is not installed (scripts/install-deps.sh installs it); skipping";
    ScratchDir dir;
    const std::filesystem::path file = dir / "scan.007";
    std::filesystem::copy_file(SamplePath("nanoscope-v432-height-amplitude.007"), file);
    RunningApp app;
    // The test program registered itself at start; the desktop is to start the real one.
    ASSERT_FALSE(RegisterAndUpdateTables(UserDataHome(), SPM_VIEWER_PATH).failed);
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
    EXPECT_EQ(app.ActiveTitle().find("scan.007"), std::string::npos);
    QProcess again;
    run("xdg-open", {QString::fromStdString(file.string())}, again);
    RunningApp::Pump(100);
    EXPECT_EQ(app.MainFrame().DocManager().Documents().size(), 2u);
    EXPECT_EQ(app.FrameTitles().size(), frames);
    EXPECT_NE(app.ActiveTitle().find("scan.007"), std::string::npos);
}

} // namespace

// Last: Xlib's macros (None, Status, Bool) would break the headers above.
#include <X11/Xlib.h>

namespace {

bool StacksAbove(const QWidget& upper, const QWidget& lower)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    const Window root = DefaultRootWindow(display);
    Window rootReturned = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    // The child of the root that holds a window: the window, or a window manager's frame.
    const auto topLevel = [&](Window window) {
        while (XQueryTree(display, window, &rootReturned, &parent, &children, &count) != 0) {
            if (children != nullptr)
                XFree(children);
            if (parent == root || parent == 0)
                break;
            window = parent;
        }
        return window;
    };
    const Window above = topLevel(static_cast<Window>(upper.winId()));
    const Window below = topLevel(static_cast<Window>(lower.winId()));
    long abovePlace = -1;
    long belowPlace = -1;
    if (XQueryTree(display, root, &rootReturned, &parent, &children, &count) != 0) {
        // Bottom first.
        for (unsigned i = 0; i < count; ++i) {
            abovePlace = children[i] == above ? i : abovePlace;
            belowPlace = children[i] == below ? i : belowPlace;
        }
        if (children != nullptr)
            XFree(children);
    }
    XCloseDisplay(display);
    return belowPlace >= 0 && abovePlace > belowPlace;
}

} // namespace
