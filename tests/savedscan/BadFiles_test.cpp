// Files that are no saved scan: each reason with the byte where it was
// found, the tree left as it was; files at the edge that are read; and the
// one line, status 2 and empty output of the real program.
#include <gtest/gtest.h>

#include <string>

#include "HostileSupport.h"
#include "Packing.h"
#include "TempTree.h"
#include "savedscan/SavedScan.h"

namespace {

const std::string kHead = "[1,2,{\"progname\":\"x\"},\n[{\"name\":\"/r\"}";  // 33 bytes

// A saved scan whose root holds `items` (each after a comma).
std::string Scan(const std::string& items)
{
    return kHead + items + "]]";
}

std::string Nested(int levels)
{
    std::string text = kHead;
    for (int i = 0; i < levels; ++i)
        text += ",[{\"name\":\"d\"}";
    return text + std::string(static_cast<size_t>(levels), ']') + "]]";
}

TEST(SavedScanBadFiles, EachReasonWithItsByte)
{
    const size_t at = kHead.size() + 1;  // the first item
    const std::string good = Scan(",{\"name\":\"f\",\"asize\":1}");
    const std::string gzip = Gzip(good);
    const std::string zstd = Zstd(good);
    std::string damaged = gzip;
    damaged[damaged.size() - 6] ^= 0x55;  // the check sum
    struct TCase {
        std::string Text;
        std::string Reason;
        uint64_t Byte;
    };
    const TCase cases[] = {
        {"", "the file ends early", 0},
        {"{}", "expected '[' (a saved scan is a JSON array)", 0},
        {"[2,0,{},[{\"name\":\"/r\"}]]", "major version is not 1", 1},
        {"[1,2,[],[{\"name\":\"/r\"}]]", "expected the metadata object", 5},
        {"[1,2,{},[[{\"name\":\"/r\"}]]]", "expected the folder's info object", 9},
        {good.substr(0, good.size() - 5), "the file ends early", good.size() - 5},
        {good + "x", "more after the end of the saved scan", good.size()},
        {Scan(",{\"name\":\"f\",\"asize\":-1}"), "asize out of range", at + 20},
        {Scan(",{\"name\":\"f\",\"dsize\":9223372036854775808}"), "dsize out of range", at + 20},
        {Scan(",{\"name\":\"f\",\"asize\":1.5}"), "asize is not a whole number", at + 20},
        {Scan(",{\"name\":\"f\",\"nlink\":4294967296}"), "nlink out of range", at + 20},
        {Scan(",{\"name\":\"f\",\"ino\":99999999999999999999}"), "ino out of range", at + 18},
        {Scan(",{\"name\":\"f\",\"asize\":01}"), "a number with a leading zero", at + 20},
        {Scan(",{\"name\":\"f\",\"hlnkc\":1}"), "hlnkc is not true or false", at + 20},
        {Scan(",{\"name\":\"a/b\"}"), "a name with a slash", at + 8},
        {Scan(",{\"name\":\"a\\u0000b\"}"), "a name with a NUL byte", at + 8},
        {Scan(",{\"name\":\"..\"}"), "a name . or ..", at + 8},
        {Scan(",{\"name\":\"\"}"), "an empty name", at + 8},
        {Scan(",{\"asize\":1}"), "an item without a name", at},
        {Scan(",{\"name\":\"a\tb\"}"), "a control byte inside a string", at + 10},
        {Scan(",{\"name\":\"a\\qb\"}"), "an unknown escape in a string", at + 10},
        {Scan(",{\"name\":\"f\" \"asize\":1}"), "expected ',' or '}'", at + 12},
        {Scan(",5"), "expected '[' or '{'", at},
        {Nested(100001), "nesting deeper than 100000 levels", kHead.size() + 1 + 100000 * 14},
        {gzip.substr(0, gzip.size() - 9), "the gzip data ends early", good.size()},
        {zstd.substr(0, zstd.size() - 3), "the zstd data ends early", 0},  // no whole block
        {damaged, "damaged gzip data: incorrect data check", good.size()},
    };
    for (const TCase& c : cases) {
        TSizeTree tree;
        const SavedScanResult r = ReadSavedScanBytes(c.Text, tree, {});
        ASSERT_TRUE(r.Fault) << c.Reason;
        EXPECT_EQ(r.Fault->Reason.substr(0, c.Reason.size()), c.Reason);
        EXPECT_EQ(r.Fault->Byte, c.Byte) << c.Reason;
        EXPECT_EQ(r.Root, nullptr);
        EXPECT_EQ(tree.TopLevelCount(), 0) << c.Reason;
    }
}

// Read: the deepest nesting allowed, the other spellings of a folder not
// entered, fields and elements a later version may add, a writer's folders
// with sizes of their own (not counted), and links counted once.
TEST(SavedScanBadFiles, EdgesThatAreRead)
{
    TSizeTree tree;
    EXPECT_NE(ReadSavedScanBytes(Nested(100000), tree, {}).Root, nullptr);
    const std::string text =
        "[1,7,{\"new\":[{}]},\n[{\"name\":\"/r\",\"asize\":4096,\"dev\":3},"
        "{\"name\":\"m\",\"excluded\":\"othfs\"},[{\"name\":\"n\",\"excluded\":\"otherfs\"}],"
        "{\"name\":\"f\",\"asize\":5,\"x\":{\"y\":[1,\"\\\"\"]}},"
        "[{\"name\":\"s\",\"asize\":4096},{\"name\":\"g\",\"asize\":7,\"ino\":9,\"hlnkc\":true}],"
        "{\"name\":\"h\",\"asize\":7,\"ino\":9,\"hlnkc\":true}],{\"later\":1}]";
    SavedScanOptions options;
    options.IndexFiles = true;
    const SavedScanResult r = ReadSavedScanBytes(text, tree, options);
    ASSERT_TRUE(r.Root) << r.Fault->Reason << " at " << r.Fault->Byte;
    EXPECT_EQ(r.Root->Size(), 12);
    EXPECT_EQ(r.Root->Counts().Folders, 3u);
    EXPECT_EQ(r.Root->Counts().Files, 2u);
    const LooseFileListing rootFiles = r.Files->List(*r.Root);
    ASSERT_EQ(rootFiles.Files.size(), 2u);
    for (const LooseFile& f : rootFiles.Files)
        EXPECT_EQ(f.CountedElsewhere, f.Name == "h") << f.Name;
}

TEST(SavedScanBadFiles, OneLineStatusTwoAndNothingOut)
{
    TTempTree t;
    const std::string file = t.Path("cut.json");
    WriteFile(file, Scan(",{\"name\":\"f\",\"asize\":1}").substr(0, 40));
    const TBinaryRun run = RunBinary({"--report", "--files", file}, 60);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "tallowin: " + file + ": not a saved scan: the file ends early (byte 40)\n");
}

}  // namespace
