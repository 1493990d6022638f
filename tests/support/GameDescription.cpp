#include "support/GameDescription.h"

#include "app/CheckedNumber.h"
#include "battle/BattleMap.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"

#include <sstream>
#include <tinyxml.h>

namespace
{
std::ostream& operator<<(std::ostream& out, const point_t& point)
{
	return out << point.x << ':' << point.y;
}

template <typename A, typename B>
std::ostream& operator<<(std::ostream& out, const std::pair<A, B>& pair)
{
	return out << pair.first << ':' << pair.second;
}

template <typename T>
std::ostream& operator<<(std::ostream& out, const std::vector<T>& values)
{
	out << '[';
	for (const T& value : values)
		out << value << ',';
	return out << ']';
}

void Put(std::ostream&) {}

template <typename T, typename... Rest>
void Put(std::ostream& out, const T& value, const Rest&... rest)
{
	out << value << ' ';
	Put(out, rest...);
}

template <typename... Values>
std::string Line(const Values&... values)
{
	std::ostringstream out;
	Put(out, values...);
	return out.str();
}


std::string DescribeMap(const TBattleMap& map)
{
	std::vector<int> objects;
	std::vector<int> row;
	for (int y = 0; y < map.GetObjectInstance().Height(); ++y) {
		map.GetObjectInstance().GetRow(y, row);
		objects.insert(objects.end(), row.begin(), row.end());
	}
	std::vector<int> startAreas;
	for (const TStartPointSet& set : map.GetStartPointSets())
		startAreas.push_back(set.area);
	return Line(objects, map.GetCityList().size(), map.GetWallList().size(), map.GetRoadList().size(), startAreas);
}

/// The standing order of an area is kept only while it has an owner.
std::string DescribeArea(const TAreaInstance& a)
{
	return Line(a.id, a.Name, a.BaseIncome, a.CityMax, a.WallMax, a.RoadMax, a.City, a.Wall, a.Road, a.WallIni,
		a.InhabitCost, a.Owner >= 0 ? Line(a.Operation, a.OperationEffort) : "-", a.Location, a.NeighborIds, a.Neighbors, a.Inhabit, a.Employable,
		a.Music, a.MusicIndex, a.NameImage, a.Owner, a.Ignore, a.PaintPoints, a.BattleMapFile,
		a.BattleMap ? DescribeMap(*a.BattleMap) : "no map");
}
}

// A character of the wandering or dead list keeps no acted flag and no points in a save: it comes back unacted and whole.
std::string DescribeChara(const TCharaInstance& c, bool listed)
{
	return Line(c.CharaIndex, c.Rank, c.Experience, c.HPMax, c.MPMax, c.PhysicalAttack, c.PhysicalDefense, c.Skill, c.Speed,
		c.MagicAttack, c.MagicDefense, c.PhysicalAttackBonus, c.PhysicalDefenseBonus, c.SkillBonus, c.SpeedBonus,
		c.MagicAttackBonus, c.MagicDefenseBonus, c.HPRecoverBonus, c.MPRecoverBonus, c.AttackCountBonus, c.MovableBonus,
		listed ? "-" : Line(c.Actioned, c.HP, c.MP), c.Brave, c.Power, c.WinCount, c.Resistances, c.MoveType, c.BattleX, c.BattleY, c.DrawSlot,
		c.ActionGauge, c.SummonState, c.SummonPartner, c.Fled, c.Fleeing, c.Conditions, c.ReceivedSpecials);
}

std::string SaveGameText(const TMorvalethGame& game)
{
	TiXmlElement root("Save");
	if (!game.SaveToXML(&root))
		return "";
	TiXmlPrinter printer;
	root.Accept(&printer);
	return printer.CStr();
}

std::vector<std::string> DescribeGame(TMorvalethGame& game)
{
	std::vector<std::string> lines = {Line(game.GetGameLevel(), game.GetTurn(), game.GetProgressedTurn(),
		game.GetChapterIndex(), game.GetCurrentMaster(), game.IsGameEnded())};
	for (int m = 0; m < game.GetMasterCount(); ++m) {
		const TMasterInstance& master = game.GetMaster(m);
		lines.push_back(Line("master", master.DataIndex, master.Exists, master.Player, master.Income, master.Upkeep,
			master.Money, master.Power));
	}
	for (int i = 0; i < game.GetAllianceCount(); ++i) {
		const TAlliance& alliance = game.GetAlliance(i);
		lines.push_back(Line("alliance", alliance.Master1, alliance.Master2, alliance.Turns));
	}
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		lines.push_back(DescribeArea(game.GetArea(a)));
		for (const TCharaInstance& chara : game.GetArea(a).Charas)
			lines.push_back("stationed " + DescribeChara(chara, false));
	}
	for (const TCharaInstance& chara : game.GetWanderCharas())
		lines.push_back("wandering " + DescribeChara(chara, true));
	for (const TCharaInstance& chara : game.GetDeadCharas())
		lines.push_back("dead " + DescribeChara(chara, true));
	return lines;
}

std::string IncomeMismatch(const TMorvalethGame& game, const TMorvalethData& data)
{
	std::vector<long long> income(game.GetMasterCount(), 0);
	std::vector<long long> upkeep(game.GetMasterCount(), 0);
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		const TAreaInstance& area = game.GetArea(a);
		if (area.Owner < 0 || area.Owner >= game.GetMasterCount())
			continue;
		income[area.Owner] += game.GetAreaIncome(a);
		for (const TCharaInstance& chara : area.Charas)
			if (data.GetCharaData(chara.CharaIndex).Hero)
				upkeep[area.Owner] += data.GetCharaData(chara.CharaIndex).TurnCost;
	}
	for (int m = 0; m < game.GetMasterCount(); ++m) {
		const TMasterInstance& master = game.GetMaster(m);
		if (master.Income != ClampToInt(income[m]) || master.Upkeep != ClampToInt(upkeep[m]))
			return Line("master", m, "keeps income", master.Income, "upkeep", master.Upkeep, "but holds income",
				ClampToInt(income[m]), "upkeep", ClampToInt(upkeep[m]));
	}
	return "";
}
