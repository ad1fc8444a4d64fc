#pragma once
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/Messages.h"

namespace kiln::standalone {

// A one-line progress bar redrawn in place on a terminal. It fits the
// terminal's width, and Clear takes it off the line before anything else is
// written there (the next update draws it again).
class ProgressBar {
 public:
  explicit ProgressBar(std::FILE* out) : out_(out) {}
  void Start(const std::string& title);
  void Update(int percent);
  // The walk is over: the bar is cleared.
  void End();
  void Clear();

  // The line drawn for title and percent in a terminal of width columns.
  static std::string Line(const std::string& title, int percent, int width);

 private:
  void Draw();
  std::FILE* out_;
  std::string title_;
  int percent_ = -1;
  bool running_ = false;
  bool drawn_ = false;
};

// How the command line answers the exporter's questions and shows its
// messages: a flag's answer first, then the terminal when there is one. A
// question neither can answer is cancelled and remembered, so the caller can
// fail with a message that names the flag.
//
// Each message is shown once: the exporter's summary box, which repeats the
// errors of its log, is not shown (the command line lists the log's errors
// itself, leaving out those already shown as messages).
class TerminalPrompts {
 public:
  TerminalPrompts(std::FILE* in, std::FILE* out, bool interactive, ProgressBar* bar = nullptr)
      : in_(in), out_(out), interactive_(interactive), bar_(bar) {}

  // The answer to a Yes/No/Cancel question: IDYES, IDNO or IDCANCEL.
  void SetQuestionAnswer(std::optional<int> answer) { answer_ = answer; }
  // Lines shown above the question of that text when it is asked on the terminal.
  void ExplainQuestion(const std::string& text, std::string explanation) {
    explanations_[text] = std::move(explanation);
  }

  int Handle(const platform::MessageRequest& request);

  // The first question that had to be cancelled for want of an answer.
  const std::optional<std::string>& Unanswered() const { return unanswered_; }
  bool Cancelled() const { return cancelled_; }
  // Another of the artist's cancels (the settings dialog's).
  void MarkCancelled() { cancelled_ = true; }
  // The texts of the messages shown, as one line each.
  const std::vector<std::string>& Shown() const { return shown_; }

 private:
  int Ask(const platform::MessageRequest& request);

  std::FILE* in_;
  std::FILE* out_;
  bool interactive_;
  ProgressBar* bar_;
  std::optional<int> answer_;
  std::map<std::string, std::string> explanations_;
  std::optional<std::string> unanswered_;
  std::vector<std::string> shown_;
  bool cancelled_ = false;
};

// A message box's text as one line: its line breaks become ": ", as the
// exporter's log keeps a failure it also shows.
std::string OneLine(std::string text);

}  // namespace kiln::standalone
