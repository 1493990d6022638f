#include "platform/FileSystem.h"

#include "common/babel/babel.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <boost/filesystem.hpp>

namespace
{
// Names on disk are UTF-8 unless the configuration says they keep the Shift-JIS bytes.
bool g_NamesAreUtf8 = true;

/// Applies the change to every byte that is not part of a double-byte Shift-JIS character.
template <typename Change>
std::string ChangeSingleBytes(std::string text, bool shiftJis, Change change)
{
	for (std::size_t i = 0; i < text.size(); ++i) {
		if (shiftJis && IsSJISLeadByte(text[i]))
			++i;
		else
			text[i] = change(text[i]);
	}
	return text;
}

/// Lower-cases the ASCII letters of a name; with Shift-JIS names the trail bytes are kept.
std::string FoldAsciiCase(const std::string& name, bool shiftJis)
{
	return ChangeSingleBytes(name, shiftJis, [](char c) {
		return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
	});
}

/// "\" becomes "/" except where the byte is the second half of a double-byte character.
std::string ToSlashes(const std::string& sjis)
{
	return ChangeSingleBytes(sjis, true, [](char c) { return c == '\\' ? '/' : c; });
}

bool NativeExists(const std::string& native)
{
	struct stat info;
	return ::stat(native.c_str(), &info) == 0;
}

/// Native names of a folder's entries, without "." and "..", in byte order.
std::vector<std::string> ReadNativeDirectory(const std::string& native)
{
	std::vector<std::string> names;
	DIR* dir = ::opendir(native.empty() ? "." : native.c_str());
	if (!dir)
		return names;
	while (const dirent* entry = ::readdir(dir)) {
		if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
			names.push_back(entry->d_name);
	}
	::closedir(dir);
	std::sort(names.begin(), names.end());
	return names;
}

/// The entry of the folder whose name equals the component but for ASCII case; empty when none does.
std::string FindFoldedEntry(const std::string& folder, const std::string& component)
{
	const std::string folded = FoldAsciiCase(component, !g_NamesAreUtf8);
	for (const std::string& name : ReadNativeDirectory(folder)) {
		if (FoldAsciiCase(name, !g_NamesAreUtf8) == folded)
			return name;
	}
	return std::string();
}

std::string JoinNative(const std::string& folder, const std::string& name)
{
	if (folder.empty())
		return name;
	if (folder.back() == '/')
		return folder + name;
	return folder + "/" + name;
}

/// Replaces each missing component by an entry that differs from it only in ASCII case.
/// From the first component that has no such entry on, the rest is kept as it is.
std::string MatchCase(const std::string& native)
{
	if (native.empty() || NativeExists(native))
		return native;
	std::string resolved = native[0] == '/' ? "/" : "";
	std::size_t start = resolved.size();
	while (start <= native.size()) {
		std::size_t end = native.find('/', start);
		if (end == std::string::npos)
			end = native.size();
		const std::string component = native.substr(start, end - start);
		std::string next = JoinNative(resolved, component);
		if (!component.empty() && component != "." && component != ".." && !NativeExists(next)) {
			const std::string match = FindFoldedEntry(resolved, component);
			if (match.empty())
				return JoinNative(resolved, native.substr(start));
			next = JoinNative(resolved, match);
		}
		resolved = next;
		start = end + 1;
	}
	return resolved;
}

/// The entry the path names, symbolic links followed; false when there is none.
bool StatPath(const std::string& path, struct stat& info)
{
	return ::stat(NativePath(path).c_str(), &info) == 0;
}

std::string ToInMemoryName(const std::string& native)
{
	return g_NamesAreUtf8 ? Utf8ToSjis(native) : native;
}
}

void SetFileNameEncoding(const std::string& encoding)
{
	const std::string name = FoldAsciiCase(encoding, false);
	g_NamesAreUtf8 = name != "shift_jis" && name != "cp932";
}

std::string NativePath(const std::string& path)
{
	const std::string slashed = ToSlashes(path);
	return MatchCase(g_NamesAreUtf8 ? SjisToUtf8(slashed) : slashed);
}

std::FILE* OpenRegularFile(const std::string& path)
{
	const int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
	if (fd < 0)
		return nullptr;
	struct stat info;
	const int flags = ::fcntl(fd, F_GETFL);
	std::FILE* file = nullptr;
	if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0)
		file = ::fdopen(fd, "rb");
	if (!file)
		::close(fd);
	return file;
}

std::FILE* CreateNewFile(const std::string& path)
{
	const std::string native = NativePath(path);
	// A folder left under the name (by a copy, or by hand) is removed too when nothing is in it.
	if (::unlink(native.c_str()) != 0 && (errno == EISDIR || errno == EPERM))
		::rmdir(native.c_str());
	const int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
	if (fd < 0)
		return nullptr;
	std::FILE* file = ::fdopen(fd, "wb");
	if (!file)
		::close(fd);
	return file;
}

bool WriteNewFile(const std::string& path, const std::string& bytes)
{
	std::FILE* file = CreateNewFile(path);
	if (!file)
		return false;
	const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
	if (std::fclose(file) == 0 && written)
		return true;
	// A file cut short (a full disk) would pass for a whole one at the next read.
	RemoveFile(path);
	return false;
}

std::FILE* OpenForAppend(const std::string& path)
{
	// O_NONBLOCK: a pipe without a reader is refused at once instead of waited on.
	const int fd = ::open(NativePath(path).c_str(), O_WRONLY | O_APPEND | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
	if (fd >= 0) {
		struct stat info;
		std::FILE* file = nullptr;
		if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode))
			file = ::fdopen(fd, "ab");
		if (file)
			return file;
		::close(fd);
	}
	return CreateNewFile(path);
}

TFileRead ReadFileHead(const std::string& path, std::size_t limit, std::string& bytes, bool& whole)
{
	bytes.clear();
	whole = false;
	std::FILE* file = OpenRegularFile(path);
	if (!file) {
		struct stat info;
		if (!StatPath(path, info))
			return errno == ENOENT || errno == ENOTDIR ? TFileRead::MISSING : TFileRead::FAILED;
		return S_ISREG(info.st_mode) ? TFileRead::FAILED : TFileRead::NOT_REGULAR;
	}
	// One byte past the limit tells a file of exactly the limit from a longer one, and a file that grows
	// while it is read is still read no further.
	char buffer[65536];
	while (bytes.size() <= limit) {
		const std::size_t wanted = std::min(sizeof buffer, limit + 1 - bytes.size());
		const std::size_t got = std::fread(buffer, 1, wanted, file);
		bytes.append(buffer, got);
		if (got < wanted)
			break;
	}
	const bool failed = std::ferror(file) != 0;
	std::fclose(file);
	whole = bytes.size() <= limit;
	if (!whole)
		bytes.resize(limit);
	if (!failed)
		return TFileRead::READ;
	bytes.clear();
	return TFileRead::FAILED;
}

TFileRead ReadFileBytes(const std::string& path, std::size_t limit, std::string& bytes)
{
	struct stat info;
	// A file far past the limit (a sparse one of gigabytes) is refused before a byte of it is read.
	if (StatPath(path, info) && S_ISREG(info.st_mode) && static_cast<unsigned long long>(info.st_size) > limit) {
		bytes.clear();
		return TFileRead::TOO_LARGE;
	}
	bool whole = false;
	const TFileRead read = ReadFileHead(path, limit, bytes, whole);
	if (read != TFileRead::READ || whole)
		return read;
	bytes.clear();
	return TFileRead::TOO_LARGE;
}

bool PathExists(const std::string& path)
{
	return NativeExists(NativePath(path));
}

bool IsDirectory(const std::string& path)
{
	struct stat info;
	return StatPath(path, info) && S_ISDIR(info.st_mode);
}

bool IsRegularFile(const std::string& path)
{
	struct stat info;
	return StatPath(path, info) && S_ISREG(info.st_mode);
}

bool RegularFileIdentity(const std::string& path, TFileIdentity& identity)
{
	struct stat info;
	if (!StatPath(path, info) || !S_ISREG(info.st_mode))
		return false;
	identity = TFileIdentity(info.st_dev, info.st_ino);
	return true;
}

bool CreateDirectories(const std::string& path)
{
	const std::string native = NativePath(path);
	boost::system::error_code error;
	boost::filesystem::create_directories(native, error);
	return boost::filesystem::is_directory(native, error);
}

// A name that does not come back from its in-memory form (bytes that are no
// UTF-8, a character Shift-JIS lacks) would lead every open to another entry or
// to none: such an entry is not listed, so that nothing is read in its place.
std::vector<std::string> ListDirectory(const std::string& path, std::vector<std::string>* unnamedFolders)
{
	std::vector<std::string> names;
	const std::string native = NativePath(path);
	if (native.empty())
		return names;
	boost::system::error_code error;
	for (const std::string& name : ReadNativeDirectory(native)) {
		const std::string inMemory = ToInMemoryName(name);
		if (!g_NamesAreUtf8 || SjisToUtf8(inMemory) == name)
			names.push_back(inMemory);
		else if (unnamedFolders && boost::filesystem::is_directory(JoinNative(native, name), error))
			unnamedFolders->push_back(name);
	}
	std::sort(names.begin(), names.end());
	return names;
}

bool RemoveFile(const std::string& path)
{
	return std::remove(NativePath(path).c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to)
{
	return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool CopyFile(const std::string& from, const std::string& to)
{
	boost::system::error_code error;
	boost::filesystem::copy_file(NativePath(from), NativePath(to),
		boost::filesystem::copy_options::overwrite_existing, error);
	return !error;
}
