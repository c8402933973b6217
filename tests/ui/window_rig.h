#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>
#include <memory>

#include "tests/support/recorders.h"
#include "ui/main_window.h"

namespace korvel::testing {

// The real main window on an in-memory line to a simulated controller.
struct WindowRig : SimLine {
    explicit WindowRig(sim::SimSystem system = sim::demoSystem());
    ~WindowRig();

    // A widget of any window of the program by object name; a control array's
    // member is "name(index)" when its members share one name; "window/name" within a window.
    template <class T = QWidget>
    T* find(const QString& name) const {
        T* w = qobject_cast<T*>(lookUp(name));
        if (w == nullptr) ADD_FAILURE() << name.toStdString() << " missing";
        return w;
    }
    QWidget* lookUp(const QString& name) const;
    // What the user sees of a widget: a box's text ("green" added when confirmed),
    // a list's entries; of one on screen a button's tick, a label's text, else "shown".
    QString shown(const QString& name) const;

    void pickPort();
    void pick(const QString& combo, const QString& entry);
    void click(const QString& button, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void type(const QString& box, const QString& text);
    void showTab(int index);
    void showLogAndTestFrame();
    // Port " 1", then Status: what a session starts with.
    void registerDemo();
    // What `Timer1` does when it fires; a stopped timer does not fire.
    void tick();
    bool polling() const;
    QString logText() const;
    // Saves a picture of `w` under the build's screenshots folder for review.
    static void screenshot(QWidget* w, const QString& name);

    RecordingPrompter prompter;
    std::unique_ptr<ui::MainWindow> window;
};

struct WindowTest : ::testing::Test, WindowRig {};

// Runs the event loop until `prompter` has shown a box, or 2 s have passed.
void awaitNotice(const RecordingPrompter& prompter);

}  // namespace korvel::testing
