#include "app/ProgramTranslation.h"

#include <QCoreApplication>
#include <QLibraryInfo>

ProgramTranslation::ProgramTranslation(const QLocale& locale)
{
    ownLoaded_ = own_.load(locale, QStringLiteral("tallowin"), QStringLiteral("_"), QStringLiteral(":/i18n"));
    if (ownLoaded_)
        QCoreApplication::installTranslator(&own_);
    qtLoaded_ = qt_.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (qtLoaded_)
        QCoreApplication::installTranslator(&qt_);
}

ProgramTranslation::~ProgramTranslation()
{
    if (qtLoaded_)
        QCoreApplication::removeTranslator(&qt_);
    if (ownLoaded_)
        QCoreApplication::removeTranslator(&own_);
}
