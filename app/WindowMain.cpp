// Start-up of the window program, `tallowin-window`, which the `tallowin`
// launcher runs in its own process (exec) for everything but the report.
#include <QApplication>
#include <QTimer>
#include <dirent.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/AboutUnit.h"
#include "app/DisplayCheck.h"
#include "app/Glyphs.h"
#include "app/MainUnit.h"
#include "app/ProgramTranslation.h"
#include "history/ScanStore.h"
#include "numtext/NumberText.h"
#include "savedscan/SavedReport.h"

namespace {

// 0 when path names a folder this process can list, else why not (errno).
int FolderOpenError(const std::string& path)
{
    DIR* d = opendir(path.c_str());
    if (!d)
        return errno;
    closedir(d);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    // `tallowin [PATH]`: PATH is scanned at once, or opened when it names a
    // saved scan (a file or a pipe). `tallowin --timing PATH`
    // also prints the scan's milliseconds (Go to end) and the peak memory,
    // then ends: the window's figure for the benchmarks.
    // `--no-history` anywhere before "--": this run remembers no scans
    // (history/ScanStore.h).
    const auto optionsEnd = std::find(args.begin(), args.end(), "--");
    const bool rememberScans = std::find(args.begin(), optionsEnd, "--no-history") == optionsEnd;
    args.erase(std::remove(args.begin(), optionsEnd, "--no-history"), optionsEnd);
    const bool timing = !args.empty() && args[0] == "--timing";
    if (timing)
        args.erase(args.begin());
    // The launcher has refused every other option; "--" only ends them.
    if (!args.empty() && args[0] == "--")
        args.erase(args.begin());
    std::string startPath;
    bool savedScan = false;  // startPath names a saved scan, opened rather than scanned
    if (args.size() > 1 || (timing && args.empty()) || (args.size() == 1 && args[0].empty())) {
        std::cerr << "tallowin: usage: tallowin [FOLDER|FILE], or tallowin --timing FOLDER|FILE\n";
        return 2;
    }
    // A folder that cannot be read: the window still opens (it may have been
    // started from a menu, where no one reads standard error) and says why.
    int startError = 0;
    if (args.size() == 1 && NamesSavedScan(args[0])) {
        savedScan = true;
        startPath = args[0];
    } else if (args.size() == 1) {
        std::error_code ec;
        const auto abs = std::filesystem::absolute(args[0], ec);
        startPath = ec ? args[0] : abs.lexically_normal().string();
        startError = FolderOpenError(args[0]);
        if (startError) {
            std::cerr << "tallowin: cannot read folder '" << args[0] << "': " << std::strerror(startError)
                      << '\n';
            if (timing)
                return 2;
        }
    }

    if (!PrepareDisplay()) {
        std::cerr << kNoDisplayLine << std::endl;
        return 1;
    }
    ReadNumberLocale();
    // Only the busy animation gets a native window of its own.
    QCoreApplication::setAttribute(Qt::AA_DontCreateNativeWidgetSiblings);
    int qtArgc = 1;
    std::optional<NoDisplayGuard> displayGuard(std::in_place);
    QApplication app(qtArgc, argv);
    displayGuard.reset();
    QApplication::setApplicationName(QStringLiteral("Tallowin"));
    QApplication::setWindowIcon(ProgramIcon());
    const ProgramTranslation translation;

    TfrmAbout frmAbout;
    TfrmTallowin frmTallowin(frmAbout);
    frmTallowin.Memory().UseStore(ScanStore::DefaultFolder(), rememberScans);
    frmTallowin.show();
    if (startError)
        frmTallowin.ShowStartFailure(startPath, startError);
    else if (!startPath.empty())
        QTimer::singleShot(0, &frmTallowin, [&frmTallowin, startPath, savedScan, timing] {
            const auto start = std::chrono::steady_clock::now();
            if (savedScan)
                frmTallowin.OpenSavedScan(startPath);
            else
                frmTallowin.ScanRoot(startPath);
            if (!timing)
                return;
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
                std::chrono::steady_clock::now() - start);
            rusage usage{};
            getrusage(RUSAGE_SELF, &usage);
            std::cout << "scan " << ms.count() << " ms, peak " << usage.ru_maxrss / 1024 << " MiB"
                      << std::endl;
            QApplication::quit();
        });
    return app.exec();
}
