#include "app/Logger.h"
#include "common/babel/babel.h"
#include "script/ScriptLog.h"
#include "support/TestSupport.h"

#include <algorithm>
#include <boost/filesystem.hpp>
#include <gtest/gtest.h>
#include <regex>
#include <sys/stat.h>

TEST(Logger, LevelFiltersWarningAndDebugLines)
{
	for (int level = 1; level <= 3; ++level) {
		TCapturedLog log(level);
		g_Logger.Error("e");
		g_Logger.Warning("w");
		g_Logger.Debug("d");
		EXPECT_EQ(1, log.CountLines(" Error e"));
		EXPECT_EQ(level >= 2 ? 1 : 0, log.CountLines(" Warning w"));
		EXPECT_EQ(level >= 3 ? 1 : 0, log.CountLines(" Debug d"));
	}
}

TEST(Logger, LineStartsWithMicrosecondStamp)
{
	TCapturedLog log;
	g_Logger.Error("text");
	const std::regex line(R"(\d{4}/\d\d/\d\d \d\d:\d\d:\d\d\.\d{6} Error text\n)");
	EXPECT_TRUE(std::regex_match(log.Text(), line)) << log.Text();
}

namespace
{
struct TSample
{
	void Report(int value) { LOG_ERROR("value %d", value); }
	void ReportBadFormat() { LOG_ERROR("value %d %d", 1); }
};
}

TEST(Logger, MethodTextNamesClassMethodAndLineAndMismatchedArgumentsGiveAFormatError)
{
	{
		TCapturedLog log;
		TSample().Report(7);
		const std::regex line(R"(.* Error \{anonymous\}::TSample::Report:\d+:value 7\n)");
		EXPECT_TRUE(std::regex_match(log.Text(), line)) << log.Text();
	}
	TCapturedLog log;
	TSample().ReportBadFormat();
	EXPECT_EQ(1, log.CountLines("TSample::ReportBadFormat:"));
	EXPECT_EQ(1, log.CountLines(":format error"));
	EXPECT_EQ("TIniLoader::SaveToFile", MethodName("bool TIniLoader::SaveToFile(const string&)"));
	EXPECT_EQ("main", MethodName("int main()"));
}

// Each log is a file of its own: a link or a pipe under its name is replaced, never written through or waited
// on. The program's log is opened afresh at the start; the scripts' log is added to line by line.
TEST(Logger, ALinkOrAPipeUnderALogsNameIsReplaced)
{
	TTempDir dir;
	const TScopedCwd cwd(dir.Path());
	WriteFile(dir / "victim.txt", "kept");
	const struct
	{
		const char* name;
		void (*write)();
	} logs[] = {
		// Not "log.txt": the captured log opens that name in the working folder as it ends.
		{"game.log", [] {
			 TCapturedLog captured;
			 ASSERT_TRUE(g_Logger.Open("game.log"));
			 g_Logger.Error("written");
		 }},
		{"_lualog.txt", [] { LuaLogWrite("written"); }},
	};
	for (const auto& log : logs) {
		for (const bool pipe : {false, true}) {
			if (pipe)
				ASSERT_EQ(0, ::mkfifo(log.name, 0600));
			else
				boost::filesystem::create_symlink("victim.txt", log.name);
			log.write();
			EXPECT_EQ("kept", ReadFile(dir / "victim.txt")) << log.name;
			EXPECT_TRUE(boost::filesystem::is_regular_file(boost::filesystem::symlink_status(dir / log.name))) << log.name << pipe;
			EXPECT_EQ(1, CountLines(ReadFile(dir / log.name), " written")) << log.name << pipe;
			boost::filesystem::remove(dir / log.name);
		}
	}
}

TEST(Logger, ClosedFileWritesNothing)
{
	TCapturedLog log;
	g_Logger.Close();
	g_Logger.Error("lost");
	EXPECT_EQ("", log.Text());
}

namespace
{
/// A message and the line's text both logs make of it.
struct TLogLineCase
{
	const char* name;
	std::string text;
	std::string line;
};

/// The text after the first occurrence of the separator in the only line of the log; "(no line)", after a
/// failure, when the log holds more lines or none.
std::string OnlyLine(const std::string& log, const std::string& separator)
{
	const std::size_t start = log.find(separator);
	if (std::count(log.begin(), log.end(), '\n') != 1 || log.back() != '\n' || start == std::string::npos) {
		ADD_FAILURE() << "not one line: " << log.substr(0, 200);
		return "(no line)";
	}
	return log.substr(start + separator.size(), log.size() - start - separator.size() - 1);
}
}

// A message is one line in either log, whatever it holds: a line break or a NUL byte is shown, never obeyed;
// a long one keeps its first 2,000 bytes, cut as a failed run's message is, at a whole character; one cut so
// already, in the engine's words, stays whole.
TEST(Logger, EitherLogWritesAMessageAsOneLineOfASaneLength)
{
	const std::string failed = "スクリプト f の関数 g が失敗しました：" + std::string(2000, 'x') + "...(全 9999 バイトのうち先頭 2000 バイト)";
	const TLogLineCase cases[] = {
		{"line feed", "li\nht", "li\\nht"},
		{"carriage return", "a\r\nb\n", "a\\r\\nb\\n"},
		{"nul", std::string("before\0after", 12), "before\\0after"},
		// 0x5C is the second byte of this character, not an escape of what follows.
		{"trail byte", "\x95\x5cn", "\x95\x5cn"},
		{"megabyte", std::string(1 << 20, 'x'), std::string(2000, 'x') + "...(全 1048576 バイトのうち先頭 2000 バイト)"},
		{"whole character", std::string(1999, 'x') + std::string(2000, '\x82') + "\n",
			std::string(1999, 'x') + "...(全 4000 バイトのうち先頭 1999 バイト)"},
		{"cut already", failed, failed},
		{"longest whole", std::string(LOGGED_LINE_BYTES, 'y'), std::string(LOGGED_LINE_BYTES, 'y')},
		{"one byte more", std::string(LOGGED_LINE_BYTES + 1, 'y'),
			std::string(2000, 'y') + "...(全 3001 バイトのうち先頭 2000 バイト)"},
	};
	TTempDir dir;
	const TScopedCwd cwd(dir.Path());
	for (const TLogLineCase& c : cases) {
		{
			TCapturedLog log;
			g_Logger.Error(c.text);
			EXPECT_EQ(c.line, OnlyLine(log.Text(), " Error ")) << c.name;
		}
		LuaLogReset();
		LuaLogWrite(c.text);
		EXPECT_EQ(c.line, OnlyLine(ReadFile(dir / "_lualog.txt"), "  ")) << c.name;
	}
}

// The file and the record an Error is about stay on its line, whatever the record's value or the text hold, and
// the first Error kept for a dialog is the line as the log has it.
TEST(Logger, AnErrorNamesItsFileAndRecordOnItsOwnLine)
{
	TCapturedLog log;
	const TFirstError first;
	const TLogSubject subject("Data/CharacterData.xml", "Magic id = li\nht");
	g_Logger.Error(std::string(5000, 'x'));
	const std::string line = std::string(2000, 'x') + "...(全 5000 バイトのうち先頭 2000 バイト) (Data/CharacterData.xml Magic id = li\\nht)";
	EXPECT_EQ(line, OnlyLine(log.Text(), " Error "));
	EXPECT_EQ(line, first.Text());
}

// A folder with files in it under a log's name keeps the log from being made: the standard error says so once,
// naming the file and why, and the main log, when it is open, says so of the scripts' log.
TEST(Logger, ALogThatCannotBeMadeIsToldOnceOnTheStandardError)
{
	TCapturedLog log;
	TTempDir dir;
	const TScopedCwd cwd(dir.Path());
	const std::string reason = SjisToUtf8("同じ名前の空でないフォルダがあります");
	for (const char* name : {"log.txt", "_lualog.txt"}) {
		boost::filesystem::create_directory(dir / name);
		WriteFile(dir / name + "/kept.txt", "kept");
	}
	::testing::internal::CaptureStderr();
	EXPECT_FALSE(g_Logger.Open("log.txt"));
	const std::string unmadeLog = ::testing::internal::GetCapturedStderr();
	EXPECT_EQ(1, CountLines(unmadeLog, "log.txt")) << unmadeLog;
	EXPECT_EQ(1, CountLines(unmadeLog, reason)) << unmadeLog;

	const std::string logPath = dir / "game.log";
	ASSERT_TRUE(g_Logger.Open(logPath));
	::testing::internal::CaptureStderr();
	LuaLogReset();
	LuaLogWrite("lost");
	LuaLogWrite("lost too");
	const std::string unmadeScriptLog = ::testing::internal::GetCapturedStderr();
	EXPECT_EQ(1, CountLines(unmadeScriptLog, "_lualog.txt")) << unmadeScriptLog;
	EXPECT_EQ(1, CountLines(unmadeScriptLog, reason)) << unmadeScriptLog;
	EXPECT_EQ(1, CountLines(ReadFile(logPath), "Warning ログ _lualog.txt を作成できないため")) << ReadFile(logPath);
	EXPECT_EQ("kept", ReadFile(dir / "_lualog.txt/kept.txt"));
	// Once the name is free, the scripts' log is made again.
	boost::filesystem::remove_all(dir / "_lualog.txt");
	LuaLogWrite("written");
	EXPECT_EQ(1, CountLines(ReadFile(dir / "_lualog.txt"), "  written"));
}
