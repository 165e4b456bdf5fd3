#include "app/ShellRegistration.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/core/AtomicFile.h"
#include "platform/qt/QtPath.h"

namespace {

constexpr const char* kAppIcon = ":/icons/app.svg";
// The files a system install puts in place as well (see the install rules).
constexpr const char* kEntryTemplate = ":/desktop/spmviewer.desktop.in";
constexpr const char* kMimePackage = ":/desktop/spmviewer.xml";
constexpr const char* kExecField = "@SPM_EXEC@";
// How long a killed tool is waited for, to collect it: it ends at once.
constexpr int kReapMs = 1000;

// Writes `text` to `path` unless it holds exactly that already; true when it wrote.
bool WriteIfChanged(const std::filesystem::path& path, const std::string& text, bool& failed)
{
    std::string current;
    if (ReadWholeFile(path.string(), current) == FileReadResult::Read && current == text)
        return false;
    std::error_code error;
    std::filesystem::create_directories(path.parent_path(), error);
    if (error || !WriteFileAtomically(path.string(), text)) {
        failed = true;
        return false;
    }
    return true;
}

// Whether the desktop's table `table` is missing or older than `source`, which is then still
// to be taken in. A table rebuilt since for another program's files has taken ours in as well.
// Times alike count as up to date: a tool run right after a write may end within the same
// tick of the file system's clock.
bool TableBehind(const std::filesystem::path& table, const std::filesystem::path& source)
{
    std::error_code error;
    const std::filesystem::file_time_type sourceTime = std::filesystem::last_write_time(source, error);
    if (error)
        return false;   // nothing of ours to take in
    const std::filesystem::file_time_type tableTime = std::filesystem::last_write_time(table, error);
    return error || tableTime < sourceTime;
}

// Whether the desktop's table of entries by type ("type=a.desktop;b.desktop;" lines) names
// `entry`: a table newer than the entry can still leave it out, rebuilt from elsewhere or at a
// moment the entry could not be read.
bool TableNamesEntry(const std::filesystem::path& table, const std::string& entry)
{
    std::string text;
    if (ReadWholeFile(table.string(), text) != FileReadResult::Read)
        return false;
    for (std::size_t at = text.find(entry); at != std::string::npos; at = text.find(entry, at + 1)) {
        const std::size_t end = at + entry.size();
        if (at > 0 && (text[at - 1] == '=' || text[at - 1] == ';') && end < text.size() && text[end] == ';')
            return true;
    }
    return false;
}

// A run that failed or was cut short may have written the table all the same: dated just
// before our file, the table is rebuilt at the next start, while a run that works dates it
// anew. Dating the table back, rather than our file forward, lets the next run's table count
// as up to date even when written within the same tick.
void DateBack(const TableUpdate& update)
{
    if (TableBehind(update.table, update.source))
        return;
    std::error_code error;
    const std::filesystem::file_time_type sourceTime = std::filesystem::last_write_time(update.source, error);
    if (!error)
        std::filesystem::last_write_time(update.table, sourceTime - std::chrono::nanoseconds(1), error);
}

// The update of `table` from the files in `folder`, among them `source`, when its tool is
// installed.
void AddUpdate(std::vector<TableUpdate>& updates, const char* tool, const std::filesystem::path& folder,
               const std::filesystem::path& table, const std::filesystem::path& source)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (!program.isEmpty())
        updates.push_back({FromQtPath(program), folder, table, source});
}

std::string ResourceText(const char* name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : std::string();
}

} // namespace

std::optional<std::string> DesktopExecArgument(const std::string& argument)
{
    // A launcher takes an argument free of reserved characters as it stands; the generic
    // xdg-open even takes no other. Otherwise it goes within double quotes, where a launcher
    // wants `"`, `` ` ``, `$` and `\` each after a backslash, and the value as a whole then
    // doubles every backslash once more: `$` is written `\\$` and a backslash as four. `%`
    // starts a field code unless doubled, quoted or not.
    constexpr std::string_view reserved = " '\"\\><~|&;$*?#()`";
    const bool quote = argument.find_first_of(reserved) != std::string::npos;
    std::string written = quote ? "\"" : "";
    for (const char c : argument) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return std::nullopt;
        if (c == '"' || c == '`' || c == '$')
            written += "\\\\";
        else if (c == '\\')
            written += "\\\\\\";   // with the character itself: four
        else if (c == '%')
            written += '%';
        written += c;
    }
    return quote ? written + "\"" : written;
}

std::optional<std::string> DesktopEntryText(const std::string& executable)
{
    const std::optional<std::string> exec = DesktopExecArgument(executable);
    if (!exec)
        return std::nullopt;
    // The same template as the installed entry, which names the installed program.
    std::string text = ResourceText(kEntryTemplate);
    const std::size_t at = text.find(kExecField);
    if (at == std::string::npos)
        return std::nullopt;
    return text.replace(at, std::string_view(kExecField).size(), *exec);
}

std::string MimePackageText()
{
    return ResourceText(kMimePackage);
}

std::string UserDataHome()
{
    // A relative $XDG_DATA_HOME is to be ignored, as if it were not set.
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome != nullptr && dataHome[0] == '/')
        return dataHome;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/')
        return (std::filesystem::path(home) / ".local" / "share").string();
    return {};
}

RegistrationResult WriteShellFileTypes(const std::string& dataHome, const std::string& executable)
{
    RegistrationResult result;
    if (dataHome.empty())
        return result;
    const std::filesystem::path root(dataHome);
    const std::filesystem::path mime = root / "mime";
    const std::filesystem::path applications = root / "applications";
    const std::filesystem::path package = mime / "packages" / (std::string(kDesktopName) + ".xml");
    const std::filesystem::path entryFile = applications / (std::string(kDesktopName) + ".desktop");
    result.mimeWritten = WriteIfChanged(package, MimePackageText(), result.failed);
    if (const std::optional<std::string> entry = DesktopEntryText(executable))
        result.entryWritten = WriteIfChanged(entryFile, *entry, result.failed);
    else
        result.failed = true;
    if (const std::string icon = ResourceText(kAppIcon); !icon.empty())
        WriteIfChanged(root / "icons" / "hicolor" / "scalable" / "apps" / (std::string(kDesktopName) + ".svg"),
                       icon, result.failed);
    // Not only after a write: a tool installed since, or one that failed at an earlier start,
    // is to bring the tables up to date at this one. mime.cache is the table the desktop's
    // libraries read, written last but for the version stamp.
    const std::filesystem::path types = mime / "mime.cache";
    if (result.mimeWritten || TableBehind(types, package))
        AddUpdate(result.updates, "update-mime-database", mime, types, package);
    const std::filesystem::path entries = applications / "mimeinfo.cache";
    if (result.entryWritten || TableBehind(entries, entryFile)
        || (std::filesystem::exists(entryFile) && !TableNamesEntry(entries, entryFile.filename().string())))
        AddUpdate(result.updates, "update-desktop-database", applications, entries, entryFile);
    return result;
}

CDesktopTableUpdater::CDesktopTableUpdater(std::vector<TableUpdate> updates, std::chrono::milliseconds limit,
                                           QObject* parent)
    : QObject(parent), m_updates(std::move(updates))
{
    m_limit.setSingleShot(true);
    m_limit.setInterval(limit);
    // Ends in `finished` once the tool is gone, as any failed run does.
    connect(&m_limit, &QTimer::timeout, this, [this] {
        if (m_pRun != nullptr)
            m_pRun->kill();
    });
}

CDesktopTableUpdater::~CDesktopTableUpdater()
{
    if (m_pRun != nullptr) {
        m_pRun->disconnect(this);
        // SIGKILL ends it at once: this only collects it.
        m_pRun->kill();
        m_pRun->waitForFinished(kReapMs);
    }
    // A run not made yet can be due for a table that only its contents show behind (our
    // entry left out): dated back, it is made at the next start whatever the table holds.
    for (std::size_t i = m_nCurrent; i < m_updates.size(); ++i)
        DateBack(m_updates[i]);
}

void CDesktopTableUpdater::Start()
{
    RunNext();
}

void CDesktopTableUpdater::RunNext()
{
    if (Done()) {
        emit Finished();
        return;
    }
    const TableUpdate& update = m_updates[m_nCurrent];
    m_pRun = new QProcess(this);
    // What a tool says changes nothing.
    m_pRun->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_pRun->setStandardOutputFile(QProcess::nullDevice());
    connect(m_pRun, &QProcess::finished, this, [this](int code, QProcess::ExitStatus status) {
        EndRun(status == QProcess::NormalExit && code == 0);
    });
    // A crash ends in `finished` as well; a tool that never started does not.
    connect(m_pRun, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            EndRun(false);
    });
    m_limit.start();
    m_pRun->start(ToQtPath(update.program.string()), {ToQtPath(update.folder.string())});
}

void CDesktopTableUpdater::EndRun(bool succeeded)
{
    m_limit.stop();
    m_pRun->disconnect(this);
    // Not from within its own signal, nor from within start(), which may report a failure.
    m_pRun->deleteLater();
    m_pRun = nullptr;
    if (!succeeded)
        DateBack(m_updates[m_nCurrent]);
    ++m_nCurrent;
    QMetaObject::invokeMethod(this, &CDesktopTableUpdater::RunNext, Qt::QueuedConnection);
}
