#include "ModelFixture.h"
#include "app/XmlGuard.h"
#include "support/LoaderFuzz.h"
#include "support/Mutations.h"

#include <gtest/gtest.h>
#include <tinyxml.h>

namespace
{
const int SEEDS = 200;

/// Elements in a document, or -1 when TinyXML refuses the text.
int CountElements(const std::string& text)
{
	TiXmlDocument document;
	document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UTF8);
	if (document.Error())
		return -1;
	int count = 0;
	for (const TiXmlNode* node = &document; node;) {
		count += node->ToElement() != nullptr;
		if (node->FirstChild()) {
			node = node->FirstChild();
			continue;
		}
		while (node && !node->NextSibling())
			node = node->Parent();
		node = node ? node->NextSibling() : nullptr;
	}
	return count;
}
}

// The mutations damage where they say they do: whole elements go or come again,
// leaving a well-formed document, and a cut can fall inside a character.
TEST(LoaderFuzz, MutationsDamageWhatTheySay)
{
	const std::string xml = "<r>\n<a x=\"1\" y=\"22\"><b/><b>\xE6\x97\xA5\xE6\x9C\xAC</b></a>\n<c z=\"3\">t</c>\n</r>";
	int cutInside = 0;
	for (unsigned seed = 0; seed < SEEDS; ++seed) {
		TMutator mutator(seed, {"A01"});
		std::string deleted = xml;
		mutator.DeleteElement(deleted);
		// The root itself may go, leaving nothing.
		EXPECT_TRUE(deleted.empty() || (CountElements(deleted) >= 1 && CountElements(deleted) < CountElements(xml))) << deleted;
		std::string repeated = xml;
		mutator.RepeatElement(repeated);
		EXPECT_GT(CountElements(repeated), CountElements(xml)) << repeated;
		std::string cut = xml;
		mutator.Truncate(cut);
		EXPECT_EQ(0u, xml.compare(0, cut.size(), cut));
		cutInside += FindMalformedUtf8(cut) != std::string::npos;
		std::string deep = xml;
		mutator.NestDeeply(deep);
		EXPECT_LE(xml.size() + 10 * 3, deep.size());
	}
	EXPECT_LT(0, cutInside);
}

TEST(LoaderFuzz, NumbersAndIdsAreReplacedByHostileOnes)
{
	for (unsigned seed = 0; seed < SEEDS; ++seed) {
		TMutator mutator(seed, {"A01", "leon"});
		std::string numbers = "x=\"12\" y=\"-7\"";
		mutator.ReplaceNumber(numbers);
		EXPECT_TRUE(numbers.find("12") == std::string::npos || numbers.find("-7") == std::string::npos) << numbers;
		std::string ids = "<c id=\"kaya\"/>";
		mutator.ReplaceId(ids);
		EXPECT_EQ(std::string::npos, ids.find("kaya")) << ids;
	}
}

// A few rounds of every target on the sample find nothing wrong, and a round replays
// exactly from its seed and number.
TEST(LoaderFuzz, RoundsOfEveryTargetFindNoFaultAndReplay)
{
	TCapturedLog outer;
	TLoaderFuzz fuzz(SampleScenario());
	TScopedCwd cwd(fuzz.Folder());
	for (const std::string& target : TLoaderFuzz::Targets()) {
		int accepted = 0;
		for (long round = 0; round < 12; ++round) {
			const TFuzzRound result = fuzz.Run(target, 5, round);
			EXPECT_EQ("", result.fault) << target << " round " << round << " (" << result.input << ")";
			accepted += result.accepted;
		}
		EXPECT_LT(0, accepted) << target;
	}
	const TFuzzRound first = fuzz.Run("all", 9, 3);
	const TFuzzRound again = fuzz.Run("all", 9, 3);
	EXPECT_EQ(first.input, again.input);
	EXPECT_EQ(first.accepted, again.accepted);
}
