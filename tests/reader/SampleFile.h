#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "io/CZX9_DiskWriter.h"
#include "io/FileBytes.h"
#include "util/TempFolder.h"

namespace kiln::testing {

inline void WriteFloats(CZX9_DiskWriter& writer, float first, int count) {
  for (int i = 0; i < count; ++i) writer.WriteFloat(first + static_cast<float>(i));
}

// Name, handle, parent, object offset (14 floats from offsetFirst) and
// transform (12 floats from transformFirst).
inline void WritePlainNode(CZX9_DiskWriter& writer, const char* name, int32_t handle,
                           int32_t parent, float offsetFirst, float transformFirst) {
  writer.WriteString(name);
  writer.WriteInt(handle);
  writer.WriteInt(parent);
  WriteFloats(writer, offsetFirst, 14);
  WriteFloats(writer, transformFirst, 12);
}

// A file with one chunk of every kind the reader decodes, written the way
// the exporter writes them, and a few it does not know.
inline std::vector<uint8_t> WriteSampleFile(const TempFolder& folder) {
  std::string name = folder.File("sample.zqs");
  CZX9_DiskWriter writer;
  writer.Open(name.c_str());
  writer.WriteString("Pangolin scene marker!");

  writer.BeginChunk(14, 0, 1);
  writer.WriteInt(2);
  writer.WriteInt(5);
  writer.WriteInt(2);
  writer.WriteString("mass");
  writer.WriteString(" 12");
  writer.WriteString("name");
  writer.WriteString("Car 1\r");
  writer.WriteInt(9);
  writer.WriteInt(0);
  writer.EndChunk();

  writer.BeginChunk(18, 0, 1);
  uint32_t countPosition = writer.Tell();
  writer.WriteDWord(0);
  writer.BeginChunk(19, 47, 1);
  writer.WriteString("Box01");
  writer.WriteInt(1);
  writer.WriteInt(-1);
  WriteFloats(writer, 1, 12);
  writer.WriteInt(0);
  writer.EndChunk();
  writer.BeginChunk(19, 49, 1);
  writer.WriteString("Bone01");
  writer.WriteInt(2);
  writer.WriteInt(1);
  WriteFloats(writer, 100, 12);
  writer.WriteInt(2);
  writer.EndChunk();
  writer.PushPosition();
  writer.Seek(countPosition);
  writer.WriteDWord(2);
  writer.PopPosition();
  writer.EndChunk();

  writer.BeginChunk(20, 0, 1);
  writer.WriteFloat(0.5f);
  writer.WriteFloat(3.25f);
  writer.EndChunk();

  writer.BeginChunk(21, 0, 1);
  writer.WriteDWord(2);
  writer.BeginChunk(22, 0, 1);
  WritePlainNode(writer, "Camera01", 3, -1, 10, 30);
  writer.EndChunk();
  writer.BeginChunk(3, 13, 1);
  WritePlainNode(writer, "p_CenterOfCar", 4, 3, 50, 70);
  writer.EndChunk();
  writer.EndChunk();

  writer.BeginChunk(6, 21, 1);
  writer.WriteString("Box01::POS");
  writer.BeginChunk(8, 26, 1);
  writer.BeginChunk(13, 43, 1);
  writer.WriteInt(0);
  writer.WriteInt(0);
  writer.WriteInt(1);
  WriteFloats(writer, 0, 4);
  writer.EndChunk();
  writer.EndChunk();
  writer.EndChunk();

  writer.BeginChunk(6, 21, 1);  // a request that writes no name and no body
  writer.EndChunk();

  writer.BeginChunk(6, 21, 1);
  writer.WriteString("Chain::IK_CHAIN");
  writer.BeginChunk(22, 0, 1);
  writer.EndChunk();
  writer.EndChunk();

  writer.BeginChunk(20, 0, 2);  // a version this reader does not know
  writer.WriteFloat(1);
  writer.EndChunk();

  writer.BeginChunk(0, 1, 1);  // a node whose mesh failed: undone, then written plainly
  writer.WriteString("Broken");
  WriteFloats(writer, 0, 40);
  writer.UndoChunk();
  writer.BeginChunk(22, 0, 1);
  WritePlainNode(writer, "Broken", 7, -1, 0, 0);
  writer.EndChunk();
  writer.Close();
  return ReadFileBytes(name);
}

}  // namespace kiln::testing
