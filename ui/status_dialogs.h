#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace korvel::ui {

class StandardStatusDialog;
class ClassicStatusDialog;

// Owns the two status windows, made on first use and made anew after the user closed one.
class StatusDialogs final : public QObject {
    Q_OBJECT
  public:
    explicit StatusDialogs(QWidget* owner);

    StandardStatusDialog& standard();
    ClassicStatusDialog& classic();
    // The windows as they stand; null before first use and after the user closed one.
    StandardStatusDialog* existingStandard() const;
    ClassicStatusDialog* existingClassic() const;

    // Shows a window without blocking the main window; one already open stays open.
    static void showNonModal(QWidget* dialog);

    // Closes both windows (standard first, then classic) at shut-down.
    void closeAll();

  private:
    QWidget* owner_;
    QPointer<StandardStatusDialog> standard_;
    QPointer<ClassicStatusDialog> classic_;
};

}  // namespace korvel::ui
