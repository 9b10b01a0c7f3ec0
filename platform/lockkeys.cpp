#include "platform/lockkeys.h"

#include <QGuiApplication>

#if __has_include(<dlfcn.h>)
#include <dlfcn.h>
#define WP_HAVE_DLOPEN 1
#endif

namespace platform {

namespace {

LockKeyReader &installedReader()
{
    static LockKeyReader reader;
    return reader;
}

#if defined(WP_HAVE_DLOPEN) && QT_CONFIG(xcb)

// The keyboard indicators are asked of Xlib's keyboard extension. The library is opened
// at run time, where Qt's own X11 platform plugin has already loaded it, so that the
// program carries no build-time dependency on the X11 headers; the two entry points are
// declared here with Xlib's own signatures.
struct XlibIndicators {
    using Atom = unsigned long;
    using InternAtom = Atom (*)(Display *, const char *, int);
    using GetNamedIndicator = int (*)(Display *, Atom, int *, int *, void *, int *);

    InternAtom internAtom = nullptr;
    GetNamedIndicator getNamedIndicator = nullptr;

    XlibIndicators()
    {
        void *library = dlopen("libX11.so.6", RTLD_LAZY | RTLD_LOCAL);
        if (!library)
            return;
        internAtom = reinterpret_cast<InternAtom>(dlsym(library, "XInternAtom"));
        getNamedIndicator = reinterpret_cast<GetNamedIndicator>(dlsym(library, "XkbGetNamedIndicator"));
    }

    bool usable() const { return internAtom && getNamedIndicator; }

    // An indicator the keymap does not name reads as off.
    bool isOn(Display *display, const char *name) const
    {
        const Atom atom = internAtom(display, name, /*only_if_exists=*/1);
        if (atom == 0)
            return false;
        int on = 0;
        return getNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr) && on;
    }
};

LockKeyState readFromX11()
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    if (!display)
        return {};
    static const XlibIndicators xlib;
    if (!xlib.usable())
        return {};
    return {xlib.isOn(display, "Caps Lock"), xlib.isOn(display, "Num Lock")};
}

#else

LockKeyState readFromX11()
{
    return {};
}

#endif

}  // namespace

LockKeyState lockKeyState()
{
    if (const LockKeyReader &reader = installedReader())
        return reader();
    return readFromX11();
}

void setLockKeyReader(LockKeyReader reader)
{
    installedReader() = std::move(reader);
}

}  // namespace platform
