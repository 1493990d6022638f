#include "platform/FileSystem.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <boost/filesystem.hpp>

namespace
{
/// Reads a whole file through the path layer; "<missing>" when it cannot be opened.
std::string ReadThrough(const std::string& path)
{
	std::FILE* file = OpenRegularFile(path);
	if (!file)
		return "<missing>";
	std::string content;
	char buffer[256];
	while (std::size_t n = std::fread(buffer, 1, sizeof buffer, file))
		content.append(buffer, n);
	std::fclose(file);
	return content;
}

void MakeFolder(const std::string& nativePath)
{
	boost::filesystem::create_directories(nativePath);
}

/// Keeps Shift-JIS names on disk for the lifetime of the object.
class TShiftJisNames
{
public:
	TShiftJisNames() { SetFileNameEncoding("shift_jis"); }
	~TShiftJisNames() { SetFileNameEncoding("utf-8"); }
};
}

TEST(FileSystem, ShiftJisNamesReachUtf8NamesOnDisk)
{
	TTempDir dir;
	MakeFolder(dir / u8"データ");
	WriteFile(dir / u8"データ/剣士.txt", "knight");
	EXPECT_EQ("knight", ReadThrough(dir / "データ/剣士.txt"));
	EXPECT_TRUE(IsDirectory(dir / "データ"));
	EXPECT_EQ(dir / u8"データ/剣士.txt", NativePath(dir / "データ/剣士.txt"));
}

TEST(FileSystem, NamesDifferingInAsciiCaseAreFound)
{
	TTempDir dir;
	MakeFolder(dir / u8"Picture/剣Sub");
	WriteFile(dir / u8"Picture/剣Sub/Flag0.png", "flag");
	EXPECT_EQ("flag", ReadThrough(dir / "picture/剣sub/FLAG0.PNG"));
	EXPECT_EQ(dir / u8"Picture/剣Sub/Flag0.png", NativePath(dir / "PICTURE/剣SUB/flag0.png"));
}

TEST(FileSystem, MissingNamesStayMissing)
{
	TTempDir dir;
	MakeFolder(dir / "Picture");
	EXPECT_FALSE(PathExists(dir / "picture/none.png"));
	EXPECT_EQ("<missing>", ReadThrough(dir / "picture/none.png"));
	EXPECT_EQ(dir / "Picture/None/x.png", NativePath(dir / "picture/None/x.png"));

	// A file created through a case-mismatched folder lands in the existing folder.
	std::FILE* file = CreateNewFile(dir / "PICTURE/New.txt");
	ASSERT_NE(nullptr, file);
	std::fclose(file);
	EXPECT_TRUE(FileExists(dir / "Picture/New.txt"));
}

TEST(FileSystem, BackslashesSeparateOnlyOutsideDoubleByteCharacters)
{
	TTempDir dir;
	// "ソ" and "表" end in the byte 0x5C in Shift-JIS.
	MakeFolder(dir / u8"ソ");
	WriteFile(dir / u8"ソ/表.txt", "table");
	EXPECT_EQ("table", ReadThrough(dir.Path() + "\\ソ\\表.txt"));
	EXPECT_EQ(dir / u8"ソ/表.txt", NativePath(dir.Path() + "\\ソ\\表.txt"));
}

TEST(FileSystem, DotComponentsPassThrough)
{
	TTempDir dir;
	MakeFolder(dir / "Scenario/Mine");
	MakeFolder(dir / "Scenario/Default/Picture");
	WriteFile(dir / "Scenario/Default/Picture/Face.png", "face");
	TScopedCwd cwd(dir / "Scenario/Mine");
	EXPECT_EQ("face", ReadThrough("../Default/picture/face.png"));
	EXPECT_EQ("face", ReadThrough(".\\..\\default\\Picture\\Face.png"));
}

TEST(FileSystem, ListingGivesShiftJisNamesInByteOrder)
{
	TTempDir dir;
	// In UTF-8 "ア" sorts before "ー"; in Shift-JIS after it.
	for (const char* name : { u8"ア.txt", u8"ー.txt", "b.txt", "B.txt", "a.txt" })
		WriteFile(dir / name, "");
	MakeFolder(dir / "Sub");
	const std::vector<std::string> expected = { "B.txt", "Sub", "a.txt", "b.txt", "ー.txt", "ア.txt" };
	EXPECT_EQ(expected, ListDirectory(dir.Path()));
	EXPECT_EQ(expected, ListDirectory(dir.Path() + "\\"));
	EXPECT_TRUE(ListDirectory(dir / "none").empty());
}

// A name that does not come back from Shift-JIS would lead an open to another entry or to none.
TEST(FileSystem, UtfEightNamesWithoutAShiftJisFormAreLeftOutAndTheirFoldersGiven)
{
	TTempDir dir;
	WriteFile(dir / "ok.txt", "");
	WriteFile(dir / "bad\xFF.txt", "");
	MakeFolder(dir / u8"ア");
	MakeFolder(dir / "bad\xFE");
	// Hangul, which Shift-JIS lacks: kept out of the assertions, whose argument text is compiled as Shift-JIS.
	const std::string hangul = u8"한";
	MakeFolder(dir / hangul);
	std::vector<std::string> unnamed;
	const std::vector<std::string> named = { "ok.txt", "ア" };
	const std::vector<std::string> folders = { "bad\xFE", hangul };
	EXPECT_EQ(named, ListDirectory(dir.Path(), &unnamed));
	EXPECT_EQ(folders, unnamed);
	// Shift-JIS names keep their bytes: every name is one.
	TShiftJisNames encoding;
	unnamed.clear();
	EXPECT_EQ(5u, ListDirectory(dir.Path(), &unnamed).size());
	EXPECT_TRUE(unnamed.empty());
}

TEST(FileSystem, ShiftJisNamesOnDiskKeepTheirBytes)
{
	TShiftJisNames encoding;
	TTempDir dir;
	WriteFile(dir / "\x83\x41.txt", "a");  // "ア"
	EXPECT_EQ("a", ReadThrough(dir / "ア.TXT"));
	// 0x83 0x61 differs from 0x83 0x41 only in a trail byte that looks like a letter.
	EXPECT_EQ("<missing>", ReadThrough(dir / "\x83\x61.txt"));
	EXPECT_EQ(std::vector<std::string>{ "ア.txt" }, ListDirectory(dir.Path()));
}

TEST(FileSystem, FolderCreationMakesParents)
{
	TTempDir dir;
	EXPECT_TRUE(CreateDirectories(dir / "Save/セーブ"));
	EXPECT_TRUE(boost::filesystem::is_directory(dir / u8"Save/セーブ"));
	EXPECT_TRUE(CreateDirectories(dir / "save"));
	EXPECT_FALSE(IsDirectory(dir / "none"));
	WriteFile(dir / "file", "");
	EXPECT_FALSE(IsDirectory(dir / "file"));
	EXPECT_FALSE(CreateDirectories(dir / "file/sub"));
}

TEST(FileSystem, RenameAndCopyReplaceTheTarget)
{
	TTempDir dir;
	WriteFile(dir / "tmp.txt", "new");
	WriteFile(dir / "Target.txt", "old");
	EXPECT_TRUE(CopyFile(dir / "target.txt", dir / "backup.txt"));
	EXPECT_TRUE(CopyFile(dir / "tmp.txt", dir / "backup.txt"));
	EXPECT_EQ("new", ReadFile(dir / "backup.txt"));
	EXPECT_TRUE(RenameFile(dir / "tmp.txt", dir / "target.txt"));
	EXPECT_EQ("new", ReadFile(dir / "Target.txt"));
	EXPECT_FALSE(FileExists(dir / "tmp.txt"));
}

TEST(FileSystem, OperationsOnMissingFilesFail)
{
	TTempDir dir;
	EXPECT_FALSE(RenameFile(dir / "none", dir / "other"));
	EXPECT_FALSE(CopyFile(dir / "none", dir / "other"));
	EXPECT_FALSE(RemoveFile(dir / "none"));
	EXPECT_FALSE(FileExists(dir / "other"));
	WriteFile(dir / "Gone.txt", "");
	EXPECT_TRUE(RemoveFile(dir / "gone.txt"));
	EXPECT_FALSE(PathExists(dir / "Gone.txt"));
}

// A file is read only when it is a regular one (links followed) no larger than the limit: a pipe is never waited
// on, a device never read without end (the configuration's tests hold both), and a sparse file of a gigabyte is
// refused before a byte is read.
TEST(FileSystem, WholeFilesAreReadOnlyFromRegularFilesWithinTheLimit)
{
	TTempDir dir;
	WriteFile(dir / "Small.txt", "0123456789");
	WriteFile(dir / "sparse", "x");
	boost::filesystem::resize_file(dir / "sparse", 1u << 30);
	boost::filesystem::create_symlink("Small.txt", dir / "link");
	boost::filesystem::create_symlink("nowhere", dir / "dangling");
	MakeFolder(dir / "folder");
	const struct
	{
		const char* name;
		std::size_t limit;
		TFileRead result;
		const char* bytes;
	} cases[] = {
		{ "small.txt", 10, TFileRead::READ, "0123456789" },
		{ "link", 100, TFileRead::READ, "0123456789" },
		{ "small.txt", 9, TFileRead::TOO_LARGE, "" },
		{ "sparse", 1u << 20, TFileRead::TOO_LARGE, "" },
		{ "folder", 100, TFileRead::NOT_REGULAR, "" },
		{ "dangling", 100, TFileRead::MISSING, "" },
		{ "none", 100, TFileRead::MISSING, "" },
		{ "none/deeper", 100, TFileRead::MISSING, "" },
	};
	for (const auto& c : cases) {
		std::string bytes = "before";
		EXPECT_EQ(int(c.result), int(ReadFileBytes(dir / c.name, c.limit, bytes))) << c.name;
		EXPECT_EQ(c.bytes, bytes) << c.name;
	}
	std::string head;
	bool whole = true;
	EXPECT_EQ(int(TFileRead::READ), int(ReadFileHead(dir / "sparse", 4, head, whole)));
	EXPECT_EQ(std::string("x\0\0\0", 4), head);
	EXPECT_FALSE(whole);
	EXPECT_EQ(int(TFileRead::READ), int(ReadFileHead(dir / "small.txt", 10, head, whole)));
	EXPECT_TRUE(whole);
}

// A new file replaces whatever had its name, a folder only when it is empty; one that cannot be written whole (a
// full disk) leaves no file behind that could pass for a whole one.
TEST(FileSystem, NewFilesReplaceWhatHadTheirNameAndAreNeverLeftCutShort)
{
	TTempDir dir;
	MakeFolder(dir / "empty");
	EXPECT_TRUE(WriteNewFile(dir / "empty", "file"));
	EXPECT_EQ("file", ReadFile(dir / "empty"));
	MakeFolder(dir / "full/keep");
	EXPECT_FALSE(WriteNewFile(dir / "full", "file"));
	EXPECT_TRUE(IsDirectory(dir / "full/keep"));
	{
		TFullDisk disk(4096);
		EXPECT_FALSE(WriteNewFile(dir / "cut.txt", std::string(10000, 'x')));
		EXPECT_TRUE(WriteNewFile(dir / "fits.txt", std::string(4000, 'x')));
	}
	EXPECT_FALSE(PathExists(dir / "cut.txt"));
	EXPECT_EQ(4000u, ReadFile(dir / "fits.txt").size());
}
