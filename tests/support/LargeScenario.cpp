#include "support/LargeScenario.h"

#include "support/TestSupport.h"

#include <boost/filesystem.hpp>

namespace fs = boost::filesystem;

fs::path CopySampleScenario(const fs::path& sample, const std::string& tag, bool dataOnly)
{
	const fs::path folder = fs::temp_directory_path() / fs::unique_path(tag + "-%%%%-%%%%") / "Large";
	fs::create_directories(folder);
	for (fs::recursive_directory_iterator it(sample), end; it != end; ++it) {
		const fs::path target = folder / fs::relative(it->path(), sample);
		const std::string extension = it->path().extension().string();
		if (fs::is_directory(it->path()))
			fs::create_directories(target);
		else if (!dataOnly || extension == ".xml" || extension == ".txt")
			fs::copy_file(it->path(), target);
	}
	return folder;
}

void AppendToRoot(const fs::path& path, const std::string& closingTag, const std::string& text)
{
	std::string content = ReadFile(path.string());
	content.insert(content.rfind(closingTag), text);
	WriteFile(path.string(), content);
}

std::string MasterCharacterLike(const fs::path& scenario, const std::string& id)
{
	const std::string text = ReadFile((scenario / "DefChar/CharacterData.xml").string());
	const std::string open = "<Character id=\"leon\">";
	const std::string close = "</Character>";
	const std::size_t begin = text.find(open);
	const std::size_t end = text.find(close, begin) + close.size();
	return "<Character id=\"" + id + "\">" + text.substr(begin + open.size(), end - begin - open.size()) + "\n";
}
