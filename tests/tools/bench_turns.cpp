// Times a full turn cycle of the strategic game: every master ends its turn (its
// areas carry out their standing orders), the end of the game is tested each time,
// and a new turn begins with income, upkeep and the alliance count-down.
// The game is generated: 200 areas on a 20 x 10 grid and 50 masters holding 3 areas
// each, on the sample scenario with more masters added to its data; then the same
// game grown 2, 4 and 8 times (rows of the grid and masters), to show how a cycle's
// cost grows. The shared generator is seeded before each game is built.
// Usage: bench_turns [source tree]; prints the best and mean cycle times.

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"

#include <boost/filesystem.hpp>
#include <cstdio>
#include <string>

namespace fs = boost::filesystem;

namespace
{
const int MASTERS = 50;
const int GRID_WIDTH = 20;
const int GRID_HEIGHT = 10;
const int AREAS_PER_MASTER = 3;
const int CYCLES = 50;
const int SCALES[] = {1, 2, 4, 8};
const int SCALE_MAX = 8;
const double GOAL_MS = 5.0;

std::string MasterId(int i)
{
	return "boss" + std::to_string(i);
}

/// A copy of the sample with enough more masters for the largest game, each with a character made after the sample's "leon".
fs::path WriteLargeScenario(const fs::path& sample)
{
	const fs::path folder = CopySampleScenario(sample, "bench-turns", false);
	std::string masters;
	std::string charas;
	for (int i = 0; i < MASTERS * SCALE_MAX; ++i) {
		charas += MasterCharacterLike(folder, MasterId(i));
		masters += "<Master id=\"" + MasterId(i) + "\"><Name>" + MasterId(i) + "</Name><PowerMapColor>FF102030"
			"</PowerMapColor><FlagFile>flag_leon.png</FlagFile></Master>\n";
	}
	AppendToRoot(folder / "DefChar/CharacterData.xml", "</CharacterList>", charas);
	AppendToRoot(folder / "Data/MasterData.xml", "</MasterList>", masters);
	return folder;
}

/// Area i of a grid of the given rows: its id and its neighbours to the left, right, above and below.
TAreaInstance GridArea(int i, int rows)
{
	const auto id = [](int k) { return "A" + std::to_string(1000 + k); };
	TAreaInstance area;
	area.id = id(i);
	area.Name = area.id;
	area.BaseIncome = 10 + i % 7;
	area.CityMax = 12;
	area.WallMax = 10;
	area.RoadMax = 6;
	area.InhabitCost = 100;
	area.Operation = i % OPERATION_COUNT;
	const int x = i % GRID_WIDTH;
	const int y = i / GRID_WIDTH;
	if (x > 0)
		area.NeighborIds.push_back(id(i - 1));
	if (x + 1 < GRID_WIDTH)
		area.NeighborIds.push_back(id(i + 1));
	if (y > 0)
		area.NeighborIds.push_back(id(i - GRID_WIDTH));
	if (y + 1 < rows)
		area.NeighborIds.push_back(id(i + GRID_WIDTH));
	return area;
}

/// The generated game grown by the scale: master m holds areas 3m..3m+2 with its character in the first;
/// a quarter of the areas are neutral.
bool BuildGame(TMorvalethGame& game, const TMorvalethData& data, int scale)
{
	const std::vector<int> troops = {data.GetCharaIndex("soldier"), data.GetCharaIndex("knight"),
		data.GetCharaIndex("archer"), data.GetCharaIndex("militia")};
	game.SetData(&data);
	game.SetGameLevel(3);
	std::vector<TAreaInstance> areas;
	for (int i = 0; i < GRID_WIDTH * GRID_HEIGHT * scale; ++i) {
		areas.push_back(GridArea(i, GRID_HEIGHT * scale));
		areas.back().Inhabit = troops;
	}
	if (!game.SetAreas(areas))
		return false;
	for (int m = 0; m < MASTERS * scale; ++m) {
		game.AddMaster(data.GetMasterIndex(MasterId(m)), 1000);
		for (int k = 0; k < AREAS_PER_MASTER; ++k)
			game.GetArea(m * AREAS_PER_MASTER + k).Owner = m;
		game.GetArea(m * AREAS_PER_MASTER).Charas.push_back(
			game.CreateCharaInstance(data.GetCharaIndex(MasterId(m)), 1));
		if (m % 2 == 1)
			game.SetAlliance(m - 1, m, m % 10 == 1 ? ALLIANCE_ENDLESS : 3 + m % 5);
	}
	game.GetMaster(0).Player = true;
	game.PlaceAllInhabitants();
	game.CalcMasterPower();
	game.SetTurn(0, -1);
	return true;
}

/// Every master ends its turn once, until a new turn has begun.
void PlayCycle(TMorvalethGame& game)
{
	bool newTurn = false;
	while (!newTurn) {
		if (game.CheckGameEnd())
			game.SetGameEnd();
		newTurn = game.ActivateNextMaster();
	}
}

int CountStationed(const TMorvalethGame& game)
{
	int count = 0;
	for (int a = 0; a < game.GetAreaCount(); ++a)
		count += static_cast<int>(game.GetArea(a).Charas.size());
	return count;
}

/// Plays CYCLES turn cycles, one a run, and prints the best and mean time of one.
void Measure(const char* label, TMorvalethGame game)
{
	TRunTimes times;
	TimeRuns(CYCLES, [&game] {
		PlayCycle(game);
		return true;
	}, times);
	PrintRunTimes(label, times, CYCLES, GOAL_MS);
}
}

int main(int argc, char** argv)
{
	// Without an argument, the source tree this file was compiled from.
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path().parent_path().parent_path();
	const fs::path large = WriteLargeScenario(source / "data/Scenario/Default");
	TMorvalethData data;
	const bool loaded = data.Load(large.string(), 0);
	fs::remove_all(large.parent_path());
	if (!loaded) {
		std::printf("the generated scenario could not be loaded (see log.txt)\n");
		return 1;
	}
	for (int scale : SCALES) {
		TMorvalethGame game;
		SeedRandom(1);
		if (!BuildGame(game, data, scale)) {
			std::printf("the generated game could not be built (see log.txt)\n");
			return 1;
		}
		PlayCycle(game);
		std::printf("%dx: %d areas, %d masters, %d characters stationed\n", scale, game.GetAreaCount(),
			game.GetMasterCount(), CountStationed(game));
		for (int level : {2, 3}) {
			g_Logger.SetLevel(level);
			g_Config.m_LogLevel = level;
			Measure(level == 2 ? "  log level 2" : "  log level 3 (default)", game);
		}
	}
	return 0;
}
