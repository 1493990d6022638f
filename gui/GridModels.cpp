#include "gui/GridModels.h"

#include "app/Logger.h"
#include "model/CharaData.h"
#include "model/MasterData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

namespace
{
const TGcnGridModel::TColumn AREA_COLUMNS[] = {
	{ "エリア名", 128, 256, false, false },
	{ "支配国", 128, 256, false, false },
	{ "収入", 40, 40, true, true },
	{ "街", 40, 40, true, true },
	{ "城壁", 40, 40, true, true },
	{ "道路", 40, 40, true, true },
	{ "部隊数", 40, 40, true, true },
	{ "戦力指数", 64, 64, true, true },
	{ "待機時行動", 80, 80, false, false },
};

const TGcnGridModel::TColumn MASTER_COLUMNS[] = {
	{ "", 128, 256, false, false },
	{ "本拠地", 128, 256, false, false },
	{ "領地", 40, 40, true, true },
	{ "軍資金", 40, 40, true, true },
	{ "総収入", 40, 40, true, true },
	{ "人材数", 40, 40, true, true },
	{ "戦力指数", 64, 64, true, true },
	// Right-aligned, but sorted as text: "-" and "∞" are not numbers.
	{ "同盟", 40, 40, true, false },
};

const TGcnGridModel::TColumn HERO_COLUMNS[] = {
	{ "人材名", 128, 256, false, false },
	{ "滞在エリア", 128, 256, false, false },
	{ "支配国", 128, 256, false, false },
	{ "撃破数", 48, 48, true, true },
};

const char* const OPERATION_NAMES[OPERATION_COUNT] = { "部隊訓練", "人材捜索", "街建設", "城壁建設", "道路建設" };
const char* const NONE_TEXT = "－－－－";
const int POWER_UNIT = 1000;

template <typename T, int N>
int CountOf(const T (&)[N])
{
	return N;
}

std::string Number(int value)
{
	return FormatText("%d", value);
}

std::string MasterName(const TMorvalethGame& game, const TMorvalethData& data, int master)
{
	return data.GetMasterData(game.GetMaster(master).DataIndex).Name;
}

// The standing order of an owned area; a number outside the orders shows as none.
std::string OperationText(int operation)
{
	return operation >= 0 && operation < OPERATION_COUNT ? OPERATION_NAMES[operation] : NONE_TEXT;
}

// "-" without a running alliance with the current master, "∞" for an endless one, else its remaining turns.
std::string AllianceText(const TMorvalethGame& game, int master)
{
	const int current = game.GetCurrentMaster();
	const int alliance = master == current ? -1 : game.FindAlliance(current, master);
	const int turns = alliance < 0 ? 0 : game.GetAlliance(alliance).Turns;
	if (turns == 0)
		return "-";
	return turns == ALLIANCE_ENDLESS ? "∞" : Number(turns);
}

std::vector<std::string> HeroRow(const TMorvalethData& data, const TCharaInstance& chara, const std::string& area,
	const std::string& owner)
{
	return { data.GetCharaData(chara.CharaIndex).Name, area, owner, Number(chara.WinCount) };
}
}

TAreaGridModel::TAreaGridModel()
	: TGcnGridModel(AREA_COLUMNS, CountOf(AREA_COLUMNS), 2)
{
}

void TAreaGridModel::AddRows(const TMorvalethGame& game, const TMorvalethData& data)
{
	for (int i = 0; i < game.GetAreaCount(); ++i) {
		const TAreaInstance& area = game.GetArea(i);
		if (area.Ignore)
			continue;
		const bool neutral = area.Owner < 0;
		m_Rows.push_back({ area.Name, neutral ? "中立地帯" : MasterName(game, data, area.Owner),
			Number(game.GetAreaIncome(i)), Number(area.City), Number(area.Wall), Number(area.Road),
			Number(static_cast<int>(area.Charas.size())), Number(game.GetAreaPower(i) / POWER_UNIT),
			neutral ? NONE_TEXT : OperationText(area.Operation) });
	}
}

TMasterGridModel::TMasterGridModel()
	: TGcnGridModel(MASTER_COLUMNS, CountOf(MASTER_COLUMNS), 2)
{
}

void TMasterGridModel::AddRows(const TMorvalethGame& game, const TMorvalethData& data)
{
	for (int m = 0; m < game.GetMasterCount(); ++m) {
		const TMasterInstance& master = game.GetMaster(m);
		if (!master.Exists)
			continue;
		// A master in play whose own character stands nowhere has no home area to name.
		const int home = game.GetMasterArea(m);
		m_Rows.push_back({ MasterName(game, data, m), home < 0 ? NONE_TEXT : game.GetArea(home).Name,
			Number(game.GetMasterAreaCount(m)), Number(master.Money), Number(master.Income),
			Number(game.GetMasterHeroCount(m)), Number(game.GetMasterPower(m) / POWER_UNIT),
			AllianceText(game, m) });
	}
}

THeroGridModel::THeroGridModel()
	: TGcnGridModel(HERO_COLUMNS, CountOf(HERO_COLUMNS), 3)
{
}

void THeroGridModel::AddRows(const TMorvalethGame& game, const TMorvalethData& data)
{
	for (int i = 0; i < game.GetAreaCount(); ++i) {
		const TAreaInstance& area = game.GetArea(i);
		if (area.Ignore)
			continue;
		const std::string owner = area.Owner < 0 ? "中立" : MasterName(game, data, area.Owner);
		for (const TCharaInstance& chara : area.Charas) {
			const TCharaData& definition = data.GetCharaData(chara.CharaIndex);
			if (definition.Hero || definition.IsMaster)
				m_Rows.push_back(HeroRow(data, chara, area.Name, owner));
		}
	}
	for (const TCharaInstance& chara : game.GetDeadCharas())
		m_Rows.push_back(HeroRow(data, chara, "死亡", NONE_TEXT));
}
