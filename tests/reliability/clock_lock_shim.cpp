// For the thread-checked build only. libstdc++ waits on a timed mutex with
// pthread_mutex_clocklock (the steady clock), a call the thread checker of
// gcc 12 and clang 14 does not intercept: it would never see the processing
// lock taken and would report every block as a race with everything it
// guards. The program that loads the plug-in defines the call itself (its
// definition comes first in the symbol search, the plug-in's included) and
// waits with pthread_mutex_timedlock, which the checker does intercept, until
// the same moment on the realtime clock.
#include <pthread.h>
#include <time.h>

extern "C" int pthread_mutex_clocklock(pthread_mutex_t* mutex, clockid_t clock, const struct timespec* deadline) {
  timespec now{}, real{};
  clock_gettime(clock, &now);
  clock_gettime(CLOCK_REALTIME, &real);
  long long ns = (deadline->tv_sec - now.tv_sec) * 1000000000LL + (deadline->tv_nsec - now.tv_nsec);
  if (ns < 0) ns = 0;
  ns += real.tv_nsec;
  real.tv_sec += static_cast<time_t>(ns / 1000000000LL);
  real.tv_nsec = static_cast<long>(ns % 1000000000LL);
  return pthread_mutex_timedlock(mutex, &real);
}
