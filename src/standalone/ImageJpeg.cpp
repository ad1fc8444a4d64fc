// JPEG through libjpeg: only the size is read; a JPEG has no palette.
// jpeglib.h needs size_t and FILE declared first.
#include <cstddef>
#include <cstdio>
// clang-format off
#include <jpeglib.h>
// clang-format on

#include <csetjmp>

#include "standalone/Images.h"

namespace kiln::standalone {
namespace {

struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnError(j_common_ptr info) {
  auto* errors = reinterpret_cast<ErrorManager*>(info->err);
  errors->base.format_message(info, errors->message);
  std::longjmp(errors->jump, 1);
}

void OnMessage(j_common_ptr, int) {}

// Reads the header into info; false when libjpeg reported an error. Nothing
// that needs destroying lives in this frame.
bool ReadHeader(jpeg_decompress_struct& info, ErrorManager& errors,
                std::span<const uint8_t> bytes) {
  if (setjmp(errors.jump)) return false;
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes.data(), static_cast<unsigned long>(bytes.size()));
  jpeg_read_header(&info, TRUE);
  return true;
}

}  // namespace

Image ReadJpeg(std::span<const uint8_t> bytes) {
  jpeg_decompress_struct info{};
  ErrorManager errors{};
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = OnError;
  errors.base.emit_message = OnMessage;
  const bool read = ReadHeader(info, errors, bytes);
  const int64_t width = info.image_width, height = info.image_height;
  jpeg_destroy_decompress(&info);
  if (!read) throw ImageError(std::string("JPEG: ") + errors.message);
  CheckImageSize(width, height);
  Image image;
  image.width = static_cast<int>(width);
  image.height = static_cast<int>(height);
  return image;
}

}  // namespace kiln::standalone
