#include "app/ShellRegistration.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

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
// An update of the desktop's caches that hangs must not hold the start for long.
constexpr int kToolTimeoutMs = 10000;

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

// Runs a cache tool when it is installed; what it says or whether it works changes nothing.
void RunIfInstalled(const char* tool, const std::filesystem::path& folder)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return;
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program, {ToQtPath(folder.string())});
    if (process.waitForStarted() && !process.waitForFinished(kToolTimeoutMs))
        process.kill();
    process.waitForFinished(1000);
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

RegistrationResult RegisterShellFileTypes(const std::string& dataHome, const std::string& executable)
{
    RegistrationResult result;
    if (dataHome.empty())
        return result;
    const std::filesystem::path root(dataHome);
    const std::filesystem::path mime = root / "mime";
    const std::filesystem::path applications = root / "applications";
    result.mimeWritten = WriteIfChanged(mime / "packages" / (std::string(kDesktopName) + ".xml"),
                                        MimePackageText(), result.failed);
    if (const std::optional<std::string> entry = DesktopEntryText(executable))
        result.entryWritten = WriteIfChanged(applications / (std::string(kDesktopName) + ".desktop"),
                                             *entry, result.failed);
    else
        result.failed = true;
    if (const std::string icon = ResourceText(kAppIcon); !icon.empty())
        WriteIfChanged(root / "icons" / "hicolor" / "scalable" / "apps" / (std::string(kDesktopName) + ".svg"),
                       icon, result.failed);
    if (result.mimeWritten)
        RunIfInstalled("update-mime-database", mime);
    if (result.entryWritten)
        RunIfInstalled("update-desktop-database", applications);
    return result;
}
