#include "ui/test_frame.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/placement.h"
#include "ui_model/function_test.h"

namespace korvel::ui {

namespace {

// Pattern boxes 0-3 in one column and 4-7 in the next, each from top to bottom.
constexpr Placement kTestFramePlacements[] = {
    {"Frame_Test", KORVEL_TEXT("Korvel", "Test"), 240, 4200, 6735, 2400},
    {"Label_Test(0)", KORVEL_TEXT("Korvel", "Block"), 180, 390, 840, 255},
    {"Text_Block", KORVEL_TEXT("Korvel", "0"), 1080, 360, 975, 315},
    {"Label_Test(1)", KORVEL_TEXT("Korvel", "Decoder"), 180, 870, 840, 255},
    {"Text_Decoder", KORVEL_TEXT("Korvel", "1"), 1080, 840, 975, 315},
    {"Check_Pattern(0)", KORVEL_TEXT("Korvel", "F+0"), 2400, 330, 1080, 255},
    {"Check_Pattern(1)", KORVEL_TEXT("Korvel", "F+1"), 2400, 660, 1080, 255},
    {"Check_Pattern(2)", KORVEL_TEXT("Korvel", "F+2"), 2400, 990, 1080, 255},
    {"Check_Pattern(3)", KORVEL_TEXT("Korvel", "F+3"), 2400, 1320, 1080, 255},
    {"Check_Pattern(4)", KORVEL_TEXT("Korvel", "F+4(L)"), 3600, 330, 1080, 255},
    {"Check_Pattern(5)", KORVEL_TEXT("Korvel", "F+5"), 3600, 660, 1080, 255},
    {"Check_Pattern(6)", KORVEL_TEXT("Korvel", "F+6"), 3600, 990, 1080, 255},
    {"Check_Pattern(7)", KORVEL_TEXT("Korvel", "F+7"), 3600, 1320, 1080, 255},
    {"Command1(0)", KORVEL_TEXT("Korvel", "F1..F4+L"), 180, 1800, 1215, 375},
    {"Command1(1)", KORVEL_TEXT("Korvel", "F5..F8"), 1470, 1800, 1215, 375},
    {"Command1(2)", KORVEL_TEXT("Korvel", "F9..F12"), 2760, 1800, 1215, 375},
    {"Command1(3)", KORVEL_TEXT("Korvel", "F13..F20"), 4050, 1800, 1215, 375},
    {"Command1(4)", KORVEL_TEXT("Korvel", "F21..F28"), 5340, 1800, 1215, 375},
};

template <class W>
W* make(const QString& name, QWidget* parent) {
    return makePlaced<W>(kTestFramePlacements, name.toStdString(), parent);
}

QString indexed(const char* name, std::size_t index) {
    return QString("%1(%2)").arg(name).arg(index);
}

}  // namespace

TestFrame::TestFrame(BusContext& bus, QWidget* vgTab) : QObject(vgTab), bus_(bus) {
    frame_ = make<QGroupBox>("Frame_Test", vgTab);
    buildAddress();
    buildPattern();
    buildButtons();
    frame_->hide();
}

void TestFrame::buildAddress() {
    Label_Test_[0] = make<QLabel>(indexed("Label_Test", 0), frame_);
    Text_Block_ = make<QLineEdit>("Text_Block", frame_);
    Label_Test_[1] = make<QLabel>(indexed("Label_Test", 1), frame_);
    Text_Decoder_ = make<QLineEdit>("Text_Decoder", frame_);
    for (std::size_t i = 0; i < 2; ++i) {
        QLineEdit* box = i == 0 ? Text_Block_ : Text_Decoder_;
        box->setAccessibleName(Label_Test_[i]->text());
        Label_Test_[i]->setBuddy(box);
    }
}

void TestFrame::buildPattern() {
    for (std::size_t k = 0; k < Check_Pattern_.size(); ++k) {
        Check_Pattern_[k] = make<QCheckBox>(indexed("Check_Pattern", k), frame_);
        Check_Pattern_[k]->setAccessibleName(Check_Pattern_[k]->text());
    }
}

void TestFrame::buildButtons() {
    for (std::size_t i = 0; i < Command1_.size(); ++i) {
        Command1_[i] = make<QPushButton>(indexed("Command1", i), frame_);
        const int index = static_cast<int>(i);
        connect(Command1_[i], &QPushButton::clicked, this,
                [this, index] { Command1_Click(index); });
    }
}

void TestFrame::orderTabs() {
    QWidget::setTabOrder(Text_Block_, Text_Decoder_);
    QWidget::setTabOrder(Text_Decoder_, Check_Pattern_[0]);
    for (std::size_t k = 1; k < Check_Pattern_.size(); ++k)
        QWidget::setTabOrder(Check_Pattern_[k - 1], Check_Pattern_[k]);
    QWidget::setTabOrder(Check_Pattern_.back(), Command1_[0]);
    for (std::size_t k = 1; k < Command1_.size(); ++k)
        QWidget::setTabOrder(Command1_[k - 1], Command1_[k]);
}

void TestFrame::reveal() {
    frame_->show();
}

void TestFrame::Command1_Click(int index) {
    FunctionTestInputs inputs;
    inputs.blockText = Text_Block_->text().toStdString();
    inputs.decoderText = Text_Decoder_->text().toStdString();
    for (std::size_t k = 0; k < Check_Pattern_.size(); ++k)
        inputs.pattern[k] = Check_Pattern_[k]->isChecked();
    SendFunctionPattern(bus_.link, bus_.prompter, index, inputs);
}

}  // namespace korvel::ui
