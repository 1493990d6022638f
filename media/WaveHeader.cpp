// Header checks of the sound files given to SDL_mixer 1.2. Its WAV, AIFF and VOC loaders trust the header: a
// format of 0 channels, or a rate so far from the device's that more than its ten conversion filters are
// needed, makes SDL_BuildAudioCVT write past its filter table, and every chunk up to the sound data is
// allocated at the size it claims before the read finds the file too short. The checks walk the chunks
// exactly as those loaders do, so that what is checked is what they will read.

#include "media/WaveHeader.h"

#include "app/Logger.h"

#include <algorithm>
#include <cstdint>

namespace
{
/// Sample rates that SDL's converter brings to a device of 22050 to 96000 Hz within its ten filters.
const std::uint32_t RATE_MIN = 1000;
const std::uint32_t RATE_MAX = 384000;
/// Channel counts the converter turns into the device's stereo.
const std::uint32_t CHANNELS_MAX = 2;
/// Format tags of the WAV encodings SDL decodes.
const std::uint32_t FORMAT_PCM = 1;
const std::uint32_t FORMAT_MS_ADPCM = 2;
const std::uint32_t FORMAT_IMA_ADPCM = 0x11;
/// Bytes of the fmt chunk's common fields, and of the whole chunk with each ADPCM's extension
/// (samples per block, and for MS ADPCM its seven coefficient pairs).
const std::size_t FMT_COMMON = 16;
const std::size_t FMT_IMA_ADPCM = 20;
const std::size_t FMT_MS_ADPCM = 50;
/// Bytes of the AIFF COMM chunk's fields, of the 8SVX VHDR chunk's up to its rate, and of the SSND chunk's offset and block size.
const std::size_t COMM_SIZE = 18;
const std::size_t VHDR_SIZE = 14;
const std::size_t SSND_HEADER = 8;
const std::size_t CHUNK_HEADER = 8;

/// A file read at given offsets; a read past its end comes back short.
class TFileBytes
{
public:
	explicit TFileBytes(std::istream& file)
		: m_File(file)
	{
		m_File.seekg(0, std::ios::end);
		const std::streamoff end = m_File.tellg();
		m_Size = end > 0 ? static_cast<std::uint64_t>(end) : 0;
	}

	std::uint64_t Size() const { return m_Size; }

	/// The count bytes from offset on, fewer at the end of the file.
	std::string Read(std::uint64_t offset, std::size_t count)
	{
		if (offset >= m_Size)
			return std::string();
		std::string bytes(static_cast<std::size_t>(std::min<std::uint64_t>(count, m_Size - offset)), '\0');
		m_File.clear();
		m_File.seekg(static_cast<std::streamoff>(offset));
		m_File.read(&bytes[0], static_cast<std::streamsize>(bytes.size()));
		bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(0, m_File.gcount())));
		return bytes;
	}

private:
	std::istream& m_File;
	std::uint64_t m_Size;
};

/// A chunk: its four-letter name, where its contents start and how many bytes they take.
struct TChunk
{
	std::string name;
	std::uint64_t start = 0;
	std::uint32_t size = 0;
};

/// The unsigned number of count bytes at the offset.
std::uint32_t Number(const std::string& bytes, std::size_t at, int count, bool bigEndian)
{
	std::uint32_t value = 0;
	for (int i = 0; i < count; ++i) {
		const int shift = 8 * (bigEndian ? count - 1 - i : i);
		value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << shift;
	}
	return value;
}

/// A chunk name as the log can show it.
std::string Printable(std::string name)
{
	for (char& c : name) {
		if (c < 0x20 || c > 0x7E)
			c = '?';
	}
	return name;
}

/// Reads the chunk header at the offset; the fault when the header, or the contents it announces, run past the end.
std::string ReadChunk(TFileBytes& file, std::uint64_t offset, bool bigEndian, const char* awaited, TChunk& chunk)
{
	const std::string header = file.Read(offset, CHUNK_HEADER);
	if (header.size() < CHUNK_HEADER)
		return FormatText("the file ends before its %s chunk", awaited);
	chunk.name = header.substr(0, 4);
	chunk.size = Number(header, 4, 4, bigEndian);
	chunk.start = offset + CHUNK_HEADER;
	if (chunk.size > file.Size() - chunk.start)
		return FormatText("the '%s' chunk of %u bytes runs past the end of the file", Printable(chunk.name), chunk.size);
	return std::string();
}

std::string RateFault(std::uint32_t rate)
{
	return rate < RATE_MIN || rate > RATE_MAX ? FormatText("a rate of %u Hz (%u to %u Hz can be played)", rate, RATE_MIN, RATE_MAX)
											  : std::string();
}

std::string ChannelsFault(std::uint32_t channels)
{
	return channels < 1 || channels > CHANNELS_MAX ? FormatText("%u channels (1 or 2 can be played)", channels) : std::string();
}

/// PCM: whole bytes of 8 or 16 bits, blocks of one sample per channel, and the byte rate they make.
std::string PcmFault(std::uint32_t channels, std::uint32_t rate, std::uint32_t byteRate, std::uint32_t blockAlign,
	std::uint32_t bits)
{
	if (bits != 8 && bits != 16)
		return FormatText("%u bits per sample (8 or 16 can be played)", bits);
	if (blockAlign != channels * bits / 8)
		return FormatText("a block alignment of %u for %u channels of %u bits", blockAlign, channels, bits);
	if (byteRate != rate * blockAlign)
		return FormatText("a byte rate of %u for %u Hz in blocks of %u bytes", byteRate, rate, blockAlign);
	return std::string();
}

/// ADPCM: 4 bits, and blocks that hold their header and the samples they claim (SDL sizes its output by
/// them; the decoders never read the byte rate).
std::string AdpcmFault(const std::string& format, std::uint32_t tag, std::uint32_t channels, std::uint32_t blockAlign,
	std::uint32_t bits)
{
	const bool ms = tag == FORMAT_MS_ADPCM;
	if (bits != 4)
		return FormatText("%u bits per sample (ADPCM has 4)", bits);
	const std::size_t needed = ms ? FMT_MS_ADPCM : FMT_IMA_ADPCM;
	if (format.size() < needed)
		return FormatText("a fmt chunk of %u bytes, where this format needs %u", format.size(), needed);
	const std::uint32_t header = (ms ? 7 : 4) * channels;
	const std::uint32_t first = ms ? 2 : 1;
	if (blockAlign < header)
		return FormatText("a block alignment of %u, below the block header's %u bytes", blockAlign, header);
	const std::uint32_t capacity = (blockAlign - header) * 2 / channels + first;
	const std::uint32_t samples = Number(format, 18, 2, false);
	if (samples < first || samples > capacity)
		return FormatText("%u samples per block, where a block of %u bytes holds %u", samples, blockAlign, capacity);
	return std::string();
}

std::string WaveFormatFault(const std::string& format)
{
	if (format.size() < FMT_COMMON)
		return FormatText("a fmt chunk of %u bytes, fewer than %u", format.size(), FMT_COMMON);
	const std::uint32_t tag = Number(format, 0, 2, false);
	const std::uint32_t channels = Number(format, 2, 2, false);
	const std::uint32_t rate = Number(format, 4, 4, false);
	const std::uint32_t byteRate = Number(format, 8, 4, false);
	const std::uint32_t blockAlign = Number(format, 12, 2, false);
	const std::uint32_t bits = Number(format, 14, 2, false);
	if (tag != FORMAT_PCM && tag != FORMAT_MS_ADPCM && tag != FORMAT_IMA_ADPCM)
		return FormatText("the unknown format 0x%04x (PCM, MS ADPCM and IMA ADPCM can be played)", tag);
	std::string fault = ChannelsFault(channels);
	if (fault.empty())
		fault = RateFault(rate);
	if (fault.empty())
		fault = tag == FORMAT_PCM ? PcmFault(channels, rate, byteRate, blockAlign, bits)
								  : AdpcmFault(format, tag, channels, blockAlign, bits);
	return fault;
}

/// A RIFF WAVE file as SDL reads it: fact and LIST chunks, the fmt chunk, then any chunks up to the data
/// chunk, each read whole and none padded.
std::string WaveFault(TFileBytes& file)
{
	std::uint64_t offset = 12;
	TChunk chunk;
	std::string fault;
	do {
		fault = ReadChunk(file, offset, false, "fmt", chunk);
		offset = chunk.start + chunk.size;
	} while (fault.empty() && (chunk.name == "fact" || chunk.name == "LIST"));
	if (fault.empty() && chunk.name != "fmt ")
		fault = FormatText("a '%s' chunk where the fmt chunk must stand", Printable(chunk.name));
	if (fault.empty())
		fault = WaveFormatFault(file.Read(chunk.start, chunk.size));
	while (fault.empty() && chunk.name != "data") {
		fault = ReadChunk(file, offset, false, "data", chunk);
		offset = chunk.start + chunk.size;
	}
	return fault;
}

/// A rate written as the 80-bit float of an AIFF COMM chunk, as SDL_mixer converts it: 0 when out of its reach.
std::uint32_t SaneRate(const std::string& sane)
{
	const unsigned char exponent = static_cast<unsigned char>(sane[0]);
	const unsigned char shift = static_cast<unsigned char>(sane[1]);
	if (exponent != 0x40 || shift > 0x1C)
		return 0;
	return Number(sane, 2, 4, true) >> 1 >> (29 - shift);
}

/// An AIFF COMM chunk and the sound data of its SSND chunk.
std::string AiffFormatFault(TFileBytes& file, const std::string& format, const TChunk& sound)
{
	const std::uint32_t channels = Number(format, 0, 2, true);
	const std::uint64_t frames = Number(format, 2, 4, true);
	const std::uint32_t bits = Number(format, 6, 2, true);
	std::string fault = ChannelsFault(channels);
	if (fault.empty())
		fault = RateFault(SaneRate(format.substr(8, 10)));
	if (fault.empty() && bits != 8 && bits != 16)
		fault = FormatText("%u bits per sample (8 or 16 can be played)", bits);
	if (!fault.empty() || sound.size < SSND_HEADER)
		return fault.empty() ? FormatText("an SSND chunk of %u bytes, fewer than %u", sound.size, SSND_HEADER) : fault;
	const std::uint64_t start = sound.start + SSND_HEADER + Number(file.Read(sound.start, 4), 0, 4, true);
	const std::uint64_t bytes = frames * channels * (bits / 8);
	if (start > file.Size() || bytes > file.Size() - start)
		return FormatText("%u frames of sound that run past the end of the file", frames);
	return std::string();
}

/// An AIFF or 8SVX file as SDL_mixer reads it: chunks until the format and the sound data are both met.
/// Its sound loader skips the pad byte after an odd size and its music loader does not, so an odd size
/// on the way would have them read different chunks.
std::string AiffFault(TFileBytes& file, bool svx)
{
	const char* const formatName = svx ? "VHDR" : "COMM";
	const char* const soundName = svx ? "BODY" : "SSND";
	std::string format;
	TChunk sound;
	std::uint64_t offset = 12;
	while (format.empty() || sound.name.empty()) {
		TChunk chunk;
		const std::string fault = ReadChunk(file, offset, true, format.empty() ? formatName : soundName, chunk);
		if (!fault.empty())
			return fault;
		if (chunk.size % 2 != 0)
			return FormatText("the '%s' chunk has the odd size %u", Printable(chunk.name), chunk.size);
		if (chunk.size == 0)
			return FormatText("an empty '%s' chunk ends the chunks before the sound", Printable(chunk.name));
		if (chunk.name == formatName)
			format = file.Read(chunk.start, chunk.size);
		else if (chunk.name == soundName)
			sound = chunk;
		offset = chunk.start + chunk.size;
	}
	const std::size_t needed = svx ? VHDR_SIZE : COMM_SIZE;
	if (format.size() < needed)
		return FormatText("a %s chunk of %u bytes, fewer than %u", formatName, format.size(), needed);
	return svx ? RateFault(Number(format, 12, 2, true)) : AiffFormatFault(file, format, sound);
}

/// What SDL_mixer's VOC loader has made of the blocks read so far: the rate code every block must repeat,
/// and the rate and channels it will hand to the converter.
struct TVocState
{
	std::int64_t rateCode = -1;
	bool extended = false;
	std::uint32_t channels = 0;
	std::uint32_t blockChannels = 0;
	std::uint32_t rate = 0;
	bool sound = false;
};

/// The loader's spec takes the block's channels when the first sound starts.
void StartVocSound(TVocState& state)
{
	if (!state.sound && state.channels == 0)
		state.channels = state.blockChannels;
	state.sound = true;
}

/// A block of 8-bit sound with a one-byte rate code, unless an extended block gave the rate.
bool ReadVocData(const std::string& block, TVocState& state)
{
	const std::uint32_t code = Number(block, 0, 1, false);
	if (!state.extended) {
		if (code == 0 || (state.rateCode != -1 && code != state.rateCode))
			return false;
		state.rateCode = code;
		state.rate = static_cast<std::uint16_t>(1000000.0 / (256 - code));
		state.blockChannels = 1;
	}
	state.extended = false;
	StartVocSound(state);
	return Number(block, 1, 1, false) == 0;
}

/// A block of sound that gives its own rate, bits and channels.
bool ReadVocData16(const std::string& block, TVocState& state)
{
	const std::uint32_t rate = Number(block, 0, 4, false);
	const std::uint32_t bits = Number(block, 4, 1, false);
	if (rate == 0 || (state.rateCode != -1 && rate != state.rateCode) || (bits != 8 && bits != 16))
		return false;
	state.rateCode = rate;
	state.rate = rate;
	state.blockChannels = Number(block, 5, 1, false);
	StartVocSound(state);
	return true;
}

/// A block of silence: its length and a rate code, which the first block of all makes the file's code
/// without giving it a rate.
bool ReadVocSilence(const std::string& block, TVocState& state)
{
	const std::uint32_t code = Number(block, 2, 1, false);
	if (code == 0)
		return false;
	if (state.rateCode == -1)
		state.rateCode = code;
	StartVocSound(state);
	return true;
}

/// An extended block: a two-byte rate code and a stereo switch; the loader divides the rate by the channels
/// it has so far, none for a mono block before any sound.
std::string ReadVocExtended(const std::string& block, TVocState& state, bool& refused)
{
	const std::uint32_t code = Number(block, 0, 2, false);
	refused = code == 0 || (state.rateCode != -1 && code != state.rateCode) || Number(block, 2, 1, false) != 0;
	if (refused)
		return std::string();
	state.extended = true;
	state.rateCode = code;
	if (Number(block, 3, 1, false) != 0)
		state.channels = 2;
	if (state.channels == 0)
		return "a mono extended block before any sound (SDL_mixer divides its rate by no channels)";
	state.rate = 256000000u / (65536u - code) / state.channels;
	return std::string();
}

/// A Creative Voice file as SDL_mixer reads it: block after block from the offset the header gives, each
/// read only as far as the loader reads it. A file the loader refuses by itself is left to it.
std::string VocFault(TFileBytes& file)
{
	// The smallest part of each kind of block the loader reads, and the part after which it goes on.
	const std::uint32_t minimum[10] = {0, 2, 0, 3, 2, 0, 0, 0, 4, 12};
	std::uint64_t offset = Number(file.Read(20, 2), 0, 2, false);
	TVocState state;
	while (true) {
		const std::string header = file.Read(offset, 4);
		if (header.size() < 4 || header[0] == 0)
			break;
		const std::uint32_t type = Number(header, 0, 1, false);
		const std::uint32_t size = Number(header, 1, 3, false);
		const std::uint64_t start = offset + 4;
		if (size > file.Size() - std::min(start, file.Size()))
			return FormatText("a block of type %u and %u bytes runs past the end of the file", type, size);
		if (type < 10 && size < minimum[type])
			return FormatText("a block of type %u holds %u bytes, fewer than its %u", type, size, minimum[type]);
		const std::string block = file.Read(start, std::min<std::uint32_t>(size, 12));
		bool refused = false;
		std::string fault;
		offset = start + size;
		if (type == 1)
			refused = !ReadVocData(block, state);
		else if (type == 9)
			refused = !ReadVocData16(block, state);
		else if (type == 8)
			fault = ReadVocExtended(block, state, refused), offset = start + 4;
		else if (type == 2)
			StartVocSound(state);
		else if (type == 3)
			refused = !ReadVocSilence(block, state), offset = start + 3;
		else if (type == 4)
			offset += 2;
		if (refused || !fault.empty())
			return fault;
	}
	if (state.rateCode == -1)
		return std::string();
	const std::string fault = ChannelsFault(state.channels);
	return fault.empty() ? RateFault(state.rate) : fault;
}
}

std::string SoundFileFault(std::istream& stream)
{
	TFileBytes file(stream);
	const std::string head = file.Read(0, 12);
	// SDL_mixer's music loader loses its file and its record on a file of fewer bytes than a magic number.
	if (head.size() < 4)
		return FormatText("the file holds only %u bytes", head.size());
	const std::string magic = head.substr(0, 4);
	if (magic == "Crea")
		return file.Read(0, 20) == std::string("Creative Voice File\x1A", 20) ? VocFault(file) : std::string();
	const bool wave = magic == "RIFF" || magic == "WAVE";
	if (!wave && magic != "FORM")
		return std::string();
	if (head.size() < 12)
		return FormatText("the file ends inside its %s header", magic);
	if (magic == "WAVE")
		return "a WAVE file without its RIFF header";
	// Both loaders also take a header whose size field holds the form's name, which no writer makes.
	const std::string form = head.substr(8, 4);
	if (head.compare(4, 4, wave ? "WAVE" : "AIFF") == 0)
		return "a header without the file's size";
	if (wave)
		return form == "WAVE" ? WaveFault(file) : std::string();
	return form == "AIFF" || form == "8SVX" ? AiffFault(file, form == "8SVX") : std::string();
}
