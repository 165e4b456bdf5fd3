#include "platform/qt/CmdTarget.h"

#include <utility>

void CCmdTarget::OnCommand(int id, std::function<void()> run, std::function<void(CCmdUI&)> update)
{
    m_commands[id] = {std::move(run), std::move(update)};
}

void CCmdTarget::OnUpdateCommand(int id, std::function<void(CCmdUI&)> update)
{
    m_commands[id].update = std::move(update);
}

const CommandHandler* CCmdTarget::FindCommand(int id) const
{
    const auto found = m_commands.find(id);
    return found == m_commands.end() ? nullptr : &found->second;
}
