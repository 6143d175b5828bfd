/* The stand-in emulator for the launch benchmark. The first thing it does is read the monotonic
 * clock, which the benchmark shares, and leave the reading, in nanoseconds, in the file "started"
 * in its current directory. The file is written under another name and renamed, so that the
 * benchmark never reads half a number. */
#include <stdio.h>
#include <time.h>

int main(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    FILE* file = fopen("started.part", "w");
    if (file == NULL)
        return 1;
    fprintf(file, "%lld\n", (long long)now.tv_sec * 1000000000LL + now.tv_nsec);
    if (fclose(file) != 0)
        return 1;
    return rename("started.part", "started") == 0 ? 0 : 1;
}
