#include "decoders.h"

#include <zbar.h>

#include <ZXing/ReadBarcode.h>
#include <cmath>
#include <stdexcept>

namespace testkit {

GrayImage drawPatternText(const std::string& text, int scale, int quiet) {
  const int n = static_cast<int>(std::lround(std::sqrt(static_cast<double>(text.size()))));
  if (n <= 0 || static_cast<size_t>(n) * n != text.size()) throw std::invalid_argument("pattern text is not square");
  GrayImage img;
  img.width = img.height = (n + 2 * quiet) * scale;
  img.pixels.assign(static_cast<size_t>(img.width) * img.height, 255);
  for (int c = 0; c < n; ++c)
    for (int r = 0; r < n; ++r) {
      if (text[static_cast<size_t>(c) * n + (n - 1 - r)] != '1') continue;
      for (int y = 0; y < scale; ++y)
        for (int x = 0; x < scale; ++x)
          img.pixels[static_cast<size_t>((quiet + r) * scale + y) * img.width + (quiet + c) * scale + x] = 0;
    }
  return img;
}

std::optional<std::string> decodeWithZbar(const GrayImage& image) {
  using namespace zbar;  // the C API, in a namespace when included from C++
  zbar_image_scanner_t* scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
  zbar_image_t* zimg = zbar_image_create();
  zbar_image_set_format(zimg, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(zimg, static_cast<unsigned>(image.width), static_cast<unsigned>(image.height));
  zbar_image_set_data(zimg, image.pixels.data(), image.pixels.size(), nullptr);
  std::optional<std::string> result;
  if (zbar_scan_image(scanner, zimg) > 0) {
    for (const zbar_symbol_t* sym = zbar_image_first_symbol(zimg); sym; sym = zbar_symbol_next(sym)) {
      if (zbar_symbol_get_type(sym) != ZBAR_QRCODE) continue;
      result = std::string(zbar_symbol_get_data(sym), zbar_symbol_get_data_length(sym));
      break;
    }
  }
  zbar_image_destroy(zimg);
  zbar_image_scanner_destroy(scanner);
  return result;
}

std::optional<std::string> decodeWithZxing(const GrayImage& image) {
  ZXing::DecodeHints hints;
  hints.setFormats(ZXing::BarcodeFormat::QRCode);
  const ZXing::ImageView view(image.pixels.data(), image.width, image.height, ZXing::ImageFormat::Lum);
  const ZXing::Result r = ZXing::ReadBarcode(view, hints);
  if (!r.isValid()) return std::nullopt;
  const auto& bytes = r.bytes();
  return std::string(bytes.begin(), bytes.end());
}

}  // namespace testkit
