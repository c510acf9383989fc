// Whether the window program can open a window at all, decided before the
// QApplication exists: without a display Qt ends the process with its own
// abort text instead of a line the user can act on.
//
// Protocol: the window program's main() calls PrepareDisplay once, before
// constructing QApplication, and ends with kNoDisplayLine and status 1 when
// it returns false. It may set QT_QPA_PLATFORM for Qt to the platform found
// usable. While the QApplication is constructed, NoDisplayGuard turns a fatal
// message of Qt's (a display that failed after all) into the same line.
#pragma once

constexpr const char* kNoDisplayLine =
    "tallowin: cannot open a window: no display; for a text report use: tallowin --report PATH";

// True when a platform Qt will use can show a window: one that needs no
// display (offscreen, minimal, ...), an X display that accepts a connection,
// or a Wayland socket with Qt's Wayland platform installed.
bool PrepareDisplay();

// Installed for the construction of the QApplication only (RAII).
class NoDisplayGuard {
public:
    NoDisplayGuard();
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};
