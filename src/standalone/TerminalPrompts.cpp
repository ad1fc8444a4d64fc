#include "standalone/TerminalPrompts.h"

#include <cctype>

namespace kiln::standalone {
namespace {

bool IsQuestion(unsigned type) {
  unsigned buttons = type & 0xF;
  return buttons == platform::MB_YESNOCANCEL || buttons == platform::MB_YESNO ||
         buttons == platform::MB_OKCANCEL;
}

std::string ReadLine(std::FILE* in) {
  std::string line;
  int c;
  while ((c = std::fgetc(in)) != EOF && c != '\n') line += static_cast<char>(c);
  if (c == EOF && line.empty()) return "\x04";  // end of input
  return line;
}

}  // namespace

int TerminalPrompts::Handle(const platform::MessageRequest& request) {
  if (!IsQuestion(request.type)) {
    const char* label = (request.type & 0xF0) == platform::MB_ICONSTOP ? "error" : "message";
    std::fprintf(out_, "kiln: %s: %s\n", label, request.text.c_str());
    return platform::IDOK;
  }
  int answer = Ask(request);
  if (answer == platform::IDCANCEL) cancelled_ = true;
  return answer;
}

int TerminalPrompts::Ask(const platform::MessageRequest& request) {
  if (answer_) return *answer_;
  if (!interactive_) {
    if (!unanswered_) unanswered_ = request.text;
    return platform::IDCANCEL;
  }
  for (;;) {
    std::fprintf(out_, "%s: %s? [y]es, [n]o, [c]ancel: ",
                 request.caption.empty() ? "kiln" : request.caption.c_str(), request.text.c_str());
    std::fflush(out_);
    std::string line = ReadLine(in_);
    char first = line.empty() ? '\0' : static_cast<char>(std::tolower(line[0]));
    if (first == 'y') return platform::IDYES;
    if (first == 'n') return platform::IDNO;
    if (first == 'c' || first == '\x04') return platform::IDCANCEL;
  }
}

void ProgressBar::Start(const std::string& title) {
  title_ = title;
  percent_ = 0;
  shown_ = true;
  Draw();
}

void ProgressBar::Update(int percent) {
  if (!shown_ || percent == percent_) return;
  percent_ = percent;
  Draw();
}

void ProgressBar::End() {
  if (!shown_) return;
  percent_ = 100;
  Draw();
  std::fputc('\n', out_);
  std::fflush(out_);
  shown_ = false;
}

void ProgressBar::Draw() {
  constexpr int kWidth = 30;
  int filled = percent_ * kWidth / 100;
  std::fprintf(out_, "\r%s[", title_.c_str());
  for (int i = 0; i < kWidth; ++i) std::fputc(i < filled ? '#' : '.', out_);
  std::fprintf(out_, "] %3d%%", percent_);
  std::fflush(out_);
}

}  // namespace kiln::standalone
