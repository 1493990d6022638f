#include "battle/BattleMap.h"
#include "model/DataFile.h"
#include "model/MorvalethData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <tinyxml.h>
#include <utility>
#include <vector>

namespace
{
const char* const MAP_NAME = "BattleMap_T.xml";

// Grounds 0..2; objects 0 none, 1 city, 2 wall, 3 road, 4 castle, 5 bridge.
const char* const MAP_CHIP_TYPE =
	"<GroundList><MapGroundList>"
	"<MapGround index=\"0\"><Name>Plain</Name></MapGround>"
	"<MapGround index=\"1\"><Name>Forest</Name></MapGround>"
	"<MapGround index=\"2\"><Name>Hill</Name></MapGround>"
	"</MapGroundList><MapObjectList>"
	"<MapObject index=\"0\"><Name>None</Name></MapObject>"
	"<MapObject index=\"1\"><Name>City</Name></MapObject>"
	"<MapObject index=\"2\"><Name>Wall</Name></MapObject>"
	"<MapObject index=\"3\"><Name>Road</Name></MapObject>"
	"<MapObject index=\"4\"><Name>Castle</Name></MapObject>"
	"<MapObject index=\"5\"><Name>Bridge</Name></MapObject>"
	"</MapObjectList></GroundList>";
const int GROUND_COUNT = 3;

/// A scenario database holding only the terrain tables, with the given terrain chip table.
std::unique_ptr<TMorvalethData> MakeTerrainData(const std::string& chipTable)
{
	TTempDir dir;
	WriteFile(dir / "MapChipType.xml", MAP_CHIP_TYPE);
	WriteFile(dir / "MapObj.txt", "0 1 2 3 4 5");
	WriteFile(dir / "MapChip.txt", chipTable);
	auto data = std::make_unique<TMorvalethData>();
	EXPECT_TRUE(data->LoadMapChipType(dir / "MapChipType.xml"));
	EXPECT_TRUE(data->LoadMapObj(dir / "MapObj.txt"));
	EXPECT_TRUE(data->LoadMapChip(dir / "MapChip.txt"));
	return data;
}

using TGrid = std::vector<std::vector<int>>;

std::string JoinRow(const std::vector<int>& row)
{
	std::string text;
	for (std::size_t i = 0; i < row.size(); ++i)
		text += (i ? "," : "") + std::to_string(row[i]);
	return text;
}

/// The parts of a battle map file, written out as XML on demand.
struct TMapFile
{
	TMapFile(int width, int height)
		: width(width), height(height), chip(height, std::vector<int>(width, 0)), object(chip), objectNo(chip), heights(chip)
	{
	}

	/// Adds a neighbour with n start points, the first n cells of the map in row order.
	void AddArea(const std::string& id, int n)
	{
		std::vector<point_t> points;
		for (int i = 0; i < n; ++i)
			points.push_back({i % width, i / width});
		areas.push_back({id, points});
	}

	std::string Xml() const
	{
		std::string xml = "<BattleMap Width=\"" + std::to_string(width) + "\" Height=\"" + std::to_string(height)
			+ "\" City=\"3\" Wall=\"2\" Road=\"1\">";
		const std::pair<const char*, const TGrid*> layers[] = {
			{"MapChip", &chip}, {"MapObject", &object}, {"MapObjectNo", &objectNo}, {"MapHeight", &heights}};
		for (const auto& layer : layers) {
			xml += std::string("<") + layer.first + ">";
			for (int y = 0; y < height; ++y)
				xml += "<L" + std::to_string(y) + ">" + JoinRow((*layer.second)[y]) + "</L" + std::to_string(y) + ">";
			xml += std::string("</") + layer.first + ">";
		}
		xml += "<NeighborArea>";
		for (const auto& area : areas) {
			xml += "<Area id=\"" + area.first + "\">";
			for (std::size_t i = 0; i < area.second.size(); ++i)
				xml += "<Point" + std::to_string(i) + " x=\"" + std::to_string(area.second[i].x) + "\" y=\""
					+ std::to_string(area.second[i].y) + "\"/>";
			xml += "</Area>";
		}
		return xml + "</NeighborArea></BattleMap>";
	}

	int width;
	int height;
	TGrid chip;
	TGrid object;
	TGrid objectNo;
	TGrid heights;
	std::vector<std::pair<std::string, std::vector<point_t>>> areas;
};

/// A parsed XML document whose root element tests may change.
class TParsed
{
public:
	explicit TParsed(const std::string& xml) { m_Document.Parse(xml.c_str()); }
	TiXmlElement* Root() { return m_Document.RootElement(); }
	/// Replaces the text of row y of a layer element.
	void SetRowText(const char* layer, int y, const char* text)
	{
		TiXmlElement* row = Root()->FirstChildElement(layer)->FirstChildElement(("L" + std::to_string(y)).c_str());
		row->Clear();
		row->LinkEndChild(new TiXmlText(text));
	}
	void RemoveChild(const char* name) { Root()->RemoveChild(Root()->FirstChildElement(name)); }
	void RemoveRow(const char* layer, int y)
	{
		TiXmlElement* parent = Root()->FirstChildElement(layer);
		parent->RemoveChild(parent->FirstChildElement(("L" + std::to_string(y)).c_str()));
	}
	TiXmlElement* FirstArea() { return Root()->FirstChildElement("NeighborArea")->FirstChildElement("Area"); }

private:
	TiXmlDocument m_Document;
};

TGrid Rows(const TValueLayer<int>& layer)
{
	TGrid rows(layer.Height());
	for (int y = 0; y < layer.Height(); ++y)
		layer.GetRow(y, rows[y]);
	return rows;
}

class BattleMap : public ::testing::Test
{
protected:
	static void SetUpTestSuite()
	{
		BuildNeighborTable();
		s_Data = MakeTerrainData("0 1 2 0 1 2").release();
	}
	static void TearDownTestSuite() { delete s_Data; }

	// An 8 x 6 map with its castle at (2, 2): cities at ring 1, 2 and 4 and one
	// at ring 7, beyond the search radius 4; walls at ring 1; a road at ring 2.
	BattleMap() : file(8, 6)
	{
		for (int y = 0; y < 6; ++y) {
			for (int x = 0; x < 8; ++x) {
				file.chip[y][x] = (x + y) % 6;
				file.heights[y][x] = x + 10 * y;
				file.objectNo[y][x] = 7;
			}
		}
		Put(2, 2, 4);
		Put(3, 2, 1);
		Put(2, 4, 1);
		Put(6, 2, 1);
		Put(7, 5, 1);
		Put(1, 1, 2);
		Put(1, 3, 2);
		Put(4, 2, 3);
		Put(5, 5, 5);
		file.AddArea("A02", 20);
		file.AddArea(u8"北の砦", 22);
	}

	void Put(int x, int y, int object) { file.object[y][x] = object; }

	bool Load(TBattleMap& map, const TiXmlElement* element, const TMorvalethData& data = *s_Data)
	{
		return map.Load(element, MAP_NAME, data);
	}

	/// The standard map, loaded.
	TBattleMap Loaded()
	{
		TBattleMap map(0, 0);
		TParsed parsed(file.Xml());
		EXPECT_TRUE(Load(map, parsed.Root()));
		return map;
	}

	static TMorvalethData* s_Data;
	TMapFile file;
};

TMorvalethData* BattleMap::s_Data = nullptr;

std::vector<point_t> Points(std::initializer_list<point_t> points)
{
	return points;
}
}

// The file's terrain is in force, only the castle stands, and the object lists run outwards from the
// castle within the search radius.
TEST_F(BattleMap, LoadPutsTheFileTerrainInForceWithOnlyTheCastleStanding)
{
	TBattleMap map = Loaded();
	EXPECT_EQ(8, map.GetWidth());
	EXPECT_EQ(6, map.GetHeight());
	EXPECT_EQ(file.chip, Rows(map.GetCurrentChip()));
	EXPECT_EQ(file.heights, Rows(map.GetCurrentHeight()));
	EXPECT_EQ(point_t({2, 2}), map.GetCastlePoint());
	EXPECT_EQ(4, map.GetObjectInstance().At(2, 2));
	EXPECT_EQ(1u, map.CountMapObject(4));
	EXPECT_EQ(47u, map.CountMapObject(0));
	EXPECT_EQ(Points({{3, 2}, {2, 4}, {6, 2}}), map.GetCityList());
	EXPECT_EQ(Points({{1, 1}, {1, 3}}), map.GetWallList());
	EXPECT_EQ(Points({{4, 2}}), map.GetRoadList());
}

TEST_F(BattleMap, LoadReadsNeighboursAndTheirStartPoints)
{
	TBattleMap map = Loaded();
	ASSERT_EQ(2u, map.GetNeighborIds().size());
	EXPECT_EQ("A02", map.GetNeighborIds()[0]);
	EXPECT_EQ("北の砦", map.GetNeighborIds()[1]);
	ASSERT_EQ(2u, map.GetStartPointSets().size());
	EXPECT_EQ(-1, map.GetStartPointSets()[0].area);
	EXPECT_EQ(file.areas[1].second, map.GetStartPointSets()[1].points);

	std::vector<point_t> points;
	EXPECT_FALSE(map.GetStartPoints(7, points));
	EXPECT_TRUE(map.SetStartPointArea(1, 7));
	ASSERT_TRUE(map.GetStartPoints(7, points));
	EXPECT_EQ(22u, points.size());

	TCapturedLog log;
	EXPECT_FALSE(map.SetStartPointArea(2, 7));
	EXPECT_EQ(1, log.CountLines("no start point set 2"));
}

TEST_F(BattleMap, AMapWithoutCastleListsObjectsAroundItsCentre)
{
	Put(2, 2, 0);
	TBattleMap map = Loaded();
	EXPECT_EQ(point_t({4, 3}), map.GetCastlePoint());
	EXPECT_EQ(0u, map.CountMapObject(4));
	// (3, 2) and (6, 2) lie two rings from the centre, (2, 4) three and (7, 5) four.
	ASSERT_EQ(4u, map.GetCityList().size());
	EXPECT_EQ(point_t({2, 4}), map.GetCityList()[2]);
	EXPECT_EQ(point_t({7, 5}), map.GetCityList()[3]);
}

TEST_F(BattleMap, EachLevelBuildsThatManyObjectsAndCountsBack)
{
	struct TKind
	{
		int (TBattleMap::*set)(int);
		int value;
		int listed;
	};
	for (const TKind& kind : {TKind{&TBattleMap::SetCity, 1, 3}, TKind{&TBattleMap::SetWall, 2, 2}, TKind{&TBattleMap::SetRoad, 3, 1}}) {
		for (int level = -1; level <= kind.listed + 2; ++level) {
			TBattleMap map = Loaded();
			EXPECT_EQ(kind.listed, (map.*kind.set)(level));
			const unsigned expected = static_cast<unsigned>(std::max(0, std::min(level, kind.listed)));
			EXPECT_EQ(expected, map.CountMapObject(kind.value)) << "object " << kind.value << " level " << level;
		}
	}
	// The nearest cities come first, and a lower level removes none.
	TBattleMap map = Loaded();
	map.SetCity(2);
	EXPECT_EQ(1, map.GetObjectInstance().At(3, 2));
	EXPECT_EQ(1, map.GetObjectInstance().At(2, 4));
	EXPECT_EQ(0, map.GetObjectInstance().At(6, 2));
	map.SetCity(1);
	EXPECT_EQ(2u, map.CountMapObject(1));
}

TEST_F(BattleMap, SavedObjectsReadBackIntoAFreshMapOfTheSameFile)
{
	TBattleMap played = Loaded();
	played.SetCity(2);
	played.SetWall(1);
	played.SetRoad(1);
	ASSERT_TRUE(played.BuildMapType(*s_Data));
	ASSERT_TRUE(played.RemoveMapObject(*s_Data, 3, 2));
	played.ReleaseMapType();

	TParsed area("<Area id=\"A01\"><Name>x</Name></Area>");
	TCapturedLog log;
	ASSERT_TRUE(played.SaveToElementSerialize(area.Root()));
	EXPECT_EQ(1, log.CountLines("TBattleMap::SaveToElementSerialize:"));
	const TiXmlElement* saved = area.Root()->LastChild()->ToElement();
	ASSERT_NE(nullptr, saved);
	EXPECT_STREQ("MapObjectInstance", saved->Value());
	EXPECT_STREQ("0,2,0,0,0,0,0,0", saved->FirstChildElement("L1")->GetText());
	EXPECT_STREQ("0,0,4,0,3,0,0,0", saved->FirstChildElement("L2")->GetText());

	TBattleMap restored = Loaded();
	ASSERT_TRUE(restored.LoadFromElementSerialize(area.Root()));
	EXPECT_EQ(Rows(played.GetObjectInstance()), Rows(restored.GetObjectInstance()));
	EXPECT_EQ(1u, restored.CountMapObject(1));
}

TEST_F(BattleMap, AMapWithoutRowsSavesAnEmptyElement)
{
	TBattleMap map(0, 0);
	TParsed area("<Area/>");
	ASSERT_TRUE(map.SaveToElementSerialize(area.Root()));
	const TiXmlElement* saved = area.Root()->FirstChildElement("MapObjectInstance");
	ASSERT_NE(nullptr, saved);
	EXPECT_EQ(nullptr, saved->FirstChild());
}

TEST_F(BattleMap, ABadSavedObjectLayerIsRefusedAndChangesNothing)
{
	const char* const cases[][2] = {
		{"<Area/>", "MapObjectInstance not found."},
		{"<Area><MapObjectInstance><L0>0,0,0,0,0,0,0,0</L0></MapObjectInstance></Area>", "MapObjectInstance format error."},
		{"<Area><MapObjectInstance><L0>0,0,0,0,0,0,0,0</L0><L1>0,0,0</L1></MapObjectInstance></Area>",
			"MapObjectInstance elements < Width."},
		{"<Area><MapObjectInstance><L0>0,0,0,0,0,0,0,0</L0><L1>4294967296,0</L1></MapObjectInstance></Area>",
			"MapObjectInstance L1 の 1 番目の数 4294967296 は -2147483648..2147483647 の範囲の外にあります。"},
		{"<Area><MapObjectInstance><L0>0,0,0,0,0,0,0,0</L0><L1>0,0,0,0,0,0,0,0</L1><L2>0,0,0,0,0,1,0,0</L2>"
		 "</MapObjectInstance></Area>",
			"cannot hold object 1"},
	};
	for (const auto& c : cases) {
		TBattleMap map = Loaded();
		map.SetWall(2);
		const TGrid before = Rows(map.GetObjectInstance());
		TCapturedLog log;
		TParsed saved(c[0]);
		EXPECT_FALSE(map.LoadFromElementSerialize(saved.Root())) << c[1];
		EXPECT_EQ(1, log.CountLines(c[1])) << c[1];
		EXPECT_EQ(before, Rows(map.GetObjectInstance())) << c[1];
	}
}

TEST_F(BattleMap, RowsIgnoreExtraNumbersAndAllowBlanks)
{
	TParsed parsed(file.Xml());
	parsed.SetRowText("MapHeight", 0, " 5, 6,7 ,8,9,10,11,12,13,14");
	TBattleMap map(0, 0);
	ASSERT_TRUE(Load(map, parsed.Root()));
	std::vector<int> row;
	map.GetCurrentHeight().GetRow(0, row);
	EXPECT_EQ((std::vector<int>{5, 6, 7, 8, 9, 10, 11, 12}), row);
}

TEST_F(BattleMap, StartPointsEndAtTheFirstMissingNumber)
{
	file.AddArea("A03", 25);
	TParsed parsed(file.Xml());
	TiXmlElement* area = parsed.Root()->FirstChildElement("NeighborArea")->LastChild()->ToElement();
	TiXmlElement later("Point26");
	later.SetAttribute("x", 1);
	later.SetAttribute("y", 1);
	area->InsertEndChild(later);
	TBattleMap map(0, 0);
	ASSERT_TRUE(Load(map, parsed.Root()));
	EXPECT_EQ(25u, map.GetStartPointSets()[2].points.size());
}

// Points are taken by their number, whatever their order in the file; the first
// element of a number counts, and names that only look like a number are no point.
TEST_F(BattleMap, StartPointsAreTakenInNumberOrder)
{
	TParsed parsed(file.Xml());
	TiXmlElement* area = parsed.Root()->FirstChildElement("NeighborArea")->FirstChildElement("Area");
	area->Clear();
	const auto add = [area](const std::string& name, int x, int y) {
		TiXmlElement point(name.c_str());
		point.SetAttribute("x", x);
		point.SetAttribute("y", y);
		area->InsertEndChild(point);
	};
	for (int i = 21; i >= 0; --i)
		add("Point" + std::to_string(i), i % 8, i / 8);
	add("Point0", 7, 5);
	add("Point022", 7, 5);
	add("Point+22", 7, 5);
	TBattleMap map(0, 0);
	ASSERT_TRUE(Load(map, parsed.Root()));
	const std::vector<point_t>& points = map.GetStartPointSets()[0].points;
	ASSERT_EQ(22u, points.size());
	for (int i = 0; i < 22; ++i)
		EXPECT_EQ(point_t({i % 8, i / 8}), points[i]) << i;
}

// A start point off the map could never be stood on: it is dropped with an
// Error, and the area must still have enough points.
TEST_F(BattleMap, StartPointsOffTheMapAreDroppedBeforeTheyAreCounted)
{
	file.areas[1].second[0] = {8, 0};
	TBattleMap map(0, 0);
	{
		TCapturedLog log;
		TParsed parsed(file.Xml());
		ASSERT_TRUE(Load(map, parsed.Root()));
		EXPECT_EQ(1, log.CountLines("BattleMap_T.xml : 初期配置座標(8, 0)がマップの外にあります。"));
		EXPECT_EQ(21u, map.GetStartPointSets()[1].points.size());
	}
	file.areas[0].second[3] = {0, -1};
	TCapturedLog log;
	TParsed parsed(file.Xml());
	EXPECT_FALSE(Load(map, parsed.Root()));
	EXPECT_EQ(1, log.CountLines("初期配置座標(0, -1)がマップの外にあります。"));
	EXPECT_EQ(1, log.CountLines("BattleMap_T.xml : 初期配置座標の数が足りません(19)。最低20必要です。"));
}

// Every malformed file names the map and what is wrong, and leaves the map
// that was loaded before untouched.
TEST_F(BattleMap, AMalformedFileFailsWithItsMessageAndChangesNothing)
{
	struct TCase
	{
		void (*spoilFile)(TMapFile& file);
		void (*spoilXml)(TParsed& parsed);
		const char* message;
	};
	const TCase cases[] = {
		{nullptr, [](TParsed& p) { p.Root()->RemoveAttribute("Width"); }, "Width not found."},
		{nullptr, [](TParsed& p) { p.Root()->SetAttribute("Height", "six"); }, "Height not found."},
		{nullptr, [](TParsed& p) { p.Root()->RemoveAttribute("City"); }, "City not found."},
		{nullptr, [](TParsed& p) { p.Root()->RemoveAttribute("Wall"); }, "Wall not found."},
		{nullptr, [](TParsed& p) { p.Root()->RemoveAttribute("Road"); }, "Road not found."},
		{nullptr, [](TParsed& p) { p.Root()->SetAttribute("Width", 0); }, "Width 0 is outside 1..65."},
		{nullptr, [](TParsed& p) { p.Root()->SetAttribute("Height", 66); }, "Height 66 is outside 1..65."},
		{nullptr, [](TParsed& p) { p.RemoveChild("MapChip"); }, "MapChip not found."},
		{nullptr, [](TParsed& p) { p.RemoveChild("MapObjectNo"); }, "MapObjectNo not found."},
		{nullptr, [](TParsed& p) { p.RemoveRow("MapHeight", 3); }, "MapHeight Format Error."},
		{nullptr, [](TParsed& p) { p.SetRowText("MapChip", 0, "1,2,x,4,0,0,0,0"); }, "MapChip < Width."},
		{nullptr, [](TParsed& p) { p.SetRowText("MapObject", 5, ""); }, "MapObject < Width."},
		// A number that fits no int is no missing number: the message says which and where.
		{nullptr, [](TParsed& p) { p.SetRowText("MapHeight", 2, "0,2147483648,0,0,0,0,0,0"); },
			"MapHeight L2 の 2 番目の数 2147483648 は -2147483648..2147483647 の範囲の外にあります。"},
		{nullptr, [](TParsed& p) { p.SetRowText("MapHeight", 0, " -2147483649,0,0,0,0,0,0,0"); },
			"MapHeight L0 の 1 番目の数 -2147483649 は -2147483648..2147483647 の範囲の外にあります。"},
		{nullptr, [](TParsed& p) { p.SetRowText("MapHeight", 5, "0,0,0,0,0,0,0,1099511627776"); },
			"MapHeight L5 の 8 番目の数 1099511627776 は -2147483648..2147483647 の範囲の外にあります。"},
		{nullptr, [](TParsed& p) { p.SetRowText("MapChip", 1, "0,0,0,123456789012345678901234567890,0,0,0,0"); },
			"MapChip L1 の 4 番目の数 123456789012345678901234... は -2147483648..2147483647 の範囲の外にあります。"},
		{nullptr, [](TParsed& p) { p.RemoveChild("NeighborArea"); }, "Neighbor not found."},
		{nullptr, [](TParsed& p) { p.FirstArea()->FirstChildElement("Point4")->RemoveAttribute("y"); },
			"初期配置座標の読込に失敗しました。"},
		{[](TMapFile& f) { f.areas[0].second.pop_back(); }, nullptr, "初期配置座標の数が足りません(19)。最低20必要です。"},
		// Points on one cell hold one chara: counted as points, they would leave the placement swapping for good.
		{[](TMapFile& f) { f.areas[0].second.assign(24, {2, 3}); }, nullptr, "初期配置座標の数が足りません(1)。最低20必要です。"},
		{[](TMapFile& f) { f.object[3][3] = 9; }, nullptr, "上物レイヤに未定義のインデックスがあります。"},
		{[](TMapFile& f) { f.object[1][2] = -1; }, nullptr, "上物レイヤに未定義のインデックスがあります。"},
		{[](TMapFile& f) { f.chip[5][7] = 6; }, nullptr, "地形レイヤに未定義のインデックス6があります。"},
	};
	for (const TCase& c : cases) {
		TBattleMap map = Loaded();
		map.SetCity(1);
		TMapFile spoilt = file;
		if (c.spoilFile)
			c.spoilFile(spoilt);
		TParsed parsed(spoilt.Xml());
		if (c.spoilXml)
			c.spoilXml(parsed);
		TCapturedLog log;
		EXPECT_FALSE(Load(map, parsed.Root())) << c.message;
		EXPECT_EQ(1, log.CountLines(std::string(MAP_NAME) + " : " + c.message)) << c.message;
		EXPECT_EQ(1, log.CountLines("Error")) << c.message;
		EXPECT_EQ(8, map.GetWidth()) << c.message;
		EXPECT_EQ(file.chip, Rows(map.GetCurrentChip())) << c.message;
		EXPECT_EQ(1u, map.CountMapObject(1)) << c.message;
		EXPECT_EQ(2u, map.GetStartPointSets().size()) << c.message;
	}
}

TEST_F(BattleMap, AMissingElementFailsTheLoad)
{
	TBattleMap map(0, 0);
	TCapturedLog log;
	EXPECT_FALSE(Load(map, nullptr));
	EXPECT_EQ(1, log.CountLines("BattleMap_T.xml : BattleMap not found."));
}

TEST_F(BattleMap, MapTypesAreGroundsOrObjectKindsAfterTheGrounds)
{
	TBattleMap map = Loaded();
	map.SetWall(2);
	ASSERT_TRUE(map.BuildMapType(*s_Data));
	EXPECT_EQ(8, map.GetMapType().Width());
	EXPECT_EQ(2, map.GetMapType().At(0, 2));
	EXPECT_EQ(1, map.GetMapType().At(0, 1));
	EXPECT_EQ(GROUND_COUNT + 4, map.GetMapType().At(2, 2));
	EXPECT_EQ(GROUND_COUNT + 2, map.GetMapType().At(1, 1));
	EXPECT_EQ(2, map.GetMapObjectType(1, 1));
	EXPECT_EQ(0, map.GetMapObjectType(3, 2));
	map.ReleaseMapType();
	EXPECT_EQ(0, map.GetMapType().Width());
	EXPECT_EQ(0, map.GetMapType().Height());
}

TEST_F(BattleMap, ChangedChipsLastUntilTheLayersAreRestored)
{
	TBattleMap map = Loaded();
	ASSERT_TRUE(map.BuildMapType(*s_Data));
	ASSERT_TRUE(map.SetMapChip(*s_Data, 0, 0, 2));
	EXPECT_EQ(2, map.GetCurrentChip().At(0, 0));
	EXPECT_EQ(2, map.GetMapType().At(0, 0));
	{
		TCapturedLog log;
		EXPECT_FALSE(map.SetMapChip(*s_Data, 0, 0, 6));
		EXPECT_FALSE(map.SetMapChip(*s_Data, 8, 0, 1));
		EXPECT_EQ(2, log.CountLines("Error"));
		EXPECT_EQ(2, map.GetCurrentChip().At(0, 0));
	}
	map.RestoreLayers();
	EXPECT_EQ(0, map.GetCurrentChip().At(0, 0));
}

// A removed wall leaves the count and its list; removing another kind answers the kind found and
// changes nothing.
TEST_F(BattleMap, RemovingAnObjectOfAKind)
{
	TBattleMap map = Loaded();
	map.SetWall(2);
	ASSERT_TRUE(map.BuildMapType(*s_Data));
	EXPECT_EQ(1, map.RemoveMapObjectOfType(*s_Data, 1, 3, 2));
	EXPECT_EQ(1u, map.CountMapObject(2));
	EXPECT_EQ(Points({{1, 1}}), map.GetWallList());
	EXPECT_EQ(map.GetCurrentChip().At(1, 3) % 3, map.GetMapType().At(1, 3));
	EXPECT_EQ(0, map.GetMapObjectType(1, 3));
	// A level set after the loss counts only the walls still listed.
	EXPECT_EQ(1, map.SetWall(2));
	EXPECT_EQ(1u, map.CountMapObject(2));
	EXPECT_EQ(4, map.RemoveMapObjectOfType(*s_Data, 2, 2, 2));
	EXPECT_EQ(4, map.GetObjectInstance().At(2, 2));
	EXPECT_TRUE(map.RemoveMapObject(*s_Data, 2, 2));
	EXPECT_EQ(0u, map.CountMapObject(4));
	TCapturedLog log;
	EXPECT_FALSE(map.RemoveMapObject(*s_Data, -1, 2));
	EXPECT_EQ(1, log.CountLines("off the 8 x 6 map"));
}

TEST_F(BattleMap, RemovingAPointMissingFromItsListIsALogicError)
{
	std::vector<point_t> list = Points({{1, 1}, {2, 2}, {1, 1}});
	TBattleMap::RemoveMapObjXY(list, 1, 1);
	EXPECT_EQ(Points({{2, 2}, {1, 1}}), list);
	TCapturedLog log;
	TBattleMap::RemoveMapObjXY(list, 3, 3);
	EXPECT_EQ(1, log.CountLines("TBattleMap::RemoveMapObjXY() logic error"));
	EXPECT_EQ(2u, list.size());
}

TEST_F(BattleMap, AChipWithoutGroundFailsTheBattleMapTypes)
{
	TBattleMap map = Loaded();
	const std::unique_ptr<TMorvalethData> shortChips = MakeTerrainData("0 1");
	TCapturedLog log;
	EXPECT_FALSE(map.BuildMapType(*shortChips));
	EXPECT_EQ(1, log.CountLines("TBattleMap::UpdateMapType() Error：地形レイヤに未定義のインデックス2があります。"));
	EXPECT_EQ(1, log.CountLines("戦闘開始時のエリアマップ生成に失敗しました。"));
	EXPECT_EQ(0, map.GetMapType().Width());
}

// The map generator's files must load as they are, with every area's
// neighbours, enough start points and as many objects as their attributes say.
TEST_F(BattleMap, GeneratedMapsLoadWithStartPointsForEveryNeighbour)
{
	if (std::system("command -v python3 > /dev/null") != 0)
		GTEST_SKIP() << "python3 is not available";
	TTempDir dir;
	WriteFile(dir / "areas.json", u8"{\"A01\": [\"A02\", \"北\", \"A04\", \"A05\"], \"北\": [\"A01\"]}");
	const std::string command = "python3 '" MORVALETH_SOURCE_DIR "/tools/gen_battle_maps.py' '" + dir.Path() + "/out' --input '"
		+ (dir / "areas.json") + "' A02=A01 --seed 7 > /dev/null";
	ASSERT_EQ(0, std::system(command.c_str()));

	const std::pair<const char*, std::vector<std::string>> expected[] = {
		{"BattleMap_A01.xml", {"A02", "北", "A04", "A05"}},
		{"BattleMap_北.xml", {"A01"}},
		{"BattleMap_A02.xml", {"A01"}},
	};
	for (const auto& area : expected) {
		const std::string path = dir.Path() + "/out/" + area.first;
		TiXmlDocument document;
		ASSERT_EQ(TXmlFileState::Loaded, LoadXmlFile(document, path)) << path;
		const TiXmlElement* root = document.FirstChildElement("BattleMap");
		TBattleMap map(0, 0);
		ASSERT_TRUE(map.Load(root, path, *s_Data)) << path;
		EXPECT_EQ(area.second, map.GetNeighborIds()) << path;
		for (const TStartPointSet& set : map.GetStartPointSets()) {
			EXPECT_LE(20u, set.points.size()) << path;
			for (const point_t& p : set.points)
				EXPECT_EQ(0, map.GetObjectInstance().At(p.x, p.y)) << path;
		}
		EXPECT_EQ(point_t({8, 6}), map.GetCastlePoint()) << path;
		const char* const levels[] = {"City", "Wall", "Road"};
		int (TBattleMap::*const setters[])(int) = {&TBattleMap::SetCity, &TBattleMap::SetWall, &TBattleMap::SetRoad};
		for (int kind = 0; kind < 3; ++kind) {
			int level = 0;
			root->QueryIntAttribute(levels[kind], &level);
			EXPECT_EQ(level, (map.*setters[kind])(level)) << path << " " << levels[kind];
			EXPECT_EQ(static_cast<unsigned>(level), map.CountMapObject(kind + 1)) << path << " " << levels[kind];
		}
	}
}

TEST(BattleMapRows, ParseIntListReadsUpToTheFirstBadNumber)
{
	std::vector<int> values;
	EXPECT_EQ(4, ParseIntList("3,3,12,0", values, 10));
	EXPECT_EQ((std::vector<int>{3, 3, 12, 0}), values);
	EXPECT_EQ(2, ParseIntList("1,2,x,4", values, 4));
	EXPECT_EQ(2, ParseIntList("1 x,-2", values, 4));
	EXPECT_EQ((std::vector<int>{1, -2}), values);
	EXPECT_EQ(1, ParseIntList("1 2 3", values, 4));
	EXPECT_EQ(2, ParseIntList("1,2,3", values, 2));
	// A number beyond the int range ends the list too, and is given apart from one that does not parse.
	std::string number;
	EXPECT_EQ(2, ParseIntList("1,2,x,4", values, 4, &number));
	EXPECT_EQ("", number);
	EXPECT_EQ(1, ParseIntList("7, \t99999999999,1", values, 3, &number));
	EXPECT_EQ("99999999999", number);
	EXPECT_EQ(0, ParseIntList(nullptr, values, 3));
	EXPECT_TRUE(values.empty());
}
