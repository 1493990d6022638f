-- 戦闘イベントスクリプト：データの中でキャラと特技が名指しする関数。
-- 自動スクリプトはキャラが倒れたとき、条件スクリプトは特技を使う前、事後スクリプトは使った後に呼ばれる。

-- 勇気が上がる幅と、下がる幅。
local CHEER = 5
local FEAR = 5

-- 陣営のキャラのうち、戦場に立っている者の番号。
local function standing_charas(side)
	local standing = {}
	for i = 0, (api_battle_get_chara_count(side) or 0) - 1 do
		local s = api_battle_get_chara_status(side, i)
		if s and s.hp > 0 and s.x >= 0 then
			standing[#standing + 1] = {index = i, status = s}
		end
	end
	return standing
end

-- 弓兵の自動スクリプト：敵が倒れると、一呼吸おいて(1フレーム)、数で勝る陣営が勇気づく。
function archer_cheer()
	coroutine.yield()
	local first = standing_charas(0)
	local second = standing_charas(1)
	local side, charas = 0, first
	if #second > #first then
		side, charas = 1, second
	end
	for _, c in ipairs(charas) do
		api_battle_set_chara_brave(side, c.index, math.min(100, c.status.brave + CHEER))
	end
	return true
end

-- 回復魔法を今かけてよいか：味方の誰かが最大HPの5分の1以上を失っているときだけ。
function heal_condition()
	local side = api_battle_get_active_chara()
	for _, c in ipairs(standing_charas(side)) do
		if (c.status.hpmax - c.status.hp) * 5 >= c.status.hpmax then
			return true
		end
	end
	return false
end

-- ファイアボルトが当たった後に：狙われたキャラは炎に怯える。
function firebolt_after()
	local x, y = api_battle_get_last_target()
	if not x then
		return true
	end
	local side, index = api_battle_get_chara_on(x, y)
	if side then
		local s = api_battle_get_chara_status(side, index)
		api_battle_set_chara_brave(side, index, math.max(0, s.brave - FEAR))
	end
	return true
end
