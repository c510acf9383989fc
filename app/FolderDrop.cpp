#include "app/FolderDrop.h"

#include <QCoreApplication>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <sys/stat.h>

#include "savedscan/SavedReport.h"

DropVerdict JudgeDrop(const QMimeData& data, bool scanning)
{
    DropVerdict v;
    if (scanning) {
        v.Refusal = QCoreApplication::translate(
            "FolderDrop", "A scan is running: drop the folder again when it has ended.");
        return v;
    }
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1) {
        v.Refusal = urls.isEmpty()
            ? QCoreApplication::translate("FolderDrop", "Only a folder or a saved scan can be dropped here.")
            : QCoreApplication::translate("FolderDrop", "Drop one folder at a time.");
        return v;
    }
    const QUrl& url = urls.front();
    if (!url.isLocalFile()) {
        v.Refusal = QCoreApplication::translate("FolderDrop",
                                                "Only folders on this computer can be scanned, not %1.")
                        .arg(url.toDisplayString());
        return v;
    }
    const QByteArray path = QFile::encodeName(url.toLocalFile());
    struct stat st {};
    const bool folder = stat(path.constData(), &st) == 0 && S_ISDIR(st.st_mode);
    if (!folder && !NamesSavedScan(path.toStdString())) {
        v.Refusal = QCoreApplication::translate("FolderDrop", "Neither a folder nor a saved scan: %1")
                        .arg(url.toLocalFile());
        return v;
    }
    (folder ? v.Folder : v.SavedScan).assign(path.constData(), static_cast<size_t>(path.size()));
    return v;
}
