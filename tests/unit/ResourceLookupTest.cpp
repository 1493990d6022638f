#include "app/GameMaster.h"
#include "model/MorvalethData.h"
#include "platform/FileSystem.h"

#include "support/TestSupport.h"

#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include <string>

namespace
{
// A data root with a scenario "T" (character folders CharA and CharB), the Default
// scenario and the root's own "Script" folder. Names are Shift-JIS, as in the game.
class ResourceLookup : public ::testing::Test
{
protected:
	void SetUp() override
	{
		m_Master.m_RootDir = m_Root.Path();
		m_Master.m_ScenarioDir = Scenario();
		Touch("Scenario/T/Data/MasterData.xml",
			"<MasterList><Character><Directory>CharA</Directory><Directory>CharB</Directory></Character></MasterList>");
		m_Master.m_Data = boost::make_shared<TMorvalethData>();
		ASSERT_TRUE(m_Master.m_Data->LoadMasterData(Scenario() + "/Data/MasterData.xml"));
	}

	std::string Scenario() const { return m_Root / "Scenario/T"; }
	std::string Default() const { return m_Root / "Scenario/Default"; }

	// Creates a file, and its folders, under the data root.
	void Touch(const std::string& path, const std::string& content = "x")
	{
		const std::string full = m_Root / path;
		ASSERT_TRUE(CreateDirectories(full.substr(0, full.rfind('/'))));
		WriteFile(NativePath(full), content);
	}

	// The folder in which FindCharaResourceFile finds the name, or "-" for a miss.
	std::string CharaFolder(const std::string& name, int preferred)
	{
		std::string folder = "-";
		m_Master.FindCharaResourceFile(m_Master.m_Data, Scenario(), name, preferred, folder);
		return folder;
	}

	// The path FindPictureFile gives, or "-" for a miss.
	std::string Picture(const std::string& name)
	{
		std::string path = "-";
		m_Master.FindPictureFile(name, path);
		return path;
	}

	TTempDir m_Root;
	TDremoGameMaster m_Master;
};
}

TEST_F(ResourceLookup, TheScenarioComesBeforeTheDefaultScenario)
{
	Touch("Scenario/T/MusicAndSound/攻撃.wav");
	Touch("Scenario/Default/MusicAndSound/攻撃.wav");
	Touch("Scenario/Default/MusicAndSound/only.wav");
	std::string folder;
	ASSERT_TRUE(m_Master.FindMusicFile("攻撃.wav", folder));
	EXPECT_EQ(Scenario() + "/MusicAndSound", folder);
	ASSERT_TRUE(m_Master.FindMusicFile("only.wav", folder));
	EXPECT_EQ(Default() + "/MusicAndSound", folder);

	folder = "kept";
	EXPECT_FALSE(m_Master.FindMusicFile("none.wav", folder));
	EXPECT_EQ("kept", folder);
}

TEST_F(ResourceLookup, ANameThroughDefaultIsNeverLookedUpInTheDefaultScenarioAgain)
{
	// Both names would exist relative to the Default scenario's "Picture" folder.
	Touch("Scenario/Default/Picture/sub/keep");
	Touch("Scenario/Default/Picture/Default.png");
	Touch("Scenario/Default/Picture/Other.png");
	std::string folder = "-";
	EXPECT_FALSE(m_Master.FindResourceFile(m_Master.m_Data, Scenario(), "Picture", "sub/../Default.png", folder));
	EXPECT_TRUE(m_Master.FindResourceFile(m_Master.m_Data, Scenario(), "Picture", "sub/../Other.png", folder));
	EXPECT_EQ(Default() + "/Picture", folder);

	Touch("Scenario/Default/DefChar/sub/keep");
	Touch("Scenario/Default/DefChar/Default.png");
	EXPECT_EQ("-", CharaFolder("sub/../Default.png", -1));
}

TEST_F(ResourceLookup, CharacterFoldersArePreferredThenInListOrderThenDefChar)
{
	Touch("Scenario/T/CharA/both.png");
	Touch("Scenario/T/CharB/both.png");
	Touch("Scenario/T/CharB/second.png");
	Touch("Scenario/Default/DefChar/common.png");
	Touch("Scenario/Default/Element/common.png");
	Touch("Scenario/Default/Element/element.png");

	EXPECT_EQ(Scenario() + "/CharB", CharaFolder("both.png", 1));
	EXPECT_EQ(Scenario() + "/CharA", CharaFolder("both.png", -1));
	EXPECT_EQ(Scenario() + "/CharB", CharaFolder("second.png", 0));
	EXPECT_EQ(Default() + "/DefChar", CharaFolder("common.png", 0));
	EXPECT_EQ(Default() + "/Element", CharaFolder("element.png", -1));
	// A folder number the database does not have is no preference.
	EXPECT_EQ(Scenario() + "/CharA", CharaFolder("both.png", 7));
	EXPECT_EQ("-", CharaFolder("none.png", 1));
}

TEST_F(ResourceLookup, PicturesComeFromPictureFoldersBeforeCharacterFolders)
{
	Touch("Scenario/T/Picture/own.png");
	Touch("Scenario/Default/Picture/own.png");
	Touch("Scenario/Default/Picture/顔.png");
	Touch("Scenario/T/CharA/顔.png");
	Touch("Scenario/T/CharB/chip.png");
	Touch("Scenario/Default/Element/chip2.png");

	EXPECT_EQ(Scenario() + "/Picture/own.png", Picture("own.png"));
	EXPECT_EQ(Default() + "/Picture/顔.png", Picture("顔.png"));
	EXPECT_EQ(Scenario() + "/CharB/chip.png", Picture("chip.png"));
	EXPECT_EQ(Default() + "/Element/chip2.png", Picture("chip2.png"));
	EXPECT_EQ("-", Picture("none.png"));
}

TEST_F(ResourceLookup, ScriptsComeFromTheScenarioThenTheDataRootButNotTheDefaultScenario)
{
	Touch("Scenario/T/Script/world.lua");
	Touch("Script/world.lua");
	Touch("Script/battle.lua");
	Touch("Scenario/Default/Script/strategy.lua");
	std::string path = "-";
	ASSERT_TRUE(m_Master.FindScriptFile("world.lua", path));
	EXPECT_EQ(Scenario() + "/Script/world.lua", path);
	ASSERT_TRUE(m_Master.FindScriptFile("battle.lua", path));
	EXPECT_EQ(m_Root.Path() + "/Script/battle.lua", path);
	EXPECT_FALSE(m_Master.FindScriptFile("strategy.lua", path));
	EXPECT_EQ(m_Root.Path() + "/Script/battle.lua", path);
}

TEST_F(ResourceLookup, WithNoGameHeldEveryLookupOfTheRunningGameMisses)
{
	Touch("Scenario/T/Picture/own.png");
	Touch("Scenario/T/MusicAndSound/own.wav");
	Touch("Scenario/T/Script/own.lua");
	m_Master.m_Data.reset();
	std::string found = "kept";
	EXPECT_FALSE(m_Master.FindPictureFile("own.png", found));
	EXPECT_FALSE(m_Master.FindMusicFile("own.wav", found));
	EXPECT_FALSE(m_Master.FindScriptFile("own.lua", found));
	EXPECT_EQ("kept", found);
}
