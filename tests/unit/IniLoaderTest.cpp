#include "app/IniLoader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>
#include <functional>
#include <sys/stat.h>

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

namespace fs = boost::filesystem;

/// Puts something other than a plain file under a name.
struct THostileEntry
{
	const char* what;
	std::function<void(const std::string& name)> make;
};

const THostileEntry HostileEntries[] = {
	{ "a link to another file", [](const std::string& name) { fs::create_symlink("victim.txt", name); } },
	{ "a link to /dev/zero", [](const std::string& name) { fs::create_symlink("/dev/zero", name); } },
	{ "a link to nothing", [](const std::string& name) { fs::create_symlink("nowhere.txt", name); } },
	{ "a pipe", [](const std::string& name) { ASSERT_EQ(0, ::mkfifo(name.c_str(), 0600)); } },
	{ "an empty folder", [](const std::string& name) { fs::create_directories(name); } },
	{ "a file left behind", [](const std::string& name) { WriteFile(name, "[Old]\nleft=1\n"); } },
};
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
	EXPECT_EQ(2, m_Log.CountLines(" Error TIniLoader::WriteBackup:")) << m_Log.Text();
	EXPECT_EQ(1, m_Log.CountLines("morvaleth.bak の削除に失敗しました。この現象を作者に報告して下さい。"));
	EXPECT_EQ(1, m_Log.CountLines(std::string("a.ini => morvaleth.bak") + RenameFailed));
	EXPECT_EQ(" (morvaleth.bak を作成できません)", m_Ini.GetFileError());
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

// The temporary file and the backup are the writer's own: whatever stands under their names is replaced, never
// written through (a link would overwrite the file it points at, a pipe would hold the save for good).
TEST_F(IniLoaderTest, ASaveWritesOnlyItsOwnFilesWhateverStandsUnderTheirNames)
{
	const std::string original = "[S]\nk=1\n";
	for (const char* name : { "tmp.txt", "morvaleth.bak" })
		for (const THostileEntry& entry : HostileEntries) {
			SCOPED_TRACE(std::string(name) + " is " + entry.what);
			WriteFile("victim.txt", "not the settings");
			WriteFile("a.ini", original);
			entry.make(name);
			ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
			m_Ini.SetInt("S", "k", 2);
			EXPECT_TRUE(m_Ini.SaveToFile("a.ini"));
			EXPECT_EQ("[S]\nk=2\n", ReadFile("a.ini"));
			EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("a.ini")));
			EXPECT_EQ(original, ReadFile("morvaleth.bak"));
			EXPECT_TRUE(fs::is_regular_file(fs::symlink_status("morvaleth.bak")));
			EXPECT_FALSE(fs::exists(fs::symlink_status("tmp.txt")));
			EXPECT_EQ("not the settings", ReadFile("victim.txt"));
			EXPECT_FALSE(fs::exists("nowhere.txt"));
			fs::remove("morvaleth.bak");
		}
}

TEST_F(IniLoaderTest, AFolderWithFilesUnderTheTemporaryNameStopsTheSaveAndIsNamed)
{
	WriteFile("a.ini", "[S]\nk=1\n");
	fs::create_directories("tmp.txt/keep");
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	m_Ini.SetInt("S", "k", 2);
	EXPECT_FALSE(m_Ini.SaveToFile("a.ini"));
	EXPECT_EQ("[S]\nk=1\n", ReadFile("a.ini"));
	EXPECT_EQ(" (tmp.txt を作成できません)", m_Ini.GetFileError());
	EXPECT_TRUE(fs::is_directory("tmp.txt/keep"));
}

// What is not a regular file, or is far larger than a configuration, is not read: nothing waits for a pipe's
// writer or reads a device without end. A save leaves it as it was.
TEST_F(IniLoaderTest, AFileThatIsNoConfigurationIsNeitherReadNorReplaced)
{
	const struct
	{
		const char* what;
		std::function<void()> make;
		const char* reason;
	} cases[] = {
		{ "a pipe", [] { ASSERT_EQ(0, ::mkfifo("a.ini", 0600)); }, " (通常のファイルではありません)" },
		{ "a link to /dev/zero", [] { fs::create_symlink("/dev/zero", "a.ini"); }, " (通常のファイルではありません)" },
		{ "a folder", [] { fs::create_directories("a.ini"); }, " (通常のファイルではありません)" },
		{ "a sparse file of a gigabyte", [] {
			WriteFile("a.ini", "[S]\nk=1\n");
			fs::resize_file("a.ini", 1u << 30);
		}, " (4194304 バイトを超えています)" },
		{ "one byte past the limit", [] { WriteFile("a.ini", "[S]\nk=" + std::string((4u << 20) - 5, '1')); },
			" (4194304 バイトを超えています)" },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		c.make();
		const fs::file_type type = fs::symlink_status("a.ini").type();
		EXPECT_FALSE(m_Ini.LoadFromFile("a.ini"));
		EXPECT_EQ(c.reason, m_Ini.GetFileError());
		EXPECT_EQ("<missing>", String("S", "k"));
		m_Ini.SetInt("S", "k", 2);
		EXPECT_FALSE(m_Ini.SaveToFile("a.ini"));
		EXPECT_EQ(c.reason, m_Ini.GetFileError());
		EXPECT_EQ(type, fs::symlink_status("a.ini").type());
		EXPECT_FALSE(FileExists("tmp.txt"));
		EXPECT_FALSE(FileExists("morvaleth.bak"));
		fs::remove_all("a.ini");
	}
	// A file of exactly the limit is a configuration.
	WriteFile("a.ini", "[S]\nk=" + std::string((4u << 20) - 6, '1'));
	EXPECT_TRUE(m_Ini.LoadFromFile("a.ini"));
	EXPECT_EQ("", m_Ini.GetFileError());
	EXPECT_EQ((4u << 20) - 6, String("S", "k").size());
}

// The reader reads at most 4 MiB: when the old file with the store's values would pass that, what is written is
// the keys asked for or set since the load, once each, with nothing else of the old file.
TEST_F(IniLoaderTest, AFileThatWouldGrowPastTheReadersLimitKeepsOnlyTheKeysInUse)
{
	std::string text = "top=1\n[S]\nasked=1\nunasked=2\n[T]\nx=3\n#";
	text += std::string((4u << 20) - text.size() - 1, 'c') + "\n";
	WriteFile("a.ini", text);
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	std::string value;
	int number = 0;
	EXPECT_TRUE(m_Ini.GetString("", "top", value));
	EXPECT_TRUE(m_Ini.GetInt("S", "asked", number));
	EXPECT_FALSE(m_Ini.GetString("S", "missing", value));
	m_Ini.SetString("U", "new", "v");
	ASSERT_TRUE(m_Ini.SaveToFile("a.ini"));
	EXPECT_EQ("top=1\n[S]\nasked=1\n[U]\nnew=v\n", ReadFile("a.ini"));
	EXPECT_EQ(text, ReadFile("morvaleth.bak"));
	EXPECT_EQ(1, m_Log.CountLines(" Warning TIniLoader::MakeText:"));
}

// Keys above the first section line belong to the section "" and are rewritten where they stand; a section
// that stands several times gets a key it lacks once, at the end of its last copy, and no copy gets the keys of
// another: a save never grows the file by keys it already holds.
TEST_F(IniLoaderTest, KeysAboveTheFirstSectionAndRepeatedSectionsAreWrittenOnce)
{
	const struct
	{
		const char* what;
		std::string text;
		std::function<void(TIniLoader&)> change;
		std::string saved;
	} cases[] = {
		{ "keys above the first section", "# head\ntop=1\n[Window]\nFPS=60\n",
			[](TIniLoader& ini) { ini.SetInt("", "top", 2); ini.SetInt("", "added", 3); },
			"# head\ntop=2\nadded=3\n[Window]\nFPS=60\n" },
		{ "nothing changed", "top=1\n[Window]\nFPS=60\n[]\nlater=2\n", [](TIniLoader&) {},
			"top=1\n[Window]\nFPS=60\n[]\nlater=2\n" },
		{ "a key added to the section \"\" that stands again later", "top=1\n[Window]\nFPS=60\n[]\nlater=2\n",
			[](TIniLoader& ini) { ini.SetInt("", "added", 3); },
			"top=1\n[Window]\nFPS=60\n[]\nlater=2\nadded=3\n" },
		{ "a section twice", "[Window]\nFPS=60\n[Mixer]\nSoundEnabled=0\n[Window]\nWidth=800\n[GUI]\n",
			[](TIniLoader& ini) { ini.SetInt("Window", "FPS", 30); ini.SetInt("Window", "Height", 600); },
			"[Window]\nFPS=30\n[Mixer]\nSoundEnabled=0\n[Window]\nWidth=800\nHeight=600\n[GUI]\n" },
		{ "no file", "", [](TIniLoader& ini) { ini.SetInt("", "top", 1); ini.SetInt("S", "k", 2); },
			"top=1\n[S]\nk=2\n" },
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.what);
		fs::remove("a.ini");
		if (!c.text.empty())
			WriteFile("a.ini", c.text);
		m_Ini.LoadFromFile("a.ini");
		c.change(m_Ini);
		ASSERT_TRUE(m_Ini.SaveToFile("a.ini"));
		EXPECT_EQ(c.saved, ReadFile("a.ini"));
	}

	std::string repeated;
	for (int i = 0; i < 1000; ++i)
		repeated += "[Window]\nFPS=60\nWidth=800\nHeight=600\n";
	WriteFile("a.ini", repeated);
	ASSERT_TRUE(m_Ini.LoadFromFile("a.ini"));
	m_Ini.SetInt("Window", "DisableSwapInterval", 1);
	ASSERT_TRUE(m_Ini.SaveToFile("a.ini"));
	EXPECT_EQ(repeated + "DisableSwapInterval=1\n", ReadFile("a.ini"));
}
