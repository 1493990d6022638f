#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/EffectRules.h"
#include "battle/HexGeometry.h"
#include "battle/MagicRules.h"
#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"

#include <algorithm>

namespace
{
/// Id of the special a chara strikes an empty wall with.
const char* const ATTACK_WALL = "AttackWall";

/// Stands the acting chara on the cell it would act from while the rules look at an action from there,
/// and puts it back where it stands when done: what it would strike, heal or summon from there is
/// then what it will really strike once it has moved.
class TStandIn
{
public:
	TStandIn(TBattleField& field, const TCharaRef& chara, point_t cell)
		: m_Field(field), m_Chara(chara), m_Home{field.Chara(chara).BattleX, field.Chara(chara).BattleY},
		  m_Moved(cell != m_Home)
	{
		if (m_Moved)
			Move(cell);
	}
	~TStandIn()
	{
		if (m_Moved)
			Move(m_Home);
	}
	TStandIn(const TStandIn&) = delete;
	TStandIn& operator=(const TStandIn&) = delete;

private:
	void Move(point_t cell)
	{
		m_Field.Vacate(m_Chara);
		m_Field.Put(m_Chara, cell.x, cell.y);
	}

	TBattleField& m_Field;
	TCharaRef m_Chara;
	point_t m_Home;
	bool m_Moved;
};

bool HasAim(int rangeType)
{
	return rangeType == RANGE_NORMAL || rangeType == RANGE_STREAM;
}

/// The cells a special with a point of aim may be aimed at from the cell: the area within its range,
/// nearest first, or its six lines in neighbour order.
void GatherRangeCells(const TBattleField& field, int side, point_t from, const TSpecialData& data,
	std::vector<point_t>& cells)
{
	cells.clear();
	if (data.RangeType == RANGE_NORMAL) {
		GetNeighborCells(from.x, from.y, field.Width(), field.Height(), std::min(data.MaxRange, NEIGHBOR_RING_MAX),
			cells);
		return;
	}
	std::vector<TCharaRef> dead;
	for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
		const point_t towards = GetAdjacentCell(from.x, from.y, k);
		GetTargetCells(field, side, from, towards, data.MaxRadius, RANGE_STREAM, 0, cells, dead);
	}
}

TEffectPreview PreviewOf(const TBattleField& field, const TEffectResult& result)
{
	TEffectPreview preview;
	preview.x = result.x;
	preview.y = result.y;
	TCharaRef ref;
	if (field.CharaOn(result.x, result.y, ref)) {
		preview.side = ref.side;
		preview.index = ref.index;
	}
	preview.value = result.value;
	preview.reviveChara = result.reviveChara;
	preview.summonChara = result.summonChara;
	preview.effect = result.effect;
	if (result.special >= 0) {
		const TSpecialData& data = field.data->GetSpecialData(result.special);
		if (result.effect == EFFECT_CHANGERESISTANCE) {
			preview.resistanceAttribute = data.ResistanceAttribute;
			preview.resistance = data.ResistanceLevel;
		} else if (result.effect == EFFECT_CHANGEMOVETYPE) {
			preview.moveType = data.MoveType;
		}
	}
	return preview;
}
}

void TBattleMapLogic::StartMove(int x, int y)
{
	m_View.SetHover(-1, -1, -1);
	const TCharaInstance& chara = Active();
	const point_t start = {chara.BattleX, chara.BattleY};
	// Every reachable cell leads back to the chara's cell; the bound guards against one that does not.
	int steps = 0;
	const int bound = m_Field.Width() * m_Field.Height();
	for (point_t cell = {x, y}; cell != start; cell = m_FromLayer.At(cell.x, cell.y)) {
		if (++steps > bound) {
			LOG_ERROR("(%d,%d) does not lead back to (%d,%d)", x, y, start.x, start.y);
			return;
		}
	}
	m_MoveTarget = {x, y};
	m_Moved = true;
	m_MoveFrames = m_FramesPerCell * steps;
	m_MoveFrame = 0;
	if (!m_Watching) {
		DoActionLogic();
		return;
	}
	m_State = STATE_MOVING;
}

void TBattleMapLogic::DoActionLogic()
{
	TCharaInstance& chara = Active();
	m_Field.Vacate(m_Active);
	m_PreviousCell = {chara.BattleX, chara.BattleY};
	m_Field.Put(m_Active, m_MoveTarget.x, m_MoveTarget.y);
	UpdateCharaDrawRecord(m_Active);
	if (m_Commandable) {
		m_View.SetCursor(chara.BattleX, chara.BattleY);
		const point_t centre = CellCenterPixel(chara.BattleX, chara.BattleY);
		m_View.ScrollTo(centre.x, centre.y);
		ShowCommandMenu(true);
		m_State = STATE_COMMAND_MOVED;
		return;
	}
	CarryOutCommittedAction();
}

// The action was checked when it was committed; should its start fail all the same, the chara waits
// rather than standing in the middle of its turn for ever.
void TBattleMapLogic::CarryOutCommittedAction()
{
	switch (m_Action.kind) {
	case ACTION_KIND_WAIT:
		DoWaitLogic();
		break;
	case ACTION_KIND_RUNAWAY:
		DoRunawayLogic();
		break;
	case ACTION_KIND_ATTACK:
	case ACTION_KIND_CHARGE:
		if (!DoSelectedAttackLogic(m_Action.targetX, m_Action.targetY, m_Action.kind == ACTION_KIND_CHARGE)) {
			LOG_ERROR("the attack on (%d,%d) could not start: %s waits", m_Action.targetX, m_Action.targetY,
				m_Field.CharaData(Active()).Name);
			DoWaitLogic();
		}
		break;
	case ACTION_KIND_SPECIAL:
		UseSpecial(m_Action.special, true);
		break;
	default:
		Fail("AI routine error.");
		break;
	}
}

// The refund follows whether the chara moved, watched or not.
void TBattleMapLogic::DoWaitLogic()
{
	m_View.SetHover(-1, -1, -1);
	CaptureCityObject();
	AddExperience(m_Active, false, m_DeadList);
	Active().ActionGauge += m_Moved ? 100 : 200;
	RebuildSprites();
	m_State = STATE_MAIN;
}

void TBattleMapLogic::DoRunawayLogic()
{
	CaptureCityObject();
	AddExperience(m_Active, false, m_DeadList);
	m_FleeList.push_back(m_Active);
	Active().Fleeing = true;
	m_State = STATE_MAIN;
}

// An attacker that ends its action on a city takes it: the city is gone from the map.
void TBattleMapLogic::CaptureCityObject()
{
	const TCharaInstance& chara = Active();
	if (m_Active.side != 0 && m_Field.map->GetMapObjectType(chara.BattleX, chara.BattleY) == MAP_OBJECT_CITY)
		RemoveMapObj(chara.BattleX, chara.BattleY);
}

bool TBattleMapLogic::CheckMoveTarget(int moveX, int moveY, const char* method) const
{
	// The move layer was filled when the chara's turn began; a cell taken since is no longer free.
	const TCharaInstance& chara = Active();
	if ((moveX == chara.BattleX && moveY == chara.BattleY)
		|| (m_MoveLayer.Contains(moveX, moveY) && m_MoveLayer.At(moveX, moveY) > 0
			&& m_Field.sideLayer.At(moveX, moveY) == -1))
		return true;
	g_Logger.Error(FormatText("TBattleMapLogic::%s error:移動できない座標(%d,%d)が指定されました。", method, moveX, moveY));
	return false;
}

// What does not depend on the target: a chara standing on the field to act, a cell it reaches, and after
// a move no charge and no special but its own.
bool TBattleMapLogic::CheckAction(point_t from, int kind, int special, bool& moved, const char* method) const
{
	if (!HasActiveChara(method))
		return false;
	const TCharaInstance& chara = Active();
	TCharaRef standing;
	if (!m_Field.CharaOn(chara.BattleX, chara.BattleY, standing) || !(standing == m_Active)) {
		g_Logger.Error(FormatText("TBattleMapLogic::%s error:行動中のキャラが戦場にいません。", method));
		return false;
	}
	if (!CheckMoveTarget(from.x, from.y, method))
		return false;
	moved = m_Moved || from != point_t{chara.BattleX, chara.BattleY};
	if (moved
		&& (kind == ACTION_KIND_CHARGE
			|| (kind == ACTION_KIND_SPECIAL && special != m_Field.CharaData(chara).Special))) {
		g_Logger.Error(FormatText(
			"TBattleMapLogic::%s error:移動後は不可能な操作（突撃または魔法）が指定されました。", method));
		return false;
	}
	return true;
}

// An action is accepted exactly when the action list from its cell offers it.
bool TBattleMapLogic::CheckActionTarget(point_t from, bool moved, int kind, int special, point_t target,
	const char* method) const
{
	switch (kind) {
	case ACTION_KIND_WAIT:
		return true;
	case ACTION_KIND_RUNAWAY:
		if (CanFlee(m_Active.side, m_Active.index, from.x, from.y))
			return true;
		g_Logger.Error(FormatText("TBattleMapLogic::%s error:(%d,%d)からは逃走できません。", method, from.x, from.y));
		return false;
	case ACTION_KIND_ATTACK:
	case ACTION_KIND_CHARGE:
		if (kind == ACTION_KIND_CHARGE && m_Field.map->IsOnMap(target.x, target.y)
			&& m_Field.map->GetMapObjectType(target.x, target.y) != 0) {
			g_Logger.Error(FormatText("TBattleMapLogic::%s error:突撃できない座標(%d,%d)が指定されました。", method,
				target.x, target.y));
			return false;
		}
		if (m_Field.map->IsOnMap(target.x, target.y) && IsAdjacentCell(from.x, from.y, target.x, target.y)
			&& (kind == ACTION_KIND_ATTACK ? IsAttackTarget(target) : IsChargeTarget(target)))
			return true;
		g_Logger.Error(FormatText("TBattleMapLogic::%s error:攻撃できない座標(%d,%d)が指定されました。", method,
			target.x, target.y));
		return false;
	case ACTION_KIND_SPECIAL:
		if (!IsUsableSpecial(special, moved)) {
			g_Logger.Error(FormatText("TBattleMapLogic::%s error:使えない特殊能力 %d が指定されました。", method, special));
			return false;
		}
		if (IsSpecialAim(from, special, target))
			return true;
		g_Logger.Error(FormatText("TBattleMapLogic::%s error:特殊能力の対象がない座標(%d,%d)が指定されました。", method,
			target.x, target.y));
		return false;
	default:
		g_Logger.Error(FormatText("TBattleMapLogic::%s error:行動タイプ %d は使えません。", method, kind));
		return false;
	}
}

// An armed chara attacks a chara of another side, or, attacking, an empty wall when the scenario has
// the special that breaks it; a dreaming chara strikes whoever stands next to it.
bool TBattleMapLogic::IsAttackTarget(point_t target) const
{
	const TCharaInstance& chara = Active();
	if (!HasUsableAttack(m_Field.CharaData(chara)))
		return false;
	TCharaRef ref;
	if (m_Field.CharaOn(target.x, target.y, ref))
		return HasCondition(chara, EFFECT_DREAM) ? !(ref == m_Active) : ref.side != m_Active.side;
	return !HasCondition(chara, EFFECT_DREAM) && m_Active.side != 0
		&& m_Field.map->GetMapObjectType(target.x, target.y) == MAP_OBJECT_WALL
		&& m_Data.GetSpecialIndex(ATTACK_WALL) >= 0;
}

bool TBattleMapLogic::IsChargeTarget(point_t target) const
{
	return !HasCondition(Active(), EFFECT_DREAM) && IsAttackTarget(target)
		&& m_Field.map->GetMapObjectType(target.x, target.y) == 0;
}

// Magic the chara can cast, not spent for the battle, and its own special, each within its MP; after a
// move only its own special. A dreaming chara uses none.
bool TBattleMapLogic::IsUsableSpecial(int special, bool moved) const
{
	if (special < 0 || special >= m_Data.GetSpecialCount())
		return false;
	const TCharaInstance& chara = Active();
	return !HasCondition(chara, EFFECT_DREAM) && CanUseSpecial(moved, ACTION_KIND_SPECIAL, special)
		&& (special == m_Field.CharaData(chara).Special || CanCastSpecial(m_Data, chara, special));
}

void TBattleMapLogic::GatherUsableSpecials(bool moved, std::vector<int>& specials) const
{
	specials.clear();
	const auto take = [&](int special) {
		if (std::find(specials.begin(), specials.end(), special) == specials.end() && IsUsableSpecial(special, moved))
			specials.push_back(special);
	};
	if (!moved)
		for (int g = 0; g < m_Data.GetMagicGroupCount(); ++g)
			for (int magic : m_Data.GetMagicGroupData(g).Magic)
				for (const TMagicEntry& entry : m_Data.GetMagicData(magic).Entries)
					take(entry.SpecialIndex);
	take(m_Field.CharaData(Active()).Special);
}

// A special with a point of aim takes the cell when it is in range and the special takes something
// there; any other is used where the chara stands and needs some cell in its target set.
bool TBattleMapLogic::IsSpecialAim(point_t from, int special, point_t aim) const
{
	const TSpecialData& data = m_Data.GetSpecialData(special);
	std::vector<point_t> cells;
	if (!HasAim(data.RangeType)) {
		std::vector<TCharaRef> dead;
		::GetTargetCells(m_Field, m_Active.side, from, from, data.MaxRadius, data.RangeType, data.RangeHeight, cells, dead);
		return !cells.empty();
	}
	GatherRangeCells(m_Field, m_Active.side, from, data, cells);
	return std::find(cells.begin(), cells.end(), aim) != cells.end()
		&& HasTargetAt(m_Field, from, aim, m_Active.side, special);
}

void TBattleMapLogic::AppendSpecialActions(point_t from, int special, std::vector<TBattleAction>& actions)
{
	const TSpecialData& data = m_Data.GetSpecialData(special);
	if (!HasAim(data.RangeType)) {
		if (IsSpecialAim(from, special, from))
			actions.push_back({ACTION_KIND_SPECIAL, from.x, from.y, special});
		return;
	}
	std::vector<point_t> aims;
	MarkTargetAims(from, special, aims);
	for (const point_t& aim : aims)
		actions.push_back({ACTION_KIND_SPECIAL, aim.x, aim.y, special});
}

// The cells in range where the special would take something, in range order. Asking every cell of
// the range for its own target set costs range x radius cells for each special; instead, a special
// whose target set is an area and that takes only charas marks the area around each chara it would
// take (an area is symmetric: the chara lies within the radius of the aim exactly when the aim lies
// within the radius of the chara), and a line depends on nothing but its direction.
void TBattleMapLogic::MarkTargetAims(point_t from, int special, std::vector<point_t>& aims)
{
	const TSpecialData& data = m_Data.GetSpecialData(special);
	const int side = m_Active.side;
	std::vector<point_t> range;
	GatherRangeCells(m_Field, side, from, data, range);
	const int attributeType = m_Data.GetAttributeData(data.Attribute).type;
	if (data.RangeType == RANGE_NORMAL && (attributeType == ATTRIBUTE_ATTACK || attributeType == ATTRIBUTE_BOOST)) {
		MarkAroundTakenCharas(special, data.MaxRadius);
		for (const point_t& aim : range)
			if (m_AimMarks.At(aim.x, aim.y) == m_AimStamp)
				aims.push_back(aim);
		return;
	}
	int lineTakes[HEX_NEIGHBOR_COUNT] = {-1, -1, -1, -1, -1, -1};
	for (const point_t& aim : range) {
		bool takes = false;
		if (data.RangeType == RANGE_STREAM) {
			const int direction = HexDirection6(from.x, from.y, aim.x, aim.y);
			if (lineTakes[direction] < 0)
				lineTakes[direction] = HasTargetAt(m_Field, from, aim, side, special);
			takes = lineTakes[direction] != 0;
		} else {
			takes = HasTargetAt(m_Field, from, aim, side, special);
		}
		if (takes)
			aims.push_back(aim);
	}
}

void TBattleMapLogic::MarkAroundTakenCharas(int special, int radius)
{
	if (m_AimMarks.Width() != m_Field.Width() || m_AimMarks.Height() != m_Field.Height()) {
		m_AimMarks.Resize(m_Field.Width(), m_Field.Height());
		m_AimStamp = 0;
	}
	++m_AimStamp;
	std::vector<point_t> kept;
	std::vector<point_t> around;
	for (int s = 0; s < m_Field.SideCount(); ++s) {
		for (int i = 0; i < static_cast<int>(m_Field.sides[s]->size()); ++i) {
			const TCharaInstance& chara = m_Field.Chara({s, i});
			TCharaRef ref;
			if (!m_Field.CharaOn(chara.BattleX, chara.BattleY, ref) || !(ref == TCharaRef{s, i}))
				continue;
			const point_t cell = {chara.BattleX, chara.BattleY};
			kept.clear();
			FilterTargetCells(m_Field, {cell}, {true}, m_Active.side, special, kept);
			if (kept.empty())
				continue;
			around.clear();
			GetNeighborCells(cell.x, cell.y, m_Field.Width(), m_Field.Height(), radius, around);
			for (const point_t& c : around)
				m_AimMarks.At(c.x, c.y) = m_AimStamp;
		}
	}
}

void TBattleMapLogic::GetActionList(int x, int y, std::vector<TBattleAction>& actions)
{
	actions.clear();
	bool moved = false;
	if (!CheckCell(x, y, "GetActionList") || !CheckAction({x, y}, ACTION_KIND_WAIT, -1, moved, "GetActionList"))
		return;
	const TStandIn standIn(m_Field, m_Active, {x, y});
	std::vector<point_t> targets;
	for (int k = 0; k < HEX_NEIGHBOR_COUNT; ++k) {
		const point_t cell = GetAdjacentCell(x, y, k);
		if (m_Field.map->IsOnMap(cell.x, cell.y) && IsAttackTarget(cell))
			targets.push_back(cell);
	}
	for (const point_t& target : targets)
		actions.push_back({ACTION_KIND_ATTACK, target.x, target.y, -1});
	if (!moved)
		for (const point_t& target : targets)
			if (IsChargeTarget(target))
				actions.push_back({ACTION_KIND_CHARGE, target.x, target.y, -1});
	std::vector<int> specials;
	GatherUsableSpecials(moved, specials);
	for (int special : specials)
		AppendSpecialActions({x, y}, special, actions);
	if (CanFlee(m_Active.side, m_Active.index, x, y))
		actions.push_back({ACTION_KIND_RUNAWAY, x, y, -1});
}

bool TBattleMapLogic::EvalAction(int moveX, int moveY, int kind, int special, int targetX, int targetY,
	std::vector<TEffectPreview>& previews)
{
	previews.clear();
	bool moved = false;
	const point_t from = {moveX, moveY};
	if (!CheckAction(from, kind, special, moved, "EvalAction"))
		return false;
	const TStandIn standIn(m_Field, m_Active, from);
	if (!CheckActionTarget(from, moved, kind, special, {targetX, targetY}, "EvalAction"))
		return false;
	if (kind == ACTION_KIND_ATTACK || kind == ACTION_KIND_CHARGE)
		PreviewAttack({targetX, targetY}, kind == ACTION_KIND_CHARGE, previews);
	else if (kind == ACTION_KIND_SPECIAL)
		PreviewSpecial(from, special, {targetX, targetY}, previews);
	return true;
}

void TBattleMapLogic::PreviewAttack(point_t target, bool charge, std::vector<TEffectPreview>& previews) const
{
	TCharaRef ref;
	if (m_Field.CharaOn(target.x, target.y, ref)) {
		EvalAttackList(m_Field, m_Active, ref, previews, charge);
		return;
	}
	TEffectPreview wall;
	wall.x = target.x;
	wall.y = target.y;
	wall.effect = EFFECT_CRASHWALL;
	previews.push_back(wall);
}

void TBattleMapLogic::PreviewSpecial(point_t from, int special, point_t target,
	std::vector<TEffectPreview>& previews) const
{
	const TSpecialData& data = m_Data.GetSpecialData(special);
	std::vector<point_t> cells;
	std::vector<TCharaRef> dead;
	::GetTargetCells(m_Field, m_Active.side, from, HasAim(data.RangeType) ? target : from, data.MaxRadius,
		data.RangeType, data.RangeHeight, cells, dead);
	std::vector<point_t> kept;
	FilterTargetCells(m_Field, cells, std::vector<bool>(cells.size(), true), m_Active.side, special, kept);
	std::vector<TEffectResult> results;
	EvalEffect(m_Field, m_Active.side, Active(), kept, special, results);
	for (const TEffectResult& result : results)
		previews.push_back(PreviewOf(m_Field, result));
}

// Without a move the action starts at once; after one it starts when the chara arrives.
bool TBattleMapLogic::SetAction(int moveX, int moveY, int kind, int special, int targetX, int targetY)
{
	if (m_State != STATE_COMPUTER) {
		LOG_ERROR("no computer chara is choosing its action (state %d)", m_State);
		return false;
	}
	bool moved = false;
	const point_t from = {moveX, moveY};
	if (!CheckAction(from, kind, special, moved, "SetAction"))
		return false;
	{
		const TStandIn standIn(m_Field, m_Active, from);
		if (!CheckActionTarget(from, moved, kind, special, {targetX, targetY}, "SetAction"))
			return false;
	}
	m_Action = {kind, targetX, targetY, special};
	const TCharaInstance& chara = Active();
	if (from != point_t{chara.BattleX, chara.BattleY}) {
		StartMove(moveX, moveY);
		return true;
	}
	if (kind == ACTION_KIND_ATTACK || kind == ACTION_KIND_CHARGE)
		return DoSelectedAttackLogic(targetX, targetY, kind == ACTION_KIND_CHARGE);
	m_MoveTarget = from;
	DoActionLogic();
	return true;
}
