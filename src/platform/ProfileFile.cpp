#include "platform/ProfileFile.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/TemporaryFiles.h"

namespace kiln::platform {
namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view TrimBlanks(std::string_view text) {
  size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string_view::npos) return {};
  size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

// Section and key names match without regard to ASCII case or surrounding blanks.
std::string Folded(std::string_view name) {
  std::string folded(TrimBlanks(name));
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

// The name of a "[name]" line, up to its last "]" so that names holding one
// read back whole.
bool SectionName(std::string_view line, std::string_view& name) {
  line = TrimBlanks(line);
  if (line.empty() || line.front() != '[') return false;
  size_t close = line.rfind(']');
  if (close == std::string_view::npos) return false;
  name = line.substr(1, close - 1);
  return true;
}

// The key of a "key=value" line; comment lines (";") hold no key.
bool KeyName(std::string_view line, std::string_view& key) {
  size_t equals = line.find('=');
  if (equals == std::string_view::npos) return false;
  key = TrimBlanks(line.substr(0, equals));
  return !key.empty() && key.front() != ';';
}

std::string HeaderLine(std::string_view section) {
  std::string line(1, '[');
  line.append(TrimBlanks(section)).push_back(']');
  return line;
}

// True when the section header and key line written for these names read
// back as the same section and key: what the document indexes in memory is then
// what a fresh read of the file finds.
bool ReadsBack(std::string_view section, std::string_view key, std::string_view value) {
  auto oneLine = [](std::string_view text) { return text.find_first_of("\r\n") == text.npos; };
  if (!oneLine(section) || !oneLine(key) || !oneLine(value)) return false;
  std::string header = HeaderLine(section);
  std::string_view name;
  if (!SectionName(header, name) || name.empty() || name != TrimBlanks(section)) return false;
  std::string line = std::string(TrimBlanks(key)) + "=" + std::string(value);
  std::string_view readKey;
  return !SectionName(line, name) && KeyName(line, readKey) && readKey == TrimBlanks(key);
}

// One section of a document: its header line and the lines up to the next
// header, kept as they were read so foreign lines survive a rewrite.
struct Section {
  explicit Section(std::string headerLine) : header(std::move(headerLine)) {}

  std::string header;
  std::vector<std::string> lines;
  size_t keyEnd = 0;                             // just after the last key line: new keys go here
  std::unordered_map<std::string, size_t> keys;  // folded key -> first line holding it

  void AddLine(std::string line) {
    std::string_view key;
    if (KeyName(line, key)) {
      keys.try_emplace(Folded(key), lines.size());
      keyEnd = lines.size() + 1;
    }
    lines.push_back(std::move(line));
  }
};

class Document {
 public:
  void Parse(std::string_view text) {
    while (!text.empty()) {
      size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      AddLine(std::string(line));
    }
  }

  void Set(std::string_view sectionName, std::string_view key, std::string_view value) {
    Section& section = FindOrAddSection(sectionName);
    std::string line = std::string(TrimBlanks(key)) + '=' + std::string(value);
    auto [entry, added] = section.keys.try_emplace(Folded(key), section.keyEnd);
    if (added) {
      section.lines.insert(section.lines.begin() + static_cast<ptrdiff_t>(section.keyEnd),
                           std::move(line));
      ++section.keyEnd;
      changed_ = true;
      return;
    }
    // Keep the spelling of the key as the file has it.
    std::string& existing = section.lines[entry->second];
    std::string_view existingKey;
    KeyName(existing, existingKey);
    line = std::string(existingKey) + '=' + std::string(value);
    if (line != existing) {
      existing = std::move(line);
      changed_ = true;
    }
  }

  std::string Text() const {
    std::string text;
    auto put = [&text](const std::string& line) { text.append(line).append("\r\n"); };
    for (const std::string& line : preamble_) put(line);
    for (const Section& section : sections_) {
      put(section.header);
      for (const std::string& line : section.lines) put(line);
    }
    return text;
  }

  bool Changed() const { return changed_; }
  void MarkChanged() { changed_ = true; }

 private:
  void AddLine(std::string line) {
    std::string_view name;
    if (SectionName(line, name)) {
      sectionIndex_.try_emplace(Folded(name), sections_.size());
      sections_.emplace_back(std::move(line));
    } else if (sections_.empty()) {
      preamble_.push_back(std::move(line));
    } else {
      sections_.back().AddLine(std::move(line));
    }
  }

  Section& FindOrAddSection(std::string_view name) {
    auto [entry, added] = sectionIndex_.try_emplace(Folded(name), sections_.size());
    if (!added) return sections_[entry->second];
    // A blank line sets a new section apart from what comes before it.
    if (!sections_.empty()) {
      sections_.back().lines.emplace_back();
    } else if (!preamble_.empty()) {
      preamble_.emplace_back();
    }
    sections_.emplace_back(HeaderLine(name));
    changed_ = true;
    return sections_.back();
  }

  std::vector<std::string> preamble_;  // lines before the first section
  std::vector<Section> sections_;
  std::unordered_map<std::string, size_t> sectionIndex_;  // folded name -> first section
  bool changed_ = false;
};

// One file in use: its document, and the entries set since it was opened,
// which are all the file keeps when it is emptied. The entries are kept as
// "section\nkey\nvalue\n" records in one text (none of the three holds a
// line break), so keeping them costs no allocation per entry.
struct OpenFile {
  Document document;
  std::string entries;
};

std::unordered_map<std::string, OpenFile>& Documents() {
  static std::unordered_map<std::string, OpenFile> documents;
  return documents;
}

// Reads the whole file; a missing file is an empty one.
bool ReadFile(const std::string& fileName, std::string& text) {
  std::FILE* file = std::fopen(fileName.c_str(), "rb");
  if (!file) return errno == ENOENT;
  char buffer[16384];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName) {
  if (!section || !key || !value || !fileName || !*fileName) return false;
  if (!ReadsBack(section, key, value)) return false;
  auto& documents = Documents();
  auto found = documents.find(fileName);
  if (found == documents.end()) {
    std::string text;
    if (!ReadFile(fileName, text)) return false;
    found = documents.emplace(fileName, OpenFile()).first;
    found->second.document.Parse(text);
  }
  found->second.document.Set(section, key, value);
  found->second.entries.append(section).append(1, '\n').append(key).append(1, '\n');
  found->second.entries.append(value).append(1, '\n');
  return true;
}

bool FlushProfileFiles() {
  bool ok = true;
  for (const auto& [fileName, file] : Documents()) {
    if (file.document.Changed()) ok = WriteWholeFile(fileName, file.document.Text()) && ok;
  }
  Documents().clear();
  return ok;
}

void DiscardProfileFiles() {
  Documents().clear();
}

void EmptyProfileFile(const char* fileName) {
  if (!fileName || !*fileName) return;
  OpenFile& file = Documents()[fileName];
  Document fresh;
  std::string_view rest = file.entries;
  auto next = [&rest] {
    size_t end = rest.find('\n');
    std::string_view field = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return field;
  };
  while (!rest.empty()) {
    std::string_view section = next(), key = next(), value = next();
    fresh.Set(section, key, value);
  }
  fresh.MarkChanged();
  file.document = std::move(fresh);
}

}  // namespace kiln::platform
