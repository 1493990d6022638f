#include "battle/BattleMapLogic.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/HexGeometry.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace
{
/// Frames a move takes per cell and frames of a strike, by speed level 1..5.
const int FRAMES_PER_CELL[5] = {1, 2, 3, 4, 8};
const int ATTACK_FRAMES[5] = {2, 4, 8, 16, 32};
/// Power of all charas above which a computer-only battle counts as large.
const std::int64_t LARGE_BATTLE_POWER = 5000;
/// Strength of all charas from which a battle plays the decisive music.
const std::int64_t DECISIVE_STRENGTH = 10000;
const int DECISIVE_MUSIC = 1;

int ClampSpeed(int level)
{
	return std::max(1, std::min(level, 5));
}

// Power grows with HP: a chara's power value is in the thousands, so the product needs 64 bits.
std::int64_t Strength(const TCharaInstance& chara)
{
	return chara.HPMax > 0 ? static_cast<std::int64_t>(chara.Power) * chara.HP / chara.HPMax : 0;
}

int ClampToInt(std::int64_t value)
{
	return static_cast<int>(std::max<std::int64_t>(INT_MIN, std::min<std::int64_t>(INT_MAX, value)));
}

bool IsAlive(const TCharaInstance& chara)
{
	return chara.HP != 0 && !chara.Fled;
}
}

TBattleMapLogic::TBattleMapLogic(TBattleView& view, const TMorvalethData& data, TMorvalethGame& game)
	: m_View(view), m_Data(data), m_Game(game), m_ScriptAPI(nullptr), m_Selection(0, 0), m_MoveLayer(0, 0),
	  m_FromLayer(0, 0), m_State(STATE_IDLE), m_Watching(false), m_Failed(false), m_Winner(0), m_SpeedLevel(1),
	  m_FramesPerCell(FRAMES_PER_CELL[0]), m_AttackFrames(ATTACK_FRAMES[0]), m_Area(-1), m_PlacingSide(0),
	  m_PlacingIndex(0), m_PlacementSelected(-1), m_DefendersRoom(0), m_Commandable(false), m_Moved(false),
	  m_ComputerFrames(0), m_MoveFrame(0), m_MoveFrames(0), m_LastTarget{-1, 0}, m_WaitCounter(0),
	  m_ProgressPhase(0), m_ProgressDelay(-1), m_DelayUnit(0)
{
	m_Field.data = &data;
}

bool TBattleMapLogic::CheckBattleArguments(const std::vector<std::vector<TCharaInstance>*>& sides,
	const std::vector<int>& masters, const std::vector<std::vector<int>>& sources) const
{
	if (sides.empty() || masters.size() != sides.size() || sources.size() != sides.size()) {
		LOG_ERROR("%d sides, %d masters and %d source lists do not match", static_cast<int>(sides.size()),
			static_cast<int>(masters.size()), static_cast<int>(sources.size()));
		return false;
	}
	for (std::size_t s = 0; s < sides.size(); ++s) {
		if (!sides[s] || sources[s].size() != sides[s]->size()) {
			LOG_ERROR("side %d: its charas and their sources do not match", static_cast<int>(s));
			return false;
		}
		if (masters[s] < -1 || masters[s] >= m_Game.GetMasterCount()) {
			LOG_ERROR("side %d: no master %d", static_cast<int>(s), masters[s]);
			return false;
		}
	}
	return true;
}

bool TBattleMapLogic::Start(TBattleMap& map, const std::vector<std::vector<TCharaInstance>*>& sides,
	const std::vector<int>& masters, int area, const std::vector<std::vector<int>>& sources)
{
	m_Failed = false;
	m_Winner = 0;
	m_Watching = false;
	m_Field.map = &map;
	if (!CheckBattleArguments(sides, masters, sources)) {
		Fail("戦闘を開始できません。");
		return false;
	}
	m_Field.ClearLayers();
	m_Selection.Resize(map.GetWidth(), map.GetHeight());
	m_MoveLayer.Resize(map.GetWidth(), map.GetHeight());
	m_FromLayer.Resize(map.GetWidth(), map.GetHeight());
	m_View.BeginBattle(map, m_Selection);
	if (!map.BuildMapType(m_Data)) {
		Fail("戦闘マップの地形が作れないので戦闘を中止します。");
		return false;
	}
	ComputeMoveTotals();
	m_Field.sides = sides;
	// A summoner from a battle that stopped early has no summoned chara any more.
	ReleaseAllSummoners();
	m_Field.masters = masters;
	m_Area = area;
	m_Sources = sources;
	ResetBattleRecords();
	if (!LoadScripts())
		return false;
	for (std::vector<TCharaInstance>* side : m_Field.sides)
		for (TCharaInstance& chara : *side)
			chara.BattleX = -1;
	RebuildSprites();
	m_PlacingSide = 0;
	m_LastTarget = {-1, 0};
	m_Hovered = TCharaRef();
	m_Clock = TBattleClock();
	m_TurnsTaken = 0;
	m_State = STATE_PLACING;
	CallEverySide("on_battle_start");
	m_SpeedLevel = ClampSpeed(g_Config.GetIntValue(CONFIG_ANIMATION_SPEED));
	m_Watching = DecideWatching();
	UpdateSpeed();
	if (m_Watching)
		StartWatching();
	else {
		g_Logger.Debug("観戦なし");
		RefreshCharaListWindow(false);
	}
	g_Logger.Debug("Start");
	return !m_Watching;
}

void TBattleMapLogic::ResetBattleRecords()
{
	std::vector<int> areas;
	std::vector<int> freePlaces;
	m_DefendersRoom = m_Area >= 0 && m_Area < m_Game.GetAreaCount()
		? m_Game.GetOwnNeighborAreas(m_Area, areas, freePlaces) : 0;
	m_FleeList.clear();
	const std::size_t sideCount = m_Field.sides.size();
	m_MagicUses.assign(sideCount, std::vector<int>(m_Data.GetMagicCount(), 0));
	m_LimitedMagic.clear();
	for (int g = 0; g < m_Data.GetMagicGroupCount(); ++g) {
		for (int magic : m_Data.GetMagicGroupData(g).Magic) {
			const TMagicData& data = m_Data.GetMagicData(magic);
			if (data.Limit == 0)
				continue;
			for (const TMagicEntry& entry : data.Entries)
				m_LimitedMagic[entry.SpecialIndex] = magic;
		}
	}
	m_Field.dead.assign(sideCount, std::vector<int>());
	m_LastSpecials.assign(sideCount, std::map<int, int>());
	m_SideLastSpecial.assign(sideCount, -1);
	m_DeadList.clear();
	m_Active = TCharaRef();
	m_Moved = false;
	m_Commandable = false;
	m_ProgressPhase = 0;
	m_ProgressDelay = -1;
	m_WaitCounter = 0;
	m_AutoQueue.clear();
	m_ScriptRunKind = SCRIPT_RUN_NONE;
	m_CurrentSpecial = -1;
	UpdateRaceCommandTable();
	UpdateAutoSpecialList();
}

bool TBattleMapLogic::DecideWatching() const
{
	if (!HasNoPlayerSide())
		return true;
	if (!g_Config.GetBoolValue(SWITCH_WATCH_USE))
		return false;
	if (g_Config.GetBoolValue(SWITCH_WATCH_NO_NEUTRAL)
		&& std::find(m_Field.masters.begin(), m_Field.masters.end(), -1) != m_Field.masters.end())
		return false;
	std::int64_t power = 0;
	bool masterFights = false;
	for (const std::vector<TCharaInstance>* side : m_Field.sides) {
		for (const TCharaInstance& chara : *side) {
			power += chara.Power;
			masterFights = masterFights || m_Field.CharaData(chara).IsMaster;
		}
	}
	return !g_Config.GetBoolValue(SWITCH_WATCH_ONLY_LARGE) || power > LARGE_BATTLE_POWER
		|| !g_Config.GetBoolValue(SWITCH_WATCH_ONLY_MASTER) || masterFights;
}

void TBattleMapLogic::StartWatching()
{
	if (g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED))
		PlayBattleMusic();
	m_View.ShowMapWindow();
	UpdateGauges();
}

void TBattleMapLogic::PlayBattleMusic()
{
	int lastMaster = -1;
	int masterMusic = -1;
	bool masterFights = false;
	for (int side = 0; side < m_Field.SideCount(); ++side) {
		const int master = m_Field.masters[side];
		if (master < 0)
			continue;
		lastMaster = master;
		const TMasterData& data = m_Data.GetMasterData(m_Game.GetMaster(master).DataIndex);
		if (FindCharaInList(*m_Field.sides[side], data.CharaIndex) >= 0) {
			masterFights = true;
			masterMusic = data.MasterBattleMusicIndex;
		}
	}
	if (masterFights) {
		m_View.PlayMusic(masterMusic);
		return;
	}
	const int battleMusic = lastMaster >= 0
		? m_Data.GetMasterData(m_Game.GetMaster(lastMaster).DataIndex).BattleMusicIndex : -1;
	if (battleMusic != -1) {
		m_View.PlayMusic(battleMusic);
		return;
	}
	std::int64_t strength = 0;
	for (const std::vector<TCharaInstance>* side : m_Field.sides)
		for (const TCharaInstance& chara : *side)
			strength += Strength(chara);
	if (strength >= DECISIVE_STRENGTH)
		m_View.PlayCommonMusic(DECISIVE_MUSIC);
	else if (m_Area >= 0 && m_Area < m_Game.GetAreaCount() && m_Game.GetArea(m_Area).MusicIndex != -1)
		m_View.PlayMusic(m_Game.GetArea(m_Area).MusicIndex);
}

std::string TBattleMapLogic::SideName(int side) const
{
	if (side >= m_Field.SideCount() || m_Field.masters[side] < 0)
		return "中立軍";
	return m_Data.GetMasterData(m_Game.GetMaster(m_Field.masters[side]).DataIndex).Name + "軍";
}

void TBattleMapLogic::UpdateGauges()
{
	TSideGauges gauges;
	if (m_Area >= 0 && m_Area < m_Game.GetAreaCount())
		gauges.areaName = m_Game.GetArea(m_Area).Name;
	gauges.attackersName = SideName(1);
	gauges.defendersName = SideName(0);
	gauges.turn = m_Clock.turn;
	int* const force[2] = {&gauges.rightForce, &gauges.leftForce};
	int* const brave[2] = {&gauges.rightBrave, &gauges.leftBrave};
	for (int side = 0; side < std::min(2, m_Field.SideCount()); ++side) {
		std::int64_t strength = 0;
		std::int64_t courage = 0;
		for (const TCharaInstance& chara : *m_Field.sides[side]) {
			if (!IsAlive(chara))
				continue;
			strength += Strength(chara);
			courage += chara.Brave;
		}
		const std::size_t count = m_Field.sides[side]->size();
		*force[side] = ClampToInt(strength);
		*brave[side] = count ? ClampToInt(courage / static_cast<std::int64_t>(count)) : 0;
	}
	m_View.SetGauges(gauges);
}

bool TBattleMapLogic::HasNoPlayerSide() const
{
	for (int side = 0; side < m_Field.SideCount(); ++side)
		if (IsPlayerSide(side))
			return false;
	return true;
}

bool TBattleMapLogic::IsPlayerSide(int side) const
{
	if (side < 0 || side >= m_Field.SideCount() || m_Field.masters[side] < 0)
		return false;
	return m_Game.GetMaster(m_Field.masters[side]).Player;
}

void TBattleMapLogic::StopWatching()
{
	m_View.HideMapWindow();
	RefreshCharaListWindow(false);
	m_Watching = false;
}

void TBattleMapLogic::UpdateSpeed()
{
	const bool fullSpeed = !m_Watching || (HasNoPlayerSide() && g_Config.GetBoolValue(SWITCH_WATCH_MAX_SPEED));
	m_SpeedLevel = fullSpeed ? 1 : ClampSpeed(g_Config.GetIntValue(CONFIG_ANIMATION_SPEED));
	m_FramesPerCell = FRAMES_PER_CELL[m_SpeedLevel - 1];
	m_AttackFrames = ATTACK_FRAMES[m_SpeedLevel - 1];
	m_View.SetSpeed(m_SpeedLevel);
}

void TBattleMapLogic::ApplySpeedSetting()
{
	if (m_State == STATE_COMMAND || m_State == STATE_COMMAND_MOVED)
		UpdateSpeed();
}

bool TBattleMapLogic::IsInBattle() const
{
	return m_State != STATE_IDLE && m_State != STATE_STOPPED;
}

// A frame of a battle run unseen goes on while each step moves the battle to another state: it
// stops at the main step, which ends a chara's action, at a battle script that yielded, which is
// resumed a frame later, and at every state that waits for frames to pass (a message up, a script
// that has not answered yet), so that a frame always returns.
void TBattleMapLogic::DoLogic()
{
	if (!IsInBattle())
		return;
	int steps = 0;
	int previous;
	do {
		previous = m_State;
		Step();
	} while (!m_Watching && IsInBattle() && m_State != STATE_MAIN && m_State != STATE_SCRIPT && m_State != previous
		&& ++steps < UNWATCHED_STEPS_MAX);
	if (steps >= UNWATCHED_STEPS_MAX)
		LOG_ERROR("%d steps in one frame; the battle goes on next frame in state %d", steps, m_State);
}

void TBattleMapLogic::Step()
{
	switch (m_State) {
	case STATE_PLACING:
		PlacementStep();
		break;
	case STATE_BEGIN:
		for (std::vector<TCharaInstance>* side : m_Field.sides)
			for (TCharaInstance& chara : *side)
				chara.ActionGauge = 0;
		m_Selection.Fill(0);
		m_State = STATE_MAIN;
		break;
	case STATE_MAIN:
		MainStep();
		break;
	case STATE_TURN_PROGRESS:
		TurnProgressStep();
		break;
	case STATE_MOVING:
		MoveStep();
		break;
	case STATE_ATTACKING:
	case STATE_CHARGING:
		if (DoAttackingLogic())
			m_State = STATE_MAIN;
		break;
	case STATE_EFFECT:
		EffectStep();
		break;
	case STATE_WAITING:
		if (m_WaitCounter > 0)
			--m_WaitCounter;
		else
			m_State = STATE_MAIN;
		break;
	case STATE_COMMAND:
	case STATE_COMMAND_MOVED:
		ShortcutKeyStep();
		break;
	case STATE_COMPUTER:
		ComputerStep();
		break;
	case STATE_SCRIPT:
		ScriptStep();
		break;
	case STATE_DEATH_MESSAGE:
	case STATE_TURN_LIMIT:
	case STATE_RETREAT:
	case STATE_VICTORY:
		MessageStep();
		break;
	default:
		break;
	}
}

void TBattleMapLogic::MainStep()
{
	CallEverySide("on_battle_progress");
	UpdateGauges();
	UpdateSpeed();
	m_View.ClearPopups();
	if (CheckDeath() || DoAutoSpecialLogic() || CheckVictory())
		return;
	TCharaRef chosen;
	switch (SelectNextChara(m_Field, m_Clock, g_Config.GetIntValue(CONFIG_TURN_MAX), chosen)) {
	case TTurnOrder::TurnLimit:
		ReachTurnLimit();
		break;
	case TTurnOrder::TurnOver:
		BeginTurnProgress();
		break;
	case TTurnOrder::Chara:
		ChooseChara(chosen);
		break;
	}
}

void TBattleMapLogic::ComputeMoveTotals()
{
	m_MoveTotals.Compute(m_Data, *m_Field.map);
}

void TBattleMapLogic::ChooseChara(const TCharaRef& chosen)
{
	m_Active = chosen;
	m_Moved = false;
	m_Action = TBattleAction();
	++m_TurnsTaken;
	ComputeMoveLayer(chosen);
	m_DeadList.clear();
	const TCharaInstance& chara = Active();
	const point_t centre = CellCenterPixel(chara.BattleX, chara.BattleY);
	m_View.ScrollTo(centre.x, centre.y);
	m_Commandable = IsCommandable(chosen.side, chosen.index);
	if (!m_Commandable) {
		m_ComputerFrames = 0;
		m_State = STATE_COMPUTER;
		return;
	}
	// The player's side may leave a chara's turn to its script; the chara's gauge stays spent.
	if (WishesRunaway()) {
		m_Commandable = false;
		return;
	}
	m_View.SetCursor(chara.BattleX, chara.BattleY);
	ShowCommandMenu(false);
	m_View.SetBottomChara(&chara, chosen.side);
	m_View.SetStatusLine(FormatText("%sに命令を", m_Field.CharaData(chara).Name));
	m_State = STATE_COMMAND;
}

void TBattleMapLogic::ShowCommandMenu(bool moved)
{
	m_Menu = BuildCommandMenu(moved);
	m_View.ShowCommandBar(m_Menu);
}

void TBattleMapLogic::BeginTurnProgress()
{
	// A condition counts its age in battle turns: sleep and dreams end only after some of them.
	for (std::vector<TCharaInstance>* side : m_Field.sides)
		for (TCharaInstance& chara : *side)
			if (chara.HP != 0)
				AgeConditions(chara);
	m_ProgressPhase = 0;
	m_ProgressDelay = -1;
	m_State = STATE_TURN_PROGRESS;
}

// Unseen, the whole end of the turn runs in one frame; only the steps that do something count
// towards the bound, as the pauses between them show nothing to anybody.
void TBattleMapLogic::TurnProgressStep()
{
	const int bound = 256;
	int working = 0;
	bool done = false;
	do {
		const bool pausing = m_ProgressDelay >= 0 && m_ProgressDelay < m_SpeedLevel * m_DelayUnit;
		done = ProgressTurn();
		if (!pausing)
			++working;
	} while (!done && !m_Watching && working < bound);
	if (done) {
		g_Logger.Debug("ターン進行終了");
		// What the turn's end did has been shown: the next turn begins with nothing left over.
		m_View.ClearPopups();
		m_View.SetStatusLine(std::string());
		m_State = STATE_MAIN;
	} else if (!m_Watching) {
		LOG_ERROR("256フレームもターン進行にかかるわけない。プログラムのバグ？");
	}
}

void TBattleMapLogic::MoveStep()
{
	++m_MoveFrame;
	if (m_MoveFrame >= m_MoveFrames) {
		DoActionLogic();
		return;
	}
	int stepsBack = (m_MoveFrames - m_MoveFrame - 1) / m_FramesPerCell;
	point_t current = m_MoveTarget;
	while (stepsBack-- > 0)
		current = m_FromLayer.At(current.x, current.y);
	const TCharaInstance& chara = Active();
	TCharaSprite sprite;
	sprite.charaData = chara.CharaIndex;
	sprite.sideFlag = m_Active.side != 0;
	sprite.cell = m_FromLayer.At(current.x, current.y);
	sprite.target = current;
	sprite.progress = (m_MoveFrame % m_FramesPerCell) * 256 / m_FramesPerCell;
	m_View.SetSprite(chara.DrawSlot, sprite);
}

// Unseen, every use of a special plays at its first frame, so the whole special runs in one frame.
void TBattleMapLogic::EffectStep()
{
	int calls = 0;
	do
		DoEffectLogic();
	while (!m_Watching && m_State == STATE_EFFECT && ++calls < UNWATCHED_STEPS_MAX);
}

void TBattleMapLogic::ShortcutKeyStep()
{
	// The command buttons of the seven shortcuts, in shortcut order.
	static const int COMMAND_OF_SHORTCUT[SHORTCUT_COUNT] = {COMMAND_WAIT, COMMAND_MOVE, COMMAND_ATTACK,
		COMMAND_CHARGE, COMMAND_SPECIAL, COMMAND_MAGIC, COMMAND_RUNAWAY};
	int key = 0;
	if (!HearsPlayer() || !g_GameMaster.PeekKey(key))
		return;
	g_GameMaster.PopKey();
	int action = 0;
	if (g_Config.FindShortcutAction(key, action))
		CommandPressed(COMMAND_OF_SHORTCUT[action]);
}

void TBattleMapLogic::Fail(const std::string& error)
{
	g_Logger.Error(error);
	if (m_Field.map)
		m_Field.map->ReleaseMapType();
	m_View.EndBattle();
	m_Winner = 0;
	m_Failed = true;
	m_State = STATE_STOPPED;
}
