#pragma once

namespace claimcheck {

// Waits `seconds` while dispatching every pending event, so other handlers run nested inside the wait and to
// their end. Measured on a monotonic clock (midnight does not matter); sleeps in the event loop between events.
void PumpedPause(double seconds);

} // namespace claimcheck
