#include "gui/FPSPane.h"

#include "app/Logger.h"

#include <algorithm>
#include <guichan/graphics.hpp>

namespace
{
const int PANE_SIZE = 20;
const std::int32_t ONE_SECOND = 1000;
// The clock counts milliseconds: no more frames than these fall within two seconds of it.
const int MAX_HISTORY = 2 * ONE_SECOND;
}

int TGcnFPSPane::HistoryLength(int fps)
{
	return 2 * std::clamp(fps, 1, MAX_HISTORY / 2);
}

TGcnFPSPane::TGcnFPSPane(int historyLength)
	: m_FrameTicks(historyLength), m_FrameTick(0), m_FPS(0)
{
	setSize(PANE_SIZE, PANE_SIZE);
}

void TGcnFPSPane::SetFrameTick(std::uint32_t tick)
{
	m_FrameTick = tick;
}

void TGcnFPSPane::logic()
{
	// The age is taken as a signed difference, so the count stays right when the
	// tick counter wraps around.
	int count = 0;
	for (std::uint32_t tick : m_FrameTicks)
		if (static_cast<std::int32_t>(m_FrameTick - tick) < ONE_SECOND)
			++count;
	m_FPS = count + 1;
	m_FrameTicks.push_back(m_FrameTick);
}

void TGcnFPSPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(gcn::Color(255, 255, 255, 255));
	graphics->setFont(getFont());
	graphics->drawText(FormatText("%02d", m_FPS), 2, 2, gcn::Graphics::LEFT);
}
