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

/// Area 3 holds a characters (definitions 100...), area 7 holds b (200...); those listed have acted.
void Start(TCharaMoveSelection& selection, int a, int b, const std::set<int>& actedA = {},
	const std::set<int>& actedB = {})
{
	std::vector<TCharaInstance> charas[2] = { std::vector<TCharaInstance>(a), std::vector<TCharaInstance>(b) };
	const std::set<int>* acted[2] = { &actedA, &actedB };
	for (int s : { A, B })
		for (int i = 0; i < static_cast<int>(charas[s].size()); ++i) {
			charas[s][i].CharaIndex = 100 * (s + 1) + i;
			charas[s][i].Actioned = acted[s]->count(i) > 0;
		}
	selection.Setup(3, charas[A], 7, charas[B]);
}

std::vector<int> Indices(const TCharaMoveSelection& selection, int side)
{
	std::vector<int> out = { 99 };
	selection.GetMoveIndices(side, out);
	return out;
}

std::vector<int> Arriving(const TCharaMoveSelection& selection, int side)
{
	std::vector<int> ids;
	for (const TCharaInstance& chara : selection.GetSide(side).Arriving)
		ids.push_back(chara.CharaIndex);
	return ids;
}
}

TEST(CharaMove, ACharacterCrossesOnlyWhileTheDestinationHasRoomCountingThoseAboutToLeaveIt)
{
	TCharaMoveSelection selection;
	Start(selection, 5, 19);
	EXPECT_TRUE(selection.Click(MOVE_PANE_STATIONED_A, 0));
	EXPECT_FALSE(selection.Click(MOVE_PANE_STATIONED_A, 1)) << "B holds 19 and one arriving";
	EXPECT_TRUE(selection.Click(MOVE_PANE_STATIONED_B, 0));
	EXPECT_FALSE(selection.Click(MOVE_PANE_STATIONED_A, 1)) << "one of B's marked to leave has not left yet";
	EXPECT_TRUE(selection.Click(MOVE_PANE_ARRIVING_B, 0));
	EXPECT_TRUE(selection.Click(MOVE_PANE_STATIONED_A, 1));
	EXPECT_EQ(std::vector<int>({ 1 }), Indices(selection, A));
	EXPECT_EQ(std::vector<int>({ 0 }), Indices(selection, B));
}

TEST(CharaMove, SendingBackTheSecondArrivalUnmarksTheCharacterItShowsNotTheSecondInRosterOrder)
{
	TCharaMoveSelection selection;
	Start(selection, 5, 0);
	for (int i : { 3, 1, 4 })
		selection.Click(MOVE_PANE_STATIONED_A, i);
	EXPECT_EQ(std::vector<int>({ 103, 101, 104 }), Arriving(selection, B)) << "in marking order";
	ASSERT_TRUE(selection.Click(MOVE_PANE_ARRIVING_B, 1));
	EXPECT_EQ(std::vector<int>({ 103, 104 }), Arriving(selection, B));
	EXPECT_EQ(std::vector<int>({ 3, 4 }), Indices(selection, A)) << "character 1 stays, as the lists show";
}

TEST(CharaMove, SendAllCancelsTheOtherWayThenMarksInRosterOrderUntilTheDestinationIsFull)
{
	const struct {
		int a, b;
		std::set<int> acted;
		std::vector<int> moved;
	} cases[] = {
		{ 5, 17, {}, { 0, 1, 3 } }, // 3 was marked before
		{ 5, 17, { 1 }, { 0, 2, 3 } },
		{ 5, 1, { 0, 4 }, { 1, 2, 3 } },
		{ 5, 20, {}, {} },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(::testing::Message() << c.a << " to " << c.b);
		TCharaMoveSelection selection;
		Start(selection, c.a, c.b, c.acted);
		selection.Click(MOVE_PANE_STATIONED_A, 3);
		selection.Click(MOVE_PANE_STATIONED_B, 0);
		selection.SendAll(B);
		EXPECT_EQ(c.moved, Indices(selection, A));
		EXPECT_EQ(std::vector<int>(), Indices(selection, B));
		EXPECT_TRUE(selection.GetSide(A).Arriving.empty());
	}
}

TEST(CharaMove, AnyRunOfClicksKeepsTheListsTheMarksAndTheLimitInStep)
{
	std::mt19937 random(16);
	TCharaMoveSelection selection;
	for (int round = 0; round < 40; ++round) {
		Start(selection, random() % 21, random() % 21, { int(random() % 6) }, { int(random() % 6) });
		for (int step = 0; step < 60; ++step) {
			if (random() % 10 == 0)
				selection.SendAll(random() % 2);
			else
				selection.Click(random() % MOVE_PANE_COUNT, int(random() % 22) - 1);
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
					ASSERT_EQ(from.Stationed[to.ArrivingFrom[k]].CharaIndex, to.Arriving[k].CharaIndex);
					ASSERT_FALSE(to.Arriving[k].Actioned);
				}
			}
		}
	}
}
