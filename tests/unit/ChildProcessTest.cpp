#include "support/ChildProcess.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <csignal>
#include <cstdio>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace
{
// A program left running sleeps this long and ends by itself, which the check then tells from its kill.
// Its output goes to files, never to the test runner's pipe.
const char* const SLEEP = "sleep 200";

// Orphans of the test's children come to the test program, which can then see how each ended.
class ChildProcess : public ::testing::Test
{
protected:
	void SetUp() override { ASSERT_EQ(0, prctl(PR_SET_CHILD_SUBREAPER, 1)); }
	void TearDown() override { prctl(PR_SET_CHILD_SUBREAPER, 0); }

	// Output and errors to files of the test's folder.
	TChildProcess::TStart ToFile(const std::string& name) const
	{
		TChildProcess::TStart how;
		how.output = m_Dir / name;
		how.errors = m_Dir / (name + ".errors");
		return how;
	}

	// Waits, with no limit, until the program has written a whole line to its output or has ended.
	static void WaitForLine(TChildProcess& program, const std::string& output)
	{
		while (ReadFile(output).find('\n') == std::string::npos && program.Running())
			std::this_thread::sleep_for(std::chrono::milliseconds(10));
	}

	// Waits for the orphan to end (it has come to the test program): whether a SIGKILL ended it.
	static bool Killed(pid_t orphan)
	{
		int status = 0;
		return waitpid(orphan, &status, 0) == orphan && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
	}

	TTempDir m_Dir;
};
}

// A test that returns early (a failed ASSERT) ends what it started, and what that started in turn.
TEST_F(ChildProcess, AProgramEndsWithItsOwnerAndTakesWhatItStartedAlong)
{
	pid_t sleeper = -1;
	{
		TChildProcess shell;
		const TChildProcess::TStart how = ToFile("sleeper.txt");
		ASSERT_TRUE(shell.Start("sh", {"-c", std::string(SLEEP) + " & echo $!; wait"}, how));
		WaitForLine(shell, how.output);
		sleeper = std::stoi(ReadFile(how.output));
	}
	EXPECT_TRUE(Killed(sleeper));
}

// A test program that dies (a crash, or ctest's time-out) takes the programs it started along at once.
TEST_F(ChildProcess, AProgramDiesWithTheTestProgramThatStartedIt)
{
	int pipeEnds[2];
	ASSERT_EQ(0, pipe(pipeEnds));
	TChildProcess testProgram;
	ASSERT_TRUE(testProgram.Fork([&] {
		// Once the game runs its own program it is past its start, and only the parent's death can end it.
		TChildProcess game;
		const TChildProcess::TStart how = ToFile("game.txt");
		if (!game.Start("sh", {"-c", std::string("echo running; exec ") + SLEEP}, how))
			return 1;
		WaitForLine(game, how.output);
		const pid_t pid = game.Pid();
		if (write(pipeEnds[1], &pid, sizeof(pid)) != sizeof(pid))
			return 1;
		raise(SIGKILL);
		return 1;
	}));
	close(pipeEnds[1]);
	pid_t game = -1;
	ASSERT_EQ(ssize_t(sizeof(game)), read(pipeEnds[0], &game, sizeof(game)));
	close(pipeEnds[0]);
	EXPECT_EQ(-1, testProgram.WaitForExit());
	EXPECT_TRUE(Killed(game));
}

TEST_F(ChildProcess, StartsInItsFolderWithItsVariablesAndTellsHowItEnded)
{
	TChildProcess shell;
	TChildProcess::TStart how;
	how.folder = m_Dir.Path();
	how.variables = {"HOME=/nowhere", "MORVALETH_CHILD=set"};
	how.output = m_Dir / "said.txt";
	how.errors = m_Dir / "errors.txt";
	ASSERT_TRUE(shell.Start("sh", {"-c", "pwd; echo $HOME $MORVALETH_CHILD; echo to errors >&2; exit 3"}, how));
	EXPECT_EQ(3, shell.WaitForExit());
	EXPECT_EQ(m_Dir.Path() + "\n/nowhere set\n", ReadFile(how.output));
	EXPECT_EQ("to errors\n", ReadFile(how.errors));

	// A limit covers only a run that must be stopped.
	TChildProcess sleeper;
	ASSERT_TRUE(sleeper.Start("sleep", {"100000"}, ToFile("sleeper.txt")));
	EXPECT_TRUE(sleeper.Running());
	EXPECT_EQ(-1, sleeper.WaitForExit(0));
	EXPECT_FALSE(sleeper.Running());

	TChildProcess missing;
	ASSERT_TRUE(missing.Start(m_Dir / "no-such-program", {}));
	EXPECT_EQ(127, missing.WaitForExit());
}
