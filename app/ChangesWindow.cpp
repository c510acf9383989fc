#include "app/ChangesWindow.h"

#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "app/PathText.h"
#include "app/ScanSession.h"

namespace {

// What a chooser item stands for, in Qt::UserRole; its file in kFileRole.
enum ChoiceKind { kRemembered, kSaved, kOtherFile };
constexpr int kFileRole = Qt::UserRole + 1;
constexpr int kPathRole = Qt::UserRole;  // a row's folder, its bytes

QByteArray Bytes(const std::string& s)
{
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

}  // namespace

ChangesWindow::ChangesWindow(ScanSession& session, BytesText bytes, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), bytes_(std::move(bytes))
{
    setObjectName(QStringLiteral("ChangesWindow"));
    resize(640, 400);
    pickFile_ = [this] {
        return QFileDialog::getOpenFileName(
            this, tr("Compare with a Saved Scan"), QString(),
            tr("Saved scans (*.json *.json.gz *.json.zst *.gz *.zst);;All files (*)"));
    };

    Chooser = new QComboBox(this);
    Chooser->setObjectName(QStringLiteral("Chooser"));
    Chooser->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    auto* compareWith = new QLabel(tr("Compare with:"), this);
    compareWith->setBuddy(Chooser);
    Rows = new QTreeWidget(this);
    Rows->setObjectName(QStringLiteral("Rows"));
    Rows->setRootIsDecorated(false);
    Rows->setUniformRowHeights(true);
    Rows->setHeaderLabels({tr("Folder"), tr("Then"), tr("Now"), tr("Change")});
    Rows->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int c = 1; c < 4; ++c) {
        Rows->header()->setSectionResizeMode(c, QHeaderView::ResizeToContents);
        Rows->headerItem()->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
    }
    Rows->header()->setStretchLastSection(false);
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setTextFormat(Qt::PlainText);

    auto* top = new QHBoxLayout;
    top->addWidget(compareWith);
    top->addWidget(Chooser);
    top->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(Rows, 1);
    layout->addWidget(Summary);

    connect(Chooser, &QComboBox::activated, this, &ChangesWindow::Chosen);
    connect(Rows, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) {
        emit EntryWanted(item->data(0, kPathRole).toByteArray().toStdString());
    });
    connect(&session_.Memory(), &ScanMemory::ComparisonChanged, this, [this](const std::string& rootPath) {
        if (rootPath == rootPath_)
            Refresh();
    });
}

void ChangesWindow::Refresh()
{
    if (isVisible())
        Reload();
}

void ChangesWindow::ShowRoot(const std::string& rootPath)
{
    rootPath_ = rootPath;
    setWindowTitle(tr("Changes Since… - %1").arg(PathText(rootPath)));
    show();
    raise();
    activateWindow();
    Rows->setFocus();  // the keys go to the rows, not to the chooser
    Reload();
}

QString ChangesWindow::SinceText() const
{
    const ScanMemory::Baseline* b = session_.Memory().BaselineOf(rootPath_);
    return b ? BaselineWhen(*b) : QString();
}

void ChangesWindow::Reload()
{
    Rows->clear();
    ScanMemory& memory = session_.Memory();
    memory.List(rootPath_, this, [this](const RememberedList& list) { FillChooser(list); });
    const TTreeEntry* root = session_.RootAt(rootPath_);
    if (!root) {
        Summary->setText(tr("%1 is not in the tree").arg(PathText(rootPath_)));
        return;
    }
    if (memory.BaselineOf(rootPath_) && !memory.ComparableOf(rootPath_)) {
        Summary->setText(tr("%1 is not fully scanned").arg(PathText(rootPath_)));
        return;
    }
    if (!memory.ComparableOf(rootPath_)) {
        Summary->setText(tr("No earlier scan of %1 is remembered").arg(PathText(rootPath_)));
        return;
    }
    Summary->setText(tr("Comparing…"));
    memory.Compare(*root, this, [this](const std::vector<FolderChange>& rows) { FillRows(rows); });
}

void ChangesWindow::FillChooser(const RememberedList& list)
{
    Chooser->clear();
    const ScanMemory::Baseline* b = session_.Memory().BaselineOf(rootPath_);
    const QDateTime now = QDateTime::currentDateTime();
    int current = -1;
    bool skipped = false;
    for (const RememberedScan& scan : list.Scans) {
        // The root's scan shown in the tree is no earlier scan.
        if (!skipped && scan.ScanTime == session_.Memory().LastScanTime(rootPath_)) {
            skipped = true;
            continue;
        }
        if (b && b->SavedFile.empty() && b->Snapshot->ScanTime() == scan.ScanTime && current < 0)
            current = Chooser->count();
        Chooser->addItem(ScanWhenText(scan.ScanTime, now, QString::fromStdString(scan.File)), kRemembered);
        Chooser->setItemData(Chooser->count() - 1, Bytes(scan.File), kFileRole);
    }
    if (b && (!b->SavedFile.empty() || current < 0)) {
        // A saved scan chosen, or a remembered one the list does not hold (any more).
        current = Chooser->count();
        Chooser->addItem(SinceText(), kSaved);
        Chooser->setItemData(current, Bytes(b->SavedFile), kFileRole);
    }
    Chooser->addItem(tr("Other file…"), kOtherFile);
    shownIndex_ = current;
    Chooser->setCurrentIndex(current);
}

void ChangesWindow::FillRows(const std::vector<FolderChange>& rows)
{
    Rows->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(rows.size()));
    const QString none = QStringLiteral("–");
    for (const FolderChange& row : rows) {
        auto* item = new QTreeWidgetItem;
        item->setText(0, PathText(row.Path));
        item->setData(0, kPathRole, Bytes(row.Path));
        item->setText(1, row.Kind == ChangeKind::New ? none : bytes_(static_cast<double>(row.Then.Apparent)));
        item->setText(2,
                      row.Kind == ChangeKind::Removed ? none : bytes_(static_cast<double>(row.Now.Apparent)));
        item->setText(3, SignedBytes(row.Change(SizeMeasure::Apparent), bytes_));
        for (int c = 1; c < 4; ++c)
            item->setTextAlignment(c, Qt::AlignRight | Qt::AlignVCenter);
        items.append(item);
    }
    Rows->addTopLevelItems(items);
    const QString since = SinceText();
    if (rows.empty())
        Summary->setText(tr("No folder changed since %1").arg(since));
    else if (rows.size() == 1)
        Summary->setText(tr("1 folder changed since %1").arg(since));
    else if (rows.size() < ScanMemory::kMostRows)
        Summary->setText(tr("%1 folders changed since %2")
                             .arg(QLocale().toString(static_cast<qulonglong>(rows.size())), since));
    else
        Summary->setText(tr("The %1 folders that changed most since %2")
                             .arg(QLocale().toString(static_cast<qulonglong>(rows.size())), since));
}

void ChangesWindow::Chosen(int index)
{
    if (index < 0 || index >= Chooser->count())
        return;
    const int kind = Chooser->itemData(index).toInt();
    const std::string file = Chooser->itemData(index, kFileRole).toByteArray().toStdString();
    if (kind == kRemembered) {
        session_.Memory().ChooseRemembered(rootPath_, file);
    } else if (kind == kOtherFile) {
        const QString picked = pickFile_();
        Chooser->setCurrentIndex(shownIndex_);
        if (!picked.isEmpty())
            session_.Memory().ChooseSaved(rootPath_, QFile::encodeName(picked).toStdString());
    }
}
