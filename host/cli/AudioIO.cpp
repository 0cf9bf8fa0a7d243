#include "host/cli/AudioIO.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "host/cli/CliError.h"

namespace cli {
namespace {

std::string lowerExtension(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
  return ext;
}

std::string partialName(const std::string& path) { return path + ".partial-" + std::to_string(getpid()); }

void commitPartial(const std::string& partial, const std::string& path) {
  if (std::rename(partial.c_str(), path.c_str()) != 0) {
    const std::string why = std::strerror(errno);
    std::remove(partial.c_str());
    throw CliError("cannot write " + path + ": " + why);
  }
}

}  // namespace

SoundReader::SoundReader(const std::string& path) : path_(path) {
  if (access(path.c_str(), R_OK) != 0) throw CliError("cannot read " + path + ": " + std::strerror(errno));
  file_ = sf_open(path.c_str(), SFM_READ, &info_);
  if (file_ == nullptr) throw CliError("cannot read " + path + ": " + sf_strerror(nullptr));
  if (info_.samplerate <= 0 || info_.channels <= 0) {
    sf_close(file_);
    file_ = nullptr;
    throw CliError("cannot read " + path + ": no audio in it");
  }
}

SoundReader::~SoundReader() {
  if (file_ != nullptr) sf_close(file_);
}

long SoundReader::read(float* interleaved, long frames) {
  return static_cast<long>(sf_readf_float(file_, interleaved, frames));
}

long SoundReader::read(double* interleaved, long frames) {
  return static_cast<long>(sf_readf_double(file_, interleaved, frames));
}

Planar readWhole(const std::string& path, int* sampleRate) {
  SoundReader reader(path);
  const int channels = reader.channels();
  Planar planar(static_cast<size_t>(channels));
  std::vector<float> buffer(8192 * static_cast<size_t>(channels));
  for (;;) {
    const long n = reader.read(buffer.data(), 8192);
    if (n <= 0) break;
    for (int c = 0; c < channels; ++c)
      for (long i = 0; i < n; ++i) planar[c].push_back(buffer[static_cast<size_t>(i * channels + c)]);
  }
  if (sampleRate != nullptr) *sampleRate = reader.sampleRate();
  return planar;
}

SoundWriter::SoundWriter(const std::string& path, int format, int channels, int sampleRate)
    : path_(path), partial_(partialName(path)) {
  SF_INFO info{};
  info.format = format;
  info.channels = channels;
  info.samplerate = sampleRate;
  if (!sf_format_check(&info)) throw CliError("cannot write " + path + ": libsndfile cannot write that format");
  file_ = sf_open(partial_.c_str(), SFM_WRITE, &info);
  if (file_ == nullptr) throw CliError("cannot write " + path + ": " + sf_strerror(nullptr));
  // Fixed-point files clip loud samples instead of wrapping them round.
  sf_command(file_, SFC_SET_CLIPPING, nullptr, SF_TRUE);
}

SoundWriter::~SoundWriter() {
  if (file_ != nullptr) {
    sf_close(file_);
    std::remove(partial_.c_str());
  }
}

void SoundWriter::write(const float* interleaved, long frames) {
  if (sf_writef_float(file_, interleaved, frames) != frames)
    throw CliError("cannot write " + path_ + ": " + sf_strerror(file_));
}

void SoundWriter::write(const double* interleaved, long frames) {
  if (sf_writef_double(file_, interleaved, frames) != frames)
    throw CliError("cannot write " + path_ + ": " + sf_strerror(file_));
}

void SoundWriter::commit() {
  const int closed = sf_close(file_);
  file_ = nullptr;
  if (closed != 0) {
    std::remove(partial_.c_str());
    throw CliError("cannot write " + path_ + ": " + sf_error_number(closed));
  }
  commitPartial(partial_, path_);
}

int outputFormat(const std::string& path, int fallback) {
  struct Container {
    const char* ext;
    int major;
    int subtype;  // used when the input's encoding does not fit
  };
  static const Container kContainers[] = {
      {"wav", SF_FORMAT_WAV, SF_FORMAT_PCM_24},   {"wave", SF_FORMAT_WAV, SF_FORMAT_PCM_24},
      {"flac", SF_FORMAT_FLAC, SF_FORMAT_PCM_24}, {"aiff", SF_FORMAT_AIFF, SF_FORMAT_PCM_24},
      {"aif", SF_FORMAT_AIFF, SF_FORMAT_PCM_24},  {"ogg", SF_FORMAT_OGG, SF_FORMAT_VORBIS},
      {"oga", SF_FORMAT_OGG, SF_FORMAT_VORBIS},   {"caf", SF_FORMAT_CAF, SF_FORMAT_PCM_24},
      {"au", SF_FORMAT_AU, SF_FORMAT_PCM_24},     {"w64", SF_FORMAT_W64, SF_FORMAT_PCM_24},
  };
  const std::string ext = lowerExtension(path);
  for (const Container& c : kContainers) {
    if (ext != c.ext) continue;
    SF_INFO probe{};
    probe.channels = 2;
    probe.samplerate = 44100;
    probe.format = c.major | (fallback & SF_FORMAT_SUBMASK);
    if (sf_format_check(&probe)) return probe.format;
    return c.major | c.subtype;
  }
  // A name without an extension takes the input's format; a name that asks
  // for a format libsndfile cannot write must not get a file of another kind.
  if (!ext.empty())
    throw CliError("cannot write " + path + ": unknown sound file type '." + ext +
                   "' (use wav, flac, aiff, ogg, caf, au or w64)");
  return fallback;
}

std::vector<unsigned char> readBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw CliError("cannot read " + path + ": " + std::strerror(errno));
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw CliError("cannot read " + path);
  return bytes;
}

void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
  const std::string partial = partialName(path);
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    if (!out) throw CliError("cannot write " + path + ": " + std::strerror(errno));
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::remove(partial.c_str());
      throw CliError("cannot write " + path);
    }
  }
  commitPartial(partial, path);
}

}  // namespace cli
