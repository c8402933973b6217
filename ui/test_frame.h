#pragma once

#include <QObject>
#include <array>

#include "ui/bus_context.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace korvel::ui {

// `Frame_Test` on the VG tab: decoder function patterns for test.
class TestFrame final : public QObject {
    Q_OBJECT
  public:
    TestFrame(BusContext& bus, QWidget* vgTab);

    // Shown for the rest of the run once the user double-clicked "CommPort".
    void reveal();
    // Block, Decoder, F+0 to F+7 as they read, column by column, then the
    // buttons: the boxes stand in two columns, which a row-by-row order zigzags.
    void orderTabs();

  private:
    void buildAddress();
    void buildPattern();
    void buildButtons();
    void Command1_Click(int index);

    BusContext& bus_;
    QGroupBox* frame_;
    std::array<QLabel*, 2> Label_Test_{};
    QLineEdit* Text_Block_ = nullptr;
    QLineEdit* Text_Decoder_ = nullptr;
    std::array<QCheckBox*, 8> Check_Pattern_{};
    std::array<QPushButton*, 5> Command1_{};
};

}  // namespace korvel::ui
