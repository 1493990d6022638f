// Times the battle rules that run for every chara's turn: the move fill on a typical and on the
// largest map, the retreat search against 40 fast enemies, and the range and target set of a
// special of range 32 and radius 32. The data is the sample scenario's, with one character of
// movement 16 added.
// Usage: bench_battle_rules [source tree]; prints the best and mean times against the goals.

#include "app/Logger.h"
#include "battle/BattleField.h"
#include "battle/BattleMap.h"
#include "battle/MoveRules.h"
#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "model/SpecialData.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"

#include <boost/filesystem.hpp>
#include <cstdio>
#include <memory>
#include <string>
#include <tinyxml.h>

namespace fs = boost::filesystem;

namespace
{
const int RUNS = 200;
/// Terrain chips of the sample: 0 is plain (walking costs 1), 2 is forest (walking costs 2).
const int PLAIN_CHIP = 0;
const int FOREST_CHIP = 2;

const char* const RUNNER = R"(<Character id="runner"><Name>runner</Name><Race value="human"/>
	<EmployCost value="30"/><TurnCost value="3"/><MoveType value="walk"/><Movable value="16"/><HP value="40"/>
	<MP value="0"/><PhysicalAttack value="14"/><PhysicalDefense value="12"/><Skill value="10"/><Speed value="10"/>
	<MagicAttack value="0"/><MagicDefense value="6"/><Morale value="50"/><Aggressive value="50"/>
	<HPRecover value="3"/><MPRecover value="0"/><Power value="1"/><Experience value="10"/>
	<Attack Power="12" specialid="sword"/><BattleChip>chip_soldier.png</BattleChip></Character>)";

/// Object chip of a city in the sample.
const int CITY_OBJECT = 1;

/// A layer of rows holding the value, but for cell (20, 20), which holds the corner value.
std::string Rows(const char* layer, int width, int height, int value, int cornerValue)
{
	std::string xml = std::string("<") + layer + ">";
	for (int y = 0; y < height; ++y) {
		std::string row;
		for (int x = 0; x < width; ++x)
			row += (x ? "," : "") + std::to_string(x == 20 && y == 20 ? cornerValue : value);
		xml += "<L" + std::to_string(y) + ">" + row + "</L" + std::to_string(y) + ">";
	}
	return xml + "</" + layer + ">";
}

/// A map of one terrain; with a city, one city stands at (20, 20).
std::unique_ptr<TBattleMap> MakeMap(const TMorvalethData& data, int width, int height, int chip, bool city = false)
{
	const int object = city ? CITY_OBJECT : 0;
	const std::string xml = "<BattleMap Width=\"" + std::to_string(width) + "\" Height=\"" + std::to_string(height)
		+ "\" City=\"0\" Wall=\"0\" Road=\"0\">" + Rows("MapChip", width, height, chip, chip)
		+ Rows("MapObject", width, height, 0, object) + Rows("MapObjectNo", width, height, 0, object)
		+ Rows("MapHeight", width, height, 0, 0) + "<NeighborArea/></BattleMap>";
	TiXmlDocument document;
	document.Parse(xml.c_str());
	auto map = std::make_unique<TBattleMap>(0, 0);
	if (!map->Load(document.RootElement(), "bench", data))
		return nullptr;
	map->SetCity(width * height);
	return map->BuildMapType(data) ? std::move(map) : nullptr;
}

/// A battlefield with one chara of the mover's character in side 1 and enemies in side 0.
struct TBench
{
	TBench(const TMorvalethData& data, TMorvalethGame& game, TBattleMap& map) : sides(2)
	{
		field.data = &data;
		field.map = &map;
		field.masters = {-1, -1};
		field.dead.assign(2, std::vector<int>());
		field.sides = {&sides[0], &sides[1]};
		field.ClearLayers();
		this->game = &game;
	}

	void Add(int side, const std::string& id, int x, int y)
	{
		sides[side].push_back(game->CreateCharaInstance(field.data->GetCharaIndex(id), 0));
		field.Put({side, static_cast<int>(sides[side].size()) - 1}, x, y);
	}

	TMorvalethGame* game;
	std::vector<std::vector<TCharaInstance>> sides;
	TBattleField field;
};

void Report(const char* label, const TRunTimes& times, double goalMs)
{
	std::printf("%-44s best %7.3f ms  mean %7.3f ms  (goal %.1f ms: %s)\n", label, times.best, times.mean, goalMs,
		times.mean < goalMs ? "met" : "missed");
}

bool TimeFill(TBench& bench, int points, const char* label, double goalMs)
{
	const TCharaInstance& mover = bench.sides[1][0];
	TValueLayer<int> move(bench.field.Width(), bench.field.Height());
	TValueLayer<point_t> from(move.Width(), move.Height());
	TRunTimes times;
	if (!TimeRuns(RUNS, [&] {
			move.Fill(0);
			from.Fill(point_t());
			return FillMoveLayer(bench.field, 1, mover, mover.BattleX, mover.BattleY, points, move, from, false);
		}, times))
		return false;
	Report(label, times, goalMs);
	return true;
}

bool BenchTypicalFill(const TMorvalethData& data, TMorvalethGame& game)
{
	std::unique_ptr<TBattleMap> map = MakeMap(data, 30, 20, FOREST_CHIP);
	if (!map)
		return false;
	TBench bench(data, game, *map);
	bench.Add(1, "soldier", 15, 10);
	for (int i = 0; i < 20; ++i)
		bench.Add(0, "soldier", 2 + (i % 10) * 3, i < 10 ? 2 : 17);
	return TimeFill(bench, 24, "move fill 30x20, 24 points, cost 2, 20 enemies", 0.2);
}

// A city caps what an attacker keeps at one point, which leaves the fill fewer shortcuts.
bool BenchLargeFill(const TMorvalethData& data, TMorvalethGame& game, bool city, const char* label)
{
	std::unique_ptr<TBattleMap> map = MakeMap(data, 65, 65, PLAIN_CHIP, city);
	if (!map)
		return false;
	TBench bench(data, game, *map);
	bench.Add(1, "soldier", 32, 32);
	return TimeFill(bench, 60, label, 2.0);
}

bool BenchRunaway(const TMorvalethData& data, TMorvalethGame& game)
{
	std::unique_ptr<TBattleMap> map = MakeMap(data, 65, 65, PLAIN_CHIP);
	if (!map)
		return false;
	TBench bench(data, game, *map);
	bench.Add(1, "soldier", 32, 32);
	for (int i = 0; i < 40; ++i)
		bench.Add(0, "runner", 4 + (i % 10) * 6, 4 + (i / 10) * 16);
	const TCharaInstance& mover = bench.sides[1][0];
	TValueLayer<int> move(65, 65);
	TValueLayer<point_t> from(65, 65);
	if (!FillMoveLayer(bench.field, 1, mover, 32, 32, 60, move, from, false))
		return false;
	TRunTimes times;
	point_t cell;
	if (!TimeRuns(RUNS, [&] { return FindRunawayCell(bench.field, 1, mover, move, cell); }, times))
		return false;
	Report("retreat search 65x65, 40 enemies of movement 16", times, 2.0);
	return true;
}

bool BenchRange(const TMorvalethData& data, TMorvalethGame& game)
{
	std::unique_ptr<TBattleMap> map = MakeMap(data, 65, 65, PLAIN_CHIP);
	if (!map)
		return false;
	TBench bench(data, game, *map);
	TValueLayer<int> layer(0, 0);
	std::vector<point_t> cells;
	std::vector<TCharaRef> dead;
	TRunTimes times;
	if (!TimeRuns(RUNS, [&] {
			cells.clear();
			GetTargetCells(bench.field, 1, {32, 32}, {40, 30}, 32, RANGE_NORMAL, 0, cells, dead);
			return GetRange(bench.field, layer, 32, 32, RANGE_NORMAL, 32, 32, 1) && !cells.empty();
		}, times))
		return false;
	Report("range and target set, range 32, radius 32", times, 1.0);
	return true;
}
}

int main(int argc, char** argv)
{
	// Without an argument, the source tree this file was compiled from.
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path().parent_path().parent_path();
	const fs::path folder = CopySampleScenario(source / "data/Scenario/Default", "bench-battle-rules", true);
	AppendToRoot(folder / "DefChar/CharacterData.xml", "</CharacterList>", RUNNER);
	g_Logger.SetLevel(1);
	TMorvalethData data;
	if (!data.Load(folder.string(), 0)) {
		std::fprintf(stderr, "the sample scenario at %s does not load\n", folder.string().c_str());
		return 1;
	}
	TMorvalethGame game;
	game.SetData(&data);
	const bool ok = BenchTypicalFill(data, game) && BenchLargeFill(data, game, false, "move fill 65x65, 60 points, cost 1")
		&& BenchLargeFill(data, game, true, "move fill 65x65, 60 points, attacker, a city") && BenchRunaway(data, game)
		&& BenchRange(data, game);
	fs::remove_all(folder);
	if (!ok) {
		std::fprintf(stderr, "a benchmark step failed; see log.txt\n");
		return 1;
	}
	return 0;
}
