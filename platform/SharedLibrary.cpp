#include "platform/SharedLibrary.h"

#include <dlfcn.h>

namespace
{
// What dlopen or dlsym found wrong, or a word of it when they tell nothing.
std::string LastError(const std::string& what)
{
	const char* reason = dlerror();
	return reason ? reason : what + " cannot be used";
}
}

TSharedLibrary::TSharedLibrary(const char* file)
	: m_File(file), m_Handle(dlopen(file, RTLD_NOW | RTLD_LOCAL))
{
	if (!m_Handle)
		m_Error = LastError(m_File);
}

void* TSharedLibrary::Symbol(const char* name)
{
	if (!m_Error.empty())
		return nullptr;
	void* symbol = dlsym(m_Handle, name);
	if (!symbol)
		m_Error = LastError(m_File + ": " + name);
	return symbol;
}
