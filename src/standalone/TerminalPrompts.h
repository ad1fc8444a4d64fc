#pragma once
#include <cstdio>
#include <optional>
#include <string>

#include "platform/Messages.h"

namespace kiln::standalone {

// How the command line answers the exporter's questions and shows its
// messages: a flag's answer first, then the terminal when there is one. A
// question neither can answer is cancelled and remembered, so the caller can
// fail with a message that names the flag.
class TerminalPrompts {
 public:
  TerminalPrompts(std::FILE* in, std::FILE* out, bool interactive)
      : in_(in), out_(out), interactive_(interactive) {}

  // The answer to a Yes/No/Cancel question: IDYES, IDNO or IDCANCEL.
  void SetQuestionAnswer(std::optional<int> answer) { answer_ = answer; }

  int Handle(const platform::MessageRequest& request);

  // The first question that had to be cancelled for want of an answer.
  const std::optional<std::string>& Unanswered() const { return unanswered_; }
  bool Cancelled() const { return cancelled_; }
  // Another of the artist's cancels (the settings dialog's).
  void MarkCancelled() { cancelled_ = true; }

 private:
  int Ask(const platform::MessageRequest& request);

  std::FILE* in_;
  std::FILE* out_;
  bool interactive_;
  std::optional<int> answer_;
  std::optional<std::string> unanswered_;
  bool cancelled_ = false;
};

// A one-line progress bar redrawn in place on a terminal.
class ProgressBar {
 public:
  explicit ProgressBar(std::FILE* out) : out_(out) {}
  void Start(const std::string& title);
  void Update(int percent);
  void End();

 private:
  void Draw();
  std::FILE* out_;
  std::string title_;
  int percent_ = -1;
  bool shown_ = false;
};

}  // namespace kiln::standalone
