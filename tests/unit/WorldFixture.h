#ifndef MORVALETH_TESTS_UNIT_WORLDFIXTURE_H
#define MORVALETH_TESTS_UNIT_WORLDFIXTURE_H

#include "unit/GameFixture.h"
#include "support/TestSupport.h"
#include "world/RecordingWorldView.h"
#include "world/WorldMapLogic.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

/// A battle that lasts a set number of frames and ends as the test says: a winner, a change to the
/// sides, or a failure.
class TFakeBattle : public TWorldBattle
{
public:
	bool Start(TBattleMap& map, const std::vector<std::vector<TCharaInstance>*>& sides, const std::vector<int>& masters,
		int target, const std::vector<std::vector<int>>& sources) override;
	void DoLogic() override;
	bool IsRunning() const override { return m_Running; }
	bool HasFailed() const override { return m_Failed; }
	int GetWinner() const override { return winner; }
	bool HasNoPlayerSide() const override { return true; }
	void StopWatching() override { ++stopWatching; }
	void ApplySpeedSetting() override { ++speedApplied; }
	void SetScriptAPI(TScriptAPI*) override {}
	TBattleInterface* GetInterface() override { return nullptr; }

	/// Frames a battle runs, the side that wins, whether it ends failed, whether it fails to start,
	/// and what happens to the sides (defenders, attackers) at its end.
	int frames = 3;
	int winner = 1;
	bool failAtEnd = false;
	bool failAtStart = false;
	bool unwatched = true;
	std::function<void(std::vector<TCharaInstance>&, std::vector<TCharaInstance>&)> outcome;

	/// What the last Start was given, and the counts of calls.
	int started = 0;
	int target = -1;
	std::vector<int> masters;
	std::vector<std::vector<int>> sources;
	std::vector<std::vector<TCharaInstance>*> sides;
	int stopWatching = 0;
	int speedApplied = 0;

private:
	bool m_Running = false;
	bool m_Failed = false;
	int m_Left = 0;
};

/// The small world of GameWorld with a world-map controller on a recording view and a fake battle, its
/// scripts in a scratch scenario folder that is also the working folder. Every master is a computer
/// master unless a test makes one a player.
class WorldTest : public GameWorld
{
protected:
	WorldTest();
	~WorldTest() override;

	/// Writes a script of the scenario ("Script/<name>").
	void WriteScript(const std::string& name, const std::string& text);
	/// Fights the wars with this battle instead of the fake one (battle is null then).
	void UseBattle(std::unique_ptr<TWorldBattle> other);
	/// Makes the controller and sets it up: a new game, or a loaded one from the save's root.
	void Start(bool newGame = true, TiXmlElement* saveRoot = nullptr);
	/// One frame: the controller's logic, then the battle's.
	void Frame();
	/// Frames until the condition holds, at most cap; whether it held.
	bool RunUntil(const std::function<bool()>& done, int cap = 2000);
	/// Frames until the status is reached.
	bool RunUntilStatus(int status, int cap = 2000);
	/// The lines of "_lualog.txt" without their time stamps.
	std::vector<std::string> ScriptLog() const;
	/// Lines of the script log that hold the text.
	int CountScriptLog(const std::string& text) const;
	/// The area's characters as (area, position) pairs, the first count of them.
	std::vector<std::pair<int, int>> Army(const std::string& area, int count) const;

	int Status() const { return logic->GetStatus(); }
	int Current() const { return game.GetCurrentMaster(); }

	TTempDir dir;
	TScopedCwd cwd;
	TCapturedLog log;
	TRecordingWorldView view;
	/// Owned by the controller once started.
	TFakeBattle* battle;
	std::unique_ptr<TWorldMapLogic> logic;

private:
	std::unique_ptr<TWorldBattle> m_Battle;
	std::string m_PreviousRoot;
	std::string m_PreviousScenario;
};

#endif
