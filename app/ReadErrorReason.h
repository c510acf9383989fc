// The reason of a read error code (sizetree/Listing.h) in the user's
// language.
//
// Protocol: the UI thread (translations).
#pragma once

#include <QString>
#include <cstdint>

// As the report prints it, translated where a translation exists.
QString ReadErrorReason(uint8_t code);
