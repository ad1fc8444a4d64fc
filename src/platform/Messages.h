#pragma once
#include <functional>
#include <string>

// Message boxes and questions. The exporter asks; the host installs the
// handler that answers (a terminal, or scripted answers in tests).
namespace kiln::platform {

// Button sets and icons of a message box type (combine one of each).
constexpr unsigned MB_OK = 0x0;
constexpr unsigned MB_OKCANCEL = 0x1;
constexpr unsigned MB_YESNOCANCEL = 0x3;
constexpr unsigned MB_YESNO = 0x4;
constexpr unsigned MB_ICONSTOP = 0x10;
constexpr unsigned MB_ICONQUESTION = 0x20;
constexpr unsigned MB_ICONEXCLAMATION = 0x30;
constexpr unsigned MB_ICONINFORMATION = 0x40;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageRequest {
  std::string text;
  std::string caption;  // empty for the application's own message box
  unsigned type = MB_OK;
  unsigned helpId = 0;
};

using MessageHandler = std::function<int(const MessageRequest&)>;

// Installs the handler; an empty one restores the default, which answers IDOK
// to a box with an OK button only and IDCANCEL to any question.
void SetMessageHandler(MessageHandler handler);

// A plain message box with a caption (the platform's MessageBoxA).
int MessageBoxA(const char* text, const char* caption, unsigned type);
// The application's message box (caption is the application's).
int AfxMessageBox(const char* text, unsigned type, unsigned helpId);

}  // namespace kiln::platform
