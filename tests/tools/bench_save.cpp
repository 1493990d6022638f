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
#include "support/TestSupport.h"

#include <algorithm>
#include <boost/filesystem.hpp>
#include <cstdlib>
#include <cstdio>
#include <functional>
#include <sstream>
#include <string>
#include <tinyxml.h>

namespace fs = boost::filesystem;

namespace
{
const int MASTERS = 50;
const int GRID_WIDTH = 20;
const int GRID_HEIGHT = 10;
const int AREAS_PER_MASTER = GRID_WIDTH * GRID_HEIGHT / MASTERS;
const int CHARAS_PER_AREA = 10;
const int MAP_WIDTH = 16;
const int MAP_HEIGHT = 12;
const int START_POINTS = 20;
const int RUNS = 10;
const double GOAL_MS = 100.0;

std::string MasterId(int m)
{
	return "boss" + std::to_string(m);
}

std::string AreaId(int i)
{
	return "A" + std::to_string(1000 + i);
}

/// Neighbours of area i of the grid: left, right, above, below.
std::vector<int> Neighbors(int i)
{
	const int x = i % GRID_WIDTH;
	const int y = i / GRID_WIDTH;
	std::vector<int> found;
	if (x > 0)
		found.push_back(i - 1);
	if (x + 1 < GRID_WIDTH)
		found.push_back(i + 1);
	if (y > 0)
		found.push_back(i - GRID_WIDTH);
	if (y + 1 < GRID_HEIGHT)
		found.push_back(i + GRID_WIDTH);
	return found;
}

/// Object number of a map cell: a castle in the middle, cities around it, a wall round them, a road across.
int MapObject(int x, int y)
{
	const int dx = std::abs(x - MAP_WIDTH / 2);
	const int dy = std::abs(y - MAP_HEIGHT / 2);
	const int ring = std::max(dx, dy);
	if (ring == 0)
		return 4;
	if (ring <= 2)
		return 1;
	if (dy == 0)
		return 3;
	return ring == 3 ? 2 : 0;
}

/// A battle map file for area i, with a set of start points on the top rows for each neighbour.
std::string BattleMap(int i)
{
	std::ostringstream out;
	out << "<BattleMap Width=\"" << MAP_WIDTH << "\" Height=\"" << MAP_HEIGHT << "\" City=\"0\" Wall=\"0\" Road=\"0\">\n";
	for (const char* layer : {"MapChip", "MapObject", "MapObjectNo", "MapHeight"}) {
		out << "<" << layer << ">";
		for (int y = 0; y < MAP_HEIGHT; ++y) {
			out << "<L" << y << ">";
			for (int x = 0; x < MAP_WIDTH; ++x)
				out << (x ? "," : "") << (std::string(layer) == "MapObject" ? MapObject(x, y) : 0);
			out << "</L" << y << ">";
		}
		out << "</" << layer << ">\n";
	}
	out << "<NeighborArea>";
	for (int neighbor : Neighbors(i)) {
		out << "<Area id=\"" << AreaId(neighbor) << "\">";
		for (int p = 0; p < START_POINTS; ++p)
			out << "<Point" << p << " x=\"" << p % MAP_WIDTH << "\" y=\"" << p / MAP_WIDTH << "\"/>";
		out << "</Area>";
	}
	out << "</NeighborArea></BattleMap>\n";
	return out.str();
}

std::string AreaElement(int i)
{
	std::ostringstream out;
	out << "<Area id=\"" << AreaId(i) << "\"><Name>Area " << i << "</Name><AreaCharacter><Inhabit>"
		<< "<Character id=\"militia\"/><Character id=\"bandit\"/></Inhabit><Employable><Character id=\"soldier\"/>"
		<< "</Employable></AreaCharacter><BaseIncome>" << 10 + i % 7 << "</BaseIncome><City max=\"12\" value=\"0\"/>"
		<< "<Wall max=\"10\" ini=\"50\" value=\"0\"/><Road max=\"6\" value=\"0\"/><InhabitCost value=\"100\"/>"
		<< "<Location x=\"" << 16 + i % GRID_WIDTH * 32 << "\" y=\"" << 16 + i / GRID_WIDTH * 32 << "\"/>";
	for (int neighbor : Neighbors(i))
		out << "<NeighborArea>" << AreaId(neighbor) << "</NeighborArea>";
	out << "<Music>event.wav</Music><BattleMapFile>BM_" << AreaId(i) << ".xml</BattleMapFile></Area>\n";
	return out.str();
}

/// The chapter: master m holds areas m x 4 .. m x 4 + 3, its character and nine troops in each.
std::string Chapter()
{
	const char* const troops[] = {"soldier", "knight", "archer", "militia", "bandit"};
	std::ostringstream out;
	out << "<Chapter><Name>Large</Name><Explanation>Generated</Explanation><Turn>1</Turn>\n";
	for (int m = 0; m < MASTERS; ++m)
		out << "<Master id=\"" << MasterId(m) << "\"><Handle>h</Handle><Diffculty>d</Diffculty><Explanation>e</Explanation></Master>\n";
	for (int i = 0; i < GRID_WIDTH * GRID_HEIGHT; ++i) {
		const int m = i / AREAS_PER_MASTER;
		out << "<Area id=\"" << AreaId(i) << "\" master=\"" << MasterId(m) << "\"/>";
		for (int c = 0; c < CHARAS_PER_AREA; ++c) {
			const std::string id = c == 0 && i % AREAS_PER_MASTER == 0 ? MasterId(m) : troops[(i + c) % 5];
			out << "<Character id=\"" << id << "\" area=\"" << AreaId(i) << "\" rank=\"" << c % 3 << "\"/>";
		}
		out << "\n";
	}
	for (int m = 1; m < MASTERS; m += 2)
		out << "<Alliance id1=\"" << MasterId(m - 1) << "\" id2=\"" << MasterId(m) << "\" turn=\"" << (m % 4 == 1 ? "infinite" : "5") << "\"/>\n";
	return out.str() + "</Chapter>\n";
}

/// A copy of the sample's data files with the masters, areas, battle maps and chapter above.
fs::path WriteLargeScenario(const fs::path& sample)
{
	const fs::path folder = CopySampleScenario(sample, "bench-save", true);
	std::string masters;
	std::string charas;
	for (int m = 0; m < MASTERS; ++m) {
		charas += MasterCharacterLike(folder, MasterId(m));
		masters += "<Master id=\"" + MasterId(m) + "\"><Name>" + MasterId(m) + "</Name></Master>\n";
	}
	AppendToRoot(folder / "DefChar/CharacterData.xml", "</CharacterList>", charas);
	AppendToRoot(folder / "Data/MasterData.xml", "</MasterList>", masters);
	std::string areas = "<AreaList>\n";
	std::string paint;
	for (int i = 0; i < GRID_WIDTH * GRID_HEIGHT; ++i) {
		areas += AreaElement(i);
		paint += "<Area id=\"" + AreaId(i) + "\"><PaintPoint x=\"" + std::to_string(1 + i) + "\" y=\"1\"/></Area>\n";
		WriteFile((folder / ("Data/BM_" + AreaId(i) + ".xml")).string(), BattleMap(i));
	}
	WriteFile((folder / "Data/AreaData.xml").string(), areas + "</AreaList>\n");
	AppendToRoot(folder / "Data/PowerMap.xml", "</AreaList>", paint);
	WriteFile((folder / "Data/Scenario1.xml").string(), Chapter());
	fs::remove(folder / "Data/Scenario2.xml");
	return folder;
}

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
	const fs::path large = WriteLargeScenario(source / "data/Scenario/Default");
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
