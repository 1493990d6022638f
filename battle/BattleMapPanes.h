#ifndef MORVALETH_BATTLE_BATTLEMAPPANES_H
#define MORVALETH_BATTLE_BATTLEMAPPANES_H

#include "battle/BattleView.h"
#include "model/GameRecords.h"

#include <string>
#include <vector>
#include <guichan/color.hpp>
#include <guichan/rectangle.hpp>
#include <guichan/widget.hpp>

/// The battle map the panes draw.
class TBattleMap;

/// Floating texts rise for this many steps, then go.
const int POPUP_STEPS = 9;

/// Pixels a floating text of that age stands above where it was put (a negative offset), its steps
/// being framesPerStep frames long.
int PopupRise(int age, int framesPerStep);
/// Length in pixels of a Force bar: a pixel per 16000 of force, 1..112.
int ForceBarLength(int force);
/// Length in pixels of a Brave bar: a pixel per point of courage, at least 1.
int BraveBarLength(int brave);
/// Top-left pixel of a cell on the map pane.
point_t CellTopLeft(int x, int y);

/// A scroll area's view of its content: where it is scrolled to, how much shows and how far it may go.
struct TScrollView
{
	/// The content pixel at the view's top-left corner: how far it is scrolled.
	int x = 0;
	int y = 0;
	/// How much of the content shows, in pixels.
	int width = 0;
	int height = 0;
	/// The farthest the view may scroll on each axis.
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
	/// The name of the area fought for.
	TOP_BOX_AREA,
	/// The attackers' name, left of the gauges.
	TOP_BOX_ATTACKERS,
	/// The defenders' name, right of the gauges.
	TOP_BOX_DEFENDERS,
	/// The battle turn.
	TOP_BOX_TURN,
	/// Number of boxes.
	TOP_BOX_COUNT
};

/// Where the strip over the battle map puts its caption boxes and the sides' gauges at a width.
struct TTopPaneLayout
{
	/// Each caption box, by TTopPaneBox, in strip pixels.
	gcn::Rectangle boxes[TOP_BOX_COUNT];
	/// Centre x and top y of the gauges.
	int gaugeX = 0;
	int gaugeY = 0;
	/// The longest bar that fits on each side of the gauges without running under a caption.
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
		/// What it says (a value, or "Miss").
		std::string text;
		/// The map pixel it was put at; it rises from there.
		int x;
		int y;
		/// Its colour; a black copy a pixel to the right stands behind it.
		gcn::Color colour;
		/// Frames it has floated; it goes after POPUP_STEPS steps.
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

	/// The charas drawn, by drawing slot; a sprite at x < 0 is not drawn.
	std::vector<TCharaSprite> m_Sprites;
	/// Framed cells (the start points being placed on), in pane pixels.
	std::vector<gcn::Rectangle> m_Highlights;
	/// The floating texts, oldest first.
	std::vector<TPopup> m_Popups;
	/// Cells filled with the mark colour (what an aimed special would take).
	std::vector<point_t> m_Marks;
	/// Colour of the marked cells, translucent.
	gcn::Color m_MarkColour;
	/// Effect frames drawn over the charas.
	std::vector<TEffectSprite> m_Effects;
	/// Frames the pane's logic has run; nothing reads it.
	int m_FrameCount;

private:
	/// The cells that show through the clip area, as a range of columns and rows.
	void VisibleCells(gcn::Graphics* graphics, int& x0, int& y0, int& x1, int& y1) const;
	/// The chips in force and the standing objects of the cells in range (columns x0..x1-1, rows y0..y1-1).
	void DrawTerrain(gcn::Graphics* graphics, int x0, int y0, int x1, int y1) const;
	/// The cursor's cell, filled with a pink that pulses with the frames.
	void DrawCursor(gcn::Graphics* graphics) const;
	/// Each chara's chip and status chip, part of the way to its target cell as its progress says.
	void DrawSprites(gcn::Graphics* graphics) const;
	/// Each floating text at the height its age gives it, over a black copy.
	void DrawPopups(gcn::Graphics* graphics) const;
	/// Shades, in the configured colour, the cells in range the selection layer does not leave at 0.
	void DrawShade(gcn::Graphics* graphics, int x0, int y0, int x1, int y1) const;

	/// The map drawn; null for none.
	const TBattleMap* m_Map;
	/// The controller's selection layer (0 selectable, else shaded); null, or not the map's size, for no shade.
	const TValueLayer<int>* m_Selection;
	/// The cursor's cell; x = -1 for none.
	int m_CursorX;
	int m_CursorY;
	/// Frames since the cursor was put down, which its pulse follows.
	int m_Blink;
	/// Frames a floating text's step lasts (the battle's speed level).
	int m_FramesPerStep;
};

/// The strip over the map: the area, the two sides, the turn and the sides' gauges.
class TBattleTopPane : public gcn::Widget
{
public:
	/// The caption boxes and the gauges as LayOutTopPane places them at the pane's width; a long caption is
	/// cut at its box.
	virtual void draw(gcn::Graphics* graphics);

	/// What the pane shows, as the controller last sent it.
	TSideGauges m_Gauges;
};

/// The strip under the map: the status line, the chara and the cell under the pointer.
class TBattleBottomPane : public gcn::Widget
{
public:
	/// Shows nothing yet.
	TBattleBottomPane();

	/// Shows nothing: no status line, chara or cell; the pane stays where it is in its window.
	void Clear();
	/// The status line in the middle, the cell under the pointer on the left, the chara on the right.
	virtual void draw(gcn::Graphics* graphics);

	/// The line in the middle ("<name>に命令を", what the end of a turn did); empty for none.
	std::string m_StatusLine;
	/// The chara shown, with its side (0 defends), when m_CharaShown.
	TCharaInstance m_Chara;
	/// The shown chara's side, which picks its status chip.
	int m_CharaSide;
	/// A chara is shown.
	bool m_CharaShown;
	/// The map the cell is read from; null between battles.
	const TBattleMap* m_Map;
	/// The cell shown; x = -1 for none.
	int m_CellX;
	int m_CellY;
	/// Move type whose cost and skill on the cell are shown; -1 for none.
	int m_MoveType;

private:
	/// The status line, bold on a black box centred in the pane.
	void DrawStatusLine(gcn::Graphics* graphics) const;
	/// The chara's chip, status chip and HP and MP bars at the right end.
	void DrawChara(gcn::Graphics* graphics) const;
	/// The cell's chip and object, the name of its ground or object, and the shown move type's cost and skill there.
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
	/// A frame is set up to draw.
	bool IsActive() const { return m_Active; }
	/// The frame at the pane's top-left corner, while active.
	virtual void draw(gcn::Graphics* graphics);

private:
	/// Size of one frame of the image, in pixels.
	int m_FrameWidth;
	int m_FrameHeight;
	/// The effect image; -1 for none.
	int m_Image;
	/// The frame, counted row by row over the image's grid of frames.
	int m_Frame;
	/// Frames across and down the image, at least 1 each.
	int m_Columns;
	int m_Rows;
	/// A frame is set up to draw.
	bool m_Active;
};

#endif
