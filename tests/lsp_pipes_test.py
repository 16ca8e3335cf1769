#!/usr/bin/env python3
"""morvcfg-check --lsp over real pipes: a message cut across writes, several messages in one
write, a body that is not JSON, and the exit status after shutdown and exit (0) or a bare exit (1).

Usage: lsp_pipes_test.py <morvcfg-check> [<emulator, e.g. wine>]"""
import json
import subprocess
import sys
import time


def frame(message):
    body = json.dumps(message, ensure_ascii=False).encode()
    return b"Content-Length: %d\r\n\r\n" % len(body) + body


def read_message(stream):
    length = None
    while True:
        line = stream.readline()
        if not line:
            raise SystemExit("FAILED: the server closed its output early")
        if line == b"\r\n":
            break
        name, _, value = line.decode().partition(":")
        if name.lower() == "content-length":
            length = int(value)
    return json.loads(stream.read(length))


def start(command):
    return subprocess.Popen(command, stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.PIPE)


def main():
    command = sys.argv[2:] + [sys.argv[1], "--lsp"]
    server = start(command)
    initialize = frame({"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {"capabilities": {}}})
    # One message cut in two writes, with a pause between them.
    server.stdin.write(initialize[:20])
    server.stdin.flush()
    time.sleep(0.3)
    server.stdin.write(initialize[20:])
    server.stdin.flush()
    reply = read_message(server.stdout)
    assert reply["id"] == 1 and reply["result"]["serverInfo"]["name"] == "morvcfg-check", reply
    # Three messages in one write, the last of them no JSON.
    text = "  MORV_DNS(10.0.0.2);\r\n"
    server.stdin.write(
        frame({"jsonrpc": "2.0", "method": "initialized", "params": {}})
        + frame({"jsonrpc": "2.0", "method": "textDocument/didOpen",
                 "params": {"textDocument": {"uri": "file:///p.cfg", "languageId": "morvcfg", "version": 1,
                                             "text": text}}})
        + b"Content-Length: 5\r\n\r\n{oops")
    server.stdin.flush()
    published = read_message(server.stdout)
    assert published["method"] == "textDocument/publishDiagnostics", published
    assert published["params"]["diagnostics"][0]["code"] == "not-directive", published
    error = read_message(server.stdout)
    assert error["error"]["code"] == -32700 and error["id"] is None, error
    server.stdin.write(frame({"jsonrpc": "2.0", "id": 2, "method": "shutdown"})
                       + frame({"jsonrpc": "2.0", "method": "exit"}))
    server.stdin.flush()
    assert read_message(server.stdout) == {"jsonrpc": "2.0", "id": 2, "result": None}
    status = server.wait(timeout=60)
    assert status == 0, "exit after shutdown gave %d" % status

    bare = start(command)
    _, _ = bare.communicate(frame({"jsonrpc": "2.0", "method": "exit"}), timeout=60)
    assert bare.returncode == 1, "a bare exit gave %d" % bare.returncode
    print("language server over pipes: all checks passed")


main()
