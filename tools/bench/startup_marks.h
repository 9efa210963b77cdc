// Start-up marks handed from a benchmark program to the driver. A program
// notes the performance counter at each of its marks (the first time each is
// reached) and, when it ends, writes them to the file named by the
// environment variable QUORVANE_STARTUP_TRACE, one line per mark in order
// (0 for a mark never reached); without that variable, nothing is written.
// The driver sets it only for the starts it reads marks from.
#pragma once

#include <windows.h>

class CStartupMarks {
public:
    static constexpr int kCount = 7;

    // Notes the counter at `mark` unless it was noted before; true the first time.
    bool Note(int mark);
    // Writes the marks to the file the driver named, if it named one.
    void Write() const;

private:
    LONGLONG m_marks[kCount] = {};
};
