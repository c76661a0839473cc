#pragma once

#include <cstddef>
#include <vector>

// Memory for the large arrays of a long proof: from 2 MB up mapped whole, and in large pages where
// the system has them (Linux, on request), since touching memory 4 KB at a time costs more than
// writing it; below that, and on systems without mappings (WebAssembly), from the heap. Either way
// aligned to 4 KB and not cleared: pages are touched only as they are written.
void* AllocateLarge(std::size_t bytes);
// REQUIRES: bytes as allocated.
void FreeLarge(void* memory, std::size_t bytes);

template <typename T>
struct LargePageAllocator {
  using value_type = T;
  LargePageAllocator() = default;
  template <typename U>
  explicit LargePageAllocator(const LargePageAllocator<U>& /*other*/) {}
  T* allocate(std::size_t count) { return static_cast<T*>(AllocateLarge(count * sizeof(T))); }
  void deallocate(T* memory, std::size_t count) { FreeLarge(memory, count * sizeof(T)); }
  bool operator==(const LargePageAllocator& /*other*/) const { return true; }
};

template <typename T>
using LargeVector = std::vector<T, LargePageAllocator<T>>;
