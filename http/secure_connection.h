#pragma once
// Which of the system's failures mean that a connection could not be made safe: the server's
// certificate is not trusted, has expired or names another host, or the TLS handshake broke
// off. Nothing was sent in any of these cases. The numbers are WinINet's.

namespace quillane {

bool isUnsafeConnectionError(unsigned long systemError);

}  // namespace quillane
