#ifndef MORVALETH_WORLD_SCREENWORLDVIEW_H
#define MORVALETH_WORLD_SCREENWORLDVIEW_H

#include "world/WorldView.h"

class TGcnWidgetSet;
class TWorldMapHeartbeat;

/// The world map on the program's screen, as far as it is built: the controller and its battle are
/// stepped in the GUI's logic pass, messages use the one message dialog, music and sounds the game's
/// mixer, and the end of the game quits the program. The map and the player's windows show nothing yet.
class TScreenWorldView : public TNullWorldView
{
public:
	/// The view of a game whose widgets the set keeps.
	explicit TScreenWorldView(TGcnWidgetSet* widgetSet);
	/// The stepping stops with the view.
	~TScreenWorldView() override;

	void Build(TWorldMapLogic& controller, int areaCount) override;
	void ShowMessage(const std::string& caption, const std::string& text, unsigned buttons, int timeout) override;
	bool IsMessageVisible() const override;
	unsigned GetMessageAnswer() const override;
	void ChangeMusic(int music, int fadeTime) override;
	void ChangeCommonMusic(int id, int fadeTime) override;
	void FadeOutMusic(int fadeTime) override;
	bool IsMusicPlaying() const override;
	void PlaySound(int id) override;
	void Quit() override;

private:
	TGcnWidgetSet* m_WidgetSet;
	/// Kept alive by the widget set; null before Build.
	TWorldMapHeartbeat* m_Heartbeat;
};

#endif
