#include "unit/WorldFixture.h"

#include "app/GameMaster.h"
#include "battle/BattleMap.h"
#include "model/MorvalethData.h"
#include "support/GameDescription.h"

#include <boost/filesystem.hpp>
#include <regex>
#include <sstream>

bool TFakeBattle::Start(TBattleMap&, const std::vector<std::vector<TCharaInstance>*>& battleSides,
	const std::vector<int>& battleMasters, int battleTarget, const std::vector<std::vector<int>>& battleSources)
{
	++started;
	sides = battleSides;
	masters = battleMasters;
	target = battleTarget;
	sources = battleSources;
	m_Failed = failAtStart;
	m_Running = !failAtStart;
	m_Left = frames;
	return unwatched;
}

void TFakeBattle::DoLogic()
{
	if (!m_Running || --m_Left > 0)
		return;
	if (outcome)
		outcome(*sides[0], *sides[1]);
	m_Running = false;
	m_Failed = failAtEnd;
}

namespace
{
// Objects the game master shares with the engine functions; the test owns them.
template <typename T>
boost::shared_ptr<T> Borrowed(const T& object)
{
	return boost::shared_ptr<T>(const_cast<T*>(&object), [](T*) {});
}

const char* const EVENT_SCRIPT = "function on_system_start() return true end\n"
								 "function global_script() print_log('global_script') return true end\n";
const char* const WORLD_SCRIPT = "function OnTurnEndButton() print_log('OnTurnEndButton') return true end\n"
								 "function MasterDead() print_log('MasterDead') return true end\n"
								 "function GameOver() print_log('GameOver') return true end\n";
const char* const STRATEGY_SCRIPT = "function on_myturn() print_log('on_myturn') return true end\n"
									"function on_proposed_alliance(a, b) return false end\n";
}

WorldTest::WorldTest()
	: cwd(dir.Path()), battle(new TFakeBattle), m_Battle(battle), m_PreviousRoot(g_GameMaster.m_RootDir),
	  m_PreviousScenario(g_GameMaster.m_ScenarioDir)
{
	boost::filesystem::create_directories(dir / "Script");
	g_GameMaster.m_RootDir = dir.Path();
	g_GameMaster.m_ScenarioDir = dir.Path();
	g_GameMaster.m_Data = Borrowed(SampleData());
	g_GameMaster.m_Game = Borrowed(game);
	WriteScript("EventScript.lua", EVENT_SCRIPT);
	WriteScript("world.lua", WORLD_SCRIPT);
	WriteScript("strategy.lua", STRATEGY_SCRIPT);
	game.GetMaster(leon).Player = false;
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		game.GetArea(a).BattleMap.reset(new TBattleMap(4, 4));
		game.GetArea(a).Location.x = 100 + 40 * a;
		game.GetArea(a).Location.y = 200;
	}
}

WorldTest::~WorldTest()
{
	logic.reset();
	g_GameMaster.m_Game.reset();
	g_GameMaster.m_Data.reset();
	g_GameMaster.m_RootDir = m_PreviousRoot;
	g_GameMaster.m_ScenarioDir = m_PreviousScenario;
}

void WorldTest::WriteScript(const std::string& name, const std::string& text)
{
	WriteFile(dir / ("Script/" + name), text);
}

void WorldTest::UseBattle(std::unique_ptr<TWorldBattle> other)
{
	battle = nullptr;
	m_Battle = std::move(other);
}

void WorldTest::Start(bool newGame, TiXmlElement* saveRoot)
{
	logic.reset(new TWorldMapLogic(view, game, SampleData(), nullptr, std::move(m_Battle)));
	logic->Setup(newGame, false, saveRoot);
}

void WorldTest::Frame()
{
	// What the test itself wrote into the areas counts before the frame; whatever the frame changes, the
	// controller's paths must count.
	game.CalcIncome();
	logic->Logic();
	if (TWorldBattle* running = logic->GetBattle())
		running->DoLogic();
	const TMorvalethGame& state = game;
	EXPECT_EQ("", IncomeMismatch(state, SampleData())) << "status " << Status();
}

bool WorldTest::RunUntil(const std::function<bool()>& done, int cap)
{
	for (int frame = 0; frame < cap; ++frame) {
		if (done())
			return true;
		Frame();
	}
	return done();
}

bool WorldTest::RunUntilStatus(int status, int cap)
{
	return RunUntil([this, status] { return Status() == status; }, cap);
}

std::vector<std::string> WorldTest::ScriptLog() const
{
	static const std::regex stamp("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d  ");
	std::istringstream in(ReadFile(dir / "_lualog.txt"));
	std::vector<std::string> lines;
	std::string line;
	while (std::getline(in, line))
		lines.push_back(std::regex_replace(line, stamp, ""));
	return lines;
}

int WorldTest::CountScriptLog(const std::string& text) const
{
	int count = 0;
	for (const std::string& line : ScriptLog())
		count += line.find(text) != std::string::npos;
	return count;
}

std::vector<std::pair<int, int>> WorldTest::Army(const std::string& area, int count) const
{
	std::vector<std::pair<int, int>> army;
	for (int p = 0; p < count; ++p)
		army.emplace_back(game.GetAreaIndex(area), p);
	return army;
}
