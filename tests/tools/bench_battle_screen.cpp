// Times the frames of a watched battle on screen: the controller's step, the GUI's logic and the
// drawing of every battle window until the picture is finished, in an 800 x 600 window. Two computer
// sides of 20 charas each fight on a 40 x 30 map with eight effect frames and floating texts playing,
// then on a 65 x 65 map held scrolled to its middle. The data is the sample scenario's.
// Usage: bench_battle_screen [source tree]; prints the mean, best and 95th-percentile frame times, and
// how much of the mean the logic and the drawing calls take.

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/BattleMapLogic.h"
#include "battle/HexGeometry.h"
#include "battle/ScreenBattleView.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/FontSJIS.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "support/GlWindow.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"

#include <GL/gl.h>
#include <algorithm>
#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>
#include <cstdio>
#include <guichan/genericinput.hpp>
#include <guichan/gui.hpp>
#include <guichan/opengl.hpp>
#include <guichan/widgets/container.hpp>
#include <memory>
#include <string>
#include <tinyxml.h>
#include <vector>

namespace fs = boost::filesystem;

namespace
{
const int WARM_UP_FRAMES = 30;
const int FRAMES = 600;
const int SIDE_CHARAS = 20;
const int EFFECTS = 8;
/// Terrain chips of the sample: plain, forest and hill, laid in stripes.
const int CHIPS[3] = {0, 2, 3};

std::string Layer(const char* name, int width, int height, bool chips)
{
	std::string xml = std::string("<") + name + ">";
	for (int y = 0; y < height; ++y) {
		std::string row;
		for (int x = 0; x < width; ++x)
			row += (x ? "," : "") + std::to_string(chips ? CHIPS[(x / 3 + y / 4) % 3] : 0);
		xml += "<L" + std::to_string(y) + ">" + row + "</L" + std::to_string(y) + ">";
	}
	return xml + "</" + name + ">";
}

/// A striped map whose one neighbour, area 1, starts its charas in the first row.
std::unique_ptr<TBattleMap> MakeMap(const TMorvalethData& data, int width, int height)
{
	std::string xml = "<BattleMap Width=\"" + std::to_string(width) + "\" Height=\"" + std::to_string(height)
		+ "\" City=\"0\" Wall=\"0\" Road=\"0\">" + Layer("MapChip", width, height, true)
		+ Layer("MapObject", width, height, false) + Layer("MapObjectNo", width, height, false)
		+ Layer("MapHeight", width, height, false) + "<NeighborArea><Area id=\"N\">";
	for (int k = 0; k < SIDE_CHARAS; ++k)
		xml += "<Point" + std::to_string(k) + " x=\"" + std::to_string(width / 2 - SIDE_CHARAS / 2 + k)
			+ "\" y=\"" + std::to_string(height / 2 - 6) + "\"/>";
	xml += "</Area></NeighborArea></BattleMap>";
	TiXmlDocument document;
	document.Parse(xml.c_str());
	auto map = std::make_unique<TBattleMap>(0, 0);
	if (!map->Load(document.RootElement(), "bench", data))
		return nullptr;
	map->SetStartPointArea(0, 1);
	return map;
}

/// The game's GUI on the window, with the sample loaded into the game master.
bool StartGui(TGlWindow& window, gcn::Container& top, gcn::GenericInput& input, const fs::path& sample)
{
	WriteFile("morvaleth.ini", "[Watch]\nUse=1\n[Battle]\nTurnMax=99\nAnimationSpeed=3\n");
	g_Config.Load("morvaleth.ini");
	if (!g_Font.Load(16, ""))
		return false;
	gcn::Widget::setGlobalFont(&g_Font);
	top.setSize(800, 600);
	gcn::Gui* gui = new gcn::Gui();
	gui->setGraphics(&window.Graphics());
	gui->setInput(&input);
	gui->setTop(&top);
	g_GuiContext.SetGui(gui);
	g_GameMaster.m_Skin.reset(new TGcnSkinManager());
	g_GameMaster.m_Skin->LoadImage(".");
	g_GameMaster.m_Data = boost::make_shared<TMorvalethData>();
	g_GameMaster.m_Image = boost::make_shared<TMorvalethImage>();
	g_GameMaster.m_Game = boost::make_shared<TMorvalethGame>();
	g_GameMaster.m_RootDir = sample.parent_path().parent_path().string();
	g_GameMaster.m_ScenarioDir = sample.string();
	BuildNeighborTable();
	return g_GameMaster.m_Data->Load(sample.string(), 0)
		&& g_GameMaster.LoadPermanentImage(g_GameMaster.m_Data, g_GameMaster.m_Image, g_GameMaster.m_Game,
			sample.string())
		&& g_GameMaster.m_Game->LoadNew(g_GameMaster.m_Data.get(), sample.string(), 0, 1);
}

/// Eight effect frames over the charas of side 1 and a floating text now and then, as an exchange shows them.
void PlayEffects(TScreenBattleView& view, const std::vector<TCharaInstance>& charas, int frame, int effect)
{
	std::vector<TEffectSprite> sprites;
	for (int i = 0; i < EFFECTS && i < static_cast<int>(charas.size()); ++i) {
		const point_t centre = CellCenterPixel(std::max(0, charas[i].BattleX), std::max(0, charas[i].BattleY));
		sprites.push_back({centre.x - 16, centre.y - 16, effect, (frame + i) % 4, 0, 32, 32});
	}
	view.SetEffectSprites(sprites);
	if (frame % 10 == 0 && !charas.empty())
		view.AddPopup(CellCenterPixel(std::max(0, charas[0].BattleX), 0).x, 100, "123", gcn::Color(255, 255, 0));
}

bool Bench(TGlWindow& window, TMorvalethGame& game, int width, int height, bool holdMiddle, const char* label,
	double goalMs)
{
	const TMorvalethData& data = *g_GameMaster.m_Data;
	std::unique_ptr<TBattleMap> map = MakeMap(data, width, height);
	if (!map)
		return false;
	TScreenBattleView view;
	TBattleMapLogic logic(view, data, game);
	view.SetLogic(&logic);
	std::vector<TCharaInstance> sides[2];
	std::vector<std::vector<int>> sources(2);
	for (int i = 0; i < SIDE_CHARAS; ++i) {
		sides[0].push_back(game.CreateCharaInstance(data.GetCharaIndex("soldier"), 0));
		sides[1].push_back(game.CreateCharaInstance(data.GetCharaIndex(i % 2 ? "knight" : "archer"), 0));
	}
	sources[0].assign(SIDE_CHARAS, -1);
	sources[1].assign(SIDE_CHARAS, 1);
	if (logic.Start(*map, {&sides[0], &sides[1]}, {-1, -1}, -1, sources) || logic.HasFailed()) {
		std::fprintf(stderr, "%s: the battle is not watched\n", label);
		return false;
	}
	const int effect = data.GetSpecialData(data.GetSpecialIndex("sword")).EffectImage;
	const point_t middle = CellCenterPixel(width / 2, height / 2);
	std::vector<double> times;
	double logicMs = 0;
	double drawMs = 0;
	for (int frame = 0; frame < WARM_UP_FRAMES + FRAMES && logic.IsInBattle(); ++frame) {
		const TClock::time_point start = TClock::now();
		PlayEffects(view, sides[1], frame, effect);
		g_GuiContext.m_Gui->logic();
		const TClock::time_point drawStart = TClock::now();
		if (holdMiddle)
			view.m_MapWindow.ScrollTo(middle.x, middle.y);
		window.BeginFrame();
		g_GuiContext.m_Gui->draw();
		window.EndFrame();
		const TClock::time_point finishStart = TClock::now();
		glFinish();
		if (frame >= WARM_UP_FRAMES) {
			times.push_back(MillisecondsSince(start));
			logicMs += std::chrono::duration<double, std::milli>(drawStart - start).count();
			drawMs += std::chrono::duration<double, std::milli>(finishStart - drawStart).count();
		}
	}
	if (times.size() < FRAMES / 2) {
		std::fprintf(stderr, "%s: the battle ended after %d frames\n", label, static_cast<int>(times.size()));
		return false;
	}
	std::vector<double> sorted = times;
	std::sort(sorted.begin(), sorted.end());
	double total = 0;
	for (double ms : times)
		total += ms;
	const double mean = total / times.size();
	std::printf("%-46s mean %6.3f ms  best %6.3f ms  95%% %6.3f ms", label, mean, sorted.front(),
		sorted[sorted.size() * 95 / 100]);
	if (goalMs > 0)
		std::printf("  (goal %.1f ms: %s)", goalMs, mean < goalMs ? "met" : "missed");
	std::printf("\n%-46s logic %6.3f ms, drawing handed to GL %6.3f ms, the rest until drawn\n", "",
		logicMs / times.size(), drawMs / times.size());
	return true;
}
}

int main(int argc, char** argv)
{
	// Without an argument, the source tree this file was compiled from.
	const fs::path source = argc > 1 ? fs::path(argv[1]) : fs::path(__FILE__).parent_path().parent_path().parent_path();
	const fs::path sample = fs::absolute(source / "data/Scenario/Default");
	TTempDir dir;
	fs::create_directories(dir / "System");
	fs::copy_file(source / "data/System/window.png", dir / "System/window.png");
	fs::copy_file(source / "data/sjis.txt", dir / "sjis.txt");
	TScopedCwd cwd(dir.Path());
	g_Logger.SetLevel(1);
	TGlWindow window(800, 600);
	if (!ReportBenchmarkWindow(window))
		return 1;
	gcn::Container top;
	gcn::GenericInput input;
	if (!StartGui(window, top, input, sample)) {
		std::fprintf(stderr, "the sample scenario at %s does not load\n", sample.string().c_str());
		return 1;
	}
	TMorvalethGame& game = *g_GameMaster.m_Game;
	const bool ok = Bench(window, game, 40, 30, false, "watched battle 40x30, 40 charas, effects", 4.0)
		&& Bench(window, game, 65, 65, true, "watched battle 65x65 scrolled to the middle", 0);
	g_GuiContext.Release();
	g_GameMaster.m_Data.reset();
	g_GameMaster.m_Image.reset();
	g_GameMaster.m_Game.reset();
	g_GameMaster.m_Skin.reset();
	g_GuiContext.m_CharDrawers.clear();
	g_Font.m_CharDrawer = nullptr;
	gcn::Widget::setGlobalFont(nullptr);
	return ok ? 0 : 1;
}
