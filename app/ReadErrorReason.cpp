#include "app/ReadErrorReason.h"

#include <QCoreApplication>

#include "sizetree/Listing.h"

QString ReadErrorReason(uint8_t code)
{
    // The texts ReadErrorText gives most often, for the translators.
    [[maybe_unused]] static const char* const kCommon[] = {
        QT_TRANSLATE_NOOP("ReadError", "Permission denied"),
        QT_TRANSLATE_NOOP("ReadError", "Vanished while scanned"),
        QT_TRANSLATE_NOOP("ReadError", "Replaced while scanned"),
        QT_TRANSLATE_NOOP("ReadError", "Listing abandoned"),
        QT_TRANSLATE_NOOP("ReadError", "No longer the folder that was scanned"),
        QT_TRANSLATE_NOOP("ReadError", "Input/output error"),
        QT_TRANSLATE_NOOP("ReadError", "Too many levels of symbolic links"),
        QT_TRANSLATE_NOOP("ReadError", "Not a directory"),
    };
    return QCoreApplication::translate("ReadError", ReadErrorText(code));
}
