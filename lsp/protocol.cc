#include "lsp/protocol.h"

namespace morvcfg::lsp {

Message classify(const Json& message) {
    Message sorted;
    if (!message.is_object()) {
        sorted.problem = "a message must be a JSON object";
        return sorted;
    }
    const auto version = message.find("jsonrpc");
    if (version == message.end() || *version != "2.0") {
        sorted.problem = R"(a message must say "jsonrpc": "2.0")";
        return sorted;
    }
    const auto id = message.find("id");
    const bool has_id = id != message.end();
    if (has_id && !id->is_string() && !id->is_number_integer() && !id->is_null()) {
        sorted.problem = "an id must be a number or a string";
        return sorted;
    }
    sorted.id = has_id && (id->is_string() || id->is_number_integer()) ? *id : Json();
    const auto method = message.find("method");
    if (method == message.end()) {
        if (has_id && (message.contains("result") || message.contains("error"))) {
            sorted.kind = Message::Kind::Response;
        } else {
            sorted.problem = "a message must have a method, or be a response";
        }
        return sorted;
    }
    if (!method->is_string()) {
        sorted.problem = "a method must be a string";
        return sorted;
    }
    // Clients write null for "no params" (one editor sends {"method":"shutdown","params":null}):
    // read as a missing member, as JSON-RPC reads one. Any other type is a fault of the client.
    const auto params = message.find("params");
    const bool has_params = params != message.end() && !params->is_null();
    if (has_params && !params->is_object() && !params->is_array()) {
        sorted.problem = "params must be an object or an array";
        return sorted;
    }
    sorted.method = method->get<std::string>();
    sorted.params = has_params ? *params : Json::object();
    sorted.kind = has_id ? Message::Kind::Request : Message::Kind::Notification;
    return sorted;
}

Json response(const Json& id, Json result) {
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

Json error_response(const Json& id, int code, const std::string& message) {
    return Json{{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

Json notification(const std::string& method, Json params) {
    return Json{{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

}  // namespace morvcfg::lsp
