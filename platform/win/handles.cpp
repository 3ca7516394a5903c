// One table of live objects for the whole process. A handle packs the slot,
// a generation and the kind, so a released handle, a handle of another kind
// or an invented number never reaches an object.
#include "platform/win/winapi.h"

#include <vector>

namespace {

constexpr uint32_t kSlotBits = 20;
constexpr uint32_t kGenBits = 8;
constexpr uint32_t kSlotMask = (1u << kSlotBits) - 1;
constexpr uint32_t kGenMask = (1u << kGenBits) - 1;
constexpr uint32_t kMaxSlots = kSlotMask;  // slot numbers are 1-based

struct Slot {
    void* object = nullptr;
    uint32_t kind = 0;  // 0: free
    uint32_t generation = 1;
};

struct Table {
    std::vector<Slot> slots;
    std::vector<uint32_t> freeList;
    uint32_t counts[16] = {};
};

Table& table() {
    static Table t;
    return t;
}

uint32_t encode(uint32_t slot, uint32_t gen, uint32_t kind) {
    return (slot + 1) | (gen << kSlotBits) | (kind << (kSlotBits + kGenBits));
}

Slot* find(ZolHandleKind kind, uint32_t handle) {
    if (handle == 0) return nullptr;
    uint32_t slot = (handle & kSlotMask);
    uint32_t gen = (handle >> kSlotBits) & kGenMask;
    uint32_t k = handle >> (kSlotBits + kGenBits);
    Table& t = table();
    if (slot == 0 || slot > t.slots.size() || k != kind) return nullptr;
    Slot& s = t.slots[slot - 1];
    if (s.kind != kind || s.generation != gen) return nullptr;
    return &s;
}

}  // namespace

ZOLAPI uint32_t ZolHandleAdd(ZolHandleKind kind, void* object) {
    if (kind == 0 || kind > 15) return 0;
    Table& t = table();
    uint32_t slot;
    if (!t.freeList.empty()) {
        slot = t.freeList.back();
        t.freeList.pop_back();
    } else {
        if (t.slots.size() >= kMaxSlots) return 0;
        try {
            t.slots.emplace_back();
        } catch (...) {
            return 0;
        }
        slot = static_cast<uint32_t>(t.slots.size() - 1);
    }
    Slot& s = t.slots[slot];
    s.object = object;
    s.kind = kind;
    ++t.counts[kind];
    return encode(slot, s.generation, kind);
}

ZOLAPI void* ZolHandleGet(ZolHandleKind kind, uint32_t handle) {
    Slot* s = find(kind, handle);
    return s ? s->object : nullptr;
}

ZOLAPI void* ZolHandleRemove(ZolHandleKind kind, uint32_t handle) {
    Slot* s = find(kind, handle);
    if (!s) return nullptr;
    void* object = s->object;
    s->object = nullptr;
    s->kind = 0;
    // Generation 0 is never issued, so a wrapped counter starts again at 1.
    s->generation = (s->generation % kGenMask) + 1;
    Table& t = table();
    --t.counts[kind];
    try {
        t.freeList.push_back(static_cast<uint32_t>(s - t.slots.data()));
    } catch (...) {
        // The slot is lost to reuse, which is harmless.
    }
    return object;
}

ZOLAPI uint32_t ZolHandleCount(ZolHandleKind kind) {
    return kind < 16 ? table().counts[kind] : 0;
}
