#include "platform/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace quillon::platform {
namespace {

std::string runtimeDirectory() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir && dir[0] == '/') {
        struct stat info {};
        if (stat(dir, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == getuid())
            return dir;
    }
    return "/tmp";
}

// The lock and the socket live beside each other; the user id keeps users apart in /tmp.
std::string basePath(std::string_view name) {
    std::string safe;
    for (const char c : name)
        safe += (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.') ? c : '_';
    return runtimeDirectory() + "/" + safe + "-" + std::to_string(getuid());
}

bool fillAddress(const std::string& path, sockaddr_un& address) {
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

sockaddr* asSockaddr(sockaddr_un& address) {
    // The socket API's generic address type; sockaddr_un is laid out to be used through it.
    return reinterpret_cast<sockaddr*>(&address);
}

class PosixSingleInstance final : public SingleInstance {
public:
    explicit PosixSingleInstance(std::string_view name)
        : m_lockPath(basePath(name) + ".lock"), m_socketPath(basePath(name) + ".sock") {}

    ~PosixSingleInstance() override {
        if (m_listener >= 0) {
            close(m_listener);
            unlink(m_socketPath.c_str());
        }
        if (m_lock >= 0)
            close(m_lock);
    }

    PosixSingleInstance(const PosixSingleInstance&) = delete;
    PosixSingleInstance& operator=(const PosixSingleInstance&) = delete;

    bool acquire() override {
        if (m_listener >= 0)
            return true;
        // O_NOFOLLOW and the owner check: in a shared /tmp another user could plant the name.
        const int fd = open(m_lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return false;
        struct stat info {};
        if (fstat(fd, &info) != 0 || info.st_uid != getuid() || !S_ISREG(info.st_mode) ||
            flock(fd, LOCK_EX | LOCK_NB) != 0) {
            close(fd);
            return false;
        }
        m_lock = fd;
        // We hold the lock, so a socket file left here belongs to a holder that died.
        unlink(m_socketPath.c_str());
        sockaddr_un address{};
        const int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (listener >= 0 && fillAddress(m_socketPath, address) &&
            bind(listener, asSockaddr(address), sizeof address) == 0 && listen(listener, 8) == 0) {
            m_listener = listener;
        } else if (listener >= 0) {
            close(listener);
        }
        // Without the socket we still are the only instance; later ones just cannot raise us.
        return true;
    }

    bool raiseFirstInstance() override {
        sockaddr_un address{};
        if (!fillAddress(m_socketPath, address))
            return false;
        const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return false;
        bool ok = connect(fd, asSockaddr(address), sizeof address) == 0;
        if (ok) {
            const char byte = 'r';
            ssize_t written = -1;
            do {
                written = send(fd, &byte, 1, MSG_NOSIGNAL);
            } while (written < 0 && errno == EINTR);
            ok = written == 1;
        }
        close(fd);
        return ok;
    }

    int raiseRequestDescriptor() const override { return m_listener; }

    void takeRaiseRequests(const std::function<void()>& raise) override {
        if (m_listener < 0)
            return;
        for (;;) {
            const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (client < 0) {
                if (errno == EINTR)
                    continue;
                return; // EAGAIN: nothing more pending
            }
            close(client);
            if (raise)
                raise();
        }
    }

private:
    std::string m_lockPath;
    std::string m_socketPath;
    int m_lock = -1;
    int m_listener = -1;
};

} // namespace

std::unique_ptr<SingleInstance> createSingleInstance(std::string_view name) {
    return std::make_unique<PosixSingleInstance>(name);
}

} // namespace quillon::platform
