// The 2D/3D configuration panel: edits the presentation record of the active frame (the
// frame's image, the record of the frame's kind) and sends each change to that frame's view
// at its next 100 ms tick. It also picks the image whose palette colours the record and
// loads or saves the record as a *.cnf file.
#pragma once

#include <QTimer>
#include <QWidget>

#include <array>
#include <optional>
#include <string>

#include "app/panels/PanelFrameWatch.h"
#include "presentation/ConfigPanelModel.h"

class CDataExchange;
class CDocument;
class CMainFrame;
class CMDIChildFrame;
class CColorSwatch;
class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QScrollBar;

class C3DdlgConfig : public QWidget {
    Q_OBJECT
public:
    C3DdlgConfig(CMainFrame& mainFrame, QWidget* parent);

    // Follows the active frame and sends a pending change; runs also while hidden.
    void OnTimer();
    // Reloads every control from the record (or only empties the list without one).
    void UpdateControls();
    void OnSave2D3DConf();
    void OnLoad2D3DConf();

    // The record being edited: null when there is no frame, its document closed or its
    // image is not found. Looked up anew on every use.
    CPresentationConfig* ActiveRecord() const;
    const ConfigPanelValues& Values() const { return m_values; }
    const ConfigPending& Pending() const { return m_pending; }

    QLineEdit& Edit(ConfigEdit edit) const { return *m_edits[edit]; }
    QScrollBar& ScrollBar(std::size_t bar) const { return *m_bars[bar]; }
    QListWidget& ImageList() const { return *m_pList; }
    CColorSwatch& Swatch(ConfigSwatch swatch) const { return *m_swatches[swatch]; }

protected:
    // An edit the user leaves shows its text from the first character.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // What an edit's text began on (CTypingStart): its record, with that record's mark of
    // changes, as they were before it.
    struct TypingStart {
        const CPresentationConfig* of;
        CPresentationConfig record;
        bool modified;
    };

    void BuildGeometry(QWidget* box);
    void BuildPolygon(QWidget* box);
    void BuildLines(QWidget* box);
    void Connect();
    // The controls that write the record, and the file buttons that save or load it, take
    // input only while there is one.
    void EnableControls(bool enabled);

    void DoDataExchange(CDataExchange& dx);
    // Reads every control, then writes them all back in the panel's number format: the
    // texts a record just loaded shows.
    void ExchangeAll();
    // The value the edit's text gives, when it is one in the edit's range.
    std::optional<double> TypedValue(ConfigEdit edit) const;
    // The text changed, typed or set by the panel: a value in range goes into the record.
    void OnChangeEdit(ConfigEdit edit);
    // The user left the edit (Enter, Tab, a click elsewhere, another frame): a text that is
    // no value in range is said so, once, the record takes back what it held before that text
    // and the edit shows it again.
    void OnEditFinished(ConfigEdit edit);
    void FinishEdits();
    // The text of `edit` changed: when the user's change begins a text, the record as it is
    // now is kept until the edit is left.
    void NoteTyping(ConfigEdit edit);
    // The text typed into `edit` is refused: `record` takes back the value the edit had
    // before that text, not one read on the way to it, and its image's settings are marked
    // as they were then when nothing else changed meanwhile.
    void TakeBackTyping(ConfigEdit edit, const TypingStart& start, CPresentationConfig& record);
    // The bar of `edit` stands where `value` lies on it.
    void FollowBar(ConfigEdit edit, double value);
    // `bar` stands at `position`, brought into its range.
    void PlaceBar(std::size_t bar, double position);
    void OnCheck(ConfigCheck check);
    void OnPolygonRadio(int index);
    void OnLineRadio(int index);
    void OnSwatch(ConfigSwatch swatch);
    void OnScroll(std::size_t bar, int action);
    void OnSelchangeImageList(int row);
    // Sets an edit's text and runs its change handler, also when the text stays the same;
    // the edit shows the text from its first character.
    void SetEditText(ConfigEdit edit, const std::string& text);
    // Shows `record` in the controls: every edit, or only those whose value differs from
    // `changedSince`. An edit's text reads back as its field, so what the edits write back
    // changes nothing but a value beyond an edit's range, which comes into it.
    void ShowRecord(CPresentationConfig& record, const ConfigShownRecord* changedSince);
    // The colour-source list selects the record's image, if it lists one.
    void SelectColourSource(const CPresentationConfig& record);
    // Shows what changed in the record since the panel last showed or wrote it.
    void ShowChanges(CPresentationConfig& record);
    // The user changed `record` from `before` through the panel, which shows it already: its
    // image's view settings are marked.
    void NoteEdit(const CPresentationConfig& before, const CPresentationConfig& record);
    void ShowChoices();

    static constexpr int kTimerMs = 100;

    CMainFrame& m_mainFrame;
    QTimer m_timer;
    CPanelFrameWatch m_watch;
    std::string m_strImageName;          // the image whose record is edited
    int m_nSettingsIndex = 0;

    ConfigPanelValues m_values;
    // Where each bar stands: between two whole positions when its edit shows a value between
    // two of the bar's steps, so that a step goes from what the edit shows.
    std::array<double, kConfigScrollBars.size()> m_positions{};
    ConfigPending m_pending;
    // The record as the controls show it.
    ConfigShownRecord m_shown;
    // While the controls load a record: what the edits write back then is no user's change.
    bool m_bLoading = false;
    // While the panel sets an edit's text: the bar set it, or stands already where it shows.
    bool m_bSettingText = false;

    std::array<QLineEdit*, kEditCount> m_edits{};
    std::array<QScrollBar*, kConfigScrollBars.size()> m_bars{};
    std::array<QCheckBox*, kCheckCount> m_checks{};
    std::array<CColorSwatch*, kSwatchCount> m_swatches{};
    std::vector<QAbstractButton*> m_polygonRadios;
    std::vector<QAbstractButton*> m_lineRadios;
    QListWidget* m_pList = nullptr;
    QPushButton* m_pLoad = nullptr;
    QPushButton* m_pSave = nullptr;
};
