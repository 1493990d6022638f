#include "model/MorvalethData.h"

#include "app/Logger.h"
#include "app/XmlValue.h"
#include "model/DataFile.h"
#include "model/RecordTable.h"

#include <tinyxml.h>

namespace
{
const char* const EVENT_KEYWORDS[] = {"None", "MeDead", "MySideDead", "EnemyDead"};

const TValueField<TCharaData> COST_FIELDS[] = {
	{"EmployCost", &TCharaData::EmployCost},
	{"TurnCost", &TCharaData::TurnCost},
};

const TValueField<TCharaData> STATUS_FIELDS[] = {
	{"Movable", &TCharaData::Movable},
	{"HP", &TCharaData::HP},
	{"MP", &TCharaData::MP},
	{"PhysicalAttack", &TCharaData::PhysicalAttack},
	{"PhysicalDefense", &TCharaData::PhysicalDefense},
	{"Skill", &TCharaData::Skill},
	{"Speed", &TCharaData::Speed},
	{"MagicAttack", &TCharaData::MagicAttack},
	{"MagicDefense", &TCharaData::MagicDefense},
	{"Morale", &TCharaData::Morale},
	{"Aggressive", &TCharaData::Aggressive},
	{"HPRecover", &TCharaData::HPRecover},
	{"MPRecover", &TCharaData::MPRecover},
};

/// A flag set by a child whose "flag" attribute is exactly "true".
const struct
{
	const char* element;
	bool TCharaData::*field;
} FLAG_FIELDS[] = {
	{"Hero", &TCharaData::Hero},
	{"DeadMessage", &TCharaData::DeadMessage},
	{"NoWander", &TCharaData::NoWander},
};

/// What every step of reading one Character element works on.
struct TCharaContext
{
	const TMorvalethData& data;
	const std::string& path;
	const TiXmlElement* element;
	TCharaData& chara;
};

bool ReadName(const TCharaContext& c)
{
	const TiXmlElement* name = c.element->FirstChildElement("Name");
	if (!name) {
		g_Logger.Error("id =" + c.chara.id + " のName検索失敗");
		return false;
	}
	c.chara.Name = GetXmlText(name);
	return true;
}

/// One rank per magic group; groups without a Magic element keep rank 0.
bool ReadMagicRanks(const TCharaContext& c)
{
	c.chara.MagicRanks.assign(c.data.GetMagicGroupCount(), 0);
	int count = 0;
	for (const TiXmlElement* e = c.element->FirstChildElement("Magic"); e; e = e->NextSiblingElement("Magic")) {
		const std::string groupId = GetXmlAttribute(e, "id");
		const int group = c.data.GetMagicGroupIndex(groupId);
		if (group < 0) {
			g_Logger.Error("未知のmagicgroupid " + groupId);
			return false;
		}
		if (!GetXmlIntAttribute(e, "rank", c.chara.MagicRanks[group])) {
			g_Logger.Error("Magicのrankが無い");
			return false;
		}
		++count;
	}
	if (count < c.data.GetMagicGroupCount())
		WarningOf("警告：id = %s のMagic要素が足りません。無い分は0とみなします。", c.chara.id);
	return true;
}

/// One resistance level per attribute; attributes without a Resistance element keep level 0.
bool ReadResistances(const TCharaContext& c)
{
	c.chara.Resistances.assign(c.data.GetAttributeCount(), 0);
	for (const TiXmlElement* e = c.element->FirstChildElement("Resistance"); e; e = e->NextSiblingElement("Resistance")) {
		const std::string attributeId = GetXmlAttribute(e, "id");
		const int attribute = c.data.GetAttributeIndex(attributeId);
		if (attribute < 0) {
			g_Logger.Error(FormatText("%s %s %s 未知の属性ID", c.path, c.chara.id, attributeId));
			return false;
		}
		const std::string level = GetXmlAttribute(e, "value");
		c.chara.Resistances[attribute] = ResistanceLevelNumber(level);
		if (c.chara.Resistances[attribute] == RESISTANCE_NONE) {
			g_Logger.Error(FormatText("%s %s %s 未知の耐性ID", c.path, c.chara.id, level));
			return false;
		}
	}
	return true;
}

void ReadFlags(const TCharaContext& c)
{
	for (const auto& flag : FLAG_FIELDS)
		c.chara.*flag.field = GetXmlAttribute(c.element->FirstChildElement(flag.element), "flag") == "true";
}

/// The "value" of a required child, looked up by id in one of the database's tables.
bool ReadIndexValue(const TCharaContext& c, const char* name,
	int (TMorvalethData::*lookup)(const std::string& id) const, int TCharaData::*field)
{
	const TiXmlElement* child = c.element->FirstChildElement(name);
	c.chara.*field = child ? (c.data.*lookup)(GetXmlAttribute(child, "value")) : -1;
	if (c.chara.*field < 0) {
		g_Logger.Error("id =" + c.chara.id + " の" + name + "の検索に失敗しました。");
		return false;
	}
	return true;
}

/// The character's own special; it is shown in battle, so it needs an effect image.
bool ReadSpecial(const TCharaContext& c)
{
	const TiXmlElement* special = c.element->FirstChildElement("Special");
	if (!special)
		return true;
	const std::string id = GetXmlAttribute(special, "id");
	c.chara.Special = c.data.GetSpecialIndex(id);
	if (c.chara.Special < 0) {
		g_Logger.Error(FormatText("キャラ %s のSpecial id = %s 検索失敗", c.chara.id, id));
		return false;
	}
	if (c.data.GetSpecialData(c.chara.Special).Image.empty()) {
		g_Logger.Error(FormatText("キャラ %s の特技にアニメーション定義の無いSpecial %s が指定されました。"
			"アニメーション定義の無いSpecialは攻撃にのみ指定可能です。", c.chara.id, id));
		return false;
	}
	GetXmlIntAttribute(special, "count", c.chara.SpecialCount);
	return true;
}

/// The "event" attribute of an element as an event other than None.
bool ReadEvent(const TCharaContext& c, const TiXmlElement* element, const char* name, int& event)
{
	event = KeywordNumber(EVENT_KEYWORDS, GetXmlAttribute(element, "event"));
	if (event == EVENT_NONE) {
		g_Logger.Error(FormatText("キャラ %s の%sのeventを認識できませんでした。", c.chara.id, name));
		return false;
	}
	return true;
}

/// A special used by itself aims at no cell, so it may not need one.
bool ReadAutoSpecial(const TCharaContext& c)
{
	const TiXmlElement* autoSpecial = c.element->FirstChildElement("AutoSpecial");
	if (!autoSpecial)
		return true;
	const std::string id = GetXmlAttribute(autoSpecial, "id");
	c.chara.AutoSpecial = c.data.GetSpecialIndex(id);
	if (c.chara.AutoSpecial < 0) {
		g_Logger.Error("id = " + c.chara.id + " のAutoSpecial検索失敗");
		return false;
	}
	const int range = c.data.GetSpecialData(c.chara.AutoSpecial).RangeType;
	if (range == RANGE_NORMAL || range == RANGE_STREAM) {
		g_Logger.Error(FormatText("キャラ %s の自動必殺技に必殺技 %s が指定されましたが、"
			"射程がNormalまたはStreamの必殺技を自動必殺技に指定することはできません。", c.chara.id, id));
		return false;
	}
	return ReadEvent(c, autoSpecial, "AutoSpecial", c.chara.AutoSpecialEvent);
}

bool ReadAutoScript(const TCharaContext& c)
{
	const TiXmlElement* autoScript = c.element->FirstChildElement("AutoScript");
	if (!autoScript)
		return true;
	c.chara.AutoScript = GetXmlAttribute(autoScript, "function");
	return ReadEvent(c, autoScript, "AutoScript", c.chara.AutoScriptEvent);
}

/// Power and experience are divisors of the game's rules and are never 0.
bool ReadPowerAndExperience(const TCharaContext& c)
{
	const TiXmlElement* power = c.element->FirstChildElement("Power");
	if (!power || !GetXmlIntAttribute(power, "value", c.chara.Power))
		WarningOf("id =%s のPowerの検索に失敗しました。", c.chara.id);
	if (c.chara.Power == 0)
		c.chara.Power = 1;
	if (!QueryChildIntAttribute(c.element, "Experience", "value", c.chara.Experience,
			"id =" + c.chara.id + " のExperienceの検索に失敗しました。"))
		return false;
	if (c.chara.Experience == 0) {
		g_Logger.Warning("id = " + c.chara.id + " 経験値0のキャラクターはサポートしていないため経験値を1に修正します。");
		c.chara.Experience = 1;
	}
	return true;
}

void ReadAppearance(const TCharaContext& c)
{
	if (const TiXmlElement* appearance = c.element->FirstChildElement("Appearance")) {
		GetXmlIntAttribute(appearance, "TurnMin", c.chara.TurnMin);
		GetXmlIntAttribute(appearance, "TurnMax", c.chara.TurnMax);
	}
}

/// An attack whose special is absent or unknown is kept as "no attack".
void ReadAttacks(const TCharaContext& c)
{
	for (const TiXmlElement* e = c.element->FirstChildElement("Attack"); e; e = e->NextSiblingElement("Attack")) {
		TCharaAttack attack;
		GetXmlIntAttribute(e, "Power", attack.Power);
		const std::string special = GetXmlAttribute(e, "specialid");
		attack.Special = c.data.GetSpecialIndex(special);
		if (attack.Special < 0 && !special.empty())
			WarningOf("id = %s のAttackで指定されたspecialid %s 検索失敗。攻撃無しとみなします。", c.chara.id, special);
		c.chara.Attacks.push_back(attack);
	}
}

void ReadEmployable(const TCharaContext& c)
{
	for (const TiXmlElement* e = c.element->FirstChildElement("Employable"); e; e = e->NextSiblingElement("Employable"))
		c.chara.EmployableIds.push_back(GetXmlText(e));
}

void ReadBeastTamer(const TCharaContext& c)
{
	const TiXmlElement* tamer = c.element->FirstChildElement("BeastTamer");
	for (const TiXmlElement* e = tamer ? tamer->FirstChildElement("Command") : nullptr; e;
		e = e->NextSiblingElement("Command")) {
		const int race = c.data.GetRaceIndex(GetXmlText(e));
		if (race < 0)
			WarningOf("id = %s のBeastTamerのCommandで指定された種族ID検索失敗", c.chara.id);
		else
			c.chara.BeastTamer.push_back(race);
	}
}

/// The target group of a character is one that some special names.
void ReadTarget(const TCharaContext& c)
{
	const TiXmlElement* target = c.element->FirstChildElement("Target");
	if (!target)
		return;
	const std::string id = GetXmlAttribute(target, "id");
	c.chara.TargetGroup = c.data.GetTargetGroup(id);
	if (c.chara.TargetGroup < 0) {
		WarningOf("id = %s のTargetで指定されたid = %s をTargetとするSpecialは存在しません。"
			"死霊系キャラが居てレクイエム系の魔法／技が無い場合、この警告は無害です。", c.chara.id, id);
	}
}

bool ReadImages(const TCharaContext& c)
{
	const TiXmlElement* chip = c.element->FirstChildElement("BattleChip");
	if (!chip) {
		g_Logger.Error("id = " + c.chara.id + " のBattleChip検索失敗");
		return false;
	}
	c.chara.BattleChip = GetXmlText(chip);
	return CheckNameInsideRoot(c.chara.BattleChip, MEDIA_FOLDER_DEPTH, c.path)
		&& ReadMediaName(c.element, "Face", c.path, c.chara.Face);
}

/// Reads one Character element in the order of its parts; false after logging the first fault.
bool ReadChara(const TCharaContext& c)
{
	if (!RequireId(c.element, c.path, c.chara.id) || !ReadName(c) || !ReadMagicRanks(c) || !ReadResistances(c))
		return false;
	ReadFlags(c);
	if (!ReadIndexValue(c, "Race", &TMorvalethData::GetRaceIndex, &TCharaData::Race)
		|| !ReadValueFields(c.element, COST_FIELDS, c.chara)
		|| !ReadIndexValue(c, "MoveType", &TMorvalethData::GetMoveTypeIndex, &TCharaData::MoveType)
		|| !ReadValueFields(c.element, STATUS_FIELDS, c.chara)
		|| !ReadSpecial(c) || !ReadAutoSpecial(c) || !ReadAutoScript(c))
		return false;
	c.chara.ClassChangeNext = GetXmlAttribute(c.element->FirstChildElement("ClassChange"), "next");
	if (!ReadPowerAndExperience(c))
		return false;
	ReadAppearance(c);
	ReadAttacks(c);
	ReadEmployable(c);
	ReadBeastTamer(c);
	ReadTarget(c);
	return ReadImages(c);
}
}

bool TMorvalethData::LoadCharacterData(const std::string& path, int folder)
{
	std::set<std::string> ids = IdsOf(m_Charas);
	return AppendCharacterData(path, folder, ids);
}

// The first definition of an id wins every lookup; a second one is dropped, so
// that no game can place it beside the first and then fail to save both.
bool TMorvalethData::AppendCharacterData(const std::string& path, int folder, std::set<std::string>& ids)
{
	TiXmlDocument document;
	const TiXmlElement* list = ReadXmlDataFile(document, path, false)
		? RequireChild(&document, "CharacterList", path, " CharacterList検索失敗") : nullptr;
	// Every folder adds to one table: the limit holds for all of them together.
	if (!list || !CheckRecordCount(m_Charas.size() + CountChildren(list, "Character"), MAX_CHARAS, path, "Character"))
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("Character"); e; e = e->NextSiblingElement("Character")) {
		const TLogSubject subject(path, RecordName(e));
		TCharaData chara;
		if (!ReadChara({*this, path, e, chara}))
			return false;
		if (!NoteNewId(ids, chara.id, path, " の二つ目の定義は読み込みません。"))
			continue;
		chara.DirIndex = folder;
		if (chara.Hero)
			++m_HeroCount;
		m_Charas.push_back(chara);
	}
	return true;
}

bool TMorvalethData::ResolveCharacterID()
{
	for (TSpecialData& special : m_Specials) {
		if (special.SummonCharacter.empty())
			continue;
		const TLogSubject subject(CharaFolderPath(special.DirIndex, "/SpecialTable.xml"), "Special id = " + special.id);
		special.SummonCharaIndex = GetCharaIndex(special.SummonCharacter);
		if (special.SummonCharaIndex < 0) {
			g_Logger.Error("Special id = " + special.id + " の SummonCharacter " + special.SummonCharacter
				+ " の検索に失敗しました。");
			return false;
		}
	}
	for (TReviveData& revive : m_Revives) {
		const TLogSubject subject(DataPath("Revive.xml"), "Revive id = " + revive.id);
		revive.CharacterIndices.resize(revive.CharacterIds.size(), 0);
		for (std::size_t i = 0; i < revive.CharacterIds.size(); ++i) {
			revive.CharacterIndices[i] = GetCharaIndex(revive.CharacterIds[i]);
			if (revive.CharacterIndices[i] < 0) {
				g_Logger.Error("Revive id = " + revive.id + " の Character " + revive.CharacterIds[i]
					+ " の検索に失敗しました。");
				return false;
			}
		}
	}
	return true;
}

bool TMorvalethData::ResolveEmployable()
{
	for (TCharaData& chara : m_Charas) {
		const TLogSubject subject(CharaFolderPath(chara.DirIndex, "/CharacterData.xml"), "Character id = " + chara.id);
		chara.Employable.assign(chara.EmployableIds.size(), 0);
		for (std::size_t j = 0; j < chara.EmployableIds.size(); ++j) {
			chara.Employable[j] = GetCharaIndex(chara.EmployableIds[j]);
			if (chara.Employable[j] < 0) {
				g_Logger.Error("id =" + chara.id + " のEmployable " + chara.EmployableIds[j] + " 検索失敗");
				return false;
			}
		}
		if (chara.ClassChangeNext.empty())
			continue;
		// An unknown class is no reason to stop, but a misspelt id must not pass unnoticed.
		chara.ClassChange = GetCharaIndex(chara.ClassChangeNext);
		if (chara.ClassChange < 0)
			WarningOf("id = %s のClassChangeで指定されたnext %s 検索失敗。クラスチェンジ無しとみなします。", chara.id,
				chara.ClassChangeNext);
	}
	return true;
}

bool TMorvalethData::ResolveMasterID(std::string& failed)
{
	for (TMasterData& master : m_Masters) {
		master.CharaIndex = GetCharaIndex(master.id);
		if (master.CharaIndex < 0) {
			failed = master.id;
			return false;
		}
		m_Charas[master.CharaIndex].IsMaster = true;
	}
	return true;
}
