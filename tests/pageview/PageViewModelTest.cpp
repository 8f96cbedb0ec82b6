// Page-view rules without a window: tiling, scroll-bar modes, wheel steps, anchor scrolling,
// the numbered control list and the undo list.
#include "objects/PageViewModel.h"
#include "objects/TOVKUndoIndiciList.h"
#include "objects/TOVKUndoList.h"
#include "objects/TOVKoggetto.h"

#include <gtest/gtest.h>

namespace {

using namespace morvell;
using namespace morvell::pageview;

TEST(TileOriginsTest, TilesAlignToTheOriginAndCoverTheClip) {
    // A 40 x 30 picture painted into (50, 70)-(130, 95).
    const auto tiles = TileOrigins(50, 70, 130, 95, 40, 30);
    std::vector<TilePoint> expected;
    for (int y : {60, 90})
        for (int x : {40, 80, 120}) expected.push_back({x, y});
    EXPECT_EQ(tiles, expected);
}

TEST(TileOriginsTest, DegenerateSizesAndClipsGiveNoTiles) {
    EXPECT_TRUE(TileOrigins(0, 0, 100, 100, 0, 30).empty());
    EXPECT_TRUE(TileOrigins(0, 0, 100, 100, 30, 0).empty());
    EXPECT_TRUE(TileOrigins(10, 10, 10, 50, 8, 8).empty());
    // Left of the origin the tiles start at the multiple below, not towards zero.
    EXPECT_EQ(TileOrigins(-5, -5, 1, 1, 10, 10).front(), (TilePoint{-10, -10}));
}

TEST(TileOriginsTest, ClipNearTheIntLimitEnds) {
    const auto tiles = TileOrigins(2147483000, 0, 2147483647, 1, 300, 1);
    EXPECT_EQ(tiles.size(), 3u);
}

TEST(ScrollBarModeTest, ReadOnlyViewsFollowTheModeEditableViewsShowBoth) {
    struct Case {
        int mode;
        bool readOnly;
        BarVisibility expected;
    } cases[] = {
        {0, true, BarVisibility::Hidden},    {1, true, BarVisibility::Hidden},
        {2, true, BarVisibility::Shown},     {3, true, BarVisibility::Shown},
        {7, true, BarVisibility::Unchanged}, {1, false, BarVisibility::Shown},
        {7, false, BarVisibility::Shown},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ScrollBarVisibility(c.mode, c.readOnly), c.expected) << c.mode << " " << c.readOnly;
}

TEST(WheelTest, ZeroAndForwardDeltasScrollUp) {
    EXPECT_EQ(WheelPosition(300, 120), 200);
    EXPECT_EQ(WheelPosition(300, 0), 200);
    EXPECT_EQ(WheelPosition(300, -120), 400);
}

TEST(AnchorScrollTest, AnchorLandsThreeBelowTheTopGoingUpAndSixGoingDown) {
    const int client = 400;
    EXPECT_EQ(AnchorScrollPosition(100, 500, client), 97);  // up to it
    EXPECT_EQ(AnchorScrollPosition(2000, 0, client), 1994); // down to it
    // The band is nearly a whole client high, so only a line 3 to 6 pixels below the top
    // stays where it is.
    EXPECT_EQ(AnchorScrollPosition(104, 100, client), 100);
    EXPECT_EQ(AnchorScrollPosition(200, 100, client), 194);
}

TEST(AnchorNumberTest, OnlyShortObjAnchorsHaveNumbers) {
    auto anchor = TOVKoggetto::Create(TOggettiHel::shortObj);
    anchor->Record().SetU8(4, kAnchorSubKind);
    anchor->Record().SetI32(kAnchorNumberOffset, 42);
    EXPECT_EQ(AnchorNumber(*anchor), 42);
    anchor->Record().SetU8(4, kAutomaticLinkSubKind);
    EXPECT_EQ(AnchorNumber(*anchor), -1);

    MarkerList<TOVKoggetto> list;
    auto first = TOVKoggetto::Create(TOggettiHel::shortObj);
    auto second = TOVKoggetto::Create(TOggettiHel::shortObj);
    for (auto* o : {first.get(), second.get()}) {
        o->Record().SetU8(4, kAnchorSubKind);
        o->Record().SetI32(kAnchorNumberOffset, 7);
    }
    EXPECT_TRUE(list.Add(first.get()));
    EXPECT_TRUE(list.Add(second.get()));
    EXPECT_FALSE(list.Add(first.get()));
    auto id = [](TOVKoggetto* o) { return o; };
    // Two anchors with one number: the first made wins.
    EXPECT_EQ(FindAnchor(list, 7, id), first.get());
    EXPECT_EQ(FindAnchor(list, -1, id), nullptr);
    EXPECT_EQ(FindAnchor(list, 8, id), nullptr);
}

TEST(IndiciListTest, NumbersAreNeverReusedAndPutExtends) {
    TOVKundoIndiciList<int> list;
    int a = 1, b = 2, c = 3;
    EXPECT_EQ(list.Add(&a), 0);
    EXPECT_EQ(list.Add(&b), 1);
    list.Forget(&a);
    EXPECT_EQ(list.Add(&c), 2);
    EXPECT_EQ(list.At(0), nullptr);
    EXPECT_EQ(list.At(5), nullptr);
    list.Put(5, &a);
    EXPECT_EQ(list.Count(), 6);
    EXPECT_EQ(list.At(5), &a);
    EXPECT_EQ(list.At(4), nullptr);
}

TEST(UndoListTest, KeepsDepthPlusOneStepsAndEmptiesBothLists) {
    TOVKundoList undo;
    for (int i = 0; i < 15; ++i) undo.AddUndo(std::make_unique<TimBackup>(nullptr, &undo));
    EXPECT_EQ(undo.Undo().size(), static_cast<std::size_t>(TOVKundoList::kDepth + 1));
    for (int i = 0; i < 15; ++i) undo.AddRedo(std::make_unique<TimBackup>(nullptr, &undo));
    EXPECT_EQ(undo.Redo().size(), 15u);
    EXPECT_EQ(undo.Undo().front().first, "Muovi zona cliccabile");
    undo.Clear();
    EXPECT_TRUE(undo.Empty());
}

TEST(BackupTest, TextBoxBackupTakesMissingPositionsAsTheStart) {
    TboBackup b(nullptr, nullptr, "typing", {-1, -1}, {2, 3}, {1, -1}, {4, 5}, "<Z S0 >x");
    EXPECT_EQ(b.StartBefore(), (TextPoint{0, 0}));
    EXPECT_EQ(b.EndBefore(), (TextPoint{2, 3}));
    EXPECT_EQ(b.StartAfter(), (TextPoint{0, 0}));
    EXPECT_EQ(b.FirstStream(), std::string("<Z S0 >x") + '\0');
}

TEST(BackupTest, ObjectBackupCopiesOnlyRegisteredObjects) {
    auto object = TOVKoggetto::Create(TOggettiHel::keyword);
    object->Record().SetI32(10, 1234);
    TogBackup loose(nullptr, nullptr, "x", *object);
    EXPECT_EQ(loose.Copy(), nullptr);
    object->SetRegistered(true);
    TogBackup kept(nullptr, nullptr, "x", *object);
    ASSERT_NE(kept.Copy(), nullptr);
    EXPECT_EQ(kept.Copy()->Record().I32(10), 1234);
    EXPECT_FALSE(kept.Copy()->Registered());
}

} // namespace
