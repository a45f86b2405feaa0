#include "widgets/jpeg_decoder.h"

#include <QFile>

#include <csetjmp>
#include <cstdio>
#include <string>

#include <jpeglib.h>

#include "platform/errors.h"

namespace vorelia::widgets {
namespace {

class EJpegError : public EVoreliaError {
 public:
  VORELIA_RAISE_SITE explicit EJpegError(const std::string& message)
      : EVoreliaError("Invalid JPEG picture: " + message) {}
};

// libjpeg reports fatal errors through a callback that must not return; we jump back to the
// decoder, which then raises a C++ exception outside the library's frames.
struct ErrorManager {
  jpeg_error_mgr base;
  std::jmp_buf jump;
  char message[JMSG_LENGTH_MAX];
};

void OnFatalError(j_common_ptr info) {
  auto* manager = reinterpret_cast<ErrorManager*>(info->err);
  (*info->err->format_message)(info, manager->message);
  std::longjmp(manager->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings of damaged data: the fatal path decides

// Everything between setjmp and the last libjpeg call lives in this function, which holds only
// trivially destructible locals, so the long jump skips no destructor.
bool DecodeInto(const unsigned char* bytes, unsigned long size, QImage* image, char* message) {
  jpeg_decompress_struct info{};
  ErrorManager manager{};
  info.err = jpeg_std_error(&manager.base);
  manager.base.error_exit = OnFatalError;
  manager.base.emit_message = OnMessage;
  if (setjmp(manager.jump) != 0) {
    jpeg_destroy_decompress(&info);
    std::snprintf(message, JMSG_LENGTH_MAX, "%s", manager.message);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, bytes, size);
  jpeg_read_header(&info, TRUE);
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const long long pixels = static_cast<long long>(info.output_width) * info.output_height;
  if (info.output_components != 3 || pixels <= 0 || pixels > kMaxJpegPixels) {
    jpeg_destroy_decompress(&info);
    std::snprintf(message, JMSG_LENGTH_MAX, "unsupported size or colour layout");
    return false;
  }
  *image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                  QImage::Format_RGB888);
  if (image->isNull()) {
    jpeg_destroy_decompress(&info);
    std::snprintf(message, JMSG_LENGTH_MAX, "out of memory");
    return false;
  }
  while (info.output_scanline < info.output_height) {
    JSAMPROW row = image->scanLine(static_cast<int>(info.output_scanline));
    jpeg_read_scanlines(&info, &row, 1);
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return true;
}

}  // namespace

QImage DecodeJpeg(std::span<const std::byte> data) {
  if (data.size() < 4) throw EJpegError("too short");
  QImage image;
  char message[JMSG_LENGTH_MAX] = {};
  if (!DecodeInto(reinterpret_cast<const unsigned char*>(data.data()),
                  static_cast<unsigned long>(data.size()), &image, message)) {
    throw EJpegError(message);
  }
  return image;
}

QImage LoadJpeg(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    throw EJpegError("cannot read " + path.toStdString());
  }
  const QByteArray bytes = file.readAll();
  return DecodeJpeg(std::as_bytes(std::span(bytes.constData(), bytes.size())));
}

}  // namespace vorelia::widgets
