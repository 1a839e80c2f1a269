#include "engine/encoder/encode_symbol.h"

#include <cstring>

#include "engine/encoder/codewords.h"
#include "engine/encoder/masking.h"
#include "engine/encoder/tables.h"

namespace tesserine {

bool encodeSymbol(const EncoderSettings& settings, EncodedSymbol& out) {
  if (settings.messageTooLong) return false;
  const auto* message = reinterpret_cast<const uint8_t*>(settings.message);
  const size_t length = strnlen(settings.message, kMessageStore);
  const int start = settings.requestedVersion == 0 ? 1 : settings.requestedVersion;
  const int level = settings.ecLevel;

  const DataMode mode = decideDataMode(message, length);
  const int version = chooseVersion(start, mode, length, level);
  if (version > kMaxVersion) return false;

  const std::vector<uint16_t> data = buildDataCodewords(message, length, mode, version, level);
  out.codewordStream = buildCodewordStream(version, level, data);
  out.version = version;
  out.dataMode = mode;
  out.matrix = ModuleMatrix(symbolSize(version));
  out.maskInUse = chooseMask(out.matrix, version, level, settings.maskSetting, out.codewordStream);
  return true;
}

}  // namespace tesserine
