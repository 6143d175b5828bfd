/*
 * PCE.EXE stand-in for the launcher's tests on Linux: records how it was started, then exits 0
 * (after DIDOR_STANDIN_SLEEP seconds, when that is set). It writes $DIDOR_LOG/run.<pid>.log,
 * first as run.<pid>.log.part, renamed when complete so that a reader never sees half a file.
 * One field per line, values byte for byte but for the escapes \\ \n \r \t:
 *   argc=<n>
 *   argv[i]=<argument i>, i = 0..n-1
 *   cwd=<the working directory; empty when it has none>
 *   opened=<1 if the last argument could be opened for reading, else 0>
 *   session=<1 if the stand-in leads a session of its own>
 *   blocked=<1 if any signal is blocked>, ignored=<1 if any signal is ignored>
 */
#define _GNU_SOURCE
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

static void field(FILE *log, const char *name, const char *value)
{
    fputs(name, log);
    for (; value && *value; ++value) {
        const char c = *value;
        if (c == '\\' || c == '\n' || c == '\r' || c == '\t')
            fputc('\\', log), fputc(c == '\\' ? '\\' : c == '\n' ? 'n' : c == '\r' ? 'r' : 't', log);
        else
            fputc(c, log);
    }
    fputc('\n', log);
}

int main(int argc, char **argv)
{
    const char *folder = getenv("DIDOR_LOG");
    char path[4096], part[4106], name[32], *cwd = getcwd(NULL, 0);
    int i, blocked = 0, ignored = 0, opened = 0;
    sigset_t mask;
    FILE *log;
    if (!folder)
        return 0;
    if (argc > 1) {
        const int file = open(argv[argc - 1], O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        opened = file >= 0 && close(file) == 0;
    }
    sigprocmask(SIG_SETMASK, NULL, &mask);
    for (i = 1; i < NSIG; ++i) {
        struct sigaction action;
        blocked |= sigismember(&mask, i) == 1;
        ignored |= sigaction(i, NULL, &action) == 0 && action.sa_handler == SIG_IGN;
    }
    snprintf(path, sizeof path, "%s/run.%d.log", folder, (int)getpid());
    snprintf(part, sizeof part, "%s.part", path);
    if (!(log = fopen(part, "w")))
        return 1;
    fprintf(log, "argc=%d\n", argc);
    for (i = 0; i < argc; ++i) {
        snprintf(name, sizeof name, "argv[%d]=", i);
        field(log, name, argv[i]);
    }
    field(log, "cwd=", cwd);
    fprintf(log, "opened=%d\nsession=%d\nblocked=%d\nignored=%d\n", opened,
            getsid(0) == getpid(), blocked, ignored);
    if (fclose(log) != 0 || rename(part, path) != 0)
        return 1;
    if (getenv("DIDOR_STANDIN_SLEEP"))
        sleep((unsigned)atoi(getenv("DIDOR_STANDIN_SLEEP")));
    return 0;
}
