#include "standalone/TerminalPrompts.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace kiln::standalone {
namespace {

// The head of the exporter's summary box, which lists the errors of its log.
constexpr std::string_view kSummaryHead = "The scene was exported with ";

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

// Columns of the terminal out writes to; COLUMNS, else 80, when it will not say.
int TerminalWidth(std::FILE* out) {
  winsize size{};
  if (::ioctl(::fileno(out), TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  if (const char* columns = std::getenv("COLUMNS")) {
    int width = std::atoi(columns);
    if (width > 0) return width;
  }
  return 80;
}

}  // namespace

std::string OneLine(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at))
    text.replace(at, 1, ": ");
  return text;
}

int TerminalPrompts::Handle(const platform::MessageRequest& request) {
  if (!IsQuestion(request.type)) {
    if (request.text.rfind(kSummaryHead, 0) == 0) return platform::IDOK;
    const char* label = (request.type & 0xF0) == platform::MB_ICONSTOP ? "error" : "message";
    if (bar_) bar_->Clear();
    std::fprintf(out_, "kiln: %s: %s\n", label, OneLine(request.text).c_str());
    std::fflush(out_);
    shown_.push_back(OneLine(request.text));
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
  if (bar_) bar_->Clear();
  auto explanation = explanations_.find(request.text);
  if (explanation != explanations_.end()) std::fprintf(out_, "%s\n", explanation->second.c_str());
  for (;;) {
    std::fprintf(out_, "%s? [y]es, [n]o, [c]ancel: ", request.text.c_str());
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
  running_ = true;
  Draw();
}

void ProgressBar::Update(int percent) {
  if (!running_ || (drawn_ && percent == percent_)) return;
  percent_ = percent;
  Draw();
}

void ProgressBar::End() {
  Clear();
  running_ = false;
}

void ProgressBar::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", out_);  // back to the line's start, and erase it
  std::fflush(out_);
  drawn_ = false;
}

std::string ProgressBar::Line(const std::string& title, int percent, int width) {
  percent = std::clamp(percent, 0, 100);
  char tail[8];
  std::snprintf(tail, sizeof tail, "] %3d%%", percent);
  // The last column stays free: writing there wraps the line on some terminals.
  const int room = width - 1;
  const int fixed = 1 + static_cast<int>(std::strlen(tail));  // "[" and the tail
  // The title gives way before the bar's first ten cells do.
  const int cells =
      std::max(room - fixed - static_cast<int>(title.size()), std::min(10, room - fixed));
  if (cells < 0) return {};
  const int filled = percent * cells / 100;
  std::string line = title.substr(0, static_cast<size_t>(room - fixed - cells)) + "[";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(cells - filled), '.');
  return line + tail;
}

void ProgressBar::Draw() {
  std::fprintf(out_, "\r%s", Line(title_, percent_, TerminalWidth(out_)).c_str());
  std::fflush(out_);
  drawn_ = true;
}

}  // namespace kiln::standalone
