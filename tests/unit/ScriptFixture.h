#ifndef MORVALETH_TESTS_UNIT_SCRIPTFIXTURE_H
#define MORVALETH_TESTS_UNIT_SCRIPTFIXTURE_H

#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

struct lua_State;

/// Scripts in a scratch working folder: "_lualog.txt" and the main log are the test's own.
class ScriptTest : public ::testing::Test
{
protected:
	ScriptTest();
	~ScriptTest() override;

	/// Writes a script (its bytes as given) into the scratch folder; its path.
	std::string WriteScript(const std::string& name, const std::string& text);
	/// The lines of "_lualog.txt" without their time stamps; fails the test for a line without one.
	std::vector<std::string> ScriptLog() const;

	TTempDir m_Dir;
	TScopedCwd m_Cwd;
	TCapturedLog m_Log;

private:
	std::string m_PreviousScenarioDir;
};

/// Runs the chunk on the state and leaves its results; Lua's error message or "" on success.
std::string RunChunk(lua_State* L, const std::string& chunk);

#endif
