// The ordinary build of the store benchmark: its allocations stay on the system's heap.
#include "bump_heap.h"

namespace lumatrove::bench {

void BeginBumpScope() {}
void EndBumpScope() {}

}  // namespace lumatrove::bench
