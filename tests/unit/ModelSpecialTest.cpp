#include "ModelFixture.h"

#include "model/MorvalethData.h"

#include <gtest/gtest.h>

namespace
{
const TSpecialData& Special(const TMorvalethData& data, const std::string& id)
{
	const int index = data.GetSpecialIndex(id);
	EXPECT_LE(0, index) << id;
	return data.GetSpecialData(index);
}
}

TEST(ModelSpecial, SampleSpecialsAreSortedAndHoldTheirFields)
{
	const TMorvalethData& data = LoadedSample();
	ASSERT_EQ(43, data.GetSpecialCount());
	for (int i = 1; i < data.GetSpecialCount(); ++i)
		EXPECT_LT(data.GetSpecialData(i - 1).id, data.GetSpecialData(i).id);
	EXPECT_EQ(0, data.GetAttackWallSpecial());
	EXPECT_EQ("AttackWall", data.GetSpecialData(0).id);

	const TSpecialData& firebolt = Special(data, "firebolt");
	EXPECT_EQ(1, firebolt.DirIndex);
	EXPECT_EQ(RANGE_NORMAL, firebolt.RangeType);
	EXPECT_EQ(8, firebolt.ConsumeMP);
	EXPECT_EQ(4, firebolt.MaxRange);
	EXPECT_EQ(1, firebolt.MaxRadius);
	EXPECT_EQ(STATUS_MAGICATTACK, firebolt.PowerType);
	EXPECT_EQ(data.GetAttributeIndex("fire"), firebolt.Attribute);
	EXPECT_EQ(FORMULA_FTMAGIC, firebolt.PowerFormula);
	EXPECT_EQ(FORMULA_FTMAGICHIT, firebolt.HitFormula);
	EXPECT_EQ(FORMULA_ANYTIME, firebolt.AdditionalHitFormula);
	EXPECT_EQ(JUDGE_SINGLE, firebolt.HitJudgeType);
	EXPECT_EQ("", firebolt.ScriptBefore);
	EXPECT_EQ("firebolt_after", firebolt.ScriptAfter);
	EXPECT_EQ("eff_fire.png", firebolt.Image);
	EXPECT_EQ(ANIMATION_SHOT, firebolt.AnimationType);
	EXPECT_EQ(4, firebolt.AnimationCount);
	EXPECT_EQ("fire.wav", firebolt.Sound);
	// Fields of features the special does not use keep values that name nothing.
	EXPECT_EQ(-1, firebolt.TargetGroup);
	EXPECT_EQ(-1, firebolt.ResistanceAttribute);
	EXPECT_EQ(-1, firebolt.MoveType);
	EXPECT_EQ(-1, firebolt.Revive);
	EXPECT_EQ(-1, firebolt.SummonCharaIndex);
	EXPECT_EQ(-1, firebolt.SoundIndex);
	EXPECT_FALSE(firebolt.PassOn);

	const TSpecialData& sword = Special(data, "sword");
	EXPECT_EQ("", sword.Image);
	EXPECT_EQ(ANIMATION_CHIP, sword.AnimationType);
	EXPECT_EQ(1, sword.AnimationCount);
	EXPECT_EQ(2, Special(data, "quake").RangeHeight);
	EXPECT_EQ(RANGE_LOWERTHAN, Special(data, "quake").RangeType);
	EXPECT_EQ(data.GetAttributeIndex("fire"), Special(data, "ward").ResistanceAttribute);
	EXPECT_EQ(RESISTANCE_STRONG, Special(data, "ward").ResistanceLevel);
	EXPECT_EQ(data.GetMoveTypeIndex("fly"), Special(data, "wings").MoveType);
	EXPECT_EQ(data.GetReviveIndex("undead"), Special(data, "raisedead").Revive);
	EXPECT_EQ(data.GetCharaIndex("wolf"), Special(data, "summonwolf").SummonCharaIndex);
	EXPECT_EQ("狼を一頭呼び出す", Special(data, "summonwolf").AdditionalString);
	const TSpecialData& requiem = Special(data, "requiem");
	EXPECT_EQ((std::vector<int>{data.GetMoveTypeIndex("fly")}), requiem.ExcludeMoveTypes);
	// "undead" first appears in the first folder and keeps its number in the second.
	EXPECT_EQ(0, data.GetTargetGroup("undead"));
	EXPECT_EQ(0, requiem.TargetGroup);
	EXPECT_EQ(0, Special(data, "banish").TargetGroup);
	EXPECT_EQ(-1, data.GetTargetGroup("beast"));

	const TReviveData& undead = data.GetReviveData(data.GetReviveIndex("undead"));
	EXPECT_EQ((std::vector<int>{data.GetCharaIndex("skeleton"), data.GetCharaIndex("zombie")}), undead.CharacterIndices);
	EXPECT_TRUE(data.GetReviveData(data.GetReviveIndex("same")).CharacterIndices.empty());
}

TEST(ModelSpecial, EffectNamesCoverTheEffectNumbersOnly)
{
	EXPECT_EQ("なし", GetEffectName(0));
	EXPECT_EQ("魔力増加", GetEffectName(14));
	EXPECT_EQ("速度増加", GetEffectName(16));
	EXPECT_EQ("復活", GetEffectName(30));
	EXPECT_EQ("", GetEffectName(31));
	EXPECT_EQ("", GetEffectName(-1));
}

TEST(ModelSpecial, BrokenSpecialFilesFailWithTheirReasons)
{
	const char* const failed = "特技情報の読み込みに失敗しました。";
	const TBrokenFile cases[] = {
		{"DefChar/SpecialTable.xml", "</SpecialList>", "", " XML parse error", failed},
		{"DefChar/SpecialTable.xml", "SpecialList", "Specials", " SpecialList検索失敗", failed},
		{"DefChar/SpecialTable.xml", "id=\"AttackWall\"", "id=\"WallAttack\"", " AttackWall not found.", failed},
		{"DefChar/SpecialTable.xml", "rangetype=\"Me\"", "rangetype=\"Mine\"", " Unknown Range Type Mine", failed},
		{"DefChar/SpecialTable.xml", "rangetype=\"Me\"", "rangetype=\"None\"", " Unknown Range Type None", failed},
		{"Element/SpecialTable.xml", " rangeheight=\"2\"", "", " rangetypeにLowerThanが指定されたがrangeheight検索失敗", failed},
		{"DefChar/SpecialTable.xml", "<Name>剣</Name>", "", " sword Name not found", failed},
		{"Element/SpecialTable.xml", "<MaxRadius value=\"1\"/>", "", "id =firebolt のMaxRadiusの検索に失敗しました。", failed},
		{"DefChar/SpecialTable.xml", "<PowerType>None</PowerType>", "", " warcry PowerType not found", failed},
		{"DefChar/SpecialTable.xml", "<Attribute>might</Attribute>", "<Attribute>Might</Attribute>",
			" warcry Attribute の検索に失敗しました。", failed},
		{"Element/SpecialTable.xml", "function=\"heal_condition\"", "function=\"\"", " heal Scriptにfunctionが指定されていません。", failed},
		{"Element/SpecialTable.xml", "timing=\"after\"", "timing=\"later\"", " firebolt Scriptのtimingの解釈に失敗しました。", failed},
		{"Element/SpecialTable.xml", "<ExcludeMoveType id=\"fly\"/>", "<ExcludeMoveType id=\"float\"/>",
			" requiem ExcludeMoveTypeのidの検索に失敗しました。", failed},
		{"Element/SpecialTable.xml", "<Resistance attribute=\"fire\" resistance=\"strong\"/>", "",
			" ward において属性SystemEffect=ChangeResistanceが指定されましたが、Resistanceが見つかりませんでした。", failed},
		{"Element/SpecialTable.xml", "resistance=\"strong\"", "resistance=\"none\"",
			" ward において ChangeResistance の resistance の認識に失敗しました。", failed},
		{"Element/SpecialTable.xml", "attribute=\"fire\"", "attribute=\"ice\"",
			" ward において ChangeResistance の attribute の検索に失敗しました。", failed},
		{"Element/SpecialTable.xml", "<MoveType id=\"fly\"/>", "<MoveType id=\"float\"/>",
			" ChangeMoveType の MoveType=float の認識に失敗しました。", failed},
		{"Element/SpecialTable.xml", "<MoveType id=\"fly\"/>", "",
			" wings において属性SystemEffect=ChangeMoveTypeが指定されましたが、MoveTypeが見つかりませんでした。", failed},
		{"DefChar/SpecialTable.xml", "<Revive id=\"same\"/>", "<Revive id=\"again\"/>", " Revive の id の認識に失敗しました。", failed},
		{"DefChar/SpecialTable.xml", "<Revive id=\"same\"/>", "",
			" resurrect において属性SystemEffect=Reviveが指定されましたが、Reviveが見つかりませんでした。", failed},
		{"DefChar/SpecialTable.xml", "<PowerFormula>FTSpecial</PowerFormula>", "<PowerFormula>Anytime</PowerFormula>",
			" 効果値計算式に Anytime が指定されましたが、この指定はエラーとしています。", failed},
		{"DefChar/SpecialTable.xml", "<PowerFormula>FTSpecial</PowerFormula>", "<PowerFormula>FTPower</PowerFormula>",
			" 計算式 FTPower の認識に失敗しました。", failed},
		{"DefChar/SpecialTable.xml", "<HitFormula>FTSpecialHit</HitFormula>", "", " HitFormula not found", failed},
		{"DefChar/SpecialTable.xml", "<AdditionalHitFormula>FTSpecialHit<", "<AdditionalHitFormula>None<",
			" 計算式 None の認識に失敗しました。", failed},
		{"DefChar/SpecialTable.xml", "<HitJudgeType>DoubleJudge<", "<HitJudgeType>TwiceJudge<",
			" 命中判定方式 TwiceJudge の認識に失敗しました。", failed},
		{"DefChar/SpecialTable.xml", " type=\"Stream\"", "", " アニメーションタイプ  の認識に失敗しました。", failed},
		{"DefChar/SpecialTable.xml", " width=\"96\"", "", " Image width not found Center", failed},
		{"Element/SpecialTable.xml", "eff_fire.png", "../../../fire.png", " ../../../fire.png はシナリオフォルダの外を指しています。", failed},
		{"Element/SpecialTable.xml", "<Sound>heal.wav", "<Sound>/tmp/heal.wav", " /tmp/heal.wav はシナリオフォルダの外を指しています。", failed},
	};
	for (const TBrokenFile& broken : cases)
		ExpectLoadFailure(broken);
}

TEST(ModelSpecial, AMisplacedResistanceIsWarnedOfAndStillRead)
{
	TSampleCopy copy;
	copy.Replace("DefChar/SpecialTable.xml", "<Name>噛みつき</Name>", "<Name>噛みつき</Name><Resistance attribute=\"fire\" resistance=\"weak\"/>");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.Load(copy.Folder(), 0));
	EXPECT_EQ(1, CountWarnings(log)) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Warning " + copy.Folder() + "/DefChar/SpecialTable.xml bite においてResistanceが指定されましたが、"
		"属性SystemEffect=ChangeResistance以外では単に無視されます。"));
	EXPECT_EQ(RESISTANCE_WEAK, Special(data, "bite").ResistanceLevel);
}

TEST(ModelSpecial, RepeatedIdsKeepTheFirstDefinitionWithOneWarningEach)
{
	TSampleCopy copy;
	copy.Replace("DefChar/SpecialTable.xml", "id=\"resurrect\"", "id=\"reaping\"");
	TCapturedLog log;
	TMorvalethData data;
	ASSERT_TRUE(data.Load(copy.Folder(), 0));
	const std::string defChar = copy.Folder() + "/DefChar/SpecialTable.xml";
	EXPECT_EQ(1, CountWarnings(log)) << log.Text();
	EXPECT_EQ(1, log.CountLines(" Warning " + defChar + " 重複したid reaping"));
	const int reaping = data.GetSpecialIndex("reaping");
	EXPECT_EQ(RANGE_ALLDEADMYSIDE, data.GetSpecialData(reaping).RangeType);
	EXPECT_EQ(RANGE_ALLDEADENEMY, data.GetSpecialData(reaping + 1).RangeType);

	// Reading the folders again repeats every id once; the ids met before are not warned of again.
	ASSERT_TRUE(data.LoadSpecialTable(defChar, 5));
	ASSERT_TRUE(data.LoadSpecialTable(copy.Folder() + "/Element/SpecialTable.xml", 6));
	EXPECT_EQ(1 + 12 + 31, CountWarnings(log));
	EXPECT_EQ(1, log.CountLines(" Warning " + copy.Folder() + "/Element/SpecialTable.xml 重複したid wings"));
	EXPECT_EQ(86, data.GetSpecialCount());
	EXPECT_EQ(1, data.GetSpecialData(data.GetSpecialIndex("wings")).DirIndex);
	EXPECT_EQ(0, data.GetAttackWallSpecial());
	EXPECT_EQ(0, data.GetTargetGroup("undead"));
}
