#ifndef MORVALETH_MODEL_MORVALETHDATA_H
#define MORVALETH_MODEL_MORVALETHDATA_H

#include "model/CharaData.h"
#include "model/MagicData.h"
#include "model/MasterData.h"
#include "model/ScenarioInfo.h"
#include "model/SpecialData.h"
#include "model/TerrainData.h"

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

class TiXmlElement;

/// The definitions of one scenario, read once from its folder and read-only afterwards
/// except for the media indices stored while the game's images and sounds load.
/// Records refer to each other by table index; lookups by id answer -1 for an unknown id.
class TMorvalethData
{
public:
	/// Every table empty, field map 0 x 0, no special or image indices.
	TMorvalethData();

	/// Reads every file of the scenario folder and the chapter (0-based); false after the "Error" dialog.
	bool Load(const std::string& folder, int chapter);

	// Loaders of the data files, in load order; each empties its own tables first and
	// returns false after logging the file's path and what is wrong.

	/// "/Data/MagicTable.xml": the magic.
	bool LoadMagicTable(const std::string& path);
	/// "/Data/MagicGroup.xml": the magic groups, with the magic loaded before.
	bool LoadMagicGroup(const std::string& path);
	/// "/Data/Race.xml": the races and their affinities.
	bool LoadRace(const std::string& path);
	/// "/Data/MapChipType.xml": the names of the grounds and map objects.
	bool LoadMapChipType(const std::string& path);
	/// "/Data/MoveAndSkill.xml": the move types, sized by the ground and object counts.
	bool LoadMoveAndSkill(const std::string& path);
	/// "/Data/Attribute.xml": the attributes.
	bool LoadAttribute(const std::string& path);
	/// "/Data/Revive.xml": the revival rules.
	bool LoadRevive(const std::string& path);
	/// "/Data/MapObj.txt": the object index of each object chip.
	bool LoadMapObj(const std::string& path);
	/// "/Data/MapChip.txt": the ground index of each terrain chip.
	bool LoadMapChip(const std::string& path);
	/// "/Data/MasterData.xml": the character folders, the common music and the masters.
	bool LoadMasterData(const std::string& path);
	/// "/Data/PowerMap.xml": the power map picture and its areas.
	bool LoadPowerMap(const std::string& path);
	/// "/Data/FieldMap.xml": the world map's size and picture.
	bool LoadFieldMap(const std::string& path);
	/// A character folder's "SpecialTable.xml": appends its specials (none when the file is missing) and sorts the table.
	bool LoadSpecialTable(const std::string& path, int folder);
	/// A character folder's "CharacterData.xml": appends its characters, unsorted; one whose id the table holds already is dropped with a Warning.
	bool LoadCharacterData(const std::string& path, int folder);

	// Resolution of the ids that name specials and characters, once every file is read.

	/// The special of every magic entry.
	bool ResolveMagic();
	/// The characters that specials summon and revival rules bring back.
	bool ResolveCharacterID();

	// Lookups by id; -1 when no record has exactly that id.

	int GetMagicGroupIndex(const std::string& id) const;
	int GetRaceIndex(const std::string& id) const;
	int GetAttributeIndex(const std::string& id) const;
	int GetMoveTypeIndex(const std::string& id) const;
	int GetReviveIndex(const std::string& id) const;
	int GetMasterIndex(const std::string& id) const;
	int GetPowerMapAreaIndex(const std::string& id) const;
	int GetSpecialIndex(const std::string& id) const;
	int GetCharaIndex(const std::string& id) const;
	/// Number of the target group named by specials.
	int GetTargetGroup(const std::string& id) const;

	// Counts and checked reads: an index outside the table logs an Error and gives an empty record.

	int GetMagicCount() const { return static_cast<int>(m_Magics.size()); }
	const TMagicData& GetMagicData(int i) const;
	int GetMagicGroupCount() const { return static_cast<int>(m_MagicGroups.size()); }
	const TMagicGroupData& GetMagicGroupData(int i) const;
	int GetRaceCount() const { return static_cast<int>(m_Races.size()); }
	const TRaceData& GetRaceData(int i) const;
	int GetAttributeCount() const { return static_cast<int>(m_Attributes.size()); }
	const TAttributeData& GetAttributeData(int i) const;
	int GetReviveCount() const { return static_cast<int>(m_Revives.size()); }
	const TReviveData& GetReviveData(int i) const;
	int GetMoveTypeCount() const { return static_cast<int>(m_MoveTypes.size()); }
	const TMoveTypeData& GetMoveTypeData(int i) const;
	/// Number of grounds G; map types G and above are objects.
	int GetMapGroundCount() const { return static_cast<int>(m_MapGroundNames.size()); }
	const std::string& GetMapGroundName(int i) const;
	int GetMapObjectCount() const { return static_cast<int>(m_MapObjectNames.size()); }
	const std::string& GetMapObjectName(int i) const;
	int GetMapObjNumberCount() const { return static_cast<int>(m_MapObjNumbers.size()); }
	/// Object index shown by object chip k; 0 (no object) with an Error for a chip outside the table.
	int GetMapObjNumber(int chip) const;
	int GetMapChipNumberCount() const { return static_cast<int>(m_MapChipNumbers.size()); }
	/// Ground index shown by terrain chip k; 0 with an Error for a chip outside the table.
	int GetMapChipNumber(int chip) const;
	int GetMasterCount() const { return static_cast<int>(m_Masters.size()); }
	const TMasterData& GetMasterData(int i) const;
	int GetPowerMapAreaCount() const { return static_cast<int>(m_PowerMapAreas.size()); }
	const TPowerMapAreaData& GetPowerMapAreaData(int i) const;
	int GetSpecialCount() const { return static_cast<int>(m_Specials.size()); }
	const TSpecialData& GetSpecialData(int i) const;
	int GetCharaCount() const { return static_cast<int>(m_Charas.size()); }
	const TCharaData& GetCharaData(int i) const;
	int GetCharaDirectoryCount() const { return static_cast<int>(m_CharaDirectories.size()); }
	/// Character folder i, relative to the scenario folder.
	const std::string& GetCharaDirectory(int i) const;
	/// Common music 0 (event) or 1 (decisive); empty where the scenario names none.
	const std::string& GetCommonMusic(int i) const;

	const std::string& GetScenarioTitle() const { return m_ScenarioTitle; }
	/// The chapter being played.
	const TChapterInfo& GetChapter() const { return m_Chapter; }
	/// The file the chapter was read from; empty until one was.
	const std::string& GetChapterPath() const { return m_ChapterPath; }
	int GetFieldMapWidth() const { return m_FieldMapWidth; }
	int GetFieldMapHeight() const { return m_FieldMapHeight; }
	const std::string& GetFieldMapFile() const { return m_FieldMapFile; }
	const std::string& GetPowerMapFile() const { return m_PowerMapFile; }
	/// Name of the money unit.
	const std::string& GetMoneyWord() const { return m_MoneyWord; }
	/// Number of characters loaded with the Hero flag.
	int GetHeroCount() const { return m_HeroCount; }
	/// Index of the special "AttackWall"; -1 before the specials are loaded.
	int GetAttackWallSpecial() const { return m_AttackWallSpecial; }
	/// Image-store index of the neutral flag; -1 until the images load.
	int GetNeutralFlagImage() const { return m_NeutralFlagImage; }

	// Media indices stored while the game's images and sounds load.

	/// Mixer indices of master i's Music, BattleMusic and MasterBattleMusic (-1 where none loaded).
	void SetMasterMusicIndex(int i, int music, int battleMusic, int masterBattleMusic);
	/// Image-store index of master i's flag.
	void SetMasterFlagImageIndex(int i, int image);
	/// Image-store index of the neutral flag.
	void SetNeutralFlagImageIndex(int image) { m_NeutralFlagImage = image; }
	/// Image-store index of special i's effect image.
	void SetSpecialImageIndex(int i, int image);
	/// Mixer index of special i's sound.
	void SetSpecialSoundIndex(int i, int sound);
	/// Image-store indices of character i's face and chip.
	void SetCharaImageIndex(int i, int face, int chip);

private:
	/// Ends a load step: the debug line on success, the failure dialog otherwise.
	bool FinishStep(bool succeeded, const std::string& okLine, const std::string& failText) const;
	/// The twelve files of the "Data" folder, in load order.
	bool LoadDataFiles(const std::string& folder);
	/// The specials and characters of every character folder.
	bool LoadCharacterFolders();
	/// Runs one loader on the named file of every character folder, in folder order, with the ids met so far; false at the first failure.
	bool LoadFromEveryFolder(const char* file,
		bool (TMorvalethData::*load)(const std::string& path, int folder, std::set<std::string>& ids));
	/// LoadSpecialTable without the sort; ids holds the specials' ids met so far, repeats are warned of and kept.
	bool AppendSpecialTable(const std::string& path, int folder, std::set<std::string>& ids);
	/// Sorts the specials and finds "AttackWall" among them.
	void SortSpecials();
	/// LoadCharacterData with the ids of the characters met so far.
	bool AppendCharacterData(const std::string& path, int folder, std::set<std::string>& ids);
	/// Path of a file of the scenario's "Data" folder.
	std::string DataPath(const std::string& name) const;
	/// Path of a file of character folder k.
	std::string CharaFolderPath(int k, const char* file) const;
	/// The ids that name specials or characters.
	bool ResolveReferences();
	/// The Employable and class-change ids of every character.
	bool ResolveEmployable();
	/// The character of every master; on failure the master's id is in failed.
	bool ResolveMasterID(std::string& failed);
	/// The scenario's title and the chapter to play.
	bool LoadScenarioFiles(const std::string& folder, int chapter);
	/// The distances of one race file element to the other races.
	bool ReadRaceAffinity(const TiXmlElement* race, const std::string& path);

	std::vector<TMagicGroupData> m_MagicGroups;
	std::vector<TSpecialData> m_Specials;
	std::vector<TRaceData> m_Races;
	std::vector<TAttributeData> m_Attributes;
	std::vector<std::string> m_MapGroundNames;
	std::vector<std::string> m_MapObjectNames;
	std::vector<TMoveTypeData> m_MoveTypes;
	std::vector<TReviveData> m_Revives;
	std::vector<TMagicData> m_Magics;
	std::vector<TMasterData> m_Masters;
	std::vector<TPowerMapAreaData> m_PowerMapAreas;
	std::vector<int> m_MapObjNumbers;
	std::vector<int> m_MapChipNumbers;
	/// Number of every Target id of the specials files, in order of first appearance.
	std::map<std::string, int> m_TargetGroups;
	std::vector<std::string> m_CharaDirectories;
	std::vector<TCharaData> m_Charas;

	/// The scenario folder of the last load, for the paths that messages name.
	std::string m_Folder;
	std::string m_ScenarioTitle;
	TChapterInfo m_Chapter;
	std::string m_ChapterPath;
	int m_FieldMapWidth;
	int m_FieldMapHeight;
	std::string m_FieldMapFile;
	std::string m_PowerMapFile;
	std::string m_MoneyWord;
	/// [0] event music, [1] decisive music once loaded.
	std::vector<std::string> m_CommonMusic;
	int m_HeroCount;
	int m_AttackWallSpecial;
	int m_NeutralFlagImage;
};

/// Reads a file of whitespace-separated decimal integers and appends them to the table; false after logging, with the numbers before the bad one kept.
bool LoadNumberTable(const std::string& path, std::vector<int>& table);

#endif
