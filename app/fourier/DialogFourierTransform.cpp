// The Fourier-transform dialog as the model's view: its primitive list, the exchange of its
// controls, what it shows for the model, the mouse and keys it forwards, and the command
// that opens it.
#include "app/fourier/DialogFourierTransform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollBar>

#include "app/CommandIds.h"
#include "app/DocTemplates.h"
#include "app/MainFrame.h"
#include "app/ProcessingCommands.h"
#include "app/fourier/FourierPanes.h"
#include "app/panels/PanelFiles.h"
#include "app/render/GLCanvas.h"
#include "platform/core/Prompt.h"
#include "platform/qt/DataExchange.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"

CPrimitiveListBox::CPrimitiveListBox(QWidget* parent, std::function<void()> onSelChange)
    : QListWidget(parent), m_onSelChange(std::move(onSelChange))
{
}

void CPrimitiveListBox::Quietly(const std::function<void()>& change)
{
    ++m_nQuiet;
    change();
    --m_nQuiet;
}

void CPrimitiveListBox::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QListWidget::selectionChanged(selected, deselected);
    m_bChanged = true;
    if (m_nQuiet == 0)
        m_onSelChange();
}

void CPrimitiveListBox::mousePressEvent(QMouseEvent* event)
{
    m_bChanged = false;
    QListWidget::mousePressEvent(event);
    if (!m_bChanged && m_nQuiet == 0 && itemAt(event->position().toPoint()) != nullptr)
        m_onSelChange();
}

CDialogFourierTransform::CDialogFourierTransform(QWidget* parent) : QDialog(parent)
{
    setWindowTitle("Fourier Transfom");
    BuildControls();
    connect(&m_timer, &QTimer::timeout, this, [this] { m_model.OnTimer(); });
}

CDialogFourierTransform::~CDialogFourierTransform() = default;

bool CDialogFourierTransform::Start()
{
    CMainFrame* mainFrame = CMainFrame::Instance();
    CMDIChildFrame* frame = mainFrame != nullptr ? mainFrame->MDIGetActive() : nullptr;
    CDocument* doc = frame != nullptr ? frame->GetActiveDocument() : nullptr;
    if (m_surface != nullptr && !CGLSurfaceWidget::OpenGLAvailable()) {
        Prompt().Message(kTextNoOpenGL);
        return false;
    }
    CDataExchange write(false);
    DoDataExchange(write);
    layout()->activate();
    TellPaneGeometry();
    const bool opened = doc != nullptr ? m_model.Open(&doc->Doc(), frame->m_strImageName, frame->m_nSettingsIndex,
                                                      ProcessingCommandsOf(*doc))
                                       : m_model.Open(nullptr, {}, 0, std::nullopt);
    if (opened)
        m_model.OnPaint();
    return opened;
}

void CDialogFourierTransform::TellPaneGeometry()
{
    const QPoint at = m_spectrum->mapTo(this, QPoint(0, 0));
    m_model.SetPaneGeometry(m_spectrum->width(), m_spectrum->height(),
                            {at.x(), at.y(), at.x() + m_spectrum->width(), at.y() + m_spectrum->height()});
}

// The layout centres the panes in what the dialog gives them: a dialog shown larger than it
// was laid out, or resized, moves the spectrum pane, and the drag measures from where the
// pane now shows the zero frequency.
void CDialogFourierTransform::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    TellPaneGeometry();
}

QAbstractButton* CDialogFourierTransform::Button(int id) const
{
    const auto it = m_buttons.find(id);
    return it != m_buttons.end() ? it->second : nullptr;
}

QScrollBar* CDialogFourierTransform::ScrollBar(int id) const
{
    const auto it = m_bars.find(id);
    return it != m_bars.end() ? it->second : nullptr;
}

QLineEdit* CDialogFourierTransform::Edit(int id) const
{
    const auto it = m_edits.find(id);
    return it != m_edits.end() ? it->second : nullptr;
}

void CDialogFourierTransform::DoDataExchange(CDataExchange& dx)
{
    CFourierDialogModel& m = m_model;
    const auto bar = [&](int id, int& member) {
        if (!dx.Begin(m_bars[id], false))
            return;
        if (dx.m_bSaveAndValidate)
            member = m_bars[id]->value();
        else
            m_bars[id]->setValue(member);
    };
    const auto radios = [&](int& member) {
        for (auto& [group, field] : m_radioGroups)
            if (field == &member)
                DDX_Radio(dx, group, member);
    };
    // A real-valued edit takes only a number within its bar's range.
    const auto real = [&](int id, std::string& text) {
        DDX_Text(dx, m_edits[id], text);
        DDV_MaxChars(dx, text, 4);
        dx.Validate(CFourierDialogModel::RealEditValue(id, text).has_value(), CFourierDialogModel::RealEditRefusal(id));
    };
    DDX_Text(dx, m_edits[kIdcAngle], m.m_nAngle);
    DDV_MinMaxInt(dx, m.m_nAngle, 0, 360);
    radios(m.m_nLoPass);
    DDX_Text(dx, m_edits[kIdcOder], m.m_nOder);
    DDV_MinMaxInt(dx, m.m_nOder, 0, 100);
    real(kIdcCutOff, m.m_strCutOff);
    real(kIdcShift, m.m_strShift);
    bar(kIdcColorRange, m.m_nColorRange);
    radios(m.m_nLinLog);
    radios(m.m_nShowSpectrum);
    real(kIdcXexpansion, m.m_strXexpansion);
    real(kIdcYexpansion, m.m_strYexpansion);
    for (const auto& [id, member] : {std::pair{kIdcAngleScroll, &m.m_nAngleScroll}, {kIdcShiftScroll, &m.m_nShiftScroll},
                                     {kIdcXexpScroll, &m.m_nXexpScroll}, {kIdcYexpScroll, &m.m_nYexpScroll},
                                     {kIdcOderScroll, &m.m_nOderScroll}, {kIdcCutOffScroll, &m.m_nCutOffScroll}})
        bar(id, *member);
    radios(m.m_nFourieMode);
    radios(m.m_nShape);
    DDX_Check(dx, m_buttons[1139], m.m_bMarker);
    radios(m.m_nSingleComplex);
    radios(m.m_nShowImage);
}

// The radios, the check box and the model's handlers read every control: a text left refused
// in an edit stays there, for the edit to say when the user leaves it.
void CDialogFourierTransform::Exchange()
{
    ExchangeTyped(nullptr, [this](CDataExchange& dx) { DoDataExchange(dx); });
}

void CDialogFourierTransform::OnEditTyped(int id)
{
    ExchangeTyped(m_edits[id], [this](CDataExchange& dx) { DoDataExchange(dx); });
}

void CDialogFourierTransform::OnEditLeft(int id)
{
    if (!ExchangeLeft(m_edits[id], [this](CDataExchange& dx) { DoDataExchange(dx); }))
        m_model.OnEditRefused(id);
    m_model.OnEditFinished(id);
}

void CDialogFourierTransform::SetText(int id, const std::string& text)
{
    if (QLineEdit* edit = Edit(id))
        edit->setText(QString::fromStdString(text));
    else if (const auto it = m_labels.find(id); it != m_labels.end())
        it->second->setText(QString::fromStdString(text));
}

void CDialogFourierTransform::SetScroll(int id, int position)
{
    if (QScrollBar* bar = ScrollBar(id)) {
        const QSignalBlocker block(bar);
        bar->setSliderPosition(position);
        bar->setValue(position);
    }
}

void CDialogFourierTransform::EnableControl(int id, bool enabled)
{
    if (QScrollBar* bar = ScrollBar(id))
        bar->setEnabled(enabled);
    else if (QAbstractButton* button = Button(id))
        button->setEnabled(enabled);
}

void CDialogFourierTransform::RefreshChecks()
{
    for (auto& [group, member] : m_radioGroups)
        for (std::size_t i = 0; i < group.size(); ++i)
            group[i]->setChecked(static_cast<int>(i) == *member);
    m_buttons[1139]->setChecked(m_model.m_bMarker == 1);
}

void CDialogFourierTransform::ClearList()
{
    m_list->Quietly([this] { m_list->clear(); });
}

void CDialogFourierTransform::AddListItem(const std::string& text)
{
    m_list->Quietly([&] { m_list->addItem(QString::fromStdString(text)); });
}

// No item is selected afterwards: the controls show no item of the list.
void CDialogFourierTransform::RemoveListItem(int index)
{
    m_list->Quietly([&] {
        delete m_list->takeItem(index);
        m_list->clearSelection();
    });
}

int CDialogFourierTransform::SelectedListItem() const
{
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void CDialogFourierTransform::DrawOverlay(const CSpmImage& shown, const FilterOutline& outline)
{
    m_spectrum->ShowImage(shown, outline);
}

void CDialogFourierTransform::DrawDragOutline(const FilterOutline& outline)
{
    m_spectrum->ShowOutline(outline);
}

void CDialogFourierTransform::RenderPanes()
{
    if (m_surface != nullptr)
        m_surface->update();
}

void CDialogFourierTransform::SetTimerPeriod(int milliseconds)
{
    if (milliseconds <= 0)
        m_timer.stop();
    else
        m_timer.start(milliseconds);
}

void CDialogFourierTransform::BeginWaitCursor()
{
    if (m_nWaiting++ == 0)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void CDialogFourierTransform::EndWaitCursor()
{
    if (m_nWaiting > 0 && --m_nWaiting == 0)
        QApplication::restoreOverrideCursor();
}

std::optional<std::string> CDialogFourierTransform::ChooseFilterFile(bool save)
{
    const std::string path = AskPanelFile(!save, kFilterFileType);
    if (path.empty())
        return std::nullopt;
    return path;
}

void CDialogFourierTransform::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        // The press writes every edit: the one typed in is left first, as a click on a
        // control leaves it, so that what it holds is taken or said, not overwritten.
        for (const auto& [id, edit] : m_edits)
            if (edit->hasFocus())
                edit->clearFocus();
        m_model.OnLButtonDown();
    }
    QDialog::mousePressEvent(event);
}

void CDialogFourierTransform::mouseMoveEvent(QMouseEvent* event)
{
    const bool leftOnly = event->buttons() == Qt::LeftButton && event->modifiers() == Qt::NoModifier;
    const QPoint at = event->position().toPoint();
    m_model.OnMouseMove(leftOnly, at.x(), at.y());
    QDialog::mouseMoveEvent(event);
}

// Enter rebuilds the single-primitive mask and leaves the dialog open.
void CDialogFourierTransform::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_model.OnOK();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RegisterFourierCommand()
{
    CDocument::AddClassCommand(
        cmd::kFourierTransform,
        [](CDocument&) {
            CDialogFourierTransform dialog;
            if (dialog.Start())
                dialog.exec();
        },
        [](CDocument&, CCmdUI& ui) {
            const CMainFrame* mainFrame = CMainFrame::Instance();
            const CMDIChildFrame* frame = mainFrame != nullptr ? mainFrame->MDIGetActive() : nullptr;
            ui.Enable(frame != nullptr && frame->m_strViewKind == kViewKind2D);
        });
}
