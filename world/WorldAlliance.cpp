// Alliance offers on the world map: the player's offer to another master, a computer master's offer
// to the player or to another computer master, and the answers.

#include "world/WorldMapLogic.h"

#include "app/Logger.h"
#include "gui/MsgDlg.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"

namespace
{
/// Turns of a new alliance; an extension tops an alliance up to it.
const int ALLIANCE_TURNS = 6;
}

bool TWorldMapLogic::CheckProposal(int partner, int turns, int price) const
{
	const int current = m_Game.GetCurrentMaster();
	const char* refusal = nullptr;
	// Only the strategy whose turn it is can wait for a dialog; a partner answering an offer cannot offer.
	if (m_LogicStatus != WORLD_STRATEGY || m_AskingPartner || m_EndTurnRequested)
		refusal = "同盟の申し込みは手番のコンピュータマスターの戦略スクリプトからのみ行えます。";
	else if (partner < 0 || partner >= m_Game.GetMasterCount() || !m_Game.GetMaster(partner).Exists)
		refusal = "存在しないマスターに同盟を申し込もうとしました。";
	else if (partner == current)
		refusal = "自分自身に同盟を申し込もうとしました。";
	else if (turns < 1)
		refusal = "同盟のターン数は1以上でなければなりません。";
	else if (price < 0)
		refusal = "同盟の費用が負です。";
	else if (m_Game.FindAlliance(current, partner) >= 0
		&& m_Game.GetAlliance(m_Game.FindAlliance(current, partner)).Turns == ALLIANCE_ENDLESS)
		refusal = "既に無期限の同盟を結んでいます。";
	if (refusal)
		LOG_ERROR("%s (partner %d, %d turns, price %d)", refusal, partner, turns, price);
	return !refusal;
}

bool TWorldMapLogic::ProposeAlliance(int partner, int turns, int price)
{
	// A refused offer is settled at once: nothing happens and the script goes on.
	if (!CheckProposal(partner, turns, price))
		return true;
	const int proposer = m_Game.GetCurrentMaster();
	const std::string& money = m_Data.GetMoneyWord();
	if (m_Game.GetMaster(partner).Player) {
		m_AlliancePartner = partner;
		m_AllianceTurns = turns;
		m_AllianceCost = price;
		const char* question = turns == ALLIANCE_TURNS
			? "%sが%d%sで%dターンの同盟を申し込んで来ました。\n同盟を結びますか？"
			: "%sが%d%sで%dターンの同盟延長を申し込んで来ました。\n同盟を延長しますか？";
		m_View.ShowMessage("確認", FormatText(question, MasterName(proposer), price, money, turns), BUTTON_YES | BUTTON_NO, 0);
		m_LogicStatus = WORLD_ALLIANCE_QUESTION;
		return false;
	}
	bool accepted = false;
	if (!AskProposedAlliance(proposer, partner, accepted)) {
		Halt();
		return false;
	}
	if (!accepted)
		return true;
	m_Game.MakeAlliance(proposer, partner, turns, price);
	if (turns != ALLIANCE_TURNS)
		return true;
	ShowTimedMessage(FormatText("%sが%sと同盟を結びました。", MasterName(proposer), MasterName(partner)), WORLD_STRATEGY);
	return false;
}

bool TWorldMapLogic::AskProposedAlliance(int proposer, int partner, bool& accepted)
{
	TMorvalethLuaManager& strategy = Strategy(partner);
	const std::vector<std::string> ids = {m_Data.GetMasterData(m_Game.GetMaster(proposer).DataIndex).id,
		m_Data.GetMasterData(m_Game.GetMaster(partner).DataIndex).id};
	m_AskingPartner = true;
	const bool called = strategy.CallFunction("on_proposed_alliance", ids);
	m_AskingPartner = false;
	if (!called)
		return false;
	// The answer is needed now: a partner that waits for frames gives none.
	if (strategy.IsSuspended()) {
		LOG_ERROR("on_proposed_alliance は中断できません（%s）。", ids[1]);
		return false;
	}
	accepted = strategy.GetResult();
	return true;
}

void TWorldMapLogic::OfferAllianceTo(int area)
{
	const int proposer = m_Game.GetCurrentMaster();
	const int owner = area >= 0 && area < m_Game.GetAreaCount() ? m_Game.GetArea(area).Owner : -1;
	if (owner < 0 || owner == proposer)
		return;
	m_View.SetGuideText("");
	m_LogicStatus = WORLD_PLAYER_IDLE;
	const int alliance = m_Game.FindAlliance(proposer, owner);
	const int remaining = alliance >= 0 ? m_Game.GetAlliance(alliance).Turns : 0;
	if (remaining == ALLIANCE_ENDLESS) {
		ShowInformation(FormatText("%sとは既に無期限の同盟を結んでいます。", MasterName(owner)));
		return;
	}
	// An alliance with a full term or more has nothing to extend (an extension would cost a negative price).
	if (remaining >= ALLIANCE_TURNS) {
		ShowInformation(FormatText("%sとは既に%dターンの同盟を結んでいます。", MasterName(owner), remaining));
		return;
	}
	const int turns = ALLIANCE_TURNS - remaining;
	const int cost = m_Game.GetAllianceCost(proposer, owner, turns);
	const std::string& money = m_Data.GetMoneyWord();
	if (cost > m_Game.GetMaster(proposer).Money) {
		const char* text = turns == ALLIANCE_TURNS ? "%sと同盟を結ぶには%d%s必要ですが、資金が足りません。"
												   : "%sとの同盟を延長するには%d%s必要ですが、資金が足りません。";
		ShowInformation(FormatText(text, MasterName(owner), cost, money));
		return;
	}
	m_AlliancePartner = owner;
	m_AllianceTurns = turns;
	m_AllianceCost = cost;
	const char* question = turns == ALLIANCE_TURNS ? "%sに%d%sで%dターンの同盟を申し込みますか？"
												   : "%sに%d%sで%dターンの同盟延長を申し込みますか？";
	m_View.ShowMessage("確認", FormatText(question, MasterName(owner), cost, money, turns), BUTTON_YES | BUTTON_NO, 0);
	m_LogicStatus = WORLD_ALLIANCE_QUESTION;
}
