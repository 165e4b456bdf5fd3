// The work bench panel: the header of the active frame's image, with its unit texts, name
// and note editable, above a tree of every open document and its images, whose menu opens
// views and adds images.
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <array>
#include <string>

#include "app/WorkBenchItem.h"

class CDataExchange;
class CDocument;
class CMainFrame;
class CMDIChildFrame;
class CSpmImage;
struct SpmHeader;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTreeWidget;

class CDialogWorkBench : public QWidget {
    Q_OBJECT
public:
    CDialogWorkBench(CMainFrame& mainFrame, QWidget* parent);

    // Follows the active frame; also runs while the panel is hidden.
    void OnTimer();
    void UpdateHeader();
    void FillTree();
    // A tree menu's entry on the item the menu was made for.
    void OnTreeCommand(int id, const WorkBenchItem& item);

    QTreeWidget& Tree() const { return *m_pTree; }

private:
    // Reading takes every control; writing shows the texts, and gives the header edits their
    // limits for typing.
    void DoDataExchange(CDataExchange& dx);
    // A header edit changed, typed or set by the panel: the controls are read and written
    // back around it, then its text goes into the header when it is one the field takes.
    void OnChangeHeaderText(int control);
    // The user left a unit or the name edit: a text beyond its limit is said once, and the
    // edit shows the header's text again.
    void OnHeaderEditLeft(QLineEdit* edit);
    CSpmImage* ActiveImage() const;
    // The header's fields as the panel shows them, in the order it writes them: the unit and
    // name edits write their texts back into the header as they are set.
    enum HeaderField { kKx, kKy, kColumns, kRows, kXYUnit, kKz, kZUnit, kVersion, kName, kNote, kHeaderFields };
    using ShownHeader = std::array<QString, kHeaderFields>;
    static ShownHeader ShownOf(const SpmHeader& header);
    static HeaderField FieldOf(int control);
    // Shows `header`: every field, or only those that differ from `changedSince`.
    void ShowHeader(const ShownHeader& header, const ShownHeader* changedSince);
    // Shows what changed in the header since the panel last showed or wrote it: a rotation,
    // a crop, a save's new Z scale, Undo. A field that did not change is left as it shows,
    // also in an edit the user is typing into.
    void ShowHeaderChanges();
    // The tree shows other documents, titles or images than the open ones.
    bool TreeIsStale() const;
    // After the tree is built anew: the item selected before shows selected again, or none is.
    void KeepSelection();
    void OnTreeMenu(const QPoint& position);

    CMainFrame& m_mainFrame;
    QTimer m_timer;
    QPointer<CMDIChildFrame> m_pLastFrame;
    CDocument* m_pActiveDoc = nullptr;   // checked against the open documents on every use
    std::string m_strImageName;          // the image whose header shows
    bool m_bFrameSeen = false;
    // The header as the panel shows it.
    ShownHeader m_shown;

    double m_dKx = 0.0, m_dKy = 0.0, m_dKz = 0.0;
    std::string m_strZUnit, m_strXYUnit, m_strName, m_strVersion, m_strNote;

    QLabel* m_pColumns;
    QLabel* m_pRows;
    QLineEdit* m_pKx;
    QLineEdit* m_pKy;
    QLineEdit* m_pKz;
    QLineEdit* m_pZUnit;
    QLineEdit* m_pXYUnit;
    QLineEdit* m_pName;
    QLineEdit* m_pVersion;
    QPlainTextEdit* m_pNote;
    QTreeWidget* m_pTree;
    std::array<QWidget*, kHeaderFields> m_fields{};   // the control of each field
};
