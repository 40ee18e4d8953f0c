#pragma once

namespace core {

// Keeps freed full-frame bitmaps in the process for reuse. By default the C library hands
// every large block back to the system when it is freed, so each new frame-sized bitmap
// is faulted in page by page again; on some machines that costs tens of milliseconds per
// 1920 x 1080 bitmap, which a transition pays several times per picture change.
// Programs call this once at start.
void KeepLargeAllocations();

}  // namespace core
