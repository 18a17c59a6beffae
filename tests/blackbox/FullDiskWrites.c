/* Preloaded into Wine's processes, stands in for a disk that fills up while a list file is written:
 * a file named quillmont<N>.txt takes its first 16 bytes, and every write beyond them fails with
 * ENOSPC, as a real full disk does. Other files are written as usual. Built for the host. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/types.h>
#include <unistd.h>

enum { kRoom = 16 };

static int is_list_file(int fd) {
    char link[64], target[4096];
    snprintf(link, sizeof(link), "/proc/self/fd/%d", fd);
    ssize_t n = readlink(link, target, sizeof(target) - 1);
    if (n <= 0)
        return 0;
    target[n] = '\0';
    const char* name = strrchr(target, '/');
    name = name ? name + 1 : target;
    if (strncmp(name, "quillmont", 9) != 0)
        return 0;
    const char* digits = name + 9;
    const char* end = digits;
    while (*end >= '0' && *end <= '9')
        ++end;
    return end > digits && strcmp(end, ".txt") == 0;
}

/* How many of count bytes at offset still fit; -1 with ENOSPC when none do. */
static ssize_t room(off_t offset, size_t count) {
    if (offset < 0 || offset >= kRoom) {
        errno = ENOSPC;
        return -1;
    }
    return (ssize_t)(count < (size_t)(kRoom - offset) ? count : (size_t)(kRoom - offset));
}

ssize_t write(int fd, const void* buffer, size_t count) {
    static ssize_t (*real)(int, const void*, size_t);
    if (!real)
        real = (ssize_t(*)(int, const void*, size_t))dlsym(RTLD_NEXT, "write");
    if (count == 0 || !is_list_file(fd))
        return real(fd, buffer, count);
    ssize_t fits = room(lseek(fd, 0, SEEK_CUR), count);
    return fits < 0 ? -1 : real(fd, buffer, (size_t)fits);
}

ssize_t pwrite(int fd, const void* buffer, size_t count, off_t offset) {
    static ssize_t (*real)(int, const void*, size_t, off_t);
    if (!real)
        real = (ssize_t(*)(int, const void*, size_t, off_t))dlsym(RTLD_NEXT, "pwrite");
    if (count == 0 || !is_list_file(fd))
        return real(fd, buffer, count, offset);
    ssize_t fits = room(offset, count);
    return fits < 0 ? -1 : real(fd, buffer, (size_t)fits, offset);
}

ssize_t pwrite64(int fd, const void* buffer, size_t count, off_t offset) {
    return pwrite(fd, buffer, count, offset);
}
