/* calls_floor FOLDER LOG
 *
 * A reference for the tree-removal rows, not a floor of the table: removes
 * FOLDER's tree making, for each file, the host system calls that the
 * Windows calls the setup program makes per file need on the layer, and
 * nothing else. Per file the program calls _stat, SetFileAttributesA
 * (FILE_ATTRIBUTE_NORMAL), DeleteFileA and writes two log lines, each
 * followed by GetFileSize; on the host that is:
 *
 *   statx (the _stat)
 *   statx, removexattr (the attributes: the name looked up, the stored
 *     attributes cleared)
 *   statx, unlink (the delete: the name looked up, the file removed)
 *   write, statx (size) twice (the log, opened for appending)
 *
 * The listing's data (statx and the stored attributes of each entry) is
 * read on a second thread, as the layer does. The layer also holds each
 * file across its unlink and closes it on a third thread; that costs more
 * here than it saves, so the cheaper way is taken. A folder is removed
 * after its entries (statx, rmdir). Prints nothing; the caller times it.
 */
#define _GNU_SOURCE
#include <dirent.h>
#include <fcntl.h>
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#ifndef SYS_removexattrat
#define SYS_removexattrat 466
#endif

static const char kAttr[] = "user.winsim.attrib";
static int log_fd = -1;
static char line[128];

/* The listing's data, read ahead on a thread of its own. */
struct listing {
  int dfd;
  const char *path;
  char **names;
  size_t count;
};

static void *describe(void *arg) {
  const struct listing *l = arg;
  char full[8192];
  char value[64];
  struct statx sx;
  for (size_t i = 0; i < l->count; ++i) {
    statx(l->dfd, l->names[i], AT_SYMLINK_NOFOLLOW, STATX_ALL, &sx);
    snprintf(full, sizeof full, "%s/%s", l->path, l->names[i]);
    (void)lgetxattr(full, kAttr, value, sizeof value);
  }
  return NULL;
}

static void log_line(void) {
  struct statx sx;
  if (write(log_fd, line, sizeof line - 1) < 0) exit(1);
  statx(log_fd, "", AT_EMPTY_PATH, STATX_SIZE, &sx);
}

static void remove_tree(const char *path) {
  int dfd = open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd < 0) return;
  DIR *dir = fdopendir(dup(dfd));
  if (!dir) exit(1);
  struct listing l = {dfd, path, NULL, 0};
  size_t capacity = 0;
  struct dirent *e;
  while ((e = readdir(dir))) {
    if (!strcmp(e->d_name, ".") || !strcmp(e->d_name, "..")) continue;
    if (l.count == capacity) {
      capacity = capacity ? capacity * 2 : 64;
      l.names = realloc(l.names, capacity * sizeof *l.names);
      if (!l.names) exit(1);
    }
    l.names[l.count++] = strdup(e->d_name);
  }
  closedir(dir);
  pthread_t describer;
  if (pthread_create(&describer, NULL, describe, &l) != 0) exit(1);
  struct statx sx;
  for (size_t i = 0; i < l.count; ++i) {
    const char *name = l.names[i];
    statx(dfd, name, AT_SYMLINK_NOFOLLOW, STATX_ALL, &sx);
    if (S_ISDIR(sx.stx_mode)) {
      char sub[8192];
      snprintf(sub, sizeof sub, "%s/%s", path, name);
      remove_tree(sub);
      statx(dfd, name, AT_SYMLINK_NOFOLLOW, STATX_ALL, &sx);
      unlinkat(dfd, name, AT_REMOVEDIR);
      log_line();
      continue;
    }
    log_line();
    statx(dfd, name, AT_SYMLINK_NOFOLLOW, STATX_ALL, &sx);
    syscall(SYS_removexattrat, dfd, name, AT_SYMLINK_NOFOLLOW, kAttr);
    statx(dfd, name, AT_SYMLINK_NOFOLLOW, STATX_ALL, &sx);
    unlinkat(dfd, name, 0);
    log_line();
  }
  pthread_join(describer, NULL);
  for (size_t i = 0; i < l.count; ++i) free(l.names[i]);
  free(l.names);
  close(dfd);
}

int main(int argc, char **argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: calls_floor FOLDER LOG\n");
    return 2;
  }
  log_fd = open(argv[2], O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (log_fd < 0) {
    perror(argv[2]);
    return 2;
  }
  /* A line as long as the program's, with its CR LF. */
  memset(line, 'x', sizeof line);
  line[sizeof line - 3] = '\r';
  line[sizeof line - 2] = '\n';
  remove_tree(argv[1]);
  struct statx sx;
  statx(AT_FDCWD, argv[1], AT_SYMLINK_NOFOLLOW, STATX_ALL, &sx);
  rmdir(argv[1]);
  return 0;
}
