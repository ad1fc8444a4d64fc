#pragma once
// Paletted images and collision shells for the collision tests.
#include <png.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "host/Mesh.h"

namespace kiln::testing {

using Rgb = std::array<uint8_t, 3>;

// Writes width x height palette indices (rows from the top) as an 8-bit
// paletted PNG, colour-mapped TGA or BMP, by the extension of path.
inline void WritePaletted(const std::string& path, int width, int height,
                          const std::vector<Rgb>& palette, const std::vector<uint8_t>& indices) {
  const std::string kind = path.substr(path.size() - 3);
  if (kind == "png") {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width, image.height = height;
    image.format = PNG_FORMAT_RGB_COLORMAP;
    image.colormap_entries = static_cast<uint32_t>(palette.size());
    png_image_write_to_file(&image, path.c_str(), 0, indices.data(), 0, palette.data());
    return;
  }
  std::string bytes;
  auto le = [&](uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes += static_cast<char>(i < 4 ? value >> (8 * i) : 0);
  };
  const auto n = static_cast<uint32_t>(palette.size());
  if (kind == "tga") {  // type 1, 24-bit map, rows from the top (descriptor bit 5)
    le(0x010100, 3), le(0, 2), le(n, 2), le(24, 1), le(0, 4), le(width, 2), le(height, 2);
    le(8, 1), le(0x20, 1);
    for (const Rgb& c : palette) le(c[2] | c[1] << 8 | c[0] << 16, 3);
    bytes.append(indices.begin(), indices.end());
  } else {  // BMP: rows from the bottom, each padded to 4 bytes
    const uint32_t stride = (width + 3) & ~3u, data = 54 + 4 * n;
    bytes += "BM";
    le(data + stride * height, 4), le(0, 4), le(data, 4), le(40, 4), le(width, 4), le(height, 4);
    le(1, 2), le(8, 2), le(0, 16), le(n, 4), le(0, 4);
    for (const Rgb& c : palette) le(c[2] | c[1] << 8 | c[0] << 16, 4);
    for (int y = height - 1; y >= 0; --y) {
      bytes.append(indices.begin() + y * width, indices.begin() + (y + 1) * width);
      bytes.append(stride - width, '\0');
    }
  }
  std::ofstream(path, std::ios::binary) << bytes;
}

// A 1 x 1 true-colour TGA.
inline std::string TrueColourTga() {
  std::string tga(18, '\0');
  tga[2] = 2, tga[12] = 1, tga[14] = 1, tga[16] = 24;
  return tga + "abc";
}

// One triangle for each three points.
inline Mesh Triangles(const std::vector<Point3>& points) {
  Mesh mesh;
  mesh.verts = points;
  for (uint32_t v = 0; v + 2 < points.size(); v += 3) {
    Face face;
    face.v[0] = v, face.v[1] = v + 1, face.v[2] = v + 2;
    mesh.faces.push_back(face);
  }
  return mesh;
}

// A palette of count distinct colours, entry i = (i, 255 - i, 7 i).
inline std::vector<Rgb> DistinctPalette(int count) {
  std::vector<Rgb> palette;
  for (int i = 0; i < count; ++i) palette.push_back({uint8_t(i), uint8_t(255 - i), uint8_t(7 * i)});
  return palette;
}

// A cube of side 4 about the origin, two triangles a side split along a
// diagonal through the side's centre. Triangle f reads the zone map at the
// centre of texel f of a 4 x 4 map, so a crossing of triangle f lies in zone f.
inline Mesh ZoneCube() {
  Mesh mesh;
  for (int axis = 0; axis < 3; ++axis) {
    for (float side : {-2.0f, 2.0f}) {
      const auto base = static_cast<uint32_t>(mesh.verts.size());
      for (float a : {-2.0f, 2.0f}) {
        for (float b : {-2.0f, 2.0f}) {
          Point3 p;
          p[axis] = side, p[(axis + 1) % 3] = a, p[(axis + 2) % 3] = b;
          mesh.verts.push_back(p);
        }
      }
      for (const std::array<uint32_t, 3> tri : {std::array<uint32_t, 3>{0, 1, 3}, {0, 3, 2}}) {
        Face face;
        for (int c = 0; c < 3; ++c) face.v[c] = base + tri[c];
        face.smGroup = 1;
        mesh.faces.push_back(face);
      }
    }
  }
  for (size_t f = 0; f < mesh.faces.size(); ++f) {
    const float x = float(f % 4), y = float(f / 4);
    mesh.tVerts.push_back({x / 3.0f, 1.0f - y / 3.0f, 0.0f});
    const auto t = static_cast<uint32_t>(f);
    mesh.tvFace.push_back({{t, t, t}});
  }
  return mesh;
}

}  // namespace kiln::testing
