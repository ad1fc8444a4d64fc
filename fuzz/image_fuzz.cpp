// libFuzzer target: any bytes given to the image readers decode or give an
// ImageError; a decoded image has a size in range and, when paletted, one
// palette position per texel from a palette of at most 256 colours.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "standalone/Images.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace kiln::standalone;
  try {
    // Files without a signature are tried as TGA, which has none.
    Image image = ReadImage(std::span<const uint8_t>(data, size), ".tga");
    if (image.width < 1 || image.height < 1 || image.width > kMaxImageSide ||
        image.height > kMaxImageSide)
      std::abort();
    if (image.paletted && (image.palette.size() > 256 ||
                           image.indices.size() != static_cast<size_t>(image.width) *
                                                       static_cast<size_t>(image.height)))
      std::abort();
  } catch (const ImageError&) {
  }
  return 0;
}
