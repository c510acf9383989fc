// TfrmAbout: the about window with the program's name, version and picture.
//
// Protocol: created once, hidden, at start-up (after the main window); shown
// modally with exec() any number of times; closed by btnOK (click, Enter, or
// Space on the focused button). It has no close box.
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

class TfrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAbout(QWidget* parent = nullptr);

    // Appends the version to Label1; runs once, from the constructor.
    void FormCreate();

    QLabel* Label1 = nullptr;
    QLabel* Image1 = nullptr;
    QPushButton* btnOK = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
