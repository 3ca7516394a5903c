#include "host/core/handles.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>
#include <unordered_map>

namespace zolhost::handles {

namespace {

struct Block {
    std::unique_ptr<uint8_t[]> data;
    uint64_t size = 0;
    int locks = 0;
};

struct Table {
    std::unordered_map<uintptr_t, Block> blocks;
    // Keys step by 16 so they look like aligned addresses to a plug-in that
    // prints them, and never repeat, so a disposed handle stays unknown.
    uintptr_t next = 0x10;
    bool refuse = [] {
        const char* v = std::getenv("ZOLHOST_REFUSE_HANDLES");
        return v && std::string_view(v) == "1";
    }();
};

Table& table() {
    static Table t;
    return t;
}

Block* find(PF_Handle h) {
    if (!h) return nullptr;
    auto& blocks = table().blocks;
    auto it = blocks.find(reinterpret_cast<uintptr_t>(h));
    return it == blocks.end() ? nullptr : &it->second;
}

PF_Handle add(uint64_t size) {
    if (size > kMaxHandleSize) return nullptr;
    try {
        Block b;
        // A zero-byte handle still locks to a valid address.
        b.data.reset(new uint8_t[size ? size : 1]());
        b.size = size;
        Table& t = table();
        uintptr_t key = t.next;
        t.next += 0x10;
        t.blocks.emplace(key, std::move(b));
        return reinterpret_cast<PF_Handle>(key);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace

PF_Handle newHandle(uint64_t size) {
    if (table().refuse) return nullptr;
    return add(size);
}

PF_Handle newHostHandle(const std::vector<uint8_t>& bytes) {
    PF_Handle h = add(bytes.size());
    if (h && !bytes.empty()) std::memcpy(find(h)->data.get(), bytes.data(), bytes.size());
    return h;
}

void* lock(PF_Handle h) {
    Block* b = find(h);
    if (!b) return nullptr;
    ++b->locks;
    return b->data.get();
}

void unlock(PF_Handle h) {
    if (Block* b = find(h); b && b->locks > 0) --b->locks;
}

void dispose(PF_Handle h) {
    if (h) table().blocks.erase(reinterpret_cast<uintptr_t>(h));
}

uint64_t size(PF_Handle h) {
    Block* b = find(h);
    return b ? b->size : 0;
}

bool isLive(PF_Handle h) { return find(h) != nullptr; }

std::vector<uint8_t> bytes(PF_Handle h) {
    Block* b = find(h);
    if (!b) return {};
    return std::vector<uint8_t>(b->data.get(), b->data.get() + b->size);
}

size_t liveCount() { return table().blocks.size(); }

int lockCount(PF_Handle h) {
    Block* b = find(h);
    return b ? b->locks : 0;
}

void setRefuse(bool refuse) { table().refuse = refuse; }
bool refusing() { return table().refuse; }

}  // namespace zolhost::handles
