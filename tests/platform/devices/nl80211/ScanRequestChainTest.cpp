// The chain of unprivileged ways to start a scan, with ways whose answers the
// test controls: order, fall-through, one request per interface while one is
// on its way, and cancellation when the chain ends.
#include "platform/devices/nl80211/ScanRequestChain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

using platform::nl80211::ScanRequestChain;
using platform::nl80211::ScanRequester;

namespace {

// Answers with a fixed result, or holds every request until released (or
// stopped).
class TestWay final : public ScanRequester {
public:
    TestWay(DWORD result, std::string why, bool hold = false, bool limits = false)
        : m_result(result), m_why(std::move(why)), m_hold(hold), m_limits(limits)
    {
    }

    bool CanLimit() const override { return m_limits; }
    DWORD RequestOn(const std::string& name, std::uint32_t frequencyMhz, std::stop_token stop, std::string& why,
                    Deadline deadline = Deadline::max()) override
    {
        {
            std::lock_guard guard(m_lock);
            frequencies.push_back(frequencyMhz);
        }
        return Request(name, stop, why, deadline);
    }

    DWORD Request(const std::string&, std::stop_token stop, std::string& why, Deadline = Deadline::max()) override
    {
        std::unique_lock guard(m_lock);
        ++calls;
        m_changed.notify_all();
        if (m_hold && !m_changed.wait(guard, stop, [this] { return m_released; }))
            return ERROR_CANCELLED;
        why = m_why;
        return m_result;
    }
    void Release()
    {
        std::lock_guard guard(m_lock);
        m_released = true;
        m_changed.notify_all();
    }
    void WaitForCalls(int count)
    {
        std::unique_lock guard(m_lock);
        m_changed.wait(guard, [&] { return calls >= count; });
    }
    int Calls()
    {
        std::lock_guard guard(m_lock);
        return calls;
    }

    std::vector<std::uint32_t> frequencies;  // of the requests for one channel

private:
    int calls = 0;
    DWORD m_result;
    std::string m_why;
    bool m_hold;
    bool m_limits;
    bool m_released = false;
    std::mutex m_lock;
    std::condition_variable_any m_changed;
};

struct Chain {
    std::vector<TestWay*> ways;
    std::unique_ptr<ScanRequestChain> chain;
};

Chain MakeChain(std::vector<std::unique_ptr<TestWay>> ways)
{
    Chain made;
    std::vector<std::unique_ptr<ScanRequester>> owned;
    for (auto& way : ways) {
        made.ways.push_back(way.get());
        owned.push_back(std::move(way));
    }
    made.chain = std::make_unique<ScanRequestChain>(std::move(owned));
    return made;
}

}  // namespace

TEST(ScanRequestChain, TriesTheWaysInOrderUntilOneStartsAScan)
{
    struct Row {
        const char* name;
        DWORD first, second;
        DWORD outcome;
        int secondCalls;
        std::string why;
    } rows[] = {
        {"FirstWorks", ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS, 0, ""},
        {"SecondWorks", ERROR_ACCESS_DENIED, ERROR_SUCCESS, ERROR_SUCCESS, 1, ""},
        {"NoneWorks", ERROR_ACCESS_DENIED, ERROR_TIMEOUT, ERROR_ACCESS_DENIED, 1, "second said no"},
        // The last way is an installed helper that lacks its capability.
        {"HelperLacksCapability", ERROR_ACCESS_DENIED, ERROR_PRIVILEGE_NOT_HELD, ERROR_PRIVILEGE_NOT_HELD, 1,
         "second said no"},
        {"OnlyTheLastWayCounts", ERROR_PRIVILEGE_NOT_HELD, ERROR_ACCESS_DENIED, ERROR_ACCESS_DENIED, 1,
         "second said no"},
    };
    for (const Row& row : rows) {
        std::vector<std::unique_ptr<TestWay>> ways;
        ways.push_back(std::make_unique<TestWay>(row.first, "first said no"));
        ways.push_back(std::make_unique<TestWay>(row.second, "second said no"));
        Chain chain = MakeChain(std::move(ways));
        chain.chain->Start("wlan0");
        std::string why;
        EXPECT_EQ(chain.chain->WaitSettled("wlan0", why), row.outcome) << row.name;
        EXPECT_EQ(why, row.why) << row.name;
        EXPECT_EQ(chain.ways[0]->Calls(), 1) << row.name;
        EXPECT_EQ(chain.ways[1]->Calls(), row.secondCalls) << row.name;
        EXPECT_EQ(chain.chain->LatestOutcome("wlan0"), row.outcome) << row.name;
    }
}

TEST(ScanRequestChain, NothingAskedIsNothingFailed)
{
    Chain chain = MakeChain({});
    std::string why;
    EXPECT_EQ(chain.chain->WaitSettled("wlan0", why), ERROR_SUCCESS);
    EXPECT_FALSE(chain.chain->Pending("wlan0"));
}

TEST(ScanRequestChain, OneRequestPerInterfaceWhileOneIsOnItsWay)
{
    std::vector<std::unique_ptr<TestWay>> ways;
    ways.push_back(std::make_unique<TestWay>(ERROR_SUCCESS, "", true));
    Chain chain = MakeChain(std::move(ways));
    TestWay& way = *chain.ways[0];

    chain.chain->Start("wlan0");
    way.WaitForCalls(1);
    for (int tick = 0; tick < 5; ++tick)
        chain.chain->Start("wlan0");
    EXPECT_TRUE(chain.chain->Pending("wlan0"));
    EXPECT_EQ(chain.chain->LatestOutcome("wlan0"), ERROR_SUCCESS);  // nothing settled yet
    chain.chain->Start("wlan1");                                    // another interface has its own request
    EXPECT_TRUE(chain.chain->Pending("wlan1"));

    way.Release();
    std::string why;
    EXPECT_EQ(chain.chain->WaitSettled("wlan0", why), ERROR_SUCCESS);
    EXPECT_EQ(chain.chain->WaitSettled("wlan1", why), ERROR_SUCCESS);
    EXPECT_EQ(way.Calls(), 2);

    chain.chain->Start("wlan0");  // settled: the next tick asks again
    EXPECT_EQ(chain.chain->WaitSettled("wlan0", why), ERROR_SUCCESS);
    EXPECT_EQ(way.Calls(), 3);
}

TEST(ScanRequestChain, EndingTheChainCancelsTheRequestOnItsWay)
{
    std::vector<std::unique_ptr<TestWay>> ways;
    ways.push_back(std::make_unique<TestWay>(ERROR_SUCCESS, "", true));
    Chain chain = MakeChain(std::move(ways));
    chain.chain->Start("wlan0");
    chain.ways[0]->WaitForCalls(1);
    // Never released: only the stop request lets the way return, so a chain
    // that waited for it would hang here.
    chain.chain.reset();
    SUCCEED();
}

namespace {

// A scan of one channel asks the ways that can limit a scan first, with the
// frequency; the others come after, as a sweep of every channel. A sweep
// keeps the chain's order.
TEST(ScanRequestChain, OneChannelGoesFirstToTheWaysThatCanLimitIt)
{
    std::vector<std::unique_ptr<TestWay>> ways;
    ways.push_back(std::make_unique<TestWay>(ERROR_ACCESS_DENIED, "sweeps only"));
    ways.push_back(std::make_unique<TestWay>(ERROR_ACCESS_DENIED, "limits", false, true));
    Chain chain = MakeChain(std::move(ways));
    TestWay& sweeping = *chain.ways[0];
    TestWay& limiting = *chain.ways[1];
    std::string why;

    chain.chain->Start("wlan0", 2437);
    EXPECT_EQ(ERROR_ACCESS_DENIED, chain.chain->WaitSettled("wlan0", why));
    EXPECT_EQ(why, "sweeps only");  // asked last
    EXPECT_EQ(limiting.frequencies, std::vector<std::uint32_t>{2437});
    EXPECT_EQ(sweeping.Calls(), 1);

    chain.chain->Start("wlan0");
    EXPECT_EQ(ERROR_ACCESS_DENIED, chain.chain->WaitSettled("wlan0", why));
    EXPECT_EQ(why, "limits");  // in the chain's order: the limiting way last
    EXPECT_EQ(limiting.frequencies, std::vector<std::uint32_t>{2437});
    EXPECT_EQ(limiting.Calls(), 2);
}

}  // namespace
