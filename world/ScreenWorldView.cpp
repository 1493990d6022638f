#include "world/ScreenWorldView.h"

#include "app/GameMaster.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "gui/WidgetSet.h"
#include "media/MorvalethMixer.h"
#include "model/MorvalethGame.h"
#include "world/ControllerBattle.h"
#include "world/WorldMapLogic.h"

#include <SDL/SDL.h>
#include <guichan/gui.hpp>
#include <guichan/widgets/container.hpp>

/// An invisible widget whose logic steps the world map and its battle once a frame, the logic pass
/// reaching hidden widgets too.
class TWorldMapHeartbeat : public gcn::Widget
{
public:
	TWorldMapHeartbeat() : m_Controller(nullptr)
	{
		setSize(0, 0);
		setVisible(false);
	}

	void logic() override
	{
		if (!m_Controller)
			return;
		m_Controller->Logic();
		if (TWorldBattle* battle = m_Controller->GetBattle())
			battle->DoLogic();
	}

	void draw(gcn::Graphics*) override {}

	TWorldMapLogic* m_Controller;
};

TScreenWorldView::TScreenWorldView(TGcnWidgetSet* widgetSet) : m_WidgetSet(widgetSet), m_Heartbeat(nullptr)
{
}

TScreenWorldView::~TScreenWorldView()
{
	if (m_Heartbeat)
		m_Heartbeat->m_Controller = nullptr;
}

void TScreenWorldView::Build(TWorldMapLogic& controller, int)
{
	boost::shared_ptr<TWorldMapHeartbeat> heartbeat(new TWorldMapHeartbeat());
	heartbeat->m_Controller = &controller;
	m_Heartbeat = heartbeat.get();
	if (m_WidgetSet)
		m_WidgetSet->Add(heartbeat);
	if (g_GuiContext.m_Gui)
		if (gcn::Container* top = dynamic_cast<gcn::Container*>(g_GuiContext.m_Gui->getTop()))
			top->add(m_Heartbeat);
}

void TScreenWorldView::ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout)
{
	ShowMsgDlg(caption, text, buttons, timeout);
}

bool TScreenWorldView::IsMessageVisible() const
{
	return IsMsgDlgVisible();
}

unsigned TScreenWorldView::GetMessageAnswer() const
{
	return g_MsgDlg ? g_MsgDlg->m_Selected : 0;
}

void TScreenWorldView::ChangeMusic(int music, int fadeTime)
{
	if (g_GameMaster.m_Mixer)
		g_GameMaster.m_Mixer->ChangeMusic(music, fadeTime);
}

void TScreenWorldView::ChangeCommonMusic(int id, int fadeTime)
{
	if (g_GameMaster.m_Mixer)
		g_GameMaster.m_Mixer->ChangeCommonMusic(id, fadeTime);
}

void TScreenWorldView::FadeOutMusic(int fadeTime)
{
	if (g_GameMaster.m_Mixer)
		g_GameMaster.m_Mixer->FadeOutMusic(fadeTime);
}

bool TScreenWorldView::IsMusicPlaying() const
{
	return g_GameMaster.m_Mixer && g_GameMaster.m_Mixer->IsMusicPlaying();
}

void TScreenWorldView::PlaySound(int id)
{
	if (g_GameMaster.m_Mixer)
		g_GameMaster.m_Mixer->PlayCommonSound(id);
}

void TScreenWorldView::Quit()
{
	SDL_Event event = SDL_Event();
	event.type = SDL_QUIT;
	SDL_PushEvent(&event);
}

namespace
{
/// A controller with the view it shows on; they live and go together.
struct TScreenWorldMap
{
	TScreenWorldMap(TGcnWidgetSet* widgetSet, TMorvalethGame& game, const TMorvalethData& data)
		: view(widgetSet),
		  logic(view, game, data, widgetSet,
			  std::unique_ptr<TWorldBattle>(new TControllerBattle(std::unique_ptr<TBattleView>(new TNullBattleView),
				  data, game)))
	{
	}

	TScreenWorldView view;
	TWorldMapLogic logic;
};
}

boost::shared_ptr<TWorldMapControl> CreateWorldMapControl(TGcnWidgetSet* widgetSet, TMorvalethGame& game,
	const TMorvalethData& data)
{
	boost::shared_ptr<TScreenWorldMap> map(new TScreenWorldMap(widgetSet, game, data));
	return boost::shared_ptr<TWorldMapControl>(map, &map->logic);
}
