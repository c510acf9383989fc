// The main window: its wiring, commands, dialogs and the Escape hook.
#include "app/MainUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QSignalBlocker>
#include <QTimer>
#include <QToolButton>
#include <unistd.h>

#include "app/AboutUnit.h"
#include "app/BusyAnimation.h"
#include "app/ChangeSince.h"
#include "app/ChangesWindow.h"
#include "app/CompositionFeed.h"
#include "app/EntryActions.h"
#include "app/EntryName.h"
#include "app/EntryTrash.h"
#include "app/FolderDrop.h"
#include "app/Glyphs.h"
#include "app/PathText.h"
#include "app/RefusalText.h"
#include "app/ScanStatusBar.h"
#include "app/SelectionKeeper.h"
#include "app/SizeTreeView.h"
#include "app/WindowPlacement.h"
#include "chart/qt/Chart.h"
#include "drives/DriveComboBox.h"
#include "history/Comparison.h"
#include "numtext/NumberText.h"
#include "sizetree/FilesToList.h"
#include "sizetree/Ordering.h"

namespace {

constexpr int kDropRefusalMs = 10000;  // how long a refused drop's reason shows
// Remembered between runs in $XDG_CONFIG_HOME/tallowin/tallowin.conf.
constexpr const char* kSizesOnDiskKey = "view/sizesOnDisk";

std::unique_ptr<QSettings> ProgramSettings()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QStringLiteral("tallowin"), QStringLiteral("tallowin"));
}

std::string PlatformScanFileDialog(QWidget* parent)
{
    const QString chosen = QFileDialog::getOpenFileName(
        parent, TfrmTallowin::tr("Open a saved scan"), QString(),
        TfrmTallowin::tr("Saved scans (*.json *.json.gz *.json.zst *.gz *.zst);;All files (*)"));
    return QFile::encodeName(chosen).toStdString();
}

}  // namespace

TfrmTallowin::TfrmTallowin(TfrmAbout& about)
    : about_(about),
      session_(std::make_unique<ScanSession>()),
      model_(std::make_unique<SizeTreeModel>(session_->Tree(), TreeImages())),
      endProgram_([] { _exit(0); }),
      scanFileDialog_(PlatformScanFileDialog)
{
    LayOut();
    keeper_ = std::make_unique<SelectionKeeper>(session_->Tree(), *model_, *Tree->selectionModel());
    session_->SetSelection(*keeper_);
    WireSession();
    // The figure chosen last time, before anything is scanned.
    const bool onDisk = ProgramSettings()->value(QLatin1String(kSizesOnDiskKey), false).toBool();
    {
        const QSignalBlocker quiet(Actions->SizesOnDisk);
        Actions->SizesOnDisk->setChecked(onDisk);
    }
    session_->ShowSizes(onDisk ? SizeKind::Disk : SizeKind::Apparent);
    FormCreate();
}

TfrmTallowin::~TfrmTallowin()
{
    qApp->removeEventFilter(this);
    // The animation's thread calls endProgram_, which goes before it does.
    Animate->StopThread();
    Tree->setModel(nullptr);
}

void TfrmTallowin::FormCreate()
{
    qApp->installEventFilter(this);
}

void TfrmTallowin::WireSession()
{
    connect(btnGo, &QToolButton::clicked, this, &TfrmTallowin::btnGoClick);
    connect(btnPercent, &QToolButton::clicked, this, &TfrmTallowin::btnPercentClick);
    connect(btnValue, &QToolButton::clicked, this, &TfrmTallowin::btnValueClick);
    connect(btnBySize, &QToolButton::clicked, this, &TfrmTallowin::btnBySizeClick);
    connect(btnByName, &QToolButton::clicked, this, &TfrmTallowin::btnByNameClick);
    connect(btnVersion, &QToolButton::clicked, this, &TfrmTallowin::btnVersionClick);
    connect(Actions, &EntryActions::RescanRequested, this, &TfrmTallowin::RescanEntry);
    connect(Actions, &EntryActions::TrashRequested, this, &TfrmTallowin::TrashEntry);
    connect(Actions, &EntryActions::Notice, StatusBar, &ScanStatusBar::ShowNotice);
    connect(Actions, &EntryActions::SizesOnDiskToggled, this, &TfrmTallowin::ShowSizesOnDisk);
    connect(Actions, &EntryActions::ChangesRequested, this, &TfrmTallowin::ShowChanges);
    connect(model_.get(), &SizeTreeModel::FilesWanted, session_.get(), &ScanSession::WantFiles);

    ScanSession* s = session_.get();
    connect(s, &ScanSession::Working, this, &TfrmTallowin::ShowAnimation);
    connect(s, &ScanSession::ScanStarted, this, [this](const std::string& path) {
        btnGo->setEnabled(false);
        StatusBar->ScanStarted(path);
    });
    connect(s, &ScanSession::ScanSampled, this,
            [this](const ScanProgress& progress) { StatusBar->Sample(progress, keeper_->Current()); });
    connect(s, &ScanSession::ScanFinished, this, [this](const ScanProgress& progress) {
        btnGo->setEnabled(true);
        StatusBar->ScanFinished(progress, keeper_->Current());
        // A rescan or a move changed the sizes the Changes window shows.
        if (Changes)
            Changes->Refresh();
    });
    // The chart and the entry line follow the changed sizes.
    connect(s, &ScanSession::SizesChanged, this, [this] { TreeChange(Tree->currentIndex()); });
    connect(s, &ScanSession::Notice, StatusBar, &ScanStatusBar::ShowNotice);
    connect(s, &ScanSession::SavedScanOpening, this, [this](const std::string& file) {
        btnGo->setEnabled(false);
        StatusBar->SavedScanOpening(file);
    });
    connect(s, &ScanSession::SavedScanOpened, this, [this](const TTreeEntry* root) {
        btnGo->setEnabled(true);
        if (root)
            StatusBar->SavedScanShown(*root, session_->SavedRootOf(*root)->SavedAt, keeper_->Current());
    });
    connect(cbxDrive, &TDriveComboBox::OpenScanChosen, this, &TfrmTallowin::OpenScanClick);
    // F5 on a saved scan's root: what changed since it was saved.
    connect(s, &ScanSession::SavedRootRescanned, this,
            [this](const TTreeEntry&, TTreeEntry* scanned) { ShowChanges(scanned); });
    connect(s, &ScanSession::Warning, this, [this](const QString& text) { warn_(text); });
    // An earlier scan found (or chosen) shows at once on the entry line.
    StatusBar->SetChangeOf([this](const TTreeEntry& e) { return ChangeText(e); });
    model_->SetChangeTip([this](const TTreeEntry& e) { return ChangeText(e); });
    connect(&s->Memory(), &ScanMemory::ComparisonChanged, this,
            [this] { StatusBar->ShowEntry(keeper_->Current()); });
    connect(&s->Memory(), &ScanMemory::Failed, StatusBar, &ScanStatusBar::ShowNotice);

    confirm_ = [this](const QString& question) {
        return QMessageBox::question(this, tr("Move to Trash"), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
            == QMessageBox::Yes;
    };
    warn_ = [this](const QString& message) { QMessageBox::warning(this, tr("Move to Trash"), message); };
    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                TreeChange(current);
                // A FILES entry selected shows its files.
                if (const TTreeEntry* e = model_->EntryAt(current); e && FilesToList(*e))
                    session_->WantFiles(current);
            });
}

void TfrmTallowin::ShowAnimation(bool on)
{
    if (on) {
        Animate->move(2, height() - ScanStatusBar::kHeight + kFrameHeight - 74);
        Animate->Play();
        Animate->show();
        Animate->raise();
        Animate->FlushDisplay();
    } else {
        Animate->hide();
        Animate->Stop();
    }
}

void TfrmTallowin::btnGoClick()
{
    std::string root = cbxDrive->SelectedDrive();
    if (!root.empty())
        ScanRoot(std::move(root));
}

void TfrmTallowin::ScanRoot(std::string rootPath)
{
    if (TTreeEntry* root = session_->AddRoot(std::move(rootPath))) {
        // The new root shows before the scan starts.
        Tree->viewport()->repaint();
        session_->ScanRoot(root);
    }
}

void TfrmTallowin::OpenScanClick()
{
    if (session_->Scanning())
        return;
    const std::string file = scanFileDialog_ ? scanFileDialog_(this) : std::string();
    if (!file.empty())
        OpenSavedScan(file);
}

void TfrmTallowin::ShowStartFailure(const std::string& path, int error)
{
    StatusBar->ShowNotice(tr("Cannot scan %1: %2").arg(PathText(path), ErrnoText(error)));
}

void TfrmTallowin::TrashEntry(TTreeEntry* entry)
{
    if (!entry)
        return;
    const QString refusal = session_->TrashRefusal(*entry);
    if (!refusal.isEmpty()) {
        StatusBar->ShowNotice(refusal);
        return;
    }
    const QPersistentModelIndex where = model_->IndexOf(entry);
    if (!confirm_(tr("Move '%1' (%2) to the trash?")
                      .arg(PathText(entry->Path()), StatusBar->Bytes(SizeTree().ShownSize(*entry)))))
        return;
    // The dialog let events run: the entry may have gone meanwhile.
    if (where.isValid() && model_->EntryAt(where) == entry)
        session_->MoveToTrash(entry);
}

QString TfrmTallowin::ChangeText(const TTreeEntry& entry) const
{
    const ScanMemory::Baseline* b = session_->Memory().ComparableOf(entry.Root()->Path());
    if (!b || session_->Scanning())
        return QString();
    return EntryChangeText(ChangeOfEntry(*b->Snapshot, entry), BaselineWhen(*b),
                           [this](double bytes) { return StatusBar->Bytes(bytes); });
}

void TfrmTallowin::ShowChanges(TTreeEntry* root)
{
    if (!root)
        return;
    if (!Changes) {
        Changes = new ChangesWindow(
            *session_, [this](double bytes) { return StatusBar->Bytes(bytes); }, this);
        connect(Changes, &ChangesWindow::EntryWanted, this, &TfrmTallowin::SelectPath);
    }
    Changes->ShowRoot(root->Path());
}

void TfrmTallowin::SelectPath(const std::string& path)
{
    const TTreeEntry* e = session_->EntryAt(path);
    if (!e) {
        StatusBar->ShowNotice(tr("%1 is not in the tree").arg(PathText(path)));
        return;
    }
    const QModelIndex index = model_->IndexOf(e);
    Tree->setCurrentIndex(index);
    Tree->scrollTo(index);
    activateWindow();
    Tree->setFocus();
}

void TfrmTallowin::btnBySizeClick()
{
    session_->Resort(::SortBySize);
}
void TfrmTallowin::btnByNameClick()
{
    session_->Resort(::SortByName);
}
void TfrmTallowin::ShowSizesOnDisk(bool on)
{
    session_->ShowSizes(on ? SizeKind::Disk : SizeKind::Apparent);
    TreeChange(Tree->currentIndex());
    const std::unique_ptr<QSettings> settings = ProgramSettings();
    settings->setValue(QLatin1String(kSizesOnDiskKey), on);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        StatusBar->ShowNotice(tr("Could not remember Sizes on Disk in %1").arg(settings->fileName()));
}

void TfrmTallowin::btnPercentClick()
{
    ShowMarksAsPercent(*PieSeries);
}
void TfrmTallowin::btnValueClick()
{
    ShowMarksAsValue(*PieSeries);
}
void TfrmTallowin::btnVersionClick()
{
    about_.exec();
}

void TfrmTallowin::TreeChange(const QModelIndex& current)
{
    const TTreeEntry* e = model_->EntryAt(current);
    if (e)
        FeedCompositionChart(Chart->Panel(), *PieSeries, e, session_->Tree().Shown(),
                             [](const TTreeEntry& rest) { return EntryNameText(rest).toStdString(); });
    StatusBar->ShowEntry(e);
}

bool TfrmTallowin::AppMessage(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || (key->modifiers() & Qt::AltModifier))
        return false;
    endProgram_();
    return true;
}

bool TfrmTallowin::eventFilter(QObject* watched, QEvent* event)
{
    if (AppMessage(event))
        return true;
    return QWidget::eventFilter(watched, event);
}

void TfrmTallowin::closeEvent(QCloseEvent* event)
{
    // Ends a running scan at its next folder; the application then quits.
    session_->RequestStop();
    event->accept();
}

void TfrmTallowin::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LocaleChange)
        ReadNumberLocale();
    QWidget::changeEvent(event);
}

void TfrmTallowin::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!centred_) {
        centred_ = true;
        CentreOnScreen(this);
    }
}

void TfrmTallowin::dragEnterEvent(QDragEnterEvent* event)
{
    // Whatever carries URLs is taken, so that a refusal can say why.
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TfrmTallowin::dropEvent(QDropEvent* event)
{
    const DropVerdict verdict = JudgeDrop(*event->mimeData(), session_->Scanning());
    if (!verdict.SavedScan.empty()) {
        event->acceptProposedAction();
        QTimer::singleShot(0, this, [this, file = verdict.SavedScan] { OpenSavedScan(file); });
        return;
    }
    if (verdict.Folder.empty()) {
        StatusBar->showMessage(verdict.Refusal, kDropRefusalMs);
        return;
    }
    event->acceptProposedAction();
    cbxDrive->AddFolder(verdict.Folder);
    // After the drop has been answered: the file manager is not kept waiting
    // for the scan.
    QTimer::singleShot(0, this, &TfrmTallowin::btnGoClick);
}
