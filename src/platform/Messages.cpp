#include "platform/Messages.h"

namespace kiln::platform {
namespace {

MessageHandler& Handler() {
  static MessageHandler handler;
  return handler;
}

int DefaultAnswer(const MessageRequest& request) {
  unsigned buttons = request.type & 0xF;
  return buttons == MB_OK ? IDOK : IDCANCEL;
}

int Ask(MessageRequest request) {
  const MessageHandler& handler = Handler();
  return handler ? handler(request) : DefaultAnswer(request);
}

}  // namespace

void SetMessageHandler(MessageHandler handler) {
  Handler() = std::move(handler);
}

int MessageBoxA(const char* text, const char* caption, unsigned type) {
  return Ask({text ? text : "", caption ? caption : "", type, 0});
}

int AfxMessageBox(const char* text, unsigned type, unsigned helpId) {
  return Ask({text ? text : "", "", type, helpId});
}

}  // namespace kiln::platform
