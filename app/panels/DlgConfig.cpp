// The configuration panel's handlers: the exchange of its controls, the edits, choices,
// swatches and scroll bars writing the active frame's record, the loading of a record into
// the controls, the timer that follows the active frame, and the *.cnf buttons.
#include "app/panels/DlgConfig.h"

#include <QCheckBox>
#include <QFocusEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QScopedValueRollback>
#include <QSignalBlocker>

#include <algorithm>
#include <any>
#include <cmath>
#include <utility>

#include "app/MainFrame.h"
#include "app/panels/ColorSwatch.h"
#include "app/panels/PanelFiles.h"
#include "document/DocumentView.h"
#include "platform/core/DialogModels.h"
#include "platform/core/NumberText.h"
#include "platform/qt/AfterAction.h"
#include "platform/qt/DataExchange.h"
#include "platform/qt/DisplayText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"
#include "presentation/ColourSource.h"
#include "presentation/PresentationFile.h"

// The panel's hints are the document's.
static_assert(int(kConfigHintGridLines) == int(kHintGridLines) &&
              int(kConfigHintXLines) == int(kHintXLines) &&
              int(kConfigHintYLines) == int(kHintYLines) &&
              int(kConfigHintColors) == int(kHintColors) &&
              int(kConfigHintRepaint) == int(kHintRepaint));

namespace {

ScrollCode CodeOf(int action)
{
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: return ScrollCode::LineLeft;
    case QAbstractSlider::SliderSingleStepAdd: return ScrollCode::LineRight;
    case QAbstractSlider::SliderPageStepSub: return ScrollCode::PageLeft;
    case QAbstractSlider::SliderPageStepAdd: return ScrollCode::PageRight;
    case QAbstractSlider::SliderMove: return ScrollCode::ThumbTrack;
    default: return ScrollCode::Other;
    }
}

} // namespace

void C3DdlgConfig::DoDataExchange(CDataExchange& dx)
{
    const auto exchange = [&](ConfigEdit e) {
        const ConfigEditSpec& spec = kConfigEdits[e];
        if (!spec.whole) {
            DDX_Text(dx, m_edits[e], m_values.edits[e]);
            DDV_MinMaxDouble(dx, m_values.edits[e], spec.min, spec.max);
            return;
        }
        int value = TruncToInt32(m_values.edits[e]);
        DDX_Text(dx, m_edits[e], value);
        DDV_MinMaxInt(dx, value, static_cast<int>(spec.min), static_cast<int>(spec.max));
        m_values.edits[e] = value;
    };
    for (ConfigEdit e : {kEditZScale, kEditTilt, kEditAngle})
        exchange(e);
    for (std::size_t c = 0; c < kCheckCount; ++c)
        DDX_Check(dx, m_checks[c], m_values.checks[c]);
    DDX_Radio(dx, m_polygonRadios, m_values.polygonRadio);
    for (ConfigEdit e : {kEditLightAngle, kEditLightHight, kEditLightIntensity, kEditMatEmiss,
                         kEditMatReflect})
        exchange(e);
    DDX_Radio(dx, m_lineRadios, m_values.lineRadio);
    for (ConfigEdit e : {kEditXLineDecim, kEditYLineDecim, kEditXLineShift, kEditYLineShift,
                         kEditXLineWidth, kEditYLineWidth})
        exchange(e);
}

// Only a loaded record's texts go through here: none of them is typed, so nothing is
// refused, and the edits show the record in the panel's number format.
void C3DdlgConfig::ExchangeAll()
{
    CDataExchange read(true);
    DoDataExchange(read);
    if (read.m_bFailed)
        return;
    CDataExchange write(false);
    DoDataExchange(write);
}

CPresentationConfig* C3DdlgConfig::ActiveRecord() const
{
    CDocument* doc = m_watch.Document();
    ImageEntry* entry = doc != nullptr ? doc->Doc().FindImage(m_strImageName) : nullptr;
    if (entry == nullptr)
        return nullptr;
    return &(*entry->m_pSettings)[PairIndex(m_nSettingsIndex)];
}

std::optional<double> C3DdlgConfig::TypedValue(ConfigEdit edit) const
{
    return TypedEditValue(edit, m_edits[edit]->text().toStdString());
}

// What the user types is never rewritten under their fingers: a text that reads as a value
// in the edit's range goes into the record at once, and the view follows as they type; any
// other text, empty or on its way to a value ("0.", "-", "0" where 0.1 is the least), takes
// nothing and says nothing until they leave the edit. A text refused then takes back the
// values read on the way to it.
void C3DdlgConfig::OnChangeEdit(ConfigEdit edit)
{
    NoteTyping(edit);
    const std::optional<double> value = TypedValue(edit);
    if (!m_bSettingText && !m_bLoading)
        TypingStartOf(*m_edits[edit]).Taken(value.has_value());
    if (!value)
        return;
    m_values.edits[edit] = *value;
    if (!m_bSettingText)
        FollowBar(edit, *value);
    if (EditHint(edit) != kConfigHintNone)
        m_pending.hint = EditHint(edit);
    m_pending.dirty = true;
    CPresentationConfig* record = ActiveRecord();
    if (record == nullptr)
        return;
    const CPresentationConfig before = *record;
    StoreEdit(edit, *value, *record);
    if (!m_bLoading)
        NoteEdit(before, *record);
}

void C3DdlgConfig::OnEditFinished(ConfigEdit edit)
{
    if (m_bLoading)
        return;
    const std::any kept = TypingStartOf(*m_edits[edit]).End();
    if (TypedValue(edit))
        return;
    // The edit shows the record's value at once, so that nothing finds the refused text to
    // report again; the message waits until what ended the editing is done, so that the click
    // on another frame or control that ended it still takes effect.
    CPresentationConfig* record = ActiveRecord();
    const auto* start = std::any_cast<TypingStart>(&kept);
    if (record != nullptr && start != nullptr && start->of == record)
        TakeBackTyping(edit, *start, *record);
    const double value = record != nullptr ? EditField(edit, *record) : m_values.edits[edit];
    SetEditText(edit, EditValueText(edit, value));
    FollowBar(edit, InPanelRange(edit, value));
    SayAfterUserAction(this, EditRefusal(edit));
}

void C3DdlgConfig::FinishEdits()
{
    for (std::size_t e = 0; e < kEditCount; ++e)
        OnEditFinished(ConfigEdit(e));
}

void C3DdlgConfig::NoteTyping(ConfigEdit edit)
{
    CTypingStart& typing = TypingStartOf(*m_edits[edit]);
    // A text the panel sets is no typing: the next key begins a text.
    if (m_bSettingText || m_bLoading) {
        typing.End();
        return;
    }
    if (!typing.Typed(m_edits[edit]->text().toStdString()))
        return;
    CDocument* doc = m_watch.Document();
    ImageEntry* entry = doc != nullptr ? doc->Doc().FindImage(m_strImageName) : nullptr;
    const CPresentationConfig* record = ActiveRecord();
    if (record != nullptr && entry != nullptr) {
        const bool modified = entry->m_bSettingsModified[PairIndex(m_nSettingsIndex)];
        typing.Keep(TypingStart{record, *record, modified});
    }
}

void C3DdlgConfig::TakeBackTyping(ConfigEdit edit, const TypingStart& start, CPresentationConfig& record)
{
    const CPresentationConfig before = record;
    StoreEdit(edit, EditField(edit, start.record), record);
    NoteEdit(before, record);
    if (SameStoredSettings(record, start.record))
        if (CDocument* doc = m_watch.Document())
            doc->Doc().SetSettingsModified(record, start.modified);
}

void C3DdlgConfig::FollowBar(ConfigEdit edit, double value)
{
    const std::size_t bar = ScrollBarOf(edit);
    if (bar < m_bars.size())
        PlaceBar(bar, BarPosition(kConfigScrollBars[bar], value));
}

void C3DdlgConfig::PlaceBar(std::size_t bar, double position)
{
    const ConfigScrollSpec& spec = kConfigScrollBars[bar];
    m_positions[bar] = std::clamp(position, double(spec.min), double(spec.max));
    const QSignalBlocker quiet(m_bars[bar]);
    m_bars[bar]->setValue(static_cast<int>(std::lround(m_positions[bar])));
}

// The choices read their own control alone: a text left refused in an edit is that edit's
// to report, when the user leaves it.
void C3DdlgConfig::OnCheck(ConfigCheck check)
{
    m_values.checks[check] = m_checks[check]->isChecked() ? 1 : 0;
    m_pending.dirty = true;
    if (CPresentationConfig* record = ActiveRecord()) {
        const CPresentationConfig before = *record;
        StoreCheck(check, m_values.checks[check], *record);
        NoteEdit(before, *record);
    }
}

void C3DdlgConfig::OnPolygonRadio(int index)
{
    m_values.polygonRadio = index;
    m_pending.dirty = true;
    if (CPresentationConfig* record = ActiveRecord()) {
        const CPresentationConfig before = *record;
        StorePolygonRadio(index, *record);
        NoteEdit(before, *record);
    }
}

void C3DdlgConfig::OnLineRadio(int index)
{
    m_values.lineRadio = index;
    m_pending.hint = LineRadioHint(index);
    m_pending.dirty = true;
    if (CPresentationConfig* record = ActiveRecord()) {
        const CPresentationConfig before = *record;
        record->m_DrawXYLine = index;
        NoteEdit(before, *record);
    }
}

// The colour changes only on OK; either way the view is repainted at the next tick.
void C3DdlgConfig::OnSwatch(ConfigSwatch swatch)
{
    CColorDialogModel dialog(m_values.colours[swatch]);
    if (Prompt().RunDialog(dialog)) {
        m_values.colours[swatch] = dialog.m_color & kColorMask;
        if (CPresentationConfig* record = ActiveRecord()) {
            const CPresentationConfig before = *record;
            StoreSwatch(swatch, m_values.colours[swatch], *record);
            NoteEdit(before, *record);
        }
        m_swatches[swatch]->SetColor(m_values.colours[swatch]);
    }
    m_pending.dirty = true;
}

// A step goes from the value the edit shows, typed or loaded; a text refused there is
// replaced by the bar's value without a word.
void C3DdlgConfig::OnScroll(std::size_t bar, int action)
{
    const ConfigScrollSpec& spec = kConfigScrollBars[bar];
    const ScrollCode code = CodeOf(action);
    const int position = ScrollStep(m_positions[bar], code, m_bars[bar]->sliderPosition(), spec.min, spec.max);
    m_bars[bar]->setSliderPosition(position);
    // The bar stays where it was, and so does what the edit shows.
    if (code == ScrollCode::Other)
        return;
    m_positions[bar] = position;
    SetEditText(spec.edit, ScrollText(spec, position));
}

void C3DdlgConfig::OnSelchangeImageList(int row)
{
    CDocument* doc = m_watch.Document();
    CPresentationConfig* record = ActiveRecord();
    if (doc == nullptr || record == nullptr || row < 0)
        return;
    const std::vector<ImageEntry>& images = doc->Doc().ImageList();
    if (static_cast<std::size_t>(row) >= images.size())
        return;
    const CPresentationConfig before = *record;
    record->m_NameOfImageForColor = images[static_cast<std::size_t>(row)].m_pImage->m_strName;
    NoteEdit(before, *record);
    m_watch.UpdateViews(kHintColors);
}

void C3DdlgConfig::SetEditText(ConfigEdit edit, const std::string& text)
{
    const QScopedValueRollback setting(m_bSettingText, true);
    const QString wanted = QString::fromStdString(text);
    if (m_edits[edit]->text() == wanted)
        OnChangeEdit(edit);
    else
        m_edits[edit]->setText(wanted);
    // A text set puts the cursor behind it, and an edit narrower than the text would show
    // only its tail.
    m_edits[edit]->setCursorPosition(0);
}

bool C3DdlgConfig::eventFilter(QObject* watched, QEvent* event)
{
    // Not for a menu or another window taking the focus for a while: the user comes back to
    // type where they were.
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (edit != nullptr && reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            edit->setCursorPosition(0);
    }
    return QWidget::eventFilter(watched, event);
}

void C3DdlgConfig::NoteEdit(const CPresentationConfig& before, const CPresentationConfig& record)
{
    TakeChanges(m_shown, ShownRecordOf(before), ShownRecordOf(record));
    if (CDocument* doc = m_watch.Document())
        doc->Doc().NoteSettingsEdit(before, record);
}

void C3DdlgConfig::ShowChoices()
{
    for (std::size_t c = 0; c < kCheckCount; ++c) {
        const QSignalBlocker quiet(m_checks[c]);
        m_checks[c]->setChecked(m_values.checks[c] == 1);
    }
    const auto check = [](const std::vector<QAbstractButton*>& group, int index) {
        for (std::size_t i = 0; i < group.size(); ++i) {
            const QSignalBlocker quiet(group[i]);
            group[i]->setChecked(static_cast<int>(i) == index);
        }
    };
    check(m_polygonRadios, m_values.polygonRadio);
    check(m_lineRadios, m_values.lineRadio);
}

void C3DdlgConfig::UpdateControls()
{
    {
        const QSignalBlocker quiet(m_pList);
        m_pList->clear();
    }
    CPresentationConfig* record = ActiveRecord();
    EnableControls(record != nullptr);
    if (record == nullptr)
        return;
    {
        const QSignalBlocker quiet(m_pList);
        for (const ImageEntry& entry : m_watch.Document()->Doc().ImageList())
            m_pList->addItem(DisplayText(entry.m_pImage->m_strName));
    }
    // Each edit's handler runs as its text is set: the timer must not send half a load.
    m_timer.stop();
    ShowRecord(*record, nullptr);
    ComputeLightPosition(*record);
    {
        const QScopedValueRollback loading(m_bLoading, true);
        ExchangeAll();
    }
    m_shown = ShownRecordOf(*record);
    m_pending = PendingAfterLoad(*record);
    m_timer.start(kTimerMs);
}

void C3DdlgConfig::ShowRecord(CPresentationConfig& record, const ConfigShownRecord* changedSince)
{
    const QScopedValueRollback loading(m_bLoading, true);
    LoadChoices(record, m_values);
    ShowChoices();
    SelectColourSource(record);
    for (std::size_t s = 0; s < kSwatchCount; ++s)
        m_swatches[s]->SetColor(m_values.colours[s]);
    const ConfigShownRecord now = ShownRecordOf(record);
    for (const ConfigLoadStep& step : LoadSteps(record)) {
        if (changedSince != nullptr && now.values.edits[step.edit] == changedSince->values.edits[step.edit])
            continue;
        if (const std::size_t bar = ScrollBarOf(step.edit); bar < m_bars.size())
            PlaceBar(bar, step.position);
        SetEditText(step.edit, step.text);
    }
}

void C3DdlgConfig::SelectColourSource(const CPresentationConfig& record)
{
    const QSignalBlocker quiet(m_pList);
    m_pList->setCurrentRow(-1);
    for (int row = 0; row < m_pList->count(); ++row)
        if (m_pList->item(row)->text().compare(DisplayText(record.m_NameOfImageForColor), Qt::CaseInsensitive) == 0) {
            m_pList->setCurrentRow(row);
            return;
        }
}

// The record changed since the panel showed it, by a drag in the 3D view or a file read into
// it elsewhere: each control whose value changed shows the record's, so that a bar steps
// from what the view draws and a save writes what the edits say. An edit whose value did
// not change is left as it shows, also a text the user is typing. The view that changed the
// record has drawn it already, so nothing is sent.
void C3DdlgConfig::ShowChanges(CPresentationConfig& record)
{
    const ConfigShownRecord now = ShownRecordOf(record);
    if (now == m_shown)
        return;
    const ConfigPending pending = m_pending;
    ShowRecord(record, &m_shown);
    m_pending = pending;
    m_shown = now;
}

void C3DdlgConfig::OnTimer()
{
    // Another frame becoming active ends the typing in the last one's record.
    if (m_mainFrame.MDIGetActive() != m_watch.Frame())
        FinishEdits();
    const CPanelFrameWatch::Change change = m_watch.Follow();
    if (change == CPanelFrameWatch::Change::Gone)
        UpdateControls();
    CMDIChildFrame* frame = m_watch.Frame();
    if (frame == nullptr)
        return;
    // A frame whose image was not found is looked at again until it is.
    if (change == CPanelFrameWatch::Change::New || m_pList->count() == 0) {
        m_strImageName = frame->m_strImageName;
        m_nSettingsIndex = frame->m_nSettingsIndex;
        if (ActiveRecord() == nullptr)
            m_watch.DropDocument();
        UpdateControls();
    } else if (CPresentationConfig* record = ActiveRecord()) {
        ShowChanges(*record);
    }
    if (m_watch.Document() != nullptr && m_pending.dirty)
        m_watch.UpdateViews(TakePendingHint(m_pending));
}

void C3DdlgConfig::OnSave2D3DConf()
{
    const CPresentationConfig* record = ActiveRecord();
    if (record == nullptr)
        return;
    const ViewKind kind = ViewKindForSettingsIndex(m_nSettingsIndex);
    const std::string path = AskPanelFile(false, kConfigFileType);
    // The dialog ran the event loop: the record may have gone with its document.
    record = ActiveRecord();
    CDocument* doc = m_watch.Document();
    if (path.empty() || record == nullptr || doc == nullptr)
        return;
    const std::optional<SettingsPlace> place = doc->Doc().PlaceToSaveRecordIn(*record, kind, path);
    // So may the choice of the image file, and the question about open images' changes.
    record = ActiveRecord();
    if (!place || record == nullptr || m_watch.Document() != doc)
        return;
    const std::optional<bool> replaceChanged = doc->Doc().AskBeforeReplacingOpenRecords(*record, kind, *place);
    record = ActiveRecord();
    if (!replaceChanged || record == nullptr || m_watch.Document() != doc)
        return;
    if (SaveRecordAt(*place, kind, *record))
        doc->Doc().NoteRecordWritten(*record, kind, *place, *replaceChanged);
}

void C3DdlgConfig::OnLoad2D3DConf()
{
    if (ActiveRecord() == nullptr)
        return;
    const ViewKind kind = ViewKindForSettingsIndex(m_nSettingsIndex);
    const std::string path = AskPanelFile(true, kConfigFileType);
    CPresentationConfig* record = ActiveRecord();
    CDocument* doc = m_watch.Document();
    if (record == nullptr || doc == nullptr)
        return;
    // The file and the rounding of the controls both count: the record is the user's choice.
    const CPresentationConfig before = *record;
    if (!path.empty()) {
        const ProfileFile profile = ProfileFile::Load(path);
        if (profile.LoadResult() == FileReadResult::Unreadable) {
            Prompt().Message(UnableToRead(path));
        } else if (const std::optional<SettingsPlace> place = doc->Doc().PlaceToLoadRecordFrom(*record, kind, profile)) {
            // The choice of the image file ran the event loop as well.
            if (ActiveRecord() != record || m_watch.Document() != doc)
                return;
            LoadCnf(profile, kind, *record, *place);
        }
    }
    UpdateControls();
    if (!path.empty())
        NoteEdit(before, *record);
    m_watch.UpdateViews(kHintColors);
}
