// The operations of the fault matrix and what each must leave under every fault.
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTest>
#include <algorithm>
#include <cstdio>

#include "sim/handlers.h"
#include "tests/ui/fault_matrix.h"
#include "ui/classic_status_dialog.h"
#include "ui/standard_status_dialog.h"

namespace korvel::testing::matrix {

namespace {

using sim::FrameData;
using Frames = std::vector<FrameData>;

const QColor kGreen(0, 255, 0);

Frames commandsOf(const Frames& frames) {
    Frames out;
    std::copy_if(frames.begin(), frames.end(), std::back_inserter(out),
                 [](const FrameData& f) { return !f.empty(); });
    return out;
}

bool contains(const Frames& frames, const FrameData& frame) {
    return std::find(frames.begin(), frames.end(), frame) != frames.end();
}

// Empty frames sent after `from` until the next frame with data (or the end).
int emptyFramesAfter(const Frames& frames, const FrameData& from) {
    auto it = std::find(frames.begin(), frames.end(), from);
    if (it == frames.end()) return -1;
    return static_cast<int>(
        std::find_if(it + 1, frames.end(), [](const FrameData& f) { return !f.empty(); }) - it - 1);
}

QStringList items(const Rig& r, const char* combo) {
    QStringList texts;
    auto* box = r.find<QComboBox>(combo);
    for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
    return texts;
}

QString lastLogLine(const QString& log) {
    const QStringList lines = log.split('\n', Qt::SkipEmptyParts);
    return lines.isEmpty() ? QString() : lines.back();
}

template <std::size_t N>
QStringList textsOf(const std::array<QLineEdit*, N>& boxes, std::size_t from = 0,
                    std::size_t to = N) {
    QStringList texts;
    for (std::size_t i = from; i < to; ++i) texts << boxes[i]->text();
    return texts;
}

QStringList repeated(const QString& text, int count) {
    QStringList texts;
    for (int i = 0; i < count; ++i) texts << text;
    return texts;
}

sim::SimModule& module(Rig& r, sim::ModuleFamily family, int number) {
    return *sim::findModule(r.controller.system(), family, number);
}

// The registry a status request of the demo system leaves.
void registerDemo(Rig& r) {
    r.pickPort();
    r.pressStatus();
    ASSERT_EQ(r.find<QComboBox>("cboKX")->count(), 9);
    ASSERT_TRUE(r.polling());
}

// The status window of that name, when it is on screen.
template <class Dialog>
Dialog* shownDialog(Rig& r, const char* name) {
    auto* d = r.window->findChild<Dialog*>(name);
    return d && d->isVisible() ? d : nullptr;
}

// A line lost halfway ends the request: no status window, no module registered.
void expectAbandoned(Rig& r) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        const QString name = w->objectName();
        if (name == "dlgKorvelStatus44" || name == "dlgKorvelStatus") {
            EXPECT_FALSE(w->isVisible());
        }
    }
    EXPECT_EQ(items(r, "cboKX"), QStringList{});
    EXPECT_EQ(items(r, "cboZR"), QStringList{});
}

class StatusStandard final : public Operation {
  public:
    const char* name() const override { return "StatusStandard"; }
    void setUp(Rig& r) override { r.pickPort(); }
    // The query of the KX44 at 2, whose answer also decides whether its second half is asked.
    FrameData target() const override { return {1, 11, 34}; }
    bool goesOnAfterNoAnswer() const override { return true; }
    void run(Rig& r) override { r.pressStatus(); }

    void expectClean(Rig& r, const Outcome& o) const override {
        auto* d = shownDialog<ui::StandardStatusDialog>(r, "dlgKorvelStatus44");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->txtKXtype[2]->text(), "KX44");
        EXPECT_EQ(d->txtKXstatus[2]->text(), "Active");
        EXPECT_EQ(d->txtKXstatus[18]->text(), "Active");
        EXPECT_EQ(d->txtKXstatus[3]->text(), "Active");
        EXPECT_EQ(d->txtZRstatus[6]->text(), "Active");
        EXPECT_EQ(d->txtQHstatus[4]->text(), "Active");
        EXPECT_TRUE(contains(o.frames, {1, 11, 2}));
        EXPECT_EQ(items(r, "cboKX"), (QStringList{"All_KXxx", "All_KX44", "All_KX-H", "All_WOBE",
                                                  " 0", " 2.0", " 2.1", " 3", " 5"}));
        EXPECT_EQ(items(r, "cboZR"), (QStringList{"All", " 1", " 6"}));
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f)) return expectClean(r, o);
        if (f == Fault::Vanish) return expectAbandoned(r);
        auto* d = shownDialog<ui::StandardStatusDialog>(r, "dlgKorvelStatus44");
        ASSERT_NE(d, nullptr);  // the request goes on past a failed step
        EXPECT_EQ(d->txtKXstatus[1]->text(), "Not Found");
        EXPECT_EQ(d->txtKXstatus[2]->text(), "-");
        EXPECT_EQ(d->txtKXtype[2]->text(), "-");
        EXPECT_EQ(d->txtKXstatus[18]->text(), "-");
        EXPECT_FALSE(contains(o.frames, {1, 11, 2}));
        EXPECT_EQ(d->txtKXstatus[3]->text(), "Active");
        EXPECT_EQ(d->txtQHstatus[4]->text(), "Active");
        EXPECT_EQ(items(r, "cboKX"),
                  (QStringList{"All_KXxx", "All_KX-H", "All_WOBE", " 0", " 3", " 5"}));
        EXPECT_EQ(items(r, "cboZR"), (QStringList{"All", " 1", " 6"}));
        // A late answer is fetched by the closing empty frame and only logged.
        if (framesLate(f) > 0) {
            EXPECT_TRUE(lastLogLine(o.log).contains("<< 0E 01 0B 22 09 08 0F"));
        }
    }
};

class StatusClassic final : public Operation {
  public:
    const char* name() const override { return "StatusClassic"; }
    void setUp(Rig& r) override { r.pickPort(); }
    // The KX presence bitmap.
    FrameData target() const override { return {1, 3, 2}; }
    bool goesOnAfterNoAnswer() const override { return true; }
    void run(Rig& r) override { r.pressStatus(Qt::ShiftModifier); }

    void expectClean(Rig& r, const Outcome& o) const override {
        (void)o;
        auto* d = shownDialog<ui::ClassicStatusDialog>(r, "dlgKorvelStatus");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->txtCap->text(), "87");
        EXPECT_EQ(textsOf(d->txtDIP), (QStringList{"Off", "On", "Off", "On"}));
        EXPECT_EQ(textsOf(d->txtKXstatus, 0, 6),
                  (QStringList{"OK", "Not found", "OK", "OK", "Not found", "OK"}));
        EXPECT_EQ(textsOf(d->txtKXtype, 0, 6),
                  (QStringList{"KX-H", "N.A.", "KX-H", "KXCC", "N.A.", "KX-H"}));
        EXPECT_EQ(d->txtZRstatus[6]->text(), "OK");
        EXPECT_EQ(items(r, "cboKX"), (QStringList{"All_KX-H", "All_WOBE", " 0", " 2", " 3", " 5"}));
        EXPECT_EQ(items(r, "cboZR"), (QStringList{"All", " 1", " 6"}));
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f)) return expectClean(r, o);
        if (f == Fault::Vanish) return expectAbandoned(r);
        auto* d = shownDialog<ui::ClassicStatusDialog>(r, "dlgKorvelStatus");
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->txtCap->text(), "87");
        EXPECT_EQ(textsOf(d->txtDIP), (QStringList{"Off", "On", "Off", "On"}));
        EXPECT_EQ(textsOf(d->txtKXstatus), repeated("Unknown", 16));
        EXPECT_EQ(items(r, "cboKX"), QStringList{});
        // Without presence no module is "Active", so the type step marks every one N.A.
        EXPECT_EQ(textsOf(d->txtKXtype), repeated("N.A.", 16));
        EXPECT_EQ(d->txtZRstatus[1]->text(), "OK");
        EXPECT_EQ(items(r, "cboZR"), (QStringList{"All", " 1", " 6"}));
        if (framesLate(f) > 0) {
            EXPECT_TRUE(lastLogLine(o.log).contains("<< 0E 01 03 2D 02 00 00"));
        }
    }
};

// Set HFI-level 9 on the KX-H at 0; the module confirms it with the closing frame.
class KxSet final : public Operation {
  public:
    const char* name() const override { return "KxSet"; }
    void setUp(Rig& r) override {
        registerDemo(r);
        r.showTab(0);
        r.pick("cboKX", " 0");
        box(r)->setText("9");
    }
    FrameData target() const override { return {0, 32, 8, 1, 9}; }
    void run(Rig& r) override { r.click(r.indexed("cmdHFI", 0)); }

    void expectClean(Rig& r, const Outcome& o) const override {
        EXPECT_EQ(o.frames, (Frames{{}, target(), {}}));
        EXPECT_EQ(box(r)->text(), "9");
        EXPECT_TRUE(confirmed(r));
        EXPECT_EQ(stored(r), 9);
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f)) return expectClean(r, o);
        EXPECT_EQ(box(r)->text(), "9");
        EXPECT_FALSE(confirmed(r));
        if (framesLate(f) > 0) {
            // The closing frame comes back empty; the poll timer fetches the answer.
            EXPECT_EQ(o.frames, (Frames{{}, target(), {}}));
            r.tick(framesLate(f) - 1);
            EXPECT_FALSE(confirmed(r));
            r.tick();
            EXPECT_TRUE(confirmed(r));
            return;
        }
        // The command stops at the failed frame: no closing frame, nothing confirmed;
        // a module that got the command keeps its answer for a later empty frame.
        EXPECT_EQ(o.frames, (Frames{{}, target()}));
        EXPECT_EQ(stored(r), actedOn(f) ? 9 : 7);
        EXPECT_EQ(r.controller.pendingMessages(), actedOn(f) ? 1u : 0u);
    }

  private:
    static QLineEdit* box(Rig& r) { return r.find<QLineEdit>("txtHFI"); }
    static bool confirmed(Rig& r) { return box(r)->palette().color(QPalette::Base) == kGreen; }
    static int stored(Rig& r) { return module(r, sim::ModuleFamily::KX, 0).kxActive.value[1]; }
};

// Get the permanent PWM multiplier of the second half of the KX44 at 2 (4 in the demo).
class KxGet final : public Operation {
  public:
    const char* name() const override { return "KxGet"; }
    void setUp(Rig& r) override {
        registerDemo(r);
        r.showTab(0);
        r.pick("cboKX", " 2.1");
        r.find<QCheckBox>("chkKXperm")->setChecked(true);
    }
    FrameData target() const override { return {0, 34, 24, 64 + 9}; }
    void run(Rig& r) override { r.click(r.indexed("cmdPWMM", 1)); }

    void expectClean(Rig& r, const Outcome& o) const override {
        EXPECT_EQ(o.frames, (Frames{{}, target(), {}}));
        EXPECT_TRUE(confirmed(r));
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f)) return expectClean(r, o);
        EXPECT_TRUE(option(r, 2)->isChecked());
        EXPECT_FALSE(confirmed(r));
        if (framesLate(f) > 0) {
            EXPECT_EQ(o.frames, (Frames{{}, target(), {}}));
            r.tick(framesLate(f) - 1);
            EXPECT_FALSE(confirmed(r));
            r.tick();
            EXPECT_TRUE(confirmed(r));
            return;
        }
        EXPECT_EQ(o.frames, (Frames{{}, target()}));
        EXPECT_EQ(r.controller.pendingMessages(), actedOn(f) ? 1u : 0u);
    }

  private:
    static QRadioButton* option(Rig& r, int index) {
        return r.indexed<QRadioButton>("optPWMM", index);
    }
    static bool confirmed(Rig& r) {
        return option(r, 4)->isChecked() &&
               option(r, 4)->palette().color(QPalette::Button) == kGreen;
    }
};

class MasterSlaveCheck final : public Operation {
  public:
    const char* name() const override { return "MasterSlaveCheck"; }
    void setUp(Rig& r) override {
        registerDemo(r);
        r.showTab(0);
        r.pick("cboKX", "All_KXxx");
    }
    // The question to the KX-H at 5, the third of four.
    FrameData target() const override { return {0, 37, 8, 11}; }
    void run(Rig& r) override { r.click(r.indexed("cmdMS", 1)); }

    void expectClean(Rig& r, const Outcome& o) const override {
        (void)r;
        EXPECT_EQ(commandsOf(o.frames), kQuestions);
        ASSERT_EQ(o.messages.size(), 1u);
        EXPECT_EQ(o.messages[0].text,
                  "KX-H 0 is master\r\nKX44  2.0 is slave\r\nKX-H 5 is slave\r\nKX44  2.1 is "
                  "slave\r\n\r\nYour master/slave settings are OK");
        EXPECT_EQ(o.messages[0].icon, MessageIcon::None);
        EXPECT_EQ(emptyFramesAfter(o.frames, target()), 1);
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f)) return expectClean(r, o);
        if (framesLate(f) > 0) {
            // Still inside the 2 s wait: one more empty frame per frame of delay.
            EXPECT_EQ(emptyFramesAfter(o.frames, target()), 1 + framesLate(f));
            EXPECT_EQ(commandsOf(o.frames), kQuestions);
            ASSERT_EQ(o.messages.size(), 1u);
            EXPECT_TRUE(QString::fromStdString(o.messages[0].text)
                            .endsWith("Your master/slave settings are OK"));
            return;
        }
        // The check ends at the failed exchange: no later module, no summary.
        EXPECT_EQ(commandsOf(o.frames), Frames(kQuestions.begin(), kQuestions.begin() + 3));
        EXPECT_EQ(o.frames.back(), target());
        EXPECT_EQ(o.messages.size(), 1u);  // the no-answer box alone
    }

  private:
    const Frames kQuestions{{0, 32, 8, 11}, {0, 34, 8, 11}, {0, 37, 8, 11}, {0, 34, 24, 11}};
};

// The report of the ZR32 at 1; the fault hits the timing question of device 10.
class ZrReport final : public Operation {
  public:
    const char* name() const override { return "ZrReport"; }
    void setUp(Rig& r) override {
        registerDemo(r);
        r.showTab(1);
        r.pick("cboZR", " 1");
    }
    FrameData target() const override { return {0, 65, 48, 10}; }
    void run(Rig& r) override { r.click(r.find("cmdGetZRConfig")); }

    void expectClean(Rig& r, const Outcome& o) const override {
        EXPECT_EQ(report(r), expectedReport(r, 64));
        // The power of device 63 came with its own question: one empty frame ends the wait.
        EXPECT_EQ(emptyFramesAfter(o.frames, {0, 65, 56, 63}), 1);
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f)) return expectClean(r, o);
        if (framesLate(f) > 0) {
            // Answers are appended as they arrive, so lateness leaves the text as it is;
            // the answers still owed after the sweep are fetched by empty frames.
            EXPECT_EQ(report(r), expectedReport(r, 64));
            EXPECT_EQ(emptyFramesAfter(o.frames, {0, 65, 56, 63}), framesLate(f) == 1 ? 1 : 3);
            return;
        }
        // The run stops at the failed question; the text so far stays in the box.
        EXPECT_EQ(report(r), expectedReport(r, 10));
        EXPECT_TRUE(r.find("textZRReport")->isVisible());
        EXPECT_EQ(o.frames.back(), target());
    }

  private:
    static QString report(Rig& r) { return r.find<QPlainTextEdit>("textZRReport")->toPlainText(); }
    // Header, default timing, heading and the first `devices` lines, from the module's settings.
    static QString expectedReport(Rig& r, int devices) {
        static const char* const powers[] = {"Normal", "Low", "High", "Unlimited"};
        const sim::ZrSettings& s = module(r, sim::ModuleFamily::ZR, 1).zrActive;
        QString text = "ZR32#1 Active settings:\nDefault Timing =   200ms\nDevice  Timing  Power\n";
        for (int d = 0; d < devices; ++d) {
            const sim::ZrDevice& dev = s.devices[static_cast<std::size_t>(d)];
            char line[64];
            if (dev.time == 0)
                std::snprintf(line, sizeof line, "%6d Default  %s\n", d, powers[dev.power]);
            else
                std::snprintf(line, sizeof line, "%6d%6dms  %s\n", d, dev.time * 100 / 6,
                              powers[dev.power]);
            text += line;
        }
        return text;
    }
};

// Set Device Time of device 9 to 45 on "All": numbers 0..7 in turn; the fault hits number 6.
class ZrCommand final : public Operation {
  public:
    const char* name() const override { return "ZrCommand"; }
    void setUp(Rig& r) override {
        registerDemo(r);
        r.showTab(1);
        r.pick("cboZR", "All");
        r.find<QLineEdit>("txtZRdevice")->setText("9");
        r.find<QLineEdit>("txtZRtime")->setText("45");
    }
    FrameData target() const override { return {0, 70, 32, 9, 45}; }
    void run(Rig& r) override { r.click(r.find("cmdDeviceTime")); }

    void expectClean(Rig& r, const Outcome& o) const override {
        EXPECT_EQ(commandsOf(o.frames), commandsUpTo(7));
        EXPECT_TRUE(o.frames.back().empty());
        EXPECT_EQ(timeOfDevice9(r, 1), 45);
        EXPECT_EQ(timeOfDevice9(r, 6), 45);
        EXPECT_EQ(r.find<QLineEdit>("txtZRtime")->text(), "45");
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f) || framesLate(f) > 0)
            return expectClean(r, o);  // set commands get no module answer
        // Number 7 gets nothing and no closing frame follows.
        EXPECT_EQ(commandsOf(o.frames), commandsUpTo(6));
        EXPECT_EQ(o.frames.back(), target());
        EXPECT_EQ(timeOfDevice9(r, 1), 45);
        EXPECT_EQ(timeOfDevice9(r, 6), actedOn(f) ? 45 : 54);
    }

  private:
    static Frames commandsUpTo(int last) {
        Frames frames;
        for (int m = 0; m <= last; ++m)
            frames.push_back({0, static_cast<std::uint8_t>(64 + m), 32, 9, 45});
        return frames;
    }
    static int timeOfDevice9(Rig& r, int number) {
        return module(r, sim::ModuleFamily::ZR, number).zrActive.devices[9].time;
    }
};

// VGU-Config with "S1 38k4" and "YN32 retr" ticked, permanent.
class VgCommand final : public Operation {
  public:
    const char* name() const override { return "VgCommand"; }
    void setUp(Rig& r) override {
        registerDemo(r);
        r.showTab(2);
        r.find<QCheckBox>("chkVGUconfig_0")->setChecked(true);
        r.find<QCheckBox>("chkVGUconfig_4")->setChecked(true);
        r.find<QCheckBox>("chkVGperm")->setChecked(true);
    }
    FrameData target() const override { return {1, 7, 1, 1}; }
    void run(Rig& r) override { r.click(r.find("cmdConfig")); }

    void expectClean(Rig& r, const Outcome& o) const override {
        EXPECT_EQ(o.frames, (Frames{{}, target(), {}}));
        EXPECT_TRUE(stored(r));
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f) || framesLate(f) > 0) return expectClean(r, o);
        EXPECT_EQ(o.frames, (Frames{{}, target()}));
        EXPECT_EQ(stored(r), actedOn(f));
    }

  private:
    static bool stored(Rig& r) {
        const sim::SimSystem& s = r.controller.system();
        return s.vgConfigLow == 1 && s.vgConfigHigh == 1 && s.vgConfigPermanent;
    }
};

// "F1..F4+L" for decoder 200 with F+0 ticked: one frame straight to the link.
class TestPanel final : public Operation {
  public:
    const char* name() const override { return "TestPanel"; }
    void setUp(Rig& r) override {
        r.pickPort();
        QTest::mouseDClick(r.find("lblCom"), Qt::LeftButton);
        r.window->activateWindow();
        r.showTab(2);
        r.find<QLineEdit>("Text_Decoder")->setText("200");
        r.find<QCheckBox>("Check_Pattern(0)")->setChecked(true);
    }
    FrameData target() const override { return {40, 0, 1, 72, 1}; }
    void run(Rig& r) override { r.click(r.find("Command1(0)")); }
    std::string closedPortMessage() const override { return "Please select com-port"; }
    MessageIcon closedPortIcon() const override { return MessageIcon::None; }

    void expectClean(Rig& r, const Outcome& o) const override {
        EXPECT_EQ(o.frames, Frames{target()});
        EXPECT_EQ(r.controller.decoderCommands().back(), target());
        EXPECT_EQ(r.find<QLineEdit>("Text_Decoder")->text(), "200");
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f) || framesLate(f) > 0) return expectClean(r, o);
        EXPECT_EQ(o.frames, Frames{target()});
        EXPECT_EQ(r.controller.decoderCommands().size(), actedOn(f) ? 1u : 0u);
        EXPECT_EQ(r.find<QLineEdit>("Text_Decoder")->text(), "200");
    }
};

// A KX settings report the controller holds, fetched by the poll timer.
class Polling final : public Operation {
  public:
    const char* name() const override { return "Polling"; }
    void setUp(Rig& r) override {
        registerDemo(r);
        r.showTab(0);
        r.pick("cboKX", " 0");
    }
    FrameData target() const override { return {}; }
    void run(Rig& r) override {
        r.controller.queueMessage({0, 32, 10, 1, 12});
        r.tick();
    }
    std::string closedPortMessage() const override { return {}; }
    // Polling starts again only after a successful exchange.
    void beforeRerun(Rig& r) const override { r.click(r.find("cmdReset")); }

    void expectClean(Rig& r, const Outcome& o) const override {
        EXPECT_TRUE(o.log.endsWith("  << 0D 00 20 0A 01 0C 3C\n"));
        EXPECT_EQ(box(r)->text(), "12");
        EXPECT_TRUE(confirmed(r));
    }

    void expect(Rig& r, Fault f, const Outcome& o) const override {
        if (transparent(f)) {
            EXPECT_EQ(r.controller.pendingMessages(), 0u);
            return expectClean(r, o);
        }
        EXPECT_EQ(box(r)->text(), "0");
        EXPECT_FALSE(confirmed(r));
        if (framesLate(f) > 0) {
            // An empty answer: nothing logged, polling goes on and fetches the report later.
            EXPECT_EQ(o.log, "");
            r.tick(framesLate(f) - 1);
            EXPECT_FALSE(confirmed(r));
            r.tick();
            EXPECT_TRUE(confirmed(r));
            return;
        }
        // An unanswered empty frame leaves an empty line. A report that left the
        // controller is lost; one the controller never got to send stays there.
        EXPECT_EQ(o.log, "\n");
        EXPECT_EQ(r.controller.pendingMessages(), f == Fault::NoAnswer ? 1u : 0u);
    }

  private:
    static QLineEdit* box(Rig& r) { return r.find<QLineEdit>("txtHFI"); }
    static bool confirmed(Rig& r) { return box(r)->palette().color(QPalette::Base) == kGreen; }
};

}  // namespace

const std::vector<std::unique_ptr<Operation>>& operations() {
    static const std::vector<std::unique_ptr<Operation>> table = [] {
        std::vector<std::unique_ptr<Operation>> t;
        t.push_back(std::make_unique<StatusStandard>());
        t.push_back(std::make_unique<StatusClassic>());
        t.push_back(std::make_unique<KxSet>());
        t.push_back(std::make_unique<KxGet>());
        t.push_back(std::make_unique<MasterSlaveCheck>());
        t.push_back(std::make_unique<ZrReport>());
        t.push_back(std::make_unique<ZrCommand>());
        t.push_back(std::make_unique<VgCommand>());
        t.push_back(std::make_unique<TestPanel>());
        t.push_back(std::make_unique<Polling>());
        return t;
    }();
    return table;
}

}  // namespace korvel::testing::matrix
