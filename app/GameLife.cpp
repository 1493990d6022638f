// A game's life in the game master: a new game built aside and held once it is whole, the start of
// play, the save slots and a saved game restored beside the running one.

#include "app/GameMaster.h"

#include "app/FrontEnd.h"
#include "app/Logger.h"
#include "app/WorldMapControl.h"
#include "app/XmlGuard.h"
#include "app/XmlValue.h"
#include "gui/MsgDlg.h"
#include "gui/WidgetSet.h"
#include "media/MorvalethImage.h"
#include "media/MorvalethMixer.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "platform/FileSystem.h"

#include <boost/format.hpp>
#include <cerrno>
#include <cstring>
#include <tinyxml.h>

namespace
{
const char* const SAVE_ROOT = "Save";
const char* const LOAD_FAILED = "セーブデータ %s を読み込めませんでした。";
const char* const SAVE_FAILED = "セーブデータ %s に保存できませんでした。";
const char* const FLAG_TABLE_TOO_LARGE = " (スクリプトのフラグテーブルが大きすぎます)";
/// Bytes of a save's date shown in its slot caption: the date and the time to the second.
const std::size_t CAPTION_DATE_LENGTH = 19;
/// Bytes of a slot's file read for its caption: a save begins with its Scenario, Date and Digest.
const std::size_t CAPTION_HEAD_BYTES = 65536;
const char* const CAPTION_END = "</Digest>";

/// A scenario's folder name must stay one folder under "Scenario".
bool IsPlainFolderName(const std::string& name)
{
	return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\:") == std::string::npos;
}

/// Runs a step of a new game; false, with the first Error it logged as the reason, when it fails.
bool RunLoggedStep(const std::function<bool()>& step, std::string& reason)
{
	const TFirstError error;
	if (step())
		return true;
	reason = error.Text();
	return false;
}

/// A failure's text, with the reason after it in parentheses as a refused save gives its reason.
std::string WithReason(const std::string& text, const std::string& reason)
{
	return reason.empty() ? text : text + " (" + reason + ")";
}

/// Appends a child with a text.
void AppendTextChild(TiXmlElement* parent, const char* name, const std::string& text)
{
	TiXmlElement* child = new TiXmlElement(name);
	AppendXmlText(child, text);
	parent->LinkEndChild(child);
}

/// Writes the document into a new file of that name; false when any byte could not be written.
bool WriteDocument(const TiXmlDocument& document, const std::string& path)
{
	std::FILE* file = CreateNewFile(path);
	if (!file)
		return false;
	const bool printed = document.SaveFile(file);
	const bool flushed = std::fflush(file) == 0 && !std::ferror(file);
	return std::fclose(file) == 0 && printed && flushed;
}

/// Writes the document into the file and reads it back as a load would check it; false, with the reason when
/// the file is past what a load accepts. The document is emptied on the way: the file holds it.
bool WriteLoadableDocument(TiXmlDocument& document, const std::string& path, std::string& reason)
{
	if (!WriteDocument(document, path)) {
		// An empty folder under the name is removed as a file is; one with files in it is left to the player.
		reason = FormatText(IsDirectory(path) ? " (%s は空でないフォルダです)" : " (%s を作成できません)", path);
		return false;
	}
	document.Clear();
	std::string text;
	return ReadXmlText(path, text, reason) == TXmlFileState::Loaded;
}

/// Renames the written file over the slot; false, with the system's reason, when the slot cannot be replaced (a
/// folder of that name, or a sticky folder where another user owns the slot).
bool ReplaceSlot(const std::string& temporary, const std::string& path, std::string& reason)
{
	if (RenameFile(temporary, path))
		return true;
	reason = FormatText(" (%s を %s に置き換えられません: %s)", temporary, path, std::strerror(errno));
	return false;
}

/// The document of a slot's caption: the whole file when it is short, else its head up to the end of the
/// Digest, closed as a document of its own; false, with the reason, when the head holds no such document.
bool ReadCaptionDocument(const std::string& path, TiXmlDocument& document, std::string& reason)
{
	std::string bytes;
	bool whole = false;
	if (ReadDataHead(path, CAPTION_HEAD_BYTES, bytes, whole, reason) != TXmlFileState::Loaded)
		return false;
	if (!whole) {
		const std::size_t end = bytes.find(CAPTION_END);
		if (end == std::string::npos) {
			reason = FormatText(" (先頭 %d バイトに Digest の終わりがありません)", static_cast<long long>(CAPTION_HEAD_BYTES));
			return false;
		}
		bytes.erase(end + std::strlen(CAPTION_END));
		bytes += std::string("</") + SAVE_ROOT + ">";
	}
	std::string text;
	return PrepareXmlText(bytes, text, reason) && ParseXmlText(document, text, reason) == TXmlFileState::Loaded;
}
}

std::string TDremoGameMaster::ScenarioFolder(const std::string& scenarioName) const
{
	return m_RootDir + "/Scenario/" + scenarioName;
}

std::string TDremoGameMaster::SaveFolder() const
{
	return m_RootDir + "/Save";
}

std::string TDremoGameMaster::GetSaveFilePath(const std::string& folder, int slot)
{
	return (boost::format("%s/save%02d.xml") % folder % slot).str();
}

TDremoGameMaster::TGameSet TDremoGameMaster::TakeGame()
{
	TGameSet set;
	set.worldMap.swap(m_WorldMap);
	set.game.swap(m_Game);
	set.data.swap(m_Data);
	set.image.swap(m_Image);
	set.mixer.swap(m_Mixer);
	set.widgetSet.swap(m_WidgetSet);
	set.scenarioName = m_ScenarioName;
	set.scenarioDir = m_ScenarioDir;
	return set;
}

void TDremoGameMaster::HoldGame(TGameSet& set)
{
	ReleaseGame();
	m_WidgetSet = set.widgetSet;
	m_ScenarioName = set.scenarioName;
	m_ScenarioDir = set.scenarioDir;
	m_Data = set.data;
	m_Image = set.image;
	m_Mixer = set.mixer;
	m_Game = set.game;
	m_WorldMap = set.worldMap;
}

bool TDremoGameMaster::NewGame(const std::string& scenarioName, int chapter, int level)
{
	const TWarningSummary summary;
	TGameSet set;
	set.widgetSet.reset(new TGcnWidgetSet);
	set.data.reset(new TMorvalethData);
	set.image.reset(new TMorvalethImage);
	set.mixer.reset(new TMorvalethMixer(m_AudioOpened));
	set.game.reset(new TMorvalethGame);
	set.scenarioName = scenarioName;
	set.scenarioDir = ScenarioFolder(scenarioName);
	std::string reason;
	if (!IsPlainFolderName(scenarioName)
		|| !RunLoggedStep([&] { return set.data->Load(set.scenarioDir, chapter); }, reason))
		return FailLoad(WithReason("シナリオデータ " + set.scenarioDir + " の読み込みに失敗", reason));
	if (!RunLoggedStep([&] { return set.game->LoadNew(set.data.get(), set.scenarioDir, chapter, level); }, reason))
		return FailLoad(WithReason("ゲームデータの読み込みまたは構築に失敗", reason));
	if (!RunLoggedStep([&] { return LoadSounds(set.data, set.game, set.mixer, set.scenarioDir); }, reason))
		return FailLoad(WithReason("音データの読み込みに失敗", reason));
	// The picture steps leave a reason of their own, naming the file or the area.
	if (!LoadPermanentImage(set.data, set.image, set.game, set.scenarioDir))
		return FailLoad(WithReason("画像データの読み込みに失敗(パターン1)", m_LastError));
	if (!MakeAreaNameImages(set.image, set.game))
		return FailLoad(
			WithReason("画像データの読み込みに失敗(パターン2)", m_LastError + " " + set.scenarioDir + "/Data/AreaData.xml"));
	set.worldMap = CreateWorldMapControl(set.widgetSet.get(), *set.game, *set.data);
	HoldGame(set);
	return true;
}

bool TDremoGameMaster::StartGame(const std::vector<int>& players)
{
	ShowFrontWindow(FRONT_MASTER_SELECT, false);
	for (int master : players)
		m_Game->SetMasterPlayer(master, true);
	m_Game->PlaceAllInhabitants();
	m_WorldMap->Setup(true, false, nullptr);
	m_GameRunning = true;
	return true;
}

bool TDremoGameMaster::ReportSlotFailure(const char* text, const std::string& path, const std::string& reason)
{
	const std::string message = FormatText(text, path) + reason;
	LOG_ERROR("%s", message);
	ShowMsgDlg("Error", message, BUTTON_OK, 0);
	return false;
}

bool TDremoGameMaster::ReadSaveHeader(const std::string& path, TiXmlDocument& document, int& chapter,
	std::string& scenarioName)
{
	const TiXmlElement* root = ReadSaveDocument(document, path);
	if (!root)
		return false;
	if (!QueryChildIntAttribute(root, "Chapter", "index", chapter, FormatText("%s index not found.", "Chapter")))
		return false;
	const TiXmlElement* scenario = root->FirstChildElement("Scenario");
	if (!scenario) {
		g_Logger.Error(FormatText("%s %s 検索失敗", path, "Scenario"));
		return false;
	}
	scenarioName = GetXmlText(scenario);
	if (!IsPlainFolderName(scenarioName)) {
		g_Logger.Error(FormatText("%s Scenario %s はシナリオフォルダの名前ではありません。", path, scenarioName));
		return false;
	}
	return true;
}

bool TDremoGameMaster::RemakeAreaNames(TMorvalethGame& game)
{
	m_Image->ClearAreaNameImages();
	boost::shared_ptr<TMorvalethGame> borrowed(&game, [](TMorvalethGame*) {});
	return MakeAreaNameImages(m_Image, borrowed);
}

bool TDremoGameMaster::BuildLoadedGame(const TiXmlElement* root, int chapter, const std::string& scenarioName,
	TGameSet& loaded)
{
	loaded.scenarioName = scenarioName;
	loaded.scenarioDir = ScenarioFolder(scenarioName);
	loaded.game.reset(new TMorvalethGame);
	if (m_Game && scenarioName == m_ScenarioName) {
		// The same scenario: its database, sounds and pictures are held already.
		loaded.data = m_Data;
		loaded.image = m_Image;
		loaded.mixer = m_Mixer;
		if (!loaded.game->LoadSaved(m_Data.get(), loaded.scenarioDir, chapter, root, m_Game.get()))
			return false;
		// The areas' own music comes from the held mixer, which keeps every piece once loaded.
		LoadAreaMusics(m_Data, loaded.game, m_Mixer, loaded.scenarioDir);
		if (!CopyAreaNameImages(*m_Game, *loaded.game)) {
			loaded.namesRemade = true;
			if (!RemakeAreaNames(*loaded.game)) {
				RemakeAreaNames(*m_Game);
				return false;
			}
		}
	} else {
		LOG_DEBUG("3");
		loaded.data.reset(new TMorvalethData);
		if (!loaded.data->Load(loaded.scenarioDir, chapter))
			return FailLoad("シナリオデータ " + loaded.scenarioDir + " の読み込みに失敗");
		LOG_DEBUG("4");
		if (!loaded.game->LoadSaved(loaded.data.get(), loaded.scenarioDir, chapter, root))
			return false;
		loaded.mixer.reset(new TMorvalethMixer(m_AudioOpened));
		if (!LoadSounds(loaded.data, loaded.game, loaded.mixer, loaded.scenarioDir))
			return false;
		LOG_DEBUG("5");
		loaded.image.reset(new TMorvalethImage);
		if (!LoadPermanentImage(loaded.data, loaded.image, loaded.game, loaded.scenarioDir)
			|| !MakeAreaNameImages(loaded.image, loaded.game))
			return false;
		LOG_DEBUG("6");
	}
	loaded.widgetSet.reset(new TGcnWidgetSet);
	loaded.worldMap = CreateWorldMapControl(loaded.widgetSet.get(), *loaded.game, *loaded.data);
	return true;
}

bool TDremoGameMaster::LoadGame(int slot)
{
	const TWarningSummary summary;
	const std::string path = GetSaveFilePath(SaveFolder(), slot);
	TiXmlDocument document;
	int chapter = 0;
	std::string scenarioName;
	if (!ReadSaveHeader(path, document, chapter, scenarioName))
		return ReportSlotFailure(LOAD_FAILED, path);
	LOG_DEBUG("2");
	TiXmlElement* root = document.FirstChildElement(SAVE_ROOT);
	TGameSet loaded;
	if (!BuildLoadedGame(root, chapter, scenarioName, loaded))
		return ReportSlotFailure(LOAD_FAILED, path);
	LOG_DEBUG("9");
	// The held game stays aside until the loaded one has started: a save whose scripts' part is
	// damaged leaves the running game as it was.
	TGameSet previous = TakeGame();
	HoldGame(loaded);
	m_WorldMap->Setup(false, false, root);
	if (m_WorldMap->HasStopped()) {
		HoldGame(previous);
		if (loaded.namesRemade)
			RemakeAreaNames(*m_Game);
		return ReportSlotFailure(LOAD_FAILED, path);
	}
	m_GameRunning = true;
	LOG_DEBUG("10");
	return true;
}

bool TDremoGameMaster::BuildSaveDocument(TiXmlElement* root, std::string& reason)
{
	std::string digest;
	m_Game->GetSaveCaption(digest);
	AppendTextChild(root, "Scenario", m_ScenarioName);
	AppendTextChild(root, "Date", GetLogTimeStamp());
	AppendTextChild(root, "Digest", digest);
	TiXmlElement* chapter = new TiXmlElement("Chapter");
	chapter->SetAttribute("index", m_Game->GetChapterIndex());
	root->LinkEndChild(chapter);
	if (!m_Game->SaveToXML(root))
		return false;
	if (!m_WorldMap->SaveLuaEvent(root)) {
		reason = FLAG_TABLE_TOO_LARGE;
		return false;
	}
	return true;
}

bool TDremoGameMaster::SaveGame(int slot)
{
	const std::string path = GetSaveFilePath(SaveFolder(), slot);
	if (!m_Game || !m_WorldMap)
		return ReportSlotFailure(SAVE_FAILED, path);
	TiXmlDocument document;
	TiXmlElement* root = new TiXmlElement(SAVE_ROOT);
	document.LinkEndChild(root);
	std::string reason;
	if (!BuildSaveDocument(root, reason))
		return ReportSlotFailure(SAVE_FAILED, path, reason);
	// The slot is replaced only by a whole file that a load accepts: a failure on the way leaves its earlier save.
	const std::string temporary = path + ".tmp";
	CreateDirectories(SaveFolder());
	if (!WriteLoadableDocument(document, temporary, reason) || !ReplaceSlot(temporary, path, reason)) {
		RemoveFile(temporary);
		return ReportSlotFailure(SAVE_FAILED, path, reason);
	}
	return true;
}

const char* const TDremoGameMaster::EMPTY_SLOT_LABEL = "データなし";

void TDremoGameMaster::ReadSaveSlotLabels(const std::string& folder, std::vector<std::string>& labels, int count)
{
	labels.clear();
	for (int slot = 0; slot < count; ++slot) {
		const std::string path = GetSaveFilePath(folder, slot);
		if (!PathExists(path)) {
			labels.push_back(EMPTY_SLOT_LABEL);
			continue;
		}
		TiXmlDocument document;
		const TiXmlElement* root = nullptr;
		const TiXmlElement* date = nullptr;
		const TiXmlElement* digest = nullptr;
		std::string reason;
		if (!ReadCaptionDocument(path, document, reason)) {
			g_Logger.Error(FormatText("%s XML parse error", path) + reason);
		} else if (!(root = document.FirstChildElement(SAVE_ROOT))) {
			g_Logger.Error(FormatText("%s XML %s not found.", path, SAVE_ROOT));
		} else if (!(date = root->FirstChildElement("Date"))) {
			g_Logger.Error(FormatText("%s XML %s not found.", path, "Date"));
		} else if (!(digest = root->FirstChildElement("Digest"))) {
			g_Logger.Error(FormatText("%s XML %s not found.", path, "Digest"));
		}
		if (!digest) {
			labels.push_back("互換性が無いか、破損したデータ");
			continue;
		}
		labels.push_back(GetXmlText(date).substr(0, CAPTION_DATE_LENGTH) + " " + GetXmlText(digest));
	}
}

bool TDremoGameMaster::CopyAreaNameImages(const TMorvalethGame& held, TMorvalethGame& loaded)
{
	for (int i = 0; i < loaded.GetAreaCount(); ++i) {
		TAreaInstance& area = loaded.GetArea(i);
		if (area.Ignore)
			continue;
		if (i >= held.GetAreaCount() || held.GetArea(i).id != area.id)
			return false;
		area.NameImage = held.GetArea(i).NameImage;
	}
	return true;
}
