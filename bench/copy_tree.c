/* SPDX-License-Identifier: GPL-3.0-or-later */
/* The copy limit for bench/image_tool.py: copies SOURCE to DESTINATION (which must not exist) with
 * copy_file_range, file by file, keeping symbolic links as links, then flushes everything it wrote.
 *   copy_tree SOURCE DESTINATION */
#define _GNU_SOURCE
#include <fcntl.h>
#include <ftw.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

static size_t source_length;
static const char* destination;

static int fail(const char* what, const char* path)
{
    fprintf(stderr, "copy_tree: %s %s: ", what, path);
    perror(NULL);
    exit(1);
}

static int copy_entry(const char* path, const struct stat* st, int type, struct FTW* walk)
{
    (void)walk;
    char target[PATH_MAX];
    snprintf(target, sizeof target, "%s%s", destination, path + source_length);
    if (type == FTW_D) {
        if (mkdir(target, 0755) != 0)
            fail("cannot make", target);
    } else if (type == FTW_SL) {
        char link[PATH_MAX];
        const ssize_t n = readlink(path, link, sizeof link - 1);
        if (n < 0)
            fail("cannot read", path);
        link[n] = '\0';
        if (symlink(link, target) != 0)
            fail("cannot make", target);
    } else if (type == FTW_F) {
        const int in = open(path, O_RDONLY);
        const int out = open(target, O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (in < 0 || out < 0)
            fail("cannot copy", path);
        for (off_t left = st->st_size; left > 0;) {
            const ssize_t n = copy_file_range(in, NULL, out, NULL, (size_t)left, 0);
            if (n <= 0)
                fail("cannot copy", path);
            left -= n;
        }
        close(in);
        close(out);
    }
    return 0;
}

int main(int argc, char** argv)
{
    if (argc != 3) {
        fprintf(stderr, "usage: copy_tree SOURCE DESTINATION\n");
        return 2;
    }
    source_length = strlen(argv[1]);
    destination = argv[2];
    if (nftw(argv[1], copy_entry, 64, FTW_PHYS) != 0)
        return 1;
    sync();
    return 0;
}
