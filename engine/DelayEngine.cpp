#include "engine/DelayEngine.h"

namespace engine {

DelayEngine::DelayEngine() = default;
DelayEngine::~DelayEngine() = default;

void DelayEngine::setSampleRate(double hz) { sampleRate_ = (hz < 4096.0 || hz > 200000.0) ? 44100.0 : hz; }
void DelayEngine::setBlockSize(int frames) { blockSize_ = (frames < 1 || frames > 44100) ? 1024 : frames; }
void DelayEngine::suspend() {}
void DelayEngine::clear() {}
void DelayEngine::placeHeads() {}
void DelayEngine::configureReverb() {}

void DelayEngine::process(float** inputs, float** outputs, int frames, const BlockTiming& timing) {
  processBlock(inputs, outputs, frames, timing);
}
void DelayEngine::process(double** inputs, double** outputs, int frames, const BlockTiming& timing) {
  processBlock(inputs, outputs, frames, timing);
}

template <typename Sample>
void DelayEngine::processBlock(Sample** /*inputs*/, Sample** outputs, int frames, const BlockTiming&) {
  for (int i = 0; i < frames; ++i) {
    outputs[channelMap_.outR][i] = 0;
    outputs[channelMap_.outL][i] = 0;
  }
}

void DelayEngine::readInputPeaks(float& left, float& right) { left = right = 0.0f; }

}  // namespace engine
