#ifndef MORVALETH_APP_GAMEMASTER_H
#define MORVALETH_APP_GAMEMASTER_H

#include <functional>
#include <memory>
#include <string>
#include <vector>
#include <boost/circular_buffer.hpp>
#include <boost/shared_ptr.hpp>

class TFrontEnd;
class TGcnWidgetSet;
class TGcnSkinManager;
class TMorvalethData;
class TMorvalethImage;
class TMorvalethMixer;
class TMorvalethGame;
class TWorldMapControl;
class TiXmlDocument;
class TiXmlElement;

// TDremoGameMaster's methods lie in six files by group:
// - app/GameMaster.cpp: construction, Init, ReleaseGame, ApplyScreenSlides, the key queue (and g_GameMaster);
// - app/GameScreens.cpp: screen switching, building and placing the front-end windows;
// - app/GameLife.cpp: a game's life (NewGame, StartGame, LoadGame, SaveGame with their steps), the save slots;
// - app/GameResources.cpp: finding resource files in the scenario and Default, LoadEffectPicture;
// - app/GameImages.cpp: LoadPermanentImage with its steps, MakeAreaNameImages;
// - app/GameSounds.cpp: LoadSounds with its steps.

/// Owns the running game: the skin for the whole run, the per-game objects, the
/// data root and the queue of keys the main loop collects.
class TDremoGameMaster
{
public:
	/// No game, no skin, empty names, both flags false, an empty queue of 16 keys.
	TDremoGameMaster();
	/// Releases whatever is still held.
	~TDremoGameMaster();

	/// Start-up's hand-over: neighbour table, screen-edge slides, skin, and with a GUI the six front-end
	/// windows with only the start menu shown.
	void Init();
	/// Drops the per-game objects; harmless when none is held.
	void ReleaseGame();
	/// The screen-edge corrections of drawn rectangles from the configuration (at start-up and after accepted settings).
	void ApplyScreenSlides();

	// Screen switching: which front-end window shows. Without front-end windows (no GUI) they do nothing.

	/// Shows (and raises) or hides the system menu.
	void ShowSysMenuWindow(bool show);
	/// Whether the system menu is shown.
	bool IsSysMenuVisible() const;
	/// Lays the system menu out with the settings only, or in full.
	void SetSysMenuCompact(bool settingsOnly);
	/// Shows the scenario select, or hides it and shows the start menu.
	void ShowSceSelectWindow(bool show);
	/// Reads the slots' labels (making the "Save" folder when missing) and opens the save/load window
	/// to load (0) or save (1).
	void OpenSaveLoadWindow(int mode);
	/// Hides the save/load window and shows the menu of the moment.
	void CloseSaveLoadWindow();
	/// Fills the settings window from the configuration, shows, centres and raises it.
	void ShowConfigWindow();
	/// Whether the settings window is shown.
	bool IsConfigWindowVisible() const;
	/// Accepted settings take effect (screen-edge slides, the running world map); the window hides, the keys
	/// pressed into it are dropped and the menu of the moment shows.
	void CloseConfigWindow(bool accepted);
	/// Puts the open save slots and settings, then a message shown, over every other window.
	void KeepDialogsOnTop();
	/// Shows the master select for the held new game, or hides it, releases the game and shows the
	/// scenario select again.
	void ShowMasterSelect(bool show);

	// A game's life: built, started, saved and loaded. Nothing held changes until a new game or a
	// load has wholly succeeded.

	/// Builds database, game state, sounds, images and world map of the scenario's chapter (0-based) at the
	/// level (1-5) and holds them; false, nothing held changed, with the reason in m_LastError.
	bool NewGame(const std::string& scenarioName, int chapter, int level);
	/// Hides the master select, makes the listed master definitions players, fills the neutral areas and
	/// sets the world map up for the first master; an empty list starts a game without a player.
	bool StartGame(const std::vector<int>& players);
	/// Restores and runs the game saved in the slot (0-9); false, the held game running on, after an Error
	/// in the log and on screen.
	bool LoadGame(int slot);
	/// Writes the running game into the slot through a temporary file; false, the slot's earlier save kept,
	/// after an Error in the log and on screen.
	bool SaveGame(int slot);
	/// Path of a slot's save file in the folder: "%s/save%02d.xml".
	static std::string GetSaveFilePath(const std::string& folder, int slot);
	/// The caption of a slot that holds no save.
	static const char* const EMPTY_SLOT_LABEL;
	/// Clears the list and appends the caption of each slot 0..count-1 of the folder, read from the head of its file.
	static void ReadSaveSlotLabels(const std::string& folder, std::vector<std::string>& labels, int count);
	/// Gives the loaded game's areas the held game's area-name images; false when their area lists differ.
	static bool CopyAreaNameImages(const TMorvalethGame& held, TMorvalethGame& loaded);
	/// The folder of the save slots under the data root.
	std::string SaveFolder() const;

	/// Queues a key symbol; dropped when 16 keys are already queued.
	void PushKey(int key);
	/// The oldest queued key without removing it; false when none is queued.
	bool PeekKey(int& key) const;
	/// Removes the oldest queued key, if any.
	void PopKey();
	/// Empties the key queue.
	void ClearKeys();

	// Resource files: a bare file name is looked up in the scenario first, then in the
	// Default scenario. A miss answers false (or -1), logs nothing and leaves the out value;
	// the running game's lookups miss while no game is held.

	/// Finds base/sub/name, else Default/sub/name; folder becomes the folder that holds it.
	bool FindResourceFile(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
		const std::string& sub, const std::string& name, std::string& folder) const;
	/// Finds name in the character folders (preferred first, -1 = none), else in Default's "/DefChar" and "/Element".
	bool FindCharaResourceFile(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
		const std::string& name, int preferred, std::string& folder) const;
	/// Path of a picture of the running scenario: its "Picture" folder, then its character folders.
	bool FindPictureFile(const std::string& name, std::string& path) const;
	/// Folder of a sound or music of the running scenario ("MusicAndSound").
	bool FindMusicFile(const std::string& name, std::string& folder) const;
	/// Path of a script: the scenario's "Script" folder, then the data root's.
	bool FindScriptFile(const std::string& name, std::string& path) const;
	/// Finds a picture under base as FindPictureFile does and loads it as an effect; its index, or -1.
	int LoadEffectPicture(const boost::shared_ptr<TMorvalethData>& data, const boost::shared_ptr<TMorvalethImage>& image,
		const std::string& base, const std::string& name) const;

	// Media of a new game, loaded before the game is committed; false with the reason in m_LastError.

	/// Loads every picture the game keeps and stores the image indices in the database.
	bool LoadPermanentImage(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethImage>& image, const boost::shared_ptr<TMorvalethGame>& game,
		const std::string& scenarioDir);
	/// Renders the name of every area that is not ignored and stores the image indices in the areas.
	bool MakeAreaNameImages(const boost::shared_ptr<TMorvalethImage>& image,
		const boost::shared_ptr<TMorvalethGame>& game);
	/// Loads the common sounds, the specials' sounds and every music; false only for a missing common sound.
	bool LoadSounds(const boost::shared_ptr<TMorvalethData>& data, const boost::shared_ptr<TMorvalethGame>& game,
		const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir);

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
	boost::shared_ptr<TWorldMapControl> m_WorldMap;

	/// Data root: the folders "Scenario" and "Save" lie under it.
	std::string m_RootDir;
	/// Folder of the running scenario.
	std::string m_ScenarioDir;
	/// Folder name of the running scenario, as the scenario select lists it.
	std::string m_ScenarioName;
	/// Reason of the last failed new game (Shift-JIS).
	std::string m_LastError;
	/// The front-end windows; empty without a GUI.
	std::shared_ptr<TFrontEnd> m_FrontEnd;
	/// A game has been started; never cleared.
	bool m_GameRunning;
	/// Start-up opened the audio device.
	bool m_AudioOpened;

private:
	/// Shows or hides a front-end window, raising it when shown; nothing without front-end windows.
	void ShowFrontWindow(int window, bool show);
	/// Centres a front-end window on the screen.
	void CenterFrontWindow(int window);
	/// After a window of the front end closes: the system menu during a game, the start menu before one.
	void ShowMenuOfTheMoment();
	/// Builds the front-end windows on the GUI's top container and places the menus.
	void BuildFrontEnd();

	/// The per-game objects of one game, with the scenario they come from.
	struct TGameSet
	{
		boost::shared_ptr<TGcnWidgetSet> widgetSet;
		boost::shared_ptr<TMorvalethData> data;
		boost::shared_ptr<TMorvalethImage> image;
		boost::shared_ptr<TMorvalethMixer> mixer;
		boost::shared_ptr<TMorvalethGame> game;
		boost::shared_ptr<TWorldMapControl> worldMap;
		std::string scenarioName;
		std::string scenarioDir;
		/// The held image store's area names were made anew for this game.
		bool namesRemade = false;
	};

	/// The scenario's folder under the data root.
	std::string ScenarioFolder(const std::string& scenarioName) const;
	/// Moves the held objects out, releasing nothing.
	TGameSet TakeGame();
	/// Releases what is held, then holds the set.
	void HoldGame(TGameSet& set);
	/// Reads a save's document and its chapter and scenario; false after the Error.
	bool ReadSaveHeader(const std::string& path, TiXmlDocument& document, int& chapter, std::string& scenarioName);
	/// Builds the game of a save's root beside the held one, sharing its database and media when it is of the
	/// same scenario; false after the Errors.
	bool BuildLoadedGame(const TiXmlElement* root, int chapter, const std::string& scenarioName, TGameSet& loaded);
	/// The held image store's area names made anew for the game; false when they cannot be.
	bool RemakeAreaNames(TMorvalethGame& game);
	/// Shows and logs that the slot's file could not be read or written, with the reason when one is known; false.
	bool ReportSlotFailure(const char* text, const std::string& path, const std::string& reason = std::string());
	/// Builds the save document of the running game; false after an Error when the game cannot be saved,
	/// with the reason to show when the scripts' flag table is too large.
	bool BuildSaveDocument(TiXmlElement* root, std::string& reason);

	/// The Default scenario's folder under the data root.
	std::string DefaultScenarioDir() const;
	/// FindResourceFile in base's "Picture" folder.
	bool FindInPictureDir(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
		const std::string& name, std::string& folder) const;
	/// FindResourceFile in base's "MusicAndSound" folder.
	bool FindInMusicDir(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
		const std::string& name, std::string& folder) const;
	/// Finds name in base's "Picture" folder or its character folders; false when in neither.
	bool FindPictureIn(const boost::shared_ptr<TMorvalethData>& data, const std::string& base,
		const std::string& name, std::string& folder) const;

	// Steps of LoadPermanentImage; each false after setting m_LastError.

	/// Sets m_LastError; false.
	bool FailLoad(const std::string& reason);
	/// Sets m_LastError and logs it as an Error of LoadPermanentImage at the line; false.
	bool FailLoadLogged(int line, const std::string& reason);
	/// The field map, when the scenario names one; a missing one is only a Warning, one that does not load or
	/// whose size differs from FieldMap.xml fails.
	bool LoadFieldMapPicture(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir);
	/// Face and chip of character i; a missing face is only a Warning, a missing chip fails.
	bool LoadCharaPictures(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir, int i);
	/// Looks a picture up in "Picture" and loads it with load, giving its path when asked; fails with
	/// "<name> の読み込みに失敗".
	bool LoadPicture(const boost::shared_ptr<TMorvalethData>& data, const boost::shared_ptr<TMorvalethImage>& image,
		const std::string& scenarioDir, const std::string& name, bool (TMorvalethImage::*load)(const std::string&),
		std::string* path = nullptr);
	/// Fails, naming the sheet's path and the table, when a chip sheet holds fewer cells than its table numbers.
	bool CheckSheetCells(const std::string& path, int cells, int needed, const char* table);
	/// The neutral flag, which must load, then every master's flag.
	bool LoadFlagPictures(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir);
	/// The effect image of every special; fails for a missing one that a character has as its special.
	bool LoadSpecialPictures(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethImage>& image, const std::string& scenarioDir);

	// Steps of LoadSounds; every file comes from "MusicAndSound" of the scenario or Default.

	/// The three common sound effects; false, after the Error, at the first one missing or not loading.
	bool LoadCommonSounds(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir);
	/// The sound of every special that names one.
	void LoadSpecialSounds(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir);
	/// The event and decisive music.
	void LoadCommonMusics(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir);
	/// The three music files of every master.
	void LoadMasterMusics(const boost::shared_ptr<TMorvalethData>& data,
		const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir);
	/// The music of every area that names one.
	void LoadAreaMusics(const boost::shared_ptr<TMorvalethData>& data, const boost::shared_ptr<TMorvalethGame>& game,
		const boost::shared_ptr<TMorvalethMixer>& mixer, const std::string& scenarioDir);
	/// Loads a record's sound or music with load; -1 after a Warning (missingText or failedText: record id, file).
	int LoadRecordSound(const boost::shared_ptr<TMorvalethData>& data, const std::string& scenarioDir,
		const std::string& owner, const std::string& name, const char* missingText, const char* failedText,
		const std::function<int(const std::string&)>& load) const;

	/// SDL key symbols of key-down events, oldest first.
	boost::circular_buffer<int> m_KeyQueue;
};

/// The one game master of the program.
extern TDremoGameMaster g_GameMaster;

#endif
