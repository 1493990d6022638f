#include "support/GuiScreen.h"

#include "app/GameConfig.h"
#include "app/FrontEnd.h"
#include "app/GameMaster.h"
#include "gui/GcnGui.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "gui/SkinManager.h"
#include "media/FontSJIS.h"

#include <boost/filesystem.hpp>
#include <cstdlib>
#include <cstring>
#include <guichan/opengl/openglgraphics.hpp>
#include <guichan/sdl/sdlinput.hpp>
#include <guichan/widgets/container.hpp>

namespace fs = boost::filesystem;

namespace
{
const char* const GLYPH_SHEETS[] = { "char12.png", "char16.png" };

// Glyph sheets made by earlier tests, so that each test does not render them again.
fs::path SheetCache(const std::string& testFolder)
{
	return fs::path(testFolder) / "glyph-sheets";
}
}

TGuiScreen::TGuiScreen(int width, int height, const std::string& ini)
	: m_Width(width), m_Height(height), m_Open(false), m_TestFolder(fs::current_path().string())
{
	PrepareFolder();
	m_Window.reset(new TGlWindow(width, height));
	if (!m_Window->IsOpen())
		return;
	StartGui(ini);
	m_Open = true;
}

TGuiScreen::~TGuiScreen()
{
	if (m_Open) {
		g_GameMaster.m_FrontEnd.reset();
		g_GuiContext.Release();
		g_MsgDlg = nullptr;
		m_Top.reset();
		// Textures belong to this window's GL context: drop them before it closes.
		g_GameMaster.m_Skin.reset();
		g_GuiContext.m_CharDrawers.clear();
		g_Font.m_CharDrawer = nullptr;
		gcn::Widget::setGlobalFont(nullptr);
	}
	m_Window.reset();
	boost::system::error_code ignored;
	fs::create_directories(SheetCache(m_TestFolder), ignored);
	for (const char* sheet : GLYPH_SHEETS)
		if (fs::exists(sheet) && !fs::exists(SheetCache(m_TestFolder) / sheet))
			fs::copy_file(sheet, SheetCache(m_TestFolder) / sheet, ignored);
	m_Cwd.reset();
}

void TGuiScreen::PrepareFolder()
{
	const fs::path source(MORVALETH_SOURCE_DIR);
	fs::create_directories(m_Dir / "System");
	fs::copy_file(source / "data/System/window.png", m_Dir / "System/window.png");
	fs::copy_file(source / "data/sjis.txt", m_Dir / "sjis.txt");
	for (const char* sheet : GLYPH_SHEETS)
		if (fs::exists(SheetCache(m_TestFolder) / sheet))
			fs::copy_file(SheetCache(m_TestFolder) / sheet, m_Dir / sheet);
	m_Cwd.reset(new TScopedCwd(m_Dir.Path()));
}

void TGuiScreen::StartGui(const std::string& ini)
{
	WriteFile("morvaleth.ini", ini);
	g_Config.Load("morvaleth.ini");
	g_Config.SetWindowSize(m_Width, m_Height);
	g_Font.Load(16, g_Config.m_FontName);
	m_Window->Graphics().setFont(&g_Font);
	gcn::Widget::setGlobalFont(&g_Font);
	g_GameMaster.m_Skin.reset(new TGcnSkinManager());
	g_GameMaster.m_Skin->LoadImage(".");
	g_GameMaster.ApplyScreenSlides();
	g_GameMaster.ClearKeys();

	m_Top.reset(new gcn::Container());
	m_Top->setDimension(gcn::Rectangle(0, 0, m_Width, m_Height));
	m_Top->setBaseColor(g_Config.GetColor(EXTRACOLOR_TOP));
	g_GuiContext.SetInput(new gcn::SDLInput());
	gcn::Gui* gui = new TGcnGui();
	gui->setGraphics(&m_Window->Graphics());
	gui->setInput(g_GuiContext.m_Input);
	gui->setTop(m_Top.get());
	g_GuiContext.SetGui(gui);
}

void TGuiScreen::Frame()
{
	g_GuiContext.m_Gui->logic();
	m_Window->BeginFrame();
	g_GuiContext.m_Gui->draw();
	m_Window->EndFrame();
	++g_GuiContext.m_FrameCount;
}

void TGuiScreen::Push(const SDL_Event& event)
{
	if (event.type == SDL_KEYDOWN)
		g_GameMaster.PushKey(event.key.keysym.sym);
	g_GuiContext.m_Input->pushInput(event);
}

void TGuiScreen::PushMotion(int x, int y)
{
	SDL_Event event;
	std::memset(&event, 0, sizeof(event));
	event.type = SDL_MOUSEMOTION;
	event.motion.x = x;
	event.motion.y = y;
	Push(event);
}

void TGuiScreen::MoveMouse(int x, int y)
{
	PushMotion(x, y);
	Frame();
}

void TGuiScreen::Click(int x, int y, Uint8 button)
{
	PushMotion(x, y);
	ClickInPlace(x, y, button);
}

void TGuiScreen::ClickInPlace(int x, int y, Uint8 button)
{
	SDL_Event event;
	std::memset(&event, 0, sizeof(event));
	event.button.button = button;
	event.button.x = x;
	event.button.y = y;
	event.type = SDL_MOUSEBUTTONDOWN;
	Push(event);
	event.type = SDL_MOUSEBUTTONUP;
	Push(event);
	Frame();
}

void TGuiScreen::ClickOn(const gcn::Widget& widget)
{
	const gcn::Rectangle area = ScreenArea(widget);
	Click(area.x + area.width / 2, area.y + area.height / 2);
}

void TGuiScreen::PressKey(SDLKey key)
{
	SDL_Event event;
	std::memset(&event, 0, sizeof(event));
	event.key.keysym.sym = key;
	// The main loop turns on Unicode translation: printable keys carry their character.
	event.key.keysym.unicode = key < 128 ? key : 0;
	event.type = SDL_KEYDOWN;
	Push(event);
	event.type = SDL_KEYUP;
	Push(event);
	Frame();
}

gcn::Color TGuiScreen::Pixel(int x, int y) const
{
	const std::uint32_t argb = m_Window->Pixel(x, y);
	return gcn::Color((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF, 255);
}

int TGuiScreen::CountPixels(const gcn::Rectangle& area, bool (*test)(const gcn::Color&)) const
{
	int count = 0;
	for (int y = area.y; y < area.y + area.height; ++y)
		for (int x = area.x; x < area.x + area.width; ++x)
			count += test(Pixel(x, y)) ? 1 : 0;
	return count;
}

void TGuiScreen::Screenshot(const std::string& name) const
{
	TScopedCwd cwd(m_TestFolder);
	m_Window->Screenshot(name);
}

gcn::Rectangle TGuiScreen::ScreenArea(const gcn::Widget& widget)
{
	int x = 0;
	int y = 0;
	widget.getAbsolutePosition(x, y);
	return gcn::Rectangle(x, y, widget.getWidth(), widget.getHeight());
}

bool NearColor(const gcn::Color& a, const gcn::Color& b, int tolerance)
{
	return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}
