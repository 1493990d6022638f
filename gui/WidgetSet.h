#ifndef MORVALETH_GUI_WIDGETSET_H
#define MORVALETH_GUI_WIDGETSET_H

#include <list>
#include <boost/shared_ptr.hpp>

namespace gcn
{
class Widget;
}

/// Keeps the windows of one game alive exactly as long as the game.
class TGcnWidgetSet
{
public:
	/// Releases every widget whose last owner the set is.
	virtual ~TGcnWidgetSet();

	/// Keeps the widget alive as long as the set.
	void Add(boost::shared_ptr<gcn::Widget> widget);

private:
	std::list<boost::shared_ptr<gcn::Widget>> m_Widgets;
};

#endif
