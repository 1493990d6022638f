#include "unit/ModelFixture.h"

#include "common/babel/babel.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>


namespace
{
const char* const SCRIPTS[] = {"EventScript.lua", "OpeningText.lua", "world.lua", "strategy.lua"};

std::string SampleScript(const std::string& name)
{
	return SampleScenario() + "/Script/" + name;
}

// The bytes of a lead byte followed by the second byte, anywhere in the text.
bool HasCharacterEndingIn(const std::string& text, unsigned char second)
{
	for (std::size_t i = 0; i + 1 < text.size(); ++i) {
		const unsigned char lead = text[i];
		if ((lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC)) {
			if (static_cast<unsigned char>(text[i + 1]) == second)
				return true;
			++i;
		}
	}
	return false;
}
}

TEST(SampleScripts, AreTheirUtf8SourcesInShiftJis)
{
	for (const char* name : SCRIPTS) {
		const std::string source = ReadFile(std::string(MORVALETH_SOURCE_DIR) + "/tools/sample_scripts/" + name);
		ASSERT_FALSE(source.empty()) << name;
		EXPECT_EQ(Utf8ToSjis(source), ReadFile(SampleScript(name))) << name << ": run tools/gen_sample_scripts.py";
	}
	const std::string text = ReadFile(SampleScript("OpeningText.lua")) + ReadFile(SampleScript("EventScript.lua"));
	for (const unsigned char second : {0x5C, 0x5B, 0x5D, 0x7C})
		EXPECT_TRUE(HasCharacterEndingIn(text, second)) << std::hex << int(second);
}
