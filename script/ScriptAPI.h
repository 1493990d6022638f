#ifndef MORVALETH_SCRIPT_SCRIPTAPI_H
#define MORVALETH_SCRIPT_SCRIPTAPI_H

#include <deque>
#include <boost/shared_ptr.hpp>
#include <string>
#include <vector>
#include <guichan/mouselistener.hpp>
#include <guichan/widget.hpp>
#include <guichan/widgets/window.hpp>

class TGcnWidgetSet;

/// A mouse press queued for the scripts.
struct TScriptEvent
{
	/// Where the press fell: relative to the window for a press on a window's pane, to the top widget otherwise.
	int x;
	int y;
	/// 0 for the left button, 1 for any other.
	int button;
};

/// Image kinds of a script window (IMAGE_EVENT, IMAGE_FACE, IMAGE_CHARACHIP of the scripts).
enum { SCRIPT_IMAGE_EVENT = 0, SCRIPT_IMAGE_FACE = 1, SCRIPT_IMAGE_CHARACHIP = 2 };

// What a script may put on screen. The windows and the dialog are drawn at every frame, long after the
// script's run has ended, so the shown windows and what they hold are bounded as the run's bounds bound the
// run; a hidden window is never drawn and costs only memory, which the bounds on all the windows keep below
// 100 MB. A scenario stays far within them (the sample's opening: one window of 480 x 300 with a picture, a
// face and five lines of some 30 bytes, made and hidden once a game). Past them the engine functions cut a
// text, make a new window hidden, or make no item, show or window, with a Warning naming the script.
/// Bytes of a window's text and of a dialog's caption: 2,048 pixels, wider than a screen.
const int SCRIPT_TEXT_BYTES = 256;
/// Bytes of a dialog's message that are looked at at all: the dialog shows what the screen holds of them,
/// and the largest screens hold a few hundred kilobytes.
const int SCRIPT_MESSAGE_BYTES = 1 << 20;
/// Windows shown at once.
const int SCRIPT_SHOWN_WINDOWS = 16;
/// Texts the shown windows hold together, and images; a window holds no more on its own, so it can be shown.
const int SCRIPT_SHOWN_ITEMS = 256;
/// Windows the scripts of one game may make, hidden ones included.
const int SCRIPT_WINDOWS = 65536;
/// Texts all the windows of a game hold together, hidden ones included, and images.
const int SCRIPT_HELD_ITEMS = 262144;
/// Width and height of a window's pane.
const int SCRIPT_PANE_SIZE = 4096;

/// Texts and images, counted against the bounds on what the windows hold.
struct TScriptItems
{
	int texts;
	int images;
};

/// What a script window holds: white texts and, over them, images, each in the order added and tagged with the
/// script's id.
class TEventContent
{
public:
	/// A text and the script's tag for it.
	struct TTextItem
	{
		/// Top-left corner in the pane, and the tag ClearText removes it by.
		int x, y, id;
		/// Shift-JIS in the pane's font; each line feed starts a line one line height lower.
		std::string text;
	};
	/// An image of the image store and the script's tag for it; scales in 256ths.
	struct TImageItem
	{
		/// Top-left corner in the pane, the tag ClearImage removes it by, the SCRIPT_IMAGE_ kind, the index among
		/// the store's images of that kind, and the two scales (256 draws it at natural size).
		int x, y, id, kind, image, scaleX, scaleY;
	};

	/// Appends an image item.
	void AddImage(const TImageItem& item);
	/// Appends a text item.
	void AddText(const TTextItem& item);
	/// Removes the image items with the id, -1 all; how many it removed.
	int ClearImage(int id);
	/// Removes the text items with the id, -1 all; how many it removed.
	int ClearText(int id);

	/// The text items in the order they are drawn.
	const std::vector<TTextItem>& GetTexts() const { return m_Texts; }
	/// The image items in the order they are drawn, over the texts.
	const std::vector<TImageItem>& GetImages() const { return m_Images; }
	/// How many texts and images it holds.
	TScriptItems GetItemCount() const { return {int(m_Texts.size()), int(m_Images.size())}; }

private:
	/// The items in the order they were added; the images are drawn over the texts.
	std::vector<TTextItem> m_Texts;
	std::vector<TImageItem> m_Images;
};

/// The pane of a shown script window: a black ground and what the window holds.
class TEventPane : public gcn::Widget
{
public:
	/// Shows nothing but the ground.
	TEventPane();
	/// The contents belong to the registry; nothing to release.
	virtual ~TEventPane();

	/// Black ground, the texts in order, line by line, then the images in order.
	virtual void draw(gcn::Graphics* graphics);

	/// What the pane shows; null for nothing (the registry's, lent while the window is shown).
	const TEventContent* m_Content;
};

/// A plain, see-through window holding one event pane; the registry lends one to each shown script window.
class TEventWindow : public gcn::Window
{
public:
	/// Adds the pane as the only child; the frame shows only what the pane draws.
	TEventWindow();
	/// Takes the pane out before it goes with the window.
	virtual ~TEventWindow();

	/// The window's only child, which draws what the window holds.
	TEventPane m_Pane;
};

/// How a script window stands and what it holds, kept for every window made, shown or hidden.
struct TEventWindowState
{
	/// What the window holds.
	TEventContent content;
	/// Size of the pane as the script set it.
	int paneWidth, paneHeight;
	/// Height of the title bar.
	unsigned titleBarHeight;
	/// False until the window is first fitted round its pane; a new window keeps guichan's size of 0 x 0.
	bool fitted;
	/// Top-left corner of the window in the top widget.
	int x, y;
	/// Whether the window is shown.
	bool shown;
};

/// The registry of the windows that scripts open and of the mouse presses meant for scripts. A window's
/// handle is its index; windows are never removed, so handles stay valid for the whole game and are never
/// reused. Only the shown windows have a guichan window, lent from a pool; a hidden one is its state alone.
class TScriptAPI : public gcn::MouseListener
{
public:
	/// Empty lists; listens to the presses that reach the GUI's top widget.
	explicit TScriptAPI(TGcnWidgetSet* widgetSet);
	/// Stops listening and takes the contents out of the windows, which stay with the widget set.
	virtual ~TScriptAPI();

	/// Makes a window, shown at once as a new guichan window is; its handle.
	int NewWindow();
	/// Number of windows made.
	int GetWindowCount() const { return int(m_States.size()); }
	/// Windows shown now.
	int GetShownWindowCount() const { return int(m_Shown.size()); }
	/// Texts and images the shown windows hold together: what a frame draws.
	TScriptItems GetShownItems() const;
	/// Texts and images all the windows hold together, hidden ones included.
	TScriptItems GetHeldItems() const { return m_Held; }
	/// 0 <= handle < number of windows.
	bool IsValidWindow(int handle) const;
	/// How the window stands and what it holds.
	const TEventWindowState& GetWindowState(int handle) const { return m_States.at(handle); }
	/// The guichan window that shows the window; null while it is hidden and for a handle that is not valid.
	TEventWindow* GetWindow(int handle) const;
	/// Sizes the pane (negative sizes as 0) and fits the window round it.
	void SetWindowSize(int handle, int width, int height);
	/// Sets the title bar's height and fits the window round its pane.
	void SetTitleBarHeight(int handle, unsigned height);
	/// Moves the window; -1 centres it on that axis in the top widget.
	void SetWindowPosition(int handle, int x, int y);
	/// Shows the window and raises it to the top.
	void ShowWindow(int handle);
	/// Hides the window.
	void HideWindow(int handle);
	/// Hides every script window.
	void HideAllWindows();
	/// The window's visibility.
	bool IsWindowVisible(int handle) const { return m_States.at(handle).shown; }
	/// Adds an image at natural size; -1 centres it on that axis in the pane.
	void SetImage(int handle, int x, int y, int id, int kind, int image);
	/// Adds the face at natural size or, for face -1, the chip at three times its size.
	void SetFaceOrChip(int handle, int x, int y, int id, int face, int chip);
	/// Adds a text; -1 centres its lines at 8 pixels a byte of the longest and 16 pixels a line.
	void SetText(int handle, int x, int y, int id, const std::string& text);
	/// Removes the window's image items with the id; -1 removes all.
	void ClearImage(int handle, int id);
	/// Removes the window's text items with the id; -1 removes all.
	void ClearText(int handle, int id);
	/// Takes the oldest press on the window's pane; false when there is none.
	bool PopWindowEvent(int handle, TScriptEvent& event);
	/// Takes the oldest press that reached no script window's pane; false when there is none.
	bool PopGuiEvent(TScriptEvent& event);
	/// Empties every queue.
	void ClearEvents();

	/// Queues a press: on a script window's pane to that window (window-relative), else globally.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

private:
	/// A shown window and the guichan window lent to it.
	struct TShownWindow
	{
		int handle;
		TEventWindow* window;
	};
	/// A press on a window's pane and the window's handle.
	struct TWindowEvent
	{
		int handle;
		TScriptEvent event;
	};

	/// The shown window's guichan window; null for a hidden one.
	TEventWindow* ShownIn(int handle) const;
	/// A guichan window lent to no window, made when every one is lent.
	TEventWindow* FreeWindow();
	/// Gives the guichan window the state's title bar, size and position.
	static void Fit(TEventWindow& window, const TEventWindowState& state);

	/// Keeps each guichan window alive for the rest of the game; null leaves that to m_Windows alone.
	TGcnWidgetSet* m_WidgetSet;
	/// Every window by handle; a deque, so that the contents lent to a pane stay where they are.
	std::deque<TEventWindowState> m_States;
	/// The guichan windows made, lent or free; as many as were ever shown at once.
	std::vector<boost::shared_ptr<TEventWindow>> m_Windows;
	/// The shown windows, in the order they were shown.
	std::vector<TShownWindow> m_Shown;
	/// The presses on the windows' panes, oldest first.
	std::deque<TWindowEvent> m_WindowQueue;
	/// The presses that reached no script window's pane, oldest first.
	std::deque<TScriptEvent> m_GlobalQueue;
	/// What all the windows hold, which the item functions keep.
	TScriptItems m_Held;
};

/// Width and height of the GUI's top widget; 0 x 0 before there is one.
void GetTopWidgetSize(int& width, int& height);

#endif
