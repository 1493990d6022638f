#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/HexGrid.h"
#include "media/MorvalethMixer.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "platform/FileSystem.h"

#include "GameFixture.h"
#include "ModelFixture.h"
#include "support/TestSupport.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <boost/make_shared.hpp>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace
{
const char* const CommonSounds[] = {"なんだ？.wav", "攻撃.wav", "死亡！.wav"};
// Every music and special sound the sample's data names, and the areas' own music.
const char* const SampleSounds[] = {"event.wav", "decisive.wav", "sera.wav", "leon.wav", "battle.wav",
	"master_battle.wav", "crash.wav", "bite.wav", "fire.wav", "quake.wav", "heal.wav", "poison.wav", "town.wav"};

// The sample's database and three areas (two sharing a music, one silent) loaded into a mixer on SDL's silent
// audio driver; the sound files lie in a scenario "T" of a temporary data root or in its Default scenario.
class GameSounds : public ::testing::Test
{
protected:
	void SetUp() override
	{
		setenv("SDL_AUDIODRIVER", "dummy", 1);
		ASSERT_EQ(0, SDL_Init(SDL_INIT_AUDIO)) << SDL_GetError();
		ASSERT_EQ(0, Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 4096)) << Mix_GetError();
		m_Switches[0] = g_Config.GetBoolValue(SWITCH_SOUND_ENABLED);
		m_Switches[1] = g_Config.GetBoolValue(SWITCH_MUSIC_ENABLED);
		g_Config.SetBoolValue(SWITCH_SOUND_ENABLED, true);
		g_Config.SetBoolValue(SWITCH_MUSIC_ENABLED, true);

		m_Master.m_RootDir = m_Root.Path();
		m_Data = boost::make_shared<TMorvalethData>(SampleData());
		m_Game = boost::make_shared<TMorvalethGame>();
		m_Game->SetData(m_Data.get());
		std::vector<TAreaInstance> areas(3);
		const char* const music[] = {"town.wav", "town.wav", ""};
		for (int i = 0; i < 3; ++i) {
			areas[i].id = "A0" + std::to_string(i + 1);
			areas[i].Music = music[i];
		}
		ASSERT_TRUE(m_Game->SetAreas(areas));
		m_Mixer = boost::make_shared<TMorvalethMixer>(true);
	}

	void TearDown() override
	{
		m_Mixer.reset();
		Mix_CloseAudio();
		SDL_Quit();
		g_Config.SetBoolValue(SWITCH_SOUND_ENABLED, m_Switches[0]);
		g_Config.SetBoolValue(SWITCH_MUSIC_ENABLED, m_Switches[1]);
	}

	// Puts a playable sound file of that name into a scenario's "MusicAndSound" folder.
	void Put(const std::string& scenario, const std::string& name)
	{
		const std::string folder = m_Root / ("Scenario/" + scenario + "/MusicAndSound");
		ASSERT_TRUE(CreateDirectories(folder));
		ASSERT_TRUE(CopyFile(SampleScenario() + "/MusicAndSound/heal.wav", folder + "/" + name));
	}

	void PutAll()
	{
		for (const char* name : CommonSounds)
			Put("Default", name);
		for (const char* name : SampleSounds)
			Put("T", name);
	}

	bool Load() { return m_Master.LoadSounds(m_Data, m_Game, m_Mixer, m_Root / "Scenario/T"); }

	const TMasterData& Master(const std::string& id) { return m_Data->GetMasterData(m_Data->GetMasterIndex(id)); }
	int SpecialSound(const std::string& id) { return m_Data->GetSpecialData(m_Data->GetSpecialIndex(id)).SoundIndex; }

	TTempDir m_Root;
	TDremoGameMaster m_Master;
	boost::shared_ptr<TMorvalethData> m_Data;
	boost::shared_ptr<TMorvalethGame> m_Game;
	boost::shared_ptr<TMorvalethMixer> m_Mixer;
	bool m_Switches[2];
};
}

TEST_F(GameSounds, EverySoundAndMusicLoadsAndAMusicNamedTwiceIsLoadedOnce)
{
	PutAll();
	TCapturedLog log;
	ASSERT_TRUE(Load());
	EXPECT_EQ(0, CountErrors(log) + CountWarnings(log)) << log.Text();

	// Sounds 0 to 2 are the common ones; each special's sound gets its own index.
	EXPECT_LE(3, SpecialSound("AttackWall"));
	EXPECT_NE(SpecialSound("AttackWall"), SpecialSound("bite"));
	EXPECT_EQ(-1, SpecialSound("sword"));

	// Music 0 and 1 are the event and decisive music; masters follow in database order.
	EXPECT_EQ(2, Master("garm").BattleMusicIndex);
	EXPECT_EQ(-1, Master("garm").MusicIndex);
	EXPECT_EQ(3, Master("leon").MusicIndex);
	EXPECT_EQ(2, Master("leon").BattleMusicIndex);
	EXPECT_EQ(4, Master("leon").MasterBattleMusicIndex);
	EXPECT_EQ(5, Master("sera").MusicIndex);
	EXPECT_EQ(6, m_Game->GetArea(0).MusicIndex);
	EXPECT_EQ(6, m_Game->GetArea(1).MusicIndex);
	EXPECT_EQ(-1, m_Game->GetArea(2).MusicIndex);
}

TEST_F(GameSounds, AMissingCommonSoundStopsTheGameBeforeAnyOtherSoundOrMusic)
{
	PutAll();
	RemoveFile(m_Root / "Scenario/Default/MusicAndSound/攻撃.wav");
	TCapturedLog log;
	EXPECT_FALSE(Load());
	EXPECT_EQ(1, log.CountLines(" Error 共通効果音 攻撃.wav が見つかりませんでした。")) << log.Text();
	EXPECT_EQ(-1, SpecialSound("bite"));
	EXPECT_EQ(-1, Master("leon").MusicIndex);

	// A common sound that is there but no sound at all stops it too.
	WriteFile(NativePath(m_Root / "Scenario/T/MusicAndSound/攻撃.wav"), "not a sound");
	EXPECT_FALSE(Load());
	EXPECT_EQ(1, log.CountLines(" Error 共通効果音 攻撃.wav の読み込みに失敗しました。")) << log.Text();
}

TEST_F(GameSounds, MissingOrBrokenRecordSoundsOnlyMakeTheirRecordSilent)
{
	PutAll();
	RemoveFile(m_Root / "Scenario/T/MusicAndSound/bite.wav");
	RemoveFile(m_Root / "Scenario/T/MusicAndSound/decisive.wav");
	WriteFile(m_Root / "Scenario/T/MusicAndSound/leon.wav", "not a sound");
	TCapturedLog log;
	ASSERT_TRUE(Load());
	EXPECT_EQ(1, log.CountLines(" Warning bite の効果音 bite.wav が見つかりませんでした。この効果音を無音にします。"))
		<< log.Text();
	EXPECT_EQ(1, log.CountLines(" Warning 共通音楽 decisive.wav が見つかりませんでした。"));
	EXPECT_EQ(1, log.CountLines(" Warning leon の音楽 leon.wav の読み込みに失敗しました。この音楽を無音にします。"));
	EXPECT_EQ(-1, SpecialSound("bite"));
	EXPECT_EQ(-1, Master("leon").MusicIndex);
	EXPECT_NE(-1, Master("leon").BattleMusicIndex);
}

TEST_F(GameSounds, SwitchesChooseWhatIsLoaded)
{
	// Without sound effects no common sound is needed.
	for (const char* name : SampleSounds)
		Put("T", name);
	g_Config.SetBoolValue(SWITCH_SOUND_ENABLED, false);
	TCapturedLog log;
	ASSERT_TRUE(Load());
	EXPECT_EQ(-1, SpecialSound("AttackWall"));
	EXPECT_EQ(2, Master("garm").BattleMusicIndex);

	g_Config.SetBoolValue(SWITCH_SOUND_ENABLED, true);
	g_Config.SetBoolValue(SWITCH_MUSIC_ENABLED, false);
	PutAll();
	m_Data = boost::make_shared<TMorvalethData>(SampleData());
	ASSERT_TRUE(Load());
	EXPECT_NE(-1, SpecialSound("AttackWall"));
	EXPECT_EQ(-1, Master("garm").BattleMusicIndex);
	EXPECT_EQ(0, CountErrors(log) + CountWarnings(log)) << log.Text();
}

TEST_F(GameSounds, TheSampleHasEverySoundAndMusicItNames)
{
	m_Master.m_RootDir = MORVALETH_SOURCE_DIR "/data";
	// The battle maps of a new game are read with the neighbour table, which start-up builds.
	BuildNeighborTable();
	m_Game = boost::make_shared<TMorvalethGame>();
	ASSERT_TRUE(m_Game->LoadNew(m_Data.get(), SampleScenario(), 0, 1));
	TCapturedLog log;
	ASSERT_TRUE(m_Master.LoadSounds(m_Data, m_Game, m_Mixer, SampleScenario()));
	EXPECT_EQ(0, CountErrors(log) + CountWarnings(log)) << log.Text();
	EXPECT_NE(-1, SpecialSound("AttackWall"));
	EXPECT_NE(-1, Master("sera").MusicIndex);
	// The area of leon's home plays his music, loaded once for both.
	const int home = m_Game->GetAreaIndex("A01");
	EXPECT_EQ(Master("leon").MusicIndex, m_Game->GetArea(home).MusicIndex);
}
