#ifndef MORVALETH_APP_GAMEMASTER_H
#define MORVALETH_APP_GAMEMASTER_H

#include <string>
#include <boost/circular_buffer.hpp>
#include <boost/shared_ptr.hpp>

class TGcnWidgetSet;
class TGcnSkinManager;
class TMorvalethData;
class TMorvalethImage;
class TMorvalethMixer;
class TMorvalethGame;
class TWorldMapLogic;

/// Owns the running game: the skin for the whole run, the per-game objects, the
/// data root and the queue of keys the main loop collects.
class TDremoGameMaster
{
public:
	/// No game, no skin, empty names, both flags false, an empty queue of 16 keys.
	TDremoGameMaster();
	/// Releases whatever is still held.
	~TDremoGameMaster();

	/// Start-up's hand-over: neighbour table, screen-edge slides, skin.
	void Init();
	/// Drops the per-game objects; harmless when none is held.
	void ReleaseGame();

	/// Queues a key symbol; dropped when 16 keys are already queued.
	void PushKey(int key);
	/// The oldest queued key without removing it; false when none is queued.
	bool PeekKey(int& key) const;
	/// Removes the oldest queued key, if any.
	void PopKey();
	/// Empties the key queue.
	void ClearKeys();

	/// Widgets of the running game; empty when no game is held.
	boost::shared_ptr<TGcnWidgetSet> m_WidgetSet;
	/// The window skin for the whole run; every window constructor reads it.
	boost::shared_ptr<TGcnSkinManager> m_Skin;
	/// Scenario database of the running game.
	boost::shared_ptr<TMorvalethData> m_Data;
	/// Image store of the running game.
	boost::shared_ptr<TMorvalethImage> m_Image;
	/// Sound effects and music of the running game.
	boost::shared_ptr<TMorvalethMixer> m_Mixer;
	/// Strategic game state.
	boost::shared_ptr<TMorvalethGame> m_Game;
	/// World-map controller of the running game.
	boost::shared_ptr<TWorldMapLogic> m_WorldMap;

	/// Data root: the folders "Scenario" and "Save" lie under it.
	std::string m_RootDir;
	/// Folder of the running scenario.
	std::string m_ScenarioDir;
	/// Folder name of the running scenario, as the scenario select lists it.
	std::string m_ScenarioName;
	/// Reason of the last failed new game (Shift-JIS).
	std::string m_LastError;
	/// A game has been started; never cleared.
	bool m_GameRunning;
	/// Start-up opened the audio device.
	bool m_AudioOpened;

private:
	/// SDL key symbols of key-down events, oldest first.
	boost::circular_buffer<int> m_KeyQueue;
};

/// The one game master of the program.
extern TDremoGameMaster g_GameMaster;

#endif
