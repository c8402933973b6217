#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include "tests/ui/fault_matrix.h"
#include "ui/message_log.h"

namespace korvel::testing::matrix {

Rig::Rig() : controller(sim::demoSystem()), port(controller, clock) {
    window = std::make_unique<ui::MainWindow>(port, clock, prompter);
    window->show();
    QApplication::setActiveWindow(window.get());
}

Rig::~Rig() = default;

void Rig::pickPort() {
    pick("cboPort", " 1");
}

void Rig::pressStatus(Qt::KeyboardModifiers modifiers) {
    QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton, modifiers);
}

void Rig::showTab(int index) {
    find<QTabWidget>("SSTab1")->setCurrentIndex(index);
}

void Rig::pick(const char* combo, const QString& entry) {
    auto* box = find<QComboBox>(combo);
    const int index = box->findText(entry);
    ASSERT_GE(index, 0) << combo << ": " << entry.toStdString();
    box->setCurrentIndex(index);
    emit box->activated(index);
}

void Rig::click(QWidget* button) {
    ASSERT_TRUE(button->isVisible()) << button->objectName().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

void Rig::tick(int times) {
    for (int i = 0; i < times && polling(); ++i) window->pollTimer().tick();
}

bool Rig::polling() const {
    return window->pollTimer().timer.isActive();
}

QString Rig::logText() const {
    const ui::MessageLogWindow* log = window->messageLog().existingWindow();
    return log ? log->text() : QString();
}

int Rig::noAnswerBoxes() const {
    int count = 0;
    for (const ShownMessage& m : prompter.shown) count += m.text == kNoAnswer ? 1 : 0;
    return count;
}

std::string Operation::closedPortMessage() const {
    return kSelectPort;
}

QString requestLine(const QString& log, const sim::FrameData& data) {
    QString bytes;
    for (std::uint8_t d : data)
        bytes += QString::fromStdString(FormatLogByte(static_cast<std::uint8_t>(d | 0x80)));
    for (const QString& line : log.split('\n'))
        if (line.startsWith(">>") && line.mid(5, bytes.size()) == bytes) return line;
    return {};
}

}  // namespace korvel::testing::matrix
