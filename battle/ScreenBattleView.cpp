#include "battle/ScreenBattleView.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "battle/BattleMap.h"
#include "battle/BattleMapLogic.h"
#include "battle/HexGeometry.h"
#include "gui/GuiContext.h"
#include "gui/MsgDlg.h"
#include "media/MorvalethImage.h"
#include "media/MorvalethMixer.h"

#include <cstdlib>
#include <SDL/SDL_keysym.h>
#include <guichan/actionevent.hpp>
#include <guichan/gui.hpp>
#include <guichan/key.hpp>
#include <guichan/keyevent.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/widgets/container.hpp>

namespace
{
/// Milliseconds the music playing takes to fade out before the battle's.
const int MUSIC_FADE = 500;
const int MESSAGE_BUTTON_OK = 1;
}

TScreenBattleView::TScreenBattleView()
	: m_MagicWindow(this), m_Logic(nullptr), m_Map(nullptr), m_Top(nullptr), m_KeysListened(false)
{
	m_MapWindow.SetMouseHandler(this);
	m_CommandWindow.SetActionListener(this);
	m_PlaceWindow.SetListener(this);
	m_Top = g_GuiContext.m_Gui ? dynamic_cast<gcn::Container*>(g_GuiContext.m_Gui->getTop()) : nullptr;
	gcn::Widget* const windows[] = {&m_MapWindow, &m_CommandWindow, &m_MagicWindow, &m_AnimationPane,
		&m_CharaListWindow, &m_PlaceWindow, &m_StatusWindow};
	for (gcn::Widget* window : windows) {
		window->setVisible(false);
		if (m_Top)
			m_Top->add(window);
	}
}

TScreenBattleView::~TScreenBattleView()
{
	if (m_KeysListened && g_GuiContext.m_Gui)
		g_GuiContext.m_Gui->removeGlobalKeyListener(this);
	if (!m_Top)
		return;
	gcn::Widget* const windows[] = {&m_MapWindow, &m_CommandWindow, &m_MagicWindow, &m_AnimationPane,
		&m_CharaListWindow, &m_PlaceWindow, &m_StatusWindow};
	for (gcn::Widget* window : windows)
		m_Top->remove(window);
}

void TScreenBattleView::SetLogic(TBattleMapLogic* logic, bool stepEachFrame)
{
	m_Logic = logic;
	if (logic && stepEachFrame)
		m_MapWindow.SetFrameStep([logic]() { logic->DoLogic(); });
	else
		m_MapWindow.SetFrameStep(nullptr);
}

void TScreenBattleView::BeginBattle(const TBattleMap& map, const TValueLayer<int>& selection)
{
	m_Map = &map;
	m_MapWindow.m_MapPane.SetMap(&map, &selection);
	// Cleared, not replaced: a new widget would not belong to the window.
	m_MapWindow.m_BottomPane.Clear();
	m_MapWindow.m_BottomPane.m_Map = &map;
	m_MapWindow.m_Message.clear();
	m_AnimationPane.Clear();
	if (!m_KeysListened && g_GuiContext.m_Gui) {
		g_GuiContext.m_Gui->addGlobalKeyListener(this);
		m_KeysListened = true;
	}
}

void TScreenBattleView::ShowMapWindow()
{
	if (!m_Top)
		return;
	m_MapWindow.LayoutForBattle(m_Top->getWidth(), m_Top->getHeight());
	Raise(m_MapWindow);
}

void TScreenBattleView::HideMapWindow()
{
	m_MapWindow.setVisible(false);
}

void TScreenBattleView::EndBattle()
{
	gcn::Widget* const windows[] = {&m_MapWindow, &m_CommandWindow, &m_MagicWindow, &m_AnimationPane,
		&m_CharaListWindow, &m_PlaceWindow, &m_StatusWindow};
	for (gcn::Widget* window : windows)
		window->setVisible(false);
	if (m_KeysListened && g_GuiContext.m_Gui)
		g_GuiContext.m_Gui->removeGlobalKeyListener(this);
	m_KeysListened = false;
	// The map may go with the battle: nothing keeps pointing at it.
	m_MapWindow.m_MapPane.SetMap(nullptr, nullptr);
	m_MapWindow.m_BottomPane.m_Map = nullptr;
	m_PlaceWindow.m_Pane.SetList(nullptr, nullptr);
	m_Map = nullptr;
}

void TScreenBattleView::SetSpeed(int level)
{
	m_MapWindow.m_MapPane.SetFramesPerStep(level);
}

void TScreenBattleView::SetGauges(const TSideGauges& gauges)
{
	m_MapWindow.m_TopPane.m_Gauges = gauges;
	m_CharaListWindow.m_Pane.m_Gauges = gauges;
}

void TScreenBattleView::SetSprites(const std::vector<TCharaSprite>& sprites)
{
	m_MapWindow.m_MapPane.m_Sprites = sprites;
}

void TScreenBattleView::SetSprite(int slot, const TCharaSprite& sprite)
{
	std::vector<TCharaSprite>& sprites = m_MapWindow.m_MapPane.m_Sprites;
	if (slot >= 0 && slot < static_cast<int>(sprites.size()))
		sprites[slot] = sprite;
}

void TScreenBattleView::SetCursor(int x, int y)
{
	m_MapWindow.m_MapPane.SetCursor(x, y);
}

void TScreenBattleView::SetHover(int x, int y, int)
{
	m_MapWindow.m_BottomPane.m_CellX = x;
	m_MapWindow.m_BottomPane.m_CellY = y;
}

void TScreenBattleView::ScrollTo(int px, int py)
{
	m_MapWindow.ScrollTo(px, py);
}

void TScreenBattleView::SetHighlights(const std::vector<point_t>& cells)
{
	std::vector<gcn::Rectangle>& frames = m_MapWindow.m_MapPane.m_Highlights;
	frames.clear();
	for (const point_t& cell : cells) {
		const point_t at = CellTopLeft(cell.x, cell.y);
		frames.push_back(gcn::Rectangle(at.x, at.y, HEX_CELL_SIZE, HEX_CELL_SIZE));
	}
}

void TScreenBattleView::SetMarks(const std::vector<point_t>& cells, const gcn::Color& colour)
{
	m_MapWindow.m_MapPane.m_Marks = cells;
	m_MapWindow.m_MapPane.m_MarkColour = colour;
}

void TScreenBattleView::AddPopup(int px, int py, const std::string& text, const gcn::Color& colour)
{
	m_MapWindow.m_MapPane.AddPopup(text, px, py, colour);
}

void TScreenBattleView::ClearPopups()
{
	m_MapWindow.m_MapPane.m_Popups.clear();
}

void TScreenBattleView::SetEffectSprites(const std::vector<TEffectSprite>& sprites)
{
	m_MapWindow.m_MapPane.m_Effects = sprites;
}

// The screen effect is one frame of its image, centred on the screen over every battle window.
void TScreenBattleView::SetScreenEffect(const TEffectSprite* sprite)
{
	if (!sprite) {
		m_AnimationPane.Clear();
		m_AnimationPane.setVisible(false);
		return;
	}
	int width = 0;
	int height = 0;
	if (g_GameMaster.m_Image)
		g_GameMaster.m_Image->GetEffectImageSize(sprite->image, width, height);
	const int columns = sprite->frameWidth > 0 && width >= sprite->frameWidth ? width / sprite->frameWidth : 1;
	m_AnimationPane.Setup(sprite->image, sprite->frameWidth, sprite->frameHeight,
		sprite->row * columns + sprite->column);
	g_GuiContext.CenterWidget(&m_AnimationPane);
	m_AnimationPane.setVisible(true);
	Raise(m_AnimationPane);
}

void TScreenBattleView::SetSpecialName(const std::string& name)
{
	m_MapWindow.m_Message = name;
}

void TScreenBattleView::SetStatusLine(const std::string& text)
{
	m_MapWindow.m_BottomPane.m_StatusLine = text;
}

void TScreenBattleView::SetBottomChara(const TCharaInstance* chara, int side)
{
	TBattleBottomPane& pane = m_MapWindow.m_BottomPane;
	pane.m_CharaShown = chara != nullptr;
	if (!chara) {
		pane.m_MoveType = -1;
		return;
	}
	pane.m_Chara = *chara;
	pane.m_CharaSide = side;
	pane.m_MoveType = chara->MoveType;
}

void TScreenBattleView::ShowCommandBar(const TCommandMenu& menu)
{
	// Keys pressed for an earlier chara do not command this one; while the settings are open the keys are
	// theirs (a key asked for by ショートカット is not lost), and closing them drops the rest.
	if (!IsConfigWindowVisible())
		g_GameMaster.ClearKeys();
	m_CommandWindow.Show(menu);
	PlaceCommandBar();
	Raise(m_CommandWindow);
}

void TScreenBattleView::PlaceCommandBar()
{
	const gcn::Rectangle map = m_MapWindow.getDimension();
	const gcn::Rectangle bottom = m_MapWindow.m_BottomPane.getDimension();
	const gcn::Rectangle area = m_MapWindow.getChildrenArea();
	m_CommandWindow.setPosition(map.x + (map.width - m_CommandWindow.getWidth()) / 2,
		map.y + area.y + bottom.y - m_CommandWindow.getHeight() - 8);
}

void TScreenBattleView::HideCommandBar()
{
	m_CommandWindow.setVisible(false);
}

void TScreenBattleView::ShowMagicWindow(const TCharaInstance& chara, const std::vector<int>& useCounts)
{
	m_MagicWindow.SetChara(chara, useCounts);
	g_GameMaster.KeepDialogsOnTop();
}

void TScreenBattleView::HideMagicWindow()
{
	m_MagicWindow.setVisible(false);
}

void TScreenBattleView::ShowPlacement(const std::vector<TCharaInstance>& charas, const std::vector<int>& placed)
{
	m_PlaceWindow.m_Pane.SetList(&charas, &placed);
	m_PlaceWindow.Show();
	if (m_Top)
		m_PlaceWindow.setPosition(0, (m_Top->getHeight() - m_PlaceWindow.getHeight()) / 2);
	Raise(m_PlaceWindow);
}

void TScreenBattleView::SelectPlacement(int index)
{
	m_PlaceWindow.m_Pane.m_Selected = index;
}

void TScreenBattleView::HidePlacement()
{
	m_PlaceWindow.setVisible(false);
	m_PlaceWindow.m_Pane.SetList(nullptr, nullptr);
}

void TScreenBattleView::ShowCharaList(const std::vector<int>& masters,
	const std::vector<std::vector<TCharaInstance>*>& sides, bool flag)
{
	m_CharaListWindow.Show(masters, sides, flag);
	g_GameMaster.KeepDialogsOnTop();
}

void TScreenBattleView::HideCharaList()
{
	m_CharaListWindow.setVisible(false);
}

void TScreenBattleView::ShowFullStatus(const TCharaInstance& chara)
{
	m_StatusWindow.Show(chara);
	g_GuiContext.CenterWidget(&m_StatusWindow);
	Raise(m_StatusWindow);
}

void TScreenBattleView::HideFullStatus()
{
	m_StatusWindow.setVisible(false);
}

bool TScreenBattleView::IsFullStatusVisible() const
{
	return m_StatusWindow.isVisible();
}

void TScreenBattleView::ShowMessage(const std::string& text)
{
	ShowMsgDlg("Information", text, MESSAGE_BUTTON_OK, g_Config.m_MessageTimeoutFrame);
}

bool TScreenBattleView::IsMessageVisible() const
{
	return IsMsgDlgVisible();
}

bool TScreenBattleView::IsConfigWindowVisible() const
{
	return g_GameMaster.IsConfigWindowVisible();
}

void TScreenBattleView::PlayMusic(int music)
{
	if (g_GameMaster.m_Mixer)
		g_GameMaster.m_Mixer->ChangeMusic(music, MUSIC_FADE);
}

void TScreenBattleView::PlayCommonMusic(int id)
{
	if (g_GameMaster.m_Mixer)
		g_GameMaster.m_Mixer->ChangeCommonMusic(id, MUSIC_FADE);
}

void TScreenBattleView::PlaySound(int id)
{
	if (g_GameMaster.m_Mixer)
		g_GameMaster.m_Mixer->PlayCommonSound(id);
}

// The settings and the save slots, opened over the battle, and a message stay in front of the battle's
// windows that come up while they are open: the next chara's command bar never covers their buttons.
void TScreenBattleView::Raise(gcn::Widget& window)
{
	window.requestMoveToTop();
	g_GameMaster.KeepDialogsOnTop();
}

point_t TScreenBattleView::CellAt(int px, int py) const
{
	return m_Map ? CellFromPixel(px, py, m_Map->GetWidth(), m_Map->GetHeight()) : point_t{-1, 0};
}

void TScreenBattleView::mousePressed(gcn::MouseEvent& mouseEvent)
{
	const point_t cell = CellAt(mouseEvent.getX(), mouseEvent.getY());
	if (m_Logic && cell.x != -1)
		m_Logic->MapPressed(cell.x, cell.y, mouseEvent.getButton() == gcn::MouseEvent::LEFT);
}

void TScreenBattleView::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	const point_t cell = CellAt(mouseEvent.getX(), mouseEvent.getY());
	if (m_Logic && cell.x != -1)
		m_Logic->MapHovered(cell.x, cell.y);
}

void TScreenBattleView::PlaceEntryChosen(int entry)
{
	if (m_Logic)
		m_Logic->PlacementListPressed(entry);
}

void TScreenBattleView::action(const gcn::ActionEvent& actionEvent)
{
	if (!m_Logic)
		return;
	const int command = m_CommandWindow.CommandOf(actionEvent.getSource());
	if (command != -1)
		m_Logic->CommandPressed(command);
	else if (m_MagicWindow.IsPane(actionEvent.getSource()))
		m_Logic->MagicChosen(std::atoi(actionEvent.getId().c_str()));
}

// Function keys are numbered alike by guichan and SDL.
void TScreenBattleView::keyPressed(gcn::KeyEvent& keyEvent)
{
	const int key = keyEvent.getKey().getValue();
	if (m_Logic && key >= gcn::Key::F1 && key <= gcn::Key::F15)
		m_Logic->KeyPressed(SDLK_F1 + (key - gcn::Key::F1));
}
