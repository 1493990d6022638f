#include "unit/ApiWorldFixture.h"

#include "unit/GameSaveFixture.h"
#include "unit/ModelFixture.h"

#include "app/GameMaster.h"
#include "app/Random.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/ApiScenario.h"
#include "script/ScriptAPI.h"

#include <boost/make_shared.hpp>
#include <lua.h>
#include <algorithm>
#include <sstream>

namespace
{
// The run function keeps what the call returned in RESULT, with its count.
const char* const STRATEGY_SCRIPT = "local function pack(...) return {n = select('#', ...), ...} end\n"
									"function run(code)\n"
									"  local f = assert(loadstring(code, '=case'))\n"
									"  RESULT = pack(f())\n"
									"  return true\n"
									"end\n";

const boost::shared_ptr<TMorvalethData>& Database()
{
	static const boost::shared_ptr<TMorvalethData> data = [] {
		boost::shared_ptr<TMorvalethData> loaded = boost::make_shared<TMorvalethData>();
		EXPECT_TRUE(loaded->Load(SampleScenario(), 0));
		return loaded;
	}();
	return data;
}

template <typename... Values>
std::string Line(const char* name, const Values&... values)
{
	std::ostringstream out;
	out << name;
	((out << ' ' << values), ...);
	return out.str();
}
}

void TRecordingWorldMap::FocusArea(int area)
{
	calls.push_back(Line("FocusArea", area));
}

void TRecordingWorldMap::EndTurn()
{
	calls.push_back("EndTurn");
}

void TRecordingWorldMap::Departure(int target, const std::vector<std::pair<int, int>>& departures)
{
	std::ostringstream army;
	for (const auto& pair : departures)
		army << ' ' << pair.first << ':' << pair.second;
	calls.push_back(Line("Departure", target) + army.str());
}

bool TRecordingWorldMap::ProposeAlliance(int partner, int turns, int price)
{
	calls.push_back(Line("ProposeAlliance", partner, turns, price));
	if (answerOffer)
		answerOffer();
	return settleOffers;
}

int TSidesBattle::GetSideIndex(int masterData) const
{
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	const auto found = std::find_if(masters.begin(), masters.end(), [&](int master) {
		return master >= 0 && game.GetMaster(master).DataIndex == masterData;
	});
	return found == masters.end() ? -1 : int(found - masters.begin());
}

bool TSidesBattle::FindChara(int side, int charaData, int& index) const
{
	index = FindCharaInList(sides.at(side), charaData);
	return index >= 0;
}

bool TSidesBattle::GetCharaStatus(int side, int index, TCharaInstance& chara) const
{
	chara = sides.at(side).at(index);
	return true;
}

bool TSidesBattle::ChangeChara(int side, int index, int charaData)
{
	changes.push_back(Line("ChangeChara", side, index, charaData));
	return true;
}

ApiWorldTest::ApiWorldTest() : m_Folder(SampleScenario())
{
	g_GameMaster.m_Data = Database();
	NewGame();
	m_Script.SetContext(&m_Battle, nullptr, &m_WorldMap);
	EXPECT_TRUE(m_Script.LoadLua(WriteScript("strategy.lua", STRATEGY_SCRIPT).c_str()));
}

ApiWorldTest::~ApiWorldTest()
{
	ClearEndingFlags();
	g_GameMaster.m_Game.reset();
	g_GameMaster.m_Data.reset();
}

void ApiWorldTest::NewGame(bool leonInTurn)
{
	SeedRandom(7);
	g_GameMaster.m_Game = boost::make_shared<TMorvalethGame>();
	ASSERT_TRUE(Game().LoadNew(g_GameMaster.m_Data.get(), m_Folder, 0, 3));
	if (!leonInTurn)
		return;
	const int leon = Game().GetMasterIndexByID("leon");
	for (int tries = 0; tries < 4 && Game().GetCurrentMaster() != leon; ++tries)
		Game().ActivateNextMaster();
	ASSERT_EQ(leon, Game().GetCurrentMaster());
}

void ApiWorldTest::UseScenario(const std::string& folder)
{
	m_Folder = folder;
	g_GameMaster.m_Data = boost::make_shared<TMorvalethData>();
	ASSERT_TRUE(g_GameMaster.m_Data->Load(folder, 0));
	NewGame();
}

void ApiWorldTest::StartBattle()
{
	const TMorvalethData& data = *g_GameMaster.m_Data;
	const auto chara = [&](const char* id, int hp) {
		TCharaInstance instance = Game().CreateCharaInstance(data.GetCharaIndex(id), 0);
		instance.HP = hp;
		return instance;
	};
	m_Battle.masters = {Game().GetMasterIndexByID("leon"), Game().GetMasterIndexByID("garm")};
	m_Battle.sides = {{chara("leon", 0), chara("knight", 10)}, {chara("garm", 10)}};
	m_Battle.running = true;
}

TApiRun ApiWorldTest::Run(const std::string& code)
{
	lua_State* L = m_Script.GetState();
	RunChunk(L, "RESULT = nil");
	TApiRun run;
	// What the test itself wrote into the areas counts before the run; whatever the engine functions change
	// must be counted by them.
	const boost::shared_ptr<TMorvalethGame> game = g_GameMaster.m_Game;
	if (game)
		game->CalcIncome();
	run.ok = m_Script.CallFunction("run", {code});
	run.suspended = m_Script.IsSuspended();
	if (run.ok && run.suspended)
		run.ok = m_Script.Resume() && !m_Script.IsSuspended();
	if (game) {
		EXPECT_EQ("", IncomeMismatch(static_cast<const TMorvalethGame&>(*game), *g_GameMaster.m_Data)) << code;
	}
	if (run.ok) {
		EXPECT_EQ("", RunChunk(L, "return RESULT.n"));
		run.results = int(lua_tonumber(L, -1));
		lua_settop(L, 0);
	}
	return run;
}

std::string ApiWorldTest::Eval(const std::string& code)
{
	if (!Run(code).ok) {
		const std::vector<std::string> log = ScriptLog();
		ADD_FAILURE() << code << "\nfailed: " << (log.empty() ? "" : log.back());
	}
	lua_State* L = m_Script.GetState();
	EXPECT_EQ("", RunChunk(L, "return tostring(RESULT and RESULT[1])")) << code;
	const std::string value = lua_tostring(L, -1);
	lua_pop(L, 1);
	return value;
}

void ApiWorldTest::UseScriptWindows(bool use)
{
	m_ScriptWindows.reset(use ? new TScriptAPI(nullptr) : nullptr);
	m_Script.SetContext(&m_Battle, m_ScriptWindows.get(), &m_WorldMap);
}

std::string ApiWorldTest::SavedGame() const
{
	std::string text = SaveText(Game());
	for (const std::string& line : DescribeGame(Game()))
		text += "\n" + line;
	return text;
}

TMorvalethGame& ApiWorldTest::Game() const
{
	return *g_GameMaster.m_Game;
}
