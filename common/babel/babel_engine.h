#ifndef MORVALETH_COMMON_BABEL_BABEL_ENGINE_H
#define MORVALETH_COMMON_BABEL_BABEL_ENGINE_H

#include <cstddef>
#include <cstdint>
#include <string>

namespace babel
{
/// Root of the library's reference-counted objects.
class bbl_smart_base
{
public:
	virtual ~bbl_smart_base();

protected:
	/// Number of holders; it must be 0 when the object is destroyed.
	std::int32_t ref_count = 0;
};

/// The text that stands for a unit that cannot be converted, in the unit type of a string.
template <typename String>
const String& bbl_replacement();
template <>
const std::string& bbl_replacement<std::string>();
template <>
const std::u16string& bbl_replacement<std::u16string>();

/// Most code units one replacement token may hold.
const std::size_t margin_size = 24;
/// Size of the local buffer an engine fills before appending to its output.
const std::size_t block_size = 1000;

/// Converts From text into To text, keeping an incomplete tail of the input for later.
template <typename From, typename To>
class bbl_translate_engine : public bbl_smart_base
{
public:
	typedef From from_string;
	typedef To to_string;

	/// Queues input for conversion.
	void put(const From& input) { untranslated += input; }
	/// The output converted so far.
	const To& get() const { return translated; }

	/// Converts as much of the queued input as possible and appends it to the output.
	virtual void translate() = 0;
	/// Turns each unit still queued into a replacement token and empties the queue.
	virtual void flush()
	{
		for (std::size_t i = 0; i < untranslated.size(); ++i)
			translated += bbl_replacement<To>();
		untranslated.clear();
	}
	/// Empties both input and output.
	virtual void clear()
	{
		untranslated.clear();
		translated.clear();
	}

protected:
	From untranslated;
	To translated;
};

/// Collects an engine's output in blocks of block_size units before appending it to the target.
template <typename String>
class bbl_output_block
{
public:
	typedef typename String::value_type unit_type;

	explicit bbl_output_block(String& target) : m_target(target) {}

	/// Makes room for the output of one character (at most margin_size units).
	void reserve()
	{
		if (block_size - m_size < margin_size)
			flush();
	}
	void put(unit_type unit) { m_units[m_size++] = unit; }
	void put_replacement()
	{
		for (unit_type unit : bbl_replacement<String>())
			put(unit);
	}
	/// Appends what the block holds to the target.
	void flush()
	{
		m_target.append(m_units, m_size);
		m_size = 0;
	}

private:
	String& m_target;
	unit_type m_units[block_size];
	std::size_t m_size = 0;
};

/// Shift-JIS (code page 932) bytes to UTF-16.
class sjis_cp932_to_unicode_engine : public bbl_translate_engine<std::string, std::u16string>
{
public:
	void translate() override;
};

/// UTF-16 to Shift-JIS (code page 932) bytes.
class unicode_to_sjis_cp932_engine : public bbl_translate_engine<std::u16string, std::string>
{
public:
	void translate() override;
};

/// UTF-16 to UTF-8 bytes.
class unicode_to_utf8_engine : public bbl_translate_engine<std::u16string, std::string>
{
public:
	void translate() override;
};

/// UTF-8 bytes to UTF-16.
class utf8_to_unicode_engine : public bbl_translate_engine<std::string, std::u16string>
{
public:
	void translate() override;
};
}

#endif
