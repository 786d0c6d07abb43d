#pragma once
#include <cstddef>
#include <cstdint>

// The texture blur's line and image steps, apart from any texture so that they
// can be measured and checked on plain pixel buffers. Pixels are 32-bit ARGB.

namespace EngineCore {

// Floats BlurLine needs as scratch for a line of `count` pixels.
size_t BlurLineScratchSize(int count);

// Blurs the colour of one line of `count` pixels into `out` (`count` pixels);
// alpha is the centre pixel's own. Taps beyond either end repeat the edge pixel.
// Each channel is summed in tap order in single precision, so results are
// bit-exact on every machine built without floating-point contraction.
void BlurLine(const uint32_t* in, int count, uint32_t* out, float* scratch);

// Blurs rows 0..rows-1 of an image `width` pixels wide (pitch = width) in place:
// per pass every row, then every column over those rows, with the same
// arithmetic as BlurLine. A `passes` value whose signed reading is 0 or negative
// makes no pass. Work is shared out among OpenMP threads by rows and by blocks
// of columns; every output pixel is computed the same way whatever thread
// computes it, so the result does not depend on the number of threads.
void BlurTopRows(uint32_t* pixels, unsigned width, unsigned rows, unsigned passes);

}  // namespace EngineCore
