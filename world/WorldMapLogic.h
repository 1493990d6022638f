#ifndef MORVALETH_WORLD_WORLDMAPLOGIC_H
#define MORVALETH_WORLD_WORLDMAPLOGIC_H

#include "app/WorldMapControl.h"
#include "model/GameRecords.h"
#include "script/LuaManager.h"
#include "script/WorldMapInterface.h"
#include "world/WorldBattle.h"
#include "world/WorldView.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>
#include <boost/shared_ptr.hpp>

class TGcnWidgetSet;
class TMorvalethData;
class TMorvalethGame;
class TScriptAPI;

/// Statuses of the world-map turn.
enum TWorldStatus
{
	WORLD_CONSTRUCTED = 0,
	/// The player's turn: map clicks and every button act.
	WORLD_PLAYER_IDLE = 1,
	WORLD_PICK_MOVE_DESTINATION = 2,
	WORLD_MOVE_OPEN = 3,
	WORLD_EMPLOY_OPEN = 4,
	WORLD_AREA_GRID = 5,
	WORLD_MASTER_GRID = 6,
	WORLD_HERO_GRID = 7,
	WORLD_POWER_MAP = 8,
	WORLD_PICK_WAR_TARGET = 9,
	WORLD_WAR_OPEN = 10,
	WORLD_PICK_ALLY = 11,
	/// A found hero is offered to the player.
	WORLD_HERO_OFFERED = 12,
	WORLD_NEXT_HERO = 13,
	/// A computer master's strategy script runs.
	WORLD_STRATEGY = 14,
	WORLD_MARCH = 15,
	WORLD_BATTLE = 16,
	/// After a battle or an event: defeated masters go, the turn goes on.
	WORLD_AFTER_BATTLE = 17,
	WORLD_NEXT_MASTER = 18,
	/// "world.lua" runs ("MasterDead", "GameOver", the turn-end button).
	WORLD_WORLD_SCRIPT = 19,
	/// "global_script" of the event script runs.
	WORLD_EVENT_SCRIPT = 20,
	/// A message is up; its close leads to the status after message.
	WORLD_MESSAGE = 21,
	WORLD_DISMISS_QUESTION = 22,
	WORLD_ALLIANCE_QUESTION = 23,
	/// The game is over and the program quits.
	WORLD_QUITTING = 24,
	/// Stopped after a script or data failure.
	WORLD_STOPPED = 25,
};

/// Why "world.lua" is resumed in WORLD_WORLD_SCRIPT.
enum TWorldScriptEvent
{
	WORLD_EVENT_NONE = 0,
	WORLD_EVENT_MASTER_DEAD = 1,
	WORLD_EVENT_GAME_OVER = 2,
	WORLD_EVENT_TURN_END = 3,
};

/// Buttons of the area window.
enum TAreaButton { AREA_BUTTON_MOVE, AREA_BUTTON_EMPLOY, AREA_BUTTON_DISMISS };
/// Buttons of the master window.
enum TMasterButton
{
	MASTER_BUTTON_AREA_GRID,
	MASTER_BUTTON_MASTER_GRID,
	MASTER_BUTTON_HERO_GRID,
	MASTER_BUTTON_POWER_MAP,
	MASTER_BUTTON_ALLIANCE,
	MASTER_BUTTON_WAR,
	MASTER_BUTTON_TURN_END,
};
/// Buttons of the found-hero window.
enum THeroButton { HERO_BUTTON_STATUS, HERO_BUTTON_HIRE, HERO_BUTTON_DECLINE };

/// The controller of the strategic map: it runs every master's turn, the computer masters through their
/// strategy scripts and the player through the windows, marches armies, starts battles and applies their
/// results, handles alliance offers and ends the game. It reaches its windows only through its view.
class TWorldMapLogic : public TWorldMapControl, public TWorldMapInterface
{
public:
	/// A controller of the game on the database, showing on the view, fighting its wars with the battle
	/// (without one, a war on a defended area stops the controller).
	TWorldMapLogic(TWorldView& view, TMorvalethGame& game, const TMorvalethData& data, TGcnWidgetSet* widgetSet,
		std::unique_ptr<TWorldBattle> battle = nullptr);
	~TWorldMapLogic() override;

	// Life of a game.

	/// Windows, script windows, battle and scripts; then the first master of a new game, or the saved
	/// game's current master. A failure leaves the controller stopped.
	void Setup(bool newGame, bool gameOverCalled, TiXmlElement* saveRoot) override;
	/// Appends "LuaEvent" with the event script's flag table to the save's root; false when the table is too large to load.
	bool SaveLuaEvent(TiXmlElement* saveRoot) override;
	/// Reads the event script's flag table from the save's "LuaEvent"; false after an Error.
	bool LoadLuaEvent(TiXmlElement* saveRoot);
	/// Takes changed settings over: battle speed, music on or off.
	void ApplyConfig() override;
	bool HasStopped() const override { return m_LogicStatus == WORLD_STOPPED; }

	// The turn.

	/// One frame of the status machine.
	void Logic();
	/// The next master becomes current, with "global_script" at a new turn or at the end of the game.
	void AdvanceMaster();
	/// The current master's turn begins: its strategy, or the player's found heroes.
	void StartCurrentMaster();
	/// After "global_script": a master the event left without its own character falls as after a battle
	/// before the turn goes on; otherwise the current master's turn begins.
	void StartTurnAfterEvent();
	/// The player's turn with its windows, or the computer master's "on_myturn".
	void StartMasterStrategy();
	/// Offers the player the next found hero; without one the player's turn begins.
	void CheckFoundHero();
	/// Keeps, shows or fades the hint over the area under the map point (x = -1: the hovered area).
	void UpdateHoverText(int x, int y, bool keep);
	/// The area whose marker holds the map point; -1 for none.
	int GetAreaAt(int x, int y) const;
	/// The battle map the area is fought on; null for none, or for no such area.
	TBattleMap* GetAreaBattleMap(int area) const;

	// What the engine functions ask.

	void FocusArea(int area) override;
	void EndTurn() override;
	void Departure(int target, const std::vector<std::pair<int, int>>& departures) override;
	bool ProposeAlliance(int partner, int turns, int price) override;

	// Wars and alliances.

	/// Applies the result of the battle that has just ended.
	void OnBattleEnd();
	/// Asks the partner's strategy script about the proposer's offer; false when the call failed.
	bool AskProposedAlliance(int proposer, int partner, bool& accepted);

	// The player's commands, as the windows report them.

	/// A click on the map: the area under it (-1 for none) and whether the left button was pressed.
	void PressMap(int area, bool left);
	/// A button of the area window, with the selected row of its character list (-1 for none).
	void PressAreaButton(TAreaButton button, int row);
	/// A button of the master window.
	void PressMasterButton(TMasterButton button);
	/// The employ window's hire with the selected candidate (-1 for none), or its cancel.
	void ConfirmEmploy(int candidate);
	void CancelEmploy();
	/// The move window's OK with the positions chosen in each area, or its cancel.
	void ConfirmMove(const std::vector<int>& positions1, const std::vector<int>& positions2);
	void CancelMove();
	/// The war window's OK with the chosen (area, position) pairs, or its cancel.
	void ConfirmWar(const std::vector<std::pair<int, int>>& army);
	void CancelWar();
	/// A button of the found-hero window.
	void PressHeroButton(THeroButton button);
	/// The close button of a grid window.
	void CloseGrid(TWorldWindow window);
	/// "観戦中止": the battle goes on unseen and the map comes back.
	void StopWatching();
	/// A standing order chosen for the selected area (-1: no selection in the list).
	void SetAreaStandbyOperation(int operation);
	/// The pointer moved over the map point: the hover hint and marks, while the player may look.
	void HoverMap(int x, int y);
	/// The pointer left the map: the hint fades and the marks go.
	void LeaveMap();
	/// The pointer moved over something that is not the map, as a window over it: the hint fades.
	void HoverOffMap();

	// State, for the view and the tests.

	int GetStatus() const { return m_LogicStatus; }
	/// Area shown in the area window; -1 for none.
	int GetSelectedArea() const { return m_SelectedArea; }
	/// Area attacked by the current war; -1 for none.
	int GetWarTarget() const { return m_WarTarget; }
	/// Frames of the march so far, its length and its whole duration.
	int GetMarchFrame() const { return m_MarchFrame; }
	int GetMarchLength() const { return m_MarchLength; }
	int GetMarchTotal() const { return m_MarchTotal; }
	/// Whether "GameOver" has been called in this game.
	bool IsGameOverCalled() const { return m_GameOverCalled; }
	/// The battle, which the view steps once a frame.
	TWorldBattle* GetBattle() const { return m_Battle.get(); }
	/// The view the controller shows on.
	TWorldView& GetView() const { return m_View; }

private:
	/// Logs the error and stops the controller.
	void Stop(const std::string& error);
	/// Stops the map for good and tells the player with an "Error" dialog.
	void Halt();
	/// The game's first master after the set-up: a new game's, or the saved game's current one.
	void StartGame();
	/// Loads a script file found by name into the manager with this controller's context; false after the error.
	bool LoadScript(TMorvalethLuaManager& manager, const char* name, const char* notFound, const std::string& loadFailed,
		TScriptAPI* scriptApi);
	/// The event script with its flag table and "on_system_start", "world.lua" and one "strategy.lua" per master.
	bool LoadScripts();
	/// The script manager that acts for the master.
	TMorvalethLuaManager& Strategy(int master);
	/// The current master is played by the player.
	bool IsPlayerTurn() const;
	/// The master's name.
	const std::string& MasterName(int master) const;
	/// A message with an OK button and the configured time-out; the status after it closes.
	void ShowTimedMessage(const std::string& text, int nextStatus);
	/// An Information message with an OK button that waits for the player.
	void ShowInformation(const std::string& text);
	/// Fades the music out and plays the master's own, when music is on.
	void PlayMasterMusic(int master);
	/// The messages of the current master's alliances that ran out.
	void ReportExpiredAlliances();
	/// The windows of the player's turn with the master's area selected.
	bool ShowPlayerTurn();
	/// Hides every script window, when there is a script window manager.
	void HideScriptWindows();

	// Steps of the status machine.

	void ResumeStrategy();
	void ResumeWorldScript();
	void ResumeEventScript();
	void AfterBattle();
	void WaitForMessage();
	void AnswerDismissal();
	void AnswerAlliance();
	void WaitForBattle();
	/// Calls a function of "world.lua": stopped when it failed, the event kind while it yields, else done.
	bool CallWorldScript(const char* name, TWorldScriptEvent kind);
	/// The status after a run of the world script: the given one, or the next master when the turn-end
	/// button's script ended the turn.
	void FinishWorldScript(int status);

	// Wars.

	/// Whether the current master's army may march on the target: its own characters that have not acted,
	/// each once, from areas bordering the target; an Error otherwise.
	bool CheckArmy(int target, const std::vector<std::pair<int, int>>& army) const;
	/// Starts the march of the army, its pairs in (area, position) order.
	void StartMarch(int target, std::vector<std::pair<int, int>> army);
	/// One frame of the march.
	void March();
	/// The march has arrived: occupation or battle.
	void EndMarch();
	/// Copies the sides and starts the battle for the war target.
	void StartBattle();
	/// Restores the map after a battle that stopped after an error; the game state stays untouched.
	void AbandonBattle();

	// Alliances.

	/// Whether the current computer master may offer this alliance; an Error otherwise.
	bool CheckProposal(int partner, int turns, int price) const;
	/// The player clicked an area to offer its owner an alliance.
	void OfferAllianceTo(int area);

	// The player's windows.

	void SelectArea(int area);
	void UpdateHighlights();
	void MarkHoverArea(int area);
	bool OpenMoveWindow(int from, int to);
	void OpenWarWindow(int target);
	/// Back to the player's idle status with the selected area shown again.
	void ReturnToIdle();
	void PressEmploy(int row);
	void PressDismiss(int row);
	void PressTurnEnd();
	void HireHero();

	TWorldView& m_View;
	TMorvalethGame& m_Game;
	const TMorvalethData& m_Data;
	TGcnWidgetSet* m_WidgetSet;

	TMorvalethLuaManager m_EventScript;
	TMorvalethLuaManager m_WorldScript;
	std::vector<TMorvalethLuaManager> m_Strategies;
	std::unique_ptr<TWorldBattle> m_Battle;
	boost::shared_ptr<TScriptAPI> m_ScriptAPI;

	int m_LogicStatus;
	int m_StatusAfterMessage;
	int m_ScriptEvent;
	bool m_GameOverCalled;
	/// A script ended the turn while it ran; the turn passes once that run is over.
	bool m_EndTurnRequested;
	/// A partner's "on_proposed_alliance" runs: nothing may suspend it.
	bool m_AskingPartner;
	/// The set-up was for a new game, and its start waits for "on_system_start" to finish.
	bool m_NewGame;
	bool m_StartPending;
	/// Masters without their own character before "global_script" ran; those it leaves so besides fall.
	std::vector<int> m_DefeatedBeforeEvent;
	/// A fall after "global_script" is being cleaned up before the current master's turn begins.
	bool m_FallBeforeTurn;

	int m_SelectedArea;
	int m_MoveSource;
	int m_MoveDestination;
	int m_HoverFrames;
	int m_HoveredArea;
	int m_DismissArea;
	int m_DismissPosition;
	/// Area and position of the character that hires in the employ window.
	int m_EmployArea;
	int m_EmployEmployer;
	/// The found hero offered: its area and character definition.
	int m_HeroArea;
	int m_HeroChara;

	int m_WarTarget;
	int m_WarSource;
	int m_MarchFrame;
	int m_MarchLength;
	int m_MarchTotal;
	std::vector<std::pair<int, int>> m_Departures;
	std::vector<TCharaInstance> m_Attackers;
	std::vector<TCharaInstance> m_Defenders;

	int m_AlliancePartner;
	int m_AllianceTurns;
	int m_AllianceCost;
};

#endif
