#include "lsp/serve.h"

#include <algorithm>
#include <deque>

#include "lsp/server.h"
#include "lsp/transport.h"

namespace morvcfg::lsp {

int serve(ByteSource& input, ByteSink& output, const ReportOptions& options,
          const std::function<void(const std::string&)>& log) {
    bool output_ok = true;
    const auto send = [&](const Json& message) {
        // Text that is not UTF-8 (a token cut by a 255-character piece) is shown as U+FFFD.
        output_ok = output_ok && write_message(output, message.dump(-1, ' ', false, Json::error_handler_t::replace));
    };
    Server server(options, send, log);
    MessageReader reader(input);
    std::deque<Json> queue;
    while (!server.exited() && output_ok) {
        // Every message that has arrived is taken before any is handled, so that a cancellation
        // already sent reaches its request in time.
        do {
            MessageReader::Result read = reader.next();
            if (read.status == MessageReader::Status::End) {
                if (queue.empty()) {
                    log("morvcfg-check: the input ended without exit");
                    return 1;
                }
                break;
            }
            if (read.status == MessageReader::Status::Malformed) {
                log("morvcfg-check: " + read.problem);
                continue;
            }
            if (read.status == MessageReader::Status::TooLarge) {
                log("morvcfg-check: " + read.problem);
                send(error_response(nullptr, kInvalidRequest, read.problem));
                continue;
            }
            Json message = Json::parse(read.body, nullptr, false);
            if (message.is_discarded()) {
                send(error_response(nullptr, kParseError, "the message is not JSON"));
                continue;
            }
            queue.push_back(std::move(message));
        } while (reader.message_waiting());
        // A cancellation reaches a request that waits behind it; one that came too late is moot.
        for (const Json& message : queue) {
            if (!message.is_object() || message.value("method", "") != "$/cancelRequest") {
                continue;
            }
            const Json id = message.value("/params/id"_json_pointer, Json());
            if (!id.is_null() && std::any_of(queue.begin(), queue.end(), [&id](const Json& other) {
                    return other.is_object() && other.contains("method") && other.value("id", Json()) == id;
                })) {
                server.cancel(id);
            }
        }
        while (!queue.empty() && !server.exited()) {
            server.handle(queue.front());
            queue.pop_front();
        }
    }
    return server.exited() ? server.exit_status() : 1;
}

}  // namespace morvcfg::lsp
