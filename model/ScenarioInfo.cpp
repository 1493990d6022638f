#include "model/ScenarioInfo.h"

#include "app/Logger.h"
#include "app/XmlGuard.h"
#include "app/XmlValue.h"
#include "common/babel/babel.h"
#include "model/DataFile.h"
#include "model/RecordTable.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <tinyxml.h>

namespace
{
bool ReadChapterMaster(const TiXmlElement* element, const std::string& path, TChapterMaster& master)
{
	if (!RequireId(element, path, master.id))
		return false;
	master.Area = GetXmlAttribute(element, "area");
	master.NotPlayer = GetXmlAttribute(element, "notplayer") == "true";
	const TiXmlElement* handle = RequireChild(element, "Handle", path, " Handleが見つかりませんでした。");
	const TiXmlElement* difficulty = handle ? RequireChild(element, "Diffculty", path, " Diffcultyが見つかりませんでした。") : nullptr;
	const TiXmlElement* explanation = difficulty ? RequireChild(element, "Explanation", path, " Explanationが見つかりませんでした。") : nullptr;
	if (!explanation)
		return false;
	master.Handle = GetXmlText(handle);
	master.Difficulty = GetXmlText(difficulty);
	master.Explanation = GetXmlText(explanation);
	return true;
}

bool ReadChapterArea(const TiXmlElement* element, const std::string& path, TChapterArea& area)
{
	if (!RequireId(element, path, area.id))
		return false;
	area.Master = GetXmlAttribute(element, "master");
	area.Ignore = area.Master.empty() && GetXmlAttribute(element, "ignore") == "true";
	return true;
}

bool ReadChapterAlliance(const TiXmlElement* element, const std::string& path, TChapterAlliance& alliance)
{
	alliance.MasterId1 = GetXmlAttribute(element, "id1");
	alliance.MasterId2 = GetXmlAttribute(element, "id2");
	const std::string turn = GetXmlAttribute(element, "turn");
	if (turn == "infinite") {
		alliance.Turn = -1;
		return true;
	}
	if (!ParseWholeInt(turn, alliance.Turn)) {
		g_Logger.Error(path + " Allianceのturnの解釈に失敗しました。");
		return false;
	}
	// -1 is the number an endless alliance is held as; below it an alliance would never end yet not be endless.
	if (alliance.Turn < -1) {
		g_Logger.Error(path + FormatText(" Alliance %s-%s のturn %d が -1 未満です。", alliance.MasterId1, alliance.MasterId2, alliance.Turn));
		return false;
	}
	return true;
}

bool ReadChapterChara(const TiXmlElement* element, const std::string& path, TChapterChara& chara)
{
	if (!RequireId(element, path, chara.id))
		return false;
	chara.Area = GetXmlAttribute(element, "area");
	GetXmlIntAttribute(element, "rank", chara.Rank);
	return true;
}

/// Name, explanation and starting turn, each required.
bool ReadChapterTexts(const TiXmlElement* chapter, const std::string& path, TChapterInfo& info)
{
	const TiXmlElement* name = RequireChild(chapter, "Name", path, " Nameが見つかりませんでした。");
	const TiXmlElement* explanation = name ? RequireChild(chapter, "Explanation", path, " Explanationが見つかりませんでした。") : nullptr;
	const TiXmlElement* turn = explanation ? RequireChild(chapter, "Turn", path, " Turnが見つかりませんでした。") : nullptr;
	if (!turn)
		return false;
	info.Name = GetXmlText(name);
	info.Explanation = GetXmlText(explanation);
	info.Turn = GetXmlTextInt(turn);
	return true;
}

/// The child of that name that some other node follows: what the head of a file holds of it whole; null when
/// there is none.
const TiXmlElement* WholeChild(const TiXmlElement* parent, const char* name)
{
	const TiXmlElement* child = parent ? parent->FirstChildElement(name) : nullptr;
	return child && child->NextSibling() ? child : nullptr;
}

/// The bytes without a character the end of the head cut in two, which would read as malformed UTF-8.
std::string WithoutCutCharacter(const std::string& bytes)
{
	const std::size_t bad = FindMalformedUtf8(bytes);
	const std::size_t longest = 4;
	return bad != std::string::npos && bytes.size() - bad < longest ? bytes.substr(0, bad) : bytes;
}

/// Every child of the name read by the reader into an entry appended to the list, in document order; false at the
/// first that fails.
template <typename T>
bool ReadEntries(const TiXmlElement* chapter, const char* name, const std::string& path, std::vector<T>& entries,
	bool (*read)(const TiXmlElement*, const std::string&, T&))
{
	for (const TiXmlElement* e = chapter->FirstChildElement(name); e; e = e->NextSiblingElement(name)) {
		const TLogSubject subject(path, RecordName(e));
		T entry;
		if (!read(e, path, entry))
			return false;
		entries.push_back(entry);
	}
	return true;
}

/// The masters, areas, alliances and characters.
bool ReadChapterEntries(const TiXmlElement* chapter, const std::string& path, TChapterInfo& info)
{
	return ReadEntries(chapter, "Master", path, info.Masters, ReadChapterMaster)
		&& ReadEntries(chapter, "Area", path, info.Areas, ReadChapterArea)
		&& CheckChildCount(chapter, "Alliance", MAX_ALLIANCES, path)
		&& ReadEntries(chapter, "Alliance", path, info.Alliances, ReadChapterAlliance)
		&& ReadEntries(chapter, "Character", path, info.Charas, ReadChapterChara);
}

/// The name and explanation of the chapter file read whole: the list keeps only the texts of a long file, as it
/// does of one whose head holds them.
bool LoadWholeTexts(const std::string& path, TChapterInfo& info)
{
	TChapterInfo read;
	if (!read.Load(path))
		return false;
	info.Name = read.Name;
	info.Explanation = read.Explanation;
	return true;
}

bool IsControlByte(char c)
{
	return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

/// Bytes of a name on disk as the log can show them: every byte that is no printable ASCII as "\xNN".
std::string EscapedBytes(const std::string& bytes)
{
	std::string shown;
	for (const char c : bytes) {
		const unsigned char byte = static_cast<unsigned char>(c);
		shown += byte < 0x80 && !IsControlByte(c) ? std::string(1, c) : FormatText("\\x%02X", static_cast<int>(byte));
	}
	return shown;
}

/// A UTF-8 name on disk as far as the log can show it: each well-formed run that Shift-JIS holds as it is, the
/// other bytes escaped.
std::string ShownNativeName(const std::string& native)
{
	std::string shown;
	for (std::size_t at = 0; at < native.size();) {
		const std::size_t bad = FindMalformedUtf8(native.substr(at));
		const std::string run = native.substr(at, bad);
		const std::string sjis = Utf8ToSjis(run);
		const bool plain = SjisToUtf8(sjis) == run && std::none_of(run.begin(), run.end(), IsControlByte);
		shown += plain ? sjis : EscapedBytes(run);
		at += run.size();
		if (at < native.size())
			shown += EscapedBytes(native.substr(at++, 1));
	}
	return shown;
}

/// Warns of a scenario folder that no in-memory name leads to, naming it as far as it can be shown.
void WarnUnnamedFolder(const std::string& scenarioRoot, const std::string& native)
{
	const char* const why = FindMalformedUtf8(native) != std::string::npos
		? "名前が UTF-8 として正しくない" : "名前に Shift-JIS に無い文字がある";
	g_Logger.Warning(FormatText("%s/%s : フォルダの%sので、シナリオの一覧に入れません"
		" (File/FileNameEncoding により名前を UTF-8 として読んでいます)。", scenarioRoot, ShownNativeName(native), why),
		"シナリオフォルダの名前");
}

/// The whole chapter of a parsed file.
bool ReadChapter(const TiXmlDocument& document, const std::string& path, TChapterInfo& info)
{
	const TiXmlElement* chapter = RequireChild(&document, "Chapter", path, " Chapter検索失敗");
	return chapter && ReadChapterTexts(chapter, path, info) && ReadChapterEntries(chapter, path, info);
}
}

bool TChapterInfo::Load(const std::string& path)
{
	*this = TChapterInfo();
	TiXmlDocument document;
	std::string reason;
	if (LoadXmlFile(document, path, reason) != TXmlFileState::Loaded) {
		g_Logger.Error(path + " XML Parse Error" + reason);
		return false;
	}
	return ReadChapter(document, path, *this);
}

// The chapter list needs a name and an explanation, which a chapter file
// mostly gives at its head; a file of millions of nodes would hold the start
// for seconds if it were parsed whole. TinyXML keeps what it parsed before the
// text ends, so the root's children all but the last are whole, and the texts
// are taken from them. Each kind of child is looked up by name, wherever it
// stands: a file whose head lacks them is read whole, as the start reads it.
bool TChapterInfo::LoadHead(const std::string& path)
{
	*this = TChapterInfo();
	std::string bytes;
	bool whole = false;
	std::string reason;
	if (ReadDataHead(path, CHAPTER_HEAD_BYTES, bytes, whole, reason) != TXmlFileState::Loaded) {
		g_Logger.Error(path + " XML Parse Error" + reason);
		return false;
	}
	TiXmlDocument document;
	std::string text;
	if (!PrepareXmlText(whole ? bytes : WithoutCutCharacter(bytes), text, reason)
		|| (ParseXmlText(document, text, reason) != TXmlFileState::Loaded && whole)) {
		g_Logger.Error(path + " XML Parse Error" + reason);
		return false;
	}
	if (whole)
		return ReadChapter(document, path, *this);
	const TiXmlElement* chapter = document.FirstChildElement("Chapter");
	const TiXmlElement* name = WholeChild(chapter, "Name");
	const TiXmlElement* explanation = WholeChild(chapter, "Explanation");
	if (!name || !explanation)
		return LoadWholeTexts(path, *this);
	Name = GetXmlText(name);
	Explanation = GetXmlText(explanation);
	return true;
}

const TChapterMaster& TChapterInfo::GetMaster(int i) const
{
	return CheckedAt(Masters, i, "chapter masters");
}

bool TScenarioInfo::Load(const std::string& folder)
{
	*this = TScenarioInfo();
	const std::string path = folder + "/Scenario.xml";
	TiXmlDocument document;
	std::string reason;
	const TXmlFileState state = LoadXmlFile(document, path, reason);
	// A folder without the file is no scenario; a broken file says why it is none.
	if (state == TXmlFileState::Malformed)
		g_Logger.Error(path + " XML Parse Error" + reason);
	if (state != TXmlFileState::Loaded)
		return false;
	const TiXmlElement* scenario = RequireChild(&document, "Scenario", path, " Scenario検索失敗");
	const TiXmlElement* title = scenario ? RequireChild(scenario, "Title", path, " Title検索失敗") : nullptr;
	if (!title)
		return false;
	Title = GetXmlText(title);
	// A missing or broken chapter file ends the list: later chapters stay hidden.
	for (int number = 1;; ++number) {
		const std::string chapterPath = ChapterPath(folder, number);
		const TLogSubject subject(chapterPath);
		TChapterInfo chapter;
		if (!PathExists(chapterPath) || !chapter.LoadHead(chapterPath))
			break;
		Chapters.push_back(chapter);
	}
	return true;
}

const TChapterInfo& TScenarioInfo::GetChapter(int i) const
{
	return CheckedAt(Chapters, i, "scenario chapters");
}

std::string ChapterPath(const std::string& folder, int number)
{
	return FormatText("%s/Data/Scenario%d.xml", folder, number);
}

std::vector<TScenarioEntry> ListScenarios(const std::string& scenarioRoot)
{
	std::vector<TScenarioEntry> scenarios;
	if (!IsDirectory(scenarioRoot)) {
		LOG_ERROR("Scenario directory(%s) not found.", scenarioRoot);
		return scenarios;
	}
	std::vector<std::string> unnamed;
	const std::vector<std::string> names = ListDirectory(scenarioRoot, &unnamed);
	for (const std::string& native : unnamed)
		WarnUnnamedFolder(scenarioRoot, native);
	for (const std::string& name : names) {
		TScenarioEntry entry;
		entry.Folder = name;
		const std::string folder = scenarioRoot + "/" + name;
		if (IsDirectory(folder) && entry.Info.Load(folder))
			scenarios.push_back(entry);
	}
	std::sort(scenarios.begin(), scenarios.end(),
		[](const TScenarioEntry& a, const TScenarioEntry& b) { return a.Folder < b.Folder; });
	return scenarios;
}
