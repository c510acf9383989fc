// The writing side of saved scans: the common JSON export format, major 1,
// minor 2, written as the terminal peers write it, so that they read it
// back: one item a line, names byte for byte (quotes, backslashes and
// control bytes escaped, every other byte raw, valid UTF-8 or not).
//
// Protocol: Begin once; then the root folder with OpenFolder, and below it,
// in the order met, File, OtherFileSystem, and OpenFolder ... CloseFolder
// for subfolders; CloseFolder for the root; End once, which writes what is
// buffered and says whether the stream took everything. One thread.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>

// What the file says of a folder besides its name.
struct SavedFolderFacts {
    bool HasDevice = false;  // written on the root and where it differs from the parent's
    uint64_t Device = 0;
    bool ReadError = false;  // the folder could not be read (fully)
};

// A file: sizes always; inode, links and device for one of several links.
struct SavedFileFacts {
    uint64_t Size = 0;       // bytes
    uint64_t DiskBytes = 0;  // blocks x 512
    uint64_t Links = 1;
    uint64_t Inode = 0;  // written when Links > 1
    bool HasDevice = false;
    uint64_t Device = 0;
};

class ScanWriter {
public:
    explicit ScanWriter(std::ostream& out);

    // The opening bracket, version and the metadata (timestamp: Unix seconds).
    void Begin(std::string_view programVersion, int64_t timestamp);
    void OpenFolder(std::string_view name, const SavedFolderFacts& facts);
    void CloseFolder();
    void File(std::string_view name, const SavedFileFacts& facts);
    // A folder on another file system, not entered (device 0: unknown).
    void OtherFileSystem(std::string_view name, uint64_t device);
    // The closing bracket; false when the stream failed.
    bool End();
    // True once writing to the stream failed.
    bool Failed() const { return failed_; }

private:
    void Separate();
    void Name(std::string_view name);
    void Number(std::string_view key, uint64_t value);
    void WriteOut();

    std::ostream& out_;
    std::string buffer_;
    bool failed_ = false;
};

// name as a JSON string body the way the peers write it (no quotes added).
void AppendJsonName(std::string& out, std::string_view name);
