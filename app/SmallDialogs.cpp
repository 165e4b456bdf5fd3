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

#include <optional>
#include <string>

#include "app/AppResources.h"
#include "platform/core/DialogModels.h"
#include "platform/core/Prompt.h"
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

// The user left `edit`, whose field now shows as `value`: the edit shows it, then says why
// its text was refused, if it was; the focus going to the message finds nothing to say.
void EditLeft(QLineEdit* edit, const std::optional<std::string>& refusal, const std::string& value)
{
    edit->setText(DisplayText(value));
    if (refusal)
        Prompt().Message(*refusal);
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
    QObject::connect(edit, &QLineEdit::textEdited, &dialog,
                     [&model](const QString& text) { model.TakeTyped(text.toStdString()); });
    QObject::connect(edit, &QLineEdit::editingFinished, &dialog, [&model, edit] {
        EditLeft(edit, model.Refusal(edit->text().toStdString()), model.Name());
    });
    QObject::connect(AddOkCancel(dialog, layout), &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    return dialog.exec() == QDialog::Accepted;
}

// What the user types is never rewritten while they type: a text that is a value goes into
// the model at once, a number on its way ("", "-", "1e") waits for the edit to be left. Units
// stop taking characters at their limit.
bool RunHeaderCoef(CDialogHeaderCoef& model, QWidget* parent)
{
    QDialog dialog(parent);
    StartDialog(dialog, model.Caption());
    auto* layout = new QHBoxLayout(&dialog);
    auto* numbers = new QGroupBox(&dialog);
    auto* numberForm = new QFormLayout(numbers);
    auto* units = new QVBoxLayout;
    const auto addEdit = [&model, &dialog](HeaderCoefField field, const char* name) {
        auto* edit = new QLineEdit(DisplayText(model.Text(field)));
        edit->setObjectName(name);
        if (CDialogHeaderCoef::IsUnit(field))
            LimitTyping(*edit, CDialogHeaderCoef::kMaxUnitLength);
        QObject::connect(edit, &QLineEdit::textEdited, &dialog,
                         [&model, field](const QString& text) { model.TakeTyped(field, text.toStdString()); });
        // Numbers take the dialog's number format once the user leaves the edit.
        QObject::connect(edit, &QLineEdit::editingFinished, &dialog, [&model, edit, field] {
            EditLeft(edit, model.Refusal(field, edit->text().toStdString()), model.Text(field));
        });
        return edit;
    };
    numberForm->addRow("K_x", addEdit(HeaderCoefField::Kx, "Kx"));
    numberForm->addRow("K_y", addEdit(HeaderCoefField::Ky, "Ky"));
    numberForm->addRow("K_z", addEdit(HeaderCoefField::Kz, "Kz"));
    units->addWidget(new QLabel("ZUnit "));
    units->addWidget(addEdit(HeaderCoefField::ZUnit, "ZUnit"));
    units->addWidget(new QLabel("XYUnit "));
    units->addWidget(addEdit(HeaderCoefField::XYUnit, "XYUnit"));
    layout->addWidget(numbers);
    layout->addLayout(units);
    QObject::connect(AddOkCancel(dialog, units), &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    return dialog.exec() == QDialog::Accepted;
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
    sizeForm->addRow("XYMatrixSize", matrixSize);
    groupLayout->addWidget(sizeBox);
    layout->addWidget(group);

    const auto exchange = [&](bool save) {
        CDataExchange dx(save);
        DDX_Radio(dx, radios, model.m_nMode);
        DDX_Text(dx, matrixSize, model.m_nMatrixSize);
        DDV_MinMaxUInt(dx, model.m_nMatrixSize, CDialogOptions::kMinMatrixSize, CDialogOptions::kMaxMatrixSize);
        matrixSize->setEnabled(model.MatrixSizeEnabled());
        return !dx.m_bFailed;
    };
    exchange(false);
    for (QAbstractButton* radio : radios)
        QObject::connect(radio, &QAbstractButton::clicked, &dialog, [&] { exchange(true) && exchange(false); });
    model.m_bAccepted = 0;
    QObject::connect(AddOkCancel(dialog, layout), &QDialogButtonBox::accepted, &dialog, [&] {
        model.m_bAccepted = 1;
        if (exchange(true))
            dialog.accept();
        else
            model.m_bAccepted = 0;
    });
    const bool accepted = dialog.exec() == QDialog::Accepted;
    if (!accepted)
        model.m_bAccepted = 0;
    return accepted;
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
