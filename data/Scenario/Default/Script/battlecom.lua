-- The computer side of a battle: one copy of this script runs for each side.
-- This side only waits: each chara it commands ends its turn where it stands.

-- Once, when the battle begins.
function on_battle_start()
end

-- At every step of the battle, before the next chara is chosen.
function on_battle_progress()
end

-- A chara of the player's side gets its turn: true would leave it to this script.
function check_wish_runaway()
	return false
end

-- The chara whose turn it is chooses its action; choosing none, it waits.
function on_chara_action()
end
