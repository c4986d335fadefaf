#pragma once

#include <functional>

namespace claimcheck {

// Waits `seconds` while dispatching every pending event, so other handlers run nested inside the wait and to
// their end. Measured on a monotonic clock (midnight does not matter); sleeps in the event loop between events.
// When `endsEarly` is given, the wait also ends as soon as it answers true after events were dispatched.
void pumpedPause(double seconds, const std::function<bool()>& endsEarly = {});

} // namespace claimcheck
