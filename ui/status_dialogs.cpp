#include "ui/status_dialogs.h"

#include <QWidget>

namespace korvel::ui {

StatusDialogs::StatusDialogs(QWidget* owner) : QObject(owner), owner_(owner) {}

void StatusDialogs::closeAll() {}

}  // namespace korvel::ui
