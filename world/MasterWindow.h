#ifndef MORVALETH_WORLD_MASTERWINDOW_H
#define MORVALETH_WORLD_MASTERWINDOW_H

#include "gui/GcnWindow.h"

#include <guichan/widgets/button.hpp>
#include <guichan/widgets/container.hpp>

/// The frame of a flag's animation: it steps every half second at the configured frame rate.
int FlagFrame(int frameCounter, int fps);

/// The master's own character with its face, the master's flag and its money.
class TMasterInfoPane : public gcn::Widget
{
public:
	/// No master, 200 x 128, white text.
	TMasterInfoPane();
	/// Raises the frame counter of the flag.
	virtual void logic() { ++m_Frame; }
	/// The character's name and face (its chip when it has no face), the flag, and income, upkeep and funds in
	/// Ley; only the ground without a master.
	virtual void draw(gcn::Graphics* graphics);

	/// Master instance shown; -1 for none.
	int m_Master;
	/// Frames since the pane was made, for the flag's animation.
	int m_Frame;
};

/// The seven commands of the turn.
class TMasterOpePane : public gcn::Container
{
public:
	/// The buttons in two columns, 200 x 120.
	TMasterOpePane();

	/// "エリア情報", "勢力情報", "人材情報" and "勢力地図" on the left, "同盟", "戦争" and "ターン終了" on the
	/// right; reported to whoever listens to them.
	gcn::Button m_AreaGridButton;
	gcn::Button m_MasterGridButton;
	gcn::Button m_HeroGridButton;
	gcn::Button m_PowerMapButton;
	gcn::Button m_AllianceButton;
	gcn::Button m_WarButton;
	gcn::Button m_TurnEndButton;
};

/// The window of the master whose turn it is: its figures above the commands of the turn, which go to
/// whoever listens to the buttons.
class TMasterWindow : public TGcnWindow
{
public:
	/// Title bar 20 pixels, not opaque.
	TMasterWindow();
	/// Shows the master; skinned on first use, sized to the panes.
	void Show(int master);
	/// The frame with the master's name as a bold caption.
	virtual void draw(gcn::Graphics* graphics);

	/// The figures above, the commands below.
	TMasterInfoPane m_InfoPane;
	TMasterOpePane m_OpePane;

private:
	/// The window's skin has been set up, on the first Show with a skin.
	bool m_Skinned;
};

#endif
