-- The computer player of a battle side: one copy of this script runs for each side.
--
-- On its turn a chara looks at every cell it can reach (its own first) from which some chara lies within
-- the sample's longest reach, asks what it could do from there, previews each attack, charge and special and takes the one worth most to its side: harm and
-- conditions dealt to the enemy, hurt and conditions mended on its own side, bonuses its friends lack,
-- summons and revivals. Without a worthwhile action a badly hurt chara falls back to the safest cell
-- (and flees from there when it is nearly dead and may); the others close in on the nearest enemy.
-- Whatever happens, the chara commits an action: waiting on its own cell always succeeds.

-- Below this share of its hit points a chara without a good action retreats; below the second it flees.
local RETREAT_PERCENT = 25
local FLEE_PERCENT = 12
-- Worth of what an effect does besides hit points.
local EFFECT_WORTH = 5
local CONDITION_WORTH = 8
local CURE_WORTH = 12
local KILL_WORTH = 10
local CALL_WORTH = 20
-- The longest reach of the sample's attacks and specials: range and radius together. A moved cell with no
-- other chara that near offers nothing but what the chara's own cell offers too, so it is not asked.
local REACH = 5
local FEW_CELLS = 7
-- The first and last system effects that take hit points, and the numbers of the ones read by number
-- (the name ABSORB stands for a resistance level among the constants).
local HARM_LAST = 8
local CONDITION_FIRST = 2
local CONDITION_LAST = 6
local DEATH = 7
local PLUS_FIRST = 12
local PLUS_LAST = 20
local CURE_FIRST = 21
local CURE_LAST = 25
local CURE_EVERYTHING = 26
local CHANGE_RESISTANCE_EFFECT = 27
local CHANGE_MOVETYPE_EFFECT = 28
-- The bonus field of the status record each Plus effect raises, from PLUS_FIRST on.
local PLUS_FIELDS = {"pa_plus", "pd_plus", "skill_plus", "speed_plus", "ma_plus", "md_plus", "hprecover_plus",
	"mprecover_plus", "attackcount_plus"}

-- Hex distance on rows where odd rows are shifted right.
local function hex_distance(x1, y1, x2, y2)
	local q1 = x1 - (y1 - y1 % 2) / 2
	local q2 = x2 - (y2 - y2 % 2) / 2
	local dq = q2 - q1
	local dr = y2 - y1
	return (math.abs(dq) + math.abs(dr) + math.abs(dq + dr)) / 2
end

-- A chara's status, asked once a decision: nothing changes while a chara decides.
local function status_of(cache, side, index)
	local key = side * 1000 + index
	if cache[key] == nil then
		cache[key] = api_battle_get_chara_status(side, index) or false
	end
	return cache[key]
end

local function has_condition(s, condition)
	local i = 0
	while s.status[i] do
		if s.status[i] == condition then
			return true
		end
		i = i + 1
	end
	return false
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

-- Hit points taken (or, negative, given) and the conditions and deaths that come with them.
local function harm_worth(e, t)
	local se = e.systemeffect
	local value = e.value or 0
	local worth = math.min(value, t.hp)
	if se >= CONDITION_FIRST and se <= CONDITION_LAST and not has_condition(t, se) then
		worth = worth + CONDITION_WORTH
	end
	if value >= t.hp or se == DEATH then
		worth = worth + KILL_WORTH
	end
	return worth
end

-- What an effect on a chara of the side is worth to the side: what helps counts for it.
local function help_worth(e, t)
	local se = e.systemeffect
	local value = e.value or 0
	if se == HPRECOVER then
		return math.min(value, t.hpmax - t.hp)
	elseif se == MPRECOVER then
		return math.min(value, t.mpmax - t.mp) / 2
	elseif se >= PLUS_FIRST and se <= PLUS_LAST then
		if value > t[PLUS_FIELDS[se - PLUS_FIRST + 1]] then return EFFECT_WORTH end
	elseif se >= CURE_FIRST and se <= CURE_LAST then
		if has_condition(t, se - CURE_FIRST + CONDITION_FIRST) then return CURE_WORTH end
	elseif se == CURE_EVERYTHING then
		if t.status[0] then return CURE_WORTH end
	elseif se == CHANGE_RESISTANCE_EFFECT then
		if t.resistance[e.resattr] ~= e.restype then return EFFECT_WORTH end
	elseif se == CHANGE_MOVETYPE_EFFECT then
		if t.movetype ~= e.movetype then return EFFECT_WORTH end
	end
	return 0
end

-- What one previewed effect is worth to the side.
local function effect_worth(e, side, cache)
	local se = e.systemeffect
	if e.masterindex == nil or e.masterindex < 0 then
		if se == SUMMON or se == REVIVE then
			return CALL_WORTH
		elseif se == CRASHWALL and side ~= 0 then
			return EFFECT_WORTH
		end
		return 0
	end
	local t = status_of(cache, e.masterindex, e.charaindex)
	if not t then
		return 0
	end
	local friend = e.masterindex == side
	if se <= HARM_LAST then
		if friend then return -harm_worth(e, t) else return harm_worth(e, t) end
	end
	if friend then return help_worth(e, t) else return -help_worth(e, t) end
end

local function action_worth(effects, side, cache)
	local worth = 0
	for _, e in ipairs(effects) do
		worth = worth + effect_worth(e, side, cache)
	end
	return worth
end

-- Where the other living charas stand.
local function other_charas(me, cache)
	local cells = {}
	for _, master in ipairs(api_battle_get_master_list() or {}) do
		for i = 0, (api_battle_get_chara_count(master) or 0) - 1 do
			local s = status_of(cache, master, i)
			if s and s.hp > 0 and s.x >= 0 and (s.x ~= me.x or s.y ~= me.y) then
				cells[#cells + 1] = s
			end
		end
	end
	return cells
end

local function within_reach(cell, charas)
	for _, c in ipairs(charas) do
		if hex_distance(cell.x, cell.y, c.x, c.y) <= REACH then
			return true
		end
	end
	return false
end

-- The cells worth asking for actions: the chara's own, and the moved ones within reach of another chara.
-- A chara with a few cells asks them all: finding the others would cost more than it saves.
local function acting_cells(me, cache)
	local candidates = candidate_cells(me)
	if #candidates <= FEW_CELLS then
		return candidates
	end
	local charas = other_charas(me, cache)
	local cells = {}
	for i, cell in ipairs(candidates) do
		if i == 1 or within_reach(cell, charas) then
			cells[#cells + 1] = cell
		end
	end
	return cells
end

-- The best attack, charge or special from any reachable cell, with its worth.
local function best_action(me, side, cache)
	local best = nil
	local best_worth = 0
	for _, cell in ipairs(acting_cells(me, cache)) do
		for _, a in ipairs(api_battle_get_action_list(cell.x, cell.y) or {}) do
			if a.actiontype == ACTION_ATTACK or a.actiontype == ACTION_CHARGE or a.actiontype == ACTION_SPECIAL then
				local effects = api_battle_eval_action(cell.x, cell.y, a.actiontype, a.targetx, a.targety, a.special)
				if effects then
					local worth = action_worth(effects, side, cache)
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
local function nearest_enemy(me, cache)
	local nearest = nil
	local nearest_distance = nil
	for _, enemy in ipairs(api_battle_get_enemy_master() or {}) do
		for i = 0, (api_battle_get_chara_count(enemy) or 0) - 1 do
			local s = status_of(cache, enemy, i)
			if s and s.hp > 0 and s.x >= 0 then
				local d = hex_distance(me.x, me.y, s.x, s.y)
				if nearest_distance == nil or d < nearest_distance then
					nearest = s
					nearest_distance = d
				end
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

-- The safest reachable cell; a nearly dead chara flees from it when it may.
local function retreat(me)
	local rx, ry = api_battle_get_auto_runaway()
	if not rx then
		return false
	end
	if me.hp * 100 < me.hpmax * FLEE_PERCENT then
		for _, a in ipairs(api_battle_get_action_list(rx, ry) or {}) do
			if a.actiontype == ACTION_RUNAWAY and api_battle_set_action(rx, ry, ACTION_RUNAWAY, rx, ry, -1) then
				return true
			end
		end
	end
	return api_battle_set_action(rx, ry, ACTION_WAIT, rx, ry, -1)
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
	local cache = {}
	local me = status_of(cache, side, index)
	local best = best_action(me, side, cache)
	if best and api_battle_set_action(best.x, best.y, best.action.actiontype, best.action.targetx,
			best.action.targety, best.action.special) then
		return true
	end
	if me.hp * 100 < me.hpmax * RETREAT_PERCENT and retreat(me) then
		return true
	end
	local enemy = nearest_enemy(me, cache)
	if enemy then
		local cell = cell_towards(me, enemy)
		if api_battle_set_action(cell.x, cell.y, ACTION_WAIT, cell.x, cell.y, -1) then
			return true
		end
	end
	api_battle_set_action(me.x, me.y, ACTION_WAIT, me.x, me.y, -1)
	return true
end
