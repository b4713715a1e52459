// The information element decoder on elements captured from hostapd in the
// test machine, on hand-made variants of them, and on damaged ones.
#include "platform/devices/nl80211/InformationElements.h"

#include "NetlinkBuilder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace nltest;
using platform::BssDetails;
using platform::Security;
using platform::nl80211::DecodeElements;

struct ElementsCase {
    const char* name;
    Bytes elements;
    bool privacy;
    std::string ssid;
    BssDetails details;
};

void PrintTo(const ElementsCase& c, std::ostream* os)
{
    *os << c.name;
}

class Elements : public ::testing::TestWithParam<ElementsCase> { };

TEST_P(Elements, DecodeToTheDetailsTheAccessPointSet)
{
    const ElementsCase& c = GetParam();
    const auto decoded = DecodeElements(c.elements, c.privacy);
    EXPECT_EQ(std::string(decoded.ssid.begin(), decoded.ssid.end()), c.ssid);
    EXPECT_EQ(decoded.details.security, c.details.security);
    EXPECT_EQ(decoded.details.transition, c.details.transition);
    EXPECT_EQ(decoded.details.enterprise, c.details.enterprise);
    EXPECT_EQ(decoded.details.wps, c.details.wps);
    EXPECT_EQ(decoded.details.widthMhz, c.details.widthMhz);
}

// Elements of the beacons and probe responses hostapd sends in the test
// machine, captured with `nl80211-probe read` from the hwsim scan list, one
// row per tests/platform/devices/nl80211/kernel/hostapd-*.conf. The details
// are what each configuration sets.
const ElementsCase kCaptured[] = {
    {"Open",
     Hex("000c546172766f6c696e4f70656e010882848b960c1218240301010504000200002a010432043048606c3b0251007f08"
         "0400400200000040"),
     false,
     "TarvolinOpen",
     {}},
    {"Wep",
     Hex("000b546172766f6c696e574550010882848b960c1218240301010504000200002a010432043048606c3b0251007f0804"
         "00400200000040"),
     true,
     "TarvolinWEP",
     {Security::Wep}},
    {"Wpa2Psk",
     Hex("000f546172766f6c696e575041322dc3a9010882848b960c1218240301060504000200002a010432043048606c301401"
         "00000fac040100000fac040100000fac0200003b0251007f080400400200000040"),
     true,
     "TarvolinWPA2-\xc3\xa9",
     {Security::Wpa2}},
    {"Wpa3SaeHt40",
     Hex("000b546172766f6c696e53414501088c129824b048606c03012c05040102000030140100000fac040100000fac040100"
         "000fac08cc003b0274002d1a0e001bffff0000000000000000000001000000000000000000003d162c05000000000000"
         "00000000000000000000000000007f080400400200000040dd180050f2020101010003a4000027a4000042435e006232"
         "2f00"),
     true,
     "TarvolinSAE",
     {Security::Wpa3, false, false, false, 40}},
    {"Wpa2Wpa3TransitionWithWps",
     Hex("000d546172766f6c696e4d69786564010882848b960c1218240301060504010200002a010432043048606c3018010000"
         "0fac040100000fac040200000fac02000fac0880003b0251007f080400400200000040dd180050f204104a0001101044"
         "0001021049000600372a000120"),
     true,
     "TarvolinMixed",
     {Security::Wpa3, true, false, true}},
    {"Owe",
     Hex("000b546172766f6c696e4f5745010882848b960c12182403010b0504010200002a010432043048606c30140100000fac"
         "040100000fac040100000fac12c0003b0251007f080400400200000040"),
     true,
     "TarvolinOWE",
     {Security::Owe}},
    {"Wpa2Enterprise",
     Hex("000b546172766f6c696e454150010882848b960c12182403010b0504010200002a010432043048606c30140100000fac"
         "040100000fac040100000fac0100003b0251007f080400400200000040"),
     true,
     "TarvolinEAP",
     {Security::Wpa2, false, true}},
    {"Open5GHz",
     Hex("000c546172766f6c696e3547487a01088c129824b048606c030124050400020000071244452024041795060dab010dac"
         "010dad010d3b0273007f080400400200000040"),
     false,
     "Tarvolin5GHz",
     {}},
    {"OpenVht80He",
     Hex("000d546172766f6c696e564854383001088c129824b048606c0301240504000200003b0280002d1a0e001bffff000000"
         "0000000000000001000000000000000000003d16240511000000000000000000000000000000000000007f0804004002"
         "00000040bf0c00000000aaaa0000aaaa0000c005012a00fcffc304022e2e2eff16230178c81a400004bfce0000000000"
         "000000fafffaffff0724f03f0096fcffdd180050f2020101010003a4000027a4000042435e0062322f00"),
     false,
     "TarvolinVHT80",
     {Security::Open, false, false, false, 80}},
};
INSTANTIATE_TEST_SUITE_P(Hostapd, Elements, ::testing::ValuesIn(kCaptured),
                         [](const auto& info) { return std::string(info.param.name); });

// Suites as they appear on the air: OUI, then type.
Bytes Suite(std::uint8_t type)
{
    return {0x00, 0x0f, 0xac, type};
}

// An RSN element body: version 1, CCMP group, one CCMP pairwise, these AKMs,
// then the capabilities.
Bytes Rsn(const Bytes& akms, std::uint16_t capabilities = 0)
{
    Bytes body = Join({{0x01, 0x00}, Suite(4), {0x01, 0x00}, Suite(4)});
    body.push_back(static_cast<std::uint8_t>(akms.size()));
    body.push_back(0);
    for (std::uint8_t akm : akms) {
        const Bytes suite = Suite(akm);
        body.insert(body.end(), suite.begin(), suite.end());
    }
    body.push_back(static_cast<std::uint8_t>(capabilities));
    body.push_back(static_cast<std::uint8_t>(capabilities >> 8));
    return body;
}

const Bytes kSsid = Element(0, Text("Net"));
const Bytes kWps = Element(221, {0x00, 0x50, 0xf2, 0x04, 0x10, 0x4a, 0x00, 0x01, 0x10});
// WPA element: OUI and type, version 1, TKIP group, one TKIP pairwise, one PSK AKM.
const Bytes kWpaPsk = Element(221, {0x00, 0x50, 0xf2, 0x01, 0x01, 0x00, 0x00, 0x50, 0xf2, 0x02, 0x01,
                                    0x00, 0x00, 0x50, 0xf2, 0x02, 0x01, 0x00, 0x00, 0x50, 0xf2, 0x02});
// HT operation: primary 44, secondary above, any width; the rest zero.
Bytes HtOperation(std::uint8_t info)
{
    Bytes body(22, 0);
    body[0] = 44;
    body[1] = info;
    return Element(61, body);
}
Bytes VhtOperation(std::uint8_t width, std::uint8_t segment0, std::uint8_t segment1)
{
    return Element(192, {width, segment0, segment1, 0xfc, 0xff});
}

const ElementsCase kHandMade[] = {
    {"NothingAndNoPrivacyIsOpen", {}, false, "", {}},
    {"PrivacyWithoutSuitesIsWep", kSsid, true, "Net", {Security::Wep}},
    {"RsnPsk", Join({kSsid, Element(48, Rsn({2}))}), true, "Net", {Security::Wpa2}},
    {"RsnPskAndSaeIsTransition", Join({kSsid, Element(48, Rsn({2, 8}, 0x80))}), true, "Net", {Security::Wpa3, true}},
    {"RsnFtSaeAlone", Join({kSsid, Element(48, Rsn({9}))}), true, "Net", {Security::Wpa3}},
    {"RsnSaeExtKey", Join({kSsid, Element(48, Rsn({24}))}), true, "Net", {Security::Wpa3}},
    {"Rsn8021X", Join({kSsid, Element(48, Rsn({1}))}), true, "Net", {Security::Wpa2, false, true}},
    {"Rsn8021XSha256WithProtectedFramesRequiredIsWpa3",
     Join({kSsid, Element(48, Rsn({5}, 0xc0))}),
     true,
     "Net",
     {Security::Wpa3, false, true}},
    {"RsnSuiteB192", Join({kSsid, Element(48, Rsn({12}))}), true, "Net", {Security::Wpa3, false, true}},
    {"RsnOwe", Join({kSsid, Element(48, Rsn({18}))}), true, "Net", {Security::Owe}},
    {"OweWithTransitionElement",
     Join({kSsid, Element(48, Rsn({18})),
           Element(221, Join({{0x50, 0x6f, 0x9a, 0x1c}, Bytes(6, 2), {3}, Text("Net")}))}),
     true,
     "Net",
     {Security::Owe, true}},
    {"WpaAlone", Join({kSsid, kWpaPsk}), true, "Net", {Security::Wpa}},
    {"WpaBesideRsnIsTransition", Join({kSsid, kWpaPsk, Element(48, Rsn({2}))}), true, "Net", {Security::Wpa2, true}},
    {"UnknownAkmStillMeansRsn", Join({kSsid, Element(48, Rsn({0x42}))}), true, "Net", {Security::Wpa2}},
    {"RsnWithoutAkmListMeans8021X",
     Join({kSsid, Element(48, Join({{0x01, 0x00}, Suite(4), {0x01, 0x00}, Suite(4)}))}),
     true,
     "Net",
     {Security::Wpa2, false, true}},
    {"RsnVersionOnlyMeans8021X", Join({kSsid, Element(48, {0x01, 0x00})}), true, "Net", {Security::Wpa2, false, true}},
    {"Wps", Join({kSsid, kWps}), false, "Net", {Security::Open, false, false, true}},
    {"Ht40Above", HtOperation(0x05), false, "", {Security::Open, false, false, false, 40}},
    {"Ht40Below", HtOperation(0x07), false, "", {Security::Open, false, false, false, 40}},
    {"HtSecondaryWithoutAnyWidthIs20", HtOperation(0x01), false, "", {}},
    {"HtAnyWidthWithoutSecondaryIs20", HtOperation(0x04), false, "", {}},
    {"Vht80", Join({HtOperation(0x05), VhtOperation(1, 42, 0)}), false, "", {Security::Open, false, false, false, 80}},
    {"Vht160",
     Join({HtOperation(0x05), VhtOperation(1, 42, 50)}),
     false,
     "",
     {Security::Open, false, false, false, 160}},
    {"Vht80Plus80CountsAs160", VhtOperation(1, 42, 155), false, "", {Security::Open, false, false, false, 160}},
    {"VhtDeprecated160", VhtOperation(2, 50, 0), false, "", {Security::Open, false, false, false, 160}},
    {"Vht20Or40LeavesHt",
     Join({HtOperation(0x05), VhtOperation(0, 0, 0)}),
     false,
     "",
     {Security::Open, false, false, false, 40}},
    // HE operation on 6 GHz: parameters with the 6 GHz information bit (17),
    // colour, MCS, then primary channel, control (width 160), segments, rate.
    {"He6GHz160",
     Element(255, {36, 0x00, 0x00, 0x02, 0x01, 0xfc, 0xff, 0x05, 0x03, 0x0f, 0x17, 0x01}),
     false,
     "",
     {Security::Open, false, false, false, 160}},
    {"HeWithVhtInformation80",
     Element(255, {36, 0x00, 0x40, 0x00, 0x01, 0xfc, 0xff, 0x01, 42, 0}),
     false,
     "",
     {Security::Open, false, false, false, 80}},
    {"Eht320",
     Element(255, {106, 0x01, 0x00, 0x00, 0x00, 0x00, 0x04, 0x0f, 0x1f}),
     false,
     "",
     {Security::Open, false, false, false, 320}},
    {"EhtWithoutInformationSaysNothing", Element(255, {106, 0x00, 0x00, 0x00, 0x00, 0x00}), false, "", {}},
    {"FirstSsidWins", Join({kSsid, Element(0, Text("Other"))}), false, "Net", {}},
    // Every AKM in the list counts, however many come before it.
    {"SaeAfterSixteenPskIsTransition",
     Join({kSsid, Element(48, Rsn(Join({Bytes(16, 2), {8}}), 0x80))}),
     true,
     "Net",
     {Security::Wpa3, true}},
    // Each element reads its own family of suites only.
    {"WpaElementNamingSaeIsStillWpa",
     Join({kSsid, Element(221, Join({{0x00, 0x50, 0xf2, 0x01, 0x01, 0x00},
                                     {0x00, 0x50, 0xf2, 0x02},
                                     {0x01, 0x00},
                                     {0x00, 0x50, 0xf2, 0x02},
                                     {0x01, 0x00},
                                     Suite(8)}))}),
     true,
     "Net",
     {Security::Wpa}},
    {"RsnElementNamingWpaPskIsStillRsn",
     Join(
         {kSsid,
          Element(48, Join({{0x01, 0x00}, Suite(4), {0x01, 0x00}, Suite(4), {0x01, 0x00}, {0x00, 0x50, 0xf2, 0x02}}))}),
     true,
     "Net",
     {Security::Wpa2}},
};
INSTANTIATE_TEST_SUITE_P(HandMade, Elements, ::testing::ValuesIn(kHandMade),
                         [](const auto& info) { return std::string(info.param.name); });

// Damaged elements: the decoder reads only what the lengths vouch for and
// still says what the intact part says.
const ElementsCase kDamaged[] = {
    {"RsnLengthRunsPastTheBuffer", Join({kSsid, Element(48, Rsn({8}), 40)}), true, "Net", {Security::Wep}},
    {"RsnTooShortForItsVersion", Join({kSsid, Element(48, {0x01})}), true, "Net", {Security::Wep}},
    {"RsnCutInsideTheGroupCipher", Join({kSsid, Element(48, {0x01, 0x00, 0x00, 0x0f})}), true, "Net", {Security::Wpa2}},
    {"RsnPairwiseCountLies",
     Join({kSsid, Element(48, Join({{0x01, 0x00}, Suite(4), {0x09, 0x00}, Suite(4)}))}),
     true,
     "Net",
     {Security::Wpa2}},
    {"RsnAkmCountLiesKeepsTheWholeSuites",
     Join({kSsid,
           Element(48, Join({{0x01, 0x00}, Suite(4), {0x01, 0x00}, Suite(4), {0x05, 0x00}, Suite(8), {0x00, 0x0f}}))}),
     true,
     "Net",
     {Security::Wpa3}},
    {"RsnAkmCountHugeWithNothingBehind",
     Join({kSsid, Element(48, Join({{0x01, 0x00}, Suite(4), {0x01, 0x00}, Suite(4), {0xff, 0xff}}))}),
     true,
     "Net",
     {Security::Wpa2}},
    {"WpaElementTooShort", Join({kSsid, Element(221, {0x00, 0x50, 0xf2, 0x01, 0x01})}), true, "Net", {Security::Wep}},
    {"VendorElementWithoutType", Join({kSsid, Element(221, {0x00, 0x50, 0xf2})}), false, "Net", {}},
    {"HtOperationTooShort", Join({kSsid, Element(61, {44, 0x05})}), false, "Net", {}},
    {"VhtOperationTooShort", Join({kSsid, Element(192, {1, 42})}), false, "Net", {}},
    {"HeVhtInformationMissing", Element(255, {36, 0x00, 0x40, 0x00, 0x01, 0xfc, 0xff, 0x01}), false, "", {}},
    {"He6GHzInformationCut", Element(255, {36, 0x00, 0x00, 0x02, 0x01, 0xfc, 0xff, 0x05}), false, "", {}},
    {"EhtInformationMissing", Element(255, {106, 0x01, 0x00, 0x00, 0x00, 0x00}), false, "", {}},
    {"EmptyExtensionElement", Join({kSsid, Element(255, {})}), false, "Net", {}},
    {"SsidLongerThan32IsNoName", Element(0, Bytes(33, 'a')), false, "", {}},
    {"SsidLongerThan32IsNoNameEvenWithASecondOne", Join({Element(0, Bytes(33, 'a')), kSsid}), false, "", {}},
    {"LoneTrailingByte", Join({kSsid, kWps, {0x30}}), false, "Net", {Security::Open, false, false, true}},
};
INSTANTIATE_TEST_SUITE_P(Damaged, Elements, ::testing::ValuesIn(kDamaged),
                         [](const auto& info) { return std::string(info.param.name); });

// Every prefix of a real beacon decodes without reading past it (the
// sanitizer build checks the reads).
TEST(ElementsDamaged, EveryTruncationOfARealBeaconIsSafe)
{
    const Bytes full =
        Join({kSsid, kWpaPsk, Element(48, Rsn({2, 8}, 0x80)), kWps, HtOperation(0x05), VhtOperation(1, 42, 50),
              Element(255, {36, 0x00, 0x40, 0x02, 0x01, 0xfc, 0xff, 0x01, 42, 0, 0x05, 0x03, 0x0f, 0x17, 0x01})});
    for (std::size_t size = 0; size <= full.size(); ++size) {
        const Bytes cut(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(size));
        const auto decoded = DecodeElements(cut, true);
        EXPECT_LE(decoded.ssid.size(), 32u);
    }
    EXPECT_EQ(DecodeElements(full, true).details, (BssDetails{Security::Wpa3, true, false, true, 160}));
}

}  // namespace
