#include "support/SampleGuiWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/FontSJIS.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>
#include <gtest/gtest.h>
#include <guichan/gui.hpp>
#include <guichan/key.hpp>
#include <guichan/keyinput.hpp>
#include <guichan/opengl.hpp>

namespace fs = boost::filesystem;

namespace
{
const std::string Source = MORVALETH_SOURCE_DIR;
const std::string Sample = Source + "/data/Scenario/Default";

void LoadSample()
{
	g_GameMaster.m_Data = boost::make_shared<TMorvalethData>();
	g_GameMaster.m_Image = boost::make_shared<TMorvalethImage>();
	g_GameMaster.m_Game = boost::make_shared<TMorvalethGame>();
	ASSERT_TRUE(g_GameMaster.m_Data->Load(Sample, 0));
	g_GameMaster.m_RootDir = Source + "/data";
	g_GameMaster.m_ScenarioDir = Sample;
	ASSERT_TRUE(g_GameMaster.LoadPermanentImage(g_GameMaster.m_Data, g_GameMaster.m_Image, g_GameMaster.m_Game,
		Sample));
	BuildNeighborTable();
	ASSERT_TRUE(g_GameMaster.m_Game->LoadNew(g_GameMaster.m_Data.get(), Sample, 0, 1));
}
}

void TGuiInput::PushKey(int key)
{
	gcn::KeyInput input;
	input.setKey(gcn::Key(key));
	input.setType(gcn::KeyInput::PRESSED);
	mKeyInputQueue.push(input);
	input.setType(gcn::KeyInput::RELEASED);
	mKeyInputQueue.push(input);
}

TSampleGuiWindow::TSampleGuiWindow() : m_Home(fs::current_path().string())
{
}

TSampleGuiWindow::~TSampleGuiWindow()
{
	Close();
}

void TSampleGuiWindow::Open(const std::string& ini)
{
	m_RootDir = g_GameMaster.m_RootDir;
	m_ScenarioDir = g_GameMaster.m_ScenarioDir;
	fs::create_directories(m_Dir / "System");
	fs::copy_file(Source + "/data/System/window.png", m_Dir / "System/window.png");
	fs::copy_file(Source + "/data/sjis.txt", m_Dir / "sjis.txt");
	m_Cwd.reset(new TScopedCwd(m_Dir.Path()));
	m_Window.reset(new TGlWindow(800, 600));
	ASSERT_TRUE(m_Window->IsOpen());
	WriteFile("morvaleth.ini", ini);
	g_Config.Load("morvaleth.ini");
	ASSERT_TRUE(g_Font.Load(16, ""));
	gcn::Widget::setGlobalFont(&g_Font);
	m_Top.setSize(800, 600);
	m_Top.setBaseColor(gcn::Color(0x60, 0x60, 0x60));
	gcn::Gui* gui = new gcn::Gui();
	gui->setGraphics(&m_Window->Graphics());
	gui->setInput(&m_Input);
	gui->setTop(&m_Top);
	g_GuiContext.SetGui(gui);
	g_GameMaster.m_Skin.reset(new TGcnSkinManager());
	ASSERT_TRUE(g_GameMaster.m_Skin->LoadImage("."));
	LoadSample();
}

void TSampleGuiWindow::Close()
{
	if (!m_Window)
		return;
	g_GameMaster.ClearKeys();
	g_GuiContext.Release();
	// Textures belong to this window's GL context: drop them before it closes.
	g_GameMaster.m_Data.reset();
	g_GameMaster.m_Image.reset();
	g_GameMaster.m_Game.reset();
	g_GameMaster.m_Skin.reset();
	g_GuiContext.m_CharDrawers.clear();
	g_Font.m_CharDrawer = nullptr;
	gcn::Widget::setGlobalFont(nullptr);
	g_GameMaster.m_RootDir = m_RootDir;
	g_GameMaster.m_ScenarioDir = m_ScenarioDir;
	m_Window.reset();
	m_Cwd.reset();
}

void TSampleGuiWindow::DrawFrame(const char* screenshot)
{
	m_Window->BeginFrame();
	g_GuiContext.m_Gui->draw();
	m_Window->EndFrame();
	if (screenshot)
		Screenshot(screenshot);
}

void TSampleGuiWindow::Screenshot(const std::string& name)
{
	TScopedCwd home(m_Home);
	m_Window->Screenshot(name);
}

void TSampleGuiWindow::MoveMouse(const TScreenPoint& point)
{
	m_Input.pushMouseMoved(point.x, point.y);
	g_GuiContext.m_Gui->logic();
}

void TSampleGuiWindow::PushClick(const TScreenPoint& point, int button)
{
	m_Input.pushMouseMoved(point.x, point.y);
	m_Input.pushMouseButtonPressed(point.x, point.y, button);
	m_Input.pushMouseButtonReleased(point.x, point.y, button);
}

TScreenPoint TSampleGuiWindow::At(const gcn::Widget& widget, int x, int y)
{
	TScreenPoint point = {0, 0};
	widget.getAbsolutePosition(point.x, point.y);
	return {point.x + x, point.y + y};
}

TScreenPoint TSampleGuiWindow::Middle(const gcn::Widget& widget)
{
	return At(widget, widget.getWidth() / 2, widget.getHeight() / 2);
}

int TSampleGuiWindow::Count(int x0, int y0, int width, int height, std::uint32_t colour) const
{
	int count = 0;
	for (int y = y0; y < y0 + height; ++y)
		for (int x = x0; x < x0 + width; ++x)
			count += m_Window->Pixel(x, y) == colour;
	return count;
}
