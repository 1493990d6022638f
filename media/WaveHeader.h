#ifndef MORVALETH_MEDIA_WAVEHEADER_H
#define MORVALETH_MEDIA_WAVEHEADER_H

#include <istream>
#include <string>

/// Why SDL_mixer must not be handed a sound file, empty when it may: a RIFF WAVE, AIFF or VOC file is read as
/// SDL's loaders read it, and refused when its chunks or blocks leave the file or its format is one their conversion
/// cannot take (which crashes them); so is a file too short for any magic number; a file of any other kind
/// is left to SDL_mixer.
std::string SoundFileFault(std::istream& file);

#endif
