#include "GameFixture.h"

#include "ModelFixture.h"
#include "model/MorvalethData.h"

const TMorvalethData& SampleData()
{
	static const TMorvalethData* data = [] {
		TMorvalethData* loaded = new TMorvalethData;
		EXPECT_TRUE(loaded->Load(SampleScenario(), 0));
		return loaded;
	}();
	return *data;
}

namespace
{
/// An area of the world: id, owner and neighbours.
struct TWorldArea
{
	const char* id;
	int owner;
	std::vector<std::string> neighbors;
};
}

void GameWorld::BuildWorld()
{
	const TWorldArea world[] = {
		{"A01", leon, {"A02", "A05"}},
		{"A02", leon, {"A01", "A03", "A06"}},
		{"A03", garm, {"A02", "A04", "A07"}},
		{"A04", garm, {"A03"}},
		{"A05", sera, {"A01", "A06"}},
		{"A06", -1, {"A05", "A02", "A07"}},
		{"A07", -1, {"A06", "A03"}},
	};
	game.SetData(&SampleData());
	std::vector<TAreaInstance> areas;
	for (const TWorldArea& entry : world) {
		TAreaInstance area;
		area.id = entry.id;
		area.Name = entry.id;
		area.Owner = entry.owner;
		area.NeighborIds = entry.neighbors;
		area.BaseIncome = 10;
		area.CityMax = 8;
		area.WallMax = 10;
		area.RoadMax = 4;
		areas.push_back(area);
	}
	EXPECT_TRUE(game.SetAreas(areas));
	for (const char* master : {"leon", "garm", "sera"})
		game.AddMaster(SampleData().GetMasterIndex(master), 1000);
	game.GetMaster(leon).Player = true;
	game.SetGameLevel(1);
	game.SetTurn(1, 0);
	Place("A01", "leon");
	Place("A03", "garm");
	Place("A05", "sera");
}

int GameWorld::Chara(const std::string& id) const
{
	const int index = SampleData().GetCharaIndex(id);
	EXPECT_LE(0, index) << "the sample has no character " << id;
	return index;
}

const TCharaData& GameWorld::Def(const std::string& id) const
{
	return SampleData().GetCharaData(Chara(id));
}

int GameWorld::Area(const std::string& id) const
{
	return game.GetAreaIndex(id);
}

std::vector<TCharaInstance>& GameWorld::Charas(const std::string& area)
{
	return game.GetArea(Area(area)).Charas;
}

TCharaInstance& GameWorld::Place(const std::string& area, const std::string& chara, int rank)
{
	Charas(area).push_back(game.CreateCharaInstance(Chara(chara), rank));
	return Charas(area).back();
}

void GameWorld::FillArea(const std::string& area, const std::string& chara, std::size_t count)
{
	while (Charas(area).size() < count)
		Place(area, chara);
}

std::vector<std::string> GameWorld::Roster(const std::string& area) const
{
	std::vector<std::string> ids;
	for (const TCharaInstance& chara : game.GetArea(Area(area)).Charas)
		ids.push_back(SampleData().GetCharaData(chara.CharaIndex).id);
	return ids;
}
