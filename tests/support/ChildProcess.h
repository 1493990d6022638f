#ifndef MORVALETH_TESTS_SUPPORT_CHILDPROCESS_H
#define MORVALETH_TESTS_SUPPORT_CHILDPROCESS_H

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

/// How a child program starts; by default as the caller, in its folder, with its environment and output.
struct TProcessStart
{
	/// Its working folder.
	std::string folder;
	/// Variables ("NAME=value") added to the caller's environment.
	std::vector<std::string> variables;
	/// The file its standard output goes to.
	std::string output;
	/// The file its standard error goes to.
	std::string errors;
	/// Runs it as the user "nobody" when the caller is root.
	bool asNobody = false;
};

/// A process that a test or tool starts and owns. It runs in a process group of its own, which is killed
/// when this object goes, whatever the test's assertions did, and it is killed at once should the thread
/// that started it die first: no program outlives its test to hold the test runner's output open.
class TChildProcess
{
public:
	/// How the program starts.
	typedef TProcessStart TStart;

	TChildProcess() = default;
	~TChildProcess() { Kill(); }
	TChildProcess(const TChildProcess&) = delete;
	TChildProcess& operator=(const TChildProcess&) = delete;

	/// Starts the program (looked up in PATH when it holds no slash) with the arguments; false when it cannot.
	bool Start(const std::string& program, const std::vector<std::string>& arguments, const TStart& how = TStart());
	/// Runs the function in a forked copy of the caller, which exits with what it returns.
	bool Fork(const std::function<int()>& body);
	/// The process's id; -1 when it is not running or has been collected.
	pid_t Pid() const { return m_Pid; }
	/// Whether it still runs; collects it once it has ended.
	bool Running() { return !Collect(false); }
	/// Waits for it to end, killing it once the limit in seconds has passed (no limit when negative): its exit
	/// status, or -1 when it was killed or crashed.
	int WaitForExit(double limitSeconds = -1);
	/// Kills it and whatever it started, and collects it.
	void Kill();
	/// Its exit status once collected, -1 when a signal ended it.
	int ExitStatus() const { return m_ExitStatus; }
	/// Its peak resident memory in kilobytes, known once collected.
	long PeakKilobytes() const { return m_PeakKilobytes; }

private:
	/// Collects the ended process, first killing what it left behind in its group; false while it runs
	/// (when not waiting).
	bool Collect(bool wait);

	pid_t m_Pid = -1;
	int m_ExitStatus = -1;
	long m_PeakKilobytes = 0;
};

#endif
