// The `tavrel` program end to end: sound files in, sound files out, through
// the built plug-in, checked where the settings put the echoes.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "host/StateImages.h"

#ifdef TAVREL_CLI_PATH

namespace {

namespace fs = std::filesystem;
using Channels = std::vector<std::vector<float>>;
constexpr int kRate = 44100;
constexpr long kGate = kRate / 1000;  // the 1 ms gate look-ahead in the wet path

// --- sound files: 32-bit float WAV, written and read here so the test
// checks the program's output independently of the library it uses.

void put32(std::ofstream& out, uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); }
void put16(std::ofstream& out, uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); }

void writeWav(const fs::path& path, const Channels& ch) {
  std::ofstream out(path, std::ios::binary);
  const uint32_t frames = static_cast<uint32_t>(ch[0].size());
  const uint16_t channels = static_cast<uint16_t>(ch.size());
  const uint32_t bytes = frames * channels * 4;
  out.write("RIFF", 4);
  put32(out, 36 + bytes);
  out.write("WAVEfmt ", 8);
  put32(out, 16);
  put16(out, 3);  // IEEE float
  put16(out, channels);
  put32(out, kRate);
  put32(out, kRate * channels * 4);
  put16(out, static_cast<uint16_t>(channels * 4));
  put16(out, 32);
  out.write("data", 4);
  put32(out, bytes);
  for (uint32_t i = 0; i < frames; ++i)
    for (const auto& c : ch) out.write(reinterpret_cast<const char*>(&c[i]), 4);
}

Channels readWav(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto u32 = [&](size_t at) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + at, 4);
    return v;
  };
  auto u16 = [&](size_t at) {
    uint16_t v;
    std::memcpy(&v, bytes.data() + at, 2);
    return v;
  };
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0) return {};
  int channels = 0, format = 0, bits = 0;
  for (size_t at = 12; at + 8 <= bytes.size();) {
    const uint32_t size = u32(at + 4);
    if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
      format = u16(at + 8);
      channels = u16(at + 10);
      bits = u16(at + 22);
      if (format == 0xFFFE) format = u16(at + 32);  // extensible: the sub-format's first word
    } else if (std::memcmp(bytes.data() + at, "data", 4) == 0 && channels > 0) {
      EXPECT_EQ(format, 3) << path;
      EXPECT_EQ(bits, 32) << path;
      const size_t frames = std::min<size_t>(size, bytes.size() - at - 8) / (4 * channels);
      Channels out(static_cast<size_t>(channels), std::vector<float>(frames));
      for (size_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c) std::memcpy(&out[c][i], bytes.data() + at + 8 + 4 * (i * channels + c), 4);
      return out;
    }
    at += 8 + size + (size & 1);
  }
  return {};
}

Channels impulse(double seconds, float level = 1.0f) {
  Channels ch(2, std::vector<float>(static_cast<size_t>(seconds * kRate), 0.0f));
  ch[0][0] = ch[1][0] = level;
  return ch;
}

// First frame at or after `from` whose level exceeds `threshold`.
long firstAbove(const std::vector<float>& x, long from, float threshold) {
  for (long i = from; i < static_cast<long>(x.size()); ++i)
    if (std::fabs(x[i]) > threshold) return i;
  return -1;
}

float peakBetween(const std::vector<float>& x, long from, long to) {
  float p = 0;
  for (long i = std::max(0L, from); i < std::min<long>(to, static_cast<long>(x.size())); ++i) p = std::max(p, std::fabs(x[i]));
  return p;
}

// --- running the program

struct Outcome {
  int status = -1;
  std::string out, err;
};

std::string quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class Cli : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tavrel-cli-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path file(const std::string& name) const { return dir_ / name; }

  Outcome run(const std::vector<std::string>& args) const {
    std::string command = quote(TAVREL_CLI_PATH);
    for (const auto& a : args) {
      command += ' ';
      command += quote(a);
    }
    const fs::path err = dir_ / "stderr.txt";
    command += " 2>" + quote(err.string()) + " </dev/null";
    Outcome r;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream e(err);
    r.err.assign(std::istreambuf_iterator<char>(e), std::istreambuf_iterator<char>());
    return r;
  }

  // Renders `input` with extra options and returns the output channels.
  Channels render(const Channels& input, std::vector<std::string> options, const std::string& name = "out.wav") {
    const fs::path in = file("in-" + name);
    const fs::path out = file(name);
    writeWav(in, input);
    std::vector<std::string> args{"render", in.string(), out.string(), "--quiet"};
    args.insert(args.end(), options.begin(), options.end());
    const Outcome r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    return readWav(out);
  }

  bool leftoverPartials() const {
    for (const auto& entry : fs::directory_iterator(dir_))
      if (entry.path().filename().string().find(".partial-") != std::string::npos) return true;
    return false;
  }

  fs::path dir_;
};

TEST_F(Cli, EchoesLandWhereTheSettingsPutThem) {
  // With the fixed clock an impulse comes back as one sample at the delay
  // plus the gate look-ahead; the variable clock (on in program 0) smears
  // it over a few samples through its interpolation and anti-alias filter.
  struct Case {
    const char* what;
    std::vector<std::string> options;
    long leftEcho, rightEcho;  // frames
    long tolerance;
  };
  const Case cases[] = {
      {"program 0: a quarter note at 120 BPM", {}, 22050 + kGate, 22050 + kGate, 6},
      {"fixed clock at 120 BPM", {"--set", "VcoOn=0"}, 22050 + kGate, 22050 + kGate, 0},
      {"fixed clock at 100 BPM", {"--set", "VcoOn=0", "--tempo", "100"}, 26460 + kGate, 26460 + kGate, 0},
      {"time mode, 250 ms left and 500 ms right",
       {"--set", "VcoOn=0", "--set", "DlyModeL=0", "--set", "DlyModeR=0", "--set", "RangeL=0.5", "--set",
        "RangeR=0.5", "--set", "DlyTimeL=0.25", "--set", "DlyTimeR=0.5"},
       11025 + kGate, 22050 + kGate, 0},
      {"names are case-blind",
       {"--set", "vcoon=0", "--set", "dlymodel=0", "--set", "rangel=0.5", "--set", "dlytimel=0.1"},
       4410 + kGate, 22050 + kGate, 0},
  };
  for (const Case& c : cases) {
    const Channels out = render(impulse(1.0), c.options);
    ASSERT_EQ(out.size(), 2u) << c.what;
    EXPECT_NEAR(firstAbove(out[0], 100, 0.05f), c.leftEcho, c.tolerance) << c.what;
    EXPECT_NEAR(firstAbove(out[1], 100, 0.05f), c.rightEcho, c.tolerance) << c.what;
  }
}

TEST_F(Cli, AutomaticTailRunsUntilTheEchoesHaveDiedAway) {
  // A 0.2 s file whose single echo comes at 0.501 s: the output must reach
  // past the echo and end soon after its last audible sample.
  Channels out = render(impulse(0.2), {});
  ASSERT_EQ(out.size(), 2u);
  const long length = static_cast<long>(out[0].size());
  EXPECT_GT(length, 22050 + kGate);
  EXPECT_LT(length, 26460);
  // With feedback the repeats go on: the tail is longer and still ends in quiet.
  out = render(impulse(0.2), {"--set", "FbGainL=0.5", "--set", "FbGainR=0.5"}, "fb.wav");
  EXPECT_GT(static_cast<long>(out[0].size()), 4 * 22050);
  EXPECT_LT(peakBetween(out[0], static_cast<long>(out[0].size()) - 64, static_cast<long>(out[0].size())), 1e-3f);
}

TEST_F(Cli, KeySignalDucksTheEchoes) {
  const Channels input = impulse(1.0);
  Channels key(2, std::vector<float>(input[0].size(), 0.9f));  // a loud side chain throughout
  writeWav(file("key.wav"), key);
  const Channels plain = render(input, {"--set", "Ducking=0"}, "plain.wav");
  const Channels ducked = render(input, {"--set", "Ducking=0", "--key", file("key.wav").string()}, "ducked.wav");
  ASSERT_EQ(plain.size(), 2u);
  ASSERT_EQ(ducked.size(), 2u);
  const long echo = 22050 + kGate;
  const float open = peakBetween(plain[0], echo - 10, echo + 10);
  EXPECT_GT(open, 0.2f);
  EXPECT_LT(peakBetween(ducked[0], echo - 10, echo + 10), 0.1f * open);
  // The dry signal is not ducked.
  EXPECT_NEAR(peakBetween(ducked[0], 0, 10), peakBetween(plain[0], 0, 10), 1e-3f);
}

TEST_F(Cli, ProgramsByNameOrNumberGiveTheSameSound) {
  Channels input = impulse(2.0, 0.5f);
  const Channels byName = render(input, {"--program", "Ping Pong"}, "name.wav");
  const Channels byNumber = render(input, {"--program", "24"}, "number.wav");
  const Channels byFolded = render(input, {"--program", "ping pong"}, "folded.wav");
  const Channels standard = render(input, {}, "default.wav");
  ASSERT_FALSE(byName.empty());
  EXPECT_EQ(byName, byNumber);
  EXPECT_EQ(byName, byFolded);
  EXPECT_NE(byName, standard);
}

TEST_F(Cli, PresetFilesOfEitherByteOrderLoadThroughTheChunk) {
  // Save the state with "Ping Pong" selected, cut that program out as a
  // preset file, and load it over program 0: the sound must be Ping Pong's.
  const Channels input = impulse(2.0, 0.5f);
  const Channels reference = render(input, {"--program", "Ping Pong", "--save-chunk", file("state.bin").string()});
  std::ifstream in(file("state.bin"), std::ios::binary);
  const std::vector<uint8_t> chunk((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_TRUE(host::tavrel::isChunk(chunk));
  ASSERT_EQ(host::tavrel::currentProgram(chunk), 24);
  const size_t record = host::tavrel::kChunkRecords + 24 * host::tavrel::kRecordSize;

  for (bool swapped : {false, true}) {
    std::vector<uint8_t> preset(host::tavrel::kPresetSize, 0);
    host::tavrel::writeWord(preset, 0, host::tavrel::kPluginId);
    preset[4] = '!';
    std::copy_n(chunk.begin() + record, host::tavrel::kRecordSize, preset.begin() + 5);
    if (swapped) {  // every word reversed, the name left as it is
      std::reverse(preset.begin(), preset.begin() + 4);
      for (size_t at = 29; at < preset.size(); at += 4) std::reverse(preset.begin() + at, preset.begin() + at + 4);
    }
    const fs::path path = file(swapped ? "swapped.zel" : "native.zel");
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(preset.data()), preset.size());
    EXPECT_EQ(render(input, {"--preset", path.string()}, swapped ? "swapped.wav" : "native.wav"), reference)
        << (swapped ? "byte-swapped preset" : "native preset");
  }
  // Restoring the saved chunk restores the sound.
  EXPECT_EQ(render(input, {"--chunk", file("state.bin").string()}, "restored.wav"), reference);
}

TEST_F(Cli, FloatAndDoublePathsAgree) {
  Channels input = impulse(1.5, 0.8f);
  uint32_t seed = 7;
  for (size_t i = 2000; i < 20000; ++i) {
    seed = seed * 1664525u + 1013904223u;
    input[0][i] = 0.3f * static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
    input[1][i] = 0.5f * input[0][i];
  }
  const std::vector<std::string> setting{"--program", "Meta Flanger", "--set", "FbGainL=0.4"};
  const Channels single = render(input, setting, "single.wav");
  std::vector<std::string> doubleSetting = setting;
  doubleSetting.push_back("--double");
  const Channels twice = render(input, doubleSetting, "double.wav");
  ASSERT_EQ(single.size(), 2u);
  ASSERT_EQ(single[0].size(), twice[0].size());
  float worst = 0;
  for (int c = 0; c < 2; ++c)
    for (size_t i = 0; i < single[c].size(); ++i) worst = std::max(worst, std::fabs(single[c][i] - twice[c][i]));
  EXPECT_LT(worst, 1e-4f);
}

TEST_F(Cli, ErrorsAreOneLineAndLeaveNoOutput) {
  writeWav(file("in.wav"), impulse(0.1));
  std::ofstream(file("text.wav")) << "this is not a sound file\n";
  const std::string in = file("in.wav").string(), out = file("out.wav").string();
  struct Case {
    std::vector<std::string> args;
    const char* message;
  };
  const Case cases[] = {
      {{"render", file("missing.wav").string(), out}, "missing.wav"},
      {{"render", file("text.wav").string(), out}, "cannot read"},
      {{"render", in, out, "--set", "Nope=0.5"}, "unknown parameter 'Nope'"},
      {{"render", in, out, "--set", "Mix=1.5"}, "from 0 to 1"},
      {{"render", in, out, "--set", "Mix"}, "NAME=VALUE"},
      {{"render", in, out, "--program", "No Such Program"}, "unknown program 'No Such Program'"},
      {{"render", in, out, "--program", "61"}, "programs 0 to 60"},
      {{"render", in, out, "--plugin", file("nothing.so").string()}, "cannot load"},
      {{"render", in, out, "--preset", file("in.wav").string()}, "not a Tavrel preset file"},
      {{"render", in, out, "--bogus"}, "unknown option --bogus"},
      {{"render", in, file("out.mp3").string()}, "unknown sound file type '.mp3'"},
      {{"render", in}, "usage"},
  };
  for (const Case& c : cases) {
    const Outcome r = run(c.args);
    EXPECT_NE(r.status, 0) << c.message;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_FALSE(fs::exists(out) || fs::exists(file("out.mp3"))) << c.message;
    EXPECT_FALSE(leftoverPartials()) << c.message;
  }
}

TEST_F(Cli, InfoListsParametersAndPrograms) {
  const Outcome r = run({"info", "--program", "Bass Drone"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("60 parameters"), std::string::npos);
  EXPECT_NE(r.out.find("61 programs (current: 60)"), std::string::npos);
  EXPECT_NE(r.out.find("flags       0x1031"), std::string::npos);
  EXPECT_NE(r.out.find("'Rdlx'"), std::string::npos);
  // The rows between the parameter header and the blank line after them.
  std::istringstream lines(r.out.substr(r.out.find("60 parameters")));
  std::string line;
  int parameterRows = -1;  // the column heading
  while (std::getline(lines, line) && !line.empty()) ++parameterRows;
  --parameterRows;  // the "60 parameters" line itself
  EXPECT_EQ(parameterRows, 60);
  for (const char* name : {" Input ", " MuteInR ", " DlyTimeL ", "Ping Pong", "Meta Flanger"})
    EXPECT_NE(r.out.find(name), std::string::npos) << name;
}

TEST_F(Cli, PlotAndDemoWriteTheirFiles) {
  writeWav(file("in.wav"), impulse(0.5));
  const Outcome plot = run({"plot", file("in.wav").string(), file("echo.png").string()});
  ASSERT_EQ(plot.status, 0) << plot.err;
  std::ifstream png(file("echo.png"), std::ios::binary);
  char signature[8] = {};
  png.read(signature, 8);
  EXPECT_EQ(std::string(signature + 1, 3), "PNG");

  const Outcome demo = run({"demo", file("demo").string()});
  ASSERT_EQ(demo.status, 0) << demo.err;
  for (const char* name : {"00-dry.wav", "01-studio-one.wav", "02-bitch-slap.wav", "07-acid-reflux.wav", "01-studio-one.png"})
    ASSERT_TRUE(fs::exists(file("demo") / name)) << name;
  // The echoes ring on after the phrase.
  EXPECT_GT(fs::file_size(file("demo") / "01-studio-one.wav"), fs::file_size(file("demo") / "00-dry.wav"));
}

TEST_F(Cli, BenchMeasuresTavrelAndAnInstalledPeer) {
  const char* peer = "/usr/lib/vst/ZamDelay-vst.so";
  std::vector<std::string> args{"bench", "--seconds", "0.3"};
  const bool havePeer = fs::exists(peer);
  if (havePeer) args.insert(args.end(), {"--plugin", peer});
  const Outcome r = run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  const size_t row = r.out.find("Tavrel program 0");
  ASSERT_NE(row, std::string::npos) << r.out;
  double ns = 0;
  std::istringstream(r.out.substr(r.out.find("4/2", row) + 3)) >> ns;
  EXPECT_GT(ns, 0.0);
  for (const char* summary : {"median of the 61 programs", "every stage on, 192 kHz", "every stage on, double"})
    EXPECT_NE(r.out.find(summary), std::string::npos) << r.out;
  if (!havePeer) GTEST_SKIP() << "no second VST 2.4 plug-in installed (zam-plugins)";
  EXPECT_NE(r.out.find("ZamDelay-vst.so"), std::string::npos);
  EXPECT_NE(r.out.find("Tavrel program 0 / this"), std::string::npos) << r.out;
}

}  // namespace

#endif
