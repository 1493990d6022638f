#ifndef MORVALETH_TESTS_MUTATIONS_H
#define MORVALETH_TESTS_MUTATIONS_H

#include <random>
#include <string>
#include <vector>

// Damage of the kinds a hostile scenario author, a careless editor or a broken
// disk does to a text file. Each mutation changes the text in place and does
// nothing when the text offers it no place to work on.

/// What a text is, so that a mutation fitting it is chosen.
enum class TTextKind
{
	Xml,
	Numbers,
	Ini,
};

/// The random draws of one round of damage.
class TMutator
{
public:
	/// Ids and names met in the files, used to repeat an id or to name a file elsewhere.
	TMutator(unsigned seed, std::vector<std::string> names) : m_Random(seed), m_Names(std::move(names)) {}

	/// One to three random mutations that fit the kind of text.
	void Mutate(std::string& text, TTextKind kind);

	/// A byte set to a random value.
	void FlipByte(std::string& text);
	/// The text cut at a random place; half of the time just inside a multi-byte character.
	void Truncate(std::string& text);
	/// A whole element removed, or repeated once or many times.
	void DeleteElement(std::string& text);
	void RepeatElement(std::string& text);
	/// An attribute removed, or written twice.
	void DeleteAttribute(std::string& text);
	void RepeatAttribute(std::string& text);
	/// A number replaced by a huge, negative, empty or non-numeric one.
	void ReplaceNumber(std::string& text);
	/// Elements nested deeper than any data, some hidden the ways that fool a careless count.
	void NestDeeply(std::string& text);
	/// A quoted value replaced by another id of the scenario (repeated) or by one nothing bears (dangling).
	void ReplaceId(std::string& text);
	/// An element's text replaced by a name that is a folder, leaves the scenario or names another kind of file.
	void ReplacePath(std::string& text);
	/// Blank lines, carriage returns, section and key fragments and long lines in a line-based text.
	void DamageLines(std::string& text);

	/// A draw in 0..count-1.
	std::size_t Below(std::size_t count);

private:
	/// A random position at which the text holds the pattern, or npos.
	std::size_t FindRandom(const std::string& text, const std::string& pattern);
	/// The start and end of a random whole element; false when the text has none.
	bool FindElement(const std::string& text, std::size_t& start, std::size_t& end);
	/// The start and end of a random attribute (name, "=" and quoted value) with the blank before it.
	bool FindAttribute(const std::string& text, std::size_t& start, std::size_t& end);
	template <std::size_t N>
	const char* Pick(const char* const (&choices)[N]) { return choices[Below(N)]; }

	std::mt19937 m_Random;
	std::vector<std::string> m_Names;
};

/// The quoted attribute values of an XML text, for the mutator's names.
std::vector<std::string> QuotedValues(const std::string& text);

#endif
