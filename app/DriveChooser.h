// The drive chooser as the main window sees it: a combo box with
// SelectedDrive(), the chosen root path ("" when none).
//
// With the drive chooser library built, this is TDriveComboBox. Without it, a
// plain combo box offering "/" stands in its place.
#pragma once

#if TALLOWIN_HAVE_DRIVES
#include "drives/DriveComboBox.h"

class TDriveChooser : public TDriveComboBox {
public:
    using TDriveComboBox::TDriveComboBox;
};
#else
#include <QComboBox>
#include <string>

class TDriveChooser : public QComboBox {
public:
    explicit TDriveChooser(QWidget* parent) : QComboBox(parent) { addItem(QStringLiteral("/")); }
    std::string SelectedDrive() const { return currentText().toStdString(); }
};
#endif
