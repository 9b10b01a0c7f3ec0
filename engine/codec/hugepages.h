#pragma once
#include <cstddef>

// Large buffers filled once from start to end (a loaded source, a document's text and
// pieces) are written into fresh memory, and each first write to a page costs a fault;
// where the system offers large pages on request, asking for them cuts those faults by
// hundreds. A hint only: what it cannot apply changes nothing.
namespace engine {

void preferLargePages(const void *data, std::size_t bytes);

}  // namespace engine
