#include "unit/ScriptFixture.h"

#include "app/GameMaster.h"

#include <fstream>
#include <lauxlib.h>
#include <lua.h>
#include <regex>
#include <sstream>

ScriptTest::ScriptTest()
	: m_Cwd(m_Dir.Path()), m_PreviousScenarioDir(g_GameMaster.m_ScenarioDir)
{
	g_GameMaster.m_ScenarioDir = m_Dir.Path();
}

ScriptTest::~ScriptTest()
{
	g_GameMaster.m_ScenarioDir = m_PreviousScenarioDir;
}

std::string ScriptTest::WriteScript(const std::string& name, const std::string& text)
{
	const std::string path = m_Dir / name;
	WriteFile(path, text);
	return path;
}

std::vector<std::string> ScriptTest::ScriptLog() const
{
	static const std::regex stamp("^\\d\\d/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d  ");
	std::istringstream in(ReadFile(m_Dir / "_lualog.txt"));
	std::vector<std::string> lines;
	std::string line;
	while (std::getline(in, line)) {
		EXPECT_TRUE(std::regex_search(line, stamp)) << line;
		lines.push_back(line.size() > 19 ? line.substr(19) : line);
	}
	return lines;
}

std::string RunChunk(lua_State* L, const std::string& chunk)
{
	if (luaL_loadbuffer(L, chunk.data(), chunk.size(), "=chunk") != 0 || lua_pcall(L, 0, LUA_MULTRET, 0) != 0) {
		const std::string message = lua_tostring(L, -1);
		lua_pop(L, 1);
		return message;
	}
	return "";
}
