// The channel of the instance service: one Unix-domain stream socket
// "<runtime>/<service name>.sock" in the user's owner-only runtime folder,
// and the records that travel over it.
//
// A record is int32 kind, int32 caller number, then (kinds other than 4) a
// message: int32 total length (these four bytes included) and the body.
// All integers are little-endian.  A text body is UTF-16LE after FF FE, or
// 8-bit text (CP932, or UTF-8 after EF BB BF); lines end with CR LF.
//
// A caller connects, registers (kind 5, "CallerCreating\n" + its name) and
// gets its caller number ("0x%08X  // caller"), sends its request (kind 2)
// and reads the answer, then says goodbye (kind 6, "CallerDeleting\n" +
// "0x%08X\n").  The server answers each record on the same connection.
//
// Nothing here raises: results are ResultCode values.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum GUIService_Kind : int32_t {
  GUIService_Kind_Binary = 1,
  GUIService_Kind_Text = 2,
  GUIService_Kind_TextAfterStop = 3,
  GUIService_Kind_StopReader = 4,
  GUIService_Kind_CallerCreating = 5,
  GUIService_Kind_CallerDeleting = 6,
};

// The largest message (length field included) either side accepts.
inline constexpr uint32_t GUIService_maxMessage = 64 * 1024;
// How long a caller waits for each answer of the server.
inline constexpr int GUIService_callTimeoutMs = 180000;

// The socket of a service name (CP932) as an OS path: bytes outside
// [A-Za-z0-9_.-] are written as %XX; a name that would not fit a socket
// address becomes "h" + 16 hexadecimal digits of its hash.  "" when the
// runtime folder cannot be had.
std::string GUIService_socketPath(std::string_view serviceName);

// One record: kind, caller number, then for kinds other than 4 the message
// (total length and `body`).
std::string GUIService_record(int32_t kind, uint32_t caller, std::string_view body);
// A message alone: total length and body.
std::string GUIService_message(std::string_view body);
// A text body: FF FE and the UTF-16LE text, every bare LF written CR LF.
std::string GUIService_textBody(std::u16string_view text);
// The lines of a text body (UTF-16, without line ends).  False for a body
// that is no text (odd UTF-16 length).
bool GUIService_textLines(std::string_view body, std::vector<std::u16string>& lines);

// Little-endian int32 at `p`.
uint32_t GUIService_readU32(const char* p);

// The caller's side of one request: connects to the server of
// `serviceName`, registers, sends the text request and reads the answer
// lines.  Answers 0; ResultCode_OsError (1025) when no process serves the
// name (nobody listens on its socket); ResultCode_NotFound (1048) when the
// server gave no well-formed answer within `timeoutMs` for a step;
// 1 for a short write.  `connected` tells whether a server took the
// connection (the failure then happened while talking to it).
int GUIService_call(std::string_view serviceName, std::u16string_view request,
                    std::vector<std::u16string>& answer, bool& connected,
                    int timeoutMs = GUIService_callTimeoutMs);

// The server's socket: creates and listens on the socket of the name.  A
// socket left behind by a dead process (nobody accepts on it) is taken
// over.  Answers the listening descriptor (non-blocking), or -1 with
// `problem` set (CP932): another process serves the name, the path is not a
// socket (nothing is deleted), or the socket cannot be made.  `inode`
// identifies the socket file made, so that only it is removed later.
int GUIService_listen(std::string_view serviceName, std::string& path, unsigned long& inode,
                      std::string& problem);
// Removes the socket file at `path` when it is still the one of `inode`.
void GUIService_unlinkOwn(const std::string& path, unsigned long inode);
