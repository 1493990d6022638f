#ifndef MORVALETH_BATTLE_BATTLEMAPPANES_H
#define MORVALETH_BATTLE_BATTLEMAPPANES_H

#include "battle/BattleView.h"
#include "model/GameRecords.h"

#include <string>
#include <vector>
#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>
#include <guichan/widget.hpp>

class TBattleMap;

/// Floating texts rise for this many steps, then go.
const int POPUP_STEPS = 9;

/// Pixels a floating text of that age stands above where it was put (a negative offset), its steps
/// being framesPerStep frames long.
int PopupRise(int age, int framesPerStep);
/// Length in pixels of a Force bar (1..112) and of a Brave bar (at least 1).
int ForceBarLength(int force);
int BraveBarLength(int brave);
/// Top-left pixel of a cell on the map pane.
point_t CellTopLeft(int x, int y);

/// A scroll area's view of its content: where it is scrolled to, how much shows and how far it may go.
struct TScrollView
{
	int x = 0;
	int y = 0;
	int width = 0;
	int height = 0;
	int maxX = 0;
	int maxY = 0;
};

/// Brings content pixel (px, py) into the view: a point near the middle leaves it, another is centred
/// as far as the scroll limits allow. True when the view moved.
bool ScrollToPoint(TScrollView& view, int px, int py);

/// Draws the Force and Brave bars of both sides around the centre x, their labels between them; no bar
/// runs longer than the room each side has.
void DrawSideGauges(gcn::Graphics* graphics, int cx, int y, const TSideGauges& gauges, int room);

/// The caption boxes of the strip over the battle map.
enum TTopPaneBox
{
	TOP_BOX_AREA,
	TOP_BOX_ATTACKERS,
	TOP_BOX_DEFENDERS,
	TOP_BOX_TURN,
	TOP_BOX_COUNT
};

/// Where the strip over the battle map puts its caption boxes and the sides' gauges at a width.
struct TTopPaneLayout
{
	gcn::Rectangle boxes[TOP_BOX_COUNT];
	/// Centre x and top y of the gauges, and the longest bar that fits on each side of them.
	int gaugeX = 0;
	int gaugeY = 0;
	int barRoom = 0;
	/// The strip's height.
	int height = 0;
};

/// A wide strip holds the four boxes and the gauges in one row; a narrower one puts the area and the
/// turn on a first row and the gauges on a second, between the attackers' name on the left and the
/// defenders' on the right, so that no caption lies under a bar.
TTopPaneLayout LayOutTopPane(int width);

/// The battle map: terrain, charas, effects and the marks of the player's choices, one 32 x 32 cell
/// per map cell, odd rows half a cell to the right.
class TBattleMapPane : public gcn::Widget
{
public:
	/// A floating text over the map.
	struct TPopup
	{
		std::string text;
		int x;
		int y;
		gcn::Color colour;
		int age;
	};

	/// No map, nothing drawn, no cursor.
	TBattleMapPane();

	/// Shows the map (null: none) with the layer of the cells that may be chosen (null: none shaded); empties the lists.
	void SetMap(const TBattleMap* map, const TValueLayer<int>* selection);
	/// Frames a floating text's step lasts (at least 1).
	void SetFramesPerStep(int frames);
	/// Puts the blinking cursor on the cell; x = -1 hides it.
	void SetCursor(int x, int y);
	/// Adds a floating text at a pixel of the map.
	void AddPopup(const std::string& text, int x, int y, const gcn::Color& colour);

	/// The pixel size of the whole map.
	void SizeToMap();
	/// Terrain, cursor, charas, effects, frames, texts, shading and marks.
	virtual void draw(gcn::Graphics* graphics);
	/// Counts the frame, blinks the cursor and ages the floating texts.
	virtual void logic();

	std::vector<TCharaSprite> m_Sprites;
	std::vector<gcn::Rectangle> m_Highlights;
	std::vector<TPopup> m_Popups;
	std::vector<point_t> m_Marks;
	gcn::Color m_MarkColour;
	std::vector<TEffectSprite> m_Effects;
	int m_FrameCount;

private:
	/// The cells that show through the clip area, as a range of columns and rows.
	void VisibleCells(gcn::Graphics* graphics, int& x0, int& y0, int& x1, int& y1) const;
	void DrawTerrain(gcn::Graphics* graphics, int x0, int y0, int x1, int y1) const;
	void DrawCursor(gcn::Graphics* graphics) const;
	void DrawSprites(gcn::Graphics* graphics) const;
	void DrawPopups(gcn::Graphics* graphics) const;
	void DrawShade(gcn::Graphics* graphics, int x0, int y0, int x1, int y1) const;

	const TBattleMap* m_Map;
	const TValueLayer<int>* m_Selection;
	int m_CursorX;
	int m_CursorY;
	int m_Blink;
	int m_FramesPerStep;
};

/// The strip over the map: the area, the two sides, the turn and the sides' gauges.
class TBattleTopPane : public gcn::Widget
{
public:
	virtual void draw(gcn::Graphics* graphics);

	TSideGauges m_Gauges;
};

/// The strip under the map: the status line, the chara and the cell under the pointer.
class TBattleBottomPane : public gcn::Widget
{
public:
	TBattleBottomPane();

	/// Shows nothing: no status line, chara or cell; the pane stays where it is in its window.
	void Clear();
	virtual void draw(gcn::Graphics* graphics);

	std::string m_StatusLine;
	/// The chara shown, with its side (0 defends), when m_CharaShown.
	TCharaInstance m_Chara;
	int m_CharaSide;
	bool m_CharaShown;
	/// The map and the cell shown; x = -1 for none.
	const TBattleMap* m_Map;
	int m_CellX;
	int m_CellY;
	/// Move type whose cost and skill on the cell are shown; -1 for none.
	int m_MoveType;

private:
	void DrawStatusLine(gcn::Graphics* graphics) const;
	void DrawChara(gcn::Graphics* graphics) const;
	void DrawCell(gcn::Graphics* graphics) const;
};

/// One frame of an effect image, drawn where the owner puts the pane.
class TAnimationPane : public gcn::Widget
{
public:
	/// Inactive: draws nothing.
	TAnimationPane();

	/// Shows frame f of the effect image cut into frames of the size; the pane takes the frame's size.
	void Setup(int image, int frameWidth, int frameHeight, int frame);
	/// Draws nothing from now on.
	void Clear() { m_Active = false; }
	bool IsActive() const { return m_Active; }
	virtual void draw(gcn::Graphics* graphics);

private:
	int m_FrameWidth;
	int m_FrameHeight;
	int m_Image;
	int m_Frame;
	int m_Columns;
	int m_Rows;
	bool m_Active;
};

#endif
