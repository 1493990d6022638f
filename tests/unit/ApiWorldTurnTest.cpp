// What a strategy script hands the world map when it ends its turn, goes to war or offers an
// alliance, and how it waits: a departure always suspends it, an offer only while the world map
// needs frames, and nothing that runs while an offer is answered may suspend at all.

#include "unit/ApiWorldFixture.h"

#include "app/GameMaster.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <lua.h>

namespace
{
class ApiWorldTurn : public ApiWorldTest
{
protected:
	// The global's value in the strategy script, rendered by tostring.
	std::string Global(const char* name)
	{
		lua_State* L = m_Script.GetState();
		EXPECT_EQ("", RunChunk(L, std::string("return tostring(") + name + ")"));
		const std::string value = lua_tostring(L, -1);
		lua_settop(L, 0);
		return value;
	}

	// Puts characters into an area as a chapter would, beyond the limit if asked.
	void Fill(const char* area, const char* chara, int count)
	{
		const int index = Game().GetAreaIndex(area);
		for (int i = 0; i < count; ++i)
			Game().GetArea(index).Charas.push_back(Game().CreateCharaInstance(g_GameMaster.m_Data->GetCharaIndex(chara), 0));
	}
};
}

TEST_F(ApiWorldTurn, ADepartureSuspendsTheScriptUntilTheWorldMapResumesIt)
{
	Fill("A02", "soldier", 2);
	ASSERT_TRUE(m_Script.CallFunction("run", {"api_scenario_departure('A03', {A02 = {2, 0}})\n"
											  "AFTER = 'went on'\n"
											  "return 'done'"}));
	EXPECT_TRUE(m_Script.IsSuspended());
	EXPECT_EQ("nil", Global("AFTER"));
	// The army in the table's order, each character by its area and position.
	ASSERT_EQ(std::vector<std::string>{"Departure 2 1:2 1:0"}, m_WorldMap.calls);

	ASSERT_TRUE(m_Script.Resume());
	EXPECT_FALSE(m_Script.IsSuspended());
	EXPECT_EQ("went on", Global("AFTER"));
	EXPECT_EQ("done", Global("RESULT[1]"));
}

TEST_F(ApiWorldTurn, ArmiesThatCouldNotMarchOrComeHomeAreRefused)
{
	// Twenty-one from one area: the winners could not all stand in the target.
	Fill("A02", "soldier", 20);
	std::string positions;
	for (int i = 0; i < 21; ++i)
		positions += std::to_string(i) + ",";
	EXPECT_EQ(0, Run("return api_scenario_departure('A03', {A02 = {" + positions + "}})").results);
	EXPECT_EQ(1, m_Log.CountLines("api_scenario_departure 出陣キャラ数21が上限20を超えています。"));
	// A character that moved this turn has acted and stays.
	EXPECT_EQ("true", Eval("return api_scenario_move_area_chara('A02', 'A01', {0})"));
	EXPECT_EQ(0, Run("return api_scenario_departure('A05', {A01 = {2}})").results);
	EXPECT_EQ(1, m_Log.CountLines("api_scenario_departure エリア A01 （キャラ数3）に対して無効な出陣キャラインデックス2が指定されました。"));
	EXPECT_TRUE(m_WorldMap.calls.empty());
	// The same army from its fresh characters marches, against an ally too.
	EXPECT_TRUE(Run("return api_scenario_departure('A05', {A01 = {1, 0}})").ok);
	EXPECT_EQ(std::vector<std::string>{"Departure 4 0:1 0:0"}, m_WorldMap.calls);
}

TEST_F(ApiWorldTurn, AnOfferSuspendsTheScriptOnlyWhileTheWorldMapNeedsFrames)
{
	m_WorldMap.settleOffers = true;
	const TApiRun settled = Run("return api_scenario_propose_alliance('garm', 6.9, 120)");
	EXPECT_FALSE(settled.suspended);
	EXPECT_EQ(0, settled.results);

	m_WorldMap.settleOffers = false;
	const TApiRun answered = Run("return api_scenario_propose_alliance('sera', 2, 0)");
	EXPECT_TRUE(answered.suspended);
	EXPECT_TRUE(answered.ok);
	EXPECT_EQ(0, answered.results);
	EXPECT_EQ((std::vector<std::string>{"ProposeAlliance 1 6 120", "ProposeAlliance 2 2 0"}), m_WorldMap.calls);
}

TEST_F(ApiWorldTurn, NothingThatRunsWhileAnOfferIsAnsweredMaySuspend)
{
	// The partner's script answers inside the proposer's call, as the world map runs it.
	TMorvalethLuaManager partner;
	partner.SetContext(nullptr, nullptr, &m_WorldMap);
	ASSERT_TRUE(partner.LoadLua(WriteScript("partner.lua", "function on_proposed_alliance()\n"
														   "  ANSWER = {api_scenario_departure('A02', {A03 = {0}})}\n"
														   "  OFFER = {api_scenario_propose_alliance('leon', 6, 0)}\n"
														   "  return true\n"
														   "end\n")
								   .c_str()));
	bool answered = false;
	m_WorldMap.answerOffer = [&] { answered = partner.CallFunction("on_proposed_alliance") && !partner.IsSuspended(); };
	EXPECT_EQ(0, Run("return api_scenario_propose_alliance('garm', 6, 10)").results);
	EXPECT_TRUE(answered);
	EXPECT_EQ(std::vector<std::string>{"ProposeAlliance 1 6 10"}, m_WorldMap.calls);
	for (const char* name : {"api_scenario_departure", "api_scenario_propose_alliance"})
		EXPECT_EQ(1, m_Log.CountLines(std::string(name) + " was called, but an alliance offer is being answered.")) << name;
	// Once the offer is settled the proposer may go to war.
	EXPECT_TRUE(Run("return api_scenario_departure('A03', {A02 = {0}})").suspended);
}

TEST_F(ApiWorldTurn, EndingTheTurnHandsItOverAndTheScriptRunsOn)
{
	EXPECT_EQ("true", Eval("local ended = api_scenario_endturn(1, 2)\n"
						   "AFTER = 'went on'\n"
						   "return ended"));
	EXPECT_EQ("went on", Global("AFTER"));
	EXPECT_FALSE(m_Script.IsSuspended());
	EXPECT_EQ("true", Eval("return api_scenario_focus_area('A07')"));
	EXPECT_EQ((std::vector<std::string>{"EndTurn", "FocusArea 6"}), m_WorldMap.calls);
}
