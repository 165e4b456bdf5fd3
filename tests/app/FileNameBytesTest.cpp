// Files whose names are not UTF-8 (a Latin-1 "H\xF6he.spm" on a UTF-8 system): their paths
// keep every byte on the way through Qt, so such a file opens from the command line, from a
// second start, from the recent files and by a drop, and saves back under its own name.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <filesystem>
#include <optional>
#include <random>
#include <set>

#include "AppTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "image/HeaderTextCoding.h"
#include "platform/core/PathText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/QtPath.h"
#include "platform/qt/RecentFileList.h"

extern char** environ;

namespace {

const char* const kOrganisation = "Local AppWizard-Generated Applications";
const char* const kApplication = "Quintara";

// Paths of every kind of byte sequence: UTF-8, Latin-1, broken and overlong sequences, an
// encoded surrogate, a character beyond the 16-bit plane beside a stray byte.
const std::vector<std::string> kPaths{
    "/data/scan.spm",
    "/d\xC3\xBC/\xC3\x9F.mdt",
    "/data/H\xF6he.spm",
    "/\xC3\xA4\xF6\xC3\xA4",
    "/\x80\xBF\xFF\xFE",
    "/\xE2\x82/\xE2\x82\xAC",
    "/\xC0\xAF\xC1\xBF",
    "/\xED\xA0\x80\xED\xBF\xBF",
    "/\xF0\x9F\x98\x80\xF6\xF0\x90\x82\x80\xDC",
    "/\xF4\x90\x80\x80",
    "",
};

TEST(QtPath, EveryPathComesBackByteForByte)
{
    for (const std::string& path : kPaths)
        EXPECT_EQ(FromQtPath(ToQtPath(path)), path) << path;
    std::mt19937 random(24);
    std::uniform_int_distribution<int> byte(1, 255);
    for (int n = 0; n < 2000; ++n) {
        std::string path(static_cast<std::size_t>(n % 23), ' ');
        for (char& c : path)
            c = static_cast<char>(byte(random));
        ASSERT_EQ(FromQtPath(ToQtPath(path)), path) << n;
    }
}

// A UTF-8 path is the text Qt itself makes of it, so the names Qt hands over (a file
// dialog's) read as before, and the two forms name one file.
TEST(QtPath, AUtf8PathIsTheTextQtMakesOfIt)
{
    for (const std::string& path : kPaths) {
        if (!IsValidUtf8(path))
            continue;   // Qt's own form loses bytes
        const QString qt = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
        EXPECT_EQ(ToQtPath(path), qt) << path;
        EXPECT_EQ(FromQtPath(qt), path) << path;
    }
    EXPECT_EQ(ToQtPath("/data/H\xF6he.spm"), QString("/data/H") + QChar(0xDCF6) + "he.spm");
}

// Settings written by one program and read by the next: a copy of the file has to be read,
// as a program keeps what it wrote itself.
TEST(QtPath, SettingsFilesKeepEveryPath)
{
    QTemporaryDir dir;
    const QString written = dir.filePath("written.ini");
    const QString copy = dir.filePath("copy.ini");
    {
        QSettings settings(written, QSettings::IniFormat);
        for (std::size_t i = 0; i < kPaths.size(); ++i)
            settings.setValue(QString("File%1").arg(i), ToPathSetting(kPaths[i]));
    }
    ASSERT_TRUE(QFile::copy(written, copy));
    QSettings settings(copy, QSettings::IniFormat);
    for (std::size_t i = 0; i < kPaths.size(); ++i)
        EXPECT_EQ(FromPathSetting(settings.value(QString("File%1").arg(i))), kPaths[i]) << kPaths[i];
    // A UTF-8 path stays readable text, as older settings files hold it.
    EXPECT_EQ(settings.value("File1").typeId(), QMetaType::QString);
    EXPECT_EQ(FromPathSetting(QString::fromUtf8("/d\xC3\xBC.spm")), "/d\xC3\xBC.spm");
}

TEST(QtPath, DroppedFilesUrlsGiveTheirNamesBytes)
{
    const struct {
        const char* url;
        const char* path;     // empty: not a local file
    } cases[] = {
        {"file:///data/H%F6he.spm", "/data/H\xF6he.spm"},
        {"file:///d%C3%BC/a%20b%23%25.mdt", "/d\xC3\xBC/a b#%.mdt"},
        {"file:///d\xC3\xBC/x.spm", "/d\xC3\xBC/x.spm"},
        {"http://host/a.spm", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FromLocalFileUrl(QUrl::fromEncoded(c.url)), c.path) << c.url;
    for (const std::string& path : kPaths) {
        if (!path.empty() && IsValidUtf8(path)) {
            EXPECT_EQ(FromLocalFileUrl(QUrl::fromLocalFile(QString::fromUtf8(path.c_str()))), path) << path;
        }
    }
}

// The document's identity: a path as Qt made it absolute before is the same path.
TEST(QtPath, AbsolutePathsAgreeWithQtsForUtf8Names)
{
    for (const char* path : {"a.spm", "./x/../a.spm", "/tmp//a.spm", "/tmp/./d\xC3\xBC/../a.spm", "sub/dir/", "/"})
        EXPECT_EQ(AbsolutePath(path), QFileInfo(QString::fromUtf8(path)).absoluteFilePath().toStdString()) << path;
}

// --- the program with such a file

// Starts `program` with `arguments` as they are: QProcess would pass them as UTF-8.
pid_t SpawnWithBytes(const std::string& program, const std::vector<std::string>& arguments)
{
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
}

// The exit code of `pid` once it ends within `ms`, events running meanwhile; none when it
// runs on.
std::optional<int> WaitForEnd(pid_t pid, int ms)
{
    QElapsedTimer clock;
    clock.start();
    do {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        RunningApp::Pump(20);
    } while (clock.elapsed() < ms);
    return std::nullopt;
}

void Stop(pid_t pid)
{
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

std::vector<std::string> OpenPaths(RunningApp& app)
{
    std::vector<std::string> paths;
    for (const auto& doc : app.MainFrame().DocManager().Documents())
        paths.push_back(doc->GetPathName());
    return paths;
}

// The files of a folder, by name.
std::set<std::string> FilesIn(const ScratchDir& dir)
{
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        names.insert(entry.path().filename().string());
    return names;
}

constexpr const char* kLatin1Name = "H\xF6he.spm";

// The program started with the file opens it, and its recent files, which the next run reads,
// name it.
TEST(FileNameBytes, AFileOpensFromTheCommandLineAndJoinsTheRecentFiles)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string file = SampleCopy(dir, kLatin1Name);
    QSettings(kOrganisation, kApplication).clear();
    const pid_t program = SpawnWithBytes(SPM_VIEWER_PATH, {file});
    ASSERT_GT(program, 0);
    std::vector<std::string> recent;
    PumpUntil(
        [&recent] {
            CRecentFileList list(kOrganisation, kApplication, 6);
            list.ReadList();
            recent = list.Entries();
            return !recent.empty();
        },
        20000);
    Stop(program);
    EXPECT_EQ(recent, std::vector<std::string>{file});
    EXPECT_EQ(FilesIn(dir), std::set<std::string>{kLatin1Name});
}

TEST(FileNameBytes, ASecondStartHandsTheFileOverUnderItsName)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string file = SampleCopy(dir, kLatin1Name);
    RunningApp app;
    const pid_t second = SpawnWithBytes(SPM_VIEWER_PATH, {file});
    ASSERT_GT(second, 0);
    const std::optional<int> exit = WaitForEnd(second, 25000);
    if (!exit)
        Stop(second);
    EXPECT_EQ(exit, 0) << "the second start did not hand its file over";
    RunningApp::Pump(200);
    EXPECT_EQ(OpenPaths(app), std::vector<std::string>{file});
    EXPECT_TRUE(app.Prompt().messages.empty());
}

// Opened from the recent files, the file shows its name readably and saves back into itself.
TEST(FileNameBytes, AFileOpensFromTheRecentFilesAndSavesBackUnderItsName)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string file = SampleCopy(dir, kLatin1Name);
    RunningApp app;
    CRecentFileList& recent = app.MainFrame().DocManager().RecentFiles();
    recent.Add(file);
    recent.WriteList();
    recent.ReadList();
    ASSERT_EQ(recent.Entries(), std::vector<std::string>{file});
    ASSERT_TRUE(app.Run(cmd::kFileMru1));
    EXPECT_EQ(OpenPaths(app), std::vector<std::string>{file});
    EXPECT_NE(app.ActiveTitle().find("H\xC3\xB6he.spm"), std::string::npos) << app.ActiveTitle();

    const std::vector<std::uint8_t> before = FileBytes(file);
    ASSERT_TRUE(app.Run(cmd::kFlattenXY));
    ASSERT_TRUE(app.Run(cmd::kFileSave));
    EXPECT_NE(FileBytes(file), before);
    EXPECT_FALSE(app.ActiveDoc().Doc().IsModified(*app.ActiveDoc().Doc().ImageList().front().m_pImage));
    EXPECT_EQ(FilesIn(dir), std::set<std::string>{kLatin1Name});
    EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{});
}

TEST(FileNameBytes, ADroppedFileOpensUnderItsName)
{
    SPM_REQUIRE_DISPLAY();
    ScratchDir dir;
    const std::string dropped = SampleCopy(dir, "dropped-\xE9.spm");
    RunningApp app;
    const QByteArray url = "file://" + QByteArray::fromStdString(dropped).toPercentEncoding("/");
    app.MainFrame().OpenDroppedFiles(QList<QUrl>{QUrl::fromEncoded(url)});
    EXPECT_EQ(OpenPaths(app), std::vector<std::string>{dropped});
    EXPECT_EQ(app.Prompt().messages, std::vector<std::string>{});
}

} // namespace
