#include "ui/test_frame.h"

#include <QGroupBox>

#include "ui/twips.h"

namespace korvel::ui {

TestFrame::TestFrame(BusContext& bus, QWidget* vgTab) : QObject(vgTab), bus_(bus) {
    frame_ = new QGroupBox("Test", vgTab);
    frame_->setObjectName("Frame_Test");
    placeTwips(frame_, 240, 4200, 6735, 2400);
    frame_->hide();
}

void TestFrame::reveal() {
    frame_->show();
}

}  // namespace korvel::ui
