#include "world/ControllerBattle.h"

TControllerBattle::TControllerBattle(std::unique_ptr<TBattleView> view, const TMorvalethData& data,
	TMorvalethGame& game)
	: m_View(std::move(view)), m_Logic(*m_View, data, game)
{
}

bool TControllerBattle::Start(TBattleMap& map, const std::vector<std::vector<TCharaInstance>*>& sides,
	const std::vector<int>& masters, int target, const std::vector<std::vector<int>>& sources)
{
	return m_Logic.Start(map, sides, masters, target, sources);
}
