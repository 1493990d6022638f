#include "app/Logger.h"
#include "script/ScriptLog.h"
#include "support/TestSupport.h"

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
