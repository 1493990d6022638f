-- 戦闘イベントスクリプト：データの中でキャラと特技が名指しする関数。

-- 弓兵の自動スクリプト：敵が倒れたとき。
function archer_cheer()
end

-- 回復魔法を今かけてよいか。
function heal_condition()
	return true
end

-- ファイアボルトが当たった後に。
function firebolt_after()
end
