#ifndef MORVALETH_MODEL_SCENARIOINFO_H
#define MORVALETH_MODEL_SCENARIOINFO_H

#include <cstddef>
#include <string>
#include <vector>

/// A master that takes part in a chapter, with the texts the master selection shows.
struct TChapterMaster
{
	std::string id;
	/// Area id given with the master; kept, not used.
	std::string Area;
	std::string Handle;
	std::string Difficulty;
	std::string Explanation;
	/// True when the player may not choose the master.
	bool NotPlayer = false;
};

/// An area and its holder at the start of a chapter.
struct TChapterArea
{
	std::string id;
	/// Master id; empty for a neutral area.
	std::string Master;
	/// Neutral areas only: the area is left off the map.
	bool Ignore = false;
};

/// A character and where it stands at the start of a chapter.
struct TChapterChara
{
	std::string id;
	std::string Area;
	int Rank = 0;
};

/// An alliance at the start of a chapter.
struct TChapterAlliance
{
	std::string MasterId1;
	std::string MasterId2;
	/// Turns the alliance lasts; -1 = without end.
	int Turn = 0;
};

/// Bytes of a chapter file the chapter list reads.
const std::size_t CHAPTER_HEAD_BYTES = 65536;

/// One chapter file of a scenario: its texts, starting turn and opening positions.
struct TChapterInfo
{
	/// Reads the chapter file at the path into this record, replacing what it held; false after logging the reason.
	bool Load(const std::string& path);
	/// Reads what the chapter list shows: a file of at most CHAPTER_HEAD_BYTES as Load does, a longer one only for
	/// its name and explanation, from its first CHAPTER_HEAD_BYTES when they lie whole there, else from the whole
	/// file read as Load reads it; false after logging the reason.
	bool LoadHead(const std::string& path);

	int GetMasterCount() const { return static_cast<int>(Masters.size()); }
	/// Master entry i; outside the list logs an Error and gives an empty entry.
	const TChapterMaster& GetMaster(int i) const;
	std::string GetExplanation() const { return Explanation; }

	std::string Name;
	std::string Explanation;
	std::vector<TChapterMaster> Masters;
	std::vector<TChapterChara> Charas;
	std::vector<TChapterArea> Areas;
	std::vector<TChapterAlliance> Alliances;
	/// Turn number the chapter starts with.
	int Turn = 0;
};

/// One scenario folder: its title and its readable chapters.
struct TScenarioInfo
{
	/// Reads the folder's "Scenario.xml" and the heads of its chapter files 1, 2, ... up to the first missing or broken
	/// one; false only when the title cannot be read.
	bool Load(const std::string& folder);

	int GetChapterCount() const { return static_cast<int>(Chapters.size()); }
	/// Chapter i (0-based); outside the list logs an Error and gives an empty chapter.
	const TChapterInfo& GetChapter(int i) const;

	std::string Title;
	/// Element k - 1 is chapter file k.
	std::vector<TChapterInfo> Chapters;
};

/// A playable scenario found under the scenario folder.
struct TScenarioEntry
{
	/// Name of the scenario's folder.
	std::string Folder;
	TScenarioInfo Info;
};

/// Path of chapter file number (1-based) of a scenario folder.
std::string ChapterPath(const std::string& folder, int number);

/// Every folder under the scenario folder whose scenario loads, in byte order of the folder names; an Error and none when the folder is missing.
std::vector<TScenarioEntry> ListScenarios(const std::string& scenarioRoot);

#endif
