#include "sizetree/EntryLookup.h"

namespace {

// The child of `folder` that `name` names: a folder first; as the last name
// also the FILES entry, then a listed file.
TTreeEntry* ChildNamed(const TTreeEntry* folder, std::string_view name, bool last)
{
    TTreeEntry* files = nullptr;
    for (int i = 0; i < folder->ChildCount(); ++i) {
        TTreeEntry* c = folder->ChildAt(i);
        if (c->IsFiles())
            files = c;
        else if (c->Name() == name)
            return c;
    }
    if (!last || !files)
        return nullptr;
    if (name == kFilesName)
        return files;
    for (int i = 0; i < files->ChildCount(); ++i)
        if (files->ChildAt(i)->IsListedFile() && files->ChildAt(i)->Name() == name)
            return files->ChildAt(i);
    return nullptr;
}

// The entry below root that `rest` (names joined by "/") names.
TTreeEntry* Below(TTreeEntry* root, std::string_view rest)
{
    TTreeEntry* at = root;
    while (at) {
        const size_t slash = rest.find('/');
        const bool last = slash == std::string_view::npos;
        const std::string_view name = rest.substr(0, slash);
        if (name.empty())
            return nullptr;
        at = ChildNamed(at, name, last);
        if (last)
            return at;
        rest.remove_prefix(slash + 1);
    }
    return nullptr;
}

}  // namespace

TTreeEntry* FindEntryIn(TTreeEntry* root, std::string_view path)
{
    const std::string top = root->Path();
    if (path == top)
        return root;
    if (!path.starts_with(top))
        return nullptr;
    std::string_view rest = path.substr(top.size());
    if (!top.ends_with('/')) {
        if (!rest.starts_with('/'))
            return nullptr;  // "x/uXz" is not below "x/u"
        rest.remove_prefix(1);
    }
    return Below(root, rest);
}

TTreeEntry* FindEntry(const TSizeTree& tree, std::string_view path)
{
    for (TTreeEntry* root = tree.FirstTopLevelEntry(); root; root = tree.NextSibling(root))
        if (TTreeEntry* found = FindEntryIn(root, path))
            return found;
    return nullptr;
}
