#include "battle/BattleMapLogic.h"

#include "app/GameMaster.h"
#include "app/Logger.h"
#include "model/MorvalethData.h"
#include "script/ScriptLog.h"

namespace
{
const char* const SIDE_SCRIPT = "battlecom.lua";
const char* const BATTLE_SCRIPT = "battle.lua";

// A script that yielded is carried on where it stopped; the host takes no new call meanwhile.
void RunScript(TMorvalethLuaManager& script, const char* function)
{
	if (script.IsSuspended())
		script.Resume();
	else
		script.CallFunction(function);
}
}

// Each battle starts the script log afresh.
bool TBattleMapLogic::LoadScripts()
{
	LuaLogReset();
	std::string path;
	if (!g_GameMaster.FindScriptFile(SIDE_SCRIPT, path)) {
		Fail("COMスクリプトの検索に失敗しました。");
		return false;
	}
	m_SideScripts.clear();
	m_SideScripts.resize(m_Field.sides.size());
	for (std::size_t side = 0; side < m_SideScripts.size(); ++side) {
		TMorvalethLuaManager& script = m_SideScripts[side];
		if (!script.LoadLua(path.c_str())) {
			Fail(FormatText("COMスクリプト %s のロードに失敗しました。", path));
			return false;
		}
		script.SetContext(this, m_ScriptAPI, nullptr);
		script.SetMasterIndex(static_cast<int>(side));
	}
	if (!g_GameMaster.FindScriptFile(BATTLE_SCRIPT, path)) {
		Fail("戦闘イベントスクリプトの検索に失敗しました。");
		return false;
	}
	m_BattleScript = TMorvalethLuaManager();
	if (!m_BattleScript.LoadLua(path.c_str())) {
		Fail(FormatText("戦闘イベント %s のロードに失敗しました。", path));
		return false;
	}
	m_BattleScript.SetContext(this, m_ScriptAPI, nullptr);
	return true;
}

void TBattleMapLogic::CallEverySide(const char* function)
{
	for (TMorvalethLuaManager& script : m_SideScripts)
		RunScript(script, function);
}

bool TBattleMapLogic::WishesRunaway()
{
	TMorvalethLuaManager& script = m_SideScripts[m_Active.side];
	RunScript(script, "check_wish_runaway");
	return !script.IsSuspended() && script.GetResult();
}

// The script commits its chara's action through SetAction, which moves the battle on; a script
// that keeps the chara waiting for its answer too long has it wait, so that no battle stalls.
void TBattleMapLogic::ComputerStep()
{
	RunScript(m_SideScripts[m_Active.side], "on_chara_action");
	if (m_State != STATE_COMPUTER)
		return;
	if (++m_ComputerFrames < COMPUTER_ACTION_FRAMES)
		return;
	LOG_WARNING("on_chara_action of side %d committed no action within %d frames: %s waits", m_Active.side,
		COMPUTER_ACTION_FRAMES, m_Field.CharaData(Active()).Name);
	DoWaitLogic();
}

bool TBattleMapLogic::RunBattleScript(const std::string& function, int kind)
{
	m_BattleScript.CallFunction(function.c_str());
	if (!m_BattleScript.IsSuspended())
		return false;
	m_ScriptRunKind = kind;
	m_State = STATE_SCRIPT;
	return true;
}

// The battle script is resumed once a frame until it has finished; what comes next depends on why it ran.
void TBattleMapLogic::ScriptStep()
{
	if (!m_BattleScript.Resume()) {
		Fail("戦闘イベントスクリプトの再開に失敗しました。");
		return;
	}
	if (m_BattleScript.IsSuspended())
		return;
	const int kind = m_ScriptRunKind;
	m_ScriptRunKind = SCRIPT_RUN_NONE;
	if (kind == SCRIPT_RUN_CONDITION && m_BattleScript.GetResult()) {
		UseSpecial(m_CurrentSpecial, false);
		return;
	}
	if (kind == SCRIPT_RUN_EFFECT && m_Watching) {
		m_WaitCounter = 10;
		m_State = STATE_WAITING;
		return;
	}
	m_State = STATE_MAIN;
}
