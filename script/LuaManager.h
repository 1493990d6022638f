#ifndef MORVALETH_SCRIPT_LUAMANAGER_H
#define MORVALETH_SCRIPT_LUAMANAGER_H

#include "script/RunBounds.h"

#include <string>
#include <vector>

struct lua_State;
class TiXmlElement;
class TBattleInterface;
class TScriptAPI;
class TWorldMapInterface;

// The context of the script that runs now, published by the host before every
// call and resume and restored afterwards; the engine functions read it.

/// The battle the running script talks to.
extern TBattleInterface* g_BattleInterface;
/// The script-window registry of the running script; null for the masters' strategy scripts.
extern TScriptAPI* g_ScriptAPI;
/// The master (world map) or battle side (0 or 1) the running script acts for.
extern int g_ScriptMaster;
/// The world-map controller as the engine functions see it; null for battle scripts.
extern TWorldMapInterface* g_ScriptWorldMap;

/// Creates a bounded state with _ALERT, print_log, the standard libraries and the search path appended
/// to package.path, then runs the file's chunk; null, after logging Lua's message, on failure.
lua_State* LuaCreateState(const char* file, const char* searchPath);

/// One script file in a Lua state of its own. Every call runs as a coroutine in a
/// thread of its own, which the owner resumes frame by frame while it yields; a run
/// that fails, or runs past its bounds in instructions, time or memory, is logged with
/// the file and the entry function and leaves the script ready for the next call.
class TMorvalethLuaManager
{
public:
	/// No state, both flags false, no context, master 0.
	TMorvalethLuaManager();
	/// Closes the state.
	virtual ~TMorvalethLuaManager();
	/// The state moves with the manager; the source is left without one.
	TMorvalethLuaManager(TMorvalethLuaManager&& other) noexcept;
	/// Closes this manager's state first, then takes the other's as the move constructor does.
	TMorvalethLuaManager& operator=(TMorvalethLuaManager&& other) noexcept;
	TMorvalethLuaManager(const TMorvalethLuaManager&) = delete;
	TMorvalethLuaManager& operator=(const TMorvalethLuaManager&) = delete;

	/// Stores the context published to the engine functions; the master index is left alone.
	void SetContext(TBattleInterface* battle, TScriptAPI* scriptApi, TWorldMapInterface* worldMap);
	/// Stores the master index (world map) or side (battle) the script acts for.
	void SetMasterIndex(int master);

	/// Loads the file into a new state with the constants and engine functions; false keeps the old state.
	bool LoadLua(const char* file);
	/// Calls the global function with string arguments as a coroutine; false when it is missing or failed.
	bool CallFunction(const char* name, const std::vector<std::string>& arguments);
	/// CallFunction with no arguments.
	bool CallFunction(const char* name);
	/// Resumes the yielded call; false when it failed or nothing is suspended.
	bool Resume();
	/// True while the last call or resume ended in a yield.
	bool IsSuspended() const { return m_Suspended; }
	/// The boolean the last finished call returned; false when it returned none.
	bool GetResult() const { return m_Result; }

	/// Sets the global Flag to a new table of 499 false entries.
	void CreateFlagTable();
	/// Appends the element "Flag" holding the global Flag, when Flag is a table; false, with an Error, when the
	/// table makes more than a load of the save accepts.
	bool SaveToXML(TiXmlElement* parent);
	/// Reads the saved flag table back into the global Flag; false, with Flag unchanged, when the element is damaged.
	bool LoadFromXML(TiXmlElement* element);

	/// The script's state; null before a successful LoadLua.
	lua_State* GetState() const { return m_State; }

private:
	/// Publishes this manager's context for one run, inside bounds, and puts the previous one back afterwards.
	class TContextScope;

	/// Runs or resumes the call's thread and reads the outcome; Lua's status.
	int RunThread(int argumentCount);
	/// Logs the failed call or resume with the script file, the entry function and Lua's message, then forgets
	/// its thread; a report that finds no memory left is given up, never thrown.
	void ReportFailedRun(int status, bool resumed);
	/// Forgets the call's thread; the collector takes it.
	void ReleaseThread();
	/// Closes the state and forgets the call with it.
	void CloseState();

	/// The battle published as g_BattleInterface during this manager's runs.
	TBattleInterface* m_BattleInterface;
	/// The script's own state, closed with the manager or when another file is loaded.
	lua_State* m_State;
	/// The last call or resume ended in a yield; Resume is then the only way on.
	bool m_Suspended;
	/// What the last finished call returned, as GetResult answers it.
	bool m_Result;
	/// Published as g_ScriptMaster during this manager's runs.
	int m_MasterIndex;
	/// Published as g_ScriptAPI during this manager's runs; null for a master's strategy script.
	TScriptAPI* m_ScriptAPI;
	/// Published as g_ScriptWorldMap during this manager's runs; null for a battle script.
	TWorldMapInterface* m_WorldMap;
	/// The coroutine of the current call; null when none is suspended or running.
	lua_State* m_Thread;
	/// The registry reference that keeps m_Thread from the collector.
	int m_ThreadRef;
	/// A call or resume of this manager is running now.
	bool m_Running;
	/// The script file of the state, and the entry function of the current or last call.
	std::string m_File;
	std::string m_Function;
};

#endif
