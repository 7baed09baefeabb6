#include "pickers/ColorHistory.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every event the history raises as text, so a test states the sequence it expects.
struct Recorder {
    std::vector<std::string> log;
    void Attach(TColorHistory& h)
    {
        h.OnAdd = [this](TObject*, bool prev, bool next) {
            log.push_back("add prev=" + std::to_string(prev) + " next=" + std::to_string(next));
        };
        h.OnChange = [this](TObject* sender, TRichColor* entry, bool next, bool prev) {
            EXPECT_NE(sender, nullptr);
            ASSERT_NE(entry, nullptr);
            log.push_back("change " + std::to_string(entry->Color()) + " next=" + std::to_string(next)
                + " prev=" + std::to_string(prev));
        };
        h.OnClear = [this](TObject*) { log.push_back("clear"); };
    }
};

// Colours 1..n, added in order.
void Fill(TColorHistory& h, int n)
{
    for (int i = 1; i <= n; ++i)
        h.Add(static_cast<TColor>(i));
}

std::vector<TColor> Colors(const TColorHistory& h)
{
    std::vector<TColor> out;
    for (int i = 0; i < h.Count(); ++i)
        out.push_back(h.Items(i)->Color());
    return out;
}

} // namespace

TEST(ColorHistory, StartsEmptyAndAddsAfterTheCurrentEntry)
{
    TColorHistory h;
    Recorder r;
    r.Attach(h);
    EXPECT_EQ(h.MaxElements(), 100);
    EXPECT_EQ(h.Position(), -1);
    EXPECT_EQ(h.Count(), 0);
    EXPECT_EQ(h.Items(0), nullptr);
    EXPECT_EQ(h.Items(-1), nullptr);

    TRichColor* first = h.Add(0x0000FF);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Color(), 0x0000FFu);
    EXPECT_EQ(h.Items(0), first);
    TRichColor* second = h.Add(0x00FF00);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(h.Position(), 1);
    // The current colour again adds nothing and raises nothing.
    EXPECT_EQ(h.Add(0x00FF00), nullptr);
    EXPECT_EQ(h.Count(), 2);
    // An older colour again is a new entry: only the current one is compared.
    EXPECT_NE(h.Add(0x0000FF), nullptr);
    EXPECT_EQ(r.log, (std::vector<std::string> {"add prev=0 next=0", "add prev=1 next=0", "add prev=1 next=0"}));
}

TEST(ColorHistory, DropsTheOldestBeyondMaxElementsAndKeepsWorking)
{
    TColorHistory h;
    Fill(h, 100);
    Recorder r;
    r.Attach(h);
    h.Add(101);
    ASSERT_EQ(h.Count(), 100);
    ASSERT_EQ(h.Position(), 99);
    EXPECT_EQ(h.Items(0)->Color(), 2u);
    EXPECT_EQ(h.Items(99)->Color(), 101u);
    // Back stays enabled, Forward disabled.
    EXPECT_EQ(r.log, (std::vector<std::string> {"add prev=1 next=0"}));
    EXPECT_TRUE(h.PrevEnabled());
    EXPECT_FALSE(h.NextEnabled());

    ASSERT_NE(h.Add(102), nullptr);
    EXPECT_EQ(h.Count(), 100);
    EXPECT_EQ(h.Position(), 99);
    EXPECT_EQ(h.Items(0)->Color(), 3u);
    EXPECT_EQ(h.Items(99)->Color(), 102u);

    h.Previous();
    EXPECT_EQ(h.Position(), 98);
    EXPECT_EQ(h.Items(98)->Color(), 101u);
}

TEST(ColorHistory, AddingAfterGoingBackDeletesTheLaterEntries)
{
    TColorHistory h;
    Fill(h, 5);
    h.Previous();
    h.Previous();
    h.Previous();
    ASSERT_EQ(h.Position(), 1);
    h.Add(99);
    EXPECT_EQ(Colors(h), (std::vector<TColor> {1, 2, 99}));
    EXPECT_EQ(h.Position(), 2);
    EXPECT_FALSE(h.NextEnabled());
}

TEST(ColorHistory, PreviousAndNextReportEvenWhenTheyCannotMove)
{
    TColorHistory h;
    Recorder r;
    r.Attach(h);
    // Nothing to report on an empty history.
    h.Previous();
    h.Next();
    EXPECT_TRUE(r.log.empty());
    EXPECT_EQ(h.Position(), -1);

    Fill(h, 3);
    r.log.clear();
    h.Next(); // at the end: stays on 3
    h.Previous(); // 2
    h.Previous(); // 1
    h.Previous(); // at the start: stays on 1
    h.Next(); // 2
    EXPECT_EQ(r.log,
        (std::vector<std::string> {
            "change 3 next=0 prev=1",
            "change 2 next=1 prev=1",
            "change 1 next=1 prev=0",
            "change 1 next=1 prev=0",
            "change 2 next=1 prev=1",
        }));
}

TEST(ColorHistory, GoToAcceptsOnlyExistingIndices)
{
    struct Case {
        int index;
        int position;
        bool fires;
    };
    for (const Case c : {Case {0, 0, true}, Case {3, 3, true}, Case {2, 2, true}, Case {4, 3, false},
             Case {-1, 3, false}, Case {100, 3, false}}) {
        TColorHistory h;
        Fill(h, 4);
        Recorder r;
        r.Attach(h);
        h.GoTo(c.index);
        EXPECT_EQ(h.Position(), c.position) << "index " << c.index;
        EXPECT_EQ(r.log.size(), c.fires ? 1u : 0u) << "index " << c.index;
    }
    // GoTo the entry that is already current still reports.
    TColorHistory h;
    Fill(h, 2);
    Recorder r;
    r.Attach(h);
    h.GoTo(1);
    EXPECT_EQ(r.log, (std::vector<std::string> {"change 2 next=0 prev=1"}));
}

TEST(ColorHistory, LoweringMaxElementsDropsTheOldestWithPositionFollowing)
{
    TColorHistory h;
    Fill(h, 10);
    h.GoTo(7);
    h.SetMaxElements(5);
    EXPECT_EQ(Colors(h), (std::vector<TColor> {6, 7, 8, 9, 10}));
    EXPECT_EQ(h.Position(), 2);
    EXPECT_EQ(h.Items(h.Position())->Color(), 8u);

    // When the current entry itself goes, the oldest remaining one becomes current.
    h.GoTo(0);
    h.SetMaxElements(2);
    EXPECT_EQ(Colors(h), (std::vector<TColor> {9, 10}));
    EXPECT_EQ(h.Position(), 0);

    // A capacity below one would lose the current colour at every Add.
    h.SetMaxElements(0);
    EXPECT_EQ(h.MaxElements(), 1);
    EXPECT_EQ(h.Count(), 1);
    h.Add(42);
    EXPECT_EQ(Colors(h), (std::vector<TColor> {42}));
}

TEST(ColorHistory, ClearEmptiesAndReports)
{
    TColorHistory h;
    Fill(h, 3);
    Recorder r;
    r.Attach(h);
    h.Clear();
    EXPECT_EQ(r.log, (std::vector<std::string> {"clear"}));
    EXPECT_EQ(h.Count(), 0);
    EXPECT_EQ(h.Position(), -1);
    // After a clear the same colour is new again.
    EXPECT_NE(h.Add(3), nullptr);
    EXPECT_EQ(h.Position(), 0);
}
