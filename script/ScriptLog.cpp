#include "script/ScriptLog.h"

#include "platform/FileSystem.h"

#include <ctime>
#include <lauxlib.h>
#include <lua.h>

namespace
{
const char* const LUA_LOG_FILE = "_lualog.txt";
// Every rendered value fits a work buffer of this size, its terminator included.
const std::size_t VALUE_BUFFER = 1024;
const int PRINT_LOG_BUFFER = 2048;
const int DEBUG_LOG_BUFFER = 1024;
// Set once the script log could not be made was said; a log made again clears it.
bool g_LuaLogUnmadeSaid = false;

// The text of print_log or debug_log as it grows within its buffer. A piece is appended when it fits;
// the count reserves one byte per piece, as a terminator would, so later and shorter pieces may still fit.
struct TArgsText
{
	explicit TArgsText(int size) : size(size) {}

	/// True once not even the shortest piece, one byte, fits.
	bool IsFull() const { return used + 2 > size; }

	void Append(const std::string& piece)
	{
		const int length = int(piece.size());
		if (length + used + 1 > size)
			return;
		text += piece;
		used += length + 1;
	}

	std::string text;
	int used = 0;
	const int size;
};

// The values of the table at index, rendered in the order of lua_next; nested tables are "?". The walk
// ends once the text is full, and looks at the run's stop at every entry: a table of a million entries
// whose values never fit would otherwise hold the game as long as the walk takes.
void AppendTableValues(lua_State* L, int index, TArgsText& text)
{
	lua_pushnil(L);
	while (lua_next(L, index) != 0) {
		lua_checkstop(L);
		text.Append(lua_istable(L, -1) ? std::string("?") : LuaValueToText(L, -1));
		lua_pop(L, 1);
		if (text.IsFull()) {
			lua_pop(L, 1);
			return;
		}
	}
}

// The script log's file as the open gave it; when it is null, the first failure of a run of them is told
// on the standard error and in the main log.
std::FILE* NoteLuaLogOpen(std::FILE* file)
{
	if (file)
		g_LuaLogUnmadeSaid = false;
	else if (!g_LuaLogUnmadeSaid) {
		g_LuaLogUnmadeSaid = true;
		g_Logger.Warning(ReportUnmadeLog(LUA_LOG_FILE));
	}
	return file;
}
}

void LuaLogWrite(const std::string& text)
{
	std::FILE* file = NoteLuaLogOpen(OpenForAppend(LUA_LOG_FILE));
	if (!file)
		return;
	const std::time_t now = std::time(nullptr);
	std::tm local;
	localtime_r(&now, &local);
	char stamp[32];
	std::strftime(stamp, sizeof stamp, "%y/%m/%d %H:%M:%S", &local);
	std::fprintf(file, "%s  ", stamp);
	const std::string line = LogLineText(text);
	std::fwrite(line.data(), 1, line.size(), file);
	std::fputc('\n', file);
	std::fclose(file);
}

void LuaLogReset()
{
	// The run-time library's locale stays "C": numbers in scripts and in saved
	// flags must always be written with a point.
	std::FILE* file = NoteLuaLogOpen(CreateNewFile(LUA_LOG_FILE));
	if (file)
		std::fclose(file);
}

int LuaCallerLine(lua_State* L)
{
	const char* source = nullptr;
	int line = -1;
	LuaGetSourceLine(L, &source, &line);
	return line;
}

int LuaGetSourceLine(lua_State* L, const char** source, int* line)
{
	lua_Debug ar;
	if (!lua_getstack(L, 1, &ar) || !lua_getinfo(L, "Sl", &ar))
		return -1;
	*source = ar.source;
	*line = ar.currentline;
	return 0;
}

int _ALERT(lua_State* L)
{
	if (lua_gettop(L) == 0 || !lua_isstring(L, -1))
		return 0;
	size_t length = 0;
	lua_pushvalue(L, -1);
	const char* text = lua_tolstring(L, -1, &length);
	LuaLogPrintf("%s (Line %d)", std::string(text, length), LuaCallerLine(L));
	lua_pop(L, 1);
	return 0;
}

int print_log(lua_State* L)
{
	LuaLogWrite(LuaArgsToText(L, PRINT_LOG_BUFFER));
	return 0;
}

int debug_log(lua_State* L)
{
	const std::string text = LuaArgsToText(L, DEBUG_LOG_BUFFER);
	lua_settop(L, 0);
	g_Logger.Debug("Lua Log: " + text);
	return 0;
}

std::string LuaArgsToText(lua_State* L, int size)
{
	TArgsText text(size);
	const int top = lua_gettop(L);
	for (int i = 1; i <= top && !text.IsFull(); ++i) {
		lua_checkstop(L);
		if (lua_istable(L, i))
			AppendTableValues(L, i, text);
		else
			text.Append(LuaValueToText(L, i));
	}
	return text.text;
}

std::string LuaValueToText(lua_State* L, int index)
{
	if (lua_isboolean(L, index))
		return lua_toboolean(L, index) ? "true " : "false ";
	if (!lua_isstring(L, index))
		return "?";
	// A copy is converted, so that a number on the stack stays a number.
	lua_pushvalue(L, index);
	size_t length = 0;
	const char* text = lua_tolstring(L, -1, &length);
	std::string piece = length + 1 >= VALUE_BUFFER ? std::string("toolongstr") : std::string(text, length) + " ";
	lua_pop(L, 1);
	return piece;
}

void LuaWarnInvalidArgument(lua_State* L, const std::string& name)
{
	// A scenario has several scripts: a line number alone does not say which one called.
	const char* source = nullptr;
	int line = -1;
	LuaGetSourceLine(L, &source, &line);
	const bool fromFile = source && source[0] == '@';
	const std::string place = fromFile ? std::string(" in ") + (source + 1) : std::string();
	LuaLogPrintf("Warning : invalid argument for %s (Line %d)%s", name, line, place);
}
