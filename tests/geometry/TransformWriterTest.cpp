#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "geometry/AxisExchange.h"
#include "geometry/FakeNode.h"
#include "geometry/ObjectOffset.h"
#include "geometry/TransformWriter.h"
#include "io/CZX9_DiskWriter.h"
#include "util/TempFolder.h"

namespace kiln {
namespace {

std::vector<float> FloatsOf(const std::string& bytes) {
  std::vector<float> floats(bytes.size() / sizeof(float));
  std::memcpy(floats.data(), bytes.data(), floats.size() * sizeof(float));
  return floats;
}

TEST(TransformWriter, writesTheLaidOutFloatsInOrder) {
  testing::TempFolder folder;
  fake::Node node;
  node.offsetPos = {1, 2, 3};
  node.offsetScale = {2, 2, 2};
  const Matrix3 m({1, 2, 3}, {4, 5, 6}, {7, 8, 9}, {10, 20, 30});
  {
    CZX9_DiskWriter writer;
    writer.Open(folder.File("out.bin").c_str());
    WritePoint(&writer, ExchangePointAxes({1, 2, 3}));
    WriteTransform(&writer, m);
    WriteTransformScaled(&writer, m, 0.5f);
    WriteRotation(&writer, Quat());
    WriteObjectOffset(&writer, &node);
    writer.Close();
  }
  const std::vector<float> floats = FloatsOf(folder.Read("out.bin"));
  ASSERT_EQ(floats.size(), 3u + 12 + 12 + 4 + 14);
  std::vector<float> expected = {1, 3, 2};
  for (const auto& part : {LayOutTransform(m), LayOutTransform(m, 0.5f)}) {
    expected.insert(expected.end(), part.begin(), part.end());
  }
  expected.insert(expected.end(), {0, 0, 1, 0});
  const ObjectOffsetFloats offset = LayOutObjectOffset(&node);
  expected.insert(expected.end(), offset.begin(), offset.end());
  EXPECT_EQ(floats, expected);
  // The translation column entries of the scaled transform are halved.
  EXPECT_EQ(floats[3 + 12 + 3], 5.0f);
  EXPECT_EQ(floats[3 + 12 + 7], 10.0f);
}

}  // namespace
}  // namespace kiln
