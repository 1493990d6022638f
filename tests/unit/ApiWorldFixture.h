#ifndef MORVALETH_TESTS_UNIT_APIWORLDFIXTURE_H
#define MORVALETH_TESTS_UNIT_APIWORLDFIXTURE_H

#include "unit/ScriptFixture.h"

#include "script/BattleInterface.h"
#include "script/LuaManager.h"
#include "script/WorldMapInterface.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TMorvalethGame;
class TScriptAPI;

/// A world map that only writes down what the engine functions hand it.
class TRecordingWorldMap : public TWorldMapInterface
{
public:
	void FocusArea(int area) override;
	void EndTurn() override;
	void Departure(int target, const std::vector<std::pair<int, int>>& departures) override;
	bool ProposeAlliance(int partner, int turns, int price) override;

	/// One line per call: its name and arguments.
	std::vector<std::string> calls;
	/// What ProposeAlliance answers: true settles the offer at once, false makes the script wait.
	bool settleOffers = true;
	/// Run inside ProposeAlliance, as the partner's answer would be.
	std::function<void()> answerOffer;
};

/// A battle that only knows its sides: the master in play and the charas of each; asked for anything else,
/// it answers nothing.
class TSidesBattle : public TBattleInterface
{
public:
	bool IsInBattle() const override { return running; }
	int GetSideIndex(int masterData) const override;
	bool FindChara(int side, int charaData, int& index) const override;
	bool GetCharaStatus(int side, int index, TCharaInstance& chara) const override;
	/// Writes the change down as "ChangeChara side index charaData".
	bool ChangeChara(int side, int index, int charaData) override;

	int GetTurn() const override { return 1; }
	bool GetMapSize(int&, int&) const override { return false; }
	bool GetMapHeight(int, int, int&) const override { return false; }
	TBattleMap* GetBattleMap() override { return nullptr; }
	int GetMoveTypeCost(int) const override { return -1; }
	int GetMoveTypeSkill(int) const override { return -1; }
	TValueLayer<int> GetMovableLayer() const override { return TValueLayer<int>(0, 0); }
	bool GetMoveLayer(int, const TCharaInstance&, int, int, int, TValueLayer<int>&, TValueLayer<point_t>&, bool) override
	{
		return false;
	}
	void GetActiveChara(int&, int&) const override {}
	int GetCharaCount(int) const override { return -1; }
	bool GetCharaOn(int, int, int&, int&) const override { return false; }
	TCharaInstance CreateCharaInstance(int, int) const override { return TCharaInstance(); }
	void GetActionList(int, int, std::vector<TBattleAction>&) override {}
	bool GetLastTarget(int&, int&) const override { return false; }
	bool EvalAction(int, int, int, int, int, int, std::vector<TEffectPreview>&) override { return false; }
	bool SetAction(int, int, int, int, int, int) override { return false; }
	bool GetAutoRunaway(point_t&) override { return false; }
	void SetCharaBrave(int, int, int) override {}
	bool SetMapChip(int, int, int) override { return false; }
	bool RemoveMapObj(int, int) override { return false; }
	bool RemoveMapObjOfType(int, int, int) override { return false; }

	bool running = false;
	/// Master of each side.
	std::vector<int> masters;
	std::vector<std::vector<TCharaInstance>> sides;
	std::vector<std::string> changes;
};

/// What a script run of a call gave back.
struct TApiRun
{
	/// Neither the call nor its resume raised a Lua error.
	bool ok = false;
	/// The call suspended the script before it finished.
	bool suspended = false;
	/// Number of values the call returned to the script.
	int results = -1;
};

/// The sample's first chapter as a game held by the game master, leon's turn, and a strategy script
/// whose engine calls go to a recording world map.
class ApiWorldTest : public ScriptTest
{
protected:
	ApiWorldTest();
	~ApiWorldTest() override;

	/// Builds the game anew: every master a computer master, leon in turn (or none yet).
	void NewGame(bool leonInTurn = true);
	/// Loads the scenario in the folder as the game's database and builds the game anew on it.
	void UseScenario(const std::string& folder);
	/// Runs the Lua code as the body of a strategy script's function and resumes it once if it yields.
	TApiRun Run(const std::string& code);
	/// Runs the code and answers the value it returns, rendered by tostring ("nil" when none).
	std::string Eval(const std::string& code);
	/// Gives the strategy script script windows, as the event and world scripts have, or none again.
	/// The script keeps the world map and the battle.
	void UseScriptWindows(bool use);
	/// The game as its save document and as every field it holds; what a refused call must leave as it was.
	std::string SavedGame() const;
	/// The running game.
	TMorvalethGame& Game() const;

	/// Starts the battle of leon's defenders (side 0: leon and knight, leon without hit points) against
	/// garm's attackers (side 1: garm); the scripts see it running.
	void StartBattle();

	TRecordingWorldMap m_WorldMap;
	TSidesBattle m_Battle;
	TMorvalethLuaManager m_Script;

private:
	std::unique_ptr<TScriptAPI> m_ScriptWindows;
	/// The scenario the game is built from.
	std::string m_Folder;
};

#endif
