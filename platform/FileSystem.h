#ifndef MORVALETH_PLATFORM_FILESYSTEM_H
#define MORVALETH_PLATFORM_FILESYSTEM_H

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

// Every path the game handles is Shift-JIS text in memory, may use "\" as a
// separator and may differ in ASCII case from the name on disk. These functions
// are the one place where such a path becomes a native file name.

/// Chooses how in-memory names map to names on disk: "utf-8" (default) converts,
/// "shift_jis" or "cp932" keeps the bytes.
void SetFileNameEncoding(const std::string& encoding);

/// The native name of a Shift-JIS path: converted, "\" turned into "/" (never inside
/// a double-byte character), and each missing component matched without ASCII case.
std::string NativePath(const std::string& path);

/// Opens a regular file for reading ("rb"); null for a folder, a device or a pipe, without waiting for a pipe's writer.
std::FILE* OpenRegularFile(const std::string& path);
/// Creates the file afresh for writing ("wb"): whatever had its name is removed first (a folder only when it is
/// empty), and a link, a pipe or any entry made there meanwhile is never opened; null when no new regular file
/// could be made.
std::FILE* CreateNewFile(const std::string& path);
/// Creates the file afresh, as CreateNewFile does, holding the bytes; false when they could not all be written,
/// and then no file of that name is left behind.
bool WriteNewFile(const std::string& path, const std::string& bytes);
/// Opens a regular file to add to its end ("ab"); anything else under its name (a link, a pipe, a device, an empty
/// folder) or nothing at all gives way to a new file, as CreateNewFile makes it; null when neither can be had.
std::FILE* OpenForAppend(const std::string& path);

/// What a read of a whole file found.
enum class TFileRead
{
	/// The bytes hold the file (or its head, when only a head was asked for).
	READ,
	/// Nothing stands under that name.
	MISSING,
	/// A folder, a device, a pipe or a socket stands there (links followed).
	NOT_REGULAR,
	/// A regular file longer than the limit.
	TOO_LARGE,
	/// A regular file that could not be opened or read.
	FAILED,
};
/// Reads a regular file of at most limit bytes whole, without waiting on a pipe or reading a device; the bytes are
/// empty unless the result is READ.
TFileRead ReadFileBytes(const std::string& path, std::size_t limit, std::string& bytes);
/// Reads at most the first limit bytes of a regular file; whole tells whether they are all of it.
TFileRead ReadFileHead(const std::string& path, std::size_t limit, std::string& bytes, bool& whole);

/// True when a file or folder of that name exists.
bool PathExists(const std::string& path);
/// True when the path names an existing folder.
bool IsDirectory(const std::string& path);
/// True when the path names a regular file (no folder, device or pipe), following symbolic links.
bool IsRegularFile(const std::string& path);
/// What tells one file from another whatever name leads to it: its device and inode number.
typedef std::pair<unsigned long long, unsigned long long> TFileIdentity;
/// The identity of the regular file the path names, following symbolic links; false when there is none.
bool RegularFileIdentity(const std::string& path, TFileIdentity& identity);
/// Creates the folder and its missing parents; true when it exists afterwards.
bool CreateDirectories(const std::string& path);
/// Names (Shift-JIS) of the entries of a folder, sorted by byte order; empty when it cannot be read. An entry whose
/// name on disk no in-memory name leads back to (with UTF-8 names: one that is no UTF-8 or holds a character
/// Shift-JIS lacks) is left out; the names on disk of such folders go to unnamedFolders, when given.
std::vector<std::string> ListDirectory(const std::string& path, std::vector<std::string>* unnamedFolders = nullptr);
/// Removes a file; true on success.
bool RemoveFile(const std::string& path);
/// Renames a file, replacing the target atomically when it exists; true on success.
bool RenameFile(const std::string& from, const std::string& to);
/// Copies a file, replacing the target; true on success.
bool CopyFile(const std::string& from, const std::string& to);

#endif
