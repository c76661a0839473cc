#include "proof/LargePages.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace {

constexpr std::size_t pageBytes = 4096;

bool Mapped(std::size_t bytes) {
#if defined(__linux__)
  return bytes >= (std::size_t{2} << 20);
#else
  (void)bytes;
  return false;
#endif
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
  if (bytes == 0) {
    bytes = 1;
  }
  void* memory = nullptr;
  if (Mapped(bytes)) {
#if defined(__linux__)
    memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) {
      throw std::bad_alloc();
    }
#if defined(MADV_HUGEPAGE)
    (void)madvise(memory, bytes, MADV_HUGEPAGE);  // only advice: small pages serve as well
#endif
#endif
  } else {
    memory = std::aligned_alloc(pageBytes, (bytes + pageBytes - 1) / pageBytes * pageBytes);
    if (memory == nullptr) {
      throw std::bad_alloc();
    }
  }
  return memory;
}

void FreeLarge(void* memory, std::size_t bytes) {
  if (memory == nullptr) {
    return;
  }
  if (bytes == 0) {
    bytes = 1;
  }
  if (Mapped(bytes)) {
#if defined(__linux__)
    munmap(memory, bytes);
#endif
  } else {
    std::free(memory);
  }
}
