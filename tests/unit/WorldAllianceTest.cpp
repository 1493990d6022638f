// Alliance offers on the world map: the player's offers and their answers, computer masters' offers
// to the player and to each other, and the offers refused before anyone is asked.

#include "unit/WorldFixture.h"

#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"

namespace
{
/// A strategy whose turn waits and whose answer to offers is fixed.
std::string Strategy(bool accepts)
{
	return std::string("function on_myturn() coroutine.yield() return true end\n"
					   "function on_proposed_alliance(a, b) print_log('asked', a, b) return ")
		+ (accepts ? "true" : "false") + " end\n";
}

/// No alliance between the two masters.
const int NONE = -2;
}

/// An offer the player makes to garm through the map: the alliance already in force, the player's
/// funds, the player's answer and garm's, and what follows.
struct TPlayerOffer
{
	const char* name;
	int remaining;
	int money;
	unsigned answer;
	bool partnerAccepts;
	/// Text of the question asked, or of the message shown instead.
	const char* shown;
	/// Turns of the alliance afterwards (NONE for no alliance) and whether garm was asked.
	int turnsAfter;
	bool asked;
};

void PrintTo(const TPlayerOffer& test, std::ostream* out)
{
	*out << test.name;
}

class WorldPlayerOfferTest : public WorldTest, public ::testing::WithParamInterface<TPlayerOffer>
{
};

TEST_P(WorldPlayerOfferTest, FollowsTheAllianceInForceTheFundsAndTheAnswers)
{
	const TPlayerOffer& test = GetParam();
	WriteScript("strategy.lua", Strategy(test.partnerAccepts));
	game.GetMaster(leon).Player = true;
	view.SetMessageReply(2, test.answer);
	Start();
	ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE));
	view.ClearCalls();
	if (test.remaining != NONE)
		game.SetAlliance(leon, garm, test.remaining);
	game.GetMaster(leon).Money = test.money;
	const int cost = game.GetAllianceCost(leon, garm, test.remaining == NONE ? 6 : 6 - test.remaining);
	const int garmMoney = game.GetMaster(garm).Money;

	logic->PressMasterButton(MASTER_BUTTON_ALLIANCE);
	ASSERT_EQ(WORLD_PICK_ALLY, Status());
	logic->PressMap(Area("A03"), true);
	ASSERT_EQ(1u, view.CallsOf("ShowMessage").size());
	EXPECT_NE(std::string::npos, view.Calls().back().find(test.shown)) << view.Calls().back();
	ASSERT_TRUE(RunUntilStatus(WORLD_PLAYER_IDLE, 5));
	const int alliance = game.FindAlliance(leon, garm);
	EXPECT_EQ(test.turnsAfter, alliance >= 0 ? game.GetAlliance(alliance).Turns : NONE);
	EXPECT_EQ(test.asked ? 1 : 0, CountScriptLog("asked leon garm"));
	const bool paid = test.asked && test.partnerAccepts;
	EXPECT_EQ(paid ? test.money - cost : test.money, game.GetMaster(leon).Money);
	EXPECT_EQ(paid ? garmMoney + cost : garmMoney, game.GetMaster(garm).Money);
}

INSTANTIATE_TEST_SUITE_P(Offer, WorldPlayerOfferTest,
	::testing::Values(
		TPlayerOffer{"new_accepted", NONE, 1000, BUTTON_YES, true, "で6ターンの同盟を申し込みますか？", 6, true},
		TPlayerOffer{"new_refused", NONE, 1000, BUTTON_YES, false, "で6ターンの同盟を申し込みますか？", NONE, true},
		TPlayerOffer{"player_says_no", NONE, 1000, BUTTON_NO, true, "で6ターンの同盟を申し込みますか？", NONE, false},
		TPlayerOffer{"extension", 2, 1000, BUTTON_YES, true, "で4ターンの同盟延長を申し込みますか？", 6, true},
		TPlayerOffer{"endless", -1, 1000, BUTTON_YES, true, "とは既に無期限の同盟を結んでいます。", -1, false},
		TPlayerOffer{"full_term", 6, 1000, BUTTON_YES, true, "とは既に6ターンの同盟を結んでいます。", 6, false},
		TPlayerOffer{"longer_than_a_term", 8, 1000, BUTTON_YES, true, "とは既に8ターンの同盟を結んでいます。", 8, false},
		TPlayerOffer{"no_funds", NONE, 0, BUTTON_YES, true, "必要ですが、資金が足りません。", NONE, false},
		TPlayerOffer{"no_funds_to_extend", 3, 0, BUTTON_YES, true, "との同盟を延長するには", 3, false}),
	[](const ::testing::TestParamInfo<TPlayerOffer>& info) { return std::string(info.param.name); });

/// An offer garm's strategy makes: to whom, for how long and at what price, how it is answered, and
/// what the strategy sees.
struct TComputerOffer
{
	const char* name;
	/// The partner: 0 leon (the player), 2 sera.
	int partner;
	int remaining;
	int turns;
	int price;
	bool partnerAccepts;
	unsigned playerAnswer;
	/// The call settles at once; otherwise a dialog or message holds the strategy for frames.
	bool settled;
	const char* shown;
	int turnsAfter;
};

void PrintTo(const TComputerOffer& test, std::ostream* out)
{
	*out << test.name;
}

class WorldComputerOfferTest : public WorldTest, public ::testing::WithParamInterface<TComputerOffer>
{
};

TEST_P(WorldComputerOfferTest, IsAnsweredByThePlayerOrThePartnersStrategy)
{
	const TComputerOffer& test = GetParam();
	WriteScript("strategy.lua", Strategy(test.partnerAccepts));
	game.GetMaster(leon).Player = test.partner == leon;
	// garm comes first in the turn, before the player waits for input.
	game.GetMaster(garm).Power = -1;
	view.SetMessageReply(2, test.playerAnswer);
	Start();
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_STRATEGY && Current() == garm; }));
	view.ClearCalls();
	if (test.remaining != NONE)
		game.SetAlliance(garm, test.partner, test.remaining);
	const int money = game.GetMaster(garm).Money;

	EXPECT_EQ(test.settled, logic->ProposeAlliance(test.partner, test.turns, test.price));
	EXPECT_EQ(test.shown ? 1u : 0u, view.CallsOf("ShowMessage").size());
	if (test.shown) {
		EXPECT_NE(std::string::npos, view.Calls().back().find(test.shown)) << view.Calls().back();
	}
	// Whatever the answer, the strategy goes on in its turn.
	ASSERT_TRUE(RunUntilStatus(WORLD_STRATEGY, 5));
	const int alliance = game.FindAlliance(garm, test.partner);
	EXPECT_EQ(test.turnsAfter, alliance >= 0 ? game.GetAlliance(alliance).Turns : NONE);
	const bool made = test.turnsAfter != test.remaining;
	EXPECT_EQ(made ? money - test.price : money, game.GetMaster(garm).Money);
}

INSTANTIATE_TEST_SUITE_P(Offer, WorldComputerOfferTest,
	::testing::Values(
		TComputerOffer{"player_accepts", 0, NONE, 6, 50, true, BUTTON_YES, false, "で6ターンの同盟を申し込んで来ました。", 6},
		TComputerOffer{"player_refuses", 0, NONE, 6, 50, true, BUTTON_NO, false, "で6ターンの同盟を申し込んで来ました。", NONE},
		TComputerOffer{"player_extends", 0, 2, 3, 30, true, BUTTON_YES, false, "で3ターンの同盟延長を申し込んで来ました。", 5},
		TComputerOffer{"computer_accepts", 2, NONE, 6, 50, true, BUTTON_OK, false, "と同盟を結びました。", 6},
		TComputerOffer{"computer_extends", 2, 2, 3, 30, true, BUTTON_OK, true, nullptr, 5},
		TComputerOffer{"computer_refuses", 2, NONE, 6, 50, false, BUTTON_OK, true, nullptr, NONE}),
	[](const ::testing::TestParamInfo<TComputerOffer>& info) { return std::string(info.param.name); });

TEST_F(WorldTest, TheComputerPartnerIsAskedWithBothMastersIds)
{
	WriteScript("strategy.lua", Strategy(true));
	Start();
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_STRATEGY && Current() == garm; }));
	logic->ProposeAlliance(sera, 6, 10);
	EXPECT_EQ(1, CountScriptLog("asked garm sera"));
}

TEST_F(WorldTest, OffersThatCannotBeMadeAreSettledAtOnceWithNothingChanged)
{
	struct TCase
	{
		const char* name;
		int partner;
		int turns;
		int price;
	};
	const TCase cases[] = {{"itself", garm, 6, 10}, {"a defeated master", sera, 6, 10}, {"no master", 7, 6, 10},
		{"no turn", leon, 0, 10}, {"a negative price", leon, 6, -100}, {"an endless alliance", leon, 3, 10}};
	WriteScript("strategy.lua", Strategy(true));
	Start();
	ASSERT_TRUE(RunUntil([this] { return Status() == WORLD_STRATEGY && Current() == garm; }));
	game.GetMaster(sera).Exists = false;
	game.SetAlliance(garm, leon, -1);
	const int money = game.GetMaster(garm).Money;
	for (const TCase& test : cases) {
		SCOPED_TRACE(test.name);
		const int errors = log.CountLines("Error");
		EXPECT_TRUE(logic->ProposeAlliance(test.partner, test.turns, test.price));
		EXPECT_EQ(errors + 1, log.CountLines("Error"));
		EXPECT_EQ(WORLD_STRATEGY, Status());
	}
	EXPECT_EQ(0, CountScriptLog("asked"));
	EXPECT_EQ(money, game.GetMaster(garm).Money);
	EXPECT_TRUE(view.CallsOf("ShowMessage").empty());
}
