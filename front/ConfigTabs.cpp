#include "front/ConfigTabs.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "gui/SkinManager.h"

#include <algorithm>
#include <guichan/focushandler.hpp>
#include <guichan/graphics.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color BLACK(0, 0, 0, 255);
const gcn::Color RED(255, 0, 0, 255);

const int WATCH_SWITCHES[5] = { SWITCH_WATCH_USE, SWITCH_WATCH_ONLY_LARGE, SWITCH_WATCH_ONLY_MASTER,
	SWITCH_WATCH_NO_NEUTRAL, SWITCH_WATCH_MAX_SPEED };
const char* const WATCH_CAPTIONS[5] = { "観戦する", "戦力が大きな時だけ観戦", "マスターが参加している時だけ観戦",
	"中立軍との戦いは見ない", "観戦時は最高速" };
const int SPEED_CELLS = 5;

/// The size buttons of one side of the window: "-", three presets, "+".
struct TSizeAxis
{
	const char* presets[3];
	int presetValues[3];
	int max;
};

const TSizeAxis WIDTH_AXIS = { { "800", "1024", "1280" }, { 800, 1024, 1280 }, 1920 };
const TSizeAxis HEIGHT_AXIS = { { "640", "800", "1024" }, { 640, 800, 1024 }, 1600 };
const int SIZE_MIN = SETTINGS_MIN_WINDOW_SIDE;
const int SIZE_STEP = 16;
// The preview shows the window at an eighth of its size.
const int PREVIEW_SCALE = 8;

const int SLIDE_MIN = -4;
const int SLIDE_MAX = 4;
const int SLIDE_SETTINGS[4] = { CONFIG_SLIDE_LEFT, CONFIG_SLIDE_RIGHT, CONFIG_SLIDE_TOP, CONFIG_SLIDE_BOTTOM };

void SkinCheckBox(gcn::CheckBox& checkBox, bool enabled)
{
	if (enabled)
		TGcnSkinManager::SetupCheckBox(&checkBox);
	else
		TGcnSkinManager::SetupDisabledCheckBox(&checkBox);
}

// The size after pressing button i of an axis ("-", the presets, "+").
int SizeAfter(const TSizeAxis& axis, int size, int button)
{
	if (button == 0)
		return std::max(size - SIZE_STEP, SIZE_MIN);
	if (button == 4)
		return std::min(size + SIZE_STEP, axis.max);
	return axis.presetValues[button - 1];
}

// Index of the button among the array's count; -1 when it is not one of them.
int IndexOf(const gcn::Widget* source, const gcn::Button* buttons, int count)
{
	for (int i = 0; i < count; ++i)
		if (source == &buttons[i])
			return i;
	return -1;
}

// Captions and places the five size buttons of an axis: "-" at the first position, "+" at the last.
void PlaceSizeButtons(gcn::Container& pane, gcn::Button* buttons, const TSizeAxis& axis, const int x[5],
	const int y[5], gcn::ActionListener* listener)
{
	for (int i = 0; i < 5; ++i) {
		buttons[i].setCaption(i == 0 ? "-" : i == 4 ? "+" : axis.presets[i - 1]);
		Place(pane, buttons[i], x[i], y[i], i == 0 || i == 4 ? 24 : 48, 24);
		SkinButton(buttons[i], true);
		buttons[i].addActionListener(listener);
	}
}
}

TConfigBattlePane::TConfigBattlePane()
	: m_FastLabel("速度　速"), m_Speed({ "１", "２", "３", "４", "５" }), m_SlowLabel("遅")
{
	setSize(400, 332);
	Place(*this, m_FastLabel, 4, 8, 64, 24);
	m_Speed.setBackgroundColor(gcn::Color(0, 0, 0, 0));
	m_Speed.setForegroundColor(WHITE);
	m_Speed.m_SelectionColor = gcn::Color(255, 192, 0, 255);
	Place(*this, m_Speed, 72, 8, 256, 24);
	Place(*this, m_SlowLabel, 332, 8, 16, 24);
	for (int i = 0; i < 5; ++i) {
		m_Watch[i].setCaption(WATCH_CAPTIONS[i]);
		Place(*this, m_Watch[i], 4, 40 + 24 * i, i == 2 ? 320 : 256, 16);
		SkinCheckBox(m_Watch[i], true);
	}
	m_Watch[0].addActionListener(this);
}

void TConfigBattlePane::LoadSettings(const TGameConfig& config)
{
	// A speed outside the five cells leaves the selection as it was.
	const int cell = config.GetIntValue(CONFIG_ANIMATION_SPEED) - 1;
	if (cell >= 0 && cell < SPEED_CELLS)
		m_Speed.m_Selected = cell;
	for (int i = 0; i < 5; ++i)
		m_Watch[i].setSelected(config.GetBoolValue(WATCH_SWITCHES[i]));
	UpdateWatchOptions();
}

void TConfigBattlePane::SaveSettings(TGameConfig& config) const
{
	// Without a selected cell the stored speed stays as it is: it never becomes 0.
	if (m_Speed.m_Selected >= 0)
		config.SetIntValue(CONFIG_ANIMATION_SPEED, m_Speed.m_Selected + 1);
	for (int i = 0; i < 5; ++i)
		config.SetBoolValue(WATCH_SWITCHES[i], m_Watch[i].isSelected());
}

void TConfigBattlePane::action(const gcn::ActionEvent&)
{
	UpdateWatchOptions();
}

void TConfigBattlePane::UpdateWatchOptions()
{
	for (int i = 1; i < 5; ++i)
		SkinCheckBox(m_Watch[i], m_Watch[0].isSelected());
}

TConfigShortcutPane::TConfigShortcutPane(TGameConfig& config)
	: m_CommandList(&m_Commands), m_ChangeButton("変更"), m_CancelButton("取消"), m_Config(config), m_Waiting(false)
{
	setSize(400, 200);
	Place(*this, m_CommandList, 4, 4, 160, 240);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupListBox(&m_CommandList);
	m_CommandList.addSelectionListener(this);
	Place(*this, m_ChangeButton, 168, 4, 56, 24);
	SkinButton(m_ChangeButton, true);
	m_ChangeButton.addActionListener(this);
	Place(*this, m_CancelButton, 228, 4, 56, 24);
	SkinButton(m_CancelButton, false);
	m_CancelButton.addActionListener(this);
	m_KeyGround.setForegroundColor(BLACK);
	Place(*this, m_KeyGround, 168, 32, 168, 24);
	m_KeyLabel.setForegroundColor(WHITE);
	Place(*this, m_KeyLabel, 172, 32, 160, 24);
}

void TConfigShortcutPane::action(const gcn::ActionEvent& actionEvent)
{
	if (actionEvent.getSource() == &m_CancelButton) {
		EndWait();
		return;
	}
	if (actionEvent.getSource() != &m_ChangeButton)
		return;
	m_KeyLabel.setCaption("キーを押して下さい");
	g_GameMaster.ClearKeys();
	SkinButton(m_CancelButton, true);
	m_Waiting = true;
	// The key asked for must not also press a focused button or move the list: "変更" itself would take
	// SPACE or ENTER as its own press and start waiting again.
	if (_getFocusHandler())
		_getFocusHandler()->focusNone();
}

void TConfigShortcutPane::valueChanged(const gcn::SelectionEvent&)
{
	ShowSelectedKey();
}

void TConfigShortcutPane::PollKey()
{
	int key = 0;
	if (!m_Waiting || !g_GameMaster.PeekKey(key))
		return;
	g_GameMaster.PopKey();
	const int command = m_CommandList.getSelected();
	if (command >= 0 && command < SHORTCUT_COUNT)
		m_Config.SetShortcut(command, key);
	EndWait();
}

void TConfigShortcutPane::EndWait()
{
	m_Waiting = false;
	SkinButton(m_CancelButton, false);
	ShowSelectedKey();
}

void TConfigShortcutPane::ShowSelectedKey()
{
	const int command = m_CommandList.getSelected();
	m_KeyLabel.setCaption(command >= 0 && command < SHORTCUT_COUNT ? KeyName(m_Config.GetShortcut(command)) : "");
}

TConfigWindowPane::TConfigWindowPane()
	: m_Notice("ウィンドウサイズは再起動後に有効になります。"), m_NoSwapInterval("垂直同期を待たない（ON推奨）"),
	  m_Width(0), m_Height(0)
{
	setSize(480, 320);
	m_Notice.setForegroundColor(WHITE);
	Place(*this, m_Notice, 4, 4, 400, 24);
	const int widthX[5] = { 8, 56, 112, 168, 240 };
	const int widthY[5] = { 32, 32, 32, 32, 32 };
	PlaceSizeButtons(*this, m_WidthButtons, WIDTH_AXIS, widthX, widthY, this);
	const int heightX[5] = { 272, 272, 272, 272, 272 };
	const int heightY[5] = { 64, 112, 144, 176, 224 };
	PlaceSizeButtons(*this, m_HeightButtons, HEIGHT_AXIS, heightX, heightY, this);
	Place(*this, m_NoSwapInterval, 4, 276, 256, 16);
	SkinCheckBox(m_NoSwapInterval, true);
}

void TConfigWindowPane::LoadSettings(const TGameConfig& config)
{
	m_Width = config.GetIntValue(CONFIG_WIDTH);
	m_Height = config.GetIntValue(CONFIG_HEIGHT);
	m_NoSwapInterval.setSelected(config.GetBoolValue(SWITCH_DISABLE_SWAP_INTERVAL));
}

void TConfigWindowPane::SaveSettings(TGameConfig& config) const
{
	config.SetIntValue(CONFIG_WIDTH, m_Width);
	config.SetIntValue(CONFIG_HEIGHT, m_Height);
	config.SetBoolValue(SWITCH_DISABLE_SWAP_INTERVAL, m_NoSwapInterval.isSelected());
}

void TConfigWindowPane::action(const gcn::ActionEvent& actionEvent)
{
	const int width = IndexOf(actionEvent.getSource(), m_WidthButtons, 5);
	const int height = IndexOf(actionEvent.getSource(), m_HeightButtons, 5);
	if (width >= 0)
		m_Width = SizeAfter(WIDTH_AXIS, m_Width, width);
	if (height >= 0)
		m_Height = SizeAfter(HEIGHT_AXIS, m_Height, height);
}

void TConfigWindowPane::draw(gcn::Graphics* graphics)
{
	gcn::Container::draw(graphics);
	graphics->setColor(BLACK);
	graphics->fillRectangle(gcn::Rectangle(8, 64, 256, 204));
	graphics->setColor(WHITE);
	g_DrawRectangleSlide.DrawRectangle(graphics,
		gcn::Rectangle(10, 66, m_Width / PREVIEW_SCALE, m_Height / PREVIEW_SCALE));
	graphics->setFont(getFont());
	graphics->drawText(FormatText("%d x %d ", m_Width, m_Height), 16, 72, gcn::Graphics::LEFT);
}

TConfigScreenPane::TConfigScreenPane()
	: m_Notice("赤線が見えないように白線の位置を調整して下さい。"), m_Slides{ 0, 0, 0, 0 }
{
	setSize(432, 332);
	Place(*this, m_Notice, 4, 4, 400, 24);
	// Left, right, top and bottom: "+" first, "-" second.
	const int plusX[4] = { 36, 196, 96, 96 };
	const int plusY[4] = { 96, 96, 36, 196 };
	const int minusX[4] = { 36, 196, 136, 136 };
	const int minusY[4] = { 136, 136, 36, 196 };
	for (int i = 0; i < 4; ++i) {
		m_PlusButtons[i].setCaption("+");
		m_MinusButtons[i].setCaption("-");
		Place(*this, m_PlusButtons[i], plusX[i], plusY[i], 24, 24);
		Place(*this, m_MinusButtons[i], minusX[i], minusY[i], 24, 24);
		for (gcn::Button* button : { &m_PlusButtons[i], &m_MinusButtons[i] }) {
			SkinButton(*button, true);
			button->addActionListener(this);
		}
	}
}

void TConfigScreenPane::LoadSettings(const TGameConfig& config)
{
	for (int i = 0; i < 4; ++i)
		m_Slides[i] = config.GetIntValue(SLIDE_SETTINGS[i]);
}

void TConfigScreenPane::SaveSettings(TGameConfig& config) const
{
	for (int i = 0; i < 4; ++i)
		config.SetIntValue(SLIDE_SETTINGS[i], m_Slides[i]);
}

void TConfigScreenPane::action(const gcn::ActionEvent& actionEvent)
{
	const int plus = IndexOf(actionEvent.getSource(), m_PlusButtons, 4);
	const int minus = IndexOf(actionEvent.getSource(), m_MinusButtons, 4);
	if (plus >= 0)
		m_Slides[plus] = std::min(m_Slides[plus] + 1, SLIDE_MAX);
	if (minus >= 0)
		m_Slides[minus] = std::max(m_Slides[minus] - 1, SLIDE_MIN);
}

void TConfigScreenPane::draw(gcn::Graphics* graphics)
{
	gcn::Container::draw(graphics);
	graphics->setColor(BLACK);
	graphics->fillRectangle(gcn::Rectangle(64, 64, 128, 128));
	// A red outline 95 pixels square, one pixel wide.
	graphics->setColor(RED);
	graphics->fillRectangle(gcn::Rectangle(80, 80, 95, 95));
	graphics->setColor(BLACK);
	graphics->fillRectangle(gcn::Rectangle(81, 81, 93, 93));
	// The white outline goes through the plain primitive and the corrections chosen here, so the player
	// sees what the corrections would do before they apply.
	const int left = m_Slides[0];
	const int right = m_Slides[1];
	const int top = m_Slides[2];
	const int bottom = m_Slides[3];
	graphics->setColor(WHITE);
	graphics->drawRectangle(gcn::Rectangle(80 + left, 80 + top, 95 + right - left, 95 + bottom - top));
}

TConfigMusicSoundPane::TConfigMusicSoundPane()
	: m_Notice("音の設定は再起動後に有効になります。"), m_Music("音楽を鳴らす"), m_Sound("効果音を鳴らす")
{
	setSize(400, 332);
	Place(*this, m_Notice, 4, 4, 400, 24);
	Place(*this, m_Music, 4, 40, 256, 16);
	Place(*this, m_Sound, 4, 64, 256, 16);
	SkinCheckBox(m_Music, true);
	SkinCheckBox(m_Sound, true);
}

void TConfigMusicSoundPane::LoadSettings(const TGameConfig& config)
{
	m_Music.setSelected(config.GetBoolValue(SWITCH_MUSIC_ENABLED));
	m_Sound.setSelected(config.GetBoolValue(SWITCH_SOUND_ENABLED));
}

void TConfigMusicSoundPane::SaveSettings(TGameConfig& config) const
{
	config.SetBoolValue(SWITCH_MUSIC_ENABLED, m_Music.isSelected());
	config.SetBoolValue(SWITCH_SOUND_ENABLED, m_Sound.isSelected());
}
