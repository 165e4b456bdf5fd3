#include "app/ChoiceListDialog.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

#include "platform/qt/QtPrompt.h"

namespace {

bool RunChoiceList(CChoiceListDlg& model, QWidget* parent)
{
    QDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(model.Caption()));
    dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* layout = new QVBoxLayout(&dialog);
    auto* list = new QListWidget(&dialog);
    list->setObjectName("choiceList");
    for (const std::string& entry : model.m_entries)
        list->addItem(QString::fromStdString(entry));
    list->setCurrentRow(static_cast<int>(model.m_nSelected));
    layout->addWidget(list);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return false;
    model.m_nSelected = static_cast<std::size_t>(list->currentRow());
    return true;
}

} // namespace

void RegisterChoiceListDialog(CQtPrompt& prompt)
{
    prompt.Register<CChoiceListDlg>(&RunChoiceList);
}
