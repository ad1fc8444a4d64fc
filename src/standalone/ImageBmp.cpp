// BMP: images of 1, 4 and 8 bits a texel (uncompressed, RLE8 or RLE4,
// bottom-up or top-down) keep their palette and stored indices; images of
// more bits give their size. Core (OS/2 1.x), info and V4/V5 headers.
#include "standalone/ImageBytes.h"

namespace kiln::standalone {
namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2;

struct Header {
  int64_t width = 0;
  int64_t height = 0;  // negative: rows stored top first
  int bits = 0;
  uint32_t compression = kRgb;
  uint32_t colours = 0;
  int entryBytes = 4;
};

Header ReadHeader(ImageBytes& in) {
  Header h;
  const uint32_t size = in.U32("header");
  if (size == 12) {
    h.width = in.U16("header");
    h.height = in.U16("header");
    in.U16("header");
    h.bits = in.U16("header");
    h.entryBytes = 3;
    return h;
  }
  if (size < 16 || size > 1024) in.Fail("unknown header size " + std::to_string(size));
  const size_t end = in.Position() - 4 + size;
  h.width = static_cast<int32_t>(in.U32("header"));
  h.height = static_cast<int32_t>(in.U32("header"));
  in.U16("header");
  h.bits = in.U16("header");
  if (size >= 20) h.compression = in.U32("header");
  if (size >= 36) {
    in.Skip(12, "header");
    h.colours = in.U32("header");
  }
  in.Seek(end, "header");
  return h;
}

// Run-length data, rows bottom first: runs and literal groups never cross a
// row's end; a delta moves on; end of line and end of bitmap.
void ReadRle(ImageBytes& in, const Header& h, Image& image) {
  const int64_t width = h.width, height = h.height;
  const bool four = h.compression == kRle4;
  int64_t x = 0, y = 0;
  auto put = [&](uint8_t index) { image.indices[size_t(height - 1 - y) * width + x++] = index; };
  auto fits = [&](int64_t count) {
    if (y >= height || x + count > width) in.Fail("run-length data overruns a row");
  };
  while (y < height) {
    const uint8_t count = in.U8("run-length data");
    const uint8_t code = in.U8("run-length data");
    if (count > 0) {
      fits(count);
      for (int i = 0; i < count; ++i) put(four ? (i % 2 ? code & 15 : code >> 4) : code);
    } else if (code == 0) {
      x = 0, ++y;
    } else if (code == 1) {
      break;
    } else if (code == 2) {
      x += in.U8("run-length data");
      y += in.U8("run-length data");
      if (x > width || (y >= height && x > 0)) in.Fail("a run-length delta leaves the image");
    } else {
      fits(code);
      const int bytes = four ? (code + 1) / 2 : code;
      auto data = in.Take(bytes + (bytes & 1), "run-length data");
      for (int i = 0; i < code; ++i)
        put(four ? (i % 2 ? data[i / 2] & 15 : data[i / 2] >> 4) : data[i]);
    }
  }
}

void ReadRows(ImageBytes& in, const Header& h, Image& image) {
  const int64_t width = h.width, height = h.height < 0 ? -h.height : h.height;
  const uint64_t stride = (uint64_t(width) * h.bits + 31) / 32 * 4;
  auto data = in.Take(stride * height, "image data");
  const int perByte = 8 / h.bits;
  const int mask = (1 << h.bits) - 1;
  for (int64_t row = 0; row < height; ++row) {
    const uint8_t* src = data.data() + row * stride;
    const int64_t y = h.height < 0 ? row : height - 1 - row;
    uint8_t* out = image.indices.data() + y * width;
    for (int64_t x = 0; x < width; ++x) {
      const int shift = (perByte - 1 - int(x % perByte)) * h.bits;
      out[x] = static_cast<uint8_t>(src[x / perByte] >> shift & mask);
    }
  }
}

}  // namespace

Image ReadBmp(std::span<const uint8_t> bytes) {
  ImageBytes in(bytes, "BMP");
  if (in.U16("file header") != 0x4D42) in.Fail("not a BMP file");
  in.Skip(8, "file header");
  const uint32_t dataOffset = in.U32("file header");
  const Header h = ReadHeader(in);
  CheckImageSize(h.width, h.height < 0 ? -h.height : h.height);
  Image image;
  image.width = static_cast<int>(h.width);
  image.height = static_cast<int>(h.height < 0 ? -h.height : h.height);
  if (h.bits == 16 || h.bits == 24 || h.bits == 32) return image;  // no palette
  if (h.bits != 1 && h.bits != 4 && h.bits != 8) {
    in.Fail(std::to_string(h.bits) + " bits a texel");
  }
  const bool rle = h.compression == kRle8 || h.compression == kRle4;
  if (h.compression != kRgb && !(h.compression == kRle8 && h.bits == 8) &&
      !(h.compression == kRle4 && h.bits == 4)) {
    in.Fail("compression " + std::to_string(h.compression) + " with " + std::to_string(h.bits) +
            " bits a texel");
  }
  if (rle && h.height < 0) in.Fail("run-length data must be stored bottom-up");
  const uint32_t colours = h.colours ? h.colours : 1u << h.bits;
  if (colours > 256) in.Fail(std::to_string(colours) + " palette entries (256 at most)");

  image.paletted = true;
  for (uint32_t i = 0; i < colours; ++i) {
    auto entry = in.Take(h.entryBytes, "palette");
    image.palette.push_back({entry[2], entry[1], entry[0]});
  }
  in.Seek(dataOffset, "image data");
  if (!rle && (uint64_t(h.width) * h.bits + 31) / 32 * 4 * image.height > in.Remaining()) {
    in.Fail("the file ends inside the image data");
  }
  image.indices.assign(size_t(image.width) * image.height, 0);
  if (rle)
    ReadRle(in, h, image);
  else
    ReadRows(in, h, image);
  return image;
}

}  // namespace kiln::standalone
