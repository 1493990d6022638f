#ifndef MORVALETH_PLATFORM_SHAREDLIBRARY_H
#define MORVALETH_PLATFORM_SHAREDLIBRARY_H

#include <string>

/// A shared library loaded while the program runs, for a part of it that most runs never use: the
/// libraries it is not linked to cost neither memory nor start-up time until then. A loaded library
/// stays loaded for the rest of the run.
class TSharedLibrary
{
public:
	/// Loads the library (a file name as the dynamic linker looks it up).
	explicit TSharedLibrary(const char* file);

	/// Sets the function to the library's function of the name; a missing library or function leaves
	/// it null and the library failed.
	template <typename TFunction>
	TSharedLibrary& Find(const char* name, TFunction& function)
	{
		function = reinterpret_cast<TFunction>(Symbol(name));
		return *this;
	}

	/// Why the library or one of the functions asked for is missing; empty when none is.
	const std::string& Error() const { return m_Error; }

private:
	void* Symbol(const char* name);

	std::string m_File;
	void* m_Handle;
	std::string m_Error;
};

#endif
