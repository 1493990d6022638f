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
	virtual void draw(gcn::Graphics* graphics);

	/// Master instance shown; -1 for none.
	int m_Master;
	int m_Frame;
};

/// The seven commands of the turn.
class TMasterOpePane : public gcn::Container
{
public:
	/// The buttons in two columns, 200 x 120.
	TMasterOpePane();

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

	TMasterInfoPane m_InfoPane;
	TMasterOpePane m_OpePane;

private:
	bool m_Skinned;
};

#endif
