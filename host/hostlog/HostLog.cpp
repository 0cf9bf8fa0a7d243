// TavrelHostLog.so: a VST 2.4 plug-in that stands in for Tavrel.so in a host,
// passes every call through to the real plug-in and writes down how the host
// drives it. It answers a question no test of ours can: what a host we do not
// have does, call by call, when it renders differently from run to run.
//
// Use: put TavrelHostLog.so beside Tavrel.so (or name the real plug-in in
// TAVREL_HOSTLOG_PLUGIN) where the host looks for plug-ins and load it in
// Tavrel's place. The log goes to TAVREL_HOSTLOG_FILE, or to
// /tmp/tavrel-hostlog-PID.txt. Each line: a sequence number, the calling
// thread, the call and its arguments, and what it returned. Logged with them
// is what a fault may hide in: every buffer address and whether inputs and
// outputs share memory, checksums of the audio in and out of every block (two
// logs of the same render differ first where the runs part), the key inputs'
// range, the time information's fields whatever its flags say, and the size
// and checksum of every chunk. Writing the log from the audio thread is slow:
// this is a tool for offline renders, not for a session.
#include <dlfcn.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cmath>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "vst/aeffect.h"

namespace {

using namespace vst;

// One logged plug-in: the record the host holds first, so the host's
// AEffect* is the Shim's address.
struct Shim {
  AEffect outer{};
  AEffect* inner = nullptr;
  HostCallback host = nullptr;
};

std::mutex gLock;  // the log and the registry, from any thread
FILE* gLog = nullptr;
unsigned long gSequence = 0;
std::map<AEffect*, Shim*> gShims;  // by the real plug-in's record
Shim* gOpening = nullptr;          // the Shim whose real plug-in is being created

void write(const char* format, ...) {
  std::lock_guard<std::mutex> lock(gLock);
  if (!gLog) return;
  std::fprintf(gLog, "%lu t%ld ", ++gSequence, static_cast<long>(syscall(SYS_gettid)));
  va_list args;
  va_start(args, format);
  std::vfprintf(gLog, format, args);
  va_end(args);
  std::fputc('\n', gLog);
  std::fflush(gLog);
}

// Writing down may fail (out of memory); the call it describes goes on, and
// nothing leaves through the plug-in's C entries.
template <typename Writing>
void quietly(Writing writing) {
  try {
    writing();
  } catch (...) {
  }
}

// Whether every page of a buffer is mapped: the key inputs are summarised
// only then, since a host may hand over fewer buffers than the plug-in
// declares inputs (Tavrel reads the key only once a host has said it is
// there), and the log must not fault where the plug-in would not.
bool mapped(const void* data, size_t bytes) {
  if (!data || bytes == 0) return false;
  const auto page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  const uintptr_t first = reinterpret_cast<uintptr_t>(data) & ~(page - 1);
  const size_t span = reinterpret_cast<uintptr_t>(data) + bytes - first;
  std::vector<unsigned char> resident((span + page - 1) / page);
  return mincore(reinterpret_cast<void*>(first), span, resident.data()) == 0;
}

// FNV-1a over raw bytes: equal audio gives an equal checksum, bit for bit.
uint32_t checksum(const void* data, size_t bytes) {
  uint32_t h = 2166136261u;
  const auto* p = static_cast<const unsigned char*>(data);
  for (size_t i = 0; i < bytes; ++i) h = (h ^ p[i]) * 16777619u;
  return h;
}

const char* effName(int32_t op) {
  static const std::map<int32_t, const char*> names = {
      {effOpen, "effOpen"}, {effClose, "effClose"}, {effSetProgram, "effSetProgram"},
      {effGetProgram, "effGetProgram"}, {effSetSampleRate, "effSetSampleRate"},
      {effSetBlockSize, "effSetBlockSize"}, {effMainsChanged, "effMainsChanged"},
      {effEditGetRect, "effEditGetRect"}, {effEditOpen, "effEditOpen"}, {effEditClose, "effEditClose"},
      {effEditIdle, "effEditIdle"}, {effGetChunk, "effGetChunk"}, {effSetChunk, "effSetChunk"},
      {effProcessEvents, "effProcessEvents"}, {effGetInputProperties, "effGetInputProperties"},
      {effGetOutputProperties, "effGetOutputProperties"}, {effSetSpeakerArrangement, "effSetSpeakerArrangement"},
      {effCanDo, "effCanDo"}, {effStartProcess, "effStartProcess"}, {effStopProcess, "effStopProcess"},
      {effSetProcessPrecision, "effSetProcessPrecision"}, {effGetParamName, "effGetParamName"},
      {effGetParamDisplay, "effGetParamDisplay"}, {effGetParamLabel, "effGetParamLabel"},
      {effGetProgramName, "effGetProgramName"}, {effGetProgramNameIndexed, "effGetProgramNameIndexed"}};
  const auto it = names.find(op);
  return it == names.end() ? "eff" : it->second;
}

const char* masterName(int32_t op) {
  static const std::map<int32_t, const char*> names = {
      {audioMasterAutomate, "audioMasterAutomate"}, {audioMasterVersion, "audioMasterVersion"},
      {audioMasterPinConnected, "audioMasterPinConnected"}, {audioMasterWantMidi, "audioMasterWantMidi"},
      {audioMasterGetTime, "audioMasterGetTime"}, {audioMasterIOChanged, "audioMasterIOChanged"},
      {audioMasterGetSampleRate, "audioMasterGetSampleRate"}, {audioMasterGetBlockSize, "audioMasterGetBlockSize"},
      {audioMasterGetCurrentProcessLevel, "audioMasterGetCurrentProcessLevel"},
      {audioMasterCanDo, "audioMasterCanDo"}, {audioMasterUpdateDisplay, "audioMasterUpdateDisplay"},
      {audioMasterBeginEdit, "audioMasterBeginEdit"}, {audioMasterEndEdit, "audioMasterEndEdit"}};
  const auto it = names.find(op);
  return it == names.end() ? "audioMaster" : it->second;
}

// The record the host sees follows the real one's counts and flags, which
// the plug-in may change while it runs.
void follow(Shim* s) {
  const AEffect* in = s->inner;
  AEffect& out = s->outer;
  out.numPrograms = in->numPrograms;
  out.numParams = in->numParams;
  out.numInputs = in->numInputs;
  out.numOutputs = in->numOutputs;
  out.flags = in->flags;
  out.initialDelay = in->initialDelay;
  out.uniqueID = in->uniqueID;
  out.version = in->version;
}

Shim* shimOf(AEffect* inner) {
  std::lock_guard<std::mutex> lock(gLock);
  const auto it = gShims.find(inner);
  return it != gShims.end() ? it->second : gOpening;
}

void logTime(intptr_t answer) {
  if (!answer) {
    write("  time info: none");
    return;
  }
  const auto* t = reinterpret_cast<const VstTimeInfo*>(answer);
  write("  time info at %p: flags=0x%x samplePos=%.17g sampleRate=%.17g ppqPos=%.17g tempo=%.17g "
        "barStartPos=%.17g timeSig=%d/%d samplesToNextClock=%d",
        static_cast<const void*>(t), t->flags, t->samplePos, t->sampleRate, t->ppqPos, t->tempo, t->barStartPos,
        t->timeSigNumerator, t->timeSigDenominator, t->samplesToNextClock);
}

intptr_t callbackFromPlugin(AEffect* inner, int32_t op, int32_t index, intptr_t value, void* ptr, float opt) {
  Shim* s = shimOf(inner);
  if (!s || !s->host) return 0;
  const intptr_t answer = s->host(&s->outer, op, index, value, ptr, opt);
  quietly([&] {
    if (op == audioMasterCanDo && ptr) {
      write("callback %s(%d) \"%s\" -> %ld", masterName(op), op, static_cast<const char*>(ptr),
            static_cast<long>(answer));
    } else {
      write("callback %s(%d) index=%d value=%ld ptr=%p opt=%g -> %ld", masterName(op), op, index,
            static_cast<long>(value), ptr, opt, static_cast<long>(answer));
    }
    if (op == audioMasterGetTime) logTime(answer);
  });
  return answer;
}

intptr_t dispatcher(AEffect* e, int32_t op, int32_t index, intptr_t value, void* ptr, float opt) {
  Shim* s = reinterpret_cast<Shim*>(e);
  if (op == effSetChunk && ptr && value > 0)
    write("dispatch effSetChunk(%d) preset=%d bytes=%ld at %p checksum=%08x", op, index, static_cast<long>(value),
          ptr, checksum(ptr, static_cast<size_t>(value)));
  const intptr_t answer = s->inner->dispatcher(s->inner, op, index, value, ptr, opt);
  quietly([&] {
    if (op == effGetChunk && ptr && answer > 0) {
      const void* data = *static_cast<void**>(ptr);
      write("dispatch effGetChunk(%d) preset=%d -> %ld bytes at %p checksum=%08x", op, index, static_cast<long>(answer),
            data, data ? checksum(data, static_cast<size_t>(answer)) : 0u);
    } else if ((op == effCanDo) && ptr) {
      write("dispatch effCanDo(%d) \"%s\" -> %ld", op, static_cast<const char*>(ptr), static_cast<long>(answer));
    } else if (op != effEditIdle && op != effSetChunk) {
      write("dispatch %s(%d) index=%d value=%ld ptr=%p opt=%g -> %ld", effName(op), op, index,
            static_cast<long>(value), ptr, opt, static_cast<long>(answer));
    } else if (op == effSetChunk) {
      write("  effSetChunk -> %ld", static_cast<long>(answer));
    }
  });
  if (op == effClose) {
    // The real plug-in has deleted itself.
    {
      std::lock_guard<std::mutex> lock(gLock);
      gShims.erase(s->inner);
    }
    delete s;
    return answer;
  }
  follow(s);
  return answer;
}

// One block's buffers and audio: addresses, which inputs an output shares,
// checksums of the main inputs, the key inputs' range.
template <typename Sample>
void logBlockIn(const char* entry, const Shim* s, Sample** in, Sample** out, int32_t frames) {
  std::string text;
  char part[160];
  std::snprintf(part, sizeof part, "%s frames=%d in=", entry, frames);
  text += part;
  for (int i = 0; i < s->outer.numInputs; ++i) {
    std::snprintf(part, sizeof part, "%s%p", i ? "," : "", static_cast<void*>(in ? in[i] : nullptr));
    text += part;
  }
  text += " out=";
  for (int o = 0; o < s->outer.numOutputs; ++o) {
    std::snprintf(part, sizeof part, "%s%p", o ? "," : "", static_cast<void*>(out ? out[o] : nullptr));
    text += part;
  }
  if (in && out && frames > 0) {
    for (int o = 0; o < s->outer.numOutputs; ++o)
      for (int i = 0; i < s->outer.numInputs; ++i)
        if (out[o] == in[i]) {
          std::snprintf(part, sizeof part, " out%d=in%d", o, i);
          text += part;
        }
    for (int i = 0; i < s->outer.numInputs && i < 2; ++i) {
      std::snprintf(part, sizeof part, " in%d:%08x", i, in[i] ? checksum(in[i], sizeof(Sample) * frames) : 0u);
      text += part;
    }
    for (int i = 2; i < s->outer.numInputs; ++i) {
      if (!mapped(in[i], sizeof(Sample) * frames)) {
        std::snprintf(part, sizeof part, " key%d:unmapped", i);
        text += part;
        continue;
      }
      double low = INFINITY, high = -INFINITY;
      int unfinite = 0;
      for (int k = 0; k < frames; ++k) {
        const double x = in[i][k];
        if (!std::isfinite(x)) {
          ++unfinite;
          continue;
        }
        low = std::fmin(low, x);
        high = std::fmax(high, x);
      }
      std::snprintf(part, sizeof part, " key%d:[%g,%g]%s", i, low, high, unfinite ? " not finite" : "");
      text += part;
    }
  }
  write("%s", text.c_str());
}

template <typename Sample>
void logBlockOut(const Shim* s, Sample** out, int32_t frames) {
  if (!out || frames <= 0) return;
  std::string text = "  out";
  char part[64];
  for (int o = 0; o < s->outer.numOutputs; ++o) {
    std::snprintf(part, sizeof part, " %08x", out[o] ? checksum(out[o], sizeof(Sample) * frames) : 0u);
    text += part;
  }
  write("%s", text.c_str());
}

void processReplacing(AEffect* e, float** in, float** out, int32_t frames) {
  Shim* s = reinterpret_cast<Shim*>(e);
  quietly([&] { logBlockIn("processReplacing", s, in, out, frames); });
  s->inner->processReplacing(s->inner, in, out, frames);
  quietly([&] { logBlockOut(s, out, frames); });
}

void processDoubleReplacing(AEffect* e, double** in, double** out, int32_t frames) {
  Shim* s = reinterpret_cast<Shim*>(e);
  quietly([&] { logBlockIn("processDoubleReplacing", s, in, out, frames); });
  s->inner->processDoubleReplacing(s->inner, in, out, frames);
  quietly([&] { logBlockOut(s, out, frames); });
}

void process(AEffect* e, float** in, float** out, int32_t frames) {
  Shim* s = reinterpret_cast<Shim*>(e);
  quietly([&] { logBlockIn("process (accumulating)", s, in, out, frames); });
  s->inner->process(s->inner, in, out, frames);
  quietly([&] { logBlockOut(s, out, frames); });
}

void setParameter(AEffect* e, int32_t index, float value) {
  Shim* s = reinterpret_cast<Shim*>(e);
  write("setParameter %d %.9g", index, value);
  s->inner->setParameter(s->inner, index, value);
}

float getParameter(AEffect* e, int32_t index) {
  Shim* s = reinterpret_cast<Shim*>(e);
  return s->inner->getParameter(s->inner, index);
}

// The real plug-in: TAVREL_HOSTLOG_PLUGIN, or Tavrel.so beside this library.
std::string realPluginPath() {
  if (const char* named = std::getenv("TAVREL_HOSTLOG_PLUGIN"); named && *named) return named;
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&realPluginPath), &info) && info.dli_fname) {
    std::string self = info.dli_fname;
    const size_t slash = self.rfind('/');
    return (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/Tavrel.so";
  }
  return "Tavrel.so";
}

// Each new instance writes to the file named now: instances of one session
// share it, and a file named anew starts a new log.
void openLog() {
  static std::string openPath;
  std::string path;
  if (const char* named = std::getenv("TAVREL_HOSTLOG_FILE"); named && *named)
    path = named;
  else
    path = "/tmp/tavrel-hostlog-" + std::to_string(getpid()) + ".txt";
  std::lock_guard<std::mutex> lock(gLock);
  if (gLog && path == openPath) return;
  if (gLog) std::fclose(gLog);
  gLog = std::fopen(path.c_str(), "a");
  openPath = path;
}

}  // namespace

namespace {

AEffect* open(HostCallback host) {
  openLog();
  const std::string path = realPluginPath();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    write("VSTPluginMain: cannot load %s: %s", path.c_str(), dlerror());
    return nullptr;
  }
  auto entry = reinterpret_cast<AEffect* (*)(HostCallback)>(dlsym(library, "VSTPluginMain"));
  if (!entry) {
    write("VSTPluginMain: %s has no VSTPluginMain", path.c_str());
    return nullptr;
  }
  auto* s = new Shim;
  s->host = host;
  {
    std::lock_guard<std::mutex> lock(gLock);
    gOpening = s;
  }
  write("VSTPluginMain: host callback %p, real plug-in %s", reinterpret_cast<void*>(host), path.c_str());
  AEffect* inner = entry(&callbackFromPlugin);
  {
    std::lock_guard<std::mutex> lock(gLock);
    gOpening = nullptr;
    if (inner) gShims[inner] = s;
  }
  if (!inner) {
    write("VSTPluginMain: the real plug-in returned no effect");
    delete s;
    return nullptr;
  }
  s->inner = inner;
  AEffect& out = s->outer;
  out = *inner;
  out.dispatcher = &dispatcher;
  out.process = inner->process ? &process : nullptr;
  out.setParameter = &setParameter;
  out.getParameter = &getParameter;
  out.processReplacing = inner->processReplacing ? &processReplacing : nullptr;
  out.processDoubleReplacing = inner->processDoubleReplacing ? &processDoubleReplacing : nullptr;
  out.object = s;
  out.user = nullptr;
  write("VSTPluginMain -> %p (real %p) inputs=%d outputs=%d params=%d programs=%d flags=0x%x", static_cast<void*>(&out),
        static_cast<void*>(inner), out.numInputs, out.numOutputs, out.numParams, out.numPrograms, out.flags);
  return &out;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(HostCallback host) {
  try {
    return open(host);
  } catch (...) {  // nothing may leave through the C entry
    return nullptr;
  }
}

// Older Linux hosts look for the entry under the name "main".
extern "C" __attribute__((visibility("default"))) AEffect* hostLogMainAlias(HostCallback host) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
