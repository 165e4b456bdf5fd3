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
    static constexpr int kWindowList = -3;    // the open child frames go here
};

const std::vector<MenuItem>& AppMenu();        // resource 128
const std::vector<MenuItem>& DocumentMenu();   // resource 131

// The buttons of toolbar 128 in order; 0 is a separator.
const std::vector<int>& StandardToolBarButtons();
// Names of the toolbar buttons that no menu item carries, for their tooltip and status-bar
// prompt; the two buttons that nothing handles (32802, 32813) have none.
struct ButtonText {
    int id;
    const char* text;
};
const std::vector<ButtonText>& ToolBarOnlyTexts();
// The panel switch, toolbar 138: hide panels, work bench, configuration, palette.
const std::vector<int>& PanelSwitchButtons();
