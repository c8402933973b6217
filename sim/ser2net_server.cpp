#include "sim/ser2net_server.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace korvel::sim {

namespace {

constexpr const char* kSer2net = "/usr/sbin/ser2net";

// True when /proc/net/tcp shows a socket listening on 127.0.0.1:port.
bool listening(int port) {
    std::ifstream table("/proc/net/tcp");
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", static_cast<unsigned>(port));
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == wanted && state == "0A") return true;
    }
    return false;
}

}  // namespace

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t size = sizeof a;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size) != 0)
        throw std::runtime_error("no free loopback port");
    ::close(fd);
    return ntohs(a.sin_port);
}

Ser2netServer::Ser2netServer(const std::string& device, const std::string& accepter,
                             const std::string& line)
    : port_(freeLoopbackPort()) {
    if (::access(kSer2net, X_OK) != 0)
        throw std::runtime_error("ser2net is not installed: run tools/install-deps.sh");
    std::string pattern = (std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp");
    pattern += "/korvel-ser2net-XXXXXX";
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("no temporary folder");
    dir_ = pattern;
    config_ = dir_ + "/ser2net.yaml";
    std::ofstream(config_) << "connection: &line\n"
                           << "  accepter: " << (accepter.empty() ? "" : accepter + ",")
                           << "tcp(nodelay),127.0.0.1," << port_ << "\n"
                           << "  connector: serialdev," << device << "," << line << ",local\n"
                           // An answer is sent on as soon as it is read, not held for more.
                           << "  options:\n    chardelay: false\n";
    start();
}

Ser2netServer::~Ser2netServer() {
    stop();
    std::remove(config_.c_str());
    std::remove((dir_ + "/ser2net.pid").c_str());
    std::remove((dir_ + "/ser2net.log").c_str());
    ::rmdir(dir_.c_str());
}

void Ser2netServer::start() {
    stop();
    const std::string pidFile = dir_ + "/ser2net.pid";
    const std::string log = dir_ + "/ser2net.log";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    // Foreground, no UUCP lock files, its own configuration and pid file only.
    const char* argv[] = {kSer2net,        "-n",   "-u", "-c", config_.c_str(), "-P",
                          pidFile.c_str(), nullptr};
    const int failed =
        posix_spawn(&pid_, kSer2net, &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) throw std::runtime_error("ser2net did not start");
    // Its start-up is short; the table is polled until the port listens.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!listening(port_)) {
        if (std::chrono::steady_clock::now() > limit || ::waitpid(pid_, nullptr, WNOHANG) != 0)
            throw std::runtime_error("ser2net does not listen; see " + log);
        ::poll(nullptr, 0, 2);
    }
}

void Ser2netServer::stop() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

std::string Ser2netServer::address(const std::string& scheme) const {
    return scheme + "://127.0.0.1:" + std::to_string(port_);
}

}  // namespace korvel::sim
