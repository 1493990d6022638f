-- 戦闘の思考スクリプト：戦闘に加わる陣営ごとに一つずつ動く。
-- この陣営は待つだけで、受け持つキャラは皆その場で手番を終える。

-- 戦闘の始まりに一度だけ。
function on_battle_start()
end

-- 戦闘の一手ごと、次に動くキャラが決まる前に。
function on_battle_progress()
end

-- プレイヤー側のキャラに手番が来たとき：true を返すとこのスクリプトに任せる。
function check_wish_runaway()
	return false
end

-- 手番のキャラの行動を決める。何も決めなければ、そのキャラは待機する。
function on_chara_action()
end
