// The world-map controller's life and its turn cycle: set-up, the masters one after another, the
// start of a master's turn, the scripts' flags in the save and the services scripts reach.

#include "world/WorldMapLogic.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "script/ApiScenario.h"
#include "script/ScriptAPI.h"
#include "script/ScriptLog.h"

#include <algorithm>
#include <tinyxml.h>

namespace
{
/// Fade of the music at a change of master, in milliseconds.
const int MUSIC_FADE = 500;
const char* const LUA_EVENT = "LuaEvent";
}

TWorldMapLogic::TWorldMapLogic(TWorldView& view, TMorvalethGame& game, const TMorvalethData& data,
	TGcnWidgetSet* widgetSet, std::unique_ptr<TWorldBattle> battle)
	: m_View(view), m_Game(game), m_Data(data), m_WidgetSet(widgetSet), m_Battle(std::move(battle)),
	  m_LogicStatus(WORLD_CONSTRUCTED), m_StatusAfterMessage(WORLD_CONSTRUCTED), m_ScriptEvent(WORLD_EVENT_NONE),
	  m_GameOverCalled(false), m_EndTurnRequested(false), m_AskingPartner(false), m_NewGame(true),
	  m_StartPending(false), m_FallBeforeTurn(false), m_SelectedArea(-1),
	  m_MoveSource(-1), m_MoveDestination(-1), m_HoverFrames(0), m_HoveredArea(-1), m_DismissArea(0),
	  m_DismissPosition(0), m_EmployArea(-1), m_EmployEmployer(-1), m_HeroArea(-1), m_HeroChara(-1),
	  m_WarTarget(-1), m_WarSource(-1), m_MarchFrame(0), m_MarchLength(0), m_MarchTotal(0), m_AlliancePartner(-1),
	  m_AllianceTurns(0), m_AllianceCost(0)
{
}

TWorldMapLogic::~TWorldMapLogic()
{
}

void TWorldMapLogic::Stop(const std::string& error)
{
	g_Logger.Error(error);
	Halt();
}

// The map cannot go on without its scripts or its state: the player is told so at once
// instead of facing a map that no longer answers, and may still load or quit.
void TWorldMapLogic::Halt()
{
	if (m_LogicStatus == WORLD_STOPPED)
		return;
	m_LogicStatus = WORLD_STOPPED;
	// Whoever's turn it was and whatever the menu offered then (設定 alone while an army marches or
	// fights, nothing in a computer master's turn), the player may load a saved game from it now.
	m_View.SetSystemMenuCompact(false);
	m_View.ShowWindow(WORLD_SYSTEM_MENU, true);
	m_View.ShowMessage("Error", "エラーのためゲームを進められません。詳しくは log.txt と _lualog.txt を見てください。",
		BUTTON_OK, 0);
}

void TWorldMapLogic::Setup(bool newGame, bool gameOverCalled, TiXmlElement* saveRoot)
{
	m_View.Build(*this, m_Game.GetAreaCount());
	m_ScriptAPI.reset(new TScriptAPI(m_WidgetSet));
	if (m_Battle)
		m_Battle->SetScriptAPI(m_ScriptAPI.get());
	m_GameOverCalled = gameOverCalled;
	// Endings a script switched off belong to the game that was running before.
	ClearEndingFlags();
	if (!LoadScripts())
		return;
	if (!newGame && !LoadLuaEvent(saveRoot)) {
		Stop(METHOD_TEXT("Lua 変数のロードに失敗しました。"));
		return;
	}
	m_NewGame = newGame;
	// An opening that waits for frames is resumed like "global_script"; the game starts once it is over.
	if (m_EventScript.IsSuspended()) {
		m_StartPending = true;
		m_LogicStatus = WORLD_EVENT_SCRIPT;
		return;
	}
	StartGame();
}

void TWorldMapLogic::StartGame()
{
	if (m_NewGame)
		AdvanceMaster();
	else
		StartCurrentMaster();
}

bool TWorldMapLogic::LoadScript(TMorvalethLuaManager& manager, const char* name, const char* notFound,
	const std::string& loadFailed, TScriptAPI* scriptApi)
{
	std::string path;
	if (!g_GameMaster.FindScriptFile(name, path)) {
		Stop(METHOD_TEXT(notFound));
		return false;
	}
	if (!manager.LoadLua(path.c_str())) {
		Stop(METHOD_TEXT("%s", loadFailed.find("%s") != std::string::npos ? FormatText(loadFailed, path) : loadFailed));
		return false;
	}
	manager.SetContext(m_Battle ? m_Battle->GetInterface() : nullptr, scriptApi, this);
	return true;
}

// The script log starts empty with the game's scripts; what on_system_start writes stays in it
// while the other scripts load.
bool TWorldMapLogic::LoadScripts()
{
	LuaLogReset();
	if (!LoadScript(m_EventScript, "EventScript.lua", "イベントスクリプトの検索に失敗しました。",
			"イベントスクリプト %s のロードに失敗しました。", m_ScriptAPI.get()))
		return false;
	// The table comes first, so that flags set while the script starts are kept in a new game;
	// a loaded game replaces it with the saved one.
	m_EventScript.CreateFlagTable();
	if (!m_EventScript.CallFunction("on_system_start")) {
		std::string path;
		g_GameMaster.FindScriptFile("EventScript.lua", path);
		Stop(METHOD_TEXT("イベントスクリプト %s の初期化(%s)に失敗しました。", path, "on_system_start"));
		return false;
	}
	if (!LoadScript(m_WorldScript, "world.lua", "world.luaの検索に失敗しました。", "world.lua のロードに失敗しました。",
			m_ScriptAPI.get()))
		return false;
	m_Strategies.clear();
	m_Strategies.resize(m_Game.GetMasterCount());
	for (TMorvalethLuaManager& strategy : m_Strategies)
		if (!LoadScript(strategy, "strategy.lua", "strategy.luaの検索に失敗しました。",
				"strategy.lua のロードに失敗しました。", nullptr))
			return false;
	return true;
}

TMorvalethLuaManager& TWorldMapLogic::Strategy(int master)
{
	return m_Strategies.at(master);
}

bool TWorldMapLogic::IsPlayerTurn() const
{
	const int current = m_Game.GetCurrentMaster();
	return current >= 0 && current < m_Game.GetMasterCount() && m_Game.GetMaster(current).Player;
}

const std::string& TWorldMapLogic::MasterName(int master) const
{
	return m_Data.GetMasterData(m_Game.GetMaster(master).DataIndex).Name;
}

void TWorldMapLogic::AdvanceMaster()
{
	bool newTurn = false;
	if (!m_Game.CheckGameEnd())
		newTurn = m_Game.ActivateNextMaster();
	else
		m_Game.SetGameEnd();
	if (!newTurn && !m_Game.IsGameEnded()) {
		StartCurrentMaster();
		return;
	}
	m_Game.GetDefeatedMasters(m_DefeatedBeforeEvent);
	if (!m_EventScript.CallFunction("global_script")) {
		Halt();
		return;
	}
	if (m_EventScript.IsSuspended()) {
		if (g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED))
			m_View.ChangeCommonMusic(0, MUSIC_FADE);
		m_LogicStatus = WORLD_EVENT_SCRIPT;
		return;
	}
	StartTurnAfterEvent();
}

void TWorldMapLogic::StartTurnAfterEvent()
{
	std::vector<int> defeated;
	m_Game.GetDefeatedMasters(defeated);
	const bool fell = std::any_of(defeated.begin(), defeated.end(), [this](int master) {
		return std::find(m_DefeatedBeforeEvent.begin(), m_DefeatedBeforeEvent.end(), master) == m_DefeatedBeforeEvent.end();
	});
	if (!fell) {
		StartCurrentMaster();
		return;
	}
	// As after a battle: "MasterDead", then the fall itself and "GameOver" in the clean-up, which then
	// starts the turn or, when the fall decided the game or took the master, passes it on.
	m_FallBeforeTurn = true;
	m_LogicStatus = WORLD_AFTER_BATTLE;
	CallWorldScript("MasterDead", WORLD_EVENT_MASTER_DEAD);
}

void TWorldMapLogic::StartCurrentMaster()
{
	// A turn end asked for before the master's turn began concerns no master.
	m_EndTurnRequested = false;
	const int current = m_Game.GetCurrentMaster();
	if (current < 0 || current >= m_Game.GetMasterCount()) {
		Stop(METHOD_TEXT("手番のマスターがありません。"));
		return;
	}
	if (m_Game.GetMaster(current).Player)
		CheckFoundHero();
	else
		StartMasterStrategy();
}

void TWorldMapLogic::CheckFoundHero()
{
	if (!m_Game.PopFoundHero(m_HeroArea, m_HeroChara)) {
		StartMasterStrategy();
		return;
	}
	m_View.ShowHero(m_HeroArea, m_HeroChara, m_Game.GetMaster(m_Game.GetCurrentMaster()).Money);
	m_LogicStatus = WORLD_HERO_OFFERED;
}

void TWorldMapLogic::StartMasterStrategy()
{
	const int current = m_Game.GetCurrentMaster();
	if (!m_Game.GetMaster(current).Player) {
		LOG_DEBUG("COM");
		m_LogicStatus = WORLD_STRATEGY;
		if (!Strategy(current).CallFunction("on_myturn"))
			Halt();
		LOG_DEBUG("%d", m_LogicStatus);
		return;
	}
	LOG_DEBUG("PLAYER");
	m_LogicStatus = WORLD_PLAYER_IDLE;
	if (!ShowPlayerTurn())
		return;
	ReportExpiredAlliances();
	PlayMasterMusic(current);
}

bool TWorldMapLogic::ShowPlayerTurn()
{
	const int current = m_Game.GetCurrentMaster();
	const int area = m_Game.GetMasterArea(current);
	if (area < 0) {
		Stop(METHOD_TEXT("マスター %s の所在エリアの検索に失敗（ScenarioX.xmlでマスターが配置されてない？）",
			MasterName(current)));
		return false;
	}
	const point_t& point = m_Game.GetArea(area).Location;
	m_View.CenterMapOn(point.x, point.y);
	SelectArea(area);
	m_View.ShowMaster(current);
	m_View.SetSystemMenuCompact(false);
	m_View.ShowWindow(WORLD_SYSTEM_MENU, true);
	return true;
}

void TWorldMapLogic::ReportExpiredAlliances()
{
	const int current = m_Game.GetCurrentMaster();
	std::string text;
	for (int m = 0; m < m_Game.GetMasterCount(); ++m) {
		const int alliance = m_Game.FindAlliance(current, m);
		if (alliance < 0 || m_Game.GetAlliance(alliance).Turns != 0)
			continue;
		if (!text.empty())
			text += "\n";
		text += FormatText("%sと%sの同盟が切れました。", MasterName(current), MasterName(m));
	}
	if (!text.empty())
		m_View.ShowMessage("Information", text, BUTTON_OK, g_Config.m_MessageTimeoutFrame);
}

void TWorldMapLogic::PlayMasterMusic(int master)
{
	if (g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED))
		m_View.ChangeMusic(m_Data.GetMasterData(m_Game.GetMaster(master).DataIndex).MusicIndex, MUSIC_FADE);
}

void TWorldMapLogic::ShowTimedMessage(const std::string& text, int nextStatus)
{
	m_View.ShowMessage("Information", text, BUTTON_OK, g_Config.m_MessageTimeoutFrame);
	m_StatusAfterMessage = nextStatus;
	m_LogicStatus = WORLD_MESSAGE;
}

void TWorldMapLogic::ShowInformation(const std::string& text)
{
	m_View.ShowMessage("Information", text, BUTTON_OK, 0);
}

void TWorldMapLogic::HideScriptWindows()
{
	if (m_ScriptAPI)
		m_ScriptAPI->HideAllWindows();
}

bool TWorldMapLogic::SaveLuaEvent(TiXmlElement* saveRoot)
{
	TiXmlElement* element = new TiXmlElement(LUA_EVENT);
	saveRoot->LinkEndChild(element);
	return m_EventScript.SaveToXML(element);
}

bool TWorldMapLogic::LoadLuaEvent(TiXmlElement* saveRoot)
{
	TiXmlElement* element = saveRoot ? saveRoot->FirstChildElement(LUA_EVENT) : nullptr;
	if (!element) {
		LOG_ERROR("%s not found.", LUA_EVENT);
		return false;
	}
	return m_EventScript.LoadFromXML(element);
}

void TWorldMapLogic::ApplyConfig()
{
	if (m_Battle)
		m_Battle->ApplySpeedSetting();
	if (!g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED)) {
		m_View.FadeOutMusic(MUSIC_FADE);
		return;
	}
	if (!m_View.IsMusicPlaying() && m_LogicStatus != WORLD_BATTLE && IsPlayerTurn())
		m_View.ChangeMusic(m_Data.GetMasterData(m_Game.GetMaster(m_Game.GetCurrentMaster()).DataIndex).MusicIndex, 0);
}

void TWorldMapLogic::FocusArea(int area)
{
	if (area < 0 || area >= m_Game.GetAreaCount()) {
		LOG_ERROR("no area %d to focus on", area);
		return;
	}
	const point_t& point = m_Game.GetArea(area).Location;
	m_View.CenterMapOn(point.x, point.y);
}

void TWorldMapLogic::EndTurn()
{
	// The partner of an alliance offer answers within the proposer's turn.
	if (m_AskingPartner) {
		LOG_ERROR("同盟の返答中はターンを終了できません。");
		return;
	}
	m_View.ClearHighlights();
	m_View.ShowWindow(WORLD_AREA_WINDOW, false);
	m_View.ShowWindow(WORLD_MASTER_WINDOW, false);
	m_View.ShowWindow(WORLD_STATUS_WINDOW, false);
	m_View.ShowWindow(WORLD_SYSTEM_MENU, false);
	if (g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED))
		m_View.FadeOutMusic(MUSIC_FADE);
	// The script that asked runs on to its end; only then does the turn pass, so that no script of
	// the finished turn is left suspended.
	m_EndTurnRequested = true;
}
