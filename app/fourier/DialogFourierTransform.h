// The Fourier-transform dialog: its controls and panes show what CFourierDialogModel says
// and forward what the user does. Opened modally by the 2D view's command 32830.
#pragma once

#include <QDialog>
#include <QListWidget>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "fourier/FourierDialogModel.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QScrollBar;
class CDataExchange;
class CSpectrumPane;
class CSurfacePane;

// List box 1111: tells of every selection the user makes, with the mouse or the keyboard,
// and of a click on the item already selected, as the list box's selection-change
// notification does; the dialog's own changes to the list tell nothing.
class CPrimitiveListBox : public QListWidget {
public:
    CPrimitiveListBox(QWidget* parent, std::function<void()> onSelChange);
    // Runs the dialog's own change of the list.
    void Quietly(const std::function<void()>& change);

protected:
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    std::function<void()> m_onSelChange;
    int m_nQuiet = 0;
    bool m_bChanged = false;   // the selection changed since the last press
};

inline constexpr const char* kTextNoOpenGL =
    "OpenGL is not available: the Fourier transform cannot be shown";

class CDialogFourierTransform : public QDialog, public IFourierView {
public:
    CDialogFourierTransform(QWidget* parent = nullptr);
    ~CDialogFourierTransform() override;

    // Takes the main frame's active frame's image; false (after the message) when the dialog
    // has nothing to work on and must not be run.
    bool Start();

    CFourierDialogModel& Model() { return m_model; }
    CSpectrumPane& SpectrumPane() { return *m_spectrum; }
    CSurfacePane* SurfacePane() { return m_surface; }
    QAbstractButton* Button(int id) const;
    QScrollBar* ScrollBar(int id) const;
    QLineEdit* Edit(int id) const;
    QListWidget& List() const { return *m_list; }
    bool TimerActive() const { return m_timer.isActive(); }
    int TimerInterval() const { return m_timer.interval(); }

    // IFourierView
    void Exchange() override;
    void SetText(int id, const std::string& text) override;
    void SetScroll(int id, int position) override;
    void EnableControl(int id, bool enabled) override;
    void RefreshChecks() override;
    void ClearList() override;
    void AddListItem(const std::string& text) override;
    void RemoveListItem(int index) override;
    int SelectedListItem() const override;
    void DrawOverlay(const CSpmImage& shown, const FilterOutline& outline) override;
    void DrawDragOutline(const FilterOutline& outline) override;
    void RenderPanes() override;
    void SetTimerPeriod(int milliseconds) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    std::optional<std::string> ChooseFilterFile(bool save) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Where the spectrum pane stands in the dialog, for the model's drag.
    void TellPaneGeometry();
    void BuildControls();
    QWidget* BuildParameterBox();
    QWidget* BuildButtons();
    QWidget* BuildRadioGroup(const char* title, std::vector<std::pair<int, const char*>> radios, int& member,
                             void (CFourierDialogModel::*handler)());
    void DoDataExchange(CDataExchange& dx);
    // A keystroke in edit `id`: a text that is a value of its member is taken at once, any
    // other waits, unsaid, for the user to leave the edit; the edit is never rewritten.
    void OnEditTyped(int id);
    // The user left edit `id` (Enter comes here before the dialog's OK): a refused text is
    // said once, and its member and the current primitive take back what they held before
    // the user began it, which the edit shows; a real value shows as a filter file keeps it.
    void OnEditLeft(int id);

    CFourierDialogModel m_model{*this};
    CSpectrumPane* m_spectrum = nullptr;
    CSurfacePane* m_surface = nullptr;
    CPrimitiveListBox* m_list = nullptr;
    std::map<int, QLineEdit*> m_edits;
    std::map<int, QScrollBar*> m_bars;
    std::map<int, QLabel*> m_labels;
    std::map<int, QAbstractButton*> m_buttons;
    // Each radio group with the member it shows, in exchange order.
    std::vector<std::pair<std::vector<QAbstractButton*>, int*>> m_radioGroups;
    QTimer m_timer;
    int m_nWaiting = 0;
};

// Registers command 32830 for documents while a 2D frame is active.
void RegisterFourierCommand();
