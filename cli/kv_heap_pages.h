// The runner's heap: large pages where the system hands them out on request.
#pragma once

namespace kv {

// Compiling a large source fills tens of megabytes of fresh heap, and touching each new
// 4 KB page costs a fault that, in virtual machines especially, takes as long as the work
// done on it. Where transparent huge pages are given on request, the heap is made to grow
// in large steps that are asked for as huge pages, so one fault serves 2 MB. Elsewhere, or
// when any step fails, the heap is left as it was. Call once, first thing in main().
void RequestLargeHeapPages();

}  // namespace kv
