// Feeds arbitrary byte streams to the frame receiver. Besides memory errors it
// checks the receiver's promise: a frame is accepted only when its 7-bit sum is
// zero, and the buffer then holds exactly header, data and check value.
#include <cstdint>
#include <cstdlib>

#include "link/receiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    korvel::ReplyBuffer buffer;
    buffer.bytes[9] = 0x5A;
    korvel::FrameReceiver receiver(buffer);
    receiver.start();
    for (std::size_t i = 0; i < size; ++i) {
        if (!receiver.feed(data[i])) continue;
        if (receiver.checksumOk()) {
            unsigned sum = 0;
            const int n = buffer.dataCount();
            for (int k = 0; k <= n + 1; ++k) sum += buffer[k];
            if (sum % 128 != 0 || buffer[0] >= 128) std::abort();
            for (int k = n + 2; k <= 8; ++k)
                if (buffer[k] != 0) std::abort();
            if (receiver.logText().size() != static_cast<std::size_t>(3 * (n + 2))) std::abort();
        }
        if (buffer[9] != 0x5A) std::abort();
        receiver.start();
    }
    return 0;
}
