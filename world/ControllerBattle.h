#ifndef MORVALETH_WORLD_CONTROLLERBATTLE_H
#define MORVALETH_WORLD_CONTROLLERBATTLE_H

#include "battle/BattleMapLogic.h"
#include "world/WorldBattle.h"

#include <memory>

/// The world map's battle played by the battle controller, on the battle view it is given.
class TControllerBattle : public TWorldBattle
{
public:
	/// A battle controller over the database and the game, showing on the view.
	TControllerBattle(std::unique_ptr<TBattleView> view, const TMorvalethData& data, TMorvalethGame& game);

	/// The controller prepares the battle; true when it is not watched, false when it is or when it failed
	/// to start (then HasFailed holds).
	bool Start(TBattleMap& map, const std::vector<std::vector<TCharaInstance>*>& sides,
		const std::vector<int>& masters, int target, const std::vector<std::vector<int>>& sources) override;
	/// One frame of the controller: a state step, or unwatched the steps up to the next frame's work.
	void DoLogic() override { m_Logic.DoLogic(); }
	/// The controller is in a battle.
	bool IsRunning() const override { return m_Logic.IsInBattle(); }
	/// The controller's last battle stopped after an error.
	bool HasFailed() const override { return m_Logic.HasFailed(); }
	/// The side that won the controller's last battle (0 also after a failure or at the turn limit).
	int GetWinner() const override { return m_Logic.GetWinner(); }
	/// No side of the controller's battle is played by the player.
	bool HasNoPlayerSide() const override { return m_Logic.HasNoPlayerSide(); }
	/// The controller hides the battle and runs it on at full speed.
	void StopWatching() override { m_Logic.StopWatching(); }
	/// The controller's speed follows the settings while the player chooses a command.
	void ApplySpeedSetting() override { m_Logic.ApplySpeedSetting(); }
	/// The controller hands the script windows to every battle script.
	void SetScriptAPI(TScriptAPI* scriptApi) override { m_Logic.SetScriptAPI(scriptApi); }
	/// The controller itself, which the engine functions query during a battle.
	TBattleInterface* GetInterface() override { return &m_Logic; }

	/// The battle controller itself.
	TBattleMapLogic& GetLogic() { return m_Logic; }
	/// The view the battle shows on.
	TBattleView& GetView() { return *m_View; }

private:
	/// Owned here and declared first, so that it is made before the controller showing on it and goes after it.
	std::unique_ptr<TBattleView> m_View;
	/// The battle controller, idle between battles.
	TBattleMapLogic m_Logic;
};

#endif
