// Times a frame of the world map at 800x600 under the software renderer: the field map, every area's
// flag and name, every route with its shadow, the rings of a war and an army of ten chips on the
// march, with the GUI's logic pass; first on the sample's map, then on a generated map of 200 areas
// (a 20 x 10 grid over the same field map, three masters).
// Usage: bench_worldmap [source tree]; prints the best and mean frame times.

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GuiScreen.h"
#include "support/LargeScenario.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"
#include "world/WorldMapWindow.h"

#include <GL/gl.h>
#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>
#include <cstdio>
#include <guichan/widgets/container.hpp>
#include <sstream>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const int FRAMES = 300;
const int CHIPS = 10;
const double GOAL_MS = 4.0;
const int GRID_WIDTH = 20;
const int GRID_HEIGHT = 10;
const char* const MASTERS[] = { "leon", "garm", "sera" };

std::string AreaId(int i)
{
	return "G" + std::to_string(1000 + i);
}

/// The grid neighbours of area i: left, right, above, below.
std::vector<int> GridNeighbors(int i)
{
	const int x = i % GRID_WIDTH;
	const int y = i / GRID_WIDTH;
	std::vector<int> found;
	const int neighbors[][2] = { { x - 1, y }, { x + 1, y }, { x, y - 1 }, { x, y + 1 } };
	for (const auto& n : neighbors)
		if (n[0] >= 0 && n[0] < GRID_WIDTH && n[1] >= 0 && n[1] < GRID_HEIGHT)
			found.push_back(n[1] * GRID_WIDTH + n[0]);
	return found;
}

/// The sample's first battle map with a set of start points for each grid neighbour of area i.
std::string GridBattleMap(const std::string& sampleMap, int i)
{
	const std::string open = "<Area id=\"A02\">";
	const std::size_t points = sampleMap.find(open) + open.size();
	const std::string startPoints = sampleMap.substr(points, sampleMap.find("</Area>", points) - points);
	std::string map = sampleMap.substr(0, sampleMap.find("<NeighborArea>")) + "<NeighborArea>\n";
	for (int neighbor : GridNeighbors(i))
		map += "<Area id=\"" + AreaId(neighbor) + "\">" + startPoints + "</Area>\n";
	return map + "</NeighborArea>\n</BattleMap>\n";
}

/// Area i of the grid with its neighbours and its own battle map.
std::string GridArea(int i)
{
	const int x = i % GRID_WIDTH;
	const int y = i / GRID_WIDTH;
	std::ostringstream out;
	out << "<Area id=\"" << AreaId(i) << "\"><Name>Area" << i << "</Name><AreaCharacter><Employable>"
		<< "<Character id=\"soldier\"/></Employable></AreaCharacter><BaseIncome>10</BaseIncome>"
		<< "<City max=\"6\" value=\"0\"/><Wall max=\"6\" ini=\"50\" value=\"0\"/><Road max=\"6\" value=\"0\"/>"
		<< "<Location x=\"" << 8 + x * 31 << "\" y=\"" << 4 + y * 44 << "\"/>";
	for (int neighbor : GridNeighbors(i))
		out << "<NeighborArea>" << AreaId(neighbor) << "</NeighborArea>";
	out << "<BattleMapFile>BM_" << AreaId(i) << ".xml</BattleMapFile></Area>\n";
	return out.str();
}

/// A copy of the sample whose areas are the grid, each master holding a third of it, the rest neutral.
fs::path WriteGridScenario(const fs::path& sample)
{
	const fs::path folder = CopySampleScenario(sample, "bench-worldmap", false);
	std::string areas = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<AreaList>\n";
	std::string chapter = "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<Chapter><Name>Grid</Name><Explanation>e</Explanation><Turn>1</Turn>\n";
	for (const char* master : MASTERS)
		chapter += std::string("<Master id=\"") + master + "\"><Handle>h</Handle><Diffculty>d</Diffculty><Explanation>e</Explanation></Master>\n";
	const std::string sampleMap = ReadFile((folder / "Data/BattleMap_A01.xml").string());
	for (int i = 0; i < GRID_WIDTH * GRID_HEIGHT; ++i) {
		areas += GridArea(i);
		WriteFile((folder / ("Data/BM_" + AreaId(i) + ".xml")).string(), GridBattleMap(sampleMap, i));
		const char* owner = i % 4 < 3 ? MASTERS[i % 4] : "";
		chapter += "<Area id=\"" + AreaId(i) + "\" master=\"" + owner + "\"/>\n";
	}
	for (int m = 0; m < 3; ++m)
		chapter += std::string("<Character id=\"") + MASTERS[m] + "\" area=\"" + AreaId(m) + "\"/>\n";
	WriteFile((folder / "Data/AreaData.xml").string(), areas + "</AreaList>\n");
	WriteFile((folder / "Data/Scenario1.xml").string(), chapter + "</Chapter>\n");
	fs::remove(folder / "Data/Scenario2.xml");
	return folder;
}

/// Loads a new game of the scenario folder into the game master as a new game does; false on failure.
bool LoadGame(const std::string& folder)
{
	TDremoGameMaster& master = g_GameMaster;
	master.m_Data = boost::make_shared<TMorvalethData>();
	master.m_Game = boost::make_shared<TMorvalethGame>();
	master.m_Image = boost::make_shared<TMorvalethImage>();
	return master.m_Data->Load(folder, 0) && master.m_Game->LoadNew(master.m_Data.get(), folder, 0, 3)
		&& master.LoadPermanentImage(master.m_Data, master.m_Image, master.m_Game, folder)
		&& master.MakeAreaNameImages(master.m_Image, master.m_Game);
}

/// Frames of the screen without the map: what every frame costs before the map draws.
bool TimeEmptyScreen(TGuiScreen& screen)
{
	TRunTimes times;
	const bool ok = TimeRuns(FRAMES, [&] {
		screen.Frame();
		glFinish();
		return true;
	}, times);
	PrintRunTimes("  frame, no map (baseline)", times, FRAMES, GOAL_MS);
	return ok;
}

/// The map window with a war's rings and routes and an army marching across the map, timed frame by frame.
bool TimeMap(TGuiScreen& screen, const char* label)
{
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	TWorldMapWindow window;
	window.Layout(screen.Width(), screen.Height());
	window.m_Pane.InitAreaLists(game.GetAreaCount());
	screen.Top().add(&window);
	const int target = game.GetAreaCount() - 1;
	window.m_Pane.SetHighlight(target, 0xFFFF0000);
	for (int neighbor : game.GetArea(target).Neighbors) {
		window.m_Pane.SetHighlight(neighbor, 0xFF0000FF);
		window.m_Pane.AddRoute(target, neighbor);
	}
	for (int c = 0; c < CHIPS; ++c)
		window.m_Pane.AddChip(0, 0, game.GetArea(0).Charas.empty() ? 0 : game.GetArea(0).Charas[0].CharaIndex);
	const point_t from = game.GetArea(0).Location;
	const point_t to = game.GetArea(target).Location;
	int frame = 0;
	TRunTimes times;
	const bool ok = TimeRuns(FRAMES, [&] {
		const int t = frame++ % 64;
		for (int c = 0; c < CHIPS; ++c)
			window.m_Pane.SetChipPosition(c, from.x + (to.x - from.x) * t / 64 + c * 4, from.y + (to.y - from.y) * t / 64);
		screen.Frame();
		glFinish();
		return true;
	}, times);
	screen.Top().remove(&window);
	std::printf("%d areas\n", game.GetAreaCount());
	PrintRunTimes(label, times, FRAMES, GOAL_MS);
	return ok;
}
}

int main(int argc, char** argv)
{
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(MORVALETH_SOURCE_DIR);
	const fs::path sample = source / "data/Scenario/Default";
	TGuiScreen screen(800, 600);
	if (!screen.IsOpen()) {
		std::fprintf(stderr, "no window could be opened (is DISPLAY set?)\n");
		return 1;
	}
	bool ok = TimeEmptyScreen(screen) && LoadGame(sample.string()) && TimeMap(screen, "  frame, sample map");
	const fs::path grid = WriteGridScenario(sample);
	ok = ok && LoadGame(grid.string()) && TimeMap(screen, "  frame, 200 areas");
	g_GameMaster.ReleaseGame();
	fs::remove_all(grid.parent_path());
	if (!ok) {
		std::printf("a map could not be loaded or drawn (see log.txt): %s\n", g_GameMaster.m_LastError.c_str());
		return 1;
	}
	return 0;
}
