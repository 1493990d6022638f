#include "support/TestSupport.h"

#include "app/Logger.h"

#include <boost/filesystem.hpp>
#include <fstream>
#include <sstream>
#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = boost::filesystem;

TTempDir::TTempDir()
{
	fs::path base = fs::current_path() / "tmp";
	fs::create_directories(base);
	m_Path = (base / fs::unique_path("t-%%%%-%%%%-%%%%")).string();
	fs::create_directories(m_Path);
}

TTempDir::~TTempDir()
{
	boost::system::error_code ignored;
	fs::remove_all(m_Path, ignored);
}

TScopedCwd::TScopedCwd(const std::string& dir)
	: m_Previous(fs::current_path().string())
{
	fs::current_path(dir);
}

TScopedCwd::~TScopedCwd()
{
	fs::current_path(m_Previous);
}

TCapturedLog::TCapturedLog(int level)
	: m_PreviousLevel(g_Logger.GetLevel()), m_PreviousFlush(g_Logger.m_FlushEveryLine)
{
	g_Logger.Open(m_Dir / "log.txt");
	g_Logger.SetLevel(level);
	g_Logger.m_FlushEveryLine = true;
}

TCapturedLog::~TCapturedLog()
{
	g_Logger.Open("log.txt");
	g_Logger.SetLevel(m_PreviousLevel);
	g_Logger.m_FlushEveryLine = m_PreviousFlush;
}

std::string TCapturedLog::Text() const
{
	return ReadFile(m_Dir / "log.txt");
}

int TCapturedLog::CountLines(const std::string& text) const
{
	return ::CountLines(Text(), text);
}

TFullDisk::TFullDisk(unsigned long bytes)
	: m_PreviousHandler(std::signal(SIGXFSZ, SIG_IGN))
{
	rlimit limit;
	getrlimit(RLIMIT_FSIZE, &limit);
	m_PreviousLimit = limit.rlim_cur;
	limit.rlim_cur = bytes;
	setrlimit(RLIMIT_FSIZE, &limit);
}

TFullDisk::~TFullDisk()
{
	rlimit limit;
	getrlimit(RLIMIT_FSIZE, &limit);
	limit.rlim_cur = m_PreviousLimit;
	setrlimit(RLIMIT_FSIZE, &limit);
	std::signal(SIGXFSZ, m_PreviousHandler);
}

int CountLines(const std::string& text, const std::string& part)
{
	std::istringstream in(text);
	std::string line;
	int count = 0;
	while (std::getline(in, line))
		if (line.find(part) != std::string::npos)
			++count;
	return count;
}

std::string ReadFile(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	std::ostringstream out;
	out << in.rdbuf();
	return out.str();
}

void WriteFile(const std::string& path, const std::string& content)
{
	std::ofstream out(path, std::ios::binary);
	out << content;
}

bool FileExists(const std::string& path)
{
	return fs::exists(path);
}
