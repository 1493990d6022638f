#include "app/Logger.h"

#include "platform/FileSystem.h"

#include <boost/date_time/posix_time/posix_time.hpp>

// Opened before any other static object so that their constructors may log.
TLogger g_Logger __attribute__((init_priority(101)));

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
	const std::string line = text + SubjectNote(text);
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
	Write("Warning", text + SubjectNote(text));
}

void TLogger::Debug(const std::string& text)
{
	if (m_Level >= 3)
		Write("Debug", text);
}

void TLogger::Write(const char* levelWord, const std::string& text)
{
	if (!m_File)
		return;
	std::fprintf(m_File, "%s %s %s\n", GetLogTimeStamp().c_str(), levelWord, text.c_str());
	if (m_FlushEveryLine)
		std::fflush(m_File);
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
			g_Logger.Write("Warning", FormatText("同じ種類の警告がほかに %d 件ありました：%s", kind.second.second, kind.first));
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
