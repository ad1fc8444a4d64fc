#pragma once
#include <string>

#include "host/Bitmap.h"
#include "standalone/Images.h"

namespace kiln::standalone {

// A loaded image as the host hands it out. Its palette has 256 entries of
// three 16-bit channels, each the file's 8-bit value times 257 (so 255 is
// 65535), black past the image's own entries. A paletted texel reads as its
// palette entry's colour, each channel the 16-bit value / 65535, alpha 1.0.
// Only paletted images have pixels to read.
class ImageBitmap final : public Bitmap, public BitmapStorage {
 public:
  explicit ImageBitmap(Image image);

  int Width() override { return image_.width; }
  int Height() override { return image_.height; }
  BitmapStorage* Storage() override { return this; }
  void DeleteThis() override { delete this; }

  int Paletted() override { return image_.paletted ? static_cast<int>(image_.palette.size()) : 0; }
  int GetPalette(int start, int len, BMM_Color_48* ptr) override;
  int GetLinearPixels(int x, int y, int len, BMM_Color_fl* ptr) override;

 private:
  Image image_;
  BMM_Color_48 palette_[256];
};

// Loads bitmaps from image files. A file that is missing or cannot be read
// fails with BMMRES_FILENOTFOUND, one that is malformed or of another format
// with BMMRES_INVALIDFORMAT; the last failure's text is kept.
class FileBitmapManager final : public BitmapManager {
 public:
  Bitmap* Load(BitmapInfo* info, BMMRES* status) override;
  const std::string& LastError() const { return lastError_; }

 private:
  std::string lastError_;
};

// Makes the process-wide file bitmap manager the host's TheManager.
void InstallBitmapManager();

}  // namespace kiln::standalone
