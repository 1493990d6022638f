// Finding a scenario's resource files. A scenario may leave any file to the
// Default scenario, and pictures may also lie in its character folders.
//
// File names come from the scenario's data, whose loader refuses names that lead
// out of the "Scenario" folder. A name that goes through "../Default" already
// points into the Default scenario, so it is never looked up there a second time.

#include "app/GameMaster.h"

#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"
#include "platform/FileSystem.h"

namespace
{
const char* const PICTURE_DIR = "Picture";
const char* const MUSIC_DIR = "MusicAndSound";
const char* const SCRIPT_DIR = "/Script/";
// The Default scenario's character folders, searched in this order.
const char* const DEFAULT_CHARA_DIRS[] = {"/DefChar", "/Element"};

// True when folder/name exists; folder then becomes the out folder.
bool ExistsIn(const std::string& folder, const std::string& name, std::string& found)
{
	if (!PathExists(folder + "/" + name))
		return false;
	found = folder;
	return true;
}

// A name that already points into the Default scenario must not be looked up there again.
bool NamesDefault(const std::string& name)
{
	return name.find("../Default") != std::string::npos;
}
}

std::string TDremoGameMaster::DefaultScenarioDir() const
{
	return m_RootDir + "/" + "Scenario" + "/" + "Default";
}

bool TDremoGameMaster::FindResourceFile(const boost::shared_ptr<TMorvalethData>&, const std::string& base,
	const std::string& sub, const std::string& name, std::string& folder) const
{
	if (ExistsIn(base + "/" + sub, name, folder))
		return true;
	if (NamesDefault(name))
		return false;
	return ExistsIn(DefaultScenarioDir() + "/" + sub, name, folder);
}

bool TDremoGameMaster::FindCharaResourceFile(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
	const std::string& name, int preferred, std::string& folder) const
{
	const int count = data->GetCharaDirectoryCount();
	// A folder number the database does not have is no preference at all.
	if (preferred >= 0 && preferred < count && ExistsIn(base + "/" + data->GetCharaDirectory(preferred), name, folder))
		return true;
	for (int i = 0; i < count; ++i)
		if (i != preferred && ExistsIn(base + "/" + data->GetCharaDirectory(i), name, folder))
			return true;
	if (NamesDefault(name))
		return false;
	for (const char* dir : DEFAULT_CHARA_DIRS)
		if (ExistsIn(DefaultScenarioDir() + dir, name, folder))
			return true;
	return false;
}

bool TDremoGameMaster::FindInPictureDir(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
	const std::string& name, std::string& folder) const
{
	return FindResourceFile(data, base, PICTURE_DIR, name, folder);
}

bool TDremoGameMaster::FindInMusicDir(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
	const std::string& name, std::string& folder) const
{
	return FindResourceFile(data, base, MUSIC_DIR, name, folder);
}

bool TDremoGameMaster::FindPictureIn(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
	const std::string& name, std::string& folder) const
{
	return FindInPictureDir(data, base, name, folder) || FindCharaResourceFile(data, base, name, -1, folder);
}

bool TDremoGameMaster::FindPictureFile(const std::string& name, std::string& path) const
{
	std::string folder;
	if (!m_Data || !FindPictureIn(m_Data, m_ScenarioDir, name, folder))
		return false;
	path = folder + "/" + name;
	return true;
}

bool TDremoGameMaster::FindMusicFile(const std::string& name, std::string& folder) const
{
	return m_Data && FindInMusicDir(m_Data, m_ScenarioDir, name, folder);
}

bool TDremoGameMaster::FindScriptFile(const std::string& name, std::string& path) const
{
	if (!m_Data)
		return false;
	// The data root's own "Script" folder backs the scenario's, not the Default scenario's.
	const std::string candidates[] = {m_ScenarioDir + SCRIPT_DIR + name, m_RootDir + SCRIPT_DIR + name};
	for (const std::string& candidate : candidates)
		if (PathExists(candidate)) {
			path = candidate;
			return true;
		}
	return false;
}

int TDremoGameMaster::LoadEffectPicture(const boost::shared_ptr<TMorvalethData>& data,
	const boost::shared_ptr<TMorvalethImage>& image, const std::string& base, const std::string& name) const
{
	std::string folder;
	if (!FindPictureIn(data, base, name, folder))
		return -1;
	return image->LoadEffectImage(folder + "/" + name);
}
