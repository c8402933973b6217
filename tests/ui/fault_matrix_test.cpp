// Each operation of the program with one of its frames lost on the line, or the
// line gone at that frame: what it sends, shows and keeps, and that it works after.
#include <QApplication>
#include <QComboBox>
#include <functional>

#include "sim/handlers.h"
#include "tests/ui/window_rig.h"

namespace korvel::testing {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;
using Looks = std::vector<std::pair<QString, QString>>;  // widget, what it shows

struct Operation {
    const char* name;
    std::function<void(WindowRig&)> setUp;  // before the fault is armed
    std::function<void(WindowRig&)> run;
    FrameData target;  // the frame the fault hits
    bool goesOn;       // the sequence carries on past an unanswered exchange
    Looks clean;       // after a run without fault
    Looks lost;        // after the target frame went unanswered
    Looks vanished;    // after the line vanished at the target (as `lost` when empty)
};

// The ZR report of module 1 of the demo system, cut after `devices` device lines.
QString zrReportLines(int devices) {
    sim::SimSystem demo = sim::demoSystem();
    const auto& settings = sim::findModule(demo, sim::ModuleFamily::ZR, 1)->zrActive;
    const QStringList lines =
        QString::fromStdString(zrReportOf(settings, 1, false, "\n")).split('\n');
    return lines.mid(0, 3 + devices).join('\n') + "\n";
}

const QString kDemoKx = "All_KXxx|All_KX44|All_KX-H|All_WOBE| 0| 2.0| 2.1| 3| 5";

std::vector<Operation> operations() {
    const auto onPage = [](int tab, QString list, QString entry) {
        return [=](WindowRig& r) {
            r.registerDemo();
            r.showTab(tab);
            r.pick(list, entry);
        };
    };
    return {
        {"StatusStandard",
         [](WindowRig& r) { r.pickPort(); },
         [](WindowRig& r) { r.click("cmdStatus"); },
         {1, 11, 34},
         true,
         {{"dlgKorvelStatus44", "shown"},
          {"txtKXstatus_18", "Active"},
          {"cboKX", kDemoKx},
          {"cboZR", "All| 1| 6"}},
         {{"dlgKorvelStatus44", "shown"},
          {"txtKXstatus_2", "-"},
          {"txtKXstatus_3", "Active"},
          {"cboKX", "All_KXxx|All_KX-H|All_WOBE| 0| 3| 5"},
          {"cboZR", "All| 1| 6"}},
         {{"dlgKorvelStatus44", "hidden"}, {"cboKX", ""}, {"cboZR", ""}}},
        {"KxSet",
         [=](WindowRig& r) {
             onPage(0, "cboKX", " 0")(r);
             r.type("txtHFI", "9");
         },
         [](WindowRig& r) { r.click("cmdHFI(0)"); },
         {0, 32, 8, 1, 9},
         false,
         {{"txtHFI", "9 green"}},
         {{"txtHFI", "9"}},
         {}},
        {"ZrReport",
         onPage(1, "cboZR", " 1"),
         [](WindowRig& r) { r.click("cmdGetZRConfig"); },
         {0, 65, 48, 10},
         false,
         {{"textZRReport", zrReportLines(64)}},
         {{"textZRReport", zrReportLines(10)}},
         {}},
    };
}

enum class Fault { Lost, Vanish };
using Cell = std::tuple<std::size_t, Fault>;

class FaultMatrix : public ::testing::TestWithParam<Cell>, public WindowRig {
  protected:
    const Operation& op() const {
        static const std::vector<Operation> table = operations();
        return table[std::get<0>(GetParam())];
    }
    void expectLooks(const Looks& looks) const {
        for (const auto& [widget, text] : looks)
            EXPECT_EQ(shown(widget).toStdString(), text.toStdString()) << widget.toStdString();
    }
    void runCleanly() {
        prompter.shown.clear();
        op().run(*this);
        expectLooks(op().clean);
        EXPECT_TRUE(prompter.shown.empty());
    }
};

TEST_P(FaultMatrix, Cell) {
    const Fault fault = std::get<1>(GetParam());
    op().setUp(*this);
    prompter.shown.clear();
    const FrameData target = op().target;
    controller.faults().aimed =
        aimedAt(fault == Fault::Lost ? sim::FaultKind::NoAnswer : sim::FaultKind::Vanish, target);
    const auto start = clock.now();
    op().run(*this);

    EXPECT_FALSE(controller.faults().aimed) << "the fault never hit its frame";
    EXPECT_EQ(prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    if (!op().goesOn || fault == Fault::Vanish) {
        EXPECT_EQ(controller.framesReceived().back(), target) << "the sequence stops there";
        EXPECT_FALSE(polling());
    }
    if (fault == Fault::Lost) {
        EXPECT_GE(clock.now() - start, 2s);
        expectLooks(op().lost);
        clock.advance(1s);
        runCleanly();
        return;
    }
    EXPECT_LT(clock.now() - start, 1s);
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(find<QComboBox>("cboPort")->currentIndex(), -1);  // no port picked
    expectLooks(op().vanished.empty() ? op().lost : op().vanished);
    // Until a port is picked again, nothing is sent.
    const std::size_t frames = controller.framesReceived().size();
    prompter.shown.clear();
    op().run(*this);
    EXPECT_EQ(controller.framesReceived().size(), frames);
    for (const std::string& text : prompter.texts())
        EXPECT_EQ(text, "Selecteer communicatie poort");
    controller.reconnect();
    pickPort();
    runCleanly();
}

std::string cellName(const ::testing::TestParamInfo<Cell>& info) {
    static const std::vector<Operation> table = operations();
    return std::string(table[std::get<0>(info.param)].name) +
           (std::get<1>(info.param) == Fault::Lost ? "_FrameLost" : "_LineVanishes");
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultMatrix,
                         ::testing::Combine(::testing::Range<std::size_t>(0, operations().size()),
                                            ::testing::Values(Fault::Lost, Fault::Vanish)),
                         cellName);

}  // namespace
}  // namespace korvel::testing
