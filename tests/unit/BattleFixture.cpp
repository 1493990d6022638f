#include "BattleFixture.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "model/MorvalethData.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <tinyxml.h>
#include <boost/filesystem.hpp>
#include <boost/make_shared.hpp>
#include <functional>

namespace
{
const char* const MAGIC_TABLE = R"(<MagicList>
	<Magic id="bolt" groupid="arcane"><Name>Bolt</Name><Entry specialid="blade" rank="1"/></Magic>
	<Magic id="storm" groupid="arcane" limit="1"><Name>Storm</Name><Entry specialid="smash" rank="0"/></Magic>
</MagicList>)";
const char* const MAGIC_GROUP = R"(<MagicGroupList><MagicGroup id="arcane"><Name>Arcane</Name></MagicGroup></MagicGroupList>)";
const char* const RACE = R"(<RaceList><Race id="beast"><Name>Beast</Name></Race><Race id="human"><Name>Human</Name></Race></RaceList>)";

/// Elements of the names, with their indices, under the list element.
std::string NamedList(const char* list, const char* element, std::vector<const char*> names)
{
	std::string xml = std::string("<") + list + ">";
	for (std::size_t i = 0; i < names.size(); ++i)
		xml += std::string("<") + element + " index=\"" + std::to_string(i) + "\"><Name>" + names[i] + "</Name></" + element + ">";
	return xml + "</" + list + ">";
}

std::string MapChipType()
{
	return "<GroundList>" + NamedList("MapGroundList", "MapGround", {"Plain", "Forest", "Hill"})
		+ NamedList("MapObjectList", "MapObject", {"None", "City", "Wall", "Road", "Castle"}) + "</GroundList>";
}

/// A move type with the costs of plain, forest, hill, then objects none, city, wall, road and castle.
std::string MoveType(const char* id, const int (&costs)[8])
{
	std::string xml = std::string("<MoveType id=\"") + id + "\"><Name>" + id + "</Name>";
	for (int i = 0; i < 8; ++i) {
		const bool ground = i < 3;
		xml += std::string("<") + (ground ? "MapGround" : "MapObject") + " index=\"" + std::to_string(ground ? i : i - 3)
			+ "\" MoveCost=\"" + std::to_string(costs[i]) + "\" Skill=\"" + std::to_string(i) + "\"/>";
	}
	return xml + "</MoveType>";
}

std::string MoveAndSkill()
{
	return "<MoveTypeList>" + MoveType("walk", {2, 3, 4, 2, 2, 5, 1, 2}) + MoveType("fly", {1, 1, 1, 1, 1, 1, 1, 1})
		+ MoveType("sink", {2, 3, -1, 2, 2, 5, 1, 2}) + "</MoveTypeList>";
}

const char* const ATTRIBUTE = R"(<AttributeList>
	<Attribute id="null" type="None"><Name>Null</Name><ShortName>N</ShortName></Attribute>
	<Attribute id="cut" type="Attack"><Name>Cut</Name><ShortName>C</ShortName></Attribute>
	<Attribute id="mend" type="Boost"><Name>Mend</Name><ShortName>M</ShortName><SystemEffect id="HPRecover"/></Attribute>
	<Attribute id="crash" type="CrashWall"><Name>Crash</Name><ShortName>W</ShortName><SystemEffect id="CrashWall"/></Attribute>
	<Attribute id="call" type="Summon"><Name>Call</Name><ShortName>S</ShortName></Attribute>
	<Attribute id="raise" type="Revive"><Name>Raise</Name><ShortName>R</ShortName><SystemEffect id="Revive"/></Attribute>
)";

/// System effect keywords from 2 on, each given by one attribute "fx" + keyword and one special of the same id.
const char* const EFFECT_KEYWORDS[] = {"Poison", "Stone", "Paralyze", "Sleep", "Dream", "Death", "Absorb",
	"HPRecover", "MPRecover", "CrashWall", "PlusPhysicalAttack", "PlusPhysicalDefense", "PlusSkill", "PlusSpeed",
	"PlusMagicAttack", "PlusMagicDefense", "PlusHPRecover", "PlusMPRecover", "PlusAttackCount", "CurePoison",
	"CureStone", "CurePralyze", "CureSleep", "CureDream", "CureAll", "ChangeResistance", "ChangeMoveType", "Summon",
	"Revive"};

std::string AttributeTable()
{
	std::string xml = ATTRIBUTE;
	for (const char* keyword : EFFECT_KEYWORDS)
		xml += std::string("<Attribute id=\"fx") + keyword + "\" type=\"Attack\"><Name>" + keyword
			+ "</Name><ShortName>E</ShortName><SystemEffect id=\"" + keyword + "\"/></Attribute>";
	return xml + "</AttributeList>";
}

const char* const REVIVE_RULES = R"(<ReviveList>
	<Revive id="same"><SelectMethod value="Same"/></Revive>
	<Revive id="hire"><SelectMethod value="Employable"/></Revive>
	<Revive id="list"><SelectMethod value="FromList"/><CharacterList><Character id="wolf"/></CharacterList></Revive>
</ReviveList>)";

const char* const MASTER_DATA = R"(<MasterList><Character><Directory>Fix</Directory></Character>
	<Master id="alda"><Name>Alda</Name></Master><Master id="brom"><Name>Brom</Name></Master></MasterList>)";
const char* const POWER_MAP = R"(<PowerMap><Image><File>powermap.png</File></Image><AreaList/></PowerMap>)";
const char* const FIELD_MAP = R"(<FieldMap Width="640" Height="480"><Image><File>fieldmap.png</File></Image></FieldMap>)";
const char* const SCENARIO = R"(<Scenario><Title>Fixture</Title></Scenario>)";
const char* const CHAPTER = R"(<Chapter><Name>One</Name><Explanation>-</Explanation><Turn>1</Turn></Chapter>)";

std::string Special(const char* id, const char* range, const char* attribute, const char* extra = "")
{
	return std::string("<Special id=\"") + id + "\" rangetype=\"" + range + "\"><Name>" + id
		+ "</Name><ConsumeMP value=\"0\"/><MaxRange value=\"1\"/><MaxRadius value=\"0\"/><Power value=\"10\"/>"
		  "<PowerType>PhysicalAttack</PowerType><GuardType>PhysicalDefense</GuardType><HitType>Skill</HitType>"
		  "<AvoidType>Speed</AvoidType><Attribute>"
		+ attribute
		+ "</Attribute><PowerFormula>FTAttack</PowerFormula><HitFormula>Anytime</HitFormula>"
		  "<AdditionalHitFormula>Anytime</AdditionalHitFormula><HitJudgeType>SingleJudge</HitJudgeType>"
		  "<Image type=\"Chip\" width=\"32\" height=\"32\" animation=\"4\">effect.png</Image>"
		+ extra + "</Special>";
}

/// The parameters a special of the system effect needs.
std::string EffectParameters(const std::string& keyword)
{
	if (keyword == "ChangeResistance")
		return "<Resistance attribute=\"cut\" resistance=\"strong\"/>";
	if (keyword == "ChangeMoveType")
		return "<MoveType id=\"fly\"/>";
	if (keyword == "Summon")
		return "<SummonCharacter id=\"wolf\"/>";
	if (keyword == "Revive")
		return "<Revive id=\"same\"/>";
	return "";
}

/// One special per system effect, named as its attribute, and the revivals by each rule.
std::string EffectSpecials()
{
	std::string xml;
	for (const char* keyword : EFFECT_KEYWORDS) {
		const std::string id = std::string("fx") + keyword;
		const bool revive = id == "fxRevive";
		xml += Special(id.c_str(), revive ? "AllDeadMySide" : "Normal", id.c_str(), EffectParameters(keyword).c_str());
	}
	xml += Special("fxReviveHire", "AllDeadMySide", "fxRevive", "<Revive id=\"hire\"/>");
	xml += Special("fxReviveList", "AllDeadEnemy", "fxRevive", "<Revive id=\"list\"/>");
	xml += Special("fxReviveHireFoe", "AllDeadEnemy", "raise", "<Revive id=\"hire\"/>");
	return xml;
}

/// A healing of the caster alone for 5 MP, which the battle script's "may_pray" allows.
std::string Prayer()
{
	std::string xml = Special("prayer", "Me", "mend", "<Script timing=\"before\" function=\"may_pray\"/>");
	const std::string free = "<ConsumeMP value=\"0\"/>";
	return xml.replace(xml.find(free), free.size(), "<ConsumeMP value=\"5\"/>");
}

/// A cut of every cell below height 1.
std::string Quake()
{
	std::string xml = Special("quake", "LowerThan", "cut");
	return xml.insert(xml.find(">"), " rangeheight=\"1\"");
}

std::string SpecialTable()
{
	return "<SpecialList>" + Special("AttackWall", "Normal", "crash") + Special("blade", "Normal", "cut") + Special("heal", "Normal", "mend")
		+ Special("smash", "AllWall", "crash") + Special("summon", "Normal", "call")
		+ Special("revive", "AllDeadMySide", "raise", "<Revive id=\"same\"/>") + Special("nothing", "Normal", "null")
		+ Special("tame", "Normal", "cut", "<Target id=\"beasts\"/>") + Quake() + EffectSpecials() + Prayer() + "</SpecialList>";
}

/// A character; extra holds its own elements (attacks, flags, commands).
std::string Character(const char* id, const char* race, const char* moveType, int movable, int speed,
	const char* extra)
{
	return std::string("<Character id=\"") + id + "\"><Name>" + id + "</Name><Magic id=\"arcane\" rank=\"0\"/>"
		+ "<Race value=\"" + race + "\"/><EmployCost value=\"10\"/><TurnCost value=\"1\"/><MoveType value=\"" + moveType
		+ "\"/><Movable value=\"" + std::to_string(movable) + "\"/><HP value=\"40\"/><MP value=\"10\"/>"
		+ "<PhysicalAttack value=\"10\"/><PhysicalDefense value=\"10\"/><Skill value=\"10\"/><Speed value=\""
		+ std::to_string(speed) + "\"/><MagicAttack value=\"10\"/><MagicDefense value=\"10\"/><Morale value=\"50\"/>"
		+ "<Aggressive value=\"50\"/><HPRecover value=\"3\"/><MPRecover value=\"2\"/><Power value=\"1\"/>"
		+ "<Experience value=\"10\"/>" + extra + "<BattleChip>chip.png</BattleChip></Character>";
}

std::string CharacterData()
{
	const char* const attack = "<Attack Power=\"10\" specialid=\"blade\"/>";
	return std::string("<CharacterList>")
		+ Character("alda", "human", "walk", 2, 10, attack)
		+ Character("brom", "beast", "walk", 2, 20, attack)
		+ Character("guard", "human", "walk", 2, 0, (std::string(attack) + "<DeadMessage flag=\"true\"/>").c_str())
		+ Character("lamb", "human", "walk", 2, 0, "")
		+ Character("mole", "human", "sink", 2, 0, attack)
		+ Character("scout", "human", "fly", 4, 100, attack)
		+ Character("squire", "human", "walk", 2, 0,
			(std::string(attack) + "<Attack Power=\"20\" specialid=\"fxPoison\"/><ClassChange next=\"guard\"/>"
				+ "<Employable>lamb</Employable>").c_str())
		+ Character("tamer", "human", "walk", 2, 0,
			(std::string(attack) + "<BeastTamer><Command>beast</Command></BeastTamer>").c_str())
		+ Character("wolf", "beast", "walk", 3, 50, (std::string(attack) + "<Target id=\"beasts\"/>").c_str())
		+ Character("mourner", "human", "walk", 2, 0,
			(std::string(attack) + "<AutoScript function=\"mourn\" event=\"MySideDead\"/>").c_str())
		+ Character("martyr", "human", "walk", 2, 0,
			(std::string(attack) + "<AutoSpecial id=\"prayer\" event=\"MeDead\"/>").c_str())
		+ Character("avenger", "human", "walk", 2, 0,
			(std::string(attack) + "<AutoScript function=\"avenge\" event=\"EnemyDead\"/>").c_str())
		+ "</CharacterList>";
}

std::unique_ptr<TMorvalethData> LoadFixture()
{
	TTempDir dir;
	const std::pair<const char*, std::string> files[] = {{"Data/MagicTable.xml", MAGIC_TABLE},
		{"Data/MagicGroup.xml", MAGIC_GROUP}, {"Data/Race.xml", RACE}, {"Data/MapChipType.xml", MapChipType()},
		{"Data/MoveAndSkill.xml", MoveAndSkill()}, {"Data/Attribute.xml", AttributeTable()}, {"Data/Revive.xml", REVIVE_RULES},
		{"Data/MapObj.txt", "0 1 2 3 4"}, {"Data/MapChip.txt", "0 1 2"}, {"Data/MasterData.xml", MASTER_DATA},
		{"Data/PowerMap.xml", POWER_MAP}, {"Data/FieldMap.xml", FIELD_MAP}, {"Data/Scenario1.xml", CHAPTER},
		{"Scenario.xml", SCENARIO}, {"Fix/SpecialTable.xml", SpecialTable()}, {"Fix/CharacterData.xml", CharacterData()}};
	boost::filesystem::create_directories(dir / "Data");
	boost::filesystem::create_directories(dir / "Fix");
	for (const auto& file : files)
		WriteFile(dir / file.first, file.second);
	TCapturedLog log;
	auto loaded = std::make_unique<TMorvalethData>();
	EXPECT_TRUE(loaded->Load(dir.Path(), 0)) << "the battle fixture database does not load:\n" << log.Text();
	return loaded;
}

// Terrain chip and object chip of each letter of a plan.
struct TCellLetter
{
	char letter;
	int chip;
	int object;
};
const TCellLetter CELL_LETTERS[] = {
	{'.', 0, 0}, {'f', 1, 0}, {'h', 2, 0}, {'c', 0, 1}, {'W', 0, 2}, {'r', 0, 3}, {'K', 0, 4},
};

const TCellLetter& LetterOf(char letter)
{
	for (const TCellLetter& entry : CELL_LETTERS)
		if (entry.letter == letter)
			return entry;
	ADD_FAILURE() << "no cell letter '" << letter << "'";
	return CELL_LETTERS[0];
}

/// A layer of the map file: for each cell, the value of its letter and its height digit.
std::string LayerXml(const char* name, const TMapPlan& plan, const std::function<int(char, char)>& value)
{
	std::string xml = std::string("<") + name + ">";
	for (std::size_t y = 0; y < plan.rows.size(); ++y) {
		xml += "<L" + std::to_string(y) + ">";
		for (std::size_t x = 0; x < plan.rows[y].size(); ++x)
			xml += (x ? "," : "") + std::to_string(value(plan.rows[y][x], plan.heights.empty() ? '0' : plan.heights[y][x]));
		xml += "</L" + std::to_string(y) + ">";
	}
	return xml + "</" + name + ">";
}

std::string MapXml(const TMapPlan& plan)
{
	const int width = static_cast<int>(plan.rows[0].size());
	const int height = static_cast<int>(plan.rows.size());
	std::string xml = "<BattleMap Width=\"" + std::to_string(width) + "\" Height=\"" + std::to_string(height)
		+ "\" City=\"0\" Wall=\"0\" Road=\"0\">"
		+ LayerXml("MapChip", plan, [](char letter, char) { return LetterOf(letter).chip; })
		+ LayerXml("MapObject", plan, [](char letter, char) { return LetterOf(letter).object; })
		+ LayerXml("MapObjectNo", plan, [](char letter, char) { return LetterOf(letter).object; })
		+ LayerXml("MapHeight", plan, [](char, char digit) { return digit - '0'; }) + "<NeighborArea>";
	for (std::size_t i = 0; i < plan.startPoints.size(); ++i) {
		xml += "<Area id=\"N" + std::to_string(i) + "\">";
		const std::vector<point_t>& points = plan.startPoints[i].second;
		for (std::size_t k = 0; k < points.size(); ++k)
			xml += "<Point" + std::to_string(k) + " x=\"" + std::to_string(points[k].x) + "\" y=\""
				+ std::to_string(points[k].y) + "\"/>";
		xml += "</Area>";
	}
	return xml + "</NeighborArea></BattleMap>";
}
}

const TMorvalethData& BattleData()
{
	static const std::unique_ptr<TMorvalethData> data = LoadFixture();
	return *data;
}

int CharaIndexOf(const std::string& id)
{
	const int index = BattleData().GetCharaIndex(id);
	EXPECT_GE(index, 0) << "no character " << id;
	return index;
}

int SpecialIndexOf(const std::string& id)
{
	const int index = BattleData().GetSpecialIndex(id);
	EXPECT_GE(index, 0) << "no special " << id;
	return index;
}

int MoveTypeOf(const std::string& id)
{
	return BattleData().GetMoveTypeIndex(id);
}

std::unique_ptr<TBattleMap> BuildMap(const TMapPlan& plan)
{
	auto map = std::make_unique<TBattleMap>(0, 0);
	TiXmlDocument document;
	document.Parse(MapXml(plan).c_str());
	if (!map->Load(document.RootElement(), "BattleMap_Fixture.xml", BattleData()))
		return nullptr;
	for (std::size_t i = 0; i < plan.startPoints.size(); ++i)
		map->SetStartPointArea(static_cast<int>(i), plan.startPoints[i].first);
	map->SetCity(1000);
	map->SetWall(1000);
	map->SetRoad(1000);
	if (!map->BuildMapType(BattleData()))
		return nullptr;
	return map;
}

TMapPlan PlainPlan(int width, int height)
{
	TMapPlan plan;
	plan.rows.assign(height, std::string(width, '.'));
	return plan;
}

std::vector<point_t> RowPoints(int width, int y, int n)
{
	std::vector<point_t> points;
	for (; static_cast<int>(points.size()) < n; ++y)
		for (int x = y % 2 == 0 ? 1 : 0; x < (y % 2 == 0 ? width : width - 1) && static_cast<int>(points.size()) < n; ++x)
			points.push_back({x, y});
	return points;
}

TFieldBoard::TFieldBoard(const TMapPlan& plan)
	: map(BuildMap(plan)), sides(2)
{
	game.SetData(&BattleData());
	field.data = &BattleData();
	field.map = map.get();
	field.masters = {-1, -1};
	field.dead.assign(2, std::vector<int>());
	if (map)
		field.ClearLayers();
}

int TFieldBoard::Add(int side, const std::string& chara, int x, int y)
{
	sides[side].push_back(game.CreateCharaInstance(CharaIndexOf(chara), 0));
	const int index = static_cast<int>(sides[side].size()) - 1;
	field.sides = {&sides[0], &sides[1]};
	sides[side][index].BattleX = -1;
	if (x != -1)
		field.Put({side, index}, x, y);
	return index;
}

::testing::AssertionResult LayersAgree(const TBattleField& field)
{
	int standing = 0;
	for (int side = 0; side < field.SideCount(); ++side) {
		const std::vector<TCharaInstance>& charas = *field.sides[side];
		for (int index = 0; index < static_cast<int>(charas.size()); ++index) {
			const TCharaInstance& chara = charas[index];
			if (chara.HP == 0 || chara.Fled || chara.BattleX < 0)
				continue;
			++standing;
			if (field.sideLayer.At(chara.BattleX, chara.BattleY) != side
				|| field.charaLayer.At(chara.BattleX, chara.BattleY) != index)
				return ::testing::AssertionFailure() << "chara " << side << "/" << index << " at (" << chara.BattleX
													 << "," << chara.BattleY << ") is not on the layers";
		}
	}
	int marked = 0;
	for (int y = 0; y < field.Height(); ++y)
		for (int x = 0; x < field.Width(); ++x)
			marked += field.sideLayer.At(x, y) != -1;
	if (marked != standing)
		return ::testing::AssertionFailure() << marked << " cells marked for " << standing << " charas standing";
	return ::testing::AssertionSuccess();
}

namespace
{
const char* const WAITING_SIDE = "function on_battle_start() end\n"
								 "function on_battle_progress() end\n"
								 "function check_wish_runaway() return false end\n"
								 "function on_chara_action() end\n";
const int WATCH_SWITCHES[5] = {SWITCH_WATCH_USE, SWITCH_WATCH_ONLY_LARGE, SWITCH_WATCH_ONLY_MASTER,
	SWITCH_WATCH_NO_NEUTRAL, SWITCH_WATCH_MAX_SPEED};

TAreaInstance Area(const char* id, int owner, std::vector<std::string> neighbors)
{
	TAreaInstance area;
	area.id = id;
	area.Name = id;
	area.Owner = owner;
	area.NeighborIds = std::move(neighbors);
	return area;
}
}

TMapPlan BattlePlan()
{
	TMapPlan plan = PlainPlan(10, 8);
	plan.rows[5][5] = 'K';
	plan.startPoints = {{2, RowPoints(10, 0, 20)}};
	return plan;
}

BattleRun::BattleRun(const TMorvalethData& data)
	: logic(view, data, game), m_Data(g_GameMaster.m_Data), m_ScenarioDir(g_GameMaster.m_ScenarioDir), m_RootDir(g_GameMaster.m_RootDir),
	  m_TurnMax(g_Config.GetIntValue(CONFIG_TURN_MAX)), m_Speed(g_Config.GetIntValue(CONFIG_ANIMATION_SPEED))
{
	for (int i = 0; i < 5; ++i)
		m_Watch[i] = g_Config.GetBoolValue(WATCH_SWITCHES[i]);
	for (int i = 0; i < 5; ++i)
		g_Config.SetBoolValue(WATCH_SWITCHES[i], false);
	g_Config.SetIntValue(CONFIG_TURN_MAX, 3);
	g_Config.SetIntValue(CONFIG_ANIMATION_SPEED, 3);
	// Scripts are looked up only while the game master holds a game.
	g_GameMaster.m_Data = boost::make_shared<TMorvalethData>(data);
	g_GameMaster.m_ScenarioDir = scenario.Path();
	g_GameMaster.m_RootDir = scenario / "root";
	boost::filesystem::create_directories(scenario / "Script");
	WriteScript("battlecom.lua", WAITING_SIDE);
	WriteScript("battle.lua", "-- no events\n");
	game.SetData(&data);
	game.AddMaster(data.GetMasterIndex("alda"), 100);
	game.AddMaster(data.GetMasterIndex("brom"), 100);
	game.SetAreas({Area("A0", alda, {"A1", "A2"}), Area("A1", alda, {"A0"}), Area("A2", brom, {"A0"})});
}

BattleRun::~BattleRun()
{
	g_GameMaster.m_Data = m_Data;
	g_GameMaster.m_ScenarioDir = m_ScenarioDir;
	g_GameMaster.m_RootDir = m_RootDir;
	g_Config.SetIntValue(CONFIG_TURN_MAX, m_TurnMax);
	g_Config.SetIntValue(CONFIG_ANIMATION_SPEED, m_Speed);
	for (int i = 0; i < 5; ++i)
		g_Config.SetBoolValue(WATCH_SWITCHES[i], m_Watch[i]);
	g_GameMaster.ClearKeys();
}

void BattleRun::WriteScript(const std::string& name, const std::string& text)
{
	const std::string path = scenario / ("Script/" + name);
	if (text.empty())
		boost::filesystem::remove(path);
	else
		WriteFile(path, text);
}

int BattleRun::Add(int side, const std::string& chara, int source)
{
	sides[side].push_back(game.CreateCharaInstance(CharaIndexOf(chara), 0));
	sources[side].push_back(source != -2 ? source : side == 0 ? -1 : 2);
	return static_cast<int>(sides[side].size()) - 1;
}

bool BattleRun::Start(const TMapPlan& plan)
{
	map = BuildMap(plan);
	if (!map)
		return false;
	map->ReleaseMapType();
	return logic.Start(*map, {&sides[0], &sides[1]}, masters, 0, sources);
}

void BattleRun::CheckInvariants() const
{
	if (!logic.IsInBattle())
		return;
	const int state = logic.GetState();
	if (state != STATE_PLACING && state != STATE_PLAYER_PLACING) {
		EXPECT_TRUE(LayersAgree(logic.GetField())) << "state " << state;
	}
	for (const std::vector<TCharaInstance>& side : sides)
		for (const TCharaInstance& chara : side) {
			EXPECT_GE(chara.HP, 0);
			EXPECT_LE(chara.HP, chara.HPMax);
		}
	EXPECT_LE(logic.GetTurn(), g_Config.GetIntValue(CONFIG_TURN_MAX));
}

int BattleRun::Run(int cap)
{
	int frames = 0;
	while (logic.IsInBattle() && frames < cap) {
		logic.DoLogic();
		view.Tick();
		++frames;
		CheckInvariants();
		if (::testing::Test::HasFailure())
			break;
	}
	return frames;
}

bool BattleRun::RunUntil(int state, int cap)
{
	for (int frames = 0; frames < cap && logic.IsInBattle(); ++frames) {
		if (logic.GetState() == state)
			return true;
		logic.DoLogic();
		view.Tick();
		CheckInvariants();
	}
	return logic.GetState() == state;
}
