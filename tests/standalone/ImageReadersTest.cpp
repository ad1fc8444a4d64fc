// The standalone host's image readers and its bitmap palette contract.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>

#include "standalone/Bitmaps.h"
#include "util/TempFolder.h"

namespace kiln::standalone {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
const fs::path kReal = fs::path(KILN_TESTDATA_DIR) / "real";

void Put(Bytes& out, uint64_t value, int size) {
  for (int i = 0; i < size; ++i) out.push_back(i < 8 ? static_cast<uint8_t>(value >> (8 * i)) : 0);
}

// An 8-bit BMP with an info header; rows as stored (padded to 4 bytes).
Bytes Bmp(int32_t width, int32_t height, uint32_t compression, const Bytes& palette,
          const Bytes& data, uint32_t colours = 0) {
  Bytes out{'B', 'M'};
  Put(out, 0, 4), Put(out, 0, 4), Put(out, 14 + 40 + uint32_t(palette.size()), 4);
  Put(out, 40, 4), Put(out, uint32_t(width), 4), Put(out, uint32_t(height), 4);
  Put(out, 1, 2), Put(out, 8, 2), Put(out, compression, 4), Put(out, 0, 12);
  Put(out, colours ? colours : uint32_t(palette.size() / 4), 4), Put(out, 0, 4);
  out.insert(out.end(), palette.begin(), palette.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// A colour-mapped TGA (type 1 or 9) with 24-bit map entries.
Bytes Tga(int type, int width, int height, int mapFirst, const Bytes& map, uint8_t descriptor,
          const Bytes& data) {
  Bytes out{0, 1, uint8_t(type)};
  Put(out, mapFirst, 2), Put(out, uint32_t(map.size() / 3), 2), out.push_back(24);
  Put(out, 0, 4), Put(out, width, 2), Put(out, height, 2), out.push_back(8);
  out.push_back(descriptor);
  out.insert(out.end(), map.begin(), map.end());
  out.insert(out.end(), data.begin(), data.end());
  return out;
}

// A PNG signature and header chunk for an 8-bit paletted image of any size.
Bytes PngHeader(uint32_t width, uint32_t height) {
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  for (uint32_t v : {width, height}) {
    for (int i = 3; i >= 0; --i) out.push_back(uint8_t(v >> (8 * i)));
  }
  out.insert(out.end(), {8, 3, 0, 0, 0});
  const uint32_t crc = crc32(0, out.data() + 12, 17);
  for (int i = 3; i >= 0; --i) out.push_back(uint8_t(crc >> (8 * i)));
  return out;
}

TEST(ImageReaders, realImagesKeepPalettesAndIndices) {
  if (!fs::exists(kReal)) GTEST_SKIP() << "no real images at " << kReal;
  struct Case {
    const char* path;
    int width, height;
    size_t palette;  // 0: no palette
  };
  const Case cases[] = {
      {"images/png/basn3p08.png", 32, 32, 256},
      {"images/png/basn3p04.png", 32, 32, 15},
      {"images/png/basn3p02.png", 32, 32, 4},
      {"images/png/basn3p01.png", 32, 32, 2},
      {"images/png/earth-topo.png", 720, 360, 256},
      {"images/bmp/faerie2.bmp", 220, 193, 256},
      {"images/bmp/pal8os2sp.bmp", 127, 64, 256},
      {"images/tga/ucm8.tga", 128, 128, 256},
      {"images/tga/cmap_offset.tga", 12, 6, 39 + 72},
      {"obj/SpiderTex.jpg", 249, 250, 0},
      {"obj/engineflare1.jpg", 128, 128, 0},
      {"gltf/MorphStressTest/TinyGrid.png", 64, 64, 0},
  };
  for (const Case& c : cases) {
    const Image image = LoadImageFile(kReal / c.path);
    EXPECT_EQ(std::make_pair(image.width, image.height), std::make_pair(c.width, c.height))
        << c.path;
    EXPECT_EQ(image.paletted, c.palette != 0) << c.path;
    EXPECT_EQ(image.palette.size(), c.palette) << c.path;
    EXPECT_EQ(image.indices.size(), c.palette ? size_t(image.width) * image.height : 0u) << c.path;
    for (uint8_t index : image.indices) ASSERT_LT(index, image.palette.size()) << c.path;
  }
  // A colour map from position 39: the positions before it stay black and unused.
  const Image offset = LoadImageFile(kReal / "images/tga/cmap_offset.tga");
  EXPECT_EQ(offset.palette[38], (Rgb8{0, 0, 0}));
  for (uint8_t index : offset.indices) ASSERT_GE(index, 39);

  // One picture stored several ways gives the same texel colours, row 0 on top.
  auto colours = [](const char* path) {
    const Image image = LoadImageFile(kReal / path);
    std::vector<Rgb8> out;
    for (uint8_t index : image.indices) out.push_back(image.palette[index]);
    return out;
  };
  EXPECT_EQ(colours("images/png/basn3p08.png"), colours("images/png/ibasn3p08.png"));
  EXPECT_EQ(colours("images/tga/ucm8.tga"), colours("images/tga/ccm8.tga"));
  EXPECT_EQ(colours("images/bmp/pal8rle.bmp"), colours("images/bmp/pal8v5.bmp"));
  EXPECT_EQ(colours("images/bmp/pal8rle.bmp"), colours("images/bmp/pal8os2sp.bmp"));
}

TEST(ImageReaders, rowZeroIsTheTopRowAndPaletteRulesHold) {
  const Bytes palette{10, 20, 30, 0, 40, 50, 60, 0};  // BGRx: (30, 20, 10), (60, 50, 40)
  // Stored bottom row first (height 2) and top row first (height -2).
  const Image up = ReadBmp(Bmp(2, 2, 0, palette, {1, 1, 0, 0, 0, 1, 0, 0}));
  const Image down = ReadBmp(Bmp(2, -2, 0, palette, {0, 1, 0, 0, 1, 1, 0, 0}));
  const Image rle = ReadBmp(Bmp(2, 2, 1, palette, {2, 1, 0, 0, 1, 0, 1, 1, 0, 1}));
  EXPECT_EQ(up.indices, (Bytes{0, 1, 1, 1}));
  EXPECT_EQ(down.indices, up.indices);
  EXPECT_EQ(rle.indices, up.indices);
  EXPECT_EQ(up.palette[0], (Rgb8{30, 20, 10}));

  // TGA: bottom-left origin, top-left origin, and run-length packets that run
  // on into the next row; map entries start at palette position 2.
  const Bytes map{0, 0, 255, 255, 0, 0};  // BGR: red, blue
  const Image tgaDown = ReadTga(Tga(1, 2, 2, 2, map, 0x20, {2, 3, 3, 3}));
  const Image tgaRle = ReadTga(Tga(9, 2, 2, 2, map, 0x20, {0x00, 2, 0x82, 3}));
  EXPECT_EQ(ReadTga(Tga(1, 2, 2, 2, map, 0, {3, 3, 2, 3})).indices, (Bytes{2, 3, 3, 3}));
  EXPECT_EQ(tgaDown.indices, (Bytes{2, 3, 3, 3}));
  EXPECT_EQ(tgaRle.indices, tgaDown.indices);
  EXPECT_EQ(tgaDown.palette, (std::vector<Rgb8>{{0, 0, 0}, {0, 0, 0}, {255, 0, 0}, {0, 0, 255}}));

  // The host's palette is 16 bits a channel, the 8-bit value times 257; a
  // texel reads as its entry's colour with alpha 1.
  ImageBitmap bitmap(up);
  BMM_Color_48 entries[256];
  ASSERT_TRUE(bitmap.GetPalette(0, 256, entries));
  EXPECT_EQ(std::make_tuple(entries[1].r, entries[1].g, entries[1].b),
            std::make_tuple(60 * 257, 50 * 257, 40 * 257));
  EXPECT_EQ(entries[2].r + entries[255].b, 0);
  BMM_Color_fl row[2];
  ASSERT_TRUE(bitmap.GetLinearPixels(0, 1, 2, row));
  EXPECT_EQ(std::make_tuple(row[0].r, row[0].g, row[0].b, row[0].a),
            std::make_tuple(60 / 255.0f, 50 / 255.0f, 40 / 255.0f, 1.0f));
  EXPECT_FALSE(bitmap.GetLinearPixels(1, 1, 2, row));  // past the row's end
}

TEST(ImageReaders, badFilesAreRefusedWithAReason) {
  const Bytes palette{0, 0, 0, 0, 255, 255, 255, 0};
  Bytes truncatedPng = PngHeader(4, 4);
  truncatedPng.resize(truncatedPng.size() - 3);
  struct Case {
    const char* what;
    Bytes bytes;
    const char* extension;
    const char* message;
  };
  const Case cases[] = {
      {"huge BMP", Bmp(60000, 60000, 0, palette, {}), ".bmp", "outside 1 to 16384"},
      {"empty BMP", Bmp(0, 2, 0, palette, {}), ".bmp", "outside 1 to 16384"},
      {"BMP palette past the end", Bmp(2, 2, 0, palette, {}, 200), ".bmp", "inside the palette"},
      {"BMP rows past the end", Bmp(2, 2, 0, palette, {0, 0, 0}), ".bmp", "image data"},
      {"BMP run over a row", Bmp(2, 2, 1, palette, {3, 1, 0, 1}), ".bmp", "overruns a row"},
      {"BMP literal over a row", Bmp(2, 2, 1, palette, {0, 3, 1, 1, 1, 0}), ".bmp",
       "overruns a row"},
      {"top-down RLE BMP", Bmp(2, -2, 1, palette, {0, 1}), ".bmp", "bottom-up"},
      {"BMP of 300 colours", Bmp(2, 2, 0, palette, {}, 300), ".bmp", "256 at most"},
      {"huge TGA", Tga(1, 60000, 60000, 0, {1, 2, 3}, 0, {}), ".tga", "outside 1 to 16384"},
      {"TGA map past 256", Tga(1, 1, 1, 255, {1, 2, 3, 4, 5, 6}, 0, {0}), ".tga", "256 palette"},
      {"TGA map past the end", Tga(1, 1, 1, 0, {1, 2}, 0, {}), ".tga", "colour map"},
      {"TGA run past the image", Tga(9, 2, 1, 0, {1, 2, 3}, 0, {0x82, 0}), ".tga",
       "past the end of the image"},
      {"TGA texels past the end", Tga(1, 2, 2, 0, {1, 2, 3}, 0, {0, 0}), ".tga", "image data"},
      {"TGA of type 4", Tga(4, 1, 1, 0, {1, 2, 3}, 0, {0}), ".tga", "image type 4"},
      {"huge PNG", PngHeader(60000, 60000), ".png", "PNG: "},
      {"truncated PNG", truncatedPng, ".png", "PNG: "},
      {"truncated JPEG", {0xFF, 0xD8, 0xFF, 0xE0, 0, 16}, ".jpg", "JPEG: "},
      {"unknown format", {'G', 'I', 'F', '8'}, ".gif", "not an image format"},
  };
  for (const Case& c : cases) {
    try {
      ReadImage(c.bytes, c.extension);
      ADD_FAILURE() << c.what << " was read";
    } catch (const ImageError& e) {
      EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos)
          << c.what << ": " << e.what();
    }
  }
  // The bitmap manager says why a load failed.
  testing::TempFolder folder;
  FileBitmapManager manager;
  for (auto [name, status] :
       {std::pair{"none.png", BMMRES_FILENOTFOUND}, {"bad.png", BMMRES_INVALIDFORMAT}}) {
    if (status == BMMRES_INVALIDFORMAT) folder.Write(name, "\x89PNG\r\n\x1a\n");
    BitmapInfo info;
    info.SetName(folder.File(name).c_str());
    BMMRES result = BMMRES_SUCCESS;
    EXPECT_EQ(manager.Load(&info, &result), nullptr) << name;
    EXPECT_EQ(result, status) << name;
  }
}

}  // namespace
}  // namespace kiln::standalone
