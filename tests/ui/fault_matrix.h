#pragma once

#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/recorders.h"
#include "ui/main_window.h"

// The fault matrix: every fault of the line against every operation of the
// program, on the real window over the in-memory line and fake clock.
namespace korvel::testing::matrix {

enum class Fault {
    NoAnswer,
    BadCheck,
    Garbage,
    OneFrameLate,
    ThreeFramesLate,
    At1900ms,
    At2100ms,
    Vanish,
};

// The program sees no answer to the frame the fault hit.
inline bool answerLost(Fault f) {
    return f == Fault::NoAnswer || f == Fault::BadCheck || f == Fault::At2100ms;
}
// The program must not notice the fault at all.
inline bool transparent(Fault f) {
    return f == Fault::Garbage || f == Fault::At1900ms;
}
inline int framesLate(Fault f) {
    return f == Fault::OneFrameLate ? 1 : f == Fault::ThreeFramesLate ? 3 : 0;
}
// The controller carried out the frame although the program saw no answer.
inline bool actedOn(Fault f) {
    return f != Fault::NoAnswer;
}

// The real main window on an in-memory line to a simulated demo system.
struct Rig {
    Rig();
    ~Rig();

    template <class T = QWidget>
    T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        if (w == nullptr) ADD_FAILURE() << name.toStdString() << " missing";
        return w;
    }
    // A member of a control array whose members share one name (cmdHFI(1), optPWMM(4)).
    template <class T = QWidget>
    T* indexed(const QString& name, int index) const {
        for (T* w : window->findChildren<T*>(name))
            if (w->property("index").toInt() == index) return w;
        ADD_FAILURE() << name.toStdString() << "(" << index << ") missing";
        return nullptr;
    }

    void pickPort();
    void pressStatus(Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void showTab(int index);
    void pick(const char* combo, const QString& entry);
    void click(QWidget* button);
    // What `Timer1` does when it fires; a stopped timer does not fire.
    void tick(int times = 1);
    bool polling() const;
    QString logText() const;
    int noAnswerBoxes() const;

    sim::SimController controller;
    sim::FakeClock clock;
    sim::MemoryPort port;
    RecordingPrompter prompter;
    std::unique_ptr<ui::MainWindow> window;
};

// What one run of an operation did, from the moment the fault was armed.
struct Outcome {
    std::vector<ShownMessage> messages;
    std::vector<sim::FrameData> frames;  // as the controller received them
    QString log;                         // the message log text added
    std::chrono::nanoseconds elapsed{0};
    bool polling = false;
    bool portOpen = false;
};

// One row of the operation table.
class Operation {
  public:
    virtual ~Operation() = default;
    virtual const char* name() const = 0;
    // Everything the user does before the operation; the fault is armed after it.
    virtual void setUp(Rig& rig) = 0;
    // The frame the fault hits (the first one sent that equals it).
    virtual sim::FrameData target() const = 0;
    virtual void run(Rig& rig) = 0;
    // What a run without any fault leaves.
    virtual void expectClean(Rig& rig, const Outcome& outcome) const = 0;
    // What the run under `fault` leaves; called after the checks every cell shares.
    virtual void expect(Rig& rig, Fault fault, const Outcome& outcome) const = 0;
    // Whether the sequence carries on past an unanswered exchange (the status request does).
    virtual bool goesOnAfterNoAnswer() const { return false; }
    // Before running again once the fault is cleared.
    virtual void beforeRerun(Rig& rig) const { (void)rig; }
    // What the operation shows while no port is open (empty: nothing), and its icon.
    virtual std::string closedPortMessage() const;
    virtual MessageIcon closedPortIcon() const { return MessageIcon::Exclamation; }
};

const std::vector<std::unique_ptr<Operation>>& operations();

// The log line of the first request in `log` that carries `data`; empty when none does.
QString requestLine(const QString& log, const sim::FrameData& data);

}  // namespace korvel::testing::matrix
