#include "platform/qt/QtPrompt.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>

#include "platform/core/DialogModels.h"
#include "platform/core/PathText.h"
#include "platform/qt/DisplayText.h"
#include "platform/qt/QtPath.h"

namespace {

bool RunQuestion(CQuestionBox& box, QWidget* parent, const QString& title)
{
    const auto answer = QMessageBox::question(parent, title, DisplayText(box.m_strText),
                                              QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                              QMessageBox::Yes);
    box.m_answer = answer == QMessageBox::Yes  ? CQuestionBox::Answer::Yes
                 : answer == QMessageBox::No   ? CQuestionBox::Answer::No
                                               : CQuestionBox::Answer::Cancel;
    return box.m_answer == CQuestionBox::Answer::Yes;
}

// "Label (p1 p2 ...)": Qt takes the patterns from the last parentheses and shows the label.
QStringList NameFilters(const CFileDialogModel& model)
{
    QStringList filters;
    for (const FileTypeChoice& type : model.m_types) {
        QStringList patterns;
        for (const std::string& pattern : type.m_patterns)
            patterns << DisplayText(pattern);
        filters << DisplayText(type.m_strLabel) + " (" + patterns.join(' ') + ")";
    }
    return filters;
}

constexpr const char* kLastFolderKey = "Settings/LastFolder";

// The entry of the type the dialog shows: Qt names it by the whole filter, or by its label
// alone while it hides the patterns; either way the first entry when none matches.
std::size_t SelectedType(const QFileDialog& dialog, const CFileDialogModel& model, const QStringList& filters)
{
    const QString selected = dialog.selectedNameFilter();
    for (std::size_t type = 0; type < model.m_types.size(); ++type)
        if (selected == filters.value(static_cast<qsizetype>(type)) ||
            selected == DisplayText(model.m_types[type].m_strLabel))
            return type;
    return 0;
}

// A file dialog whose names get the extension the program adds for the type selected when
// the user accepts, however the type was chosen, before the dialog checks that the file
// exists (open) or asks whether to replace it (save): both concern the file the program then
// reads or writes, never a file of the name typed.
class CTypedFileDialog : public QFileDialog {
public:
    CTypedFileDialog(const CFileDialogModel& model, const QStringList& filters, QWidget* parent)
        : QFileDialog(parent, DisplayText(model.m_strTitle)), m_model(model), m_filters(filters) {}

    void accept() override
    {
        const std::size_t type = SelectedType(*this, m_model, m_filters);
        setDefaultSuffix(QString::fromStdString(m_model.DefaultSuffix(type)));
        const QStringList files = selectedFiles();
        const QString named = files.size() == 1 && !QFileInfo(files.front()).isDir()
                                  ? ToQtPath(m_model.WithExtension(FromQtPath(files.front()), type))
                                  : QString();
        if (named.isEmpty() || named == files.front()) {
            QFileDialog::accept();
        } else if (acceptMode() == AcceptOpen) {
            // The list selects a file of the bare name while the name is typed: that one
            // would be checked in the named file's stead.
            selectFile(named);
            QFileDialog::accept();
        } else if (!QFileInfo::exists(named) || ConfirmReplace(named)) {
            // The dialog's own question would concern the name typed; the model completes
            // that name again as the dialog hands it back.
            setOption(DontConfirmOverwrite, true);
            QFileDialog::accept();
            setOption(DontConfirmOverwrite, false);
        }
    }

private:
    // The dialog's own question, about the file that will be written.
    bool ConfirmReplace(const QString& path)
    {
        const QString text = tr("%1 already exists.\nDo you want to replace it?").arg(QFileInfo(path).fileName());
        return QMessageBox::warning(this, windowTitle(), text, QMessageBox::Yes | QMessageBox::No, QMessageBox::No) ==
               QMessageBox::Yes;
    }

    const CFileDialogModel& m_model;
    const QStringList& m_filters;
};

bool RunFileDialog(CFileDialogModel& model, QWidget* parent, std::string& lastFolder)
{
    const QStringList filters = NameFilters(model);
    CTypedFileDialog dialog(model, filters, parent);
    // Every file dialog starts where the user chose a file last, whichever dialog that was.
    if (!lastFolder.empty() && QFileInfo(ToQtPath(lastFolder)).isDir())
        dialog.setDirectory(ToQtPath(lastFolder));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setAcceptMode(model.m_bOpen ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(model.m_bOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters(filters);
    if (model.m_nType < static_cast<std::size_t>(filters.size()))
        dialog.selectNameFilter(filters[static_cast<qsizetype>(model.m_nType)]);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    model.Choose(FromQtPath(dialog.selectedFiles().front()), SelectedType(dialog, model, filters));
    if (model.m_strPath.empty())
        return false;
    lastFolder = FromQtPath(QFileInfo(ToQtPath(model.m_strPath)).absolutePath());
    return true;
}

// COLORREF keeps red in the low byte.
bool RunColorDialog(CColorDialogModel& model, QWidget* parent)
{
    const QColor initial(model.m_color & 0xFF, (model.m_color >> 8) & 0xFF, (model.m_color >> 16) & 0xFF);
    const QColor chosen = QColorDialog::getColor(initial, parent);
    if (!chosen.isValid())
        return false;
    model.m_color = static_cast<std::uint32_t>(chosen.red()) |
                    static_cast<std::uint32_t>(chosen.green()) << 8 |
                    static_cast<std::uint32_t>(chosen.blue()) << 16;
    return true;
}

} // namespace

CQtPrompt::CQtPrompt(std::string title, QWidget* parent)
    : m_strTitle(std::move(title)), m_pParent(parent), m_pPrevious(SetPrompt(this))
{
    const QString caption = DisplayText(m_strTitle);
    Register<CQuestionBox>([caption](CQuestionBox& box, QWidget* p) { return RunQuestion(box, p, caption); });
    Register<CFileDialogModel>([this](CFileDialogModel& model, QWidget* p) {
        const std::string before = m_strLastFolder;
        const bool chosen = RunFileDialog(model, p, m_strLastFolder);
        if (m_strLastFolder != before && !m_strOrganisation.empty())
            QSettings(QString::fromStdString(m_strOrganisation), QString::fromStdString(m_strApplication))
                .setValue(kLastFolderKey, ToPathSetting(m_strLastFolder));
        return chosen;
    });
    Register<CColorDialogModel>(&RunColorDialog);
}

CQtPrompt::~CQtPrompt()
{
    SetPrompt(m_pPrevious);
}

void CQtPrompt::KeepLastFolder(std::string organisation, std::string application)
{
    m_strOrganisation = std::move(organisation);
    m_strApplication = std::move(application);
    const QSettings settings(QString::fromStdString(m_strOrganisation), QString::fromStdString(m_strApplication));
    m_strLastFolder = FromPathSetting(settings.value(kLastFolderKey));
}

QWidget* CQtPrompt::Owner() const
{
    // A message or a file dialog belongs to the window that asked: a modal dialog (the
    // Fourier tool, a file dialog) keeps it in front of itself, where the main window would
    // be raised over that dialog with it.
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr && !active->windowFlags().testFlag(Qt::Popup) &&
        active->windowType() != Qt::ToolTip)
        return active;
    return m_pParent;
}

void CQtPrompt::Message(const std::string& text)
{
    QMessageBox::warning(Owner(), DisplayText(m_strTitle), DisplayText(text));
}

bool CQtPrompt::RunDialog(IDialogModel& dialog)
{
    const auto found = m_runners.find(std::type_index(typeid(dialog)));
    if (found == m_runners.end())
        return false;
    return found->second(dialog, Owner());
}
