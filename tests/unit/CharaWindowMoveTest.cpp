#include "battle/CharaMoveWindow.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <vector>

namespace
{
const int A = 0;
const int B = 1;

/// Characters numbered first, first + 1, ... by definition index; those listed in acted have acted this turn.
std::vector<TCharaInstance> Charas(int count, int first, const std::set<int>& acted = {})
{
	std::vector<TCharaInstance> charas(count);
	for (int i = 0; i < count; ++i) {
		charas[i].CharaIndex = first + i;
		charas[i].Actioned = acted.count(i) > 0;
	}
	return charas;
}

std::vector<int> Indices(const TCharaMoveSelection& selection, int side)
{
	std::vector<int> out = { 99 };
	selection.GetMoveIndices(side, out);
	return out;
}

/// Definition indices of a list, in its order.
std::vector<int> Ids(const std::vector<TCharaInstance>& list)
{
	std::vector<int> ids;
	for (const TCharaInstance& chara : list)
		ids.push_back(chara.CharaIndex);
	return ids;
}

class CharaMoveTest : public ::testing::Test
{
protected:
	/// Area 3 holds a characters (ids 100...), area 7 holds b (ids 200...).
	void Start(int a, int b, const std::set<int>& actedA = {}, const std::set<int>& actedB = {})
	{
		selection.Setup(3, Charas(a, 100, actedA), 7, Charas(b, 200, actedB));
	}

	TCharaMoveSelection selection;
};
}

TEST_F(CharaMoveTest, ACharacterCrossesOnlyWhileTheDestinationHasRoomCountingThoseAboutToLeaveIt)
{
	Start(5, 19);
	EXPECT_TRUE(selection.Click(MOVE_PANE_STATIONED_A, 0));
	EXPECT_FALSE(selection.Click(MOVE_PANE_STATIONED_A, 1)) << "B holds 19 and one arriving";
	EXPECT_EQ(std::vector<int>({ 0 }), Indices(selection, A));

	// Marking one of B's to leave does not make room in B.
	EXPECT_TRUE(selection.Click(MOVE_PANE_STATIONED_B, 0));
	EXPECT_FALSE(selection.Click(MOVE_PANE_STATIONED_A, 1));
	// Sending the arriving one back does.
	EXPECT_TRUE(selection.Click(MOVE_PANE_ARRIVING_B, 0));
	EXPECT_TRUE(selection.Click(MOVE_PANE_STATIONED_A, 1));
	EXPECT_EQ(std::vector<int>({ 1 }), Indices(selection, A));
	EXPECT_EQ(std::vector<int>({ 0 }), Indices(selection, B));
	EXPECT_EQ(std::vector<int>({ 200 }), Ids(selection.GetSide(A).Arriving));
}

TEST_F(CharaMoveTest, ClicksThatBreakARuleChangeNothing)
{
	Start(4, 2, { 2 }, { 1 });
	const struct {
		int pane, index;
		const char* why;
	} refused[] = {
		{ MOVE_PANE_STATIONED_A, 2, "has acted" },
		{ MOVE_PANE_STATIONED_B, 1, "has acted" },
		{ MOVE_PANE_STATIONED_A, 4, "beyond the list" },
		{ MOVE_PANE_STATIONED_A, -1, "before the list" },
		{ MOVE_PANE_ARRIVING_B, 0, "nobody arrives yet" },
		{ MOVE_PANE_ARRIVING_A, 0, "nobody arrives yet" },
		{ MOVE_PANE_COUNT, 0, "no such list" },
	};
	for (const auto& c : refused)
		EXPECT_FALSE(selection.Click(c.pane, c.index)) << c.pane << "/" << c.index << ": " << c.why;
	ASSERT_TRUE(selection.Click(MOVE_PANE_STATIONED_A, 1));
	EXPECT_FALSE(selection.Click(MOVE_PANE_STATIONED_A, 1)) << "already marked";
	EXPECT_FALSE(selection.Click(MOVE_PANE_ARRIVING_B, 1)) << "one arrives";
	EXPECT_EQ(std::vector<int>({ 1 }), Indices(selection, A));
	EXPECT_EQ(std::vector<int>(), Indices(selection, B));
	EXPECT_EQ(std::vector<int>({ 101 }), Ids(selection.GetSide(B).Arriving));
}

TEST_F(CharaMoveTest, SendingBackTheSecondArrivalUnmarksTheCharacterItShowsNotTheSecondInRosterOrder)
{
	Start(5, 0);
	selection.Click(MOVE_PANE_STATIONED_A, 3);
	selection.Click(MOVE_PANE_STATIONED_A, 1);
	selection.Click(MOVE_PANE_STATIONED_A, 4);
	EXPECT_EQ(std::vector<int>({ 103, 101, 104 }), Ids(selection.GetSide(B).Arriving)) << "in marking order";

	ASSERT_TRUE(selection.Click(MOVE_PANE_ARRIVING_B, 1));
	EXPECT_EQ(std::vector<int>({ 103, 104 }), Ids(selection.GetSide(B).Arriving));
	EXPECT_EQ(std::vector<int>({ 3, 4 }), Indices(selection, A)) << "character 1 stays, as the list shows";
	EXPECT_EQ(std::vector<int>({ 0, 0, 0, 1, 1 }), selection.GetSide(A).Marks);
}

TEST_F(CharaMoveTest, SendAllCancelsTheOtherWayThenMarksInRosterOrderUntilTheDestinationIsFull)
{
	const struct {
		int a, b;
		std::set<int> actedA;
		std::vector<int> movedA;
	} cases[] = {
		{ 5, 17, {}, { 0, 1, 2 } },
		{ 5, 17, { 1 }, { 0, 2, 3 } },
		{ 5, 0, { 0, 4 }, { 1, 2, 3 } },
		{ 5, 20, {}, {} },
		{ 0, 3, {}, {} },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(::testing::Message() << c.a << " to " << c.b);
		Start(c.a, c.b, c.actedA);
		if (c.b > 0)
			selection.Click(MOVE_PANE_STATIONED_B, 0);
		selection.SendAll(B);
		EXPECT_EQ(c.movedA, Indices(selection, A));
		EXPECT_EQ(std::vector<int>(), Indices(selection, B));
		EXPECT_TRUE(selection.GetSide(A).Arriving.empty());
		EXPECT_EQ(c.movedA.size(), selection.GetSide(B).Arriving.size());
	}
}

TEST_F(CharaMoveTest, SendAllKeepsWhatIsAlreadyMarkedTheSameWay)
{
	Start(2, 6);
	selection.Click(MOVE_PANE_STATIONED_B, 4);
	selection.Click(MOVE_PANE_STATIONED_B, 1);
	selection.SendAll(A);
	EXPECT_EQ(std::vector<int>({ 0, 1, 2, 3, 4, 5 }), Indices(selection, B));
	EXPECT_EQ(std::vector<int>({ 204, 201, 200, 202, 203, 205 }), Ids(selection.GetSide(A).Arriving));
}

TEST_F(CharaMoveTest, TheHoveredCharacterComesFromTheListUnderTheMouseAndANewMoveForgetsIt)
{
	Start(3, 2);
	EXPECT_EQ(nullptr, selection.GetHovered());
	selection.Click(MOVE_PANE_STATIONED_A, 2);
	const struct {
		int pane, index, id;
	} cases[] = {
		{ MOVE_PANE_STATIONED_A, 1, 101 },
		{ MOVE_PANE_ARRIVING_B, 0, 102 },
		{ MOVE_PANE_STATIONED_B, 1, 201 },
		{ MOVE_PANE_ARRIVING_A, 0, 201 }, // nobody arrives in A: the last one stays
		{ MOVE_PANE_STATIONED_B, 2, 201 },
	};
	for (const auto& c : cases) {
		selection.Hover(c.pane, c.index);
		ASSERT_NE(nullptr, selection.GetHovered());
		EXPECT_EQ(c.id, selection.GetHovered()->CharaIndex) << c.pane << "/" << c.index;
	}
	Start(3, 2);
	EXPECT_EQ(nullptr, selection.GetHovered());
}

TEST_F(CharaMoveTest, AnyRunOfClicksKeepsTheListsTheMarksAndTheLimitInStep)
{
	std::mt19937 random(16);
	for (int round = 0; round < 40; ++round) {
		const int a = static_cast<int>(random() % 21);
		const int b = static_cast<int>(random() % 21);
		Start(a, b, { static_cast<int>(random() % 6) }, { static_cast<int>(random() % 6) });
		for (int step = 0; step < 60; ++step) {
			if (random() % 10 == 0)
				selection.SendAll(static_cast<int>(random() % 2));
			else
				selection.Click(static_cast<int>(random() % MOVE_PANE_COUNT), static_cast<int>(random() % 21));
			for (int s : { A, B }) {
				SCOPED_TRACE(::testing::Message() << "round " << round << " step " << step << " side " << s);
				const TCharaMoveSide& to = selection.GetSide(s);
				const TCharaMoveSide& from = selection.GetSide(1 - s);
				ASSERT_LE(to.Arriving.size() + to.Stationed.size(), std::size_t(AREA_CHARA_MAX));
				ASSERT_EQ(to.Arriving.size(), to.ArrivingFrom.size());
				std::vector<int> sources(to.ArrivingFrom);
				std::sort(sources.begin(), sources.end());
				ASSERT_EQ(Indices(selection, 1 - s), sources) << "each marked character arrives once";
				for (std::size_t k = 0; k < to.Arriving.size(); ++k) {
					const TCharaInstance& source = from.Stationed[to.ArrivingFrom[k]];
					ASSERT_EQ(source.CharaIndex, to.Arriving[k].CharaIndex);
					ASSERT_FALSE(source.Actioned);
				}
			}
		}
	}
}
