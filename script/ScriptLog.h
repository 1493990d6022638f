#ifndef MORVALETH_SCRIPT_SCRIPTLOG_H
#define MORVALETH_SCRIPT_SCRIPTLOG_H

#include "app/Logger.h"

#include <string>

struct lua_State;

// The script log "_lualog.txt" in the working folder: one time-stamped line per
// message, the file opened and closed again for every line so nothing is lost
// when the program stops. The scripts write to it through _ALERT and print_log,
// and the engine functions put their argument warnings there. When the file
// cannot be made, the first failure of a run of them is told on the standard
// error and in the main log.

/// Appends one line: local time "%y/%m/%d %H:%M:%S", two blanks, the text as LogLineText makes it one line of a
/// sane length; nothing when the file cannot be opened.
void LuaLogWrite(const std::string& text);

/// Formats the message (Boost.Format, "%s" and "%d") and appends it as one line.
template <typename... Args>
void LuaLogPrintf(const std::string& format, const Args&... args)
{
	LuaLogWrite(FormatText(format, args...));
}

/// Empties the script log.
void LuaLogReset();

/// Native _ALERT: logs the string or number on top of the stack as "%s (Line %d)"; the stack is left as it was.
int _ALERT(lua_State* L);
/// Native print_log: logs every argument, rendered by LuaArgsToText within 2048 bytes.
int print_log(lua_State* L);
/// Native debug_log: writes "Lua Log: " and the arguments (within 1024 bytes) as a Debug line of the main log.
int debug_log(lua_State* L);

/// Renders the arguments (stack slots 1 to top) within size bytes; a piece that does not fit is skipped. The walk
/// ends once the text is full, and fails the run with its stop error when the run's stop is raised meanwhile.
std::string LuaArgsToText(lua_State* L, int size);
/// Renders one value: "%s " for a string or number, "true " or "false ", "toolongstr" past 1022 bytes, "?" for anything else.
std::string LuaValueToText(lua_State* L, int index);

/// Logs "Warning : invalid argument for %s (Line %d)" with the name and the calling Lua line, followed by
/// " in " and the script file when the caller was loaded from one.
void LuaWarnInvalidArgument(lua_State* L, const std::string& name);
/// Chunk name and current line of the Lua function at level 1; 0, or -1 with both untouched when there is none.
int LuaGetSourceLine(lua_State* L, const char** source, int* line);
/// The current line of the Lua function at level 1; -1 when there is none.
int LuaCallerLine(lua_State* L);

#endif
