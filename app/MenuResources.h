// The menu resources as data: menu 128 while no document is open, menu 131 while one is.
#pragma once

#include <vector>

struct MenuItem {
    int id;                          // a command; kSeparator, kPopup or kRecentFiles
    const char* text;
    std::vector<MenuItem> items;     // the items of a popup

    static constexpr int kSeparator = 0;
    static constexpr int kPopup = -1;
    static constexpr int kRecentFiles = -2;   // the recent-file entries go here
};

const std::vector<MenuItem>& AppMenu();        // resource 128
const std::vector<MenuItem>& DocumentMenu();   // resource 131

// The buttons of toolbar 128 in order; 0 is a separator.
const std::vector<int>& StandardToolBarButtons();
// The panel switch, toolbar 138: hide panels, work bench, configuration, palette.
const std::vector<int>& PanelSwitchButtons();
