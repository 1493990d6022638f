// Times whole unwatched battles of 20 against 20 charas of the sample scenario on a plain 40 x 30 map,
// TurnMax 10, both sides played by the sample's own computer script: the whole battle, and each chara's
// decision (its script, its action and what the action sets off), which the frame a computer chara
// acts in holds.
// Usage: bench_battle_whole [source tree]; prints the figures against the goals.

#include "app/Logger.h"
#include "support/RunTimes.h"
#include "support/SampleBattle.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace
{
const int SEEDS[] = {1, 2, 3, 4, 5};
const int FRAME_CAP = 100000;
const double BATTLE_GOAL_MS = 1000;
const double DECISION_GOAL_MS = 8;

struct TBattleTimes
{
	double battleMs = 0;
	int frames = 0;
	int turns = 0;
	std::vector<double> decisionsMs;
};

bool FightOne(const std::string& scenario, int seed, TBattleTimes& times)
{
	TSampleBattle battle(scenario);
	TSampleBattleSetup setup;
	setup.seed = seed;
	setup.mapWidth = 40;
	setup.mapHeight = 30;
	const TClock::time_point start = TClock::now();
	if (!battle.Start(setup))
		return false;
	while (battle.IsRunning() && times.frames < FRAME_CAP) {
		const TClock::time_point frame = TClock::now();
		battle.Frame();
		const double ms = MillisecondsSince(frame);
		if (battle.ActedInLastFrame() > 0)
			times.decisionsMs.push_back(ms);
		++times.frames;
	}
	times.battleMs = MillisecondsSince(start);
	times.turns = battle.logic.GetTurnsTaken();
	return !battle.IsRunning() && !battle.logic.HasFailed();
}

double Percentile(std::vector<double> values, double share)
{
	if (values.empty())
		return 0;
	std::sort(values.begin(), values.end());
	return values[std::min(values.size() - 1, static_cast<std::size_t>(share * values.size()))];
}
}

int main(int argc, char** argv)
{
	const std::string source = argc > 1 ? argv[1] : MORVALETH_SOURCE_DIR;
	const std::string scenario = source + "/data/Scenario/Default";
	g_Logger.SetLevel(0);
	double worstBattle = 0;
	std::vector<double> decisions;
	for (int seed : SEEDS) {
		TBattleTimes times;
		if (!FightOne(scenario, seed, times)) {
			std::printf("battle of seed %d did not end cleanly within %d frames\n", seed, FRAME_CAP);
			return 1;
		}
		std::printf("seed %d: %.1f ms, %d frames, %d chara turns, decision p95 %.2f ms, max %.2f ms\n", seed,
			times.battleMs, times.frames, times.turns, Percentile(times.decisionsMs, 0.95),
			Percentile(times.decisionsMs, 1.0));
		worstBattle = std::max(worstBattle, times.battleMs);
		decisions.insert(decisions.end(), times.decisionsMs.begin(), times.decisionsMs.end());
	}
	const double p95 = Percentile(decisions, 0.95);
	std::printf("whole battle, 20 vs 20 on 40x30, TurnMax 10: worst %.1f ms (goal < %.0f ms)\n", worstBattle,
		BATTLE_GOAL_MS);
	std::printf("one chara's decision: p50 %.2f ms, p95 %.2f ms (goal < %.0f ms), max %.2f ms over %zu decisions\n",
		Percentile(decisions, 0.5), p95, DECISION_GOAL_MS, Percentile(decisions, 1.0), decisions.size());
	return 0;
}
