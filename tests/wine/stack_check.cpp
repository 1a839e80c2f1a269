#include "tests/wine/stack_check.h"

#if defined(__i386__)

// int32_t tesserineStackCheckedCall(const void* fn, const uint32_t* args,
//                                   uint32_t count, uint64_t* result,
//                                   uint32_t* clobbered)   (cdecl)
// The callee sees a 16-byte aligned stack at the call. EDI holds ESP from
// before the pushes across the call; EBX and ESI hold markers.
asm(R"(
  .text
  .globl _tesserineStackCheckedCall
  .def _tesserineStackCheckedCall; .scl 2; .type 32; .endef
_tesserineStackCheckedCall:
  pushl %ebp
  movl %esp, %ebp
  pushl %ebx
  pushl %esi
  pushl %edi
  movl 12(%ebp), %esi
  movl 16(%ebp), %ecx
  andl $-16, %esp
  movl %ecx, %eax
  shll $2, %eax
  negl %eax
  andl $15, %eax
  subl %eax, %esp
  movl %esp, %edi
  leal (%esi,%ecx,4), %edx
1:
  testl %ecx, %ecx
  jz 2f
  subl $4, %edx
  pushl (%edx)
  decl %ecx
  jmp 1b
2:
  movl $0x5EB15EB1, %ebx
  movl $0x51515151, %esi
  call *8(%ebp)
  movl %esp, %ecx
  subl %edi, %ecx
  movl %edi, %esp
  movl 20(%ebp), %edi
  movl %eax, (%edi)
  movl %edx, 4(%edi)
  xorl %eax, %eax
  cmpl $0x5EB15EB1, %ebx
  setne %al
  xorl %edx, %edx
  cmpl $0x51515151, %esi
  setne %dl
  orl %edx, %eax
  movl 24(%ebp), %edi
  movl %eax, (%edi)
  movl %ecx, %eax
  leal -12(%ebp), %esp
  popl %edi
  popl %esi
  popl %ebx
  popl %ebp
  ret
)");

extern "C" int32_t tesserineStackCheckedCall(const void* fn, const uint32_t* args, uint32_t count, uint64_t* result,
                                             uint32_t* clobbered);

namespace tesserine_wine {

CheckedCall callChecked(const void* function, const ArgWords& args) {
  CheckedCall call;
  uint32_t clobbered = 0;
  call.espDifference = tesserineStackCheckedCall(function, args.words().data(),
                                                 static_cast<uint32_t>(args.words().size()), &call.result, &clobbered);
  call.registersKept = clobbered == 0;
  return call;
}

}  // namespace tesserine_wine

#endif
