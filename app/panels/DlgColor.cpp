#include "app/panels/DlgColor.h"

#include <QGridLayout>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>

#include "app/MainFrame.h"
#include "app/panels/PanelFiles.h"
#include "app/panels/PanelKeys.h"
#include "document/DocumentView.h"
#include "image/HeaderTextCoding.h"
#include "platform/core/NumberText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "presentation/ColorTable.h"
#include "presentation/ColourSource.h"
#include "presentation/PaletteEditing.h"
#include "presentation/PaletteFile.h"

namespace {

constexpr int kTimerMs = 100;
constexpr int kStripWidth = 24;
constexpr int kBarMinimumWidth = 200;

const char* CommandText(PaletteCommand command)
{
    switch (command) {
    case kCmdAddCursor: return "Add Cursor";
    case kCmdDelCursor: return "Del Cursor";
    case kCmdChangeColor: return "Change Color";
    }
    return "";
}

// The mouse keys as one number, the way the old readout showed them: left 1, right 2,
// Shift 4, Ctrl 8, middle 16.
int KeyFlags(const QMouseEvent& event)
{
    int flags = 0;
    flags |= event.buttons() & Qt::LeftButton ? 1 : 0;
    flags |= event.buttons() & Qt::RightButton ? 2 : 0;
    flags |= event.modifiers() & Qt::ShiftModifier ? 4 : 0;
    flags |= event.modifiers() & Qt::ControlModifier ? 8 : 0;
    flags |= event.buttons() & Qt::MiddleButton ? 16 : 0;
    return flags;
}

} // namespace

CPictureFrame::CPictureFrame(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setLineWidth(2);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void CPictureFrame::SetPicture(QImage picture)
{
    m_picture = std::move(picture);
    update();
}

GdiRect CPictureFrame::ClientInPanel() const
{
    const QRect inside = contentsRect();
    const QPoint topLeft = mapTo(parentWidget(), inside.topLeft());
    return {topLeft.x(), topLeft.y(), topLeft.x() + inside.width(), topLeft.y() + inside.height()};
}

void CPictureFrame::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(contentsRect().topLeft(), m_picture);
}

C3DdlgColor::C3DdlgColor(CMainFrame& mainFrame, QWidget* parent)
    : QWidget(parent), m_mainFrame(mainFrame), m_watch(mainFrame), m_pBar(new CPictureFrame(this)),
      m_pStrip(new CPictureFrame(this)), m_pMouseX(new QLabel("Static", this)),
      m_pMouseY(new QLabel("Static", this)), m_pMouseKeys(new QLabel("Static", this)),
      m_pLoad(new QPushButton("Load Palette", this)), m_pSave(new QPushButton("Save Palette", this))
{
    m_pBar->setObjectName("1053");
    m_pStrip->setObjectName("1056");
    m_pStrip->setFixedWidth(kStripWidth);
    // The bar leaves 100 pixels at its right for the height range.
    m_pBar->setMinimumWidth(kBarMinimumWidth);
    m_pLoad->setObjectName("1059");
    m_pSave->setObjectName("1058");
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->addWidget(m_pBar, 0, 0);
    grid->addWidget(m_pStrip, 0, 1);
    grid->setRowStretch(0, 1);
    grid->addWidget(m_pMouseX, 1, 0, 1, 2);
    grid->addWidget(m_pMouseY, 2, 0, 1, 2);
    grid->addWidget(m_pMouseKeys, 3, 0, 1, 2);
    grid->addWidget(m_pLoad, 4, 0, 1, 2);
    grid->addWidget(m_pSave, 5, 0, 1, 2);
    setMouseTracking(true);
    connect(m_pLoad, &QPushButton::clicked, this, &C3DdlgColor::OnLoadPalette);
    connect(m_pSave, &QPushButton::clicked, this, &C3DdlgColor::OnSavePalette);
    // No frame is active yet.
    DrawPalette();
    AddPanelKeys(*this, PanelKeys::kEnterAndEscapeHide);
    connect(&m_timer, &QTimer::timeout, this, &C3DdlgColor::OnTimer);
    m_timer.start(kTimerMs);
}

void C3DdlgColor::ForgetActiveFrame()
{
    m_watch.LookAgain();
}

C3DdlgColor::Source C3DdlgColor::Lookup() const
{
    CDocument* document = m_watch.Document();
    if (document == nullptr)
        return {};
    CMDIDoc& doc = document->Doc();
    ImageEntry* shown = doc.FindImage(m_strFrameImage);
    ImageEntry* colour = doc.FindImage(m_strColourImage);
    if (shown == nullptr || colour == nullptr)
        return {};
    const std::size_t index = PairIndex(m_nSettingsIndex);
    return {document, &(*shown->m_pSettings)[index], colour->m_pImage.get(),
            &(*colour->m_pSettings)[index]};
}

std::vector<ColorCursor>* C3DdlgColor::Palette() const
{
    const Source source = Lookup();
    return source.colourConfig != nullptr ? &source.colourConfig->m_ColorCursors : nullptr;
}

// A colour source the document does not know is reported once; the shown image then
// colours itself, as the views do.
void C3DdlgColor::FindColourSource(CMDIChildFrame& frame)
{
    m_strFrameImage = frame.m_strImageName;
    m_nSettingsIndex = frame.m_nSettingsIndex;
    CDocument* document = m_watch.Document();
    ImageEntry* shown = document != nullptr ? document->Doc().FindImage(m_strFrameImage) : nullptr;
    if (shown == nullptr) {
        // Not the last frame's palette either, while this frame stays active: a press would
        // change a palette that no view here shows.
        m_strColourImage.clear();
        m_watch.DropDocument();
        return;
    }
    CMDIDoc& doc = document->Doc();
    const ImageLookup find = [&doc](const std::string& name) {
        ImageEntry* entry = doc.FindImage(name);
        return entry != nullptr ? ImageRecords{entry->m_pImage.get(), entry->m_pSettings.get()}
                                : ImageRecords{};
    };
    const ColourSource source = LookUpColourSource(
        find, {shown->m_pImage.get(), shown->m_pSettings.get()}, m_nSettingsIndex);
    if (source.missingName)
        Prompt().Message("C3DdlgColor::OnTimer Image Name for Color is not Valid:" + OneLineText(*source.missingName));
    m_strColourImage = source.image->m_strName;
}

void C3DdlgColor::OnTimer()
{
    const CPanelFrameWatch::Change change = m_watch.Follow();
    if (change == CPanelFrameWatch::Change::Gone)
        DrawPalette();
    CMDIChildFrame* frame = m_watch.Frame();
    if (frame == nullptr)
        return;
    if (change == CPanelFrameWatch::Change::New) {
        FindColourSource(*frame);
        DrawPalette();
    }
    const Source source = Lookup();
    if (m_bEdited && source.colourConfig != nullptr && source.colourConfig->m_ColorCursors.size() >= 2) {
        m_bEdited = false;
        m_watch.UpdateViews(kHintColors);
        DrawPalette();
    }
}

void C3DdlgColor::DrawPalette()
{
    const Source source = Lookup();
    m_pLoad->setEnabled(source.colourConfig != nullptr);
    m_pSave->setEnabled(source.colourConfig != nullptr);
    if (source.colourConfig == nullptr || m_pBar->contentsRect().isEmpty() ||
        m_pStrip->contentsRect().isEmpty()) {
        m_pBar->SetPicture({});
        m_pStrip->SetPicture({});
        return;
    }
    // The bar shows the palette as it stands, also before a view has rebuilt its table.
    CPresentationConfig shown = *source.colourConfig;
    FillColorTable(shown.m_ColorCursors, static_cast<std::size_t>(std::max(source.colourImage->m_nBins, 1)),
                   shown.m_pColorTable);
    m_pBar->SetPicture(DrawPaletteBar(m_pBar->contentsRect().size(), m_fonts, *source.colourImage, shown,
                                      source.frameConfig->m_NameOfImageForColor));
    const std::vector<ColorCursor>& cursors = source.colourConfig->m_ColorCursors;
    m_pStrip->SetPicture(cursors.empty() ? QImage() : DrawCursorStrip(m_pStrip->contentsRect().size(), cursors));
}

double C3DdlgColor::PositionAt(int y) const
{
    const GdiRect strip = m_pStrip->ClientInPanel();
    return StripPosition(y, strip.top, strip.Height());
}

double C3DdlgColor::Tolerance() const
{
    const GdiRect strip = m_pStrip->ClientInPanel();
    return PickTolerance(strip.Width() / 4, strip.Height());
}

void C3DdlgColor::mousePressEvent(QMouseEvent* event)
{
    std::vector<ColorCursor>* palette = Palette();
    const QPoint at = event->position().toPoint();
    if (palette != nullptr && event->button() == Qt::LeftButton)
        m_nSelCursor = PickCursor(*palette, PositionAt(at.y()), Tolerance());
    if (event->button() == Qt::RightButton) {
        m_fClickPos = PositionAt(at.y());
        ShowCursorMenu(at);
    }
    QWidget::mousePressEvent(event);
}

void C3DdlgColor::ShowCursorMenu(const QPoint& at)
{
    std::vector<ColorCursor>* palette = Palette();
    const GdiRect strip = m_pStrip->ClientInPanel();
    const bool inside = at.x() > strip.left && at.x() < strip.right && at.y() > strip.top &&
                        at.y() < strip.bottom;
    if (palette == nullptr || !inside)
        return;
    const CursorMenu entries = BuildCursorMenu(*palette, m_fClickPos, Tolerance());
    m_nSelCursor = entries.selected;
    QMenu menu(this);
    for (PaletteCommand command : entries.commands)
        menu.addAction(CommandText(command))->setData(int(command));
    if (QAction* chosen = menu.exec(mapToGlobal(at)))
        OnCursorCommand(chosen->data().toInt());
}

void C3DdlgColor::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    m_pMouseX->setText(QString::fromStdString("MouseXpos: " + FormatFixed(at.x(), 0)));
    m_pMouseY->setText(QString::fromStdString("MouseYpos: " + FormatFixed(at.y(), 0)));
    m_pMouseKeys->setText(QString::number(KeyFlags(*event)));
    std::vector<ColorCursor>* palette = Palette();
    if (KeyFlags(*event) == 1 && palette != nullptr) {
        const std::vector<ColorCursor> before = *palette;
        if (DragCursor(*palette, m_nSelCursor, PositionAt(at.y()))) {
            m_bEdited = true;
            NoteEdit(before);
        }
    }
    QWidget::mouseMoveEvent(event);
}

void C3DdlgColor::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    DrawPalette();
}

void C3DdlgColor::NoteEdit(const std::vector<ColorCursor>& before)
{
    const Source source = Lookup();
    if (source.colourConfig != nullptr && source.colourConfig->m_ColorCursors != before)
        source.doc->Doc().SetSettingsModified(*source.colourConfig);
}

void C3DdlgColor::OnCursorCommand(int id)
{
    std::vector<ColorCursor>* palette = Palette();
    if (palette == nullptr)
        return;
    // The colour dialogs run the event loop: the palette is compared as it was before them.
    const std::vector<ColorCursor> before = *palette;
    if (id == kCmdAddCursor) {
        CColorDialogModel dialog(AddCursorColor(*palette, m_fClickPos));
        const bool chosen = Prompt().RunDialog(dialog);
        palette = Palette();  // the dialog ran the event loop
        if (chosen && palette != nullptr)
            AddCursor(*palette, m_fClickPos, dialog.m_color & kColorMask);
    } else if (id == kCmdDelCursor && m_nSelCursor < palette->size()) {
        palette->erase(palette->begin() + static_cast<std::ptrdiff_t>(m_nSelCursor));
        if (palette->empty())
            palette->shrink_to_fit();
    } else if (id == kCmdChangeColor && m_nSelCursor < palette->size()) {
        CColorDialogModel dialog((*palette)[m_nSelCursor].m_Color);
        const bool chosen = Prompt().RunDialog(dialog);
        palette = Palette();
        if (!chosen || palette == nullptr || m_nSelCursor >= palette->size())
            return;
        (*palette)[m_nSelCursor].m_Color = dialog.m_color & kColorMask;
    } else {
        return;
    }
    m_bEdited = true;
    NoteEdit(before);
    DrawPalette();
}

void C3DdlgColor::OnSavePalette()
{
    if (Palette() == nullptr)
        return;
    const std::string path = AskPanelFile(false, kPaletteFileType);
    const std::vector<ColorCursor>* palette = Palette();
    if (path.empty() || palette == nullptr)
        return;
    if (!WritePaletteFile(path, *palette))
        Prompt().Message(kTextUnableToWrite);
}

void C3DdlgColor::OnLoadPalette()
{
    if (Palette() == nullptr)
        return;
    const std::string path = AskPanelFile(true, kPaletteFileType);
    std::vector<ColorCursor>* palette = Palette();
    if (path.empty() || palette == nullptr)
        return;
    const std::vector<ColorCursor> before = *palette;
    if (ReadPaletteFile(path, *palette) == FileReadResult::Unreadable)
        Prompt().Message(UnableToRead(path));
    m_bEdited = true;
    NoteEdit(before);
    DrawPalette();
}
