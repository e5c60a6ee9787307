#include "window/DesktopWindow.h"

#include <GL/freeglut.h>
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "shell/DisplayScale.h"
#include "shell/Log.h"
#include "window/Window.h"

namespace NSWindow {

const char* const kWindowClass = "Quibbleton";

namespace {

// The value of "Xft.dpi:" in the resources the desktop put on the server, or 0.
double resourceDpi(Display* display) {
    const char* resources = XResourceManagerString(display);
    if (!resources)
        return 0.0;
    for (const char* line = resources; line && *line;) {
        const char* end = std::strchr(line, '\n');
        if (std::strncmp(line, "Xft.dpi:", 8) == 0)
            return std::strtod(line + 8, nullptr);
        line = end ? end + 1 : nullptr;
    }
    return 0.0;
}

} // namespace

float scaleFromXServer(const std::string& name, std::string* source) {
    Display* display = XOpenDisplay(name.empty() ? nullptr : name.c_str());
    if (!display)
        return 1.0f;
    double dpi = resourceDpi(display);
    const char* from = "Xft.dpi";
    const int screen = DefaultScreen(display);
    if (!(dpi > 0.0) && DisplayWidthMM(display, screen) > 0) {
        dpi = DisplayWidth(display, screen) * 25.4 / DisplayWidthMM(display, screen);
        from = "the screen's size";
    }
    XCloseDisplay(display);
    if (source)
        *source = std::to_string(static_cast<int>(dpi + 0.5)) + " dpi from " + from;
    return scaleForDpi(dpi);
}

void dressWindow() {
    Display* display = glXGetCurrentDisplay();
    const ::Window window = glXGetCurrentDrawable();
    if (!display || !window)
        return;
    XClassHint hint;
    hint.res_name = const_cast<char*>("quibbleton");
    hint.res_class = const_cast<char*>(kWindowClass);
    XSetClassHint(display, window, &hint);
    const long pid = static_cast<long>(getpid());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&pid), 1);
    std::vector<unsigned long> icons;
    for (int size : {16, 32, 48, 64}) {
        const std::vector<unsigned long> icon = iconData(size);
        icons.insert(icons.end(), icon.begin(), icon.end());
    }
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_ICON", False), XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(icons.data()), static_cast<int>(icons.size()));
    // Below half the designed size the menu would cover the view.
    XSizeHints* hints = XAllocSizeHints();
    long given = 0;
    if (hints && XGetWMNormalHints(display, window, hints, &given)) {
        hints->flags |= PMinSize;
        hints->min_width = unitsToPixels(kMinWidth);
        hints->min_height = unitsToPixels(kMinHeight);
        XSetWMNormalHints(display, window, hints);
    }
    if (hints)
        XFree(hints);
    // GLUT mapped the window before the class was on it; a window manager
    // reads it when the window is mapped, so it is mapped once more.
    XWithdrawWindow(display, window, DefaultScreen(display));
    // Without a place asked for, GLUT leaves the window at (-1, -1): a
    // window manager places it anyway; without one it should lie on the screen.
    XWindowAttributes at{};
    if (XGetWindowAttributes(display, window, &at) && (at.x < 0 || at.y < 0))
        XMoveWindow(display, window, at.x < 0 ? 0 : at.x, at.y < 0 ? 0 : at.y);
    XMapWindow(display, window);
    XFlush(display);
}

void Window::otherGameRefused() {
    log(LOG_INFO, "Another Quibbleton was refused this folder\n");
    showTempPopUp(kOtherGameText);
    raiseWindow();
}

void Window::toggleFullscreen() {
    Display* display = glXGetCurrentDisplay();
    const ::Window window = glXGetCurrentDrawable();
    if (!display || !window)
        return;
    // A window manager that offers fullscreen says so on the root window.
    Atom type = 0;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool managed = XGetWindowProperty(display, DefaultRootWindow(display),
                                            XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False), 0, 1, False,
                                            XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
                         count > 0;
    if (data)
        XFree(data);
    if (managed) {
        glutFullScreenToggle();
        return;
    }
    if (!ownFullscreen) {
        XWindowAttributes at{};
        XGetWindowAttributes(display, window, &at);
        restoreX = at.x, restoreY = at.y, restoreWidth = at.width, restoreHeight = at.height;
        const int screen = DefaultScreen(display);
        XMoveResizeWindow(display, window, 0, 0, DisplayWidth(display, screen), DisplayHeight(display, screen));
    } else {
        XMoveResizeWindow(display, window, restoreX, restoreY, restoreWidth, restoreHeight);
    }
    ownFullscreen = !ownFullscreen;
    XFlush(display);
}

namespace {

void drawNotice() {
    const auto* text = static_cast<const std::string*>(glutGetWindowData());
    glClearColor(0.0f, 0.0f, 0.5f, 0.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, glutGet(GLUT_WINDOW_WIDTH), glutGet(GLUT_WINDOW_HEIGHT), 0, -1, 1);
    glColor3f(0.9f, 0.9f, 0.9f);
    glRasterPos2i(16, 36);
    for (char c : text ? *text : std::string())
        glutBitmapCharacter(GLUT_BITMAP_HELVETICA_18, static_cast<unsigned char>(c));
    glutSwapBuffers();
}

} // namespace

void showNotice(int* argc, char** argv, const std::string& text) {
    glutInit(argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA);
    glutInitWindowSize(static_cast<int>(text.size()) * 10 + 32, 60);
    glutCreateWindow("Quibbleton");
    glutSetWindowData(const_cast<std::string*>(&text));
    dressWindow();
    glutDisplayFunc(drawNotice);
    glutKeyboardFunc([](unsigned char, int, int) { glutLeaveMainLoop(); });
    glutMouseFunc([](int, int state, int, int) {
        if (state == GLUT_UP)
            glutLeaveMainLoop();
    });
    glutTimerFunc(6000, [](int) { glutLeaveMainLoop(); }, 0);
    glutMainLoop();
}

void raiseWindow() {
    glutShowWindow();
    glutPopWindow();
    Display* display = glXGetCurrentDisplay();
    const ::Window window = glXGetCurrentDrawable();
    if (!display || !window)
        return;
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "_NET_ACTIVE_WINDOW", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = 1; // asked by the application
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, DefaultRootWindow(display), False, SubstructureRedirectMask | SubstructureNotifyMask, &event);
    XFlush(display);
}

} // namespace NSWindow
