// Soak run: the whole program for N minutes against the simulated demo system on
// a pseudo-terminal at 19200 baud, polling every 50 ms between random commands.
// Prints resident memory at the start, every minute and at the end, the number
// of exchanges and the number that went unanswered. Run by hand (./run.sh soak).
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <random>
#include <string>

#include "link/link.h"
#include "qt_serial/qt_serial_port.h"
#include "service/ports.h"
#include "sim/pty_server.h"
#include "ui/main_window.h"
#include "ui/message_log.h"
#include "ui/style.h"

namespace {

using namespace std::chrono_literals;

double residentMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0.0;
}

// The program's serial port, counting the frames it writes (one write per frame).
class CountingPort final : public korvel::SerialPort {
  public:
    explicit CountingPort(korvel::SerialPort& port) : port_(port) {}

    bool open(int n) override { return port_.open(n); }
    void close() override { port_.close(); }
    bool isOpen() const override { return port_.isOpen(); }
    std::size_t bytesAvailable() override { return port_.bytesAvailable(); }
    bool readByte(std::uint8_t& byte) override { return port_.readByte(byte); }
    void write(std::span<const std::uint8_t> bytes) override {
        ++frames;
        port_.write(bytes);
    }
    bool waitForReadyRead(std::chrono::milliseconds timeout) override {
        return port_.waitForReadyRead(timeout);
    }
    std::string openErrorDetail() const override { return port_.openErrorDetail(); }
    std::string deviceName(int n) const override { return port_.deviceName(n); }
    std::string describePort(int n) const override { return port_.describePort(n); }

    long frames = 0;

  private:
    korvel::SerialPort& port_;
};

// Answers every box with OK and counts the texts, for the summary.
class CountingPrompter final : public korvel::Prompter {
  public:
    korvel::MessageAnswer show(const std::string& text, korvel::MessageIcon,
                               korvel::MessageButtons) override {
        ++shown[kindOf(text)];
        return korvel::MessageAnswer::Ok;
    }

    std::map<std::string, long> shown;

  private:
    // A report changes with the settings; its last line says what it came to.
    static std::string kindOf(const std::string& text) {
        const std::size_t verdict = text.rfind("\r\n");
        return verdict == std::string::npos ? text : "report: " + text.substr(verdict + 2);
    }
};

// Exchanges the program gave up on, as the link tells its failure listener. It
// takes the place of the window's, whose box nobody would read here.
struct LostExchanges {
    explicit LostExchanges(korvel::Link& link) {
        link.setFailureListener([this](korvel::ExchangeOutcome, const std::string&) { ++count; });
    }
    long count = 0;
};

// Does what a user might do next, picked at random.
class RandomUser {
  public:
    RandomUser(korvel::ui::MainWindow& window, std::uint32_t seed) : w_(window), rng_(seed) {}

    void revealTestFrame() {
        QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(find<QLabel>("lblCom"), &click);
    }

    void pickPort() {
        pick(find<QComboBox>("cboPort"), find<QComboBox>("cboPort")->findText(" 1"));
    }

    void act() {
        const int roll = pick(100);
        if (roll < 6) return status(false);
        if (roll < 8) return status(true);
        if (roll < 43) return kxCommand();
        if (roll < 47) return masterSlaveCheck();
        if (roll < 67) return zrSetting();
        if (roll < 69) return zrReport();
        if (roll < 79) return vgCommand();
        if (roll < 94) return testPanel();
        if (roll < 97) return click(find<QPushButton>("cmdReset"));
        // Otherwise a pause: only the poll timer runs.
    }

    long commands = 0;

  private:
    template <class T = QWidget>
    T* find(const QString& name) const {
        return w_.findChild<T*>(name);
    }
    int pick(int n) { return static_cast<int>(rng_() % static_cast<unsigned>(n)); }
    void pick(QComboBox* list, int index) {
        if (index < 0 || index >= list->count()) return;
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    // Only what the user can see can be clicked.
    void click(QAbstractButton* button) {
        if (!button || !button->isVisible() || !button->isEnabled()) return;
        ++commands;
        button->click();
    }
    void showTab(int index) { w_.tabs()->setCurrentIndex(index); }
    void type(const char* box, int value) { find<QLineEdit>(box)->setText(QString::number(value)); }
    void tickAtRandom(const QList<QCheckBox*>& boxes) {
        for (QCheckBox* box : boxes)
            if (box->isVisible()) box->setChecked(pick(2) == 0);
    }

    void status(bool classic) {
        auto* button = find<QPushButton>("cmdStatus");
        const Qt::KeyboardModifiers modifiers = classic ? Qt::ShiftModifier : Qt::NoModifier;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton,
                          Qt::LeftButton, modifiers);
        ++commands;
        QCoreApplication::sendEvent(button, &press);
    }

    void kxCommand() {
        showTab(0);
        auto* list = find<QComboBox>("cboKX");
        pick(list, pick(list->count() + 1) - 1);
        type("txtHFI", pick(16));
        type("txtAL", pick(128));
        type("txtSW", pick(8));
        type("txtDCShift", pick(8));
        type("txtLC", 20 + pick(51));
        type("txtAD", pick(16));
        for (const char* array :
             {"optPWMM", "optOCD", "optMS", "optPC", "optAL", "optSW", "OptLC"}) {
            const QList<QRadioButton*> options = w_.findChildren<QRadioButton*>(array);
            if (!options.isEmpty())
                options[pick(static_cast<int>(options.size()))]->setChecked(true);
        }
        find<QCheckBox>("chkKXperm")->setChecked(pick(4) == 0);
        QList<QPushButton*> buttons;
        for (const char* name : {"cmdHFI", "cmdAL", "cmdSW", "cmdDCShift", "cmdPWMM", "cmdOCD",
                                 "cmdPC", "cmdLC", "cmdAD"})
            buttons += w_.findChildren<QPushButton*>(name);
        click(buttons[pick(static_cast<int>(buttons.size()))]);
    }

    void masterSlaveCheck() {
        showTab(0);
        auto* list = find<QComboBox>("cboKX");
        pick(list, list->findText("All_KXxx"));
        for (QPushButton* b : w_.findChildren<QPushButton*>("cmdMS"))
            if (b->property("index").toInt() == 1) click(b);
    }

    void zrSetting() {
        showTab(1);
        auto* list = find<QComboBox>("cboZR");
        pick(list, pick(list->count() + 1) - 1);
        type("txtZRtime", pick(128));
        type("txtZRdevice", pick(64));
        find<QRadioButton>(QString("optZRpower(%1)").arg(pick(4)))->setChecked(true);
        find<QCheckBox>("chkZRperm")->setChecked(pick(4) == 0);
        const char* buttons[] = {"cmdTIME", "cmdDeviceTime", "cmdDevicePower"};
        click(find<QPushButton>(buttons[pick(3)]));
    }

    void zrReport() {
        showTab(1);
        auto* list = find<QComboBox>("cboZR");
        pick(list, list->findText(pick(2) ? " 1" : " 6"));
        click(find<QPushButton>("cmdGetZRConfig"));
        click(find<QPushButton>("cmdHideZRConfig"));
    }

    void vgCommand() {
        showTab(2);
        tickAtRandom(w_.findChildren<QCheckBox*>(QRegularExpression("^chkVGU(config|options)_")));
        find<QCheckBox>("chkVGperm")->setChecked(pick(4) == 0);
        click(find<QPushButton>(pick(2) ? "cmdConfig" : "cmdOptions"));
    }

    void testPanel() {
        showTab(2);
        type("Text_Block", pick(128));
        type("Text_Decoder", pick(3) ? pick(128) : pick(16384));
        tickAtRandom(w_.findChildren<QCheckBox*>(QRegularExpression("^Check_Pattern")));
        click(find<QPushButton>(QString("Command1(%1)").arg(pick(5))));
    }

    korvel::ui::MainWindow& w_;
    std::mt19937 rng_;
};

int minutesArgument(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], "--minutes") == 0) return std::max(1, std::atoi(argv[i + 1]));
    return 30;
}

}  // namespace

int main(int argc, char** argv) {
    const int minutes = minutesArgument(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    korvel::ui::applyApplicationStyle(app);

    korvel::sim::PtyServer server(korvel::sim::demoSystem());
    server.setByteTime(std::chrono::nanoseconds(10'000'000'000 / 19200));
    korvel::QtSerialPort serial;
    serial.overrideDevice(1, server.devicePath());
    for (int n = 2; n <= korvel::kLastPort; ++n)
        serial.overrideDevice(n, "/nonexistent/port" + std::to_string(n));
    CountingPort port(serial);
    korvel::SteadyClock clock;
    CountingPrompter prompter;
    korvel::ui::MainWindow window(port, clock, prompter);
    window.show();
    const LostExchanges lost(window.link());

    RandomUser user(window, 20240611u);
    user.pickPort();
    user.revealTestFrame();
    QApplication::processEvents();
    const double startRss = residentMegabytes();
    std::printf(
        "korvel-soak: %d minute(s) on %s at 19200 baud, polling every 50 ms, "
        "a random command every 0.15-0.6 s\n",
        minutes, server.devicePath().c_str());
    std::printf("%-8s %9s %10s %6s %9s %12s %11s\n", "minute", "RSS (MB)", "exchanges", "lost",
                "commands", "port reopen", "log lines");
    std::printf("%-8s %9.1f %10ld %6ld %9ld %12d %11s\n", "start", startRss, port.frames,
                lost.count, user.commands, 0, "-");
    std::fflush(stdout);

    long seenByController = 0;
    int reopened = 0;
    std::mt19937 pace(1u);
    QTimer next;
    next.setSingleShot(true);
    QObject::connect(&next, &QTimer::timeout, [&] {
        // A line that failed closes the port; a user would pick it again.
        if (!port.isOpen()) ++reopened, user.pickPort();
        user.act();
        next.start(150 + static_cast<int>(pace() % 451));
    });
    next.start(200);

    int minute = 0;
    QTimer everyMinute;
    QObject::connect(&everyMinute, &QTimer::timeout, [&] {
        ++minute;
        seenByController += server.withController([](korvel::sim::SimController& c) {
            const auto n = static_cast<long>(c.framesReceived().size());
            c.clearRecords();
            return n;
        });
        // The log keeps everything by design; clearing it as a user would keeps
        // its growth out of the memory figure.
        long logLines = 0;
        if (korvel::ui::MessageLogWindow* log = window.messageLog().existingWindow()) {
            logLines = log->text().count('\n');
            log->findChild<QPushButton*>("cmdClear")->click();
        }
        std::printf("%-8d %9.1f %10ld %6ld %9ld %12d %11ld\n", minute, residentMegabytes(),
                    port.frames, lost.count, user.commands, reopened, logLines);
        std::fflush(stdout);
        if (minute == minutes) app.quit();
    });
    everyMinute.start(60s);

    app.exec();
    window.pollTimer().timer.stop();
    seenByController += server.withController(
        [](korvel::sim::SimController& c) { return static_cast<long>(c.framesReceived().size()); });
    std::printf(
        "end: %d minute(s), %ld exchanges (%ld seen by the controller), %ld lost, "
        "%ld commands; resident memory %.1f MB at the start, %.1f MB at the end\n",
        minutes, port.frames, seenByController, lost.count, user.commands, startRss,
        residentMegabytes());
    for (const auto& [text, count] : prompter.shown)
        std::printf("  message %6ld x \"%s\"\n", count, text.c_str());
    return lost.count == 0 && reopened == 0 ? 0 : 1;
}
