#ifndef MORVALETH_SCRIPT_FLAGTABLE_H
#define MORVALETH_SCRIPT_FLAGTABLE_H

struct lua_State;
class TiXmlElement;

// The scripts' lasting state in the save: one element per Lua value, named "_" and
// the key's text, with the key type "kt" (3 number, 4 string) and the value type
// "t" (0 nil, 1 boolean, 3 number, 4 string, 5 table). Numbers are written so that
// they read back exactly; a key that is no XML name goes into the attribute "k".
// Strings are kept byte for byte: one that a text of the document would change (a NUL,
// a carriage return, "]]>", bytes that are no Shift-JIS) is written as hexadecimal
// digits, two a byte, in the attribute "x" (a value) or "kx" (a key).

/// Writes the value at the index into the element: "t" and the content, a table entry by entry; false for a value
/// of no savable type, and, with an Error and nothing written, for a table that makes more than a load accepts.
bool luavar2xml(lua_State* L, int index, TiXmlElement* target);
/// Reads one entry from the element into the table at the index; 0, or -1 for an element without a usable key or type.
int xml2luavar(lua_State* L, int index, const TiXmlElement* source);

#endif
