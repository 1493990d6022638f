#include "support/ScriptFuzz.h"

#include "app/Application.h"
#include "script/LuaManager.h"
#include "support/ScriptBounds.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <sys/stat.h>

namespace
{
const char* const SCRIPT_FILE = "fuzz_script.lua";
/// A pipe in the working folder, which no file call may wait on.
const char* const PIPE_FILE = "fuzz_script.fifo";
/// A short deadline for the runs that must be stopped, so that a round ends soon even under a sanitizer; the
/// runs that must succeed run under the program's own.
const std::chrono::milliseconds FUZZ_DEADLINE(20);
const std::size_t FUZZ_MEMORY = std::size_t(16) << 20;

/// Forms that never end by themselves; N is a size drawn from SIZES.
const char* const ENDLESS[] = {
	"while true do end",
	"while true do local s = string.rep('x', N) end",
	"while true do string.find(string.rep('a', N), string.rep('a*', N) .. 'b') end",
	"while true do string.find(string.rep('a', N), string.rep('a?', N)) end",
	"while true do string.rep('', N * 1000) end",
	"while true do string.find(string.rep('a', N * 10), string.rep('a', N) .. 'b', 1, true) end",
	"while true do string.gsub(string.rep('ab', N), '(a)(b)', '%2%1') end",
	"while true do for w in string.gmatch(string.rep('a', N), 'a-a-a-b') do end end",
	"while true do local t = {} for i = 1, N do t[i] = N - i end table.sort(t) end",
	"local t = {} while true do t[#t + 1] = string.rep('x', N) .. #t end",
	"local t = {} while true do t[#t + 1] = {} end",
	"while true do getmetatable(newproxy(true)).__gc = function() while true do end end collectgarbage() end",
	"while true do pcall(unpack, {}, -N, 2^31 - 1) end",
	"while true do pcall(unpack, {}, N - 2^31, N) end",
	"while true do table.insert({}, N - 2^31, 1) end",
	"while true do local t = {} for i = 1, N do t[i] = '' end table.concat(t) table.remove(t, 1) end",
	"while true do local f = io.open('/dev/zero') if f then f:read('*l') end end",
	"while true do pcall(dofile, 'fuzz_script.fifo') pcall(io.lines, 'fuzz_script.fifo') end",
	"while true do package.path = './?.fifo' pcall(require, 'fuzz_script') io.open('fuzz_script.fifo', 'w') end",
	// A precompiled chunk whose string constant has its length cut to 0, and one with a byte changed.
	"while true do local s = string.dump(function() return 'x' end) local w = s:byte(9)"
	" local f = loadstring((s:gsub('\\4\\2' .. ('%z'):rep(w - 1) .. 'x%z', '\\4' .. ('\\0'):rep(w))))"
	" if f then print(f()) end end",
	"while true do local s = string.dump(function(a) return a .. 'x' end) local i = N % #s + 1"
	" local d = s:sub(1, i - 1) .. string.char((s:byte(i) + 1) % 256) .. s:sub(i + 1)"
	" local f = load(function() local c = d d = nil return c end) if f then pcall(f, 'y') end end",
};

/// What may surround a form; %s stands for it.
const char* const WRAPPERS[] = {
	"debug.sethook() %s",
	"debug.sethook(function() end, '', 1) %s",
	"debug.sethook(function() while true do end end, 'l') %s",
	"while true do pcall(function() %s end) end",
	"while true do xpcall(function() %s end, function() while true do end end) end",
	"while true do coroutine.resume(coroutine.create(function() %s end)) end",
	"coroutine.wrap(function() %s end)() while true do end",
	"coroutine.yield() %s",
	"local p = newproxy(true) getmetatable(p).__gc = function() %s end p = nil collectgarbage() while true do end",
	"pcall(error) %s",
	"pcall(os.exit, N) %s",
	"error(setmetatable({}, {__tostring = function() %s end}))",
};

const int SIZES[] = {0, 1, 40, 199, 200, 201, 1000, 100000, 400000};

template <typename T, std::size_t N>
const T& Pick(std::mt19937& random, const T (&items)[N])
{
	return items[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)];
}

void Replace(std::string& text, const std::string& mark, const std::string& by)
{
	for (std::size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + by.size()))
		text.replace(at, mark.size(), by);
}

/// An endless form with its size, inside zero to three wrappers.
std::string EndlessCode(std::mt19937& random)
{
	std::string code = Pick(random, ENDLESS);
	Replace(code, "N", std::to_string(Pick(random, SIZES)));
	for (int wraps = std::uniform_int_distribution<int>(0, 3)(random); wraps > 0; --wraps) {
		std::string wrapper = Pick(random, WRAPPERS);
		Replace(wrapper, "N", std::to_string(Pick(random, SIZES)));
		Replace(wrapper, "%s", code);
		code = wrapper;
	}
	return code;
}

/// Calls run and resumes it while it yields, under the short deadline; the fault, empty when it failed once and
/// was logged so.
std::string RunEntry(TMorvalethLuaManager& manager, const std::string& file, const std::string& logPath)
{
	bool running;
	{
		const TScopedScriptBounds bounds(FUZZ_DEADLINE, FUZZ_MEMORY);
		running = manager.CallFunction("run");
		for (int resumes = 0; running && manager.IsSuspended() && resumes < 3; ++resumes)
			running = manager.Resume();
	}
	if (running)
		return manager.IsSuspended() ? "the run yields for ever" : "the run finished";
	if (CountLines(ReadFile(logPath), "スクリプト " + file + " の関数 run が失敗しました：") != 1)
		return "the failed run is not logged once with its file and function";
	if (!manager.CallFunction("ok") || !manager.GetResult())
		return "the script does not answer the next call";
	return "";
}
}

void RunScriptRound(std::mt19937& random, const std::string& logPath, TFuzzRound& result)
{
	// Only a load that must be stopped runs under the short deadline; the close of the state, which must be
	// stopped when a finalizer never returns, always does.
	const bool atLoad = std::uniform_int_distribution<int>(0, 7)(random) == 0;
	const TScopedScriptBounds bounds(atLoad ? FUZZ_DEADLINE : RUN_DEADLINE, FUZZ_MEMORY);
	SetCloseDeadline(FUZZ_DEADLINE / 10);
	// A script's os.exit in an earlier round asked the program to end; the fuzz program goes on with its rounds.
	ClearQuitRequest();
	::mkfifo(PIPE_FILE, 0600);
	const std::string file = (boost::filesystem::current_path() / SCRIPT_FILE).string();
	const bool closes = std::uniform_int_distribution<int>(0, 3)(random) == 0;
	const std::string code = EndlessCode(random);
	std::string text = "function ok() return true end\n";
	if (closes)
		text += "keep = newproxy(true) getmetatable(keep).__gc = function() " + EndlessCode(random) + " end\n";
	text += atLoad ? code + "\n" : "function run() " + code + " end\n";
	WriteFile(file, text);
	result.input = code;
	TMorvalethLuaManager manager;
	if (!manager.LoadLua(file.c_str())) {
		if (!atLoad)
			result.fault = "the script does not load";
		else if (CountLines(ReadFile(logPath), file + " のロードに失敗ました。") != 1)
			result.fault = "the failed load is not logged once with its file";
		return;
	}
	if (atLoad) {
		result.fault = "the load finished";
		return;
	}
	result.accepted = true;
	result.fault = RunEntry(manager, file, logPath);
}
