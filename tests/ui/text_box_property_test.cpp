// Random and hostile texts in every text box of the program: nothing but well
// formed frames reach the wire, and each box shows what was sent.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <cmath>
#include <functional>
#include <optional>
#include <random>

#include "tests/ui/window_fixture.h"

namespace korvel::testing {
namespace {

using sim::FrameData;

// "The number at the start of the text", read here without the program's reader:
// blanks, a sign, digits with a point, an exponent; 0 when there is none.
double numberAtStart(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) return 0;
    const std::size_t start = i;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
        return i - from;
    };
    if (text[i] == '+' || text[i] == '-') ++i;
    std::size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') ++i, mantissa += digits();
    if (mantissa == 0) return 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        const std::size_t mark = i++;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
        if (digits() == 0) i = mark;
    }
    return std::strtod(text.substr(start, i - start).c_str(), nullptr);
}

// Nearest integer, halves to even, by the floating-point unit's own rule.
double halvesToEven(double value) {
    return std::nearbyint(value);
}

// Splits the bytes the program wrote into frames, checking the form of each:
// header with bit 7 clear, data and check bytes with bit 7 set, 7-bit sum 0.
std::vector<FrameData> framesOnWire(const std::vector<std::uint8_t>& bytes, std::size_t from) {
    std::vector<FrameData> frames;
    std::size_t i = from;
    while (i < bytes.size()) {
        const std::uint8_t header = bytes[i];
        EXPECT_EQ(header & 0x98, 0x08) << "header " << int(header);
        const std::size_t n = header & 7u;
        if (i + n + 1 >= bytes.size()) {
            ADD_FAILURE() << "frame cut short";
            break;
        }
        unsigned sum = header;
        FrameData data;
        for (std::size_t k = 1; k <= n + 1; ++k) {
            const std::uint8_t b = bytes[i + k];
            EXPECT_GE(b, 128) << "byte " << k << " of a frame";
            sum += b & 127u;
            if (k <= n) data.push_back(static_cast<std::uint8_t>(b & 127u));
        }
        EXPECT_EQ(sum % 128, 0u);
        frames.push_back(std::move(data));
        i += n + 2;
    }
    return frames;
}

class HostileText {
  public:
    explicit HostileText(std::uint32_t seed) : rng_(seed) {}

    std::string next() {
        switch (pick(12)) {
            case 0:
            case 1:
                return kFixed[pick(std::size(kFixed))];
            case 2:
            case 3:
            case 4:
                return integer();
            case 5:
            case 6:
                return integer() + kFractions[pick(std::size(kFractions))];
            case 7:
                return integer() + (pick(2) ? "e" : "E") + integer(400);
            case 8:
                return junk(pick(12)) + integer() + junk(pick(4));
            case 9:
                return std::string(pick(4), ' ') + (pick(2) ? "\t" : "") + integer() + junk(3);
            case 10:
                return junk(pick(40));
            default:
                return pick(3) ? junk(pick(8)) : huge();
        }
    }

  private:
    std::size_t pick(std::size_t n) { return rng_() % n; }

    // Mostly near the ranges of the boxes, sometimes far outside them.
    std::string integer(long wide = 0) {
        if (wide > 0) return std::to_string(static_cast<long>(pick(2 * wide + 1)) - wide);
        switch (pick(4)) {
            case 0:
            case 1:
                return std::to_string(static_cast<long>(pick(150)) - 8);
            case 2:
                return std::to_string(static_cast<long>(pick(40000)) - 20000);
            default:
                return (pick(2) ? "-" : "") + std::to_string(rng_()) + std::to_string(rng_());
        }
    }

    std::string junk(std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += kPieces[pick(std::size(kPieces))];
        return text;
    }

    // Longer than the box keeps; the box holds what it takes.
    std::string huge() {
        const std::string unit =
            pick(2) ? std::string(1, static_cast<char>('0' + pick(10))) : junk(1 + pick(5));
        const std::size_t length = 10'000 + pick(40'000);
        std::string text = pick(2) ? "" : "-";
        while (text.size() < length) text += unit;
        return text;
    }

    static constexpr const char* kFixed[] = {
        // Signs, points and exponents without digits, and other near misses.
        "", " ", "\t", "-", "+", ".", "e5", "1e", "1e+", "-0", "-0.0", "+5", "\n5", "5abc", "0x1F",
        "0b11", "1,5", "1_000", "--5", "+-5", ".5", "5.", "-.5", " \t 9", "7 8", "3-4", "1e1e1",
        "1e-5", "99.999999", "0.0000001",
        // Halves at the range bounds.
        "12.5", "13.5", "-0.5", "0.5", "6.5", "7.5", "15.5", "14.5", "19.5", "20.5", "69.5", "70.5",
        "126.5", "127.5", "62.5", "63.5", "16382.5", "16383.5",
        // Exponents, overflow and underflow, NaN and infinity spellings.
        "1e2", "1.5E+1", "-3e-2", "1e400", "-1e400", "1e-400", "4.9e-324", "1.8e308", "inf", "-inf",
        "Infinity", "INF", "NaN", "nan", "-nan", "nan(1)",
        // Digits and minus signs that are not ASCII, and broken UTF-8.
        "\u0663", "\uff15", "\u00bd", "\uff11\uff12", "\u00e9", "\U0001F600", "\u22125", "\u4e94",
        "\xc3", "\xff\xfe",
        // Past a byte, 16 and 32 bits.
        "128", "255", "256", "16384", "32768", "-32769", "65536", "2147483648", "-2147483649",
        "4294967296"};
    static constexpr const char* kFractions[] = {".5", ".4999", ".5000001", ".0",
                                                 ".",  ".25",   ".75",      ".999"};
    static constexpr const char* kPieces[] = {
        "0",  "1", "5", "9",      "+",      "-",          ".",      "e",      "E",    " ",
        "\t", "x", "a", "\u00e9", "\u4e94", "\U0001F600", "\u0663", "\uff15", "\xff", "_"};
    std::mt19937 rng_;
};

// Where a box's value travels in the frame one of its buttons sends.
struct Sender {
    const char* button;
    int index;  // in the button's control array, -1 for a button of its own
    std::function<std::optional<int>(const FrameData&)> valueIn;
};

struct TextBox {
    const char* name;
    int tab;
    const char* list;   // module list to pick from, nullptr for the test frame
    const char* entry;  // the module picked
    int minimum;
    int maximum;
    std::vector<Sender> senders;
    bool refusedOutOfRange = false;  // the test frame refuses instead of correcting
};

std::optional<int> kxValue(const FrameData& f) {
    if (f.size() == 5 && f[0] == 0 && f[2] == 8) return f[4];
    return std::nullopt;
}
Sender kxSet(const char* button) {
    return {button, 0, kxValue};
}

std::optional<int> zrTime(const FrameData& f) {
    if (f.size() >= 4 && f[0] == 0 && f[2] == 32) return f.back();
    return std::nullopt;
}
std::optional<int> zrDevice(const FrameData& f) {
    if (f.size() == 5 && f[0] == 0 && (f[2] == 32 || f[2] == 40)) return f[3];
    return std::nullopt;
}
std::optional<int> block(const FrameData& f) {
    if (f.size() >= 4 && (f[0] == 40 || f[0] == 44)) return f[1];
    return std::nullopt;
}
std::optional<int> decoder(const FrameData& f) {
    if (f.size() < 4 || (f[0] != 40 && f[0] != 44)) return std::nullopt;
    const std::size_t lo = f[0] == 40 ? 3 : 4;
    return f[lo] + (f.size() > lo + 1 ? 128 * f[lo + 1] : 0);
}
std::vector<Sender> testButtons(std::optional<int> (*valueIn)(const FrameData&)) {
    std::vector<Sender> senders;
    for (const char* name :
         {"Command1(0)", "Command1(1)", "Command1(2)", "Command1(3)", "Command1(4)"})
        senders.push_back({name, -1, valueIn});
    return senders;
}

const TextBox kBoxes[] = {
    {"txtHFI", 0, "cboKX", " 0", 0, 15, {kxSet("cmdHFI")}},
    {"txtAL", 0, "cboKX", " 0", 0, 127, {kxSet("cmdAL")}},
    {"txtSW", 0, "cboKX", " 0", 0, 7, {kxSet("cmdSW")}},
    {"txtDCShift", 0, "cboKX", " 0", 0, 7, {kxSet("cmdDCShift")}},
    {"txtLC", 0, "cboKX", " 3", 20, 70, {kxSet("cmdLC")}},
    {"txtAD", 0, "cboKX", " 3", 0, 15, {kxSet("cmdAD")}},
    {"txtZRtime",
     1,
     "cboZR",
     " 1",
     0,
     127,
     {{"cmdTIME", -1, zrTime}, {"cmdDeviceTime", -1, zrTime}}},
    {"txtZRdevice",
     1,
     "cboZR",
     " 1",
     0,
     63,
     {{"cmdDevicePower", -1, zrDevice}, {"cmdDeviceTime", -1, zrDevice}}},
    {"Text_Block", 2, nullptr, nullptr, 0, 127, testButtons(block), true},
    {"Text_Decoder", 2, nullptr, nullptr, 0, 16383, testButtons(decoder), true},
};

constexpr int kCasesPerBox = 250;

class TextBoxProperty : public WindowTest, public ::testing::WithParamInterface<std::size_t> {
  protected:
    const TextBox& box() const { return kBoxes[GetParam()]; }

    void SetUp() override {
        pickPort1();
        QTest::mouseClick(find<QPushButton>("cmdStatus"), Qt::LeftButton);
        QTest::mouseDClick(find<QLabel>("lblCom"), Qt::LeftButton);
        window->activateWindow();
        window->tabs()->setCurrentIndex(box().tab);
        if (box().list) {
            auto* list = find<QComboBox>(box().list);
            const int index = list->findText(box().entry);
            ASSERT_GE(index, 0);
            list->setCurrentIndex(index);
            emit list->activated(index);
        }
        demoModules = controller.system().modules;
        prompter.shown.clear();
    }

    QPushButton* button(const Sender& s) const {
        if (s.index < 0) return find<QPushButton>(s.button);
        for (QPushButton* b : window->findChildren<QPushButton*>(s.button))
            if (b->property("index").toInt() == s.index) return b;
        ADD_FAILURE() << s.button << "(" << s.index << ") missing";
        return nullptr;
    }

    // A KX module that answers confirms the value into the box; a silent one
    // leaves the box as the button corrected it. Both are tried.
    void letKxModulesAnswer(bool answer) {
        std::vector<sim::SimModule>& modules = controller.system().modules;
        modules = demoModules;
        if (!answer)
            std::erase_if(
                modules, [](const sim::SimModule& m) { return m.family == sim::ModuleFamily::KX; });
    }

    // The other box of the test frame holds a number it can carry.
    void fillPartner(std::mt19937& rng) {
        if (box().list) return;
        const bool isBlock = std::string(box().name) == "Text_Block";
        find<QLineEdit>(isBlock ? "Text_Decoder" : "Text_Block")
            ->setText(QString::number(rng() % (isBlock ? 16384 : 128)));
        for (int k = 0; k < 8; ++k)
            find<QCheckBox>(QString("Check_Pattern(%1)").arg(k))->setChecked(rng() % 2);
    }

    std::vector<sim::SimModule> demoModules;
};

TEST_P(TextBoxProperty, NoHostileTextBreaksAFrameAndTheBoxShowsWhatWasSent) {
    auto* txt = find<QLineEdit>(box().name);
    HostileText texts(20240611u + static_cast<std::uint32_t>(GetParam()));
    std::mt19937 rng(7u + static_cast<std::uint32_t>(GetParam()));
    const bool kx = box().list && std::string(box().list) == "cboKX";

    for (int n = 0; n < kCasesPerBox && !HasFailure(); ++n) {
        const std::string typed = texts.next();
        txt->setText(QString::fromStdString(typed));
        const std::string before = txt->text().toStdString();
        SCOPED_TRACE("case " + std::to_string(n) + ": \"" + before.substr(0, 60) + "\"");
        const bool confirms = kx && rng() % 2 == 0;
        if (kx) {
            letKxModulesAnswer(confirms);
            find<QCheckBox>("chkKXperm")->setChecked(rng() % 2);
        }
        fillPartner(rng);
        const Sender& sender = box().senders[rng() % box().senders.size()];
        const std::size_t mark = port.written().size();
        const std::size_t shown = prompter.shown.size();

        QTest::mouseClick(button(sender), Qt::LeftButton);

        const std::vector<FrameData> frames = framesOnWire(port.written(), mark);
        const std::string after = txt->text().toStdString();
        const double typedNumber = numberAtStart(before);
        const double rounded = halvesToEven(typedNumber);

        const bool refused =
            box().refusedOutOfRange && (rounded < box().minimum || rounded > box().maximum);
        EXPECT_EQ(prompter.shown.size(), shown + (refused ? 1 : 0));
        if (box().refusedOutOfRange) {
            // The test frame never rewrites its boxes; it sends the rounded number or nothing.
            EXPECT_EQ(after, before);
            if (refused) {
                EXPECT_TRUE(frames.empty());
                continue;
            }
        }
        std::vector<int> sent;
        for (const FrameData& f : frames)
            if (const std::optional<int> v = sender.valueIn(f)) sent.push_back(*v);
        ASSERT_EQ(sent.size(), 1u);
        if (box().refusedOutOfRange) {
            EXPECT_EQ(rounded, sent[0]);
            continue;
        }

        if (confirms) {
            EXPECT_EQ(after, std::to_string(sent[0]));
        } else if (typedNumber < box().minimum) {
            EXPECT_EQ(after, std::to_string(box().minimum));
        } else if (typedNumber > box().maximum) {
            EXPECT_EQ(after, std::to_string(box().maximum));
        } else {
            EXPECT_EQ(after, before);  // in range: never rewritten
        }
        const double shownNumber = numberAtStart(after);
        EXPECT_GE(shownNumber, box().minimum);
        EXPECT_LE(shownNumber, box().maximum);
        EXPECT_EQ(halvesToEven(shownNumber), sent[0]);
    }
}

std::string boxName(const ::testing::TestParamInfo<std::size_t>& info) {
    return kBoxes[info.param].name;
}

INSTANTIATE_TEST_SUITE_P(EveryBox, TextBoxProperty,
                         ::testing::Range<std::size_t>(0, std::size(kBoxes)), boxName);

}  // namespace
}  // namespace korvel::testing
