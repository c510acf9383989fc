// The program's own texts in the user's language: tallowin_<lang>.qm from
// the program's resources (built from app/translations/*.ts), and Qt's own
// texts (standard buttons of dialogs) when their translation is installed.
//
// Protocol: construct after the QApplication and before the windows, on the
// UI thread; the translators stay installed while the object lives. English
// needs no file: the source texts are English.
#pragma once

#include <QLocale>
#include <QTranslator>

class ProgramTranslation {
public:
    explicit ProgramTranslation(const QLocale& locale = QLocale::system());
    ~ProgramTranslation();
    ProgramTranslation(const ProgramTranslation&) = delete;
    ProgramTranslation& operator=(const ProgramTranslation&) = delete;

    // True when a translation of the program's own texts was found.
    bool Loaded() const { return ownLoaded_; }

private:
    QTranslator own_;
    QTranslator qt_;
    bool ownLoaded_ = false;
    bool qtLoaded_ = false;
};
