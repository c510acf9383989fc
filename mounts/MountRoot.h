// Whether a path is where a file system is mounted.
//
// Protocol: asks the file system (stat) at each call; any thread.
#pragma once

#include <string>

// True for "/" and for a folder on another device than the folder above it;
// false when either cannot be looked at.
bool IsMountRoot(const std::string& path);
