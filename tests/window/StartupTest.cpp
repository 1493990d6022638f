#include "support/ChildProcess.h"
#include "support/GlWindow.h"
#include "support/TestSupport.h"
#include "support/XWindow.h"

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>
#include <string>
#include <vector>
// Last: Xlib's macros (None, Bool, Status) clash with names in the headers above.
#include <X11/Xlib.h>

namespace fs = boost::filesystem;

namespace
{
// A safety limit only, as long as an end-to-end run allows a wait: a loaded machine starts the game slowly.
const double SAFETY_LIMIT_SECONDS = 180;

// A working folder for one run of the game, with the files it reads at start-up.
class TGameFolder
{
public:
	explicit TGameFolder(bool withScenario = true, bool withSkin = true)
	{
		if (withScenario)
			fs::create_directories(m_Dir / "Scenario");
		const fs::path data = fs::path(MORVALETH_SOURCE_DIR) / "data";
		if (withSkin && fs::exists(data / "System/window.png")) {
			fs::create_directories(m_Dir / "System");
			fs::copy_file(data / "System/window.png", m_Dir / "System/window.png");
		}
		if (fs::exists(data / "sjis.txt"))
			fs::copy_file(data / "sjis.txt", m_Dir / "sjis.txt");
	}

	void WriteIni(const std::string& text) const { WriteFile(m_Dir / "morvaleth.ini", text); }
	std::string Log() const { return ReadFile(m_Dir / "log.txt"); }
	std::string operator/(const std::string& name) const { return m_Dir / name; }

	// Starts the game in this folder; it inherits DISPLAY and the test's environment, with the variable
	// ("NAME=value") when one is given.
	void Start(TChildProcess& game, const std::string& variable = std::string()) const
	{
		TChildProcess::TStart how;
		how.folder = m_Dir.Path();
		if (!variable.empty())
			how.variables.push_back(variable);
		EXPECT_TRUE(game.Start(MORVALETH_PROGRAM, {}, how));
	}

private:
	TTempDir m_Dir;
};

struct TRun
{
	std::string windowSize;
	int exitStatus;
};

// The position in the log after the first line holding the text at or after from; npos when missing.
std::size_t FindAfter(const std::string& log, const std::string& text, std::size_t from)
{
	const std::size_t at = log.find(text, from);
	return at == std::string::npos ? at : at + text.size();
}

class Startup : public ::testing::Test
{
protected:
	// An X server resets itself when its last client disconnects, and SDL
	// connects twice in a row while starting; a connection held here keeps the
	// server from resetting between the two.
	void SetUp() override
	{
		SKIP_WITHOUT_DISPLAY();
		m_Display = XOpenDisplay(nullptr);
		ASSERT_NE(nullptr, m_Display);
	}

	void TearDown() override
	{
		if (m_Display)
			XCloseDisplay(m_Display);
	}

	// The game's shown window that the match accepts; 0 when the game ends or the safety limit passes first.
	Window WaitForWindow(TChildProcess& game, const TWindowMatch& match)
	{
		return WaitForShownWindow(m_Display, match, SAFETY_LIMIT_SECONDS, [&] { return game.Running(); });
	}

	// Starts the game in the folder, waits for its window, closes it as a window manager would and waits for
	// the game to end: the window's size "W H" and the exit status.
	TRun RunAndClose(const TGameFolder& folder)
	{
		TChildProcess game;
		folder.Start(game);
		TRun run;
		TWindowPlace place;
		const Window window = WaitForWindow(game, NamedWindow("Morvaleth"));
		if (window && ReadWindowPlace(m_Display, window, place)) {
			run.windowSize = std::to_string(place.Width) + " " + std::to_string(place.Height);
			SendDeleteWindow(m_Display, window);
		}
		run.exitStatus = game.WaitForExit(SAFETY_LIMIT_SECONDS);
		return run;
	}

	Display* m_Display = nullptr;
};
}

TEST_F(Startup, OpensItsWindowLogsEachStepAndExitsCleanlyWhenClosed)
{
	TGameFolder folder;
	const TRun run = RunAndClose(folder);
	EXPECT_EQ("800 600", run.windowSize);
	EXPECT_EQ(0, run.exitStatus);

	const std::string log = folder.Log();
	const std::vector<std::string> steps = {" Debug VENDER = ", " Debug GPU = ", " Debug OpenGL Version = ",
		" Debug GL_MAX_TEXTURE_SIZE = ", " Debug babel ok.", " Debug font ok.", " Debug gui ok.",
		" Debug fps ok.", " Debug global window ok.", " Debug init() ok."};
	std::size_t at = 0;
	for (const std::string& step : steps) {
		at = FindAfter(log, step, at);
		ASSERT_NE(std::string::npos, at) << "missing or out of order: " << step << "\n" << log;
	}
	EXPECT_EQ(std::string::npos, log.find(" Error ")) << log;
}

TEST_F(Startup, WindowLargerThanTheDesktopIsShrunkAndWhatIsMissingIsOnlyReported)
{
	TGameFolder folder(true, false);
	folder.WriteIni("[Window]\nWidth=1920\nHeight=1200\nDisableSwapInterval=1\n");
	const TRun run = RunAndClose(folder);
	EXPECT_EQ("1904 1016", run.windowSize);
	EXPECT_EQ(0, run.exitStatus);

	const std::string log = folder.Log();
	EXPECT_NE(std::string::npos, log.find(" Warning デスクトップの解像度 1920x1080 に対してiniファイルで指定された解像度 "
									   "1920x1200が大きすぎるため、1904x1016で起動します。\n"))
		<< log;
	// Without "System/window.png" the game still starts, with a skin Warning.
	EXPECT_NE(std::string::npos, log.find(" Warning TDremoGameMaster::Init:")) << log;
	EXPECT_NE(std::string::npos, log.find("読み込めなかったスキン画像がある")) << log;
	// Turning vertical synchronisation off either works silently or names the extension it lacks; the game runs on.
	const bool swapReported = log.find(" Error SwapIntervalDisableオプションが指定されましたが、この環境は"
									   "GLX_EXT_swap_control APIがサポートされていないようです。\n") != std::string::npos;
	EXPECT_EQ(swapReported, log.find(" Error ") != std::string::npos) << log;
}

TEST_F(Startup, MissingScenarioFolderStopsWithAnErrorAndAFailureStatus)
{
	TGameFolder folder(false);
	TChildProcess game;
	folder.Start(game);
	EXPECT_NE(0, game.WaitForExit(SAFETY_LIMIT_SECONDS));
	const std::string log = folder.Log();
	EXPECT_NE(std::string::npos, log.find(" Error Scenarioフォルダがありません。\n")) << log;
	EXPECT_EQ(std::string::npos, log.find("init() ok.")) << log;
}

TEST_F(Startup, ADamagedConfigurationStillOpensTheWindowAndQuitsCleanly)
{
	std::string garbage;
	for (int i = 0; i < 4096; ++i)
		garbage += static_cast<char>((i * 131 + 7) % 256);
	struct TCase
	{
		const char* name;
		std::string ini;
		const char* windowSize;
	};
	const TCase cases[] = {
		{ "binary garbage", garbage, "800 600" },
		{ "cut off inside a section line", "[Window]\nWidth=1024\n[Wi", "1024 600" },
		{ "frame rate beyond twice the 32-bit range", "[Window]\nFPS=2147483647\n", "800 600" },
		{ "frame rate of a billion", "[Window]\nFPS=1000000000\n", "800 600" },
		{ "words where numbers belong", "[Window]\nWidth=wide\nFPS=fast\n[GUI]\nWindowColor=blue\n", "800 600" },
	};
	for (const TCase& c : cases) {
		TGameFolder folder;
		folder.WriteIni(c.ini);
		const TRun run = RunAndClose(folder);
		EXPECT_EQ(c.windowSize, run.windowSize) << c.name;
		EXPECT_EQ(0, run.exitStatus) << c.name << "\n" << folder.Log();
		EXPECT_NE(std::string::npos, folder.Log().find("init() ok.")) << c.name;
	}
}

// Without a font to draw any text with (and no glyph sheet), the game cannot start: its window's title says
// why, and the window stays until the player closes it.
TEST_F(Startup, WithoutAnyFontTheWindowSaysWhyUntilItIsClosed)
{
	TGameFolder folder;
	WriteFile(folder / "fonts.conf", "<?xml version=\"1.0\"?>\n<fontconfig></fontconfig>\n");
	TChildProcess game;
	folder.Start(game, "FONTCONFIG_FILE=" + (folder / "fonts.conf"));
	const Window window = WaitForWindow(game, TitledWindow(u8"Morvaleth: フォントの初期化に失敗しました。"));
	ASSERT_NE(0u, window) << folder.Log();
	SendDeleteWindow(m_Display, window);
	EXPECT_EQ(1, game.WaitForExit(SAFETY_LIMIT_SECONDS));
	EXPECT_NE(std::string::npos, folder.Log().find(" Error フォントの初期化に失敗しました。\n")) << folder.Log();
	EXPECT_EQ(std::string::npos, folder.Log().find("init() ok.")) << folder.Log();
}
