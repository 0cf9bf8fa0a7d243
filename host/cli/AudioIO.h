// Sound files through libsndfile, and output files that only appear under
// their real name once they are complete.
#pragma once

#include <sndfile.h>

#include <string>
#include <vector>

namespace cli {

using Planar = std::vector<std::vector<float>>;

class SoundReader {
 public:
  explicit SoundReader(const std::string& path);  // throws CliError
  ~SoundReader();
  SoundReader(const SoundReader&) = delete;
  SoundReader& operator=(const SoundReader&) = delete;

  int channels() const { return info_.channels; }
  int sampleRate() const { return info_.samplerate; }
  long frames() const { return static_cast<long>(info_.frames); }
  int format() const { return info_.format; }
  // Reads up to `frames` interleaved frames; returns the number read.
  long read(float* interleaved, long frames);
  long read(double* interleaved, long frames);

 private:
  std::string path_;
  SF_INFO info_{};
  SNDFILE* file_ = nullptr;
};

// Reads a whole file into planar float channels.
Planar readWhole(const std::string& path, int* sampleRate);

// Writes to "<path>.partial-<pid>" and renames it to `path` in commit();
// a writer destroyed before commit() removes its partial file.
class SoundWriter {
 public:
  SoundWriter(const std::string& path, int format, int channels, int sampleRate);  // throws CliError
  ~SoundWriter();
  SoundWriter(const SoundWriter&) = delete;
  SoundWriter& operator=(const SoundWriter&) = delete;

  void write(const float* interleaved, long frames);
  void write(const double* interleaved, long frames);
  void commit();

 private:
  std::string path_;
  std::string partial_;
  SNDFILE* file_ = nullptr;
};

// The libsndfile format for an output file: the one its extension names
// (wav, flac, aiff, ogg, ...), or `fallback` (the input's) for a name
// without an extension; throws for other extensions. The sample encoding of
// `fallback` is kept where the container allows it.
int outputFormat(const std::string& path, int fallback);

// Writes a byte file atomically (temporary name, then rename).
void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes);
std::vector<unsigned char> readBytes(const std::string& path);

}  // namespace cli
