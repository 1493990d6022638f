#ifndef MORVALETH_BATTLE_BATTLEMAPLOGIC_H
#define MORVALETH_BATTLE_BATTLEMAPLOGIC_H

#include "battle/BattleField.h"
#include "battle/BattleView.h"
#include "battle/EffectResult.h"
#include "battle/MoveRules.h"
#include "battle/TurnOrder.h"
#include "script/BattleInterface.h"
#include "script/LuaManager.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

/// The game's database: characters, specials, magic, masters.
class TMorvalethData;
/// The game under way: masters, areas, and the making and ranking up of charas.
class TMorvalethGame;
/// The world map's registry of script windows.
class TScriptAPI;

/// States of the battle's frame state machine, one integer stepped once per frame.
enum TBattleState
{
	/// The player places a group of its side's charas on their start points, through the placement window.
	STATE_PLAYER_PLACING = 2,
	/// The sides are placed one after the other; a computer side at once.
	STATE_PLACING = 3,
	/// Everybody is placed: every action gauge empties, then the main step.
	STATE_BEGIN = 4,
	/// Between two actions: deaths, automatic specials and victory are looked at, then the next chara acts.
	STATE_MAIN = 5,
	/// The end of a battle turn: recoveries, HP, MP, poison and flight, with pauses between them.
	STATE_TURN_PROGRESS = 6,
	/// The acting chara walks to its move target, a cell every few frames.
	STATE_MOVING = 7,
	/// The exchange of strikes of an attack.
	STATE_ATTACKING = 8,
	/// The exchange of strikes of a charge.
	STATE_CHARGING = 9,
	/// A special plays, use after use.
	STATE_EFFECT = 10,
	/// A pause of some frames after a special, then the main step.
	STATE_WAITING = 11,
	/// The player chooses a command for a chara that has not moved (the shortcut keys work here).
	STATE_COMMAND = 12,
	/// The player chooses a command for a chara after its move; a right press undoes the move.
	STATE_COMMAND_MOVED = 13,
	/// The player chooses the cell to move to.
	STATE_CHOOSE_MOVE = 14,
	/// The player chooses the cell to attack.
	STATE_CHOOSE_ATTACK = 15,
	/// The player chooses the cell to charge.
	STATE_CHOOSE_CHARGE = 16,
	/// The player aims a special at a cell.
	STATE_CHOOSE_TARGET = 17,
	/// The magic window is open for the player to choose a magic.
	STATE_CHOOSE_MAGIC = 18,
	/// A computer chara's side script is called every frame until it commits an action.
	STATE_COMPUTER = 19,
	/// The battle script yielded: it is resumed once a frame until it finishes.
	STATE_SCRIPT = 20,
	/// The message naming the dead is up; then the main step.
	STATE_DEATH_MESSAGE = 21,
	/// The message that the last turn is over is up; then the attackers' retreat.
	STATE_TURN_LIMIT = 22,
	/// The message that the attackers retreat is up; then the battle ends.
	STATE_RETREAT = 23,
	/// The winner's message is up (watched only); then the battle ends.
	STATE_VICTORY = 24,
	/// No battle: before the first one and after each end.
	STATE_IDLE = 25,
	/// The battle stopped after an error (HasFailed holds).
	STATE_STOPPED = 26,
};

/// Frames a computer chara's script gets to commit an action before the chara waits.
const int COMPUTER_ACTION_FRAMES = 30;
/// Most state steps one frame of a battle run unseen takes.
const int UNWATCHED_STEPS_MAX = 10000;

/// Why the battle script runs in state 20: what happens once it has finished.
enum TScriptRunKind
{
	/// The battle script is not running.
	SCRIPT_RUN_NONE,
	/// A chara's automatic script: the main step goes on.
	SCRIPT_RUN_AUTO,
	/// A special's condition script: a true result lets the special start.
	SCRIPT_RUN_CONDITION,
	/// The script a special runs after its effect: a pause, then the main step.
	SCRIPT_RUN_EFFECT,
};

/// What a chara does by itself when a chara dies: a function of the battle script, or its automatic
/// special when the function is empty.
struct TAutoSpecial
{
	/// The TCharaEvent that makes it due.
	int event = 0;
	/// The chara whose character gives the entry, and who uses the special.
	TCharaRef chara;
	/// The battle script's function to call (the character's AutoScript); empty for its AutoSpecial.
	std::string function;
};

/// Runs one tactical battle at a time, one state step per frame (all the steps a frame can take when
/// the battle is not watched). It reaches its windows only through the view and takes the player's
/// input from the view's calls; the computer sides act through their scripts and the battle interface.
///
/// Its methods are spread by subject over these files of battle/:
/// - BattleMapLogic.cpp: construction, Start, watching, speed, music and gauges, DoLogic and the state
///   machine's own steps (main step, end of turn, walk, play of a special, shortcut keys), IsInBattle, Fail.
/// - BattlePlacement.cpp: placing the computer sides and the player's groups, the placement list's input.
/// - BattleCommands.cpp: the command bar and the player's input (keys, presses and pointer on the map,
///   command buttons, the magic chosen), the chara list and the full status sheet.
/// - BattleActions.cpp: the move, wait and flight, the capture of a city, and the actions as the scripts
///   see them: checked, listed (GetActionList), previewed (EvalAction) and committed (SetAction).
/// - BattleAttacks.cpp: attacks and charges, the exchange of strikes frame by frame.
/// - EffectPlay.cpp: the play of a special frame by frame, its images and the cells it strikes.
/// - BattleSpecials.cpp: automatic specials, the start of a special, its condition script, aim and targets.
/// - BattleScripts.cpp: loading and calling the side scripts and the battle script, the computer's turn.
/// - BattleEffects.cpp: applying effects (hit points, deaths, summoning, revival), experience, popups.
/// - BattleTurns.cpp: the end of a battle turn: recovery from conditions, HP, MP, poison, flight.
/// - BattleEnd.cpp: death messages, victory, the turn limit and the end of the battle.
/// - BattleRules.cpp: rules the states share: the move layer, sprites, who obeys the player, the use of
///   specials and flight, the checks of sides, charas and cells.
/// - BattleSlots.cpp: the plainer operations of the battle interface (map, charas, move types, map cells).
class TBattleMapLogic : public TBattleInterface
{
public:
	/// Idle (no battle) over the database and the game, which outlive the controller.
	TBattleMapLogic(TBattleView& view, const TMorvalethData& data, TMorvalethGame& game);

	// Running a battle (BattleMapLogic.cpp).

	/// The world map's script window registry, handed to every battle script.
	void SetScriptAPI(TScriptAPI* scriptApi) { m_ScriptAPI = scriptApi; }
	/// Prepares a battle on the map between the sides (0 defends) of the masters (-1 neutral) for the area;
	/// sources name, per chara, the neighbouring area it comes from (-1 for the defenders). True when the
	/// battle is not watched; false when it is, or when it failed to start (then HasFailed holds).
	bool Start(TBattleMap& map, const std::vector<std::vector<TCharaInstance>*>& sides, const std::vector<int>& masters,
		int area, const std::vector<std::vector<int>>& sources);
	/// One frame: one state step, or, unwatched, the steps up to the next frame's work.
	void DoLogic();
	/// The state of the state machine.
	int GetState() const { return m_State; }
	/// The side that won, once the battle is over (0 also after a failure or at the turn limit).
	int GetWinner() const { return m_Winner; }
	/// The last battle stopped after an error instead of ending.
	bool HasFailed() const { return m_Failed; }
	/// The battle is on screen; false while it runs unseen at full speed.
	bool IsWatching() const { return m_Watching; }
	/// Hides a computer-only battle and lets it run on at full speed.
	void StopWatching();
	/// No side is played by the player.
	bool HasNoPlayerSide() const;
	/// The player plays the side's master.
	bool IsPlayerSide(int side) const;
	/// Sets the speed level (1..5) from the settings and what the battle is, with its frame counts.
	void UpdateSpeed();
	/// The settings changed: the speed follows while the player chooses a command.
	void ApplySpeedSetting();
	/// The side of the chara whose turn it is.
	int GetActiveSide() const { return m_Active.side; }
	/// Speed level 1..5 (1 the fastest: the level of a battle run unseen or at full speed).
	int GetSpeedLevel() const { return m_SpeedLevel; }
	/// Frames the walk takes per cell at the speed level (1 to 8).
	int GetFramesPerCell() const { return m_FramesPerCell; }
	/// Frames one strike of an exchange takes at the speed level (2 to 32).
	int GetAttackFrames() const { return m_AttackFrames; }
	/// The battlefield as the rules see it.
	const TBattleField& GetField() const { return m_Field; }
	/// Turns charas have taken in this battle, one for each chara given its turn.
	int GetTurnsTaken() const { return m_TurnsTaken; }
	/// The action the last computer chara committed through SetAction (or the automatic special set up).
	const TBattleAction& GetCommittedAction() const { return m_Action; }

	// The player's input, as the view reports it (BattleCommands.cpp; the placement list in BattlePlacement.cpp).
	// None of it counts while the settings window is open: the battle waits behind it.

	/// A key went down: F1 shows the chara list, F2 hands the chara choosing a command to its side's script.
	void KeyPressed(int key);
	/// A press on a cell of the map, with the left button or another.
	void MapPressed(int x, int y, bool left);
	/// The pointer is over a cell of the map; x = -1 for none.
	void MapHovered(int x, int y);
	/// A button of the command bar was pressed.
	void CommandPressed(int command);
	/// A press on entry i of the placement list.
	void PlacementListPressed(int index);
	/// The player chose a special in the magic window, or -1 to choose another command.
	void MagicChosen(int special);

	// What the rules of the battle do, step by step (the move, wait and flight in BattleActions.cpp, the end
	// of a turn in BattleTurns.cpp, effects and hit points in BattleEffects.cpp).

	/// Starts the acting chara's move to the cell along the came-from layer.
	void StartMove(int x, int y);
	/// The acting chara arrives at its move target: the player chooses again, or the committed action runs.
	void DoActionLogic();
	/// The acting chara waits: its turn ends with part of its gauge back.
	void DoWaitLogic();
	/// The acting chara chooses to flee; it leaves when the turn ends.
	void DoRunawayLogic();
	/// One step of the end of a turn; true when every phase is done.
	bool ProgressTurn();
	/// Applies the effects that hit to the charas and the map; changed tells whether a chara died or joined
	/// the field. The open full status sheet follows.
	void ApplyEffectResult(const std::vector<TEffectResult>& results, bool& changed);
	/// Floats the values of the effects over the map.
	void ShowEffectPopups(const std::vector<TEffectResult>& results);
	/// Adds delta to the chara's hit points; true when it died of it.
	bool ChangeHP(int side, int index, int delta);

	// Effects, experience, summoning and revival (BattleEffects.cpp; the evaluation is in EffectRules.h), and
	// who may do what (BattleRules.cpp).

	/// The chara gains the experience of an action in which the dead charas died, with its rank rule;
	/// the summoner of a summoned chara gains with it.
	void AddExperience(const TCharaRef& chara, bool bonus, const std::vector<TCharaRef>& dead);
	/// Calls the result's character onto its empty cell for the summoner's side, the two linked.
	void ApplySummon(const TEffectResult& result, const TCharaRef& summoner);
	/// Brings the result's dead chara back in place, or a new chara of the result's character for the side.
	void ApplyRevive(const TEffectResult& result, int side);
	/// The summoned chara is gone from the battle (dead, fled, or the battle over): its summoner acts again.
	void ReleaseSummoner(const TCharaRef& summoned);
	/// Frees every summoner at the end of a battle: no summoned chara outlives it.
	void ReleaseAllSummoners();
	/// The chara takes the player's commands: a player side's chara not dreaming, and summoned, of its
	/// master's race or of a race a chara of its side commands.
	bool IsCommandable(int side, int index) const;
	/// The acting chara may use the special now as an action of the kind: a special action, within its MP
	/// and the per-battle limit of its magic (its own special only, when ownOnly is set).
	bool CanUseSpecial(bool ownOnly, int kind, int special) const;
	/// The chara of the side may flee from (x, y): no armed enemy next to it, and for a defender some room
	/// left in its side's neighbouring areas.
	bool CanFlee(int side, int index, int x, int y) const;

	// Actions: attacks, charges and the play of specials (BattleActions.cpp, BattleAttacks.cpp, EffectPlay.cpp).

	/// Sets up the acting chara's attack or charge on the cell (unseen, the whole exchange runs at once);
	/// false, nothing changed, when the cell holds nothing the chara may attack that way.
	bool DoSelectedAttackLogic(int x, int y, bool charge);
	/// One frame of the exchange of strikes; true when it is over.
	bool DoAttackingLogic();
	/// One frame of the play of the chosen special; after its last use the chara's action ends.
	void DoEffectLogic();
	/// Plans frame f of one use of the special from the caster's cell on the cells: shows its images and
	/// gives the cells that strike at f and whether the use ends with it.
	void PlanEffectFrame(point_t caster, const std::vector<point_t>& cells, int special, int frame,
		std::vector<point_t>& struck, bool& over);

	// Automatic specials and the start of a special (BattleSpecials.cpp, BattleScripts.cpp).

	/// Rebuilds the list of what the charas do by themselves when a chara dies; the dead keep their entries.
	void UpdateAutoSpecialList();
	/// Queues, in list order, the automatic entries that the death of the chara makes due.
	void ActivateAutoSpecial(int side, int index);
	/// Runs the first queued automatic entry; true when it started something that takes over the frame.
	bool DoAutoSpecialLogic();
	/// Starts the acting chara's special; with check, the special's condition script decides first.
	void UseSpecial(int special, bool check);
	/// The target cells of the use become the special's target set aimed from the caster's cell at a cell.
	void SetTargetCells(int casterX, int casterY, int aimX, int aimY, int special);
	/// Starts playing the chosen special aimed at the cell (state 10); a magic limited per battle counts one use.
	void StartEffect(int x, int y);
	/// Calls a function of the battle script; true when it yielded, the battle then resuming it in state 20.
	bool RunBattleScript(const std::string& function, int kind);
	/// The automatic entries of the battle, in side and list order.
	const std::vector<TAutoSpecial>& GetAutoSpecials() const { return m_AutoSpecials; }
	/// The automatic entries that deaths made due and that have not run yet, first first.
	const std::deque<TAutoSpecial>& GetAutoQueue() const { return m_AutoQueue; }
	/// The special being used or aimed, else the last one; -1 before the first of the battle.
	int GetCurrentSpecial() const { return m_CurrentSpecial; }
	/// The target set of the special being used, as it was aimed.
	const std::vector<point_t>& GetTargetCells() const { return m_TargetCells; }

	// The battle interface (BattleSlots.cpp; IsInBattle in BattleMapLogic.cpp, the actions in BattleActions.cpp).

	/// Neither idle nor stopped after an error.
	bool IsInBattle() const override;
	/// The battle turn of the clock, from 1.
	int GetTurn() const override { return m_Clock.turn; }
	/// Size of the map of the running or last battle; false, 0 x 0, before the first.
	bool GetMapSize(int& width, int& height) const override;
	/// Current height of a cell of the map; false, with an Error, off the map.
	bool GetMapHeight(int x, int y, int& height) const override;
	/// The map of the running or last battle; null before the first.
	TBattleMap* GetBattleMap() override { return m_Field.map; }
	/// The move type's cost summed over the map when the battle started, kept in step with changed cells;
	/// -1, with an Error, for an unknown move type.
	int GetMoveTypeCost(int moveType) const override;
	/// The move type's skill summed as its cost is; -1, with an Error, for an unknown move type.
	int GetMoveTypeSkill(int moveType) const override;
	/// A copy of the acting chara's move layer, filled when its turn began.
	TValueLayer<int> GetMovableLayer() const override { return m_MoveLayer; }
	/// Fills the layers as FillMoveLayer does; false, with an Error, outside a battle or for a side it lacks.
	bool GetMoveLayer(int side, const TCharaInstance& chara, int x, int y, int points, TValueLayer<int>& move,
		TValueLayer<point_t>& from, bool wallPassing) override;
	/// The side whose master has that definition; -1 when none (neutral sides have none).
	int GetSideIndex(int masterData) const override;
	/// The chara whose turn it is; -1, -1 before the battle's first turn.
	void GetActiveChara(int& side, int& index) const override;
	/// Charas on the side's list, the dead and fled included; -1, with an Error, for a bad side.
	int GetCharaCount(int side) const override;
	/// The chara standing on the cell; false when none, with an Error off the map.
	bool GetCharaOn(int x, int y, int& side, int& index) const override;
	/// The first chara of the side with the character definition; false when none, with an Error for a bad side.
	bool FindChara(int side, int charaData, int& index) const override;
	/// A copy of the chara; false, with an Error, for a bad side or index.
	bool GetCharaStatus(int side, int index, TCharaInstance& chara) const override;
	/// A new chara made by the game, placed nowhere.
	TCharaInstance CreateCharaInstance(int charaData, int rank) const override;
	/// The acting chara's actions from (x, y), as if it stood there: attacks, charges (without a move),
	/// specials at each aim that takes something, flight; empty, with an Error, when it cannot act from there.
	void GetActionList(int x, int y, std::vector<TBattleAction>& actions) override;
	/// Cell of the last attack or charge started in this battle; false while there was none.
	bool GetLastTarget(int& x, int& y) const override;
	/// True, with the previews, when the action list from (moveX, moveY) offers the action; false, with an
	/// Error naming EvalAction, otherwise. Nothing changes.
	bool EvalAction(int moveX, int moveY, int kind, int special, int targetX, int targetY,
		std::vector<TEffectPreview>& previews) override;
	/// Commits a computer chara's action (state 19 only) as EvalAction checks it: with a move the chara walks
	/// first and acts on arriving, else it acts at once. False, with an Error, when refused.
	bool SetAction(int moveX, int moveY, int kind, int special, int targetX, int targetY) override;
	/// The acting chara's cell to retreat to on its move layer, as FindRunawayCell finds it.
	bool GetAutoRunaway(point_t& cell) override;
	/// Sets the chara's courage, clamped to 0..100; an Error for a bad side or index.
	void SetCharaBrave(int side, int index, int value) override;
	/// Rebuilds the chara as another character, keeping its rank, experience, HP and MP and where and how it
	/// stands in the battle (cell, drawing slot, gauge, summon link, flight); false, with an Error, when refused.
	bool ChangeChara(int side, int index, int charaData) override;
	/// Changes the cell's terrain chip, the move totals following; false off the map or when refused.
	bool SetMapChip(int x, int y, int chip) override;
	/// Removes the cell's map object, if any, the move totals following; false off the map.
	bool RemoveMapObj(int x, int y) override;
	/// Removes the cell's map object when it is of the kind (0 is refused); false when nothing was removed.
	bool RemoveMapObjOfType(int x, int y, int kind) override;

private:
	// Start and the frame state machine (BattleMapLogic.cpp).

	/// Start's lists agree: as many masters and source lists as sides, a source per chara, every master
	/// existing or -1; false, with an Error naming the first mismatch, otherwise.
	bool CheckBattleArguments(const std::vector<std::vector<TCharaInstance>*>& sides, const std::vector<int>& masters,
		const std::vector<std::vector<int>>& sources) const;
	/// Clears what the last battle left and sets up this one's records: the defenders' room to flee, the
	/// uses of limited magic, the dead, the last specials, the race command table and the automatic list.
	void ResetBattleRecords();
	/// Puts a watched battle on screen: its music (when music is on), the map window and the gauges.
	void StartWatching();
	/// A battle with a player side is watched; a computer-only one when watching is on, no side is neutral
	/// (when that is asked for), and one of these holds: the large-only setting is off, the charas' power
	/// is above 5000, the master-only setting is off, a master's character fights.
	bool DecideWatching() const;
	/// The music of the last side whose master fights in person; else the last master's battle music; else
	/// the decisive common music for a strong battle; else the area's music, when it has one.
	void PlayBattleMusic();
	/// Sends the top pane the area, the side names, the turn and per side the strength of its living charas
	/// that have not fled (power scaled by HP) and their courage divided by the side's number of charas.
	void UpdateGauges();
	/// "<master's name>軍" for a side with a master; "中立軍" for a neutral or missing side.
	std::string SideName(int side) const;
	/// One state's work.
	void Step();
	/// Between actions: the side scripts' on_battle_progress, the gauges and speed; then a death message,
	/// a due automatic entry or the victory, else the next chara's turn or the end of the turn.
	void MainStep();
	/// Ages every living chara's conditions by a turn and starts the end of the turn (state 6).
	void BeginTurnProgress();
	/// The end of the turn: one step a frame watched, all of it in one frame unseen (at most 256 steps that
	/// do something); back to the main step once done.
	void TurnProgressStep();
	/// One frame of the walk: the sprite steps back along the came-from layer; on the last frame the chara arrives.
	void MoveStep();
	/// One frame of the play of a special; unseen, the whole special.
	void EffectStep();
	/// While the player chooses a command, a queued key bound to a shortcut presses its command button; keys
	/// wait while the settings window is open.
	void ShortcutKeyStep();
	/// The player's keys and presses reach the battle: the settings window is closed.
	bool HearsPlayer() const;
	/// Gives the chara its turn: its move layer, the map scrolled to it; a computer's chara goes to its
	/// script (state 19), a player's to the command bar (state 12) unless its side's script takes the turn.
	void ChooseChara(const TCharaRef& chara);
	/// Every move type's costs and skills summed over the map, for the scripts.
	void ComputeMoveTotals();
	/// Fills the command bar for the acting chara and shows it.
	void ShowCommandMenu(bool moved);
	/// Stops the battle after an error: it ends at once with the defenders holding, and HasFailed holds.
	void Fail(const std::string& error);

	// Scripts (BattleScripts.cpp; the condition script and the computer's aim in BattleSpecials.cpp).

	/// Loads battlecom.lua once per side (its master index set to the side) and battle.lua, each given this
	/// battle and the script API; the script log starts afresh. False, the battle stopped, when one cannot be
	/// found or loaded.
	bool LoadScripts();
	/// Calls the function in every side's script, or carries on a script that yielded.
	void CallEverySide(const char* function);
	/// The acting chara's side script answers check_wish_runaway true: the player's chara skips the command
	/// bar and its turn passes. A script that yielded answers no.
	bool WishesRunaway();
	/// One frame of a computer chara's turn: its side's on_chara_action runs or resumes until it commits an
	/// action; after COMPUTER_ACTION_FRAMES frames without one, the chara waits.
	void ComputerStep();
	/// Resumes the battle script once a frame; once it finishes, what its run kind calls for: the special
	/// starts, the pause after a special, or the main step. A resume that fails stops the battle.
	void ScriptStep();
	/// Runs the special's condition script: true when it has none or it answered true at once; false when it
	/// yielded (state 20 decides) or answered false (back to the main step).
	bool PassesConditionScript(int special);
	/// Where a computer chara aims the special over the range: its committed target when that is in range and
	/// the special takes something there, else the first such cell row by row; false when there is none.
	bool AimComputerSpecial(const TValueLayer<int>& range, point_t& aim) const;

	// Actions (BattleActions.cpp, BattleAttacks.cpp, EffectPlay.cpp).

	/// Checks what an action from the cell needs whatever its target: an acting chara standing on the field,
	/// a cell it may act from, and after a move neither a charge nor a special but its own; moved tells
	/// whether the action follows a move. False, with an Error naming the method, otherwise.
	bool CheckAction(point_t from, int kind, int special, bool& moved, const char* method) const;
	/// Checks the action's target as the action list from the cell offers it, the chara standing there: a wait
	/// always, flight, an attack or charge of a neighbour, a usable special aimed where it takes something.
	/// False, with an Error naming the method, otherwise.
	bool CheckActionTarget(point_t from, bool moved, int kind, int special, point_t target, const char* method) const;
	/// The armed acting chara may attack the cell (a neighbour, which the caller checks): a chara of another
	/// side (any other chara when dreaming), or an attacker an empty wall when the scenario has AttackWall.
	bool IsAttackTarget(point_t target) const;
	/// The acting chara may charge the cell: an attack target with no map object, never while dreaming.
	bool IsChargeTarget(point_t target) const;
	/// The acting chara may use the special now: magic it can cast or its own special, within its MP and the
	/// per-battle limit; after a move only its own special; none while dreaming.
	bool IsUsableSpecial(int special, bool moved) const;
	/// The specials the acting chara may use now, each once: the usable magic in group order (none after a
	/// move), then its own special.
	void GatherUsableSpecials(bool moved, std::vector<int>& specials) const;
	/// An aimed special (normal or stream range) takes something at the aim, which is in range; any other
	/// needs some cell in its target set where the chara stands.
	bool IsSpecialAim(point_t from, int special, point_t aim) const;
	/// Appends the special's actions from the cell: one for each aim that takes something, or one at the
	/// cell itself for a special without an aim.
	void AppendSpecialActions(point_t from, int special, std::vector<TBattleAction>& actions);
	/// Appends the cells in range from which the special would take something, in range order.
	void MarkTargetAims(point_t from, int special, std::vector<point_t>& aims);
	/// Stamps on the aim marks every cell within the radius of a chara on the field that the special takes.
	void MarkAroundTakenCharas(int special, int radius);
	/// Previews what the special used from the cell at the target would do on each cell it takes.
	void PreviewSpecial(point_t from, int special, point_t target, std::vector<TEffectPreview>& previews) const;
	/// Previews every strike of the exchange with the chara on the target, or the crash of an empty wall.
	void PreviewAttack(point_t target, bool charge, std::vector<TEffectPreview>& previews) const;
	/// Starts the action a computer chara (or an automatic special) committed, once it stands where it acts
	/// from; an attack that cannot start makes it wait, an unknown kind stops the battle.
	void CarryOutCommittedAction();
	/// Strikes the empty wall with the AttackWall special, played as any special is (state 10); always true.
	bool StartWallAttack(int x, int y);
	/// Frame 0 of a strike: the step's striker evaluates its attack (the first in a charge, else the step's
	/// entry) on the other chara; a hit sounds when watched.
	void StrikeFrame();
	/// After a strike's last frame: the exchange is over when a chara fell or no strike is left, else the next
	/// strike begins; true when over.
	bool EndStrike();
	/// The first step from step on whose striker can strike with its first attack (the target only when free
	/// to act); -1 when none is left of the charge's 32.
	int NextChargeStep(int step) const;
	/// Ends the exchange: experience to the survivor (the acting chara with its bonus), a surviving charger
	/// onto the fallen chara's cell, the sprites rebuilt.
	void FinishExchange(bool fallen);
	/// Watched, the striker's sprite leans towards the chara it strikes and back over the strike's frames.
	void ShowStrikePositions();
	/// At the start of each use: the cells of the target set that the special still takes.
	void BeginEffectUse();
	/// Evaluates and applies the special on the struck cells it still takes, floating the values; a death
	/// sounds when watched.
	void StrikeCells(const std::vector<point_t>& struck);
	/// After the last use: the MP paid (never below 0), experience, then the special's after script or a
	/// pause before the main step.
	void FinishEffect();

	/// The chara the acting chara strikes, which strikes back.
	TCharaRef m_Target;
	/// The struck chara's cell, which a charger that fells it takes.
	point_t m_TargetCell;
	/// The exchange is a charge.
	bool m_Charge = false;
	/// Step of the exchange: the attacker strikes on even steps, the struck chara on odd ones; -1 when over.
	int m_AttackStep = -1;
	/// Frame within the strike, 0 to the attack frames.
	int m_AttackFrame = 0;
	/// What the strike does, evaluated on its first frame and applied halfway through.
	std::vector<TEffectResult> m_StrikeResults;
	/// The cells the use of the special under way takes, kept when the use began.
	std::vector<point_t> m_EffectCells;
	/// Cells an aimed special would take something on, marked with the stamp of the last marking.
	TValueLayer<int> m_AimMarks{0, 0};
	/// The stamp of the last marking: a cell holding it is marked; a new marking needs no clearing.
	int m_AimStamp = 0;

	// Placement (BattlePlacement.cpp).

	/// Places the side being placed: a player's side through the placement window, a computer's at once;
	/// after the last side, the battle begins (state 4).
	void PlacementStep();
	/// Puts a computer side's groups on their start points in list order; false, the battle stopped, when a
	/// group has more charas than points.
	bool PlaceComputerSide(int side);
	/// The group that starts at chara start and its points: the charas coming from the same area on that
	/// area's free start points, or every chara of the side on the defenders' points (source -1).
	void PlaceComputerCharas(int side, int start, std::vector<point_t>& points, std::vector<TCharaInstance>& charas) const;
	/// The defenders' points: the city, wall and castle cells within 30 rings of the castle (at most 128), the
	/// castle cell, then the nearest cells within 9 rings up to 20 points.
	void GatherDefenderPoints(std::vector<point_t>& points) const;
	/// Opens the placement of the player's next group: its points framed and alone selectable, its list shown,
	/// the map scrolled to their middle (state 2). Too few points stop the battle.
	void StartPlayerPlacement();
	/// A press on the map while placing: the right button takes the group's chara off the cell, the left puts
	/// the selected one on a start point (taking off who stood there).
	void PlacementPressed(int x, int y, bool left);
	/// Takes the chara of the group being placed off the cell, back into the list.
	void TakeOffPlaced(int x, int y);
	/// Puts the selected list entry, when not yet placed, on the cell, and selects the next.
	void PlaceSelected(int x, int y);
	/// Selects the next unplaced entry after the selected one; the whole group placed, the next group or the
	/// end of the side's placement.
	void AdvancePlacement();
	/// Closes the placement window and goes on to the next side (state 3) or the battle's beginning (state 4).
	void FinishSidePlacement();

	// Deaths, victory and the end (BattleEnd.cpp).

	/// Shows the message naming the dead of the last action that have a death message or are masters (state
	/// 21); false when there is none. The dead list is cleared either way.
	bool CheckDeath();
	/// When at most one side stands: the fleeing leave, the status sheet and the chara list close, that side
	/// wins (0 when none), with its message when watched (state 24). False while two sides still stand.
	bool CheckVictory();
	/// True when at most one side stands (a standing chara and its master not fallen); side is that one, -1 for none.
	bool GetStandingSide(int& side) const;
	/// The side's master has a chara of its own on the side, and that chara is dead.
	bool MasterFellIn(int side) const;
	/// The last turn is over: the fleeing leave, the status sheet and the chara list close, the defenders hold
	/// (winner 0), and the message says how many turns went by (state 22).
	void ReachTurnLimit();
	/// Waits for the message to close: after a death message the main step, after the turn limit the
	/// attackers' retreat message, after that or the victory the end.
	void MessageStep();
	/// Ends the battle: summoners freed, the map types released, the battle windows gone (state 25).
	void EndBattle();

	// Applying effects (BattleEffects.cpp).

	/// Applies one hit result; true when a chara died or a chara joined the field.
	bool ApplyResult(const TEffectResult& result);
	/// Adds the special to the chara's received specials when the special is passed on.
	void ReceiveSpecial(TCharaInstance& chara, int special);
	/// The chara alone gains experience, with its rank rule.
	void GainExperience(const TCharaRef& ref, bool bonus, const std::vector<TCharaRef>& dead);

	// Turns (BattleTurns.cpp).

	/// Draws, chara by chara, for each condition that may end by itself (paralysis; sleep and dreams once
	/// three turns old); the first that ends is shown and starts a pause. True when one ended.
	bool RecoverFromCondition();
	/// The results of the HP, MP or poison phase for every living chara on the field: its recovery (none
	/// when 0), or the poison's damage, a twentieth of its HP maximum plus 0..9.
	void GatherRecoveries(int phase, std::vector<TEffectResult>& results) const;
	/// The charas that chose to flee leave the field (defenders only while their neighbouring areas have
	/// room); true when anyone left.
	bool CarryOutFlight();

	// Commands and input (BattleCommands.cpp).

	/// The command bar for the acting chara: its labels, and which buttons lead somewhere now.
	TCommandMenu BuildCommandMenu(bool moved) const;
	/// Whether one of the six cells around the centre, on the map, passes the test.
	bool AnyCellAround(point_t centre, const std::function<bool(point_t)>& test) const;
	/// Shades the neighbours of the cell that hold a map object, which no charge may take.
	void ShadeObjectsAround(int x, int y);
	/// Shows the command bar again as last offered, back in state 12 or 13.
	void ShowCommandBar();
	/// The cursor and the status line go once the player's command for the chara is given.
	void ClearCommandMarks();
	/// A press while choosing the move's cell: the left on another selectable cell starts the walk; the right,
	/// or the chara's own cell, brings the command bar back.
	void MovePressed(int x, int y, bool left);
	/// A press while choosing the cell to attack or charge: the left starts the exchange on a target, and does
	/// nothing elsewhere; the right brings the command bar back.
	void AttackPressed(int x, int y, bool left);
	/// A press while aiming a special: the left starts it at the cell; the right brings the command bar back.
	void TargetPressed(int x, int y, bool left);
	/// Colours the cells the special would take aimed at the cell under the pointer (blue for a boost, red
	/// otherwise); none where the aim is not selectable or takes nothing.
	void ShowAimMarks(int x, int y);
	/// The special a special or repeat button uses; -1 for a repeat with nothing to repeat.
	int CommandSpecial(int command) const;
	/// Puts the chara that moved back on its cell; the player chooses its command again (state 12).
	void UndoMove();
	/// Opens the full status sheet of the chara, which then follows its changes.
	void ShowCharaFullStatus(const TCharaRef& chara);
	/// Shows the chara list of every side; the flag as the view's ShowCharaList takes it (F1 sets it).
	void RefreshCharaListWindow(bool flag);

	// Rules the states share (BattleRules.cpp; the city and the move target in BattleActions.cpp).

	/// Fills the move and came-from layers for the chara's move from its cell with its move points.
	void ComputeMoveLayer(const TCharaRef& chara);
	/// Shades the selection layer but for the cell and its six neighbours.
	void MarkAroundCell(int x, int y);
	/// An attacker ending its action on a city takes it: the city is removed from the map.
	void CaptureCityObject();
	/// Rebuilds per side which races its charas command (their characters' BeastTamer lists).
	void UpdateRaceCommandTable();
	/// Gives every living chara on the map a drawing slot, and the view their sprites; the others get slot -1.
	void RebuildSprites();
	/// Redraws the chara standing on its cell, when it has a drawing slot.
	void UpdateCharaDrawRecord(const TCharaRef& chara);
	/// The open full status sheet shows its chara as it is now.
	void RefreshCharaFullStatus();
	/// The acting chara may act from the cell: its own, or one its turn's move layer reaches that is still
	/// free; false, with an Error naming the method, otherwise.
	bool CheckMoveTarget(int moveX, int moveY, const char* method) const;
	/// Some chara has the turn; false, with an Error naming the method, otherwise.
	bool HasActiveChara(const char* method) const;
	/// Makes the change to the cell, keeping the move totals in step with its map type while the battle has
	/// map types; the change's own result.
	bool ChangeMapCell(int x, int y, const std::function<bool()>& change);
	/// The side and index name a chara; false, with an Error naming the method, otherwise.
	bool CheckChara(int side, int index, const char* method) const;
	/// The cell lies on the map; false, with an Error naming the method, otherwise.
	bool CheckCell(int x, int y, const char* method) const;
	/// The chara whose turn it is; some chara must have it.
	TCharaInstance& Active() { return m_Field.Chara(m_Active); }
	/// The chara whose turn it is, read only.
	const TCharaInstance& Active() const { return m_Field.Chara(m_Active); }

	/// Where the battle shows itself and plays its sounds.
	TBattleView& m_View;
	/// The scenario's database.
	const TMorvalethData& m_Data;
	/// The game: masters, areas, new charas and rank-ups.
	TMorvalethGame& m_Game;
	/// Handed to the battle's scripts; null until SetScriptAPI.
	TScriptAPI* m_ScriptAPI;

	/// Map, sides and who stands where.
	TBattleField m_Field;
	/// Cells the player may choose: 0 selectable, anything else shaded.
	TValueLayer<int> m_Selection;
	/// Points the acting chara has left on reaching each cell, filled when its turn began; it may move to the
	/// cells above 0.
	TValueLayer<int> m_MoveLayer;
	/// The cell each cell of the move layer is reached from, which the walk follows back.
	TValueLayer<point_t> m_FromLayer;
	/// Per move type, its cost and skill over the whole map.
	TMoveTotals m_MoveTotals;

	/// The state of the state machine (a TBattleState).
	int m_State;
	/// The battle is on screen: decided at the start, cleared when the player stops watching.
	bool m_Watching;
	/// The last battle stopped after an error.
	bool m_Failed;
	/// The side that won; 0 until the battle is decided.
	int m_Winner;
	/// Speed level 1..5, which the next two follow.
	int m_SpeedLevel;
	/// Frames the walk takes per cell.
	int m_FramesPerCell;
	/// Frames one strike takes.
	int m_AttackFrames;

	/// The area fought for; -1 for none.
	int m_Area;
	/// Per side and chara, the neighbouring area it comes from (-1 for the defenders), which picks its start points.
	std::vector<std::vector<int>> m_Sources;
	/// The side being placed.
	int m_PlacingSide;
	/// The first chara of the player's group being placed, by its index in the side.
	int m_PlacingIndex;
	/// The start points of the player's group being placed.
	std::vector<point_t> m_PlacementPoints;
	/// Copies of the group's charas, which the placement list shows.
	std::vector<TCharaInstance> m_PlacementCharas;
	/// Per entry of the group, 1 once it stands on the map.
	std::vector<int> m_Placed;
	/// The entry of the placement list the next press places; -1 for none.
	int m_PlacementSelected;

	/// Per side, the uses in this battle of each magic (by magic index); only limited magic is counted.
	std::vector<std::vector<int>> m_MagicUses;
	/// Special index to the magic with a per-battle limit that lists it.
	std::map<int, int> m_LimitedMagic;
	/// Per side, chara index to the last special that chara used, for its repeat button.
	std::vector<std::map<int, int>> m_LastSpecials;
	/// Per side, the last special any of its charas used; -1 for none.
	std::vector<int> m_SideLastSpecial;
	/// Per side and race, 1 when a chara of the side commands that race.
	std::vector<std::vector<int>> m_RaceCommands;
	/// Charas that chose to flee this turn; they leave when the turn ends.
	std::vector<TCharaRef> m_FleeList;
	/// How many defenders may still flee: the free places of their side's neighbouring areas.
	int m_DefendersRoom;
	/// Charas that died since the acting chara's turn began or the last death message: the experience of the
	/// action counts them, the death message names them.
	std::vector<TCharaRef> m_DeadList;

	/// The battle turn and the gauge fills done in it.
	TBattleClock m_Clock;
	/// The chara whose turn it is, or who uses an automatic special.
	TCharaRef m_Active;
	/// The player commands the acting chara.
	bool m_Commandable;
	/// The acting chara has moved in this turn.
	bool m_Moved;
	/// The chara whose full status sheet was opened last, which the sheet follows.
	TCharaRef m_Hovered;
	/// The committed action of a computer chara.
	TBattleAction m_Action;
	/// Turns charas have taken in this battle.
	int m_TurnsTaken = 0;
	/// Frames the acting computer chara's script has had without committing.
	int m_ComputerFrames;
	/// Where the acting chara stood before its move, where an undone move puts it back.
	point_t m_PreviousCell;
	/// The cell the walk goes to, or the cell acted from without a move.
	point_t m_MoveTarget;
	/// Frames of the walk played.
	int m_MoveFrame;
	/// Frames the whole walk takes: the frames per cell times its cells.
	int m_MoveFrames;
	/// The cell of the last attack or charge started; x = -1 for none.
	point_t m_LastTarget;
	/// Frames left of the pause in state 11.
	int m_WaitCounter;
	/// The phase of the end of the turn under way.
	int m_ProgressPhase;
	/// Calls spent in the pause after a phase that did something; -1 for no pause.
	int m_ProgressDelay;
	/// Calls a pause lasts per speed level.
	int m_DelayUnit;
	/// The command bar as last offered.
	TCommandMenu m_Menu;

	/// What the charas do by themselves when a chara dies.
	std::vector<TAutoSpecial> m_AutoSpecials;
	/// The entries deaths made due, first first.
	std::deque<TAutoSpecial> m_AutoQueue;
	/// Why the battle script runs in state 20 (a TScriptRunKind).
	int m_ScriptRunKind = SCRIPT_RUN_NONE;
	/// The special being used or aimed; -1 for none yet.
	int m_CurrentSpecial = -1;
	/// How many uses of the special play: its character's count for the chara's own special, else 1.
	int m_SpecialCount = 0;
	/// The special's target set, as it was aimed.
	std::vector<point_t> m_TargetCells;
	/// The dead charas the target set takes (the ranges that reach a side's dead), beside its cells.
	std::vector<TCharaRef> m_TargetDead;
	/// The cell the special is aimed at.
	point_t m_EffectAim;
	/// Frame within the use being played.
	int m_EffectFrame = 0;
	/// Uses played so far.
	int m_EffectUses = 0;

	/// The scenario's battle events (battle.lua): automatic scripts and the specials' scripts.
	TMorvalethLuaManager m_BattleScript;
	/// One battlecom.lua per side, which plays the side's computer charas.
	std::vector<TMorvalethLuaManager> m_SideScripts;
};

#endif
