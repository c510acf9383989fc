#include "app/ScanStatusBar.h"

#include <QDateTime>
#include <QLabel>
#include <QLocale>
#include <QVBoxLayout>

#include "app/EntryName.h"
#include "app/StatusText.h"

namespace {

QString Q(const std::string& s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// "1 file", "2 files": the count grouped as every number of the bar is.
QString FilesText(uint64_t n)
{
    return n == 1 ? ScanStatusBar::tr("1 file") : ScanStatusBar::tr("%1 files").arg(GroupedNumber(n));
}

QString FoldersText(uint64_t n)
{
    return n == 1 ? ScanStatusBar::tr("1 folder") : ScanStatusBar::tr("%1 folders").arg(GroupedNumber(n));
}

QString UnreadableText(uint64_t n)
{
    if (n == 0)
        return QString();
    return n == 1 ? ScanStatusBar::tr("; 1 folder could not be read")
                  : ScanStatusBar::tr("; %1 folders could not be read").arg(GroupedNumber(n));
}

}  // namespace

ScanStatusBar::ScanStatusBar(QWidget* parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("StatusBar"));
    setFixedHeight(kHeight);
    setSizeGripEnabled(false);
    auto* lines = new QWidget(this);
    auto* layout = new QVBoxLayout(lines);
    layout->setContentsMargins(2, 0, 2, 0);
    layout->setSpacing(0);
    for (QLabel** line : {&scanLine_, &entryLine_}) {
        *line = new QLabel(lines);
        (*line)->setTextFormat(Qt::PlainText);
        (*line)->setMinimumWidth(1);
        layout->addWidget(*line);
    }
    scanLine_->setObjectName(QStringLiteral("ScanLine"));
    entryLine_->setObjectName(QStringLiteral("EntryLine"));
    addWidget(lines, 1);
}

QString ScanStatusBar::Bytes(double bytes) const
{
    const ByteUnits units = {tr("bytes"), tr("kB"), tr("MB"), tr("GB"), tr("TB"), tr("PB")};
    return ByteFigure(bytes, units);
}

void ScanStatusBar::SetLine(QLabel* label, const QString& path, const QString& rest)
{
    const QFontMetrics fm(label->font());
    const int room = label->width() - fm.horizontalAdvance(rest) - 4;
    label->setText(fm.elidedText(path, Qt::ElideMiddle, std::max(room, fm.averageCharWidth() * 8)) + rest);
    label->setToolTip(path + rest);
}

void ScanStatusBar::ScanStarted(const std::string& rootPath)
{
    rootPath_ = rootPath;
    usedBytes_ = FileSystemUsedBytes(rootPath);
    started_ = Clock::now();
    lastSample_ = Clock::time_point{};
    scanFull_ = tr("Scanning %1").arg(Q(rootPath));
    SetLine(scanLine_, scanFull_, QString());
}

void ScanStatusBar::Sample(const ScanProgress& progress, const TTreeEntry* selected)
{
    const Clock::time_point now = Clock::now();
    if (now - lastSample_ < kSampleInterval || now < noticeUntil_)
        return;
    lastSample_ = now;
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - started_);
    QString rest = tr(" - %1, %2, %3, %4")
                       .arg(FoldersText(progress.Folders), FilesText(progress.Files),
                            Bytes(static_cast<double>(progress.Bytes)), Q(ElapsedText(elapsed)));
    const int percent = ScanPercent(progress.DiskBytes, usedBytes_);
    if (percent >= 0)
        rest += tr(", about %1 % of the disk").arg(percent);
    const QString folder = progress.Current ? Q(progress.Current->Path()) : Q(rootPath_);
    scanFull_ = tr("Scanning %1").arg(folder) + rest;
    SetLine(scanLine_, tr("Scanning %1").arg(folder), rest);
    ShowEntry(selected);
}

void ScanStatusBar::ScanFinished(const ScanProgress& progress, const TTreeEntry* selected)
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started_);
    QString rest = tr(": %1 in %2 and %3, scanned in %4")
                       .arg(Bytes(static_cast<double>(progress.Bytes)), FilesText(progress.Files),
                            FoldersText(progress.Folders), Q(ElapsedText(elapsed)));
    if (progress.Unreadable == 1)
        rest += tr("; 1 folder could not be read");
    else if (progress.Unreadable > 1)
        rest += tr("; %1 folders could not be read").arg(GroupedNumber(progress.Unreadable));
    scanFull_ = Q(rootPath_) + rest;
    SetLine(scanLine_, Q(rootPath_), rest);
    ShowEntry(selected);
}

void ScanStatusBar::ShowEntry(const TTreeEntry* entry)
{
    if (!entry) {
        entryFull_.clear();
        entryLine_->clear();
        entryLine_->setToolTip(QString());
        return;
    }
    const double size = entry->Size();
    const TTreeEntry* root = entry->Root();
    const EntryCounts& c = entry->Counts();
    const QString onDisk = Bytes(static_cast<double>(c.DiskBytes));
    // Below 1 kB the short figure is the byte count itself: given once.
    QString rest = size < 1000 ? tr(": %1, %2 on disk").arg(Bytes(size), onDisk)
                               : tr(": %1 bytes (%2), %3 on disk")
                                     .arg(GroupedNumber(static_cast<uint64_t>(size)), Bytes(size), onDisk);
    if (entry->Parent())
        rest += tr(", %1 of the folder above, %2 of the root")
                    .arg(ShareText(size, entry->Parent()->Size()), ShareText(size, root->Size()));
    rest += tr(", %1, %2").arg(FilesText(c.Files), FoldersText(c.Folders));
    // Beside the path, before the rest is cut at the line's end.
    if (const QString change = changeOf_ ? changeOf_(*entry) : QString(); !change.isEmpty())
        rest = QStringLiteral(" (%1)").arg(change) + rest;
    const QString path = EntryPlaceText(*entry);
    entryFull_ = path + rest;
    SetLine(entryLine_, path, rest);
}

void ScanStatusBar::ShowNotice(const QString& text)
{
    notice_ = text;
    noticeUntil_ = Clock::now() + kNoticeTime;
    scanFull_ = text;
    scanLine_->setText(text);
    scanLine_->setToolTip(text);
}

QString ScanStatusBar::ScanText() const
{
    return scanFull_;
}
QString ScanStatusBar::EntryText() const
{
    return entryFull_;
}

void ScanStatusBar::SavedScanOpening(const std::string& file)
{
    rootPath_ = file;
    scanFull_ = tr("Opening the saved scan %1").arg(Q(file));
    SetLine(scanLine_, scanFull_, QString());
}

void ScanStatusBar::SavedScanShown(const TTreeEntry& root, std::optional<int64_t> savedAt,
                                   const TTreeEntry* selected)
{
    rootPath_ = root.Path();
    const EntryCounts& c = root.Counts();
    const QString totals =
        tr("%1 in %2 and %3").arg(Bytes(root.Size()), FilesText(c.Files), FoldersText(c.Folders));
    QString rest = savedAt
        ? tr(": a saved scan from %1: %2")
              .arg(QLocale().toString(QDateTime::fromSecsSinceEpoch(*savedAt), QLocale::ShortFormat), totals)
        : tr(": a saved scan: %1").arg(totals);
    rest += UnreadableText(c.UnreadableBelow + (root.ReadError() ? 1 : 0));
    scanFull_ = Q(rootPath_) + rest;
    SetLine(scanLine_, Q(rootPath_), rest);
    ShowEntry(selected);
}
