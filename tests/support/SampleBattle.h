#ifndef MORVALETH_TESTS_SAMPLEBATTLE_H
#define MORVALETH_TESTS_SAMPLEBATTLE_H

#include "battle/BattleMap.h"
#include "battle/BattleMapLogic.h"
#include "battle/RecordingBattleView.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

#include <boost/shared_ptr.hpp>
#include <memory>
#include <string>
#include <vector>

// A battle between two computer sides of the sample scenario, fought unwatched by the sample's own
// scripts, frame by frame, with a trace of what every frame did. The tests hold its invariants and
// its trace; the benchmark times it.

/// Sides of the battle: leon's defenders hold the area against garm's attackers.
struct TSampleBattleSetup
{
	/// Charas per side: each master's own character first, then the sample's others in turn.
	int charasPerSide = 20;
	int seed = 1;
	int turnMax = 10;
	/// A plain map of this size instead of the area's own; 0 x 0 for the area's.
	int mapWidth = 0;
	int mapHeight = 0;
};

class TSampleBattle
{
	/// The sample's database, loaded before the battle that reads it.
	boost::shared_ptr<TMorvalethData> m_Data;

public:
	/// The sample scenario's first chapter as the game master's game; the settings a battle reads saved.
	explicit TSampleBattle(const std::string& scenarioFolder);
	/// Puts the game master and the settings back.
	~TSampleBattle();
	TSampleBattle(const TSampleBattle&) = delete;
	TSampleBattle& operator=(const TSampleBattle&) = delete;

	/// Seeds the draws and starts the battle for area A02; false when it does not start unwatched.
	bool Start(const TSampleBattleSetup& setup);
	/// One frame of the battle and a tick of its view; the trace grows by what the frame did.
	void Frame();
	bool IsRunning() const { return logic.IsInBattle(); }
	/// Charas that took their turn in the last frame.
	int ActedInLastFrame() const { return m_Acted; }

	/// One line per chara's turn and per turn's end: the turn, the actor, its action and target, and the hit
	/// points every chara lost or gained.
	std::vector<std::string> trace;
	TMorvalethGame game;
	TRecordingBattleView view{3};
	TBattleMapLogic logic;
	std::vector<std::vector<TCharaInstance>> sides{2};

private:
	/// The state of every chara a frame compares against.
	struct TSnapshot
	{
		int turn = 0;
		int actions = 0;
		std::vector<std::vector<TCharaInstance>> sides;
	};

	TSnapshot Snapshot() const;
	std::string Changes(const TSnapshot& before) const;
	void MakeSides(int perSide, std::vector<std::vector<int>>& sources);

	boost::shared_ptr<TMorvalethData> m_SavedData;
	std::string m_SavedScenarioDir;
	std::string m_SavedRootDir;
	int m_SavedTurnMax;
	bool m_SavedWatch;
	std::unique_ptr<TBattleMap> m_OwnMap;
	int m_Area;
	int m_Acted;
};

#endif
