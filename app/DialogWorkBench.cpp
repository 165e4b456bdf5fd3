#include "app/DialogWorkBench.h"

#include <algorithm>

#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/panels/PanelKeys.h"
#include "image/HeaderTextCoding.h"
#include "platform/core/NumberText.h"
#include "platform/qt/DataExchange.h"
#include "platform/qt/DisplayText.h"
#include "platform/qt/DocManager.h"
#include "platform/qt/Document.h"
#include "platform/qt/MDIChildFrame.h"

namespace {

constexpr int kTimerMs = 100;
constexpr double kMaxCoefficient = 1000.0;
// What the user may type into each header text: the characters the earlier program let them
// type, and no more bytes of UTF-8 than the header field keeps, so that an edit never shows
// more than the header holds. The note counts only its field's bytes.
constexpr std::size_t kMaxZUnitChars = 3;
constexpr std::size_t kMaxXYUnitChars = 4;
constexpr std::size_t kMaxNameChars = 14;
constexpr std::size_t kZUnitBytes = sizeof(SpmHeader::m_szZUnit) - 1;
constexpr std::size_t kXYUnitBytes = sizeof(SpmHeader::m_szXYUnit) - 1;
constexpr std::size_t kNameBytes = sizeof(SpmHeader::m_szQuantity) - 1;
constexpr std::size_t kNoteBytes = sizeof(SpmHeader::m_szNote) - 1;

QLineEdit* AddEdit(QFormLayout* form, const char* label, bool editable)
{
    auto* edit = new QLineEdit;
    edit->setEnabled(editable);
    form->addRow(label, edit);
    return edit;
}

template <std::size_t N>
QString Shown(const char (&field)[N])
{
    return DisplayText(ShownHeaderText(field));
}

QString DocumentItemText(const CDocument& doc)
{
    return DisplayText(doc.GetTitle());
}

QString ImageItemText(const CSpmImage& image)
{
    // A name made from an older file's quantity may hold Latin-1 bytes.
    return DisplayText(HeaderBytesAsUtf8(image.m_strName));
}

QString ColumnsText(const SpmHeader& header)
{
    return DisplayText("mx= " + FormatFixed(header.m_nColumns, 0));
}

QString RowsText(const SpmHeader& header)
{
    return DisplayText("my= " + FormatFixed(header.m_nRows, 0));
}

} // namespace

CDialogWorkBench::CDialogWorkBench(CMainFrame& mainFrame, QWidget* parent)
    : QWidget(parent), m_mainFrame(mainFrame)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    auto* header = new QGroupBox("SPM file HEADER", this);
    auto* form = new QFormLayout(header);
    m_pColumns = new QLabel("mx");
    m_pRows = new QLabel("my");
    form->addRow(m_pColumns, m_pRows);
    m_pKx = AddEdit(form, "Kx =", false);
    m_pKy = AddEdit(form, "Ky =", false);
    m_pKz = AddEdit(form, "Kz =", false);
    m_pZUnit = AddEdit(form, "ZUnit =", true);
    m_pXYUnit = AddEdit(form, "XYUnit =", true);
    m_pName = AddEdit(form, "Image Name", true);
    m_pVersion = AddEdit(form, "Version", false);
    m_pNote = new QPlainTextEdit;
    m_pNote->setMaximumHeight(70);
    form->addRow("Note", m_pNote);
    // The fields go by their control ids.
    m_pColumns->setObjectName("1067");
    m_pRows->setObjectName("1066");
    m_pKx->setObjectName("1064");
    m_pKy->setObjectName("1065");
    m_pKz->setObjectName("1063");
    m_pVersion->setObjectName("1074");
    m_pZUnit->setObjectName("1068");
    m_pXYUnit->setObjectName("1069");
    m_pName->setObjectName("1071");
    m_pNote->setObjectName("1070");
    m_fields = {m_pKx, m_pKy, m_pColumns, m_pRows, m_pXYUnit, m_pKz, m_pZUnit, m_pVersion, m_pName, m_pNote};
    layout->addWidget(header);

    auto* bench = new QGroupBox("WORK BENCH", this);
    auto* benchLayout = new QVBoxLayout(bench);
    m_pTree = new QTreeWidget(bench);
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(true);
    m_pTree->setContextMenuPolicy(Qt::CustomContextMenu);
    benchLayout->addWidget(m_pTree);
    layout->addWidget(bench, 1);

    for (const auto& [edit, control] : {std::pair{m_pZUnit, 1068}, {m_pXYUnit, 1069}, {m_pName, 1071}}) {
        connect(edit, &QLineEdit::textChanged, this, [this, control = control] { OnChangeHeaderText(control); });
        connect(edit, &QLineEdit::editingFinished, this, [this, edit = edit] { OnHeaderEditLeft(edit); });
    }
    connect(m_pNote, &QPlainTextEdit::textChanged, this, [this] { OnChangeHeaderText(1070); });
    // Writing the controls gives the header edits their limits for typing.
    CDataExchange limits(false);
    DoDataExchange(limits);
    connect(m_pTree, &QTreeWidget::itemSelectionChanged, this, [this] {
        const QList<QTreeWidgetItem*> selected = m_pTree->selectedItems();
        if (selected.isEmpty())
            return;
        const auto index = selected.front()->data(0, Qt::UserRole).toULongLong();
        if (index < m_mainFrame.m_listWorkBench.size())
            m_mainFrame.m_selItem = m_mainFrame.m_listWorkBench[index];
    });
    connect(m_pTree, &QWidget::customContextMenuRequested, this, &CDialogWorkBench::OnTreeMenu);
    connect(&m_mainFrame, &CMainFrame::framesChanged, this, &CDialogWorkBench::FillTree);
    connect(&m_mainFrame, &CMDIFrameWnd::childFramesChanged, this, &CDialogWorkBench::FillTree);

    UpdateHeader();
    AddPanelKeys(*this, PanelKeys::kEscapeHides);
    connect(&m_timer, &QTimer::timeout, this, &CDialogWorkBench::OnTimer);
    m_timer.start(kTimerMs);
}

CSpmImage* CDialogWorkBench::ActiveImage() const
{
    if (!m_mainFrame.DocManager().IsOpen(m_pActiveDoc))
        return nullptr;
    CMDIDoc& doc = m_pActiveDoc->Doc();
    if (ImageEntry* entry = doc.FindImage(m_strImageName))
        return entry->m_pImage.get();
    // A profile frame opened from the menu names no image: show the first.
    return doc.ImageList().empty() ? nullptr : doc.ImageList().front().m_pImage.get();
}

void CDialogWorkBench::OnTimer()
{
    CMDIChildFrame* frame = m_mainFrame.MDIGetActive();
    if (frame != nullptr && frame != m_pLastFrame) {
        m_pLastFrame = frame;
        m_bFrameSeen = true;
        m_pActiveDoc = frame->GetActiveDocument();
        m_strImageName = frame->m_strImageName;
        UpdateHeader();
        FillTree();
    } else if (frame != nullptr) {
        ShowHeaderChanges();
        if (TreeIsStale())
            FillTree();
    } else if (m_bFrameSeen) {
        m_bFrameSeen = false;
        m_pLastFrame = nullptr;
        m_pActiveDoc = nullptr;
        UpdateHeader();
    }
}

bool CDialogWorkBench::TreeIsStale() const
{
    // "Save Image As" retitles its document, and an image may join a document, while the
    // same frame stays active.
    const auto& docs = m_mainFrame.DocManager().Documents();
    if (m_pTree->topLevelItemCount() != static_cast<int>(docs.size()))
        return true;
    for (std::size_t i = 0; i < docs.size(); ++i) {
        const QTreeWidgetItem* docItem = m_pTree->topLevelItem(static_cast<int>(i));
        const std::vector<ImageEntry>& images = docs[i]->Doc().ImageList();
        if (docItem->text(0) != DocumentItemText(*docs[i]) || docItem->childCount() != static_cast<int>(images.size()))
            return true;
        for (std::size_t j = 0; j < images.size(); ++j)
            if (docItem->child(static_cast<int>(j))->text(0) != ImageItemText(*images[j].m_pImage))
                return true;
    }
    return false;
}

CDialogWorkBench::ShownHeader CDialogWorkBench::ShownOf(const SpmHeader& header)
{
    // The steps and the scale are shown as the header holds them, also beyond what a typed
    // value may be.
    return {DisplayText(FormatFixed(header.m_fKx, 6)),
            DisplayText(FormatFixed(header.m_fKy, 4)),
            ColumnsText(header),
            RowsText(header),
            Shown(header.m_szXYUnit),
            DisplayText(FormatFixed(header.m_fKz, 4)),
            Shown(header.m_szZUnit),
            Shown(header.m_szVersion),
            Shown(header.m_szQuantity),
            Shown(header.m_szNote)};
}

CDialogWorkBench::HeaderField CDialogWorkBench::FieldOf(int control)
{
    switch (control) {
    case 1068: return kZUnit;
    case 1069: return kXYUnit;
    case 1071: return kName;
    default: return kNote;
    }
}

void CDialogWorkBench::ShowHeader(const ShownHeader& header, const ShownHeader* changedSince)
{
    for (std::size_t field = 0; field < header.size(); ++field) {
        if (changedSince != nullptr && (*changedSince)[field] == header[field])
            continue;
        QWidget* control = m_fields[field];
        if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(header[field]);
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(header[field]);
        } else {
            // The note's handler runs on the user's changes only.
            const QSignalBlocker quiet(m_pNote);
            m_pNote->setPlainText(header[field]);
        }
    }
}

void CDialogWorkBench::UpdateHeader()
{
    const CSpmImage* image = ActiveImage();
    if (image == nullptr) {
        m_pActiveDoc = nullptr;
        m_shown = {"0", "0", "mx", "my", {}, "0", {}, {}, {}, {}};
        ShowHeader(m_shown, nullptr);
        m_pTree->clear();
    } else {
        ShowHeader(ShownOf(image->m_header), nullptr);
        // What the edits wrote back as they were set is what they show.
        m_shown = ShownOf(image->m_header);
    }
    // Without an image, what the user typed would go into no header. The texts are replaced
    // first: an edit left by the focus it loses has nothing refused to say.
    for (QWidget* edit : std::array<QWidget*, 4>{m_pZUnit, m_pXYUnit, m_pName, m_pNote})
        edit->setEnabled(image != nullptr);
}

void CDialogWorkBench::ShowHeaderChanges()
{
    const CSpmImage* image = ActiveImage();
    if (image == nullptr)
        return;
    const ShownHeader now = ShownOf(image->m_header);
    if (now == m_shown)
        return;
    ShowHeader(now, &m_shown);
    m_shown = ShownOf(image->m_header);
}

void CDialogWorkBench::DoDataExchange(CDataExchange& dx)
{
    // The steps and the scale keep the header's formats: they are only read.
    if (dx.m_bSaveAndValidate) {
        DDX_Text(dx, m_pKx, m_dKx);
        DDV_MinMaxDouble(dx, m_dKx, 0.0, kMaxCoefficient);
        DDX_Text(dx, m_pKy, m_dKy);
        DDV_MinMaxDouble(dx, m_dKy, 0.0, kMaxCoefficient);
        DDX_Text(dx, m_pKz, m_dKz);
        DDV_MinMaxDouble(dx, m_dKz, 0.0, kMaxCoefficient);
    }
    DDX_Text(dx, m_pZUnit, m_strZUnit);
    DDV_MaxChars(dx, m_strZUnit, kMaxZUnitChars, kZUnitBytes);
    DDX_Text(dx, m_pXYUnit, m_strXYUnit);
    DDV_MaxChars(dx, m_strXYUnit, kMaxXYUnitChars, kXYUnitBytes);
    DDX_Text(dx, m_pName, m_strName);
    DDV_MaxChars(dx, m_strName, kMaxNameChars, kNameBytes);
    DDX_Text(dx, m_pVersion, m_strVersion);
    DDX_Text(dx, m_pNote, m_strNote);
    DDV_MaxChars(dx, m_strNote, kNoteBytes, kNoteBytes);
}

void CDialogWorkBench::OnChangeHeaderText(int control)
{
    CSpmImage* image = ActiveImage();
    if (image == nullptr)
        return;
    // The edit typed in is never rewritten, and a text beyond its limit there (a longer one
    // the program showed, shortened) takes nothing; another edit's refused text is that
    // edit's to say, when the user leaves it. The texts a header fills the edits with are
    // read too, so that an edit left refused shows the header's text again.
    const HeaderField field = FieldOf(control);
    if (!ExchangeTyped(m_fields[field], [this](CDataExchange& dx) { DoDataExchange(dx); }))
        return;
    SpmHeader& header = image->m_header;
    // Filling the panel runs these handlers too: only a text that reads otherwise than the
    // header's is an edit (a header of an older file holds its texts in other bytes than the
    // edit's), and an edit is a change of the image that closing asks about.
    const auto take = [this, image](auto& bytes, const QString& text) {
        const std::string typed = text.toStdString();
        if (typed == ShownHeaderText(bytes))
            return;
        const std::string before = HeaderText(bytes);
        SetTypedHeaderText(bytes, typed);
        if (HeaderText(bytes) != before)
            m_pActiveDoc->Doc().SetModifiedFlag(*image);
    };
    switch (field) {
    case kZUnit: take(header.m_szZUnit, m_pZUnit->text()); break;
    case kXYUnit: take(header.m_szXYUnit, m_pXYUnit->text()); break;
    case kName: take(header.m_szQuantity, m_pName->text()); break;
    default: take(header.m_szNote, m_pNote->toPlainText()); break;
    }
    // The panel shows its own change already; one made elsewhere meanwhile is still to show.
    m_shown[field] = ShownOf(header)[field];
    if (field != kNote)   // the note changes no picture
        m_pActiveDoc->UpdateAllViews(nullptr, kHintInitial, nullptr);
}

void CDialogWorkBench::OnHeaderEditLeft(QLineEdit* edit)
{
    // A refused text takes nothing: the field goes back to what it held before the user
    // began that text, and the edit shows it again before the message, which the header takes
    // as the program's text.
    ExchangeLeft(edit, [this](CDataExchange& dx) { DoDataExchange(dx); });
}

void CDialogWorkBench::FillTree()
{
    const QSignalBlocker quiet(m_pTree);
    m_pTree->clear();
    std::vector<WorkBenchItem>& list = m_mainFrame.m_listWorkBench;
    list.clear();
    const CMDIChildFrame* active = m_mainFrame.MDIGetActive();
    const CDocument* activeDoc = active != nullptr ? active->GetActiveDocument() : nullptr;
    const auto addItem = [&list](QTreeWidgetItem* item, const WorkBenchItem& benchItem, bool bold) {
        item->setData(0, Qt::UserRole, static_cast<qulonglong>(list.size()));
        QFont font = item->font(0);
        font.setBold(bold);
        item->setFont(0, font);
        list.push_back(benchItem);
    };
    for (const auto& doc : m_mainFrame.DocManager().Documents()) {
        const bool bold = doc.get() == activeDoc;
        auto* docItem = new QTreeWidgetItem(m_pTree, QStringList(DocumentItemText(*doc)));
        addItem(docItem, {0, doc.get(), 0, {}}, bold);
        const std::vector<ImageEntry>& images = doc->Doc().ImageList();
        for (std::size_t i = 0; i < images.size(); ++i) {
            const CSpmImage& image = *images[i].m_pImage;
            auto* imageItem = new QTreeWidgetItem(docItem, QStringList(ImageItemText(image)));
            addItem(imageItem, {1, doc.get(), static_cast<int>(i), image.m_strName}, bold);
        }
        docItem->setExpanded(true);
    }
    KeepSelection();
}

void CDialogWorkBench::KeepSelection()
{
    // A menu asked for beside the items is the selected item's: the tree built anew shows
    // that item selected still, or, where it has gone with its document, selects nothing and
    // its menu acts on nothing.
    WorkBenchItem& selected = m_mainFrame.m_selItem;
    const std::vector<WorkBenchItem>& list = m_mainFrame.m_listWorkBench;
    const auto same = [&selected](const WorkBenchItem& item) {
        return item.m_pDoc == selected.m_pDoc && item.m_nKind == selected.m_nKind &&
               (item.m_nKind == 0 || item.m_strItemName == selected.m_strItemName);
    };
    const auto found = std::find_if(list.begin(), list.end(), same);
    if (selected.m_pDoc == nullptr || found == list.end()) {
        selected = {};
        return;
    }
    const auto index = static_cast<qulonglong>(found - list.begin());
    for (QTreeWidgetItemIterator it(m_pTree); *it != nullptr; ++it)
        if ((*it)->data(0, Qt::UserRole).toULongLong() == index)
            (*it)->setSelected(true);
}

void CDialogWorkBench::OnTreeMenu(const QPoint& position)
{
    // The press of a right click has selected the item under the pointer, as a user expects
    // of a tree: the menu is that item's. A click beside the items, or the keyboard's menu
    // key, leaves the selection, and the menu is the selected item's. The entries act on the
    // item the menu was made for, whatever happens to the selection while it is open.
    const WorkBenchItem item = m_mainFrame.m_selItem;
    // No menu whose entries would act on nothing: the views of an image whose document closed
    // since it was selected, or an image to add with no frame whose document takes it.
    const bool actsOnSomething = item.m_nKind != 0 ? m_mainFrame.DocManager().IsOpen(item.m_pDoc)
                                                   : m_mainFrame.MDIGetActive() != nullptr;
    if (!actsOnSomething)
        return;
    QMenu menu(this);
    const auto add = [this, &menu, &item](const char* text, int id) {
        connect(menu.addAction(text), &QAction::triggered, this, [this, id, item] { OnTreeCommand(id, item); });
    };
    if (item.m_nKind != 0) {
        add("2D", cmd::kTree2D);
        add("3D", cmd::kTree3D);
        add("Profile", cmd::kTreeProfile);
    } else {
        add("Add Image", cmd::kTreeAddImage);
    }
    menu.exec(m_pTree->viewport()->mapToGlobal(position));
}

void CDialogWorkBench::OnTreeCommand(int id, const WorkBenchItem& item)
{
    // The openers check that the item's document is still open.
    switch (id) {
    case cmd::kTree2D: m_mainFrame.Open2DView(item); break;
    case cmd::kTree3D: m_mainFrame.Open3DView(item); break;
    case cmd::kTreeProfile:
        m_mainFrame.Open2DView(item);
        m_mainFrame.OpenProfileView(item);
        break;
    case cmd::kTreeAddImage:
        if (m_mainFrame.MDIGetActive() != nullptr)
            m_mainFrame.AddImageDialog();
        break;
    default: break;
    }
}
