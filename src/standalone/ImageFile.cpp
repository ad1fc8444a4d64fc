#include <algorithm>
#include <cctype>
#include <cstring>
#include <fstream>

#include "standalone/Images.h"

namespace kiln::standalone {

void CheckImageSize(int64_t width, int64_t height) {
  if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) {
    throw ImageError("image size " + std::to_string(width) + " x " + std::to_string(height) +
                     " is outside 1 to " + std::to_string(kMaxImageSide) + " texels a side");
  }
}

Image ReadImage(std::span<const uint8_t> bytes, const std::string& extension) {
  auto startsWith = [&](std::initializer_list<uint8_t> signature) {
    return bytes.size() >= signature.size() &&
           std::equal(signature.begin(), signature.end(), bytes.begin());
  };
  if (startsWith({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'})) return ReadPng(bytes);
  if (startsWith({0xFF, 0xD8, 0xFF})) return ReadJpeg(bytes);
  if (startsWith({'B', 'M'})) return ReadBmp(bytes);
  std::string ext = extension;
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  if (ext == ".tga") return ReadTga(bytes);
  throw ImageError("not an image format the host reads (PNG, JPEG, BMP or TGA)");
}

Image LoadImageFile(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) throw ImageError("no such image file");
  const uint64_t size = std::filesystem::file_size(file, error);
  if (error) throw ImageError("cannot read the file size: " + error.message());
  if (size > kMaxImageFileBytes) throw ImageError("the file is too large for an image");
  std::ifstream in(file, std::ios::binary);
  std::vector<uint8_t> bytes(size);
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size))) {
    throw ImageError("cannot read the file");
  }
  return ReadImage(bytes, file.extension().string());
}

}  // namespace kiln::standalone
