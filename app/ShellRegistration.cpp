#include "app/ShellRegistration.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/core/AtomicFile.h"

namespace {

constexpr const char* kAppIcon = ":/icons/app.svg";
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
    process.start(program, {QString::fromStdString(folder.string())});
    if (process.waitForStarted() && !process.waitForFinished(kToolTimeoutMs))
        process.kill();
    process.waitForFinished(1000);
}

} // namespace

std::optional<std::string> DesktopExecArgument(const std::string& argument)
{
    // Within double quotes a launcher wants `"`, `` ` ``, `$` and `\` each after a backslash;
    // the value as a whole then doubles every backslash once more, and `%` starts a field code
    // unless doubled. So `$` is written `\\$` and a backslash as four.
    std::string quoted = "\"";
    for (const char c : argument) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return std::nullopt;
        if (c == '"' || c == '`' || c == '$')
            quoted += "\\\\";
        else if (c == '\\')
            quoted += "\\\\\\";   // with the character itself: four
        else if (c == '%')
            quoted += '%';
        quoted += c;
    }
    return quoted + "\"";
}

std::optional<std::string> DesktopEntryText(const std::string& executable)
{
    const std::optional<std::string> exec = DesktopExecArgument(executable);
    if (!exec)
        return std::nullopt;
    return std::string("[Desktop Entry]\n"
                       "Type=Application\n"
                       "Name=Quintara\n"
                       "GenericName=SPM Image Viewer\n"
                       "Comment=View and process scanning probe microscope height images\n"
                       "Exec=") + *exec + " %F\n"
           "Icon=" + kDesktopName + "\n"
           "Terminal=false\n"
           "Categories=Graphics;Viewer;Science;\n"
           "MimeType=" + kDocumentMimeType + ";\n";
}

std::string MimePackageText()
{
    return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                       "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
                       "  <mime-type type=\"") + kDocumentMimeType + "\">\n"
           "    <comment>SPM Document</comment>\n"
           "    <generic-icon name=\"image-x-generic\"/>\n"
           "    <glob pattern=\"*.spm\"/>\n"
           "    <glob pattern=\"*.[0-9][0-9][0-9]\"/>\n"
           "    <glob pattern=\"*.mdt\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
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
    QFile icon(kAppIcon);
    if (icon.open(QIODevice::ReadOnly))
        WriteIfChanged(root / "icons" / "hicolor" / "scalable" / "apps" / (std::string(kDesktopName) + ".svg"),
                       icon.readAll().toStdString(), result.failed);
    if (result.mimeWritten)
        RunIfInstalled("update-mime-database", mime);
    if (result.entryWritten)
        RunIfInstalled("update-desktop-database", applications);
    return result;
}
