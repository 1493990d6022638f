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

	bool Start(TBattleMap& map, const std::vector<std::vector<TCharaInstance>*>& sides,
		const std::vector<int>& masters, int target, const std::vector<std::vector<int>>& sources) override;
	void DoLogic() override { m_Logic.DoLogic(); }
	bool IsRunning() const override { return m_Logic.IsInBattle(); }
	bool HasFailed() const override { return m_Logic.HasFailed(); }
	int GetWinner() const override { return m_Logic.GetWinner(); }
	bool HasNoPlayerSide() const override { return m_Logic.HasNoPlayerSide(); }
	void StopWatching() override { m_Logic.StopWatching(); }
	void ApplySpeedSetting() override { m_Logic.ApplySpeedSetting(); }
	void SetScriptAPI(TScriptAPI* scriptApi) override { m_Logic.SetScriptAPI(scriptApi); }
	TBattleInterface* GetInterface() override { return &m_Logic; }

	/// The battle controller itself.
	TBattleMapLogic& GetLogic() { return m_Logic; }
	/// The view the battle shows on.
	TBattleView& GetView() { return *m_View; }

private:
	std::unique_ptr<TBattleView> m_View;
	TBattleMapLogic m_Logic;
};

#endif
