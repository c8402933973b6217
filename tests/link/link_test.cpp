#include <clocale>
#include <cmath>

#include "link/answer_rule.h"
#include "link/receiver.h"
#include "service/dispatch.h"
#include "service/number_text.h"
#include "service/ports.h"
#include "tests/support/recorders.h"
#include "ui_model/outcome_boxes.h"
#include "ui_model/port_routines.h"

namespace korvel {
namespace {

using namespace std::chrono_literals;
using sim::FrameData;
using testing::OpenBench;
using testing::replyOf;
using testing::SimBench;
using Bytes = std::vector<std::uint8_t>;
using Frames = std::vector<FrameData>;
using F = ModuleFamily;

TEST(Frame, WorkedExamplesAndLimits) {
    EXPECT_EQ(encodeRequest(Frame{}, false, true), (Bytes{0x48, 0xB8}));
    EXPECT_EQ(encodeRequest(Frame{1, 0}, true, false), (Bytes{0x2A, 0x81, 0x80, 0xD5}));
    EXPECT_EQ(encodeRequest(Frame{1, 2, 3, 4, 5, 6, 127}, false, false),
              (Bytes{0x0F, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0xFF, 0xDD}));
    EXPECT_THROW(CommandByte(128), std::out_of_range);
    EXPECT_THROW((Frame{1, 2, 3, 4, 5, 6, 7, 8}), std::length_error);
}

// The receiver against bytes placed on the in-memory line.
struct Receiver : ::testing::Test, testing::SimLine {
    Receiver() : SimLine(sim::SimSystem{}) { port.open(1); }
    bool receive(const Bytes& bytes) {
        port.inject(bytes);
        return ReceiveFrameBy(port, clock, buffer, clock.now() + kReplyTimeout);
    }
    ReplyBuffer buffer;
};

TEST_F(Receiver, TakesWholeFramesAndResynchronisesOnHeaders) {
    using Kept = std::array<std::uint8_t, 10>;
    EXPECT_TRUE(receive({0x90, 0x91, 0x08, 0xF8}));
    EXPECT_EQ(buffer.bytes, (Kept{0x08, 0x78}));
    EXPECT_TRUE(receive({0x0C, 0x85, 0x0A, 0x81, 0x82, 0xF3}));
    EXPECT_EQ(buffer.bytes, (Kept{0x0A, 1, 2, 115}));
    EXPECT_TRUE(receive({0x0F, 0x81, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87, 0xD5}));
    EXPECT_EQ(buffer[8], 0x55);
    EXPECT_FALSE(receive({0x0A, 0x81, 0x82, 0xF4}));  // wrong check value
    EXPECT_EQ(buffer[3], 116);
}

TEST_F(Receiver, KeepsIndexZeroUntilAHeaderArrives) {
    buffer.bytes = {0x0D, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    EXPECT_FALSE(receive({0x85}));
    EXPECT_EQ(buffer.bytes, (std::array<std::uint8_t, 10>{0x0D, 0, 0, 0, 0, 0, 0, 0, 0, 9}));
}

// An answer whose last byte lands exactly at the limit counts; a nanosecond later it does not.
TEST(ReplyWait, EndsTwoSecondsAfterTheRequestWasWritten) {
    const auto twoBytes = 2 * sim::MemoryPort::kByteTime;
    for (const auto& [late, answered] :
         {std::pair{2s - twoBytes, true}, std::pair{2s - twoBytes + 1ns, false}}) {
        OpenBench b;
        b.controller.faults().aimed = testing::aimedAt(sim::FaultKind::Late, {}, late);
        const auto start = b.clock.now();
        EXPECT_EQ(static_cast<bool>(b.link.Transact(Frame{})), answered);
        EXPECT_LE(b.clock.now() - start, 2s + 3ms);
    }
}

TEST(Transaction, ToggleBitStopFlagAndRecords) {
    OpenBench b;
    ASSERT_TRUE(b.link.Transact(Frame{0, 33}));
    ASSERT_EQ(b.log.records.size(), 1u);
    const auto record = [&](const ExchangeRecord& r) {
        return std::tuple(r.request, r.answer, r.unanswered);
    };
    EXPECT_EQ(record(b.log.records[0]),
              std::tuple(Bytes{0x2A, 0x80, 0xA1, 0xB5}, Bytes{0x08, 0xF8}, false));
    EXPECT_TRUE(b.link.polling());
    b.link.setStopFlag(false);
    b.controller.faults().skipAnswers = 1;
    EXPECT_FALSE(b.link.Transact(Frame{1, 3, 1}));
    EXPECT_EQ(record(b.log.records.back()),
              std::tuple(Bytes{0x4B, 0x81, 0x83, 0x81, 0xB0}, Bytes{}, true));
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Geen antwoord van Korvel"});
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_FALSE(b.link.polling());
    EXPECT_TRUE(b.link.Transact(Frame{}));
    EXPECT_EQ(b.controller.headersReceived(), (Bytes{0x2A, 0x4B, 0x08}));
    b.controller.faults().skipAnswers = 1;
    EXPECT_FALSE(b.link.Transact(Frame{}));
    EXPECT_TRUE(b.log.records.back().unanswered);
    EXPECT_EQ(b.log.records.size(), 4u);
}

TEST(Transaction, OnlyPollAnswersThatCarryDataAreHandedOn) {
    OpenBench b;
    std::vector<int> handed;
    const Link::Subscription subscription =
        b.link.subscribe([&](const ReplyBuffer& r) { handed.push_back(r[2]); });
    b.link.pollTick();
    b.controller.queueMessage({0, 35, 10, 1, 12});
    b.controller.queueMessage({0, 70, 10, 1, 13});
    b.controller.queueMessage({0, 36, 10, 1});
    for (int i = 0; i < 3; ++i) b.link.pollTick();
    EXPECT_EQ(handed, (std::vector<int>{35, 70, 36}));
    // The same bytes answering a request with data are not handed on; leftovers are drained.
    b.port.inject(sim::SimController::encodeAnswer({0, 35, 10, 1, 14}));
    b.link.Transact(Frame{1, 0});
    EXPECT_EQ(handed, (std::vector<int>{35, 70, 36}));
    EXPECT_EQ(b.link.reply()[0] & 15, 8);
}

TEST(Ports, ListOpenPickRefreshAndDeviceNames) {
    SimBench b;
    b.port.availablePorts = {1, 3, 17};
    b.port.busyPorts = {3};
    EXPECT_EQ(FillPortList(b.port), (std::vector<int>{1}));
    EXPECT_FALSE(b.port.isOpen());
    EXPECT_FALSE(PickPort(b.link, b.prompter, " 3"));
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Fout bij openen COM poort"});
    ASSERT_TRUE(PickPort(b.link, b.prompter, " 1"));
    b.link.pollTick();
    ASSERT_TRUE(b.link.polling());
    b.port.busyPorts.clear();
    ASSERT_TRUE(PickPort(b.link, b.prompter, " 3"));
    EXPECT_EQ(b.port.openedPort(), 3);
    EXPECT_FALSE(b.link.polling());
    EXPECT_EQ(RefreshPorts(b.link), (std::vector<int>{1, 3}));
    EXPECT_FALSE(b.port.isOpen());
    b.link.pollTick();
    EXPECT_FALSE(b.link.polling());
    const std::pair<int, const char*> names[] = {{1, "/dev/ttyS0"},
                                                 {4, "/dev/ttyS3"},
                                                 {5, "/dev/ttyUSB0"},
                                                 {12, "/dev/ttyUSB7"},
                                                 {13, "/dev/ttyACM0"},
                                                 {16, "/dev/ttyACM3"},
                                                 {17, ""}};
    for (const auto& [port, name] : names) EXPECT_EQ(portDeviceName(port), name) << port;
}

TEST(NumberText, LeadingNumberHalvesToEvenAndRangeCorrection) {
    const std::pair<const char*, double> leading[] = {
        {"12", 12},    {"  -3.5abc", -3.5}, {"+7", 7},  {".5", 0.5},
        {"1e2x", 100}, {"1e", 1},           {"abc", 0}, {"", 0},
        {"-", 0},      {"inf", 0},          {"nan", 0}, {"0x1F", 0}};
    for (const auto& [text, number] : leading) EXPECT_EQ(leadingNumber(text), number) << text;
    EXPECT_TRUE(std::isfinite(leadingNumber("-1e999999")));
    for (const auto& [x, rounded] : {std::pair{12.5, 12.0}, std::pair{13.5, 14.0},
                                     std::pair{-2.5, -2.0}, std::pair{2.5001, 3.0}})
        EXPECT_EQ(roundHalfEven(x), rounded) << x;
    // text, range; what the box shows, the value sent, whether it was corrected
    const std::tuple<const char*, int, int, const char*, int, bool> cases[] = {
        {"5", 20, 70, "20", 20, true},       {"99", 20, 70, "70", 70, true},
        {"6.5", 0, 7, "6.5", 6, false},      {"7.5", 0, 7, "7", 7, true},
        {"hello", 0, 15, "hello", 0, false}, {"-1e300", 0, 127, "0", 0, true}};
    for (const auto& [text, minimum, maximum, shown, value, corrected] : cases) {
        const RangedValue r = readRanged(text, minimum, maximum);
        EXPECT_EQ(std::tuple(r.text, r.value, r.corrected), std::tuple(shown, value, corrected))
            << text;
    }
}

constexpr std::int32_t kNoList = 99;

// "All" of the ZR list: every number 0..7 in turn.
Frames everyZr() {
    Frames frames;
    for (std::uint8_t m = 0; m < 8; ++m) frames.push_back({0, std::uint8_t(64 + m), 8, 11});
    return frames;
}

// The family, the one entry of its list, the frames sent between the two empty frames.
using DispatchCase = std::tuple<ModuleFamily, std::int32_t, Frames>;

class Dispatch : public ::testing::TestWithParam<DispatchCase> {};

// SendModuleCommand(n = 2, c = 8, v = 11, x = 5; a VG frame counts its leading 1): the demo
// system's registry plus a WOBE at 9.
TEST_P(Dispatch, SendsOneFramePerTargetBetweenEmptyFrames) {
    const auto& [family, item, sent] = GetParam();
    OpenBench b;
    WindowRegistry registry = testing::demoRegistry();
    registry.kxTypes[7] = kKxUnknown;
    registry.kxTypes[9] = kKxWobe;
    registry.kxList.clear();
    registry.zrList.clear();
    ModuleList& list = family == F::ZR ? registry.zrList : registry.kxList;
    if (item != kNoList) list.add("entry", item), list.selected = 0;
    const DispatchOutcome outcome =
        SendModuleCommand(b.link, family, selectedTargets(registry, family), 2, 8, 11, 5);
    presentOutcome(b.prompter, outcome);
    Frames expected{{}};
    expected.insert(expected.end(), sent.begin(), sent.end());
    expected.push_back({});
    EXPECT_EQ(b.frames(), expected);
    std::vector<std::string> texts;
    const bool unregistered = item == kNoList && family != F::VG;
    if (unregistered) texts.push_back("Please request Status first to register modules");
    EXPECT_EQ(b.prompter.texts(), texts);
    EXPECT_EQ(outcome.result,
              unregistered ? DispatchOutcome::NotRegistered : DispatchOutcome::Done);
}

INSTANTIATE_TEST_SUITE_P(
    Targets, Dispatch,
    ::testing::Values(
        DispatchCase{F::KX, 5, {{0, 37, 8, 11}}}, DispatchCase{F::KX, 19, {{0, 35, 24, 11}}},
        DispatchCase{F::KX, kAllKXH, {{0, 32, 8, 11}, {0, 37, 8, 11}}},
        DispatchCase{
            F::KX, kAllKXxx, {{0, 32, 8, 11}, {0, 34, 8, 11}, {0, 37, 8, 11}, {0, 34, 24, 11}}},
        DispatchCase{F::KX, kAllKX44, {{0, 34, 8, 11}, {0, 34, 24, 11}}},
        DispatchCase{F::KX, kAllWobe, {{0, 35, 8, 11}, {0, 41, 8, 11}}},
        DispatchCase{F::KX, 32, {}}, DispatchCase{F::ZR, 7, {{0, 71, 8, 11}}},
        DispatchCase{F::ZR, 8, {}}, DispatchCase{F::ZR, kAllZR, everyZr()},
        DispatchCase{F::VG, kNoList, {{1, 8}}}, DispatchCase{F::KX, kNoList, {}},
        DispatchCase{F::ZR, kNoList, {}}));

TEST(DispatchFailure, ClosedPortUnansweredOpeningAndZrAllStoppingAtTheFirstSilence) {
    SimBench b;
    const WindowRegistry registry = testing::demoRegistry();
    const Targets kx = selectedTargets(registry, F::KX);
    presentOutcome(b.prompter, SendModuleCommand(b.link, F::KX, kx, 2, 8, 1, 0));
    EXPECT_EQ(b.prompter.texts(), std::vector<std::string>{"Selecteer communicatie poort"});
    EXPECT_EQ(b.prompter.shown[0].icon, MessageIcon::Exclamation);
    b.openPort();
    b.controller.faults().skipAnswers = 1;
    const DispatchOutcome opening = SendModuleCommand(b.link, F::KX, kx, 2, 8, 1, 0);
    EXPECT_EQ(std::tuple(b.frames().size(), opening.result, opening.module),
              std::tuple(1u, DispatchOutcome::Unanswered, -1));
    b.controller.faults().unanswered = [](const FrameData& f) { return f == FrameData{0, 66, 64}; };
    const DispatchOutcome all = SendModuleCommand(b.link, F::ZR, zrTargets(kAllZR), 1, 64, 0, 0);
    EXPECT_EQ(b.commandsSince(1), (Frames{{0, 64, 64}, {0, 65, 64}, {0, 66, 64}}));
    EXPECT_FALSE(b.frames().back().empty());
    EXPECT_EQ(std::tuple(all.result, all.module, all.exchange, all.answered),
              std::tuple(DispatchOutcome::Unanswered, 2, ExchangeOutcome::NoAnswer,
                         std::vector<int>{0, 1}));
}

TEST(AnswerRule, OnlyFramesThatCanAnswerTheRequestAreTaken) {
    const std::tuple<Frame, FrameData, bool> cases[] = {
        {Frame{}, {1, 11, 35, 8, 0, 0}, true},            // an empty frame takes anything
        {Frame{1, 11, 36}, {1, 11, 36, 8, 0, 0}, true},   // a query's own answer
        {Frame{1, 11, 36}, {1, 11, 35, 8, 0, 0}, false},  // the module before, late
        {Frame{1, 11, 36}, {}, true},                     // nothing ready: the step is skipped
        {Frame{1, 11, 36}, {0, 36, 10, 1, 7}, false},     // a module's message
        {Frame{1, 3, 4}, {1, 3, 0x20, 0, 0, 0}, false},   // presence answering the type query
        {Frame{1, 3, 4}, {1, 3, 0x40, 0, 0, 0}, true},
        {Frame{1, 2}, {0, 36, 10, 1, 7}, true},  // the version may follow on empty frames
        {Frame{1, 2}, {1, 10, 2, 8, 16}, false},
        {Frame{0, 37, 8, 11}, {1, 11, 35, 8, 0, 0}, false},  // no module command
        {Frame{0, 37, 8, 11}, {0, 64, 50, 3, 12}, true},     // a ZR answer riding along
        {Frame{1, 0}, {1, 2, 24, 8}, false},                 // nor Reset Fault
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& [request, reply, fits] = cases[i];
        EXPECT_EQ(canAnswer(request, replyOf(reply)), fits) << i;
    }
}

TEST(AnswerRule, ALateAnswerIsSetAsideAndTheWaitGoesOnWithinTwoSeconds) {
    testing::OpenBench b;
    b.controller.faults().aimed = testing::aimedAt(sim::FaultKind::LateAside, {1, 11, 35}, 2500ms);
    EXPECT_FALSE(b.link.Transact(Frame{1, 11, 35}));
    b.controller.faults().answerDelay = 1s;  // the late frame comes first
    const auto start = b.clock.now();
    ASSERT_TRUE(b.link.Transact(Frame{1, 11, 36}));
    EXPECT_EQ(b.link.reply()[3], 36);
    EXPECT_LT(b.clock.now() - start, 2s);
    const ExchangeRecord& r = b.log.records.back();
    EXPECT_EQ(std::tuple(r.request, r.setAside, r.answer),
              std::tuple(Bytes{0x6B, 0x81, 0x8B, 0xA4, 0xE5},
                         std::vector<Bytes>{{0x0E, 0x81, 0x8B, 0xA3, 0x8A, 0x89, 0x82, 0xAE}},
                         Bytes{0x0E, 0x81, 0x8B, 0xA4, 0x80, 0x80, 0x80, 0xC2}));
    EXPECT_EQ(b.prompter.texts().size(), 1u);
}

// A stop request before an exchange sends nothing; one during the wait ends
// it within one slice. Neither is a failure to show.
TEST(StopRequest, EndsTheExchangeBeforeSendingOrWithinASliceOfTheWait) {
    // The stop, from the start of the exchange; the bytes then on the line.
    for (const auto& [after, written] : {std::pair{0ms, 0u}, std::pair{300ms, 2u}}) {
        OpenBench b;
        b.controller.faults().unanswered = [](const FrameData&) { return true; };
        const auto start = b.clock.now();
        b.link.setStopRequest([&] { return b.clock.now() - start >= after; });
        const ExchangeOutcome outcome = b.link.Transact(Frame{}).outcome;
        EXPECT_EQ(std::tuple(outcome, b.port.written().size(), b.prompter.shown.size(),
                             b.link.portOpen()),
                  std::tuple(ExchangeOutcome::Stopped, written, 0u, true))
            << after.count();
        EXPECT_LE(b.clock.now() - start, after + kStopCheck) << after.count();
    }
}

// What came in since the last exchange is thrown away up to the drain's
// limit; a line still sending then is lost, with one notice saying so.
TEST(Drain, ALineStillSendingAtTheLimitIsLostOnce) {
    for (const std::size_t babble : {kDrainBytes / 2, kDrainBytes + 256}) {
        OpenBench b;
        b.port.inject(Bytes(babble, 0x80));
        const bool lost = babble > kDrainBytes;
        const ExchangeOutcome outcome = b.link.Transact(Frame{}).outcome;
        std::vector<std::string> details;
        for (const testing::ShownMessage& m : b.prompter.shown) details.push_back(m.detail);
        EXPECT_EQ(std::tuple(outcome, b.link.portOpen(), details),
                  std::tuple(
                      lost ? ExchangeOutcome::LineLost : ExchangeOutcome::Answered, !lost,
                      lost ? std::vector<std::string>{kBabblingLine} : std::vector<std::string>{}));
    }
}

// The window library sets the process locale from the desktop; a box holding
// "7.6" must still send 8.
TEST(NumberText, ADecimalCommaLocaleChangesNoNumber) {
    const std::string before = std::setlocale(LC_ALL, nullptr);
    ASSERT_NE(std::setlocale(LC_ALL, "nl_NL.UTF-8"), nullptr)
        << "tools/install-deps.sh generates this locale";
    EXPECT_EQ(readRanged("7.6", 0, 127).value, 8);
    EXPECT_EQ((std::array{leadingNumber("6.5"), leadingNumber("-1.25e1x"), leadingNumber("7,6")}),
              (std::array{6.5, -12.5, 7.0}));
    std::setlocale(LC_ALL, before.c_str());
}

}  // namespace
}  // namespace korvel
