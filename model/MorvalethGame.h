#ifndef MORVALETH_MODEL_MORVALETHGAME_H
#define MORVALETH_MODEL_MORVALETHGAME_H

#include "model/AreaLedger.h"
#include "model/GameRecords.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

class TMorvalethData;
class TiXmlElement;
struct TChapterInfo;
struct TCharaData;

// TMorvalethGame's methods lie in seven files by group:
// - model/MorvalethGame.cpp: construction, the building setters, record lookups and setters, characters in play,
//   area and master counts and powers, the save caption, an area's levels taken back from its battle map;
// - model/GameNew.cpp: LoadNew with its steps and LoadAreaMap;
// - model/GameSave.cpp: the XML of areas and saves (SaveToXML, SaveAreaInstance, LoadAreaInstance, LoadSaved
//   with their steps);
// - model/GameMoney.cpp: money, power and costs (incomes, hire costs, rank-ups, the area ledger);
// - model/GameCharacters.cpp: characters on the map (hiring, dismissal, moves, inhabitants, wandering and found
//   heroes);
// - model/GameTurns.cpp: turns, master order, standing orders, alliances, defeat and the end of the game;
// - model/GameAfterBattle.cpp: moves after a battle.

/// (area index, position) of a stationed character.
typedef std::pair<int, int> TAreaCharaPos;

/// Holds every area, master and alliance of the running game, and applies the strategic rules to them.
/// Rules that refuse their arguments log one Error and leave the state as it was.
class TMorvalethGame
{
public:
	/// Empty state over an empty database; no current master.
	TMorvalethGame();

	// Building a game (the new-game and saved-game loaders, and tests).

	/// Reads definitions from the database, which must outlive the game.
	void SetData(const TMorvalethData* data);
	/// Replaces the areas, sorted by id, with their neighbour ids resolved; false, unchanged, after an Error for an unknown neighbour id.
	bool SetAreas(std::vector<TAreaInstance> areas);
	/// Appends a master in play with that definition and money; answers its master index.
	int AddMaster(int dataIndex, int money);
	/// Sets the difficulty; false, unchanged, after an Error for a level outside 1..5.
	bool SetGameLevel(int level);
	/// Sets the turn counter and the count of turns played.
	void SetTurn(int turn, int progressedTurn);

	// New game and saved game.

	/// Builds a new game from the scenario's area data and chapter (0-based) at the level; false, the game unchanged, after an Error.
	bool LoadNew(const TMorvalethData* data, const std::string& folder, int chapter, int level);
	/// Replaces the areas by those of an "AreaList" element, sorted by id, neighbours and power-map points resolved; false after an Error.
	bool LoadAreaInstance(const TiXmlElement* areaList);
	/// Loads every area's battle map from the scenario's "Data" folder; false after an Error.
	bool LoadAreaMap(const std::string& folder);
	/// Appends the game-state elements of a save to the parent; false, with nothing appended, after an Error when the state could not be loaded back.
	bool SaveToXML(TiXmlElement* parent) const;
	/// Appends one "Area" element per area, each ending with its battle map's objects.
	void SaveAreaInstance(TiXmlElement* areaList) const;
	/// Replaces the game by the one saved under the parent; false, the game unchanged, after an Error naming what is wrong.
	/// A game of the same scenario and database lends its battle maps as read from their files, which are then
	/// not read again.
	bool LoadSaved(const TMorvalethData* data, const std::string& folder, int chapter, const TiXmlElement* parent,
		const TMorvalethGame* sameScenario = nullptr);

	// Records; an index outside a table logs an Error and gives a scratch record.

	/// Number of areas.
	int GetAreaCount() const { return static_cast<int>(m_Areas.size()); }
	/// Area i; the area index is its position in the id order.
	TAreaInstance& GetArea(int i);
	const TAreaInstance& GetArea(int i) const;
	/// Number of masters in play, defeated ones included.
	int GetMasterCount() const { return static_cast<int>(m_Masters.size()); }
	/// Master i in play.
	TMasterInstance& GetMaster(int i);
	const TMasterInstance& GetMaster(int i) const;
	/// Number of alliances.
	int GetAllianceCount() const { return static_cast<int>(m_Alliances.size()); }
	/// Alliance i.
	TAlliance& GetAlliance(int i);
	const TAlliance& GetAlliance(int i) const;
	/// Heroes that died in battle.
	const std::vector<TCharaInstance>& GetDeadCharas() const { return m_DeadCharas; }
	/// Heroes that belong to no area.
	const std::vector<TCharaInstance>& GetWanderCharas() const { return m_WanderCharas; }
	/// Difficulty, 1 to 5.
	int GetGameLevel() const { return m_GameLevel; }
	/// Turn counter.
	int GetTurn() const { return m_Turn; }
	/// Count of turns played.
	int GetProgressedTurn() const { return m_ProgressedTurn; }
	/// 0-based chapter index.
	int GetChapterIndex() const { return m_ChapterIndex; }
	/// Master whose turn it is; -1 when none.
	int GetCurrentMaster() const { return m_CurrentMaster; }
	/// The game has been decided.
	bool IsGameEnded() const { return m_GameEnded; }
	/// Stores the mixer index of area i's music.
	void SetAreaMusicIndex(int i, int music);

	// Characters in play, lookups and counts.

	/// A new character of the definition at the rank: full points, status and power for the rank.
	TCharaInstance CreateCharaInstance(int charaIndex, int rank) const;
	/// Recomputes HP and MP max, the six stats and the power for the instance's definition and rank.
	void CalcCharaStatus(TCharaInstance& chara) const;
	/// Area index of the id (byte-wise exact match); -1 when absent.
	int GetAreaIndex(const std::string& id) const { return FindAreaIndex(id); }
	/// Binary search of the id over the areas sorted by id; -1 when absent.
	int FindAreaIndex(const std::string& id) const;
	/// Master index of the first master with that definition; -1 when none.
	int GetMasterIndexByData(int dataIndex) const;
	/// Master index of the master id; -1 when the id or its master is absent.
	int GetMasterIndexByID(const std::string& id) const;
	/// First character of that definition in the master's areas, in area and roster order.
	bool FindMasterChara(int master, int charaIndex, int& area, int& position) const;
	/// Area of the master in which its own character stands; -1 when none (a defeated master).
	int GetMasterArea(int master) const;
	/// Some master's own character stands in the area.
	bool AreaHasMaster(int area) const;
	/// The character stands in an area, wanders or is dead.
	bool CharaExists(int charaIndex) const;
	/// Copy of the wandering character; an Error and a new rank-0 character 0 when it is not wandering.
	TCharaInstance GetWanderingChara(int charaIndex) const;
	/// Alliance index of masters a and b in either order; -1 when none.
	int FindAlliance(int a, int b) const;
	/// Id of the hero with the n-th most wins (0-based) over all areas; false when there is none or it has no win.
	bool GetChampion(int n, std::string& id) const;
	/// Areas the master holds.
	int GetMasterAreaCount(int master) const;
	/// Stationed heroes over the master's areas.
	int GetMasterHeroCount(int master) const;
	/// Sum of the power of the area's characters.
	int GetAreaPower(int area) const;
	/// Sum of the power of the master's areas.
	int GetMasterPower(int master) const;
	/// Development levels of the area.
	int GetAreaCity(int area) const;
	int GetAreaWall(int area) const;
	int GetAreaRoad(int area) const;
	/// Sets the level clamped to 0..max and shows it on the area's battle map.
	void SetAreaCity(int area, int value);
	void SetAreaWall(int area, int value);
	void SetAreaRoad(int area, int value);
	/// After a battle: the levels become the objects left on the battle map, whose terrain is restored.
	void UpdateAreaFromBattleMap(int area);
	/// Adds the amount (may be negative) to the master's money.
	void PlusMasterMoney(int master, int amount);
	/// "title chapter master NNターン" caption of a save slot.
	void GetSaveCaption(std::string& caption) const;

	// Money, power and costs.

	/// Definition's Power x 1000 + rank x 101.
	int CalcCharaPower(const TCharaInstance& chara) const;
	/// (City / 4 + base income), doubled when Road is at its max.
	int GetAreaIncome(int area) const;
	/// Brings every master's income and its upkeep of heroes up to date with what its areas hold: only the
	/// areas changed since the last count are counted again. Every rule that changes areas does it when it
	/// returns, so the kept figures always equal a count over the whole map, held at the 32-bit limits; a
	/// change written through GetArea counts at the next rule or call.
	void CalcIncome();
	/// Recomputes every master's power sum.
	void CalcMasterPower();
	/// Price a computer master pays for the character at the game level.
	int GetCOMEmployCost(int charaIndex) const;
	/// Whether the master's race accepts the candidate: same race always, distance 3 or more never, else 1 in distance + 1.
	bool CheckEmployAffinity(int master, int charaIndex) const;
	/// Applies rank-up and class change after experience was added; true only for a class change.
	bool CheckRankUp(TCharaInstance& chara) const;

	// Characters on the map.

	/// Hires a new character into an owned area through the stationed employer at the position.
	bool EmployCharacter(int area, int employer, int charaIndex);
	/// Hire candidates through the employer: its Employable list, then the area's.
	void GetEmployableCharas(int area, int employer, std::vector<int>& charas) const;
	/// Hires the wandering hero into an owned area with room for its EmployCost.
	bool EmployWanderingChara(int area, int charaIndex);
	/// Sends the stationed character at the position out of the game.
	bool DismissCharacter(int area, int position);
	/// Exchanges the characters at positions1 of area1 with those at positions2 of area2; moved ones have acted.
	bool MoveCharacter(int area1, int area2, const std::vector<int>& positions1, const std::vector<int>& positions2);
	/// Moves the characters at the positions of area1 to area2.
	bool MoveCharacterNoList(int area1, int area2, const std::vector<int>& positions);
	/// Puts the character into the area by script: a wandering hero comes with its record, others as new;
	/// false, unchanged, after an Error for a bad index or a hero that already stands in an area.
	bool InsertAreaChara(int area, int charaIndex);
	/// Erases the stationed character at the position.
	void RemoveAreaChara(int area, int position);
	/// Restores the roster order of the area.
	void SortAreaCharas(int area);
	/// Sorts each area of the set in increasing index order.
	void SortAreaCharasOf(const std::set<int>& areas);
	/// Fills the free places of the area with inhabitants within a budget.
	void PlaceInhabitants(int area);
	/// Fills every area with inhabitants, in index order.
	void PlaceAllInhabitants();
	/// Puts the hero on the wandering list; false after an Error when it is already dead or wandering.
	bool AddWanderChara(const TCharaInstance& chara);
	/// Puts the heroes whose appearance window holds the turn and who stand nowhere on the wandering list.
	void AddAppearingHeroes();
	/// The current master's hero search in its "SearchHero" areas.
	void CheckSearchHero();
	/// Takes the last finding of the hero search; false when none is left.
	bool PopFoundHero(int& area, int& charaIndex);
	/// Gives the master another definition and puts the new master's character in place of the old one.
	void ChangeMasterType(int master, int dataIndex, int oldCharaIndex);

	// Turns, master order and alliances.

	/// Ends the current master's turn and makes the next one current; true when a new turn began.
	bool ActivateNextMaster();
	/// The standing orders of the current master's areas.
	void DoAreaOperations();
	/// Orders every master by power sum, weakest first; the position goes back before the first.
	void BuildMasterOrder();
	/// Sets the player flag of the first master with that definition.
	void SetMasterPlayer(int dataIndex, bool player);
	/// True when no existing master has an enemy left, or no master exists.
	bool CheckGameEnd() const;
	/// Some other master exists that is not allied with this one without end.
	bool ExistsConstantEnemyMaster(int master) const;
	/// Marks the game decided; an existing master becomes current when the current one is gone.
	void SetGameEnd();
	/// No existing master is played by the player.
	bool NoPlayerMasterExists() const;
	/// Existing masters whose own character stands in none of their areas, in index order.
	void GetDefeatedMasters(std::vector<int>& masters) const;
	/// Removes every defeated master.
	void RemoveDefeatedMasters();
	/// The master's heroes wander, its areas turn neutral and refill, its alliances end.
	void RemoveMaster(int master);
	/// Price of an alliance for the turns; turns -1 tops the alliance up to 6 turns.
	int GetAllianceCost(int master1, int master2, int turns) const;
	/// Master1 pays master2 the price; their alliance gains the turns or begins.
	bool MakeAlliance(int master1, int master2, int turns, int price);
	/// Sets the remaining turns of the masters' alliance, or begins one.
	void SetAlliance(int master1, int master2, int turns);
	/// Removes every alliance with no turn left.
	void PurgeExpiredAlliances();
	/// The current master may attack the area.
	bool CanInvadeArea(int area) const;

	// Moves after a battle.

	/// Puts every character of a finished battle where it belongs; heroes whose area fell go to the homeless list.
	bool MoveCharaAfterBattleDepWin(const std::vector<TAreaCharaPos>& army, const std::vector<TCharaInstance>& attackers,
		const std::vector<TCharaInstance>& defenders, std::vector<TCharaInstance>& homeless, int area, int master,
		bool attackerWon);
	/// Places a copy in a neighbour of the area held by the master (-1: neutral); answers that neighbour or -1.
	int FleeToNeighborArea(int area, int master, const TCharaInstance& chara);
	/// The stationed character takes the battle copy's class, rank, experience and wins.
	void UpdateCharaFromBattle(TCharaInstance& stationed, const TCharaInstance& copy) const;
	/// Neighbours held by the area's owner and their free places; answers the sum of free places.
	int GetOwnNeighborAreas(int area, std::vector<int>& areas, std::vector<int>& freePlaces) const;
	/// The listed characters stand once each in areas other than the area; an Error naming the caller otherwise.
	bool CheckArmy(const std::vector<TAreaCharaPos>& army, int area, const char* caller) const;
	/// Gives the undefended area to the master and moves the listed characters into it.
	bool OccupyArea(const std::vector<TAreaCharaPos>& army, int area, int master);

private:
	/// Held by each rule that changes areas: when the outermost rule returns, the incomes and upkeep are
	/// counted again where its areas changed. A rule inside another counts nothing of its own, so that the
	/// turn change pays what was counted before the standing orders, as it must.
	class TRecount
	{
	public:
		explicit TRecount(TMorvalethGame& game) : m_Game(game) { ++game.m_RulesRunning; }
		~TRecount()
		{
			if (--m_Game.m_RulesRunning == 0)
				m_Game.CalcIncome();
		}
		TRecount(const TRecount&) = delete;
		TRecount& operator=(const TRecount&) = delete;

	private:
		TMorvalethGame& m_Game;
	};

	/// Definition of a character.
	const TCharaData& CharaData(int charaIndex) const;
	/// Own character of a master; -1 for none or a bad master index.
	int MasterCharaIndex(int master) const;
	/// True for an area index inside the table; an Error naming the caller otherwise.
	bool CheckArea(int area, const char* caller) const;
	/// True for a master index inside the table; an Error naming the caller otherwise.
	bool CheckMaster(int master, const char* caller) const;
	/// Sets one level of the area clamped to 0..max and shows it on the battle map.
	void SetAreaLevel(int area, int value, int TAreaInstance::*level, int TAreaInstance::*max,
		int (TBattleMap::*show)(int));
	/// Which definitions stand in an area or on a list, by definition index.
	std::vector<bool> MarkPresentCharas() const;
	/// A character that found no place: a hero wanders, any other is gone.
	void LoseChara(const TCharaInstance& chara);

	// Steps of the new-game and saved-game loaders and of the save writer; those answering bool are false after an Error.

	/// One "Area" element of the area data or a save.
	bool ReadAreaElement(const TiXmlElement* element, TAreaInstance& area) const;
	/// The power-map paint points of every area.
	void CopyPaintPoints();
	/// The whole new game, built into this fresh state.
	bool BuildNewGame(const std::string& folder, int chapter, int level);
	/// The scenario's "/Data/AreaData.xml" and the areas' battle maps.
	bool ReadAreaData(const std::string& folder);
	/// One master in play per master of the chapter, in chapter order.
	bool AddChapterMasters(const TChapterInfo& chapter, const std::string& path);
	/// Owners and ignore flags of the areas the chapter names.
	bool SetChapterAreas(const TChapterInfo& chapter);
	/// The chapter's characters; counts how many of each definition were placed.
	void PlaceChapterCharas(const TChapterInfo& chapter, std::vector<int>& placed);
	/// City, Wall and Road of a new game, by owner and whether a master stands in the area.
	void SetStartingLevels();
	/// The chapter's alliances between masters of the chapter.
	bool SetChapterAlliances(const TChapterInfo& chapter);
	/// Puts every hero that may wander and that the chapter placed nowhere on the wandering list.
	void AddUnplacedHeroes(const std::vector<int>& placed);
	/// The whole saved game, read into this fresh state.
	bool ReadSavedGame(const std::string& folder, const TiXmlElement* parent);
	/// The saved level and turn counters.
	bool ReadSavedCounters(const TiXmlElement* parent);
	/// The saved masters in index order.
	bool ReadSavedMasters(const TiXmlElement* parent);
	/// The saved alliances.
	bool ReadSavedAlliances(const TiXmlElement* parent);
	/// The saved master order and order position.
	bool ReadSavedOrder(const TiXmlElement* parent);
	/// The saved areas, their battle maps from the scenario and the saved objects on them.
	bool ReadSavedAreas(const std::string& folder, const TiXmlElement* parent);
	/// The saved characters: stationed, wandering and dead.
	bool ReadSavedCharas(const TiXmlElement* parent);
	/// One saved "Character" element into its area or list; the heroes placed so far are marked, this one too.
	bool ReadSavedChara(const TiXmlElement* element, std::vector<bool>& placedHeroes);
	/// Whether SaveToXML can write the state so that LoadSaved takes it back; an Error otherwise.
	bool CheckSavable() const;
	/// Appends the master list, the alliances and the master order of a save.
	void SaveMasters(TiXmlElement* parent) const;
	/// Appends one "Character" per character instance to the save's character list.
	void SaveCharas(TiXmlElement* list) const;

	// Steps of the rules.

	/// The checks of a hire in their order, each refusal logged; the price and rank of the recruit.
	bool CheckEmploy(int area, int employer, int charaIndex, int& price, int& rank) const;
	/// Sorts both position lists and tests the whole exchange before anything moves.
	bool CheckMovePositions(int area1, int area2, std::vector<int>& sorted1, std::vector<int>& sorted2) const;
	/// Moves the characters at the sorted positions, the highest first, marking them as having acted.
	void MoveCharas(int from, int to, const std::vector<int>& sorted);
	/// Who may settle in the area, at which rank and for how much in all; false when nobody.
	bool InhabitantBudget(int area, std::vector<int>& candidates, int& rank, int& budget) const;
	/// The dearest candidate within the budget, some skipped at random; -1 when none.
	int PickInhabitant(const std::vector<int>& candidates, int budget) const;
	/// The hero search attempts of one area, each hero found once.
	void SearchHeroIn(int area, std::set<int>& found);
	/// Area for a new master character: the first with room, else the full one with the weakest last place.
	int FindAreaForNewMaster(int master) const;
	/// Makes the next existing master of the order current; false when the order is exhausted.
	bool AdvanceOrder();
	/// Pays income less upkeep, counts the alliances down and orders the masters for the new turn.
	void StartNewTurn();
	/// Removes the alliances that ran out and takes a turn from each other one with an end.
	void CountAllianceDown();
	/// Debug lines for heroes in two places or in none.
	void CheckConsistency() const;
	/// The idle characters of the area gain experience.
	void TrainArea(int area);
	/// What the area earns for its owner: its income and the upkeep of its heroes.
	TAreaEarnings AreaEarnings(int area) const;
	/// Takes the owners and earnings of the changed areas into the ledger.
	void UpdateLedger();
	/// The arguments of a battle's end fit the game; one Error otherwise.
	bool CheckBattleArguments(const std::vector<TAreaCharaPos>& army, const std::vector<TCharaInstance>& attackers,
		const std::vector<TCharaInstance>& defenders, int area, int master) const;
	/// Erases the characters at the places, the highest position of an area first.
	void EraseArmy(const std::vector<TAreaCharaPos>& places);
	/// Places the living characters that joined a side in the area or, fleeing, in a neighbour of the master.
	void PlaceJoinedCharas(const std::vector<TCharaInstance>& joined, int area, int fleeMaster, bool allFlee,
		const char* fleeWarning, const char* fullWarning, std::set<int>& sortSet);
	/// The defenders' side of a battle's end, the area changing hands when the attacker won.
	void MoveDefendersAfterBattle(const std::vector<TCharaInstance>& defenders, std::vector<TCharaInstance>& homeless,
		int area, int master, bool attackerWon, std::set<int>& sortSet);
	/// The army's side of a battle's end: the dead off the map, the winners into the area, the rest home.
	void MoveArmyAfterBattle(const std::vector<TAreaCharaPos>& army, const std::vector<TCharaInstance>& attackers,
		int area, bool attackerWon, std::set<int>& sortSet);

	/// Areas sorted by id.
	std::vector<TAreaInstance> m_Areas;
	/// Masters in chapter order.
	std::vector<TMasterInstance> m_Masters;
	std::vector<TAlliance> m_Alliances;
	/// Heroes that died in battle.
	std::vector<TCharaInstance> m_DeadCharas;
	/// Heroes that belong to no area and can be found or hired.
	std::vector<TCharaInstance> m_WanderCharas;
	/// Findings of the last hero search: (area, definition), taken from the back.
	std::vector<std::pair<int, int>> m_FoundHeroes;
	/// (master index, power sum) in acting order.
	std::vector<std::pair<int, int>> m_MasterOrder;
	/// Position in the master order; -1 before the first master of a turn.
	int m_OrderPosition;
	int m_GameLevel;
	int m_Turn;
	int m_ProgressedTurn;
	/// 0-based chapter index.
	int m_ChapterIndex;
	/// Master whose turn it is; -1 when none.
	int m_CurrentMaster;
	bool m_GameEnded;
	/// Borrowed; never null.
	const TMorvalethData* m_Data;
	/// Battle maps as their files gave them, by path: the areas' maps start as copies of them.
	std::map<std::string, boost::shared_ptr<const TBattleMap>> m_MapFiles;
	/// The areas' changes since incomes were added up and acted marks cleared.
	TAreaLedger m_Ledger;
	/// Rules running one inside another; the outermost counts the incomes again when it returns.
	int m_RulesRunning = 0;
	/// Targets of writes through a bad index, so that they land nowhere.
	TAreaInstance m_ScratchArea;
	TMasterInstance m_ScratchMaster;
	TAlliance m_ScratchAlliance;
};

#endif
