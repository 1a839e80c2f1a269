// The clipboard without Windows: a store of this process, holding what the
// last successful put left there, format by format.
#include <mutex>
#include <utility>

#include "engine/output/platform.h"

namespace tesserine::platform {

namespace {

struct ClipboardStore {
  std::mutex mutex;
  std::vector<ClipboardItem> items;
  bool heldByAnother = false;
};

ClipboardStore& store() {
  static ClipboardStore s;
  return s;
}

}  // namespace

bool putEnhancedMetafileOnClipboard(std::vector<uint8_t> emf) {
  ClipboardStore& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.heldByAnother) return false;  // the open fails: nothing changes
  // Emptied and filled in one step: a failure on the way leaves it as it was.
  std::vector<ClipboardItem> fresh;
  fresh.push_back({kClipboardEnhMetafile, std::move(emf)});
  s.items.swap(fresh);
  return true;
}

bool readClipboard(uint32_t format, std::vector<uint8_t>& out) {
  ClipboardStore& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  if (s.heldByAnother) return false;
  for (const ClipboardItem& item : s.items) {
    if (item.format == format) {
      out = item.bytes;
      return true;
    }
  }
  return false;
}

std::vector<ClipboardItem> clipboardContents() {
  ClipboardStore& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  return s.items;
}

void setClipboardContents(std::vector<ClipboardItem> items) {
  ClipboardStore& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.items = std::move(items);
}

void setClipboardHeldByAnother(bool held) {
  ClipboardStore& s = store();
  std::lock_guard<std::mutex> lock(s.mutex);
  s.heldByAnother = held;
}

}  // namespace tesserine::platform
