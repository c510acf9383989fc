// A path's bytes as text to show.
//
// Protocol: a pure function; any thread. For display only: whatever acts on
// the disk keeps the bytes (app/ExactPath.h gives them to the desktop).
#pragma once

#include <QString>
#include <string>

// Bytes that are not UTF-8 are shown as Qt decodes file names.
QString PathText(const std::string& path);
