// Why a saved scan could not be read, as data, and the exception that
// carries it inside the reader (never out of it).
//
// Protocol: the reader's parts throw SavedScanFailure where they find a
// fault; ReadSavedScan and SavedFiles::List (savedscan/SavedScan.h) catch
// it and return what they can; the launcher prints DescribeFault's line.
// Plain values; any thread.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

struct SavedScanFault {
    std::string Reason;  // English, as the report prints it
    uint64_t Byte = 0;   // offset in the scan's text (unpacked) where it was found
    int Errno = 0;       // not 0: the file could not be read at all (Reason empty)
};

class SavedScanFailure : public std::runtime_error {
public:
    explicit SavedScanFailure(SavedScanFault fault)
        : std::runtime_error(fault.Reason), fault_(std::move(fault))
    {
    }
    const SavedScanFault& Fault() const { return fault_; }

private:
    SavedScanFault fault_;
};

// The one line the launcher prints for a file that is not a saved scan.
std::string DescribeFault(const std::string& file, const SavedScanFault& fault);
