#pragma once
#include <cstdint>
#include <string>

// Bitmaps as the host's bitmap manager loads them.

using BMMRES = unsigned short;
constexpr BMMRES BMMRES_SUCCESS = 0;
constexpr BMMRES BMMRES_ERRORTAKENCARE = 1;
constexpr BMMRES BMMRES_FILENOTFOUND = 2;
constexpr BMMRES BMMRES_INVALIDFORMAT = 3;

// A palette entry: 16 bits a channel.
struct BMM_Color_48 {
  uint16_t r = 0, g = 0, b = 0;
};
// A pixel as floats, 1.0 full intensity.
struct BMM_Color_fl {
  float r = 0, g = 0, b = 0, a = 0;
};

// Names the file to load and receives the loaded bitmap's size.
class BitmapInfo {
 public:
  void SetName(const char* name) { name_ = name ? name : ""; }
  const char* Name() const { return name_.c_str(); }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void SetWidth(int width) { width_ = width; }
  void SetHeight(int height) { height_ = height; }

 private:
  std::string name_;
  int width_ = 0;
  int height_ = 0;
};

// The pixels of a loaded bitmap.
class BitmapStorage {
 public:
  virtual ~BitmapStorage() = default;
  // Number of palette entries of a paletted bitmap, 0 for one without a palette.
  virtual int Paletted() = 0;
  // Copies palette entries start to start + len - 1 (entries past the
  // bitmap's own are black). Returns 0 when the bitmap has no palette.
  virtual int GetPalette(int start, int len, BMM_Color_48* ptr) = 0;
  // Reads len pixels of row y (0 the top row) from column x. Returns 0 when
  // they lie outside the bitmap or the bitmap's pixels cannot be read.
  virtual int GetLinearPixels(int x, int y, int len, BMM_Color_fl* ptr) = 0;
};

class Bitmap {
 public:
  virtual ~Bitmap() = default;
  virtual int Width() = 0;
  virtual int Height() = 0;
  virtual BitmapStorage* Storage() = 0;
  // Frees the bitmap; it must not be used afterwards.
  virtual void DeleteThis() = 0;
};

class BitmapManager {
 public:
  virtual ~BitmapManager() = default;
  // Loads the file named by info, filling in its size. Null on failure, with
  // the reason in status.
  virtual Bitmap* Load(BitmapInfo* info, BMMRES* status = nullptr) = 0;
};

// The host's bitmap manager; the host sets it before any export.
extern BitmapManager* TheManager;
