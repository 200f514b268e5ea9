// Large heap pages for the runner.
#include "cli/kv_heap_pages.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace kv {

namespace {

constexpr std::size_t kStep = std::size_t{256} << 20;  // the heap grows by this much at once
constexpr std::uintptr_t kHugePage = std::uintptr_t{2} << 20;

// Whether the kernel gives huge pages to regions that ask ("madvise" or "always" mode).
bool HugePagesOnRequest() {
  std::FILE* f = std::fopen("/sys/kernel/mm/transparent_hugepage/enabled", "r");
  if (f == nullptr) return false;
  char mode[128] = {};
  const bool read = std::fgets(mode, sizeof mode, f) != nullptr;
  std::fclose(f);
  return read &&
         (std::strstr(mode, "[madvise]") != nullptr || std::strstr(mode, "[always]") != nullptr);
}

}  // namespace

void MergeFreedHeapBlocks() { mallopt(M_MXFAST, 0); }

void RequestLargeHeapPages() {
  if (!HugePagesOnRequest()) return;
  // The heap grows in steps of kStep and never gives its top back, so the region asked for
  // below stays the heap's: a region it gained later would not carry the request.
  if (mallopt(M_TOP_PAD, static_cast<int>(kStep)) == 0) return;
  if (mallopt(M_TRIM_THRESHOLD, static_cast<int>(2 * kStep)) == 0) return;
  // Small blocks (below the size malloc maps on its own) until the heap takes a step.
  constexpr std::size_t kBlock = 64 << 10;
  constexpr int kMaxBlocks = 64;
  void* blocks[kMaxBlocks] = {};
  const void* before = sbrk(0);
  int count = 0;
  while (count < kMaxBlocks && sbrk(0) == before) {
    blocks[count] = malloc(kBlock);
    if (blocks[count] == nullptr) break;
    ++count;
  }
  const bool stepped = sbrk(0) != before;  // else the blocks came from elsewhere
  const auto low = reinterpret_cast<std::uintptr_t>(count > 0 ? blocks[0] : nullptr);
  const auto high = reinterpret_cast<std::uintptr_t>(sbrk(0));
  for (int i = 0; i < count; ++i) free(blocks[i]);
  if (!stepped || low == 0 || high <= low) return;
  // From the huge page the heap's first block lies in; any unmapped part below is skipped.
  const std::uintptr_t start = low & ~(kHugePage - 1);
  madvise(reinterpret_cast<void*>(start), high - start, MADV_HUGEPAGE);
}

}  // namespace kv
