#ifndef MORVALETH_TESTS_UNIT_APIWORLDFIXTURE_H
#define MORVALETH_TESTS_UNIT_APIWORLDFIXTURE_H

#include "unit/ScriptFixture.h"

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
	void UseScriptWindows(bool use);
	/// The game as its save document and as every field it holds; what a refused call must leave as it was.
	std::string SavedGame() const;
	/// The running game.
	TMorvalethGame& Game() const;

	TRecordingWorldMap m_WorldMap;
	TMorvalethLuaManager m_Script;

private:
	std::unique_ptr<TScriptAPI> m_ScriptWindows;
	/// The scenario the game is built from.
	std::string m_Folder;
};

#endif
