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
    // Root(), or rel under it.
    std::string Path(const std::string& rel = "") const;
    // rel is relative to Root(). Dir and File make missing parent folders;
    // the others need them to exist.
    std::string Dir(const std::string& rel) const;
    std::string File(const std::string& rel, uint64_t bytes) const;  // sparse
    std::string Link(const std::string& target, const std::string& rel) const;
    std::string HardLink(const std::string& existingRel, const std::string& rel) const;
    std::string Fifo(const std::string& rel) const;
    // A chain of `levels` folders named `name` under rel; returns nothing (its
    // path would exceed PATH_MAX).
    void Chain(const std::string& rel, int levels, const std::string& name, uint64_t leafFileBytes) const;

private:
    std::string root_;
};
