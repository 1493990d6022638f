#ifndef MORVALETH_GUI_GUICONTEXT_H
#define MORVALETH_GUI_GUICONTEXT_H

#include <list>
#include <set>
#include <string>
#include <boost/shared_ptr.hpp>

class TGcnCharDrawer;

namespace gcn
{
class Gui;
class SDLInput;
class Widget;
}

/// Ties guichan to the engine: the GUI root and input, the widgets that live for the
/// whole run, one glyph drawer per size, the frame counter and a sine table.
class TGcnGuiContext
{
public:
	/// Empty lists, frame counter 0, sine table filled; root, input and frame rate unset.
	TGcnGuiContext();
	TGcnGuiContext(const TGcnGuiContext&) = delete;
	TGcnGuiContext& operator=(const TGcnGuiContext&) = delete;

	/// Takes ownership of the GUI root.
	void SetGui(gcn::Gui* gui);
	/// Takes ownership of the input object.
	void SetInput(gcn::SDLInput* input);
	/// Keeps a top-level widget alive until Release.
	void AddWidget(boost::shared_ptr<gcn::Widget> widget);
	/// The drawer of that glyph size, loaded on first use; null when the size cannot be loaded.
	TGcnCharDrawer* GetCharDrawer(int size);
	/// Moves the widget to the middle of the GUI root's top widget, never to a negative position.
	void CenterWidget(gcn::Widget* widget) const;
	/// Shutdown: drops the widgets, then deletes the input and the GUI root.
	void Release();

	/// The GUI root (owned); null until start-up sets it.
	gcn::Gui* m_Gui;
	/// The SDL input object (owned); null until start-up sets it.
	gcn::SDLInput* m_Input;
	/// Top-level widgets kept alive for the whole run.
	std::list<boost::shared_ptr<gcn::Widget>> m_Widgets;
	/// One glyph drawer per size, in creation order.
	std::list<boost::shared_ptr<TGcnCharDrawer>> m_CharDrawers;
	/// Font face used when a glyph sheet must be generated.
	std::string m_FontName;
	/// Target frames per second.
	int m_FPS;
	/// Frames drawn so far.
	int m_FrameCount;
	/// 256 x sin(2 pi i / 64), rounded half away from zero.
	int m_Sin[64];

private:
	/// Glyph sizes whose drawer failed to load; they are not tried again.
	std::set<int> m_FailedSizes;
};

/// The one GUI context of the program.
extern TGcnGuiContext g_GuiContext;

#endif
