// The window's language for one test: QLocale's default and the program's
// translations as the window program installs them at start-up. Construct
// before the windows whose texts are checked; both are undone at the end of
// the scope.
#pragma once

#include <QLocale>

#include "app/ProgramTranslation.h"

class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) : previous_(QLocale()), translation_(Default(locale)) {}
    ~ScopedLocale() { QLocale::setDefault(previous_); }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    bool Translated() const { return translation_.Loaded(); }

private:
    static const QLocale& Default(const QLocale& locale)
    {
        QLocale::setDefault(locale);
        return locale;
    }

    QLocale previous_;
    ProgramTranslation translation_;
};
