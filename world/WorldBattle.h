#ifndef MORVALETH_WORLD_WORLDBATTLE_H
#define MORVALETH_WORLD_WORLDBATTLE_H

#include "model/GameRecords.h"

#include <vector>

class TBattleInterface;
class TBattleMap;
class TScriptAPI;

/// The battle as the world map uses it: started on the target's map, stepped once a frame while it runs,
/// read once it is over. The sides are the world map's lists and are changed in place.
class TWorldBattle
{
public:
	/// The world map deletes its battle through this interface.
	virtual ~TWorldBattle() = default;

	/// Prepares a battle: defenders (side 0) and attackers (side 1) with their masters (-1 neutral) and, per side
	/// and chara, the area each came from (-1 for a defender); true when it is not watched.
	virtual bool Start(TBattleMap& map, const std::vector<std::vector<TCharaInstance>*>& sides,
		const std::vector<int>& masters, int target, const std::vector<std::vector<int>>& sources) = 0;
	/// One frame of the battle; nothing while none runs.
	virtual void DoLogic() = 0;
	/// A battle runs.
	virtual bool IsRunning() const = 0;
	/// The last battle stopped after an error; its sides are as it left them and must not be applied.
	virtual bool HasFailed() const = 0;
	/// Side that won the last battle: 0 the defenders, 1 the attackers.
	virtual int GetWinner() const = 0;
	/// No side of the battle belongs to a player master.
	virtual bool HasNoPlayerSide() const = 0;
	/// The battle goes on unseen, at full speed.
	virtual void StopWatching() = 0;
	/// Takes the speed settings over after the settings changed.
	virtual void ApplySpeedSetting() = 0;
	/// The windows scripts open during a battle.
	virtual void SetScriptAPI(TScriptAPI* scriptApi) = 0;
	/// The interface the engine functions query; null when there is no battle controller.
	virtual TBattleInterface* GetInterface() = 0;
};

#endif
