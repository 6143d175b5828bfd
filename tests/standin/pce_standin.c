/* The tests' stand-in emulator: logs how it was started to $DIDOR_LOG/run.<pid>.log (written as
 * .part, then renamed) and exits, on Linux after $DIDOR_STANDIN_SLEEP seconds. One field a line,
 * byte for byte (UTF-8 on Windows), control characters and % as %XX: argc, opened (the last
 * argument opens), argv[i], cwd; on Windows commandline, showwindow, flags (of STARTUPINFO);
 * elsewhere session (1 if it leads its own), blocked, ignored. */
#include <stdio.h>
#include <stdlib.h>
#ifdef _WIN32
#include <windows.h>

#include <shellapi.h> /* after windows.h */
#define ARG WCHAR
#else
#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#define ARG char
#endif

static void field(FILE* log, const char* name, const ARG* value)
{
#ifdef _WIN32
    static char bytes[4 * 32768];
    const char* text = bytes;
    WideCharToMultiByte(CP_UTF8, 0, value ? value : L"", -1, bytes, sizeof bytes, NULL, NULL);
#else
    const char* text = value ? value : "";
#endif
    fputs(name, log);
    for (; *text; ++text)
        fprintf(log, (unsigned char)*text < 0x20 || *text == '%' ? "%%%02X" : "%c",
                (unsigned char)*text);
    fputc('\n', log);
}

#ifdef _WIN32
int wmain(void)
{
    static WCHAR folder[32768], cwd[32768], path[32800], part[32806];
    int argc = 0, i, opened = 0;
    WCHAR** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    STARTUPINFOW startup;
    HANDLE file;
    FILE* log;
    if (!GetEnvironmentVariableW(L"DIDOR_LOG", folder, 32768))
        return 0;
    GetStartupInfoW(&startup);
    GetCurrentDirectoryW(32768, cwd);
    file = argc < 2 ? INVALID_HANDLE_VALUE
                    : CreateFileW(argv[argc - 1], GENERIC_READ, 7, NULL, OPEN_EXISTING, 0, NULL);
    opened = file != INVALID_HANDLE_VALUE && CloseHandle(file);
    _snwprintf(path, 32799, L"%ls%ls\\run.%lu.log", folder[0] == '/' ? L"Z:" : L"", folder,
               GetCurrentProcessId());
    _snwprintf(part, 32805, L"%ls.part", path);
    if (!(log = _wfopen(part, L"wb")))
        return 1;
    field(log, "commandline=", GetCommandLineW());
    fprintf(log, "showwindow=%u\nflags=0x%lx\n", startup.wShowWindow, startup.dwFlags);
#else
int main(int argc, char** argv)
{
    const char* folder = getenv("DIDOR_LOG");
    char path[4096], part[4106], *cwd = getcwd(NULL, 0);
    int i, blocked = 0, ignored = 0, opened = 0;
    sigset_t mask;
    FILE* log;
    if (!folder)
        return 0;
    opened = argc > 1 && open(argv[argc - 1], O_RDONLY | O_NONBLOCK) >= 0;
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
    fprintf(log, "session=%d\nblocked=%d\nignored=%d\n", getsid(0) == getpid(), blocked, ignored);
#endif
    fprintf(log, "argc=%d\nopened=%d\n", argc, opened);
    for (i = 0; i < argc; ++i) {
        char name[32];
        snprintf(name, sizeof name, "argv[%d]=", i);
        field(log, name, argv[i]);
    }
    field(log, "cwd=", cwd);
#ifdef _WIN32
    return fclose(log) != 0 || !MoveFileExW(part, path, MOVEFILE_REPLACE_EXISTING);
#else
    return fclose(log) != 0 || rename(part, path) != 0 ||
           sleep(getenv("DIDOR_STANDIN_SLEEP") ? (unsigned)atoi(getenv("DIDOR_STANDIN_SLEEP"))
                                               : 0) != 0;
#endif
}
