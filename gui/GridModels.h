#ifndef MORVALETH_GUI_GRIDMODELS_H
#define MORVALETH_GUI_GRIDMODELS_H

#include "gui/Grid.h"

/// Every area that is not ignored: name, owner, income, levels, troops, strength and standing order.
class TAreaGridModel : public TGcnGridModel
{
public:
	TAreaGridModel();

protected:
	virtual void AddRows(const TMorvalethGame& game, const TMorvalethData& data);
};

/// Every master still in play: name, home area, holdings, money, income, heroes, strength and alliance.
class TMasterGridModel : public TGcnGridModel
{
public:
	TMasterGridModel();

protected:
	virtual void AddRows(const TMorvalethGame& game, const TMorvalethData& data);
};

/// Heroes and masters stationed in areas, then the dead: name, where they stay, its owner and wins.
class THeroGridModel : public TGcnGridModel
{
public:
	THeroGridModel();

protected:
	virtual void AddRows(const TMorvalethGame& game, const TMorvalethData& data);
};

#endif
