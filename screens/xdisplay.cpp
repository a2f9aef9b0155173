// What the game does beneath the library, straight with the X display: its
// answers to a lost display and to a refused request, and the probe of
// whether the display can share memory with the game.
#include "screens.h"

#include <csignal>
#include <cstdio>
#include <dlfcn.h>
#include <sys/shm.h>
#include <unistd.h>
#include <X11/Xlib.h>
#include <X11/Xlibint.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>

// Xlib's own answers to a lost display and to a refused request are exit,
// whose shutdown of the library waits for the display lock that the failed
// call still holds, and so never ends. The game keeps no files: it says what
// happened and leaves at once, from whatever thread met it, without the
// display's lock and without exit handlers.
[[noreturn]] static void leave_saying(const char* text, int length)
{
    ssize_t written = write(STDERR_FILENO, text, length);
    (void)written;
    _exit(1);
}

static int display_lost(Display*)
{
    static const char text[] = "Morvask: the display was lost; the game ends.\n";
    leave_saying(text, sizeof text - 1);
}

// The one line says what Xlib's own block would: the error, and the request
// by its number and name; an extension's request, numbered past 127, goes by
// its extension's name and its minor code as well.
static int request_refused(Display* display, XErrorEvent* error)
{
    char what[160], number[32], key[80], request[160] = "", text[512];
    XGetErrorText(display, error->error_code, what, sizeof what);
    const char* extension = "";
    if (error->request_code < 128) {
        snprintf(number, sizeof number, "%d", error->request_code);
        snprintf(key, sizeof key, "%d", error->request_code);
    } else {
        for (_XExtension* e = display->ext_procs; e; e = e->next)
            if (e->codes.major_opcode == error->request_code)
                extension = e->name;
        snprintf(number, sizeof number, "%d.%d", error->request_code, error->minor_code);
        snprintf(key, sizeof key, "%s.%d", extension, error->minor_code);
    }
    XGetErrorDatabaseText(display, "XRequest", key, "", request, sizeof request);
    int length = snprintf(text, sizeof text,
                          "Morvask: the display refused request %s (%s%s%s): %s; the game ends.\n",
                          number, extension, *extension ? " " : "", request, what);
    leave_saying(text, length < int(sizeof text) ? length : int(sizeof text) - 1);
}

void catch_display_errors()
{
    // A display closed under a write raises SIGPIPE; ignored, the write
    // fails and Xlib reports the loss to our handler instead.
    signal(SIGPIPE, SIG_IGN);
    XSetIOErrorHandler(display_lost);
    XSetErrorHandler(request_refused);
}

// The library draws through shared memory wherever the display offers the
// extension. A display in another IPC namespace (a container given the
// host's X socket but not its shared memory, some sandboxes) offers it and
// then refuses every segment of ours, or attaches another program's segment
// of the same number; there the library is told the extension is missing,
// and draws with plain images.
static bool display_shares_memory = true;

typedef Bool (*ShmQuery)(Display*);
static const ShmQuery real_shm_query =
    reinterpret_cast<ShmQuery>(dlsym(RTLD_NEXT, "XShmQueryExtension"));

extern "C" Bool XShmQueryExtension(Display* display)
{
    return display_shares_memory && real_shm_query(display);
}

// The library removes its segment only when it shuts down, so a game that
// leaves any other way, by the handlers above or killed, would leave it in
// the system for good. Marked for removal once the display holds it, it goes
// when both let go.
typedef Bool (*ShmAttach)(Display*, XShmSegmentInfo*);
static const ShmAttach real_shm_attach =
    reinterpret_cast<ShmAttach>(dlsym(RTLD_NEXT, "XShmAttach"));

extern "C" Bool XShmAttach(Display* display, XShmSegmentInfo* segment)
{
    Bool sent = real_shm_attach(display, segment);
    XSync(display, False);
    shmctl(segment->shmid, IPC_RMID, nullptr);
    return sent;
}

static bool refused;

static int note_refusal(Display*, XErrorEvent*)
{
    refused = true;
    return 0;
}

// Shows the display one pixel through the segment and reads it back: only
// the same pixel proves that the display sees our memory.
static bool shows_our_pixel(Display* display, XImage* image, XShmSegmentInfo& segment)
{
    int depth = image->depth;
    unsigned long mark = 0x2a5c93e7UL & (depth >= 32 ? ~0UL : (1UL << depth) - 1);
    XPutPixel(image, 0, 0, mark);
    XErrorHandler before = XSetErrorHandler(note_refusal);
    refused = false;
    XShmAttach(display, &segment);
    Pixmap pixmap = XCreatePixmap(display, DefaultRootWindow(display), 1, 1, depth);
    GC gc = XCreateGC(display, pixmap, 0, nullptr);
    XShmPutImage(display, pixmap, gc, image, 0, 0, 0, 0, 1, 1, False);
    XImage* back = XGetImage(display, pixmap, 0, 0, 1, 1, AllPlanes, ZPixmap);
    bool same = back && !refused && XGetPixel(back, 0, 0) == mark;
    if (back)
        XDestroyImage(back);
    XShmDetach(display, &segment);
    XFreeGC(display, gc);
    XFreePixmap(display, pixmap);
    XSync(display, False);
    XSetErrorHandler(before);
    return same;
}

static bool shares_memory(Display* display)
{
    int screen = DefaultScreen(display);
    XShmSegmentInfo segment = {};
    XImage* image = XShmCreateImage(display, DefaultVisual(display, screen),
                                    DefaultDepth(display, screen), ZPixmap, nullptr, &segment, 1, 1);
    if (!image)
        return false;
    bool shares = false;
    segment.shmid = shmget(IPC_PRIVATE, image->bytes_per_line, IPC_CREAT | 0600);
    if (segment.shmid != -1) {
        void* at = shmat(segment.shmid, nullptr, 0);
        if (at != reinterpret_cast<void*>(-1)) {
            segment.shmaddr = image->data = static_cast<char*>(at);
            segment.readOnly = True;
            shares = shows_our_pixel(display, image, segment);
            shmdt(at);
        } else {
            // An attached segment is already marked for removal.
            shmctl(segment.shmid, IPC_RMID, nullptr);
        }
    }
    XDestroyImage(image);
    return shares;
}

// The probe's connection, open from the probe until the library holds one of
// its own.
static Display* probe;

void check_shared_memory()
{
    // Without a display there is nothing to learn; the library's start
    // says what is wrong.
    probe = XOpenDisplay(nullptr);
    if (probe)
        display_shares_memory = real_shm_query(probe) && shares_memory(probe);
}

void close_probe()
{
    if (probe)
        XCloseDisplay(probe);
    probe = nullptr;
}
