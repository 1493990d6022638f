#include "ModelFixture.h"

#include "common/babel/babel.h"
#include "model/MorvalethData.h"

#include <boost/filesystem.hpp>
#include <gtest/gtest.h>

namespace fs = boost::filesystem;

std::string SampleScenario()
{
	return MORVALETH_SOURCE_DIR "/data/Scenario/Default";
}

const TMorvalethData& LoadedSample()
{
	static TMorvalethData data;
	static const bool loaded = data.Load(SampleScenario(), 0);
	EXPECT_TRUE(loaded);
	return data;
}

TSampleCopy::TSampleCopy()
	: m_Folder(m_Dir / "Default")
{
	// The data files only: the database never opens pictures or sounds.
	const fs::path source = SampleScenario();
	for (fs::recursive_directory_iterator it(source), end; it != end; ++it) {
		const fs::path target = fs::path(m_Folder) / fs::relative(it->path(), source);
		const std::string extension = it->path().extension().string();
		if (fs::is_directory(it->path()))
			fs::create_directories(target);
		else if (extension == ".xml" || extension == ".txt")
			fs::copy_file(it->path(), target);
	}
}

void TSampleCopy::Replace(const std::string& file, const std::string& sjisFrom, const std::string& sjisTo) const
{
	// The test's texts are Shift-JIS literals; the files are UTF-8.
	const std::string from = SjisToUtf8(sjisFrom);
	const std::string to = SjisToUtf8(sjisTo);
	const std::string path = m_Folder + "/" + file;
	std::string text = ReadFile(path);
	std::size_t at = text.find(from);
	ASSERT_NE(std::string::npos, at) << from << " not in " << file;
	for (; at != std::string::npos; at = text.find(from, at + to.size()))
		text.replace(at, from.size(), to);
	WriteFile(path, text);
}

void ExpectLoadFailure(const TBrokenFile& broken)
{
	SCOPED_TRACE(std::string(broken.file) + ": " + (broken.from ? broken.from : "removed"));
	TSampleCopy copy;
	if (broken.from)
		copy.Replace(broken.file, broken.from, broken.to);
	else
		fs::remove(copy.Folder() + "/" + broken.file);
	TCapturedLog log;
	TMorvalethData data;
	EXPECT_FALSE(data.Load(copy.Folder(), 0));
	const std::string error = broken.error[0] == ' ' ? copy.Folder() + "/" + broken.file + broken.error : broken.error;
	// A chapter file is read twice, by the scenario's chapter list and as the chapter to play.
	const int reasons = log.CountLines(" Error " + error);
	EXPECT_LE(1, reasons) << log.Text();
	EXPECT_EQ(1, log.CountLines(std::string(" Error ") + broken.dialog)) << log.Text();
	EXPECT_EQ(reasons + 1, CountErrors(log)) << log.Text();
}

int CountErrors(const TCapturedLog& log)
{
	return log.CountLines(" Error ");
}

int CountWarnings(const TCapturedLog& log)
{
	return log.CountLines(" Warning ");
}
