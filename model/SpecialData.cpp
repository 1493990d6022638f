#include "model/MorvalethData.h"

#include "app/Logger.h"
#include "app/XmlValue.h"
#include "model/DataFile.h"
#include "model/RecordTable.h"

#include <tinyxml.h>

namespace
{
const char* const RANGE_KEYWORDS[] = {"None", "Normal", "Me", "Stream", "AllMySide", "AllEnemy", "AllWall",
	"LastDeadMySide", "LastDeadEnemy", "AllDeadMySide", "AllDeadEnemy", "LowerThan"};
const char* const STATUS_KEYWORDS[] = {"None", "HP", "MP", "PhysicalAttack", "PhysicalDefense", "Skill", "Speed",
	"MagicAttack", "MagicDefense"};
const char* const ANIMATION_KEYWORDS[] = {"None", "Chip", "Center", "Stream", "Shot", "ScreenCenter"};
const char* const FORMULA_KEYWORDS[] = {"None", "FTAttack", "FTSpecial", "FTMagic", "Anytime", "FTAttackHit",
	"FTSpecialHit", "FTMagicHit"};
const char* const JUDGE_KEYWORDS[] = {"None", "SingleJudge", "DoubleJudge", "SeparateJudge"};
const char* const RESISTANCE_KEYWORDS[] = {"none", "weak", "normal", "strong", "absorb"};

const TValueField<TSpecialData> VALUE_FIELDS[] = {
	{"ConsumeMP", &TSpecialData::ConsumeMP},
	{"MaxRange", &TSpecialData::MaxRange},
	{"MaxRadius", &TSpecialData::MaxRadius},
	{"Power", &TSpecialData::Power},
};

/// A field read from the text of a child as a status keyword.
struct TStatusField
{
	const char* element;
	int TSpecialData::*field;
};

const TStatusField STATUS_FIELDS[] = {
	{"PowerType", &TSpecialData::PowerType},
	{"GuardType", &TSpecialData::GuardType},
	{"HitType", &TSpecialData::HitType},
	{"AvoidType", &TSpecialData::AvoidType},
};

/// What every step of reading one Special element works on.
struct TSpecialContext
{
	const TMorvalethData& data;
	const std::string& path;
	const TiXmlElement* element;
	TSpecialData& special;
};

bool ReadRange(const TSpecialContext& c)
{
	const std::string range = GetXmlAttribute(c.element, "rangetype");
	c.special.RangeType = KeywordNumber(RANGE_KEYWORDS, range);
	if (c.special.RangeType == RANGE_NONE) {
		g_Logger.Error(c.path + " Unknown Range Type " + range);
		return false;
	}
	if (c.special.RangeType == RANGE_LOWERTHAN
		&& !GetXmlIntAttribute(c.element, "rangeheight", c.special.RangeHeight)) {
		g_Logger.Error(c.path + " rangetypeにLowerThanが指定されたがrangeheight検索失敗");
		return false;
	}
	return true;
}

bool ReadName(const TSpecialContext& c)
{
	const TiXmlElement* name = c.element->FirstChildElement("Name");
	if (!name) {
		g_Logger.Error(c.path + " " + c.special.id + " Name not found");
		return false;
	}
	c.special.Name = GetXmlText(name);
	return true;
}

/// The four status keywords; an unknown keyword reads as None, a missing element fails.
bool ReadStatusTypes(const TSpecialContext& c)
{
	for (const TStatusField& status : STATUS_FIELDS) {
		const TiXmlElement* child = c.element->FirstChildElement(status.element);
		if (!child) {
			g_Logger.Error(FormatText("%s %s %s not found", c.path, c.special.id, status.element));
			return false;
		}
		c.special.*status.field = KeywordNumber(STATUS_KEYWORDS, GetXmlText(child));
	}
	return true;
}

bool ReadAttribute(const TSpecialContext& c)
{
	const TiXmlElement* attribute = c.element->FirstChildElement("Attribute");
	if (!attribute) {
		g_Logger.Error(FormatText("%s %s Attribute not found", c.path, c.special.id));
		return false;
	}
	c.special.Attribute = c.data.GetAttributeIndex(GetXmlText(attribute));
	if (c.special.Attribute < 0) {
		g_Logger.Error(FormatText("%s %s Attribute の検索に失敗しました。", c.path, c.special.id));
		return false;
	}
	return true;
}

bool ReadScripts(const TSpecialContext& c)
{
	for (const TiXmlElement* e = c.element->FirstChildElement("Script"); e; e = e->NextSiblingElement("Script")) {
		const std::string timing = GetXmlAttribute(e, "timing");
		const std::string function = GetXmlAttribute(e, "function");
		if (function.empty()) {
			g_Logger.Error(FormatText("%s %s Scriptにfunctionが指定されていません。", c.path, c.special.id));
			return false;
		}
		if (timing == "before") {
			c.special.ScriptBefore = function;
		} else if (timing == "after") {
			c.special.ScriptAfter = function;
		} else {
			g_Logger.Error(FormatText("%s %s Scriptのtimingの解釈に失敗しました。", c.path, c.special.id));
			return false;
		}
	}
	return true;
}

bool ReadExcludeMoveTypes(const TSpecialContext& c)
{
	for (const TiXmlElement* e = c.element->FirstChildElement("ExcludeMoveType"); e;
		e = e->NextSiblingElement("ExcludeMoveType")) {
		const int moveType = c.data.GetMoveTypeIndex(GetXmlAttribute(e, "id"));
		if (moveType < 0) {
			g_Logger.Error(FormatText("%s %s ExcludeMoveTypeのidの検索に失敗しました。", c.path, c.special.id));
			return false;
		}
		c.special.ExcludeMoveTypes.push_back(moveType);
	}
	return true;
}

/// The first child that gives the parameter of one system effect: a warning when the special's
/// attribute has another effect, an Error when it has that effect and the child is missing.
bool FindEffectChild(const TSpecialContext& c, const char* name, int effect, const char* effectName,
	const TiXmlElement*& child)
{
	child = c.element->FirstChildElement(name);
	const bool wanted = c.data.GetAttributeData(c.special.Attribute).SystemEffect == effect;
	const std::string where = c.path + " " + c.special.id + " において";
	if (child && !wanted)
		g_Logger.Warning(where + name + "が指定されましたが、属性SystemEffect=" + effectName + "以外では単に無視されます。",
			std::string(name) + " without SystemEffect " + effectName);
	if (!child && wanted) {
		g_Logger.Error(where + "属性SystemEffect=" + effectName + "が指定されましたが、" + name + "が見つかりませんでした。");
		return false;
	}
	return true;
}

bool ReadResistance(const TSpecialContext& c)
{
	const TiXmlElement* resistance = nullptr;
	if (!FindEffectChild(c, "Resistance", EFFECT_CHANGERESISTANCE, "ChangeResistance", resistance))
		return false;
	if (!resistance)
		return true;
	const std::string where = c.path + " " + c.special.id + " において ChangeResistance の ";
	c.special.ResistanceAttribute = c.data.GetAttributeIndex(GetXmlAttribute(resistance, "attribute"));
	if (c.special.ResistanceAttribute < 0) {
		g_Logger.Error(where + "attribute の検索に失敗しました。");
		return false;
	}
	c.special.ResistanceLevel = ResistanceLevelNumber(GetXmlAttribute(resistance, "resistance"));
	if (c.special.ResistanceLevel == RESISTANCE_NONE) {
		g_Logger.Error(where + "resistance の認識に失敗しました。");
		return false;
	}
	return true;
}

/// Target ids are numbered in order of first appearance over every specials file.
void ReadTarget(const TSpecialContext& c, std::map<std::string, int>& targets)
{
	const TiXmlElement* target = c.element->FirstChildElement("Target");
	if (target) {
		const std::string id = GetXmlAttribute(target, "id");
		c.special.TargetGroup = targets.emplace(id, static_cast<int>(targets.size())).first->second;
	}
}

bool ReadMoveType(const TSpecialContext& c)
{
	const TiXmlElement* moveType = nullptr;
	if (!FindEffectChild(c, "MoveType", EFFECT_CHANGEMOVETYPE, "ChangeMoveType", moveType))
		return false;
	if (!moveType)
		return true;
	const std::string id = GetXmlAttribute(moveType, "id");
	c.special.MoveType = c.data.GetMoveTypeIndex(id);
	if (c.special.MoveType < 0) {
		g_Logger.Error(FormatText("%s ChangeMoveType の MoveType=%s の認識に失敗しました。", c.path, id));
		return false;
	}
	return true;
}

bool ReadRevive(const TSpecialContext& c)
{
	const TiXmlElement* revive = nullptr;
	if (!FindEffectChild(c, "Revive", EFFECT_REVIVE, "Revive", revive))
		return false;
	if (!revive)
		return true;
	c.special.Revive = c.data.GetReviveIndex(GetXmlAttribute(revive, "id"));
	if (c.special.Revive < 0) {
		g_Logger.Error(c.path + " Revive の id の認識に失敗しました。");
		return false;
	}
	return true;
}

/// The text of a required child as a keyword other than the list's first entry.
template <std::size_t N>
bool ReadKeywordChild(const TSpecialContext& c, const char* name, const char* const (&keywords)[N],
	const char* kind, int& number)
{
	const TiXmlElement* child = c.element->FirstChildElement(name);
	if (!child) {
		g_Logger.Error(c.path + " " + name + " not found");
		return false;
	}
	const std::string text = GetXmlText(child);
	number = KeywordNumber(keywords, text);
	if (number == 0) {
		g_Logger.Error(c.path + " " + kind + " " + text + " の認識に失敗しました。");
		return false;
	}
	return true;
}

bool ReadFormulas(const TSpecialContext& c)
{
	if (!ReadKeywordChild(c, "PowerFormula", FORMULA_KEYWORDS, "計算式", c.special.PowerFormula))
		return false;
	if (c.special.PowerFormula >= FORMULA_ANYTIME) {
		// Only the three power formulas compute a value.
		g_Logger.Error(c.path + " 効果値計算式に " + FORMULA_KEYWORDS[c.special.PowerFormula]
			+ " が指定されましたが、この指定はエラーとしています。");
		return false;
	}
	return ReadKeywordChild(c, "HitFormula", FORMULA_KEYWORDS, "計算式", c.special.HitFormula)
		&& ReadKeywordChild(c, "AdditionalHitFormula", FORMULA_KEYWORDS, "計算式", c.special.AdditionalHitFormula)
		&& ReadKeywordChild(c, "HitJudgeType", JUDGE_KEYWORDS, "命中判定方式", c.special.HitJudgeType);
}

/// An Image child gives the effect sheet, its animation type and its frame size and count.
bool ReadImage(const TSpecialContext& c)
{
	const TiXmlElement* image = c.element->FirstChildElement("Image");
	if (!image)
		return true;
	c.special.Image = GetXmlText(image);
	const std::string type = GetXmlAttribute(image, "type");
	c.special.AnimationType = KeywordNumber(ANIMATION_KEYWORDS, type);
	if (c.special.AnimationType == ANIMATION_NONE) {
		g_Logger.Error(c.path + " アニメーションタイプ " + type + " の認識に失敗しました。");
		return false;
	}
	const struct
	{
		const char* attribute;
		int TSpecialData::*field;
	} sizes[] = {
		{"width", &TSpecialData::ImageWidth},
		{"height", &TSpecialData::ImageHeight},
		{"animation", &TSpecialData::AnimationCount},
	};
	for (const auto& size : sizes) {
		if (!GetXmlIntAttribute(image, size.attribute, c.special.*size.field)) {
			g_Logger.Error(c.path + " Image " + size.attribute + " not found " + type);
			return false;
		}
	}
	return CheckNameInsideRoot(c.special.Image, MEDIA_FOLDER_DEPTH, c.path);
}

/// Reads one Special element in the order of its parts; false after logging the first fault.
bool ReadSpecial(const TSpecialContext& c, std::map<std::string, int>& targets)
{
	if (!RequireId(c.element, c.path, c.special.id) || !ReadRange(c) || !ReadName(c)
		|| !ReadValueFields(c.element, VALUE_FIELDS, c.special)
		|| !ReadStatusTypes(c) || !ReadAttribute(c) || !ReadScripts(c) || !ReadExcludeMoveTypes(c))
		return false;
	c.special.SummonCharacter = GetXmlAttribute(c.element->FirstChildElement("SummonCharacter"), "id");
	if (!ReadResistance(c))
		return false;
	ReadTarget(c, targets);
	if (!ReadMoveType(c) || !ReadRevive(c) || !ReadFormulas(c))
		return false;
	c.special.AdditionalString = GetXmlAttribute(c.element->FirstChildElement("AdditionalString"), "value");
	return ReadImage(c) && ReadMediaName(c.element, "Sound", c.path, c.special.Sound);
}
}

int ResistanceLevelNumber(const std::string& text)
{
	return KeywordNumber(RESISTANCE_KEYWORDS, text);
}

const std::string& GetEffectName(int n)
{
	static const std::string names[EFFECT_COUNT] = {
		"なし", "通常", "毒", "石化", "麻痺", "睡眠", "幻想", "即死", "吸収", "HP回復", "MP回復", "城壁破壊",
		"攻撃力増加", "防御増加", "魔力増加", "技量増加", "速度増加", "抵抗増加", "HP回復増加", "MP回復増加",
		"攻撃回数増加", "毒治癒", "石化治癒", "麻痺治癒", "睡眠治癒", "幻想治癒", "治癒", "抵抗強化",
		"移動タイプ変更", "召喚", "復活"};
	static const std::string none;
	return n >= 0 && n < EFFECT_COUNT ? names[n] : none;
}

bool TMorvalethData::LoadSpecialTable(const std::string& path, int folder)
{
	std::set<std::string> ids = IdsOf(m_Specials);
	if (!AppendSpecialTable(path, folder, ids))
		return false;
	SortSpecials();
	return true;
}

void TMorvalethData::SortSpecials()
{
	StableSortByID(m_Specials);
	m_AttackWallSpecial = GetSpecialIndex("AttackWall");
}

bool TMorvalethData::AppendSpecialTable(const std::string& path, int folder, std::set<std::string>& ids)
{
	TiXmlDocument document;
	std::string reason;
	const TXmlFileState state = LoadXmlFile(document, path, reason);
	// A character folder need not have specials.
	if (state == TXmlFileState::Missing)
		return true;
	if (state == TXmlFileState::Malformed) {
		g_Logger.Error(path + " XML parse error" + reason);
		return false;
	}
	const TiXmlElement* list = RequireChild(&document, "SpecialList", path, " SpecialList検索失敗");
	if (!list)
		return false;
	for (const TiXmlElement* e = list->FirstChildElement("Special"); e; e = e->NextSiblingElement("Special")) {
		const TLogSubject subject(path, RecordName(e));
		TSpecialData special;
		if (!ReadSpecial({*this, path, e, special}, m_TargetGroups))
			return false;
		special.DirIndex = folder;
		// A repeated id is kept: the first definition wins every lookup all the same.
		NoteNewId(ids, special.id, path);
		m_Specials.push_back(special);
	}
	// Wall attacks need this special; the first folder with specials must define it.
	if (!ids.count("AttackWall")) {
		g_Logger.Error(FormatText("%s %s not found.", path, "AttackWall"));
		return false;
	}
	return true;
}
