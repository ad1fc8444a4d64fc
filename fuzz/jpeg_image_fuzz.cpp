// libFuzzer target: any bytes given to the JPEG reader decode or give an
// ImageError; a paletted image holds one index per texel and at most 256
// palette entries.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "standalone/Images.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  try {
    const kiln::standalone::Image image = kiln::standalone::ReadJpeg(std::span(data, size));
    if (image.paletted && image.indices.size() != size_t(image.width) * image.height) std::abort();
    if (image.palette.size() > 256) std::abort();
  } catch (const kiln::standalone::ImageError&) {
  }
  return 0;
}
