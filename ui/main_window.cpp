#include "ui/main_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <algorithm>

#include "generated/version.h"
#include "service/dispatch.h"
#include "service/ports.h"
#include "net_serial/net_serial_port.h"
#include "status/status_request.h"
#include "ui/access_keys.h"
#include "ui/backup_page.h"
#include "ui/kx_page.h"
#include "ui/placement.h"
#include "ui/status_action.h"
#include "ui/status_dialogs.h"
#include "ui/style.h"
#include "ui/tab_order.h"
#include "ui/test_frame.h"
#include "ui/twips.h"
#include "ui/vg_page.h"
#include "ui/widget_kit.h"
#include "ui/zr_page.h"
#include "ui_model/outcome_boxes.h"
#include "ui_model/port_routines.h"

namespace korvel::ui {

namespace {

// A network address as the narrow port list can show it: host and port; the
// entry's tool tip gives the whole address with its scheme.
QString networkEntryText(const std::string& address) {
    const std::optional<net::NetAddress> a = net::parseNetAddress(address);
    if (!a) return QString::fromStdString(address);
    const QString host = QString::fromStdString(a->host);
    return (host.contains(':') ? "[" + host + "]" : host) + ":" + QString::number(a->port);
}

constexpr Placement kMainWindowPlacements[] = {
    {"lblCom", KORVEL_TEXT("Korvel", "CommPort"), 240, 240, 735, 255},
    {"cboPort", nullptr, 1080, 200, 735, 315},
    {"cmdRefresh", KORVEL_TEXT("Korvel", "Refresh"), 2040, 180, 1335, 375},
    {"Check_Stop", KORVEL_TEXT("Korvel", "Stop"), 3720, 240, 855, 255},
    {"cmdReset", KORVEL_TEXT("Korvel", "Reset Fault"), 4800, 180, 1215, 375},
    {"cmdStatus", KORVEL_TEXT("Korvel", "Status"), 6120, 180, 1335, 375},
    {"SSTab1", nullptr, 240, 720, 7245, 7260},
};

}  // namespace

PollTimer::PollTimer() {
    timer.setObjectName("Timer1");
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [this] {
        if (tick) tick();
    });
}

void PollTimer::setPolling(bool on) {
    wanted_ = on;
    if (!held_) on ? timer.start() : timer.stop();
}

void PollTimer::hold(bool on) {
    held_ = on;
    if (!on && wanted_)
        timer.start();
    else
        timer.stop();
}

MainWindow::MainWindow(SerialPort& port, Clock& clock, Prompter& prompter)
    : port_(port),
      prompter_(prompter),
      log_(this),
      link_(port, clock, log_, poll_),
      bus_{link_, registry_, prompter_} {
    setObjectName("frmKorvelConfig");
    setWindowTitle(QString("KorvelConfig ") + kReleaseText);
    setWindowIcon(programIcon());

    auto* central = new QWidget(this);
    setCentralWidget(central);
    central->setFixedSize(twips(7695), twips(8190));
    buildTopRow(central);
    buildTabs(central);
    statusDialogs_ = new StatusDialogs(this);
    QWidget* last = nullptr;
    for (int page = 0; page < SSTab1_->count(); ++page)
        last = orderTabsByRows(SSTab1_->widget(page), last);
    testFrame_->orderTabs();
    // Enter presses the focused button, as Space does, so the keyboard alone will do.
    for (QPushButton* button : findChildren<QPushButton*>()) button->setAutoDefault(true);
    // Alt+letter: the top row's letters first; each page shares the rest with the others.
    const QSet<QChar> topRow = giveAccessKeys({cmdRefresh_, cmdReset_, cmdStatus_});
    for (int page = 0; page < SSTab1_->count(); ++page)
        giveAccessKeys(SSTab1_->widget(page)->findChildren<QPushButton*>(), topRow);

    poll_.tick = [this] { link_.pollTick(); };
    holdForRun(false);
    link_.setStopFlag(Check_Stop_->isChecked());
    // The notice is shown and the port closed; the list must not claim a port.
    presentFailuresWith(link_, prompter_);
    link_.setLineLostListener([this] {
        cboPort_->setCurrentIndex(-1);
        log_.lineLost(port_.lineErrorDetail());
    });

    // Start-up: the usable ports, empty module lists, nothing sent.
    FillPortList();
    registry_.kxList.clear();
    registry_.zrList.clear();
    kxPage_->refreshList();
    zrPage_->refreshList();
}

MainWindow::~MainWindow() {
    port_.close();
}

void MainWindow::buildTopRow(QWidget* central) {
    lblCom_ = new QLabel(central);
    place(lblCom_, kMainWindowPlacements, "lblCom");
    lblCom_->installEventFilter(this);
    fitToCaption(lblCom_);

    cboPort_ = new QComboBox(central);
    place(cboPort_, kMainWindowPlacements, "cboPort");
    cboPort_->setAccessibleName("CommPort");
    lblCom_->setBuddy(cboPort_);
    connect(cboPort_, &QComboBox::activated, this, &MainWindow::cboPort_Click);

    cmdRefresh_ = new QPushButton(central);
    place(cmdRefresh_, kMainWindowPlacements, "cmdRefresh");
    connect(cmdRefresh_, &QPushButton::clicked, this, &MainWindow::cmdRefresh_Click);

    Check_Stop_ = new QCheckBox(central);
    place(Check_Stop_, kMainWindowPlacements, "Check_Stop");
    Check_Stop_->setChecked(true);
    Check_Stop_->setToolTip(tr("Sets the stop bit in the header of every frame sent"));
    connect(Check_Stop_, &QCheckBox::toggled, this, [this](bool on) { link_.setStopFlag(on); });

    cmdReset_ = new QPushButton(central);
    place(cmdReset_, kMainWindowPlacements, "cmdReset");
    cmdReset_->setToolTip(tr("Tells the controller to clear its fault"));
    connect(cmdReset_, &QPushButton::clicked, this, &MainWindow::cmdReset_Click);

    cmdStatus_ = new QPushButton(central);
    place(cmdStatus_, kMainWindowPlacements, "cmdStatus");
    cmdStatus_->setToolTip(tr("Shift+Click for Classic View"));
    // The request runs on mouse-down of any button; the keyboard presses it too.
    cmdStatus_->installEventFilter(this);
    connect(cmdStatus_, &QPushButton::clicked, this,
            [this] { cmdStatus_MouseDown(Qt::NoButton, QApplication::keyboardModifiers()); });
}

void MainWindow::buildTabs(QWidget* central) {
    SSTab1_ = new QTabWidget(central);
    place(SSTab1_, kMainWindowPlacements, "SSTab1");
    SSTab1_->tabBar()->setStyleSheet(QString("QTabBar::tab { height: %1px; min-width: %2px; }")
                                         .arg(twips(kTabStripTwips) - 4)
                                         .arg(twips(1800)));

    auto* kxTab = new QWidget;
    kxTab->setObjectName("tabKX");
    auto* zrTab = new QWidget;
    zrTab->setObjectName("tabZR");
    auto* vgTab = new QWidget;
    vgTab->setObjectName("tabVG");
    SSTab1_->addTab(kxTab, tr("KXxx / WOBE-s"));
    SSTab1_->addTab(zrTab, tr("ZR32"));
    SSTab1_->addTab(vgTab, tr("VG-U / WOBE"));
    auto* backupTab = new QWidget;
    backupTab->setObjectName("tabBackup");
    SSTab1_->addTab(backupTab, tr("Backup"));

    kxPage_ = new KxPage(bus_, kxTab);
    zrPage_ = new ZrPage(bus_, zrTab);
    vgPage_ = new VgPage(bus_, vgTab);
    testFrame_ = new TestFrame(bus_, vgTab);
    backupPage_ =
        new BackupPage(bus_,
                       {[this](int retries) { return registerKeepingSelections(retries); },
                        [this](bool on) { holdForRun(on); }},
                       backupTab);
    SSTab1_->setCurrentIndex(2);
}

// A run of the Backup page asks for status to know the modules; the pages keep
// what the user had picked and read there.
std::optional<StatusFacts> MainWindow::registerKeepingSelections(int retries) {
    const std::optional<std::int32_t> kx = kxPage_->selection();
    const ZrPage::Kept zr = zrPage_->kept();
    std::optional<StatusFacts> facts =
        requestAndRegister(bus_, *kxPage_, *zrPage_, *vgPage_, false, retries);
    kxPage_->reselect(kx);
    zrPage_->restore(zr);
    return facts;
}

void MainWindow::FillPortList() {
    showPorts(korvel::FillPortList(port_));
}

void MainWindow::showPorts(const std::vector<int>& ports) {
    localPorts_ = ports;
    cboPort_->clear();
    for (int n : ports) {
        cboPort_->addItem(QString::fromStdString(portEntryText(n)));
        cboPort_->setItemData(cboPort_->count() - 1, QString::fromStdString(port_.describePort(n)),
                              Qt::ToolTipRole);
    }
    if (network_) {
        for (const std::string& address : addresses_) {
            cboPort_->addItem(networkEntryText(address));
            cboPort_->setItemData(cboPort_->count() - 1,
                                  QString::fromStdString(net::describeNetAddress(address)),
                                  Qt::ToolTipRole);
        }
        cboPort_->addItem(tr("Network port…"));
        cboPort_->setItemData(cboPort_->count() - 1,
                              tr("A serial device server: tcp://HOST:PORT or rfc2217://HOST:PORT"),
                              Qt::ToolTipRole);
    }
    cboPort_->setCurrentIndex(-1);
}

void MainWindow::offerNetworkPorts(net::RoutedPort& port,
                                   std::function<std::optional<std::string>()> ask) {
    network_ = &port;
    askAddress_ = ask ? std::move(ask) : [this]() -> std::optional<std::string> {
        bool ok = false;
        const QString text = QInputDialog::getText(
            this, tr("Network port"), tr("Address (tcp://HOST:PORT or rfc2217://HOST:PORT):"),
            QLineEdit::Normal, "rfc2217://", &ok);
        if (!ok) return std::nullopt;
        return text.trimmed().toStdString();
    };
    showPorts(localPorts_);
}

void MainWindow::cboPort_Click(int index) {
    if (network_ && index >= static_cast<int>(localPorts_.size())) {
        pickNetworkEntry(index);
        return;
    }
    BusyCursor busy;
    if (port_.isOpen()) log_.portClosed();
    if (PickPort(link_, bus_.prompter, cboPort_->itemText(index).toStdString()))
        log_.portOpened(cboPort_->itemText(index).trimmed());
    pickedIndex_ = index;
}

// An address entry opens its address; the last entry asks for a new one first.
void MainWindow::pickNetworkEntry(int index) {
    std::string address;
    if (index == cboPort_->count() - 1) {
        const std::optional<std::string> asked = askAddress_();
        if (!asked) {
            cboPort_->setCurrentIndex(port_.isOpen() ? pickedIndex_ : -1);
            return;
        }
        address = *asked;
        const auto known = std::find(addresses_.begin(), addresses_.end(), address);
        if (known == addresses_.end() && net::parseNetAddress(address)) {
            addresses_.push_back(address);
            showPorts(localPorts_);
        }
        const auto listed = std::find(addresses_.begin(), addresses_.end(), address);
        index = listed == addresses_.end() ? -1
                                           : static_cast<int>(localPorts_.size()) +
                                                 static_cast<int>(listed - addresses_.begin());
        cboPort_->setCurrentIndex(index);
    } else {
        address = addresses_.at(static_cast<std::size_t>(index) - localPorts_.size());
    }
    BusyCursor busy;
    if (port_.isOpen()) log_.portClosed();
    if (PickNetworkPort(link_, bus_.prompter, address))
        log_.portOpened(QString::fromStdString(address));
    pickedIndex_ = index;
}

void MainWindow::cmdRefresh_Click() {
    if (port_.isOpen()) log_.portClosed();
    showPorts(RefreshPorts(link_));
}

void MainWindow::cmdReset_Click() {
    if (!requirePortOpen(link_, bus_.prompter)) return;
    BusyCursor busy;
    ResetFault(link_);
}

void MainWindow::cmdStatus_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
    if (!requirePortOpen(link_, bus_.prompter)) return;
    BusyCursor busy;
    runStatusRequest(bus_, *statusDialogs_, *kxPage_, *zrPage_, *vgPage_,
                     statusClassicRequested(button, modifiers));
}

void MainWindow::showLogAndTestFrame() {
    log_.showWindow();
    testFrame_->reveal();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lblCom_ && event->type() == QEvent::MouseButtonDblClick) {
        showLogAndTestFrame();
        return true;
    }
    if (watched == cmdStatus_ && event->type() == QEvent::MouseButtonPress) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        cmdStatus_MouseDown(mouse->button(), mouse->modifiers());
        return true;
    }
    // The second press of a double-click would reach the button as a click and
    // run a request of its own, in the view without Shift.
    if (watched == cmdStatus_ && event->type() == QEvent::MouseButtonDblClick) return true;
    return QMainWindow::eventFilter(watched, event);
}

// A backup run handles the window's events between its exchanges: nothing
// but its Cancel may start anything, and no poll or page may take its answers.
void MainWindow::holdForRun(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{cboPort_, cmdRefresh_, Check_Stop_, cmdReset_,
                                                      cmdStatus_, SSTab1_->tabBar()})
        w->setEnabled(!on);
    for (int page = 0; page < SSTab1_->count(); ++page)
        if (SSTab1_->widget(page) != SSTab1_->currentWidget())
            SSTab1_->widget(page)->setEnabled(!on);
    poll_.hold(on);
    if (on) {
        kxReports_.cancel();
        log_.afterExchange = [] { QApplication::processEvents(); };
    } else {
        kxReports_ =
            link_.subscribe([this](const ReplyBuffer& r) { kxPage_->onSettingsReport(r); });
        log_.afterExchange = {};
    }
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // The run ends at its next exchange; the window stays until then.
    if (backupPage_->running()) {
        backupPage_->cancel();
        event->ignore();
        return;
    }
    poll_.timer.stop();
    statusDialogs_->closeAll();
    log_.closeWindow();
    port_.close();
    event->accept();
}

}  // namespace korvel::ui
