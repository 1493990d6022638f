#include "battle/CharaStatusWindow.h"

#include "app/GameConfig.h"
#include "app/GameMaster.h"
#include "app/Logger.h"
#include "common/babel/babel.h"
#include "gui/GuiContext.h"
#include "gui/SkinManager.h"
#include "media/CharDrawer.h"
#include "media/MorvalethImage.h"
#include "model/MorvalethData.h"

#include <guichan/graphics.hpp>
#include <guichan/gui.hpp>
#include <guichan/mouseevent.hpp>

namespace
{
const gcn::Color WHITE(255, 255, 255, 255);
const gcn::Color RED(255, 0, 0, 255);
/// Values that a modifier changes.
const gcn::Color HIGHLIGHT(128, 255, 255, 255);

/// Pixels a byte of body text advances.
const int BYTE_WIDTH = 6;
/// Distance of the body lines of a sheet.
const int LINE = 13;
const int CHIP_SIZE = 32;
/// The status window keeps this far from the screen's edges.
const int SCREEN_MARGIN = 8;
const int STATUS_TITLE_BAR = 2;

const char* const RANK_LETTERS[] = { "E", "D", "C", "B", "A", "S" };
const char* const MAGIC_LEVEL_LETTERS[] = { "×", "Ｄ", "Ｃ", "Ｂ", "Ａ", "Ｓ" };
const char* const FULL_WIDTH_DIGITS[] = { "０", "１", "２", "３", "４", "５", "６", "７", "８", "９" };

/// The six stats with their modifiers, as the short and the full sheet label them.
struct TStatLine
{
	const char* shortLabel;
	const char* fullLabel;
	int TCharaInstance::*value;
	int TCharaInstance::*modifier;
};
const TStatLine STATS[] = {
	{ "攻撃", "攻撃力 ", &TCharaInstance::PhysicalAttack, &TCharaInstance::PhysicalAttackBonus },
	{ "防御", "防御力 ", &TCharaInstance::PhysicalDefense, &TCharaInstance::PhysicalDefenseBonus },
	{ "技量", "技量   ", &TCharaInstance::Skill, &TCharaInstance::SkillBonus },
	{ "速さ", "素早さ ", &TCharaInstance::Speed, &TCharaInstance::SpeedBonus },
	{ "魔力", "魔力   ", &TCharaInstance::MagicAttack, &TCharaInstance::MagicAttackBonus },
	{ "抵抗", "抵抗力 ", &TCharaInstance::MagicDefense, &TCharaInstance::MagicDefenseBonus },
};
const int STAT_COUNT = 6;

/// Text after an attribute's name for each resistance kind; null where the kind shows nothing.
const char* ResistanceWord(int kind)
{
	switch (kind) {
	case RESISTANCE_WEAK:
		return "に弱い";
	case RESISTANCE_STRONG:
		return "に強い";
	case RESISTANCE_ABSORB:
		return "を吸収";
	default:
		return nullptr;
	}
}

int ByteLength(const std::string& text)
{
	return static_cast<int>(text.size());
}

/// Appends a body text; an empty text adds nothing.
void AddText(std::vector<TSheetText>& texts, int x, int y, const std::string& text, const gcn::Color& color = WHITE,
	int wrapWidth = 0)
{
	if (!text.empty())
		texts.push_back({ x, y, text, color, SHEET_FONT, wrapWidth });
}

/// Appends a text twice, the second one pixel to the right.
void AddBoldText(std::vector<TSheetText>& texts, int x, int y, const std::string& text, int fontSize)
{
	for (int shift = 0; shift < 2; ++shift)
		texts.push_back({ x + shift, y, text, WHITE, fontSize, 0 });
}

/// A full-width digit for 0..9; empty otherwise.
std::string FullWidthDigit(int n)
{
	return n >= 0 && n <= 9 ? FULL_WIDTH_DIGITS[n] : "";
}

/// The first character of a Shift-JIS text.
std::string FirstCharacter(const std::string& text)
{
	if (text.empty())
		return text;
	const bool wide = IsSJISLeadByte(static_cast<unsigned char>(text[0])) && text.size() > 1;
	return text.substr(0, wide ? 2 : 1);
}

const std::string& AttributeName(const TMorvalethData& data, int special)
{
	return data.GetAttributeData(data.GetSpecialData(special).Attribute).Name;
}

const gcn::Color& ModifiedColor(int modifier)
{
	return modifier != 0 ? HIGHLIGHT : WHITE;
}

// Steps of the short sheet.

/// Row 39: conditions, received specials, a changed attack count and flight, left to right.
void AddStateRow(std::vector<TSheetText>& texts, const TMorvalethData& data, const TCharaInstance& chara)
{
	const int y = 39;
	int x = 2;
	for (const std::pair<int, int>& condition : chara.Conditions) {
		const std::string& name = GetEffectName(condition.first);
		AddText(texts, x, y, name);
		x += (ByteLength(name) + 2) * BYTE_WIDTH;
	}
	for (int special : chara.ReceivedSpecials) {
		const std::string& name = data.GetSpecialData(special).Name;
		AddText(texts, x, y, name);
		x += BYTE_WIDTH + ByteLength(name) * BYTE_WIDTH;
	}
	if (chara.AttackCountBonus != 0) {
		AddText(texts, x, y, chara.AttackCountBonus > 0 ? "攻撃増" : "攻撃減");
		x += 42;
	}
	if (chara.Fled)
		AddText(texts, x, y, "逃走");
}

/// The six stats with their modifiers, three to a row.
void AddShortStats(std::vector<TSheetText>& texts, const TCharaInstance& chara)
{
	for (int i = 0; i < STAT_COUNT; ++i) {
		const TStatLine& stat = STATS[i];
		const int modifier = chara.*stat.modifier;
		AddText(texts, 2 + i % 3 * 52, 65 + i / 3 * LINE,
			FormatText("%s %3d", stat.shortLabel, chara.*stat.value + modifier), ModifiedColor(modifier));
	}
}

// Steps of the full sheet.

/// Ten lines of current and base values.
void AddStatusTable(TCharaSheet& sheet, const TCharaData& def, const TCharaInstance& chara)
{
	sheet.frames.push_back({ gcn::Rectangle(4, 40, 96, 144), "ステータス" });
	std::vector<std::string> lines;
	lines.push_back(FormatText("HP     %3d/%3d", chara.HP, chara.HPMax));
	lines.push_back(FormatText("MP     %3d/%3d", chara.MP, chara.MPMax));
	for (const TStatLine& stat : STATS)
		lines.push_back(FormatText("%s%3d/%3d", stat.fullLabel, chara.*stat.value + chara.*stat.modifier,
			chara.*stat.value));
	lines.push_back(FormatText("HP再生 %3d/%3d", def.HPRecover + chara.HPRecoverBonus, def.HPRecover));
	lines.push_back(FormatText("MP再生 %3d/%3d", def.MPRecover + chara.MPRecoverBonus, def.MPRecover));
	for (std::size_t i = 0; i < lines.size(); ++i)
		AddText(sheet.texts, 12, 53 + static_cast<int>(i) * LINE, lines[i]);
}

/// One column per magic group: the group's first character over the character's level letter.
void AddMagicLevels(TCharaSheet& sheet, const TMorvalethData& data, const TCharaData& def)
{
	sheet.frames.push_back({ gcn::Rectangle(4, 196, 96, 44), "魔法" });
	for (int i = 0; i < data.GetMagicGroupCount(); ++i) {
		const int x = 12 + 14 * i;
		// A column is one glyph wide: a longer name would run into the next groups.
		AddText(sheet.texts, x, 208, FirstCharacter(data.GetMagicGroupData(i).Name));
		const int level = i < static_cast<int>(def.MagicRanks.size()) ? def.MagicRanks[i] : -1;
		if (level >= 0 && level <= RANK_MAX)
			AddText(sheet.texts, x, 220, MAGIC_LEVEL_LETTERS[level]);
	}
}

/// Move type name and move points.
void AddMovement(TCharaSheet& sheet, const TMorvalethData& data, const TCharaData& def)
{
	std::string name;
	if (def.MoveType >= 0 && def.MoveType < data.GetMoveTypeCount())
		name = data.GetMoveTypeData(def.MoveType).Name;
	else
		g_Logger.Error(FormatText("TGcnCharaStatusFullPane::draw(): invalid movetype %d (id:%s)", def.MoveType,
			def.id));
	AddText(sheet.texts, 108, 48, "移動タイプ: " + name);
	AddText(sheet.texts, 132, 61, FormatText("移動力: %d", def.Movable));
}

/// Attack count, the attributes of the attacks and the second attack.
void AddAttacks(TCharaSheet& sheet, const TMorvalethData& data, const TCharaData& def, const TCharaInstance& chara)
{
	sheet.frames.push_back({ gcn::Rectangle(108, 84, 140, 84), "攻撃" });
	const std::string label = "攻撃×";
	const int modifier = chara.AttackCountBonus;
	AddText(sheet.texts, 116, 97, label);
	AddText(sheet.texts, 116 + ByteLength(label) * BYTE_WIDTH, 97,
		FullWidthDigit(static_cast<int>(def.Attacks.size()) + modifier),
		modifier > 0 ? HIGHLIGHT : modifier < 0 ? RED : WHITE);
	std::vector<std::string> names;
	for (const TCharaAttack& attack : def.Attacks)
		if (attack.Special != -1)
			names.push_back(AttributeName(data, attack.Special));
	AddText(sheet.texts, 116, 108, AttributeListText(names), WHITE, 120);
	if (def.SecondAttack == -1)
		return;
	AddText(sheet.texts, 116, 151,
		data.GetSpecialData(def.SecondAttack).Name + "×" + FullWidthDigit(def.SecondAttackCount));
	AddText(sheet.texts, 116, 151 + LINE, AttributeListText({ AttributeName(data, def.SecondAttack) }), WHITE, 120);
}

/// One line per attribute the character is weak to, strong against or absorbs.
void AddResistances(TCharaSheet& sheet, const TMorvalethData& data, const TCharaInstance& chara)
{
	sheet.frames.push_back({ gcn::Rectangle(108, 180, 140, 208), "特性" });
	int y = 193;
	for (std::size_t i = 0; i < chara.Resistances.size(); ++i) {
		const char* word = ResistanceWord(chara.Resistances[i]);
		if (!word)
			continue;
		AddText(sheet.texts, 116, y, data.GetAttributeData(static_cast<int>(i)).Name + word);
		y += LINE;
	}
}
}

TCharaSheet MakeShortSheet(const TMorvalethData& data, const TCharaInstance& chara)
{
	const TCharaData& def = data.GetCharaData(chara.CharaIndex);
	TCharaSheet sheet;
	sheet.width = 160;
	sheet.height = 96;
	AddBoldText(sheet.texts, 2, 0, def.Name, SHEET_FONT);
	AddText(sheet.texts, 2, 13, data.GetRaceData(def.Race).Name);
	AppendRank(sheet.texts, 2, 26, chara.Rank, WHITE);
	AppendExp(sheet.texts, 50, 26, chara.Experience, WHITE);
	AddStateRow(sheet.texts, data, chara);
	AddText(sheet.texts, 2, 52, FormatText("HP %3d/%3d   MP %3d/%3d", chara.HP, chara.HPMax, chara.MP, chara.MPMax));
	AddShortStats(sheet.texts, chara);
	sheet.chip = def.ChipImage;
	sheet.chipX = 122;
	return sheet;
}

TCharaSheet MakeFullSheet(const TMorvalethData& data, const TCharaInstance& chara)
{
	const TCharaData& def = data.GetCharaData(chara.CharaIndex);
	const bool notable = def.Hero || def.IsMaster;
	TCharaSheet sheet;
	sheet.width = def.FaceImage != -1 ? 352 : 256;
	sheet.height = notable ? 424 : 400;
	sheet.chip = def.ChipImage;
	sheet.face = def.FaceImage;
	sheet.faceX = 256;
	AddBoldText(sheet.texts, 40, 0, def.Name, SHEET_NAME_FONT);
	AddText(sheet.texts, 40, 18, data.GetRaceData(def.Race).Name);
	AppendRank(sheet.texts, 152, 18, chara.Rank, WHITE);
	AppendExp(sheet.texts, 200, 18, chara.Experience, WHITE);
	if (def.IsMaster)
		AddText(sheet.texts, 198, 4, "マスター");
	AddStatusTable(sheet, def, chara);
	AddMagicLevels(sheet, data, def);
	AddMovement(sheet, data, def);
	AddAttacks(sheet, data, def, chara);
	AddResistances(sheet, data, chara);
	if (notable) {
		AddText(sheet.texts, 61, 396, FormatText("撃破数: %4d", chara.WinCount));
		AddText(sheet.texts, 61, 410, FormatText("人材費: %4d", def.TurnCost));
	}
	return sheet;
}

void AppendRank(std::vector<TSheetText>& texts, int x, int y, int rank, const gcn::Color& color)
{
	if (rank < 0 || rank > RANK_MAX) {
		g_Logger.Error(MethodText("DrawRank", __LINE__, "DrawRank(%d, %d, %d) invalid parameter rank.", x, y, rank));
		return;
	}
	AddText(texts, x, y, "Rank", color);
	AddText(texts, x + 30, y, RANK_LETTERS[rank], color);
}

void AppendExp(std::vector<TSheetText>& texts, int x, int y, int experience, const gcn::Color& color)
{
	AddText(texts, x, y, FormatText("Exp %3d", experience), color);
}

void AppendCharaHPMP(std::vector<TSheetText>& texts, const TMorvalethData& data, int x, int y,
	const TCharaInstance& chara)
{
	AddBoldText(texts, x + 2, y + 2, data.GetCharaData(chara.CharaIndex).Name, SHEET_FONT);
	AppendRank(texts, x + 2, y + 16, chara.Rank, WHITE);
	AppendExp(texts, x + 2, y + 30, chara.Experience, WHITE);
	AddText(texts, x + 52, y + 16, FormatText("HP %3d/%3d", chara.HP, chara.HPMax));
	AddText(texts, x + 52, y + 30, FormatText("MP %3d/%3d", chara.MP, chara.MPMax));
}

std::string AttributeListText(const std::vector<std::string>& names)
{
	if (names.empty())
		return std::string();
	std::string text = "(";
	for (std::size_t i = 0; i < names.size(); ++i) {
		if (i > 0)
			text += i % 3 == 0 ? "\n " : " ";
		text += names[i];
	}
	return text + ")";
}

void StatusWindowCorner(int x, int width, int height, int screenWidth, int screenHeight, int& newX, int& newY)
{
	newX = x == SCREEN_MARGIN ? screenWidth - width - SCREEN_MARGIN : SCREEN_MARGIN;
	newY = screenHeight - height - SCREEN_MARGIN;
}

void DrawSheetTexts(gcn::Graphics* graphics, const std::vector<TSheetText>& texts, TGcnCharDrawer* body,
	TGcnCharDrawer* name)
{
	for (const TSheetText& text : texts) {
		TGcnCharDrawer* drawer = text.fontSize == SHEET_NAME_FONT ? name : body;
		if (!drawer)
			continue;
		if (text.wrapWidth > 0)
			drawer->DrawWrappedString(graphics, text.x, text.y, gcn::Rectangle(text.x, text.y, text.wrapWidth, 0), 1,
				text.text.c_str(), text.color);
		else
			drawer->DrawString(graphics, text.x, text.y, text.text.c_str(), text.color);
	}
}

void DrawRank(TGcnCharDrawer* drawer, gcn::Graphics* graphics, int x, int y, int rank, const gcn::Color& color)
{
	std::vector<TSheetText> texts;
	AppendRank(texts, x, y, rank, color);
	DrawSheetTexts(graphics, texts, drawer, drawer);
}

void DrawExp(TGcnCharDrawer* drawer, gcn::Graphics* graphics, int x, int y, int experience, const gcn::Color& color)
{
	std::vector<TSheetText> texts;
	AppendExp(texts, x, y, experience, color);
	DrawSheetTexts(graphics, texts, drawer, drawer);
}

void DrawCharaHPMP(gcn::Graphics* graphics, int x, int y, const TCharaInstance& chara)
{
	if (!g_GameMaster.m_Data)
		return;
	std::vector<TSheetText> texts;
	AppendCharaHPMP(texts, *g_GameMaster.m_Data, x, y, chara);
	TGcnCharDrawer* drawer = g_GuiContext.GetCharDrawer(SHEET_FONT);
	DrawSheetTexts(graphics, texts, drawer, drawer);
}

TGcnCharaSheetPane::TGcnCharaSheetPane()
{
	setForegroundColor(WHITE);
	setBaseColor(g_Config.GetGuiColor(GUICOLOR_DARK_PANE));
}

void TGcnCharaSheetPane::draw(gcn::Graphics* graphics)
{
	graphics->setColor(getBaseColor());
	graphics->fillRectangle(gcn::Rectangle(0, 0, getWidth(), getHeight()));
	TGcnCharDrawer* body = g_GuiContext.GetCharDrawer(SHEET_FONT);
	for (const TSheetFrame& frame : m_Sheet.frames)
		DrawGroupFrame(graphics, frame.rect, frame.caption, body);
	if (g_GameMaster.m_Image) {
		if (m_Sheet.chip != -1)
			g_GameMaster.m_Image->DrawChara(graphics, m_Sheet.chipX, m_Sheet.chipY, m_Sheet.chip);
		if (m_Sheet.face != -1)
			g_GameMaster.m_Image->DrawFace(graphics, m_Sheet.faceX, m_Sheet.faceY, m_Sheet.face);
	}
	DrawSheetTexts(graphics, m_Sheet.texts, body, g_GuiContext.GetCharDrawer(SHEET_NAME_FONT));
}

TGcnCharaStatusPane::TGcnCharaStatusPane()
{
	setSize(160, 96);
}

void TGcnCharaStatusPane::SetChara(const TCharaInstance& chara)
{
	m_Chara = chara;
	m_Sheet = g_GameMaster.m_Data ? MakeShortSheet(*g_GameMaster.m_Data, chara) : TCharaSheet();
}

void TGcnCharaStatusFullPane::SetChara(const TCharaInstance& chara)
{
	m_Chara = chara;
	m_Sheet = g_GameMaster.m_Data ? MakeFullSheet(*g_GameMaster.m_Data, chara) : TCharaSheet();
	setSize(m_Sheet.width, m_Sheet.height);
}

namespace
{
/// First show of a status window: the sheet at the top left, a bare title bar, the skin.
void HoldSheet(TGcnWindow& window, gcn::Widget& sheet)
{
	sheet.setPosition(0, 0);
	window.add(&sheet);
	window.setTitleBarHeight(STATUS_TITLE_BAR);
	if (g_GameMaster.m_Skin)
		g_GameMaster.m_Skin->SetupWindow(&window);
}
}

TCharaStatusWindow::TCharaStatusWindow()
	: m_LaidOut(false)
{
	setOpaque(false);
}

void TCharaStatusWindow::Show(const TCharaInstance& chara)
{
	m_Pane.SetChara(chara);
	if (!m_LaidOut) {
		m_LaidOut = true;
		HoldSheet(*this, m_Pane);
		resizeToContent();
		Place();
	}
	setVisible(true);
}

void TCharaStatusWindow::mouseMoved(gcn::MouseEvent&)
{
	Place();
}

void TCharaStatusWindow::Place()
{
	if (!g_GuiContext.m_Gui || !g_GuiContext.m_Gui->getTop())
		return;
	const gcn::Widget* top = g_GuiContext.m_Gui->getTop();
	int x = 0;
	int y = 0;
	StatusWindowCorner(getX(), getWidth(), getHeight(), top->getWidth(), top->getHeight(), x, y);
	setPosition(x, y);
}

TCharaStatusFullWindow::TCharaStatusFullWindow()
	: m_LaidOut(false)
{
}

void TCharaStatusFullWindow::Show(const TCharaInstance& chara)
{
	m_Pane.SetChara(chara);
	if (!m_LaidOut) {
		m_LaidOut = true;
		HoldSheet(*this, m_Pane);
	}
	resizeToContent();
	setVisible(true);
}

void TCharaStatusFullWindow::mousePressed(gcn::MouseEvent& mouseEvent)
{
	setVisible(false);
	mouseEvent.consume();
}
