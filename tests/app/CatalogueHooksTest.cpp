// The program's catalogue as Globals.cpp builds it: its hide filters and
// new-network chime come from the settings store.
#include "app/CatalogueHooks.h"

#include "catalogue/ApList.h"
#include "platform/Testing.h"
#include "platform/media/Sound.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

ScanEntry Entry(BYTE last, ULONG mode = 1, ULONG privacy = 0)
{
    ScanEntry e{};
    const BYTE mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, last};
    std::memcpy(e.mac, mac, 6);
    e.rssi = -55;
    e.channel = 6;
    e.infrastructureMode = mode;
    e.privacy = privacy;
    return e;
}

class CatalogueHooksTest : public testing::Test {
protected:
    void SetUp() override
    {
        Set(SettingHideWEP, 0);
        Set(SettingHidePeer, 0);
        Set(SettingSoundOff, 0);
        SetSoundObserver(&CatalogueHooksTest::RecordSound, &m_sounds);
    }
    void TearDown() override { SetSoundObserver(nullptr, nullptr); }

    void Set(int index, LONG value) { ASSERT_TRUE(m_settings.SetValue(index, value)); }
    static void RecordSound(const SoundRequest& request, void* context)
    {
        static_cast<std::vector<SoundRequest>*>(context)->push_back(request);
    }

    CSettings m_settings;
    std::vector<SoundRequest> m_sounds;
};

// Which new networks are shown and which chime, by the three settings.
TEST_F(CatalogueHooksTest, HideFiltersDecideWhatIsShownAndWhatChimes)
{
    struct Case {
        const char* what;
        ULONG mode;
        ULONG privacy;
        LONG hideWep;
        LONG hidePeer;
        LONG soundOff;
        bool shown;
        bool chimes;
    };
    const Case cases[] = {
        {"open access point", 1, 0, 1, 1, 0, true, true},
        {"open access point, sound off", 1, 0, 0, 0, 1, true, false},
        {"secured, shown", 1, 1, 0, 0, 0, true, true},
        {"secured, HideWEP", 1, 1, 1, 0, 0, false, false},
        {"secured, HideWEP, sound off", 1, 0x10, 1, 0, 1, false, false},
        {"ad hoc, shown", 0, 0, 0, 0, 0, true, true},
        {"ad hoc, HidePeer", 0, 0, 0, 1, 0, false, false},
        {"ad hoc, HideWEP only", 0, 0, 1, 0, 0, true, true},
        {"automatic mode, HidePeer", 2, 0, 0, 1, 0, false, false},
        {"automatic mode, shown", 2, 0, 0, 0, 0, true, true},
        {"secured ad hoc, HidePeer", 0, 1, 0, 1, 0, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CApList list(ProgramCatalogueHooks(m_settings));
        m_sounds.clear();
        Set(SettingHideWEP, c.hideWep);
        Set(SettingHidePeer, c.hidePeer);
        Set(SettingSoundOff, c.soundOff);
        const ScanEntry entry = Entry(0x07, c.mode, c.privacy);
        list.Merge(&entry, 1);

        // What else a hidden network is and is not, the catalogue's own tests
        // tell; here the settings decide.
        LONG total = -1;
        LONG active = -1;
        list.BuildDisplayList(total, active);
        EXPECT_EQ(c.shown ? 1 : 0, total);
        ASSERT_EQ(c.chimes ? 1u : 0u, m_sounds.size());
        if (c.chimes) {
            EXPECT_EQ(157u, m_sounds[0].resource);
            EXPECT_EQ(0x40005u, m_sounds[0].flags);
        }
    }
}

// The settings are read when the catalogue asks, not when it was made: a
// change between merges holds for the next merge and the next display list.
TEST_F(CatalogueHooksTest, EachMergeReadsTheSettingsOfItsMoment)
{
    CApList list(ProgramCatalogueHooks(m_settings));
    Set(SettingHidePeer, 1);
    Set(SettingSoundOff, 1);
    const ScanEntry first[] = {Entry(0x01), Entry(0x02, 0)};
    list.Merge(first, 2);
    EXPECT_TRUE(m_sounds.empty());

    Set(SettingSoundOff, 0);
    const ScanEntry second[] = {Entry(0x03), Entry(0x04, 0)};
    list.Merge(second, 2);
    ASSERT_EQ(1u, m_sounds.size()) << "only the new access point chimes";

    Set(SettingHidePeer, 0);
    LONG total = -1;
    LONG active = -1;
    list.BuildDisplayList(total, active);
    EXPECT_EQ(4, total);
    EXPECT_EQ(2, active);
}

TEST_F(CatalogueHooksTest, EachNewNetworkInAMergeAsksThePlayerToStartAgain)
{
    CApList list(ProgramCatalogueHooks(m_settings));
    Set(SettingHidePeer, 1);
    const ScanEntry scan[] = {Entry(0x01), Entry(0x02, 0), Entry(0x03), Entry(0x01), Entry(0x04)};
    list.Merge(scan, 5);
    ASSERT_EQ(3u, m_sounds.size());
    for (const SoundRequest& request : m_sounds) {
        EXPECT_EQ(157u, request.resource);
        EXPECT_EQ(SND_RESOURCE | SND_ASYNC, request.flags);
    }
}

}  // namespace
