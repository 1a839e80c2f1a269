// A call through an asm thunk that watches the stack, for 32-bit x86: the
// thunk pushes 32-bit argument words (last first), calls the function and
// measures ESP after the return against ESP before the pushes. A __stdcall
// callee removes its arguments (difference 0); a __cdecl one leaves them
// (difference minus their size), which a call through a stdcall pointer
// never notices.
#pragma once

#if defined(__i386__)
#include <cstdint>
#include <cstring>
#include <vector>

namespace tesserine_wine {

struct CheckedCall {
  int32_t espDifference = 0;  // ESP after the call minus ESP before the pushes
  bool registersKept = true;  // EBX, ESI and EDI as the thunk left them
  uint64_t result = 0;        // EDX:EAX
};

// Argument words in order, as a caller lays them out on the stack.
class ArgWords {
 public:
  ArgWords& word(uint32_t v) {
    words_.push_back(v);
    return *this;
  }
  template <typename T>
  ArgWords& pointer(T* p) {
    return word(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)));
  }
  ArgWords& real(double d) {  // 8 bytes, low word first
    uint32_t w[2];
    std::memcpy(w, &d, sizeof w);
    return word(w[0]).word(w[1]);
  }
  const std::vector<uint32_t>& words() const { return words_; }
  uint32_t bytes() const { return static_cast<uint32_t>(4 * words_.size()); }

 private:
  std::vector<uint32_t> words_;
};

CheckedCall callChecked(const void* function, const ArgWords& args);

}  // namespace tesserine_wine
#endif
