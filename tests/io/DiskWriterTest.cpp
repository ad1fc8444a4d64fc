#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "io/CZX9_DiskWriter.h"
#include "io/FileBytes.h"
#include "util/TempFolder.h"

namespace kiln {
namespace {

using testing::FolderNames;
using testing::ReadFileBytes;
using testing::TempFolder;
using testing::WriteFileBytes;

uint32_t DWordAt(const std::vector<uint8_t>& bytes, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, bytes.data() + offset, sizeof value);
  return value;
}

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const CLB_DiskIOException& error) {
    return error.what();
  }
  return "(no exception)";
}

TEST(DiskWriter, chunkSizesCountEverythingAfterTheSizeField) {
  TempFolder folder;
  std::string name = folder.File("out.bin");
  CZX9_DiskWriter writer;
  writer.Open(name.c_str());
  writer.BeginChunk(1, 2, 1);  // empty chunk at 0
  writer.EndChunk();
  writer.BeginChunk(18, 0, 1);  // outer at 20
  writer.WriteInt(-1);
  writer.BeginChunk(19, 47, 1);  // inner at 44
  writer.WriteString("ab");
  writer.WritePoint2(1, 2);
  writer.EndChunk();
  writer.EndChunk();
  writer.WriteWord(0xBEEF);
  writer.BeginChunk(5, 0, 1);  // never ended: keeps its placeholder
  writer.Close();

  std::vector<uint8_t> bytes = ReadFileBytes(name);
  ASSERT_EQ(bytes.size(), 20u + 20 + 4 + 20 + 3 + 8 + 2 + 20);
  EXPECT_EQ(DWordAt(bytes, 0), 12u);
  EXPECT_EQ(DWordAt(bytes, 4), 1u);
  EXPECT_EQ(DWordAt(bytes, 8), 2u);
  EXPECT_EQ(DWordAt(bytes, 12), 1u);
  EXPECT_EQ(DWordAt(bytes, 16), 0u);
  EXPECT_EQ(DWordAt(bytes, 36), 4u + 20 + 3 + 8);
  EXPECT_EQ(DWordAt(bytes, 40), 0xFFFFFFFFu);
  EXPECT_EQ(DWordAt(bytes, 60), 3u + 8);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&bytes[64])), "ab");
  EXPECT_EQ(bytes[75], 0xEF);  // little-endian word
  EXPECT_EQ(bytes[76], 0xBE);
  EXPECT_EQ(DWordAt(bytes, bytes.size() - 4), 0xBABEFACEu);
}

TEST(DiskWriter, unmatchedEndOrUndoRaisesAndWritesNothing) {
  TempFolder folder;
  std::string name = folder.File("empty.bin");
  CZX9_DiskWriter writer;
  writer.Open(name.c_str());
  writer.WriteByte(7);
  EXPECT_EQ(MessageOf([&] { writer.EndChunk(); }),
            "CZX9_DiskWriter::EndChunk() called without matching BeginChunk");
  EXPECT_EQ(MessageOf([&] { writer.UndoChunk(); }),
            "CZX9_DiskWriter::UndoChunk() called without matching BeginChunk");
  EXPECT_EQ(MessageOf([&] { writer.PopPosition(); }),
            "CZX9_DiskWriter::PopPosition() called without matching PushPosition");
  EXPECT_EQ(writer.Tell(), 1u);
  writer.Close();
  EXPECT_EQ(ReadFileBytes(name), std::vector<uint8_t>{7});
}

TEST(DiskWriter, packedColourClampsAndRoundsEachChannel) {
  EXPECT_EQ(ColorToARGB(0.5f, 1.2f, -0.1f, 1.0f), 0xFF80FF00u);
  EXPECT_EQ(ColorToARGB(0, 0, 0, 0), 0u);
  EXPECT_EQ(ColorToARGB(1.0f / 255, 0.999f, 0.001f, 0.5f), 0x8001FF00u);
  EXPECT_EQ(ColorToARGB(std::nanf(""), 1, 1, 1), 0xFF00FFFFu);
}

// The file the writer must produce, kept in memory: writes overwrite or
// extend at the position, gaps read as zeros.
struct ModelFile {
  std::vector<uint8_t> bytes;
  size_t position = 0;
  void Write(const void* data, size_t count) {
    if (position + count > bytes.size()) bytes.resize(position + count);
    std::memcpy(bytes.data() + position, data, count);
    position += count;
  }
};

// Random nesting, undos, seeks and writes of every size across the write
// buffer's boundaries must give the bytes of the plain model.
TEST(DiskWriter, bufferedOutputMatchesUnbufferedModel) {
  TempFolder folder;
  std::mt19937 random(12345);
  for (int round = 0; round < 3; ++round) {
    std::string name = folder.File("model" + std::to_string(round) + ".bin");
    CZX9_DiskWriter writer;
    ModelFile model;
    struct Open {
      size_t sizePosition;
    };
    std::vector<Open> open;
    std::vector<size_t> pushed;
    std::vector<uint8_t> block(5 << 19);
    for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<uint8_t>(i * 7 + round);
    writer.Open(name.c_str());
    for (int step = 0; step < 3000; ++step) {
      int action = static_cast<int>(random() % 100);
      if (action < 50) {
        uint32_t value = static_cast<uint32_t>(random());
        writer.WriteDWord(value);
        model.Write(&value, 4);
      } else if (action < 60) {
        size_t count = random() % 40 == 0 ? random() % block.size() : random() % 3000;
        writer.WriteBytes(block.data(), count);
        model.Write(block.data(), count);
      } else if (action < 72) {
        uint32_t header[4] = {12, static_cast<uint32_t>(action), 0, 1};
        writer.BeginChunk(header[1], 0, 1);
        model.Write(header, 16);
        open.push_back({model.position});
        uint32_t placeholder = 0xBABEFACE;
        model.Write(&placeholder, 4);
      } else if (action < 84 && !open.empty()) {
        if (model.position < open.back().sizePosition + 4) {
          // Ending a chunk before its own size field would write a wrapped size.
          EXPECT_THROW(writer.EndChunk(), CLB_DiskIOException);
          continue;
        }
        writer.EndChunk();
        uint32_t size = static_cast<uint32_t>(model.position - open.back().sizePosition - 4);
        std::memcpy(model.bytes.data() + open.back().sizePosition, &size, 4);
        open.pop_back();
      } else if (action < 88 && !open.empty()) {
        writer.UndoChunk();
        model.position = open.back().sizePosition - 16;
        open.pop_back();
      } else if (action < 94) {
        writer.PushPosition();
        pushed.push_back(model.position);
        size_t target = model.bytes.empty() ? 0 : random() % model.bytes.size();
        writer.Seek(static_cast<uint32_t>(target));
        model.position = target;
      } else if (!pushed.empty()) {
        writer.PopPosition();
        model.position = pushed.back();
        pushed.pop_back();
      }
      ASSERT_EQ(writer.Tell(), model.position) << "step " << step;
    }
    writer.Close();
    ASSERT_EQ(ReadFileBytes(name), model.bytes) << "round " << round;
  }
}

TEST(DiskWriter, targetIsReplacedOnlyByClose) {
  TempFolder folder;
  std::string name = folder.File("scene.zqs");
  WriteFileBytes(name, {1, 2, 3});
  {
    CZX9_DiskWriter writer;
    writer.Open(name.c_str());
    writer.WriteString("new");
    EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(FolderNames(folder.Path()).size(), 2u);  // the target and the hidden temporary file
    writer.Close();
    EXPECT_FALSE(writer.IsOpen());
  }
  EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{'n', 'e', 'w', 0}));
  EXPECT_EQ(FolderNames(folder.Path()), std::vector<std::string>{"scene.zqs"});

  // An export that fails leaves the earlier file and no temporary file.
  try {
    CZX9_DiskWriter writer;
    writer.Open(name.c_str());
    writer.WriteString("broken");
    throw CLB_DiskIOException("export failed");
  } catch (const CLB_DiskIOException&) {
  }
  EXPECT_EQ(ReadFileBytes(name), (std::vector<uint8_t>{'n', 'e', 'w', 0}));
  EXPECT_EQ(FolderNames(folder.Path()), std::vector<std::string>{"scene.zqs"});

  // Opening again completes the file in hand first.
  CZX9_DiskWriter writer;
  writer.Open(folder.File("first.bin").c_str());
  writer.WriteByte(1);
  writer.Open(folder.File("second.bin").c_str());
  EXPECT_EQ(ReadFileBytes(folder.File("first.bin")), std::vector<uint8_t>{1});
  writer.Close();
  EXPECT_TRUE(ReadFileBytes(folder.File("second.bin")).empty());
}

TEST(DiskWriter, failuresToCreateOrAddressTheFileRaise) {
  TempFolder folder;
  std::string missing = folder.File("no/such/folder/out.zqs");
  CZX9_DiskWriter writer;
  EXPECT_EQ(MessageOf([&] { writer.Open(missing.c_str()); }),
            "Error creating file: " + missing + "\nNo such file or directory");
  EXPECT_FALSE(writer.IsOpen());
  EXPECT_EQ(MessageOf([&] { writer.Open(""); }),
            "Error creating file: \nNo such file or directory");
  EXPECT_EQ(MessageOf([&] { writer.Open(folder.Path().string().c_str()); }),
            "Error creating file: " + folder.Path().string() + "\nIs a directory");

  // Without a file every write reports its operation.
  EXPECT_EQ(MessageOf([&] { writer.WriteByte(1); }), "error writing da byte");
  EXPECT_EQ(MessageOf([&] { writer.WriteWord(1); }), "error writing da word");
  EXPECT_EQ(MessageOf([&] { writer.WriteDWord(1); }), "error writing da word");
  EXPECT_EQ(MessageOf([&] { writer.WriteFloat(1); }), "error writing da fl00t");
  EXPECT_EQ(MessageOf([&] { writer.WriteInt(1); }),
            "oh dear. i encountered a pretty serious error while trying to write an int. this "
            "obviously isn't very good at all. i'm sorry.");
  EXPECT_EQ(MessageOf([&] { writer.WriteString("a"); }), "error write to disk.");
  EXPECT_EQ(MessageOf([&] { writer.WritePoint3(1, 2, 3); }), "what the hell is going on?!");

  // Offsets are 32-bit: a write that would end past them raises instead of wrapping.
  writer.Open(folder.File("huge.bin").c_str());
  writer.Seek(0xFFFFFFFE);
  writer.WriteByte(1);
  EXPECT_EQ(writer.Tell(), 0xFFFFFFFFu);
  std::string message = MessageOf([&] { writer.WriteDWord(1); });
  EXPECT_EQ(message.rfind("error writing da word\n", 0), 0u) << message;
  EXPECT_NE(message.find("4 GiB"), std::string::npos) << message;
  EXPECT_EQ(writer.Tell(), 0xFFFFFFFFu);
  // Destroyed without Close: the sparse temporary file goes, nothing is flushed.
}

// Runs in a child process whose files may not grow past 64 KiB.
int WriteUnderFileSizeLimit(const std::string& name, size_t dwords, bool close) {
  struct rlimit limit = {64 << 10, 64 << 10};
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, SIG_IGN);
  CZX9_DiskWriter writer;
  writer.Open(name.c_str());
  writer.BeginChunk(1, 0, 1);
  try {
    for (size_t i = 0; i < dwords; ++i) writer.WriteDWord(static_cast<uint32_t>(i));
    if (close) writer.Close();
  } catch (const CLB_DiskIOException& error) {
    std::string text = error.what();
    if (!close && text == "error writing da word\n" + name + ": File too large" && writer.IsOpen())
      return 10;
    if (close && text.rfind("Error writing file: " + name + "\n", 0) == 0) return 11;
    return 2;
  }
  return 1;
}

TEST(DiskWriterDeathTest, diskFullRaisesFromTheWriteOrTheClose) {
  TempFolder folder;
  std::string name = folder.File("full.bin");
  // A flush of the full write buffer fails inside the write that needed it.
  EXPECT_EXIT(std::_Exit(WriteUnderFileSizeLimit(name, 1 << 19, false)),
              ::testing::ExitedWithCode(10), "");
  // The last flush fails in Close, which removes the temporary file.
  EXPECT_EXIT(std::_Exit(WriteUnderFileSizeLimit(name, 100 << 8, true)),
              ::testing::ExitedWithCode(11), "");
  EXPECT_TRUE(FolderNames(folder.Path()).empty());
}

}  // namespace
}  // namespace kiln
