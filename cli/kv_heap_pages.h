// The runner's heap: large pages where the system hands them out on request, and freed
// blocks that merge with their neighbours.
#pragma once

namespace kv {

// Compiling a large source fills tens of megabytes of fresh heap, and touching each new
// 4 KB page costs a fault that, in virtual machines especially, takes as long as the work
// done on it. Where transparent huge pages are given on request, the heap is made to grow
// in large steps that are asked for as huge pages, so one fault serves 2 MB. Elsewhere, or
// when any step fails, the heap is left as it was. Call once, first thing in main().
void RequestLargeHeapPages();

// A compile frees the parser's document element by element while it builds the program,
// whose objects are larger than the document's elements. Small freed blocks are kept out
// of the allocator's unmerged lists, so that they merge and the program reuses the
// document's memory instead of growing the heap beside it (a tenth less peak memory).
// Call once, first thing in main().
void MergeFreedHeapBlocks();

}  // namespace kv
