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

/// Statuses of the world-map turn. The player's statuses, from WORLD_PLAYER_IDLE to WORLD_NEXT_HERO, come
/// first and together: the map answers the pointer only within that range.
enum TWorldStatus
{
	/// Built; Setup has not run yet.
	WORLD_CONSTRUCTED = 0,
	/// The player's turn: map clicks and every button act.
	WORLD_PLAYER_IDLE = 1,
	/// After "移動": a left click on a neighbouring own area opens the move window, a right click gives up.
	WORLD_PICK_MOVE_DESTINATION = 2,
	/// The move window is open; a right click on the map cancels it.
	WORLD_MOVE_OPEN = 3,
	/// The employ window is open.
	WORLD_EMPLOY_OPEN = 4,
	/// The grid of the areas is open, until its close button.
	WORLD_AREA_GRID = 5,
	/// The grid of the masters is open, until its close button.
	WORLD_MASTER_GRID = 6,
	/// The grid of the heroes is open, until its close button.
	WORLD_HERO_GRID = 7,
	/// The power map is shown; the turn goes back to idle once it is hidden.
	WORLD_POWER_MAP = 8,
	/// After "戦争": a left click on an area the master may invade opens the war window, a right click gives up.
	WORLD_PICK_WAR_TARGET = 9,
	/// The war window is open; clicks on the master's areas next to the target pick the source area.
	WORLD_WAR_OPEN = 10,
	/// After "同盟": a left click on another master's area offers that master an alliance, a right click gives up.
	WORLD_PICK_ALLY = 11,
	/// A found hero is offered to the player.
	WORLD_HERO_OFFERED = 12,
	/// The next found hero is offered on the next frame, after the message of a hire that failed.
	WORLD_NEXT_HERO = 13,
	/// A computer master's strategy script runs.
	WORLD_STRATEGY = 14,
	/// An army marches on the war target, one step a frame.
	WORLD_MARCH = 15,
	/// The battle for the war target runs; its end is waited for.
	WORLD_BATTLE = 16,
	/// After a battle or an event: defeated masters go, the turn goes on.
	WORLD_AFTER_BATTLE = 17,
	/// The next master becomes current on the next frame.
	WORLD_NEXT_MASTER = 18,
	/// "world.lua" runs ("MasterDead", "GameOver", the turn-end button).
	WORLD_WORLD_SCRIPT = 19,
	/// "global_script" of the event script runs.
	WORLD_EVENT_SCRIPT = 20,
	/// A message is up; its close leads to the status after message.
	WORLD_MESSAGE = 21,
	/// The dismissal question is up; a consent dismisses the character once it closes.
	WORLD_DISMISS_QUESTION = 22,
	/// An alliance question is up: the player's own offer, or a computer master's offer to the player.
	WORLD_ALLIANCE_QUESTION = 23,
	/// The game is over and the program quits.
	WORLD_QUITTING = 24,
	/// Stopped after a script or data failure.
	WORLD_STOPPED = 25,
};

/// Why "world.lua" is resumed in WORLD_WORLD_SCRIPT.
enum TWorldScriptEvent
{
	/// None yet: no run of "world.lua" has begun.
	WORLD_EVENT_NONE = 0,
	/// "MasterDead", after a battle or an event that left a master without its own character.
	WORLD_EVENT_MASTER_DEAD = 1,
	/// "GameOver", once no player master is left.
	WORLD_EVENT_GAME_OVER = 2,
	/// "OnTurnEndButton", from the master window's "ターン終了".
	WORLD_EVENT_TURN_END = 3,
};

/// Buttons of the area window.
enum TAreaButton
{
	/// "移動": the player picks the neighbouring own area to move characters to.
	AREA_BUTTON_MOVE,
	/// "雇用": the selected character hires.
	AREA_BUTTON_EMPLOY,
	/// "解雇": the selected character is dismissed after a question.
	AREA_BUTTON_DISMISS
};
/// Buttons of the master window.
enum TMasterButton
{
	/// "エリア情報": the grid of the areas.
	MASTER_BUTTON_AREA_GRID,
	/// "勢力情報": the grid of the masters.
	MASTER_BUTTON_MASTER_GRID,
	/// "人材情報": the grid of the heroes.
	MASTER_BUTTON_HERO_GRID,
	/// "勢力地図": the power map.
	MASTER_BUTTON_POWER_MAP,
	/// "同盟": the player picks the master to offer an alliance.
	MASTER_BUTTON_ALLIANCE,
	/// "戦争": the player picks the area to attack.
	MASTER_BUTTON_WAR,
	/// "ターン終了": "OnTurnEndButton" of "world.lua" decides.
	MASTER_BUTTON_TURN_END,
};
/// Buttons of the found-hero window.
enum THeroButton
{
	/// "詳細": the hero's full status.
	HERO_BUTTON_STATUS,
	/// "雇う": hired when the funds, the area's room and the hero's will allow.
	HERO_BUTTON_HIRE,
	/// "雇わない": the next found hero, or the player's turn.
	HERO_BUTTON_DECLINE
};

/// The controller of the strategic map: it runs every master's turn, the computer masters through their
/// strategy scripts and the player through the windows, marches armies, starts battles and applies their
/// results, handles alliance offers and ends the game. It reaches its windows only through its view.
///
/// Its methods lie in six files:
/// - WorldMapLogic.cpp: construction, set-up and the loading of the scripts, the turn from master to master
///   and the start of a master's turn, the event script's flags in a save, the settings, and the engine
///   functions FocusArea and EndTurn;
/// - WorldStatus.cpp: the per-frame status machine (Logic and its steps: scripts resumed, messages,
///   questions and battles waited for, the clean-up after a battle), the hover hint, GetAreaAt and
///   GetAreaBattleMap;
/// - WorldPlayerHover.cpp: the pointer over the map and off it (HoverMap, LeaveMap, HoverOffMap);
/// - WorldCommands.cpp: the player's commands (clicks on the map by status, the buttons of the area,
///   master, employ, move, war, hero and grid windows, "観戦中止", the standing orders) and the rings and
///   marks they set;
/// - WorldWar.cpp: wars: the army's check, Departure, the march, the occupation of an empty area, the
///   battle's start, its result (OnBattleEnd) and its abandonment after a failure;
/// - WorldAlliance.cpp: alliances: a computer master's offer (CheckProposal, ProposeAlliance), the
///   partner's answer (AskProposedAlliance) and the player's offer (OfferAllianceTo).
class TWorldMapLogic : public TWorldMapControl, public TWorldMapInterface
{
public:
	/// A controller of the game on the database, showing on the view, fighting its wars with the battle
	/// (without one, a war on a defended area stops the controller).
	TWorldMapLogic(TWorldView& view, TMorvalethGame& game, const TMorvalethData& data, TGcnWidgetSet* widgetSet,
		std::unique_ptr<TWorldBattle> battle = nullptr);
	/// The scripts and the battle go with the controller; the game and the view stay.
	~TWorldMapLogic() override;

	// Life of a game.

	/// Windows, script windows, battle and scripts; then the first master of a new game, or the saved
	/// game's current master. A failure leaves the controller stopped.
	void Setup(bool newGame, bool gameOverCalled, TiXmlElement* saveRoot) override;
	/// Appends "LuaEvent" with the event script's flag table to the save's root; false when the table is too large to load.
	bool SaveLuaEvent(TiXmlElement* saveRoot) override;
	/// Reads the event script's flag table from the save's "LuaEvent"; false after an Error.
	bool LoadLuaEvent(TiXmlElement* saveRoot);
	/// Takes changed settings over: the battle's speed; music switched off fades out, music switched on
	/// brings the player master's music back when none plays outside a battle.
	void ApplyConfig() override;
	/// Stopped after a script or data failure (WORLD_STOPPED); nothing moves on after it.
	bool HasStopped() const override { return m_LogicStatus == WORLD_STOPPED; }

	// The turn.

	/// One frame of the status machine, the hover hint's count first; the view calls it once a frame.
	void Logic();
	/// The next master becomes current, with "global_script" at a new turn or at the end of the game.
	void AdvanceMaster();
	/// The current master's turn begins: its strategy, or the player's found heroes.
	void StartCurrentMaster();
	/// After "global_script": a master the event left without its own character falls as after a battle
	/// before the turn goes on; otherwise the current master's turn begins.
	void StartTurnAfterEvent();
	/// The player's turn with its windows, the alliances that ran out and the master's music; or the computer
	/// master's "on_myturn", whose failure halts the map.
	void StartMasterStrategy();
	/// Offers the player the next found hero; without one the player's turn begins.
	void CheckFoundHero();
	/// Keeps, shows or fades the hint over the area under the map point (x = -1: the hovered area).
	void UpdateHoverText(int x, int y, bool keep);
	/// The first area not ignored whose marker holds the map point; -1 for none.
	int GetAreaAt(int x, int y) const;
	/// The battle map the area is fought on; null for none, or for no such area.
	TBattleMap* GetAreaBattleMap(int area) const;

	// What the engine functions ask.

	/// Centres the map on the area; an area out of range is logged and ignored.
	void FocusArea(int area) override;
	/// Hides the player's windows and fades the music; the turn passes once the script that asked has run to
	/// its end. Refused, with an Error, while a partner answers an alliance offer.
	void EndTurn() override;
	/// The march of an army checked by CheckArmy; refused, with an Error, from any script but the strategy of
	/// the computer master whose turn it is, while a partner answers an offer, or after the turn was ended.
	void Departure(int target, const std::vector<std::pair<int, int>>& departures) override;
	/// A computer master's offer: a refused one (logged) is settled at once with true; a player partner is
	/// asked with a question and a computer partner through its strategy. False while a question or message
	/// waits for the player, or after asking the partner failed and halted the map.
	bool ProposeAlliance(int partner, int turns, int price) override;

	// Wars and alliances.

	/// Applies the result of the battle that has just ended: the map comes back, every character goes where
	/// the outcome puts it, the area's levels follow the battle map, the heroes of a fallen area wander, and
	/// "MasterDead" runs when a master lost its own character.
	void OnBattleEnd();
	/// Asks the partner's strategy script about the proposer's offer; false when the call failed or the partner
	/// waited for frames (logged), which it may not.
	bool AskProposedAlliance(int proposer, int partner, bool& accepted);

	// The player's commands, as the windows report them.

	/// A click on the map: the area under it (-1 for none) and whether the left button was pressed.
	void PressMap(int area, bool left);
	/// A button of the area window, with the selected row of its character list (-1 for none).
	void PressAreaButton(TAreaButton button, int row);
	/// A button of the master window.
	void PressMasterButton(TMasterButton button);
	/// The employ window's hire with the selected candidate (-1 for none); the area shows again after a hire.
	void ConfirmEmploy(int candidate);
	/// The employ window's cancel: nothing hired, the player's turn goes on.
	void CancelEmploy();
	/// The move window's OK with the positions chosen in each area (ascending); an Error dialog when the game
	/// refuses the move.
	void ConfirmMove(const std::vector<int>& positions1, const std::vector<int>& positions2);
	/// The move window's cancel: nothing moves.
	void CancelMove();
	/// The war window's OK with the chosen (area, position) pairs: the army marches, or after a refusal the
	/// player keeps the turn with the windows acting again.
	void ConfirmWar(const std::vector<std::pair<int, int>>& army);
	/// The war window's cancel: no war, the player's turn goes on.
	void CancelWar();
	/// A button of the found-hero window.
	void PressHeroButton(THeroButton button);
	/// The close button of a grid window; the player's turn goes on.
	void CloseGrid(TWorldWindow window);
	/// "観戦中止": the battle goes on unseen and the map comes back.
	void StopWatching();
	/// A standing order chosen for the selected area (-1: no selection in the list); taken only for an area of
	/// the current master.
	void SetAreaStandbyOperation(int operation);
	/// The pointer moved over the map point: the hover hint and marks, while the player may look.
	void HoverMap(int x, int y);
	/// The pointer left the map: the hint fades and the marks go.
	void LeaveMap();
	/// The pointer moved over something that is not the map, as a window over it: the hint fades.
	void HoverOffMap();

	// State, for the view and the tests.

	/// The status of the machine (a TWorldStatus).
	int GetStatus() const { return m_LogicStatus; }
	/// Area shown in the area window; -1 for none.
	int GetSelectedArea() const { return m_SelectedArea; }
	/// Area attacked by the current war; -1 for none.
	int GetWarTarget() const { return m_WarTarget; }
	/// Frames of the march so far.
	int GetMarchFrame() const { return m_MarchFrame; }
	/// Frames a chip takes from its area to the target, at least 1.
	int GetMarchLength() const { return m_MarchLength; }
	/// Frames of the whole march: its length and the staggered starts of the largest group from one area.
	int GetMarchTotal() const { return m_MarchTotal; }
	/// Whether "GameOver" has been called in this game.
	bool IsGameOverCalled() const { return m_GameOverCalled; }
	/// The battle, which the view steps once a frame; null when the controller has none.
	TWorldBattle* GetBattle() const { return m_Battle.get(); }
	/// The view the controller shows on.
	TWorldView& GetView() const { return m_View; }

private:
	/// Logs the error and halts the map.
	void Stop(const std::string& error);
	/// Stops the map for good and tells the player with an "Error" dialog; the system menu comes back in full
	/// so that a saved game may be loaded. Once stopped, nothing more happens.
	void Halt();
	/// The game's first master after the set-up: a new game's, or the saved game's current one.
	void StartGame();
	/// Loads a script file found by name into the manager with this controller's context; false after the error.
	bool LoadScript(TMorvalethLuaManager& manager, const char* name, const char* notFound, const std::string& loadFailed,
		TScriptAPI* scriptApi);
	/// The event script with its flag table and "on_system_start", "world.lua" and one "strategy.lua" per master;
	/// false after the error, the map halted. The script log starts afresh.
	bool LoadScripts();
	/// The strategy script of the master instance; out of range throws.
	TMorvalethLuaManager& Strategy(int master);
	/// The current master exists and is played by the player.
	bool IsPlayerTurn() const;
	/// The master's name.
	const std::string& MasterName(int master) const;
	/// A message with an OK button and the configured time-out; the status after it closes.
	void ShowTimedMessage(const std::string& text, int nextStatus);
	/// An Information message with an OK button that waits for the player.
	void ShowInformation(const std::string& text);
	/// Fades the music out and plays the master's own, when music is on.
	void PlayMasterMusic(int master);
	/// One timed Information for the current master's alliances whose turns have run out.
	void ReportExpiredAlliances();
	/// Centres the map on the current master's area, selects it and shows the master window and the system
	/// menu in full; false, the map halted, when the master stands in no area.
	bool ShowPlayerTurn();
	/// Hides every script window, when there is a script window manager.
	void HideScriptWindows();

	// Steps of the status machine.

	/// Resumes the current computer master's waiting strategy; once it waits no more, the next master.
	void ResumeStrategy();
	/// Resumes "world.lua"; once it is over, the turn-end button's run goes back to the player's turn (or on to
	/// the next master when it ended the turn), the others to the clean-up after a battle. A failed resume
	/// halts the map.
	void ResumeWorldScript();
	/// Resumes the event script; once it is over, the game's pending start, the quit at the end of the game,
	/// or the turn after "global_script". A failed resume halts the map.
	void ResumeEventScript();
	/// The clean-up after a battle or an event: defeated masters removed, "GameOver" once when no player master
	/// is left, then the turn goes on with the master, its strategy or the next master.
	void AfterBattle();
	/// The status after the message, once the message has closed.
	void WaitForMessage();
	/// Once the question has closed, a consent dismisses the character; the player's turn goes on.
	void AnswerDismissal();
	/// Once the question has closed: a computer master's offer is made on consent and its strategy goes on;
	/// the player's offer, on consent, is put to a computer partner's strategy and made or refused.
	void AnswerAlliance();
	/// Once the battle runs no more, its result is applied, or the map halts after its failure.
	void WaitForBattle();
	/// Calls a function of "world.lua"; true when it ran to its end at once. False when it failed (the map
	/// halts) or waits for frames (WORLD_WORLD_SCRIPT resumes it, remembering the kind).
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
	/// Restores the map after a battle that stopped after an error and halts the map; the game state stays
	/// untouched.
	void AbandonBattle();

	// Alliances.

	/// Whether the current computer master may offer this alliance; an Error otherwise.
	bool CheckProposal(int partner, int turns, int price) const;
	/// The player clicked an area to offer its owner an alliance.
	void OfferAllianceTo(int area);

	// The player's windows.

	/// Selects the area (-1: none) with the selection's ring alone, and shows it in the area window, its
	/// commands usable when the current master owns it.
	void SelectArea(int area);
	/// The rings of a war alone: the target's and the chosen source area's.
	void UpdateHighlights();
	/// Marks every area of the hovered area's owner (the current master's in another colour), or the neutral
	/// area alone; while idle the selected area keeps its ring instead.
	void MarkHoverArea(int area);
	/// Opens the move window between two neighbouring areas of the current master with their route pulsing;
	/// false, nothing opened, for any other pair.
	bool OpenMoveWindow(int from, int to);
	/// Opens the war window on the target with no source yet, the routes to the master's neighbouring areas
	/// pulsing.
	void OpenWarWindow(int target);
	/// Back to the player's idle status with the selected area shown again.
	void ReturnToIdle();
	/// The area window's hire: the employ window for the selected character, or an Information saying why not.
	void PressEmploy(int row);
	/// The area window's dismissal: the question for the selected character, or an Information saying why
	/// not (the master's own character never goes).
	void PressDismiss(int row);
	/// "OnTurnEndButton" of "world.lua"; the turn passes once it has run, when it ended the turn.
	void PressTurnEnd();
	/// Hires the offered hero and offers the next; a hero short of funds, of room or unwilling gives a timed
	/// message first.
	void HireHero();

	/// Where every window, message and sound of the map goes.
	TWorldView& m_View;
	/// The game state the turn changes.
	TMorvalethGame& m_Game;
	/// The scenario's definitions: names, music, costs.
	const TMorvalethData& m_Data;
	/// Keeps the script windows' widgets; null in tests without a screen.
	TGcnWidgetSet* m_WidgetSet;

	/// "EventScript.lua": "on_system_start", "global_script" and the flag table a save keeps.
	TMorvalethLuaManager m_EventScript;
	/// "world.lua": "MasterDead", "GameOver" and "OnTurnEndButton".
	TMorvalethLuaManager m_WorldScript;
	/// One "strategy.lua" per master instance, by master index.
	std::vector<TMorvalethLuaManager> m_Strategies;
	/// Fights the wars on defended areas; null when there is none.
	std::unique_ptr<TWorldBattle> m_Battle;
	/// The windows scripts open, made at the set-up and shared with the battle.
	boost::shared_ptr<TScriptAPI> m_ScriptAPI;

	/// The status of the machine (a TWorldStatus).
	int m_LogicStatus;
	/// The status WORLD_MESSAGE leads to once the message closes.
	int m_StatusAfterMessage;
	/// Why "world.lua" runs or waits (a TWorldScriptEvent).
	int m_ScriptEvent;
	/// "GameOver" has run in this game; a save keeps it, so that it runs once.
	bool m_GameOverCalled;
	/// A script ended the turn while it ran; the turn passes once that run is over.
	bool m_EndTurnRequested;
	/// A partner's "on_proposed_alliance" runs: nothing may suspend it.
	bool m_AskingPartner;
	/// The set-up was for a new game: its start advances to the first master instead of going on with the
	/// saved current one.
	bool m_NewGame;
	/// "on_system_start" waits for frames; the game starts once it is over.
	bool m_StartPending;
	/// Masters without their own character before "global_script" ran; those it leaves so besides fall.
	std::vector<int> m_DefeatedBeforeEvent;
	/// A fall after "global_script" is being cleaned up before the current master's turn begins.
	bool m_FallBeforeTurn;

	/// The area shown in the area window; -1 for none.
	int m_SelectedArea;
	/// The two areas of the open move window.
	int m_MoveSource;
	int m_MoveDestination;
	/// Frames the pointer has rested on the hovered area; the hint shows once they make 3/60 of a second.
	int m_HoverFrames;
	/// The area under the pointer for the hint; -1 for none.
	int m_HoveredArea;
	/// Area and position of the character the dismissal question is about.
	int m_DismissArea;
	int m_DismissPosition;
	/// Area and position of the character that hires in the employ window.
	int m_EmployArea;
	int m_EmployEmployer;
	/// The found hero offered: its area and character definition.
	int m_HeroArea;
	int m_HeroChara;

	/// The area the war is on, from its pick to the battle's result; -1 for none.
	int m_WarTarget;
	/// The source area picked in the war window, ringed; -1 for none.
	int m_WarSource;
	/// Frames of the march so far.
	int m_MarchFrame;
	/// Frames a chip takes from its area to the target, at least 1, so that positions never divide by 0.
	int m_MarchLength;
	/// Frames of the whole march; it ends on the frame after the count reaches them.
	int m_MarchTotal;
	/// The marching army's (area, position) pairs, sorted.
	std::vector<std::pair<int, int>> m_Departures;
	/// Copies of both sides that the battle changes in place; applied to the game only after a battle that ended.
	std::vector<TCharaInstance> m_Attackers;
	std::vector<TCharaInstance> m_Defenders;

	/// The alliance the open question is about: partner master, turns and price.
	int m_AlliancePartner;
	int m_AllianceTurns;
	int m_AllianceCost;
};

#endif
