#include "ModelFixture.h"

#include "model/MorvalethData.h"
#include "support/GameDescription.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
const TCharaData& Chara(const TMorvalethData& data, const std::string& id)
{
	const int index = data.GetCharaIndex(id);
	EXPECT_LE(0, index) << id;
	return data.GetCharaData(index);
}

/// Writes a copy of a character's element, under another id, after the element in its file.
void DefineAgain(const std::string& path, const std::string& id, const std::string& newId)
{
	const std::string text = ReadFile(path);
	const std::string opening = "<Character id=\"" + id + "\">";
	const std::size_t start = text.find(opening);
	ASSERT_NE(std::string::npos, start) << id;
	const std::size_t end = text.find("</Character>", start) + 12;
	const std::string copy = "<Character id=\"" + newId + "\">" + text.substr(start + opening.size(), end - start - opening.size());
	WriteFile(path, text.substr(0, end) + copy + text.substr(end));
}
}

TEST(ModelChara, SampleCharactersAreSortedAndHoldTheirFields)
{
	const TMorvalethData& data = LoadedSample();
	ASSERT_EQ(17, data.GetCharaCount());
	for (int i = 1; i < data.GetCharaCount(); ++i)
		EXPECT_LT(data.GetCharaData(i - 1).id, data.GetCharaData(i).id);
	EXPECT_EQ(7, data.GetHeroCount());
	EXPECT_EQ(-1, data.GetCharaIndex("lion"));

	const TCharaData& leon = Chara(data, "leon");
	EXPECT_EQ("レオン", leon.Name);
	EXPECT_EQ(0, leon.DirIndex);
	EXPECT_TRUE(leon.Hero);
	EXPECT_TRUE(leon.IsMaster);
	EXPECT_EQ(data.GetRaceIndex("human"), leon.Race);
	EXPECT_EQ(data.GetMoveTypeIndex("horse"), leon.MoveType);
	EXPECT_EQ(5, leon.Movable);
	EXPECT_EQ(90, leon.HP);
	EXPECT_EQ(5, leon.Power);
	EXPECT_EQ((std::vector<int>{0, 0, 0}), leon.MagicRanks);
	ASSERT_EQ(data.GetAttributeCount(), static_cast<int>(leon.Resistances.size()));
	EXPECT_EQ(RESISTANCE_STRONG, leon.Resistances[data.GetAttributeIndex("slash")]);
	EXPECT_EQ(RESISTANCE_NONE, leon.Resistances[data.GetAttributeIndex("fire")]);
	EXPECT_EQ(data.GetSpecialIndex("warcry"), leon.Special);
	EXPECT_EQ(1, leon.SpecialCount);
	EXPECT_EQ(-1, leon.SecondAttack);
	EXPECT_EQ(0, leon.SecondAttackCount);
	ASSERT_EQ(2u, leon.Attacks.size());
	EXPECT_EQ(90, leon.Attacks[0].Power);
	EXPECT_EQ(data.GetSpecialIndex("spear"), leon.Attacks[0].Special);
	EXPECT_EQ(data.GetSpecialIndex("sword"), leon.Attacks[1].Special);
	EXPECT_EQ((std::vector<std::string>{"soldier", "knight", "archer"}), leon.EmployableIds);
	EXPECT_EQ((std::vector<int>{data.GetCharaIndex("soldier"), data.GetCharaIndex("knight"), data.GetCharaIndex("archer")}),
		leon.Employable);
	EXPECT_EQ("chip_leon.png", leon.BattleChip);
	EXPECT_EQ("face_leon.png", leon.Face);
	EXPECT_EQ(-1, leon.ChipImage);
	EXPECT_EQ(-1, leon.AutoSpecial);
	EXPECT_EQ(EVENT_NONE, leon.AutoSpecialEvent);
	EXPECT_EQ(-1, leon.TargetGroup);
	EXPECT_EQ(-1, leon.ClassChange);
	EXPECT_EQ(0, leon.TurnMin);
	EXPECT_EQ(-1, leon.TurnMax);
	for (int i = 0; i < data.GetMasterCount(); ++i)
		EXPECT_EQ(data.GetMasterData(i).id, data.GetCharaData(data.GetMasterData(i).CharaIndex).id);

	EXPECT_EQ((std::vector<int>{0, 1, 3}), Chara(data, "sera").MagicRanks);
	EXPECT_FALSE(Chara(data, "soldier").IsMaster);
	EXPECT_EQ("knight", Chara(data, "soldier").ClassChangeNext);
	EXPECT_EQ(data.GetCharaIndex("knight"), Chara(data, "soldier").ClassChange);
	EXPECT_EQ("archer_cheer", Chara(data, "archer").AutoScript);
	EXPECT_EQ(EVENT_ENEMYDEAD, Chara(data, "archer").AutoScriptEvent);
	EXPECT_EQ(data.GetSpecialIndex("lastprayer"), Chara(data, "acolyte").AutoSpecial);
	EXPECT_EQ(EVENT_MEDEAD, Chara(data, "acolyte").AutoSpecialEvent);
	EXPECT_EQ(1, Chara(data, "zombie").Power);
	EXPECT_EQ(0, Chara(data, "zombie").TargetGroup);
	EXPECT_EQ(RESISTANCE_ABSORB, Chara(data, "zombie").Resistances[data.GetAttributeIndex("poison")]);
	EXPECT_EQ((std::vector<int>{data.GetRaceIndex("beast")}), Chara(data, "tamer").BeastTamer);
	EXPECT_TRUE(Chara(data, "bran").NoWander);
	EXPECT_TRUE(Chara(data, "bran").DeadMessage);
	const TCharaData& kaya = Chara(data, "kaya");
	EXPECT_EQ(2, kaya.DirIndex);
	EXPECT_EQ(3, kaya.TurnMin);
	EXPECT_EQ(8, kaya.TurnMax);
}

TEST(ModelChara, BrokenCharacterFilesFailWithTheirReasons)
{
	const char* const failed = "キャラ情報の読み込みに失敗しました。";
	const char* const resolve = "キャラID解決に失敗しました。";
	const char* const magic = "魔法のID解決に失敗しました。";
	const TBrokenFile cases[] = {
		{"Extra/CharacterData.xml", nullptr, nullptr, " XML parse error", failed},
		{"DefChar/CharacterData.xml", "CharacterList", "Characters", " CharacterList検索失敗", failed},
		{"DefChar/CharacterData.xml", "<Name>兵士</Name>", "", "id =soldier のName検索失敗", failed},
		{"Element/CharacterData.xml", "<Magic id=\"dark\"", "<Magic id=\"ice\"", "未知のmagicgroupid ice", failed},
		{"DefChar/CharacterData.xml", " rank=\"3\"", "", "Magicのrankが無い", failed},
		{"DefChar/CharacterData.xml", "<Resistance id=\"slash\"", "<Resistance id=\"blunt\"", " leon blunt 未知の属性ID", failed},
		{"DefChar/CharacterData.xml", "id=\"slash\" value=\"strong\"", "id=\"slash\" value=\"none\"", " leon none 未知の耐性ID", failed},
		{"DefChar/CharacterData.xml", "<Race value=\"elf\"/>", "<Race value=\"dwarf\"/>", "id =sera のRaceの検索に失敗しました。", failed},
		{"DefChar/CharacterData.xml", "<MoveType value=\"horse\"/>", "", "id =leon のMoveTypeの検索に失敗しました。", failed},
		{"Extra/CharacterData.xml", "<TurnCost value=\"2\"/>", "", "id =bandit のTurnCostの検索に失敗しました。", failed},
		{"Element/CharacterData.xml", "<Speed value=\"18\"/>", "", "id =wolf のSpeedの検索に失敗しました。", failed},
		{"DefChar/CharacterData.xml", "<Experience value=\"60\"/>", "", "id =leon のExperienceの検索に失敗しました。", failed},
		{"DefChar/CharacterData.xml", "<Special id=\"warcry\"", "<Special id=\"battlecry\"", "キャラ leon のSpecial id = battlecry 検索失敗", failed},
		{"Extra/CharacterData.xml", "<Special id=\"wings\"", "<Special id=\"sword\"",
			"キャラ kaya の特技にアニメーション定義の無いSpecial sword が指定されました。アニメーション定義の無いSpecialは攻撃にのみ指定可能です。", failed},
		{"Element/CharacterData.xml", "id=\"lastprayer\"", "id=\"lastwish\"", "id = acolyte のAutoSpecial検索失敗", failed},
		{"Element/CharacterData.xml", "id=\"lastprayer\"", "id=\"firebolt\"",
			"キャラ acolyte の自動必殺技に必殺技 firebolt が指定されましたが、射程がNormalまたはStreamの必殺技を自動必殺技に指定することはできません。", failed},
		{"Element/CharacterData.xml", "event=\"MeDead\"", "event=\"medead\"", "キャラ acolyte のAutoSpecialのeventを認識できませんでした。", failed},
		{"DefChar/CharacterData.xml", "event=\"EnemyDead\"", "event=\"None\"", "キャラ archer のAutoScriptのeventを認識できませんでした。", failed},
		{"Element/CharacterData.xml", "<BattleChip>chip_wolf.png</BattleChip>", "", "id = wolf のBattleChip検索失敗", failed},
		{"Element/CharacterData.xml", "chip_wolf.png", "../../../wolf.png", " ../../../wolf.png はシナリオフォルダの外を指しています。", failed},
		{"Element/CharacterData.xml", "<Employable>wolf</Employable>", "<Employable>bear</Employable>", "id =tamer のEmployable bear 検索失敗", failed},
		{"Element/SpecialTable.xml", "<SummonCharacter id=\"wolf\"/>", "<SummonCharacter id=\"bear\"/>",
			"Special id = callwolf の SummonCharacter bear の検索に失敗しました。", resolve},
		{"Data/Revive.xml", "<Character id=\"zombie\"/>", "<Character id=\"ghoul\"/>", "Revive id = undead の Character ghoul の検索に失敗しました。", resolve},
		{"Data/MagicTable.xml", "specialid=\"quake\"", "specialid=\"tremor\"", "id = tremor の検索に失敗しました。", magic},
		{"Data/MagicTable.xml", "specialid=\"quake\"", "specialid=\"sword\"",
			"魔法 quake にアニメーション定義の無いSpecial sword が指定されました。アニメーション定義の無いSpecialは攻撃にのみ指定可能です。", magic},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

TEST(ModelChara, AMasterWithoutCharacterFailsWithTheDialogAsItsOnlyReport)
{
	TSampleCopy copy;
	copy.Replace("Data/MasterData.xml", "<Master id=\"garm\">", "<Master id=\"wolfking\">");
	TCapturedLog log;
	TMorvalethData data;
	EXPECT_FALSE(data.Load(copy.Folder(), 0));
	EXPECT_EQ(1, CountErrors(log)) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Error マスターID wolfking の解決に失敗しました。"));
	EXPECT_EQ(0, log.CountLines("Scenario.xml OK"));
}

TEST(ModelChara, DoubtfulValuesAreWarnedOfAndTheLoadGoesOn)
{
	TSampleCopy copy;
	copy.Replace("Element/CharacterData.xml", "<Power value=\"0\"/>", "");
	copy.Replace("Extra/CharacterData.xml", "<Experience value=\"6\"/>", "<Experience value=\"0\"/>");
	copy.Replace("DefChar/CharacterData.xml", "<Magic id=\"light\" rank=\"3\"/>", "");
	copy.Replace("Element/CharacterData.xml", "specialid=\"deathtouch\"", "specialid=\"doomtouch\"");
	copy.Replace("DefChar/CharacterData.xml", "next=\"knight\"", "next=\"paladin\"");
	copy.Replace("Element/CharacterData.xml", "<Command>beast</Command>", "<Command>dragon</Command>");
	copy.Replace("Extra/CharacterData.xml", "<BattleChip>chip_bandit.png", "<Target id=\"ghost\"/><BattleChip>chip_bandit.png");
	copy.Replace("Extra/CharacterData.xml", "<Hero flag=\"true\"/>", "<Hero flag=\"True\"/>");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.Load(copy.Folder(), 0));
	EXPECT_EQ(0, CountErrors(log)) << log.Text();
	EXPECT_EQ(7, CountWarnings(log)) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Warning id =zombie のPowerの検索に失敗しました。"));
	EXPECT_EQ(1, Chara(data, "zombie").Power);
	EXPECT_EQ(1, log.CountLines(" Warning id = militia 経験値0のキャラクターはサポートしていないため経験値を1に修正します。"));
	EXPECT_EQ(1, Chara(data, "militia").Experience);
	EXPECT_EQ(1, log.CountLines(" Warning 警告：id = sera のMagic要素が足りません。無い分は0とみなします。"));
	EXPECT_EQ((std::vector<int>{0, 1, 0}), Chara(data, "sera").MagicRanks);
	EXPECT_EQ(1, log.CountLines(" Warning id = zombie のAttackで指定されたspecialid doomtouch 検索失敗。攻撃無しとみなします。"));
	ASSERT_EQ(1u, Chara(data, "zombie").Attacks.size());
	EXPECT_EQ(-1, Chara(data, "zombie").Attacks[0].Special);
	EXPECT_EQ(1, log.CountLines(" Warning id = soldier のClassChangeで指定されたnext paladin 検索失敗。クラスチェンジ無しとみなします。"));
	EXPECT_EQ(-1, Chara(data, "soldier").ClassChange);
	EXPECT_EQ(1, log.CountLines(" Warning id = tamer のBeastTamerのCommandで指定された種族ID検索失敗"));
	EXPECT_TRUE(Chara(data, "tamer").BeastTamer.empty());
	EXPECT_EQ(1, log.CountLines(" Warning id = bandit のTargetで指定されたid = ghost をTargetとするSpecialは存在しません。"));
	EXPECT_EQ(-1, Chara(data, "bandit").TargetGroup);
	EXPECT_FALSE(Chara(data, "kaya").Hero);
	EXPECT_EQ(6, data.GetHeroCount());
}

// The first definition of an id wins every lookup; a second one is dropped with
// its warning, so that no game places both and then cannot save them.
TEST(ModelChara, ARepeatedIdIsDroppedWithOneWarningAndTheGameStillSaves)
{
	TSampleCopy copy;
	// The hero kaya defined again as leon, the master's own character of another folder.
	const std::string extra = copy.Folder() + "/Extra/CharacterData.xml";
	DefineAgain(extra, "militia", "bandit");
	DefineAgain(extra, "kaya", "leon");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.Load(copy.Folder(), 0));
	EXPECT_EQ(2, CountWarnings(log)) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Warning " + extra + " 重複したid bandit"));
	EXPECT_EQ(1, log.CountLines(" Warning " + extra + " 重複したid leon"));
	ASSERT_EQ(LoadedSample().GetCharaCount(), data.GetCharaCount());
	EXPECT_EQ("山賊", Chara(data, "bandit").Name);
	EXPECT_EQ(0, Chara(data, "leon").DirIndex);
	EXPECT_TRUE(Chara(data, "leon").IsMaster);
	EXPECT_EQ(LoadedSample().GetHeroCount(), data.GetHeroCount());
	// The dropped hero wanders nowhere, so the game's own save loads.
	TMorvalethGame game;
	ASSERT_TRUE(game.LoadNew(&data, copy.Folder(), 0, 3)) << log.Text();
	game.ActivateNextMaster();
	const std::string saved = SaveGameText(game);
	ASSERT_FALSE(saved.empty()) << log.Text();
	TiXmlDocument document;
	document.Parse(saved.c_str(), nullptr, TIXML_ENCODING_UTF8);
	TMorvalethGame loaded;
	EXPECT_TRUE(loaded.LoadSaved(&data, copy.Folder(), 0, document.RootElement())) << log.Text();
}