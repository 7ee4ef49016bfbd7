#ifndef PROCESSSTATS_H
#define PROCESSSTATS_H

// What the test process itself uses: processor time, to tell an idle wait
// from a busy loop.

#include <sys/resource.h>

inline double processCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

#endif // PROCESSSTATS_H
