#include "world/ScreenWorldView.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "battle/ScreenBattleView.h"
#include "battle/CharaStatusWindow.h"
#include "gui/GcnGui.h"
#include "gui/GridWindows.h"
#include "gui/GuiContext.h"
#include "gui/HintPane.h"
#include "gui/MsgDlg.h"
#include "gui/WidgetSet.h"
#include "media/MorvalethMixer.h"
#include "model/CharaData.h"
#include "model/MorvalethData.h"
#include "model/MorvalethGame.h"
#include "world/CharaListWindow.h"
#include "world/ControllerBattle.h"
#include "world/EmployWindow.h"
#include "world/MasterWindow.h"
#include "world/PowerMapWindow.h"
#include "world/WarCharaWindow.h"
#include "world/WorldMapLogic.h"
#include "world/WorldMapWindow.h"

#include <SDL/SDL.h>
#include <guichan/gui.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/selectionevent.hpp>
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

/// Hears the pointer moving over the world windows. They lie over the map, whose pane hears nothing
/// while the pointer is on one of them: the hint of the area last hovered fades there.
class TOffMapPointer : public gcn::MouseListener
{
public:
	explicit TOffMapPointer(TWorldMapLogic& controller) : m_Controller(controller) {}

	void mouseMoved(gcn::MouseEvent&) override { m_Controller.HoverOffMap(); }

private:
	TWorldMapLogic& m_Controller;
};

/// Hears the pointer moving anywhere on the screen, the top container being every widget's last parent:
/// the short status shows a character only while the pointer is over its chip, so that a move over
/// anything else, or a window coming over the chips under a still pointer, takes it away.
class TChipPointer : public gcn::MouseListener
{
public:
	explicit TChipPointer(TScreenWorldView& view) : m_View(view) {}

	void mouseMoved(gcn::MouseEvent& mouseEvent) override { m_View.PointerMovedOver(mouseEvent.getSource()); }

private:
	TScreenWorldView& m_View;
};

namespace
{
/// The mouse move being handled is the GUI's look under a still pointer, after windows came or went.
bool IsPointerStill()
{
	const TGcnGui* gui = dynamic_cast<const TGcnGui*>(g_GuiContext.m_Gui);
	return gui && gui->IsLookingAgain();
}

/// The buttons of a window and the command each stands for.
template <class Command> struct TButtonCommand
{
	const gcn::Button* button;
	Command command;
};

template <class Command, size_t N>
bool FindCommand(const TButtonCommand<Command> (&table)[N], const gcn::Widget* source, Command& command)
{
	for (const TButtonCommand<Command>& entry : table)
		if (entry.button == source) {
			command = entry.command;
			return true;
		}
	return false;
}
}

TScreenWorldView::TScreenWorldView(TGcnWidgetSet* widgetSet)
	: m_WidgetSet(widgetSet), m_Heartbeat(nullptr), m_Controller(nullptr), m_Top(nullptr)
{
	m_Windows.fill(nullptr);
}

TScreenWorldView::~TScreenWorldView()
{
	if (m_Heartbeat)
		m_Heartbeat->m_Controller = nullptr;
	if (m_Top && m_ChipPointer)
		m_Top->removeMouseListener(m_ChipPointer.get());
}

void TScreenWorldView::Build(TWorldMapLogic& controller, int areaCount)
{
	m_Controller = &controller;
	boost::shared_ptr<TWorldMapHeartbeat> heartbeat(new TWorldMapHeartbeat());
	heartbeat->m_Controller = &controller;
	m_Heartbeat = heartbeat.get();
	if (m_WidgetSet)
		m_WidgetSet->Add(heartbeat);
	if (g_GuiContext.m_Gui)
		m_Top = dynamic_cast<gcn::Container*>(g_GuiContext.m_Gui->getTop());
	if (!m_Top)
		return; // without a screen the game runs with no window at all, as in a test without a display
	m_Top->add(m_Heartbeat);
	MakeWindows(areaCount);
	Listen();
}

void TScreenWorldView::MakeWindows(int areaCount)
{
	m_Map.reset(new TWorldMapWindow());
	m_Area.reset(new TCharaListWindow());
	m_Master.reset(new TMasterWindow());
	m_Status.reset(new TCharaStatusWindow());
	m_FullStatus.reset(new TCharaStatusFullWindow());
	m_Employ.reset(new TEmployWindow());
	m_Move.reset(new TCharaMoveWindow());
	m_War.reset(new TWarCharaWindow());
	m_Hero.reset(new TEmployHeroWindow());
	m_AreaGrid.reset(new TAreaGridWindow());
	m_MasterGrid.reset(new TMasterGridWindow());
	m_HeroGrid.reset(new THeroGridWindow());
	m_PowerMap.reset(new TPowerMapWindow());
	m_Menu.reset(new TWorldMenuWindow());
	m_Hint.reset(new TGcnHintPane());
	m_Windows = { { m_Map.get(), m_Area.get(), m_Master.get(), m_Status.get(), m_FullStatus.get(), m_Employ.get(),
		m_Move.get(), m_War.get(), m_Hero.get(), m_AreaGrid.get(), m_MasterGrid.get(), m_HeroGrid.get(),
		m_PowerMap.get(), m_Menu.get(), nullptr } };
	for (gcn::Widget* window : m_Windows) {
		if (!window)
			continue;
		window->setVisible(window == m_Map.get());
		m_Top->add(window);
	}
	m_Hint->setVisible(false);
	m_Top->add(m_Hint.get());

	int width = 0;
	int height = 0;
	ScreenSize(width, height);
	m_Map->Layout(width, height);
	m_Map->m_Pane.InitAreaLists(areaCount);
	m_Area->setPosition(AREA_WINDOW_X, AREA_WINDOW_Y);
	m_Menu->setPosition(AREA_WINDOW_X, AREA_WINDOW_Y);
}

void TScreenWorldView::Listen()
{
	m_Map->m_Pane.addMouseListener(this);
	m_Area->m_CharaPane.addMouseListener(this);
	m_Employ->m_List.addMouseListener(this);
	for (TCharaListPane& pane : m_Move->m_Panes)
		pane.addMouseListener(this);
	m_Area->m_OpePane.m_Operation.addSelectionListener(this);
	m_Move->SetListener(this);
	m_ChipPointer.reset(new TChipPointer(*this));
	m_Top->addMouseListener(m_ChipPointer.get());
	m_OffMap.reset(new TOffMapPointer(*m_Controller));
	for (gcn::Widget* window : m_Windows)
		if (window && window != m_Map.get())
			window->addMouseListener(m_OffMap.get());
	gcn::Button* buttons[] = { &m_Area->m_OpePane.m_MoveButton, &m_Area->m_OpePane.m_EmployButton,
		&m_Area->m_OpePane.m_DismissButton, &m_Master->m_OpePane.m_AreaGridButton,
		&m_Master->m_OpePane.m_MasterGridButton, &m_Master->m_OpePane.m_HeroGridButton,
		&m_Master->m_OpePane.m_PowerMapButton, &m_Master->m_OpePane.m_AllianceButton, &m_Master->m_OpePane.m_WarButton,
		&m_Master->m_OpePane.m_TurnEndButton, &m_Employ->m_HireButton, &m_Employ->m_CancelButton,
		&m_War->m_ConfirmButton, &m_War->m_CancelButton, &m_Hero->m_Pane.m_StatusButton, &m_Hero->m_Pane.m_HireButton,
		&m_Hero->m_Pane.m_DeclineButton, &m_AreaGrid->m_CloseButton, &m_MasterGrid->m_CloseButton,
		&m_HeroGrid->m_CloseButton, &m_Menu->m_StopButton };
	for (gcn::Button* button : buttons)
		button->addActionListener(this);
}

void TScreenWorldView::ScreenSize(int& width, int& height) const
{
	width = m_Top->getWidth();
	height = m_Top->getHeight();
}

void TScreenWorldView::Raise(gcn::Widget& widget)
{
	// The save slots and the settings, opened from the system menu, and a message stay over the map's
	// windows that come up while they are open (a loaded game's opening ending, a found hero): what the
	// player is choosing or reading is never hidden under them.
	m_Top->moveToTop(&widget);
	g_GameMaster.KeepDialogsOnTop();
}

void TScreenWorldView::ShowWindow(TWorldWindow window, bool visible)
{
	if (window == WORLD_SYSTEM_MENU) {
		g_GameMaster.ShowSysMenuWindow(visible);
		return;
	}
	if (!m_Map)
		return;
	gcn::Widget* widget = m_Windows[window];
	if (!widget)
		return;
	switch (window) {
	case WORLD_MAP_WINDOW:
		if (visible) {
			// The map first, so that the windows that were open over it come back over it.
			m_Map->setVisible(true);
			Raise(*m_Map);
			RestoreAfterBattle();
			return;
		}
		HideForBattle();
		break;
	case WORLD_STATUS_WINDOW:
		// The short status shows a character once the pointer rests on one.
		if (visible)
			return;
		break;
	case WORLD_EMPLOY_WINDOW:
		if (!visible)
			m_Area->Lock(false);
		break;
	case WORLD_WAR_WINDOW:
		if (!visible)
			m_War->Close();
		break;
	case WORLD_AREA_GRID_WINDOW:
	case WORLD_MASTER_GRID_WINDOW:
	case WORLD_HERO_GRID_WINDOW:
		if (visible) {
			static_cast<TGcnGridWindow*>(widget)->Open();
			g_GameMaster.KeepDialogsOnTop();
			return;
		}
		break;
	case WORLD_POWER_MAP_WINDOW:
		if (visible) {
			m_PowerMap->Show();
			g_GameMaster.KeepDialogsOnTop();
			return;
		}
		break;
	default:
		break;
	}
	widget->setVisible(visible);
	if (visible)
		Raise(*widget);
}

void TScreenWorldView::HideForBattle()
{
	for (gcn::Widget* widget : m_Windows)
		if (widget && widget != m_Map.get() && widget->isVisible()) {
			widget->setVisible(false);
			// The short status follows the pointer: it comes back when the pointer rests again.
			if (widget != m_Status.get())
				m_HiddenForBattle.push_back(widget);
		}
}

void TScreenWorldView::RestoreAfterBattle()
{
	for (gcn::Widget* widget : m_HiddenForBattle) {
		widget->setVisible(true);
		Raise(*widget);
	}
	m_HiddenForBattle.clear();
}

bool TScreenWorldView::IsWindowVisible(TWorldWindow window) const
{
	if (window == WORLD_SYSTEM_MENU)
		return g_GameMaster.IsSysMenuVisible();
	return m_Windows[window] && m_Windows[window]->isVisible();
}

void TScreenWorldView::CenterMapOn(int x, int y)
{
	if (!m_Map)
		return;
	m_Map->CenterOn(x, y);
}

void TScreenWorldView::SetGuideText(const std::string& text)
{
	if (!m_Map)
		return;
	m_Map->SetGuideText(text);
}

void TScreenWorldView::SetHighlight(int area, unsigned colour)
{
	if (!m_Map)
		return;
	m_Map->m_Pane.SetHighlight(area, colour);
}

void TScreenWorldView::ClearHighlights()
{
	if (!m_Map)
		return;
	m_Map->m_Pane.ClearHighlights();
}

void TScreenWorldView::SetHoverMark(int area, unsigned colour)
{
	if (!m_Map)
		return;
	m_Map->m_Pane.SetHoverMark(area, colour);
}

void TScreenWorldView::ClearMarks()
{
	if (!m_Map)
		return;
	m_Map->m_Pane.ClearMarks();
}

void TScreenWorldView::AddRoute(int area1, int area2)
{
	if (!m_Map)
		return;
	m_Map->m_Pane.AddRoute(area1, area2);
}

void TScreenWorldView::ClearRoutes()
{
	if (!m_Map)
		return;
	m_Map->m_Pane.ClearRoutes();
}

void TScreenWorldView::AddChip(int x, int y, int chara)
{
	if (!m_Map)
		return;
	m_Map->m_Pane.AddChip(x, y, chara);
}

void TScreenWorldView::SetChipPosition(int chip, int x, int y)
{
	if (!m_Map)
		return;
	m_Map->m_Pane.SetChipPosition(chip, x, y);
}

void TScreenWorldView::ClearChips()
{
	if (!m_Map)
		return;
	m_Map->m_Pane.ClearChips();
}

void TScreenWorldView::ShowHint(int area, const std::string& text)
{
	if (!m_Map)
		return;
	const point_t& point = g_GameMaster.m_Game->GetArea(area).Location;
	int x = 0;
	int y = 0;
	m_Map->MapToScreen(point.x, point.y, x, y);
	m_Hint->SetText(text);
	int width = 0;
	int height = 0;
	ScreenSize(width, height);
	m_Hint->setDimension(PlaceHint(x, y, m_Hint->getWidth(), m_Hint->getHeight(), width, height));
	m_Hint->FadeIn();
	Raise(*m_Hint);
}

void TScreenWorldView::HideHint()
{
	if (!m_Map)
		return;
	m_Hint->FadeOut();
}

void TScreenWorldView::ShowArea(int area, bool controls)
{
	if (!m_Map)
		return;
	m_Area->SetArea(area);
	m_Area->ShowAreaControls(controls);
	Raise(*m_Area);
	PlacePlayerWindows();
	// On a short screen the master window covers the bottom of the area window, never its own caption.
	if (m_Master->isVisible())
		Raise(*m_Master);
}

void TScreenWorldView::ShowMaster(int master)
{
	if (!m_Map)
		return;
	m_Master->Show(master);
	PlacePlayerWindows();
	Raise(*m_Master);
}

void TScreenWorldView::PlacePlayerWindows()
{
	int width = 0;
	int height = 0;
	ScreenSize(width, height);
	gcn::Rectangle area = m_Area->getDimension();
	gcn::Rectangle master = m_Master->getDimension();
	::PlacePlayerWindows(area, master, width, height);
	m_Area->setDimension(area);
	m_Master->setDimension(master);
}

void TScreenWorldView::PlaceBesideMap(gcn::Widget& window, int x, int y, const std::vector<int>& keepClear)
{
	int width = 0;
	int height = 0;
	ScreenSize(width, height);
	int screenX = 0;
	int screenY = 0;
	m_Map->MapToScreen(x, y, screenX, screenY);
	std::vector<gcn::Rectangle> markers;
	for (int area : keepClear) {
		const point_t& point = g_GameMaster.m_Game->GetArea(area).Location;
		int markerX = 0;
		int markerY = 0;
		m_Map->MapToScreen(point.x, point.y, markerX, markerY);
		markers.push_back(AreaMarker(markerX, markerY));
	}
	window.setDimension(::PlaceBesideMap(screenX, window.getWidth(), window.getHeight(), width, height, markers));
}

void TScreenWorldView::ShowStatus(const TCharaInstance& chara, bool full)
{
	if (!m_Map)
		return;
	if (full) {
		m_FullStatus->Show(chara);
		g_GuiContext.CenterWidget(m_FullStatus.get());
		Raise(*m_FullStatus);
	} else {
		m_Status->Show(chara);
		Raise(*m_Status);
	}
}

void TScreenWorldView::ShowEmploy(int area, int employer, const std::vector<int>& candidates, int funds)
{
	if (!m_Map)
		return;
	const TMorvalethData& data = *g_GameMaster.m_Data;
	const int race = data.GetCharaData(g_GameMaster.m_Game->GetArea(area).Charas[employer].CharaIndex).Race;
	m_Employ->Setup(candidates, race, funds, data);
	g_GuiContext.CenterWidget(m_Employ.get());
	Raise(*m_Employ);
	m_Area->Lock(true);
}

void TScreenWorldView::ShowMove(int from, int to)
{
	if (!m_Map)
		return;
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	m_Move->Setup(from, game.GetArea(from).Charas, to, game.GetArea(to).Charas);
	Raise(*m_Move);
	const point_t& a = game.GetArea(from).Location;
	const point_t& b = game.GetArea(to).Location;
	PlaceBesideMap(*m_Move, (a.x + b.x) / 2, (a.y + b.y) / 2, { from, to });
}

void TScreenWorldView::ShowWar(int target)
{
	if (!m_Map)
		return;
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	m_War->Setup(game, target);
	Raise(*m_War);
	// The player picks the army's areas on the map: the window keeps them in sight.
	std::vector<int> sources;
	for (int neighbor : game.GetArea(target).Neighbors)
		if (game.GetArea(neighbor).Owner == game.GetCurrentMaster())
			sources.push_back(neighbor);
	const point_t& point = game.GetArea(target).Location;
	PlaceBesideMap(*m_War, point.x, point.y, sources);
}

void TScreenWorldView::SetWarSource(int area)
{
	if (!m_Map)
		return;
	m_War->SetSourceArea(area);
}

void TScreenWorldView::ShowHero(int area, int chara, int funds)
{
	if (!m_Map)
		return;
	m_Hero->Show(area, chara, funds);
	g_GameMaster.KeepDialogsOnTop();
}

void TScreenWorldView::action(const gcn::ActionEvent& actionEvent)
{
	const gcn::Widget* source = actionEvent.getSource();
	const TButtonCommand<TAreaButton> areaButtons[] = { { &m_Area->m_OpePane.m_MoveButton, AREA_BUTTON_MOVE },
		{ &m_Area->m_OpePane.m_EmployButton, AREA_BUTTON_EMPLOY },
		{ &m_Area->m_OpePane.m_DismissButton, AREA_BUTTON_DISMISS } };
	const TMasterOpePane& m = m_Master->m_OpePane;
	const TButtonCommand<TMasterButton> masterButtons[] = { { &m.m_AreaGridButton, MASTER_BUTTON_AREA_GRID },
		{ &m.m_MasterGridButton, MASTER_BUTTON_MASTER_GRID }, { &m.m_HeroGridButton, MASTER_BUTTON_HERO_GRID },
		{ &m.m_PowerMapButton, MASTER_BUTTON_POWER_MAP }, { &m.m_AllianceButton, MASTER_BUTTON_ALLIANCE },
		{ &m.m_WarButton, MASTER_BUTTON_WAR }, { &m.m_TurnEndButton, MASTER_BUTTON_TURN_END } };
	const TButtonCommand<THeroButton> heroButtons[] = { { &m_Hero->m_Pane.m_StatusButton, HERO_BUTTON_STATUS },
		{ &m_Hero->m_Pane.m_HireButton, HERO_BUTTON_HIRE }, { &m_Hero->m_Pane.m_DeclineButton, HERO_BUTTON_DECLINE } };
	const TButtonCommand<TWorldWindow> gridButtons[] = { { &m_AreaGrid->m_CloseButton, WORLD_AREA_GRID_WINDOW },
		{ &m_MasterGrid->m_CloseButton, WORLD_MASTER_GRID_WINDOW },
		{ &m_HeroGrid->m_CloseButton, WORLD_HERO_GRID_WINDOW } };
	TAreaButton areaButton;
	TMasterButton masterButton;
	THeroButton heroButton;
	TWorldWindow grid;
	if (FindCommand(areaButtons, source, areaButton)) {
		m_Controller->PressAreaButton(areaButton, m_Area->GetSelectedRow());
		if (m_Controller->GetStatus() == WORLD_PICK_MOVE_DESTINATION)
			m_Area->ClearSelection();
	} else if (FindCommand(masterButtons, source, masterButton)) {
		m_Controller->PressMasterButton(masterButton);
		if (m_Controller->GetStatus() == WORLD_PICK_WAR_TARGET)
			m_Area->ClearSelection();
	} else if (FindCommand(heroButtons, source, heroButton)) {
		m_Controller->PressHeroButton(heroButton);
	} else if (FindCommand(gridButtons, source, grid)) {
		m_Controller->CloseGrid(grid);
	} else if (source == &m_Employ->m_HireButton) {
		m_Controller->ConfirmEmploy(m_Employ->GetSelectedChara());
	} else if (source == &m_Employ->m_CancelButton) {
		m_Controller->CancelEmploy();
	} else if (source == &m_War->m_ConfirmButton) {
		const std::vector<std::pair<int, int>> army = m_War->GetArmy();
		m_War->Close();
		m_Controller->ConfirmWar(army);
	} else if (source == &m_War->m_CancelButton) {
		m_Controller->CancelWar();
	} else if (source == &m_Menu->m_StopButton) {
		m_Controller->StopWatching();
	}
}

void TScreenWorldView::mousePressed(gcn::MouseEvent& mouseEvent)
{
	const gcn::Widget* source = mouseEvent.getSource();
	const int frame = g_GuiContext.m_FrameCount;
	const int limit = g_Config.m_DoubleClickFrame;
	const TMorvalethGame& game = *g_GameMaster.m_Game;
	if (source == &m_Map->m_Pane) {
		const int area = m_Controller->GetAreaAt(mouseEvent.getX(), mouseEvent.getY());
		m_Controller->PressMap(area, mouseEvent.getButton() == gcn::MouseEvent::LEFT);
		mouseEvent.consume();
	} else if (source == &m_Area->m_CharaPane) {
		const int row = m_Area->GetSelectedRow();
		if (m_CharaClick.Click(frame, row, limit) && m_Area->GetArea() >= 0) {
			ShowStatus(game.GetArea(m_Area->GetArea()).Charas[row], true);
			mouseEvent.consume();
		}
	} else if (source == &m_Employ->m_List) {
		const int chara = m_Employ->GetSelectedChara();
		if (m_CandidateClick.Click(frame, chara, limit)) {
			ShowStatus(game.CreateCharaInstance(chara, 0), true);
			mouseEvent.consume();
		}
	}
}

void TScreenWorldView::mouseMoved(gcn::MouseEvent& mouseEvent)
{
	const gcn::Widget* source = mouseEvent.getSource();
	if (source == &m_Map->m_Pane) {
		m_Controller->HoverMap(mouseEvent.getX(), mouseEvent.getY());
	} else if (source == &m_Area->m_CharaPane) {
		const int row = m_Area->m_CharaPane.GetShownEntryAt(mouseEvent.getX(), mouseEvent.getY());
		const bool onChip = m_Area->GetArea() >= 0 && row >= 0;
		ShowHoveredChara(onChip ? &g_GameMaster.m_Game->GetArea(m_Area->GetArea()).Charas[row] : nullptr);
		if (onChip)
			mouseEvent.consume();
	} else if (IsMovePane(source)) {
		const bool onChip = static_cast<const TCharaListPane*>(source)->GetShownEntryAt(mouseEvent.getX(),
			mouseEvent.getY()) >= 0;
		ShowHoveredChara(onChip ? m_Move->GetHoveredChara() : nullptr);
	}
}

// The short status answers the pointer's moves: chips that come up under a still pointer (the area window
// back after a battle, under the pointer the placement left there) do not open it. The GUI's look under the
// still pointer may still take it away, or show in it the character now under the pointer.
void TScreenWorldView::ShowHoveredChara(const TCharaInstance* chara)
{
	if (chara && (m_Status->isVisible() || !IsPointerStill()))
		ShowStatus(*chara, false);
	else
		m_Status->setVisible(false);
}

// The lists of characters show and hide the status themselves; the status window steps aside from the
// pointer.
void TScreenWorldView::PointerMovedOver(const gcn::Widget* source)
{
	if (!m_Status->isVisible() || source == &m_Area->m_CharaPane || IsMovePane(source) || source == m_Status.get()
		|| source == &m_Status->m_Pane)
		return;
	m_Status->setVisible(false);
}

bool TScreenWorldView::IsMovePane(const gcn::Widget* widget) const
{
	for (const TCharaListPane& pane : m_Move->m_Panes)
		if (widget == &pane)
			return true;
	return false;
}

void TScreenWorldView::mouseExited(gcn::MouseEvent& mouseEvent)
{
	const gcn::Widget* source = mouseEvent.getSource();
	if (source == &m_Map->m_Pane)
		m_Controller->LeaveMap();
	else if (source == &m_Area->m_CharaPane || IsMovePane(source))
		ShowHoveredChara(nullptr);
}

void TScreenWorldView::valueChanged(const gcn::SelectionEvent&)
{
	m_Controller->SetAreaStandbyOperation(m_Area->m_OpePane.m_Operation.getSelected());
}

void TScreenWorldView::MoveConfirmed()
{
	std::vector<int> positions1;
	std::vector<int> positions2;
	m_Move->GetMoveIndices1(positions1);
	m_Move->GetMoveIndices2(positions2);
	m_Controller->ConfirmMove(positions1, positions2);
}

void TScreenWorldView::MoveCancelled()
{
	m_Controller->CancelMove();
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

void TScreenWorldView::SetSystemMenuCompact(bool compact)
{
	g_GameMaster.SetSysMenuCompact(compact);
}

void TScreenWorldView::Quit()
{
	SDL_Event event = SDL_Event();
	event.type = SDL_QUIT;
	SDL_PushEvent(&event);
}

namespace
{
/// The world map's battle: on the battle windows when there is a screen, unseen otherwise. The world
/// map's heartbeat steps it, so its map window does not.
std::unique_ptr<TWorldBattle> MakeBattle(TMorvalethGame& game, const TMorvalethData& data)
{
	if (!g_GuiContext.m_Gui || !dynamic_cast<gcn::Container*>(g_GuiContext.m_Gui->getTop()))
		return std::unique_ptr<TWorldBattle>(
			new TControllerBattle(std::unique_ptr<TBattleView>(new TNullBattleView), data, game));
	TScreenBattleView* view = new TScreenBattleView();
	std::unique_ptr<TControllerBattle> battle(new TControllerBattle(std::unique_ptr<TBattleView>(view), data, game));
	view->SetLogic(&battle->GetLogic(), false);
	return std::unique_ptr<TWorldBattle>(battle.release());
}

/// A controller with the view it shows on; they live and go together.
struct TScreenWorldMap
{
	TScreenWorldMap(TGcnWidgetSet* widgetSet, TMorvalethGame& game, const TMorvalethData& data)
		: view(widgetSet), logic(view, game, data, widgetSet, MakeBattle(game, data))
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
