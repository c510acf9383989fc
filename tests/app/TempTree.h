// Folder trees built on disk for the tests, removed again at the end.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

class TTempTree {
public:
    TTempTree();
    ~TTempTree();
    TTempTree(const TTempTree&) = delete;
    TTempTree& operator=(const TTempTree&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    std::string Path(const std::string& relative = "") const;
    // Creates folder relative (and its parents).
    void Folder(const std::string& relative) const;
    // Creates a file of size bytes (sparse), with its folders.
    void File(const std::string& relative, uint64_t bytes) const;

private:
    std::filesystem::path root_;
};
