#include "savedscan/ScanParser.h"

#include <cstring>
#include <string_view>

#include "sizetree/Scan.h"

namespace {

bool IsWhole(const JsonNumber& n, uint64_t most)
{
    return n.Whole && !n.Negative && !n.TooLarge && n.Value <= most;
}

// A whole number no larger than `most` for `field`.
uint64_t Count(JsonCursor& in, const char* field, uint64_t most)
{
    in.PeekToken();
    const uint64_t at = in.Offset();
    const JsonNumber n = in.Number();
    if (!n.Whole)
        in.Fail(std::string(field) + " is not a whole number", at);
    if (!IsWhole(n, most))
        in.Fail(std::string(field) + " out of range", at);
    return n.Value;
}

// escaped: the name went through escapes, the only way to a NUL byte (raw
// control bytes are refused).
void CheckName(JsonCursor& in, std::string_view name, bool root, bool escaped, uint64_t at)
{
    if (name.empty())
        in.Fail("an empty name", at);
    if (escaped && std::memchr(name.data(), '\0', name.size()))
        in.Fail("a name with a NUL byte", at);
    if (root)
        return;
    if (std::memchr(name.data(), '/', name.size()))
        in.Fail("a name with a slash", at);
    if (name[0] == '.' && (name.size() == 1 || (name.size() == 2 && name[1] == '.')))
        in.Fail("a name . or ..", at);
}

enum class Key { Name, Asize, Dsize, Dev, Ino, Nlink, Hlnkc, ReadError, Excluded, Other, Unknown };

// The keys every item has, with their colon, matched in the buffer without
// reading them as strings; Unknown when not one of them (or not in the
// buffer whole).
Key FastKey(JsonCursor& in)
{
    const std::string_view a = in.Ahead(8);
    if (a.size() < 8)
        return Key::Unknown;
    switch (a[1]) {
    case 'n':
        if (a.substr(0, 7) == "\"name\":") {
            in.Advance(7);
            return Key::Name;
        }
        break;
    case 'a':
        if (a == "\"asize\":") {
            in.Advance(8);
            return Key::Asize;
        }
        break;
    case 'd':
        if (a == "\"dsize\":") {
            in.Advance(8);
            return Key::Dsize;
        }
        break;
    default:
        break;
    }
    return Key::Unknown;
}

Key KeyOf(std::string_view k)
{
    switch (k.size()) {
    case 3:
        return k == "dev" ? Key::Dev : k == "ino" ? Key::Ino : Key::Other;
    case 4:
        return k == "name" ? Key::Name : Key::Other;
    case 5:
        return k == "asize" ? Key::Asize
            : k == "dsize"  ? Key::Dsize
            : k == "nlink"  ? Key::Nlink
            : k == "hlnkc"  ? Key::Hlnkc
                            : Key::Other;
    case 8:
        return k == "excluded" ? Key::Excluded : Key::Other;
    case 10:
        return k == "read_error" ? Key::ReadError : Key::Other;
    default:
        return Key::Other;
    }
}

// The info object at the cursor (after white space) into item.
void ParseInfo(JsonCursor& in, SavedItem& item, std::string& key, bool root)
{
    const uint64_t start = in.Offset();
    item.Size = item.DiskBytes = item.Device = item.Inode = item.Links = 0;
    item.HasDevice = item.HasInode = item.LinkFlag = item.ReadError = false;
    item.Excluded = ExcludedAs::None;
    bool named = false;
    in.Expect('{', "'{'");
    if (in.PeekToken() == '}') {
        in.Skip();
        in.Fail("an item without a name", start);
    }
    for (;;) {
        Key k = FastKey(in);
        if (k == Key::Unknown) {
            k = KeyOf(in.StringView(key));
            in.Expect(':', "':'");
        }
        switch (k) {
        case Key::Name: {
            const uint64_t at = (in.PeekToken(), in.Offset());
            const std::string_view name = in.StringView(key);
            CheckName(in, name, root, name.data() == key.data(), at);
            item.Name.assign(name.data(), name.size());
            named = true;
            break;
        }
        case Key::Asize:
            item.Size = Count(in, "asize", INT64_MAX);
            break;
        case Key::Dsize:
            item.DiskBytes = Count(in, "dsize", INT64_MAX);
            break;
        case Key::Dev:
            item.Device = Count(in, "dev", UINT64_MAX);
            item.HasDevice = true;
            break;
        case Key::Ino:
            item.Inode = Count(in, "ino", UINT64_MAX);
            item.HasInode = true;
            break;
        case Key::Nlink:
            item.Links = Count(in, "nlink", UINT32_MAX);
            break;
        case Key::Hlnkc:
            item.LinkFlag = in.Boolean("hlnkc");
            break;
        case Key::ReadError:
            item.ReadError = in.Boolean("read_error");
            break;
        case Key::Excluded: {
            const std::string_view how = in.StringView(key);
            // "othfs" is how one writer spells "otherfs".
            const bool folder = how == "otherfs" || how == "othfs" || how == "kernfs" || how == "frmlnk";
            item.Excluded = folder ? ExcludedAs::Folder : ExcludedAs::Other;
            break;
        }
        case Key::Other:
        case Key::Unknown:
            in.SkipValue();
            break;
        }
        const int c = in.PeekToken();
        if (c == '}') {
            in.Skip();
            break;
        }
        if (c != ',')
            in.Unexpected("',' or '}'");
        in.Skip();
    }
    if (!named)
        in.Fail("an item without a name", start);
}

// The metadata object: what is known is kept, the rest skipped.
void ParseMetadata(JsonCursor& in, SavedHeader& header)
{
    std::string key;
    in.Expect('{', "the metadata object");
    if (in.PeekToken() == '}') {
        in.Skip();
        return;
    }
    for (;;) {
        in.String(key);
        in.Expect(':', "':'");
        const int c = in.PeekToken();
        if (key == "progname" && c == '"') {
            in.String(header.ProgramName);
        } else if (key == "progver" && c == '"') {
            in.String(header.ProgramVersion);
        } else if (key == "timestamp" && (c == '-' || (c >= '0' && c <= '9'))) {
            const JsonNumber n = in.Number();
            header.HasTimestamp = n.Whole && !n.TooLarge && n.Value <= INT64_MAX;
            if (header.HasTimestamp)
                header.Timestamp = n.Negative ? -static_cast<int64_t>(n.Value)
                                              : static_cast<int64_t>(n.Value);
        } else {
            in.SkipValue();
        }
        const int next = in.PeekToken();
        if (next == '}') {
            in.Skip();
            return;
        }
        if (next != ',')
            in.Unexpected("',' or '}'");
        in.Skip();
    }
}

// Sums plain files until something else comes.
class RunOfFiles {
public:
    explicit RunOfFiles(SavedScanSink& sink) : sink_(sink) {}

    // False when the item is no plain file (the run is handed over first).
    bool Add(const SavedItem& item, uint64_t offset)
    {
        if (item.SeveralLinks() || item.Excluded != ExcludedAs::None) {
            Hand();
            return false;
        }
        if (run_.Files == 0)
            run_.Offset = offset;
        run_.Size = SaturatingSum64(run_.Size, item.Size);
        run_.DiskBytes = SaturatingSum64(run_.DiskBytes, item.DiskBytes);
        run_.Files = SaturatingSum(run_.Files, 1);
        return true;
    }

    void Hand()
    {
        if (run_.Files == 0)
            return;
        sink_.Files(run_);
        run_ = SavedFileRun();
    }

private:
    SavedScanSink& sink_;
    SavedFileRun run_;
};

}  // namespace

void ParseSavedScan(JsonCursor& in, SavedScanSink& sink)
{
    in.Expect('[', "'[' (a saved scan is a JSON array)");
    in.PeekToken();
    const uint64_t majorAt = in.Offset();
    const JsonNumber major = in.Number();
    if (!major.Whole || major.Negative || major.Value != 1 || major.TooLarge)
        in.Fail("major version is not 1", majorAt);
    in.Expect(',', "','");
    SavedHeader header;
    header.Minor = Count(in, "minor version", UINT64_MAX);
    in.Expect(',', "','");
    ParseMetadata(in, header);
    in.Expect(',', "',' and the root folder");
    sink.Header(header);

    std::string key;
    uint32_t levels = 0;  // folders open below the root
    in.PeekToken();
    uint64_t at = in.Offset();
    in.Expect('[', "'[' (the root folder)");
    if (in.PeekToken() != '{')
        in.Unexpected("the folder's info object");
    ParseInfo(in, sink.Slot(), key, true);
    sink.FolderBegin(sink.Slot(), at);
    RunOfFiles files(sink);
    for (;;) {
        int c = in.PeekToken();
        if (c == ']') {
            in.Skip();
            files.Hand();
            sink.FolderEnd();
            if (levels == 0)
                break;
            --levels;
            continue;
        }
        if (c != ',')
            in.Unexpected("',' or ']'");
        in.Skip();
        c = in.PeekToken();
        at = in.Offset();
        if (c == '{') {
            ParseInfo(in, sink.Slot(), key, false);
            if (!files.Add(sink.Slot(), at))
                sink.Item(sink.Slot(), at);
        } else if (c == '[') {
            if (levels == kMostFolderLevels)
                in.Fail("nesting deeper than 100000 levels", at);
            in.Skip();
            if (in.PeekToken() != '{')
                in.Unexpected("the folder's info object");
            files.Hand();
            ParseInfo(in, sink.Slot(), key, false);
            ++levels;
            sink.FolderBegin(sink.Slot(), at);
        } else {
            in.Unexpected("'[' or '{'");
        }
    }
    // Elements a later minor version may add are skipped.
    for (;;) {
        const int c = in.PeekToken();
        if (c == ']') {
            in.Skip();
            break;
        }
        if (c != ',')
            in.Unexpected("',' or ']'");
        in.Skip();
        in.SkipValue();
    }
    if (in.PeekToken() >= 0)
        in.Fail("more after the end of the saved scan", in.Offset());
}

void ParseItemRun(JsonCursor& in, const std::function<void(const SavedItem&, uint64_t)>& each)
{
    SavedItem item;
    std::string key;
    for (;;) {
        in.PeekToken();
        const uint64_t at = in.Offset();
        ParseInfo(in, item, key, false);
        each(item, at);
        int c = in.PeekToken();
        if (c != ',')
            return;  // the folder's end
        in.Skip();
        if (in.PeekToken() != '{')
            return;  // a subfolder
    }
}
