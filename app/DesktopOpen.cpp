#include "app/DesktopOpen.h"

#include <QProcess>
#include <algorithm>

namespace {

// xdg-open's exit statuses.
constexpr int kNoSuchFile = 2;
constexpr int kNoTool = 3;

}  // namespace

DesktopOpener::DesktopOpener(QObject* parent, QString program) : QObject(parent), program_(std::move(program))
{
}

DesktopOpener::~DesktopOpener()
{
    // QProcess would kill them: they are let go instead.
    for (QProcess* p : running_) {
        p->disconnect();
        p->setParent(nullptr);
    }
}

void DesktopOpener::Open(const QString& uri, std::function<void(const QString& failure)> done)
{
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    running_.push_back(process);
    const auto finish = [this, process, done](const QString& failure) {
        running_.erase(std::remove(running_.begin(), running_.end(), process), running_.end());
        process->deleteLater();
        done(failure);
    };
    connect(process, &QProcess::errorOccurred, this, [this, process, finish](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(tr("%1 could not be started: %2").arg(program_, process->errorString()));
    });
    connect(process, &QProcess::finished, this, [finish](int status, QProcess::ExitStatus how) {
        if (how != QProcess::NormalExit)
            finish(tr("the opener ended abnormally"));
        else if (status == kNoSuchFile)
            finish(tr("the desktop finds no such file"));
        else if (status == kNoTool)
            finish(tr("the desktop has no program to open it"));
        else if (status != 0)
            finish(tr("the desktop could not open it (status %1)").arg(status));
        else
            finish(QString());
    });
    process->start(program_, {uri});
}
