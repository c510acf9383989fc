// A folder tree built by a test under $TMPDIR (or /tmp) and removed with
// everything in it, however deep, when the object goes.
#pragma once

#include <cstdint>
#include <string>

class TTempTree {
public:
    TTempTree();
    ~TTempTree();
    TTempTree(const TTempTree&) = delete;
    TTempTree& operator=(const TTempTree&) = delete;

    const std::string& Root() const { return root_; }
    // rel is relative to Root(); parent folders must exist.
    std::string Dir(const std::string& rel);
    std::string File(const std::string& rel, uint64_t bytes);  // sparse
    std::string Link(const std::string& target, const std::string& rel);
    std::string HardLink(const std::string& existingRel, const std::string& rel);
    std::string Fifo(const std::string& rel);
    // A chain of `levels` folders named `name` under rel; returns nothing (its
    // path would exceed PATH_MAX).
    void Chain(const std::string& rel, int levels, const std::string& name, uint64_t leafFileBytes);

private:
    std::string root_;
};
