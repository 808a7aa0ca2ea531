#include "script/event_storage.h"

#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <new>

// Under AddressSanitizer free and never used slots are poisoned, so that a use of an event after
// its deletion is still caught.
#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define EVENT_STORAGE_POISON(at, size) ASAN_POISON_MEMORY_REGION(at, size)
#define EVENT_STORAGE_UNPOISON(at, size) ASAN_UNPOISON_MEMORY_REGION(at, size)
#else
#define EVENT_STORAGE_POISON(at, size) ((void)(at), (void)(size))
#define EVENT_STORAGE_UNPOISON(at, size) ((void)(at), (void)(size))
#endif

namespace event_storage {
namespace {

// Blocks are aligned to their own size, so a slot finds its block by masking its address.
constexpr std::size_t kBlockSize = std::size_t{1} << 19; // 512 KiB, about 1,500 events

struct Block;

struct FreeSlot {
    FreeSlot* next;
};

struct Block {
    FreeSlot* free = nullptr; // slots given back
    std::size_t unused = 0;   // offset of the first slot never handed out
    std::size_t live = 0;     // slots handed out and not given back
    Block* prev = nullptr;    // in the list of blocks with room
    Block* next = nullptr;
    bool listed = false;
    bool spare = false; // every slot free, kept for the next script
};

constexpr std::size_t kFirstSlot = (sizeof(Block) + 63) / 64 * 64;

// Events are made by the reader, the editors and the clipboard, and may be dropped by another
// thread than the one that made them: one lock guards the lists.
std::mutex lock;
Block* withRoom = nullptr; // blocks with a free or unused slot, most recent first
std::size_t blocks = 0;
std::size_t spares = 0;
// Empty blocks kept rather than given back: enough for the largest script (51,000 events), so
// that closing it and opening the next does not hand all its pages to the kernel and fault
// them back in.
constexpr std::size_t kSpareBlocks = 40;

Block* BlockOf(void* slot) {
    return reinterpret_cast<Block*>(reinterpret_cast<std::uintptr_t>(slot) & ~(kBlockSize - 1));
}

void Link(Block* block) {
    block->prev = nullptr;
    block->next = withRoom;
    if (withRoom)
        withRoom->prev = block;
    withRoom = block;
    block->listed = true;
}

void Unlink(Block* block) {
    if (block->prev)
        block->prev->next = block->next;
    else
        withRoom = block->next;
    if (block->next)
        block->next->prev = block->prev;
    block->prev = block->next = nullptr;
    block->listed = false;
}

} // namespace

void* Allocate(std::size_t size) {
    if (size > kSlotSize)
        return ::operator new(size);
    std::lock_guard<std::mutex> guard(lock);
    Block* block = withRoom;
    if (!block) {
        void* memory = std::aligned_alloc(kBlockSize, kBlockSize);
        if (!memory)
            throw std::bad_alloc();
        block = new (memory) Block;
        block->unused = kFirstSlot;
        EVENT_STORAGE_POISON(reinterpret_cast<char*>(block) + kFirstSlot, kBlockSize - kFirstSlot);
        ++blocks;
        Link(block);
    }
    void* slot;
    if (block->free) {
        slot = block->free;
        EVENT_STORAGE_UNPOISON(slot, kSlotSize);
        block->free = block->free->next;
    } else {
        slot = reinterpret_cast<char*>(block) + block->unused;
        EVENT_STORAGE_UNPOISON(slot, kSlotSize);
        block->unused += kSlotSize;
    }
    ++block->live;
    if (block->spare) {
        block->spare = false;
        --spares;
    }
    if (!block->free && block->unused + kSlotSize > kBlockSize)
        Unlink(block);
    return slot;
}

void Release(void* slot, std::size_t size) noexcept {
    if (!slot)
        return;
    if (size > kSlotSize) {
        ::operator delete(slot);
        return;
    }
    std::lock_guard<std::mutex> guard(lock);
    Block* block = BlockOf(slot);
    auto* entry = static_cast<FreeSlot*>(slot);
    entry->next = block->free;
    block->free = entry;
    EVENT_STORAGE_POISON(slot, kSlotSize);
    --block->live;
    if (block->live == 0) {
        if (spares >= kSpareBlocks) {
            if (block->listed)
                Unlink(block);
            EVENT_STORAGE_UNPOISON(block, kBlockSize);
            block->~Block();
            std::free(block);
            --blocks;
            return;
        }
        block->spare = true;
        ++spares;
    }
    if (!block->listed)
        Link(block);
}

std::size_t BlockCount() {
    std::lock_guard<std::mutex> guard(lock);
    return blocks;
}

} // namespace event_storage
