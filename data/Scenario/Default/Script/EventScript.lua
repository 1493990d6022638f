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
		api_dialog_show("Information", table.concat(names, "、") .. "の勝利で戦いは終わりました。", BUTTON_OK, true)
		wait_dialog()
		print_log("戦いが終わりました。")
		return true
	end
	print_log("ターン開始：表示する出来事はありません。")
	return true
end
