// Two doubles in one SSE2 register: the left and right channel, or two
// signals taken at the same place, sent through the same arithmetic at once.
// Each lane rounds exactly as the same expression on a lone double does, so
// the results are those of two scalar passes.
#pragma once

namespace engine {

using Pair = double __attribute__((vector_size(16)));

}  // namespace engine
