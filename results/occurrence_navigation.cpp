#include "trevask.h"

namespace claimcheck {

void trevask::List1_Click() {}
void trevask::List2_Click() {}
void trevask::List3_Click() {}

} // namespace claimcheck
