// The run-time library's generator. One state for the whole process, because
// the effects' output depends on the exact sequence of calls across modules.
#include "platform/win/winapi.h"

namespace {
uint32_t g_state = 1;
}

extern "C" __attribute__((visibility("default"))) void zol_crt_srand(unsigned int seed) {
    g_state = seed;
}

extern "C" __attribute__((visibility("default"))) int zol_crt_rand() {
    g_state = g_state * 214013u + 2531011u;
    return static_cast<int>((g_state >> 16) & 0x7FFFu);
}
