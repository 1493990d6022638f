#ifndef MORVALETH_SCRIPT_APIBATTLECALL_H
#define MORVALETH_SCRIPT_APIBATTLECALL_H

#include "script/ApiConventions.h"

#include <functional>
#include <string>
#include <vector>

struct lua_State;
struct point_t;
class TBattleInterface;
class TMorvalethData;

// What the battle engine functions share: when they test for a running battle,
// their arguments read in one go, the checks of sides, charas and cells made
// before anything reaches the battle, and the arrays and records they push.

/// When a battle engine function tests that a battle runs.
enum TBattleTest
{
	/// Before its arguments.
	BATTLE_FIRST,
	/// After its arguments.
	ARGUMENTS_FIRST,
	/// Never: it answers from the running or the last battle's map.
	NO_BATTLE_TEST,
};

/// How one battle engine function is called.
struct TBattleApiSpec
{
	/// The global name the scripts call it by; the log name is made from it.
	const char* luaName;
	/// When it tests that a battle runs.
	TBattleTest test;
	/// Type letters of its arguments (ApiArgsMatch); null for a function that takes none and empties the stack.
	const char* types;
	/// The name its refusals and argument warnings give; null for the log name.
	const char* shownName;
	/// Type letters of arguments that may follow the others; any beyond them are ignored.
	const char* optional;
	/// The name the warning gives when an optional argument has the wrong type.
	const char* optionalWarning;
};

/// One call of a battle engine function.
class TBattleCall
{
public:
	/// A call under the shown name on the battle; RunBattleApi makes it once the tests have passed.
	TBattleCall(lua_State* state, const std::string& name, TBattleInterface& battle);

	/// The Lua state of the call.
	lua_State* const L;
	/// The name the function's reports give.
	const std::string name;
	/// The battle of the running script.
	TBattleInterface& battle;

	/// The integer argument at the 0-based position; 0 when absent or no number.
	int Number(int i) const { return i < int(m_Numbers.size()) ? m_Numbers[i] : 0; }
	/// The boolean argument at the 0-based position.
	bool Flag(int i) const { return i < int(m_Flags.size()) && m_Flags[i]; }
	/// Number of arguments read.
	int ArgumentCount() const { return int(m_Numbers.size()); }
	/// Reads the arguments 1..count as numbers and flags, then empties the stack.
	void ReadArguments(int count);

	/// An Error under the name: the format gets the name first, then the values; no values.
	template <typename... Args>
	int Error(const std::string& format, const Args&... args) const
	{
		return ApiErrorf(L, format, name, args...);
	}

	/// Width and height of the battle map; false, after an Error, while the battle has none.
	bool MapSize(int& width, int& height) const;
	/// The cell lies on the map; false after an Error.
	bool CheckCell(int x, int y) const;
	/// The side exists; false after an Error.
	bool CheckSide(int side) const;
	/// The side and the chara index exist; false after an Error.
	bool CheckChara(int side, int index) const;
	/// The scenario database; null, after an Error, without a game.
	const TMorvalethData* Data() const;

	/// Pushes a new record {x = , y = } of the cell; 1.
	int PushCell(const point_t& cell) const;
	/// Pushes an array of cell records under keys from the first key on, with the size hint; 1.
	int PushCells(const std::vector<point_t>& cells, int firstKey, int sizeHint) const;
	/// Pushes a boolean; 1.
	int PushBool(bool value) const;
	/// Pushes two numbers; 2.
	int PushPair(int a, int b) const;

private:
	/// The arguments read, by position: a number's truncation in m_Numbers, any other value's truth in m_Flags.
	std::vector<int> m_Numbers;
	std::vector<bool> m_Flags;
};

/// Runs a battle engine function: its battle test and argument test in the order of the spec (a refusal and a
/// warning under the shown name), its arguments read and the stack emptied, then the body; an exception out of
/// the body is logged. The count of values to return.
int RunBattleApi(lua_State* L, const TBattleApiSpec& spec, const std::function<int(TBattleCall&)>& body);

#endif
