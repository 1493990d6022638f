#include "app/GameMaster.h"

#include "app/GameConfig.h"
#include "app/HexGrid.h"
#include "app/Logger.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"

#include <guichan/gui.hpp>

TDremoGameMaster g_GameMaster;

namespace
{
const std::size_t KEY_QUEUE_CAPACITY = 16;
}

TDremoGameMaster::TDremoGameMaster()
	: m_GameRunning(false), m_AudioOpened(false), m_KeyQueue(KEY_QUEUE_CAPACITY)
{
}

TDremoGameMaster::~TDremoGameMaster()
{
}

void TDremoGameMaster::Init()
{
	BuildNeighborTable();
	ApplyScreenSlides();

	// The skin lies in the working folder, not under the data root. Windows are
	// built with a skin manager even when its image is missing.
	boost::shared_ptr<TGcnSkinManager> skin(new TGcnSkinManager());
	if (!skin->LoadImage(std::string(".")))
		LOG_WARNING("読み込めなかったスキン画像がある");
	m_Skin = skin;
	if (g_GuiContext.m_Gui && g_GuiContext.m_Gui->getTop())
		BuildFrontEnd();
}

void TDremoGameMaster::ApplyScreenSlides()
{
	g_DrawRectangleSlide.Set(g_Config.GetIntValue(CONFIG_SLIDE_LEFT), g_Config.GetIntValue(CONFIG_SLIDE_RIGHT),
		g_Config.GetIntValue(CONFIG_SLIDE_TOP), g_Config.GetIntValue(CONFIG_SLIDE_BOTTOM));
}

void TDremoGameMaster::ReleaseGame()
{
	// Users first: the controller reads the game state, which reads the database
	// and the media; the widget set goes last, after the windows' owners.
	m_WorldMap.reset();
	m_Game.reset();
	m_Data.reset();
	m_Image.reset();
	m_Mixer.reset();
	m_WidgetSet.reset();
}

void TDremoGameMaster::PushKey(int key)
{
	// A full queue keeps its keys: the newest one is the one lost.
	if (!m_KeyQueue.full())
		m_KeyQueue.push_back(key);
}

bool TDremoGameMaster::PeekKey(int& key) const
{
	if (m_KeyQueue.empty())
		return false;
	key = m_KeyQueue.front();
	return true;
}

void TDremoGameMaster::PopKey()
{
	if (!m_KeyQueue.empty())
		m_KeyQueue.pop_front();
}

void TDremoGameMaster::ClearKeys()
{
	m_KeyQueue.clear();
}
