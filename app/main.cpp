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
}

int main()
{
	try {
		const bool started = init();
		if (started)
			MainLoop();
		Shutdown();
		return started ? 0 : 1;
	} catch (const gcn::Exception& e) {
		ReportException(e.getMessage());
	} catch (const std::exception& e) {
		ReportException(std::string("Std exception: ") + e.what());
	} catch (...) {
		ReportException("Unknown exception");
	}
	return 1;
}
