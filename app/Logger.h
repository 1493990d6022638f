#ifndef MORVALETH_APP_LOGGER_H
#define MORVALETH_APP_LOGGER_H

#include <cstdio>
#include <map>
#include <string>
#include <boost/format.hpp>

class TFirstError;

/// Writes the program's log file, one time-stamped line per message at three levels.
class TLogger
{
public:
	/// Opens "log.txt" in the working folder (made afresh), level 2, no flushing.
	TLogger();
	~TLogger();

	/// Closes the current file and opens another one (made afresh); used by tests.
	bool Open(const std::string& path);
	/// Closes the file; later calls write nothing.
	void Close();

	/// Always written while the file is open.
	void Error(const std::string& text);
	/// Written at level 2 or more; while a TWarningSummary lives, only the first WARNINGS_OF_A_KIND of one kind
	/// (the text itself when no kind is given) are written.
	void Warning(const std::string& text, const std::string& kind = std::string());
	/// Written at level 3 or more.
	void Debug(const std::string& text);

	void SetLevel(int level) { m_Level = level; }
	int GetLevel() const { return m_Level; }

	/// Flush after every line; set by start-up from the configuration.
	bool m_FlushEveryLine;

	/// Warnings of one kind written within a summary; the rest are counted.
	static const int WARNINGS_OF_A_KIND = 100;

private:
	friend class TLogSubject;
	friend class TWarningSummary;
	friend class TFirstError;

	/// Writes the stamp, the level word and the line, which LogLineText has made one line of a sane length.
	void Write(const char* levelWord, const std::string& line);
	/// The text of an Error or Warning line: the text and what it lacks of the subject, each one line of a sane length.
	std::string SubjectLine(const std::string& text) const;
	/// What an Error or Warning line lacks of the subject, in parentheses; empty when it names it all or there is none.
	std::string SubjectNote(const std::string& text) const;

	std::FILE* m_File;
	int m_Level;
	/// The file and the record in it that Error and Warning lines are about; empty when none is.
	std::string m_SubjectFile;
	std::string m_SubjectRecord;
	/// Summaries open now; warnings are counted by kind while there is one.
	int m_SummaryDepth;
	/// Per kind, the warnings written and those left out.
	std::map<std::string, std::pair<int, int>> m_WarningKinds;
	/// The innermost recorder of the first Error; null when none lives.
	TFirstError* m_FirstError;
};

extern TLogger g_Logger;

/// While it lives, Error and Warning lines are about a file and a record in it (such as "Character id = x"):
/// a line that does not name them ends with them in parentheses, so that every reason given deep inside a
/// loader still says where it was found.
class TLogSubject
{
public:
	/// An empty file keeps the file of the subject around this one.
	explicit TLogSubject(const std::string& file, const std::string& record = std::string());
	/// The subject before this one is the subject again.
	~TLogSubject();
	TLogSubject(const TLogSubject&) = delete;
	TLogSubject& operator=(const TLogSubject&) = delete;

private:
	std::string m_PreviousFile;
	std::string m_PreviousRecord;
};

/// While it lives (a load reads thousands of records, each of which may give the same warning), warnings of
/// one kind past the first hundred are not written; when the outermost one ends, one Warning per such kind
/// tells how many were left out.
class TWarningSummary
{
public:
	TWarningSummary();
	~TWarningSummary();
	TWarningSummary(const TWarningSummary&) = delete;
	TWarningSummary& operator=(const TWarningSummary&) = delete;
};

/// While it lives, keeps the text of the first Error line written (with its subject), so that a dialog can
/// give the player the reason the log gives.
class TFirstError
{
public:
	TFirstError();
	~TFirstError();
	TFirstError(const TFirstError&) = delete;
	TFirstError& operator=(const TFirstError&) = delete;

	/// The first Error's text; empty while none was written.
	const std::string& Text() const { return m_Text; }

private:
	friend class TLogger;
	std::string m_Text;
	TFirstError* m_Outer;
};

/// What a log line keeps of a text past LOGGED_LINE_BYTES: its first bytes, as a failed run's message is cut.
const std::size_t LOGGED_TEXT_BYTES = 2000;
/// The longest text a log line holds whole: a message cut to LOGGED_TEXT_BYTES, with the engine's words around it.
const std::size_t LOGGED_LINE_BYTES = 3000;

/// The text as one line of a log: past LOGGED_LINE_BYTES, its first LOGGED_TEXT_BYTES cut at a whole Shift-JIS
/// character, with its whole length; a line feed, a carriage return and a NUL byte in it written as "\\n",
/// "\\r" and "\\0".
std::string LogLineText(const std::string& text);
/// Says on the standard error that the log file cannot be made, naming it and the reason (errno of the failed
/// open, read first); the text said.
std::string ReportUnmadeLog(const std::string& path);

/// The local time as "YYYY/MM/DD hh:mm:ss.uuuuuu".
std::string GetLogTimeStamp();

/// "Class::Method" out of a compiler's pretty function signature.
std::string MethodName(const char* prettyFunction);

namespace logdetail
{
inline void Feed(boost::format&) {}

template <typename T, typename... Rest>
void Feed(boost::format& f, const T& value, const Rest&... rest)
{
	f % value;
	Feed(f, rest...);
}
}

/// Formats a message and wraps it as "method:line:message"; when the arguments
/// do not fit the format, the text is "method:line:format error".
template <typename... Args>
std::string MethodText(const std::string& method, int line, const std::string& format, const Args&... args)
{
	try {
		boost::format f(format);
		logdetail::Feed(f, args...);
		return (boost::format("%s:%d:%s") % method % line % f.str()).str();
	} catch (const boost::io::format_error&) {
		return (boost::format("%s:%d:format error") % method % line).str();
	}
}

/// Formats with Boost.Format; an argument mismatch gives "format error".
template <typename... Args>
std::string FormatText(const std::string& format, const Args&... args)
{
	try {
		boost::format f(format);
		logdetail::Feed(f, args...);
		return f.str();
	} catch (const boost::io::format_error&) {
		return "format error";
	}
}

/// A Warning whose kind is its format, so that a summary counts the warnings of one format together.
template <typename... Args>
void WarningOf(const std::string& format, const Args&... args)
{
	g_Logger.Warning(FormatText(format, args...), format);
}

/// The format of a message's arguments.
template <typename... Args>
std::string FormatOf(const std::string& format, const Args&...)
{
	return format;
}

/// Method-text log lines: the enclosing method's name and the source line come first; a warning's kind is its format.
#define METHOD_TEXT(...) MethodText(MethodName(__PRETTY_FUNCTION__), __LINE__, __VA_ARGS__)
#define LOG_ERROR(...) g_Logger.Error(METHOD_TEXT(__VA_ARGS__))
#define LOG_WARNING(...) g_Logger.Warning(METHOD_TEXT(__VA_ARGS__), FormatOf(__VA_ARGS__))
#define LOG_DEBUG(...) g_Logger.Debug(METHOD_TEXT(__VA_ARGS__))

#endif
