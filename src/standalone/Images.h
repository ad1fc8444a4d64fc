#pragma once
#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

// Image files as the standalone host's bitmap manager reads them. Paletted
// images keep their palette and each texel's stored index; other images are
// read only as far as their size (the exporter asks nothing more of them).
// Every reader treats its input as hostile: sizes are checked before memory
// is taken, and anything malformed is an ImageError.
namespace kiln::standalone {

// Images are 1 to this many texels a side.
constexpr int kMaxImageSide = 16384;
// Files larger than this are not read at all.
constexpr uint64_t kMaxImageFileBytes = uint64_t{1} << 30;

using Rgb8 = std::array<uint8_t, 3>;

struct Image {
  int width = 0;
  int height = 0;
  bool paletted = false;
  std::vector<Rgb8> palette;     // up to 256 entries, by palette position
  std::vector<uint8_t> indices;  // width x height palette positions, row 0 the top row
};

class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Each reader decodes one format from the file's bytes.
Image ReadPng(std::span<const uint8_t> bytes);
Image ReadTga(std::span<const uint8_t> bytes);
Image ReadBmp(std::span<const uint8_t> bytes);
Image ReadJpeg(std::span<const uint8_t> bytes);

// Picks the reader by the file's signature (TGA, which has none, by the
// ".tga" extension).
Image ReadImage(std::span<const uint8_t> bytes, const std::string& extension);
// Reads an image file.
Image LoadImageFile(const std::filesystem::path& file);

// Throws unless 1 <= width, height <= kMaxImageSide.
void CheckImageSize(int64_t width, int64_t height);

}  // namespace kiln::standalone
