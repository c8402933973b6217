#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "tests/ui/window_fixture.h"

namespace korvel::testing {
namespace {

using sim::FrameData;

class TestFrameTest : public WindowTest {
  protected:
    TestFrameTest() {
        QTest::mouseDClick(find<QLabel>("lblCom"), Qt::LeftButton);
        window->activateWindow();
    }
    QCheckBox* pattern(int k) { return find<QCheckBox>(QString("Check_Pattern(%1)").arg(k)); }
    void press(int index) {
        QTest::mouseClick(find<QPushButton>(QString("Command1(%1)").arg(index)), Qt::LeftButton);
    }
    void type(const QString& box, const QString& text) { find<QLineEdit>(box)->setText(text); }
};

TEST_F(TestFrameTest, ShowsItsControlsWithTheirCaptions) {
    auto* frame = find<QGroupBox>("Frame_Test");
    ASSERT_TRUE(frame->isVisible());
    EXPECT_EQ(frame->title(), "Test");
    EXPECT_EQ(find<QLabel>("Label_Test(0)")->text(), "Block");
    EXPECT_EQ(find<QLabel>("Label_Test(1)")->text(), "Decoder");
    EXPECT_EQ(find<QLineEdit>("Text_Block")->text(), "0");
    EXPECT_EQ(find<QLineEdit>("Text_Decoder")->text(), "1");
    const QStringList captions{"F+0", "F+1", "F+2", "F+3", "F+4(L)", "F+5", "F+6", "F+7"};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(pattern(k)->text(), captions[k]);
        EXPECT_FALSE(pattern(k)->isChecked());
        EXPECT_EQ(pattern(k)->accessibleName(), captions[k]);
    }
    const QStringList buttons{"F1..F4+L", "F5..F8", "F9..F12", "F13..F20", "F21..F28"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(find<QPushButton>(QString("Command1(%1)").arg(i))->text(), buttons[i]);
    EXPECT_EQ(find<QLineEdit>("Text_Block")->accessibleName(), "Block");
    EXPECT_EQ(find<QLineEdit>("Text_Decoder")->accessibleName(), "Decoder");
    screenshot(frame, "test_frame");
}

TEST_F(TestFrameTest, GroupButtonsSendTheirFrames) {
    pickPort1();
    type("Text_Decoder", "3");
    QTest::mouseClick(pattern(0), Qt::LeftButton);
    QTest::mouseClick(pattern(4), Qt::LeftButton);
    press(0);
    press(1);
    for (int k : {1, 2, 3, 5, 6, 7}) QTest::mouseClick(pattern(k), Qt::LeftButton);
    press(3);
    type("Text_Decoder", "200");
    press(4);
    type("Text_Decoder", "");
    type("Text_Block", "");
    press(2);
    EXPECT_EQ(controller.decoderCommands(), (std::vector<FrameData>{{40, 0, 17, 3},
                                                                    {40, 0, 49, 3},
                                                                    {44, 0, 5, 127, 3},
                                                                    {44, 0, 7, 127, 72, 1},
                                                                    {40, 0, 47, 0}}));
    EXPECT_TRUE(prompter.shown.empty());
}

}  // namespace
}  // namespace korvel::testing
