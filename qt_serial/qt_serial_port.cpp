#include "qt_serial/qt_serial_port.h"

#include <dirent.h>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

#include <QSerialPortInfo>
#include <cstdio>
#include <fstream>

namespace korvel {

std::string permissionAdvice(const std::string& device) {
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) return {};
    const group* owner = ::getgrgid(info.st_gid);
    const std::string name = owner ? owner->gr_name : std::to_string(info.st_gid);
    // Joining root's group would open far more than a port: a rule gives the device a group.
    if (info.st_gid == 0 || (info.st_mode & (S_IRGRP | S_IWGRP)) != (S_IRGRP | S_IWGRP)) {
        char mode[8];
        std::snprintf(mode, sizeof mode, "%04o", static_cast<unsigned>(info.st_mode & 07777));
        const std::string base = device.substr(device.rfind('/') + 1);
        return "your user may not open " + device + " (mode " + mode + ", group \"" + name +
               "\"), and no group but root's may: a udev rule gives it a group of its own, for "
               "example SUBSYSTEM==\"tty\", KERNEL==\"" +
               base + "\", GROUP=\"dialout\", MODE=\"0660\" in /etc/udev/rules.d/";
    }
    return "your user may not open " + device + ": it belongs to the group \"" + name +
           "\"; add your user to that group (sudo usermod -aG " + name +
           " $USER) and log in again";
}

namespace {

std::string processName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!std::getline(comm, name)) return {};
    return "process " + std::to_string(pid) + " (" + name + ")";
}

// The live process a lock file names: Qt's own lock files and the classic
// UUCP ones hold the process number first.
std::string lockHolder(const std::string& device) {
    std::string base = device.starts_with("/dev/") ? device.substr(5) : device;
    std::string flat = base;
    for (char& c : flat)
        if (c == '/') c = '_';
    for (const char* folder : {"/var/lock", "/run/lock", "/var/spool/locks", "/tmp"}) {
        for (const std::string& name : {flat, base}) {
            std::ifstream lock(std::string(folder) + "/LCK.." + name);
            long pid = 0;
            if (lock >> pid && pid > 0 && pid != ::getpid()) {
                if (std::string holder = processName(pid); !holder.empty()) return holder;
            }
        }
    }
    return {};
}

// A process that has the device open without a lock file (only our own
// processes can be seen without root).
std::string openHolder(const std::string& device) {
    char real[4096];
    if (!::realpath(device.c_str(), real)) return {};
    DIR* proc = ::opendir("/proc");
    if (!proc) return {};
    std::string holder;
    while (const dirent* entry = ::readdir(proc)) {
        const long pid = std::atol(entry->d_name);
        if (pid <= 0 || pid == ::getpid()) continue;
        const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
        DIR* dir = ::opendir(fds.c_str());
        if (!dir) continue;
        while (const dirent* fd = ::readdir(dir)) {
            char target[4096];
            const ssize_t n =
                ::readlink((fds + "/" + fd->d_name).c_str(), target, sizeof target - 1);
            if (n > 0 && std::string(target, static_cast<std::size_t>(n)) == real) {
                holder = processName(pid);
                break;
            }
        }
        ::closedir(dir);
        if (!holder.empty()) break;
    }
    ::closedir(proc);
    return holder;
}

}  // namespace

std::string busyPortAdvice(const std::string& device) {
    std::string holder = lockHolder(device);
    if (holder.empty()) holder = openHolder(device);
    if (!holder.empty())
        return device + " is in use by " + holder +
               ": close that program, then open the port again";
    if (::access(device.c_str(), R_OK | W_OK) != 0) return permissionAdvice(device);
    return device + " is in use by another program: close it, then open the port again";
}

bool requestLowLatency(int fd, SerialIoctl call) {
#ifdef __linux__
    serial_struct settings{};
    if (call(fd, TIOCGSERIAL, &settings) != 0) return false;
    // The flag is a plain int in the kernel's struct; the macro is unsigned.
    settings.flags |= static_cast<int>(ASYNC_LOW_LATENCY);
    return call(fd, TIOCSSERIAL, &settings) == 0;
#else
    (void)fd;
    (void)call;
    return false;
#endif
}

namespace {
int systemIoctl(int fd, unsigned long request, void* argument) {
    return ::ioctl(fd, request, argument);
}
}  // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent), driverCall_(systemIoctl) {
    // Between exchanges nobody waits on the port, so the event loop reports a
    // vanished device; close it there, queued, outside QSerialPort's own code.
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::onErrorOccurred,
            Qt::QueuedConnection);
}

// An exchange that meets a failed line closes the port itself and reports it;
// what still reaches an open port here happened while nobody waited on it.
void QtSerialPort::onErrorOccurred() {
    if (port_.isOpen() && closeIfLineFailed() && idleFailure_) idleFailure_();
}

void QtSerialPort::overrideDevice(int portNumber, std::string device) {
    overrides_[portNumber] = std::move(device);
}

std::string QtSerialPort::deviceName(int portNumber) const {
    auto it = overrides_.find(portNumber);
    return it != overrides_.end() ? it->second : SerialPort::deviceName(portNumber);
}

std::string QtSerialPort::describePort(int portNumber) const {
    const std::string device = deviceName(portNumber);
    const QSerialPortInfo info(QString::fromStdString(device));
    QStringList lines{QString::fromStdString(device)};
    if (!info.manufacturer().isEmpty()) lines << "Maker: " + info.manufacturer();
    if (!info.description().isEmpty()) lines << "Description: " + info.description();
    if (!info.serialNumber().isEmpty()) lines << "Serial number: " + info.serialNumber();
    return lines.join('\n').toStdString();
}

bool QtSerialPort::open(int portNumber) {
    return openDevice(deviceName(portNumber));
}

bool QtSerialPort::open(const PortSpec& port) {
    if (port.kind == PortSpec::Kind::Device) return openDevice(port.name);
    return SerialPort::open(port);
}

bool QtSerialPort::openDevice(const std::string& device) {
    openError_.clear();
    if (device.empty() || port_.isOpen()) return false;
    port_.setPortName(QString::fromStdString(device));
    device_ = device;
    if (!port_.open(QIODevice::ReadWrite)) {
        openError_ = device + ": " + port_.errorString().toStdString();
        if (port_.error() == QSerialPort::PermissionError) {
            const std::string advice = busyPortAdvice(device);
            if (!advice.empty()) openError_ += "\n" + advice;
        }
        return false;
    }
    const bool configured = port_.setBaudRate(19200) && port_.setDataBits(QSerialPort::Data8) &&
                            port_.setParity(QSerialPort::NoParity) &&
                            port_.setStopBits(QSerialPort::OneStop) &&
                            port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!configured) {
        openError_ = port_.errorString().toStdString();
        port_.close();
        return false;
    }
    port_.clearError();
    requestLowLatency(static_cast<int>(port_.handle()), driverCall_);
    return true;
}

void QtSerialPort::close() {
    if (port_.isOpen()) port_.close();
}

bool QtSerialPort::closeIfLineFailed() {
    switch (port_.error()) {
        case QSerialPort::ResourceError:
        case QSerialPort::ReadError:
        case QSerialPort::WriteError:
        case QSerialPort::DeviceNotFoundError:
            lineError_ = device_ + ": " + port_.errorString().toStdString();
            close();
            return true;
        default:
            return false;
    }
}

std::size_t QtSerialPort::bytesAvailable() {
    if (!port_.isOpen()) return 0;
    // Without an event loop QSerialPort only learns of new bytes while waiting.
    if (port_.bytesAvailable() == 0) {
        port_.waitForReadyRead(0);
        closeIfLineFailed();
    }
    return port_.isOpen() ? static_cast<std::size_t>(port_.bytesAvailable()) : 0;
}

bool QtSerialPort::readByte(std::uint8_t& byte) {
    char c = 0;
    if (!port_.isOpen() || !port_.getChar(&c)) return false;
    byte = static_cast<std::uint8_t>(c);
    return true;
}

void QtSerialPort::write(std::span<const std::uint8_t> bytes) {
    if (!port_.isOpen()) return;
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    // A line held by flow control gets a second, asked about stopping in slices.
    for (int slices = 1000 / static_cast<int>(kStopCheck.count());
         port_.isOpen() && port_.bytesToWrite() > 0 && !(stop_ && stop_()); --slices) {
        if (!port_.waitForBytesWritten(static_cast<int>(kStopCheck.count())) &&
            (closeIfLineFailed() || slices <= 1))
            break;
    }
}

bool QtSerialPort::waitForReadyRead(std::chrono::milliseconds timeout) {
    if (!port_.isOpen()) return false;
    if (port_.bytesAvailable() > 0) return true;
    const bool ready = port_.waitForReadyRead(static_cast<int>(timeout.count()));
    if (!ready) closeIfLineFailed();
    return ready && port_.bytesAvailable() > 0;
}

}  // namespace korvel
