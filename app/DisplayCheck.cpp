#include "app/DisplayCheck.h"

#include <QLibraryInfo>
#include <QtGlobal>
#include <sys/stat.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

bool CanConnectToX()
{
    if (Env("DISPLAY").empty())
        return false;
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    const bool ok = xcb_connection_has_error(c) == 0;
    xcb_disconnect(c);
    return ok;
}

bool HasWaylandPlatform()
{
    const std::string socket = Env("WAYLAND_DISPLAY");
    if (socket.empty())
        return false;
    const std::string path = socket[0] == '/' ? socket : Env("XDG_RUNTIME_DIR") + "/" + socket;
    struct stat st {};
    if (stat(path.c_str(), &st) != 0 || !S_ISSOCK(st.st_mode))
        return false;
    const std::string plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath).toStdString()
        + "/platforms/libqwayland-generic.so";
    return access(plugin.c_str(), R_OK) == 0;
}

// The platform names of QT_QPA_PLATFORM ("name:options;name..."), in order.
std::vector<std::string> ChosenPlatforms()
{
    std::vector<std::string> names;
    const std::string value = Env("QT_QPA_PLATFORM");
    size_t start = 0;
    while (start < value.size()) {
        size_t end = value.find(';', start);
        if (end == std::string::npos)
            end = value.size();
        const std::string entry = value.substr(start, end - start);
        names.push_back(entry.substr(0, entry.find(':')));
        start = end + 1;
    }
    return names;
}

void ReportFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", kNoDisplayLine);
        std::fflush(stderr);
        _exit(1);
    }
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

bool PrepareDisplay()
{
    const std::vector<std::string> chosen = ChosenPlatforms();
    if (chosen.empty()) {
        // Qt's own choice: X when $DISPLAY is set, Wayland in a Wayland session.
        if (CanConnectToX())
            return true;
        if (!HasWaylandPlatform())
            return false;
        qputenv("QT_QPA_PLATFORM", "wayland");
        return true;
    }
    for (const std::string& name : chosen) {
        if (name == "xcb") {
            if (CanConnectToX())
                return true;
        } else if (name.rfind("wayland", 0) == 0) {
            if (HasWaylandPlatform())
                return true;
        } else {
            return true;  // offscreen, minimal, vnc, ...: no display needed
        }
    }
    return false;
}

NoDisplayGuard::NoDisplayGuard()
{
    qInstallMessageHandler(ReportFatal);
}

NoDisplayGuard::~NoDisplayGuard()
{
    qInstallMessageHandler(nullptr);
}
