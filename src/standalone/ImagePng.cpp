// PNG through libpng: paletted images of 1, 2, 4 and 8 bits keep their
// palette and stored indices (interlaced ones too); other PNGs give their size.
#include <png.h>

#include <csetjmp>
#include <cstring>

#include "standalone/Images.h"

namespace kiln::standalone {
namespace {

struct PngInput {
  std::span<const uint8_t> bytes;
  size_t position = 0;
  std::string error;
};

void ReadBytes(png_structp png, png_bytep out, size_t length) {
  auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
  if (length > input->bytes.size() - input->position) png_error(png, "the file ends early");
  std::memcpy(out, input->bytes.data() + input->position, length);
  input->position += length;
}

void OnError(png_structp png, png_const_charp message) {
  static_cast<PngInput*>(png_get_error_ptr(png))->error = message;
  png_longjmp(png, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// Frees libpng's structures on every way out.
struct PngReader {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~PngReader() { png_destroy_read_struct(&png, &info, nullptr); }
};

// Decodes into image; false when libpng reported an error (in input.error).
// Only objects of the caller are touched after setjmp, so a longjmp leaves
// nothing behind.
bool Decode(PngReader& reader, PngInput& input, Image& image, std::vector<png_bytep>& rows) {
  png_structp png = reader.png;
  png_infop info = reader.info;
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_read_fn(png, &input, ReadBytes);
  png_set_user_limits(png, kMaxImageSide, kMaxImageSide);
  png_set_chunk_malloc_max(png, 8u << 20);
  png_read_info(png, info);
  png_uint_32 width = 0, height = 0;
  int depth = 0, colourType = 0;
  png_get_IHDR(png, info, &width, &height, &depth, &colourType, nullptr, nullptr, nullptr);
  CheckImageSize(width, height);
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  if (colourType != PNG_COLOR_TYPE_PALETTE) return true;

  png_colorp palette = nullptr;
  int count = 0;
  if (!png_get_PLTE(png, info, &palette, &count) || count < 1) png_error(png, "no palette");
  image.paletted = true;
  for (int i = 0; i < count && i < 256; ++i) {
    image.palette.push_back({palette[i].red, palette[i].green, palette[i].blue});
  }
  if (depth < 8) png_set_packing(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  if (png_get_rowbytes(png, info) != width) png_error(png, "unexpected row size");
  image.indices.resize(size_t{width} * height);
  rows.resize(height);
  for (png_uint_32 y = 0; y < height; ++y) rows[y] = image.indices.data() + size_t{y} * width;
  png_read_image(png, rows.data());
  return true;
}

}  // namespace

Image ReadPng(std::span<const uint8_t> bytes) {
  PngInput input;
  input.bytes = bytes;
  PngReader reader;
  reader.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &input, OnError, OnWarning);
  if (!reader.png) throw ImageError("PNG: out of memory");
  reader.info = png_create_info_struct(reader.png);
  if (!reader.info) throw ImageError("PNG: out of memory");
  Image image;
  std::vector<png_bytep> rows;
  if (!Decode(reader, input, image, rows)) throw ImageError("PNG: " + input.error);
  return image;
}

}  // namespace kiln::standalone
