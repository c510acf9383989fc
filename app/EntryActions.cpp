#include "app/EntryActions.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QUrl>

#include "app/FileManagerItems.h"
#include "app/SizeTreeModel.h"
#include "app/SizeTreeView.h"

QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

std::string FolderOnDisk(const TTreeEntry& entry)
{
    const TTreeEntry* folder = &entry;
    if (folder->IsListedFile() || folder->IsSmallerFiles())
        folder = folder->Parent();
    if (folder && folder->IsFiles())
        folder = folder->Parent();
    return (folder ? folder : &entry)->Path();
}

namespace {

// The file: URL of a path, its bytes percent-encoded as they are, so that a
// name that is not valid UTF-8 still names its file.
QUrl ExactFileUrl(const std::string& path)
{
    return QUrl::fromEncoded("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"),
                             QUrl::StrictMode);
}

}  // namespace

EntryActions::EntryActions(TSizeTreeView& view, TSizeTreeModel& model)
    : QObject(&view), view_(view), model_(model), showItem_(ShowItemInFileManager)
{
    Open = new QAction(tr("&Open"), this);
    Open->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    CopyPath = new QAction(tr("&Copy Path"), this);
    CopyPath->setShortcut(QKeySequence::Copy);
    Rescan = new QAction(tr("&Rescan"), this);
    Rescan->setShortcut(QKeySequence(Qt::Key_F5));
    MoveToTrash = new QAction(tr("Move to &Trash"), this);
    MoveToTrash->setShortcut(QKeySequence(Qt::Key_Delete));
    for (QAction* a : {Open, CopyPath, Rescan, MoveToTrash}) {
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

    Menu = new QMenu(&view_);
    Menu->addAction(Open);
    Menu->addAction(CopyPath);
    Menu->addSeparator();
    Menu->addAction(Rescan);
    Menu->addAction(MoveToTrash);
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = view_.indexAt(at);
        if (index.isValid())
            view_.setCurrentIndex(index);
        if (Current())
            Menu->popup(view_.viewport()->mapToGlobal(at));
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
    const QUrl folder = QUrl::fromLocalFile(PathText(FolderOnDisk(*e)));
    if (!e->IsListedFile()) {
        QDesktopServices::openUrl(folder);
        return;
    }
    showItem_(ExactFileUrl(e->Path()), [folder](bool shown) {
        if (!shown)
            QDesktopServices::openUrl(folder);
    });
}

void EntryActions::CopyCurrentPath()
{
    if (const TTreeEntry* e = Current())
        QGuiApplication::clipboard()->setText(PathText(e->IsListedFile() ? e->Path() : FolderOnDisk(*e)));
}
