#ifndef MORVALETH_TESTS_UNIT_MODELFIXTURE_H
#define MORVALETH_TESTS_UNIT_MODELFIXTURE_H

#include "support/TestSupport.h"

#include <string>

class TMorvalethData;

/// The sample scenario of the source tree.
std::string SampleScenario();
/// The sample database, loaded once for the tests that only read it.
const TMorvalethData& LoadedSample();

/// A copy of the sample scenario's data in a temporary folder, for tests that break one file.
class TSampleCopy
{
public:
	TSampleCopy();
	/// The copied scenario folder.
	const std::string& Folder() const { return m_Folder; }
	/// Path of a file of the copy's "Data" folder.
	std::string Data(const std::string& name) const { return m_Folder + "/Data/" + name; }
	/// Replaces every occurrence of a Shift-JIS text, written to the file as UTF-8, in a file of the copy; the text must be there.
	void Replace(const std::string& file, const std::string& from, const std::string& to) const;

private:
	TTempDir m_Dir;
	std::string m_Folder;
};

/// A change to one file of the sample and what loading the changed scenario must report.
struct TBrokenFile
{
	const char* file;
	/// Text to replace everywhere in the file; null removes the file.
	const char* from;
	const char* to;
	/// Error text the loader logs behind the file's path (a bare text when it starts with no blank).
	const char* error;
	/// Text of the failure dialog.
	const char* dialog;
};

/// Loads a copy of the sample with the change applied and checks that the load fails with both texts and no other Error.
void ExpectLoadFailure(const TBrokenFile& broken);

/// Number of Error lines and of Warning lines in the captured log.
int CountErrors(const TCapturedLog& log);
int CountWarnings(const TCapturedLog& log);

#endif
