// A scope in which the benchmark's allocations cost next to nothing (the bump heap build of
// the store benchmark); in the ordinary build both calls do nothing.
#pragma once

namespace lumatrove::bench {

// From here on, blocks of up to 1 MiB are handed out one after the other from one region,
// which starts over empty: every block of an earlier scope must be gone by now.
void BeginBumpScope();
// Back to the ordinary heap; blocks of the scope stay valid until the next BeginBumpScope.
void EndBumpScope();

}  // namespace lumatrove::bench
