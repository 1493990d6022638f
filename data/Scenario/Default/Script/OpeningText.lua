-- 開幕の文章と絵。EventScript.lua が require で読み込む。
local opening = {}

opening.picture = "opening.png"
opening.hero = "leon"
opening.click_frames = 600

opening.lines = {
	"十の国が覇を競うこの大陸で、",
	[[ソルディア王国の若き騎士レオンは]],
	[=[能ある仲間と共に表舞台へ立つ。]=],
	"評定の時は来た。ポルトの港から――",
}

opening.dialog = [==[ゲームを開始します。
表示の確認が済みました。]==]

return opening
