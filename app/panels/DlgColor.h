// The palette panel: the palette of the active frame's colour source (the image its record
// names, that image's record of the frame's kind) as a bar with the source's histogram and
// height range, its cursors as marks on a strip that the mouse picks, drags, adds, deletes
// and recolours, and *.plt files. A 100 ms tick sends a changed palette to the frame's view.
#pragma once

#include <QFrame>
#include <QTimer>
#include <QWidget>

#include <string>

#include "app/panels/PalettePicture.h"
#include "app/panels/PanelFrameWatch.h"

class CDocument;
class CMainFrame;
class CMDIChildFrame;
class QLabel;
class QPushButton;

// A sunken frame that shows a picture the panel draws; the mouse goes through it to the
// panel, which places everything in its own coordinates.
class CPictureFrame : public QFrame {
public:
    explicit CPictureFrame(QWidget* parent);
    void SetPicture(QImage picture);
    const QImage& Picture() const { return m_picture; }
    // The area inside the frame, in the panel's coordinates.
    GdiRect ClientInPanel() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};

class C3DdlgColor : public QWidget {
    Q_OBJECT
public:
    C3DdlgColor(CMainFrame& mainFrame, QWidget* parent);

    // The panel switch showed the palette: look the colour source up again at the next tick.
    void ForgetActiveFrame();

    void OnTimer();
    void OnCursorCommand(int id);
    void OnSavePalette();
    void OnLoadPalette();
    // Draws both pictures anew (empty while there is no colour source, when the file
    // buttons take no press either).
    void DrawPalette();

    // The colour source's palette: null while the panel is inert.
    std::vector<ColorCursor>* Palette() const;
    std::size_t SelectedCursor() const { return m_nSelCursor; }
    bool Edited() const { return m_bEdited; }
    CPictureFrame& Bar() const { return *m_pBar; }
    CPictureFrame& Strip() const { return *m_pStrip; }

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The images and record the panel works on, looked up by name on every use.
    struct Source {
        CDocument* doc = nullptr;
        CPresentationConfig* frameConfig = nullptr;
        CSpmImage* colourImage = nullptr;
        CPresentationConfig* colourConfig = nullptr;
    };
    Source Lookup() const;
    void FindColourSource(CMDIChildFrame& frame);
    // The strip position under panel point y, and the pick tolerance.
    double PositionAt(int y) const;
    double Tolerance() const;
    void ShowCursorMenu(const QPoint& at);
    // The palette was `before` until the user's last action: a change marks the view settings
    // of the colour source's image and is sent to the view at the next tick.
    void NoteEdit(const std::vector<ColorCursor>& before);

    CMainFrame& m_mainFrame;
    QTimer m_timer;
    PaletteFonts m_fonts;
    CPanelFrameWatch m_watch;
    std::string m_strFrameImage;         // the active frame's image
    std::string m_strColourImage;        // its colour source
    int m_nSettingsIndex = 0;
    bool m_bEdited = false;
    std::size_t m_nSelCursor = 1000;     // not below the cursor count: none
    double m_fClickPos = 0.0;

    CPictureFrame* m_pBar;
    CPictureFrame* m_pStrip;
    QLabel* m_pMouseX;
    QLabel* m_pMouseY;
    QLabel* m_pMouseKeys;
    QPushButton* m_pLoad;
    QPushButton* m_pSave;
};
