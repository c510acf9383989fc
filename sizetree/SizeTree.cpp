#include "sizetree/SizeTree.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <new>
#include <string_view>
#include <utility>

#include "sizetree/Ordering.h"

namespace {

constexpr size_t kFirstBlockEntries = 1024;
// Later blocks: one huge page each, so a large tree takes its memory in few
// page faults: 8,000 fewer for the million-file tree, about a tenth of the
// time its saved scan takes to open.
constexpr size_t kHugePage = size_t{2} << 20;

// The scan keeps one entry per folder: it must not grow (the listed files'
// flag lives in what was padding).
static_assert(sizeof(void*) != 8 || sizeof(TTreeEntry) <= 160, "TTreeEntry grew");

void AppendFolderPart(std::string& path, const TTreeEntry& entry, TPathKind kind)
{
    if (path.empty() || path.back() != '/')
        path += '/';
    if (kind == TPathKind::pkFiles)
        path += kFilesName;
    else
        path += entry.Name();
}

}  // namespace

// ---- TTreeEntry ----

std::string TTreeEntry::Path() const
{
    if (pathKind_ == TPathKind::pkFile || pathKind_ == TPathKind::pkSmallerFiles) {
        const TTreeEntry* folder = parent_ ? parent_->parent_ : nullptr;
        std::string path = folder ? folder->Path() : std::string();
        if (pathKind_ == TPathKind::pkFile)
            AppendFolderPart(path, *this, pathKind_);
        return path;
    }
    // Walk up to the nearest entry that holds its path, then append downward.
    std::vector<const TTreeEntry*> chain;
    const TTreeEntry* e = this;
    for (; e && e->pathKind_ != TPathKind::pkExplicit; e = e->parent_)
        chain.push_back(e);
    std::string path = e && e->path_ ? *e->path_ : std::string();
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        AppendFolderPart(path, **it, (*it)->pathKind_);
    return path;
}

TNode TTreeEntry::Node() const
{
    return TNode{Path(), size_, name_};
}

void TTreeEntry::Reset()
{
    caption_ = std::string();
    name_ = std::string();
    size_ = 0;
    path_.reset();
    parent_ = nullptr;
    children_ = std::vector<TTreeEntry*>();
    row_ = 0;
    image_ = 0;
    flags_ = 0;
    pathKind_ = TPathKind::pkExplicit;
    readError_ = 0;
    counts_ = EntryCounts();
    device_ = 0;
    inode_ = 0;
}

// ---- TSizeTree ----

struct TSizeTree::EntryBlock {
    void* Memory = nullptr;
    TTreeEntry* Entries = nullptr;
    size_t Count = 0;
    bool Huge = false;  // from aligned_alloc, freed with free

    explicit EntryBlock(bool first) : Huge(!first)
    {
        if (first) {
            Count = kFirstBlockEntries;
            Memory = ::operator new(Count * sizeof(TTreeEntry));
        } else {
            Count = kHugePage / sizeof(TTreeEntry);
            Memory = std::aligned_alloc(kHugePage, kHugePage);
            if (!Memory)
                throw std::bad_alloc();
            madvise(Memory, kHugePage, MADV_HUGEPAGE);  // a hint: small pages if refused
        }
        Entries = static_cast<TTreeEntry*>(Memory);
        std::uninitialized_value_construct_n(Entries, Count);
    }
    ~EntryBlock()
    {
        std::destroy_n(Entries, Count);
        if (Huge)
            std::free(Memory);
        else
            ::operator delete(Memory);
    }
    EntryBlock(const EntryBlock&) = delete;
    EntryBlock& operator=(const EntryBlock&) = delete;
};

TSizeTree::TSizeTree() : onCompare_(SortBySize)
{
}

TSizeTree::~TSizeTree() = default;

TTreeEntry* TSizeTree::Allocate()
{
    if (!free_.empty()) {
        TTreeEntry* e = free_.back();
        free_.pop_back();
        return e;
    }
    if (blocks_.empty() || usedInLastBlock_ == blocks_.back()->Count) {
        blocks_.push_back(std::make_unique<EntryBlock>(blocks_.empty()));
        usedInLastBlock_ = 0;
    }
    return &blocks_.back()->Entries[usedInLastBlock_++];
}

void TSizeTree::Release(TTreeEntry* entry)
{
    entry->Reset();
    free_.push_back(entry);
}

std::vector<TTreeEntry*>& TSizeTree::SiblingsOf(TTreeEntry* entry)
{
    return entry->parent_ ? entry->parent_->children_ : roots_;
}

TTreeEntry* TSizeTree::Append(TTreeEntry* parent, std::string caption)
{
    std::vector<TTreeEntry*>& siblings = parent ? parent->children_ : roots_;
    const int row = static_cast<int>(siblings.size());
    for (TTreeObserver* o : observers_)
        o->EntryAboutToBeAdded(parent, row);
    TTreeEntry* e = Allocate();
    e->caption_ = std::move(caption);
    e->parent_ = parent;
    e->row_ = row;
    siblings.push_back(e);
    return e;
}

TTreeEntry* TSizeTree::AddChildEntry(TTreeEntry* parent, std::string caption, TNode record)
{
    TPathKind kind = TPathKind::pkExplicit;
    if (parent) {
        // Keep the path only when it does not follow from the parent's.
        std::string dir = parent->Path();
        if (dir.empty() || dir.back() != '/')
            dir += '/';
        if (record.Path.size() > dir.size() && record.Path.compare(0, dir.size(), dir) == 0) {
            std::string_view rest(record.Path);
            rest.remove_prefix(dir.size());
            if (!record.Name.empty() && rest == record.Name)
                kind = TPathKind::pkFolder;
            else if (record.Name.empty() && rest == kFilesName)
                kind = TPathKind::pkFiles;
        }
    }
    TTreeEntry* e = Append(parent, std::move(caption));
    e->pathKind_ = kind;
    e->size_ = record.Size;
    e->name_ = std::move(record.Name);
    if (kind == TPathKind::pkExplicit)
        e->path_ = std::make_unique<std::string>(std::move(record.Path));
    for (TTreeObserver* o : observers_)
        o->EntryAdded(e);
    return e;
}

TTreeEntry* TSizeTree::AddDerivedEntry(TTreeEntry* parent, std::string caption, std::string name, double size,
                                       TPathKind kind, int image)
{
    TTreeEntry* e = Append(parent, std::move(caption));
    e->image_ = static_cast<int8_t>(image);
    e->pathKind_ = kind;
    e->size_ = size;
    e->name_ = std::move(name);
    if (kind == TPathKind::pkExplicit)
        e->path_ = std::make_unique<std::string>();
    for (TTreeObserver* o : observers_)
        o->EntryAdded(e);
    return e;
}

void TSizeTree::SetCaption(TTreeEntry* entry, std::string text)
{
    entry->caption_ = std::move(text);
    for (TTreeObserver* o : observers_)
        o->EntryChanged(entry);
}

void TSizeTree::TellCaptionsChanged()
{
    for (TTreeObserver* o : observers_)
        o->CaptionsChanged();
}

void TSizeTree::SetImageIndex(TTreeEntry* entry, int index)
{
    entry->image_ = static_cast<int8_t>(index);
    for (TTreeObserver* o : observers_)
        o->EntryChanged(entry);
}

void TSizeTree::SortChildren(TTreeEntry* entry)
{
    if (!entry || entry->children_.size() < 2)
        return;
    // Entries the comparator calls equal stand in the order of their name
    // bytes, so one tree comes out the same whatever order it was built in.
    const TTVCompareEvent compare = onCompare_;
    auto less = [compare](const TTreeEntry* a, const TTreeEntry* b) {
        const int c = compare(*a, *b);
        return c != 0 ? c < 0 : std::string_view(a->name_) < std::string_view(b->name_);
    };
    std::vector<TTreeEntry*>& children = entry->children_;
    if (std::is_sorted(children.begin(), children.end(), less))
        return;
    for (TTreeObserver* o : observers_)
        o->ChildrenAboutToBeReordered(entry);
    std::sort(children.begin(), children.end(), less);
    for (size_t i = 0; i < children.size(); ++i)
        children[i]->row_ = static_cast<int>(i);
    for (TTreeObserver* o : observers_)
        o->ChildrenReordered(entry);
}

void TSizeTree::DeleteEntry(TTreeEntry* entry)
{
    if (!entry)
        return;
    for (TTreeObserver* o : observers_)
        o->EntryAboutToBeDeleted(entry);
    TTreeEntry* parent = entry->parent_;
    const int row = entry->row_;
    std::vector<TTreeEntry*>& siblings = SiblingsOf(entry);
    siblings.erase(siblings.begin() + row);
    for (size_t i = static_cast<size_t>(row); i < siblings.size(); ++i)
        siblings[i]->row_ = static_cast<int>(i);
    // Iterative: a subtree may be thousands of levels deep.
    std::vector<TTreeEntry*> pending{entry};
    while (!pending.empty()) {
        TTreeEntry* e = pending.back();
        pending.pop_back();
        pending.insert(pending.end(), e->children_.begin(), e->children_.end());
        Release(e);
    }
    for (TTreeObserver* o : observers_)
        o->EntryDeleted(parent, row);
}

TTreeEntry* TSizeTree::FirstTopLevelEntry() const
{
    return roots_.empty() ? nullptr : roots_.front();
}

TTreeEntry* TSizeTree::NextSibling(const TTreeEntry* entry) const
{
    const std::vector<TTreeEntry*>& siblings = entry->parent_ ? entry->parent_->children_ : roots_;
    const size_t next = static_cast<size_t>(entry->row_) + 1;
    return next < siblings.size() ? siblings[next] : nullptr;
}

int TSizeTree::TopLevelCount() const
{
    return static_cast<int>(roots_.size());
}

TTreeEntry* TSizeTree::TopLevelAt(int i) const
{
    return roots_[static_cast<size_t>(i)];
}

void TSizeTree::AddObserver(TTreeObserver* observer)
{
    if (std::find(observers_.begin(), observers_.end(), observer) == observers_.end())
        observers_.push_back(observer);
}

void TSizeTree::RemoveObserver(TTreeObserver* observer)
{
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}
