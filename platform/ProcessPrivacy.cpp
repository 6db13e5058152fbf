#include "ProcessPrivacy.h"

#include <QtGlobal>

#if defined(Q_OS_UNIX)
#include <sys/resource.h>
#endif
#if defined(Q_OS_LINUX)
#include <sys/prctl.h>
#endif

bool KeepMemoryPrivate()
{
    bool ok = true;
#if defined(Q_OS_LINUX)
    // Not dumpable: no core file, no ptrace attach and no /proc/PID/mem for the user's
    // other processes, whatever fs.suid_dumpable and ptrace_scope say.
    ok = ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
#endif
#if defined(Q_OS_UNIX)
    // Also where the above is missing; and the hard limit too, so that nothing later in
    // the process can raise it again.
    const struct rlimit none = {0, 0};
    ok = ::setrlimit(RLIMIT_CORE, &none) == 0 && ok;
#endif
    return ok;
}
