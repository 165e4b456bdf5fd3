#include "platform/qt/RecentFileList.h"

#include <QSettings>

#include <algorithm>

#include "platform/qt/QtPath.h"

namespace {

constexpr const char* kSection = "Recent File List";

QString EntryKey(std::size_t index)
{
    return QStringLiteral("File%1").arg(index + 1);
}

} // namespace

CRecentFileList::CRecentFileList(std::string organisation, std::string application, std::size_t size)
    : m_strOrganisation(std::move(organisation)), m_strApplication(std::move(application)), m_nSize(size)
{
}

void CRecentFileList::ReadList()
{
    QSettings settings(QString::fromStdString(m_strOrganisation), QString::fromStdString(m_strApplication));
    settings.beginGroup(kSection);
    std::vector<std::string> entries;
    for (std::size_t i = 0; i < m_nSize; ++i) {
        const std::string path = FromPathSetting(settings.value(EntryKey(i)));
        if (!path.empty())
            entries.push_back(path);
    }
    SetEntries(std::move(entries));
}

void CRecentFileList::WriteList() const
{
    QSettings settings(QString::fromStdString(m_strOrganisation), QString::fromStdString(m_strApplication));
    settings.remove(kSection);
    settings.beginGroup(kSection);
    for (std::size_t i = 0; i < m_entries.size(); ++i)
        settings.setValue(EntryKey(i), ToPathSetting(m_entries[i]));
}

void CRecentFileList::Add(const std::string& path)
{
    std::vector<std::string> entries = m_entries;
    std::erase(entries, path);
    entries.insert(entries.begin(), path);
    if (entries.size() > m_nSize)
        entries.resize(m_nSize);
    SetEntries(std::move(entries));
}

void CRecentFileList::Remove(const std::string& path)
{
    std::vector<std::string> entries = m_entries;
    std::erase(entries, path);
    SetEntries(std::move(entries));
}

void CRecentFileList::SetEntries(std::vector<std::string> entries)
{
    if (entries == m_entries)
        return;
    m_entries = std::move(entries);
    if (m_changed)
        m_changed();
}
