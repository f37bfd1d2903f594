#include "shared_block.h"

#include "capture_session.h"

SharedBlock GetSharedBlock()
{
    // A count without a buffer would send the windows reading through null.
    if (!g_pPCMData || g_iCountOfPCMData <= 0)
        return {g_pPCMData, 0};
    return {g_pPCMData, g_iCountOfPCMData};
}

int GetSharedSamplingRate()
{
    // A stored rate above INT_MAX (a negative setting read back unsigned)
    // turns negative here, which the frequency scale treats as no scale.
    return static_cast<int>(GetCaptureSamplesPerSec());
}
