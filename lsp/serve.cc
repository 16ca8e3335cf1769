#include "lsp/serve.h"

#include <algorithm>
#include <deque>

#include "lsp/server.h"
#include "lsp/transport.h"

namespace morvcfg::lsp {

namespace {

// What has arrived, in order: a message to handle, or the answer to one that could not be read.
struct Arrived {
    Json message;
    Json answer;
};

// Reads every message that has arrived, waiting for one at least; false when the input has ended
// and nothing was read.
bool read_arrived(MessageReader& reader, std::deque<Arrived>& queue,
                  const std::function<void(const std::string&)>& log) {
    do {
        MessageReader::Result read = reader.next();
        switch (read.status) {
            case MessageReader::Status::End:
                return !queue.empty();
            case MessageReader::Status::Malformed:
                log("morvcfg-check: " + read.problem);
                break;
            case MessageReader::Status::TooLarge:
                log("morvcfg-check: " + read.problem);
                queue.push_back({nullptr, error_response(nullptr, kInvalidRequest, read.problem)});
                break;
            case MessageReader::Status::Message:
                if (Json message = Json::parse(read.body, nullptr, false); message.is_discarded()) {
                    queue.push_back({nullptr, error_response(nullptr, kParseError, "the message is not JSON")});
                } else {
                    queue.push_back({std::move(message), nullptr});
                }
                break;
        }
    } while (reader.message_waiting());
    return true;
}

// A cancellation reaches a request that waits behind it; one that came too late is moot.
void cancel_waiting(const std::deque<Arrived>& queue, Server& server) {
    for (const Arrived& arrived : queue) {
        const Json& message = arrived.message;
        if (!message.is_object() || message.value("method", "") != "$/cancelRequest") {
            continue;
        }
        const Json id = message.value("/params/id"_json_pointer, Json());
        if (!id.is_null() && std::any_of(queue.begin(), queue.end(), [&id](const Arrived& other) {
                return other.message.is_object() && other.message.contains("method") &&
                       other.message.value("id", Json()) == id;
            })) {
            server.cancel(id);
        }
    }
}

}  // namespace

std::string message_text(const Json& message) {
    return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void receive(Server& server, std::string_view body, const std::function<void(const Json&)>& send) {
    if (Json message = Json::parse(body, nullptr, false); message.is_discarded()) {
        send(error_response(nullptr, kParseError, "the message is not JSON"));
    } else {
        server.handle(message);
    }
}

int serve(ByteSource& input, ByteSink& output, const ReportOptions& options,
          const std::function<void(const std::string&)>& log, Environment* files, const ProjectFiles& project,
          const std::string& explanation_page) {
    bool output_ok = true;
    const auto send = [&](const Json& message) {
        output_ok = output_ok && write_message(output, message_text(message));
    };
    Server server(options, send, log, files, project, explanation_page);
    MessageReader reader(input);
    std::deque<Arrived> queue;
    // Every message that has arrived is taken before any is handled, so that a cancellation already
    // sent reaches its request in time.
    while (!server.exited() && output_ok) {
        if (!read_arrived(reader, queue, log)) {
            log("morvcfg-check: the input ended without exit");
            return 1;
        }
        cancel_waiting(queue, server);
        for (; !queue.empty() && !server.exited(); queue.pop_front()) {
            if (queue.front().answer.is_null()) {
                server.handle(queue.front().message);
            } else {
                send(queue.front().answer);
            }
        }
    }
    return server.exited() ? server.exit_status() : 1;
}

}  // namespace morvcfg::lsp
