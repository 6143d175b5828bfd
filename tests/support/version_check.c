/* Reads the version block and the icon back from the program named on the command line. */
#include <stdio.h>
#include <windows.h>

static int differs(const void* block, const wchar_t* name, const wchar_t* expected)
{
    wchar_t query[80], *value = NULL;
    UINT length = 0;
    swprintf(query, 80, L"\\StringFileInfo\\040904B0\\%ls", name);
    if (VerQueryValueW(block, query, (void**)&value, &length) && length > 1 &&
        (!expected || wcscmp(value, expected) == 0))
        return 0; /* no expected value: any but empty */
    return fwprintf(stderr, L"%ls is \"%ls\"\n", name, value && length ? value : L"") > 0;
}

int wmain(int argc, wchar_t** argv)
{
    DWORD size = argc == 2 ? GetFileVersionInfoSizeW(argv[1], NULL) : 0;
    void* block = size ? malloc(size) : NULL;
    HICON icon = NULL;
    ICONINFO info = {0};
    BITMAP bitmap = {0};
    if (!block || !GetFileVersionInfoW(argv[1], 0, size, block))
        return fputs("no version block\n", stderr), 1;
    /* The program's first icon, in the 32 x 32 pixels of its picture. */
    if (ExtractIconExW(argv[1], 0, &icon, NULL, 1) != 1 || !GetIconInfo(icon, &info) ||
        !GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) || bitmap.bmWidth != 32 ||
        bitmap.bmHeight != 32)
        return fputs("no 32 x 32 icon\n", stderr), 1;
    return differs(block, L"FileVersion", L"1.00") + differs(block, L"ProductVersion", L"1.00") +
           differs(block, L"InternalName", L"RurevAR") +
           differs(block, L"OriginalFilename", L"RurevAR.exe") +
           differs(block, L"ProductName", L"Didor AzodoVez") + differs(block, L"CompanyName", NULL);
}
