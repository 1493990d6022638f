#include "ModelFixture.h"

#include "model/MorvalethData.h"

#include <gtest/gtest.h>

TEST(ModelTerrain, BrokenTerrainAndMoveTypeFilesFailWithTheirReasons)
{
	const char* const terrain = "地形情報の読み込みに失敗しました。";
	const char* const moveType = "移動タイプ情報の読み込みに失敗しました。";
	const TBrokenFile cases[] = {
		{"Data/MapChipType.xml", nullptr, nullptr, " file not found", terrain},
		{"Data/MapChipType.xml", "<GroundList>", "<GroundList", " XML parse error", terrain},
		{"Data/MapChipType.xml", "GroundList", "Grounds", " GroundList検索失敗", terrain},
		{"Data/MapChipType.xml", "MapGroundList", "Grounds", " MapGroundList検索失敗", terrain},
		{"Data/MapChipType.xml", "MapObjectList", "Objects", " MapObjectList検索失敗", terrain},
		{"Data/MapChipType.xml", "index=\"3\"", "index=\"three\"", " index読込失敗", terrain},
		{"Data/MapChipType.xml", "<Name>城壁</Name>", "", " Name検索失敗", terrain},
		{"Data/MoveAndSkill.xml", nullptr, nullptr, " file not found", moveType},
		{"Data/MoveAndSkill.xml", "MoveTypeList", "MoveTypes", " MoveTypeList検索失敗", moveType},
		{"Data/MoveAndSkill.xml", "<Name>水棲</Name>", "", " Name検索失敗", moveType},
		{"Data/MoveAndSkill.xml", "<MapGround index=\"4\" MoveCost=\"9\"", "<MapGround index=\"5\" MoveCost=\"9\"",
			" 移動タイプ\"騎馬\"のindex 5が地形データの範囲(5)を超えています。", moveType},
		{"Data/MoveAndSkill.xml", "<MapObject index=\"5\" MoveCost=\"1\" Skill=\"0\"/>\n\t</MoveType>\n\t<MoveType id=\"walk\">",
			"<MapObject index=\"6\" MoveCost=\"1\" Skill=\"0\"/>\n\t</MoveType>\n\t<MoveType id=\"walk\">",
			" 移動タイプ\"騎馬\"のindex 6が上物データの範囲(6)を超えています。", moveType},
		{"Data/MoveAndSkill.xml", "<MapObject index=\"0\" MoveCost=\"1\" Skill=\"1\"/>",
			"<MapObject index=\"-1\" MoveCost=\"1\" Skill=\"1\"/>",
			" 移動タイプ\"騎馬\"のindex -1が上物データの範囲(6)を超えています。", moveType},
		{"Data/MoveAndSkill.xml", "<MapGround index=\"0\" MoveCost=\"1\" Skill=\"1\"/>",
			"<MapGround index=\"-2\" MoveCost=\"1\" Skill=\"1\"/>",
			" 移動タイプ\"騎馬\"のindex -2が地形データの範囲(5)を超えています。", moveType},
		{"Data/MoveAndSkill.xml", "index=\"2\" MoveCost=\"2\"", "index=\"2\"", " MoveCost読込失敗", moveType},
		{"Data/MoveAndSkill.xml", "MoveCost=\"6\" Skill=\"0\"", "MoveCost=\"6\" Skill=\"x\"", " Skill読込失敗", moveType},
		{"Data/MoveAndSkill.xml", "MoveCost=\"3\" Skill=\"0\"", "MoveCost=\"0\" Skill=\"0\"",
			" 移動タイプ\"騎馬\"の移動コストに0の要素が含まれています。", moveType},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

TEST(ModelTerrain, BrokenChipNumberFilesFailWithTheirReasons)
{
	const char* const objects = "上物画像チップ情報の読み込みに失敗しました。";
	const char* const chips = "地形画像チップ情報の読み込みに失敗しました。";
	const TBrokenFile cases[] = {
		{"Data/MapObj.txt", nullptr, nullptr, " file not found", objects},
		{"Data/MapObj.txt", "3", "x", " 読込失敗（文字列→数値変換エラー）", objects},
		{"Data/MapObj.txt", "5", "6", " チップ5の値 6 が範囲 0..5 の外にあります。", objects},
		{"Data/MapObj.txt", "0", "-1", " チップ0の値 -1 が範囲 0..5 の外にあります。", objects},
		{"Data/MapChip.txt", nullptr, nullptr, " file not found", chips},
		{"Data/MapChip.txt", "3", "0x3", " 読込失敗（文字列→数値変換エラー）", chips},
		{"Data/MapChip.txt", "3", "5", " チップ6の値 5 が範囲 0..4 の外にあります。", chips},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

TEST(ModelTerrain, GroundIndicesFollowFileOrderAndAGapIsOnlyWarnedOf)
{
	TSampleCopy copy;
	copy.Replace("Data/MapChipType.xml", "<MapGround index=\"1\">", "<MapGround index=\"2\">");
	copy.Replace("Data/MapChipType.xml", "<MapGround index=\"2\"><Name>丘", "<MapGround index=\"1\"><Name>丘");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.LoadMapChipType(copy.Data("MapChipType.xml")));
	EXPECT_EQ(2, log.CountLines(" Warning " + copy.Data("MapChipType.xml") + " indexの値がとんでいるか、または不順です。"));
	EXPECT_EQ("森", data.GetMapGroundName(1));
	EXPECT_EQ("丘", data.GetMapGroundName(2));
}

TEST(ModelTerrain, AMissingMoveEntryIsWarnedOfAndThenFailsAsAZeroCost)
{
	TSampleCopy copy;
	copy.Replace("Data/MoveAndSkill.xml", "<MapObject index=\"3\" MoveCost=\"1\" Skill=\"1\"/>", "");
	TMorvalethData data;
	ASSERT_TRUE(data.LoadMapChipType(copy.Data("MapChipType.xml")));
	TCapturedLog log;
	EXPECT_FALSE(data.LoadMoveAndSkill(copy.Data("MoveAndSkill.xml")));
	EXPECT_EQ(1, log.CountLines(" Warning " + copy.Data("MoveAndSkill.xml")
		+ " 騎馬 MapObjectの数が足りません。読み込めなかった分のデータは0とみなします。"));
	EXPECT_EQ(1, CountErrors(log));
	EXPECT_EQ(0, data.GetMoveTypeCount());
}

TEST(ModelTerrain, MoveTypesNeedTheTerrainNamesForTheirSize)
{
	TSampleCopy copy;
	TMorvalethData data;
	TCapturedLog log;
	// Without the terrain names there is no room for any entry.
	EXPECT_FALSE(data.LoadMoveAndSkill(copy.Data("MoveAndSkill.xml")));
	EXPECT_EQ(1, log.CountLines("のindex 0が地形データの範囲(0)を超えています。"));
	ASSERT_TRUE(data.LoadMapChipType(copy.Data("MapChipType.xml")));
	ASSERT_TRUE(data.LoadMoveAndSkill(copy.Data("MoveAndSkill.xml")));
	EXPECT_EQ(11u, data.GetMoveTypeData(0).MoveCost.size());
}

TEST(ModelTerrain, NumberFilesTakeAnyAsciiBlankAsSeparator)
{
	TTempDir dir;
	std::vector<int> table;
	WriteFile(dir / "a.txt", "3 4\r\n\n  5 \t6\v-7 +8\f");
	EXPECT_TRUE(LoadNumberTable(dir / "a.txt", table));
	EXPECT_EQ((std::vector<int>{3, 4, 5, 6, -7, 8}), table);
	table.clear();
	WriteFile(dir / "empty.txt", " \n\t\n");
	EXPECT_TRUE(LoadNumberTable(dir / "empty.txt", table));
	EXPECT_TRUE(table.empty());
}

TEST(ModelTerrain, ANumberFileStopsAtTheFirstTokenThatIsNoWholeNumber)
{
	TTempDir dir;
	const std::string texts[] = {"3 x 5", "3 4a 5", "3 0x10", "3 99999999999", "3 - 5", std::string("3 \0 5", 5)};
	for (const std::string& text : texts) {
		TCapturedLog log;
		std::vector<int> table;
		WriteFile(dir / "n.txt", text);
		EXPECT_FALSE(LoadNumberTable(dir / "n.txt", table)) << text;
		EXPECT_EQ(std::vector<int>{3}, table) << text;
		EXPECT_EQ(1, log.CountLines(" Error " + (dir / "n.txt") + " 読込失敗（文字列→数値変換エラー）")) << text;
	}
}
