#pragma once
// Our own FTP client over POSIX sockets: one control connection and one passive data connection,
// binary type ("TYPE I"), resume by restart offset, no directory or quit command. Every step blocks
// for at most the 5-second socket time-outs; nothing is shown to the user, the debug lines "login
// error", "tran error", "down 1", the size answer and the system's text for a failed connect
// tell what happened. Functions keep no shared state and may run on several threads at once.

#include <cstdint>
#include <filesystem>
#include <stop_token>
#include <string>
#include <string_view>

#include "platform/unique_fd.h"

namespace nivra::net {

inline constexpr int kFtpSocketTimeoutMs = 5000;
// Largest receive from the data connection; each one is appended to the file as it comes.
inline constexpr std::size_t kFtpDataBlock = 256 * 1024;

// Fetches the file named by an "ftp://" URL into `localFile`, continuing a partial local file.
// A stop request closes the connections and makes the download fail.
bool FtpDownload(std::string_view url, const std::filesystem::path& localFile,
                 std::stop_token stop = {});

// The steps of the dialogue, each on an open socket.

// A TCP connection to a dotted IPv4 address with 5000 ms send and receive time-outs; an invalid
// descriptor (and the system's error text as a debug line) on failure.
platform::UniqueFd FtpConnect(const std::string& hostAddress, std::uint16_t port);
// "user"/"pass" dialogue: the user must be answered with "3…", the password with "2…".
bool FtpLogin(int control, std::string_view user, std::string_view password);
// "TYPE I", answered with "2…": sizes, restart offsets and the file itself count bytes, where a
// server's ASCII default would refuse SIZE and rewrite line ends.
bool FtpSetBinaryType(int control);
// "pasv", then a data connection to the control connection's own address (`hostAddress`) at the
// port of the reply; the address inside the reply is never used.
platform::UniqueFd FtpOpenPassive(int control, const std::string& hostAddress);
// SIZE: the size, -2 when answered "550", -1 on any other failure. Logs the answer in decimal.
std::int64_t FtpQuerySize(int control, std::string_view path);
// SIZE, then REST/RETR as needed, appending to `localFile` (created when missing). The replies
// to REST and RETR are drained, not examined, while the data arrives.
bool FtpTransfer(int control, int data, std::string_view path,
                 const std::filesystem::path& localFile);

// Line functions.

// Sends the command plus CR LF in one call; false when it does not fit the command buffer,
// holds a line break, or is not sent whole.
bool SendCommand(int socket, std::string_view text);
// One receive of up to 1024 bytes; the text up to its first zero byte, empty on time-out or
// closed connection.
std::string ReadReply(int socket);
// Reads while data keeps arriving within 0.5 s (at most 5 s in all); the first block is the
// result, later ones are discarded. Empty when a receive fails.
std::string ReadReplyDrained(int socket);

}  // namespace nivra::net
