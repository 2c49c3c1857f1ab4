/* timed_run CAP OUT [-C DIR] [NAME=VALUE ...] PROGRAM [ARG ...]
 *
 * Starts PROGRAM (in DIR, with the variables given added to the
 * environment), waits for it to end, and appends to OUT the milliseconds
 * from just before the start to just after the end, with three decimals.
 * Timing from the benchmark's shell would also count the shell copying
 * itself for the child, some milliseconds on a slow machine: here the
 * child is started with posix_spawn, which does not copy the parent.
 *
 * A run longer than CAP seconds is stopped with everything it started (it
 * runs in a process group of its own); CAP * 1000 is appended and the file
 * OUT.capped is created, so the figure shows as a lower bound.
 *
 * PROGRAM's standard output and error go to /dev/null. The exit status is
 * 0 whatever the program's, 2 when the program could not be started.
 */
#define _GNU_SOURCE
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

extern char **environ;

static double now_ms(void) {
  struct timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (double)ts.tv_sec * 1000.0 + (double)ts.tv_nsec / 1e6;
}

static volatile sig_atomic_t alarm_rang = 0;
static void ring(int sig) {
  (void)sig;
  alarm_rang = 1;
}

static void append(const char *path, const char *text) {
  FILE *f = fopen(path, "a");
  if (!f) return;
  fputs(text, f);
  fclose(f);
}

int main(int argc, char **argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: timed_run CAP OUT [-C DIR] [NAME=VALUE ...] PROGRAM [ARG ...]\n");
    return 2;
  }
  const double cap_ms = atof(argv[1]) * 1000.0;
  const char *out = argv[2];
  int i = 3;
  if (i + 1 < argc && strcmp(argv[i], "-C") == 0) {
    if (chdir(argv[i + 1]) != 0) {
      perror(argv[i + 1]);
      return 2;
    }
    i += 2;
  }
  for (; i < argc && strchr(argv[i], '=') && argv[i][0] != '/' && argv[i][0] != '.'; ++i) putenv(argv[i]);
  if (i >= argc) return 2;

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP);

  struct sigaction on_alarm;
  memset(&on_alarm, 0, sizeof on_alarm);
  on_alarm.sa_handler = ring; /* no SA_RESTART: waitpid returns EINTR */
  sigaction(SIGALRM, &on_alarm, NULL);
  struct itimerval cap = {{0, 0}, {(time_t)(cap_ms / 1000), (suseconds_t)((long long)cap_ms % 1000) * 1000}};

  const double start = now_ms();
  setitimer(ITIMER_REAL, &cap, NULL);
  pid_t pid;
  int err = posix_spawnp(&pid, argv[i], &actions, &attr, &argv[i], environ);
  if (err != 0) {
    fprintf(stderr, "timed_run: %s: %s\n", argv[i], strerror(err));
    return 2;
  }
  /* Waits in waitpid; the cap's alarm interrupts it. */
  int status;
  int capped = 0;
  for (;;) {
    pid_t r = waitpid(pid, &status, 0);
    if (r == pid || (r < 0 && errno != EINTR)) break;
    if (alarm_rang) {
      kill(-pid, SIGKILL);
      waitpid(pid, &status, 0);
      capped = 1;
      break;
    }
  }
  const double end = now_ms();

  char line[64];
  if (capped) {
    snprintf(line, sizeof line, "%.3f\n", cap_ms);
    if (strcmp(out, "/dev/null") != 0) {
      char marker[4096];
      snprintf(marker, sizeof marker, "%s.capped", out);
      append(marker, "");
    }
  } else {
    snprintf(line, sizeof line, "%.3f\n", end - start);
  }
  append(out, line);
  return 0;
}
