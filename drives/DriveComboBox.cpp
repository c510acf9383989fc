#include "drives/DriveComboBox.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QFileDialog>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QStyleOptionComboBox>
#include <QStylePainter>
#include <algorithm>
#include <filesystem>

#include "drives/DrawDriveItem.h"
#include "drives/DriveItemDelegate.h"
#include "drives/MountDriveSource.h"

// The application's style, except that the drop-down opens below the box
// as a list of at most maxVisibleItems entries, never as a menu.
class TDropDownStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

namespace {

std::string CurrentDirectory()
{
    std::error_code ec;
    const auto dir = std::filesystem::current_path(ec);
    return ec ? std::string() : dir.string();
}

std::string PlatformFolderDialog(QWidget* parent, const std::string& start)
{
    const QString chosen = QFileDialog::getExistingDirectory(
        parent, TDriveComboBox::tr("Choose a folder to scan"), QString::fromStdString(start));
    return chosen.isEmpty() ? std::string() : chosen.toStdString();
}

}  // namespace

TDriveComboBox::TDriveComboBox(QWidget* parent)
    : TDriveComboBox(MakeLinuxDriveSource(), CurrentDirectory(), parent)
{
}

TDriveComboBox::TDriveComboBox(std::unique_ptr<IDriveSource> source, const std::string& currentDir,
                               QWidget* parent)
    : QComboBox(parent),
      style_(std::make_unique<TDropDownStyle>()),
      source_(std::move(source)),
      list_(std::make_unique<TDriveList>(*source_, currentDir)),
      folderDialog_(PlatformFolderDialog)
{
    list_->SetFolderChoice(true);
    setStyle(style_.get());
    setEditable(false);
    setMaxVisibleItems(8);
    delegate_ = new TDriveItemDelegate(images_, this);
    setItemDelegate(delegate_);
    UpdateItemHeight();
    connect(this, &QComboBox::activated, this, &TDriveComboBox::OnActivated);
}

TDriveComboBox::~TDriveComboBox() = default;

std::string TDriveComboBox::SelectedDrive() const
{
    return list_->SelectedDrive();
}

TTextCase TDriveComboBox::TextCase() const
{
    return list_->TextCase();
}

void TDriveComboBox::SetTextCase(TTextCase value)
{
    const bool changed = list_->SetTextCase(value);
    filled_ = true;
    SyncItems();
    if (changed)
        emit DriveChanged();
}

void TDriveComboBox::SetDriveSource(std::unique_ptr<IDriveSource> source)
{
    if (!source)
        return;
    auto list = std::make_unique<TDriveList>(*source, list_->SelectedDrive(), list_->TextCase());
    list->UpdateItemHeight(list_->ItemHeight());
    list->SetFolderChoice(true);
    list_ = std::move(list);  // the old list referred to the old source: replace it first
    source_ = std::move(source);
    if (filled_)
        RebuildList();
}

void TDriveComboBox::RebuildList()
{
    list_->RebuildDriveList();
    const bool changed = list_->SelectDrive(list_->SelectedDrive());
    filled_ = true;
    SyncItems();
    if (changed)
        emit DriveChanged();
}

void TDriveComboBox::SelectDrive(const std::string& drive)
{
    const bool changed = list_->SelectDrive(drive);
    SyncSelection();
    if (changed)
        emit DriveChanged();
}

void TDriveComboBox::AddFolder(const std::string& path)
{
    const bool changed = list_->AddFolder(path);
    SyncItems();
    if (changed)
        emit DriveChanged();
}

bool TDriveComboBox::ChooseFolder()
{
    const std::string chosen = folderDialog_ ? folderDialog_(this, list_->FolderDialogStart()) : "";
    if (chosen.empty()) {
        SyncSelection();  // cancelled: the entry chosen before stays
        return false;
    }
    AddFolder(chosen);
    return true;
}

int TDriveComboBox::ItemHeight() const
{
    return list_->ItemHeight();
}

void TDriveComboBox::UpdateItemHeight()
{
    list_->UpdateItemHeight(QFontMetrics(font()).height());
    delegate_->SetItemHeight(list_->ItemHeight());
}

void TDriveComboBox::SyncItems()
{
    const QSignalBlocker blocker(this);
    clear();
    const auto& entries = list_->Entries();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const TDriveEntry& e = entries[i];
        addItem(list_->IsFolderDialogEntry(int(i)) ? tr("Folder…") : QString::fromStdString(e.Caption));
        setItemData(count() - 1, int(e.Image), DriveKindRole);
    }
    addItem(tr("Open Scan…"));
    setItemData(count() - 1, int(TDriveKind::dkFolder), DriveKindRole);
    FitListWidth();
    SyncSelection();
}

void TDriveComboBox::FitListWidth()
{
    // As DrawDriveItem lays an entry out: 2 + image + 6, then the caption;
    // beside them the list's frame and a scroll bar.
    const QFontMetrics fm(font());
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        const QPixmap* image = images_.ForKind(static_cast<TDriveKind>(itemData(i, DriveKindRole).toInt()));
        const int imageWidth = image && !image->isNull() ? image->width() : 16;
        widest = std::max(widest, 2 + imageWidth + 6 + fm.horizontalAdvance(itemText(i)));
    }
    const int extra = 2 * view()->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 4;
    view()->setMinimumWidth(widest + extra);
}

void TDriveComboBox::SyncSelection()
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(list_->SelectedIndex());
    update();
}

void TDriveComboBox::OnActivated(int index)
{
    if (index >= int(list_->Entries().size())) {
        SyncSelection();  // "Open Scan…" is never the choice
        emit OpenScanChosen();
        return;
    }
    if (list_->IsFolderDialogEntry(index)) {
        ChooseFolder();
        return;
    }
    emit DriveClicked();
    const bool changed = list_->PickEntry(index);
    SyncSelection();
    if (changed)
        emit DriveChanged();
}

void TDriveComboBox::showEvent(QShowEvent* event)
{
    if (!filled_)
        RebuildList();  // the first time the control appears
    QComboBox::showEvent(event);
}

void TDriveComboBox::changeEvent(QEvent* event)
{
    QComboBox::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateItemHeight();
        if (filled_)
            RebuildList();
    }
}

void TDriveComboBox::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionComboBox opt;
    initStyleOption(&opt);
    opt.currentText.clear();
    opt.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, opt);
    const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField,
                                                this);
    // The closed box shows the chosen entry highlighted while it has the focus.
    const bool highlighted = hasFocus() && !view()->isVisible();
    const QPalette& pal = palette();
    const TItemColours colours = highlighted
        ? TItemColours{pal.color(QPalette::Highlight), pal.color(QPalette::HighlightedText)}
        : TItemColours{pal.color(QPalette::Base), pal.color(QPalette::Text)};
    const int index = currentIndex();
    if (index < 0) {
        painter.fillRect(field, pal.color(QPalette::Base));
        return;
    }
    painter.setFont(font());
    const auto kind = TDriveKind(itemData(index, DriveKindRole).toInt());
    DrawDriveItem(painter, field, images_.ForKind(kind), itemText(index), colours);
}
