// The lexer keeps Shift-JIS characters whole inside string literals. The chunks are
// written with byte escapes: 0x95 0x5C is 表, 0x83 0x5C ソ, 0x81 0x5B ー, 0x95 0x5D 評,
// 0x83 0x7C ポ; their second bytes look like "\", "[", "]" and "|".

#include "unit/ScriptFixture.h"

#include "support/ScriptBounds.h"

#include <cstring>
#include <lauxlib.h>
#include <lua.h>
#include <lualib.h>

namespace
{
struct LexCase
{
	const char* what;
	std::string chunk;
	// The bytes the chunk returns, or a part of the error message when error is set.
	std::string expected;
	bool error;
};

class LuaLexer : public ScriptTest
{
protected:
	LuaLexer() : L(luaL_newstate()) { luaL_openlibs(L); }
	~LuaLexer() override { lua_close(L); }

	// The string the chunk returns, or its error message.
	std::string Run(const std::string& chunk, bool& failed)
	{
		const std::string message = RunChunk(L, chunk);
		failed = !message.empty();
		if (failed)
			return message;
		size_t length = 0;
		const char* text = lua_tolstring(L, -1, &length);
		std::string result = text ? std::string(text, length) : std::string("<not a string>");
		lua_settop(L, 0);
		return result;
	}

	lua_State* L;
};
}

TEST_F(LuaLexer, SecondBytesThatLookLikeSyntaxStayInEveryKindOfString)
{
	const LexCase cases[] = {
		{"backslash trail, double quotes", "return \"A\x95\x5C" "n\"", "A\x95\x5C" "n", false},
		{"backslash trail, single quotes", "return '\x83\x5C'", "\x83\x5C", false},
		{"lead byte right before the closing quote", "return \"x\x95\"", "x\x95", false},
		{"escapes around a character still work", "return \"a\\n\x95\x5C\\t\\065\"", "a\n\x95\x5C\tA", false},
		{"bracket trails in a long string", "return [[\x81\x5B\x95\x5D\x83\x7C]]", "\x81\x5B\x95\x5D\x83\x7C", false},
		{"a closing-bracket trail does not close", "return [[\x95]]]", "\x95]", false},
		{"an opening-bracket trail does not nest", "return [[\x81[x]]", "\x81[x", false},
		{"level 1", "return [=[\x95]=]\x95\x5C]=]", "\x95]=]\x95\x5C", false},
		{"level 2", "return [==[\x95]==]]==]", "\x95]==]", false},
		{"long comment", "--[[\x81]]return 'bad']]return 'ok'", "ok", false},
		{"long comment of level 1", "--[=[\x81]=]return 'bad']=]return 'ok'", "ok", false},
		{"one-byte katakana are plain bytes", "return \"\xB1\xB2\"", "\xB1\xB2", false},
	};
	for (const LexCase& c : cases) {
		bool failed = false;
		EXPECT_EQ(c.expected, Run(c.chunk, failed)) << c.what;
		EXPECT_FALSE(failed) << c.what;
	}
}

TEST_F(LuaLexer, BrokenStringsStillGetTheStockMessages)
{
	const LexCase cases[] = {
		{"unfinished quoted string", "return \"abc", "unfinished string", true},
		{"lead byte last in the chunk", "return \"ab\x95", "unfinished string", true},
		{"lead byte before a line feed", "return \"ab\x95\nx\"", "unfinished string", true},
		{"unfinished long string", "return [[abc\x95", "unfinished long string", true},
		{"unfinished long comment", "--[[abc\x95", "unfinished long comment", true},
		{"escape too large", "return \"\\400\"", "escape sequence too large", true},
		{"bad long delimiter", "return [=", "invalid long string delimiter", true},
		{"stock nesting", "return [[a[[b]]", "nesting of [[...]] is deprecated", true},
		{"lines still counted after a lead byte", "local s = [[\x95\n]]\nerror('here')", "chunk:3: here", true},
	};
	for (const LexCase& c : cases) {
		bool failed = false;
		const std::string message = Run(c.chunk, failed);
		EXPECT_TRUE(failed) << c.what;
		EXPECT_NE(std::string::npos, message.find(c.expected)) << c.what << ": " << message;
	}
}

TEST_F(LuaLexer, CFunctionsMayUseUpTo32767StackSlots)
{
	EXPECT_TRUE(lua_checkstack(L, 30000));
	EXPECT_FALSE(lua_checkstack(L, 40000));
	// The pseudo-indices lie beyond the larger stack.
	EXPECT_LT(LUA_REGISTRYINDEX, -32767);
	lua_pushinteger(L, 7);
	lua_setglobal(L, "g");
	lua_getfield(L, LUA_GLOBALSINDEX, "g");
	EXPECT_EQ(7, lua_tointeger(L, -1));
}

namespace
{
/// A chunk that starts with its head and goes on for ever with the filler.
struct TEndlessChunk
{
	const char* head;
	std::string filler;
	bool started;
};

const char* ReadEndless(lua_State*, void* data, size_t* size)
{
	TEndlessChunk& chunk = *static_cast<TEndlessChunk*>(data);
	const char* piece = chunk.started ? chunk.filler.data() : chunk.head;
	*size = chunk.started ? chunk.filler.size() : std::strlen(chunk.head);
	chunk.started = true;
	return piece;
}
}

// A comment takes no memory however long it is: one without end, which a load() reader may hand the lexer, ends
// only by the run's stop, raised here before the load as the watchdog would raise it.
TEST_F(LuaLexer, ACommentWithoutEndIsEndedByTheStop)
{
	const std::pair<const char*, const char*> comments[] = {
		{"--", "x"},
		{"--[[", "x\n"},
		// Lead bytes take the closing bracket as their second byte.
		{"--[==[", "\x95]==]"},
	};
	const THangWatchdog watchdog("the endless comments");
	for (const auto& comment : comments) {
		TEndlessChunk chunk = {comment.first, std::string(), false};
		for (int i = 0; i < 4096; ++i)
			chunk.filler += comment.second;
		lua_runstop.store(1, std::memory_order_relaxed);
		const int status = lua_load(L, ReadEndless, &chunk, "=endless");
		lua_runstop.store(0, std::memory_order_relaxed);
		EXPECT_NE(0, status) << comment.first;
		EXPECT_STREQ(lua_stoptext, lua_tostring(L, -1)) << comment.first;
		lua_settop(L, 0);
	}
}
