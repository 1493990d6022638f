#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/CharaRules.h"
#include "battle/RangeRules.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

void TBattleMapLogic::ComputeMoveLayer(const TCharaRef& ref)
{
	const TCharaInstance& chara = m_Field.Chara(ref);
	m_MoveLayer.Fill(0);
	m_FromLayer.Fill(point_t());
	FillMoveLayer(m_Field, ref.side, chara, chara.BattleX, chara.BattleY, MovePointsOf(m_Data, chara), m_MoveLayer,
		m_FromLayer, false);
}

void TBattleMapLogic::MarkAroundCell(int x, int y)
{
	GetRange(m_Field, m_Selection, x, y, RANGE_NORMAL, 1, 0, 1);
}

void TBattleMapLogic::UpdateRaceCommandTable()
{
	m_RaceCommands.assign(m_Field.sides.size(), std::vector<int>(m_Data.GetRaceCount(), 0));
	for (int side = 0; side < m_Field.SideCount(); ++side)
		for (const TCharaInstance& chara : *m_Field.sides[side])
			for (int race : m_Field.CharaData(chara).BeastTamer)
				if (race >= 0 && race < m_Data.GetRaceCount())
					m_RaceCommands[side][race] = 1;
}

// Every chara standing on the map gets a drawing slot; the others get none.
void TBattleMapLogic::RebuildSprites()
{
	std::vector<TCharaSprite> sprites;
	for (int side = 0; side < m_Field.SideCount(); ++side) {
		for (TCharaInstance& chara : *m_Field.sides[side]) {
			chara.DrawSlot = -1;
			if (chara.HP == 0 || chara.Fled || !IsOnField(chara))
				continue;
			chara.DrawSlot = static_cast<int>(sprites.size());
			TCharaSprite sprite;
			sprite.charaData = chara.CharaIndex;
			sprite.sideFlag = side != 0;
			sprite.cell = sprite.target = {chara.BattleX, chara.BattleY};
			sprites.push_back(sprite);
		}
	}
	m_View.SetSprites(sprites);
}

void TBattleMapLogic::UpdateCharaDrawRecord(const TCharaRef& ref)
{
	const TCharaInstance& chara = m_Field.Chara(ref);
	if (chara.DrawSlot < 0)
		return;
	TCharaSprite sprite;
	sprite.charaData = chara.CharaIndex;
	sprite.sideFlag = ref.side != 0;
	sprite.cell = sprite.target = {chara.BattleX, chara.BattleY};
	m_View.SetSprite(chara.DrawSlot, sprite);
}

void TBattleMapLogic::RefreshCharaFullStatus()
{
	if (m_Field.IsChara(m_Hovered.side, m_Hovered.index) && m_View.IsFullStatusVisible())
		m_View.ShowFullStatus(m_Field.Chara(m_Hovered));
}

// A chara of another race obeys the player only when a chara of its side commands that race.
bool TBattleMapLogic::IsCommandable(int side, int index) const
{
	const TCharaInstance& chara = m_Field.Chara({side, index});
	if (HasCondition(chara, EFFECT_DREAM) || !IsPlayerSide(side))
		return false;
	if (chara.SummonState == SUMMON_STATE_SUMMONED)
		return true;
	const int race = m_Field.CharaData(chara).Race;
	const int masterChara = m_Data.GetMasterData(m_Game.GetMaster(m_Field.masters[side]).DataIndex).CharaIndex;
	const int masterRace = masterChara >= 0 ? m_Data.GetCharaData(masterChara).Race : -1;
	LOG_DEBUG("race = %s, %s", m_Data.GetRaceData(race).Name,
		masterRace >= 0 ? m_Data.GetRaceData(masterRace).Name : std::string());
	if (race == masterRace)
		return true;
	return race >= 0 && race < static_cast<int>(m_RaceCommands[side].size()) && m_RaceCommands[side][race] != 0;
}

bool TBattleMapLogic::CanUseSpecial(bool ownOnly, int kind, int special) const
{
	if (kind != ACTION_KIND_SPECIAL || special < 0 || special >= m_Data.GetSpecialCount())
		return false;
	const auto limited = m_LimitedMagic.find(special);
	if (limited != m_LimitedMagic.end()
		&& m_MagicUses[m_Active.side][limited->second] >= m_Data.GetMagicData(limited->second).Limit)
		return false;
	const TCharaInstance& chara = Active();
	if (m_Data.GetSpecialData(special).ConsumeMP > chara.MP)
		return false;
	return !ownOnly || special == m_Field.CharaData(chara).Special;
}

bool TBattleMapLogic::CanFlee(int side, int, int x, int y) const
{
	return !IsEnemyAdjacent(m_Field, side, x, y, true) && (side != 0 || m_DefendersRoom > 0);
}

bool TBattleMapLogic::HasActiveChara(const char* method) const
{
	if (m_Field.IsChara(m_Active.side, m_Active.index))
		return true;
	g_Logger.Error(FormatText("TBattleMapLogic::%s error:行動中のキャラがいません。", method));
	return false;
}

bool TBattleMapLogic::CheckChara(int side, int index, const char* method) const
{
	if (m_Field.IsChara(side, index))
		return true;
	g_Logger.Error(MethodText(std::string("TBattleMapLogic::") + method, __LINE__, "無効なパラメータ master=%d charaindex=%d",
		side, index));
	return false;
}

bool TBattleMapLogic::CheckCell(int x, int y, const char* method) const
{
	if (m_Field.map && m_Field.map->IsOnMap(x, y))
		return true;
	g_Logger.Error(FormatText("TBattleMapLogic::%s error:マップ外の座標(%d,%d)が指定されました。", method, x, y));
	return false;
}
