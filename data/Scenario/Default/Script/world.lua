-- 世界地図のスクリプト：ターン終了ボタン、勢力の滅亡、プレイヤー勢力の全滅。
-- エンジンの関数と定数は、このファイルの最上位が実行された後で登録される。

-- メッセージダイアログが閉じるまで待つ。ダイアログは時間切れでも閉じる。
local function wait_dialog()
	while api_dialog_is_visible() do
		coroutine.yield()
	end
end

-- 時間切れで閉じるお知らせを出し、閉じるまで待つ。
local function inform(text)
	api_dialog_show("Information", text, BUTTON_OK, true)
	wait_dialog()
end

-- プレイヤーがターン終了ボタンを押した。
function OnTurnEndButton()
	api_scenario_endturn()
	return true
end

-- 戦いの後、自分のキャラがどのエリアにも居なくなった勢力がある。
function MasterDead()
	for _, id in ipairs(api_last_dead_master() or {}) do
		local master = api_get_master(id)
		if master then
			inform(master.name .. "軍は滅亡しました。")
		end
	end
	return true
end

-- プレイヤーの勢力が一つも残っていない（一度だけ呼ばれる）。ゲームはそのまま続く。
function GameOver()
	inform("プレイヤーの勢力はもうありません。\n残った勢力の戦いを見届けましょう。")
	return true
end
