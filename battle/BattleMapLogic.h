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

class TMorvalethData;
class TMorvalethGame;
class TScriptAPI;

/// States of the battle's frame state machine, one integer stepped once per frame.
enum TBattleState
{
	STATE_PLAYER_PLACING = 2,
	STATE_PLACING = 3,
	STATE_BEGIN = 4,
	STATE_MAIN = 5,
	STATE_TURN_PROGRESS = 6,
	STATE_MOVING = 7,
	STATE_ATTACKING = 8,
	STATE_CHARGING = 9,
	STATE_EFFECT = 10,
	STATE_WAITING = 11,
	STATE_COMMAND = 12,
	STATE_COMMAND_MOVED = 13,
	STATE_CHOOSE_MOVE = 14,
	STATE_CHOOSE_ATTACK = 15,
	STATE_CHOOSE_CHARGE = 16,
	STATE_CHOOSE_TARGET = 17,
	STATE_CHOOSE_MAGIC = 18,
	STATE_COMPUTER = 19,
	STATE_SCRIPT = 20,
	STATE_DEATH_MESSAGE = 21,
	STATE_TURN_LIMIT = 22,
	STATE_RETREAT = 23,
	STATE_VICTORY = 24,
	STATE_IDLE = 25,
	STATE_STOPPED = 26,
};

/// Frames a computer chara's script gets to commit an action before the chara waits.
const int COMPUTER_ACTION_FRAMES = 30;
/// Most state steps one frame of a battle run unseen takes.
const int UNWATCHED_STEPS_MAX = 10000;

/// Why the battle script runs in state 20: what happens once it has finished.
enum TScriptRunKind
{
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
	TCharaRef chara;
	std::string function;
};

/// Runs one tactical battle at a time, one state step per frame (all the steps a frame can take when
/// the battle is not watched). It reaches its windows only through the view and takes the player's
/// input from the view's calls; the computer sides act through their scripts and the battle interface.
class TBattleMapLogic : public TBattleInterface
{
public:
	/// Idle (no battle) over the database and the game, which outlive the controller.
	TBattleMapLogic(TBattleView& view, const TMorvalethData& data, TMorvalethGame& game);

	// Running a battle.

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
	/// The battle is not on screen and runs at full speed.
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
	/// Speed level 1..5, frames a move takes per cell and frames of a strike.
	int GetSpeedLevel() const { return m_SpeedLevel; }
	int GetFramesPerCell() const { return m_FramesPerCell; }
	int GetAttackFrames() const { return m_AttackFrames; }
	/// The battlefield as the rules see it.
	const TBattleField& GetField() const { return m_Field; }
	/// Turns charas have taken in this battle, and the action the last computer chara committed.
	int GetTurnsTaken() const { return m_TurnsTaken; }
	const TBattleAction& GetCommittedAction() const { return m_Action; }

	// The player's input, as the view reports it.

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

	// What the rules of the battle do, step by step.

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
	/// Applies effects to the charas and the map; changed tells whether a chara died.
	void ApplyEffectResult(const std::vector<TEffectResult>& results, bool& changed);
	/// Floats the values of the effects over the map.
	void ShowEffectPopups(const std::vector<TEffectResult>& results);
	/// Adds delta to the chara's hit points; true when it died of it.
	bool ChangeHP(int side, int index, int delta);

	// Effects, experience, summoning and revival (BattleEffects.cpp; the evaluation is in EffectRules.h).

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
	/// The chara takes the player's commands.
	bool IsCommandable(int side, int index) const;
	/// The acting chara may use special s now as an action of the kind (own special only, when set).
	bool CanUseSpecial(bool ownOnly, int kind, int special) const;
	/// The chara of the side may flee from (x, y).
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
	/// The automatic entries of the battle, and those due, first first.
	const std::vector<TAutoSpecial>& GetAutoSpecials() const { return m_AutoSpecials; }
	const std::deque<TAutoSpecial>& GetAutoQueue() const { return m_AutoQueue; }
	/// The special being used and the cells it takes.
	int GetCurrentSpecial() const { return m_CurrentSpecial; }
	const std::vector<point_t>& GetTargetCells() const { return m_TargetCells; }

	// The battle interface.

	bool IsInBattle() const override;
	int GetTurn() const override { return m_Clock.turn; }
	bool GetMapSize(int& width, int& height) const override;
	bool GetMapHeight(int x, int y, int& height) const override;
	TBattleMap* GetBattleMap() override { return m_Field.map; }
	int GetMoveTypeCost(int moveType) const override;
	int GetMoveTypeSkill(int moveType) const override;
	TValueLayer<int> GetMovableLayer() const override { return m_MoveLayer; }
	bool GetMoveLayer(int side, const TCharaInstance& chara, int x, int y, int points, TValueLayer<int>& move,
		TValueLayer<point_t>& from, bool wallPassing) override;
	int GetSideIndex(int masterData) const override;
	void GetActiveChara(int& side, int& index) const override;
	int GetCharaCount(int side) const override;
	bool GetCharaOn(int x, int y, int& side, int& index) const override;
	bool FindChara(int side, int charaData, int& index) const override;
	bool GetCharaStatus(int side, int index, TCharaInstance& chara) const override;
	TCharaInstance CreateCharaInstance(int charaData, int rank) const override;
	void GetActionList(int x, int y, std::vector<TBattleAction>& actions) override;
	bool GetLastTarget(int& x, int& y) const override;
	bool EvalAction(int moveX, int moveY, int kind, int special, int targetX, int targetY,
		std::vector<TEffectPreview>& previews) override;
	bool SetAction(int moveX, int moveY, int kind, int special, int targetX, int targetY) override;
	bool GetAutoRunaway(point_t& cell) override;
	void SetCharaBrave(int side, int index, int value) override;
	bool ChangeChara(int side, int index, int charaData) override;
	bool SetMapChip(int x, int y, int chip) override;
	bool RemoveMapObj(int x, int y) override;
	bool RemoveMapObjOfType(int x, int y, int kind) override;

private:
	// Start and the frame state machine (BattleMapLogic.cpp).

	bool CheckBattleArguments(const std::vector<std::vector<TCharaInstance>*>& sides, const std::vector<int>& masters,
		const std::vector<std::vector<int>>& sources) const;
	void ResetBattleRecords();
	void StartWatching();
	bool DecideWatching() const;
	void PlayBattleMusic();
	void UpdateGauges();
	std::string SideName(int side) const;
	/// One state's work.
	void Step();
	void MainStep();
	void BeginTurnProgress();
	void TurnProgressStep();
	void MoveStep();
	void EffectStep();
	void ShortcutKeyStep();
	void ChooseChara(const TCharaRef& chara);
	/// Every move type's costs and skills summed over the map, for the scripts.
	void ComputeMoveTotals();
	/// Fills the command bar for the acting chara and shows it.
	void ShowCommandMenu(bool moved);
	/// Stops the battle after an error: it ends at once with the defenders holding, and HasFailed holds.
	void Fail(const std::string& error);

	// Scripts (BattleScripts.cpp).

	bool LoadScripts();
	void CallEverySide(const char* function);
	bool WishesRunaway();
	void ComputerStep();
	void ScriptStep();
	bool PassesConditionScript(int special);
	bool AimComputerSpecial(const TValueLayer<int>& range, point_t& aim) const;

	// Actions (BattleActions.cpp, BattleAttacks.cpp, EffectPlay.cpp).

	bool CheckAction(point_t from, int kind, int special, bool& moved, const char* method) const;
	bool CheckActionTarget(point_t from, bool moved, int kind, int special, point_t target, const char* method) const;
	bool IsAttackTarget(point_t target) const;
	bool IsChargeTarget(point_t target) const;
	bool IsUsableSpecial(int special, bool moved) const;
	void GatherUsableSpecials(bool moved, std::vector<int>& specials) const;
	bool IsSpecialAim(point_t from, int special, point_t aim) const;
	void AppendSpecialActions(point_t from, int special, std::vector<TBattleAction>& actions);
	void MarkTargetAims(point_t from, int special, std::vector<point_t>& aims);
	void MarkAroundTakenCharas(int special, int radius);
	void PreviewSpecial(point_t from, int special, point_t target, std::vector<TEffectPreview>& previews) const;
	void PreviewAttack(point_t target, bool charge, std::vector<TEffectPreview>& previews) const;
	void CarryOutCommittedAction();
	bool StartWallAttack(int x, int y);
	void StrikeFrame();
	bool EndStrike();
	int NextChargeStep(int step) const;
	void FinishExchange(bool fallen);
	void ShowStrikePositions();
	void BeginEffectUse();
	void StrikeCells(const std::vector<point_t>& struck);
	void FinishEffect();

	/// The exchange of strikes under way: the chara struck and its cell, whether it is a charge, the
	/// step (-1 when over), the frame within the strike and the strike's results.
	TCharaRef m_Target;
	point_t m_TargetCell;
	bool m_Charge = false;
	int m_AttackStep = -1;
	int m_AttackFrame = 0;
	std::vector<TEffectResult> m_StrikeResults;
	/// The cells the use of the special under way takes, kept when the use began.
	std::vector<point_t> m_EffectCells;
	/// Cells an aimed special would take something on, marked with the stamp of the last marking.
	TValueLayer<int> m_AimMarks{0, 0};
	int m_AimStamp = 0;

	// Placement (BattlePlacement.cpp).

	void PlacementStep();
	bool PlaceComputerSide(int side);
	void PlaceComputerCharas(int side, int start, std::vector<point_t>& points, std::vector<TCharaInstance>& charas) const;
	void GatherDefenderPoints(std::vector<point_t>& points) const;
	void StartPlayerPlacement();
	void PlacementPressed(int x, int y, bool left);
	void TakeOffPlaced(int x, int y);
	void PlaceSelected(int x, int y);
	void AdvancePlacement();
	void FinishSidePlacement();

	// Deaths, victory and the end (BattleEnd.cpp).

	bool CheckDeath();
	bool CheckVictory();
	bool GetStandingSide(int& side) const;
	bool MasterFellIn(int side) const;
	void ReachTurnLimit();
	void MessageStep();
	void EndBattle();

	// Applying effects (BattleEffects.cpp).

	/// Applies one hit result; true when a chara died or a chara joined the field.
	bool ApplyResult(const TEffectResult& result);
	/// Adds the special to the chara's received specials when the special is passed on.
	void ReceiveSpecial(TCharaInstance& chara, int special);
	/// The chara alone gains experience, with its rank rule.
	void GainExperience(const TCharaRef& ref, bool bonus, const std::vector<TCharaRef>& dead);

	// Turns (BattleTurns.cpp).

	bool RecoverFromCondition();
	void GatherRecoveries(int phase, std::vector<TEffectResult>& results) const;
	bool CarryOutFlight();

	// Commands and input (BattleCommands.cpp).

	TCommandMenu BuildCommandMenu(bool moved) const;
	/// Whether one of the six cells around the centre, on the map, passes the test.
	bool AnyCellAround(point_t centre, const std::function<bool(point_t)>& test) const;
	void ShadeObjectsAround(int x, int y);
	void ShowCommandBar();
	/// The cursor and the status line go once the player's command for the chara is given.
	void ClearCommandMarks();
	void MovePressed(int x, int y, bool left);
	void AttackPressed(int x, int y, bool left);
	void TargetPressed(int x, int y, bool left);
	void ShowAimMarks(int x, int y);
	int CommandSpecial(int command) const;
	void UndoMove();
	void ShowCharaFullStatus(const TCharaRef& chara);
	void RefreshCharaListWindow(bool flag);

	// Rules the states share (BattleRules.cpp).

	void ComputeMoveLayer(const TCharaRef& chara);
	void MarkAroundCell(int x, int y);
	void CaptureCityObject();
	void UpdateRaceCommandTable();
	void RebuildSprites();
	void UpdateCharaDrawRecord(const TCharaRef& chara);
	void RefreshCharaFullStatus();
	bool CheckMoveTarget(int moveX, int moveY, const char* method) const;
	bool HasActiveChara(const char* method) const;
	bool ChangeMapCell(int x, int y, const std::function<bool()>& change);
	bool CheckChara(int side, int index, const char* method) const;
	bool CheckCell(int x, int y, const char* method) const;
	TCharaInstance& Active() { return m_Field.Chara(m_Active); }
	const TCharaInstance& Active() const { return m_Field.Chara(m_Active); }

	TBattleView& m_View;
	const TMorvalethData& m_Data;
	TMorvalethGame& m_Game;
	TScriptAPI* m_ScriptAPI;

	/// Map, sides and who stands where.
	TBattleField m_Field;
	/// Cells the player may choose: 0 selectable, anything else shaded.
	TValueLayer<int> m_Selection;
	/// Points the acting chara has left on each cell, and the cell each is reached from.
	TValueLayer<int> m_MoveLayer;
	TValueLayer<point_t> m_FromLayer;
	/// Per move type, its cost and skill over the whole map.
	TMoveTotals m_MoveTotals;

	int m_State;
	bool m_Watching;
	bool m_Failed;
	int m_Winner;
	int m_SpeedLevel;
	int m_FramesPerCell;
	int m_AttackFrames;

	/// The area fought for and, per side and chara, the neighbouring area it comes from.
	int m_Area;
	std::vector<std::vector<int>> m_Sources;
	/// The side being placed, the first chara of its group and the group's points, charas and placed flags.
	int m_PlacingSide;
	int m_PlacingIndex;
	std::vector<point_t> m_PlacementPoints;
	std::vector<TCharaInstance> m_PlacementCharas;
	std::vector<int> m_Placed;
	int m_PlacementSelected;

	/// Per side, the uses of each magic with a per-battle limit; the limited magic listing each special.
	std::vector<std::vector<int>> m_MagicUses;
	std::map<int, int> m_LimitedMagic;
	/// Per side, the last special each chara used and the last the side used (-1 none).
	std::vector<std::map<int, int>> m_LastSpecials;
	std::vector<int> m_SideLastSpecial;
	/// Per side, the races its charas command.
	std::vector<std::vector<int>> m_RaceCommands;
	/// Charas that chose to flee this turn, and how many defenders may still flee.
	std::vector<TCharaRef> m_FleeList;
	int m_DefendersRoom;
	/// Charas that died since the last death message.
	std::vector<TCharaRef> m_DeadList;

	TBattleClock m_Clock;
	TCharaRef m_Active;
	bool m_Commandable;
	bool m_Moved;
	TCharaRef m_Hovered;
	/// The committed action of a computer chara.
	TBattleAction m_Action;
	int m_TurnsTaken = 0;
	/// Frames the acting computer chara's script has had without committing.
	int m_ComputerFrames;
	/// The move under way: where from, where to and its frames.
	point_t m_PreviousCell;
	point_t m_MoveTarget;
	int m_MoveFrame;
	int m_MoveFrames;
	point_t m_LastTarget;
	int m_WaitCounter;
	/// The end of a turn: its phase, its delay and the delay's unit.
	int m_ProgressPhase;
	int m_ProgressDelay;
	int m_DelayUnit;
	/// The command bar as last offered.
	TCommandMenu m_Menu;

	/// What the charas do by themselves when a chara dies, and what is due, first first.
	std::vector<TAutoSpecial> m_AutoSpecials;
	std::deque<TAutoSpecial> m_AutoQueue;
	/// Why the battle script runs in state 20 (a TScriptRunKind).
	int m_ScriptRunKind = SCRIPT_RUN_NONE;
	/// The special being used, its uses left to play, its target cells and the dead charas they take.
	int m_CurrentSpecial = -1;
	int m_SpecialCount = 0;
	std::vector<point_t> m_TargetCells;
	std::vector<TCharaRef> m_TargetDead;
	/// The cell the special is aimed at, the frame of its play and the uses played.
	point_t m_EffectAim;
	int m_EffectFrame = 0;
	int m_EffectUses = 0;

	TMorvalethLuaManager m_BattleScript;
	std::vector<TMorvalethLuaManager> m_SideScripts;
};

#endif
