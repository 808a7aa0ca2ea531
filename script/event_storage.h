// Storage for the events of the open scripts: fixed-size slots carved from large blocks, so
// that a script of tens of thousands of events is not tens of thousands of separate heap
// allocations (opening and closing the largest script spent most of its time in the general
// allocator, and the process handed the same pages back and forth with the kernel).
#pragma once

#include <cstddef>

namespace event_storage {

// Room for `size` bytes: a slot when it fits one, else the general heap; throws
// std::bad_alloc when none can be had.
void* Allocate(std::size_t size);
// Gives back what Allocate gave for the same `size`. A block whose slots are all free is
// kept for the next script while few are kept, else released.
void Release(void* slot, std::size_t size) noexcept;

// The slot size: room for one event.
inline constexpr std::size_t kSlotSize = 336;

// Blocks held now (for tests).
std::size_t BlockCount();

} // namespace event_storage
