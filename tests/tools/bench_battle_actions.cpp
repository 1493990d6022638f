// Times the action list a computer chara asks for each cell it could act from: a chara of the sample
// scenario made an arch-mage with ten magics it can cast (range 20, radius 5: the defenders round the
// castle are in reach of the attackers' row), in a battle of 20 against 20 on a 40 x 30 map. It reports
// the time of one call from the chara's own cell, where every magic is offered, and the mean time per
// call over every reachable cell, and checks the aims of the magics against asking the target set of
// every cell in range.
// Usage: bench_battle_actions [source tree]

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "battle/HexGeometry.h"
#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"
#include "support/SampleBattle.h"

#include <boost/filesystem.hpp>
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const int MAGICS = 10;
const int RUNS = 200;
const double OWN_CELL_GOAL_MS = 0.5;
const double PER_CALL_GOAL_MS = 0.05;

const char* const IDLE_SIDE = "function on_battle_start() end\nfunction on_battle_progress() end\n"
							  "function check_wish_runaway() return false end\nfunction on_chara_action() end\n";

std::string BenchSpecial(int k)
{
	return "<Special id=\"benchbolt" + std::to_string(k) + "\" rangetype=\"Normal\"><Name>bolt" + std::to_string(k)
		+ "</Name><ConsumeMP value=\"1\"/><MaxRange value=\"20\"/><MaxRadius value=\"5\"/><Power value=\"20\"/>"
		  "<PowerType>MagicAttack</PowerType><GuardType>MagicDefense</GuardType><HitType>MagicAttack</HitType>"
		  "<AvoidType>MagicDefense</AvoidType><Attribute>fire</Attribute><PowerFormula>FTMagic</PowerFormula>"
		  "<HitFormula>FTMagicHit</HitFormula><AdditionalHitFormula>Anytime</AdditionalHitFormula>"
		  "<HitJudgeType>SingleJudge</HitJudgeType><Image type=\"Chip\" width=\"32\" height=\"32\" animation=\"4\">"
		  "eff_fire.png</Image></Special>";
}

std::string BenchMagic(int k)
{
	return "<Magic id=\"benchmagic" + std::to_string(k) + "\" groupid=\"fire\"><Name>bolt" + std::to_string(k)
		+ "</Name><Guidance>-</Guidance><Entry specialid=\"benchbolt" + std::to_string(k) + "\" rank=\"1\"/></Magic>";
}

const char* const ARCHMAGE = R"(<Character id="archmage"><Name>archmage</Name><Magic id="fire" rank="3"/>
	<Race value="human"/><EmployCost value="80"/><TurnCost value="8"/><MoveType value="walk"/><Movable value="6"/>
	<HP value="40"/><MP value="200"/><PhysicalAttack value="6"/><PhysicalDefense value="8"/><Skill value="12"/>
	<Speed value="12"/><MagicAttack value="24"/><MagicDefense value="20"/><Morale value="60"/><Aggressive value="40"/>
	<HPRecover value="3"/><MPRecover value="6"/><Power value="3"/><Experience value="40"/>
	<Attack Power="6" specialid="sword"/><BattleChip>chip_mage.png</BattleChip></Character>)";

fs::path WriteScenario(const fs::path& source)
{
	const fs::path folder = CopySampleScenario(source / "data/Scenario/Default", "bench-battle-actions", true);
	std::string specials;
	std::string magics;
	for (int k = 0; k < MAGICS; ++k) {
		specials += BenchSpecial(k);
		magics += BenchMagic(k);
	}
	AppendToRoot(folder / "Element/SpecialTable.xml", "</SpecialList>", specials);
	AppendToRoot(folder / "Data/MagicTable.xml", "</MagicList>", magics);
	AppendToRoot(folder / "DefChar/CharacterData.xml", "</CharacterList>", ARCHMAGE);
	fs::create_directories(folder / "Script");
	std::FILE* file = std::fopen((folder / "Script/battlecom.lua").string().c_str(), "w");
	std::FILE* events = std::fopen((folder / "Script/battle.lua").string().c_str(), "w");
	if (file)
		std::fputs(IDLE_SIDE, file);
	if (events)
		std::fputs("-- no events\n", events);
	for (std::FILE* f : {file, events})
		if (f)
			std::fclose(f);
	return folder;
}

/// Runs the battle until an attacker chooses its action.
bool ReachAttackerTurn(TSampleBattle& battle)
{
	for (int frame = 0; frame < 10000 && battle.IsRunning(); ++frame) {
		int side = -1;
		int index = -1;
		battle.logic.GetActiveChara(side, index);
		if (battle.logic.GetState() == STATE_COMPUTER && side == 1)
			return true;
		battle.Frame();
	}
	return false;
}

/// The aims of the special's entries in the list equal those of asking every cell in range.
bool SameAsEveryCellAsked(const TBattleField& field, const TMorvalethData& data, point_t from,
	const std::vector<TBattleAction>& actions, int special)
{
	std::vector<point_t> listed;
	for (const TBattleAction& action : actions)
		if (action.kind == ACTION_KIND_SPECIAL && action.special == special)
			listed.push_back({action.targetX, action.targetY});
	std::vector<point_t> range;
	GetNeighborCells(from.x, from.y, field.Width(), field.Height(), data.GetSpecialData(special).MaxRange, range);
	std::vector<point_t> asked;
	for (const point_t& aim : range)
		if (HasTargetAt(field, from, aim, 1, special))
			asked.push_back(aim);
	return listed == asked;
}
}

int main(int argc, char** argv)
{
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(MORVALETH_SOURCE_DIR);
	const fs::path folder = WriteScenario(source);
	g_Logger.SetLevel(1);
	int status = 1;
	{
		TSampleBattle battle(folder.string());
		TSampleBattleSetup setup;
		setup.mapWidth = 40;
		setup.mapHeight = 30;
		const TMorvalethData* data = g_GameMaster.m_Data.get();
		if (!data || !battle.Start(setup) || !ReachAttackerTurn(battle)) {
			std::fprintf(stderr, "the battle does not reach an attacker's turn; see log.txt\n");
			fs::remove_all(folder);
			return 1;
		}
		int side = -1;
		int index = -1;
		battle.logic.GetActiveChara(side, index);
		battle.logic.ChangeChara(side, index, data->GetCharaIndex("archmage"));
		battle.sides[side][index].MP = 200;
		const TCharaInstance& mage = battle.sides[side][index];
		const point_t own = {mage.BattleX, mage.BattleY};
		std::vector<point_t> cells = {own};
		const TValueLayer<int> movable = battle.logic.GetMovableLayer();
		for (int y = 0; y < movable.Height(); ++y)
			for (int x = 0; x < movable.Width(); ++x)
				if (movable.At(x, y) > 0 && point_t{x, y} != own)
					cells.push_back({x, y});
		std::vector<TBattleAction> actions;
		battle.logic.GetActionList(own.x, own.y, actions);
		int specials = 0;
		bool same = true;
		for (int k = 0; k < MAGICS; ++k) {
			const int special = data->GetSpecialIndex("benchbolt" + std::to_string(k));
			same = same && SameAsEveryCellAsked(battle.logic.GetField(), *data, own, actions, special);
		}
		for (const TBattleAction& action : actions)
			specials += action.kind == ACTION_KIND_SPECIAL;
		const int ownActions = static_cast<int>(actions.size());
		TRunTimes ownTimes;
		TimeRuns(RUNS, [&] {
			battle.logic.GetActionList(own.x, own.y, actions);
			return true;
		}, ownTimes);
		TRunTimes allTimes;
		std::size_t total = 0;
		TimeRuns(RUNS / 10, [&] {
			for (const point_t& cell : cells) {
				battle.logic.GetActionList(cell.x, cell.y, actions);
				total += actions.size();
			}
			return true;
		}, allTimes);
		const double perCall = allTimes.mean / cells.size();
		std::printf("own cell: %d actions, %d aimed magics (%s the aims of every cell in range)\n",
			ownActions, specials, same ? "same as" : "DIFFERENT FROM");
		std::printf("%-44s best %7.3f ms  mean %7.3f ms  (goal %.2f ms: %s)\n", "action list, own cell, 10 magics",
			ownTimes.best, ownTimes.mean, OWN_CELL_GOAL_MS, ownTimes.mean < OWN_CELL_GOAL_MS ? "met" : "missed");
		std::printf("%-44s mean %7.4f ms per call over %d cells  (goal %.2f ms: %s)\n", "action list, every reachable cell",
			perCall, static_cast<int>(cells.size()), PER_CALL_GOAL_MS, perCall < PER_CALL_GOAL_MS ? "met" : "missed");
		status = same && specials > 0 ? 0 : 1;
	}
	fs::remove_all(folder);
	return status;
}
