#pragma once

namespace vorelia::platform {

// Suspends the calling thread; no events are processed meanwhile. Negative values count as 0.
void SleepMilliseconds(int milliseconds);

}  // namespace vorelia::platform
