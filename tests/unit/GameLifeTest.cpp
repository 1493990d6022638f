// The game master's save slots: a game saved and loaded back, damaged and hostile slot files refused
// with the running game kept, a save that fails half-way, and the slots' captions.

#include "unit/ModelFixture.h"

#include "app/GameMaster.h"
#include "app/WorldMapControl.h"
#include "app/XmlGuard.h"
#include "gui/WidgetSet.h"
#include "media/MorvalethImage.h"
#include "media/MorvalethMixer.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "world/WorldMapLogic.h"

#include <boost/filesystem.hpp>
#include <functional>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>

namespace fs = boost::filesystem;

namespace
{
const char* const EVENT_SCRIPT = "function on_system_start() Flag[3] = 'kept' Flag['name'] = 42.5 return true end\n"
								 "function global_script() return true end\n";
const char* const WORLD_SCRIPT = "function OnTurnEndButton() return true end\n"
								 "function MasterDead() return true end\n"
								 "function GameOver() return true end\n";
const char* const STRATEGY_SCRIPT = "function on_myturn() return true end\n"
									"function on_proposed_alliance(a, b) return false end\n";
}

/// The sample scenario as "Sample" under a scratch data root, with scripts of its own, held by the game
/// master as a new game would hold it.
class GameLifeTest : public ::testing::Test
{
protected:
	GameLifeTest() : m_Cwd(m_Root.Path()), m_PreviousRoot(g_GameMaster.m_RootDir)
	{
		const fs::path sample(SampleScenario());
		const fs::path scenarios = fs::path(m_Root.Path()) / "Scenario";
		fs::create_directories(scenarios / "Sample" / "Script");
		fs::create_directory_symlink(sample, scenarios / "Default");
		for (fs::directory_iterator it(sample), end; it != end; ++it)
			if (it->path().filename() != "Script")
				fs::create_symlink(it->path(), scenarios / "Sample" / it->path().filename());
		WriteFile(Script("EventScript.lua"), EVENT_SCRIPT);
		WriteFile(Script("world.lua"), WORLD_SCRIPT);
		WriteFile(Script("strategy.lua"), STRATEGY_SCRIPT);
		g_GameMaster.m_RootDir = m_Root.Path();
		HoldSample();
	}

	~GameLifeTest() override
	{
		g_GameMaster.ReleaseGame();
		g_GameMaster.m_RootDir = m_PreviousRoot;
		g_GameMaster.m_ScenarioDir.clear();
		g_GameMaster.m_ScenarioName.clear();
	}

	std::string Script(const std::string& name) const { return m_Root / ("Scenario/Sample/Script/" + name); }
	std::string Slot(int slot) const { return TDremoGameMaster::GetSaveFilePath(m_Root / "Save", slot); }

	/// The sample's first chapter held and started without a player, its images left out.
	void HoldSample()
	{
		TDremoGameMaster& master = g_GameMaster;
		master.m_ScenarioName = "Sample";
		master.m_ScenarioDir = m_Root / "Scenario/Sample";
		master.m_WidgetSet.reset(new TGcnWidgetSet);
		master.m_Data.reset(new TMorvalethData);
		ASSERT_TRUE(master.m_Data->Load(master.m_ScenarioDir, 0));
		master.m_Image.reset(new TMorvalethImage);
		master.m_Mixer.reset(new TMorvalethMixer(false));
		master.m_Game.reset(new TMorvalethGame);
		ASSERT_TRUE(master.m_Game->LoadNew(master.m_Data.get(), master.m_ScenarioDir, 0, 3));
		master.m_WorldMap = CreateWorldMapControl(master.m_WidgetSet.get(), *master.m_Game, *master.m_Data);
		master.StartGame({});
	}

	/// The running controller, stepped by the test.
	TWorldMapLogic& Controller() const { return dynamic_cast<TWorldMapLogic&>(*g_GameMaster.m_WorldMap); }

	/// A save file without its date, which differs from save to save.
	std::string SaveText(int slot) const
	{
		static const std::regex date("<Date>[^<]*</Date>");
		return std::regex_replace(ReadFile(Slot(slot)), date, "");
	}

	TTempDir m_Root;
	TScopedCwd m_Cwd;
	TCapturedLog m_Log;

private:
	std::string m_PreviousRoot;
};

TEST_F(GameLifeTest, ASavedGameLoadsBackToTheSameSaveAtEveryMoment)
{
	const auto roundTrip = [this](const char* moment) {
		SCOPED_TRACE(moment);
		ASSERT_TRUE(g_GameMaster.SaveGame(0));
		const TMorvalethGame* before = g_GameMaster.m_Game.get();
		ASSERT_TRUE(g_GameMaster.LoadGame(0));
		EXPECT_NE(before, g_GameMaster.m_Game.get());
		EXPECT_FALSE(g_GameMaster.m_WorldMap->HasStopped());
		ASSERT_TRUE(g_GameMaster.SaveGame(1));
		EXPECT_EQ(SaveText(0), SaveText(1));
	};
	roundTrip("a master's turn");
	EXPECT_NE(std::string::npos, SaveText(0).find("kept"));
	EXPECT_NE(std::string::npos, SaveText(0).find("42.5"));
	while (Controller().GetStatus() != WORLD_NEXT_MASTER)
		Controller().Logic();
	roundTrip("between two masters");
	TMorvalethGame& game = *g_GameMaster.m_Game;
	const int defeated = game.GetCurrentMaster();
	for (int a = 0; a < game.GetAreaCount(); ++a)
		if (game.GetArea(a).Owner == defeated)
			game.GetArea(a).Charas.clear();
	game.RemoveDefeatedMasters();
	ASSERT_FALSE(game.GetMaster(defeated).Exists);
	roundTrip("after a master's defeat");
	EXPECT_FALSE(g_GameMaster.m_Game->GetMaster(defeated).Exists);
	EXPECT_EQ(0, m_Log.CountLines("Error"));
}

/// A slot file the loader must refuse: how it is made from a good save, and the Error it logs.
struct TBadSlot
{
	const char* name;
	const char* from;
	const char* to;
	const char* error;
};

void PrintTo(const TBadSlot& slot, std::ostream* out)
{
	*out << slot.name;
}

class GameLifeBadSlotTest : public GameLifeTest, public ::testing::WithParamInterface<TBadSlot>
{
};

TEST_P(GameLifeBadSlotTest, IsRefusedWithItsErrorAndTheRunningGameGoesOn)
{
	const TBadSlot& bad = GetParam();
	ASSERT_TRUE(g_GameMaster.SaveGame(0));
	std::string text = ReadFile(Slot(0));
	if (bad.from) {
		ASSERT_NE(std::string::npos, text.find(bad.from)) << bad.from;
		for (std::size_t at = text.find(bad.from); at != std::string::npos;
			 at = text.find(bad.from, at + std::string(bad.to).size()))
			text.replace(at, std::string(bad.from).size(), bad.to);
		WriteFile(Slot(0), text);
	} else {
		fs::remove(Slot(0));
	}
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	const TWorldMapControl* worldMap = g_GameMaster.m_WorldMap.get();
	const int status = Controller().GetStatus();
	EXPECT_FALSE(g_GameMaster.LoadGame(0));
	EXPECT_EQ(game, g_GameMaster.m_Game.get());
	EXPECT_EQ(worldMap, g_GameMaster.m_WorldMap.get());
	EXPECT_EQ(status, Controller().GetStatus());
	EXPECT_EQ("Sample", g_GameMaster.m_ScenarioName);
	EXPECT_LE(1, m_Log.CountLines(bad.error)) << m_Log.Text();
	EXPECT_LE(1, m_Log.CountLines("を読み込めませんでした。"));
	// The game goes on.
	for (int frame = 0; frame < 10; ++frame)
		Controller().Logic();
	EXPECT_FALSE(g_GameMaster.m_WorldMap->HasStopped());
}

INSTANTIATE_TEST_SUITE_P(Slot, GameLifeBadSlotTest,
	::testing::Values(TBadSlot{"missing", nullptr, nullptr, "XML parse error"},
		TBadSlot{"not_xml", "<Save>", "<Save", "XML parse error"},
		TBadSlot{"other_root", "Save>", "Saved>", "Save 検索失敗"},
		TBadSlot{"no_chapter", "<Chapter", "<Chapters", "Chapter index not found."},
		TBadSlot{"no_scenario", "Scenario>", "Scenarios>", "Scenario 検索失敗"},
		TBadSlot{"scenario_outside", "<Scenario>Sample<", "<Scenario>../../etc<", "シナリオフォルダの名前ではありません"},
		TBadSlot{"unknown_scenario", "<Scenario>Sample<", "<Scenario>Nowhere<", "の読み込みに失敗"},
		TBadSlot{"scenario_not_found", "<Scenario>Sample<", "<Scenario>Nowhere<", "Scenario/Nowhere が見つかりません。"},
		TBadSlot{"damaged_game", "MasterList", "MasterLost", "MasterList"},
		TBadSlot{"no_lua_event", "LuaEvent>", "LuaEvents>", "LuaEvent not found."},
		TBadSlot{"damaged_lua_event", "</LuaEvent>", "<Flag><_1 kt=\"3\">1</_1></Flag></LuaEvent>",
			"xml2luavar error"}),
	[](const ::testing::TestParamInfo<TBadSlot>& info) { return std::string(info.param.name); });

TEST_F(GameLifeTest, ASaveThatFailsHalfWayLeavesTheSlotsEarlierSaveAndIsReported)
{
	ASSERT_TRUE(g_GameMaster.SaveGame(4));
	const std::string earlier = ReadFile(Slot(4));
	// Nothing can be written where the temporary file goes, and the message says what stands there.
	fs::create_directories(Slot(4) + ".tmp/blocked");
	EXPECT_FALSE(g_GameMaster.SaveGame(4));
	EXPECT_EQ(earlier, ReadFile(Slot(4)));
	EXPECT_TRUE(fs::is_directory(Slot(4) + ".tmp/blocked"));
	EXPECT_LE(1, m_Log.CountLines(Slot(4) + " に保存できませんでした。 (" + Slot(4) + ".tmp は空でないフォルダです)"))
		<< m_Log.Text();
}

// The written file cannot take the slot's place (a folder stands there, or a sticky folder keeps another user's
// file): the message names both and gives the system's reason, as every other failed save gives one.
TEST_F(GameLifeTest, ASlotThatCannotBeReplacedIsReportedWithTheSystemsReason)
{
	fs::create_directories(Slot(3) + "/kept");
	EXPECT_FALSE(g_GameMaster.SaveGame(3));
	EXPECT_TRUE(fs::is_directory(Slot(3) + "/kept"));
	EXPECT_FALSE(fs::exists(Slot(3) + ".tmp"));
	EXPECT_LE(1, m_Log.CountLines(Slot(3) + " に保存できませんでした。 (" + Slot(3) + ".tmp を " + Slot(3)
		+ " に置き換えられません: Is a directory)")) << m_Log.Text();
}

// Whatever stands where the temporary file goes is replaced, never written through: a pipe would block the save
// for good, a link would have it overwrite the file the link points at.
TEST_F(GameLifeTest, ASaveWritesOnlyItsOwnFileWhateverStandsWhereItsTemporaryFileGoes)
{
	const std::string other = m_Root / "other.txt";
	const std::string temporary = Slot(5) + ".tmp";
	const std::function<void()> makers[] = {
		[&] { ASSERT_EQ(0, ::mkfifo(temporary.c_str(), 0600)); },
		[&] { fs::create_symlink(other, temporary); },
		[&] { fs::create_symlink(m_Root / "nowhere", temporary); },
		[&] { WriteFile(temporary, "left by a save that was cut short"); },
		[&] { fs::create_directories(temporary); },
	};
	for (const auto& make : makers) {
		WriteFile(other, "not a save");
		fs::create_directories(m_Root / "Save");
		make();
		EXPECT_TRUE(g_GameMaster.SaveGame(5));
		EXPECT_EQ("not a save", ReadFile(other));
		EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(Slot(5))));
		EXPECT_FALSE(fs::exists(fs::symlink_status(temporary)));
		EXPECT_TRUE(g_GameMaster.LoadGame(5));
		fs::remove(Slot(5));
	}
}

// Tables that share tables are written out whole at every place: depth 40 would make two trillion elements.
// The writer stops once it passes what a load accepts, the slot keeps its save and the game goes on; a table
// within the limits is saved and loads back.
TEST_F(GameLifeTest, AFlagTablePastWhatALoadAcceptsIsRefusedAndTheSlotKeepsItsSave)
{
	const struct
	{
		int depth;
		bool saved;
	} cases[] = {{10, true}, {40, false}};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.depth);
		WriteFile(Script("EventScript.lua"),
			"function on_system_start() local t = {} for i = 1, " + std::to_string(c.depth) +
				" do t = {a = t, b = t} end Flag[1] = t return true end\nfunction global_script() return true end\n");
		g_GameMaster.ReleaseGame();
		HoldSample();
		fs::create_directories(m_Root / "Save");
		WriteFile(Slot(6), "an earlier save");
		TCapturedLog log;
		EXPECT_EQ(c.saved, g_GameMaster.SaveGame(6));
		EXPECT_FALSE(fs::exists(Slot(6) + ".tmp"));
		if (c.saved) {
			EXPECT_EQ(0, log.CountLines("Error")) << log.Text();
			EXPECT_TRUE(g_GameMaster.LoadGame(6));
			ASSERT_TRUE(g_GameMaster.SaveGame(7));
			EXPECT_EQ(SaveText(6), SaveText(7));
			continue;
		}
		EXPECT_EQ("an earlier save", ReadFile(Slot(6)));
		EXPECT_EQ(1, log.CountLines("フラグテーブルがセーブデータとして読み込める大きさ")) << log.Text();
		EXPECT_LE(1, log.CountLines(Slot(6) + " に保存できませんでした。 (スクリプトのフラグテーブルが大きすぎます)")) << log.Text();
		for (int frame = 0; frame < 10; ++frame)
			Controller().Logic();
		EXPECT_FALSE(g_GameMaster.m_WorldMap->HasStopped());
	}
}

TEST_F(GameLifeTest, TheSlotCaptionsNameEachSavesDateAndDigestOrWhyThereIsNone)
{
	ASSERT_TRUE(g_GameMaster.SaveGame(1));
	WriteFile(Slot(2), "<Save><Date>2026/01/02 03:04:05.000006</Date></Save>");
	WriteFile(Slot(3), "not a save");
	WriteFile(Slot(4), "<Save><Date>short</Date><Digest>d</Digest></Save>");
	std::vector<std::string> labels;
	TDremoGameMaster::ReadSaveSlotLabels(g_GameMaster.SaveFolder(), labels, 10);
	ASSERT_EQ(10u, labels.size());
	EXPECT_EQ("データなし", labels[0]);
	std::string digest;
	g_GameMaster.m_Game->GetSaveCaption(digest);
	EXPECT_TRUE(std::regex_match(labels[1], std::regex("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d .*")));
	EXPECT_EQ(digest, labels[1].substr(20));
	EXPECT_EQ("互換性が無いか、破損したデータ", labels[2]);
	EXPECT_EQ("互換性が無いか、破損したデータ", labels[3]);
	EXPECT_EQ("short d", labels[4]);
	EXPECT_EQ(1, m_Log.CountLines("XML Digest not found."));
	EXPECT_EQ(1, m_Log.CountLines("XML parse error"));
}

// Hostile slot files are refused before the XML parser sees them, in the slot list and on loading. The list
// reads no more than the head of a file: a slot whose head holds no caption is listed as damaged with its
// reason in the log, one whose harm lies past its head is listed and refused on loading; the running game goes on.
TEST_F(GameLifeTest, HostileSlotFilesAreListedFromTheirHeadAndRefusedOnLoad)
{
	const std::string head = "<Save><Date>d</Date><Digest>x</Digest>";
	std::string nested = head;
	for (int level = 0; level < 50000; ++level)
		nested += "<a>";
	std::string unknowns = head;
	for (int node = 0; node < 4500001; ++node)
		unknowns += "<!>";
	// The head ends after the second of the three bytes of a character.
	const std::string caption = "<Save><Date>d</Date><Digest>\xE6\x97\xA5</Digest>";
	const std::string cutCharacter = caption + std::string(65534 - caption.size(), ' ') + "\xE6\x9C\xAC</Save>";
	const std::string damaged = "互換性が無いか、破損したデータ";
	const std::string parseError = Slot(3) + " XML parse error ";
	const std::string beyondHead = parseError + "(先頭 65536 バイトに Digest の終わりがありません)";
	const struct
	{
		const char* name;
		std::string text;
		std::string label;
		/// The Error the list logs (none for a slot that is labelled) and the one the load logs.
		std::string listError;
		std::string loadError;
	} cases[] = {
		{"folder", "", damaged, parseError + "(通常のファイルではありません)", parseError + "(通常のファイルではありません)"},
		{"fifo", "", damaged, parseError + "(通常のファイルではありません)", parseError + "(通常のファイルではありません)"},
		{"deep", nested, "d x", "", parseError + "(要素の入れ子が 256 段を超えています)"},
		{"unknown_nodes", unknowns, "d x", "",
			parseError + "(要素・属性・テキスト・コメントなどのノードが 4500000 個を超えています)"},
		{"oversize", head, "d x", "", parseError + "(268435456 バイトを超えています)"},
		{"cut", "<Save><Date>d</Date><Digest>\xE3\x81", damaged,
			parseError + "(オフセット 28 のバイトが UTF-8 として正しくありません)",
			parseError + "(オフセット 28 のバイトが UTF-8 として正しくありません)"},
		{"cut_character_past_digest", cutCharacter, "d 日", "", "Chapter index not found."},
		{"digest_past_head", "<Save><Date>d</Date><Digest>" + std::string(70000, 'x') + "</Digest></Save>", damaged,
			beyondHead, "Chapter index not found."},
		{"no_root", "</Digest>" + std::string(70000, ' '), damaged, Slot(3) + " XML Save not found.",
			Slot(3) + " Save 検索失敗"},
		{"empty", "", damaged, parseError + "(Error document empty.", parseError + "(Error document empty."},
		{"binary", std::string("\x7F" "ELF\x02\x01\x00\x00", 8) + "\xFF\xFE", damaged,
			parseError + "(オフセット 8 のバイトが UTF-8 として正しくありません)",
			parseError + "(オフセット 8 のバイトが UTF-8 として正しくありません)"},
	};
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	for (const auto& c : cases) {
		SCOPED_TRACE(c.name);
		fs::create_directories(m_Root / "Save");
		const std::string name(c.name);
		if (name == "folder")
			fs::create_directories(Slot(3));
		else if (name == "fifo")
			ASSERT_EQ(0, ::mkfifo(Slot(3).c_str(), 0600));
		else
			WriteFile(Slot(3), c.text);
		if (name == "oversize")
			fs::resize_file(Slot(3), MAX_DATA_FILE_BYTES + 1);
		std::vector<std::string> labels;
		{
			TCapturedLog log;
			TDremoGameMaster::ReadSaveSlotLabels(g_GameMaster.SaveFolder(), labels, 10);
			EXPECT_EQ(c.listError.empty() ? 0 : 1, log.CountLines("Error")) << log.Text();
			if (!c.listError.empty()) {
				EXPECT_EQ(1, log.CountLines(c.listError)) << log.Text();
			}
		}
		ASSERT_EQ(10u, labels.size());
		EXPECT_EQ(c.label, labels[3]);
		TCapturedLog log;
		EXPECT_FALSE(g_GameMaster.LoadGame(3));
		EXPECT_EQ(1, log.CountLines(c.loadError)) << log.Text();
		EXPECT_EQ(game, g_GameMaster.m_Game.get());
		EXPECT_FALSE(g_GameMaster.m_WorldMap->HasStopped());
		fs::remove_all(Slot(3));
	}
}

// The failure says which file stopped the game and why, as the log does; the Error dialog shows it.
TEST_F(GameLifeTest, ANewGameThatCannotBeBuiltSaysWhyAndChangesNothingHeld)
{
	const fs::path wide = fs::path(m_Root.Path()) / "Scenario/Wide";
	fs::create_directories(wide / "Data");
	for (fs::directory_iterator it(SampleScenario()), end; it != end; ++it)
		if (it->path().filename() != "Data")
			fs::create_symlink(it->path(), wide / it->path().filename());
	for (fs::directory_iterator it(fs::path(SampleScenario()) / "Data"), end; it != end; ++it)
		fs::copy_file(it->path(), wide / "Data" / it->path().filename());
	const std::string map = (wide / "Data/BattleMap_A03.xml").string();
	const std::string text = ReadFile(map);
	WriteFile(map, text.substr(0, text.find("Width=\"16\"")) + "Width=\"120\"" + text.substr(text.find("Width=\"16\"") + 10));
	const std::string root = g_GameMaster.m_RootDir + "/Scenario/";
	const std::pair<const char*, std::string> cases[] = {
		{"Nowhere", "シナリオデータ " + root + "Nowhere の読み込みに失敗 (シナリオフォルダ " + root + "Nowhere が見つかりません。)"},
		{"..", "シナリオデータ " + root + ".. の読み込みに失敗"},
		{"Sample/../Sample", "シナリオデータ " + root + "Sample/../Sample の読み込みに失敗"},
		{"Wide", "ゲームデータの読み込みまたは構築に失敗 (" + map + " : Width 120 is outside 1..65.)"},
	};
	const TMorvalethGame* game = g_GameMaster.m_Game.get();
	for (const auto& c : cases) {
		EXPECT_FALSE(g_GameMaster.NewGame(c.first, 0, 3)) << c.first;
		EXPECT_EQ(c.second, g_GameMaster.m_LastError);
	}
	EXPECT_EQ(game, g_GameMaster.m_Game.get());
	EXPECT_EQ("Sample", g_GameMaster.m_ScenarioName);
}
