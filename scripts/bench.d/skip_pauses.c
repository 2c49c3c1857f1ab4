/* Preloaded into the programs that scripts/bench times, so that the figures
 * hold only their own cost and not the pauses the setup program makes on
 * purpose (2 s at the end of the work, 1 s after each netsh command, 0.5 s
 * in the rollback and before the library removal, 1.5 s per notice).
 *
 *  - A sleep of 500 ms or more (nanosleep, clock_nanosleep, usleep, sleep)
 *    returns at once, as if it had run its course. Shorter sleeps (the
 *    10 ms command waits, the pauses between retries) are left alone.
 *  - With BENCH_SKIP_TIMERS=1, a toolkit timer of 500 ms or more (the
 *    layer's SetTimer) fires at the first turn of the event loop instead:
 *    a silent run's notices close at once. Not for a wizard run, whose
 *    one-second page timer counts the elapsed time.
 *
 * Nothing else changes: no clock is moved, every other call goes through.
 */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdlib.h>
#include <time.h>
#include <unistd.h>

#define PAUSE_NS 500000000LL

static long long to_ns(const struct timespec *ts) {
  return (long long)ts->tv_sec * 1000000000LL + ts->tv_nsec;
}

static int is_pause(const struct timespec *ts) { return ts && to_ns(ts) >= PAUSE_NS; }

int nanosleep(const struct timespec *req, struct timespec *rem) {
  static int (*real)(const struct timespec *, struct timespec *);
  if (is_pause(req)) {
    if (rem) rem->tv_sec = rem->tv_nsec = 0;
    return 0;
  }
  if (!real) real = (int (*)(const struct timespec *, struct timespec *))dlsym(RTLD_NEXT, "nanosleep");
  return real(req, rem);
}

int clock_nanosleep(clockid_t clock, int flags, const struct timespec *req, struct timespec *rem) {
  static int (*real)(clockid_t, int, const struct timespec *, struct timespec *);
  if (req) {
    long long wait = to_ns(req);
    if (flags & TIMER_ABSTIME) {
      struct timespec now;
      clock_gettime(clock, &now);
      wait -= to_ns(&now);
    }
    if (wait >= PAUSE_NS) {
      if (rem && !(flags & TIMER_ABSTIME)) rem->tv_sec = rem->tv_nsec = 0;
      return 0;
    }
  }
  if (!real) real = (int (*)(clockid_t, int, const struct timespec *, struct timespec *))dlsym(RTLD_NEXT, "clock_nanosleep");
  return real(clock, flags, req, rem);
}

int usleep(useconds_t usec) {
  struct timespec ts = {(time_t)(usec / 1000000), (long)(usec % 1000000) * 1000};
  return nanosleep(&ts, NULL);
}

unsigned int sleep(unsigned int seconds) {
  struct timespec ts = {(time_t)seconds, 0};
  return nanosleep(&ts, NULL) == 0 ? 0 : seconds;
}

/* QTimer::setInterval(int) of Qt 6. */
void _ZN6QTimer11setIntervalEi(void *timer, int msec) {
  static void (*real)(void *, int);
  static int skip = -1;
  if (skip < 0) {
    const char *value = getenv("BENCH_SKIP_TIMERS");
    skip = value && value[0] == '1';
  }
  if (!real) {
    real = (void (*)(void *, int))dlvsym(RTLD_NEXT, "_ZN6QTimer11setIntervalEi", "Qt_6");
    if (!real) real = (void (*)(void *, int))dlsym(RTLD_NEXT, "_ZN6QTimer11setIntervalEi");
  }
  real(timer, skip && msec >= 500 ? 0 : msec);
}
