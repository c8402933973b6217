#pragma once

#include <QDialog>
#include <array>

#include "status/status_format.h"

class QLabel;
class QLineEdit;

namespace korvel::ui {

// `dlgKorvelStatus44`: every module address with its status, type and version.
class StandardStatusDialog final : public QDialog {
    Q_OBJECT
  public:
    explicit StandardStatusDialog(QWidget* parent);

    void fill(const StandardStatusTexts& texts);

    QLineEdit* txtSystem = nullptr;
    QLineEdit* txtProtVer = nullptr;
    QLineEdit* txtSysVer = nullptr;
    QLineEdit* txtLicense = nullptr;
    std::array<QLineEdit*, 16> txtKXtype{};
    std::array<QLineEdit*, 32> txtKXstatus{};  // 16..31 in the "second" columns
    std::array<QLineEdit*, 32> txtKXversion{};
    std::array<QLineEdit*, 8> txtZRstatus{};
    std::array<QLineEdit*, 8> txtZRver{};
    std::array<QLineEdit*, 16> txtQHstatus{};
    std::array<QLineEdit*, 16> txtQHver{};

  private:
    void buildSystemBlock();
    void buildZrBlock();
    void buildKxBlock();
    void buildQhBlock();
};

}  // namespace korvel::ui
