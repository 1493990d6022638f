#include "GameFixture.h"
#include "GameSaveFixture.h"
#include "ModelFixture.h"
#include "battle/BattleMap.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
/// Replaces the first occurrence of the text, which must be there.
std::string Damage(const std::string& text, const std::string& from, const std::string& to)
{
	const std::size_t at = text.find(from);
	EXPECT_NE(std::string::npos, at) << from;
	return at == std::string::npos ? text : text.substr(0, at) + to + text.substr(at + from.size());
}

/// The save text with the whole element that begins with the opening text removed.
std::string Cut(const std::string& text, const std::string& opening, const std::string& closing)
{
	const std::size_t at = text.find(opening);
	EXPECT_NE(std::string::npos, at) << opening;
	const std::size_t end = text.find(closing, at);
	return at == std::string::npos ? text : text.substr(0, at) + text.substr(end + closing.size());
}
}

// What a save keeps comes back as it was; what it does not keep is rebuilt,
// so a second save of the loaded game is the same document.
TEST(GameSave, APlayedGameComesBackWhole)
{
	for (int chapter : {0, 1}) {
		SCOPED_TRACE(chapter);
		TMorvalethGame played;
		PlaySampleGame(played, chapter, 11 + chapter);
		const std::string saved = SaveText(played);
		ASSERT_FALSE(saved.empty());
		TMorvalethGame loaded;
		TCapturedLog log;
		ASSERT_TRUE(LoadSaveText(loaded, saved, chapter)) << log.Text();
		EXPECT_EQ(0, CountErrors(log) + CountWarnings(log)) << log.Text();
		EXPECT_EQ(saved, SaveText(loaded));
		// The power sums are counted when a game is built or loaded only; the incomes are always current,
		// so the loaded game shows the figures the played one showed.
		played.CalcMasterPower();
		const std::vector<std::string> before = DescribeGame(played);
		const std::vector<std::string> after = DescribeGame(loaded);
		ASSERT_EQ(before.size(), after.size());
		for (std::size_t i = 0; i < before.size(); ++i)
			EXPECT_EQ(before[i], after[i]) << "line " << i;
	}
}

// A load that borrows the battle maps of a game of the same scenario gives the game a load reading the
// map files gives, however that game's battles changed its maps, and each area gets a map of its own.
TEST(GameSave, ALoadBorrowingTheMapsOfTheSameScenarioGivesTheSameGame)
{
	TMorvalethGame played;
	PlaySampleGame(played, 0, 11);
	const std::string saved = SaveText(played);
	int taken = 0;
	for (int a = 0; a < played.GetAreaCount(); ++a) {
		TBattleMap& map = *played.GetArea(a).BattleMap;
		ASSERT_TRUE(map.BuildMapType(SampleData()));
		for (const point_t city : map.GetCityList())
			if (map.GetObjectInstance().At(city.x, city.y) != 0 && map.RemoveMapObject(SampleData(), city.x, city.y)) {
				++taken;
				break;
			}
		map.ReleaseMapType();
	}
	ASSERT_LT(0, taken) << "a battle took a city";
	TMorvalethGame read;
	ASSERT_TRUE(LoadSaveText(read, saved));
	TiXmlDocument document;
	document.Parse(saved.c_str(), nullptr, TIXML_ENCODING_UTF8);
	TMorvalethGame borrowed;
	ASSERT_TRUE(borrowed.LoadSaved(&SampleData(), SampleScenario(), 0, document.FirstChildElement("Save"), &played));
	EXPECT_EQ(DescribeGame(read), DescribeGame(borrowed));
	for (int a = 0; a < played.GetAreaCount(); ++a)
		EXPECT_NE(played.GetArea(a).BattleMap, borrowed.GetArea(a).BattleMap) << a;
}

// The played game of the first chapter has a fallen master, a dead hero, wanderers and a hero with wins.
TEST(GameSave, TheDocumentKeepsItsLayout)
{
	TMorvalethGame game;
	PlaySampleGame(game, 0, 11);
	TiXmlDocument document;
	document.Parse(SaveText(game).c_str(), nullptr, TIXML_ENCODING_UTF8);
	const TiXmlElement* root = document.RootElement();
	ASSERT_TRUE(root);
	std::vector<std::string> children;
	for (const TiXmlElement* child = root->FirstChildElement(); child; child = child->NextSiblingElement())
		children.push_back(child->Value());
	EXPECT_EQ((std::vector<std::string>{"GameLevel", "Turn", "ProgressedTurn", "MasterList", "AllianceList", "MasterOrder",
				  "AreaList", "CharacterList"}), children);
	const TiXmlElement* sera = root->FirstChildElement("MasterList")->LastChild("Master")->ToElement();
	EXPECT_STREQ("0", sera->Attribute("exists"));
	EXPECT_STREQ("infinite", root->FirstChildElement("AllianceList")->FirstChildElement("Alliance")->Attribute("turn"));
	for (const TiXmlElement* area = root->FirstChildElement("AreaList")->FirstChildElement(); area; area = area->NextSiblingElement()) {
		const bool owned = area->Attribute("master") != nullptr;
		EXPECT_EQ(owned, area->FirstChildElement("Operation") != nullptr);
		EXPECT_STREQ("MapObjectInstance", area->LastChild()->Value());
	}
	int dead = 0;
	for (const TiXmlElement* chara = root->FirstChildElement("CharacterList")->FirstChildElement(); chara;
		 chara = chara->NextSiblingElement()) {
		const TCharaData& data = SampleData().GetCharaData(SampleData().GetCharaIndex(chara->Attribute("id")));
		const bool isDead = chara->Attribute("dead") != nullptr;
		dead += isDead;
		EXPECT_EQ(isDead || data.Hero || data.IsMaster, chara->Attribute("wincount") != nullptr) << data.id;
		if (data.id == "leon" || isDead) {
			EXPECT_STREQ(isDead ? "2" : "3", chara->Attribute("wincount"));
		}
	}
	EXPECT_EQ(1, dead);
}

// A game that is between two masters' turns would write a save whose order
// position and current master could not be read back.
TEST(GameSave, AGameWithoutACurrentMasterIsNotSaved)
{
	TMorvalethGame game;
	NewSampleGame(game, 0);
	TiXmlElement root("Save");
	TCapturedLog log;
	EXPECT_FALSE(game.SaveToXML(&root));
	EXPECT_EQ(1, log.CountLines("セーブできません：手番のマスターが居ません。")) << log.Text();
	EXPECT_EQ(nullptr, root.FirstChild());
}

TEST(GameSave, DamagedSavesAreRefusedAndTheGameIsKept)
{
	TMorvalethGame game;
	PlaySampleGame(game, 0, 5);
	const std::string saved = SaveText(game);
	const std::string order = saved.substr(saved.find("<MasterOrder index=\""), 22);
	std::string alliances;
	for (int i = 0; i < MAX_ALLIANCES; ++i)
		alliances += "<Alliance />";
	struct TCase
	{
		std::string text;
		/// Null where the XML parser already refuses the text.
		const char* error;
	};
	const TCase cases[] = {
		{Damage(saved, "<GameLevel value=\"3\"", "<GameLevel value=\"6\""), "GameLevel 6 is outside 1..5"},
		{Damage(saved, "<Turn value", "<Turns value"), "Turn value not found."},
		{Damage(saved, "<Master id=\"garm\" exists", "<Master id=\"nobody\" exists"), "MasterList Master id = nobody 検索失敗。"},
		{Damage(saved, "<Master id=\"garm\" exists", "<Master id=\"leon\" exists"), "MasterList Master id = leon が重複しています。"},
		{Damage(saved, " money=", " cash="), "MasterList Master id = leon money属性検出失敗。"},
		{Damage(saved, "id2=\"", "id2=\"x"), "Alliance Master id = x"},
		{Damage(saved, "turn=\"infinite\"", "turn=\"3x\""), "Alliance turn解釈失敗"},
		{Damage(saved, "turn=\"infinite\"", "turn=\"-2\""), "Alliance turn = -2 範囲外。"},
		{Damage(saved, "turn=\"infinite\"", "turn=\"-1\""), "Alliance turn = -1 範囲外。"},
		{Damage(saved, "id2=\"garm\"", "id2=\"leon\""), "Alliance Master id = leon が自身と同盟しています。"},
		{Damage(saved, "<Alliance ", "<Alliance id1=\"garm\" id2=\"leon\" turn=\"3\" /><Alliance "),
			"Alliance Master id = leon と garm の同盟が重複しています。"},
		{Cut(saved, "<AllianceList", "</AllianceList>"), "AllianceList 検索失敗"},
		{Damage(saved, "<Alliance ", alliances + "<Alliance "),
			"AllianceList の Alliance が上限の 10000 件を超えています。"},
		{Damage(saved, order, "<MasterOrder index=\"3\""), "MasterOrder のindex属性値がMaster要素数を超えています。"},
		{Damage(saved, order, "<MasterOrder index=\"-1\""), "MasterOrder のindex属性値がMaster要素数を超えています。"},
		{Damage(saved, order, "<MasterOrder"), "MasterOrder index属性検出失敗。"},
		{Damage(saved, "<Master id=\"sera\" />", "<Master id=\"kaya\" />"), "MasterOrder Master id = kaya が見つかりませんでした。"},
		{Damage(saved, "<Master id=\"sera\" />", "<Master id=\"leon\" />"), "MasterOrder Master id = leon が重複しています。"},
		{Damage(saved, "<Master id=\"sera\" />", ""), "MasterOrder Master id = sera が含まれていません。"},
		{Cut(saved, "<AreaList", "</AreaList>"), "AreaList 検索失敗"},
		{Damage(saved, "<NeighborArea index=\"1\">A05<", "<NeighborArea index=\"1\">A99<"), "の隣接エリア A99 の検索に失敗"},
		{Damage(saved, "<Area id=\"A03\" master=\"garm\"", "<Area id=\"A03\" master=\"nobody\""),
			"AreaList Area id = A03 master = nobody が見つかりませんでした。"},
		{Damage(saved, "<Area id=\"A02\"", "<Area id=\"A01\""), "エリアIDの重複 id=A01"},
		{Damage(saved, "<City max=\"16\" value=\"", "<City max=\"16\" value=\"9"), "AreaList Area id = A01 City = 9"},
		{Damage(saved, "<Wall max=\"12\" ini=\"50\" value=\"", "<Wall max=\"12\" ini=\"50\" value=\"-1"), "AreaList Area id = A01 Wall = -1"},
		{Damage(saved, "<Road max=\"0\" value=\"", "<Road max=\"0\" value=\"1"), "AreaList Area id = A04 Road = 1"},
		{Damage(saved, "<Road max=\"0\"", "<Road max=\"-1\""), "Area A04 のmaxが負です City=6 Wall=8 Road=-1"},
		{Damage(saved, ">BattleMap_A02.xml<", ">../../../../etc/passwd<"), "はシナリオフォルダの外を指しています。"},
		{Damage(saved, ">BattleMap_A02.xml<", "><"), "/Data/ : XML Parse Error. (通常のファイルではありません)"},
		{Damage(saved, ">BattleMap_A02.xml<", ">.<"), "/Data/. : XML Parse Error. (通常のファイルではありません)"},
		{Damage(saved, ">BattleMap_A02.xml<", ">.<"), "Area A02 の BattleMapFile \".\" を読めませんでした。"},
		{Cut(saved, "<MapObjectInstance>", "</MapObjectInstance>"), "A01 BattleMap_A01.xml 読み込み失敗"},
		{Damage(saved, "<L0>0,", "<L0>7,"), "cannot hold object 7"},
		{Damage(saved, "<Character id=\"leon\"", "<Character id=\"nobody\""), "CharacterList Character id = nobody 検索失敗。"},
		{Damage(saved, "<Character id=\"leon\" area=\"A01\"", "<Character id=\"leon\" area=\"A99\""), "CharacterList area = A99 検索失敗。"},
		{Damage(saved, "<Character id=\"leon\" area=\"A01\" rank=\"", "<Character id=\"leon\" area=\"A01\" rank=\"9"),
			"CharacterList Character id = leon rank = 9"},
		{Damage(saved, "<Character id=\"kaya\"", "<Character id=\"elwin\" area=\"A05\" /><Character id=\"kaya\""),
			"CharacterList Character id = elwin が重複しています。"},
		{Damage(saved, "<Character id=\"kaya\"", "<Character id=\"elwin\" wander=\"true\" /><Character id=\"kaya\""),
			"CharacterList Character id = elwin が重複しています。"},
		{Damage(saved, "<Character id=\"mage\"", "<Character id=\"kaya\" dead=\"true\" /><Character id=\"mage\""),
			"CharacterList Character id = kaya が重複しています。"},
		{saved.substr(0, saved.find("<CharacterList")) + "</Save>", "CharacterList 検索失敗"},
		{saved.substr(0, saved.size() / 2), nullptr},
	};
	const std::vector<std::string> held = DescribeGame(game);
	for (const TCase& damaged : cases) {
		SCOPED_TRACE(damaged.error ? damaged.error : "cut in the middle");
		TCapturedLog log;
		EXPECT_FALSE(LoadSaveText(game, damaged.text));
		if (damaged.error) {
			EXPECT_LE(1, log.CountLines(damaged.error)) << log.Text();
		}
		EXPECT_EQ(held, DescribeGame(game));
	}
}

// A save file the parser refuses, or one without its root, is reported with the
// file's name; a parse failure gives the parser's reason, row and column.
TEST(GameSave, AMalformedSaveFileIsReportedWithItsPlace)
{
	TTempDir dir;
	const std::string path = dir / "save00.xml";
	const struct
	{
		const char* text;
		std::string error;
	} cases[] = {
		{"<Save>\n<Turn value=\"1\">\n</Save>", path + " XML parse error (Error reading end tag. 行 3 列 1)"},
		{"<Save><Turn value=\"1\" value=\"2\"/></Save>", path + " XML parse error (Error parsing Element. 行 1 列 23)"},
		{"<Saved/>", path + " Save 検索失敗"},
	};
	for (const auto& c : cases) {
		WriteFile(path, c.text);
		TCapturedLog log;
		TiXmlDocument document;
		EXPECT_EQ(nullptr, ReadSaveDocument(document, path));
		EXPECT_EQ(1, CountErrors(log)) << log.Text();
		EXPECT_EQ(1, log.CountLines(" Error " + c.error)) << log.Text();
	}
}

// The countdown leaves an alliance at 0 turns until the next turn removes it, and a save may hold it so.
TEST(GameSave, AllianceTurnsFromZeroUpAreLoaded)
{
	TMorvalethGame game;
	PlaySampleGame(game, 0, 5);
	const std::string saved = SaveText(game);
	for (int turns : {0, 12}) {
		TCapturedLog log;
		ASSERT_TRUE(LoadSaveText(game, Damage(saved, "turn=\"infinite\"", "turn=\"" + std::to_string(turns) + "\""))) << log.Text();
		EXPECT_EQ(turns, game.GetAlliance(0).Turns);
	}
}

// A script places a hero in one place only: a stationed one stays put, a dead one comes back. It may stand
// characters beyond the limit of 20, and the world map adds its own element to the save: all of it loads.
TEST(GameSave, WhatScriptsPlaceIsSavedAndLoaded)
{
	TMorvalethGame game;
	PlaySampleGame(game, 0, 5);
	const int leon = LoadedSample().GetCharaIndex("leon");
	const std::vector<std::string> before = DescribeGame(game);
	{
		TCapturedLog log;
		game.InsertAreaChara(game.GetAreaIndex("A02"), leon);
		EXPECT_EQ(1, log.CountLines("hero leon already stands in an area")) << log.Text();
		EXPECT_EQ(before, DescribeGame(game));
	}
	ASSERT_EQ(1u, game.GetDeadCharas().size());
	const int dead = game.GetDeadCharas()[0].CharaIndex;
	ASSERT_TRUE(LoadedSample().GetCharaData(dead).Hero);
	game.InsertAreaChara(game.GetAreaIndex("A02"), dead);
	EXPECT_TRUE(game.GetDeadCharas().empty());
	EXPECT_TRUE(game.CharaExists(dead));

	const int full = game.GetAreaIndex("A07");
	while (game.GetArea(full).Charas.size() < 21)
		game.InsertAreaChara(full, LoadedSample().GetCharaIndex("zombie"));
	const std::string saved = SaveText(game);
	TCapturedLog log;
	ASSERT_TRUE(LoadSaveText(game, Damage(saved, "</Save>", "<LuaEvent><Flag id=\"met\" /></LuaEvent></Save>")))
		<< log.Text();
	EXPECT_EQ(21u, game.GetArea(full).Charas.size());
	EXPECT_EQ(saved, SaveText(game));
}

// The loader names itself when the save holds no characters at all.
TEST(GameSave, AMissingCharacterListIsReportedByTheLoader)
{
	TMorvalethGame game;
	PlaySampleGame(game, 0, 5);
	const std::string saved = SaveText(game);
	TCapturedLog log;
	EXPECT_FALSE(LoadSaveText(game, saved.substr(0, saved.find("<CharacterList")) + "</Save>"));
	const std::string text = log.Text();
	const std::size_t at = text.find("CharacterList 検索失敗");
	ASSERT_NE(std::string::npos, at) << text;
	const std::size_t begin = text.rfind('\n', at);
	const std::string line = text.substr(begin == std::string::npos ? 0 : begin, at - begin);
	EXPECT_NE(std::string::npos, line.find("TMorvalethGame::LoadSaved:")) << line;
}
