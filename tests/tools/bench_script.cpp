// Times the script host: a call of an entry function with three string arguments
// that returns at once, a yield and resume round trip, a call that executes some
// ten million instructions (what a run's bounds cost per instruction), the load of 1 MB of
// Shift-JIS script (dialogue-heavy event script, and one small function every 90
// bytes), and the save and load of a flag table of 10,000 entries
// (a quarter of them tables). Runs in a scratch folder of the system's
// temporary folder, at log levels 2 and 3 (the default writes a debug line at
// the start and the end of every call and resume).
// Usage: bench_script; prints the best and mean times against the goals.

#include "app/Logger.h"
#include "script/LuaManager.h"
#include "support/RunTimes.h"
#include "support/TestSupport.h"

#include <boost/filesystem.hpp>
#include <cstdio>
#include <string>
#include <tinyxml.h>

namespace fs = boost::filesystem;

namespace
{
const int CALLS = 20000;
const int RUNS = 10;
const double CALL_GOAL_US = 5.0;
const double LOAD_GOAL_MS = 20.0;
const double FLAG_GOAL_MS = 20.0;
/// A plain loop of ten million instructions runs in some 26 ms; the bounds' step count adds a twentieth to the bare
/// VM's machine instructions, and somewhat more to its time: the count is stored at every step.
const double WORK_GOAL_MS = 40.0;
const std::size_t SCRIPT_BYTES = 1 << 20;

const char* const HOST_SCRIPT =
	"function entry(a, b, c) return true end\n"
	"function forever() while true do coroutine.yield() end end\n"
	"function work() local n = 0 for i = 1, 5000000 do n = n + i end return n > 0 end\n"
	"function flags()\n"
	"  Flag = {}\n"
	"  for i = 1, 7500 do Flag[i] = (i % 3 == 0) and ('\\149\\92' .. i) or i * 0.25 end\n"
	"  for i = 1, 2500 do Flag['t' .. i] = {i, 'x', true} end\n"
	"  return true\n"
	"end\n";

// A line of dialogue whose characters' second bytes look like "\", "[", "]" and "|" (表示, ソ, 能, 十, ー, 評, ポ).
const std::string DIALOGUE = "表示する文章の一行、ソルディア王国の能臣が十人、評定の時を待つポルト";

// About 1 MB of event script: scenes of eight lines of dialogue in quoted strings, a long
// string and a long comment each.
std::string DialogueScript()
{
	std::string text;
	for (int i = 0; text.size() < SCRIPT_BYTES; ++i) {
		text += "--[[ " + DIALOGUE + " ]]\nfunction scene" + std::to_string(i) + "(w)\n";
		for (int line = 0; line < 8; ++line)
			text += "  api_window_set_text(w, 16, " + std::to_string(20 * line) + ", 1, \"" + DIALOGUE + "\")\n";
		text += "  local note = [[" + DIALOGUE + DIALOGUE + "]]\n  return note\nend\n";
	}
	return text;
}

// About 1 MB of small functions, one every 90 bytes: the parser's worst case rather than the lexer's.
std::string DenseScript()
{
	std::string text;
	for (int i = 0; text.size() < SCRIPT_BYTES; ++i)
		text += "--[[ 表十 ー評ポ ]]\nfunction f" + std::to_string(i) + "(x)\n  local a = \"表示ソ能" +
			std::to_string(i) + "\"\n  if x then return a .. [[ー評ポ]] end\n  return #a\nend\n";
	return text;
}

void PrintMicroseconds(const char* label, const TRunTimes& times, int perRun)
{
	const double best = times.best * 1000.0 / perRun;
	const double mean = times.mean * 1000.0 / perRun;
	std::printf("%-30s best %8.3f us  mean %8.3f us  (goal %.0f us: %s)\n", label, best, mean, CALL_GOAL_US,
		mean < CALL_GOAL_US ? "met" : "missed");
}

bool MeasureHost(TMorvalethLuaManager& manager)
{
	const std::vector<std::string> arguments = {"first", "second", "third"};
	TRunTimes times;
	if (!TimeRuns(RUNS, [&] {
			for (int i = 0; i < CALLS; ++i)
				if (!manager.CallFunction("entry", arguments))
					return false;
			return true;
		}, times))
		return false;
	PrintMicroseconds("  call, three arguments", times, CALLS);

	if (!TimeRuns(RUNS, [&] { return manager.CallFunction("work") && manager.GetResult(); }, times))
		return false;
	PrintRunTimes("  10 million instructions", times, RUNS, WORK_GOAL_MS);

	if (!manager.CallFunction("forever"))
		return false;
	if (!TimeRuns(RUNS, [&] {
			for (int i = 0; i < CALLS; ++i)
				if (!manager.Resume())
					return false;
			return true;
		}, times))
		return false;
	PrintMicroseconds("  resume to the next yield", times, CALLS);


	TMorvalethLuaManager loader;
	for (const char* file : {"dialogue.lua", "dense.lua"}) {
		if (!TimeRuns(RUNS, [&] { return loader.LoadLua(file); }, times))
			return false;
		PrintRunTimes(FormatText("  load 1 MB, %s", file).c_str(), times, RUNS, LOAD_GOAL_MS);
	}
	return true;
}

bool MeasureFlags()
{
	TMorvalethLuaManager manager;
	if (!manager.LoadLua("host.lua") || !manager.CallFunction("flags"))
		return false;
	TiXmlElement saved("LuaEvent");
	TRunTimes times;
	if (!TimeRuns(RUNS, [&] {
			saved.Clear();
			manager.SaveToXML(&saved);
			return saved.FirstChildElement() != nullptr;
		}, times))
		return false;
	PrintRunTimes("  save 10,000 flags", times, RUNS, FLAG_GOAL_MS);
	if (!TimeRuns(RUNS, [&] { return manager.LoadFromXML(&saved); }, times))
		return false;
	PrintRunTimes("  load 10,000 flags", times, RUNS, FLAG_GOAL_MS);
	return true;
}
}

int main()
{
	const fs::path scratch = fs::temp_directory_path() / fs::unique_path("bench-script-%%%%-%%%%");
	fs::create_directories(scratch);
	bool ok = true;
	{
		TScopedCwd cwd(scratch.string());
		WriteFile("host.lua", HOST_SCRIPT);
		WriteFile("dialogue.lua", DialogueScript());
		WriteFile("dense.lua", DenseScript());
		g_Logger.Open("log.txt");
		for (int level : {2, 3}) {
			g_Logger.SetLevel(level);
			std::printf("log level %d%s\n", level, level == 3 ? " (default)" : "");
			TMorvalethLuaManager manager;
			ok = ok && manager.LoadLua("host.lua") && MeasureHost(manager)
				&& MeasureFlags();
		}
		g_Logger.Close();
	}
	if (!ok)
		std::printf("%s\n", ReadFile((scratch / "log.txt").string()).substr(0, 2000).c_str());
	fs::remove_all(scratch);
	if (!ok) {
		std::printf("a script could not be loaded or run\n");
		return 1;
	}
	return 0;
}
