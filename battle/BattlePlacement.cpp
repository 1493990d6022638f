#include "battle/BattleMapLogic.h"

#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/HexGeometry.h"

#include <algorithm>

namespace
{
/// Rings about the castle searched for the defenders' object cells, and most such cells taken.
const int DEFENDER_OBJECT_RINGS = 30;
const int DEFENDER_OBJECT_POINTS = 128;
/// Rings about the castle that top the defenders' points up, and the points they top up to.
const int DEFENDER_FILL_RINGS = 9;
const int DEFENDER_FILL_POINTS = 20;

bool Contains(const std::vector<point_t>& points, const point_t& cell)
{
	return std::find(points.begin(), points.end(), cell) != points.end();
}

bool IsDefenderObject(int kind)
{
	return kind == MAP_OBJECT_CITY || kind == MAP_OBJECT_WALL || kind == MAP_OBJECT_CASTLE;
}
}

void TBattleMapLogic::PlacementStep()
{
	if (m_PlacingSide < m_Field.SideCount()) {
		// A side without charas has nothing to place and needs no point.
		if (!m_Field.sides[m_PlacingSide]->empty()) {
			if (IsPlayerSide(m_PlacingSide)) {
				m_PlacingIndex = 0;
				StartPlayerPlacement();
				return;
			}
			if (!PlaceComputerSide(m_PlacingSide))
				return;
		}
		RebuildSprites();
		++m_PlacingSide;
	}
	if (m_PlacingSide >= m_Field.SideCount())
		m_State = STATE_BEGIN;
}

bool TBattleMapLogic::PlaceComputerSide(int side)
{
	std::vector<point_t> points;
	std::vector<TCharaInstance> group;
	const int count = static_cast<int>(m_Field.sides[side]->size());
	for (int start = 0; start < count; start += static_cast<int>(group.size())) {
		PlaceComputerCharas(side, start, points, group);
		if (group.size() > points.size()) {
			Fail(FormatText("初期配置座標が足りません（%d）。master=%d charas=%d", static_cast<int>(points.size()), side,
				static_cast<int>(group.size())));
			return false;
		}
		for (int j = 0; j < static_cast<int>(group.size()); ++j)
			m_Field.Put({side, start + j}, points[j].x, points[j].y);
	}
	return true;
}

void TBattleMapLogic::PlaceComputerCharas(int side, int start, std::vector<point_t>& points,
	std::vector<TCharaInstance>& charas) const
{
	const std::vector<int>& sources = m_Sources[side];
	const std::vector<TCharaInstance>& sideCharas = *m_Field.sides[side];
	charas.clear();
	points.clear();
	const int key = sources[start];
	if (key == -1) {
		GatherDefenderPoints(points);
		charas = sideCharas;
		return;
	}
	if (!m_Field.map->GetStartPoints(key, points))
		g_Logger.Error("攻撃側初期配置座標の検索に失敗");
	for (std::size_t i = points.size(); i-- > 0;)
		if (m_Field.sideLayer.At(points[i].x, points[i].y) != -1)
			points.erase(points.begin() + i);
	for (int i = start; i < static_cast<int>(sideCharas.size()) && sources[i] == key; ++i)
		charas.push_back(sideCharas[i]);
}

void TBattleMapLogic::GatherDefenderPoints(std::vector<point_t>& points) const
{
	const TBattleMap& map = *m_Field.map;
	const point_t castle = map.GetCastlePoint();
	std::vector<point_t> around;
	GetNeighborCells(castle.x, castle.y, map.GetWidth(), map.GetHeight(), DEFENDER_OBJECT_RINGS, around);
	for (const point_t& cell : around) {
		if (points.size() >= static_cast<std::size_t>(DEFENDER_OBJECT_POINTS))
			break;
		if (IsInsideMap(cell.x, cell.y, map.GetWidth(), map.GetHeight())
			&& IsDefenderObject(map.GetMapObjectType(cell.x, cell.y)))
			points.push_back(cell);
	}
	// The castle cell lies on the map whatever the map holds: without a castle it is the map's centre.
	if (!Contains(points, castle))
		points.push_back(castle);
	if (points.size() >= static_cast<std::size_t>(DEFENDER_FILL_POINTS))
		return;
	around.clear();
	GetNeighborCells(castle.x, castle.y, map.GetWidth(), map.GetHeight(), DEFENDER_FILL_RINGS, around);
	for (const point_t& cell : around) {
		if (points.size() >= static_cast<std::size_t>(DEFENDER_FILL_POINTS))
			break;
		if (IsInsideMap(cell.x, cell.y, map.GetWidth(), map.GetHeight()) && !Contains(points, cell))
			points.push_back(cell);
	}
}

// A player's group with fewer start points than charas could never be placed in full: the
// battle stops as it does for a computer side.
void TBattleMapLogic::StartPlayerPlacement()
{
	m_Selection.Fill(1);
	PlaceComputerCharas(m_PlacingSide, m_PlacingIndex, m_PlacementPoints, m_PlacementCharas);
	const int n = static_cast<int>(m_PlacementPoints.size());
	if (static_cast<int>(m_PlacementCharas.size()) > n) {
		Fail(FormatText("初期配置座標が足りません（%d）。master=%d charas=%d", n, m_PlacingSide,
			static_cast<int>(m_PlacementCharas.size())));
		return;
	}
	int sumX = 0;
	int sumY = 0;
	for (const point_t& point : m_PlacementPoints) {
		m_Selection.At(point.x, point.y) = 0;
		sumX += HEX_CELL_SIZE * point.x + HEX_CELL_SIZE / 2 * RowParity(point.y) - HEX_CELL_SIZE / 2;
		sumY += HEX_CELL_SIZE * point.y;
	}
	m_View.SetHighlights(m_PlacementPoints);
	m_Placed.assign(m_PlacementCharas.size(), 0);
	m_PlacementSelected = 0;
	m_View.ShowPlacement(m_PlacementCharas, m_Placed);
	m_View.SelectPlacement(m_PlacementSelected);
	m_View.ScrollTo(sumX / n + HEX_CELL_SIZE / 2, sumY / n + HEX_CELL_SIZE / 2);
	m_State = STATE_PLAYER_PLACING;
}

void TBattleMapLogic::PlacementListPressed(int index)
{
	if (!HearsPlayer() || m_State != STATE_PLAYER_PLACING || index < 0 || index >= static_cast<int>(m_Placed.size())
		|| m_Placed[index])
		return;
	m_PlacementSelected = index;
	m_View.SelectPlacement(index);
}

void TBattleMapLogic::PlacementPressed(int x, int y, bool left)
{
	if (!left) {
		TakeOffPlaced(x, y);
		return;
	}
	if (m_Selection.At(x, y) != 0)
		return;
	TakeOffPlaced(x, y);
	PlaceSelected(x, y);
}

void TBattleMapLogic::TakeOffPlaced(int x, int y)
{
	TCharaRef ref;
	if (!m_Field.CharaOn(x, y, ref) || ref.side != m_PlacingSide)
		return;
	const int entry = ref.index - m_PlacingIndex;
	if (entry < 0 || entry >= static_cast<int>(m_Placed.size()))
		return;
	m_Field.Vacate(ref);
	m_Field.Chara(ref).BattleX = -1;
	m_Placed[entry] = 0;
	RebuildSprites();
}

void TBattleMapLogic::PlaceSelected(int x, int y)
{
	const int entry = m_PlacementSelected;
	if (entry < 0 || entry >= static_cast<int>(m_Placed.size()) || m_Placed[entry])
		return;
	m_Field.Put({m_PlacingSide, m_PlacingIndex + entry}, x, y);
	m_Placed[entry] = 1;
	RebuildSprites();
	AdvancePlacement();
}

void TBattleMapLogic::AdvancePlacement()
{
	const int count = static_cast<int>(m_Placed.size());
	for (int step = 1; step <= count; ++step) {
		const int entry = (m_PlacementSelected + step) % count;
		if (!m_Placed[entry]) {
			m_PlacementSelected = entry;
			m_View.SelectPlacement(entry);
			return;
		}
	}
	m_PlacingIndex += count;
	if (m_PlacingIndex < static_cast<int>(m_Field.sides[m_PlacingSide]->size()))
		StartPlayerPlacement();
	else
		FinishSidePlacement();
}

void TBattleMapLogic::FinishSidePlacement()
{
	m_View.HidePlacement();
	m_View.SetHighlights({});
	m_Selection.Fill(0);
	++m_PlacingSide;
	m_State = m_PlacingSide < m_Field.SideCount() ? STATE_PLACING : STATE_BEGIN;
}
