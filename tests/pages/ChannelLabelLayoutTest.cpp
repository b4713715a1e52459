// Where the channels page puts the networks' names: never one box over
// another, each as near its hill as room allows, the weaker giving way.
#include "pages/LabelLayout.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr RECT kArea{28, 0, 214, 115};

// A name `width` wide over a hill whose flat top spans the columns and sits
// at row `top`.
LabelWish Wish(int width, int from, int to, int top, LONG rssi)
{
    return LabelWish{SIZE{width, 14}, from, to, top, rssi};
}

// What every layout must keep: boxes apart and inside, each shown box over
// its hill or joined to its top by a line that crosses no other box, and a
// name only hidden when every name shown on the same hill is stronger.
void ExpectSound(const std::vector<LabelWish>& wishes, const std::vector<PlacedLabel>& placed, const RECT& area)
{
    ASSERT_EQ(placed.size(), wishes.size());
    for (std::size_t i = 0; i < placed.size(); ++i) {
        SCOPED_TRACE("label " + std::to_string(i));
        const PlacedLabel& p = placed[i];
        if (!p.shown) {
            for (std::size_t j = 0; j < placed.size(); ++j)
                if (placed[j].shown && wishes[j].anchorLeft == wishes[i].anchorLeft &&
                    wishes[j].anchorTop == wishes[i].anchorTop) {
                    EXPECT_GE(wishes[j].rssi, wishes[i].rssi) << "shown instead: " << j;
                }
            continue;
        }
        EXPECT_EQ(p.box.right - p.box.left, wishes[i].size.cx);
        EXPECT_EQ(p.box.bottom - p.box.top, wishes[i].size.cy);
        EXPECT_GE(p.box.left, area.left);
        EXPECT_GE(p.box.top, area.top);
        EXPECT_LE(p.box.right, area.right);
        EXPECT_LE(p.box.bottom, area.bottom);
        for (std::size_t j = i + 1; j < placed.size(); ++j)
            if (placed[j].shown) {
                const RECT spaced{p.box.left - LabelLayout::kGap, p.box.top - LabelLayout::kGap,
                                  p.box.right + LabelLayout::kGap, p.box.bottom + LabelLayout::kGap};
                EXPECT_FALSE(LabelLayout::Intersect(spaced, placed[j].box)) << "over label " << j;
            }
        if (p.leader) {
            EXPECT_GE(p.to.x, wishes[i].anchorLeft);
            EXPECT_LE(p.to.x, wishes[i].anchorRight);
            EXPECT_EQ(p.to.y, wishes[i].anchorTop);
            for (std::size_t j = 0; j < placed.size(); ++j)
                if (j != i && placed[j].shown) {
                    EXPECT_FALSE(LabelLayout::Crosses(p.from, p.to, placed[j].box)) << "line through label " << j;
                }
        } else {
            // Over its top, just above it or stacked on names over the same
            // channel, the lowest of which sits on its own hill.
            std::size_t at = i;
            auto onItsHill = [&](std::size_t k) {
                return std::abs(placed[k].box.bottom - (wishes[k].anchorTop - 1)) <= 2 ||
                       (placed[k].box.top == area.top && placed[k].box.bottom > wishes[k].anchorTop - 1);
            };
            for (bool stacked = true; stacked && !onItsHill(at);) {
                stacked = false;
                for (std::size_t j = 0; j < placed.size(); ++j) {
                    const RECT& below = placed[j].box;
                    const RECT& box = placed[at].box;
                    if (placed[j].shown && !placed[j].leader && below.top >= box.bottom &&
                        below.top - box.bottom <= 3 && below.right > box.left && below.left < box.right &&
                        wishes[j].anchorLeft <= wishes[i].anchorRight &&
                        wishes[i].anchorLeft <= wishes[j].anchorRight) {
                        at = j;
                        stacked = true;
                        break;
                    }
                }
            }
            EXPECT_TRUE(onItsHill(at)) << "neither on its hill nor stacked";
        }
    }
}

TEST(ChannelLabelLayout, CrowdedChannelsKeepEveryNameApart)
{
    struct Case {
        const char* what;
        std::vector<LabelWish> wishes;
        int hiddenAtMost;  // how many names may give way
    };
    // 2.4 GHz channels 1, 6 and 11 over an axis from 28 to 214: tops at
    // about 40, 105 and 170.
    std::vector<LabelWish> crowded;
    for (int i = 0; i < 24; ++i) {
        const int channel = i % 3;
        crowded.push_back(Wish(50 + 7 * (i % 5), 34 + 65 * channel, 46 + 65 * channel, 40 + 3 * (i % 7), -40 - i));
    }
    std::vector<LabelWish> sameTop;
    for (int i = 0; i < 5; ++i)
        sameTop.push_back(Wish(70, 100, 110, 50, -50 - i));
    const Case cases[] = {
        {"one name", {Wish(60, 100, 110, 60, -50)}, 0},
        {"two on one channel", {Wish(80, 100, 110, 60, -50), Wish(80, 100, 110, 62, -60)}, 0},
        {"five at the same height", sameTop, 0},
        {"twenty-four over three channels", crowded, 24},
        {"at the plot's top edge", {Wish(60, 28, 40, 0, -20), Wish(60, 150, 164, 2, -22)}, 0},
        // Two names that both want the top left corner: the weaker gives way.
        {"both at the top left corner", {Wish(60, 28, 40, 0, -20), Wish(60, 30, 44, 2, -22)}, 1},
        {"at the right edge", {Wish(90, 200, 213, 30, -45), Wish(90, 196, 213, 30, -55)}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<PlacedLabel> placed = LabelLayout::Place(c.wishes, kArea);
        ExpectSound(c.wishes, placed, kArea);
        int hidden = 0;
        for (const PlacedLabel& p : placed)
            hidden += p.shown ? 0 : 1;
        EXPECT_LE(hidden, c.hiddenAtMost);
    }
}

TEST(ChannelLabelLayout, StrongestSitsOnItsHillAndTheOthersMoveAside)
{
    // The weaker first in the list: order of signal decides, not of input.
    const std::vector<LabelWish> wishes = {Wish(70, 100, 110, 60, -70), Wish(70, 100, 110, 58, -40)};
    const std::vector<PlacedLabel> placed = LabelLayout::Place(wishes, kArea);
    ASSERT_TRUE(placed[0].shown && placed[1].shown);
    EXPECT_FALSE(placed[1].leader);
    EXPECT_EQ(placed[1].box.bottom, 58 - 1);
    EXPECT_EQ((placed[1].box.left + placed[1].box.right) / 2, 105);
}

TEST(ChannelLabelLayout, NoRoomMeansTheWeakerGivesWay)
{
    // An area one name high and two names wide holds two names.
    const RECT area{0, 0, 125, 16};
    std::vector<LabelWish> wishes;
    for (int i = 0; i < 5; ++i)
        wishes.push_back(Wish(50, 28, 34, 16, -80 + 10 * i));
    const std::vector<PlacedLabel> placed = LabelLayout::Place(wishes, area);
    ExpectSound(wishes, placed, area);
    const bool shown[] = {false, false, false, true, true};
    for (std::size_t i = 0; i < wishes.size(); ++i)
        EXPECT_EQ(placed[i].shown, shown[i]) << i;
    // A name wider than the area is never shown.
    const std::vector<LabelWish> wide = {Wish(130, 28, 34, 16, -30)};
    EXPECT_FALSE(LabelLayout::Place(wide, area)[0].shown);
}

}  // namespace
