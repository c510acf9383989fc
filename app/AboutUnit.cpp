// The about window.
#include "app/AboutUnit.h"

#include <QFontMetrics>
#include <QLabel>
#include <algorithm>
#include <QPushButton>

#include "app/Glyphs.h"
#include "app/WindowPlacement.h"

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Oskel Tallowin"));
    setFixedSize(278, 81);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    setFont(font);

    // The chancery face is asked for by name; the URW one stands in for it.
    QFont::insertSubstitution(QStringLiteral("Monotype Corsiva"), QStringLiteral("Z003"));
    Label1 = new QLabel(QStringLiteral("Tallowin v2.0  .0"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont labelFont(QStringLiteral("Monotype Corsiva"));
    labelFont.setPixelSize(40);
    labelFont.setBold(true);
    labelFont.setItalic(true);
    Label1->setFont(labelFont);
    QPalette pal = Label1->palette();
    pal.setColor(QPalette::WindowText, QColor(0x80, 0, 0));  // maroon
    Label1->setPalette(pal);
    Label1->move(8, 0);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(240, 48, 33, 33);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Image1->setPixmap(QPixmap::fromImage(KeyedImage(AboutPicture())));

    btnOK = new QPushButton(KeyedIcon(OkGlyph()), QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(0, 56, 75, 25);
    btnOK->setDefault(true);
    btnOK->setFocus();
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    FormCreate();
}

void TfrmAbout::FormCreate()
{
    Label1->setText(Label1->text() + QStringLiteral("1.0"));
    // A substitute face wider than the designed one is condensed so that the
    // whole text stays inside the window.
    const int room = width() - Label1->x();
    const int wide = QFontMetrics(Label1->font()).horizontalAdvance(Label1->text());
    if (wide > room) {
        QFont f = Label1->font();
        f.setStretch(std::max(50, 100 * room / wide - 1));
        Label1->setFont(f);
    }
    Label1->adjustSize();
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    btnOK->setFocus();
    CentreOnScreen(this);
}
