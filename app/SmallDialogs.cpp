#include "app/SmallDialogs.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <any>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/AppResources.h"
#include "platform/core/DialogModels.h"
#include "platform/core/Prompt.h"
#include "platform/qt/AfterAction.h"
#include "platform/qt/DataExchange.h"
#include "platform/qt/DisplayText.h"
#include "platform/qt/QtPrompt.h"

namespace {

QDialogButtonBox* AddOkCancel(QDialog& dialog, QLayout* layout)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons;
}

void StartDialog(QDialog& dialog, const std::string& caption)
{
    dialog.setWindowTitle(DisplayText(caption));
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
}

// An edit of a repair dialog, whose model takes each text of its field as it is typed.
struct ModelEdit {
    QLineEdit* edit;
    // The model takes a text typed when it is a value of the field: whether it did.
    std::function<bool(const std::string&)> take;
    // Why the model does not take a text; none when it does.
    std::function<std::optional<std::string>(const std::string&)> refusal;
    // The field's value as the edit shows it.
    std::function<std::string()> value;
    // What the model holds now, and the field put back to the value such a start holds.
    std::function<std::any()> start;
    std::function<void(const std::any&)> takeBack;
};

// The user changed the edit's text: the model takes it when it is a value, and what it held
// before the text began is kept for the edit to take back when the text is refused.
void TakeTyped(const ModelEdit& e)
{
    const std::string text = e.edit->text().toStdString();
    CTypingStart& start = TypingStartOf(*e.edit);
    if (start.Typed(text))
        start.Keep(e.start());
    start.Taken(e.take(text));
}

// Why the text the user typed into the edit went nowhere; none for a text taken, or one the
// program showed.
std::optional<std::string> TypedRefusal(const ModelEdit& e)
{
    if (!e.edit->isModified())
        return std::nullopt;
    return e.refusal(e.edit->text().toStdString());
}

// The text typed into the edit ends: a refused one takes nothing, and the model takes back
// what it held before the user began it.
void EndTyping(const ModelEdit& e, bool refused)
{
    const std::any kept = TypingStartOf(*e.edit).End();
    if (refused && kept.has_value())
        e.takeBack(kept);
}

// The user left the edit. Return and a click on OK leave it before OK reads the edits: OK
// must find the text the user typed, to refuse it and keep the dialog open, so the whole
// leave waits until the action is done. By then an edit that has the focus again (OK gave it
// back) is left alone; any other shows its field's value, and says why its text was not
// taken if it was not: then the field has taken back what it held before the user began
// that text. A dialog the action closed says nothing, even while it is still there (the
// work may run before its loop ends), and neither does an OK that refused a text: it said
// one message, and the edit keeps its text for the next OK to say.
void ShowValueWhenLeft(QDialog& dialog, const ModelEdit& e, const std::shared_ptr<int>& refusedOks)
{
    QObject::connect(e.edit, &QLineEdit::editingFinished, &dialog, [e, refusedOks] {
        RunAfterUserAction(e.edit, [e, refusedOks, before = *refusedOks] {
            QWidget* window = e.edit->window();
            if (!window->isVisible() || window->focusWidget() == e.edit || *refusedOks != before)
                return;
            const std::optional<std::string> refusal = TypedRefusal(e);
            EndTyping(e, refusal.has_value());
            const QString value = DisplayText(e.value());
            if (e.edit->text() != value)
                e.edit->setText(value);
            if (refusal)
                Prompt().Message(*refusal);
        });
    });
}

// OK takes the dialog only when every text the user typed went into the model: the first one
// that did not is said as a failed exchange says it, and its edit gets the focus, its text
// selected to type over.
bool EveryTextTaken(const std::vector<ModelEdit>& edits)
{
    CDataExchange ok(true);
    for (const ModelEdit& e : edits)
        if (const std::optional<std::string> refusal = TypedRefusal(e))
            ok.Fail(e.edit, *refusal);
    return !ok.m_bFailed;
}

// Runs a repair dialog whose edits write their model as the user types. Its OK closes it only
// on texts the model took. Cancel, Escape and the close box leave the model with every field
// the user completed, and a field whose edit holds a text it does not take as it was before
// that text began, preset or completed: the header never takes a number on the way to a text
// the user saw refused.
bool RunRepairDialog(QDialog& dialog, QDialogButtonBox* buttons, const std::vector<ModelEdit>& edits)
{
    const auto refusedOks = std::make_shared<int>(0);
    for (const ModelEdit& e : edits) {
        QObject::connect(e.edit, &QLineEdit::textEdited, &dialog, [e] { TakeTyped(e); });
        ShowValueWhenLeft(dialog, e, refusedOks);
    }
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&dialog, &edits, refusedOks] {
        if (EveryTextTaken(edits))
            dialog.accept();
        else
            ++*refusedOks;
    });
    if (dialog.exec() == QDialog::Accepted)
        return true;
    for (const ModelEdit& e : edits)
        EndTyping(e, TypedRefusal(e).has_value());
    return false;
}

// The name stops taking characters at its limit; the model takes every name as it is typed.
bool RunImageName(CDialogImageName& model, QWidget* parent)
{
    QDialog dialog(parent);
    StartDialog(dialog, model.Caption());
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel("Please enter the Image Name"));
    auto* edit = new QLineEdit(DisplayText(model.Name()));
    LimitTyping(*edit, CDialogImageName::kMaxNameLength);
    layout->addWidget(edit);
    const ModelEdit name{edit,
                         [&model](const std::string& text) { return model.TakeTyped(text); },
                         [&model](const std::string& text) { return model.Refusal(text); },
                         [&model] { return model.Name(); },
                         [&model] { return std::any(model.Name()); },
                         [&model](const std::any& start) { model.TakeBack(std::any_cast<std::string>(start)); }};
    return RunRepairDialog(dialog, AddOkCancel(dialog, layout), {name});
}

// What the user types is never rewritten while they type: a text that is a value goes into
// the model at once, a number on its way ("", "-", "1e") waits for the edit to be left. Units
// stop taking characters at their limit, in characters and in the bytes the header keeps. A
// fixed field shows its value in an edit that takes no typing.
bool RunHeaderCoef(CDialogHeaderCoef& model, QWidget* parent)
{
    QDialog dialog(parent);
    StartDialog(dialog, model.Caption());
    auto* layout = new QHBoxLayout(&dialog);
    auto* numbers = new QGroupBox(&dialog);
    auto* numberForm = new QFormLayout(numbers);
    auto* units = new QVBoxLayout;
    std::vector<ModelEdit> edits;
    const auto addEdit = [&model, &edits](HeaderCoefField field, const char* name) {
        auto* edit = new QLineEdit(DisplayText(model.Text(field)));
        edit->setObjectName(name);
        edit->setEnabled(!model.Fixed(field));
        if (CDialogHeaderCoef::IsUnit(field))
            LimitTyping(*edit, CDialogHeaderCoef::kMaxUnitLength, CDialogHeaderCoef::UnitBytes(field));
        // A number taken shows as the header keeps it once the user leaves the edit.
        edits.push_back({edit, [&model, field](const std::string& text) { return model.TakeTyped(field, text); },
                         [&model, field](const std::string& text) { return model.Refusal(field, text); },
                         [&model, field] { return model.Text(field); }, [&model] { return std::any(model.Values()); },
                         [&model, field](const std::any& start) {
                             model.TakeBack(field, std::any_cast<HeaderCoefValues>(start));
                         }});
        return edit;
    };
    numberForm->addRow("K_x", addEdit(HeaderCoefField::Kx, "Kx"));
    numberForm->addRow("K_y", addEdit(HeaderCoefField::Ky, "Ky"));
    numberForm->addRow("K_z", addEdit(HeaderCoefField::Kz, "Kz"));
    if (model.Fixed(HeaderCoefField::Kz))
        edits.back().edit->setToolTip("Set by the heights of the file");
    units->addWidget(new QLabel("ZUnit "));
    units->addWidget(addEdit(HeaderCoefField::ZUnit, "ZUnit"));
    units->addWidget(new QLabel("XYUnit "));
    units->addWidget(addEdit(HeaderCoefField::XYUnit, "XYUnit"));
    layout->addWidget(numbers);
    layout->addLayout(units);
    return RunRepairDialog(dialog, AddOkCancel(dialog, units), edits);
}

bool RunOptions(CDialogOptions& model, QWidget* parent)
{
    QDialog dialog(parent);
    StartDialog(dialog, model.Caption());
    auto* layout = new QVBoxLayout(&dialog);
    auto* group = new QGroupBox("FastRenderSceneMode", &dialog);
    auto* groupLayout = new QVBoxLayout(group);
    std::vector<QAbstractButton*> radios;
    for (const char* text : {"Precisely", "Coarsely", "No drawing"}) {
        radios.push_back(new QRadioButton(text, group));
        groupLayout->addWidget(radios.back());
    }
    radios[2]->setEnabled(false);
    auto* sizeBox = new QGroupBox(group);
    auto* sizeForm = new QFormLayout(sizeBox);
    auto* matrixSize = new QLineEdit;
    matrixSize->setObjectName("matrixSize");
    sizeForm->addRow("XYMatrixSize", matrixSize);
    groupLayout->addWidget(sizeBox);
    layout->addWidget(group);

    // The dialog works on a copy: the model takes its fields only from an OK whose every
    // text reads.
    CDialogOptions shown = model;
    const auto exchange = [&](CDataExchange& dx, CDialogOptions& fields) {
        DDX_Radio(dx, radios, fields.m_nMode);
        DDX_Text(dx, matrixSize, fields.m_nMatrixSize);
        DDV_MinMaxUInt(dx, fields.m_nMatrixSize, CDialogOptions::kMinMatrixSize, CDialogOptions::kMaxMatrixSize);
        if (!dx.m_bSaveAndValidate)
            matrixSize->setEnabled(fields.MatrixSizeEnabled());
    };
    CDataExchange write(false);
    exchange(write, shown);
    // A click on a radio reads the controls as a keystroke does: a refused size stays in its
    // edit unsaid, for OK to report, while the user can edit it. An edit the click disables
    // shows the size again: OK reads a disabled edit's text as the program's.
    for (QAbstractButton* radio : radios)
        QObject::connect(radio, &QAbstractButton::clicked, &dialog, [&] {
            ExchangeTyped(nullptr, [&](CDataExchange& dx) { exchange(dx, shown); });
            if (!matrixSize->isEnabled()) {
                CDataExchange show(false);
                exchange(show, shown);
            }
        });
    model.m_bAccepted = 0;
    QObject::connect(AddOkCancel(dialog, layout), &QDialogButtonBox::accepted, &dialog, [&] {
        CDialogOptions read = shown;
        CDataExchange ok(true);
        exchange(ok, read);
        if (ok.m_bFailed)
            return;
        model.m_nMode = read.m_nMode;
        model.m_nMatrixSize = read.m_nMatrixSize;
        model.m_bAccepted = 1;
        dialog.accept();
    });
    return dialog.exec() == QDialog::Accepted;
}

bool RunChoiceList(CChoiceListDlg& model, QWidget* parent)
{
    QDialog dialog(parent);
    StartDialog(dialog, model.Caption());
    auto* layout = new QVBoxLayout(&dialog);
    if (!model.m_strText.empty()) {
        auto* text = new QLabel(DisplayText(model.m_strText), &dialog);
        text->setObjectName("choiceText");
        text->setWordWrap(true);
        layout->addWidget(text);
    }
    auto* list = new QListWidget(&dialog);
    list->setObjectName("choiceList");
    for (const std::string& entry : model.m_entries)
        list->addItem(DisplayText(entry));
    list->setCurrentRow(static_cast<int>(model.m_nSelected));
    layout->addWidget(list);
    QObject::connect(AddOkCancel(dialog, layout), &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return false;
    model.m_nSelected = static_cast<std::size_t>(list->currentRow());
    return true;
}

} // namespace

void RegisterSmallDialogs(CQtPrompt& prompt)
{
    prompt.Register<CDialogImageName>(&RunImageName);
    prompt.Register<CDialogHeaderCoef>(&RunHeaderCoef);
    prompt.Register<CDialogOptions>(&RunOptions);
    prompt.Register<CChoiceListDlg>(&RunChoiceList);
}

void ShowAboutBox()
{
    QDialog dialog;
    StartDialog(dialog, "About Quintara");
    auto* layout = new QHBoxLayout(&dialog);
    auto* icon = new QLabel;
    icon->setPixmap(AppIcon().pixmap(32, 32));
    layout->addWidget(icon, 0, Qt::AlignTop);
    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("Quintara Version %1, built %2").arg(kAppVersion, __DATE__)));
    auto* ok = new QPushButton("OK");
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    right->addWidget(ok, 0, Qt::AlignRight);
    layout->addLayout(right);
    dialog.exec();
}
