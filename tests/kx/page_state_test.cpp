#include "kx/page_state.h"

#include <gtest/gtest.h>

namespace korvel {
namespace {

// A KX-H at 2, a KX44 at 5 with both halves, a WOBE-s at 3, an unrecognised module at 7.
KxTypeTable sampleTypes() {
    KxTypeTable t;
    t.fill(kKxNone);
    t[2] = kKxH;
    t[5] = t[21] = kKx44;
    t[3] = kKxWobe;
    t[7] = kKxUnknown;
    return t;
}

// The panels shown, as the letters of their names, in page order.
std::string panelsShown(const KxPageState& p) {
    std::string s;
    const std::pair<bool, const char*> panels[] = {
        {p.frmHFI, "HFI "},   {p.frmAL, "AL "},   {p.frmSW, "SW "}, {p.frmDCS, "DCS "},
        {p.frmPWMM, "PWMM "}, {p.frmOCD, "OCD "}, {p.frmMS, "MS "}, {p.frmPC, "PC "},
        {p.FrmLC, "LC "},     {p.frmAD, "AD "}};
    for (const auto& [shown, name] : panels)
        if (shown) s += name;
    return s;
}

struct Expected {
    const char* name;
    std::int32_t itemData;
    const char* panels;
    bool msSet;
    bool getButtons;
    bool msGet;
    const char* msCaption;
    bool bank1;
    const char* type;
    bool typeShown;
};

class SelectionTable : public ::testing::TestWithParam<Expected> {};

TEST_P(SelectionTable, PageMatchesTheSelectedEntry) {
    const Expected& e = GetParam();
    KxPageState page;
    KXSelectionChanged(page, e.itemData, sampleTypes());
    EXPECT_EQ(panelsShown(page), e.panels);
    EXPECT_EQ(page.cmdMSSet, e.msSet);
    EXPECT_EQ(page.getButtons, e.getButtons);
    EXPECT_EQ(page.cmdMSGet, e.msGet);
    EXPECT_EQ(page.cmdMSGetCaption, e.msCaption);
    EXPECT_EQ(page.bank1Visible, e.bank1);
    EXPECT_EQ(page.kxTypeCaption, e.type);
    EXPECT_EQ(page.kxTypeVisible, e.typeShown);
}

constexpr const char* kAll = "HFI AL SW DCS PWMM OCD MS PC LC AD ";
constexpr const char* kKXH = "HFI AL SW DCS PWMM OCD MS PC ";
constexpr const char* kUpper = "HFI AL SW DCS PWMM OCD ";
constexpr const char* kWobe = "SW LC AD ";

INSTANTIATE_TEST_SUITE_P(
    EveryKind, SelectionTable,
    ::testing::Values(
        Expected{"SingleKXH", 2, kKXH, true, true, true, "Get MS mode", true, "KX-H", true},
        Expected{"SingleKX44", 5, "HFI AL SW DCS PWMM OCD MS ", false, true, true, "Get MS mode",
                 false, "KX44", true},
        Expected{"SecondHalfKX44", 21, "HFI AL SW DCS PWMM OCD MS ", false, true, true,
                 "Get MS mode", false, "KX44", true},
        Expected{"SingleWobe", 3, kWobe, false, false, false, "Get MS mode", true, "WOBE-s", true},
        Expected{"UnknownType", 7, kAll, true, false, false, "Get MS mode", true, "Unknown", false},
        Expected{"AllKXH", kAllKXH, kKXH, true, false, false, "Get MS mode", true, "KX-H", true},
        Expected{"AllKX44", kAllKX44, kUpper, false, false, false, "Get MS mode", false, "KX44",
                 true},
        Expected{"AllWobe", kAllWobe, kWobe, false, false, false, "Get MS mode", true, "WOBE-s",
                 true},
        Expected{"AllKXxx", kAllKXxx, kUpper, false, false, true, "Check MS mode", false, "KXxx",
                 true},
        // Outside the type table (and a group code nobody defined): an unknown module.
        Expected{"OutsideTable", 40, kAll, true, false, false, "Get MS mode", true, "Unknown",
                 false},
        Expected{"UndefinedGroup", -5, kAll, true, false, false, "Get MS mode", true, "Unknown",
                 false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(KxPage, StartsWithEveryPanelAndNoGetButtons) {
    const KxPageState page;
    EXPECT_EQ(panelsShown(page), kAll);
    EXPECT_FALSE(page.getButtons);
    EXPECT_FALSE(page.cmdMSGet);
    EXPECT_EQ(page.cmdMSGetCaption, "Get MS-mode");
    EXPECT_FALSE(page.kxTypeVisible);
}

TEST(KxPage, Bank1IsDeselectedWhenHiddenAndNotReselectedWhenShownAgain) {
    KxPageState page;
    page.bank1Selected = true;
    KXSelectionChanged(page, 2, sampleTypes());
    EXPECT_TRUE(page.bank1Selected) << "a KX-H keeps Bank 1";

    KXSelectionChanged(page, kAllKX44, sampleTypes());
    EXPECT_FALSE(page.bank1Visible);
    EXPECT_FALSE(page.bank1Selected);

    KXSelectionChanged(page, 2, sampleTypes());
    EXPECT_TRUE(page.bank1Visible);
    EXPECT_FALSE(page.bank1Selected);
}

TEST(KxPage, CheckCaptionGoesBackToGetOnASingleSelection) {
    KxPageState page;
    KXSelectionChanged(page, kAllKXxx, sampleTypes());
    EXPECT_EQ(page.cmdMSGetCaption, "Check MS mode");
    KXSelectionChanged(page, 3, sampleTypes());
    EXPECT_EQ(page.cmdMSGetCaption, "Get MS mode");
    EXPECT_FALSE(page.cmdMSGet);
    KXSelectionChanged(page, kAllKXxx, sampleTypes());
    KXSelectionChanged(page, 2, sampleTypes());
    EXPECT_EQ(page.cmdMSGetCaption, "Get MS mode");
    EXPECT_TRUE(page.cmdMSGet);
}

TEST(KxPage, EverySelectionSetsTheWholePageAgain) {
    const KxTypeTable types = sampleTypes();
    for (std::int32_t first : {2, 5, 3, 7, kAllKXxx, kAllWobe}) {
        KxPageState viaOther;
        KXSelectionChanged(viaOther, first, types);
        KXSelectionChanged(viaOther, kAllKXH, types);
        KxPageState fresh;
        KXSelectionChanged(fresh, kAllKXH, types);
        EXPECT_EQ(viaOther, fresh) << "after " << first;
    }
}

}  // namespace
}  // namespace korvel
