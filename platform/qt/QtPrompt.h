// The prompt with real dialogs: message boxes, the framework's question, file and colour
// dialogs, and whatever dialog widgets the application registers for its models.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <typeindex>

#include "platform/core/Prompt.h"

class QWidget;

class CQtPrompt : public IPrompt {
public:
    // `title` is the caption of message boxes; `parent` (may be null) owns the dialogs that
    // come while no window of the program is active or modal.
    explicit CQtPrompt(std::string title, QWidget* parent = nullptr);
    ~CQtPrompt() override;

    void SetParent(QWidget* parent) { m_pParent = parent; }
    // File dialogs start in the folder of the file chosen last. With this, that folder is
    // also kept in the settings of `organisation`/`application` for the next run.
    void KeepLastFolder(std::string organisation, std::string application);

    void Message(const std::string& text) override;
    bool RunDialog(IDialogModel& dialog) override;

    // Shows models of type Model with `run` (true for OK).
    template <class Model>
    void Register(std::function<bool(Model&, QWidget*)> run)
    {
        m_runners[std::type_index(typeid(Model))] = [run](IDialogModel& model, QWidget* parent) {
            return run(static_cast<Model&>(model), parent);
        };
    }

private:
    // The window a prompt shown now belongs to: the modal window in front, else the active
    // window, else the parent given.
    QWidget* Owner() const;

    std::string m_strTitle;
    QWidget* m_pParent;
    IPrompt* m_pPrevious;
    std::string m_strLastFolder;
    std::string m_strOrganisation;
    std::string m_strApplication;
    std::map<std::type_index, std::function<bool(IDialogModel&, QWidget*)>> m_runners;
};
