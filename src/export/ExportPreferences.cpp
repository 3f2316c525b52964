#include "export/ExportPreferences.h"

#include <QDialog>
#include <QDialogButtonBox>

QDialogButtonBox *okCancel(QDialog *dialog, const std::function<void()> &store)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, store] {
        store();
        dialog->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}
