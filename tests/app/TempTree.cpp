#include "TempTree.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

TTempTree::TTempTree()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "tallowin-app-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("mkdtemp failed");
    root_ = pattern;
}

TTempTree::~TTempTree()
{
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
}

std::string TTempTree::Path(const std::string& relative) const
{
    return relative.empty() ? root_.string() : (root_ / relative).string();
}

void TTempTree::Folder(const std::string& relative) const
{
    std::filesystem::create_directories(root_ / relative);
}

void TTempTree::File(const std::string& relative, uint64_t bytes) const
{
    const std::filesystem::path p = root_ / relative;
    std::filesystem::create_directories(p.parent_path());
    { std::ofstream(p, std::ios::binary); }
    std::filesystem::resize_file(p, bytes);
}
