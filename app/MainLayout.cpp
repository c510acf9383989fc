// The main window's designed look: font, colours and size, the toolbar with
// its buttons and toggle groups, the tree, the splitter, the chart's panel,
// the status bar below and the busy animation. Places in client pixels.
#include <QButtonGroup>
#include <QFrame>
#include <QHeaderView>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/BusyAnimation.h"
#include "app/CompositionChart.h"
#include "app/EntryActions.h"
#include "app/Glyphs.h"
#include "app/MainUnit.h"
#include "app/Panels.h"
#include "app/ScanStatusBar.h"
#include "app/SizeTreeView.h"
#include "chart/qt/Chart.h"
#include "drives/DriveComboBox.h"

namespace {

const QColor kWindowColour(0xE5, 0xE5, 0xE5);  // 0x00E5E5E5
constexpr int kToolBarHeight = 29;
constexpr int kButtonTop = 2;
constexpr int kButtonHeight = 23;
constexpr int kTreeWidth = 209;
constexpr int kSplitterWidth = 3;

}  // namespace

void TfrmTallowin::LayOut()
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

    BuildToolBar();
    BuildTree();

    Splitter = new FlatSplitter(this);
    Splitter->setObjectName(QStringLiteral("Splitter"));
    Splitter->setHandleWidth(kSplitterWidth);
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
    Splitter->setSizes({kTreeWidth, kClientWidth - kTreeWidth - kSplitterWidth});

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
    // A saved scan, the same way.
    auto* openScan = new QShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_O), this);
    openScan->setContext(Qt::WindowShortcut);
    connect(openScan, &QShortcut::activated, this, &TfrmTallowin::OpenScanClick);

    setAcceptDrops(true);

    setTabOrder(Tree, ToolBar);
    setTabOrder(ToolBar, Panel);
    Tree->setFocus();
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
    for (auto [down, up] : {std::pair{btnPercent, btnValue}, std::pair{btnBySize, btnByName}}) {
        auto* group = new QButtonGroup(this);
        group->setExclusive(true);
        for (QToolButton* b : {down, up}) {
            b->setCheckable(true);
            group->addButton(b);
        }
        down->setChecked(true);
    }
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
    Tree->SetSizeTreeModel(model_.get());
    Actions = new EntryActions(*Tree, *model_);
}
