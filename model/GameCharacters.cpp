// Characters on the map: hiring, dismissal, moves, inhabitants, wandering and found heroes.

#include "model/MorvalethGame.h"

#include "app/CheckedNumber.h"
#include "app/Logger.h"
#include "app/Random.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"

#include <algorithm>

namespace
{
/// Inhabitant budget factor of a neutral area at game levels 1 to 5.
const int INHABIT_LEVEL_FACTOR[] = {3, 5, 7, 10, 14};
/// Inhabitant budgets of an owned area: with a master's character, on the border, inland.
const int INHABIT_BUDGET_MASTER = 500;
const int INHABIT_BUDGET_BORDER = 350;
const int INHABIT_BUDGET_INLAND = 100;
/// One hero search attempt in this many finds anybody.
const int SEARCH_HERO_CHANCE = 12;

/// Roster order of an area: masters' characters, then the owner's race, then heroes, then the strongest.
class TCharaOrder
{
public:
	/// Orders by the database's definitions; race -1 for an area without a reference race.
	TCharaOrder(const TMorvalethData& data, int race) : m_Data(data), m_Race(race) {}

	bool operator()(const TCharaInstance& a, const TCharaInstance& b) const
	{
		const TCharaData& first = m_Data.GetCharaData(a.CharaIndex);
		const TCharaData& second = m_Data.GetCharaData(b.CharaIndex);
		if (first.IsMaster != second.IsMaster)
			return first.IsMaster;
		const bool firstOwnRace = first.Race == m_Race;
		if (m_Race >= 0 && firstOwnRace != (second.Race == m_Race))
			return firstOwnRace;
		if (first.Hero != second.Hero)
			return first.Hero;
		return static_cast<long long>(a.Power) + a.Experience > static_cast<long long>(b.Power) + b.Experience;
	}

private:
	const TMorvalethData& m_Data;
	int m_Race;
};

/// A copy of the positions sorted ascending; false when one repeats.
bool SortPositions(const std::vector<int>& positions, std::vector<int>& sorted)
{
	sorted = positions;
	std::sort(sorted.begin(), sorted.end());
	return std::adjacent_find(sorted.begin(), sorted.end()) == sorted.end();
}

/// Every position lies within 0..count-1 (the list is sorted).
bool PositionsInRange(const std::vector<int>& sorted, int count)
{
	return sorted.empty() || (sorted.front() >= 0 && sorted.back() < count);
}
}

void TMorvalethGame::SortAreaCharas(int area)
{
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return;
	m_Ledger.Touch(area);
	TAreaInstance& target = m_Areas[area];
	const int masterChara = MasterCharaIndex(target.Owner);
	const int race = masterChara >= 0 ? CharaData(masterChara).Race : -1;
	std::stable_sort(target.Charas.begin(), target.Charas.end(), TCharaOrder(*m_Data, race));
}

void TMorvalethGame::SortAreaCharasOf(const std::set<int>& areas)
{
	for (int area : areas)
		SortAreaCharas(area);
}

bool TMorvalethGame::CheckEmploy(int area, int employer, int charaIndex, int& price, int& rank) const
{
	const auto refuse = [&](const char* reason) {
		g_Logger.Error(FormatText("TMorvalethGame::EmployCharacter(%d, %d, %d) %s", area, employer, charaIndex, reason));
		return false;
	};
	if (area < 0 || area >= GetAreaCount())
		return refuse("invalid parameter areaindex.");
	const TAreaInstance& target = m_Areas[area];
	if (employer < 0 || employer >= static_cast<int>(target.Charas.size()) || target.Charas[employer].Actioned)
		return refuse("invalid parameter chrindex.");
	if (target.Charas.size() >= AREA_CHARA_MAX)
		return refuse("invalid operation. character overflow.");
	if (target.Owner < 0)
		return refuse("invalid operation. no master area.");
	if (charaIndex < 0 || charaIndex >= m_Data->GetCharaCount())
		return refuse("invalid parameter employtype.");
	const TMasterInstance& owner = GetMaster(target.Owner);
	price = owner.Player ? CharaData(charaIndex).EmployCost : GetCOMEmployCost(charaIndex);
	rank = owner.Player ? 0 : m_GameLevel / 2;
	if (owner.Money < price)
		return refuse("invalid operation. master money < character cost.");
	return true;
}

bool TMorvalethGame::EmployCharacter(int area, int employer, int charaIndex)
{
	const TRecount recount(*this);
	int price = 0;
	int rank = 0;
	if (!CheckEmploy(area, employer, charaIndex, price, rank))
		return false;
	TAreaInstance& target = m_Areas[area];
	TCharaInstance& hirer = target.Charas[employer];
	const TCharaData& hirerData = CharaData(hirer.CharaIndex);
	// Only a kinsman the employer does not command itself joins without costing its action.
	const bool ownList = std::find(hirerData.Employable.begin(), hirerData.Employable.end(), charaIndex)
		!= hirerData.Employable.end();
	if (ownList || CharaData(charaIndex).Race != hirerData.Race)
		hirer.Actioned = true;
	target.Charas.push_back(CreateCharaInstance(charaIndex, rank));
	TMasterInstance& payer = GetMaster(target.Owner);
	payer.Money = SubtractSaturated(payer.Money, price);
	SortAreaCharas(area);
	return true;
}

void TMorvalethGame::GetEmployableCharas(int area, int employer, std::vector<int>& charas) const
{
	charas.clear();
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return;
	const TAreaInstance& target = m_Areas[area];
	if (employer < 0 || employer >= static_cast<int>(target.Charas.size())) {
		LOG_ERROR("area %d has no character at position %d", area, employer);
		return;
	}
	const std::vector<int>& own = CharaData(target.Charas[employer].CharaIndex).Employable;
	charas = own;
	charas.insert(charas.end(), target.Employable.begin(), target.Employable.end());
}

bool TMorvalethGame::EmployWanderingChara(int area, int charaIndex)
{
	const TRecount recount(*this);
	const int wanderer = FindCharaInList(m_WanderCharas, charaIndex);
	const char* refusal = nullptr;
	if (m_WanderCharas.empty())
		refusal = "放浪人材が居ないのに人材登用をしようとした？";
	else if (wanderer < 0)
		refusal = "放浪してない人材を登用しようとした？";
	else if (area < 0 || area >= GetAreaCount())
		refusal = "存在しないエリアで人材を登用しようとした？";
	else if (m_Areas[area].Owner < 0)
		refusal = "無主の地で人材を登用しようとした？";
	else if (m_Areas[area].Charas.size() >= AREA_CHARA_MAX)
		refusal = "満員のエリアで人材を登用しようとした？";
	else if (GetMaster(m_Areas[area].Owner).Money < CharaData(charaIndex).EmployCost)
		refusal = "資金が足りないのに人材を登用しようとした？";
	if (refusal) {
		LOG_ERROR("%s", refusal);
		return false;
	}
	TAreaInstance& target = m_Areas[area];
	TMasterInstance& payer = GetMaster(target.Owner);
	payer.Money = SubtractSaturated(payer.Money, CharaData(charaIndex).EmployCost);
	target.Charas.push_back(m_WanderCharas[wanderer]);
	m_WanderCharas.erase(m_WanderCharas.begin() + wanderer);
	SortAreaCharas(area);
	return true;
}

bool TMorvalethGame::DismissCharacter(int area, int position)
{
	const TRecount recount(*this);
	const char* refusal = nullptr;
	if (area < 0 || area >= GetAreaCount())
		refusal = "invalid parameter areaindex.";
	else if (position < 0 || position >= static_cast<int>(m_Areas[area].Charas.size())
		|| m_Areas[area].Charas[position].Actioned)
		refusal = "invalid parameter chrindex.";
	else if (m_Areas[area].Owner < 0)
		refusal = "invalid operation. no master area.";
	if (refusal) {
		g_Logger.Error(FormatText("TMorvalethGame::DismissCharacter(%d, %d) %s", area, position, refusal));
		return false;
	}
	// Erasing keeps the roster order; a dismissed hero may come back as a wanderer.
	m_Ledger.Touch(area);
	m_Areas[area].Charas.erase(m_Areas[area].Charas.begin() + position);
	return true;
}

bool TMorvalethGame::CheckMovePositions(int area1, int area2, std::vector<int>& positions1,
	std::vector<int>& positions2) const
{
	const char* const method = "TMorvalethGame::MoveCharacter";
	if (!CheckArea(area1, method) || !CheckArea(area2, method))
		return false;
	if (area1 == area2) {
		g_Logger.Error(MethodText(method, __LINE__, "invalid parameter(same area). Area1=%d Area2=%d", area1, area2));
		return false;
	}
	const int count1 = static_cast<int>(m_Areas[area1].Charas.size());
	const int count2 = static_cast<int>(m_Areas[area2].Charas.size());
	const int size1 = static_cast<int>(positions1.size());
	const int size2 = static_cast<int>(positions2.size());
	if (size1 > count1 || size2 > count2 || count2 - size2 + size1 > AREA_CHARA_MAX
		|| count1 - size1 + size2 > AREA_CHARA_MAX) {
		g_Logger.Error(FormatText("TMorvalethGame::MoveCharacter invalid parameter(too many indice). "
			"Area1=%d(characters=%d) Area2=%d(characters=%d) indice size=%d,%d", area1, count1, area2, count2, size1, size2));
		return false;
	}
	if (!SortPositions(positions1, positions1) || !SortPositions(positions2, positions2)) {
		g_Logger.Error(FormatText(
			"TMorvalethGame::MoveCharacter invalid parameter(indice contains duplication). Area1=%d Area2=%d", area1, area2));
		return false;
	}
	// Every position is tested before anything moves, so that a refusal leaves both areas as they were.
	if (!PositionsInRange(positions1, count1) || !PositionsInRange(positions2, count2)) {
		g_Logger.Error(MethodText(method, __LINE__, "invalid parameter(index out of range). Area1=%d Area2=%d", area1, area2));
		return false;
	}
	return true;
}

void TMorvalethGame::MoveCharas(int from, int to, const std::vector<int>& positions)
{
	m_Ledger.Touch(from);
	m_Ledger.Touch(to);
	std::vector<TCharaInstance>& source = m_Areas[from].Charas;
	for (auto it = positions.rbegin(); it != positions.rend(); ++it) {
		source[*it].Actioned = true;
		m_Areas[to].Charas.push_back(source[*it]);
		source.erase(source.begin() + *it);
	}
}

bool TMorvalethGame::MoveCharacter(int area1, int area2, const std::vector<int>& positions1,
	const std::vector<int>& positions2)
{
	const TRecount recount(*this);
	std::vector<int> sorted1 = positions1;
	std::vector<int> sorted2 = positions2;
	if (!CheckMovePositions(area1, area2, sorted1, sorted2))
		return false;
	// The characters that arrive in area 2 go behind its own, so its positions still hold.
	MoveCharas(area1, area2, sorted1);
	MoveCharas(area2, area1, sorted2);
	SortAreaCharas(area1);
	SortAreaCharas(area2);
	return true;
}

bool TMorvalethGame::MoveCharacterNoList(int area1, int area2, const std::vector<int>& positions)
{
	return MoveCharacter(area1, area2, positions, std::vector<int>());
}

bool TMorvalethGame::InsertAreaChara(int area, int charaIndex)
{
	const TRecount recount(*this);
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return false;
	if (charaIndex < 0 || charaIndex >= m_Data->GetCharaCount()) {
		LOG_ERROR("character index %d outside the %d characters", charaIndex, m_Data->GetCharaCount());
		return false;
	}
	// A hero stands in one place only: one already stationed stays where it is, a dead one comes back to life.
	const bool hero = CharaData(charaIndex).Hero;
	const int wanderer = FindCharaInList(m_WanderCharas, charaIndex);
	const int dead = FindCharaInList(m_DeadCharas, charaIndex);
	if (hero && wanderer < 0 && dead < 0 && CharaExists(charaIndex)) {
		LOG_ERROR("hero %s already stands in an area", CharaData(charaIndex).id);
		return false;
	}
	TAreaInstance& target = m_Areas[area];
	if (hero && wanderer >= 0) {
		target.Charas.push_back(m_WanderCharas[wanderer]);
		m_WanderCharas.erase(m_WanderCharas.begin() + wanderer);
	} else {
		if (hero && dead >= 0)
			m_DeadCharas.erase(m_DeadCharas.begin() + dead);
		const bool computer = target.Owner >= 0 && !GetMaster(target.Owner).Player;
		target.Charas.push_back(CreateCharaInstance(charaIndex, computer ? m_GameLevel / 2 : 0));
	}
	SortAreaCharas(area);
	return true;
}

void TMorvalethGame::RemoveAreaChara(int area, int position)
{
	const TRecount recount(*this);
	if (!CheckArea(area, __PRETTY_FUNCTION__))
		return;
	std::vector<TCharaInstance>& charas = m_Areas[area].Charas;
	if (position < 0 || position >= static_cast<int>(charas.size())) {
		LOG_ERROR("area %d has no character at position %d", area, position);
		return;
	}
	m_Ledger.Touch(area);
	charas.erase(charas.begin() + position);
}

bool TMorvalethGame::InhabitantBudget(int area, std::vector<int>& candidates, int& rank, int& budget) const
{
	const TAreaInstance& target = m_Areas[area];
	if (target.Owner < 0) {
		if (m_GameLevel < 1 || m_GameLevel > 5) {
			LOG_ERROR("GameLevel %d is outside 1..5", m_GameLevel);
			return false;
		}
		candidates = target.Inhabit;
		rank = m_GameLevel / 2;
		budget = ScalePercent(target.InhabitCost, (mtrand_n(90) + 35) * INHABIT_LEVEL_FACTOR[m_GameLevel - 1]);
	} else {
		const int masterChara = MasterCharaIndex(target.Owner);
		candidates = masterChara >= 0 ? CharaData(masterChara).Employable : std::vector<int>();
		rank = 0;
		const bool border = std::any_of(target.Neighbors.begin(), target.Neighbors.end(),
			[this, &target](int neighbor) { return GetArea(neighbor).Owner != target.Owner; });
		budget = AreaHasMaster(area) ? INHABIT_BUDGET_MASTER : border ? INHABIT_BUDGET_BORDER : INHABIT_BUDGET_INLAND;
	}
	return !candidates.empty();
}

int TMorvalethGame::PickInhabitant(const std::vector<int>& candidates, int budget) const
{
	int best = -1;
	int bestCost = 0;
	for (int candidate : candidates) {
		// A hero exists once: filling areas would place copies of it, which no save can hold.
		if (CharaData(candidate).Hero)
			continue;
		// Once a choice is made, each further candidate is looked at two times in three.
		if (best >= 0 && mtrand_n(3) == 0)
			continue;
		const int cost = CharaData(candidate).EmployCost;
		if (cost <= budget && cost > bestCost) {
			best = candidate;
			bestCost = cost;
		}
	}
	return best;
}

void TMorvalethGame::PlaceInhabitants(int area)
{
	const TRecount recount(*this);
	std::vector<int> candidates;
	int rank = 0;
	int budget = 0;
	if (!CheckArea(area, __PRETTY_FUNCTION__) || !InhabitantBudget(area, candidates, rank, budget))
		return;
	m_Ledger.Touch(area);
	std::vector<TCharaInstance>& charas = m_Areas[area].Charas;
	while (charas.size() < AREA_CHARA_MAX) {
		const int chosen = PickInhabitant(candidates, budget);
		if (chosen < 0)
			break;
		charas.push_back(CreateCharaInstance(chosen, rank));
		budget = SubtractSaturated(budget, CharaData(chosen).EmployCost);
	}
	SortAreaCharas(area);
}

void TMorvalethGame::PlaceAllInhabitants()
{
	for (int area = 0; area < GetAreaCount(); ++area)
		PlaceInhabitants(area);
}

bool TMorvalethGame::AddWanderChara(const TCharaInstance& chara)
{
	// A hero on two lists could be hired twice or come back from the dead.
	const std::string& name = CharaData(chara.CharaIndex).Name;
	if (FindCharaInList(m_DeadCharas, chara.CharaIndex) >= 0) {
		LOG_ERROR("人材 %s を放浪させようとしましたが、この人材は既に死亡リストに入っています（プログラムまたはEventScriptのバグ）。", name);
		return false;
	}
	if (FindCharaInList(m_WanderCharas, chara.CharaIndex) >= 0) {
		LOG_ERROR("人材 %s を放浪させようとしましたが、この人材は既に放浪しています（プログラムまたはEventScriptのバグ）。", name);
		return false;
	}
	m_WanderCharas.push_back(chara);
	return true;
}

void TMorvalethGame::AddAppearingHeroes()
{
	const std::vector<bool> present = MarkPresentCharas();
	for (int c = 0; c < m_Data->GetCharaCount(); ++c) {
		const TCharaData& data = CharaData(c);
		const bool inWindow = data.TurnMin <= m_Turn && (data.TurnMax == -1 || data.TurnMax >= m_Turn);
		if (data.Hero && !data.NoWander && inWindow && !present[c])
			m_WanderCharas.push_back(CreateCharaInstance(c, 0));
	}
}

void TMorvalethGame::SearchHeroIn(int area, std::set<int>& found)
{
	const int wanderers = static_cast<int>(m_WanderCharas.size());
	const TAreaInstance& target = m_Areas[area];
	for (int attempt = 0; attempt < target.OperationEffort && target.Charas.size() < AREA_CHARA_MAX; ++attempt) {
		if (mtrand_n(SEARCH_HERO_CHANCE) != 0 || mtrand_n(m_Data->GetHeroCount()) > wanderers)
			continue;
		const int chara = m_WanderCharas[mtrand_n(wanderers)].CharaIndex;
		if (found.insert(chara).second)
			m_FoundHeroes.push_back(std::make_pair(area, chara));
	}
}

void TMorvalethGame::CheckSearchHero()
{
	m_FoundHeroes.clear();
	if (m_WanderCharas.empty() || m_Data->GetHeroCount() == 0 || m_CurrentMaster < 0)
		return;
	if (m_CurrentMaster >= GetMasterCount())
		return;
	UpdateLedger();
	std::set<int> found;
	for (int area : m_Ledger.OwnedAreas(m_CurrentMaster)) {
		const TAreaInstance& target = m_Areas[area];
		if (target.Operation == OPERATION_SEARCH_HERO && target.OperationEffort != 0)
			SearchHeroIn(area, found);
	}
}

bool TMorvalethGame::PopFoundHero(int& area, int& charaIndex)
{
	if (m_FoundHeroes.empty())
		return false;
	area = m_FoundHeroes.back().first;
	charaIndex = m_FoundHeroes.back().second;
	m_FoundHeroes.pop_back();
	return true;
}

int TMorvalethGame::FindAreaForNewMaster(int master) const
{
	int chosen = -1;
	for (int area = 0; area < GetAreaCount(); ++area) {
		const std::vector<TCharaInstance>& charas = m_Areas[area].Charas;
		if (m_Areas[area].Owner != master)
			continue;
		if (charas.size() < AREA_CHARA_MAX)
			return area;
		// Among full areas, the one whose last place holds the weakest character.
		if (chosen < 0 || charas[AREA_CHARA_MAX - 1].Power < m_Areas[chosen].Charas[AREA_CHARA_MAX - 1].Power)
			chosen = area;
	}
	return chosen;
}

void TMorvalethGame::ChangeMasterType(int master, int dataIndex, int oldCharaIndex)
{
	const TRecount recount(*this);
	if (!CheckMaster(master, __PRETTY_FUNCTION__))
		return;
	if (dataIndex < 0 || dataIndex >= m_Data->GetMasterCount()) {
		LOG_ERROR("master definition %d outside the %d masters", dataIndex, m_Data->GetMasterCount());
		return;
	}
	// The place is chosen before anything changes, so that a master with no room keeps its definition.
	const int chara = m_Data->GetMasterData(dataIndex).CharaIndex;
	int area = -1;
	int position = -1;
	if (FindMasterChara(master, oldCharaIndex, area, position)) {
		m_Masters[master].DataIndex = dataIndex;
		m_Ledger.Touch(area);
		TCharaInstance& old = m_Areas[area].Charas[position];
		TCharaInstance fresh = CreateCharaInstance(chara, old.Rank);
		fresh.Experience = old.Experience;
		old = fresh;
		return;
	}
	area = FindAreaForNewMaster(master);
	if (area < 0) {
		LOG_ERROR("新マスターを配置できるエリアがありません。");
		return;
	}
	m_Masters[master].DataIndex = dataIndex;
	m_Ledger.Touch(area);
	std::vector<TCharaInstance>& charas = m_Areas[area].Charas;
	if (charas.size() < AREA_CHARA_MAX) {
		charas.push_back(CreateCharaInstance(chara, 0));
		return;
	}
	const TCharaInstance displaced = charas[AREA_CHARA_MAX - 1];
	charas[AREA_CHARA_MAX - 1] = CreateCharaInstance(chara, 0);
	LoseChara(displaced);
}

void TMorvalethGame::LoseChara(const TCharaInstance& chara)
{
	const TCharaData& data = CharaData(chara.CharaIndex);
	if (data.Hero && !data.NoWander)
		AddWanderChara(chara);
}
