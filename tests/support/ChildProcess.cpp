#include "support/ChildProcess.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace
{
const uid_t NOBODY = 65534;

// The kernel kills the child when the thread that forked it ends. A parent that died before this call
// can no longer do so: the child then ends itself, as it would have been ended.
void DieWithParent(pid_t parent)
{
	prctl(PR_SET_PDEATHSIG, SIGKILL);
	if (getppid() != parent)
		raise(SIGKILL);
}

// The caller's environment with the variables set over it.
std::vector<std::string> Environment(const std::vector<std::string>& variables)
{
	std::vector<std::string> environment;
	for (char** entry = environ; *entry; ++entry) {
		const std::string kept(*entry);
		const auto setsIt = [&](const std::string& variable) {
			const std::size_t equals = variable.find('=');
			return equals != std::string::npos && kept.compare(0, equals + 1, variable, 0, equals + 1) == 0;
		};
		if (std::none_of(variables.begin(), variables.end(), setsIt))
			environment.push_back(kept);
	}
	environment.insert(environment.end(), variables.begin(), variables.end());
	return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
	std::vector<char*> pointers;
	for (std::string& text : strings)
		pointers.push_back(&text[0]);
	pointers.push_back(nullptr);
	return pointers;
}

bool Redirect(const std::string& path, int target)
{
	if (path.empty())
		return true;
	const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
	return file >= 0 && dup2(file, target) == target;
}

bool BecomeNobody()
{
	return setgroups(0, nullptr) == 0 && setgid(NOBODY) == 0 && setuid(NOBODY) == 0;
}
}

bool TChildProcess::Start(const std::string& program, const std::vector<std::string>& arguments, const TStart& how)
{
	// Everything the child needs is made before the fork, which leaves it only system calls to make.
	std::vector<std::string> argumentStrings(1, program);
	argumentStrings.insert(argumentStrings.end(), arguments.begin(), arguments.end());
	std::vector<std::string> environmentStrings = Environment(how.variables);
	const std::vector<char*> argv = Pointers(argumentStrings);
	const std::vector<char*> envp = Pointers(environmentStrings);
	const pid_t parent = getpid();
	return Fork([&]() -> int {
		if (how.asNobody && geteuid() == 0) {
			if (!BecomeNobody())
				return 126;
			// A change of user clears the parent-death signal.
			DieWithParent(parent);
		}
		if ((!how.folder.empty() && chdir(how.folder.c_str()) != 0) || !Redirect(how.output, STDOUT_FILENO)
			|| !Redirect(how.errors, STDERR_FILENO))
			return 127;
		execvpe(program.c_str(), argv.data(), envp.data());
		return 127;
	});
}

bool TChildProcess::Fork(const std::function<int()>& body)
{
	Kill();
	// Output still buffered here would otherwise be written twice, once by the child.
	std::fflush(nullptr);
	const pid_t parent = getpid();
	const pid_t pid = fork();
	if (pid == 0) {
		setpgid(0, 0);
		DieWithParent(parent);
		const int status = body();
		std::fflush(nullptr);
		_exit(status);
	}
	if (pid < 0)
		return false;
	// Set on both sides, so that the group exists whichever runs first.
	setpgid(pid, pid);
	m_Pid = pid;
	m_ExitStatus = -1;
	m_PeakKilobytes = 0;
	return true;
}

int TChildProcess::WaitForExit(double limitSeconds)
{
	if (limitSeconds < 0) {
		Collect(true);
		return m_ExitStatus;
	}
	const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(limitSeconds);
	while (Running()) {
		if (std::chrono::steady_clock::now() > deadline) {
			Kill();
			return -1;
		}
		std::this_thread::sleep_for(std::chrono::milliseconds(20));
	}
	return m_ExitStatus;
}

void TChildProcess::Kill()
{
	if (m_Pid <= 0)
		return;
	kill(-m_Pid, SIGKILL);
	Collect(true);
}

bool TChildProcess::Collect(bool wait)
{
	if (m_Pid <= 0)
		return true;
	siginfo_t info;
	std::memset(&info, 0, sizeof(info));
	int result = 0;
	do
		result = waitid(P_PID, m_Pid, &info, WEXITED | WNOWAIT | (wait ? 0 : WNOHANG));
	while (result != 0 && errno == EINTR);
	if (result == 0 && info.si_pid != m_Pid)
		return false;
	// Until it is collected the group keeps its number, so this reaches only what the process started.
	kill(-m_Pid, SIGKILL);
	int status = 0;
	rusage usage{};
	if (result == 0 && wait4(m_Pid, &status, 0, &usage) == m_Pid) {
		m_ExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
		m_PeakKilobytes = usage.ru_maxrss;
	}
	m_Pid = -1;
	return true;
}
