#include "ui/test_frame.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "testpanel/function_test.h"
#include "ui/twips.h"

namespace korvel::ui {

namespace {

QString indexed(const char* name, std::size_t index) {
    return QString("%1(%2)").arg(name).arg(index);
}

}  // namespace

TestFrame::TestFrame(BusContext& bus, QWidget* vgTab) : QObject(vgTab), bus_(bus) {
    frame_ = new QGroupBox("Test", vgTab);
    frame_->setObjectName("Frame_Test");
    placeTwips(frame_, 240, 4200, 6735, 2400);
    buildAddress();
    buildPattern();
    buildButtons();
    frame_->hide();
}

void TestFrame::buildAddress() {
    const std::array<const char*, 2> captions{"Block", "Decoder"};
    const std::array<const char*, 2> names{"Text_Block", "Text_Decoder"};
    const std::array<const char*, 2> texts{"0", "1"};
    for (std::size_t i = 0; i < 2; ++i) {
        const int top = 360 + 480 * static_cast<int>(i);
        auto* label = new QLabel(captions[i], frame_);
        label->setObjectName(indexed("Label_Test", i));
        placeTwips(label, 180, top + 30, 840, 255);
        auto* box = new QLineEdit(texts[i], frame_);
        box->setObjectName(names[i]);
        box->setAccessibleName(captions[i]);
        label->setBuddy(box);
        placeTwips(box, 1080, top, 975, 315);
        Label_Test_[i] = label;
        (i == 0 ? Text_Block_ : Text_Decoder_) = box;
    }
}

// Boxes 0-3 in one column and 4-7 in the next, each from top to bottom.
void TestFrame::buildPattern() {
    const std::array<const char*, 8> captions{"F+0",    "F+1", "F+2", "F+3",
                                              "F+4(L)", "F+5", "F+6", "F+7"};
    for (std::size_t k = 0; k < captions.size(); ++k) {
        auto* box = new QCheckBox(captions[k], frame_);
        box->setObjectName(indexed("Check_Pattern", k));
        box->setAccessibleName(captions[k]);
        const int column = static_cast<int>(k / 4);
        const int row = static_cast<int>(k % 4);
        placeTwips(box, 2400 + 1200 * column, 330 + 330 * row, 1080, 255);
        Check_Pattern_[k] = box;
    }
}

void TestFrame::buildButtons() {
    const std::array<const char*, 5> captions{"F1..F4+L", "F5..F8", "F9..F12", "F13..F20",
                                              "F21..F28"};
    for (std::size_t i = 0; i < captions.size(); ++i) {
        auto* button = new QPushButton(captions[i], frame_);
        button->setObjectName(indexed("Command1", i));
        placeTwips(button, 180 + 1290 * static_cast<int>(i), 1800, 1215, 375);
        const int index = static_cast<int>(i);
        connect(button, &QPushButton::clicked, this, [this, index] { Command1_Click(index); });
        Command1_[i] = button;
    }
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
    SendFunctionPattern(bus_.link, index, inputs);
}

}  // namespace korvel::ui
