#pragma once

#include <QDialog>
#include <array>

#include "status/status_format.h"

class QLineEdit;

namespace korvel::ui {

// `dlgKorvelStatus`: the summary of the classic queries, with DIP switches and capacity.
class ClassicStatusDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit ClassicStatusDialog(QWidget* parent);

    void fill(const ClassicStatusTexts& texts);

    QLineEdit* txtSystem = nullptr;
    QLineEdit* txtProtVer = nullptr;
    QLineEdit* txtSysVer = nullptr;
    QLineEdit* txtLicense = nullptr;
    QLineEdit* txtCap = nullptr;
    std::array<QLineEdit*, 4> txtDIP{};
    std::array<QLineEdit*, 16> txtKXstatus{};
    std::array<QLineEdit*, 16> txtKXtype{};
    std::array<QLineEdit*, 8> txtZRstatus{};

  private:
    void buildSystemBlock();
    void buildDipRow();
    void buildZrBlock();
    void buildKxBlock();
};

}  // namespace korvel::ui
