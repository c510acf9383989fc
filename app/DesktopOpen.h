// Opens a file URI with the desktop's opener (xdg-open), started with
// QProcess so that its result can be read: the opener says by its exit
// status whether the desktop could open the file.
//
// Protocol: UI thread. Open starts the program and returns at once; done
// runs later on the UI thread with "" when it opened, else the reason. An
// opener still running when the DesktopOpener goes (some keep running until
// the program they started ends) is left to run, not killed.
#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class QProcess;

class DesktopOpener : public QObject {
    Q_OBJECT
public:
    explicit DesktopOpener(QObject* parent = nullptr, QString program = QStringLiteral("xdg-open"));
    ~DesktopOpener() override;

    void Open(const QString& uri, std::function<void(const QString& failure)> done);
    // The program run with the URI (tests use a stand-in).
    void SetProgram(QString program) { program_ = std::move(program); }

private:
    QString program_;
    std::vector<QProcess*> running_;
};
