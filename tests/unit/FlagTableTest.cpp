#include "unit/ScriptFixture.h"

#include "model/DataFile.h"
#include "script/LuaManager.h"

#include <lua.h>
#include <tinyxml.h>

namespace
{
// build() makes a table of tricky values; same(a, b) compares two values deeply.
const char* const FLAG_SCRIPT =
	"function build()\n"
	"  local t = {true, false, 1234567, -0.5, 1e300, '\x95\x5C\x83\x5C\x94\x5C\x81\x5B\x8F\x5C\x95\x5D\x83\x7C', '', {}}\n"
	"  t['12'] = 'a numeric string key'\n"
	"  t[2.5] = 'a fractional key'\n"
	"  t[-3] = 0.1\n"
	"  t[1e300] = 'a huge key'\n"
	"  t[1/0] = -1/0\n"
	"  t['boss dead'] = 2^53 + 2\n"
	"  t['\x95\x5C<&>'] = 'a Shift-JIS key'\n"
	"  t[''] = 'the empty key'\n"
	"  t.blanks = '  two  blanks\\nand a line '\n"
	"  t.brackets = ' a  ]]>  b\\n'\n"
	"  t['k\\0k'] = 'a\\0b'\n"
	"  t.returns = 'a\\r\\nb\\rc'\n"
	"  t['\\r'] = 'a carriage return key'\n"
	"  t[' a\\tb\\nc '] = 'a key of blanks\\t'\n"
	"  t.lead = '\\149'\n"
	"  t['\\149'] = 'a lone lead byte key'\n"
	"  t.controls = '\\1\\31\\127'\n"
	"  t.nested = {}\n"
	"  local level = t.nested\n"
	"  for i = 1, 40 do level.next = {i, tostring(i)}; level = level.next end\n"
	"  return t\n"
	"end\n"
	"function same(a, b)\n"
	"  if type(a) ~= type(b) then return false end\n"
	"  if type(a) ~= 'table' then return a == b end\n"
	"  for k, v in pairs(a) do if not same(v, b[k]) then print_log('differs at', k) return false end end\n"
	"  for k in pairs(b) do if a[k] == nil then print_log('extra', k) return false end end\n"
	"  return true\n"
	"end\n"
	"function setup() Flag = build(); return true end\n"
	"function check() return same(Flag, build()) end\n"
	"function untouched() return #Flag == 499 and Flag[499] == false end\n";

class FlagTable : public ScriptTest
{
protected:
	void Load(TMorvalethLuaManager& manager, const std::string& extra = "")
	{
		ASSERT_TRUE(manager.LoadLua(WriteScript("flags.lua", FLAG_SCRIPT + extra).c_str()));
		manager.CreateFlagTable();
	}

	bool Call(TMorvalethLuaManager& manager, const char* name)
	{
		return manager.CallFunction(name) && manager.GetResult();
	}

	// Saves the manager's flags into a save file and reads the file back.
	void SaveAndReload(TMorvalethLuaManager& manager, TiXmlDocument& reloaded)
	{
		TiXmlDocument document;
		TiXmlElement* root = new TiXmlElement("Save");
		document.LinkEndChild(root);
		TiXmlElement* event = new TiXmlElement("LuaEvent");
		root->LinkEndChild(event);
		manager.SaveToXML(event);
		ASSERT_TRUE(document.SaveFile(m_Dir / "save.xml"));
		ASSERT_EQ(TXmlFileState::Loaded, LoadXmlFile(reloaded, m_Dir / "save.xml"));
	}

	TiXmlElement* LuaEvent(TiXmlDocument& document)
	{
		return document.RootElement()->FirstChildElement("LuaEvent");
	}

	// Loads a LuaEvent element written by hand into a manager with a fresh flag table.
	bool LoadText(TMorvalethLuaManager& manager, const std::string& xml)
	{
		TiXmlDocument document;
		document.Parse(xml.c_str());
		EXPECT_FALSE(document.Error()) << xml;
		return manager.LoadFromXML(document.RootElement());
	}
};
}

TEST_F(FlagTable, TrickyValuesComeBackExactlyThroughASaveFile)
{
	TMorvalethLuaManager saver, loader;
	Load(saver);
	Load(loader);
	ASSERT_TRUE(Call(saver, "setup"));
	ASSERT_TRUE(Call(saver, "check"));
	TiXmlDocument reloaded;
	SaveAndReload(saver, reloaded);
	ASSERT_TRUE(loader.LoadFromXML(LuaEvent(reloaded)));
	EXPECT_TRUE(Call(loader, "check")) << ReadFile(m_Dir / "save.xml");
	EXPECT_TRUE(ScriptLog().empty());
	EXPECT_EQ(0, m_Log.CountLines("Warning"));
}

TEST_F(FlagTable, TheElementFormKeepsTheSavedShape)
{
	TMorvalethLuaManager manager;
	Load(manager, "function simple() Flag = {true, x = 'abc', [3] = 1.5, n = 'a\\0b', ['\\r'] = 2} return true end\n");
	ASSERT_TRUE(Call(manager, "simple"));
	TiXmlElement event("LuaEvent");
	manager.SaveToXML(&event);
	const TiXmlElement* flag = event.FirstChildElement();
	ASSERT_NE(nullptr, flag);
	EXPECT_EQ("Flag", flag->ValueStr());
	EXPECT_STREQ("5", flag->Attribute("t"));
	std::vector<std::string> entries;
	for (const TiXmlElement* e = flag->FirstChildElement(); e; e = e->NextSiblingElement())
		entries.push_back(e->ValueStr() + " t=" + e->Attribute("t") + " kt=" + e->Attribute("kt") +
			(e->Attribute("kx") ? std::string(" kx=") + e->Attribute("kx") : "") +
			(e->Attribute("x") ? std::string(" x=") + e->Attribute("x") : "") + " " + (e->GetText() ? e->GetText() : ""));
	std::sort(entries.begin(), entries.end());
	EXPECT_EQ((std::vector<std::string>{"_ t=3 kt=4 kx=0D 2", "_1 t=1 kt=3 1", "_3 t=3 kt=3 1.5", "_n t=4 kt=4 x=610062 ",
		"_x t=4 kt=4 abc"}), entries);
}

TEST_F(FlagTable, SavesWrittenInTheOlderFormStillLoad)
{
	TMorvalethLuaManager manager;
	Load(manager, "function old() return Flag[1] == true and Flag.x == 'abc' and Flag[2] == 0.5 and Flag.s == ''\n"
		"  and type(Flag.t) == 'table' and Flag[12] == 7 and Flag[3] == nil end\n");
	ASSERT_TRUE(LoadText(manager, "<LuaEvent><Flag t=\"5\"><_1 t=\"1\" kt=\"3\">1</_1><_x t=\"4\" kt=\"4\">abc</_x>"
		"<_2 t=\"3\" kt=\"3\">0.5</_2><_s t=\"4\" kt=\"4\"/><_t t=\"5\" kt=\"4\"/><_12 t=\"3\" kt=\"3\">7</_12>"
		"<_3 t=\"0\" kt=\"3\"/></Flag></LuaEvent>"));
	EXPECT_TRUE(Call(manager, "old"));
}

TEST_F(FlagTable, WhatCannotBeSavedIsSkippedWithAWarningAndTheRestLoads)
{
	TMorvalethLuaManager saver, loader;
	Load(saver, "function odd()\n"
		"  Flag = {kept = 1, f = print, inner = {g = print, kept = 2}, [true] = 3, [{}] = 4}\n"
		"  Flag.me = Flag\n"
		"  local level = Flag\n"
		"  for i = 1, 100 do level.deep = {}; level = level.deep end\n"
		"  return true\n"
		"end\n");
	Load(loader, "function result()\n"
		"  local depth, level = 0, Flag\n"
		"  while level.deep do depth = depth + 1; level = level.deep end\n"
		"  return Flag.kept == 1 and Flag.inner.kept == 2 and Flag.f == nil and Flag.inner.g == nil\n"
		"    and Flag.me == nil and Flag[true] == nil and depth == 63\n"
		"end\n");
	ASSERT_TRUE(Call(saver, "odd"));
	TiXmlDocument reloaded;
	SaveAndReload(saver, reloaded);
	ASSERT_TRUE(loader.LoadFromXML(LuaEvent(reloaded)));
	EXPECT_TRUE(Call(loader, "result"));
	EXPECT_EQ(6, m_Log.CountLines("Warning")) << m_Log.Text();
}

TEST_F(FlagTable, ADamagedElementIsRefusedAndTheTableStaysAsItWas)
{
	TMorvalethLuaManager manager;
	Load(manager);
	const char* const damaged[] = {
		"<LuaEvent><Flag t=\"5\"><_1 kt=\"3\">1</_1></Flag></LuaEvent>",
		"<LuaEvent><Flag t=\"5\"><_1 t=\"1\">1</_1></Flag></LuaEvent>",
		"<LuaEvent><Flag t=\"5\"><_1 t=\"1\" kt=\"x\">1</_1></Flag></LuaEvent>",
		"<LuaEvent><Flag t=\"5\"><_abc t=\"1\" kt=\"3\">1</_abc></Flag></LuaEvent>",
		"<LuaEvent><Flag t=\"5\"><_ k=\"nan\" t=\"1\" kt=\"3\">1</_></Flag></LuaEvent>",
		"<LuaEvent><Flag t=\"5\"><_ kx=\"6B0\" t=\"1\" kt=\"4\">1</_></Flag></LuaEvent>",
		"<LuaEvent><Flag t=\"5\"><_1 t=\"1\" kt=\"3\">1</_1><_2 t=\"1\" kt=\"3\">1</_2><_y t=\"1\"/></Flag></LuaEvent>",
	};
	for (const char* xml : damaged) {
		EXPECT_FALSE(LoadText(manager, xml)) << xml;
		EXPECT_TRUE(Call(manager, "untouched")) << xml;
	}
	EXPECT_EQ(int(std::size(damaged)), m_Log.CountLines("Error xml2luavar error"));

	// A damaged element deeper down is only skipped; other globals are never set from a save.
	ASSERT_TRUE(LoadText(manager, "<LuaEvent><Flag t=\"5\"><_t t=\"5\" kt=\"4\"><_1 kt=\"3\"/><_2 t=\"3\" kt=\"3\">2</_2>"
		"</_t></Flag><print_log t=\"5\"/></LuaEvent>"));
	ASSERT_TRUE(manager.LoadLua(WriteScript("probe.lua", "function probe() return Flag == nil and type(print_log) == 'function' end")
		.c_str()));
	EXPECT_TRUE(Call(manager, "probe"));
}

TEST_F(FlagTable, NoTableNoStateAndNoElement)
{
	TMorvalethLuaManager empty;
	EXPECT_FALSE(empty.LoadFromXML(nullptr));
	EXPECT_EQ(1, m_Log.CountLines("Error TMorvalethLuaManager::LoadFromXML() error : Lua state null."));

	TMorvalethLuaManager manager;
	Load(manager, "function number() Flag = 5 return true end\nfunction five() return Flag == 5 end\n");
	ASSERT_TRUE(Call(manager, "number"));
	TiXmlElement event("LuaEvent");
	manager.SaveToXML(&event);
	EXPECT_EQ(nullptr, event.FirstChildElement());
	ASSERT_TRUE(manager.LoadFromXML(&event));
	EXPECT_TRUE(Call(manager, "five"));
}

// The flags are read and written beside the globals' metatable: a script that hangs endless code on it
// holds up neither a save nor a load, which run outside any script's protection.
TEST_F(FlagTable, TheGlobalsMetatableRunsNoCodeWhileFlagsAreSavedMadeOrLoaded)
{
	TMorvalethLuaManager manager;
	Load(manager, "function hostile() Flag = nil local endless = function() while true do end end\n"
				  "setmetatable(_G, {__index = endless, __newindex = endless}) return true end\n"
				  "function probe() return rawget(_G, 'Flag')[1] == true end\n");
	ASSERT_TRUE(Call(manager, "hostile"));
	TiXmlElement event("LuaEvent");
	EXPECT_TRUE(manager.SaveToXML(&event));
	EXPECT_EQ(nullptr, event.FirstChildElement());
	manager.CreateFlagTable();
	ASSERT_TRUE(LoadText(manager, "<LuaEvent><Flag t=\"5\"><_1 t=\"1\" kt=\"3\">1</_1></Flag></LuaEvent>"));
	EXPECT_TRUE(Call(manager, "probe"));
	EXPECT_EQ(0, m_Log.CountLines("Error")) << m_Log.Text();
}
