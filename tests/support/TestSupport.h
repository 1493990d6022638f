#ifndef MORVALETH_TESTS_TESTSUPPORT_H
#define MORVALETH_TESTS_TESTSUPPORT_H

#include <string>

/// A fresh, empty folder under the test working folder, removed with the object.
class TTempDir
{
public:
	TTempDir();
	~TTempDir();
	const std::string& Path() const { return m_Path; }
	/// The path of a name inside the folder.
	std::string operator/(const std::string& name) const { return m_Path + "/" + name; }

private:
	std::string m_Path;
};

/// Changes the working folder for the lifetime of the object.
class TScopedCwd
{
public:
	explicit TScopedCwd(const std::string& dir);
	~TScopedCwd();

private:
	std::string m_Previous;
};

/// Sends g_Logger to a file of its own for the lifetime of the object, at the given level.
class TCapturedLog
{
public:
	explicit TCapturedLog(int level = 3);
	~TCapturedLog();
	/// Everything written so far.
	std::string Text() const;
	/// Number of lines that contain the text.
	int CountLines(const std::string& text) const;

private:
	TTempDir m_Dir;
	int m_PreviousLevel;
	bool m_PreviousFlush;
};

/// Holds the size of the files the process may write at a limit, as a full disk would, for the lifetime of the
/// object; a write past it fails instead of raising SIGXFSZ.
class TFullDisk
{
public:
	explicit TFullDisk(unsigned long bytes);
	~TFullDisk();
	TFullDisk(const TFullDisk&) = delete;
	TFullDisk& operator=(const TFullDisk&) = delete;

private:
	unsigned long m_PreviousLimit;
	void (*m_PreviousHandler)(int);
};

/// Number of the text's lines that contain the part.
int CountLines(const std::string& text, const std::string& part);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& content);
bool FileExists(const std::string& path);

#endif
