#include "gui/GuiContext.h"

#include "app/Logger.h"
#include "media/CharDrawer.h"

#include <cmath>
#include <guichan/gui.hpp>
#include <guichan/widget.hpp>
#include <guichan/sdl/sdlinput.hpp>

TGcnGuiContext g_GuiContext;

namespace
{
const int SINE_STEPS = 64;
const double SINE_SCALE = 256.0;

/// Rounds half away from zero, as the pulsing effects expect 25, 50, 74, ...
int RoundHalfAway(double value)
{
	return static_cast<int>(value > 0 ? value + 0.5 : value - 0.5);
}
}

TGcnGuiContext::TGcnGuiContext()
	: m_Gui(nullptr), m_Input(nullptr), m_FPS(0), m_FrameCount(0)
{
	const double pi = std::acos(-1.0);
	for (int i = 0; i < SINE_STEPS; ++i)
		m_Sin[i] = RoundHalfAway(SINE_SCALE * std::sin(2.0 * pi * i / SINE_STEPS));
}

void TGcnGuiContext::SetGui(gcn::Gui* gui)
{
	m_Gui = gui;
}

void TGcnGuiContext::SetInput(gcn::SDLInput* input)
{
	m_Input = input;
}

void TGcnGuiContext::AddWidget(boost::shared_ptr<gcn::Widget> widget)
{
	m_Widgets.push_back(widget);
}

TGcnCharDrawer* TGcnGuiContext::GetCharDrawer(int size)
{
	for (const boost::shared_ptr<TGcnCharDrawer>& drawer : m_CharDrawers)
		if (drawer->m_GlyphHeight == size)
			return drawer.get();
	// A size that failed once fails again: windows ask every frame, so it is
	// neither rebuilt nor logged more than once.
	if (m_FailedSizes.count(size))
		return nullptr;

	boost::shared_ptr<TGcnCharDrawer> drawer(new TGcnCharDrawer());
	if (!drawer->Load("sjis.txt", nullptr, size, size, m_FontName.c_str())) {
		g_Logger.Error(FormatText("TGcnCharDrawer::Load() failed. LastError=%s", drawer->m_LastError));
		m_FailedSizes.insert(size);
		return nullptr;
	}
	m_CharDrawers.push_back(drawer);
	return drawer.get();
}

void TGcnGuiContext::CenterWidget(gcn::Widget* widget) const
{
	const gcn::Widget* top = m_Gui->getTop();
	const int x = top->getWidth() / 2 - widget->getWidth() / 2;
	const int y = top->getHeight() / 2 - widget->getHeight() / 2;
	widget->setPosition(x < 0 ? 0 : x, y < 0 ? 0 : y);
}

void TGcnGuiContext::Release()
{
	m_Widgets.clear();
	delete m_Input;
	m_Input = nullptr;
	delete m_Gui;
	m_Gui = nullptr;
}
