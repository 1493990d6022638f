#include "app/Application.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "common/babel/babel.h"
#include "gui/FPSPane.h"
#include "gui/GcnGraphics.h"
#include "gui/GlQuad.h"
#include "gui/GcnGui.h"
#include "gui/GuiContext.h"
#include "media/FontSJIS.h"
#include "media/MixerLibrary.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/SwapControl.h"

#include <SDL/SDL_image.h>
#include <GL/gl.h>
#include <boost/shared_ptr.hpp>
#include <csignal>
#include <guichan.hpp>
#include <guichan/opengl.hpp>
#include <guichan/opengl/openglsdlimageloader.hpp>
#include <guichan/sdl.hpp>
#include <cstdio>
#include <malloc.h>

SDL_Surface* g_Screen = nullptr;
gcn::OpenGLSDLImageLoader* g_ImageLoader = nullptr;
gcn::OpenGLGraphics* g_Graphics = nullptr;
TGcnFPSPane* g_FPSPane = nullptr;
SDL_Event g_Event;

const TFrameClock SDL_FRAME_CLOCK = {SDL_GetTicks, SDL_Delay};

namespace
{
/// Tick of the previous frame; the frame limiter's clock.
Uint32 g_FrameTick = 0;
/// Frames between two returns of freed memory to the system while the screen stands still.
const int TRIM_PERIOD_FRAMES = 600;
/// Frame count of the last return of freed memory.
int g_TrimFrame = -TRIM_PERIOD_FRAMES;

const char* const CONFIG_FILE = "morvaleth.ini";
const int FONT_SIZE = 16;

// Reads the configuration; the window size comes from it when it loaded.
void LoadConfiguration(int& width, int& height)
{
	if (g_Config.Load(CONFIG_FILE)) {
		width = g_Config.GetIntValue(CONFIG_WIDTH);
		height = g_Config.GetIntValue(CONFIG_HEIGHT);
		g_Logger.SetLevel(g_Config.m_LogLevel);
		g_Logger.m_FlushEveryLine = g_Config.m_LogEveryFlush;
	}
	SetFileNameEncoding(g_Config.GetFileNameEncoding());
}

// What stops the start is told where a player sees it, even where "log.txt" cannot be written: on the standard
// error and, once the window is open, in its title, the window staying until the player closes it (no text can
// be drawn in it without the font).
bool ReportStartFailure(const std::string& text)
{
	g_Logger.Error(text);
	const std::string utf8 = SjisToUtf8(text);
	std::fprintf(stderr, "Morvaleth: %s\n", utf8.c_str());
	if (!g_Screen)
		return false;
	SDL_WM_SetCaption(("Morvaleth: " + utf8).c_str(), nullptr);
	glClearColor(0, 0, 0, 1);
	glClear(GL_COLOR_BUFFER_BIT);
	SDL_GL_SwapBuffers();
	SDL_Event event;
	while (SDL_WaitEvent(&event) && event.type != SDL_QUIT) {
	}
	return false;
}

bool CheckScenarioFolder()
{
	return IsDirectory("Scenario") || ReportStartFailure("Scenarioフォルダがありません。");
}

// Shrinks a window that the desktop cannot hold; the video subsystem must be up.
void FitToDesktop(int& width, int& height)
{
	int desktopWidth = 0;
	int desktopHeight = 0;
	if (!GetDesktopSize(desktopWidth, desktopHeight))
		return;
	const int requestedWidth = width;
	const int requestedHeight = height;
	if (FitWindowToDesktop(desktopWidth, desktopHeight, width, height))
		g_Logger.Warning(FormatText(
			"デスクトップの解像度 %dx%d に対してiniファイルで指定された解像度 %dx%dが大きすぎるため、%dx%dで起動します。",
			desktopWidth, desktopHeight, requestedWidth, requestedHeight, width, height));
}

// A 32 x 32 "System/morvaleth.png" becomes the window icon; anything else is ignored.
void SetWindowIcon()
{
	SDL_Surface* icon = IMG_Load(NativePath("System/morvaleth.png").c_str());
	if (!icon)
		return;
	if (icon->w == 32 && icon->h == 32)
		SDL_WM_SetIcon(icon, nullptr);
	SDL_FreeSurface(icon);
}

bool OpenWindow(int width, int height)
{
	SDL_WM_SetCaption("Morvaleth", nullptr);
	SetWindowIcon();
	SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
	SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
	SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
	g_Screen = SDL_SetVideoMode(width, height, 32, SDL_OPENGL);
	if (g_Screen)
		return true;
	g_Logger.Error(FormatText("SDL_SetVideoMode error. %s", SDL_GetError()));
	return false;
}

std::string GlString(GLenum name)
{
	const GLubyte* text = glGetString(name);
	return text ? reinterpret_cast<const char*>(text) : "";
}

void LogGlInfo()
{
	GLint maxTextureSize = 0;
	glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize);
	g_Logger.Debug(FormatText("VENDER = %s", GlString(GL_VENDOR)));
	g_Logger.Debug(FormatText("GPU = %s", GlString(GL_RENDERER)));
	g_Logger.Debug(FormatText("OpenGL Version = %s", GlString(GL_VERSION)));
	g_Logger.Debug(FormatText("GL_MAX_TEXTURE_SIZE = %d", maxTextureSize));
}

// guichan draws through OpenGL, loads images into textures and reads SDL's events.
void SetupGuichanBackEnd(int width, int height)
{
	SDL_EnableUNICODE(1);
	SDL_EnableKeyRepeat(500, 30);
	g_ImageLoader = new gcn::OpenGLSDLImageLoader();
	gcn::Image::setImageLoader(g_ImageLoader);
	g_Graphics = new TGcnGraphics();
	g_Graphics->setTargetPlane(width, height);
	// The window's frames are compared, so that a frame draws again only what changed.
	GlQuadBatch().SetKeepFrames(true);
	g_GuiContext.SetInput(new gcn::SDLInput());
}

bool LoadFont()
{
	if (!g_Font.Load(FONT_SIZE, g_Config.m_FontName))
		return ReportStartFailure("フォントの初期化に失敗しました。");
	gcn::Widget::setGlobalFont(&g_Font);
	g_Graphics->setFont(&g_Font);
	g_Logger.Debug("font ok.");
	return true;
}

// Creates the GUI root with its top container, which covers the whole window.
gcn::Container* CreateGui(int width, int height)
{
	gcn::Gui* gui = new TGcnGui();
	gui->setGraphics(g_Graphics);
	gui->setInput(g_GuiContext.m_Input);
	g_GuiContext.SetGui(gui);
	g_Logger.Debug("gui ok.");

	boost::shared_ptr<gcn::Container> top(new gcn::Container());
	top->setDimension(gcn::Rectangle(0, 0, width, height));
	top->setBaseColor(g_Config.GetColor(EXTRACOLOR_TOP));
	gui->setTop(top.get());
	g_GuiContext.AddWidget(top);
	return top.get();
}

bool OpenAudio()
{
	if (!g_Config.GetBoolValue(SWITCH_SOUND_ENABLED) && !g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED))
		return true;
	std::string error;
	const TMixerLibrary* mix = MixerLibrary(&error);
	if (!mix || mix->OpenAudio(44100, AUDIO_S16SYS, 2, 4096) != 0)
		return ReportStartFailure(FormatText("Mix_OpenAudio error. %s", mix ? SDL_GetError() : error.c_str()));
	g_GameMaster.m_AudioOpened = true;
	return true;
}

// The pane keeps two seconds of frame times inside a transparent window.
void CreateFpsPane(gcn::Container* top, int fps)
{
	boost::shared_ptr<gcn::Window> window(new gcn::Window());
	window->setOpaque(false);
	boost::shared_ptr<TGcnFPSPane> pane(new TGcnFPSPane(TGcnFPSPane::HistoryLength(fps)));
	window->add(pane.get());
	window->resizeToContent();
	top->add(window.get());
	g_FPSPane = pane.get();
	g_GuiContext.AddWidget(pane);
	g_GuiContext.AddWidget(window);
	g_Logger.Debug("fps ok.");
}

bool StartVideo()
{
	if (SDL_Init(SDL_INIT_VIDEO) == 0)
		return true;
	g_Logger.Error(FormatText("SDL_Init error. %s", SDL_GetError()));
	return false;
}

// Configuration, the checks before a window exists, and the window itself.
bool OpenConfiguredWindow(int& width, int& height)
{
	LoadConfiguration(width, height);
	if (!CheckScenarioFolder() || !StartVideo())
		return false;
	FitToDesktop(width, height);
	if (!OpenWindow(width, height))
		return false;
	LogGlInfo();
	if (g_Config.GetBoolValue(SWITCH_DISABLE_SWAP_INTERVAL))
		DisableSwapInterval();
	g_Config.SetWindowSize(width, height);
	return true;
}
}

void IgnoreBrokenPipes()
{
	std::signal(SIGPIPE, SIG_IGN);
}

bool init()
{
	int width = 800;
	int height = 600;
	if (!OpenConfiguredWindow(width, height))
		return false;
	SetupGuichanBackEnd(width, height);
	babel::init_babel();
	g_Logger.Debug("babel ok.");
	if (!LoadFont())
		return false;
	gcn::Container* top = CreateGui(width, height);
	if (!OpenAudio())
		return false;
	const int fps = g_Config.GetIntValue(CONFIG_FPS);
	CreateFpsPane(top, fps);
	g_GameMaster.m_RootDir = ".";
	g_GameMaster.Init();
	g_GuiContext.m_FPS = fps;
	g_Logger.Debug("init() ok.");
	return true;
}

namespace
{
bool g_QuitRequested = false;
int g_ExitStatus = 0;
}

void RequestQuit(int status)
{
	g_QuitRequested = true;
	g_ExitStatus = status;
}

void ClearQuitRequest()
{
	g_QuitRequested = false;
	g_ExitStatus = 0;
}

bool IsQuitRequested()
{
	return g_QuitRequested;
}

int RequestedExitStatus()
{
	return g_ExitStatus;
}

void MainLoop()
{
	while (RunFrame()) {
	}
}

bool RunFrame()
{
	bool running = true;
	while (SDL_PollEvent(&g_Event)) {
		if (g_Event.type == SDL_QUIT)
			running = false;
		else if (g_Event.type == SDL_KEYDOWN)
			g_GameMaster.PushKey(g_Event.key.keysym.sym);
		else if (g_Event.type == SDL_VIDEOEXPOSE)
			GlQuadBatch().ForgetFrames();
		g_GuiContext.m_Input->pushInput(g_Event);
	}
	g_GuiContext.m_Gui->logic();
	g_GuiContext.m_Gui->draw();
	++g_GuiContext.m_FrameCount;
	// A frame that shows what the window already shows is not presented again.
	if (GlQuadBatch().PictureChanged()) {
		if (!GlQuadBatch().ShowChanges())
			SDL_GL_SwapBuffers();
	} else if (g_GuiContext.m_FrameCount - g_TrimFrame >= TRIM_PERIOD_FRAMES) {
		// A still screen leaves time to hand back the heap that start-up, loading and the renderer's
		// shader compilation freed.
		malloc_trim(0);
		g_TrimFrame = g_GuiContext.m_FrameCount;
	}
	Uint32 tick = 0;
	LimitFrameRate(g_GuiContext.m_FPS, tick);
	g_FPSPane->SetFrameTick(tick);
	return running && !g_QuitRequested;
}

int FramePeriod(int fps)
{
	return ((65536000 / fps) + (fps & 0xFFFF)) >> 16;
}

void LimitFrameRate(int fps, Uint32& tick)
{
	LimitFrameRate(fps, tick, g_FrameTick, SDL_FRAME_CLOCK);
}

void LimitFrameRate(int fps, Uint32& tick, Uint32& frameTick, const TFrameClock& clock)
{
	const Uint32 now = clock.GetTicks();
	const Sint32 period = FramePeriod(fps);
	const Sint32 elapsed = static_cast<Sint32>(now - frameTick);
	if (elapsed >= period) {
		// A late frame restarts the cadence instead of trying to catch up.
		frameTick = now;
		tick = now;
		return;
	}
	// Sleep whole milliseconds with a 3 ms margin, then the last milliseconds one at a time: a spin
	// would keep a core busy for a tenth of every frame while nothing moves.
	const Sint32 remaining = period - elapsed;
	if (remaining >= 4)
		clock.Delay(remaining - 3);
	while (clock.GetTicks() - frameTick < static_cast<Uint32>(period))
		clock.Delay(1);
	// On time, frames keep a fixed cadence so that the average rate holds.
	frameTick += period;
	tick = frameTick;
}

void DisableSwapInterval()
{
	std::string extension;
	switch (DisableGlxSwapInterval(extension)) {
	case SWAP_CONTROL_DISABLED:
		break;
	case SWAP_CONTROL_NO_FUNCTION:
		g_Logger.Error(FormatText("何故か%s APIの関数ポインタ取得に失敗しました。", extension));
		break;
	case SWAP_CONTROL_UNSUPPORTED:
		g_Logger.Error(FormatText(
			"SwapIntervalDisableオプションが指定されましたが、この環境は%s APIがサポートされていないようです。",
			extension));
		break;
	}
}

void Shutdown()
{
	delete g_Graphics;
	g_Graphics = nullptr;
	delete g_ImageLoader;
	g_ImageLoader = nullptr;
	gcn::Image::setImageLoader(nullptr);
	g_GameMaster.ReleaseGame();
	g_GameMaster.m_FrontEnd.reset();
	g_GuiContext.Release();
	// Textures of the skin and the glyph sheets are deleted while the GL context still exists.
	g_GameMaster.m_Skin.reset();
	g_Font.m_CharDrawer = nullptr;
	g_GuiContext.m_CharDrawers.clear();
	if (g_GameMaster.m_AudioOpened)
		MixerLibrary()->CloseAudio();
	SDL_Quit();
}
