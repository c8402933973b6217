#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QWidget>
#include <memory>

#include "tests/support/recorders.h"
#include "ui/main_window.h"

namespace korvel::testing {

// The real main window on an in-memory line to a simulated controller.
class WindowTest : public ::testing::Test {
  protected:
    explicit WindowTest(sim::SimSystem system = sim::demoSystem())
        : controller(std::move(system)), port(controller, clock) {
        window = std::make_unique<ui::MainWindow>(port, clock, prompter);
        window->show();
    }

    template <class T = QWidget>
    T* find(const QString& name) const {
        T* w = window->findChild<T*>(name);
        EXPECT_NE(w, nullptr) << name.toStdString();
        return w;
    }

    // Picks " 1" in the port list as the user would.
    void pickPort1();

    // Saves a picture of `w` for review under the build's screenshots folder.
    static void screenshot(QWidget* w, const QString& name);

    sim::SimController controller;
    sim::FakeClock clock;
    sim::MemoryPort port;
    RecordingPrompter prompter;
    std::unique_ptr<ui::MainWindow> window;
};

}  // namespace korvel::testing
