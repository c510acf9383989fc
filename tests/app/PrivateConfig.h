// The settings a window test reads and writes: a private XDG_CONFIG_HOME for
// the whole test process, made before the QApplication (Qt takes the
// folder once) and removed at its end, never the user's own.
#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <cstdlib>

class PrivateConfig {
public:
    PrivateConfig() { setenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path()).constData(), 1); }
    QString Path() const { return dir_.path(); }

private:
    QTemporaryDir dir_{QDir::tempPath() + QStringLiteral("/tallowin-config-XXXXXX")};
};
