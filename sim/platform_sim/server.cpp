#include "sim/platform_sim/server.h"

namespace platform_sim {
namespace {

using quillane::loopback::Connection;

// The header block at once, then the body one byte per interval, until it is all out, the
// client has gone or the simulator quits.
void trickle(Connection& connection, std::string_view bytes, size_t headerBytes, DWORD intervalMs) {
    if (!connection.sendAll(bytes.substr(0, headerBytes))) {
        return;
    }
    for (size_t at = headerBytes; at < bytes.size(); ++at) {
        if (!connection.pause(intervalMs) || !connection.sendAll(bytes.substr(at, 1))) {
            return;
        }
    }
}

}  // namespace

void Server::run(Platform& platform) {
    loopback_.run([this, &platform](Connection& connection) { serve(connection, platform); });
}

void Server::serve(Connection& connection, Platform& platform) {
    std::string buffer;
    bool open = true;
    while (open) {
        Request request;
        size_t consumed = 0;
        const ParseState state = parseRequest(buffer, request, consumed);
        if (state == ParseState::Incomplete) {
            open = connection.receiveMore(buffer, buffer.empty());
            continue;
        }
        if (state == ParseState::Invalid) {
            Reply reply;
            reply.status = 400;
            reply.contentType = "text/plain;charset=utf-8";
            reply.body = "bad request\n";
            connection.sendAll(formatReply(reply, false));
            return;
        }
        buffer.erase(0, consumed);

        const Outcome outcome = platform.answer(connection.number(), request);
        if (outcome.delayMs > 0 && !connection.pause(static_cast<DWORD>(outcome.delayMs))) {
            return;
        }
        const std::string bytes = formatReply(outcome.reply, outcome.keepAlive);
        const size_t headerBytes = bytes.size() - outcome.reply.body.size();
        const std::string_view sent(bytes);
        switch (outcome.cut) {
        case Outcome::Cut::AtStart:
            return;
        case Outcome::Cut::Silent:
            // Takes whatever the client sends and never answers, until it gives up.
            while (connection.receiveMore(buffer)) {
            }
            return;
        case Outcome::Cut::ResetInHead:
        case Outcome::Cut::ResetInBody:
            connection.sendAll(sent.substr(0, outcome.cut == Outcome::Cut::ResetInHead
                                                  ? headerBytes / 2
                                                  : headerBytes + outcome.reply.body.size() / 2));
            connection.reset();
            return;
        case Outcome::Cut::MidReply:
            // The whole header block (with the full Content-Length) and half of the body.
            connection.sendAll(sent.substr(0, headerBytes + outcome.reply.body.size() / 2));
            return;
        case Outcome::Cut::None:
            break;
        }
        if (outcome.trickleMs > 0) {
            trickle(connection, sent, headerBytes, static_cast<DWORD>(outcome.trickleMs));
            return;
        }
        open = connection.sendAll(bytes) && outcome.keepAlive;
        if (outcome.quit) {
            loopback_.quit();
        }
        if (outcome.refuseMs > 0) {
            loopback_.refuseFor(outcome.refuseMs);
        }
    }
}

}  // namespace platform_sim
