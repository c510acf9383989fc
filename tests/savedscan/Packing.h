// Test helpers: a text packed as gzip or zstd, and a file written whole.
#pragma once

#include <string>

std::string Gzip(const std::string& text);
std::string Zstd(const std::string& text);
void WriteFile(const std::string& path, const std::string& bytes);
