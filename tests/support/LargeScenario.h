#ifndef MORVALETH_TESTS_LARGESCENARIO_H
#define MORVALETH_TESTS_LARGESCENARIO_H

#include <boost/filesystem/path.hpp>
#include <string>

// Pieces the benchmarks use to grow the sample scenario into a large one.

/// Copies the sample scenario to a fresh folder "Large" under the system's temporary
/// folder (named after the tag); only XML and text files when dataOnly is set.
boost::filesystem::path CopySampleScenario(const boost::filesystem::path& sample, const std::string& tag, bool dataOnly);

/// Inserts the text before the closing tag of the file's root element.
void AppendToRoot(const boost::filesystem::path& path, const std::string& closingTag, const std::string& text);

/// The sample's master character "leon" of the scenario folder, as XML under another id.
std::string MasterCharacterLike(const boost::filesystem::path& scenario, const std::string& id);

#endif
