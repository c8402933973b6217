#include "ui/status_dialogs.h"

#include <QWidget>

#include "ui/classic_status_dialog.h"
#include "ui/standard_status_dialog.h"

namespace korvel::ui {

namespace {

// A closed window is gone with its texts; the next request makes a fresh one,
// even before the closed one has been deleted.
template <class Dialog>
Dialog& existingOrNew(QPointer<Dialog>& dialog, QWidget* owner, QObject* context) {
    if (!dialog) {
        dialog = new Dialog(owner);
        dialog->setWindowFlag(Qt::Window);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        QObject::connect(dialog, &QDialog::finished, context, [&dialog] { dialog = nullptr; });
    }
    return *dialog;
}

}  // namespace

StatusDialogs::StatusDialogs(QWidget* owner) : QObject(owner), owner_(owner) {}

StandardStatusDialog& StatusDialogs::standard() {
    return existingOrNew(standard_, owner_, this);
}

ClassicStatusDialog& StatusDialogs::classic() {
    return existingOrNew(classic_, owner_, this);
}

StandardStatusDialog* StatusDialogs::existingStandard() const {
    return standard_;
}

ClassicStatusDialog* StatusDialogs::existingClassic() const {
    return classic_;
}

void StatusDialogs::showNonModal(QWidget* dialog) {
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

void StatusDialogs::closeAll() {
    if (standard_) standard_->close();
    if (classic_) classic_->close();
}

}  // namespace korvel::ui
