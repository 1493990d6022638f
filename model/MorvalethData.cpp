#include "model/MorvalethData.h"

#include "app/Logger.h"
#include "model/LoadFailure.h"
#include "model/RecordTable.h"
#include "platform/FileSystem.h"

#include <exception>

namespace
{
/// One data file of the load order and the dialog text of its failure.
struct TDataFileStep
{
	const char* name;
	bool (TMorvalethData::*load)(const std::string& path);
	const char* failText;
};

const TDataFileStep DATA_FILE_STEPS[] = {
	{"MagicTable.xml", &TMorvalethData::LoadMagicTable, "魔法情報の読み込みに失敗しました。"},
	{"MagicGroup.xml", &TMorvalethData::LoadMagicGroup, "魔法グループ情報の読み込みに失敗しました。"},
	{"Race.xml", &TMorvalethData::LoadRace, "種族情報の読み込みに失敗しました。"},
	{"MapChipType.xml", &TMorvalethData::LoadMapChipType, "地形情報の読み込みに失敗しました。"},
	{"MoveAndSkill.xml", &TMorvalethData::LoadMoveAndSkill, "移動タイプ情報の読み込みに失敗しました。"},
	{"Attribute.xml", &TMorvalethData::LoadAttribute, "属性情報の読み込みに失敗しました。"},
	{"Revive.xml", &TMorvalethData::LoadRevive, "復活情報の読み込みに失敗しました。"},
	{"MapObj.txt", &TMorvalethData::LoadMapObj, "上物画像チップ情報の読み込みに失敗しました。"},
	{"MapChip.txt", &TMorvalethData::LoadMapChip, "地形画像チップ情報の読み込みに失敗しました。"},
	{"MasterData.xml", &TMorvalethData::LoadMasterData, "マスター情報の読み込みに失敗しました。"},
	{"PowerMap.xml", &TMorvalethData::LoadPowerMap, "勢力地図情報の読み込みに失敗しました。"},
	{"FieldMap.xml", &TMorvalethData::LoadFieldMap, "フィールドマップ情報の読み込みに失敗しました。"},
};
}

TMorvalethData::TMorvalethData()
	: m_FieldMapWidth(0), m_FieldMapHeight(0), m_HeroCount(0), m_AttackWallSpecial(-1), m_NeutralFlagImage(-1)
{
}

bool TMorvalethData::Load(const std::string& folder, int chapter)
{
	const TWarningSummary summary;
	try {
		m_Folder = folder;
		m_MoneyWord = "Ley";
		// Every file of a missing scenario fails as unreadable; this line says why.
		if (!IsDirectory(folder))
			g_Logger.Error(FormatText("シナリオフォルダ %s が見つかりません。", folder));
		return LoadDataFiles(folder) && LoadCharacterFolders() && ResolveReferences()
			&& LoadScenarioFiles(folder, chapter);
	} catch (const std::exception& e) {
		LOG_ERROR("%s: %s", folder, e.what());
		return false;
	}
}

bool TMorvalethData::FinishStep(bool succeeded, const std::string& okLine, const std::string& failText) const
{
	if (!succeeded) {
		ShowLoadFailure(failText);
		return false;
	}
	g_Logger.Debug(okLine);
	return true;
}

// Each step's messages, the failure dialog's line included, name the file it reads.
bool TMorvalethData::LoadDataFiles(const std::string& folder)
{
	for (const TDataFileStep& step : DATA_FILE_STEPS) {
		const std::string path = folder + "/Data/" + step.name;
		const TLogSubject subject(path);
		if (!FinishStep((this->*step.load)(path), std::string(step.name) + " OK", step.failText))
			return false;
	}
	return true;
}

// The tables are sorted once, after the last folder, so that the load's cost
// grows with the number of records, not with the number of folders times it.
bool TMorvalethData::LoadCharacterFolders()
{
	// Everything these files add is dropped first, so that loading again gives the same database.
	m_Specials.clear();
	m_TargetGroups.clear();
	m_Charas.clear();
	m_HeroCount = 0;
	const bool specials = LoadFromEveryFolder("/SpecialTable.xml", &TMorvalethData::AppendSpecialTable);
	SortSpecials();
	if (!FinishStep(specials, "SpecialTable.xml OK", "特技情報の読み込みに失敗しました。"))
		return false;
	const bool loaded = LoadFromEveryFolder("/CharacterData.xml", &TMorvalethData::AppendCharacterData);
	StableSortByID(m_Charas);
	return FinishStep(loaded, "CharacterData.xml OK", "キャラ情報の読み込みに失敗しました。");
}

bool TMorvalethData::LoadFromEveryFolder(const char* file,
	bool (TMorvalethData::*load)(const std::string& path, int folder, std::set<std::string>& ids))
{
	std::set<std::string> ids;
	for (int k = 0; k < GetCharaDirectoryCount(); ++k) {
		const std::string path = CharaFolderPath(k, file);
		const TLogSubject subject(path);
		if (!(this->*load)(path, k, ids))
			return false;
	}
	return true;
}

std::string TMorvalethData::DataPath(const std::string& name) const
{
	return m_Folder + "/Data/" + name;
}

std::string TMorvalethData::CharaFolderPath(int k, const char* file) const
{
	return m_Folder + "/" + GetCharaDirectory(k) + file;
}

bool TMorvalethData::ResolveReferences()
{
	if (!FinishStep(ResolveMagic(), "ResolveMagic OK", "魔法のID解決に失敗しました。")
		|| !FinishStep(ResolveCharacterID(), "ResolveCharacterID OK", "キャラID解決に失敗しました。")
		|| !FinishStep(ResolveEmployable(), "ResolveEmployable OK", "キャラ情報の読み込みに失敗しました。"))
		return false;
	std::string master;
	const bool resolved = ResolveMasterID(master);
	const TLogSubject subject(DataPath("MasterData.xml"));
	return FinishStep(resolved, "ResolveMasterID OK", "マスターID " + master + " の解決に失敗しました。");
}

bool TMorvalethData::LoadScenarioFiles(const std::string& folder, int chapter)
{
	TScenarioInfo scenario;
	{
		const TLogSubject subject(folder + "/Scenario.xml");
		if (!FinishStep(scenario.Load(folder), "Scenario.xml OK", "シナリオ情報の読み込みに失敗しました。"))
			return false;
	}
	m_ScenarioTitle = scenario.Title;
	const std::string path = ChapterPath(folder, chapter + 1);
	const TLogSubject subject(path);
	m_ChapterPath.clear();
	if (!FinishStep(m_Chapter.Load(path), "ScenarioX.xml OK", "シナリオ開始情報の読み込みに失敗しました。"))
		return false;
	m_ChapterPath = path;
	return true;
}

int TMorvalethData::GetMagicGroupIndex(const std::string& id) const
{
	// Searched in file order, so the file need not list its groups sorted.
	return FindIndexLinear(m_MagicGroups, id);
}

int TMorvalethData::GetRaceIndex(const std::string& id) const
{
	return FindIndexByID(m_Races, id);
}

int TMorvalethData::GetAttributeIndex(const std::string& id) const
{
	return FindIndexLinear(m_Attributes, id);
}

int TMorvalethData::GetMoveTypeIndex(const std::string& id) const
{
	return FindIndexByID(m_MoveTypes, id);
}

int TMorvalethData::GetReviveIndex(const std::string& id) const
{
	return FindIndexByID(m_Revives, id);
}

int TMorvalethData::GetMasterIndex(const std::string& id) const
{
	return FindIndexByID(m_Masters, id);
}

int TMorvalethData::GetPowerMapAreaIndex(const std::string& id) const
{
	return FindIndexByID(m_PowerMapAreas, id);
}

int TMorvalethData::GetSpecialIndex(const std::string& id) const
{
	return FindIndexByID(m_Specials, id);
}

int TMorvalethData::GetCharaIndex(const std::string& id) const
{
	return FindIndexByID(m_Charas, id);
}

int TMorvalethData::GetTargetGroup(const std::string& id) const
{
	const auto found = m_TargetGroups.find(id);
	return found != m_TargetGroups.end() ? found->second : -1;
}

const TMagicData& TMorvalethData::GetMagicData(int i) const
{
	return CheckedAt(m_Magics, i, "magic");
}

const TMagicGroupData& TMorvalethData::GetMagicGroupData(int i) const
{
	return CheckedAt(m_MagicGroups, i, "magic groups");
}

const TRaceData& TMorvalethData::GetRaceData(int i) const
{
	return CheckedAt(m_Races, i, "races");
}

const TAttributeData& TMorvalethData::GetAttributeData(int i) const
{
	return CheckedAt(m_Attributes, i, "attributes");
}

const TReviveData& TMorvalethData::GetReviveData(int i) const
{
	return CheckedAt(m_Revives, i, "revival rules");
}

const TMoveTypeData& TMorvalethData::GetMoveTypeData(int i) const
{
	return CheckedAt(m_MoveTypes, i, "move types");
}

const std::string& TMorvalethData::GetMapGroundName(int i) const
{
	return CheckedAt(m_MapGroundNames, i, "map grounds");
}

const std::string& TMorvalethData::GetMapObjectName(int i) const
{
	return CheckedAt(m_MapObjectNames, i, "map objects");
}

int TMorvalethData::GetMapObjNumber(int chip) const
{
	return CheckedAt(m_MapObjNumbers, chip, "map object chip numbers");
}

int TMorvalethData::GetMapChipNumber(int chip) const
{
	return CheckedAt(m_MapChipNumbers, chip, "map chip numbers");
}

const TMasterData& TMorvalethData::GetMasterData(int i) const
{
	return CheckedAt(m_Masters, i, "masters");
}

const TPowerMapAreaData& TMorvalethData::GetPowerMapAreaData(int i) const
{
	return CheckedAt(m_PowerMapAreas, i, "power map areas");
}

const TSpecialData& TMorvalethData::GetSpecialData(int i) const
{
	return CheckedAt(m_Specials, i, "specials");
}

const TCharaData& TMorvalethData::GetCharaData(int i) const
{
	return CheckedAt(m_Charas, i, "characters");
}

const std::string& TMorvalethData::GetCharaDirectory(int i) const
{
	return CheckedAt(m_CharaDirectories, i, "character folders");
}

const std::string& TMorvalethData::GetCommonMusic(int i) const
{
	return CheckedAt(m_CommonMusic, i, "common music");
}

void TMorvalethData::SetMasterMusicIndex(int i, int music, int battleMusic, int masterBattleMusic)
{
	if (TMasterData* master = CheckedSlot(m_Masters, i, "masters")) {
		master->MusicIndex = music;
		master->BattleMusicIndex = battleMusic;
		master->MasterBattleMusicIndex = masterBattleMusic;
	}
}

void TMorvalethData::SetMasterFlagImageIndex(int i, int image)
{
	if (TMasterData* master = CheckedSlot(m_Masters, i, "masters"))
		master->FlagImage = image;
}

void TMorvalethData::SetSpecialImageIndex(int i, int image)
{
	if (TSpecialData* special = CheckedSlot(m_Specials, i, "specials"))
		special->EffectImage = image;
}

void TMorvalethData::SetSpecialSoundIndex(int i, int sound)
{
	if (TSpecialData* special = CheckedSlot(m_Specials, i, "specials"))
		special->SoundIndex = sound;
}

void TMorvalethData::SetCharaImageIndex(int i, int face, int chip)
{
	if (TCharaData* chara = CheckedSlot(m_Charas, i, "characters")) {
		chara->FaceImage = face;
		chara->ChipImage = chip;
	}
}
