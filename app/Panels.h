// Small containers of the main window: the toolbar strip with its top edge
// line and the flat splitter.
//
// Protocol: plain widgets; the main window makes one of each, places its
// controls on or in them, and owns them as its children. UI thread.
#pragma once

#include <QSplitter>
#include <QWidget>

// Holds the toolbar's controls at fixed places; draws an etched line along
// its top edge (2 px: shadow over highlight).
class ToolBarStrip : public QWidget {
    Q_OBJECT
public:
    explicit ToolBarStrip(QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A splitter whose handle is drawn flat in the window colour.
class FlatSplitter : public QSplitter {
    Q_OBJECT
public:
    explicit FlatSplitter(QWidget* parent);

protected:
    QSplitterHandle* createHandle() override;
};
