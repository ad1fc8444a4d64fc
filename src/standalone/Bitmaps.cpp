#include "standalone/Bitmaps.h"

#include <filesystem>

namespace kiln::standalone {

ImageBitmap::ImageBitmap(Image image) : image_(std::move(image)) {
  for (size_t i = 0; i < 256; ++i) {
    Rgb8 c = i < image_.palette.size() ? image_.palette[i] : Rgb8{0, 0, 0};
    palette_[i] = {static_cast<uint16_t>(c[0] * 257), static_cast<uint16_t>(c[1] * 257),
                   static_cast<uint16_t>(c[2] * 257)};
  }
}

int ImageBitmap::GetPalette(int start, int len, BMM_Color_48* ptr) {
  if (!image_.paletted || start < 0 || len < 0 || start + int64_t{len} > 256) return 0;
  for (int i = 0; i < len; ++i) ptr[i] = palette_[start + i];
  return 1;
}

int ImageBitmap::GetLinearPixels(int x, int y, int len, BMM_Color_fl* ptr) {
  if (!image_.paletted || x < 0 || y < 0 || len < 0 || y >= image_.height ||
      x + int64_t{len} > image_.width) {
    return 0;
  }
  const uint8_t* row = image_.indices.data() + size_t(y) * image_.width;
  for (int i = 0; i < len; ++i) {
    const BMM_Color_48& c = palette_[row[x + i]];
    ptr[i] = {c.r / 65535.0f, c.g / 65535.0f, c.b / 65535.0f, 1.0f};
  }
  return 1;
}

Bitmap* FileBitmapManager::Load(BitmapInfo* info, BMMRES* status) {
  BMMRES result = BMMRES_SUCCESS;
  Bitmap* bitmap = nullptr;
  const std::filesystem::path file = info ? info->Name() : "";
  std::error_code error;
  if (!info || !std::filesystem::is_regular_file(file, error)) {
    result = BMMRES_FILENOTFOUND;
    lastError_ = "no such image file";
  } else {
    try {
      bitmap = new ImageBitmap(LoadImageFile(file));
      info->SetWidth(bitmap->Width());
      info->SetHeight(bitmap->Height());
    } catch (const ImageError& e) {
      result = BMMRES_INVALIDFORMAT;
      lastError_ = e.what();
    }
  }
  if (status) *status = result;
  return bitmap;
}

void InstallBitmapManager() {
  static FileBitmapManager manager;
  TheManager = &manager;
}

}  // namespace kiln::standalone
