#ifndef MORVALETH_MODEL_DATAFILE_H
#define MORVALETH_MODEL_DATAFILE_H

#include "app/CheckedNumber.h"
#include "app/XmlGuard.h"
#include "app/XmlValue.h"

#include <cstddef>
#include <cstdint>
#include <string>

class TiXmlDocument;
class TiXmlElement;
class TiXmlNode;

/// Records a table may hold: far above any real scenario, and low enough that what is made for each record
/// (a battle map for every area, a script state for every master) and the tables sized by two of them (the
/// races' affinities, the move types' costs on every ground and object, each character's magic ranks and
/// resistances) fit in memory, and that the alliances, each looked for among the others, load in linear time.
/// A table of "kinds" is one of races, magic groups, attributes, move types, grounds or objects.
const int MAX_AREAS = 10000;
const int MAX_MASTERS = 1000;
const int MAX_ALLIANCES = 10000;
const int MAX_CHARAS = 10000;
const int MAX_KINDS = 1000;

/// True when count records stay within the limit; otherwise logs where + " の " + what + " が上限の " + limit +
/// " 件を超えています。" (the log adds the file being read where it is not named) and answers false.
bool CheckRecordCount(std::size_t count, int limit, const std::string& where, const char* what);
/// The parent's child elements of the name (any name when null).
std::size_t CountChildren(const TiXmlNode* parent, const char* name);
/// CheckRecordCount of the parent's child elements of the name (any name when null), counted before any is read;
/// what names the records (the name when null).
bool CheckChildCount(const TiXmlNode* parent, const char* name, int limit, const std::string& where, const char* what = nullptr);

/// Reads a whole file as ReadDataBytes does; false when it is missing, no regular file or unreadable.
bool ReadWholeFile(const std::string& path, std::string& text);

/// Reads a scenario data file; on failure logs path + " file not found" (when asked to tell a missing file apart) or path + " XML parse error" followed by the reason.
bool ReadXmlDataFile(TiXmlDocument& document, const std::string& path, bool reportMissing);

/// Reads a save file as the game loads one: its "Save" element; null after the Error path + " XML parse error"
/// followed by the reason, or "%s %s 検索失敗" with the path and "Save".
const TiXmlElement* ReadSaveDocument(TiXmlDocument& document, const std::string& path);

/// The document's first element, whatever its name; when there is none, logs path + " に中身が無い？" and answers null.
const TiXmlElement* RequireRoot(const TiXmlDocument& document, const std::string& path);

/// The first child element of that name of an element or document; when there is none, logs path + message and answers null.
const TiXmlElement* RequireChild(const TiXmlNode* parent, const char* name, const std::string& path, const char* message);

/// The element's name and id as "Name id = x", the record a loader's messages are about.
std::string RecordName(const TiXmlElement* element);

/// Reads the element's non-empty "id" attribute; when it is empty or missing, logs path + " id not found" and answers false.
bool RequireId(const TiXmlElement* element, const std::string& path, std::string& id);

/// A colour text written AARRGGBB in hexadecimal as the packed word whose bytes read red, green, blue, alpha; 0xFF000000 when the text is no hexadecimal number.
std::uint32_t ParseColorWord(const std::string& text);

/// True when a relative name, joined to a folder that lies depth folders below the scenario root, stays inside that root.
bool StaysInsideScenarioRoot(const std::string& name, int depth);

/// Depth below the scenario root of the folders that hold pictures and sounds ("Picture", the character folders).
const int MEDIA_FOLDER_DEPTH = 2;

/// StaysInsideScenarioRoot; when the name leads out, logs path + " " + name + " はシナリオフォルダの外を指しています。".
bool CheckNameInsideRoot(const std::string& name, int depth, const std::string& path);

/// The text of an optional child naming a media file (empty when the child is absent); false when the name leads out of the scenario root.
bool ReadMediaName(const TiXmlElement* parent, const char* child, const std::string& path, std::string& name);

/// A record field read from the integer "value" attribute of the child element of that name.
template <typename T>
struct TValueField
{
	const char* element;
	int T::*field;
};

/// Reads every field in order; the first one missing logs "id =" + the record's id + " の" + element + "の検索に失敗しました。" and answers false.
template <typename T, std::size_t N>
bool ReadValueFields(const TiXmlElement* element, const TValueField<T> (&fields)[N], T& record)
{
	for (const TValueField<T>& value : fields) {
		const std::string message = "id =" + record.id + " の" + value.element + "の検索に失敗しました。";
		if (!QueryChildIntAttribute(element, value.element, "value", record.*value.field, message))
			return false;
	}
	return true;
}

/// The position of the text in a keyword list; 0 (the first entry's number) when it is not listed.
template <std::size_t N>
int KeywordNumber(const char* const (&keywords)[N], const std::string& text)
{
	for (std::size_t i = 0; i < N; ++i) {
		if (text == keywords[i])
			return static_cast<int>(i);
	}
	return 0;
}

#endif
