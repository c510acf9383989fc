#include "app/Panels.h"

#include <QPainter>

namespace {

class FlatHandle : public QSplitterHandle {
public:
    FlatHandle(Qt::Orientation o, QSplitter* parent) : QSplitterHandle(o, parent) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window));
    }
};

}  // namespace

ToolBarStrip::ToolBarStrip(QWidget* parent) : QWidget(parent)
{
}

void ToolBarStrip::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    p.drawLine(0, 0, width() - 1, 0);
    p.setPen(palette().color(QPalette::Light));
    p.drawLine(0, 1, width() - 1, 1);
}

FlatSplitter::FlatSplitter(QWidget* parent) : QSplitter(Qt::Horizontal, parent)
{
}

QSplitterHandle* FlatSplitter::createHandle()
{
    return new FlatHandle(orientation(), this);
}
