// Times the save and the load of a large game: 200 areas with a battle map
// each, 50 masters and 2,000 characters, built as a new game from a scenario
// generated on the sample into a temporary folder. A save is the game-state
// elements built and written to a file; a load is the file parsed and the game
// read back, battle maps included.
// Usage: bench_save [source tree]; prints the best and mean times of each.

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"

#include <boost/filesystem.hpp>
#include <cstdio>
#include <functional>
#include <string>
#include <tinyxml.h>

namespace fs = boost::filesystem;

namespace
{
const int RUNS = 10;
const double GOAL_MS = 100.0;

int CountCharas(const TMorvalethGame& game)
{
	int count = static_cast<int>(game.GetWanderCharas().size() + game.GetDeadCharas().size());
	for (int a = 0; a < game.GetAreaCount(); ++a)
		count += static_cast<int>(game.GetArea(a).Charas.size());
	return count;
}

/// The game's state written to the file as a save document.
bool Save(const TMorvalethGame& game, const std::string& path)
{
	TiXmlDocument document;
	TiXmlElement* root = new TiXmlElement("Save");
	document.LinkEndChild(root);
	return game.SaveToXML(root) && document.SaveFile(path.c_str());
}

/// A new game state read back from the save file.
bool Load(const TMorvalethData& data, const std::string& folder, const std::string& path)
{
	TiXmlDocument document;
	TMorvalethGame game;
	return LoadXmlFile(document, path) == TXmlFileState::Loaded
		&& game.LoadSaved(&data, folder, 0, document.FirstChildElement("Save"));
}

/// Runs the step RUNS times and prints its best and mean time; false when a run fails.
bool Measure(const char* label, const std::function<bool()>& step)
{
	TRunTimes times;
	if (!TimeRuns(RUNS, step, times))
		return false;
	PrintRunTimes(label, times, RUNS, GOAL_MS);
	return true;
}
}

int main(int argc, char** argv)
{
	// Without an argument, the source tree this file was compiled from.
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path().parent_path().parent_path();
	const fs::path large = WriteLargeGame(source / "data/Scenario/Default", "bench-save", true);
	const std::string folder = large.string();
	const std::string path = (large.parent_path() / "save00.xml").string();
	TMorvalethData data;
	TMorvalethGame game;
	bool ok = data.Load(folder, 0) && game.LoadNew(&data, folder, 0, 3);
	if (ok) {
		game.ActivateNextMaster();
		std::printf("%d areas, %d masters, %d characters\n", game.GetAreaCount(), game.GetMasterCount(), CountCharas(game));
		for (int level : {2, 3}) {
			g_Logger.SetLevel(level);
			g_Config.m_LogLevel = level;
			std::printf("log level %d%s\n", level, level == 3 ? " (default)" : "");
			ok = ok && Measure("  save (build, write file)", [&] { return Save(game, path); })
				&& Measure("  load (parse, read, maps)", [&] { return Load(data, folder, path); })
				&& Measure("    of which the battle maps", [&] { return TMorvalethGame(game).LoadAreaMap(folder); });
		}
	}
	fs::remove_all(large.parent_path());
	if (!ok) {
		std::printf("the generated game could not be built, saved or loaded (see log.txt)\n");
		return 1;
	}
	return 0;
}
