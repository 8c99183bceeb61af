#include "serve_command.h"

#include "exit_status.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace sceneport {
namespace {

namespace fs = std::filesystem;

// Binds a socket to the port to see that it is free, and which one the system picks for 0;
// the server binds it again a moment later.
int freePort(int wanted) {
    const int probe = socket(AF_INET, SOCK_STREAM, 0);
    if (probe < 0) throw std::runtime_error(std::string("serve: no socket: ") + std::strerror(errno));
    const int reuse = 1;  // as the server sets it: a port a moment ago in use is free
    setsockopt(probe, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(wanted));
    socklen_t length = sizeof address;
    const bool bound = bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                       getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    const int error = errno;
    close(probe);
    if (!bound)
        throw UsageError("--port: 127.0.0.1:" + std::to_string(wanted) + " cannot be used (" + std::strerror(error) +
                         "); choose another port, or --port 0 for any free one");
    return ntohs(address.sin_port);
}

// A file name as it stands in an address: what is not a letter, digit or one of -._~ in %XX.
std::string inAddress(std::string_view name) {
    std::string encoded;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) || std::string_view("-._~").find(c) != std::string_view::npos) {
            encoded += c;
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            encoded += escape;
        }
    }
    return encoded;
}

std::vector<std::string> pagesIn(const fs::path& folder) {
    std::vector<std::string> pages;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.path().extension() == ".html") pages.push_back(entry.path().filename().string());
    std::sort(pages.begin(), pages.end());
    return pages;
}

}  // namespace

int runServe(const ServeOptions& options) {
    std::error_code error;
    if (!fs::is_directory(options.directory, error))
        throw UsageError("serve: \"" + options.directory + "\" is not a folder");
    const std::string port = std::to_string(freePort(options.port));
    const std::string address = "http://127.0.0.1:" + port + "/";
    std::cout << "Serving " << options.directory << " at " << address << " (this computer only; Ctrl-C stops)\n";
    for (const std::string& page : pagesIn(options.directory)) std::cout << "  " << address << inAddress(page) << "\n";
    std::cout.flush();

    // Unbuffered, so that its request log shows as it happens.
    const char* arguments[] = {"python3", "-u", "-m", "http.server", "--bind", "127.0.0.1",
                               "--directory", options.directory.c_str(), port.c_str(), nullptr};
    execvp(arguments[0], const_cast<char* const*>(arguments));
    std::cerr << "sceneport: cannot start python3 -m http.server: " << std::strerror(errno)
              << " (Debian package python3)\n";
    return kExitFailed;
}

}  // namespace sceneport
