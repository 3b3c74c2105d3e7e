#pragma once

namespace lv::cli {

// Prepares the heap of a short run that touches a lot of memory once (a maximum tunnel, some
// 25 MB): grown in one step and backed by 2 MB pages where the system offers them, large blocks
// included. Does nothing where that is not available; call first thing in main().
void prepareHeapForLargeRun();

} // namespace lv::cli
