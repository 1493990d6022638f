#ifndef MORVALETH_SCRIPT_APIGAMECALL_H
#define MORVALETH_SCRIPT_APIGAMECALL_H

#include "script/ApiConventions.h"

#include <functional>
#include <string>
#include <vector>

struct lua_State;
class TMorvalethData;
class TMorvalethGame;
class TWorldMapInterface;

// What the engine functions that read and change the game share: the running
// game, their arguments read in one go, their reports under their log name and
// the results they push.

/// Where an engine function of the game may run.
enum TApiPlace
{
	/// In world-map and battle scripts alike.
	API_ANYWHERE,
	/// Only while no battle runs.
	API_WORLD_ONLY,
};

/// One call of an engine function of the game.
class TApiCall
{
public:
	/// A call of the function with that Lua name on the game and its database; RunGameApi makes it once a game is held.
	TApiCall(lua_State* state, const char* luaName, TMorvalethGame& game, const TMorvalethData& data);

	/// The Lua state of the call.
	lua_State* const L;
	/// The function's name in the logs.
	const std::string name;

	/// The running game.
	TMorvalethGame& Game() const { return m_Game; }
	/// The running game's scenario database.
	const TMorvalethData& Data() const { return m_Data; }

	/// True, with the stack emptied, when the arguments have exactly these types; they are then read for Text,
	/// Number and Flag. False leaves everything as it was.
	bool Read(const char* types);
	/// Number of arguments Read took.
	int ArgCount() const { return int(m_Texts.size()); }
	/// The string argument ('s') at the 0-based position, as Read took it; empty for another type.
	const std::string& Text(int i) const { return m_Texts.at(i); }
	/// The number argument ('n') at the position, truncated; 0 for another type.
	int Number(int i) const { return m_Numbers.at(i); }
	/// The boolean argument ('b') at the position; false for another type.
	bool Flag(int i) const { return m_Flags.at(i); }
	/// Empties the stack, so that the results are pushed onto an empty one.
	void Clear();

	/// Invalid argument under the log name; no values.
	int Invalid() const;
	/// An id or range error: the format filled with the log name and then the values; no values.
	template <typename... Args>
	int Error(const std::string& format, const Args&... args) const
	{
		return ApiErrorf(L, format, name, args...);
	}

	/// Definition index of the master id; -1 after "%s(%s) error:マスターIDが誤っています。".
	int FindMasterData(const std::string& id) const;
	/// Definition index of the character id; -1 after "%s(%s) error:キャラIDが誤っています。".
	int FindChara(const std::string& id) const;
	/// Master index of the game's current master; -1, after an Error, when no master is current.
	int CurrentMaster() const;
	/// The world-map controller of the running script; null, after an Error, when it has none.
	TWorldMapInterface* WorldMap() const;

	/// Id of the definition of the master in play at the index.
	const std::string& MasterId(int master) const;
	/// Id of the character definition at the index.
	const std::string& CharaId(int chara) const;
	/// Id of the area at the index.
	const std::string& AreaId(int area) const;

	/// Pushes the string, its bytes as they are; 1.
	int PushText(const std::string& text) const;
	/// Pushes the number; 1.
	int PushNumber(int number) const;
	/// Pushes the boolean; 1.
	int PushBool(bool value) const;
	/// An array (keys 1, 2, ...) of the texts; 1.
	int PushTextArray(const std::vector<std::string>& texts) const;

private:
	/// The game and database the call works on, held by the game master.
	TMorvalethGame& m_Game;
	const TMorvalethData& m_Data;
	/// The arguments Read took, by position: each in the vector of its type, the others holding the default.
	std::vector<std::string> m_Texts;
	std::vector<int> m_Numbers;
	std::vector<bool> m_Flags;
};

/// Runs an engine function of the game: a world-only one refuses while a battle runs, any refuses while no game
/// is held; then the body runs with the call, an exception out of it logged. The count of values to return.
int RunGameApi(lua_State* L, const char* luaName, TApiPlace place, const std::function<int(TApiCall&)>& body);

/// RunGameApi for a function whose only argument is a master id: the body gets the master's definition and
/// the master in play with it (-1 when there is none); a wrong argument list or an id of nothing ends the call.
int RunMasterApi(lua_State* L, const char* luaName, TApiPlace place,
	const std::function<int(TApiCall&, int data, int master)>& body);
/// RunGameApi for a function whose only argument is a character id: the body gets its definition.
int RunCharaApi(lua_State* L, const char* luaName, TApiPlace place, const std::function<int(TApiCall&, int chara)>& body);

/// Stores the string under the key into the table on top of the stack, raw (no metamethod runs).
void SetTextField(lua_State* L, const char* key, const std::string& value);
/// Stores the number under the key into the table on top of the stack, raw.
void SetNumberField(lua_State* L, const char* key, int value);
/// Stores the boolean under the key into the table on top of the stack, raw.
void SetBoolField(lua_State* L, const char* key, bool value);

/// Reads the values of the table at the stack index as positions, in traversal order (keys are not looked at);
/// false at the first value that is no number within the 32-bit range. The stack is left as it was.
bool ReadPositionTable(lua_State* L, int table, std::vector<int>& positions);

/// Area of the first stationed character of the definition, areas in index order; -1 when it stands nowhere.
int FindStationedArea(const TMorvalethGame& game, int chara);

/// x + amount held at the 32-bit limits.
int AddClamped(int x, int amount);

#endif
