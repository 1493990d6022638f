#include "support/SampleGuiWindow.h"

#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>
#include <guichan/gui.hpp>
#include <guichan/key.hpp>
#include <guichan/keyinput.hpp>
#include <guichan/widgets/container.hpp>

namespace
{
const std::string Sample = MORVALETH_SOURCE_DIR "/data/Scenario/Default";

void LoadSample()
{
	g_GameMaster.m_Data = boost::make_shared<TMorvalethData>();
	g_GameMaster.m_Image = boost::make_shared<TMorvalethImage>();
	g_GameMaster.m_Game = boost::make_shared<TMorvalethGame>();
	ASSERT_TRUE(g_GameMaster.m_Data->Load(Sample, 0));
	g_GameMaster.m_RootDir = MORVALETH_SOURCE_DIR "/data";
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

TSampleGuiWindow::TSampleGuiWindow() = default;

TSampleGuiWindow::~TSampleGuiWindow()
{
	Close();
}

void TSampleGuiWindow::Open(const std::string& ini)
{
	m_RootDir = g_GameMaster.m_RootDir;
	m_ScenarioDir = g_GameMaster.m_ScenarioDir;
	m_Screen.reset(new TGuiScreen(800, 600, ini));
	ASSERT_TRUE(m_Screen->IsOpen());
	m_Screen->Top().setBaseColor(gcn::Color(0x60, 0x60, 0x60));
	g_GuiContext.m_Gui->setInput(&m_Input);
	ASSERT_NE(nullptr, g_GameMaster.m_Skin->m_Image) << "the skin's picture";
	LoadSample();
}

void TSampleGuiWindow::Close()
{
	if (!m_Screen)
		return;
	g_GameMaster.ClearKeys();
	g_GuiContext.Release();
	// Textures belong to the screen's GL context: drop them before it closes.
	g_GameMaster.m_Data.reset();
	g_GameMaster.m_Image.reset();
	g_GameMaster.m_Game.reset();
	g_GameMaster.m_RootDir = m_RootDir;
	g_GameMaster.m_ScenarioDir = m_ScenarioDir;
	m_Screen.reset();
}

void TSampleGuiWindow::DrawFrame(const char* screenshot)
{
	Window().BeginFrame();
	g_GuiContext.m_Gui->draw();
	Window().EndFrame();
	if (screenshot)
		Screenshot(screenshot);
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
	const gcn::Rectangle area = TGuiScreen::ScreenArea(widget);
	return {area.x + x, area.y + y};
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
			count += Window().Pixel(x, y) == colour;
	return count;
}
