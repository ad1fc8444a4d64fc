// TGA: colour-mapped images (types 1 and 9, 8-bit indices) keep their palette
// and stored indices; true-colour and grey images (2, 3, 10, 11) give their size.
#include "standalone/ImageBytes.h"

namespace kiln::standalone {
namespace {

// A colour-map entry of 15/16, 24 or 32 bits (blue first; 16-bit entries
// hold 5 bits a channel, widened to 8 by repeating the high bits).
Rgb8 ReadMapEntry(ImageBytes& in, int bits) {
  if (bits == 15 || bits == 16) {
    const uint16_t v = in.U16("colour map");
    auto widen = [](int five) { return static_cast<uint8_t>(five << 3 | five >> 2); };
    return {widen(v >> 10 & 31), widen(v >> 5 & 31), widen(v & 31)};
  }
  const uint8_t b = in.U8("colour map"), g = in.U8("colour map"), r = in.U8("colour map");
  if (bits == 32) in.U8("colour map");
  return {r, g, b};
}

// Stored indices in file order; with run-length packets that may run on into
// the next row, never past the last texel.
void ReadIndices(ImageBytes& in, bool rle, std::vector<uint8_t>& out) {
  const size_t total = out.size();
  if (!rle) {
    auto data = in.Take(total, "image data");
    std::copy(data.begin(), data.end(), out.begin());
    return;
  }
  size_t done = 0;
  while (done < total) {
    const uint8_t header = in.U8("run-length data");
    const size_t count = (header & 0x7F) + 1u;
    if (count > total - done) in.Fail("run-length data runs past the end of the image");
    if (header & 0x80) {
      const uint8_t value = in.U8("run-length data");
      std::fill_n(out.begin() + static_cast<ptrdiff_t>(done), count, value);
    } else {
      auto data = in.Take(count, "run-length data");
      std::copy(data.begin(), data.end(), out.begin() + static_cast<ptrdiff_t>(done));
    }
    done += count;
  }
}

}  // namespace

Image ReadTga(std::span<const uint8_t> bytes) {
  ImageBytes in(bytes, "TGA");
  const uint8_t idLength = in.U8("header");
  const uint8_t mapType = in.U8("header");
  const uint8_t imageType = in.U8("header");
  const uint16_t mapFirst = in.U16("header");
  const uint16_t mapLength = in.U16("header");
  const uint8_t mapBits = in.U8("header");
  in.Skip(4, "header");  // origin
  const uint16_t width = in.U16("header");
  const uint16_t height = in.U16("header");
  const uint8_t pixelBits = in.U8("header");
  const uint8_t descriptor = in.U8("header");
  const int base = imageType & ~8;
  if (imageType & ~0xB || base < 1 || base > 3) {
    in.Fail("image type " + std::to_string(imageType) + " is not one of 1, 2, 3, 9, 10, 11");
  }
  if (mapType > 1) in.Fail("unknown colour-map type " + std::to_string(mapType));
  if (base == 1 && mapType != 1) in.Fail("a colour-mapped image without a colour map");
  CheckImageSize(width, height);
  Image image;
  image.width = width;
  image.height = height;
  in.Skip(idLength, "image id");
  if (mapType == 1 && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32) {
    in.Fail("colour-map entries of " + std::to_string(mapBits) + " bits");
  }
  if (base != 1) return image;  // true colour or grey: no palette

  if (pixelBits != 8) in.Fail("colour-mapped texels of " + std::to_string(pixelBits) + " bits");
  if (mapLength == 0 || mapFirst + mapLength > 256) {
    in.Fail("a colour map of positions " + std::to_string(mapFirst) + " to " +
            std::to_string(mapFirst + mapLength - 1) + " does not fit 256 palette entries");
  }
  // Map entry k sits at palette position mapFirst + k; positions before it are black.
  image.paletted = true;
  image.palette.assign(mapFirst + mapLength, Rgb8{0, 0, 0});
  for (int k = 0; k < mapLength; ++k) image.palette[mapFirst + k] = ReadMapEntry(in, mapBits);

  std::vector<uint8_t> stored(size_t{width} * height);
  ReadIndices(in, imageType == 9, stored);
  // Bit 5 of the descriptor: rows are stored top first; bit 4: right to left.
  const bool topFirst = descriptor & 0x20;
  const bool rightToLeft = descriptor & 0x10;
  image.indices.resize(stored.size());
  for (int y = 0; y < height; ++y) {
    const uint8_t* row = stored.data() + size_t(topFirst ? y : height - 1 - y) * width;
    uint8_t* out = image.indices.data() + size_t(y) * width;
    for (int x = 0; x < width; ++x) out[x] = row[rightToLeft ? width - 1 - x : x];
  }
  return image;
}

}  // namespace kiln::standalone
