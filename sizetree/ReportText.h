// Text output of the report mode.
//
// Protocol: a TReportWriter collects lines in a buffer and writes it to the
// stream in large blocks; call Flush() once at the end and check its result.
// Every line is made safe to read as one line of UTF-8 text by
// EscapeForReport.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

// Control bytes and bytes that are not part of valid UTF-8 are written as
// \xHH, a backslash as \\; everything else is kept as it is.
std::string EscapeForReport(std::string_view text);
// The same, appended to out.
void AppendEscaped(std::string& out, std::string_view text);

// One report line into out: two spaces per level, the escaped text, a
// newline.
void AppendReportLine(std::string& out, int level, std::string_view text);

class TReportWriter {
public:
    explicit TReportWriter(std::ostream& out);
    // Two spaces per level, the escaped text, a newline.
    void Line(int level, std::string_view text);
    // Lines made with AppendReportLine.
    void Text(std::string_view lines);
    // Writes what is buffered; false when the stream has failed.
    bool Flush();

private:
    std::ostream& out_;
    std::string buffer_;
};
