#include "tests/support/recorders.h"

#include <cstdio>

namespace korvel::testing {

std::vector<std::string> RecordingPrompter::texts() const {
    std::vector<std::string> t;
    for (const ShownMessage& m : shown) t.push_back(m.text);
    return t;
}

std::vector<sim::FrameData> SimBench::commandsSince(std::size_t mark) const {
    return testing::commandsSince(controller, mark);
}

std::vector<sim::FrameData> commandsSince(const sim::SimController& c, std::size_t mark) {
    std::vector<sim::FrameData> out;
    const auto& all = c.framesReceived();
    for (std::size_t i = mark; i < all.size(); ++i)
        if (!all[i].empty()) out.push_back(all[i]);
    return out;
}

ReplyBuffer replyOf(const sim::FrameData& data, std::uint8_t headerBits) {
    ReplyBuffer r;
    const auto bytes = sim::SimController::encodeAnswer(data, headerBits);
    for (std::size_t i = 0; i + 1 < bytes.size(); ++i) r.bytes[i] = bytes[i] & 127;
    return r;
}

WindowRegistry demoRegistry() {
    WindowRegistry r;
    r.kxTypes[0] = r.kxTypes[5] = kKxH;
    r.kxTypes[2] = r.kxTypes[18] = kKx44;
    r.kxTypes[3] = kKxWobe;
    r.kxList.entries = {{"All_KXxx", kAllKXxx},
                        {"All_KX44", kAllKX44},
                        {"All_KX-H", kAllKXH},
                        {"All_WOBE", kAllWobe},
                        {" 0", 0},
                        {" 2.0", 2},
                        {" 2.1", 18},
                        {" 3", 3},
                        {" 5", 5}};
    r.kxList.selected = 4;
    r.zrPresent[1] = r.zrPresent[6] = 1;
    r.zrList.entries = {{"All", kAllZR}, {" 1", 1}, {" 6", 6}};
    r.zrList.selected = 0;
    return r;
}

std::string zrReportOf(const sim::ZrSettings& s, int module, bool permanent,
                       const std::string& end) {
    static const char* const powers[] = {"Normal", "Low", "High", "Unlimited"};
    // Sixtieths of a second as whole milliseconds, eight columns wide.
    const auto timing = [](int t) {
        char field[16];
        if (t == 0) return std::string(" Default");
        std::snprintf(field, sizeof field, "%6dms", t * 100 / 6);
        return std::string(field);
    };
    std::string text = "ZR32#" + std::to_string(module) +
                       (permanent ? " Permanent settings:" : " Active settings:") + end +
                       "Default Timing =" + timing(s.defaultTime) + end + "Device  Timing  Power" +
                       end;
    for (int d = 0; d < 64; ++d) {
        const sim::ZrDevice& dev = s.devices[static_cast<std::size_t>(d)];
        char number[8];
        std::snprintf(number, sizeof number, "%6d", d);
        text += number + timing(dev.time) + "  " + powers[dev.power] + end;
    }
    return text;
}

sim::SimModule kxModule(int number, std::uint8_t status, int version) {
    sim::SimModule m;
    m.number = number;
    m.status = status;
    m.version = version;
    return m;
}

sim::AimedFault aimedAt(sim::FaultKind kind, const sim::FrameData& target,
                        std::chrono::nanoseconds late) {
    return {kind, [target](const sim::FrameData& f) { return f == target; }, 0, late};
}

void expectEraseWarning(const RecordingPrompter& prompter, const std::string& units) {
    ASSERT_EQ(prompter.shown.size(), 1u);
    EXPECT_EQ(
        prompter.shown[0].text,
        "Warning! This will permanently erase all settings of all selected " + units + "-units");
    EXPECT_EQ(prompter.shown[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(prompter.shown[0].buttons, MessageButtons::OkCancelDefaultCancel);
}

WindowRegistry selecting(std::int32_t kxItem) {
    WindowRegistry r = demoRegistry();
    r.kxList.entries = {{"entry", kxItem}};
    r.kxList.selected = 0;
    return r;
}

}  // namespace korvel::testing
