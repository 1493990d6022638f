// What the world and master functions answer about the first chapter of the sample, in the
// shapes scripts walk, and what their changes do to the game.

#include "unit/ApiWorldFixture.h"
#include "unit/ModelFixture.h"

#include "app/GameMaster.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/ApiScenario.h"

#include <climits>

namespace
{
// Lua helpers the checks share: a table's entries as sorted "key=value" text, records of characters.
const std::string HELPERS = "local function sorted(t)\n"
							"  local out = {}\n"
							"  for k, v in pairs(t) do out[#out + 1] = tostring(k) .. '=' .. tostring(v) end\n"
							"  table.sort(out)\n"
							"  return table.concat(out, ' ')\n"
							"end\n"
							"local function records(list)\n"
							"  local out = {}\n"
							"  for i, r in ipairs(list) do out[i] = r.id .. ':' .. tostring(r.actioned) .. ':' .. r.power end\n"
							"  return table.concat(out, ' ')\n"
							"end\n";

class ApiWorldState : public ApiWorldTest
{
protected:
	std::string Ask(const std::string& code) { return Eval(HELPERS + code); }
	const TAreaInstance& Area(const char* id) { return Game().GetArea(Game().GetAreaIndex(id)); }
	int Money(const char* master) { return Game().GetMaster(Game().GetMasterIndexByID(master)).Money; }
};
}

TEST_F(ApiWorldState, AnswersComeInTheShapesScriptsWalk)
{
	EXPECT_EQ("A01=leon:A02,A05 A02=leon:A01,A03,A06 A03=garm:A02,A04,A07 A04=garm:A03 A05=sera:A01,A06 "
			  "A06=-:A05,A02,A07 A07=-:A06,A03",
		Ask("local out = {}\n"
			"for id, a in pairs(api_scenario_get_allarea()) do\n"
			"  out[id] = (a.master or '-') .. ':' .. table.concat(a.neighbor, ',')\n"
			"end\n"
			"return sorted(out)"));
	EXPECT_EQ("leon:false:5 knight:false:2", Ask("return records(api_scenario_get_area_allchara('A01'))"));
	// Hire candidates of the employer and of the area, each once, at the computer masters' price.
	EXPECT_EQ("archer=72 knight=108 militia=36 soldier=54", Ask("return sorted(api_scenario_get_area_employable('A01', 0))"));
	EXPECT_EQ("money=" + std::to_string(Money("leon")) + " name=レオン player=false", Ask("return sorted(api_get_master('leon'))"));
	EXPECT_EQ("leon garm sera", Ask("return table.concat(api_get_allmaster(), ' ')"));
	EXPECT_EQ("id=archer power=1", Ask("return sorted(api_get_chara_data('archer'))"));
	EXPECT_EQ("-1 2 nil", Ask("return api_find_alliance('sera', 'garm') .. ' ' .. api_find_alliance('leon', 'sera') .. ' '"
							  " .. tostring((api_find_alliance('leon', 'garm')))"));
	// A master whose own character left its areas is defeated, though it still exists.
	EXPECT_EQ("", Ask("return table.concat(api_last_dead_master(), ' ')"));
	EXPECT_EQ("garm true false", Ask("api_scenario_remove_chara('garm')\n"
									 "return table.concat(api_last_dead_master(), ' ') .. ' '\n"
									 "  .. tostring(api_master_is_exists('garm')) .. ' '"
									 "  .. tostring(api_scenario_get_master_exists_area('garm'))"));
}

TEST_F(ApiWorldState, SumsStayWithinTheirLimits)
{
	const TAreaInstance& a01 = Area("A01");
	const int road = a01.Road;
	EXPECT_EQ("true", Ask("return api_scenario_plus_area_city('A01', 2147483647) and api_scenario_plus_area_wall('A01', -2147483648)"
						  " and api_scenario_plus_area_road('A01', 1.9)"));
	EXPECT_EQ(a01.CityMax, a01.City);
	EXPECT_EQ(0, a01.Wall);
	EXPECT_EQ(road + 1, a01.Road);
	EXPECT_EQ("true", Ask("return api_master_plus_ley('garm', 2147483647) and api_master_plus_ley('garm', 2147483647)"
						  " and api_master_plus_ley('leon', -2147483648) and api_master_plus_ley('leon', -2147483648)"));
	EXPECT_EQ(INT_MAX, Money("garm"));
	EXPECT_EQ(INT_MIN, Money("leon"));
}

TEST_F(ApiWorldState, CharactersPlacedByScriptKeepTheLimitAndHeroesStandOnce)
{
	EXPECT_EQ("true", Ask("for i = 1, 21 do api_scenario_insert_area_chara('A06', 'militia') end\n"
						  "return api_scenario_insert_area_chara('A06', 'militia', true)"));
	EXPECT_EQ(21u, Area("A06").Charas.size());
	EXPECT_EQ(1, m_Log.CountLines("api_scenario_insert_area_chara(A06, militia) error:エリアのキャラ数が上限に達しているためキャラ追加できません。"));
	// A wandering hero comes with its record, once.
	EXPECT_EQ("true nil A02", Ask("return tostring(api_scenario_insert_area_chara('A02', 'kaya')) .. ' '\n"
								  "  .. tostring((api_scenario_insert_area_chara('A06', 'kaya', true))) .. ' '\n"
								  "  .. api_scenario_get_chara_exists_area('kaya')"));
	EXPECT_EQ(1u, Game().GetWanderCharas().size());
	// The first of a definition goes from every area that holds one.
	EXPECT_EQ("true A06", Ask("api_scenario_insert_area_chara('A03', 'militia')\n"
							  "return tostring(api_scenario_remove_chara('militia')) .. ' ' .. api_scenario_get_chara_exists_area('militia')"));
	EXPECT_EQ(20u, Area("A06").Charas.size());
}

TEST_F(ApiWorldState, EndingSwitchesCountAndEndWithTheirGame)
{
	Game().SetMasterPlayer(g_GameMaster.m_Data->GetMasterIndex("leon"), true);
	EXPECT_EQ("false false", Ask("return tostring(api_scenario_is_ending()) .. ' ' .. tostring(api_scenario_is_ending('nosuch'))"));
	Game().SetGameEnd();
	EXPECT_EQ("true true false nil", Ask("return tostring(api_scenario_is_ending()) .. ' ' .. tostring(api_scenario_is_ending('leon'))"
										 " .. ' ' .. tostring(api_scenario_is_ending('garm')) .. ' ' .. tostring((api_scenario_is_ending('x')))"));
	EXPECT_EQ(1, m_Log.CountLines("api_scenario_is_ending(x) error:マスターIDが誤っています。"));
	// Off twice and on once leaves it off, until the next game.
	EXPECT_EQ("false", Ask("api_scenario_set_ending_enabled('leon', false)\n"
						   "api_scenario_set_ending_enabled('leon', false)\n"
						   "api_scenario_set_ending_enabled('leon', true)\n"
						   "return api_scenario_is_ending('leon')"));
	ClearEndingFlags();
	EXPECT_EQ("true", Ask("return api_scenario_is_ending('leon')"));
}

TEST_F(ApiWorldState, AMasterChangesIntoAnotherWithoutStandingTwiceInTheGame)
{
	// A scenario with a master that no chapter places: bran, a hero.
	TSampleCopy copy;
	copy.Replace("Data/MasterData.xml", "</MasterList>", "<Master id=\"bran\"><Name>ブラン</Name></Master></MasterList>");
	UseScenario(copy.Folder());
	const int garm = Game().GetMasterIndexByID("garm");
	EXPECT_EQ(0, Run("api_scenario_insert_area_chara('A06', 'bran')\n"
					 "return api_change_master_type('garm', 'bran', 'garm')").results);
	EXPECT_EQ(1, m_Log.CountLines("api_change_master_type(garm, bran, garm) error:変更後のマスターのキャラは既に存在します。"));
	// Without the new master's character in play, it takes the old one's place and rank, and in a running
	// battle the master's side rebuilds it as well.
	EXPECT_EQ("true", Ask("return api_scenario_remove_chara('bran')"));
	StartBattle();
	EXPECT_EQ(0, Run("return api_change_master_type('garm', 'bran', 'garm')").results);
	const int bran = g_GameMaster.m_Data->GetCharaIndex("bran");
	EXPECT_EQ(std::vector<std::string>{"ChangeChara 1 0 " + std::to_string(bran)}, m_Battle.changes);
	EXPECT_EQ(g_GameMaster.m_Data->GetMasterIndex("bran"), Game().GetMaster(garm).DataIndex);
	EXPECT_EQ("bran nil", Ask("return api_get_chara_master('bran') .. ' ' .. tostring((api_get_chara_master('garm')))"));
	EXPECT_EQ(2, Area("A03").Charas[0].Rank);
}

TEST_F(ApiWorldState, InABattleAHeroCountsWhileItsCopyThereHasHitPoints)
{
	const std::string ask = "return tostring(api_exists_hero('leon', 'leon')) .. ' ' .. tostring(api_exists_hero('leon', 'knight'))"
							" .. ' ' .. tostring(api_exists_hero('sera', 'sera')) .. ' ' .. tostring(api_exists_hero('leon', 'garm'))";
	EXPECT_EQ("true true true false", Ask(ask));
	StartBattle();
	EXPECT_EQ("false true true false", Ask(ask));
}
