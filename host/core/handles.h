// Host memory handed to plug-ins as PF_Handle. A handle's value is a key into
// the host's table, never a pointer, so a stale or forged handle is refused
// instead of dereferenced. One table serves the whole process because the
// handle callbacks carry no effect reference.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/effect_api/effect_api.h"

namespace zolhost::handles {

// The largest handle the host gives out; larger requests fail as a full
// memory would.
inline constexpr uint64_t kMaxHandleSize = uint64_t{1} << 30;

// What a plug-in gets through host_new_handle: zero-filled bytes, or null
// when the size is too large or the test switch refuses handles.
PF_Handle newHandle(uint64_t size);
// The host's own allocations (sequence data read from a project) are not
// subject to the test switch.
PF_Handle newHostHandle(const std::vector<uint8_t>& bytes);

void* lock(PF_Handle h);  // null for an unknown handle
void unlock(PF_Handle h);
void dispose(PF_Handle h);  // an unknown handle is ignored
uint64_t size(PF_Handle h);  // 0 for a null or unknown handle
bool isLive(PF_Handle h);
std::vector<uint8_t> bytes(PF_Handle h);  // empty for an unknown handle
size_t liveCount();
int lockCount(PF_Handle h);

// The test switch: while on, every host_new_handle fails. It starts on when
// the environment variable ZOLHOST_REFUSE_HANDLES is 1.
void setRefuse(bool refuse);
bool refusing();

}  // namespace zolhost::handles
