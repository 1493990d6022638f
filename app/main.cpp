#include "app/Application.h"
#include "app/Logger.h"

#include <cstdio>
#include <exception>
#include <string>
#include <guichan/exception.hpp>

namespace
{
// An exception that escapes the game is printed and kept in the log.
void ReportException(const std::string& text)
{
	std::printf("%s\n", text.c_str());
	g_Logger.Error(text);
}

// Runs a step of the program; an exception it throws is reported and makes the result false.
template <typename TStep>
bool RunReported(TStep step)
{
	try {
		return step();
	} catch (const gcn::Exception& e) {
		ReportException(e.getMessage());
	} catch (const std::exception& e) {
		ReportException(std::string("Std exception: ") + e.what());
	} catch (...) {
		ReportException("Unknown exception");
	}
	return false;
}
}

int main()
{
	// A script's pipe to a command that has ended fails the script's write, never the game.
	IgnoreBrokenPipes();
	const bool played = RunReported([] {
		if (!init())
			return false;
		MainLoop();
		return true;
	});
	// What was opened is closed even after an exception; an exception while closing is only reported.
	const bool closed = RunReported([] {
		Shutdown();
		return true;
	});
	// A script's os.exit chose the status of a program that ends well.
	return played && closed ? RequestedExitStatus() : 1;
}
