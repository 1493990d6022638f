#ifndef MORVALETH_BATTLE_CHARASTATUSWINDOW_H
#define MORVALETH_BATTLE_CHARASTATUSWINDOW_H

#include "gui/GcnWindow.h"
#include "model/GameRecords.h"

#include <string>
#include <vector>
#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>
#include <guichan/widget.hpp>

/// Draws Shift-JIS text in one glyph size.
class TGcnCharDrawer;
/// The scenario's database: characters, races, attributes, move types.
class TMorvalethData;

/// Glyph size of a character sheet's body texts.
const int SHEET_FONT = 12;
/// Glyph size of the full sheet's name.
const int SHEET_NAME_FONT = 16;

/// One text of a character sheet, placed relative to the sheet.
struct TSheetText
{
	/// Top left of the first glyph.
	int x;
	int y;
	/// Shift-JIS.
	std::string text;
	/// Its colour: white, or another where a value stands out (a modifier, a condition).
	gcn::Color color;
	/// SHEET_FONT or SHEET_NAME_FONT.
	int fontSize;
	/// Width the text wraps at, its newlines starting lines a glyph and a pixel apart; 0 = one line as it is.
	int wrapWidth;
};

/// A captioned group frame of a character sheet.
struct TSheetFrame
{
	/// The frame, relative to the sheet.
	gcn::Rectangle rect;
	/// The caption set into its top edge ("ステータス", "魔法", "攻撃", "特性").
	std::string caption;
};

/// Everything a character sheet shows, worked out once when the character is set.
struct TCharaSheet
{
	/// Size of the sheet's pane.
	int width = 0;
	int height = 0;
	/// The texts, drawn in order over everything else.
	std::vector<TSheetText> texts;
	/// The group frames, drawn first.
	std::vector<TSheetFrame> frames;
	/// Image-store index of the chip; -1 for none.
	int chip = -1;
	/// Where the chip's top-left corner goes on the sheet.
	int chipX = 0;
	int chipY = 0;
	/// Image-store index of the face; -1 for none.
	int face = -1;
	/// Where the face's top-left corner goes on the sheet.
	int faceX = 0;
	int faceY = 0;
};

/// The short sheet of a character in play: name, race, rank, conditions, points and stats.
TCharaSheet MakeShortSheet(const TMorvalethData& data, const TCharaInstance& chara);
/// The full sheet: also the status table, magic levels, move type, attacks, resistances and, for heroes and
/// masters, wins and upkeep.
TCharaSheet MakeFullSheet(const TMorvalethData& data, const TCharaInstance& chara);
/// The texts of DrawRank; none, with an Error, for a rank outside 0..5.
void AppendRank(std::vector<TSheetText>& texts, int x, int y, int rank, const gcn::Color& color);
/// The text of DrawExp.
void AppendExp(std::vector<TSheetText>& texts, int x, int y, int experience, const gcn::Color& color);
/// The texts of DrawCharaHPMP.
void AppendCharaHPMP(std::vector<TSheetText>& texts, const TMorvalethData& data, int x, int y,
	const TCharaInstance& chara);
/// The attack line's attribute names: "(a b c\n d)", a line break before every third name after the first
/// three; empty for no names.
std::string AttributeListText(const std::vector<std::string>& names);
/// Where the status window goes when it moves: from the bottom-left corner to the bottom-right, from
/// anywhere else to the bottom-left, 8 pixels inside the screen of the given size.
void StatusWindowCorner(int x, int width, int height, int screenWidth, int screenHeight, int& newX, int& newY);

/// Draws sheet texts, each with the drawer of its size (null: that size is skipped).
void DrawSheetTexts(gcn::Graphics* graphics, const std::vector<TSheetText>& texts, TGcnCharDrawer* body,
	TGcnCharDrawer* name);
/// "Rank" and the rank's letter E to S; nothing, with an Error, for a rank outside 0..5.
void DrawRank(TGcnCharDrawer* drawer, gcn::Graphics* graphics, int x, int y, int rank, const gcn::Color& color);
/// "Exp" and the experience.
void DrawExp(TGcnCharDrawer* drawer, gcn::Graphics* graphics, int x, int y, int experience, const gcn::Color& color);
/// Name, rank, experience, HP and MP of a character in white, as the battle's panes show them.
void DrawCharaHPMP(gcn::Graphics* graphics, int x, int y, const TCharaInstance& chara);

/// A character sheet as a widget: its base colour, then the sheet.
class TGcnCharaSheetPane : public gcn::Widget
{
public:
	/// White text on the dark pane colour; no sheet.
	TGcnCharaSheetPane();

	/// Fills the pane, then draws the sheet's frames, chip, face and texts.
	virtual void draw(gcn::Graphics* graphics);

	/// The character shown.
	TCharaInstance m_Chara;
	/// What is drawn, made from m_Chara.
	TCharaSheet m_Sheet;
};

/// The short sheet, 160 x 96.
class TGcnCharaStatusPane : public TGcnCharaSheetPane
{
public:
	/// Sized 160 x 96.
	TGcnCharaStatusPane();
	/// Shows a copy of the character.
	void SetChara(const TCharaInstance& chara);
};

/// The full sheet, 256 wide or 352 with a face, 400 high or 424 for a hero or a master.
class TGcnCharaStatusFullPane : public TGcnCharaSheetPane
{
public:
	/// Shows a copy of the character and takes the sheet's size.
	void SetChara(const TCharaInstance& chara);
};

/// The short status of the character the player hovers; it keeps to the bottom corners and jumps to the other
/// one when the mouse comes onto it.
class TCharaStatusWindow : public TGcnWindow
{
public:
	/// Not laid out, not opaque.
	TCharaStatusWindow();
	/// Shows the character; the first time also lays the window out in the bottom-left corner.
	void Show(const TCharaInstance& chara);
	/// Moves to the other bottom corner, out of the mouse's way.
	virtual void mouseMoved(gcn::MouseEvent& mouseEvent);

	/// The sheet, the window's only content.
	TGcnCharaStatusPane m_Pane;

private:
	/// Moves the window by StatusWindowCorner within the GUI's top widget.
	void Place();

	/// The window was laid out and placed (at its first showing).
	bool m_LaidOut;
};

/// The full status of one character, closed by a click anywhere on it.
class TCharaStatusFullWindow : public TGcnWindow
{
public:
	/// Not laid out.
	TCharaStatusFullWindow();
	/// Shows the character, the window sized to its sheet.
	void Show(const TCharaInstance& chara);
	/// Any press hides the window; consumed.
	virtual void mousePressed(gcn::MouseEvent& mouseEvent);

	/// The sheet, the window's only content.
	TGcnCharaStatusFullPane m_Pane;

private:
	/// The skin was set up (at the first showing).
	bool m_LaidOut;
};

#endif
