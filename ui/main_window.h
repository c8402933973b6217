#pragma once

#include <QMainWindow>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/link.h"
#include "status/status_request.h"
#include "ui/bus_context.h"
#include "ui/message_log.h"
#include "ui/translations.h"
#include "ui_model/module_lists.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;

namespace korvel::net {
class RoutedPort;
}

namespace korvel::ui {

class BackupPage;
class KxPage;
class ZrPage;
class VgPage;
class TestFrame;
class StatusDialogs;

// `Timer1`: fetches what the controller still holds every 50 ms.
class PollTimer final : public PollSwitch {
  public:
    PollTimer();
    void setPolling(bool on) override;
    // Held, the timer stays off whatever the link asks; released, it runs as
    // the link last asked.
    void hold(bool on);
    // What one tick does; the timer's timeout calls it.
    std::function<void()> tick;
    QTimer timer;

  private:
    bool wanted_ = false;
    bool held_ = false;
};

// `frmKorvelConfig`: the bus controls on top, one tab per module family below.
class MainWindow final : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow(SerialPort& port, Clock& clock, Prompter& prompter);
    ~MainWindow() override;

    Link& link() { return link_; }
    WindowRegistry& registry() { return registry_; }
    MessageLog& messageLog() { return log_; }
    PollTimer& pollTimer() { return poll_; }
    QTabWidget* tabs() const { return SSTab1_; }
    // The port list and the Status button, for programs that drive the window.
    QComboBox* portList() const { return cboPort_; }
    QPushButton* statusButton() const { return cmdStatus_; }

    // The port list as it stands (" 1", " 3", ...).
    void FillPortList();
    // Ends the port list with "Network port…", which asks for an address once;
    // the address then stays in the list for the run. `port` is the window's own
    // port; `ask` replaces the question (tests).
    void offerNetworkPorts(net::RoutedPort& port,
                           std::function<std::optional<std::string>()> ask = {});

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildTopRow(QWidget* central);
    void buildTabs(QWidget* central);
    void showPorts(const std::vector<int>& ports);
    void cboPort_Click(int index);
    void pickNetworkEntry(int index);
    void cmdRefresh_Click();
    void cmdReset_Click();
    void cmdStatus_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void showLogAndTestFrame();
    void holdForRun(bool on);
    std::optional<StatusFacts> registerKeepingSelections(int retries);

    SerialPort& port_;
    net::RoutedPort* network_ = nullptr;
    std::function<std::optional<std::string>()> askAddress_;
    std::vector<int> localPorts_;
    std::vector<std::string> addresses_;
    int pickedIndex_ = -1;
    TranslatedPrompter prompter_;
    MessageLog log_;
    PollTimer poll_;
    Link link_;
    Link::Subscription kxReports_;  // the KX page's settings reports, outside a run
    WindowRegistry registry_;
    BusContext bus_;

    QLabel* lblCom_ = nullptr;
    QComboBox* cboPort_ = nullptr;
    QPushButton* cmdRefresh_ = nullptr;
    QCheckBox* Check_Stop_ = nullptr;
    QPushButton* cmdReset_ = nullptr;
    QPushButton* cmdStatus_ = nullptr;
    QTabWidget* SSTab1_ = nullptr;

    KxPage* kxPage_ = nullptr;
    ZrPage* zrPage_ = nullptr;
    VgPage* vgPage_ = nullptr;
    TestFrame* testFrame_ = nullptr;
    BackupPage* backupPage_ = nullptr;
    StatusDialogs* statusDialogs_ = nullptr;
};

}  // namespace korvel::ui
