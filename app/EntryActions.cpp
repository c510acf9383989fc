#include "app/EntryActions.h"

#include <QAction>
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QUrl>

#include "app/DesktopOpen.h"
#include "app/ExactPath.h"
#include "app/FileManagerItems.h"
#include "app/PathText.h"
#include "app/SizeTreeModel.h"
#include "app/SizeTreeView.h"
#include "sizetree/EntryWalk.h"

namespace {

// The folder an entry stands for on disk: its own path; for a FILES entry,
// a listed file and the smaller files' entry, the folder of the loose files.
std::string FolderOnDisk(const TTreeEntry& entry)
{
    return FolderOf(entry).Path();
}

// The file: URL of a path, its bytes percent-encoded as they are, so that a
// name that is not valid UTF-8 still names its file.
QUrl ExactFileUrl(const std::string& path)
{
    return QUrl::fromEncoded(QByteArray::fromStdString(ExactFileUri(path)), QUrl::StrictMode);
}

}  // namespace

EntryActions::EntryActions(SizeTreeView& view, SizeTreeModel& model)
    : QObject(&view), view_(view), model_(model), showItem_(ShowItemInFileManager)
{
    Opener = new DesktopOpener(this);
    Open = new QAction(tr("&Open"), this);
    Open->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    CopyPath = new QAction(tr("&Copy Path"), this);
    CopyPath->setShortcut(QKeySequence::Copy);
    Rescan = new QAction(tr("&Rescan"), this);
    Rescan->setShortcut(QKeySequence(Qt::Key_F5));
    MoveToTrash = new QAction(tr("Move to &Trash"), this);
    MoveToTrash->setShortcut(QKeySequence(Qt::Key_Delete));
    ChangesSince = new QAction(tr("C&hanges Since…"), this);
    ChangesSince->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    SizesOnDisk = new QAction(tr("Sizes on &Disk"), this);
    SizesOnDisk->setCheckable(true);
    SizesOnDisk->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    for (QAction* a : {Open, CopyPath, Rescan, MoveToTrash, ChangesSince, SizesOnDisk}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setShortcutVisibleInContextMenu(true);
        view_.addAction(a);
    }
    connect(Open, &QAction::triggered, this, &EntryActions::OpenCurrent);
    connect(CopyPath, &QAction::triggered, this, &EntryActions::CopyCurrentPath);
    connect(Rescan, &QAction::triggered, this, [this] {
        if (TTreeEntry* e = Current())
            emit RescanRequested(e);
    });
    connect(MoveToTrash, &QAction::triggered, this, [this] {
        if (TTreeEntry* e = Current())
            emit TrashRequested(e);
    });
    connect(SizesOnDisk, &QAction::toggled, this, &EntryActions::SizesOnDiskToggled);
    connect(ChangesSince, &QAction::triggered, this, [this] {
        if (TTreeEntry* e = Current())
            emit ChangesRequested(e->Root());
    });

    Menu = new QMenu(&view_);
    Menu->addAction(Open);
    Menu->addAction(CopyPath);
    Menu->addSeparator();
    Menu->addAction(Rescan);
    Menu->addAction(MoveToTrash);
    Menu->addSeparator();
    Menu->addAction(ChangesSince);
    Menu->addAction(SizesOnDisk);
    // Hidden below a root while the menu shows; a hidden action's key would
    // not work, and Ctrl+D works on any entry.
    connect(Menu, &QMenu::aboutToHide, ChangesSince, [this] { ChangesSince->setVisible(true); });
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = view_.indexAt(at);
        if (index.isValid())
            view_.setCurrentIndex(index);
        if (const TTreeEntry* e = Current()) {
            ChangesSince->setVisible(!e->Parent());
            Menu->popup(view_.viewport()->mapToGlobal(at));
        }
    });
}

TTreeEntry* EntryActions::Current() const
{
    return model_.EntryAt(view_.currentIndex());
}

void EntryActions::OpenCurrent()
{
    const TTreeEntry* e = Current();
    if (!e)
        return;
    const std::string folder = FolderOnDisk(*e);
    if (!e->IsListedFile()) {
        OpenUri(folder);
        return;
    }
    showItem_(ExactFileUrl(e->Path()), [this, folder](bool shown) {
        if (!shown)
            OpenUri(folder);
    });
}

void EntryActions::OpenUri(const std::string& path)
{
    Opener->Open(QString::fromStdString(ExactFileUri(path)), [this, path](const QString& failure) {
        if (!failure.isEmpty())
            emit Notice(tr("Could not open %1: %2").arg(PathText(path), failure));
    });
}

void EntryActions::CopyCurrentPath()
{
    const TTreeEntry* e = Current();
    if (!e)
        return;
    const std::string path = e->IsListedFile() ? e->Path() : FolderOnDisk(*e);
    auto* data = new QMimeData;
    data->setData(QStringLiteral("text/uri-list"), QByteArray::fromStdString(ExactFileUri(path) + "\r\n"));
    data->setText(QString::fromStdString(PasteablePath(path)));
    QGuiApplication::clipboard()->setMimeData(data);
}
