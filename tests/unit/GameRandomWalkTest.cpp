// A long seeded run of random operations on the sample chapter, checking after each
// one what no rule may ever break.

#include "GameFixture.h"
#include "ModelFixture.h"
#include "app/Random.h"
#include "model/MorvalethData.h"
#include "support/GameDescription.h"

#include <algorithm>
#include <functional>
#include <map>
#include <random>

namespace
{
class GameRandomWalk : public GameWorld
{
protected:
	GameRandomWalk() : m_Random(20240611) { PlaceChapter(); }

	/// Puts the first chapter's characters and alliances on the world and fills its areas.
	void PlaceChapter()
	{
		const TChapterInfo& chapter = SampleData().GetChapter();
		for (int a = 0; a < game.GetAreaCount(); ++a) {
			game.GetArea(a).Charas.clear();
			game.GetArea(a).Inhabit = {Chara("militia"), Chara("bandit"), Chara("wolf")};
		}
		for (const TChapterChara& chara : chapter.Charas)
			Place(chara.Area, chara.id, chara.Rank);
		for (const TChapterAlliance& alliance : chapter.Alliances)
			game.SetAlliance(game.GetMasterIndexByID(alliance.MasterId1), game.GetMasterIndexByID(alliance.MasterId2),
				alliance.Turn);
		game.PlaceAllInhabitants();
		game.CalcMasterPower();
		game.SetTurn(0, -1);
	}

	int Pick(int n) { return n > 0 ? static_cast<int>(m_Random() % static_cast<unsigned>(n)) : 0; }
	/// Mostly an index below n, now and then one just outside.
	int PickIndex(int n) { return Pick(10) == 0 ? (Pick(2) ? n : -1) : Pick(n); }
	int PickArea() { return PickIndex(game.GetAreaCount()); }
	int AreaSize(int area) const
	{
		return area >= 0 && area < game.GetAreaCount() ? static_cast<int>(game.GetArea(area).Charas.size()) : 0;
	}
	int PickPosition(int area) { return PickIndex(AreaSize(area)); }
	/// A neighbour of the area, or now and then any area.
	int PickNeighbor(int area)
	{
		if (AreaSize(area) == 0 || Pick(8) == 0)
			return PickArea();
		const std::vector<int>& neighbors = game.GetArea(area).Neighbors;
		return neighbors[Pick(static_cast<int>(neighbors.size()))];
	}
	std::vector<int> PickPositions(int area)
	{
		std::vector<int> positions(Pick(4));
		for (int& position : positions)
			position = PickPosition(area);
		return positions;
	}
	/// A wandering hero, or now and then a hero that does not wander.
	int PickWanderer()
	{
		const std::vector<TCharaInstance>& wanderers = game.GetWanderCharas();
		return wanderers.empty() || Pick(4) == 0 ? Chara("bran") : wanderers[Pick(int(wanderers.size()))].CharaIndex;
	}
	/// A battle copy of a character with a random outcome.
	TCharaInstance Fought(TCharaInstance chara)
	{
		chara.HP = Pick(6) == 0 ? 0 : chara.HP;
		chara.Fled = Pick(5) == 0;
		chara.Experience += Pick(30);
		chara.WinCount += Pick(2);
		return chara;
	}

	/// Ends a master's turn and, like the world map, offers the found heroes to the new master.
	bool EndTurn()
	{
		game.ActivateNextMaster();
		const TMorvalethGame& state = game;
		for (int a = 0; a < state.GetAreaCount(); ++a)
			for (const TCharaInstance& chara : state.GetArea(a).Charas)
				EXPECT_FALSE(chara.Actioned) << "area " << a << " after a new master's activation";
		int area = -1;
		int chara = -1;
		while (game.PopFoundHero(area, chara)) {
			if (game.CheckEmployAffinity(game.GetCurrentMaster(), chara))
				game.EmployWanderingChara(area, chara);
		}
		return true;
	}

	/// A script reinforces an area; scripts respect the limit themselves and place only wandering heroes.
	bool Reinforce()
	{
		const int area = Pick(game.GetAreaCount());
		const std::vector<TCharaInstance>& wanderers = game.GetWanderCharas();
		for (int n = Pick(12); n > 0 && AreaSize(area) < AREA_CHARA_MAX; --n) {
			const bool hero = Pick(4) == 0 && !wanderers.empty();
			game.InsertAreaChara(area, hero ? wanderers[Pick(int(wanderers.size()))].CharaIndex : Chara("soldier"));
		}
		return true;
	}

	/// A master's area attacks a neighbour of another side; the battle's outcome is drawn.
	bool War()
	{
		const int from = Pick(game.GetAreaCount());
		const int target = PickNeighbor(from);
		const int master = game.GetArea(from).Owner;
		if (master < 0 || target < 0 || target >= game.GetAreaCount() || game.GetArea(target).Owner == master)
			return true;
		std::vector<TAreaCharaPos> army;
		std::vector<TCharaInstance> attackers;
		for (int position = 0; position < AreaSize(from); ++position) {
			if (Pick(2)) {
				// Now and then a listed place is wrong; the battle copies what stands there.
				const int place = Pick(20) == 0 ? PickPosition(from) : position;
				army.push_back(TAreaCharaPos(from, place));
				attackers.push_back(Fought(game.GetArea(from).Charas[std::max(0, std::min(place, AreaSize(from) - 1))]));
			}
		}
		if (AreaSize(target) == 0)
			return army.empty() || game.OccupyArea(army, target, master);
		std::vector<TCharaInstance> defenders;
		for (const TCharaInstance& chara : game.GetArea(target).Charas)
			defenders.push_back(Fought(chara));
		for (const char* joined : {"skeleton", "zombie"}) {
			if (Pick(3) == 0)
				(Pick(2) ? attackers : defenders).push_back(Fought(game.CreateCharaInstance(Chara(joined), 0)));
		}
		std::vector<TCharaInstance> homeless;
		const bool moved = game.MoveCharaAfterBattleDepWin(army, attackers, defenders, homeless, target, master, Pick(2));
		for (const TCharaInstance& chara : homeless)
			game.AddWanderChara(chara);
		game.RemoveDefeatedMasters();
		return moved;
	}

	/// No area above its places, no hero in two places (two areas, wandering and dead, ...), and the
	/// incomes and upkeep the game keeps are those a count over the whole map gives. The state is read
	/// without writing, so that the check touches no area.
	void CheckInvariants(const std::string& step)
	{
		const TMorvalethGame& state = game;
		ASSERT_EQ("", IncomeMismatch(state, SampleData())) << step;
		std::map<int, int> heroes;
		const auto count = [&](const std::vector<TCharaInstance>& list) {
			for (const TCharaInstance& chara : list)
				heroes[chara.CharaIndex] += SampleData().GetCharaData(chara.CharaIndex).Hero;
		};
		for (int a = 0; a < game.GetAreaCount(); ++a) {
			ASSERT_LE(AreaSize(a), AREA_CHARA_MAX) << step << " area " << a;
			count(state.GetArea(a).Charas);
		}
		count(game.GetWanderCharas());
		count(game.GetDeadCharas());
		for (const auto& hero : heroes)
			ASSERT_GE(1, hero.second) << step << ": " << SampleData().GetCharaData(hero.first).id << " in two places";
	}

	std::mt19937 m_Random;
};
}

TEST_F(GameRandomWalk, NoRuleEverBreaksTheInvariants)
{
	SeedRandom(99);
	TCapturedLog log(1);
	const std::pair<const char*, std::function<bool()>> operations[] = {
		{"employ", [&] { const int a = PickArea(); return game.EmployCharacter(a, PickPosition(a), Chara("soldier")); }},
		{"employ wanderer", [&] { return game.EmployWanderingChara(PickArea(), PickWanderer()); }},
		{"dismiss", [&] { const int a = PickArea(); return game.DismissCharacter(a, PickPosition(a)); }},
		{"move", [&] { const int a = PickArea(); const int b = PickNeighbor(a);
			return game.MoveCharacter(a, b, PickPositions(a), PickPositions(b)); }},
		{"end turn", [&] { return EndTurn(); }},
		{"ally", [&] { const int a = PickIndex(3); const int b = PickIndex(3);
			return game.MakeAlliance(a, b, Pick(8) - 1, game.GetAllianceCost(a, b, -1)); }},
		{"reinforce", [&] { return Reinforce(); }},
		{"war", [&] { return War(); }},
	};
	std::map<std::string, int> refused;
	int turns = 0;
	int games = 1;
	for (int step = 0; step < 4000 && !HasFatalFailure(); ++step) {
		if (game.CheckGameEnd()) {
			turns += game.GetTurn();
			++games;
			game = TMorvalethGame();
			BuildWorld();
			PlaceChapter();
		}
		const auto& operation = operations[Pick(static_cast<int>(sizeof(operations) / sizeof(operations[0])))];
		const std::vector<int> money = {Money(leon), Money(garm), Money(sera)};
		const std::string name = std::to_string(step) + " " + operation.first;
		if (!operation.second()) {
			++refused[operation.first];
			ASSERT_EQ(money, (std::vector<int>{Money(leon), Money(garm), Money(sera)})) << name << " refused, money changed";
		}
		CheckInvariants(name);
	}
	// The walk met the refusals it is meant to test, and played whole games.
	for (const char* name : {"employ", "employ wanderer", "dismiss", "move", "ally", "war"})
		EXPECT_LT(0, refused[name]) << name;
	EXPECT_LT(2, games);
	EXPECT_LT(100, turns + game.GetTurn());
}
