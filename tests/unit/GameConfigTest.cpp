#include "app/GameConfig.h"
#include "app/Logger.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <functional>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

namespace
{
class GameConfigTest : public ::testing::Test
{
protected:
	TTempDir m_Dir;
	TCapturedLog m_Log;
	TScopedCwd m_Cwd{ m_Dir.Path() };
	TGameConfig m_Config;

	void LoadText(const std::string& text)
	{
		WriteFile("morvaleth.ini", text);
		ASSERT_TRUE(m_Config.Load("morvaleth.ini"));
	}
};

/// Bytes of the largest configuration a load reads.
const std::size_t READ_LIMIT = 4u << 20;

std::string ColorText(const gcn::Color& color)
{
	return FormatText("%d,%d,%d,%d", color.r, color.g, color.b, color.a);
}

/// Every setting the game takes from its configuration, one line each.
std::vector<std::string> Settings(const TGameConfig& config)
{
	std::vector<std::string> lines = { config.m_FontName, config.GetFileNameEncoding(),
		FormatText("log %d %d", config.m_LogLevel, config.m_LogEveryFlush ? 1 : 0),
		FormatText("frames %d %d", config.m_DoubleClickFrame, config.m_MessageTimeoutFrame),
		ColorText(config.m_FontColor), ColorText(config.m_FontDisabledColor), ColorText(config.m_MsgDlgColor),
		ColorText(config.m_WorldMapEdgeColor), ColorText(config.m_BattleMapShadeColor),
		ColorText(config.GetColor(EXTRACOLOR_TOP)) };
	for (int i = 0; i < CONFIG_COUNT; ++i)
		lines.push_back(FormatText("int %d %d", i, config.GetIntValue(i)));
	for (int i = 0; i < SWITCH_COUNT; ++i)
		lines.push_back(FormatText("switch %d %d", i, config.GetBoolValue(i) ? 1 : 0));
	for (int i = 0; i < SHORTCUT_COUNT; ++i)
		lines.push_back(FormatText("shortcut %d %d", i, config.GetShortcut(i)));
	for (int i = 0; i < GUICOLOR_COUNT; ++i)
		lines.push_back(ColorText(config.GetGuiColor(i)));
	return lines;
}

/// What 設定 → OK sets: every setting of its tabs, each to a value unlike any default.
void SetAsTheSettingsWindowDoes(TGameConfig& config)
{
	for (int index : { CONFIG_ANIMATION_SPEED, CONFIG_WIDTH, CONFIG_HEIGHT, CONFIG_SLIDE_LEFT, CONFIG_SLIDE_RIGHT,
			 CONFIG_SLIDE_TOP, CONFIG_SLIDE_BOTTOM })
		config.SetIntValue(index, 1000 + index);
	for (int i = 0; i < SWITCH_COUNT; ++i)
		config.SetBoolValue(i, true);
	for (int i = 0; i < SHORTCUT_COUNT; ++i)
		config.SetShortcut(i, 97 + i);
}

/// The text padded with a comment line to exactly the bytes given.
std::string PaddedTo(std::size_t bytes, const std::string& before, const std::string& after)
{
	const std::string head = before + "#";
	return head + std::string(bytes - head.size() - after.size() - 1, 'c') + "\n" + after;
}
}

// A file that is missing, or that cannot be read as a configuration, gives one Warning (with the reason when
// something stands there) and leaves every default in place.
TEST_F(GameConfigTest, AFileThatCannotBeReadGivesOneWarningAndTheDefaults)
{
	const struct
	{
		const char* what;
		std::function<void()> make;
		const char* warning;
	} cases[] = {
		{ "missing", [] {}, "デフォルト値を用いて続行します。\n" },
		{ "a pipe", [] { ASSERT_EQ(0, ::mkfifo("morvaleth.ini", 0600)); },
			"デフォルト値を用いて続行します。 (通常のファイルではありません)\n" },
		{ "a sparse file of a gigabyte", [] {
			WriteFile("morvaleth.ini", "[Window]\nWidth=1024\n");
			boost::filesystem::resize_file("morvaleth.ini", 1u << 30);
		}, "デフォルト値を用いて続行します。 (4194304 バイトを超えています)\n" },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		c.make();
		TCapturedLog log;
		TGameConfig config;
		EXPECT_TRUE(config.Load("morvaleth.ini"));
		EXPECT_EQ(1, log.CountLines(" Warning ")) << log.Text();
		EXPECT_NE(std::string::npos,
			log.Text().find(" Warning morvaleth.ini の読込に失敗しましたがデフォルト値を用いて続行します。"));
		EXPECT_NE(std::string::npos, log.Text().find(c.warning)) << log.Text();

		// The window the game opens, and no switch or shortcut set.
		EXPECT_EQ(60, config.GetIntValue(CONFIG_FPS));
		EXPECT_EQ(800, config.GetIntValue(CONFIG_WIDTH));
		EXPECT_EQ(600, config.GetIntValue(CONFIG_HEIGHT));
		for (int i = 0; i < SWITCH_COUNT; ++i)
			EXPECT_FALSE(config.GetBoolValue(i)) << i;
		for (int i = 0; i < SHORTCUT_COUNT; ++i)
			EXPECT_EQ(0, config.GetShortcut(i)) << i;
		EXPECT_EQ("utf-8", config.GetFileNameEncoding());
		boost::filesystem::remove("morvaleth.ini");
	}
}

TEST_F(GameConfigTest, ValuesComeFromTheirOwnSectionAndBadOnesKeepDefaults)
{
	LoadText(
		"[Log]\nLogLevel=1\nLogEveryFlush=abc\n"
		"[GUI]\nFontName=IPAGothic\nFontColor=80ff0000\nFontDisabledColor=zz\nDoubleClickFrame=x\n"
		"WindowColor=ff112233\nMsgDlgColor= 0x00000000ff445566\n"
		"[Mixer]\nMusicEnabled=abc\nSoundEnabled=2\n"
		"[Window]\nFPS = 30\nWidth=1024\n"
		"[Battle]\nTurnMax=15\n"
		"[File]\nFileNameEncoding=shift_jis\n"
		"[Screen]\nTopColor=ff000000\n"
		"[Shortcut]\nCharge=99\n");
	// Each value that does not read as a number keeps its default and says so once.
	EXPECT_EQ(4, m_Log.CountLines(" Warning ")) << m_Log.Text();
	EXPECT_EQ(1, m_Log.CountLines("Log/LogEveryFlush=abc is not a number; the default 1 is used"));
	EXPECT_EQ(1, m_Log.CountLines("morvaleth.ini: Mixer/MusicEnabled=abc is not a number; the default 0 is used"));
	EXPECT_EQ(1, m_Log.CountLines("GUI/FontDisabledColor=zz is not a hexadecimal colour; the default ff808080 is used"));
	EXPECT_EQ(1, m_Log.CountLines("GUI/DoubleClickFrame=x is not a number; the default 30 is used"));
	EXPECT_EQ(1, m_Config.m_LogLevel);
	EXPECT_TRUE(m_Config.m_LogEveryFlush);
	EXPECT_EQ("IPAGothic", m_Config.m_FontName);
	EXPECT_EQ(gcn::Color(255, 0, 0, 128), m_Config.m_FontColor);
	EXPECT_EQ(gcn::Color(0x80, 0x80, 0x80, 255), m_Config.m_FontDisabledColor);
	EXPECT_EQ(30, m_Config.m_DoubleClickFrame);
	EXPECT_EQ(gcn::Color(0x11, 0x22, 0x33, 255), m_Config.GetGuiColor(GUICOLOR_WINDOW));
	EXPECT_EQ(gcn::Color(0x44, 0x55, 0x66, 255), m_Config.m_MsgDlgColor) << "leading zeros are no digits too many";
	EXPECT_FALSE(m_Config.GetBoolValue(SWITCH_MUSIC_ENABLED));
	EXPECT_TRUE(m_Config.GetBoolValue(SWITCH_SOUND_ENABLED));
	EXPECT_EQ(60, m_Config.GetIntValue(CONFIG_FPS));
	EXPECT_EQ(1024, m_Config.GetIntValue(CONFIG_WIDTH));
	EXPECT_EQ(15, m_Config.GetIntValue(CONFIG_TURN_MAX));
	EXPECT_EQ("shift_jis", m_Config.GetFileNameEncoding());
	EXPECT_EQ(gcn::Color(0x60, 0x60, 0x80, 255), m_Config.GetColor(EXTRACOLOR_TOP));
	EXPECT_EQ(99, m_Config.GetShortcut(SHORTCUT_CHARGE));
}

// The main loop needs a frame rate, the lists a scroll bar width, and the window room for the settings window
// that could change its size again.
TEST_F(GameConfigTest, UnusableFrameRateAndWindowSizesFallBackWithAWarning)
{
	const struct
	{
		std::string text;
		int fps, width, height, scrollbar;
		std::vector<std::string> warnings;
	} cases[] = {
		{ "[Window]\nFPS=0\nWidth=-5\nHeight=700\n[GUI]\nScrollbarWidth=0\n", 60, 800, 700, 16,
			{ "Window/FPS=0 is below 1; the default 60 is used",
				"Window/Width=-5 is below 640; the default 800 is used",
				"GUI/ScrollbarWidth=0 is below 1; the default 16 is used" } },
		{ "[Window]\nWidth=1\nHeight=1\n", 60, 800, 600, 16,
			{ "Window/Width=1 is below 640; the default 800 is used",
				"Window/Height=1 is below 600; the default 600 is used" } },
		{ "[Window]\nWidth=639\nHeight=599\n", 60, 800, 600, 16,
			{ "Window/Width=639 is below 640", "Window/Height=599 is below 600" } },
		{ "[Window]\nFPS=1\nWidth=640\nHeight=600\n[GUI]\nScrollbarWidth=1\n", 1, 640, 600, 1, {} },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.text);
		TCapturedLog log;
		LoadText(c.text);
		EXPECT_EQ(c.fps, m_Config.GetIntValue(CONFIG_FPS));
		EXPECT_EQ(c.width, m_Config.GetIntValue(CONFIG_WIDTH));
		EXPECT_EQ(c.height, m_Config.GetIntValue(CONFIG_HEIGHT));
		EXPECT_EQ(c.scrollbar, m_Config.GetIntValue(CONFIG_SCROLLBAR_WIDTH));
		EXPECT_EQ(int(c.warnings.size()), log.CountLines(" Warning TGameConfig::KeepUsableSizes:")) << log.Text();
		for (const std::string& warning : c.warnings)
			EXPECT_EQ(1, log.CountLines("morvaleth.ini: " + warning)) << warning;
	}
	LoadText("[Log]\nLogEveryFlush=0\n");
	EXPECT_FALSE(m_Config.m_LogEveryFlush) << "zero turns log flushing off";
}

// A damaged file starts the game on the defaults of what it spoils, says so naming
// the file and the key, and loses none of the player's lines when settings are saved.
TEST_F(GameConfigTest, DamagedFilesKeepTheRestWarnAndSurviveASave)
{
	struct TCase
	{
		const char* what;
		std::string text;
		std::vector<std::string> warnings;
	};
	const std::vector<TCase> cases = {
		{ "binary garbage", std::string("\x01\xff\xfe\x00\x80\n[Window]\nWidth=1024\n\x7f\x9a\n", 29),
			{ "morvaleth.ini: 2 line(s) from line 1 on are neither a [section] nor a key=value line" } },
		{ "cut short", "[Window]\nWidth=1024\n[Batt",
			{ "morvaleth.ini: 1 line(s) from line 3 on are neither" } },
		{ "switch that is a word", "[Window]\nWidth=1024\n[Watch]\nUse=yes\n",
			{ "morvaleth.ini: Watch/Use=yes is not a number; the default 0 is used" } },
		{ "numbers beyond 32 bits", "[Window]\nWidth=1024\nHeight=99999999999\n[Battle]\nTurnMax=-99999999999\n",
			{ "morvaleth.ini: Window/Height=99999999999 is out of range; the default 600 is used",
				"morvaleth.ini: Battle/TurnMax=-99999999999 is out of range; the default 10 is used" } },
		{ "value below 1", "[Window]\nWidth=1024\nFPS=-5\n",
			{ "morvaleth.ini: Window/FPS=-5 is below 1; the default 60 is used" } },
		{ "colour that is a word", "[Window]\nWidth=1024\n[GUI]\nFontColor=red\n",
			{ "morvaleth.ini: GUI/FontColor=red is not a hexadecimal colour" } },
		{ "colours with a sign or past 32 bits",
			"[Window]\nWidth=1024\n[GUI]\nFontColor=-1\nWindowColor=0x1234567890\nTopColor=123456789abcdef01234\n",
			{ "morvaleth.ini: GUI/FontColor=-1 is not a hexadecimal colour; the default ffffffff is used",
				"morvaleth.ini: GUI/WindowColor=0x1234567890 is not a hexadecimal colour; the default ff4040ff is used",
				"morvaleth.ini: GUI/TopColor=123456789abcdef01234 is not a hexadecimal colour; the default "
				"ff606080" } },
	};
	for (const TCase& c : cases) {
		TCapturedLog log;
		LoadText(c.text);
		EXPECT_EQ(static_cast<int>(c.warnings.size()), log.CountLines(" Warning ")) << c.what << "\n" << log.Text();
		for (const std::string& warning : c.warnings)
			EXPECT_EQ(1, log.CountLines(warning)) << c.what << ": " << warning << "\n" << log.Text();
		EXPECT_EQ(1024, m_Config.GetIntValue(CONFIG_WIDTH)) << c.what;
		EXPECT_EQ(600, m_Config.GetIntValue(CONFIG_HEIGHT)) << c.what;
		EXPECT_EQ(10, m_Config.GetIntValue(CONFIG_TURN_MAX)) << c.what;
		EXPECT_FALSE(m_Config.GetBoolValue(SWITCH_WATCH_USE)) << c.what;

		m_Config.SetIntValue(CONFIG_ANIMATION_SPEED, 5);
		ASSERT_TRUE(m_Config.Save("morvaleth.ini")) << c.what;
		const std::string saved = ReadFile("morvaleth.ini");
		EXPECT_EQ(c.text, ReadFile("morvaleth.bak")) << c.what;
		std::string expected = c.text;
		const std::size_t battle = expected.find("[Battle]\n");
		if (battle == std::string::npos)
			expected += "[Battle]\nAnimationSpeed=5\n";
		else
			expected.insert(expected.find('\n', expected.find("TurnMax")) + 1, "AnimationSpeed=5\n");
		if (c.text.back() != '\n')
			expected.insert(c.text.size(), "\n");
		EXPECT_EQ(expected, saved) << c.what;
	}
}

// A save that grew a file the reader took past what it reads would start the next game on every default, and no
// save could mend it. What is written from any file the reader accepted reads back with the same settings; when
// the old file's lines do not fit, only the settings the game reads are written, and the rest stays in the backup.
TEST_F(GameConfigTest, WhatASaveWritesFromAnyFileTheReaderAcceptedReadsBackWithTheSameSettings)
{
	const std::string settings = "[Window]\nWidth=1024\nFPS=30\n[GUI]\nFontName=IPAGothic\nFontColor=ff102030\n"
		"[Log]\nLogLevel=2\n[File]\nFileNameEncoding=shift_jis\n";
	std::string copies = "[Window]\n";
	while (copies.size() + 7 <= READ_LIMIT)
		copies += "Width=\n";
	const struct
	{
		const char* what;
		std::string text;
		bool whole;
	} cases[] = {
		{ "a small file", settings + "# kept\n", true },
		{ "a long comment after the settings", PaddedTo(READ_LIMIT, settings, ""), false },
		{ "a long comment before the settings", PaddedTo(READ_LIMIT, "", settings), false },
		{ "a key the game does not read", PaddedTo(READ_LIMIT, settings + "[Other]\nNotes=", ""), false },
		{ "a key given again and again", copies, false },
		{ "no line feed at the end", PaddedTo(READ_LIMIT, settings, "[Watch]\nUse=0"), false },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		ASSERT_LE(c.text.size(), READ_LIMIT);
		TCapturedLog log;
		LoadText(c.text);
		SetAsTheSettingsWindowDoes(m_Config);
		ASSERT_TRUE(m_Config.Save("morvaleth.ini")) << m_Config.GetFileError();
		const std::string saved = ReadFile("morvaleth.ini");
		EXPECT_LE(saved.size(), READ_LIMIT);
		// Comments are kept when the old lines fit.
		EXPECT_EQ(c.whole, saved.find('#') != std::string::npos);
		EXPECT_EQ(c.whole ? 0 : 1, log.CountLines("使われている設定だけを書き出します。ほかの行は morvaleth.bak に残ります。"))
			<< log.Text();
		EXPECT_EQ(c.text, ReadFile("morvaleth.bak"));
		TGameConfig reread;
		ASSERT_TRUE(reread.Load("morvaleth.ini"));
		EXPECT_EQ("", reread.GetFileError());
		EXPECT_EQ(Settings(m_Config), Settings(reread));
	}
}

// Only settings of megabytes fill a file with what the game reads: such a file stays as it was, and loads.
TEST_F(GameConfigTest, SettingsThatCannotBeWrittenWithinTheLimitLeaveTheFileAsItWas)
{
	const std::string text = "[GUI]\nFontName=" + std::string(READ_LIMIT - 16, 'f') + "\n";
	ASSERT_EQ(READ_LIMIT, text.size());
	LoadText(text);
	SetAsTheSettingsWindowDoes(m_Config);
	EXPECT_FALSE(m_Config.Save("morvaleth.ini"));
	EXPECT_EQ(" (書き出すと 4194304 バイトを超えます)", m_Config.GetFileError());
	EXPECT_EQ(text, ReadFile("morvaleth.ini"));
	EXPECT_FALSE(FileExists("tmp.txt"));
	TGameConfig reread;
	ASSERT_TRUE(reread.Load("morvaleth.ini"));
	EXPECT_EQ(READ_LIMIT - 16, reread.m_FontName.size());
}

TEST_F(GameConfigTest, ShortcutLookupTakesTheLowestIndexAndNeverKeyZero)
{
	LoadText("[Shortcut]\nCharge=99\nMagic=97\nRunAway=97\n");
	int action = -1;
	EXPECT_TRUE(m_Config.FindShortcutAction(99, action));
	EXPECT_EQ(SHORTCUT_CHARGE, action);
	EXPECT_TRUE(m_Config.FindShortcutAction(97, action));
	EXPECT_EQ(SHORTCUT_MAGIC, action);
	// Unassigned shortcuts hold 0, and so does a key that SDL cannot name.
	action = -1;
	EXPECT_FALSE(m_Config.FindShortcutAction(0, action));
	EXPECT_FALSE(m_Config.FindShortcutAction(50, action));
	EXPECT_EQ(-1, action);
	m_Config.SetShortcut(SHORTCUT_WAIT, 97);
	EXPECT_TRUE(m_Config.FindShortcutAction(97, action));
	EXPECT_EQ(SHORTCUT_WAIT, action);
}

TEST_F(GameConfigTest, SettersRewriteTheFileInPlaceOnSave)
{
	LoadText("# config\n[Window]\nFPS=60\nWidth=800\n[Mixer]\nMusicEnabled=1\n");
	m_Config.SetIntValue(CONFIG_FPS, 30);
	m_Config.SetBoolValue(SWITCH_SOUND_ENABLED, true);
	m_Config.SetBoolValue(SWITCH_MUSIC_ENABLED, false);
	m_Config.SetShortcut(SHORTCUT_MOVE, 109);
	EXPECT_EQ(30, m_Config.GetIntValue(CONFIG_FPS));
	EXPECT_TRUE(m_Config.GetBoolValue(SWITCH_SOUND_ENABLED));
	ASSERT_TRUE(m_Config.Save("morvaleth.ini"));
	EXPECT_EQ("# config\n[Window]\nFPS=30\nWidth=800\n[Mixer]\nMusicEnabled=0\nSoundEnabled=1\n[Shortcut]\nMove=109\n",
		ReadFile("morvaleth.ini"));

	TGameConfig reloaded;
	ASSERT_TRUE(reloaded.Load("morvaleth.ini"));
	EXPECT_EQ(30, reloaded.GetIntValue(CONFIG_FPS));
	EXPECT_FALSE(reloaded.GetBoolValue(SWITCH_MUSIC_ENABLED));
	EXPECT_EQ(109, reloaded.GetShortcut(SHORTCUT_MOVE));
}

TEST_F(GameConfigTest, SettingsAreSavedWhenThereWasNoFile)
{
	m_Config.Load("morvaleth.ini");
	m_Config.SetIntValue(CONFIG_FPS, 30);
	EXPECT_TRUE(m_Config.Save("morvaleth.ini"));
	EXPECT_EQ("[Window]\nFPS=30\n", ReadFile("morvaleth.ini"));
}

TEST_F(GameConfigTest, WindowSizeInUseIsNotWrittenToTheFile)
{
	LoadText("[Window]\nWidth=1024\n");
	m_Config.SetWindowSize(1000, 700);
	int width = 0, height = 0;
	m_Config.GetWindowSize(width, height);
	EXPECT_EQ(1000, width);
	EXPECT_EQ(700, height);
	ASSERT_TRUE(m_Config.Save("morvaleth.ini"));
	EXPECT_EQ("[Window]\nWidth=1024\n", ReadFile("morvaleth.ini"));
}

TEST_F(GameConfigTest, AnIndexOutsideItsTableIsAnErrorAndChangesNothing)
{
	LoadText("[Window]\nFPS=50\n");
	const std::string before = ReadFile("morvaleth.ini");
	struct TCase
	{
		const char* what;
		std::function<void()> call;
	};
	const std::vector<TCase> cases = {
		{ "TGameConfig::GetIntValue", [&] { EXPECT_EQ(0, m_Config.GetIntValue(CONFIG_COUNT)); } },
		{ "TGameConfig::GetIntValue", [&] { EXPECT_EQ(0, m_Config.GetIntValue(-1)); } },
		{ "TGameConfig::SetIntValue", [&] { m_Config.SetIntValue(CONFIG_COUNT, 7); } },
		{ "TGameConfig::GetBoolValue", [&] { EXPECT_FALSE(m_Config.GetBoolValue(SWITCH_COUNT)); } },
		{ "TGameConfig::SetBoolValue", [&] { m_Config.SetBoolValue(-1, true); } },
		{ "TGameConfig::GetShortcut", [&] { EXPECT_EQ(0, m_Config.GetShortcut(SHORTCUT_COUNT)); } },
		{ "TGameConfig::SetShortcut", [&] { m_Config.SetShortcut(SHORTCUT_COUNT, 97); } },
		{ "TGameConfig::GetColor", [&] { EXPECT_EQ(gcn::Color(0, 0, 0, 255), m_Config.GetColor(EXTRACOLOR_COUNT)); } },
		{ "TGameConfig::GetGuiColor",
			[&] { EXPECT_EQ(gcn::Color(0, 0, 0, 255), m_Config.GetGuiColor(GUICOLOR_COUNT)); } },
	};
	for (const TCase& c : cases) {
		TCapturedLog log;
		c.call();
		EXPECT_EQ(1, log.CountLines(std::string(" Error ") + c.what + ":")) << c.what << "\n" << log.Text();
	}
	EXPECT_EQ(50, m_Config.GetIntValue(CONFIG_FPS));
	EXPECT_TRUE(m_Config.Save("morvaleth.ini"));
	EXPECT_EQ(before, ReadFile("morvaleth.ini")) << "nothing reached the store";
	for (int i = 0; i < SHORTCUT_COUNT; ++i)
		EXPECT_EQ(0, m_Config.GetShortcut(i)) << i;
}
