#pragma once

// JSON-RPC 2.0 as the Language Server Protocol uses it: what a message is, and the answers.
#include <nlohmann/json.hpp>
#include <string>

namespace morvcfg::lsp {

using Json = nlohmann::json;

// The error codes of JSON-RPC and of the protocol.
enum ErrorCode : int {
    kParseError = -32700,
    kInvalidRequest = -32600,
    kMethodNotFound = -32601,
    kInvalidParams = -32602,
    kInternalError = -32603,
    kServerNotInitialized = -32002,
    kRequestCancelled = -32800,
};

// What a message from the client is. (Its moves are nlohmann::json's and std::string's, which do not
// throw; clang-tidy cannot see into the first.)
struct Message {  // NOLINT(bugprone-exception-escape)
    enum class Kind { Request, Notification, Response, Invalid };
    Kind kind = Kind::Invalid;
    Json id;  // of a request or response; null otherwise
    std::string method;
    Json params;
    std::string problem;  // why it is invalid
};

// Sorts a parsed message: a request has an id and a method, a notification a method only, a
// response an id and a result or an error; anything else is invalid.
Message classify(const Json& message);

Json response(const Json& id, Json result);
Json error_response(const Json& id, int code, const std::string& message);
Json notification(const std::string& method, Json params);

}  // namespace morvcfg::lsp
