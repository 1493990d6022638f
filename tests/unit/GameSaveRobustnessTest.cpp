#include "GameSaveFixture.h"
#include "ModelFixture.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <iterator>
#include <random>

namespace
{
const int MUTATED_SAVES = 300;

/// Values a damaged or hostile save might hold where a number, an id or a file name belongs.
const char* const HOSTILE_VALUES[] = {"", "-1", "0", "21", "2147483647", "-2147483648", "99999999999", "abc", "A99",
	"A01", "leon", "soldier", "true", "infinite", "../../../x", "BattleMap_A04.xml", "AreaData.xml", " 3"};

std::size_t Pick(std::mt19937& random, std::size_t count)
{
	return std::uniform_int_distribution<std::size_t>(0, count - 1)(random);
}

/// Replaces the value that starts after a random occurrence of the marker and ends at the stop character.
void ReplaceValue(std::string& text, std::mt19937& random, const std::string& marker, char stop)
{
	std::size_t at = text.find(marker, Pick(random, text.size()));
	if (at == std::string::npos)
		at = text.find(marker);
	if (at == std::string::npos)
		return;
	at += marker.size();
	const std::size_t end = text.find(stop, at);
	text.replace(at, end == std::string::npos ? 0 : end - at, HOSTILE_VALUES[Pick(random, std::size(HOSTILE_VALUES))]);
}

/// One random change: an attribute or a text replaced, bytes changed, cut or repeated.
void Mutate(std::string& text, std::mt19937& random)
{
	const std::size_t at = Pick(random, text.size());
	const std::size_t length = std::min(text.size() - at, 1 + Pick(random, 300));
	switch (Pick(random, 5)) {
	case 0:
		ReplaceValue(text, random, "=\"", '"');
		break;
	case 1:
		ReplaceValue(text, random, ">", '<');
		break;
	case 2:
		text[at] = static_cast<char>(' ' + Pick(random, 95));
		break;
	case 3:
		text.erase(at, length);
		break;
	default:
		text.insert(at, text.substr(at, length));
		break;
	}
}
}

// A refused save leaves the held game as it was; an accepted one is a game
// that saves and loads again.
TEST(GameSaveRobustness, MutatedSavesNeverBreakTheLoader)
{
	TMorvalethGame held;
	PlaySampleGame(held, 0, 21);
	const std::string saved = SaveText(held);
	const TMorvalethGame reference = held;
	const std::vector<std::string> before = DescribeGame(held);
	std::mt19937 random(20240607);
	int accepted = 0;
	TCapturedLog log(1);
	for (int i = 0; i < MUTATED_SAVES; ++i) {
		std::string text = saved;
		for (std::size_t changes = 1 + Pick(random, 3); changes > 0; --changes)
			Mutate(text, random);
		if (LoadSaveText(held, text)) {
			++accepted;
			TMorvalethGame again;
			const std::string resaved = SaveText(held);
			EXPECT_TRUE(!resaved.empty() && LoadSaveText(again, resaved)) << "save " << i << " is not written back whole";
			held = reference;
		} else
			EXPECT_EQ(before, DescribeGame(held)) << "save " << i << " changed the held game";
	}
	RecordProperty("accepted", accepted);
	EXPECT_LT(0, accepted);
	EXPECT_LT(accepted, MUTATED_SAVES);
}
