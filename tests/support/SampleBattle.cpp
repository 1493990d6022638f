#include "support/SampleBattle.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Random.h"
#include "model/CharaData.h"
#include "model/MasterData.h"
#include "model/SpecialData.h"

#include <boost/make_shared.hpp>
#include <sstream>
#include <tinyxml.h>

namespace
{
const char* const AREA = "A02";
const char* const DEFENDER = "leon";
const char* const ATTACKER = "garm";
/// The neighbour the attackers come from, and its index among the start point sets of a plain map.
const char* const SOURCE_AREA = "A03";
/// Objects of the sample: a castle, which the defenders gather round.
const int CASTLE_OBJECT = 4;
const char* const ACTION_NAMES[] = {"wait", "attack", "charge", "special", "runaway"};

/// A layer of rows holding the value, with the other value in the one cell given.
std::string Rows(const char* layer, int width, int height, int value, point_t cell, int cellValue)
{
	std::string xml = std::string("<") + layer + ">";
	for (int y = 0; y < height; ++y) {
		std::string row;
		for (int x = 0; x < width; ++x)
			row += (x ? "," : "") + std::to_string(point_t{x, y} == cell ? cellValue : value);
		xml += "<L" + std::to_string(y) + ">" + row + "</L" + std::to_string(y) + ">";
	}
	return xml + "</" + layer + ">";
}

/// A plain map with a castle at its centre and 24 start points of the attackers' area along its top rows.
std::unique_ptr<TBattleMap> PlainMap(const TMorvalethData& data, int width, int height, int sourceArea)
{
	const point_t castle = {width / 2, height / 2};
	std::string xml = "<BattleMap Width=\"" + std::to_string(width) + "\" Height=\"" + std::to_string(height)
		+ "\" City=\"0\" Wall=\"0\" Road=\"0\">" + Rows("MapChip", width, height, 0, castle, 0)
		+ Rows("MapObject", width, height, 0, castle, CASTLE_OBJECT)
		+ Rows("MapObjectNo", width, height, 0, castle, CASTLE_OBJECT) + Rows("MapHeight", width, height, 0, castle, 0)
		+ "<NeighborArea><Area id=\"" + SOURCE_AREA + "\">";
	for (int k = 0; k < 24; ++k)
		xml += "<Point" + std::to_string(k) + " x=\"" + std::to_string(1 + k % (width - 2)) + "\" y=\""
			+ std::to_string(k / (width - 2)) + "\"/>";
	xml += "</Area></NeighborArea></BattleMap>";
	TiXmlDocument document;
	document.Parse(xml.c_str());
	auto map = std::make_unique<TBattleMap>(0, 0);
	if (!map->Load(document.RootElement(), "BattleMap_Plain.xml", data))
		return nullptr;
	map->SetStartPointArea(0, sourceArea);
	return map;
}

std::string Cell(int x, int y)
{
	return "(" + std::to_string(x) + "," + std::to_string(y) + ")";
}
}

TSampleBattle::TSampleBattle(const std::string& scenarioFolder)
	: m_Data(boost::make_shared<TMorvalethData>()), logic(view, *m_Data, game), m_SavedData(g_GameMaster.m_Data),
	  m_SavedScenarioDir(g_GameMaster.m_ScenarioDir), m_SavedRootDir(g_GameMaster.m_RootDir),
	  m_SavedTurnMax(g_Config.GetIntValue(CONFIG_TURN_MAX)), m_SavedWatch(g_Config.GetBoolValue(SWITCH_WATCH_USE)),
	  m_Area(-1), m_Acted(0)
{
	if (!m_Data->Load(scenarioFolder, 0) || !game.LoadNew(m_Data.get(), scenarioFolder, 0, 3))
		return;
	// The battle finds its scripts through the game master's scenario.
	g_GameMaster.m_Data = m_Data;
	g_GameMaster.m_ScenarioDir = scenarioFolder;
	g_GameMaster.m_RootDir = scenarioFolder;
	m_Area = game.GetAreaIndex(AREA);
}

TSampleBattle::~TSampleBattle()
{
	g_GameMaster.m_Data = m_SavedData;
	g_GameMaster.m_ScenarioDir = m_SavedScenarioDir;
	g_GameMaster.m_RootDir = m_SavedRootDir;
	g_Config.SetIntValue(CONFIG_TURN_MAX, m_SavedTurnMax);
	g_Config.SetBoolValue(SWITCH_WATCH_USE, m_SavedWatch);
}

// Each side leads with its master's own character; the rest take the sample's other characters in turn,
// each side starting elsewhere in the list, at ranks 0 to 2.
void TSampleBattle::MakeSides(int perSide, std::vector<std::vector<int>>& sources)
{
	std::vector<int> pool;
	for (int c = 0; c < m_Data->GetCharaCount(); ++c)
		if (!m_Data->GetCharaData(c).IsMaster)
			pool.push_back(c);
	const char* const masters[] = {DEFENDER, ATTACKER};
	const int source = game.GetAreaIndex(SOURCE_AREA);
	for (int side = 0; side < 2; ++side) {
		const int master = m_Data->GetMasterIndex(masters[side]);
		sides[side].push_back(game.CreateCharaInstance(m_Data->GetMasterData(master).CharaIndex, 2));
		for (int j = 1; j < perSide; ++j)
			sides[side].push_back(game.CreateCharaInstance(pool[(j + 5 * side) % pool.size()], j % 3));
		sources[side].assign(sides[side].size(), side == 0 ? -1 : source);
	}
}

bool TSampleBattle::Start(const TSampleBattleSetup& setup)
{
	if (m_Area < 0)
		return false;
	g_Config.SetIntValue(CONFIG_TURN_MAX, setup.turnMax);
	g_Config.SetBoolValue(SWITCH_WATCH_USE, false);
	SeedRandom(setup.seed);
	std::vector<std::vector<int>> sources(2);
	MakeSides(setup.charasPerSide, sources);
	TBattleMap* map = game.GetArea(m_Area).BattleMap.get();
	if (setup.mapWidth > 0) {
		m_OwnMap = PlainMap(*m_Data, setup.mapWidth, setup.mapHeight, game.GetAreaIndex(SOURCE_AREA));
		map = m_OwnMap.get();
	}
	if (!map)
		return false;
	const std::vector<int> masters = {game.GetMasterIndexByID(DEFENDER), game.GetMasterIndexByID(ATTACKER)};
	return logic.Start(*map, {&sides[0], &sides[1]}, masters, m_Area, sources);
}

TSampleBattle::TSnapshot TSampleBattle::Snapshot() const
{
	TSnapshot snapshot;
	snapshot.turn = logic.GetTurn();
	snapshot.actions = logic.GetTurnsTaken();
	snapshot.sides = sides;
	return snapshot;
}

// Hit points lost or gained, flights, and charas that joined a side (summons, revivals as new charas).
std::string TSampleBattle::Changes(const TSnapshot& before) const
{
	std::ostringstream out;
	for (int side = 0; side < 2; ++side) {
		const std::vector<TCharaInstance>& was = before.sides[side];
		for (std::size_t i = 0; i < sides[side].size(); ++i) {
			const TCharaInstance& chara = sides[side][i];
			const std::string who = " " + std::to_string(side) + "/" + std::to_string(i);
			if (i >= was.size()) {
				out << who << " joins as " << m_Data->GetCharaData(chara.CharaIndex).id << " hp " << chara.HP;
				continue;
			}
			if (chara.HP != was[i].HP)
				out << who << " hp " << (chara.HP > was[i].HP ? "+" : "") << chara.HP - was[i].HP;
			if (chara.Fled && !was[i].Fled)
				out << who << " fled";
		}
	}
	return out.str();
}

void TSampleBattle::Frame()
{
	const TSnapshot before = Snapshot();
	logic.DoLogic();
	view.Tick();
	m_Acted = logic.GetTurnsTaken() - before.actions;
	const std::string changes = Changes(before);
	std::ostringstream line;
	line << "T" << before.turn;
	if (m_Acted > 0) {
		int side = -1;
		int index = -1;
		logic.GetActiveChara(side, index);
		const TCharaInstance& was = before.sides[side][index];
		const TCharaInstance& now = sides[side][index];
		const TBattleAction& action = logic.GetCommittedAction();
		line << " " << side << "/" << index << " " << m_Data->GetCharaData(now.CharaIndex).id << " "
			 << ACTION_NAMES[action.kind];
		if (action.special >= 0)
			line << " " << m_Data->GetSpecialData(action.special).id;
		line << " " << Cell(was.BattleX, was.BattleY) << "->" << Cell(now.BattleX, now.BattleY);
		if (action.kind != ACTION_KIND_WAIT && action.kind != ACTION_KIND_RUNAWAY)
			line << " at " << Cell(action.targetX, action.targetY);
	} else if (logic.GetTurn() != before.turn || !logic.IsInBattle()) {
		line << " end";
	} else if (changes.empty()) {
		return;
	}
	trace.push_back(line.str() + changes);
}
