#include "standalone/import/ImportContext.h"

#include <algorithm>
#include <cmath>

namespace kiln::standalone {

void ImportContext::Warn(std::string text) {
  for (const ImportNote& note : notes) {
    if (note.level == ImportNote::Level::kWarning && note.text == text) return;
  }
  notes.push_back({ImportNote::Level::kWarning, std::move(text)});
}

void ImportContext::Info(std::string text) {
  notes.push_back({ImportNote::Level::kInfo, std::move(text)});
}

Matrix3 HostMatrix(const aiMatrix4x4& m) {
  return Matrix3({m.a1, m.b1, m.c1}, {m.a2, m.b2, m.c2}, {m.a3, m.b3, m.c3}, {m.a4, m.b4, m.c4});
}

// The library's quaternions turn column vectors, the host's row vectors, both
// counter-clockwise: the same components stand for the same rotation. The
// sign is kept, since it decides which way keys turn between them.
Quat HostRotation(const aiQuaternion& q) {
  return Normalize(Quat(q.x, q.y, q.z, q.w));
}

bool Finite(const aiVector3D& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

bool Finite(const aiMatrix4x4& m) {
  const ai_real* values = &m.a1;
  return std::all_of(values, values + 16, [](ai_real v) { return std::isfinite(v); });
}

std::string Quoted(const std::string& name) {
  return "'" + name + "'";
}

std::string Quoted(const aiString& name) {
  return Quoted(std::string(name.C_Str()));
}

namespace {

bool MetaInt(const aiMetadata* meta, const char* key, int& value) {
  if (!meta) return false;
  int32_t v = 0;
  if (!meta->Get(key, v)) return false;
  value = v;
  return true;
}

}  // namespace

// A file that names its axes (FBX does: up, front and the axis across, each
// with a sign) goes into the host's frame by those names: up becomes +z, the
// axis across +x, and the front, which faces the viewer, -y (a modelling host
// with z up looks at the front along +y). Any other file is y-up, right-handed:
// y becomes z and z becomes -y.
Matrix3 LibraryAxes(ImportContext& context) {
  const aiMetadata* meta = context.ai.mMetaData;
  int up = 0, upSign = 0, front = 0, frontSign = 0, across = 0, acrossSign = 0;
  const bool named =
      MetaInt(meta, "UpAxis", up) && MetaInt(meta, "UpAxisSign", upSign) &&
      MetaInt(meta, "FrontAxis", front) && MetaInt(meta, "FrontAxisSign", frontSign) &&
      MetaInt(meta, "CoordAxis", across) && MetaInt(meta, "CoordAxisSign", acrossSign);
  auto valid = [](int axis, int sign) {
    return axis >= 0 && axis <= 2 && (sign == 1 || sign == -1);
  };
  if (named && valid(up, upSign) && valid(front, frontSign) && valid(across, acrossSign) &&
      up != front && up != across && front != across) {
    Point3 rows[3];
    rows[across][0] = static_cast<float>(acrossSign);
    rows[front][1] = static_cast<float>(-frontSign);
    rows[up][2] = static_cast<float>(upSign);
    Matrix3 axes(rows[0], rows[1], rows[2], {});
    if (axes.Parity()) {
      context.Warn("the file's axes are left-handed; the scene is mirrored into the host's");
    }
    return axes;
  }
  if (named) context.Warn("the file names axes that do not make a frame; taken as y up");
  return Matrix3({1, 0, 0}, {0, 0, 1}, {0, -1, 0}, {0, 0, 0});
}

}  // namespace kiln::standalone
