#include "model/MorvalethData.h"

#include "app/Logger.h"
#include "app/XmlValue.h"
#include "model/DataFile.h"
#include "model/RecordTable.h"

#include <map>
#include <tinyxml.h>

namespace
{
const char* const ATTRIBUTE_TYPE_KEYWORDS[] = {"None", "Attack", "Boost", "CrashWall", "Summon", "Revive"};

const char* const EFFECT_KEYWORDS[EFFECT_COUNT] = {
	"None", "NoEffect", "Poison", "Stone", "Paralyze", "Sleep", "Dream", "Death", "Absorb", "HPRecover",
	"MPRecover", "CrashWall", "PlusPhysicalAttack", "PlusPhysicalDefense", "PlusSkill", "PlusSpeed",
	"PlusMagicAttack", "PlusMagicDefense", "PlusHPRecover", "PlusMPRecover", "PlusAttackCount", "CurePoison",
	"CureStone", "CurePralyze", "CureSleep", "CureDream", "CureAll", "ChangeResistance", "ChangeMoveType",
	"Summon", "Revive"};

const char* const REVIVE_METHOD_KEYWORDS[] = {"None", "Same", "Employable", "FromList"};

bool ReadMagic(const TiXmlElement* element, const std::string& path, TMagicData& magic)
{
	magic.GroupId = GetXmlAttribute(element, "groupid");
	const TiXmlElement* name
		= RequireId(element, path, magic.id) ? RequireChild(element, "Name", path, " MagicのName検索失敗") : nullptr;
	if (!name)
		return false;
	magic.Name = GetXmlText(name);
	magic.Guidance = GetXmlText(element->FirstChildElement("Guidance"));
	GetXmlIntAttribute(element, "limit", magic.Limit);
	for (const TiXmlElement* e = element->FirstChildElement("Entry"); e; e = e->NextSiblingElement("Entry")) {
		TMagicEntry entry;
		entry.SpecialId = GetXmlAttribute(e, "specialid");
		if (!GetXmlIntAttribute(e, "rank", entry.Rank)) {
			// The same bare reason as a character's missing magic rank.
			g_Logger.Error("Magicのrankが無い");
			return false;
		}
		magic.Entries.push_back(entry);
	}
	return true;
}

/// Only the first attribute may be of type None; a first attribute of unknown type becomes None.
bool ReadAttributeType(const TiXmlElement* element, const std::string& path, bool first, TAttributeData& attribute)
{
	const std::string type = GetXmlAttribute(element, "type");
	if (type.empty()) {
		g_Logger.Error(path + " type not found");
		return false;
	}
	attribute.type = KeywordNumber(ATTRIBUTE_TYPE_KEYWORDS, type);
	if (attribute.type != ATTRIBUTE_NONE)
		return true;
	if (!first) {
		g_Logger.Error(path + " 属性タイプ " + type + " の認識に失敗しました。");
		return false;
	}
	if (type != "None")
		g_Logger.Warning(path + " 属性タイプ " + type + " の認識に失敗しました。先頭の属性なのでNoneとみなします。");
	return true;
}

bool ReadAttribute(const TiXmlElement* element, const std::string& path, bool first, TAttributeData& attribute)
{
	if (!RequireId(element, path, attribute.id) || !ReadAttributeType(element, path, first, attribute))
		return false;
	const TiXmlElement* name = RequireChild(element, "Name", path, " Name not found");
	const TiXmlElement* shortName = name ? RequireChild(element, "ShortName", path, " ShortName not found") : nullptr;
	if (!shortName)
		return false;
	attribute.Name = GetXmlText(name);
	attribute.ShortName = GetXmlText(shortName);
	const TiXmlElement* effect = element->FirstChildElement("SystemEffect");
	if (!effect) {
		attribute.SystemEffect = EFFECT_NOEFFECT;
		return true;
	}
	const std::string effectId = GetXmlAttribute(effect, "id");
	attribute.SystemEffect = KeywordNumber(EFFECT_KEYWORDS, effectId);
	if (attribute.SystemEffect == EFFECT_NONE) {
		g_Logger.Error(path + " SystemEffect " + effectId + " の認識に失敗しました。");
		return false;
	}
	return true;
}

bool ReadReviveList(const TiXmlElement* element, const std::string& path, TReviveData& revive)
{
	const TiXmlElement* list = RequireChild(element, "CharacterList", path,
		" ReviveTypeにFromListが指定されましたがCharacterListが見つかりませんでした。");
	if (!list)
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("Character"); e; e = e->NextSiblingElement("Character"))
		revive.CharacterIds.push_back(GetXmlAttribute(e, "id"));
	if (revive.CharacterIds.empty())
		g_Logger.Error(path + " ReviveTypeにFromListが指定されましたがCharacterListにCharacterが見つかりませんでした。");
	return !revive.CharacterIds.empty();
}

bool ReadRevive(const TiXmlElement* element, const std::string& path, TReviveData& revive)
{
	const TiXmlElement* method = RequireId(element, path, revive.id)
		? RequireChild(element, "SelectMethod", path, " SelectMethod検索失敗") : nullptr;
	if (!method)
		return false;
	revive.SelectMethod = KeywordNumber(REVIVE_METHOD_KEYWORDS, GetXmlAttribute(method, "value"));
	if (revive.SelectMethod == REVIVE_NONE) {
		g_Logger.Error(path + " ReviveType認識失敗");
		return false;
	}
	return revive.SelectMethod != REVIVE_FROMLIST || ReadReviveList(element, path, revive);
}
}

bool TMorvalethData::LoadMagicTable(const std::string& path)
{
	m_Magics.clear();
	TiXmlDocument document;
	const TiXmlElement* list = ReadXmlDataFile(document, path, false)
		? RequireChild(&document, "MagicList", path, " MagicList検索失敗") : nullptr;
	if (!list)
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("Magic"); e; e = e->NextSiblingElement("Magic")) {
		const TLogSubject subject(path, RecordName(e));
		TMagicData magic;
		if (!ReadMagic(e, path, magic))
			return false;
		m_Magics.push_back(magic);
	}
	WarnRepeatedIds(m_Magics, path);
	return true;
}

bool TMorvalethData::LoadMagicGroup(const std::string& path)
{
	m_MagicGroups.clear();
	TiXmlDocument document;
	const TiXmlElement* list = ReadXmlDataFile(document, path, false)
		? RequireChild(&document, "MagicGroupList", path, " MagicGroupList検索失敗") : nullptr;
	if (!list || !CheckChildCount(list, "MagicGroup", MAX_KINDS, path))
		return false;
	// Each group's magic in magic order, found in one pass over the magic.
	std::map<std::string, std::vector<int>> groupMagic;
	for (int i = 0; i < GetMagicCount(); ++i)
		groupMagic[m_Magics[i].GroupId].push_back(i);
	for (const TiXmlElement* e = list->FirstChildElement("MagicGroup"); e; e = e->NextSiblingElement("MagicGroup")) {
		const TLogSubject subject(path, RecordName(e));
		TMagicGroupData group;
		const TiXmlElement* name
			= RequireId(e, path, group.id) ? RequireChild(e, "Name", path, " MagicGroupのName検索失敗") : nullptr;
		if (!name)
			return false;
		group.Name = GetXmlText(name);
		if (const TiXmlElement* color = e->FirstChildElement("Color"))
			group.Color = ParseColorWord(GetXmlText(color));
		const auto magic = groupMagic.find(group.id);
		if (magic != groupMagic.end())
			group.Magic = magic->second;
		m_MagicGroups.push_back(group);
	}
	WarnRepeatedIds(m_MagicGroups, path);
	return true;
}

bool TMorvalethData::LoadRace(const std::string& path)
{
	m_Races.clear();
	TiXmlDocument document;
	const TiXmlElement* root = ReadXmlDataFile(document, path, true) ? RequireRoot(document, path) : nullptr;
	if (!root || !CheckChildCount(root, nullptr, MAX_KINDS, path, "種族"))
		return false;
	for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
		const TLogSubject subject(path, RecordName(e));
		TRaceData race;
		const TiXmlElement* name = RequireId(e, path, race.id) ? RequireChild(e, "Name", path, " Name not found") : nullptr;
		if (!name)
			return false;
		race.Name = GetXmlText(name);
		m_Races.push_back(race);
	}
	SortByID(m_Races, path);
	for (TRaceData& race : m_Races)
		race.Affinity.assign(m_Races.size(), 0);
	for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
		const TLogSubject subject(path, RecordName(e));
		if (!ReadRaceAffinity(e, path))
			return false;
	}
	return true;
}

bool TMorvalethData::ReadRaceAffinity(const TiXmlElement* race, const std::string& path)
{
	const std::string id = GetXmlAttribute(race, "id");
	const TiXmlElement* affinity = race->FirstChildElement("Affinity");
	if (!affinity)
		return true;
	std::vector<int>& distances = m_Races[GetRaceIndex(id)].Affinity;
	int count = 0;
	for (const TiXmlElement* e = affinity->FirstChildElement(); e; e = e->NextSiblingElement()) {
		const std::string otherId = GetXmlAttribute(e, "id");
		const int other = GetRaceIndex(otherId);
		if (other < 0) {
			g_Logger.Warning(MethodText("TMorvalethData::LoadRace", __LINE__,
				"種族 %s のAffinityに無効なid=%sがあります。", id, otherId), "Affinity id");
			continue;
		}
		int distance = 0;
		if (GetXmlIntAttribute(e, "distance", distance)) {
			// The hire test draws a chance from the distance; a negative one has no meaning there.
			if (distance < 0) {
				g_Logger.Error(path + FormatText(" 種族 %s のAffinityのdistance %d が負の値です。", id, distance));
				return false;
			}
			distances[other] = distance;
		}
		++count;
	}
	if (count < GetRaceCount() - 1) {
		g_Logger.Warning(MethodText("TMorvalethData::LoadRace", __LINE__,
			"種族 %s のAffinityの他種族数が%dです（全種族数%dから1を引いた値よりも小さい）。定義されなかった他種族の友好度は最高となります。",
			id, count, GetRaceCount()), "Affinity count");
	}
	return true;
}

bool TMorvalethData::LoadAttribute(const std::string& path)
{
	m_Attributes.clear();
	TiXmlDocument document;
	const TiXmlElement* root = ReadXmlDataFile(document, path, true) ? RequireRoot(document, path) : nullptr;
	if (!root || !CheckChildCount(root, nullptr, MAX_KINDS, path, "属性"))
		return false;
	for (const TiXmlElement* e = root->FirstChildElement(); e; e = e->NextSiblingElement()) {
		const TLogSubject subject(path, RecordName(e));
		TAttributeData attribute;
		if (!ReadAttribute(e, path, m_Attributes.empty(), attribute))
			return false;
		m_Attributes.push_back(attribute);
	}
	WarnRepeatedIds(m_Attributes, path);
	return true;
}

bool TMorvalethData::LoadRevive(const std::string& path)
{
	m_Revives.clear();
	TiXmlDocument document;
	const TiXmlElement* list = ReadXmlDataFile(document, path, true)
		? RequireChild(&document, "ReviveList", path, " ReviveList検索失敗") : nullptr;
	if (!list)
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("Revive"); e; e = e->NextSiblingElement("Revive")) {
		const TLogSubject subject(path, RecordName(e));
		TReviveData revive;
		if (!ReadRevive(e, path, revive))
			return false;
		m_Revives.push_back(revive);
	}
	SortByID(m_Revives, path);
	return true;
}

bool TMorvalethData::ResolveMagic()
{
	for (TMagicData& magic : m_Magics) {
		const TLogSubject subject(DataPath("MagicTable.xml"), "Magic id = " + magic.id);
		for (TMagicEntry& entry : magic.Entries) {
			entry.SpecialIndex = GetSpecialIndex(entry.SpecialId);
			if (entry.SpecialIndex < 0) {
				g_Logger.Error("id = " + entry.SpecialId + " の検索に失敗しました。");
				return false;
			}
			if (m_Specials[entry.SpecialIndex].Image.empty()) {
				g_Logger.Error(FormatText("魔法 %s にアニメーション定義の無いSpecial %s が指定されました。"
					"アニメーション定義の無いSpecialは攻撃にのみ指定可能です。", magic.id, entry.SpecialId));
				return false;
			}
		}
	}
	return true;
}
