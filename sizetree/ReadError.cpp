// Codes and texts of folders that could not be read.
#include <cerrno>
#include <cstring>

#include "sizetree/Listing.h"

uint8_t ReadErrorOfErrno(int err)
{
    if (err == 0)
        return 0;
    if (err < 0 || err >= kReadReplaced)
        return EIO;
    return static_cast<uint8_t>(err);
}

const char* ReadErrorText(uint8_t code)
{
    switch (code) {
    case 0:
        return "";
    case kReadReplaced:
        return "Replaced while scanned";
    case kReadAbandoned:
        return "Listing abandoned";
    case kReadChanged:
        return "No longer the folder that was scanned";
    case kReadWhenSaved:
        return "Unreadable when the scan was saved";
    case ENOENT:
        return "Vanished while scanned";
    default:
        break;
    }
    // The C library's English text, not the locale's: the same on every
    // thread and in every language, as the report needs.
    const char* text = strerrordesc_np(code);
    return text ? text : "Unknown error";
}
