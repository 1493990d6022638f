-- コンピュータ勢力の戦略：雇用し、前線を固め、弱い隣国を攻め、時に同盟を申し込む。
-- 勢力ごとに別の状態で動く。エンジンの関数と定数は最上位の実行後に登録される。

-- 攻める相手の戦力に対して、これだけ上回っていれば攻める。
local ATTACK_MARGIN = 1.2
-- 雇用には所持金のこの割合までを使う。
local HIRE_SHARE = 0.5
-- 同盟を考えるのは、このターン数ごと。
local ALLIANCE_INTERVAL = 4

-- 表のキーを並べた配列。pairs の順に頼らず、毎回同じ順に調べるため。
local function sorted_keys(t)
	local keys = {}
	for key in pairs(t) do
		keys[#keys + 1] = key
	end
	table.sort(keys)
	return keys
end

-- エリアのキャラの戦力の合計。
local function area_strength(id)
	local total = 0
	for _, chara in ipairs(api_scenario_get_area_allchara(id) or {}) do
		total = total + chara.power
	end
	return total
end

-- 勢力の全エリアの戦力の合計。
local function master_strength(master, areas)
	local total = 0
	for id, area in pairs(areas) do
		if area.master == master then
			total = total + area_strength(id)
		end
	end
	return total
end

-- 同盟のある相手は味方。残りターンが 0 の同盟も、次のターンが始まって消えるまでは互いに攻められない。
local function is_ally(me, other)
	return api_find_alliance(me, other) ~= nil
end

-- 自分のものでも味方のものでもないエリアは敵地。
local function is_enemy_area(me, area)
	return area.master ~= me and (area.master == nil or not is_ally(me, area.master))
end

-- 敵地に接しているか。
local function is_border(me, areas, id)
	for _, neighbor in ipairs(areas[id].neighbor) do
		if is_enemy_area(me, areas[neighbor]) then
			return true
		end
	end
	return false
end

-- 各エリアで、まだ行動していない最初のキャラに、予算内で一番高い候補を一人雇わせる。
local function hire(me, areas)
	for _, id in ipairs(sorted_keys(areas)) do
		if areas[id].master == me then
			local charas = api_scenario_get_area_allchara(id)
			for position, chara in ipairs(charas) do
				if #charas >= AREACHARA_MAX then
					break
				end
				if not chara.actioned then
					local budget = api_master_get_ley(me) * HIRE_SHARE
					local candidates = api_scenario_get_area_employable(id, position - 1) or {}
					local choice, price
					for _, candidate in ipairs(sorted_keys(candidates)) do
						local cost = candidates[candidate]
						if cost <= budget and (price == nil or cost > price) then
							choice, price = candidate, cost
						end
					end
					if choice then
						api_scenario_employ(id, position - 1, choice)
					end
					break
				end
			end
		end
	end
end

-- 敵地に接していないエリアの、行動していないキャラ（勢力の主は除く）を前線のエリアへ送る。
local function reinforce(me, areas)
	for _, id in ipairs(sorted_keys(areas)) do
		if areas[id].master == me and not is_border(me, areas, id) then
			for _, neighbor in ipairs(areas[id].neighbor) do
				if areas[neighbor].master == me and is_border(me, areas, neighbor) then
					local room = AREACHARA_MAX - api_scenario_get_area_chara_count(neighbor)
					local positions = {}
					for position, chara in ipairs(api_scenario_get_area_allchara(id)) do
						if #positions < room and not chara.actioned and chara.id ~= me then
							positions[#positions + 1] = position - 1
						end
					end
					if #positions > 0 then
						api_scenario_move_area_chara(id, neighbor, positions)
					end
					break
				end
			end
		end
	end
end

-- 出陣できるキャラ：行動していない者、勢力の主を除く。エリアを空にはしない。
local function available_army(me, id)
	local positions, power = {}, 0
	local charas = api_scenario_get_area_allchara(id)
	for position, chara in ipairs(charas) do
		if not chara.actioned and chara.id ~= me then
			positions[#positions + 1] = position - 1
			power = power + chara.power
		end
	end
	if #positions == #charas and #positions > 0 then
		power = power - charas[positions[#positions] + 1].power
		positions[#positions] = nil
	end
	return positions, power
end

-- 一番勝ち目の大きい弱い隣の敵地を一つ攻める。攻めたら true。
local function attack(me, areas)
	local best
	for _, id in ipairs(sorted_keys(areas)) do
		if areas[id].master == me then
			local positions, power = available_army(me, id)
			if #positions > 0 then
				for _, target in ipairs(areas[id].neighbor) do
					if is_enemy_area(me, areas[target]) then
						local defence = area_strength(target)
						local ratio = power / math.max(defence, 1)
						if power > defence * ATTACK_MARGIN and (best == nil or ratio > best.ratio) then
							best = {source = id, target = target, positions = positions, ratio = ratio}
						end
					end
				end
			end
		end
	end
	if not best then
		return false
	end
	print_log(me .. " が " .. best.source .. " から " .. best.target .. " へ出陣")
	api_scenario_departure(best.target, {[best.source] = best.positions})
	return true
end

-- 時々、自分より強い隣の勢力に同盟を申し込む。
local function seek_alliance(me, areas)
	if api_get_turn() % ALLIANCE_INTERVAL ~= 0 then
		return
	end
	local mine = master_strength(me, areas)
	for _, id in ipairs(sorted_keys(areas)) do
		local other = areas[id].master
		if other ~= nil and other ~= me and not is_ally(me, other) then
			for _, neighbor in ipairs(areas[id].neighbor) do
				if areas[neighbor].master == me then
					local cost = api_get_alliance_cost(me, other)
					if master_strength(other, areas) > mine and cost and cost * 2 <= api_master_get_ley(me) then
						api_scenario_propose_alliance(other, DEFAULT_ALLIANCETURN, cost)
						return
					end
					break
				end
			end
		end
	end
end

-- 自分の番：雇用、前線の強化、同盟、そして一度だけの出陣。
function on_myturn()
	local me = api_get_current_master()
	if not me then
		return true
	end
	hire(me, api_scenario_get_allarea())
	reinforce(me, api_scenario_get_allarea())
	seek_alliance(me, api_scenario_get_allarea())
	attack(me, api_scenario_get_allarea())
	return true
end

-- 同盟の申し込み：相手が自分より強ければ受ける。
function on_proposed_alliance(proposer, partner)
	local areas = api_scenario_get_allarea()
	return master_strength(proposer, areas) > master_strength(partner, areas)
end
