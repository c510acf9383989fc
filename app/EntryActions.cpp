#include "app/EntryActions.h"

#include <QAction>
#include <QClipboard>
#include <QDesktopServices>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QUrl>

#include "app/SizeTreeModel.h"
#include "app/SizeTreeView.h"

namespace {

// Bytes of a path as Qt names files, so that a name that is not valid UTF-8
// still reaches its file.
QString PathText(const std::string& path)
{
    return QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())));
}

}  // namespace

std::string FolderOnDisk(const TTreeEntry& entry)
{
    const TTreeEntry* folder = entry.IsFiles() && entry.Parent() ? entry.Parent() : &entry;
    return folder->Path();
}

EntryActions::EntryActions(TSizeTreeView& view, TSizeTreeModel& model)
    : QObject(&view), view_(view), model_(model)
{
    Open = new QAction(tr("&Open"), this);
    Open->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_Return), QKeySequence(Qt::CTRL | Qt::Key_Enter)});
    CopyPath = new QAction(tr("&Copy Path"), this);
    CopyPath->setShortcut(QKeySequence::Copy);
    for (QAction* a : {Open, CopyPath}) {
        a->setShortcutContext(Qt::WidgetShortcut);
        a->setShortcutVisibleInContextMenu(true);
        view_.addAction(a);
    }
    connect(Open, &QAction::triggered, this, &EntryActions::OpenCurrent);
    connect(CopyPath, &QAction::triggered, this, &EntryActions::CopyCurrentPath);

    Menu = new QMenu(&view_);
    Menu->addAction(Open);
    Menu->addAction(CopyPath);
    view_.setContextMenuPolicy(Qt::CustomContextMenu);
    connect(&view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const QModelIndex index = view_.indexAt(at);
        if (index.isValid())
            view_.setCurrentIndex(index);
        if (Current())
            Menu->popup(view_.viewport()->mapToGlobal(at));
    });
}

const TTreeEntry* EntryActions::Current() const { return model_.EntryAt(view_.currentIndex()); }

void EntryActions::OpenCurrent()
{
    if (const TTreeEntry* e = Current())
        QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(FolderOnDisk(*e))));
}

void EntryActions::CopyCurrentPath()
{
    if (const TTreeEntry* e = Current())
        QGuiApplication::clipboard()->setText(PathText(FolderOnDisk(*e)));
}
