// The keys of a side panel, taken as the framework's dialogs take them: Escape is Cancel and
// Enter is OK. A panel that answers a key hides until the panel switch shows it again.
#pragma once

class QWidget;

enum class PanelKeys {
    kEscapeHides,          // Enter does nothing
    kEnterAndEscapeHide,
};

// Gives `panel` its keys, as they reach it from a control that does not take them itself.
void AddPanelKeys(QWidget& panel, PanelKeys keys);
