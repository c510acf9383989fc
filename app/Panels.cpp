#include "app/Panels.h"

#include <QPainter>

namespace {

class TFlatHandle : public QSplitterHandle {
public:
    TFlatHandle(Qt::Orientation o, QSplitter* parent) : QSplitterHandle(o, parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
    }
};

}  // namespace

TToolBarStrip::TToolBarStrip(QWidget* parent) : QWidget(parent)
{
}

void TToolBarStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 1, width() - 1, 1);
}

TFlatSplitter::TFlatSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent)
{
}

QSplitterHandle* TFlatSplitter::createHandle()
{
    return new TFlatHandle(orientation(), this);
}
