#include "script/LuaManager.h"

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "common/babel/babel.h"
#include "platform/FileSystem.h"
#include "script/ScriptAPI.h"
#include "script/ScriptLog.h"
#include "script/ScriptRegistration.h"

#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>
#include <utility>

TBattleInterface* g_BattleInterface = nullptr;
TScriptAPI* g_ScriptAPI = nullptr;
int g_ScriptMaster = 0;
TWorldMapInterface* g_ScriptWorldMap = nullptr;

// Every call and resume is traced at the debug level, once per frame for some scripts:
// the line is only formatted when the log will write it.
#define TRACE_RUN(...)                      \
	do {                                    \
		if (g_Logger.GetLevel() >= 3)       \
			LOG_DEBUG(__VA_ARGS__);         \
	} while (0)

namespace
{
const char* const SEARCH_PATH_FORMAT = "?;?.lua;%s/Script/?;%s/Script/?.lua";

// Appends the path to package.path, or makes it package.path when there is none yet.
void AppendSearchPath(lua_State* L, const char* searchPath)
{
	lua_getglobal(L, "package");
	if (lua_istable(L, -1)) {
		lua_getfield(L, -1, "path");
		std::string path = searchPath;
		if (lua_isstring(L, -1) && lua_type(L, -1) == LUA_TSTRING)
			path = std::string(lua_tostring(L, -1)) + ";" + searchPath;
		lua_pop(L, 1);
		lua_pushlstring(L, path.data(), path.size());
		lua_setfield(L, -2, "path");
	}
	lua_pop(L, 1);
}

// Loads the file as a chunk named "@file" through Lua's own loader of script files (their size bounded, a first
// line starting with "#" skipped), but opens it through the file-name layer so that Shift-JIS paths work. Lua's
// status; the message on error.
int LoadChunk(lua_State* L, const char* file)
{
	// A pipe or a device under a script's name would hold the load for good.
	std::FILE* in = OpenRegularFile(file);
	if (!in) {
		lua_pushfstring(L, "cannot open %s", file);
		return LUA_ERRFILE;
	}
	const std::string chunkName = std::string("@") + file;
	const int status = luaL_loadstream(L, in, chunkName.c_str());
	std::fclose(in);
	return status;
}

// Lua's statuses of a run that ended in an error (C++ exceptions that reach Lua give -1).
bool IsFailure(int status)
{
	return status != 0 && status != LUA_YIELD;
}

/// What LuaCreateState hands to the protected opening of the state.
struct TOpening
{
	const char* file;
	const char* searchPath;
};

// Opens the libraries and runs the file's chunk; a protected call, so that a memory error or a
// stop raised anywhere in it fails the load.
int OpenState(lua_State* L)
{
	const TOpening& opening = *static_cast<const TOpening*>(lua_touserdata(L, 1));
	lua_settop(L, 0);
	lua_register(L, "_ALERT", _ALERT);
	lua_register(L, "print_log", print_log);
	luaL_openlibs(L);
	if (opening.searchPath)
		AppendSearchPath(L, opening.searchPath);
	if (LoadChunk(L, opening.file) != 0)
		return lua_error(L);
	lua_call(L, 0, 0);
	return 0;
}

// Registered after the chunk has run, in a protected call: the chunk may have given the globals
// a metatable whose code now runs.
int RegisterEngineNames(lua_State* L)
{
	RegisterScriptConstants(L);
	RegisterScriptAPI(L);
	return 0;
}

/// The longest error message the logs take whole.
const std::size_t LOGGED_ERROR_BYTES = 2000;

/// The text, cut after LOGGED_ERROR_BYTES at a character's end, with the length it had.
std::string CutForLog(const std::string& text)
{
	if (text.size() <= LOGGED_ERROR_BYTES)
		return text;
	const std::size_t end = SjisCutLength(text, LOGGED_ERROR_BYTES);
	return text.substr(0, end) + FormatText("...(全 %u バイトのうち先頭 %u バイト)", text.size(), end);
}

// The object's __tostring, in a protected call; a string, or nothing.
int CallToString(lua_State* L)
{
	if (!luaL_callmeta(L, 1, "__tostring") || lua_type(L, -1) != LUA_TSTRING)
		lua_pushnil(L);
	return 1;
}

/// The error object on top of L, which runs nothing now, as text for the logs: a string or a number as it is,
/// anything else as its type with its __tostring text when that runs within the bounds; cut to a sane length.
std::string ErrorText(lua_State* L)
{
	const int type = lua_type(L, -1);
	if (type == LUA_TSTRING || type == LUA_TNUMBER) {
		std::size_t length = 0;
		const char* text = lua_tolstring(L, -1, &length);
		return CutForLog(std::string(text, length));
	}
	std::string text = FormatText("(error object is a %s value)", lua_typename(L, type));
	if (!lua_checkstack(L, 2))
		return text;
	const TRunBounds bounds;
	lua_pushcfunction(L, CallToString);
	lua_pushvalue(L, -2);
	if (lua_pcall(L, 1, 1, 0) == 0 && lua_type(L, -1) == LUA_TSTRING)
		text += std::string(" ") + lua_tostring(L, -1);
	lua_pop(L, 1);
	return CutForLog(text);
}

/// Logs the failed load of the file with the error object on top of L, in both logs, and closes L.
void ReportFailedLoad(lua_State* L, const char* file)
{
	const std::string text = ErrorText(L);
	g_Logger.Error(FormatText("スクリプト %s の読み込みが失敗しました：%s", file, text));
	lua_pop(L, 1);
	lua_pushlstring(L, text.data(), text.size());
	_ALERT(L);
	CloseScriptState(L);
}
}

lua_State* LuaCreateState(const char* file, const char* searchPath)
{
	// The file's top-level code is a run of its own, with its own bounds.
	const std::string name = file;
	const TRunBounds bounds(TBoundsFor::Run, TRunName{&name, nullptr});
	lua_State* L = NewScriptState();
	if (!L)
		return nullptr;
	TOpening opening = {file, searchPath};
	if (lua_cpcall(L, OpenState, &opening) != 0) {
		ReportFailedLoad(L, file);
		return nullptr;
	}
	return L;
}

class TMorvalethLuaManager::TContextScope
{
public:
	explicit TContextScope(const TMorvalethLuaManager& manager)
		: m_Bounds(TBoundsFor::Run, TRunName{&manager.m_File, &manager.m_Function}),
		  m_Battle(g_BattleInterface), m_ScriptAPI(g_ScriptAPI), m_Master(g_ScriptMaster),
		  m_WorldMap(g_ScriptWorldMap)
	{
		g_BattleInterface = manager.m_BattleInterface;
		g_ScriptAPI = manager.m_ScriptAPI;
		g_ScriptWorldMap = manager.m_WorldMap;
		g_ScriptMaster = manager.m_MasterIndex;
	}
	// A call nested in another script's run hands the outer script its own context back.
	~TContextScope()
	{
		g_BattleInterface = m_Battle;
		g_ScriptAPI = m_ScriptAPI;
		g_ScriptMaster = m_Master;
		g_ScriptWorldMap = m_WorldMap;
	}

private:
	const TRunBounds m_Bounds;
	TBattleInterface* m_Battle;
	TScriptAPI* m_ScriptAPI;
	int m_Master;
	TWorldMapInterface* m_WorldMap;
};

TMorvalethLuaManager::TMorvalethLuaManager()
	: m_BattleInterface(nullptr), m_State(nullptr), m_Suspended(false), m_Result(false), m_MasterIndex(0),
	  m_ScriptAPI(nullptr), m_WorldMap(nullptr), m_Thread(nullptr), m_ThreadRef(LUA_NOREF), m_Running(false)
{
}

TMorvalethLuaManager::~TMorvalethLuaManager()
{
	CloseState();
}

TMorvalethLuaManager::TMorvalethLuaManager(TMorvalethLuaManager&& other) noexcept
	: m_BattleInterface(other.m_BattleInterface), m_State(std::exchange(other.m_State, nullptr)),
	  m_Suspended(std::exchange(other.m_Suspended, false)), m_Result(other.m_Result),
	  m_MasterIndex(other.m_MasterIndex), m_ScriptAPI(other.m_ScriptAPI), m_WorldMap(other.m_WorldMap),
	  m_Thread(std::exchange(other.m_Thread, nullptr)), m_ThreadRef(std::exchange(other.m_ThreadRef, LUA_NOREF)),
	  m_Running(std::exchange(other.m_Running, false)), m_File(std::move(other.m_File)),
	  m_Function(std::move(other.m_Function))
{
}

TMorvalethLuaManager& TMorvalethLuaManager::operator=(TMorvalethLuaManager&& other) noexcept
{
	if (this != &other) {
		CloseState();
		m_BattleInterface = other.m_BattleInterface;
		m_State = std::exchange(other.m_State, nullptr);
		m_Suspended = std::exchange(other.m_Suspended, false);
		m_Result = other.m_Result;
		m_MasterIndex = other.m_MasterIndex;
		m_ScriptAPI = other.m_ScriptAPI;
		m_WorldMap = other.m_WorldMap;
		m_Thread = std::exchange(other.m_Thread, nullptr);
		m_ThreadRef = std::exchange(other.m_ThreadRef, LUA_NOREF);
		m_Running = std::exchange(other.m_Running, false);
		m_File = std::move(other.m_File);
		m_Function = std::move(other.m_Function);
	}
	return *this;
}

void TMorvalethLuaManager::SetContext(TBattleInterface* battle, TScriptAPI* scriptApi, TWorldMapInterface* worldMap)
{
	m_BattleInterface = battle;
	m_ScriptAPI = scriptApi;
	m_WorldMap = worldMap;
}

void TMorvalethLuaManager::SetMasterIndex(int master)
{
	m_MasterIndex = master;
}

bool TMorvalethLuaManager::LoadLua(const char* file)
{
	if (m_Running) {
		LOG_ERROR("実行中のスクリプトは読み込み直せません。(%s)", file);
		return false;
	}
	// Without a scenario the search stays in the working folder, never in "/Script".
	const std::string& scenarioDir = g_GameMaster.m_ScenarioDir;
	const std::string scenario = scenarioDir.empty() ? std::string(".") : NativePath(scenarioDir);
	const std::string searchPath = FormatText(SEARCH_PATH_FORMAT, scenario, scenario);
	const std::string name = file;
	const TRunBounds bounds(TBoundsFor::Run, TRunName{&name, nullptr});
	lua_State* L = LuaCreateState(file, searchPath.c_str());
	if (L && lua_cpcall(L, RegisterEngineNames, nullptr) != 0) {
		ReportFailedLoad(L, file);
		L = nullptr;
	}
	if (!L) {
		g_Logger.Error(FormatText("TMorvalethLuaManager::LoadLua error:%s のロードに失敗ました。", file));
		return false;
	}
	// A call still suspended belongs to the old state and ends with it.
	CloseState();
	m_State = L;
	m_File = file;
	return true;
}

bool TMorvalethLuaManager::CallFunction(const char* name)
{
	return CallFunction(name, std::vector<std::string>());
}

bool TMorvalethLuaManager::CallFunction(const char* name, const std::vector<std::string>& arguments)
{
	TRACE_RUN("s %s", name);
	if (!m_State) {
		LOG_ERROR("スクリプトが読み込まれていないため、関数 %s を呼び出せません。", name);
		return false;
	}
	if (m_Suspended || m_Running) {
		LOG_ERROR("前の呼び出しが終わっていないため、関数 %s を呼び出せません。", name);
		return false;
	}
	m_Function = name;
	TContextScope context(*this);
	if (m_ScriptAPI)
		m_ScriptAPI->ClearEvents();

	m_Thread = lua_newthread(m_State);
	m_ThreadRef = luaL_ref(m_State, LUA_REGISTRYINDEX);
	// A raw read: a script's metatable on the globals cannot raise an error here.
	lua_pushstring(m_Thread, name);
	lua_rawget(m_Thread, LUA_GLOBALSINDEX);
	if (!lua_isfunction(m_Thread, -1)) {
		LOG_ERROR("関数でないもの(%s)を呼び出そうとしました。", name);
		ReleaseThread();
		return false;
	}
	if (!lua_checkstack(m_Thread, int(arguments.size()))) {
		LOG_ERROR("関数 %s の引数が多すぎます。", name);
		ReleaseThread();
		return false;
	}
	for (const std::string& argument : arguments)
		lua_pushlstring(m_Thread, argument.data(), argument.size());
	const int status = RunThread(int(arguments.size()));
	if (IsFailure(status)) {
		ReportFailedRun(status, false);
		return false;
	}
	TRACE_RUN("e %s", name);
	return true;
}

bool TMorvalethLuaManager::Resume()
{
	TRACE_RUN("s");
	if (!m_Suspended || m_Running) {
		LOG_ERROR("再開する呼び出しがありません。");
		return false;
	}
	TContextScope context(*this);
	const int status = RunThread(0);
	if (IsFailure(status)) {
		ReportFailedRun(status, true);
		return false;
	}
	TRACE_RUN("e");
	return true;
}

int TMorvalethLuaManager::RunThread(int argumentCount)
{
	m_Result = false;
	m_Running = true;
	const int status = lua_resume(m_Thread, argumentCount);
	m_Running = false;
	m_Suspended = status == LUA_YIELD;
	if (m_Suspended) {
		// What the script yielded is not used; the resume hands it nothing back.
		lua_settop(m_Thread, 0);
	} else if (status == 0) {
		const int top = lua_gettop(m_Thread);
		m_Result = top > 0 && lua_isboolean(m_Thread, top) && lua_toboolean(m_Thread, top);
		ReleaseThread();
	}
	return status;
}

void TMorvalethLuaManager::ReportFailedRun(int status, bool resumed)
{
	try {
		if (resumed)
			g_Logger.Error(FormatText("TMorvalethLuaManager::Resume error:resume error %d", status));
		else
			LOG_ERROR("関数 %s のresume error %d", m_Function, status);
		// The dead thread runs nothing more: its error object is made text in the state's main thread.
		lua_xmove(m_Thread, m_State, 1);
		const std::string text = ErrorText(m_State);
		lua_pop(m_State, 1);
		lua_pushlstring(m_Thread, text.data(), text.size());
		g_Logger.Error(FormatText("スクリプト %s の関数 %s が失敗しました：%s", m_File, m_Function, text));
		_ALERT(m_Thread);
	} catch (const std::exception&) {
		// A run that failed for want of memory may leave too little to report it.
	}
	ReleaseThread();
	// What the run grew counts against the limit until it is collected; no collection comes
	// on its own while every allocation that would start one is refused.
	if (status == LUA_ERRMEM)
		lua_gc(m_State, LUA_GCCOLLECT, 0);
}

void TMorvalethLuaManager::ReleaseThread()
{
	if (m_State && m_ThreadRef != LUA_NOREF)
		luaL_unref(m_State, LUA_REGISTRYINDEX, m_ThreadRef);
	m_ThreadRef = LUA_NOREF;
	m_Thread = nullptr;
}

void TMorvalethLuaManager::CloseState()
{
	if (m_State)
		CloseScriptState(m_State);
	m_State = nullptr;
	m_Thread = nullptr;
	m_ThreadRef = LUA_NOREF;
	m_Suspended = false;
}
