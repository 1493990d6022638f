#include "app/IniLoader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>

namespace
{
// "tmp.txt" and "morvaleth.bak" live in the working folder, so every test gets its own.
class IniLoaderTest : public ::testing::Test
{
protected:
	TTempDir m_Dir;
	TCapturedLog m_Log;
	TScopedCwd m_Cwd{ m_Dir.Path() };
	TIniLoader m_Ini;

	std::string String(const std::string& section, const std::string& key) const
	{
		std::string value = "<missing>";
		m_Ini.GetString(section, key, value);
		return value;
	}
};

const char* const RenameFailed = " のrenameに失敗しました。この現象を作者に報告して下さい。";
}

TEST_F(IniLoaderTest, ReadsSectionsKeysAndValuesUntrimmed)
{
	WriteFile("a.ini",
		"top=1\n"
		"#Commented=1\n"
		"[Window]\n"
		"FPS = 30\n"
		"Width=1024\n"
		"[Broken\n"
		"no equals sign\n"
		"Formula=a=b\n"
		"[]\n"
		"empty=yes\n"
		"[Window]\n"
		"Width=1280\n"
		"Height=768");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	EXPECT_EQ("1", String("", "top"));
	EXPECT_EQ("<missing>", String("", "#Commented"));
	EXPECT_EQ(" 30", String("Window", "FPS "));
	EXPECT_EQ("<missing>", String("Window", "FPS"));
	EXPECT_EQ("a=b", String("Window", "Formula"));
	EXPECT_EQ("yes", String("", "empty"));
	// A section met twice merges, and a later key wins; the last line needs no line feed.
	EXPECT_EQ("1280", String("Window", "Width"));
	EXPECT_EQ("768", String("Window", "Height"));
	EXPECT_EQ("<missing>", String("Broken", "Formula"));
	EXPECT_EQ("<missing>", String("Mixer", "Width"));
	// A missing file fails and empties the store.
	EXPECT_FALSE(m_Ini.LoadFromFile("none.ini"));
	EXPECT_EQ("<missing>", String("Window", "Width"));
}

TEST_F(IniLoaderTest, NumbersReadAsScanfReadsThem)
{
	WriteFile("a.ini", "[S]\ndigits=12abc\nspaced= 7\nword=abc\nhex=0x1F\ncolor=80ff0000\n");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	int number = -1;
	EXPECT_TRUE(m_Ini.GetInt("S", "digits", number));
	EXPECT_EQ(12, number);
	EXPECT_TRUE(m_Ini.GetInt("S", "spaced", number));
	EXPECT_EQ(7, number);
	EXPECT_FALSE(m_Ini.GetInt("S", "word", number));
	EXPECT_FALSE(m_Ini.GetInt("S", "missing", number));
	EXPECT_FALSE(m_Ini.GetInt("T", "digits", number));
	EXPECT_EQ(7, number);
	unsigned word = 0;
	EXPECT_TRUE(m_Ini.GetHex("S", "hex", word));
	EXPECT_EQ(0x1Fu, word);
	EXPECT_TRUE(m_Ini.GetHex("S", "color", word));
	EXPECT_EQ(0x80ff0000u, word);
	// Beyond the range a number is the nearest limit, never a wrapped one.
	WriteFile("a.ini", "[S]\nbig=99999999999\nsmall=-99999999999\nwide=ffffffffff\n");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	EXPECT_TRUE(m_Ini.GetInt("S", "big", number));
	EXPECT_EQ(2147483647, number);
	EXPECT_TRUE(m_Ini.GetInt("S", "small", number));
	EXPECT_EQ(-2147483647 - 1, number);
	EXPECT_TRUE(m_Ini.GetHex("S", "wide", word));
	EXPECT_EQ(0xFFFFFFFFu, word);
}

TEST_F(IniLoaderTest, WindowsLineEndsAreReadAndWrittenAsLineFeeds)
{
	WriteFile("a.ini", "[Window]\r\nFPS=30\r\n# note\r\n[GUI]\r\nFontName=IPAGothic\r\n");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	EXPECT_EQ("IPAGothic", String("GUI", "FontName"));
	m_Ini.SetInt("Window", "FPS", 45);
	ASSERT_TRUE(m_Ini.SaveToFile("a.ini"));
	EXPECT_EQ("[Window]\nFPS=45\n# note\n[GUI]\nFontName=IPAGothic\n", ReadFile("a.ini"));
}

// The reader takes one carriage return off a line; a value or a copied line that
// still ends in one is written so that it reads back the same.
TEST_F(IniLoaderTest, ACarriageReturnThatBelongsToALineSurvivesASave)
{
	WriteFile("a.ini", "[S]\r\nkey=value\r\r\n# note\r\r\nother=1\n");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	EXPECT_EQ("value\r", String("S", "key"));
	m_Ini.SetString("S", "added", "x\r");
	ASSERT_TRUE(m_Ini.SaveToFile("a.ini"));
	EXPECT_EQ("[S]\nkey=value\r\r\n# note\r\r\nother=1\nadded=x\r\r\n", ReadFile("a.ini"));
	TIniLoader again;
	ASSERT_TRUE(again.LoadFromFile("a.ini"));
	std::string value;
	EXPECT_TRUE(again.GetString("S", "key", value));
	EXPECT_EQ("value\r", value);
	EXPECT_TRUE(again.GetString("S", "added", value));
	EXPECT_EQ("x\r", value);
}

TEST_F(IniLoaderTest, LongLinesAreReadAndCopiedWhole)
{
	const std::string value(3000, 'v');
	const std::string comment = "#" + std::string(2999, 'c');
	WriteFile("a.ini", "[S]\nlong=" + value + "\n" + comment + "\nnext=1\n");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	EXPECT_EQ(value, String("S", "long"));
	EXPECT_EQ("1", String("S", "next"));
	m_Ini.SetInt("S", "next", 2);
	ASSERT_TRUE(m_Ini.SaveToFile("a.ini"));
	EXPECT_EQ("[S]\nlong=" + value + "\n" + comment + "\nnext=2\n", ReadFile("a.ini"));
}

TEST_F(IniLoaderTest, SaveRewritesInPlaceAndAddsNewKeysAndSections)
{
	const std::string original =
		"# settings\n"
		"[Window]\n"
		"FPS=60\n"
		"FPS = 60\n"
		"FPS=61\n"
		"# end of window\n"
		"\n"
		"[Mixer]\n"
		"MusicEnabled=0\n";
	WriteFile("a.ini", original);
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	m_Ini.SetInt("Window", "FPS", 30);
	m_Ini.SetString("Window", "Width", "1024");
	m_Ini.SetString("Mixer", "SoundEnabled", "1");
	m_Ini.SetString("Battle", "TurnMax", "5");
	m_Ini.SetString("Battle", "AnimationSpeed", "2");
	ASSERT_TRUE(m_Ini.SaveToFile("a.ini"));
	// A key met twice is rewritten at both places; the untrimmed "FPS " is a key of its own.
	EXPECT_EQ(
		"# settings\n"
		"[Window]\n"
		"FPS=30\n"
		"FPS = 60\n"
		"FPS=30\n"
		"# end of window\n"
		"\n"
		"Width=1024\n"
		"[Mixer]\n"
		"MusicEnabled=0\n"
		"SoundEnabled=1\n"
		"[Battle]\n"
		"AnimationSpeed=2\n"
		"TurnMax=5\n",
		ReadFile("a.ini"));
	EXPECT_EQ(original, ReadFile("morvaleth.bak"));
	EXPECT_FALSE(FileExists("tmp.txt"));
}

TEST_F(IniLoaderTest, KeysTheStoreLacksAreCopiedUnchanged)
{
	WriteFile("a.ini", "[Window]\nFPS=30\n");
	WriteFile("b.ini", "[Window]\nOld=1\nFPS=60\n[Other]\nFPS=60\n");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	ASSERT_TRUE(m_Ini.SaveToFile("b.ini"));
	EXPECT_EQ("[Window]\nOld=1\nFPS=30\n[Other]\nFPS=60\n", ReadFile("b.ini"));
}

TEST_F(IniLoaderTest, AMissingFileIsWrittenAnewWithoutBackupAndTheNextSaveBacksItUp)
{
	m_Ini.SetString("Window", "Width", "800");
	m_Ini.SetString("Window", "FPS", "60");
	m_Ini.SetString("Battle", "TurnMax", "10");
	ASSERT_TRUE(m_Ini.SaveToFile("new.ini"));
	EXPECT_EQ("[Battle]\nTurnMax=10\n[Window]\nFPS=60\nWidth=800\n", ReadFile("new.ini"));
	EXPECT_FALSE(FileExists("morvaleth.bak"));
	EXPECT_FALSE(FileExists("tmp.txt"));
	EXPECT_EQ("", m_Log.Text());
	m_Ini.SetInt("Battle", "TurnMax", 3);
	ASSERT_TRUE(m_Ini.SaveToFile("new.ini"));
	EXPECT_EQ("[Battle]\nTurnMax=10\n[Window]\nFPS=60\nWidth=800\n", ReadFile("morvaleth.bak"));
	EXPECT_EQ("[Battle]\nTurnMax=3\n[Window]\nFPS=60\nWidth=800\n", ReadFile("new.ini"));
}

TEST_F(IniLoaderTest, FailedBackupLeavesTheFileUntouched)
{
	// A folder that is not empty cannot be replaced by the backup copy.
	boost::filesystem::create_directories("morvaleth.bak/keep");
	const std::string original = "[S]\nk=1\n";
	WriteFile("a.ini", original);
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	m_Ini.SetInt("S", "k", 2);
	EXPECT_FALSE(m_Ini.SaveToFile("a.ini"));
	EXPECT_EQ(original, ReadFile("a.ini"));
	EXPECT_EQ(1, m_Log.CountLines(" Error TIniLoader::SaveToFile:"));
	EXPECT_EQ(1, m_Log.CountLines(std::string("a.ini => morvaleth.bak") + RenameFailed));
	EXPECT_FALSE(FileExists("tmp.txt"));
}

TEST_F(IniLoaderTest, AFailedRenameIsLoggedAndReportedAndLeavesAFolderInThePlaceOfTheFileAlone)
{
	m_Ini.SetString("S", "k", "1");
	EXPECT_FALSE(m_Ini.SaveToFile("missing/a.ini"));
	EXPECT_EQ(1, m_Log.CountLines(" Error TIniLoader::SaveToFile:"));
	EXPECT_EQ(1, m_Log.CountLines(std::string("tmp.txt => missing/a.ini") + RenameFailed));
	EXPECT_FALSE(FileExists("tmp.txt"));
	boost::filesystem::create_directories("a.ini/keep");
	EXPECT_FALSE(m_Ini.SaveToFile("a.ini"));
	EXPECT_TRUE(boost::filesystem::is_directory("a.ini/keep"));
	EXPECT_FALSE(FileExists("tmp.txt"));
}
