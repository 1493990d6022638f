#ifndef MORVALETH_FRONT_CONFIGTABS_H
#define MORVALETH_FRONT_CONFIGTABS_H

#include "front/ConfigWidgets.h"

#include <guichan/actionlistener.hpp>
#include <guichan/selectionlistener.hpp>
#include <guichan/widgets/button.hpp>
#include <guichan/widgets/checkbox.hpp>
#include <guichan/widgets/container.hpp>
#include <guichan/widgets/label.hpp>
#include <guichan/widgets/listbox.hpp>

class TGameConfig;

/// Battle speed and when battles are watched.
class TConfigBattlePane : public gcn::Container, public gcn::ActionListener
{
public:
	TConfigBattlePane();

	/// The speed cell and the five watch switches from the configuration.
	void LoadSettings(const TGameConfig& config);
	/// The speed, when a cell is selected, and the five watch switches into the configuration.
	void SaveSettings(TGameConfig& config) const;
	/// The four options after "観戦する" follow its tick.
	virtual void action(const gcn::ActionEvent& actionEvent);

	gcn::Label m_FastLabel;
	/// Cells "１" (fastest) to "５" (slowest).
	TSelectPane m_Speed;
	gcn::Label m_SlowLabel;
	/// "観戦する", then the four options that only count while it is ticked.
	gcn::CheckBox m_Watch[5];

private:
	/// Enables the four options when "観戦する" is ticked, greys them out otherwise.
	void UpdateWatchOptions();
};

/// The keys of the battle commands; a new key is taken from the game master's key queue.
class TConfigShortcutPane : public gcn::Container, public gcn::ActionListener, public gcn::SelectionListener
{
public:
	/// Keys are read from and stored into the configuration.
	explicit TConfigShortcutPane(TGameConfig& config);

	/// While waiting, takes the oldest queued key for the selected command; called every frame, whichever tab shows.
	void PollKey();
	/// Ends a wait for a key without changing anything.
	void EndWait();
	/// True while "変更" waits for a key.
	bool IsWaiting() const { return m_Waiting; }

	/// "変更" starts waiting for a key, "取消" stops.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The label shows the key of the command selected.
	virtual void valueChanged(const gcn::SelectionEvent& event);

	TShortcutListModel m_Commands;
	gcn::ListBox m_CommandList;
	gcn::Button m_ChangeButton;
	gcn::Button m_CancelButton;
	/// Black ground of the key label.
	TColorPane m_KeyGround;
	gcn::Label m_KeyLabel;

private:
	/// The label shows the selected command's key, or nothing without a selection.
	void ShowSelectedKey();

	TGameConfig& m_Config;
	bool m_Waiting;
};

/// The window size used at the next start, and vertical synchronisation.
class TConfigWindowPane : public gcn::Container, public gcn::ActionListener
{
public:
	TConfigWindowPane();

	void LoadSettings(const TGameConfig& config);
	void SaveSettings(TGameConfig& config) const;
	/// The size buttons step or set the width and the height within their bounds.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The controls, then a preview of the size at an eighth.
	virtual void draw(gcn::Graphics* graphics);

	gcn::Label m_Notice;
	/// "-", "800", "1024", "1280", "+".
	gcn::Button m_WidthButtons[5];
	/// "-", "640", "800", "1024", "+".
	gcn::Button m_HeightButtons[5];
	gcn::CheckBox m_NoSwapInterval;
	/// The size chosen.
	int m_Width;
	int m_Height;
};

/// The corrections of drawn rectangle outlines, with a picture to adjust them by eye.
class TConfigScreenPane : public gcn::Container, public gcn::ActionListener
{
public:
	TConfigScreenPane();

	void LoadSettings(const TGameConfig& config);
	void SaveSettings(TGameConfig& config) const;
	/// Each "+" and "-" moves its edge by one within -4 and 4.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The controls, then a red square and a white outline drawn with the corrections.
	virtual void draw(gcn::Graphics* graphics);

	gcn::Label m_Notice;
	/// "+" and "-" of the left, right, top and bottom edges.
	gcn::Button m_PlusButtons[4];
	gcn::Button m_MinusButtons[4];
	/// Corrections of the left, right, top and bottom edges.
	int m_Slides[4];
};

/// Music and sound effects, used from the next start.
class TConfigMusicSoundPane : public gcn::Container
{
public:
	TConfigMusicSoundPane();

	void LoadSettings(const TGameConfig& config);
	void SaveSettings(TGameConfig& config) const;

	gcn::Label m_Notice;
	gcn::CheckBox m_Music;
	gcn::CheckBox m_Sound;
};

#endif
