#include "GameFixture.h"
#include "GameSaveFixture.h"
#include "ModelFixture.h"
#include "battle/BattleMap.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <tuple>

namespace
{
/// What a chapter of the sample sets up.
struct TOpening
{
	int chapter;
	/// Owner's master id per area A01..A07; empty for neutral.
	std::vector<std::string> owners;
	/// Ignore flag per area.
	std::vector<bool> ignored;
	/// (area, character, rank) of every placed character.
	std::vector<std::tuple<std::string, std::string, int>> charas;
	/// (master id, master id, turns) of every alliance.
	std::vector<std::tuple<std::string, std::string, int>> alliances;
	int turn;
	/// (City, Wall, Road) per area.
	std::vector<std::tuple<int, int, int>> levels;
};

const std::vector<std::string> AREAS = {"A01", "A02", "A03", "A04", "A05", "A06", "A07"};

std::string MasterIdOf(const TMorvalethGame& game, int master)
{
	return master < 0 ? "" : SampleData().GetMasterData(game.GetMaster(master).DataIndex).id;
}

std::string CharaId(const TCharaInstance& chara)
{
	return SampleData().GetCharaData(chara.CharaIndex).id;
}

std::vector<std::string> CharaIds(const std::vector<TCharaInstance>& list)
{
	std::vector<std::string> ids;
	for (const TCharaInstance& chara : list)
		ids.push_back(CharaId(chara));
	return ids;
}

void ExpectOpening(const TOpening& expected)
{
	SCOPED_TRACE(expected.chapter);
	TCapturedLog log;
	TMorvalethGame game;
	NewSampleGame(game, expected.chapter, 4);
	EXPECT_EQ(0, CountErrors(log) + CountWarnings(log)) << log.Text();
	EXPECT_EQ((std::vector<std::string>{"leon", "garm", "sera"}),
		(std::vector<std::string>{MasterIdOf(game, 0), MasterIdOf(game, 1), MasterIdOf(game, 2)}));
	for (int m = 0; m < game.GetMasterCount(); ++m)
		EXPECT_EQ(100, game.GetMaster(m).Money);
	std::vector<std::tuple<std::string, std::string, int>> charas;
	for (std::size_t a = 0; a < AREAS.size(); ++a) {
		const TAreaInstance& area = game.GetArea(game.GetAreaIndex(AREAS[a]));
		EXPECT_EQ(expected.owners[a], MasterIdOf(game, area.Owner)) << AREAS[a];
		EXPECT_EQ(expected.ignored[a], area.Ignore) << AREAS[a];
		EXPECT_EQ(expected.levels[a], std::make_tuple(area.City, area.Wall, area.Road)) << AREAS[a];
		// The battle map shows exactly the levels.
		EXPECT_EQ(expected.levels[a], std::make_tuple(static_cast<int>(area.BattleMap->CountMapObject(MAP_OBJECT_CITY)),
			static_cast<int>(area.BattleMap->CountMapObject(MAP_OBJECT_WALL)),
			static_cast<int>(area.BattleMap->CountMapObject(MAP_OBJECT_ROAD)))) << AREAS[a];
		for (const TCharaInstance& chara : area.Charas)
			charas.push_back(std::make_tuple(AREAS[a], CharaId(chara), chara.Rank));
	}
	EXPECT_EQ(expected.charas, charas);
	std::vector<std::tuple<std::string, std::string, int>> alliances;
	for (int i = 0; i < game.GetAllianceCount(); ++i) {
		const TAlliance& alliance = game.GetAlliance(i);
		alliances.push_back(std::make_tuple(MasterIdOf(game, alliance.Master1), MasterIdOf(game, alliance.Master2), alliance.Turns));
	}
	EXPECT_EQ(expected.alliances, alliances);
	// Unplaced heroes wander whatever their appearance window; one that may not wander is nowhere.
	EXPECT_EQ((std::vector<std::string>{"elwin", "kaya"}), CharaIds(game.GetWanderCharas()));
	EXPECT_TRUE(game.GetDeadCharas().empty());
	EXPECT_EQ(std::make_tuple(4, expected.turn - 1, -1, expected.chapter, -1),
		std::make_tuple(game.GetGameLevel(), game.GetTurn(), game.GetProgressedTurn(), game.GetChapterIndex(),
			game.GetCurrentMaster()));
	// The first activation begins the chapter's first turn.
	EXPECT_TRUE(game.ActivateNextMaster());
	EXPECT_EQ(std::make_tuple(expected.turn, 0), std::make_tuple(game.GetTurn(), game.GetProgressedTurn()));
}
}

TEST(GameNew, EachSampleChapterSetsUpItsOpening)
{
	ExpectOpening({0, {"leon", "leon", "garm", "garm", "sera", "", ""}, {false, false, false, false, false, false, true},
		{{"A01", "leon", 0}, {"A01", "knight", 1}, {"A02", "acolyte", 0}, {"A03", "garm", 2}, {"A04", "archer", 1},
			{"A05", "sera", 1}, {"A05", "mage", 0}},
		{{"garm", "sera", -1}, {"leon", "sera", 3}}, 1,
		{{5, 12, 3}, {2, 9, 1}, {4, 16, 2}, {1, 5, 0}, {3, 12, 2}, {1, 1, 0}, {1, 8, 0}}});
	ExpectOpening({1, {"garm", "leon", "garm", "garm", "sera", "sera", ""}, {false, false, false, false, false, false, false},
		{{"A01", "soldier", 2}, {"A02", "leon", 2}, {"A02", "knight", 3}, {"A03", "garm", 3}, {"A04", "archer", 2},
			{"A05", "sera", 2}, {"A06", "mage", 1}},
		{{"leon", "sera", -1}}, 5,
		{{2, 10, 1}, {4, 10, 2}, {4, 16, 2}, {1, 5, 0}, {3, 12, 2}, {2, 3, 1}, {1, 8, 0}}});
}

// Every map has a castle and one start point set per neighbour of the area
// data, which are symmetric; each level, raised a step at a time to its max,
// is what the map counts back.
TEST(GameNew, SampleBattleMapsFitTheAreaData)
{
	TMorvalethGame game;
	NewSampleGame(game, 0);
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		const TAreaInstance& area = game.GetArea(a);
		SCOPED_TRACE(area.id);
		const TBattleMap& map = *area.BattleMap;
		const point_t castle = map.GetCastlePoint();
		EXPECT_EQ(MAP_OBJECT_CASTLE, map.GetObjectInstance().At(castle.x, castle.y));
		EXPECT_EQ(area.NeighborIds, map.GetNeighborIds());
		ASSERT_EQ(area.Neighbors.size(), map.GetStartPointSets().size());
		for (std::size_t i = 0; i < area.Neighbors.size(); ++i) {
			EXPECT_EQ(area.Neighbors[i], map.GetStartPointSets()[i].area);
			const std::vector<int>& back = game.GetArea(area.Neighbors[i]).Neighbors;
			EXPECT_NE(back.end(), std::find(back.begin(), back.end(), a)) << "not symmetric";
		}
		const auto climb = [&](int level, int max, void (TMorvalethGame::*set)(int, int), int kind) {
			for (int n = level; n <= max; ++n) {
				(game.*set)(a, n);
				EXPECT_EQ(static_cast<unsigned>(n), map.CountMapObject(kind)) << "kind " << kind;
			}
		};
		climb(area.City, area.CityMax, &TMorvalethGame::SetAreaCity, MAP_OBJECT_CITY);
		climb(area.Wall, area.WallMax, &TMorvalethGame::SetAreaWall, MAP_OBJECT_WALL);
		climb(area.Road, area.RoadMax, &TMorvalethGame::SetAreaRoad, MAP_OBJECT_ROAD);
	}
}

// A chapter entry that cannot be placed is skipped with a Warning and its hero
// may wander; no area takes more than 20; a rank outside the rules is clamped
// with a Warning; starting levels stay within their max.
TEST(GameNew, ChapterEntriesThatCannotBePlacedAreSkipped)
{
	TSampleCopy copy;
	copy.Replace("Data/Scenario1.xml", "<Character id=\"mage\" area=\"A05\"", "<Character id=\"mage\" area=\"A99\"");
	copy.Replace("Data/Scenario1.xml", "area=\"A01\" rank=\"1\"", "area=\"A01\" rank=\"9\"");
	copy.Replace("Data/Scenario1.xml", "area=\"A04\" rank=\"1\"", "area=\"A04\" rank=\"-2\"");
	std::string crowd;
	for (int i = 0; i < 21; ++i)
		crowd += "<Character id=\"soldier\" area=\"A06\"/>";
	copy.Replace("Data/Scenario1.xml", "</Chapter>",
		crowd + "<Character id=\"nobody\" area=\"A06\"/><Character id=\"leon\" area=\"A02\"/></Chapter>");
	copy.Replace("Data/AreaData.xml", "<Wall max=\"14\" ini=\"60\"", "<Wall max=\"14\" ini=\"250\"");
	// sera leaves the chapter: her alliances are skipped.
	const std::string chapter = ReadFile(copy.Data("Scenario1.xml"));
	const std::size_t sera = chapter.find("<Master id=\"sera\"");
	WriteFile(copy.Data("Scenario1.xml"), chapter.substr(0, sera) + chapter.substr(chapter.find("</Master>", sera) + 9));
	TCapturedLog log;
	TMorvalethGame game;
	ASSERT_TRUE(game.LoadNew(&SampleData(), copy.Folder(), 0, 1));
	EXPECT_EQ(1, log.CountLines("Warning Area A99 の検索に失敗")) << log.Text();
	EXPECT_EQ(1, log.CountLines("Warning Chara nobody の検索に失敗"));
	EXPECT_EQ(1, log.CountLines("Warning Area A06 は満員なので"));
	EXPECT_EQ(1, log.CountLines("Warning Chara leon はヒーローで配置済みなので Area A02 には配置しません"));
	EXPECT_EQ(1, log.CountLines("Warning Chara knight のrank 9 が範囲 0..5 の外にあるので 5 にします"));
	EXPECT_EQ(1, log.CountLines("Warning Chara archer のrank -2 が範囲 0..5 の外にあるので 0 にします"));
	EXPECT_EQ(2, log.CountLines("sera のマスターはこの章に存在しません。この同盟設定を無視します。"));
	EXPECT_EQ(0, CountErrors(log));
	EXPECT_EQ(2, game.GetMasterCount());
	EXPECT_EQ(0, game.GetAllianceCount());
	EXPECT_EQ(20u, game.GetArea(game.GetAreaIndex("A06")).Charas.size());
	const TCharaInstance& knight = game.GetArea(game.GetAreaIndex("A01")).Charas.at(1);
	EXPECT_EQ(std::make_tuple(std::string("knight"), RANK_MAX), std::make_tuple(CharaId(knight), knight.Rank));
	const TCharaInstance& archer = game.GetArea(game.GetAreaIndex("A04")).Charas.at(0);
	EXPECT_EQ(std::make_tuple(std::string("archer"), 0), std::make_tuple(CharaId(archer), archer.Rank));
	EXPECT_EQ(-1, game.GetArea(game.GetAreaIndex("A05")).Owner);
	EXPECT_EQ((std::vector<std::string>{"elwin", "kaya", "mage"}), CharaIds(game.GetWanderCharas()));
	const TAreaInstance& ruins = game.GetArea(game.GetAreaIndex("A07"));
	EXPECT_EQ(ruins.WallMax, ruins.Wall);
}

// A scenario of as many areas as the program holds loads, and the warning each new area gives is
// written a hundred times and then summed up; one area more is refused, with the file and the limit named.
TEST(GameNew, AreasUpToTheLimitLoadAndOneMoreIsRefused)
{
	TSampleCopy copy;
	const std::string sample = ReadFile(copy.Data("AreaData.xml"));
	int sampleAreas = 0;
	for (std::size_t at = sample.find("<Area "); at != std::string::npos; at = sample.find("<Area ", at + 1))
		++sampleAreas;
	std::string areas;
	for (int i = sampleAreas; i <= MAX_AREAS; ++i) {
		areas += "<Area id=\"X" + std::to_string(i) + "\"><Name>N</Name><Location x=\"1\" y=\"1\"/>"
			"<BattleMapFile>BattleMap_A01.xml</BattleMapFile></Area>\n";
	}
	const std::size_t last = areas.rfind("<Area ");
	copy.Replace("Data/AreaData.xml", "</AreaList>", areas.substr(0, last) + "</AreaList>");
	{
		TCapturedLog log(2);
		TMorvalethGame game;
		ASSERT_TRUE(game.LoadNew(&SampleData(), copy.Folder(), 0, 3)) << log.Text().substr(0, 2000);
		EXPECT_EQ(MAX_AREAS, game.GetAreaCount());
		EXPECT_EQ(100, log.CountLines("Warning TMorvalethGame::LoadAreaInstance:"));
		EXPECT_EQ(1, log.CountLines(FormatText("Warning 同じ種類の警告がほかに %d 件ありました：エリア %%s の勢力地図情報",
						 MAX_AREAS - sampleAreas - 100)));
	}
	copy.Replace("Data/AreaData.xml", "</AreaList>", areas.substr(last) + "</AreaList>");
	TCapturedLog log;
	TMorvalethGame game;
	EXPECT_FALSE(game.LoadNew(&SampleData(), copy.Folder(), 0, 3));
	EXPECT_EQ(1, log.CountLines("Error AreaList の Area が上限の 10000 件を超えています。 (" + copy.Data("AreaData.xml") + ")"))
		<< log.Text().substr(0, 2000);
}

// A scenario that cannot give a whole game is refused with the reason, and the
// game held before stays as it was.
TEST(GameNew, BrokenScenarioDataIsRefused)
{
	struct TCase
	{
		const char* file;
		const char* from;
		const char* to;
		const char* error;
		int level;
	};
	const TCase cases[] = {
		{"AreaData.xml", nullptr, nullptr, "AreaData.xml File not found", 3},
		{"AreaData.xml", "</AreaList>", "", "AreaData.xml XML parse error", 3},
		{"AreaData.xml", "<NeighborArea>A05</NeighborArea>", "<NeighborArea>A99</NeighborArea>", "の隣接エリア A99 の検索に失敗", 3},
		{"AreaData.xml", "<Inhabit>\n\t\t\t\t<Character id=\"acolyte\"/>", "<Inhabit>\n\t\t\t\t<Character id=\"nobody\"/>",
			"InhabitキャラIDの検索失敗 id=nobody", 3},
		{"AreaData.xml", "<Location x=\"195\" y=\"120\"/>", "", "Location検索失敗", 3},
		{"AreaData.xml", "<Area id=\"A02\">", "<Area id=\"A01\">", "エリアIDの重複 id=A01", 3},
		// An area without an id, which no area names, would lose its characters at the first save.
		{"AreaData.xml", "</AreaList>", "<Area><Name>N</Name><Location x=\"1\" y=\"1\"/><BattleMapFile>BattleMap_A01.xml"
			"</BattleMapFile></Area></AreaList>", "LoadAreaInstance() id not found (", 3},
		{"AreaData.xml", "BattleMap_A03.xml", "../../../BattleMap_A03.xml", "はシナリオフォルダの外を指しています。", 3},
		// An empty or "." name makes the path a folder, which is never read as a file.
		{"AreaData.xml", ">BattleMap_A03.xml<", "><", "/Data/ : XML Parse Error. (通常のファイルではありません)", 3},
		{"AreaData.xml", ">BattleMap_A03.xml<", ">.<", "/Data/. : XML Parse Error. (通常のファイルではありません)", 3},
		{"AreaData.xml", ">BattleMap_A03.xml<", "><", "Area A03 の BattleMapFile \"\" を読めませんでした。 (/", 3},
		{"BattleMap_A04.xml", nullptr, nullptr, "BattleMap_A04.xml File not found", 3},
		{"BattleMap_A04.xml", "<Area id=\"A03\">", "<Area id=\"A99\">", "BattleMap_A04.xml 隣接エリア A99 の検索に失敗", 3},
		// An army from A03 could never be placed on A04's map.
		{"BattleMap_A04.xml", "<Area id=\"A03\">", "<Area id=\"A07\">", "BattleMap_A04.xml : 隣接エリア A03 の初期配置座標がありません。", 3},
		{"Scenario1.xml", "<Master id=\"garm\"", "<Master id=\"nobody\"", "Scenario1.xml マスターID nobody の検索に失敗", 3},
		{"Scenario1.xml", "Master", "Lord", "Scenario1.xml Master検索失敗", 3},
		{"Scenario1.xml", "<Area id=\"A06\"", "<Area id=\"A99\"", "マスター保有エリア設定処理： Area A99 の検索に失敗", 3},
		{"Scenario1.xml", "id2=\"sera\" turn=\"3\"", "id2=\"nobody\" turn=\"3\"", "Allianceで指定されたid2 nobody の検索に失敗", 3},
		{"Scenario1.xml", "<Turn>1</Turn>", "<Turn>1</Turn>", "GameLevel 6 is outside 1..5", 6},
	};
	TMorvalethGame game;
	PlaySampleGame(game, 0, 3);
	const std::string held = SaveText(game);
	for (const TCase& broken : cases) {
		SCOPED_TRACE(std::string(broken.file) + " " + (broken.to ? broken.to : "removed"));
		TSampleCopy copy;
		if (broken.from)
			copy.Replace("Data/" + std::string(broken.file), broken.from, broken.to);
		else
			std::remove(copy.Data(broken.file).c_str());
		TCapturedLog log;
		EXPECT_FALSE(game.LoadNew(&SampleData(), copy.Folder(), 0, broken.level));
		EXPECT_LE(1, log.CountLines(broken.error)) << log.Text();
		EXPECT_EQ(held, SaveText(game));
	}
}
