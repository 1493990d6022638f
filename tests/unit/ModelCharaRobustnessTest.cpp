#include "ModelFixture.h"

#include "model/MorvalethData.h"

#include <cctype>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace
{
const char* const MUTATED_FILES[] = {"DefChar/SpecialTable.xml", "Element/SpecialTable.xml", "DefChar/CharacterData.xml",
	"Element/CharacterData.xml", "Extra/CharacterData.xml"};

const char* const ODD_NUMBERS[] = {"0", "-1", "-7", "2147483647", "-2147483648", "99999999999", "1e9", ""};

/// Random changes to the text of a data file, the kinds a careless author or a broken disk makes.
class TMutator
{
public:
	explicit TMutator(unsigned seed) : m_Random(seed) {}

	std::size_t Below(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(m_Random); }

	void Mutate(std::string& text)
	{
		switch (Below(4)) {
		case 0: DropElement(text); break;
		case 1: ChangeNumber(text); break;
		case 2: ChangeName(text); break;
		default: text.resize(Below(text.size())); break;
		}
	}

private:
	/// The start of a random match of the text, or npos when there is none.
	std::size_t RandomFind(const std::string& text, const std::string& what)
	{
		std::size_t at = text.find(what, Below(text.size()));
		return at != std::string::npos ? at : text.find(what);
	}

	/// Removes an element with everything inside it.
	void DropElement(std::string& text)
	{
		const std::size_t start = RandomFind(text, "<");
		if (start == std::string::npos || start + 1 >= text.size() || text[start + 1] == '/' || text[start + 1] == '?')
			return;
		const std::size_t nameEnd = text.find_first_of(" />", start);
		const std::size_t tagEnd = text.find('>', start);
		if (nameEnd == std::string::npos || tagEnd == std::string::npos)
			return;
		const std::string close = "</" + text.substr(start + 1, nameEnd - start - 1) + ">";
		const std::size_t closeAt = text[tagEnd - 1] == '/' ? std::string::npos : text.find(close, tagEnd);
		const std::size_t end = closeAt == std::string::npos ? tagEnd + 1 : closeAt + close.size();
		text.erase(start, end - start);
	}

	/// Puts an extreme, negative or malformed number in place of a quoted one.
	void ChangeNumber(std::string& text)
	{
		std::size_t at = RandomFind(text, "=\"");
		while (at != std::string::npos && !std::isdigit(static_cast<unsigned char>(text[at + 2])))
			at = text.find("=\"", at + 2);
		if (at == std::string::npos)
			return;
		const std::size_t end = text.find('"', at + 2);
		text.replace(at + 2, end - at - 2, ODD_NUMBERS[Below(sizeof(ODD_NUMBERS) / sizeof(ODD_NUMBERS[0]))]);
	}

	/// Misspells an id or a keyword, so that a lookup finds nothing.
	void ChangeName(std::string& text)
	{
		const std::size_t at = RandomFind(text, "\"");
		if (at != std::string::npos && at + 1 < text.size() && text[at + 1] != '"')
			text.insert(at + 1, "x");
	}

	std::mt19937 m_Random;
};

bool IsIndexOf(int index, int count)
{
	return index >= -1 && index < count;
}

/// Every index a loaded record holds names a record of its table, or nothing.
void ExpectIndicesInsideTables(const TMorvalethData& data)
{
	for (int i = 0; i < data.GetSpecialCount(); ++i) {
		const TSpecialData& special = data.GetSpecialData(i);
		EXPECT_TRUE(IsIndexOf(special.Attribute, data.GetAttributeCount()) && special.Attribute >= 0);
		EXPECT_TRUE(IsIndexOf(special.ResistanceAttribute, data.GetAttributeCount()));
		EXPECT_TRUE(IsIndexOf(special.MoveType, data.GetMoveTypeCount()));
		EXPECT_TRUE(IsIndexOf(special.Revive, data.GetReviveCount()));
		EXPECT_TRUE(IsIndexOf(special.SummonCharaIndex, data.GetCharaCount()));
		for (int moveType : special.ExcludeMoveTypes)
			EXPECT_TRUE(IsIndexOf(moveType, data.GetMoveTypeCount()) && moveType >= 0);
	}
	for (int i = 0; i < data.GetCharaCount(); ++i) {
		const TCharaData& chara = data.GetCharaData(i);
		EXPECT_TRUE(IsIndexOf(chara.Race, data.GetRaceCount()) && chara.Race >= 0);
		EXPECT_TRUE(IsIndexOf(chara.MoveType, data.GetMoveTypeCount()) && chara.MoveType >= 0);
		EXPECT_TRUE(IsIndexOf(chara.Special, data.GetSpecialCount()));
		EXPECT_TRUE(IsIndexOf(chara.AutoSpecial, data.GetSpecialCount()));
		EXPECT_TRUE(IsIndexOf(chara.ClassChange, data.GetCharaCount()));
		EXPECT_EQ(data.GetMagicGroupCount(), static_cast<int>(chara.MagicRanks.size()));
		EXPECT_EQ(data.GetAttributeCount(), static_cast<int>(chara.Resistances.size()));
		EXPECT_NE(0, chara.Power);
		EXPECT_NE(0, chara.Experience);
		for (const TCharaAttack& attack : chara.Attacks)
			EXPECT_TRUE(IsIndexOf(attack.Special, data.GetSpecialCount()));
		for (int employable : chara.Employable)
			EXPECT_TRUE(IsIndexOf(employable, data.GetCharaCount()) && employable >= 0);
	}
}
}

TEST(ModelRobustness, MutatedSpecialAndCharacterFilesNeverBreakTheLoad)
{
	TSampleCopy copy;
	std::vector<std::string> originals;
	for (const char* file : MUTATED_FILES)
		originals.push_back(ReadFile(copy.Folder() + "/" + file));
	TMutator mutator(20241208);
	TCapturedLog log(0);
	int loaded = 0;
	for (int round = 0; round < 300; ++round) {
		const std::size_t file = mutator.Below(originals.size());
		std::string text = originals[file];
		for (std::size_t n = 1 + mutator.Below(3); n > 0 && !text.empty(); --n)
			mutator.Mutate(text);
		const std::string path = copy.Folder() + "/" + MUTATED_FILES[file];
		WriteFile(path, text);
		TMorvalethData data;
		if (data.Load(copy.Folder(), 0)) {
			++loaded;
			SCOPED_TRACE("round " + std::to_string(round));
			ExpectIndicesInsideTables(data);
		}
		WriteFile(path, originals[file]);
	}
	// Both outcomes must have been met, or the mutations tested little.
	EXPECT_LT(0, loaded);
	EXPECT_GT(300, loaded);
}
