#include "platform/qt/CommandRegistry.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace {

// Menu texts carry their shortcut after a tab ("&Open Doc.\tCtrl+O").
std::pair<QString, QString> SplitShortcut(const std::string& text)
{
    const QString whole = QString::fromStdString(text);
    const qsizetype tab = whole.indexOf('\t');
    if (tab < 0)
        return {whole, {}};
    return {whole.left(tab), whole.mid(tab + 1)};
}

constexpr int kIdleUpdateMs = 200;

// What a tooltip and the status bar show of a menu text: no mnemonics, single blanks.
QString PlainText(const QString& label)
{
    QString plain;
    for (qsizetype i = 0; i < label.size(); ++i) {
        if (label[i] == '&' && i + 1 < label.size())
            ++i;   // "&&" stands for one "&"
        plain += label[i];
    }
    return plain.simplified();
}

} // namespace

CCommandRegistry::CCommandRegistry(QObject* parent) : QObject(parent)
{
    m_idleTimer.setInterval(kIdleUpdateMs);
    connect(&m_idleTimer, &QTimer::timeout, this, &CCommandRegistry::UpdateAll);
    m_idleTimer.start();
}

QAction* CCommandRegistry::Define(int id, const std::string& text)
{
    auto [label, keys] = SplitShortcut(text);
    QAction*& action = m_actions[id];
    if (action == nullptr) {
        action = new QAction(this);
        action->setData(id);
        connect(action, &QAction::triggered, this, [this, id] { Execute(id); });
    }
    if (!label.isEmpty())
        SetText(action, label);
    if (!keys.isEmpty()) {
        action->setShortcut(QKeySequence(keys));
        action->setShortcutContext(Qt::ApplicationShortcut);
    }
    return action;
}

void CCommandRegistry::SetText(QAction* action, const QString& label)
{
    action->setText(label);
    const QString plain = PlainText(label);
    action->setToolTip(plain);
    action->setStatusTip(plain);
}

QAction* CCommandRegistry::Action(int id) const
{
    const auto found = m_actions.find(id);
    return found == m_actions.end() ? nullptr : found->second;
}

void CCommandRegistry::AddShortcut(int id, const QString& keys)
{
    if (QAction* action = Action(id)) {
        QList<QKeySequence> shortcuts = action->shortcuts();
        shortcuts.append(QKeySequence(keys));
        action->setShortcuts(shortcuts);
    }
}

bool CCommandRegistry::Execute(int id)
{
    if (!m_route)
        return false;
    // A disabled command does not run, even when a shortcut or a test asks for it.
    if (!Query(id).m_bEnabled)
        return false;
    for (CCmdTarget* target : m_route()) {
        const CommandHandler* handler = target != nullptr ? target->FindCommand(id) : nullptr;
        if (handler != nullptr && handler->run) {
            // The handler may close the object that holds it: run a copy.
            const std::function<void()> run = handler->run;
            run();
            UpdateAll();
            emit commandExecuted(id);
            return true;
        }
    }
    return false;
}

CCmdUI CCommandRegistry::Query(int id) const
{
    CCmdUI ui(id);
    if (m_route) {
        for (CCmdTarget* target : m_route()) {
            const CommandHandler* handler = target != nullptr ? target->FindCommand(id) : nullptr;
            if (handler == nullptr)
                continue;
            if (handler->update)
                handler->update(ui);
            return ui;
        }
    }
    ui.m_bEnabled = false;
    return ui;
}

void CCommandRegistry::Apply(int id, QAction* action) const
{
    const CCmdUI ui = Query(id);
    action->setEnabled(ui.m_bEnabled);
    if (ui.m_bCheckable || action->isCheckable()) {
        action->setCheckable(true);
        action->setChecked(ui.m_bChecked);
    }
}

void CCommandRegistry::UpdateAll()
{
    for (const auto& [id, action] : m_actions)
        Apply(id, action);
}

void CCommandRegistry::WatchMenu(QMenu* menu)
{
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        for (QAction* action : menu->actions())
            if (action->data().isValid())
                Apply(action->data().toInt(), action);
    });
}
