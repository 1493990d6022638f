#include "app/Logger.h"

#include "common/babel/babel.h"
#include "platform/FileSystem.h"

#include <boost/date_time/posix_time/posix_time.hpp>
#include <cerrno>
#include <cstring>

// Opened before any other static object so that their constructors may log.
TLogger g_Logger __attribute__((init_priority(101)));

namespace
{
// How a log shows a byte that would end its line, or cut it short, where a message holds it; null for any
// other byte. No second byte of a Shift-JIS character is one of them.
const char* ShownBreak(char c)
{
	switch (c) {
	case '\n':
		return "\\n";
	case '\r':
		return "\\r";
	case '\0':
		return "\\0";
	default:
		return nullptr;
	}
}
}

TLogger::TLogger()
	: m_FlushEveryLine(false), m_File(nullptr), m_Level(2), m_SummaryDepth(0), m_FirstError(nullptr)
{
	Open("log.txt");
}

TLogger::~TLogger()
{
	Close();
}

bool TLogger::Open(const std::string& path)
{
	Close();
	// A new file of the log's own: a link under its name is replaced, never emptied and written through.
	m_File = CreateNewFile(path);
	if (!m_File)
		ReportUnmadeLog(path);
	return m_File != nullptr;
}

void TLogger::Close()
{
	if (m_File) {
		std::fclose(m_File);
		m_File = nullptr;
	}
}

void TLogger::Error(const std::string& text)
{
	const std::string line = SubjectLine(text);
	for (TFirstError* record = m_FirstError; record; record = record->m_Outer)
		if (record->m_Text.empty())
			record->m_Text = line;
	Write("Error", line);
}

void TLogger::Warning(const std::string& text, const std::string& kind)
{
	if (m_Level < 2)
		return;
	if (m_SummaryDepth > 0) {
		std::pair<int, int>& count = m_WarningKinds[kind.empty() ? text : kind];
		if (count.first == WARNINGS_OF_A_KIND) {
			++count.second;
			return;
		}
		++count.first;
	}
	Write("Warning", SubjectLine(text));
}

void TLogger::Debug(const std::string& text)
{
	if (m_Level >= 3)
		Write("Debug", LogLineText(text));
}

void TLogger::Write(const char* levelWord, const std::string& line)
{
	if (!m_File)
		return;
	std::fprintf(m_File, "%s %s ", GetLogTimeStamp().c_str(), levelWord);
	std::fwrite(line.data(), 1, line.size(), m_File);
	std::fputc('\n', m_File);
	if (m_FlushEveryLine)
		std::fflush(m_File);
}

std::string TLogger::SubjectLine(const std::string& text) const
{
	// Cut apart, so that the subject stays on a line whose text was cut.
	return LogLineText(text) + LogLineText(SubjectNote(text));
}

std::string TLogger::SubjectNote(const std::string& text) const
{
	const bool namesFile = m_SubjectFile.empty() || text.find(m_SubjectFile) != std::string::npos;
	const bool namesRecord = m_SubjectRecord.empty() || text.find(m_SubjectRecord) != std::string::npos;
	if (namesFile && namesRecord)
		return std::string();
	if (namesFile)
		return " (" + m_SubjectRecord + ")";
	return " (" + m_SubjectFile + (namesRecord ? "" : " " + m_SubjectRecord) + ")";
}

TWarningSummary::TWarningSummary()
{
	++g_Logger.m_SummaryDepth;
}

TWarningSummary::~TWarningSummary()
{
	if (--g_Logger.m_SummaryDepth > 0)
		return;
	for (const auto& kind : g_Logger.m_WarningKinds) {
		if (kind.second.second > 0)
			g_Logger.Write("Warning",
				LogLineText(FormatText("同じ種類の警告がほかに %d 件ありました：%s", kind.second.second, kind.first)));
	}
	g_Logger.m_WarningKinds.clear();
}

TFirstError::TFirstError()
	: m_Outer(g_Logger.m_FirstError)
{
	g_Logger.m_FirstError = this;
}

TFirstError::~TFirstError()
{
	g_Logger.m_FirstError = m_Outer;
}

TLogSubject::TLogSubject(const std::string& file, const std::string& record)
	: m_PreviousFile(g_Logger.m_SubjectFile), m_PreviousRecord(g_Logger.m_SubjectRecord)
{
	if (!file.empty())
		g_Logger.m_SubjectFile = file;
	g_Logger.m_SubjectRecord = record;
}

TLogSubject::~TLogSubject()
{
	g_Logger.m_SubjectFile = m_PreviousFile;
	g_Logger.m_SubjectRecord = m_PreviousRecord;
}

std::string LogLineText(const std::string& text)
{
	const std::size_t kept = text.size() > LOGGED_LINE_BYTES ? SjisCutLength(text, LOGGED_TEXT_BYTES) : text.size();
	std::string line;
	for (std::size_t i = 0; i < kept; ++i) {
		const char* shown = ShownBreak(text[i]);
		if (shown)
			line += shown;
		else
			line += text[i];
	}
	if (kept < text.size())
		line += FormatText("...(全 %u バイトのうち先頭 %u バイト)", text.size(), kept);
	return line;
}

std::string ReportUnmadeLog(const std::string& path)
{
	const std::string error = std::strerror(errno);
	// A folder with files in it is left under the name; the system's "File exists" would not say that.
	const std::string reason = IsDirectory(path) ? std::string("同じ名前の空でないフォルダがあります") : error;
	const std::string text = FormatText("ログ %s を作成できないため、このログは書かれません：%s", path, reason);
	std::fprintf(stderr, "Morvaleth: %s\n", SjisToUtf8(text).c_str());
	return text;
}

std::string GetLogTimeStamp()
{
	using namespace boost::posix_time;
	const ptime now = microsec_clock::local_time();
	const auto date = now.date();
	const auto time = now.time_of_day();
	char text[40];
	std::snprintf(text, sizeof text, "%04d/%02d/%02d %02d:%02d:%02d.%06d",
		int(date.year()), int(date.month()), int(date.day()),
		int(time.hours()), int(time.minutes()), int(time.seconds()),
		int(time.fractional_seconds() * 1000000 / time_duration::ticks_per_second()));
	return text;
}

std::string MethodName(const char* prettyFunction)
{
	// "bool TIniLoader::SaveToFile(const string&)" -> "TIniLoader::SaveToFile"
	std::string name(prettyFunction);
	const std::string::size_type paren = name.find('(');
	if (paren != std::string::npos)
		name.erase(paren);
	const std::string::size_type space = name.rfind(' ');
	if (space != std::string::npos)
		name.erase(0, space + 1);
	return name;
}
