// Hosts may hand over any number of frames at once; the engine takes them
// in blocks of its own bounded size.
#pragma once

#include <algorithm>

namespace core {

// Calls body(offset, count) over 0..frames in pieces of at most block frames.
template <class Body>
void for_each_block(int frames, int block, Body&& body) {
    for (int done = 0; done < frames;) {
        const int count = std::min(block, frames - done);
        body(done, count);
        done += count;
    }
}

}  // namespace core
