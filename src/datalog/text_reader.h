// The conversion's input, read as the system's text mode delivers it, straight
// into the buffers of those who read it: the header block, each batch of
// records, the look past the record limit. Each read asks the system for what
// it still needs, so a batch costs one call however large it is.
#pragma once

#include <cstddef>
#include <cstdio>

#include "datalog/text_mode.h"

namespace datalog {

// One promise for every caller: a read delivers exactly the characters asked
// for, unless the stream ends first. What crosses from one read to the next
// stays in the reader: with text_mode::windows, a CR whose next byte decides
// what it is (fold_text_mode), and that byte where the read had no room left.
class text_reader {
  public:
    text_reader(std::FILE* stream, text_mode mode) : stream_(stream), mode_(mode) {}

    // Puts the next `size` characters at `into` and returns how many there
    // were: `size`, or fewer only when the stream has ended (ended()).
    std::size_t read(char* into, std::size_t size);

    bool ended() const { return ended_; }    // the stream has delivered all it will
    bool failed() const { return failed_; }  // ... because a read failed, not at its end

  private:
    // The character a held CR stands for, read when one character is left to
    // deliver: the byte after it is read alone, and kept where it is a
    // character of its own.
    char settle_held_cr();

    std::FILE* stream_;
    text_mode mode_;
    bool ended_ = false;
    bool failed_ = false;
    bool held_cr_ = false;   // a CR read last, waiting for its next byte
    bool has_next_ = false;  // `next_` is the next character to deliver
    char next_ = 0;
};

}  // namespace datalog
