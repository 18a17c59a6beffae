/* A stand-in for libXinerama.so.1 that reports the heads named in QM_XINERAMA_HEADS instead of
 * asking the X server, so that Wine sees monitors side by side, left of the primary or alone on
 * one wide Xvfb screen. Heads are "WIDTHxHEIGHT+X+Y", separated by blanks; the first one is the
 * one Wine makes the primary monitor. Built for the host and found through LD_LIBRARY_PATH. */
#include <stdio.h>
#include <stdlib.h>

typedef struct {
    int screen_number;
    short x_org;
    short y_org;
    short width;
    short height;
} XineramaScreenInfo;

static int read_heads(XineramaScreenInfo* heads, int capacity) {
    const char* text = getenv("QM_XINERAMA_HEADS");
    int count = 0, used = 0, width, height, x, y;
    while (text && count < capacity && sscanf(text, " %dx%d%d%d%n", &width, &height, &x, &y, &used) == 4) {
        if (heads) {
            heads[count].screen_number = count;
            heads[count].x_org = (short)x;
            heads[count].y_org = (short)y;
            heads[count].width = (short)width;
            heads[count].height = (short)height;
        }
        ++count;
        text += used;
    }
    return count;
}

int XineramaQueryExtension(void* display, int* event_base, int* error_base) {
    (void)display;
    *event_base = 0;
    *error_base = 0;
    return read_heads(NULL, 16) > 0;
}

int XineramaIsActive(void* display) {
    (void)display;
    return read_heads(NULL, 16) > 0;
}

/* The caller releases the array with XFree, which is free. */
XineramaScreenInfo* XineramaQueryScreens(void* display, int* number) {
    (void)display;
    XineramaScreenInfo* heads = malloc(16 * sizeof(XineramaScreenInfo));
    *number = heads ? read_heads(heads, 16) : 0;
    if (*number == 0) {
        free(heads);
        return NULL;
    }
    return heads;
}
