#include "script/ScriptAPI.h"

#include "app/GameMaster.h"
#include "gui/GuiContext.h"
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

// Removes the items that carry the id; -1 removes every item.
template <typename Item>
void RemoveById(std::vector<Item>& items, int id)
{
	items.erase(std::remove_if(items.begin(), items.end(), [id](const Item& item) { return id == -1 || item.id == id; }),
		items.end());
}

// Draws one image item with the store's plain draw at natural size, its scaled draw otherwise.
void DrawImageItem(gcn::Graphics* graphics, const TMorvalethImage& store, const TEventPane::TImageItem& item)
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
}

void GetTopWidgetSize(int& width, int& height)
{
	const gcn::Widget* top = TopWidget();
	width = top ? top->getWidth() : 0;
	height = top ? top->getHeight() : 0;
}

TEventPane::~TEventPane()
{
}

void TEventPane::AddImage(const TImageItem& item)
{
	m_Images.push_back(item);
}

void TEventPane::AddText(const TTextItem& item)
{
	m_Texts.push_back(item);
}

void TEventPane::ClearImage(int id)
{
	RemoveById(m_Images, id);
}

void TEventPane::ClearText(int id)
{
	RemoveById(m_Texts, id);
}

void TEventPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(gcn::Color(0, 0, 0, 255));
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	if (gcn::Font* font = getFont()) {
		graphics->setFont(font);
		graphics->setColor(gcn::Color(255, 255, 255, 255));
		for (const TTextItem& item : m_Texts)
			graphics->drawText(item.text, item.x, item.y, gcn::Graphics::LEFT);
	}
	if (const TMorvalethImage* store = g_GameMaster.m_Image.get())
		for (const TImageItem& item : m_Images)
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
	: m_WidgetSet(widgetSet)
{
	if (gcn::Widget* top = TopWidget())
		top->addMouseListener(this);
}

TScriptAPI::~TScriptAPI()
{
	// Every press reaches the registry through the top widget only, so no window
	// keeps a pointer to it once it is gone.
	gcn::Widget* top = TopWidget();
	if (top && gcn::Widget::widgetExists(top))
		top->removeMouseListener(this);
}

int TScriptAPI::NewWindow()
{
	boost::shared_ptr<TEventWindow> window(new TEventWindow());
	if (m_WidgetSet)
		m_WidgetSet->Add(window);
	if (gcn::Widget* top = TopWidget())
		if (gcn::Container* container = dynamic_cast<gcn::Container*>(top))
			container->add(window.get());
	m_Windows.push_back(window);
	m_WindowQueues.emplace_back();
	return int(m_Windows.size()) - 1;
}

int TScriptAPI::GetShownWindowCount() const
{
	return int(std::count_if(m_Windows.begin(), m_Windows.end(),
		[](const boost::shared_ptr<TEventWindow>& window) { return window->isVisible(); }));
}

int TScriptAPI::GetTextCount() const
{
	int count = 0;
	for (const boost::shared_ptr<TEventWindow>& window : m_Windows)
		count += int(window->m_Pane.GetTexts().size());
	return count;
}

int TScriptAPI::GetImageCount() const
{
	int count = 0;
	for (const boost::shared_ptr<TEventWindow>& window : m_Windows)
		count += int(window->m_Pane.GetImages().size());
	return count;
}

bool TScriptAPI::IsValidWindow(int handle) const
{
	return handle >= 0 && handle < int(m_Windows.size());
}

TEventWindow* TScriptAPI::GetWindow(int handle) const
{
	return IsValidWindow(handle) ? m_Windows[handle].get() : nullptr;
}

void TScriptAPI::SetWindowSize(int handle, int width, int height)
{
	TEventWindow* window = m_Windows.at(handle).get();
	window->m_Pane.setSize(std::max(0, width), std::max(0, height));
	window->resizeToContent();
}

void TScriptAPI::SetWindowPosition(int handle, int x, int y)
{
	TEventWindow* window = m_Windows.at(handle).get();
	int topWidth = 0, topHeight = 0;
	GetTopWidgetSize(topWidth, topHeight);
	window->setPosition(CentreOr(x, topWidth, window->getWidth()), CentreOr(y, topHeight, window->getHeight()));
}

void TScriptAPI::ShowWindow(int handle)
{
	TEventWindow* window = m_Windows.at(handle).get();
	window->setVisible(true);
	window->requestMoveToTop();
}

void TScriptAPI::HideWindow(int handle)
{
	m_Windows.at(handle)->setVisible(false);
}

void TScriptAPI::HideAllWindows()
{
	for (const boost::shared_ptr<TEventWindow>& window : m_Windows)
		window->setVisible(false);
}

bool TScriptAPI::IsWindowVisible(int handle) const
{
	return m_Windows.at(handle)->isVisible();
}

void TScriptAPI::SetImage(int handle, int x, int y, int id, int kind, int image)
{
	TEventPane& pane = m_Windows.at(handle)->m_Pane;
	int width = 0, height = 0;
	ImageSize(kind, image, width, height);
	pane.AddImage({CentreOr(x, pane.getWidth(), width), CentreOr(y, pane.getHeight(), height), id, kind, image,
		NATURAL_SCALE, NATURAL_SCALE});
}

void TScriptAPI::SetFaceOrChip(int handle, int x, int y, int id, int face, int chip)
{
	TEventPane& pane = m_Windows.at(handle)->m_Pane;
	if (face != -1)
		pane.AddImage({x, y, id, SCRIPT_IMAGE_FACE, face, NATURAL_SCALE, NATURAL_SCALE});
	else
		pane.AddImage({x, y, id, SCRIPT_IMAGE_CHARACHIP, chip, CHIP_SCALE, CHIP_SCALE});
}

void TScriptAPI::SetText(int handle, int x, int y, int id, const std::string& text)
{
	TEventPane& pane = m_Windows.at(handle)->m_Pane;
	pane.AddText({CentreOr(x, pane.getWidth(), CENTRE_BYTE_WIDTH * int(text.size())),
		CentreOr(y, pane.getHeight(), CENTRE_LINE_HEIGHT), id, text});
}

void TScriptAPI::ClearImage(int handle, int id)
{
	m_Windows.at(handle)->m_Pane.ClearImage(id);
}

void TScriptAPI::ClearText(int handle, int id)
{
	m_Windows.at(handle)->m_Pane.ClearText(id);
}

bool TScriptAPI::PopWindowEvent(int handle, TScriptEvent& event)
{
	std::deque<TScriptEvent>& queue = m_WindowQueues.at(handle);
	if (queue.empty())
		return false;
	event = queue.front();
	queue.pop_front();
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
	for (std::deque<TScriptEvent>& queue : m_WindowQueues)
		queue.clear();
	m_GlobalQueue.clear();
}

void TScriptAPI::mousePressed(gcn::MouseEvent& mouseEvent)
{
	// The registry hears every press once, as it reaches the top widget; a press on a
	// window's pane is queued for that window with window-relative coordinates.
	const int button = mouseEvent.getButton() == gcn::MouseEvent::LEFT ? 0 : 1;
	for (std::size_t i = 0; i < m_Windows.size(); ++i) {
		const TEventWindow* window = m_Windows[i].get();
		if (mouseEvent.getSource() == &window->m_Pane) {
			m_WindowQueues[i].push_back({mouseEvent.getX() - window->getX(), mouseEvent.getY() - window->getY(), button});
			return;
		}
	}
	m_GlobalQueue.push_back({mouseEvent.getX(), mouseEvent.getY(), button});
}
