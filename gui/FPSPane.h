#ifndef MORVALETH_GUI_FPSPANE_H
#define MORVALETH_GUI_FPSPANE_H

#include <cstdint>
#include <boost/circular_buffer.hpp>
#include <guichan/widget.hpp>

/// A small corner pane that shows how many frames were drawn during the last second.
class TGcnFPSPane : public gcn::Widget
{
public:
	/// An empty history holding that many frame times; 20 x 20 pixels.
	explicit TGcnFPSPane(int historyLength);

	/// How many frame times two seconds at the rate hold: at least 1, at most two seconds of a
	/// millisecond clock, so that any configured rate gives a history that fits in memory.
	static int HistoryLength(int fps);

	/// The time (SDL ticks) of the frame just finished; read by the next logic pass.
	void SetFrameTick(std::uint32_t tick);

	/// Counts the frames of the last second, then records the latest frame time.
	virtual void logic();
	/// Draws the measured rate in white at (2, 2).
	virtual void draw(gcn::Graphics* graphics);

	/// Times of the most recent frames, oldest first.
	boost::circular_buffer<std::uint32_t> m_FrameTicks;
	/// The frame time last handed over.
	std::uint32_t m_FrameTick;
	/// The measured rate.
	int m_FPS;
};

#endif
