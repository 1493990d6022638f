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
// script's run has ended, so these bound the frames as the run's bounds bound the run; a scenario stays far
// within them (the sample's opening: one window of 480 x 300 with a picture, a face and five lines of some 30
// bytes). Past them the engine functions cut a text, or make no item or window, with a Warning naming the script.
/// Bytes of a window's text and of a dialog's caption: 2,048 pixels, wider than a screen.
const int SCRIPT_TEXT_BYTES = 256;
/// Bytes of a dialog's message: some 45 lines as wide as an 800-pixel screen.
const int SCRIPT_MESSAGE_BYTES = 4096;
/// Texts all the windows hold together, and images.
const int SCRIPT_ITEMS = 256;
/// Windows the scripts of one game may open.
const int SCRIPT_WINDOWS = 256;
/// Windows shown at once.
const int SCRIPT_SHOWN_WINDOWS = 16;
/// Width and height of a window's pane.
const int SCRIPT_PANE_SIZE = 4096;

/// The contents of a script window: a black ground, white lines of text and images on top.
class TEventPane : public gcn::Widget
{
public:
	/// A line of text and the script's tag for it.
	struct TTextItem
	{
		/// Top-left corner in the pane, and the tag ClearText removes it by.
		int x, y, id;
		/// Shift-JIS, drawn on one line in the pane's font.
		std::string text;
	};
	/// An image of the image store and the script's tag for it; scales in 256ths.
	struct TImageItem
	{
		/// Top-left corner in the pane, the tag ClearImage removes it by, the SCRIPT_IMAGE_ kind, the index among
		/// the store's images of that kind, and the two scales (256 draws it at natural size).
		int x, y, id, kind, image, scaleX, scaleY;
	};

	/// The items are plain values; nothing else to release.
	virtual ~TEventPane();

	/// Appends an image item.
	void AddImage(const TImageItem& item);
	/// Appends a text item.
	void AddText(const TTextItem& item);
	/// Removes the image items with the id; -1 removes all.
	void ClearImage(int id);
	/// Removes the text items with the id; -1 removes all.
	void ClearText(int id);

	/// Black ground, the texts in order, then the images in order.
	virtual void draw(gcn::Graphics* graphics);

	/// The text items in the order they are drawn; the registry counts them against SCRIPT_ITEMS.
	const std::vector<TTextItem>& GetTexts() const { return m_Texts; }
	/// The image items in the order they are drawn, over the texts; counted against SCRIPT_ITEMS too.
	const std::vector<TImageItem>& GetImages() const { return m_Images; }

private:
	/// The items in the order they were added; the images are drawn over the texts.
	std::vector<TTextItem> m_Texts;
	std::vector<TImageItem> m_Images;
};

/// A plain, see-through window holding one event pane.
class TEventWindow : public gcn::Window
{
public:
	/// Adds the pane as the only child; the frame shows only what the pane draws.
	TEventWindow();
	/// Takes the pane out before it goes with the window.
	virtual ~TEventWindow();

	/// The window's only child, which holds and draws what the scripts put in it.
	TEventPane m_Pane;
};

/// The registry of the windows that scripts open and of the mouse presses meant for
/// scripts. A window's handle is its index; windows are never removed, so handles
/// stay valid for the whole game and are never reused.
class TScriptAPI : public gcn::MouseListener
{
public:
	/// Empty lists; listens to the presses that reach the GUI's top widget.
	explicit TScriptAPI(TGcnWidgetSet* widgetSet);
	/// Stops listening; the windows stay with the widget set.
	virtual ~TScriptAPI();

	/// Creates a window in the top container, kept alive by the widget set; its handle.
	int NewWindow();
	/// Number of windows made.
	int GetWindowCount() const { return int(m_Windows.size()); }
	/// Windows shown now.
	int GetShownWindowCount() const;
	/// Texts all the windows hold together.
	int GetTextCount() const;
	/// Images all the windows hold together.
	int GetImageCount() const;
	/// 0 <= handle < number of windows.
	bool IsValidWindow(int handle) const;
	/// The window; null for a handle that is not valid.
	TEventWindow* GetWindow(int handle) const;
	/// Sizes the pane (negative sizes as 0) and fits the window round it.
	void SetWindowSize(int handle, int width, int height);
	/// Moves the window; -1 centres it on that axis in the top widget.
	void SetWindowPosition(int handle, int x, int y);
	/// Shows the window and raises it to the top.
	void ShowWindow(int handle);
	/// Hides the window.
	void HideWindow(int handle);
	/// Hides every script window.
	void HideAllWindows();
	/// The window's visibility.
	bool IsWindowVisible(int handle) const;
	/// Adds an image at natural size; -1 centres it on that axis in the pane.
	void SetImage(int handle, int x, int y, int id, int kind, int image);
	/// Adds the face at natural size or, for face -1, the chip at three times its size.
	void SetFaceOrChip(int handle, int x, int y, int id, int face, int chip);
	/// Adds a line of text; -1 centres it at 8 pixels a byte and 16 pixels a line.
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
	/// Keeps each new window alive for the rest of the game; null leaves that to m_Windows alone.
	TGcnWidgetSet* m_WidgetSet;
	/// Shared with the widget set, which keeps them for the rest of the game.
	std::vector<boost::shared_ptr<TEventWindow>> m_Windows;
	/// The presses on each window's pane, by handle, oldest first.
	std::vector<std::deque<TScriptEvent>> m_WindowQueues;
	/// The presses that reached no script window's pane, oldest first.
	std::deque<TScriptEvent> m_GlobalQueue;
};

/// Width and height of the GUI's top widget; 0 x 0 before there is one.
void GetTopWidgetSize(int& width, int& height);

#endif
