#include "view/PageWriter.h"

#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "view/ViewerAssets.h"

namespace kiln::view {
namespace {

constexpr const char* kPolicy =
    "default-src 'none'; script-src 'unsafe-inline'; style-src 'unsafe-inline'; "
    "img-src data:; connect-src 'none'; form-action 'none'; base-uri 'none'";

// JSON with every '<' written as an escape, so no text from the file can
// close the element or open a comment.
std::string InlineJson(const nlohmann::json& data) {
  std::string text = data.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  std::string safe;
  safe.reserve(text.size());
  for (char c : text) {
    if (c == '<')
      safe += "\\u003c";
    else
      safe += c;
  }
  return safe;
}

}  // namespace

std::string InlineScript(std::string_view script) {
  auto startsHere = [&](size_t i, std::string_view word) {
    if (script.size() - i < word.size()) return false;
    for (size_t k = 0; k < word.size(); ++k) {
      if (std::tolower(static_cast<unsigned char>(script[i + k])) != word[k]) return false;
    }
    return true;
  };
  std::string safe;
  safe.reserve(script.size());
  for (size_t i = 0; i < script.size(); ++i) {
    safe += script[i];
    // "<\/script" and "<\!--" mean the same in strings, regular expressions
    // and comments, the only places a script can hold them.
    if (script[i] == '<' && (startsHere(i + 1, "/script") || startsHere(i + 1, "!--")))
      safe += '\\';
  }
  return safe;
}

void WritePage(std::ostream& out, const PageModel& model, const ThreeLibrary& library) {
  out << "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">\n"
      << "<meta http-equiv=\"Content-Security-Policy\" content=\"" << kPolicy << "\">\n"
      << "<title>kiln view</title>\n<style>" << kViewerStyle << "</style></head>\n<body>"
      << kViewerBody << "\n<script type=\"application/json\" id=\"kiln-data\">"
      << InlineJson(model.data) << "</script>\n<script type=\"text/plain\" id=\"kiln-bin\">";
  const std::vector<uint8_t>& bytes = model.blob.Bytes();
  constexpr size_t kChunk = 3 << 20;  // whole base64 groups, so pieces concatenate
  for (size_t at = 0; at < bytes.size(); at += kChunk) {
    out << Base64(std::span(bytes).subspan(at, std::min(kChunk, bytes.size() - at)));
  }
  out << "</script>\n<script>" << InlineScript(library.three) << "</script>\n<script>"
      << InlineScript(library.orbitControls) << "</script>\n<script>" << InlineScript(kViewerScript)
      << "</script>\n</body></html>\n";
}

void WritePageFile(const std::string& path, const PageModel& model, const ThreeLibrary& library) {
  const std::filesystem::path target(path);
  const std::filesystem::path temporary =
      target.parent_path() /
      ("." + target.filename().string() + ".kiln-tmp-" + std::to_string(getpid()));
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw std::runtime_error(path + ": cannot write: " + std::strerror(errno));
    WritePage(out, model, library);
    out.flush();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      throw std::runtime_error(path + ": cannot write: " + std::strerror(errno));
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, target, error);
  if (error) {
    std::filesystem::remove(temporary, error);
    throw std::runtime_error(path + ": cannot write: " + error.message());
  }
}

}  // namespace kiln::view
