#pragma once
// Where the platform's services are asked: over HTTPS, since every request to them carries the
// member's session. Plain HTTP only on this machine's own loopback host (a simulator or a test
// server), where nothing crosses a network.
#include <string>
#include <string_view>

namespace quillane {

// Whether host[:port] names this machine's loopback: "localhost" (any case) or an address of
// 127.0.0.0/8 written as four decimal parts, and nothing but digits after a colon.
bool isLoopbackHost(std::string_view hostAndPort);

// "https://" + apiHost; "http://" + apiHost only when scheme is "http" (any case) and apiHost
// is a loopback host. Any other scheme asked for is ignored.
std::string apiOrigin(std::string_view apiHost, std::string_view scheme);

// The publisher's notice page or site as the program may use it. Its text reaches the member's
// eyes and its site the member's browser, so it comes over HTTPS like the platform: an
// "https://" address stays; an "http://" one stays only for a loopback host and is otherwise
// asked over HTTPS; anything else is no address ("").
std::string publisherAddress(std::string_view address);

}  // namespace quillane
