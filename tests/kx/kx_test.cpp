#include "kx/commands.h"
#include "kx/master_slave_check.h"
#include "kx/reply_decoding.h"
#include "sim/handlers.h"
#include "tests/support/recorders.h"
#include "ui_model/kx_page_state.h"
#include "ui_model/kx_reply.h"
#include "ui_model/kx_routines.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using N = KxNumberSetting;
using O = KxOptionSetting;
using sim::FrameData;
using testing::OpenBench;
using Frames = std::vector<FrameData>;

constexpr KxSelectors kEverySelector{true, true, true, true};

TEST(KxNumberCommand, CodeSelectorsPermanentAndRangeCorrection) {
    // setting, text, selectors, permanent; the command's v and x, the corrected text
    const std::tuple<N, const char*, KxSelectors, bool, int, int, std::optional<std::string>>
        cases[] = {
            {N::HFI, "12.5", {}, false, 1, 12, {}},
            {N::HFI, "13.5 mA", kEverySelector, true, 65, 14, {}},
            {N::AlarmDelay, "127", {.alarmOn = true}, false, 3, 127, {}},
            {N::AlarmDelay, "128", {}, false, 2, 127, "127"},
            {N::SwitchDelay, "6.5", {}, false, 4, 6, {}},
            {N::SwitchDelay, "7.5", {.bank1 = true}, false, 5, 7, "7"},
            {N::SwitchDelay, "1", {.switchOn = true}, false, 6, 1, {}},
            {N::SwitchDelay, "1", {.switchOn = true, .bank1 = true}, true, 71, 1, {}},
            {N::DCShift, "8", {}, false, 8, 7, "7"},
            {N::LoopCurrent, "19.5", {}, false, 13, 20, "20"},
            {N::LoopCurrent, "20", {.loopB = true}, true, 78, 20, {}},
            {N::Address, "15", {}, true, 79, 15, {}},
        };
    for (const auto& [setting, text, selectors, permanent, v, x, corrected] : cases) {
        const KxCommand k = numberCommand(setting, text, selectors, permanent);
        EXPECT_EQ(std::tuple(k.v, k.x, k.correctedText), std::tuple(v, x, corrected)) << text;
    }
}

TEST(KxOptionCommand, ValueIsTheSelectedIndexOrZero) {
    const std::tuple<O, std::optional<int>, bool, int, int> cases[] = {
        {O::PWMMult, 16, false, 9, 16}, {O::PWMMult, 2, false, 9, 2}, {O::PWMMult, 6, false, 9, 0},
        {O::PWMMult, {}, false, 9, 0},  {O::OCDMode, 2, true, 74, 2}, {O::OCDMode, 3, false, 10, 0},
        {O::MSMode, 1, false, 11, 1},   {O::MSMode, 3, false, 11, 0}, {O::PowerCtl, 1, true, 76, 1},
        {O::PowerCtl, 2, false, 12, 0}};
    for (const auto& [setting, index, permanent, v, x] : cases) {
        const KxCommand k = optionCommand(setting, index, permanent);
        EXPECT_EQ(std::tuple(k.v, k.x), std::tuple(v, x)) << v << " " << index.value_or(-1);
    }
}

// A settings report of the module at bus address b2 - 32 (second half when b3 has 16).
ReplyBuffer report(int b2, int b3, int v, int x) {
    ReplyBuffer r;
    r.bytes = {13, 0, std::uint8_t(b2), std::uint8_t(b3), std::uint8_t(v), std::uint8_t(x)};
    return r;
}

TEST(DecodeKXReply, OnlyTheSelectedModuleAndTheSettingThePageAddresses) {
    using F = KxSettingId;
    const auto field = [](F f, std::string text) { return KxFieldUpdate{f, std::move(text)}; };
    const auto option = [](F f, int index) { return KxFieldUpdate{f, "", index}; };
    const std::tuple<ReplyBuffer, KxPageInputs, std::optional<KxFieldUpdate>> cases[] = {
        {report(35, 26, 1, 12), {19, false, {}}, field(F::Hfi, "12")},
        {report(35, 26, 1, 12), {3, false, {}}, {}},
        {report(35, 10, 1, 12), {19, false, {}}, {}},
        {report(32, 10, 1, 12), {kAllKXxx, false, {}}, {}},
        {report(32, 10, 1, 12), {}, {}},
        {report(32, 10, 65, 3), {0, false, {}}, {}},
        {report(32, 10, 65, 3), {0, true, {}}, field(F::Hfi, "3")},
        {report(32, 10, 1, 3), {0, true, {}}, {}},
        {report(32, 10, 3, 90), {0, false, {}}, {}},
        {report(32, 10, 3, 90), {0, false, {.alarmOn = true}}, field(F::AlarmDelay, "90")},
        {report(32, 10, 7, 5), {0, false, {.switchOn = true}}, {}},
        {report(32, 10, 7, 5),
         {0, false, {.switchOn = true, .bank1 = true}},
         field(F::SwitchDelay, "5")},
        {report(32, 10, 8, 127), {0, false, {}}, field(F::DcShift, "127")},
        {report(32, 10, 14, 40), {0, false, {.loopB = true}}, field(F::LoopCurrent, "40")},
        {report(32, 10, 9, 32), {0, false, {}}, option(F::PwmMult, 32)},
        {report(32, 10, 9, 6), {0, false, {}}, {}},
        {report(32, 10, 75, 2), {0, true, {}}, option(F::MsMode, 2)},
        {report(32, 10, 11, 3), {0, false, {}}, {}},
    };
    for (const auto& [reply, page, update] : cases)
        EXPECT_EQ(DecodeKXReply(reply, page), update)
            << int(reply[2]) << " " << int(reply[3]) << " " << int(reply[4]);
}

// Every setting code with its variant, both halves, the Permanent flag, and
// values the page cannot show; then what is no settings report of a module.
TEST(DecodeKxReport, ModuleSettingVariantPermanentAndValueAsReported) {
    using F = KxSettingId;
    const std::pair<FrameData, std::optional<KxReport>> cases[] = {
        {{0, 32, 10, 1, 12}, KxReport{0, F::Hfi, {}, false, 12}},
        {{0, 35, 26, 66, 90}, KxReport{19, F::AlarmDelay, {}, true, 90}},
        {{0, 47, 10, 3, 127}, KxReport{15, F::AlarmDelay, {.alarmOn = true}, false, 127}},
        {{0, 47, 26, 4, 0}, KxReport{31, F::SwitchDelay, {}, false, 0}},
        {{0, 33, 10, 69, 5}, KxReport{1, F::SwitchDelay, {.bank1 = true}, true, 5}},
        {{0, 33, 10, 6, 7}, KxReport{1, F::SwitchDelay, {.switchOn = true}, false, 7}},
        {{0, 34, 10, 8, 9}, KxReport{2, F::DcShift, {}, false, 9}},
        {{0, 34, 10, 9, 0}, KxReport{2, F::PwmMult, {}, false, 0}},
        {{0, 36, 10, 74, 2}, KxReport{4, F::OcdMode, {}, true, 2}},
        {{0, 36, 26, 11, 3}, KxReport{20, F::MsMode, {}, false, 3}},
        {{0, 37, 10, 12, 1, 0, 0}, KxReport{5, F::PowerCtl, {}, false, 1}},
        {{0, 38, 10, 13, 0}, KxReport{6, F::LoopCurrent, {}, false, 0}},
        {{0, 38, 10, 78, 70}, KxReport{6, F::LoopCurrent, {.loopB = true}, true, 70}},
        {{0, 39, 10, 15, 15}, KxReport{7, F::Address, {}, false, 15}},
    };
    const Frames none = {{0, 32, 10, 0, 1}, {0, 32, 10, 64, 0}, {0, 32, 10, 16, 1},
                         {0, 48, 10, 1, 1}, {0, 63, 26, 1, 1},  {0, 32, 11, 1, 1},
                         {0, 32, 24, 1, 1}, {0, 32, 42, 1, 1},  {0, 32, 10, 1},
                         {1, 32, 10, 1, 5}};
    for (const auto& [data, expected] : cases)
        EXPECT_EQ(decodeKxReport(testing::replyOf(data)), expected)
            << int(data[1]) << " " << int(data[2]) << " " << int(data[3]);
    for (const FrameData& data : none)
        EXPECT_EQ(decodeKxReport(testing::replyOf(data)), std::nullopt)
            << int(data[1]) << " " << int(data[2]) << " " << int(data[3]);
}

TEST(PageCanShow, OptionValuesItHasAndNumbersInRange) {
    using F = KxSettingId;
    const std::tuple<F, int, bool> cases[] = {
        {F::PwmMult, 2, true},       {F::PwmMult, 32, true},     {F::PwmMult, 0, false},
        {F::PwmMult, 6, false},      {F::PwmMult, 64, false},    {F::OcdMode, 2, true},
        {F::OcdMode, 3, false},      {F::MsMode, 0, true},       {F::PowerCtl, 1, true},
        {F::PowerCtl, 2, false},     {F::Hfi, 0, true},          {F::Hfi, 15, true},
        {F::Hfi, 16, false},         {F::AlarmDelay, 127, true}, {F::SwitchDelay, 8, false},
        {F::LoopCurrent, 19, false}, {F::LoopCurrent, 20, true}, {F::LoopCurrent, 70, true},
        {F::LoopCurrent, 71, false}, {F::Address, 16, false}};
    for (const auto& [field, value, shown] : cases)
        EXPECT_EQ(pageCanShow(settingRow(field), value), shown)
            << settingRow(field).name << " " << value;
}

// Of the messages the controller held, only a KX module's report with five to
// seven data bytes goes to the page.
TEST(SettingsReport, IsPickedOutByLengthB1AndAddress) {
    const std::pair<FrameData, bool> cases[] = {
        {{0, 35, 10, 1, 12}, true},  {{0, 63, 26, 1, 12, 0, 0}, true}, {{0, 35, 10, 1}, false},
        {{0, 64, 10, 1, 12}, false}, {{0, 31, 10, 1, 12}, false},      {{1, 35, 10, 1, 12}, false}};
    for (const auto& [data, report] : cases)
        EXPECT_EQ(isSettingsReport(testing::replyOf(data)), report)
            << int(data[1]) << " " << data.size();
}

// The entry; the panels, MS Set, the Get buttons, MS Get and its caption, Bank 1, the type shown.
using PageCase =
    std::tuple<std::int32_t, const char*, bool, bool, bool, const char*, bool, const char*>;

std::string panelsShown(const KxPageState& p) {
    constexpr const char* names[] = {"HFI ", "AL ", "SW ", "DCS ", "PWMM ",
                                     "OCD ", "MS ", "PC ", "LC ",  "AD "};
    std::string s;
    for (std::size_t f = 0; f < std::size(names); ++f)
        if (p.panels.at(f)) s += names[f];
    return s;
}

class KxSelection : public ::testing::TestWithParam<PageCase> {};

// The demo system's modules plus one of unrecognised type at 7; each selection
// is made after "All_KXxx", so nothing carries over from the one before.
TEST_P(KxSelection, PageMatchesTheSelectedEntry) {
    const auto& [item, panels, msSet, getButtons, msGet, msCaption, bank1, type] = GetParam();
    KxTypeTable types = testing::demoRegistry().kxTypes;
    types[7] = kKxUnknown;
    KxPageState page;
    KXSelectionChanged(page, kAllKXxx, types);
    KXSelectionChanged(page, item, types);
    EXPECT_EQ(std::tuple(panelsShown(page), page.setButton(KxSettingId::MsMode), page.getButtons,
                         page.cmdMSGet, page.cmdMSGetCaption, page.bank1Visible,
                         page.kxTypeVisible ? page.kxTypeCaption : "hidden"),
              std::tuple(panels, msSet, getButtons, msGet, msCaption, bank1, type));
    for (const KxSettingRow& row : kKxSettings) {  // elsewhere a panel comes with its Set button
        if (row.field != KxSettingId::MsMode) {
            EXPECT_EQ(page.setButton(row.field), page.panel(row.field)) << row.name;
        }
    }
}

constexpr const char* kAll = "HFI AL SW DCS PWMM OCD MS PC LC AD ";
constexpr const char* kKXH = "HFI AL SW DCS PWMM OCD MS PC ";
constexpr const char* kUpper = "HFI AL SW DCS PWMM OCD ";
constexpr const char* kWobe = "SW LC AD ";
constexpr const char* kGet = "Get MS mode";

INSTANTIATE_TEST_SUITE_P(
    EveryKind, KxSelection,
    ::testing::Values(
        PageCase{0, kKXH, true, true, true, kGet, true, "KX-H"},
        PageCase{2, "HFI AL SW DCS PWMM OCD MS ", false, true, true, kGet, false, "KX44"},
        PageCase{3, kWobe, false, false, false, kGet, true, "WOBE-s"},
        PageCase{7, kAll, true, false, false, kGet, true, "hidden"},
        PageCase{kAllKXH, kKXH, true, false, false, kGet, true, "KX-H"},
        PageCase{kAllKX44, kUpper, false, false, false, kGet, false, "KX44"},
        PageCase{kAllWobe, kWobe, false, false, false, kGet, true, "WOBE-s"},
        PageCase{kAllKXxx, kUpper, false, false, true, "Check MS mode", false, "KXxx"}));

struct KxCommands : ::testing::Test {
    OpenBench b;
};

TEST_F(KxCommands, GetSetEraseAndMasterSlaveButtons) {
    SendKXSetting(b.link, b.prompter, testing::selecting(18), KxButton::Get,
                  numberCommand(N::HFI, "9", {}, true));
    SendKXSetting(b.link, b.prompter, testing::selecting(5), KxButton::Set,
                  numberCommand(N::SwitchDelay, "3", {.switchOn = true, .bank1 = true}, false));
    SendOrCheckMSMode(b.link, b.prompter, testing::selecting(5), KxButton::Set, 2, true);
    SendOrCheckMSMode(b.link, b.prompter, testing::selecting(5), KxButton::Get, 2, false);
    EraseKXSettings(b.link, b.prompter, testing::selecting(2));
    EXPECT_EQ(
        b.commandsSince(0),
        (Frames{
            {0, 34, 24, 65}, {0, 37, 8, 7, 3}, {0, 37, 8, 75, 2}, {0, 37, 8, 11}, {0, 34, 8, 64}}));
    EXPECT_EQ(b.frames().size(), 15u);
    testing::expectEraseWarning(b.prompter, "KX");
}

// A new setting's code can lie anywhere in the command byte's six bits.
TEST_F(KxCommands, TheSimulatedModuleKeepsEverySettingCode) {
    for (const int code : {16, 63}) {
        sendKxCommand(b.link, std::vector<int>{0}, KxButton::Set, {code, 42, {}});
        EXPECT_EQ(sim::findModule(b.controller.system(), sim::ModuleFamily::KX, 0)
                      ->kxActive.value[std::size_t(code)],
                  42)
            << code;
    }
}

TEST_F(KxCommands, CancelledEraseSendsNothingAndTheCheckNeverAsksPermanent) {
    b.prompter.answer = MessageAnswer::Cancel;
    EraseKXSettings(b.link, b.prompter, testing::selecting(0));
    EXPECT_TRUE(b.frames().empty());
    EXPECT_EQ(b.prompter.texts().back(), "Operation Cancelled");
    SendOrCheckMSMode(b.link, b.prompter, testing::selecting(kAllKXxx), KxButton::Get, 1, true);
    EXPECT_EQ(b.commandsSince(0),
              (Frames{{0, 32, 8, 11}, {0, 34, 8, 11}, {0, 37, 8, 11}, {0, 34, 24, 11}}));
}

TEST(MasterSlaveCheck, VerdictByNumberOfMasters) {
    // The demo system's modes set per case: KX-H 0, KX44 2 (both halves), KX-H 5; the box.
    const std::tuple<std::array<int, 4>, const char*, MessageIcon> cases[] = {
        {{2, 2, 1, 2},
         "KX-H 5 is master\r\nKX44  2.1 is slave\r\n\r\nYour master/slave settings are OK",
         MessageIcon::None},
        {{1, 2, 2, 1},
         "KX44  2.1 is master\r\n\r\nYour system has multiple masters!",
         MessageIcon::Critical},
        {{0, 2, 3, 2},
         "KX-H 5 returns error: 3\r\nKX44  2.1 is slave\r\n\r\nYour system has no master!",
         MessageIcon::Critical},
    };
    for (const auto& [modes, end, icon] : cases) {
        OpenBench b;
        const auto kx = [&](int n) {
            return sim::findModule(b.controller.system(), sim::ModuleFamily::KX, n);
        };
        kx(0)->kxActive.value[11] = modes[0];
        kx(2)->kxActive.value[11] = modes[1];
        kx(5)->kxActive.value[11] = modes[2];
        kx(2)->kxSecondActive.value[11] = modes[3];
        RunMasterSlaveCheck(b.link, b.prompter, testing::demoRegistry().kxTypes);
        ASSERT_EQ(b.prompter.shown.size(), 1u);
        EXPECT_TRUE(b.prompter.shown[0].text.ends_with(end)) << b.prompter.shown[0].text;
        EXPECT_EQ(b.prompter.shown[0].icon, icon);
    }
}

// The answer of module 4 is held so that its frame ends exactly 2 s after the
// question was answered (in time) or a nanosecond later (too late); module 7 is gone.
TEST(MasterSlaveCheck, AnAnswerCountsUpToTwoSecondsAndSilenceEndsTheCheck) {
    // The answering empty frame: 2 bytes out, its delay, 7 bytes in.
    const auto inTime = 2s - 9 * sim::MemoryPort::kByteTime;
    const Frames asked4{{0, 36, 8, 11}}, asked4and7{{0, 36, 8, 11}, {0, 39, 8, 11}};
    for (const auto& [delay, silent, asked] :
         {std::tuple{inTime, 7, asked4and7}, std::tuple{inTime + 1ns, 4, asked4}}) {
        sim::SimSystem s;
        s.modules = {testing::kxModule(4, sim::kAnswered)};
        s.modules[0].kxActive.value[11] = 1;
        OpenBench b(s);
        b.controller.faults().answerDelay = delay;
        KxTypeTable types;
        types.fill(kKxNone);
        types[4] = types[7] = kKxH;
        const MasterSlaveCheck check = checkMasterSlave(b.link, types);
        EXPECT_EQ(std::tuple(check.outcome, check.message, b.commandsSince(0)),
                  std::tuple(MasterSlaveOutcome::ModuleSilent,
                             "No answer from module " + std::to_string(silent), asked));
    }
}

TEST(MasterSlaveCheck, ForeignAndPermanentAnswersDoNotCount) {
    sim::SimSystem s;
    OpenBench b(s);
    b.controller.faults().moduleAnswerDelay = 2;
    for (const FrameData& m :
         {FrameData{0, 36, 10, 75, 1}, FrameData{0, 37, 10, 11, 1}, FrameData{0, 36, 26, 11, 1},
          FrameData{0, 36, 10, 10, 1}, FrameData{0, 36, 13, 11, 2}})
        b.controller.queueMessage(m);
    KxTypeTable types;
    types.fill(kKxNone);
    types[4] = kKxH;
    const MasterSlaveCheck check = checkMasterSlave(b.link, types);
    EXPECT_EQ(check.report, "KX-H 4 is slave\r\n");
}

}  // namespace
}  // namespace korvel
