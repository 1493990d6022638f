-- イベントスクリプト：見本シナリオの開幕と、毎ターンの始まりに動く出来事。
--[[
  このファイルは Shift-JIS で書かれている。「表」「ソ」「能」「十」の二バイト目は \ に、
  「ー」は [ に、「評」は ] に、「ポ」は | に見えるが、文字列やこの長いコメントを
  壊したり閉じたりはしない。]]
-- エンジンの関数と定数は、このファイルの最上位が実行された後で登録される。
-- ここでは関数を定義するだけで、呼ぶのはエンジンが呼んだ関数の中から。

local opening = require("OpeningText")

-- 窓の左右どちらかのボタンが押されるまで、長くとも frames フレーム待つ。
local function wait_click(window, frames)
	for frame = 1, frames do
		if api_window_event_pop(window) then
			return true
		end
		coroutine.yield()
	end
	return false
end

-- メッセージダイアログが閉じるまで待つ。
local function wait_dialog()
	while api_dialog_is_visible() do
		coroutine.yield()
	end
end

-- 開幕：絵、主人公の顔と名前、物語の文章を窓に出し、クリックか時間切れで次へ進む。
function on_system_start()
	local window = api_window_new()
	api_window_set_titlebarheight(window, 0)
	api_window_set_size(window, 480, 300)
	api_window_set_position(window, -1, -1)
	local picture = api_image_load(opening.picture)
	if picture then
		api_window_set_image(window, -1, 12, 1, IMAGE_EVENT, picture)
	end
	api_window_set_faceorchip(window, 16, 148, 2, opening.hero)
	for i, line in ipairs(opening.lines) do
		api_window_set_text(window, 132, 150 + 22 * i, 3, line)
	end
	api_window_set_visible(window, true)
	wait_click(window, opening.click_frames)
	api_window_set_visible(window, false)
	api_dialog_show("Information", opening.dialog, BUTTON_OK, true)
	wait_dialog()
	print_log("開幕を表示しました。")
	return true
end

-- 章の期限：このターン数を過ぎても勝負が決まらなければ、毎ターンの始まりに、まだ城に残る
-- 最も弱い領主の軍が散り散りになる。その領主は戦に敗れた時と同じく滅び、英雄は放浪の身となり、
-- 領地は中立に戻り、同盟も消える。こうして戦がどう転んでも、章はいつか終わる。
local DEADLINE_TURNS = 12

-- プレイヤーの勢力がまだ残っているか。
local function player_alive()
	for _, id in ipairs(api_get_allmaster() or {}) do
		if api_master_is_exists(id) and api_master_is_player(id) then
			return true
		end
	end
	return false
end

-- 勝負を決める知らせ。プレイヤーの勢力が残っていれば OK が押されるまで待ち、
-- コンピュータの勢力だけなら時間切れでも閉じるので、見る人がいなくてもゲームは進む。
local function announce(text)
	api_dialog_show("Information", text, BUTTON_OK, not player_alive())
	wait_dialog()
end

-- 領主の勢力：その領地にいるキャラの戦力の合計。
local function master_strength(master, areas)
	local total = 0
	for id, area in pairs(areas) do
		if area.master == master then
			for _, chara in ipairs(api_scenario_get_area_allchara(id) or {}) do
				total = total + chara.power
			end
		end
	end
	return total
end

-- まだ自分の領地に立つ領主のうち、最も弱い者。立つ領主が二人に満たなければ nil。
local function weakest_master(areas)
	local weakest, least
	local standing = 0
	for _, id in ipairs(api_get_allmaster() or {}) do
		if api_master_is_exists(id) and api_scenario_get_master_exists_area(id) then
			standing = standing + 1
			local strength = master_strength(id, areas)
			if least == nil or strength < least then
				weakest, least = id, strength
			end
		end
	end
	if standing < 2 then
		return nil
	end
	return weakest
end

-- 期限を過ぎたターンの始まりに、最も弱い領主の軍が散る。領主が地図から去れば、このスクリプトが
-- 終わった後でエンジンがその領主を滅ぼし（英雄は放浪し、領地は中立に戻り、同盟は消える）、
-- 勝負が決まったかを改めて調べる。
local function deadline_passed()
	if api_get_progressed_turn() < DEADLINE_TURNS then
		return
	end
	local master = weakest_master(api_scenario_get_allarea())
	if not master then
		return
	end
	api_scenario_remove_chara(master)
	announce(api_get_master(master).name .. "軍は長い戦に疲れ、散り散りになりました。")
	print_log(master .. " の軍が散りました。")
end

-- 毎ターンの始まりと、勝負が決まった時。決まった時は、結果を告げるダイアログを閉じるまで待つ。
-- ここで待つと、この関数が終わった後でゲームが終わる。
function global_script()
	if api_scenario_is_ending() then
		local names = {}
		for _, id in ipairs(api_get_allmaster() or {}) do
			if api_master_is_exists(id) then
				names[#names + 1] = api_get_master(id).name
			end
		end
		announce(table.concat(names, "、") .. "の勝利で戦いは終わりました。")
		print_log("戦いが終わりました。")
		return true
	end
	deadline_passed()
	print_log("ターン開始：表示する出来事はありません。")
	return true
end
