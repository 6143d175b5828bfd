#include "support/XKeys.h"

#include <X11/extensions/XTest.h>
#include <X11/Xlib.h>

bool pressThroughX(const QByteArrayList& keysyms)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr)
        return false;
    int first = 0, last = 0, perKey = 0;
    XDisplayKeycodes(display, &first, &last);
    KeySym* map = XGetKeyboardMapping(display, KeyCode(first), last - first + 1, &perKey);
    const auto symbol = [&](int code, int level) { return map[(code - first) * perKey + level]; };
    QList<int> codes;
    for (const QByteArray& name : keysyms) {
        KeySym wanted = XStringToKeysym(name.constData());
        int code = first;
        while (code <= last && symbol(code, 0) != wanted)
            ++code;
        if (code > last) { // the highest key without any symbol
            for (code = last; code >= first; --code) {
                int level = 0;
                while (level < perKey && symbol(code, level) == NoSymbol)
                    ++level;
                if (level == perKey)
                    break;
            }
            if (code >= first)
                XChangeKeyboardMapping(display, code, 1, &wanted, 1);
        }
        codes << code;
    }
    XFree(map);
    if (codes.contains(first - 1))
        return XCloseDisplay(display), false;
    for (const int code : codes)
        XTestFakeKeyEvent(display, unsigned(code), True, CurrentTime);
    for (auto code = codes.crbegin(); code != codes.crend(); ++code)
        XTestFakeKeyEvent(display, unsigned(*code), False, CurrentTime);
    XSync(display, False);
    XCloseDisplay(display);
    return true;
}
