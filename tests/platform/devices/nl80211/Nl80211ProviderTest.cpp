// The provider against this machine's own kernel: its answers for interfaces
// that are certainly not wireless and for names that do not exist. The
// wireless paths are checked in the virtual machine test.
#include "platform/devices/nl80211/Nl80211Provider.h"

#include <gtest/gtest.h>

#include <algorithm>

using platform::WirelessBss;

TEST(Nl80211Provider, ListsEveryInterfaceAndLoopbackIsNotWireless)
{
    auto provider = platform::MakeNl80211Provider();
    std::vector<std::string> names{"stale"};
    ASSERT_EQ(provider->ListInterfaces(names), ERROR_SUCCESS);
    EXPECT_NE(std::find(names.begin(), names.end(), "lo"), names.end());
    EXPECT_EQ(std::find(names.begin(), names.end(), "stale"), names.end());

    bool wireless = true;
    EXPECT_EQ(provider->IsWireless("lo", wireless), ERROR_SUCCESS);
    EXPECT_FALSE(wireless);
}

TEST(Nl80211Provider, LoopbackCannotScanAndKeepsTheCallersList)
{
    auto provider = platform::MakeNl80211Provider();
    std::vector<WirelessBss> networks(2);
    EXPECT_EQ(provider->ReadScan("lo", networks), ERROR_NOT_SUPPORTED);
    EXPECT_EQ(networks.size(), 2u);
    EXPECT_EQ(provider->TriggerScan("lo"), ERROR_NOT_SUPPORTED);
}

class Nl80211UnknownInterface : public testing::TestWithParam<std::string> { };

TEST_P(Nl80211UnknownInterface, IsFileNotFoundEverywhere)
{
    auto provider = platform::MakeNl80211Provider();
    bool wireless = true;
    std::vector<WirelessBss> networks(1);
    EXPECT_EQ(provider->IsWireless(GetParam(), wireless), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(provider->TriggerScan(GetParam()), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(provider->ReadScan(GetParam(), networks), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(networks.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Names, Nl80211UnknownInterface,
                         testing::Values("", "nosuchwlan0", "a-name-longer-than-ifnamsiz", std::string("lo\0x", 4)));
