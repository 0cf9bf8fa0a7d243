// What the plug-in does when memory runs out. This program replaces the
// global allocation functions (the plug-in, loaded with dlopen, finds them
// here first) so a test can make the n-th allocation from now fail, and
// walks n over every allocation of an operation:
//
//  - creating an instance: every failure reaches the host as a null
//    instance, and (under the leak checker) leaves no memory behind;
//  - a resume at a new sample rate: every failure leaves an effect that
//    plays silence safely, and the next resume that gets its memory plays
//    again.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <new>

#include "support/Tavrel.h"

namespace {

// -1: no failure planned; n >= 0: the allocation after n more fails.
std::atomic<long> failIn{-1};
std::atomic<long> failures{0};

void* allocate(std::size_t size) {
  if (failIn.load(std::memory_order_relaxed) >= 0 && failIn.fetch_sub(1) == 0) {
    failures.fetch_add(1);
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}

void* allocateAligned(std::size_t size, std::align_val_t align) {
  if (failIn.load(std::memory_order_relaxed) >= 0 && failIn.fetch_sub(1) == 0) {
    failures.fetch_add(1);
    throw std::bad_alloc();
  }
  const auto a = static_cast<std::size_t>(align);
  if (void* p = std::aligned_alloc(a, (size + a - 1) / a * a)) return p;
  throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return allocate(size);
  } catch (...) {
    return nullptr;
  }
}
void* operator new(std::size_t size, std::align_val_t align) { return allocateAligned(size, align); }
void* operator new[](std::size_t size, std::align_val_t align) { return allocateAligned(size, align); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }

namespace {

// Makes the allocation `n` from now fail, for one scope.
struct FailingAllocation {
  explicit FailingAllocation(long n) {
    failures = 0;
    failIn = n;
  }
  ~FailingAllocation() { failIn = -1; }
  bool happened() const { return failures > 0; }
};

intptr_t plainHost(vst::AEffect*, int32_t opcode, int32_t, intptr_t, void*, float) {
  return opcode == vst::audioMasterVersion ? 2400 : 0;
}

TEST(AllocationFailure, AnInstanceThatCannotBeMadeReachesTheHostAsNull) {
  void* library = dlopen(TAVREL_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_TRUE(library) << dlerror();
  using Entry = vst::AEffect* (*)(vst::HostCallback);
  auto entry = reinterpret_cast<Entry>(dlsym(library, "VSTPluginMain"));
  ASSERT_TRUE(entry);

  long n = 0;
  for (;; ++n) {
    vst::AEffect* effect;
    bool failed;
    {
      FailingAllocation failing(n);
      effect = entry(plainHost);
      failed = failing.happened();
    }
    if (!failed) {
      ASSERT_NE(effect, nullptr) << "no failure, yet no instance";
      effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0.0f);
      break;
    }
    ASSERT_EQ(effect, nullptr) << "allocation " << n << " failed, yet an instance came back";
  }
  EXPECT_GT(n, 10) << "construction should allocate its store, maps, engine and editor";
  dlclose(library);
}

// The effect must play silence, finite and in its own buffers, after a
// resume that could not get its memory.
void expectSilentAndSafe(host::PluginInstance& plugin, long n) {
  std::vector<std::vector<float>> in(4, std::vector<float>(2048, 0.5f)), out;
  ASSERT_TRUE(plugin.process(in, out));
  for (const auto& channel : out)
    for (float y : channel) ASSERT_EQ(y, 0.0f) << "allocation " << n << " failed during resume";
}

TEST(AllocationFailure, AResumeThatCannotGetItsMemoryLeavesASilentSafeEffect) {
  for (long n = 0;; ++n) {
    auto plugin = testing_support::loadTavrel();
    ASSERT_TRUE(plugin);
    plugin->script().recordCalls = false;  // the host's log must not allocate inside the failing scope
    plugin->setBlockSize(512);
    plugin->resume();
    plugin->suspend();
    plugin->setSampleRate(96000.0f);  // every buffer of the engine grows
    plugin->setBlockSize(2048);
    bool failed;
    {
      FailingAllocation failing(n);
      plugin->dispatch(vst::effMainsChanged, 0, 1);
      failed = failing.happened();
    }
    if (!failed) break;
    expectSilentAndSafe(*plugin, n);
    plugin->dispatch(vst::effMainsChanged, 0, 0);
    expectSilentAndSafe(*plugin, n);

    // Memory is back: the next resume plays the dry signal again.
    plugin->resume();
    std::vector<std::vector<float>> in(4, std::vector<float>(4096, 0.5f)), out;
    ASSERT_TRUE(plugin->process(in, out));
    double energy = 0.0;
    for (const auto& channel : out)
      for (float y : channel) {
        ASSERT_TRUE(std::isfinite(y));
        energy += y * y;
      }
    EXPECT_GT(energy, 1.0) << "still silent after a resume with memory, allocation " << n;
    ASSERT_LT(n, 1000) << "a resume that never stops allocating";
  }
}

}  // namespace
