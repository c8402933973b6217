// Feeds arbitrary byte streams to the frame receiver. Besides memory errors it
// checks the receiver's promise: a frame is accepted only when its 7-bit sum is
// zero, and the buffer then holds exactly header, data and check value. Every
// frame received, and the raw stream cut into a request and an answer, goes
// through the log's decoder too, which must find words for anything. The same
// stream, as a telnet server's, goes through the network port's decoder: it
// never hands out more data than came in, answers only with whole option
// replies, and takes nothing more once the server has broken the protocol.
#include <cstdint>
#include <cstdlib>

#include "link/receiver.h"
#include "net_serial/telnet.h"
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

// Fed in two pieces, so that a command split across reads is covered too.
void feedTelnet(const std::uint8_t* data, std::size_t size) {
    korvel::net::TelnetClient client;
    (void)client.greeting();
    std::deque<std::uint8_t> received;
    std::vector<std::uint8_t> reply;
    const std::size_t cut = size / 3;
    client.receive({data, cut}, received, reply);
    const bool brokenEarly = client.broken();
    const std::size_t before = received.size();
    client.receive({data + cut, size - cut}, received, reply);
    if (received.size() > size) std::abort();
    if (brokenEarly && received.size() != before) std::abort();
    if (reply.size() % 3 != 0) std::abort();
    for (std::size_t i = 0; i < reply.size(); i += 3)
        if (reply[i] != korvel::net::kIac || reply[i + 1] < korvel::net::kWill) std::abort();
    for (std::uint8_t command = 0; command < 20; ++command)
        if (const auto* value = client.serverReply(command);
            value && value->size() > korvel::net::kMaxSubnegotiation)
            std::abort();
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
    feedTelnet(data, size);
    return 0;
}
