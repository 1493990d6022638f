-- The computer player of a battle side: one copy of this script runs for each side.
--
-- On its turn a chara looks at every cell it can reach (its own first), asks what it could do from
-- there, previews each attack and special and takes the one that hurts the enemy most for the least
-- harm to its own side. Without a worthwhile action a badly hurt chara falls back to the safest
-- cell; the others close in on the nearest enemy. Whatever happens, the chara commits an action:
-- waiting on its own cell always succeeds.

-- Below this share of its hit points a chara without a good action retreats.
local RETREAT_PERCENT = 25
-- Worth of an effect that neither harms nor heals (a condition, a bonus, a summon, a broken wall).
local EFFECT_WORTH = 5

-- Hex distance on rows where odd rows are shifted right.
local function hex_distance(x1, y1, x2, y2)
	local q1 = x1 - (y1 - y1 % 2) / 2
	local q2 = x2 - (y2 - y2 % 2) / 2
	local dq = q2 - q1
	local dr = y2 - y1
	return (math.abs(dq) + math.abs(dr) + math.abs(dq + dr)) / 2
end

-- The cells a chara may act from: its own, then those the battle reports reachable (keyed from 0).
local function candidate_cells(me)
	local cells = {{x = me.x, y = me.y}}
	local movable = api_battle_get_movable() or {}
	local i = 0
	while movable[i] do
		local c = movable[i]
		if c.x ~= me.x or c.y ~= me.y then
			cells[#cells + 1] = c
		end
		i = i + 1
	end
	return cells
end

-- What one previewed effect is worth to the side.
local function effect_worth(e, side)
	if e.masterindex == nil or e.masterindex < 0 then
		if e.systemeffect == SUMMON or e.systemeffect == REVIVE or e.systemeffect == CRASHWALL then
			return EFFECT_WORTH
		end
		return 0
	end
	local friend = e.masterindex == side
	local value = e.value or 0
	if e.systemeffect == HPRECOVER then
		if friend then return value else return -value end
	end
	-- Effects 0 to 8 take hit points (and may leave a condition).
	if e.systemeffect <= 8 then
		local worth = value
		if e.systemeffect >= 2 and e.systemeffect <= 7 then
			worth = worth + EFFECT_WORTH
		end
		if friend then return -worth else return worth end
	end
	if friend then return EFFECT_WORTH else return -EFFECT_WORTH end
end

local function action_worth(effects, side)
	local worth = 0
	for _, e in ipairs(effects) do
		worth = worth + effect_worth(e, side)
	end
	return worth
end

-- The best attack or special from any reachable cell, with its worth.
local function best_action(me, side)
	local best = nil
	local best_worth = 0
	for _, cell in ipairs(candidate_cells(me)) do
		for _, a in ipairs(api_battle_get_action_list(cell.x, cell.y) or {}) do
			if a.actiontype == ACTION_ATTACK or a.actiontype == ACTION_CHARGE or a.actiontype == ACTION_SPECIAL then
				local effects = api_battle_eval_action(cell.x, cell.y, a.actiontype, a.targetx, a.targety, a.special)
				if effects then
					local worth = action_worth(effects, side)
					if worth > best_worth then
						best_worth = worth
						best = {x = cell.x, y = cell.y, action = a}
					end
				end
			end
		end
	end
	return best
end

-- The nearest living enemy on the map.
local function nearest_enemy(me, side)
	local enemy = api_battle_get_enemy_master()[1]
	local nearest = nil
	local nearest_distance = nil
	for i = 0, (api_battle_get_chara_count(enemy) or 0) - 1 do
		local s = api_battle_get_chara_status(enemy, i)
		if s and s.hp > 0 and s.x >= 0 then
			local d = hex_distance(me.x, me.y, s.x, s.y)
			if nearest_distance == nil or d < nearest_distance then
				nearest = s
				nearest_distance = d
			end
		end
	end
	return nearest
end

-- The reachable cell nearest to the target; the chara's own cell when none is nearer.
local function cell_towards(me, target)
	local best = {x = me.x, y = me.y}
	local best_distance = hex_distance(me.x, me.y, target.x, target.y)
	for _, cell in ipairs(candidate_cells(me)) do
		local d = hex_distance(cell.x, cell.y, target.x, target.y)
		if d < best_distance then
			best = cell
			best_distance = d
		end
	end
	return best
end

function on_battle_start()
	return true
end

function on_battle_progress()
	return true
end

-- Charas the player commands are always left to the player.
function check_wish_runaway()
	return false
end

function on_chara_action()
	local side, index = api_battle_get_active_chara()
	local me = api_battle_get_chara_status(side, index)
	local best = best_action(me, side)
	if best and api_battle_set_action(best.x, best.y, best.action.actiontype, best.action.targetx,
			best.action.targety, best.action.special) then
		return true
	end
	if me.hp * 100 < me.hpmax * RETREAT_PERCENT then
		local rx, ry = api_battle_get_auto_runaway()
		if rx and api_battle_set_action(rx, ry, ACTION_WAIT, rx, ry, -1) then
			return true
		end
	end
	local enemy = nearest_enemy(me, side)
	if enemy then
		local cell = cell_towards(me, enemy)
		if api_battle_set_action(cell.x, cell.y, ACTION_WAIT, cell.x, cell.y, -1) then
			return true
		end
	end
	api_battle_set_action(me.x, me.y, ACTION_WAIT, me.x, me.y, -1)
	return true
end
