#include "util/SettingsFile.h"

#include <cstdio>
#include <memory>
#include <optional>

#include "util/Trim.h"

namespace kiln {
namespace {

// Lines are read in pieces of at most this many characters; the rest of a
// longer line is read as the next line.
constexpr size_t kMaxLinePiece = 255;
constexpr std::string_view kKeyTrimSet = " \t\n\"";

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// Reads text files as the platform's text mode does: a CR LF pair is one line
// feed, so files saved with either line end read alike.
class LineReader {
 public:
  explicit LineReader(std::FILE* file) : file_(file) {}

  // The next piece of a line, its line feed included, or nothing at the end.
  // Like C text, the piece ends at a NUL byte.
  std::optional<std::string> Next() {
    std::string piece;
    while (piece.size() < kMaxLinePiece) {
      int c = GetTextChar();
      if (c == EOF) break;
      piece.push_back(static_cast<char>(c));
      if (c == '\n') break;
    }
    if (piece.empty()) return std::nullopt;
    size_t nul = piece.find('\0');
    if (nul != std::string::npos) piece.resize(nul);
    return piece;
  }

 private:
  int GetTextChar() {
    int c = std::fgetc(file_);
    if (c != '\r') return c;
    int next = std::fgetc(file_);
    if (next == '\n') return '\n';
    if (next != EOF) std::ungetc(next, file_);
    return c;
  }

  std::FILE* file_;
};

}  // namespace

SettingsFile::SettingsFile(std::string fileName, bool readNow) {
  Load(std::move(fileName), readNow);
}

void SettingsFile::Load(std::string fileName, bool readNow) {
  table_.clear();
  fileName_ = std::move(fileName);
  readNow_ = readNow;
  if (readNow_) Read();
}

void SettingsFile::Read() {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName_.c_str(), "rb"));
  if (!file) return;
  LineReader reader(file.get());
  std::optional<std::string> section;
  while (std::optional<std::string> piece = reader.Next()) {
    std::string_view line = *piece;
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (line.empty()) continue;

    if (line.front() == '[') {
      size_t close = line.find(']');
      if (close != std::string_view::npos && close > 1) {
        section = std::string(line.substr(1, close - 1));
        continue;
      }
    }
    if (!section) continue;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    std::string key = Trim(line.substr(0, equals), kKeyTrimSet);
    std::string value = Trim(line.substr(equals + 1), kKeyTrimSet);
    if (key.empty() || value.empty()) continue;
    table_[*section].insert_or_assign(std::move(key), std::move(value));
  }
}

std::string SettingsFile::GetValue(std::string_view section, std::string_view key,
                                   std::string_view defaultText) const {
  auto found = table_.find(section);
  if (found == table_.end()) return std::string(defaultText);
  auto entry = found->second.find(key);
  if (entry == found->second.end()) return std::string(defaultText);
  return entry->second;
}

bool SettingsFile::GetSection(std::string_view section, std::vector<KeyValue>& out) const {
  auto found = table_.find(section);
  if (found == table_.end()) return false;
  out.assign(found->second.begin(), found->second.end());
  return true;
}

}  // namespace kiln
