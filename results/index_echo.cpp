#include "trevask.h"

namespace claimcheck {

void trevask::Timer1_Timer() {}

} // namespace claimcheck
