#include "battle/EffectPlay.h"

#include "app/GameConfig.h"
#include "app/Logger.h"
#include "battle/BattleMapLogic.h"
#include "battle/EffectRules.h"
#include "battle/HexGeometry.h"
#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "model/SpecialData.h"

#include <algorithm>

namespace
{
/// Pixels a missile flies per frame unit at shot divisor 1.
const int SHOT_PIXELS = 32;
/// Frames the battle pauses after a special, watched and unseen.
const int AFTER_EFFECT_WAIT_WATCHED = 10;
const int AFTER_EFFECT_WAIT_UNSEEN = 5;

// A strike planned before the first frame (an image without frames, a missile that needs no flight)
// lands on the first frame instead of never.
int StrikeAt(int frame)
{
	return std::max(0, frame);
}

int LastStrike(const std::vector<int>& strikes)
{
	return strikes.empty() ? 0 : *std::max_element(strikes.begin(), strikes.end());
}

/// Frame k of the special's image drawn centred on a pixel.
TEffectSprite EffectSprite(const TSpecialData& data, point_t centre, int frame)
{
	TEffectSprite sprite;
	sprite.px = centre.x - data.ImageWidth / 2;
	sprite.py = centre.y - data.ImageHeight / 2;
	sprite.image = data.EffectImage;
	sprite.column = frame;
	sprite.row = 0;
	sprite.frameWidth = data.ImageWidth;
	sprite.frameHeight = data.ImageHeight;
	return sprite;
}

/// The point a missile flying from one pixel to another has reached after travelling the pixels.
point_t MissileAt(point_t from, point_t to, int travelled, int distance)
{
	if (distance <= 0 || travelled >= distance)
		return to;
	return {from.x + (to.x - from.x) * travelled / distance, from.y + (to.y - from.y) * travelled / distance};
}
}

int ShotSpeed(int shotDivisor)
{
	return std::max(1, SHOT_PIXELS / std::max(1, shotDivisor));
}

TEffectSchedule ScheduleEffect(int animationType, int cells, int frameCount, int unit, int shotDivisor,
	int maxRadius, const std::vector<int>& distances)
{
	TEffectSchedule schedule;
	const int u = std::max(1, unit);
	const int n = std::max(1, frameCount);
	switch (animationType) {
	case ANIMATION_CHIP:
	case ANIMATION_CENTER:
	case ANIMATION_SCREENCENTER:
		schedule.strikes.assign(cells, StrikeAt(n * u - 1));
		schedule.end = n * u;
		break;
	case ANIMATION_STREAM:
		for (int i = 0; i < cells; ++i)
			schedule.strikes.push_back(StrikeAt((n + i) * u - 1));
		schedule.end = (std::max(0, maxRadius) + n) * u;
		break;
	case ANIMATION_SHOT:
		for (int i = 0; i < cells; ++i) {
			const int distance = i < static_cast<int>(distances.size()) ? distances[i] : 0;
			schedule.strikes.push_back(StrikeAt(u * (distance / ShotSpeed(shotDivisor)) - 1));
		}
		schedule.end = 0;
		break;
	default:
		schedule.strikes.assign(cells, 0);
		schedule.end = 0;
		break;
	}
	schedule.end = std::max(schedule.end, LastStrike(schedule.strikes));
	return schedule;
}

// Unseen, or without an image, every cell strikes at once and the use is over in the same frame.
void TBattleMapLogic::PlanEffectFrame(point_t caster, const std::vector<point_t>& cells, int special, int frame,
	std::vector<point_t>& struck, bool& over)
{
	struck.clear();
	const TSpecialData& data = m_Data.GetSpecialData(special);
	const bool animated = m_Watching && !data.Image.empty();
	const int type = animated ? data.AnimationType : ANIMATION_NONE;
	const point_t from = CellCenterPixel(caster.x, caster.y);
	std::vector<int> distances;
	for (const point_t& cell : cells)
		distances.push_back(HexPixelDistance(caster.x, caster.y, cell.x, cell.y));
	const TEffectSchedule schedule = ScheduleEffect(type, static_cast<int>(cells.size()), data.AnimationCount,
		m_FramesPerCell, m_SpeedLevel, data.MaxRadius, distances);
	for (std::size_t i = 0; i < cells.size(); ++i)
		if (schedule.strikes[i] == frame)
			struck.push_back(cells[i]);
	over = frame >= schedule.end;
	if (!animated)
		return;
	const int u = std::max(1, m_FramesPerCell);
	const int n = std::max(1, data.AnimationCount);
	std::vector<TEffectSprite> sprites;
	switch (type) {
	case ANIMATION_CHIP:
		for (const point_t& cell : cells)
			sprites.push_back(EffectSprite(data, CellCenterPixel(cell.x, cell.y), std::min(frame / u, n - 1)));
		break;
	case ANIMATION_CENTER:
		if (!cells.empty())
			sprites.push_back(EffectSprite(data, CellCenterPixel(cells[0].x, cells[0].y), std::min(frame / u, n - 1)));
		break;
	case ANIMATION_STREAM:
		for (std::size_t i = 0; i < cells.size(); ++i) {
			const int k = (frame - static_cast<int>(i) * u) / u;
			if (frame >= static_cast<int>(i) * u && k < n)
				sprites.push_back(EffectSprite(data, CellCenterPixel(cells[i].x, cells[i].y), k));
		}
		break;
	case ANIMATION_SHOT:
		for (std::size_t i = 0; i < cells.size(); ++i) {
			if (frame > schedule.strikes[i])
				continue;
			const point_t at = MissileAt(from, CellCenterPixel(cells[i].x, cells[i].y),
				frame * ShotSpeed(m_SpeedLevel) / u, distances[i]);
			sprites.push_back(EffectSprite(data, at, (frame / u) % n));
		}
		break;
	case ANIMATION_SCREENCENTER: {
		const TEffectSprite sprite = EffectSprite(data, {0, 0}, std::min(frame / u, n - 1));
		m_View.SetScreenEffect(&sprite);
		break;
	}
	default:
		break;
	}
	m_View.SetEffectSprites(sprites);
}

void TBattleMapLogic::DoEffectLogic()
{
	LOG_DEBUG("ecnt=%d", m_SpecialCount);
	if (m_EffectFrame == 0)
		BeginEffectUse();
	std::vector<point_t> struck;
	bool over = false;
	PlanEffectFrame({Active().BattleX, Active().BattleY}, m_EffectCells, m_CurrentSpecial, m_EffectFrame, struck,
		over);
	LOG_DEBUG("f=%d ecnt=%d scnt=%d", m_EffectFrame, m_SpecialCount, m_EffectUses);
	if (!struck.empty())
		StrikeCells(struck);
	++m_EffectFrame;
	if (!over)
		return;
	m_View.SetEffectSprites(std::vector<TEffectSprite>());
	m_View.SetScreenEffect(nullptr);
	m_EffectFrame = 0;
	if (++m_EffectUses < m_SpecialCount)
		return;
	FinishEffect();
}

// Each use takes the cells of the target set that the special admits as the field stands when it begins:
// a chara that fell to the first use is no target of the second.
void TBattleMapLogic::BeginEffectUse()
{
	m_EffectCells.clear();
	FilterTargetCells(m_Field, m_TargetCells, std::vector<bool>(m_TargetCells.size(), true), m_Active.side,
		m_CurrentSpecial, m_EffectCells);
}

void TBattleMapLogic::StrikeCells(const std::vector<point_t>& struck)
{
	std::vector<point_t> cells;
	FilterTargetCells(m_Field, struck, std::vector<bool>(struck.size(), true), m_Active.side, m_CurrentSpecial, cells);
	std::vector<TEffectResult> results;
	EvalEffect(m_Field, m_Active.side, Active(), cells, m_CurrentSpecial, results);
	bool changed = false;
	ApplyEffectResult(results, changed);
	ShowEffectPopups(results);
	if (changed && m_Watching && g_Config.GetBoolValue(SWITCH_SOUND_ENABLED))
		m_View.PlaySound(2);
	g_Logger.Debug("after ApplyEffectResult 2");
}

// What the chara spent it pays at the end, never below nothing; then the special's own script may run.
void TBattleMapLogic::FinishEffect()
{
	const TSpecialData& data = m_Data.GetSpecialData(m_CurrentSpecial);
	TCharaInstance& chara = Active();
	chara.MP = std::max(0, chara.MP - data.ConsumeMP);
	AddExperience(m_Active, true, m_DeadList);
	LOG_DEBUG("SPE=%s after=%s", data.Name, data.ScriptAfter);
	m_View.SetSpecialName(std::string());
	if (!data.ScriptAfter.empty() && RunBattleScript(data.ScriptAfter, SCRIPT_RUN_EFFECT))
		return;
	m_WaitCounter = m_Watching ? AFTER_EFFECT_WAIT_WATCHED : AFTER_EFFECT_WAIT_UNSEEN;
	m_State = STATE_WAITING;
}
