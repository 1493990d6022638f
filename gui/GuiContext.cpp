#include "gui/GuiContext.h"

#include "app/Logger.h"
#include "media/CharDrawer.h"

#include <guichan/gui.hpp>
#include <guichan/widget.hpp>
#include <guichan/sdl/sdlinput.hpp>

TGcnGuiContext g_GuiContext;

namespace
{
const int SINE_STEPS = 64;
/// 256 sin(2 pi i / 64) for the first quarter turn, rounded half away from zero; the rest of the turn
/// follows by symmetry. (A table rather than sin(): the start-up then never touches the maths library.)
const int QUARTER_SINE[SINE_STEPS / 4 + 1] = {0, 25, 50, 74, 98, 121, 142, 162, 181, 198, 213, 226, 237, 245,
	251, 255, 256};
}

TGcnGuiContext::TGcnGuiContext()
	: m_Gui(nullptr), m_Input(nullptr), m_FPS(0), m_FrameCount(0)
{
	const int quarter = SINE_STEPS / 4;
	for (int i = 0; i < SINE_STEPS; ++i) {
		const int step = i % (2 * quarter);
		const int rise = QUARTER_SINE[step <= quarter ? step : 2 * quarter - step];
		m_Sin[i] = i < 2 * quarter ? rise : -rise;
	}
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
	// A list without the characters the game's texts are written with is taken for a damaged one.
	static const std::vector<int> needed = EssentialCharacterCodes();
	if (!drawer->Load("sjis.txt", nullptr, size, size, m_FontName.c_str(), needed)) {
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
