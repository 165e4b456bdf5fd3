#include "app/panels/PanelKeys.h"

#include <QKeyEvent>
#include <QWidget>

namespace {

// Sees the keys that reach the panel: those that none of its controls took for itself, as a
// dialog's own handling sees them.
class PanelKeyFilter : public QObject {
public:
    PanelKeyFilter(QWidget& panel, PanelKeys keys) : QObject(&panel), m_panel(panel), m_keys(keys) {}

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != &m_panel || event->type() != QEvent::KeyPress)
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (key != Qt::Key_Escape && !(enter && m_keys == PanelKeys::kEnterAndEscapeHide))
            return false;
        m_panel.hide();
        return true;
    }

private:
    QWidget& m_panel;
    PanelKeys m_keys;
};

} // namespace

void AddPanelKeys(QWidget& panel, PanelKeys keys)
{
    panel.installEventFilter(new PanelKeyFilter(panel, keys));
}
