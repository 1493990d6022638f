#ifndef MORVALETH_APP_WORLDMAPCONTROL_H
#define MORVALETH_APP_WORLDMAPCONTROL_H

#include <boost/shared_ptr.hpp>

class TGcnWidgetSet;
class TMorvalethData;
class TMorvalethGame;
class TiXmlElement;

/// What the game master asks of the world-map controller of a game: its set-up, its part of a save and the
/// settings changed during play. The world-map layer implements it.
class TWorldMapControl
{
public:
	virtual ~TWorldMapControl() = default;

	/// Builds windows and scripts; a new game then starts its first master, a loaded one (new game false,
	/// the save's root) restores the scripts' flags and goes on with the saved current master.
	virtual void Setup(bool newGame, bool gameOverCalled, TiXmlElement* saveRoot) = 0;
	/// Appends the scripts' part of a save ("LuaEvent") to the save's root; false, with an Error, when it
	/// makes more than a load of the save accepts.
	virtual bool SaveLuaEvent(TiXmlElement* saveRoot) = 0;
	/// Takes changed settings over in the running game.
	virtual void ApplyConfig() = 0;
	/// The controller stopped after a script or data failure; only the system menu still acts.
	virtual bool HasStopped() const = 0;
};

/// Makes the world-map controller of a game of the database, kept with its windows by the widget set.
/// The world-map layer defines it.
boost::shared_ptr<TWorldMapControl> CreateWorldMapControl(TGcnWidgetSet* widgetSet, TMorvalethGame& game,
	const TMorvalethData& data);

#endif
