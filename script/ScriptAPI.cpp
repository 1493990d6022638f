#include "script/ScriptAPI.h"

#include "app/GameMaster.h"
#include "gui/GuiContext.h"
#include "gui/TextPane.h"
#include "gui/WidgetSet.h"
#include "media/MorvalethImage.h"

#include <algorithm>
#include <boost/shared_ptr.hpp>
#include <guichan/font.hpp>
#include <guichan/graphics.hpp>
#include <guichan/gui.hpp>
#include <guichan/mouseevent.hpp>
#include <guichan/widgets/container.hpp>

namespace
{
const int NATURAL_SCALE = 256;
const int CHIP_SCALE = 768;
// Centring measures a text at 8 pixels a byte and one line of 16 pixels.
const int CENTRE_BYTE_WIDTH = 8;
const int CENTRE_LINE_HEIGHT = 16;
// Faces and chips have fixed sizes, whatever script image has the same index.
const int FACE_SIZE = 96;
const int CHIP_SIZE = 32;

gcn::Widget* TopWidget()
{
	return g_GuiContext.m_Gui ? g_GuiContext.m_Gui->getTop() : nullptr;
}

// Removes the items that carry the id, -1 every item; how many it removed.
template <typename Item>
int RemoveById(std::vector<Item>& items, int id)
{
	const std::size_t before = items.size();
	items.erase(std::remove_if(items.begin(), items.end(), [id](const Item& item) { return id == -1 || item.id == id; }),
		items.end());
	return int(before - items.size());
}

// Draws one image item with the store's plain draw at natural size, its scaled draw otherwise.
void DrawImageItem(gcn::Graphics* graphics, const TMorvalethImage& store, const TEventContent::TImageItem& item)
{
	const bool natural = item.scaleX == NATURAL_SCALE && item.scaleY == NATURAL_SCALE;
	switch (item.kind) {
	case SCRIPT_IMAGE_FACE:
		if (natural)
			store.DrawFace(graphics, item.x, item.y, item.image);
		else
			store.DrawFaceScaled(graphics, item.x, item.y, item.image, item.scaleX, item.scaleY);
		break;
	case SCRIPT_IMAGE_CHARACHIP:
		if (natural)
			store.DrawChara(graphics, item.x, item.y, item.image);
		else
			store.DrawCharaScaled(graphics, item.x, item.y, item.image, item.scaleX, item.scaleY);
		break;
	default:
		if (natural)
			store.DrawMyImage(graphics, item.x, item.y, item.image);
		else
			store.DrawMyImageScaled(graphics, item.x, item.y, item.image, item.scaleX, item.scaleY);
		break;
	}
}

// Natural size of an image of that kind.
void ImageSize(int kind, int image, int& width, int& height)
{
	if (kind == SCRIPT_IMAGE_FACE) {
		width = height = FACE_SIZE;
	} else if (kind == SCRIPT_IMAGE_CHARACHIP) {
		width = height = CHIP_SIZE;
	} else if (g_GameMaster.m_Image) {
		g_GameMaster.m_Image->GetMyImageSize(image, width, height);
	} else {
		width = height = 0;
	}
}

// The coordinate, or for -1 the start that centres a length within the room.
int CentreOr(int value, int room, int length)
{
	return value == -1 ? (room - length) / 2 : value;
}

// Draws a text from its corner line by line, each line feed starting a line one font height lower, as the
// message dialog draws one.
void DrawTextLines(gcn::Graphics* graphics, const gcn::Font& font, const TEventContent::TTextItem& item)
{
	const std::string& text = item.text;
	int y = item.y;
	for (std::size_t start = 0; start <= text.size(); y += font.getHeight()) {
		const std::size_t end = std::min(text.find('\n', start), text.size());
		if (end > start)
			graphics->drawText(text.substr(start, end - start), item.x, y, gcn::Graphics::LEFT);
		start = end + 1;
	}
}

TScriptItems operator+(const TScriptItems& a, const TScriptItems& b)
{
	return {a.texts + b.texts, a.images + b.images};
}
}

void GetTopWidgetSize(int& width, int& height)
{
	const gcn::Widget* top = TopWidget();
	width = top ? top->getWidth() : 0;
	height = top ? top->getHeight() : 0;
}

void TEventContent::AddImage(const TImageItem& item)
{
	m_Images.push_back(item);
}

void TEventContent::AddText(const TTextItem& item)
{
	m_Texts.push_back(item);
}

int TEventContent::ClearImage(int id)
{
	return RemoveById(m_Images, id);
}

int TEventContent::ClearText(int id)
{
	return RemoveById(m_Texts, id);
}

TEventPane::TEventPane()
	: m_Content(nullptr)
{
}

TEventPane::~TEventPane()
{
}

void TEventPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(gcn::Color(0, 0, 0, 255));
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	if (!m_Content)
		return;
	if (gcn::Font* font = getFont()) {
		graphics->setFont(font);
		graphics->setColor(gcn::Color(255, 255, 255, 255));
		for (const TEventContent::TTextItem& item : m_Content->GetTexts())
			DrawTextLines(graphics, *font, item);
	}
	if (const TMorvalethImage* store = g_GameMaster.m_Image.get())
		for (const TEventContent::TImageItem& item : m_Content->GetImages())
			DrawImageItem(graphics, *store, item);
}

TEventWindow::TEventWindow()
{
	setOpaque(false);
	add(&m_Pane);
}

TEventWindow::~TEventWindow()
{
	remove(&m_Pane);
}

TScriptAPI::TScriptAPI(TGcnWidgetSet* widgetSet)
	: m_WidgetSet(widgetSet), m_Held{0, 0}
{
	if (gcn::Widget* top = TopWidget())
		top->addMouseListener(this);
}

TScriptAPI::~TScriptAPI()
{
	// Every press reaches the registry through the top widget only, so no window
	// keeps a pointer to it once it is gone; nor does a pane keep its contents.
	gcn::Widget* top = TopWidget();
	if (top && gcn::Widget::widgetExists(top))
		top->removeMouseListener(this);
	for (const boost::shared_ptr<TEventWindow>& window : m_Windows) {
		window->setVisible(false);
		window->m_Pane.m_Content = nullptr;
	}
}

int TScriptAPI::NewWindow()
{
	// A new window has the title bar of a new guichan window.
	static const unsigned defaultTitleBarHeight = gcn::Window().getTitleBarHeight();
	m_States.push_back({TEventContent(), 0, 0, defaultTitleBarHeight, false, 0, 0, false});
	const int handle = int(m_States.size()) - 1;
	ShowWindow(handle);
	return handle;
}

TScriptItems TScriptAPI::GetShownItems() const
{
	TScriptItems items = {0, 0};
	for (const TShownWindow& shown : m_Shown)
		items = items + m_States[shown.handle].content.GetItemCount();
	return items;
}

bool TScriptAPI::IsValidWindow(int handle) const
{
	return handle >= 0 && handle < int(m_States.size());
}

TEventWindow* TScriptAPI::GetWindow(int handle) const
{
	return ShownIn(handle);
}

TEventWindow* TScriptAPI::ShownIn(int handle) const
{
	for (const TShownWindow& shown : m_Shown)
		if (shown.handle == handle)
			return shown.window;
	return nullptr;
}

TEventWindow* TScriptAPI::FreeWindow()
{
	// A guichan widget costs every frame (the top container passes the logic to each child) and its end costs
	// a walk of every widget there is, so that thousands of hidden windows would slow the game and stall its
	// end for seconds; the shown windows borrow from a pool no larger than the most ever shown at once.
	for (const boost::shared_ptr<TEventWindow>& window : m_Windows)
		if (!window->m_Pane.m_Content)
			return window.get();
	boost::shared_ptr<TEventWindow> window(new TEventWindow());
	window->setVisible(false);
	if (m_WidgetSet)
		m_WidgetSet->Add(window);
	if (gcn::Container* container = dynamic_cast<gcn::Container*>(TopWidget()))
		container->add(window.get());
	m_Windows.push_back(window);
	return window.get();
}

void TScriptAPI::Fit(TEventWindow& window, const TEventWindowState& state)
{
	window.setTitleBarHeight(state.titleBarHeight);
	window.m_Pane.setSize(state.paneWidth, state.paneHeight);
	if (state.fitted)
		window.resizeToContent();
	else
		window.setSize(0, 0);
}

void TScriptAPI::SetWindowSize(int handle, int width, int height)
{
	TEventWindowState& state = m_States.at(handle);
	state.paneWidth = std::max(0, width);
	state.paneHeight = std::max(0, height);
	state.fitted = true;
	if (TEventWindow* window = ShownIn(handle))
		Fit(*window, state);
}

void TScriptAPI::SetTitleBarHeight(int handle, unsigned height)
{
	TEventWindowState& state = m_States.at(handle);
	state.titleBarHeight = height;
	state.fitted = true;
	if (TEventWindow* window = ShownIn(handle))
		Fit(*window, state);
}

void TScriptAPI::SetWindowPosition(int handle, int x, int y)
{
	TEventWindowState& state = m_States.at(handle);
	// A hidden window is measured in a free guichan window, fitted as it would be shown.
	TEventWindow* shown = ShownIn(handle);
	TEventWindow& window = shown ? *shown : *FreeWindow();
	Fit(window, state);
	int topWidth = 0, topHeight = 0;
	GetTopWidgetSize(topWidth, topHeight);
	state.x = CentreOr(x, topWidth, window.getWidth());
	state.y = CentreOr(y, topHeight, window.getHeight());
	if (shown)
		shown->setPosition(state.x, state.y);
}

void TScriptAPI::ShowWindow(int handle)
{
	TEventWindowState& state = m_States.at(handle);
	TEventWindow* window = ShownIn(handle);
	if (!window) {
		window = FreeWindow();
		window->m_Pane.m_Content = &state.content;
		Fit(*window, state);
		window->setPosition(state.x, state.y);
		m_Shown.push_back({handle, window});
		state.shown = true;
	}
	window->setVisible(true);
	window->requestMoveToTop();
}

void TScriptAPI::HideWindow(int handle)
{
	TEventWindowState& state = m_States.at(handle);
	TEventWindow* window = ShownIn(handle);
	if (!window)
		return;
	// The window comes back where the player may have dragged it by its title bar.
	state.x = window->getX();
	state.y = window->getY();
	state.shown = false;
	window->setVisible(false);
	window->m_Pane.m_Content = nullptr;
	m_Shown.erase(std::find_if(m_Shown.begin(), m_Shown.end(),
		[handle](const TShownWindow& shown) { return shown.handle == handle; }));
}

void TScriptAPI::HideAllWindows()
{
	while (!m_Shown.empty())
		HideWindow(m_Shown.back().handle);
}

void TScriptAPI::SetImage(int handle, int x, int y, int id, int kind, int image)
{
	TEventWindowState& state = m_States.at(handle);
	int width = 0, height = 0;
	ImageSize(kind, image, width, height);
	state.content.AddImage({CentreOr(x, state.paneWidth, width), CentreOr(y, state.paneHeight, height), id, kind,
		image, NATURAL_SCALE, NATURAL_SCALE});
	++m_Held.images;
}

void TScriptAPI::SetFaceOrChip(int handle, int x, int y, int id, int face, int chip)
{
	TEventContent& content = m_States.at(handle).content;
	if (face != -1)
		content.AddImage({x, y, id, SCRIPT_IMAGE_FACE, face, NATURAL_SCALE, NATURAL_SCALE});
	else
		content.AddImage({x, y, id, SCRIPT_IMAGE_CHARACHIP, chip, CHIP_SCALE, CHIP_SCALE});
	++m_Held.images;
}

void TScriptAPI::SetText(int handle, int x, int y, int id, const std::string& text)
{
	TEventWindowState& state = m_States.at(handle);
	int longest = 0, lines = 0;
	MeasureLines(text, longest, lines);
	state.content.AddText({CentreOr(x, state.paneWidth, CENTRE_BYTE_WIDTH * longest),
		CentreOr(y, state.paneHeight, CENTRE_LINE_HEIGHT * lines), id, text});
	++m_Held.texts;
}

void TScriptAPI::ClearImage(int handle, int id)
{
	m_Held.images -= m_States.at(handle).content.ClearImage(id);
}

void TScriptAPI::ClearText(int handle, int id)
{
	m_Held.texts -= m_States.at(handle).content.ClearText(id);
}

bool TScriptAPI::PopWindowEvent(int handle, TScriptEvent& event)
{
	const std::deque<TWindowEvent>::iterator found = std::find_if(m_WindowQueue.begin(), m_WindowQueue.end(),
		[handle](const TWindowEvent& queued) { return queued.handle == handle; });
	if (found == m_WindowQueue.end())
		return false;
	event = found->event;
	m_WindowQueue.erase(found);
	return true;
}

bool TScriptAPI::PopGuiEvent(TScriptEvent& event)
{
	if (m_GlobalQueue.empty())
		return false;
	event = m_GlobalQueue.front();
	m_GlobalQueue.pop_front();
	return true;
}

void TScriptAPI::ClearEvents()
{
	m_WindowQueue.clear();
	m_GlobalQueue.clear();
}

void TScriptAPI::mousePressed(gcn::MouseEvent& mouseEvent)
{
	// The registry hears every press once, as it reaches the top widget; a press on a
	// window's pane, which only a shown window has, is queued for that window with
	// window-relative coordinates.
	const int button = mouseEvent.getButton() == gcn::MouseEvent::LEFT ? 0 : 1;
	for (const TShownWindow& shown : m_Shown) {
		if (mouseEvent.getSource() == &shown.window->m_Pane) {
			m_WindowQueue.push_back({shown.handle,
				{mouseEvent.getX() - shown.window->getX(), mouseEvent.getY() - shown.window->getY(), button}});
			return;
		}
	}
	m_GlobalQueue.push_back({mouseEvent.getX(), mouseEvent.getY(), button});
}
