// The main window: layout, commands and the Escape hook.
#include "app/MainUnit.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTimer>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMetaObject>
#include <QShortcut>
#include <QStandardPaths>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>
#include <unistd.h>

#include <optional>

#include "app/AboutUnit.h"
#include "app/BusyAnimation.h"
#include "app/CompositionChart.h"
#include "app/CompositionFeed.h"
#include "app/EntryActions.h"
#include "app/EntryTrash.h"
#include "app/FileListings.h"
#include "app/FolderDrop.h"
#include "app/Glyphs.h"
#include "app/Panels.h"
#include "app/RefusalText.h"
#include "app/ScanStatusBar.h"
#include "app/SizeTreeModel.h"
#include "app/SizeTreeView.h"
#include "app/WindowPlacement.h"
#include "chart/qt/Chart.h"
#include "drives/DriveComboBox.h"
#include "numtext/NumberText.h"
#include "sizetree/EntryLookup.h"
#include "sizetree/Ordering.h"
#include "sizetree/Rescan.h"
#include "sizetree/Scan.h"

namespace {

const QColor kWindowColour(0xE5, 0xE5, 0xE5);  // 0x00E5E5E5
constexpr int kToolBarHeight = 29;
constexpr int kButtonTop = 2;
constexpr int kButtonHeight = 23;
constexpr int kDropRefusalMs = 10000;  // how long a refused drop's reason shows

TTreeEntry* RootOf(TTreeEntry* e)
{
    while (e->Parent())
        e = e->Parent();
    return e;
}

}  // namespace

TfrmTallowin::TfrmTallowin(TfrmAbout& about) : about_(about), endProgram_([] { _exit(0); })
{
    setObjectName(QStringLiteral("frmTallowin"));
    setWindowTitle(QStringLiteral("Tallowin"));
    setWindowIcon(ProgramIcon());
    // The designed face is absent here; the metric-compatible sans of the
    // same width class stands in before fontconfig's wider default.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kWindowColour);
    setPalette(pal);
    setAutoFillBackground(true);
    // The status bar goes below the designed client area.
    resize(kClientWidth, kClientHeight + ScanStatusBar::kHeight);

    tree_.SetOnCompare(::SortBySize);
    BuildToolBar();
    BuildTree();

    Splitter = new FlatSplitter(this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(3);
    Splitter->setChildrenCollapsible(false);
    Splitter->addWidget(Tree);

    Panel = new QFrame(this);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Panel->setLineWidth(1);
    Splitter->addWidget(Panel);
    Splitter->handle(1)->setCursor(Qt::SplitHCursor);
    Splitter->setStretchFactor(0, 0);
    Splitter->setStretchFactor(1, 1);
    Splitter->setSizes({209, kClientWidth - 209 - 3});

    Chart = new TChart(Panel);
    PieSeries = &SetUpCompositionChart(Chart->Panel());
    Chart->setObjectName(QStringLiteral("Chart"));
    auto* panelLayout = new QVBoxLayout(Panel);
    panelLayout->setContentsMargins(1, 1, 1, 1);
    panelLayout->addWidget(Chart);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar);
    layout->addWidget(Splitter, 1);
    StatusBar = new ScanStatusBar(this);
    layout->addWidget(StatusBar);

    Animate = new TAnimate(this);
    // Escape during a re-sort, while this thread processes no events.
    Animate->SetEscapeHandler([this] { endProgram_(); });
    Animate->setGeometry(2, kClientHeight + kFrameHeight - 74, 48, 45);
    Animate->hide();

    // Any folder as a root, from anywhere in the window.
    auto* chooseFolder = new QShortcut(QKeySequence::Open, this);
    chooseFolder->setContext(Qt::WindowShortcut);
    connect(chooseFolder, &QShortcut::activated, cbxDrive, &TDriveComboBox::ChooseFolder);

    setAcceptDrops(true);

    setTabOrder(Tree, ToolBar);
    setTabOrder(ToolBar, Panel);
    Tree->setFocus();
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

QToolButton* TfrmTallowin::AddButton(const char* name, int left, int width, const QImage& glyph,
                                     const QString& hint)
{
    auto* b = new QToolButton(ToolBar);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(left, kButtonTop, width, kButtonHeight);
    b->setIcon(KeyedIcon(glyph));
    b->setIconSize(glyph.size());
    b->setToolTip(hint);
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

void TfrmTallowin::BuildToolBar()
{
    ToolBar = new ToolBarStrip(this);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    ToolBar->setFixedHeight(kToolBarHeight);

    cbxDrive = new TDriveComboBox(ToolBar);
    cbxDrive->setObjectName(QStringLiteral("cbxDrive"));
    cbxDrive->setGeometry(0, 4, 145, 19);
    cbxDrive->setToolTip(QStringLiteral("Выберите устройство"));
    QPalette pal = cbxDrive->palette();
    pal.setColor(QPalette::Base, kWindowColour);
    pal.setColor(QPalette::Button, kWindowColour);
    cbxDrive->setPalette(pal);

    btnGo = AddButton("btnGo", 145, 23, GoGlyph(), QStringLiteral("Сканировать выбранное устройство"));
    None1 = new QWidget(ToolBar);
    None1->setObjectName(QStringLiteral("None1"));
    None1->setGeometry(168, kButtonTop, 17, kButtonHeight);
    btnPercent = AddButton("btnPercent", 185, 25, PercentGlyph(), QStringLiteral("Отображать в процентах"));
    btnValue = AddButton("btnValue", 210, 25, ValueGlyph(), QStringLiteral("Отображать в Мб"));
    None2 = new QWidget(ToolBar);
    None2->setObjectName(QStringLiteral("None2"));
    None2->setGeometry(235, kButtonTop, 17, kButtonHeight);
    btnBySize = AddButton("btnBySize", 252, 25, BySizeGlyph(), QStringLiteral("Сортировать по размеру"));
    btnByName = AddButton("btnByName", 277, 25, ByNameGlyph(), QStringLiteral("Сортировать по имени"));
    None3 = new QWidget(ToolBar);
    None3->setObjectName(QStringLiteral("None3"));
    None3->setGeometry(302, kButtonTop, 17, kButtonHeight);
    btnVersion = AddButton("btnVersion", 319, 25, VersionGlyph(), QStringLiteral("О программе"));

    // Toggle groups: exactly one button down; clicking the down one keeps it
    // down and still runs its handler.
    marksGroup_ = new QButtonGroup(this);
    orderGroup_ = new QButtonGroup(this);
    for (auto [group, down, up] :
         {std::tuple{marksGroup_, btnPercent, btnValue}, std::tuple{orderGroup_, btnBySize, btnByName}}) {
        group->setExclusive(true);
        for (QToolButton* b : {down, up}) {
            b->setCheckable(true);
            group->addButton(b);
        }
        down->setChecked(true);
    }

    connect(btnGo, &QToolButton::clicked, this, &TfrmTallowin::btnGoClick);
    connect(btnPercent, &QToolButton::clicked, this, &TfrmTallowin::btnPercentClick);
    connect(btnValue, &QToolButton::clicked, this, &TfrmTallowin::btnValueClick);
    connect(btnBySize, &QToolButton::clicked, this, &TfrmTallowin::btnBySizeClick);
    connect(btnByName, &QToolButton::clicked, this, &TfrmTallowin::btnByNameClick);
    connect(btnVersion, &QToolButton::clicked, this, &TfrmTallowin::btnVersionClick);
}

void TfrmTallowin::BuildTree()
{
    Tree = new SizeTreeView(this);
    Tree->setObjectName(QStringLiteral("Tree"));
    Tree->setHeaderHidden(true);
    Tree->setRootIsDecorated(false);
    Tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Tree->setIndentation(19);
    Tree->setIconSize(QSize(16, 16));
    Tree->setSortingEnabled(false);
    Tree->setDragDropMode(QAbstractItemView::NoDragDrop);
    Tree->setSelectionMode(QAbstractItemView::SingleSelection);
    Tree->setUniformRowHeights(true);
    Tree->setMinimumWidth(30);
    Tree->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    Tree->header()->setStretchLastSection(false);
    // Background in the window colour; the selection is not drawn while the
    // tree lacks the focus.
    QPalette pal = Tree->palette();
    pal.setColor(QPalette::Base, kWindowColour);
    pal.setColor(QPalette::Inactive, QPalette::Highlight, kWindowColour);
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::Text));
    Tree->setPalette(pal);

    model_ = std::make_unique<SizeTreeModel>(tree_, TreeImages());
    Tree->SetSizeTreeModel(model_.get());
    Actions = new EntryActions(*Tree, *model_);
    connect(Actions, &EntryActions::RescanRequested, this, &TfrmTallowin::RescanEntry);
    connect(Actions, &EntryActions::TrashRequested, this, &TfrmTallowin::TrashEntry);
    connect(Actions, &EntryActions::Notice, this,
            [this](const QString& text) { StatusBar->ShowNotice(text); });
    FileListingHooks listingHooks;
    listingHooks.Busy = [this] { return scanning_; };
    listingHooks.LedgerOf = [this](const TTreeEntry* e) -> LinkLedger& { return LedgerOf(e); };
    listingHooks.Change = [this](const std::function<void(const TreeChangeHooks&)>& change) {
        // A listed file selected stays selected when it is listed again.
        const TTreeEntry* current = model_->EntryAt(Tree->currentIndex());
        const std::string file = current && current->IsListedFile() ? current->Path() : std::string();
        KeepingSelection({}, change);
        if (TTreeEntry* again = file.empty() ? nullptr : FindEntry(tree_, file))
            Tree->selectionModel()->setCurrentIndex(model_->IndexOf(again),
                                                    QItemSelectionModel::ClearAndSelect);
        TreeChange(Tree->currentIndex());
    };
    listingHooks.Working = [this](bool working) {
        if (working && !Animate->Active())
            ShowAnimation();
        else if (!working && !scanning_)
            HideAnimation();
    };
    listingHooks.Notice = [this](const QString& text) { StatusBar->ShowNotice(text); };
    listings_ = std::make_unique<FileListings>(tree_, std::move(listingHooks));
    connect(model_.get(), &SizeTreeModel::FilesWanted, this, &TfrmTallowin::ListFilesLater);
    confirm_ = [this](const QString& question) {
        return QMessageBox::question(this, tr("Move to Trash"), question, QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No)
            == QMessageBox::Yes;
    };
    warn_ = [this](const QString& message) { QMessageBox::warning(this, tr("Move to Trash"), message); };
    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                // When rows go, Qt moves the current entry; select it as well.
                if (current.isValid() && !Tree->selectionModel()->isSelected(current)) {
                    QMetaObject::invokeMethod(
                        this,
                        [this, p = QPersistentModelIndex(current)] {
                            if (p.isValid() && p == Tree->currentIndex())
                                Tree->selectionModel()->select(p, QItemSelectionModel::ClearAndSelect);
                        },
                        Qt::QueuedConnection);
                }
                TreeChange(current);
                // A FILES entry selected shows its files.
                if (const TTreeEntry* e = model_->EntryAt(current); e && FilesToList(*e))
                    ListFilesLater(current);
            });
}

void TfrmTallowin::ListFilesLater(const QModelIndex& index)
{
    QMetaObject::invokeMethod(
        this,
        [this, p = QPersistentModelIndex(index)] {
            if (TTreeEntry* e = model_->EntryAt(p); e && FilesToList(*e))
                listings_->Request(e);
        },
        Qt::QueuedConnection);
}

bool TfrmTallowin::ListingFiles() const
{
    return listings_->Active();
}

void TfrmTallowin::ShowAnimation()
{
    Animate->move(2, height() - ScanStatusBar::kHeight + kFrameHeight - 74);
    Animate->Play();
    Animate->show();
    Animate->raise();
    Animate->FlushDisplay();
}

void TfrmTallowin::HideAnimation()
{
    if (listings_->Active())
        return;
    Animate->hide();
    Animate->Stop();
}

void TfrmTallowin::btnGoClick()
{
    std::string root = cbxDrive->SelectedDrive();
    if (!root.empty())
        ScanRoot(std::move(root));
}

void TfrmTallowin::ScanRoot(std::string rootPath)
{
    if (scanning_ || rootPath.empty())
        return;
    while (rootPath.size() > 1 && rootPath.back() == '/')
        rootPath.pop_back();
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e;) {
        TTreeEntry* next = tree_.NextSibling(e);
        if (e->Path() == rootPath) {
            MoveSelectionOffSubtree(e);
            ledgers_.erase(e);
            tree_.DeleteEntry(e);
        }
        e = next;
    }
    TNode record;
    record.Path = rootPath;
    TTreeEntry* root = tree_.AddChildEntry(nullptr, rootPath, std::move(record));
    Tree->viewport()->repaint();
    ShowAnimation();
    btnGo->setEnabled(false);
    scanning_ = true;
    stopRequested_ = false;
    ScanFolder(root);
    scanning_ = false;
    btnGo->setEnabled(true);
    tree_.SetImageIndex(root, 1);
    HideAnimation();
    listings_->Resume();
}

void TfrmTallowin::MoveSelectionOffSubtree(TTreeEntry* entry)
{
    const TTreeEntry* current = model_->EntryAt(Tree->currentIndex());
    while (current && current != entry)
        current = current->Parent();
    if (!current)
        return;
    // As a tree control does: the sibling before, else the one after, else
    // the parent, else nothing.
    TTreeEntry* parent = entry->Parent();
    const int count = parent ? parent->ChildCount() : tree_.TopLevelCount();
    auto sibling = [&](int row) { return parent ? parent->ChildAt(row) : tree_.TopLevelAt(row); };
    TTreeEntry* target = parent;
    if (entry->Row() > 0)
        target = sibling(entry->Row() - 1);
    else if (entry->Row() + 1 < count)
        target = sibling(entry->Row() + 1);
    Tree->selectionModel()->setCurrentIndex(model_->IndexOf(target), QItemSelectionModel::ClearAndSelect);
}

TScanHooks TfrmTallowin::ScanHooks(ScanProgress& progress)
{
    TScanHooks hooks;
    hooks.ProcessPendingMessages = [this, &progress] {
        StatusBar->Sample(progress, model_->EntryAt(Tree->currentIndex()));
        ProcessPendingMessages();
    };
    hooks.StopRequested = [this] { return stopRequested_; };
    hooks.Progress = &progress;
    return hooks;
}

LinkLedger& TfrmTallowin::LedgerOf(const TTreeEntry* entry)
{
    while (entry->Parent())
        entry = entry->Parent();
    return ledgers_[entry];
}

void TfrmTallowin::ScanFolder(TTreeEntry* entry)
{
    if (!entry)
        return;
    ScanProgress progress;
    const TScanHooks hooks = ScanHooks(progress);
    StatusBar->ScanStarted(entry->Path());
    ::ScanFolder(tree_, entry, hooks, LedgerOf(entry));
    StatusBar->ScanFinished(progress, model_->EntryAt(Tree->currentIndex()));
}

void TfrmTallowin::RunBusy(const std::string& path, const std::function<void(const TreeChangeHooks&)>& change)
{
    ShowAnimation();
    btnGo->setEnabled(false);
    scanning_ = true;
    stopRequested_ = false;
    ScanProgress progress;
    StatusBar->ScanStarted(path);
    KeepingSelection(ScanHooks(progress), change);
    scanning_ = false;
    btnGo->setEnabled(true);
    HideAnimation();
    StatusBar->ScanFinished(progress, model_->EntryAt(Tree->currentIndex()));
    // The chart and the entry line follow the changed sizes.
    TreeChange(Tree->currentIndex());
    listings_->Resume();
}

void TfrmTallowin::KeepingSelection(const TScanHooks& scan,
                                    const std::function<void(const TreeChangeHooks&)>& change)
{
    TreeChangeHooks hooks;
    hooks.Scan = scan;
    // Where the selection goes at the first removal; kept by path, since a
    // rescan of the whole root (hard links moved) follows some changes.
    std::optional<std::string> keep;
    auto remember = [this, &keep] {
        const TTreeEntry* current = model_->EntryAt(Tree->currentIndex());
        if (!keep)
            keep = current ? current->Path() : std::string();
    };
    hooks.ChildrenAboutToGo = [this, remember](TTreeEntry* e) {
        // A selection below the folder moves up to it.
        const TTreeEntry* current = model_->EntryAt(Tree->currentIndex());
        for (const TTreeEntry* c = current ? current->Parent() : nullptr; c; c = c->Parent())
            if (c == e)
                Tree->selectionModel()->setCurrentIndex(model_->IndexOf(e),
                                                        QItemSelectionModel::ClearAndSelect);
        remember();
    };
    hooks.SubtreeAboutToGo = [this, remember](TTreeEntry* e) {
        MoveSelectionOffSubtree(e);
        remember();
    };
    change(hooks);
    if (keep && !keep->empty())
        if (TTreeEntry* again = FindEntry(tree_, *keep);
            again && again != model_->EntryAt(Tree->currentIndex()))
            Tree->selectionModel()->setCurrentIndex(model_->IndexOf(again),
                                                    QItemSelectionModel::ClearAndSelect);
}

void TfrmTallowin::RescanEntry(TTreeEntry* entry)
{
    if (!entry)
        return;
    TTreeEntry* root = RootOf(entry);
    if (scanning_) {
        StatusBar->ShowNotice(tr("Rescan refused: a scan is running"));
        return;
    }
    // The loose files are listed afresh.
    if (entry->IsListedFile() || entry->IsSmallerFiles())
        entry = entry->Parent();
    if (entry->IsFiles()) {
        listings_->Request(entry);
        return;
    }
    if (entry->Device() != root->Device()) {
        StatusBar->ShowNotice(
            tr("Rescan refused: %1 is on another file system").arg(PathText(entry->Path())));
        return;
    }
    std::optional<WalkRefusal> refused;
    const WalkPlan plan = PlanWalk(*entry);  // made before the entry may go
    RunBusy(entry->Path(), [&](const TreeChangeHooks& hooks) {
        refused = ::RescanEntry(tree_, entry, LedgerOf(entry), hooks).Refusal;
    });
    if (refused)
        StatusBar->ShowNotice(tr("Rescan refused: %1").arg(WalkRefusalText(plan, *refused)));
}

void TfrmTallowin::TrashEntry(TTreeEntry* entry)
{
    if (!entry)
        return;
    const QString shown = PathText(entry->Path());
    const QString refusal = scanning_ ? tr("Move to Trash refused: a scan is running") : TrashRefusal(*entry);
    if (!refusal.isEmpty()) {
        StatusBar->ShowNotice(refusal);
        return;
    }
    const QPersistentModelIndex where = model_->IndexOf(entry);
    if (!confirm_(tr("Move '%1' (%2) to the trash?").arg(shown, StatusBar->Bytes(entry->Size()))))
        return;
    // The dialog let events run: the entry may have gone meanwhile.
    if (!where.isValid() || model_->EntryAt(where) != entry || scanning_)
        return;
    const TrashOutcome outcome = MoveEntryToTrash(
        *entry,
        QFile::encodeName(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
            .toStdString());
    if (!outcome.Moved) {
        if (!outcome.Notice.isEmpty())
            StatusBar->ShowNotice(outcome.Notice);
        else
            warn_(outcome.Warning);
        return;
    }
    RunBusy(RootOf(entry)->Path(),
            [&](const TreeChangeHooks& hooks) { RemoveScannedEntry(tree_, entry, LedgerOf(entry), hooks); });
    StatusBar->ShowNotice(tr("Moved %1 to the trash").arg(shown));
}

// The scan calls this at most every TScanHooks::EventInterval.
void TfrmTallowin::ProcessPendingMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TfrmTallowin::SortSubtree(TTreeEntry* entry)
{
    ::SortSubtree(tree_, entry);
}

void TfrmTallowin::Resort(TTVCompareEvent compare)
{
    tree_.SetOnCompare(compare);
    ShowAnimation();
    for (TTreeEntry* e = tree_.FirstTopLevelEntry(); e; e = tree_.NextSibling(e))
        SortSubtree(e);
    // A re-sort inside a scan leaves the animation to the scan, which is
    // still busy (and HideAnimation to a listing, which is too).
    if (!scanning_)
        HideAnimation();
}

void TfrmTallowin::btnBySizeClick()
{
    Resort(::SortBySize);
}
void TfrmTallowin::btnByNameClick()
{
    Resort(::SortByName);
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
        FeedCompositionChart(Chart->Panel(), *PieSeries, e);
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
    if (scanning_)
        stopRequested_ = true;
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
    const DropVerdict verdict = JudgeDrop(*event->mimeData(), scanning_);
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
