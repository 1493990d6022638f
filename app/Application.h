#ifndef MORVALETH_APP_APPLICATION_H
#define MORVALETH_APP_APPLICATION_H

#include <SDL/SDL.h>

namespace gcn
{
class OpenGLGraphics;
class OpenGLSDLImageLoader;
}
class TGcnFPSPane;

/// The window's surface, as the video-mode call returned it.
extern SDL_Surface* g_Screen;
/// guichan's loader of OpenGL images; owned here, deleted by Shutdown.
extern gcn::OpenGLSDLImageLoader* g_ImageLoader;
/// guichan's OpenGL graphics; owned here, deleted by Shutdown.
extern gcn::OpenGLGraphics* g_Graphics;
/// The frame-rate pane; the GUI context's widget list owns it.
extern TGcnFPSPane* g_FPSPane;
/// The event record the main loop polls into.
extern SDL_Event g_Event;

/// Millisecond counter and sleep that the frame limiter waits with.
struct TFrameClock
{
	/// Milliseconds since an arbitrary start.
	Uint32 (*GetTicks)();
	/// Sleeps for at least that many milliseconds.
	void (*Delay)(Uint32 ms);
};

/// SDL's tick counter and sleep.
extern const TFrameClock SDL_FRAME_CLOCK;

/// Makes a write to a pipe whose reader has gone fail with its error instead of ending the program; for the
/// whole program, at its start.
void IgnoreBrokenPipes();
/// Start-up: configuration, window, GUI, audio, frame-rate pane, game master; false after logging an Error.
bool init();
/// Runs frames until an SDL quit event has been seen; the frame of the quit event is completed.
void MainLoop();
/// One frame of the main loop: events, the GUI's logic and drawing, the frame count, the swap and the wait
/// for the next frame; false once the frame met an SDL quit event.
bool RunFrame();
/// Switches vertical synchronisation off, or logs why it cannot.
void DisableSwapInterval();
/// Releases what start-up built and quits SDL.
void Shutdown();

/// Ends the main loop after the current frame, as closing the window does, and makes status the program's
/// exit status (a script's os.exit asks for it).
void RequestQuit(int status);
/// Forgets the request.
void ClearQuitRequest();
/// True once RequestQuit was called.
bool IsQuitRequested();
/// The exit status RequestQuit asked for; 0 when it was not called.
int RequestedExitStatus();

/// Milliseconds between frames at fps frames per second (1000 / fps in 16.16 fixed point, truncated).
int FramePeriod(int fps);
/// Waits until the next frame is due and writes the tick that counts as this frame's time.
void LimitFrameRate(int fps, Uint32& tick);
/// The limiter on a given clock; frameTick is the time of the previous frame and is advanced.
void LimitFrameRate(int fps, Uint32& tick, Uint32& frameTick, const TFrameClock& clock);

#endif
