// A path's exact bytes in the forms other programs take: a file URI with
// every byte but the unreserved ones and "/" percent-encoded, and text that
// a shell reads back as the same bytes (the path itself when it is valid
// UTF-8 with no control characters, else a $'...' string with \xHH escapes).
//
// Protocol: pure functions of their arguments; any thread.
#pragma once

#include <string>

// "file:///a/b%20c".
std::string ExactFileUri(const std::string& path);

// The path as pasteable text: "/a/b c", or $'/a/b\xff'.
std::string PasteablePath(const std::string& path);
