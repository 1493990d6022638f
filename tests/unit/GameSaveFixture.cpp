#include "GameSaveFixture.h"

#include "GameFixture.h"
#include "ModelFixture.h"
#include "app/Random.h"
#include "battle/BattleMap.h"
#include "model/MorvalethData.h"

#include <gtest/gtest.h>
#include <sstream>
#include <tinyxml.h>

namespace
{
const int TURNS_PLAYED = 4;

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

/// A character of the wandering or dead list keeps no acted flag and no points in a save: it comes back unacted and whole.
std::string DescribeChara(const TCharaInstance& c, bool listed)
{
	return Line(c.CharaIndex, c.Rank, c.Experience, c.HPMax, c.MPMax, c.PhysicalAttack, c.PhysicalDefense, c.Skill, c.Speed,
		c.MagicAttack, c.MagicDefense, c.PhysicalAttackBonus, c.PhysicalDefenseBonus, c.SkillBonus, c.SpeedBonus,
		c.MagicAttackBonus, c.MagicDefenseBonus, c.HPRecoverBonus, c.MPRecoverBonus, c.AttackCountBonus, c.MovableBonus,
		listed ? "-" : Line(c.Actioned, c.HP, c.MP), c.Brave, c.Power, c.WinCount, c.Resistances, c.MoveType, c.BattleX, c.BattleY, c.DrawSlot,
		c.ActionGauge, c.SummonState, c.SummonPartner, c.Fled, c.Fleeing, c.Conditions, c.ReceivedSpecials);
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

/// The third master's home falls to a neighbour's owner: its heroes that are no masters die, its master wanders
/// and is defeated; the two masters left ally without end, and the first master's own character has won three battles.
void StageBattle(TMorvalethGame& game)
{
	const int area = game.GetMasterArea(2);
	ASSERT_LE(0, area);
	for (int from : game.GetArea(area).Neighbors) {
		const TAreaInstance& source = game.GetArea(from);
		if (source.Owner < 0 || source.Owner == game.GetArea(area).Owner || source.Charas.empty())
			continue;
		const std::vector<TAreaCharaPos> army = {{from, static_cast<int>(source.Charas.size()) - 1}};
		const std::vector<TCharaInstance> attackers = {source.Charas.back()};
		std::vector<TCharaInstance> defenders = game.GetArea(area).Charas;
		for (TCharaInstance& chara : defenders) {
			const TCharaData& data = SampleData().GetCharaData(chara.CharaIndex);
			if (data.Hero && !data.IsMaster) {
				chara.HP = 0;
				chara.WinCount = 2;
			}
		}
		std::vector<TCharaInstance> homeless;
		ASSERT_TRUE(game.MoveCharaAfterBattleDepWin(army, attackers, defenders, homeless, area, source.Owner, true));
		for (const TCharaInstance& chara : homeless)
			game.AddWanderChara(chara);
		game.RemoveDefeatedMasters();
		game.SetAlliance(0, 1, ALLIANCE_ENDLESS);
		int home = -1;
		int position = -1;
		ASSERT_TRUE(game.FindMasterChara(0, SampleData().GetMasterData(game.GetMaster(0).DataIndex).CharaIndex, home, position));
		game.GetArea(home).Charas[position].WinCount = 3;
		return;
	}
	FAIL() << "no neighbour of area " << area << " can attack it";
}

/// The current master hires the heroes its search found, where it can.
void HireFoundHeroes(TMorvalethGame& game)
{
	int area = -1;
	int chara = -1;
	while (game.PopFoundHero(area, chara))
		game.EmployWanderingChara(area, chara);
}
}

void NewSampleGame(TMorvalethGame& game, int chapter, int level)
{
	ASSERT_TRUE(game.LoadNew(&SampleData(), SampleScenario(), chapter, level));
}

void PlaySampleGame(TMorvalethGame& game, int chapter, unsigned seed)
{
	NewSampleGame(game, chapter);
	SeedRandom(seed);
	TCapturedLog log(1);
	game.SetMasterPlayer(SampleData().GetMasterIndex("leon"), true);
	game.PlaceAllInhabitants();
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		if (game.GetArea(a).Owner >= 0)
			game.GetArea(a).Operation = a % OPERATION_COUNT;
	}
	int turns = 0;
	while (turns < TURNS_PLAYED) {
		if (game.ActivateNextMaster() && ++turns == TURNS_PLAYED / 2)
			StageBattle(game);
		HireFoundHeroes(game);
	}
	game.ActivateNextMaster();
}

std::string SaveText(const TMorvalethGame& game)
{
	TiXmlElement root("Save");
	if (!game.SaveToXML(&root))
		return "";
	TiXmlPrinter printer;
	root.Accept(&printer);
	return printer.CStr();
}

bool LoadSaveText(TMorvalethGame& game, const std::string& text, int chapter)
{
	TiXmlDocument document;
	document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
	const TiXmlElement* root = document.Error() ? nullptr : document.FirstChildElement("Save");
	return root && game.LoadSaved(&SampleData(), SampleScenario(), chapter, root);
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
