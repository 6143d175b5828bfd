/*
 * PCE.EXE stand-in for launcher tests: records how it was started, exits 0.
 * Build: x86_64-w64-mingw32-gcc-posix -municode -mwindows -O2 -Wall -Wextra \
 *            -o PCE.EXE pce_standin_windows.c
 * (-mwindows: GUI subsystem, so no console; -municode: entry is wmain.)
 * It writes DIDOR_LOG\run.<pid>.log, DIDOR_LOG being a directory in Windows
 * form or Unix form (/tmp/x, taken as Z:/tmp/x); nothing without DIDOR_LOG.
 * The log is written as run.<pid>.log.part and renamed when complete, so a
 * reader never sees half a file. Exit code 1 means the log was not written.
 * Log format, UTF-8, one field per line, in this order:
 *   commandline=<GetCommandLineW()>
 *   argc=<n>
 *   argv[i]=<argument i of CommandLineToArgvW(GetCommandLineW())>, i = 0..n-1
 *   showwindow=<STARTUPINFOW.wShowWindow, decimal>
 *   flags=<STARTUPINFOW.dwFlags, hex 0x...>
 *   cwd=<GetCurrentDirectoryW()>
 *   opened=<1 if CreateFileW(last argument, GENERIC_READ, all sharing,
 *           OPEN_EXISTING) succeeds, else 0; 0 when argc < 2>
 * Values are escaped: backslash as \\, newline as \n, CR as \r, tab as \t.
 * An unpaired UTF-16 surrogate is kept in 3-byte form (WTF-8).
 */
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>

static char *out;  /* the log, built up in memory before it is written */
static size_t len, cap;

static void put(unsigned c)
{
    if (len == cap && !(out = realloc(out, cap = cap * 2 + 4096))) ExitProcess(1);
    out[len++] = (char)c;
}

static void text(const char *s) { while (*s) put((unsigned char)*s++); }

static void field(const char *name, const WCHAR *w) /* name=<escaped w>\n */
{
    for (text(name); *w; w++) {
        unsigned c = *w;
        if (c == '\\' || c == '\n' || c == '\r' || c == '\t') {
            put('\\');
            put(c == '\\' ? '\\' : c == '\n' ? 'n' : c == '\r' ? 'r' : 't');
        } else if (c < 0x80) put(c);
        else if (c < 0x800) put(0xC0 | c >> 6);
        else {
            if (c >= 0xD800 && c < 0xDC00 && w[1] >= 0xDC00 && w[1] < 0xE000)
                c = 0x10000 + ((c - 0xD800) << 10) + (*++w - 0xDC00);
            if (c >= 0x10000) put(0xF0 | c >> 18), put(0x80 | (c >> 12 & 0x3F));
            else put(0xE0 | c >> 12);
            put(0x80 | (c >> 6 & 0x3F));
        }
        if (c >= 0x80) put(0x80 | (c & 0x3F));
    }
    put('\n');
}

int wmain(void)
{
    static WCHAR dir[32768], cwd[32768], path[32800], part[32806];
    WCHAR *line = GetCommandLineW(), **argv;
    int argc = 0, i;
    char num[80];
    STARTUPINFOW si = {0};
    HANDLE h;
    DWORD done, n = GetEnvironmentVariableW(L"DIDOR_LOG", dir, 32768);
    if (n == 0 || n >= 32768) return 0;
    if (!(argv = CommandLineToArgvW(line, &argc))) argc = 0;
    field("commandline=", line);
    text((snprintf(num, sizeof num, "argc=%d\n", argc), num));
    for (i = 0; i < argc; i++) {
        snprintf(num, sizeof num, "argv[%d]=", i);
        field(num, argv[i]);
    }
    GetStartupInfoW(&si);
    text((snprintf(num, sizeof num, "showwindow=%u\nflags=0x%lx\n",
                   (unsigned)si.wShowWindow, (unsigned long)si.dwFlags), num));
    GetCurrentDirectoryW(32768, cwd);
    field("cwd=", cwd);
    h = argc < 2 ? INVALID_HANDLE_VALUE
        : CreateFileW(argv[argc - 1], GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE
                      | FILE_SHARE_DELETE, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    text(h != INVALID_HANDLE_VALUE && CloseHandle(h) ? "opened=1\n" : "opened=0\n");

    _snwprintf(path, 32799, L"%ls%ls\\run.%lu.log", dir[0] == '/' ? L"Z:" : L"",
               dir, (unsigned long)GetCurrentProcessId());
    _snwprintf(part, 32805, L"%ls.part", path);
    h = CreateFileW(part, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) return 1;
    n = WriteFile(h, out, (DWORD)len, &done, NULL) && done == len;
    n = CloseHandle(h) && n;
    return n && MoveFileExW(part, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
