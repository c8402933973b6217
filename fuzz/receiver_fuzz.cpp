// Feeds arbitrary byte streams to the frame receiver. Besides memory errors it
// checks the receiver's promise: a frame is accepted only when its 7-bit sum is
// zero, and the buffer then holds exactly header, data and check value. Every
// frame received, and the raw stream cut into a request and an answer, goes
// through the log's decoder too, which must find words for anything.
#include <cstdint>
#include <cstdlib>

#include "link/receiver.h"
#include "wire_words/log_lines.h"

namespace {

void expectWords(const korvel::ExchangeRecord& record) {
    for (const korvel::LogLine& line : korvel::logLines(record)) {
        if (korvel::lineWords(line).empty()) std::abort();
        if (korvel::lineJson(line, "t").empty()) std::abort();
        (void)korvel::lineText(line);
    }
}

korvel::ExchangeRecord::Bytes wireBytes(const korvel::ReplyBuffer& buffer) {
    korvel::ExchangeRecord::Bytes bytes{buffer[0]};
    for (int k = 1; k <= buffer.dataCount() + 1; ++k)
        bytes.push_back(static_cast<std::uint8_t>(buffer[k] | 0x80));
    return bytes;
}

}  // namespace

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
            korvel::ExchangeRecord record;
            record.request = {8, 0xF8};
            record.answer = wireBytes(buffer);
            expectWords(record);
        }
        if (buffer[9] != 0x5A) std::abort();
        receiver.start();
    }
    korvel::ExchangeRecord raw;
    const std::size_t cut = size / 2;
    raw.request.assign(data, data + cut);
    raw.answer.assign(data + cut, data + size);
    if (size % 3 == 0) raw.setAside.push_back(raw.answer);
    raw.unanswered = size % 5 == 0;
    expectWords(raw);
    return 0;
}
