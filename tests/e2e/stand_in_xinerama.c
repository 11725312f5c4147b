/* A stand-in for libXinerama.so.1, for the end-to-end tests: Wine's X11 driver, told not to use
 * XRandR, takes its monitors from Xinerama; this library, found first on LD_LIBRARY_PATH,
 * describes the heads VISTRELLE_HEADS names on one wide X screen, "x,y,w,h;x,y,w,h" (one
 * 1280x1024 head when unset), so that a test can show Wine two monitors or one.
 *
 *   gcc -shared -fPIC -o libXinerama.so.1 stand_in_xinerama.c
 */
#include <X11/Xlib.h>
#include <X11/extensions/Xinerama.h>
#include <stdlib.h>

enum { kMostHeads = 8 };

static int Heads(XineramaScreenInfo* heads) {
    const char* text = getenv("VISTRELLE_HEADS");
    int count = 0;
    while (text && *text && count < kMostHeads) {
        char* end = NULL;
        long v[4];
        for (int i = 0; i < 4; ++i) {
            v[i] = strtol(text, &end, 10);
            if (end == text) return count;
            text = *end ? end + 1 : end;
        }
        heads[count].screen_number = count;
        heads[count].x_org = (short)v[0];
        heads[count].y_org = (short)v[1];
        heads[count].width = (short)v[2];
        heads[count].height = (short)v[3];
        ++count;
    }
    if (count == 0) {
        heads[0].screen_number = 0;
        heads[0].x_org = heads[0].y_org = 0;
        heads[0].width = 1280;
        heads[0].height = 1024;
        count = 1;
    }
    return count;
}

Bool XineramaQueryExtension(Display* dpy, int* event_base, int* error_base) {
    (void)dpy;
    *event_base = 0;
    *error_base = 0;
    return True;
}

Status XineramaQueryVersion(Display* dpy, int* major, int* minor) {
    (void)dpy;
    *major = 1;
    *minor = 1;
    return 1;
}

Bool XineramaIsActive(Display* dpy) {
    (void)dpy;
    return True;
}

/* Freed by the caller with XFree, which is free(). */
XineramaScreenInfo* XineramaQueryScreens(Display* dpy, int* number) {
    XineramaScreenInfo found[kMostHeads];
    (void)dpy;
    *number = Heads(found);
    XineramaScreenInfo* out = malloc(sizeof(found[0]) * (size_t)*number);
    if (!out) {
        *number = 0;
        return NULL;
    }
    for (int i = 0; i < *number; ++i) out[i] = found[i];
    return out;
}
