// The same input through the same setting renders the same bits, whoever's
// memory lies where. Each render runs in a fresh process, as an offline
// render of a host that starts anew does, with its heap disturbed first by a
// block of a different size, and output buffers handed over holding what a
// recycled buffer holds: bits that depend on where memory landed.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "state/ChunkLayout.h"
#include "state/ByteOrder.h"
#include "support/Tavrel.h"

namespace {

struct HostKind {
  const char* name;
  int connectedInputs, connectedOutputs;
};

uint64_t fnv1a(const void* data, std::size_t size, uint64_t hash) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
  return hash;
}

// One render of `program`, chosen through the chunk, in this process.
uint64_t render(int program, const HostKind& kind, std::size_t disturbance) {
  void* block = std::malloc(disturbance + 1);
  std::memset(block, 0xA5, disturbance + 1);
  const auto where = reinterpret_cast<uintptr_t>(block);

  host::HostScript script;
  script.connectedInputs = kind.connectedInputs;
  script.connectedOutputs = kind.connectedOutputs;
  script.recordCalls = false;
  auto plugin = testing_support::loadTavrel(script);
  if (!plugin) return 0;
  plugin->setSampleRate(44100.0f);
  plugin->setBlockSize(512);
  std::vector<uint8_t> chunk = plugin->getChunk();
  state::writeWord(chunk.data() + state::kChunkCurrentAt, static_cast<uint32_t>(program));
  plugin->setChunk(chunk);
  plugin->resume();

  constexpr int kBlock = 512, kBlocks = 90;
  std::vector<float> in[4], out[2];
  for (auto& c : in) c.assign(kBlock, 0.0f);
  for (auto& c : out) c.assign(kBlock, 0.0f);
  float* inputs[4] = {in[0].data(), in[1].data(), in[2].data(), in[3].data()};
  float* outputs[2] = {out[0].data(), out[1].data()};
  uint64_t hash = 14695981039346656037ull;
  for (int b = 0; b < kBlocks; ++b) {
    for (int i = 0; i < kBlock; ++i) {
      const long n = static_cast<long>(b) * kBlock + i;
      in[0][i] = n < 8000 ? 0.5f * static_cast<float>(std::sin(0.031 * n)) : 0.0f;
      in[1][i] = n < 6000 ? 0.4f * static_cast<float>(std::sin(0.047 * n + 1.0)) : 0.0f;
      // Whatever the buffers held before: the plug-in must write over all of it.
      out[0][i] = out[1][i] = static_cast<float>((where >> 4) & 0xFFFF) * 1e-5f;
    }
    plugin->processBlock(inputs, outputs, kBlock);
    hash = fnv1a(out[0].data(), kBlock * sizeof(float), hash);
    hash = fnv1a(out[1].data(), kBlock * sizeof(float), hash);
  }
  std::free(block);
  return hash;
}

// The render in a child process; 0 when the child did not report.
uint64_t renderInFreshProcess(int program, const HostKind& kind, std::size_t disturbance) {
  int fds[2];
  if (::pipe(fds) != 0) return 0;
  const pid_t child = ::fork();
  if (child == 0) {
    ::close(fds[0]);
    const uint64_t hash = render(program, kind, disturbance);
    const bool sent = ::write(fds[1], &hash, sizeof hash) == static_cast<ssize_t>(sizeof hash);
    ::_exit(sent ? 0 : 1);
  }
  ::close(fds[1]);
  uint64_t hash = 0;
  if (child < 0 || ::read(fds[0], &hash, sizeof hash) != static_cast<ssize_t>(sizeof hash)) hash = 0;
  ::close(fds[0]);
  if (child > 0) ::waitpid(child, nullptr, 0);
  return hash;
}

TEST(RenderRepeatable, FreshProcessesWithDisturbedHeapsRenderTheSameBits) {
  const HostKind hosts[] = {
      {"main pair and key connected", 4, 2},
      {"no pin answered as connected", 0, 0},
  };
  for (const HostKind& kind : hosts) {
    for (int program : {0, 1, 22, 24}) {
      SCOPED_TRACE(std::string(kind.name) + ", program " + std::to_string(program));
      const uint64_t first = renderInFreshProcess(program, kind, 0);
      ASSERT_NE(first, 0u);
      for (std::size_t disturbance : {std::size_t{4097}, std::size_t{3} << 20})
        EXPECT_EQ(renderInFreshProcess(program, kind, disturbance), first) << disturbance << " bytes first";
    }
  }
}

}  // namespace
