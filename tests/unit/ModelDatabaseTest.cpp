#include "ModelFixture.h"

#include "app/Logger.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"

#include <boost/filesystem.hpp>
#include <cstring>
#include <gtest/gtest.h>
#include <sstream>
#include <vector>

namespace
{
/// The bytes of a packed colour word in memory order.
std::string MemoryBytes(std::uint32_t word)
{
	char bytes[4];
	std::memcpy(bytes, &word, 4);
	return std::string(bytes, 4);
}
}

TEST(ModelDatabase, SampleLoadsWithoutErrorOrWarningInFileOrder)
{
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.Load(SampleScenario(), 0));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
	EXPECT_EQ(0, CountWarnings(log)) << log.Text();
	const char* const steps[] = {"MagicTable.xml", "MagicGroup.xml", "Race.xml", "MapChipType.xml",
		"MoveAndSkill.xml", "Attribute.xml", "Revive.xml", "MapObj.txt", "MapChip.txt", "MasterData.xml",
		"PowerMap.xml", "FieldMap.xml", "SpecialTable.xml", "CharacterData.xml", "ResolveMagic",
		"ResolveCharacterID", "ResolveEmployable", "ResolveMasterID", "Scenario.xml", "ScenarioX.xml"};
	const std::string text = log.Text();
	std::size_t previous = 0;
	for (const char* step : steps) {
		const std::size_t at = text.find(std::string(" Debug ") + step + " OK\n");
		ASSERT_NE(std::string::npos, at) << step;
		EXPECT_LT(previous, at) << step;
		previous = at;
	}

	// Loading again into the same object gives the same tables, not twice as much.
	const std::vector<int> counts = {data.GetMagicCount(), data.GetMagicGroupCount(), data.GetRaceCount(),
		data.GetAttributeCount(), data.GetMasterCount(), data.GetSpecialCount(), data.GetCharaCount(),
		data.GetCharaDirectoryCount(), data.GetHeroCount(), data.GetTargetGroup("undead")};
	ASSERT_TRUE(data.Load(SampleScenario(), 0));
	EXPECT_EQ(counts, (std::vector<int>{data.GetMagicCount(), data.GetMagicGroupCount(), data.GetRaceCount(),
		data.GetAttributeCount(), data.GetMasterCount(), data.GetSpecialCount(), data.GetCharaCount(),
		data.GetCharaDirectoryCount(), data.GetHeroCount(), data.GetTargetGroup("undead")}));
}

TEST(ModelDatabase, SampleTablesMatchTheFiles)
{
	const TMorvalethData& data = LoadedSample();
	EXPECT_EQ("サンプルシナリオ　辺境戦記", data.GetScenarioTitle());
	EXPECT_EQ("Ley", data.GetMoneyWord());
	EXPECT_EQ(11, data.GetMagicCount());
	EXPECT_EQ(3, data.GetMagicGroupCount());
	EXPECT_EQ(4, data.GetRaceCount());
	EXPECT_EQ(32, data.GetAttributeCount());
	EXPECT_EQ(5, data.GetMapGroundCount());
	EXPECT_EQ(6, data.GetMapObjectCount());
	EXPECT_EQ(4, data.GetMoveTypeCount());
	EXPECT_EQ(3, data.GetReviveCount());
	EXPECT_EQ(3, data.GetMasterCount());
	EXPECT_EQ(7, data.GetPowerMapAreaCount());
	EXPECT_EQ(640, data.GetFieldMapWidth());
	EXPECT_EQ(480, data.GetFieldMapHeight());
	EXPECT_EQ("fieldmap.png", data.GetFieldMapFile());
	EXPECT_EQ("powermap.png", data.GetPowerMapFile());
	EXPECT_EQ("event.wav", data.GetCommonMusic(0));
	EXPECT_EQ("decisive.wav", data.GetCommonMusic(1));
	ASSERT_EQ(3, data.GetCharaDirectoryCount());
	EXPECT_EQ("Extra", data.GetCharaDirectory(2));
	EXPECT_EQ("城", data.GetMapObjectName(4));
	EXPECT_EQ("水", data.GetMapGroundName(4));
	const int chips[] = {0, 0, 1, 1, 2, 2, 3, 4, 4, 0};
	ASSERT_EQ(10, data.GetMapChipNumberCount());
	for (int k = 0; k < 10; ++k)
		EXPECT_EQ(chips[k], data.GetMapChipNumber(k)) << k;
	ASSERT_EQ(6, data.GetMapObjNumberCount());
	EXPECT_EQ(4, data.GetMapObjNumber(4));
	EXPECT_EQ("第一章　辺境の火種", data.GetChapter().Name);
}

TEST(ModelDatabase, SortedTablesAreFoundByIdFileOrderTablesKeepTheirOrderAndAbsentIdsAnswerMinusOne)
{
	const TMorvalethData& data = LoadedSample();
	const TMorvalethData empty;
	const std::pair<int, int> lookups[] = {{0, data.GetRaceIndex("beast")}, {1, data.GetRaceIndex("elf")},
		{2, data.GetRaceIndex("human")}, {3, data.GetRaceIndex("undead")}, {0, data.GetMoveTypeIndex("fly")},
		{1, data.GetMoveTypeIndex("horse")}, {2, data.GetMoveTypeIndex("swim")}, {3, data.GetMoveTypeIndex("walk")},
		{0, data.GetMasterIndex("garm")}, {1, data.GetMasterIndex("leon")}, {2, data.GetMasterIndex("sera")},
		{0, data.GetReviveIndex("employ")}, {2, data.GetReviveIndex("undead")}, {6, data.GetPowerMapAreaIndex("A07")},
		{1, data.GetAttributeIndex("slash")}, {11, data.GetAttributeIndex("revive")},
		{2, data.GetMagicGroupIndex("light")}, {-1, data.GetRaceIndex("dwarf")}, {-1, data.GetRaceIndex("zombie")},
		{-1, data.GetRaceIndex("a")}, {-1, data.GetRaceIndex("")}, {-1, data.GetMasterIndex("leo")},
		{-1, data.GetAttributeIndex("sl")}, {-1, data.GetAttributeIndex("slashes")},
		{-1, data.GetMagicGroupIndex("ice")}, {-1, data.GetPowerMapAreaIndex("A08")},
		{-1, empty.GetMoveTypeIndex("walk")}, {-1, empty.GetAttributeIndex("none")}, {-1, empty.GetReviveIndex("same")}};
	for (std::size_t i = 0; i < std::size(lookups); ++i)
		EXPECT_EQ(lookups[i].first, lookups[i].second) << "lookup " << i;
	EXPECT_EQ("quake", data.GetMagicData(1).id);
}

TEST(ModelDatabase, RecordsHoldTheirFields)
{
	const TMorvalethData& data = LoadedSample();
	const TMagicGroupData& fire = data.GetMagicGroupData(data.GetMagicGroupIndex("fire"));
	EXPECT_EQ((std::vector<int>{0, 1, 10}), fire.Magic);
	EXPECT_EQ(std::string("\xE0\x40\x20\xFF", 4), MemoryBytes(fire.Color));
	const TMagicGroupData& light = data.GetMagicGroupData(data.GetMagicGroupIndex("light"));
	EXPECT_EQ((std::vector<int>{2, 3, 4, 7, 8, 9}), light.Magic);
	EXPECT_EQ(0xFFFFFFFFu, light.Color);
	const TMagicData& raise = data.GetMagicData(3);
	EXPECT_EQ(1, raise.Limit);
	EXPECT_EQ("", raise.Guidance);
	ASSERT_EQ(1u, raise.Entries.size());
	EXPECT_EQ("raisedead", raise.Entries[0].SpecialId);
	EXPECT_EQ(3, raise.Entries[0].Rank);
	EXPECT_EQ(data.GetSpecialIndex("raisedead"), raise.Entries[0].SpecialIndex);
	EXPECT_EQ(0, data.GetMagicData(0).Limit);

	const TRaceData& human = data.GetRaceData(data.GetRaceIndex("human"));
	EXPECT_EQ((std::vector<int>{2, 1, 0, 3}), human.Affinity);
	EXPECT_EQ((std::vector<int>{0, 0, 0, 0}), data.GetRaceData(data.GetRaceIndex("undead")).Affinity);

	EXPECT_EQ(ATTRIBUTE_NONE, data.GetAttributeData(0).type);
	EXPECT_EQ(EFFECT_NOEFFECT, data.GetAttributeData(data.GetAttributeIndex("slash")).SystemEffect);
	const TAttributeData& ward = data.GetAttributeData(data.GetAttributeIndex("ward"));
	EXPECT_EQ(ATTRIBUTE_BOOST, ward.type);
	EXPECT_EQ(EFFECT_CHANGERESISTANCE, ward.SystemEffect);
	EXPECT_EQ("守", ward.ShortName);

	const TReviveData& undead = data.GetReviveData(data.GetReviveIndex("undead"));
	EXPECT_EQ(REVIVE_FROMLIST, undead.SelectMethod);
	EXPECT_EQ((std::vector<std::string>{"skeleton", "zombie"}), undead.CharacterIds);
	EXPECT_EQ(REVIVE_SAME, data.GetReviveData(data.GetReviveIndex("same")).SelectMethod);

	const TMoveTypeData& walk = data.GetMoveTypeData(data.GetMoveTypeIndex("walk"));
	EXPECT_EQ((std::vector<int>{1, 2, 2, 3, 6, 1, 1, 6, 1, 1, 1}), walk.MoveCost);
	EXPECT_EQ((std::vector<int>{0, 1, 1, 2, 0, 0, 1, 2, 0, 2, 0}), walk.Skill);
}

TEST(ModelDatabase, MastersAndPowerMapAreasHoldTheirFields)
{
	const TMorvalethData& data = LoadedSample();
	const TMasterData& leon = data.GetMasterData(data.GetMasterIndex("leon"));
	EXPECT_EQ("レオン", leon.Name);
	EXPECT_EQ("leon.wav", leon.Music);
	EXPECT_EQ("master_battle.wav", leon.MasterBattleMusic);
	EXPECT_EQ("flag_leon.png", leon.FlagFile);
	EXPECT_EQ(std::string("\x30\x60\xE0\xFF", 4), MemoryBytes(leon.PowerMapColor));
	EXPECT_EQ(-1, leon.MusicIndex);
	EXPECT_EQ(data.GetCharaIndex("leon"), leon.CharaIndex);
	EXPECT_EQ(-1, leon.FlagImage);
	const TMasterData& garm = data.GetMasterData(data.GetMasterIndex("garm"));
	EXPECT_EQ("", garm.Music);
	EXPECT_EQ("battle.wav", garm.BattleMusic);

	const TPowerMapAreaData& a05 = data.GetPowerMapAreaData(data.GetPowerMapAreaIndex("A05"));
	ASSERT_EQ(1u, a05.PaintPoints.size());
	EXPECT_EQ(20, a05.PaintPoints[0].x);
	EXPECT_EQ(90, a05.PaintPoints[0].y);
	EXPECT_EQ(2u, data.GetPowerMapAreaData(data.GetPowerMapAreaIndex("A07")).PaintPoints.size());
}

TEST(ModelDatabase, AnIndexOutsideATableLogsAnErrorAndGivesAnEmptyRecord)
{
	TMorvalethData data;
	ASSERT_TRUE(data.Load(SampleScenario(), 0));
	TCapturedLog log;
	EXPECT_EQ("", data.GetMasterData(3).id);
	EXPECT_EQ("", data.GetMasterData(-1).Name);
	EXPECT_TRUE(data.GetMoveTypeData(99).MoveCost.empty());
	EXPECT_EQ(0, data.GetMapObjNumber(6));
	EXPECT_EQ(0, data.GetMapChipNumber(-1));
	EXPECT_EQ("", data.GetCommonMusic(2));
	EXPECT_EQ("", data.GetChapter().GetMaster(3).id);
	data.SetMasterMusicIndex(3, 1, 2, 3);
	data.SetMasterFlagImageIndex(-1, 5);
	EXPECT_EQ(9, CountErrors(log)) << log.Text();
	EXPECT_EQ(2, log.CountLines(":masters: index 3 outside the table of 3 entries"));
	for (int i = 0; i < data.GetMasterCount(); ++i) {
		EXPECT_EQ(-1, data.GetMasterData(i).MusicIndex);
		EXPECT_EQ(-1, data.GetMasterData(i).FlagImage);
	}
}

TEST(ModelDatabase, ChapterIndexSelectsTheChapterFile)
{
	TMorvalethData data;
	ASSERT_TRUE(data.Load(SampleScenario(), 1));
	EXPECT_EQ("第二章　北の覇者", data.GetChapter().Name);
	EXPECT_EQ(5, data.GetChapter().Turn);
	EXPECT_EQ(3, data.GetChapter().GetMasterCount());
	EXPECT_FALSE(data.GetChapter().GetMaster(2).NotPlayer);
}

TEST(ModelDatabase, AFailingFileStopsTheLoadAndLeavesLaterTablesEmpty)
{
	TSampleCopy copy;
	boost::filesystem::remove(copy.Data("Race.xml"));
	TCapturedLog log;
	TMorvalethData data;
	EXPECT_FALSE(data.Load(copy.Folder(), 0));
	EXPECT_EQ(1, log.CountLines(" Error " + copy.Data("Race.xml") + " file not found"));
	EXPECT_EQ(1, log.CountLines(" Error 種族情報の読み込みに失敗しました。"));
	EXPECT_EQ(1, log.CountLines("MagicGroup.xml OK"));
	EXPECT_EQ(0, log.CountLines("MapChipType.xml OK"));
	EXPECT_EQ(11, data.GetMagicCount());
	EXPECT_EQ(3, data.GetMagicGroupCount());
	EXPECT_EQ(0, data.GetMapGroundCount());
	EXPECT_EQ(0, data.GetMasterCount());
	EXPECT_EQ("", data.GetScenarioTitle());
}

TEST(ModelDatabase, ChapterFailuresShowTheChapterDialog)
{
	ExpectLoadFailure({"Data/Scenario1.xml", nullptr, nullptr, " XML Parse Error", "シナリオ開始情報の読み込みに失敗しました。"});
	ExpectLoadFailure({"Data/Scenario1.xml", "<Turn>1</Turn>", "", " Turnが見つかりませんでした。",
		"シナリオ開始情報の読み込みに失敗しました。"});
}

// Files name records by their ids, and a save names every character by its own: a record without one is refused
// in the file that holds it, never later in a file that names the record (or in the save).
TEST(ModelDatabase, ARecordWithoutAnIdIsRefusedInItsOwnFile)
{
	const char* const chapter = "シナリオ開始情報の読み込みに失敗しました。";
	const TBrokenFile cases[] = {
		{"Data/MagicTable.xml", "<Magic id=\"quake\"", "<Magic", " id not found", "魔法情報の読み込みに失敗しました。"},
		{"Data/MagicGroup.xml", "<MagicGroup id=\"dark\"", "<MagicGroup id=\"\"", " id not found",
			"魔法グループ情報の読み込みに失敗しました。"},
		{"Data/Revive.xml", "<Revive id=\"same\"", "<Revive", " id not found", "復活情報の読み込みに失敗しました。"},
		{"Data/MoveAndSkill.xml", "<MoveType id=\"horse\"", "<MoveType", " id not found",
			"移動タイプ情報の読み込みに失敗しました。"},
		{"DefChar/SpecialTable.xml", "<Special id=\"spear\"", "<Special", " id not found", "特技情報の読み込みに失敗しました。"},
		// A master's character, which MasterData.xml names, and one no record names.
		{"DefChar/CharacterData.xml", "<Character id=\"leon\"", "<Character", " id not found",
			"キャラ情報の読み込みに失敗しました。"},
		{"DefChar/CharacterData.xml", "<Character id=\"archer\"", "<Character id=\"\"", " id not found",
			"キャラ情報の読み込みに失敗しました。"},
		{"Data/Scenario1.xml", "<Master id=\"sera\"", "<Master", " id not found", chapter},
		{"Data/Scenario1.xml", "<Area id=\"A06\"", "<Area", " id not found", chapter},
		{"Data/Scenario1.xml", "<Character id=\"knight\"", "<Character", " id not found", chapter},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

// A table past what the program can hold is refused before any of its records is read, with the file
// and the limit named; the records need not even be whole.
TEST(ModelDatabase, TablesPastTheirLimitsAreRefusedNamingTheLimit)
{
	const struct
	{
		const char* file;
		const char* closing;
		const char* record;
		int limit;
		const char* what;
		const char* dialog;
	} tables[] = {
		{"Data/Race.xml", "</RaceList>", "<Race/>", MAX_KINDS, "種族", "種族情報の読み込みに失敗しました。"},
		{"Data/MagicGroup.xml", "</MagicGroupList>", "<MagicGroup/>", MAX_KINDS, "MagicGroup", "魔法グループ情報の読み込みに失敗しました。"},
		{"Data/Attribute.xml", "</AttributeList>", "<Attribute/>", MAX_KINDS, "属性", "属性情報の読み込みに失敗しました。"},
		{"Data/MapChipType.xml", "</MapObjectList>", "<MapObject/>", MAX_KINDS, "MapObject", "地形情報の読み込みに失敗しました。"},
		{"Data/MoveAndSkill.xml", "</MoveTypeList>", "<MoveType/>", MAX_KINDS, "MoveType", "移動タイプ情報の読み込みに失敗しました。"},
		{"Data/MasterData.xml", "</MasterList>", "<Master/>", MAX_MASTERS, "Master", "マスター情報の読み込みに失敗しました。"},
		{"Data/PowerMap.xml", "</AreaList>", "<Area/>", MAX_AREAS, "Area", "勢力地図情報の読み込みに失敗しました。"},
		{"DefChar/CharacterData.xml", "</CharacterList>", "<Character/>", MAX_CHARAS, "Character", "キャラ情報の読み込みに失敗しました。"},
		{"Data/Scenario1.xml", "</Chapter>", "<Alliance/>", MAX_ALLIANCES, "Alliance", "シナリオ開始情報の読み込みに失敗しました。"},
	};
	for (const auto& table : tables) {
		std::string records;
		for (int i = 0; i < table.limit; ++i)
			records += table.record;
		const std::string error = FormatText(" の %s が上限の %d 件を超えています。", table.what, table.limit);
		ExpectLoadFailure({table.file, table.closing, (records + table.closing).c_str(), error.c_str(), table.dialog});
	}
}

TEST(ModelDatabase, AScenarioWithoutTitleFailsWithItsReasonAndTheDialogNamingTheFile)
{
	TSampleCopy copy;
	copy.Replace("Scenario.xml", "<Title>", "<Name>");
	copy.Replace("Scenario.xml", "</Title>", "</Name>");
	TCapturedLog log;
	TMorvalethData data;
	EXPECT_FALSE(data.Load(copy.Folder(), 0));
	const std::string path = copy.Folder() + "/Scenario.xml";
	EXPECT_EQ(2, CountErrors(log)) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Error " + path + " Title検索失敗"));
	EXPECT_EQ(1, log.CountLines(" Error シナリオ情報の読み込みに失敗しました。 (" + path + ")"));
}

TEST(ModelDatabase, CommonMusicHasTwoEntriesWhateverTheFileNames)
{
	TSampleCopy copy;
	copy.Replace("Data/MasterData.xml", "<EventMusic>event.wav</EventMusic>", "");
	TMorvalethData data;
	ASSERT_TRUE(data.LoadMasterData(copy.Data("MasterData.xml")));
	EXPECT_EQ("", data.GetCommonMusic(0));
	EXPECT_EQ("decisive.wav", data.GetCommonMusic(1));
	copy.Replace("Data/MasterData.xml", "<CommonMusic>", "<Unused>");
	copy.Replace("Data/MasterData.xml", "</CommonMusic>", "</Unused>");
	ASSERT_TRUE(data.LoadMasterData(copy.Data("MasterData.xml")));
	EXPECT_EQ("", data.GetCommonMusic(0));
	EXPECT_EQ("", data.GetCommonMusic(1));
}

// A reason found deep inside a loader, or while ids are resolved after every
// file is read, still names the file and the record it was found in.
TEST(ModelDatabase, EveryRefusalNamesItsFileAndRecord)
{
	const struct
	{
		const char* file;
		const char* from;
		const char* to;
		const char* reason;
		const char* record;
	} cases[] = {
		{"Element/CharacterData.xml", "<Character id=\"wolf\">\n\t\t<Name>狼</Name>", "<Character id=\"wolf\">",
			"id =wolf のName検索失敗", "Character id = wolf"},
		{"Data/MagicTable.xml", "specialid=\"firebolt\" rank=\"1\"", "specialid=\"firebolt\"", "Magicのrankが無い",
			"Magic id = firebolt"},
		{"DefChar/CharacterData.xml", "<Employable>soldier</Employable>", "<Employable>nobody</Employable>",
			"のEmployable nobody 検索失敗", "Character id = "},
		{"Element/SpecialTable.xml", "<SummonCharacter id=\"wolf\"/>", "<SummonCharacter id=\"nowolf\"/>",
			"SummonCharacter nowolf の検索に失敗しました。", "Special id = callwolf"},
		{"Data/Revive.xml", "<Character id=\"skeleton\"/>", "<Character id=\"nobody\"/>", "の Character nobody の検索に失敗しました。", ""},
		{"Data/MasterData.xml", "<Master id=\"garm\">", "<Master id=\"wolfking\">", "マスターID wolfking の解決に失敗しました。", ""},
	};
	for (const auto& c : cases) {
		SCOPED_TRACE(c.file);
		TSampleCopy copy;
		copy.Replace(c.file, c.from, c.to);
		TCapturedLog log;
		TMorvalethData data;
		EXPECT_FALSE(data.Load(copy.Folder(), 0));
		const std::string path = copy.Folder() + "/" + c.file;
		std::istringstream lines(log.Text());
		int named = 0;
		for (std::string line; std::getline(lines, line);) {
			const bool reason = line.find(" Error ") != std::string::npos && line.find(c.reason) != std::string::npos;
			named += reason && line.find(path) != std::string::npos && line.find(c.record) != std::string::npos;
		}
		EXPECT_EQ(1, named) << log.Text();
	}
}
