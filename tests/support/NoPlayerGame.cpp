#include "support/NoPlayerGame.h"

#include "app/Application.h"
#include "app/GameMaster.h"
#include "app/Random.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/MasterData.h"
#include "model/MorvalethGame.h"
#include "support/GameDescription.h"
#include "support/TestSupport.h"
#include "world/WorldMapLogic.h"

#include <boost/filesystem.hpp>
#include <chrono>
#include <regex>
#include <set>
#include <sstream>

namespace
{
TWorldMapLogic* Controller()
{
	return dynamic_cast<TWorldMapLogic*>(g_GameMaster.m_WorldMap.get());
}

int ExistingMasters(const TMorvalethGame& game)
{
	int count = 0;
	for (int m = 0; m < game.GetMasterCount(); ++m)
		count += game.GetMaster(m).Exists;
	return count;
}

/// What is wrong with the game's state; empty when nothing is.
std::string CheckInvariants(const TMorvalethGame& game, const TMorvalethData& data)
{
	std::multiset<int> heroes;
	const auto count = [&](const std::vector<TCharaInstance>& list) {
		for (const TCharaInstance& chara : list)
			if (data.GetCharaData(chara.CharaIndex).Hero)
				heroes.insert(chara.CharaIndex);
	};
	for (int a = 0; a < game.GetAreaCount(); ++a) {
		const TAreaInstance& area = game.GetArea(a);
		if (area.Charas.size() > AREA_CHARA_MAX)
			return "area " + area.id + " holds more than 20 characters";
		if (area.Owner >= game.GetMasterCount())
			return "area " + area.id + " has an owner that does not exist";
		count(area.Charas);
	}
	count(game.GetWanderCharas());
	count(game.GetDeadCharas());
	for (int hero : heroes)
		if (heroes.count(hero) > 1)
			return "hero " + data.GetCharaData(hero).id + " stands in two places";
	const int current = game.GetCurrentMaster();
	if (current < -1 || current >= game.GetMasterCount())
		return "no such current master";
	return IncomeMismatch(game, data);
}

/// A master that lost its own character is gone from the game by the time a master's turn goes on.
std::string CheckFallen(const TMorvalethGame& game, const TMorvalethData& data)
{
	std::vector<int> fallen;
	game.GetDefeatedMasters(fallen);
	return fallen.empty() ? "" : "master " + data.GetMasterData(game.GetMaster(fallen[0]).DataIndex).id
		+ " lost its character but is still in the game";
}

/// What the master window shows of each master: income, upkeep and money.
std::vector<int> MasterFigures(const TMorvalethGame& game)
{
	std::vector<int> figures;
	for (int m = 0; m < game.GetMasterCount(); ++m) {
		const TMasterInstance& master = game.GetMaster(m);
		figures.insert(figures.end(), {master.Income, master.Upkeep, master.Money});
	}
	return figures;
}

/// A save without its date, which differs from save to save.
std::string SaveText(int slot)
{
	static const std::regex date("<Date>[^<]*</Date>");
	return std::regex_replace(ReadFile(TDremoGameMaster::GetSaveFilePath(g_GameMaster.SaveFolder(), slot)), date, "");
}

/// Saves, loads the save back and saves again; what differs, or empty. The loaded game also shows the
/// money figures the saved one showed.
std::string CheckSaveRoundTrip(const char* moment)
{
	const std::vector<int> shown = MasterFigures(*g_GameMaster.m_Game);
	if (!g_GameMaster.SaveGame(1) || !g_GameMaster.LoadGame(1) || !g_GameMaster.SaveGame(2))
		return std::string("save or load failed ") + moment;
	if (SaveText(1) != SaveText(2))
		return std::string("the loaded game saves differently ") + moment;
	if (MasterFigures(*g_GameMaster.m_Game) != shown)
		return std::string("the loaded game shows other incomes, upkeep or money ") + moment;
	return "";
}

/// Lines of the script log that report an error or a warning.
bool ScriptLogHasError(std::uintmax_t& seenSize, std::string& line)
{
	boost::system::error_code error;
	const std::uintmax_t size = boost::filesystem::file_size("_lualog.txt", error);
	if (error || size == seenSize)
		return false;
	seenSize = size;
	std::istringstream in(ReadFile("_lualog.txt"));
	while (std::getline(in, line))
		if (line.find("rror") != std::string::npos || line.find("Warning") != std::string::npos)
			return true;
	return false;
}

/// The per-frame checks and the save moments of one run.
class TProbe
{
public:
	TProbe(const TNoPlayerRun& run, TNoPlayerResult& result) : m_Run(run), m_Result(result) {}

	/// Checks the frame; false, with the failure, when the run must stop.
	bool Check()
	{
		TWorldMapLogic* controller = Controller();
		const TMorvalethGame& game = *g_GameMaster.m_Game;
		if (!controller || controller->HasStopped())
			return Fail("the world map stopped");
		std::string wrong = CheckInvariants(game, *g_GameMaster.m_Data);
		const int status = controller->GetStatus();
		if (wrong.empty() && (status == WORLD_STRATEGY || status == WORLD_PLAYER_IDLE))
			wrong = CheckFallen(game, *g_GameMaster.m_Data);
		if (!wrong.empty())
			return Fail(wrong);
		std::string line;
		if (ScriptLogHasError(m_ScriptLogSize, line))
			return Fail("script log: " + line);
		if (status == WORLD_BATTLE && m_LastStatus != WORLD_BATTLE)
			++m_Result.battles;
		m_LastStatus = status;
		if (m_Run.reloadTurn >= 0 && !m_Reloaded && game.GetProgressedTurn() >= m_Run.reloadTurn) {
			m_Reloaded = true;
			const std::vector<int> shown = MasterFigures(game);
			if (!g_GameMaster.SaveGame(0) || !g_GameMaster.LoadGame(0))
				return Fail("the game could not be saved and loaded back");
			// The game held before the load is gone: only the loaded one may be read, from the next frame on.
			return MasterFigures(*g_GameMaster.m_Game) == shown || Fail("the loaded game shows other incomes, upkeep or money");
		}
		return !m_Run.checkSaves || CheckSaves(status, game);
	}

private:
	bool CheckSaves(int status, const TMorvalethGame& game)
	{
		const char* moment = nullptr;
		const int masters = ExistingMasters(game);
		if (status == WORLD_STRATEGY && !m_SavedInTurn) {
			moment = "in a master's turn";
			m_SavedInTurn = true;
		} else if (status == WORLD_NEXT_MASTER && !m_SavedBetween && game.GetProgressedTurn() > 0) {
			moment = "between two masters";
			m_SavedBetween = true;
		} else if (masters < m_Masters && status == WORLD_STRATEGY) {
			moment = "after a master's defeat";
		}
		if (m_Masters < 0 || moment)
			m_Masters = masters;
		if (!moment)
			return true;
		++m_Result.saveChecks;
		const std::string wrong = CheckSaveRoundTrip(moment);
		return wrong.empty() || Fail(wrong);
	}

	bool Fail(const std::string& failure)
	{
		m_Result.failure = failure;
		return false;
	}

	const TNoPlayerRun& m_Run;
	TNoPlayerResult& m_Result;
	int m_LastStatus = -1;
	int m_Masters = -1;
	bool m_Reloaded = false;
	bool m_SavedInTurn = false;
	bool m_SavedBetween = false;
	std::uintmax_t m_ScriptLogSize = 0;
};

/// Error lines of the main log.
int CountLogErrors(std::string& first)
{
	std::istringstream in(ReadFile("log.txt"));
	std::string line;
	int count = 0;
	while (std::getline(in, line))
		if (line.find(" Error ") != std::string::npos && count++ == 0)
			first = line;
	return count;
}

/// The verdict on a run that left its loop.
void Judge(TNoPlayerResult& result)
{
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	result.ended = game.IsGameEnded();
	result.mastersLeft = ExistingMasters(game);
	result.turns = game.GetProgressedTurn();
	std::string firstError;
	if (!result.failure.empty())
		return;
	if (!result.quit)
		result.failure = "the frame cap was reached";
	else if (!result.ended || !game.CheckGameEnd())
		result.failure = "the program quit before the game was decided";
	else if (CountLogErrors(firstError) > 0)
		result.failure = "log.txt: " + firstError;
}
}

bool PlayNoPlayerGame(const TNoPlayerRun& run, TNoPlayerResult& result)
{
	const auto start = std::chrono::steady_clock::now();
	if (!init()) {
		result.failure = "start-up failed";
		Shutdown();
		return false;
	}
	SeedRandom(run.seed);
	if (!g_GameMaster.NewGame(run.scenario, run.chapter, run.level)) {
		result.failure = "new game failed: " + g_GameMaster.m_LastError;
		Shutdown();
		return false;
	}
	g_GameMaster.StartGame({});
	TProbe probe(run, result);
	while (result.frames < run.frameCap) {
		++result.frames;
		if (!RunFrame()) {
			result.quit = true;
			break;
		}
		if (!probe.Check())
			break;
	}
	Judge(result);
	Shutdown();
	result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
	return result.failure.empty();
}

std::string DescribeResult(const TNoPlayerResult& result)
{
	std::ostringstream out;
	out << "quit=" << result.quit << " ended=" << result.ended << " masters=" << result.mastersLeft
		<< " frames=" << result.frames << " turns=" << result.turns << " battles=" << result.battles
		<< " saves=" << result.saveChecks << " seconds=" << result.seconds;
	if (!result.failure.empty())
		out << " failure=" << result.failure;
	return out.str();
}
