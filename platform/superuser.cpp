#include "system.h"

#include <QtGlobal>

#if defined(Q_OS_UNIX)
#include <unistd.h>
#endif

namespace claimcheck::platform {

bool runsAsSuperuser() {
#if defined(Q_OS_UNIX)
    return geteuid() == 0;
#else
    return false;
#endif
}

} // namespace claimcheck::platform
