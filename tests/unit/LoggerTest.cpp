#include "app/Logger.h"
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

// The log is a file of its own: a link or a pipe under its name is replaced, never written through.
TEST(Logger, ALinkOrAPipeUnderTheLogsNameIsReplaced)
{
	TTempDir dir;
	const std::string log = dir / "log.txt";
	WriteFile(dir / "victim.txt", "kept");
	for (const bool pipe : { false, true }) {
		if (pipe)
			ASSERT_EQ(0, ::mkfifo(log.c_str(), 0600));
		else
			boost::filesystem::create_symlink("victim.txt", log);
		{
			TCapturedLog captured;
			ASSERT_TRUE(g_Logger.Open(log));
			g_Logger.Error("written");
		}
		EXPECT_EQ("kept", ReadFile(dir / "victim.txt"));
		EXPECT_TRUE(boost::filesystem::is_regular_file(boost::filesystem::symlink_status(log))) << pipe;
		EXPECT_EQ(1, CountLines(ReadFile(log), " Error written")) << pipe;
		boost::filesystem::remove(log);
	}
}

TEST(Logger, ClosedFileWritesNothing)
{
	TCapturedLog log;
	g_Logger.Close();
	g_Logger.Error("lost");
	EXPECT_EQ("", log.Text());
}
