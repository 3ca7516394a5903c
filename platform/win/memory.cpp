// The page allocator and the floating-point control state.
#include <sys/mman.h>

#include <map>

#include "platform/win/internal.h"

namespace {

std::map<void*, size_t>& blocks() {
    static std::map<void*, size_t> b;
    return b;
}

}  // namespace

ZOLAPI void* VirtualAlloc(void* address, size_t size, DWORD type, DWORD protect) {
    try {
        if (address || size == 0 || !(type & MEM_COMMIT) || size > (size_t{1} << 40)) {
            zolplat::setError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        int prot = protect == PAGE_READONLY ? PROT_READ : PROT_READ | PROT_WRITE;
        void* p = mmap(nullptr, size, prot, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) {
            zolplat::setError(ERROR_NOT_ENOUGH_MEMORY);
            return nullptr;
        }
        blocks()[p] = size;
        return p;
    } catch (...) {
        zolplat::setError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
}

ZOLAPI BOOL VirtualFree(void* address, size_t size, DWORD type) {
    auto& b = blocks();
    auto it = b.find(address);
    if (it == b.end() || size != 0 || type != MEM_RELEASE) {
        zolplat::setError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    munmap(it->first, it->second);
    b.erase(it);
    return TRUE;
}

ZOLAPI FloatControlState GetFloatControl() {
    FloatControlState s{};
#if defined(__x86_64__) || defined(__i386__)
    __asm__ volatile("fnstcw %0" : "=m"(s.x87));
    __asm__ volatile("stmxcsr %0" : "=m"(s.mxcsr));
#endif
    return s;
}

ZOLAPI void SetFloatControl(FloatControlState s) {
#if defined(__x86_64__) || defined(__i386__)
    __asm__ volatile("fldcw %0" : : "m"(s.x87));
    // The six exception flags are status, not control; keep the current ones.
    uint32_t now;
    __asm__ volatile("stmxcsr %0" : "=m"(now));
    uint32_t value = (s.mxcsr & ~0x3Fu) | (now & 0x3Fu);
    __asm__ volatile("ldmxcsr %0" : : "m"(value));
#endif
}

ZOLAPI void ClearFloatExceptions() {
#if defined(__x86_64__) || defined(__i386__)
    __asm__ volatile("fnclex");
    uint32_t now;
    __asm__ volatile("stmxcsr %0" : "=m"(now));
    now &= ~0x3Fu;
    __asm__ volatile("ldmxcsr %0" : : "m"(now));
#endif
}
