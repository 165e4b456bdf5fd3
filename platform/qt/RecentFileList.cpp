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
    m_entries.clear();
    for (std::size_t i = 0; i < m_nSize; ++i) {
        const std::string path = FromPathSetting(settings.value(EntryKey(i)));
        if (!path.empty())
            m_entries.push_back(path);
    }
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
    Remove(path);
    m_entries.insert(m_entries.begin(), path);
    if (m_entries.size() > m_nSize)
        m_entries.resize(m_nSize);
}

void CRecentFileList::Remove(const std::string& path)
{
    std::erase(m_entries, path);
}
