// The recent-file list: the last files opened, newest first, kept in the user's settings
// between runs.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class CRecentFileList {
public:
    // `organisation` and `application` name the settings store; `size` entries at most.
    CRecentFileList(std::string organisation, std::string application, std::size_t size);

    void ReadList();
    void WriteList() const;
    // The path becomes the newest entry (once).
    void Add(const std::string& path);
    // A file that failed to open leaves the list.
    void Remove(const std::string& path);
    const std::vector<std::string>& Entries() const { return m_entries; }
    // Called after every change of the entries, whoever made it: the menus that list them
    // refill, so that each entry opens the file it names.
    void SetOnChanged(std::function<void()> changed) { m_changed = std::move(changed); }

private:
    void SetEntries(std::vector<std::string> entries);

    std::string m_strOrganisation;
    std::string m_strApplication;
    std::size_t m_nSize;
    std::vector<std::string> m_entries;
    std::function<void()> m_changed;
};
