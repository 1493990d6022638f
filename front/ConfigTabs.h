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
	/// The speed cells between "速度　速" and "遅", and the five watch switches under them, on a pane of 400 x 332.
	TConfigBattlePane();

	/// The speed cell and the five watch switches from the configuration.
	void LoadSettings(const TGameConfig& config);
	/// The speed, when a cell is selected, and the five watch switches into the configuration.
	void SaveSettings(TGameConfig& config) const;
	/// The four options after "観戦する" follow its tick.
	virtual void action(const gcn::ActionEvent& actionEvent);

	/// "速度　速", left of the speed cells.
	gcn::Label m_FastLabel;
	/// Cells "１" (fastest) to "５" (slowest).
	TSelectPane m_Speed;
	/// "遅", right of the speed cells.
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

	/// The seven commands' names.
	TShortcutListModel m_Commands;
	/// The commands; the selected one is the one "変更" gives a new key.
	gcn::ListBox m_CommandList;
	/// "変更": waits for the next key pressed.
	gcn::Button m_ChangeButton;
	/// "取消": ends the wait; greyed out while nothing is awaited.
	gcn::Button m_CancelButton;
	/// Black ground of the key label.
	TColorPane m_KeyGround;
	/// The selected command's key name in white, or "キーを押して下さい" while waiting.
	gcn::Label m_KeyLabel;

private:
	/// The label shows the selected command's key, or nothing without a selection.
	void ShowSelectedKey();

	/// Where the keys are read and stored at once, not only when the settings are accepted.
	TGameConfig& m_Config;
	/// "変更" was pressed and no key has come yet.
	bool m_Waiting;
};

/// The window size used at the next start, and vertical synchronisation.
class TConfigWindowPane : public gcn::Container, public gcn::ActionListener
{
public:
	/// The notice, the width buttons in a row, the height buttons in a column and the switch, on 480 x 320.
	TConfigWindowPane();

	/// The window size and the vertical-synchronisation switch from the configuration.
	void LoadSettings(const TGameConfig& config);
	/// The size chosen and the switch into the configuration.
	void SaveSettings(TGameConfig& config) const;
	/// The size buttons step or set the width and the height within their bounds.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The controls, then a preview of the size at an eighth.
	virtual void draw(gcn::Graphics* graphics);

	/// "ウィンドウサイズは再起動後に有効になります。"
	gcn::Label m_Notice;
	/// "-", "800", "1024", "1280", "+".
	gcn::Button m_WidthButtons[5];
	/// "-", "640", "800", "1024", "+".
	gcn::Button m_HeightButtons[5];
	/// "垂直同期を待たない（ON推奨）": from the next start, frames are shown without waiting for the vertical blank.
	gcn::CheckBox m_NoSwapInterval;
	/// The size chosen, in pixels; "-" and "+" step it by 16 from SETTINGS_MIN_WINDOW_SIDE up to 1920 wide, 1600 high.
	int m_Width;
	int m_Height;
};

/// The corrections of drawn rectangle outlines, with a picture to adjust them by eye.
class TConfigScreenPane : public gcn::Container, public gcn::ActionListener
{
public:
	/// The notice and a "+" and a "-" beside each edge of the picture, on 432 x 332; no corrections.
	TConfigScreenPane();

	/// The four corrections from the configuration.
	void LoadSettings(const TGameConfig& config);
	/// The four corrections into the configuration.
	void SaveSettings(TGameConfig& config) const;
	/// Each "+" and "-" moves its edge by one within -4 and 4.
	virtual void action(const gcn::ActionEvent& actionEvent);
	/// The controls, then a red square and a white outline drawn with the corrections.
	virtual void draw(gcn::Graphics* graphics);

	/// "赤線が見えないように白線の位置を調整して下さい。"
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
	/// The notice and the two switches, on 400 x 332.
	TConfigMusicSoundPane();

	/// The two switches from the configuration.
	void LoadSettings(const TGameConfig& config);
	/// The two switches into the configuration.
	void SaveSettings(TGameConfig& config) const;

	/// "音の設定は再起動後に有効になります。"
	gcn::Label m_Notice;
	/// "音楽を鳴らす".
	gcn::CheckBox m_Music;
	/// "効果音を鳴らす".
	gcn::CheckBox m_Sound;
};

#endif
