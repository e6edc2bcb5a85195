// A stand-in sysfs tree and /dev folder for the hidraw backend. Each node's device file is
// a listening SOCK_SEQPACKET socket: every open of the node is one accepted connection, a
// packet is one report, and unplugging closes the connections (the reader sees a hang-up).
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace vz::hid::testing {

struct FakeNodeSetup {
  int number = 0;                       // hidrawN
  std::string hidName;                  // "0003:195D:1028.000A"
  std::uint16_t vendorId = 0, productId = 0;
  int interfaceNumber = 0;
  std::uint16_t bcdDevice = 0x0100;
  std::string name = "Test Device";
  std::string uniq;
  std::vector<std::uint8_t> descriptor;
};

class FakeNode {
 public:
  explicit FakeNode(int listenFd) : listen_(listenFd) {}
  ~FakeNode() { CloseAll(); }
  FakeNode(const FakeNode&) = delete;
  FakeNode& operator=(const FakeNode&) = delete;

  // Takes in the opens made so far (connections wait in the backlog until then).
  void AcceptPending() {
    for (;;) {
      pollfd p{listen_, POLLIN, 0};
      if (::poll(&p, 1, 0) <= 0) return;
      const int fd = ::accept(listen_, nullptr, nullptr);
      if (fd < 0) return;
      opens_.push_back(fd);
    }
  }
  std::size_t Opens() {
    AcceptPending();
    return opens_.size();
  }
  // One input report to every open of the node.
  void Send(const std::vector<std::uint8_t>& report) {
    AcceptPending();
    for (int fd : opens_) ::send(fd, report.data(), report.size(), MSG_NOSIGNAL);
  }
  // The next output report written by any open, or empty after timeoutMs.
  std::vector<std::uint8_t> Receive(int timeoutMs) {
    AcceptPending();
    std::vector<pollfd> fds;
    for (int fd : opens_) fds.push_back({fd, POLLIN, 0});
    if (fds.empty() || ::poll(fds.data(), fds.size(), timeoutMs) <= 0) return {};
    for (const pollfd& p : fds) {
      if (p.revents & POLLIN) {
        std::vector<std::uint8_t> buf(70000);
        const ssize_t n = ::recv(p.fd, buf.data(), buf.size(), 0);
        buf.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return buf;
      }
    }
    return {};
  }
  void CloseAll() {
    AcceptPending();
    for (int fd : opens_) ::close(fd);
    opens_.clear();
    if (listen_ >= 0) ::close(listen_);
    listen_ = -1;
  }

 private:
  int listen_;
  std::vector<int> opens_;
};

class FakeHidraw {
 public:
  FakeHidraw() {
    char tmpl[] = "/tmp/vz-hidraw-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    std::filesystem::create_directories(Sys() + "/class/hidraw");
    std::filesystem::create_directories(Dev());
  }
  ~FakeHidraw() {
    nodes_.clear();
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  FakeHidraw(const FakeHidraw&) = delete;
  FakeHidraw& operator=(const FakeHidraw&) = delete;

  std::string Root() const { return root_; }
  std::string Sys() const { return root_ + "/sys"; }
  std::string Dev() const { return root_ + "/dev"; }

  FakeNode& Add(const FakeNodeSetup& s) {
    const std::string usbDevice = Sys() + "/devices/pci0000:00/usb1/1-" + std::to_string(s.number);
    const std::string usbInterface = usbDevice + "/1-" + std::to_string(s.number) + ":1." + std::to_string(s.interfaceNumber);
    const std::string hidDir = usbInterface + "/" + s.hidName;
    std::filesystem::create_directories(hidDir);
    Write(usbDevice + "/bcdDevice", Hex(s.bcdDevice, 4) + "\n");
    Write(usbInterface + "/bInterfaceNumber", Hex(static_cast<unsigned>(s.interfaceNumber), 2) + "\n");
    Write(hidDir + "/uevent", "DRIVER=hid-generic\nHID_ID=0003:0000" + Hex(s.vendorId, 4) + ":0000" +
                                  Hex(s.productId, 4) + "\nHID_NAME=" + s.name + "\nHID_PHYS=usb-0000:00:14.0-1/input" +
                                  std::to_string(s.interfaceNumber) + "\nHID_UNIQ=" + s.uniq +
                                  "\nMODALIAS=hid:b0003g0001v0000" + Hex(s.vendorId, 4) + "\n");
    Write(hidDir + "/report_descriptor", std::string(s.descriptor.begin(), s.descriptor.end()));
    const std::string node = "hidraw" + std::to_string(s.number);
    std::filesystem::create_directories(Sys() + "/class/hidraw/" + node);
    std::filesystem::create_directory_symlink(hidDir, Sys() + "/class/hidraw/" + node + "/device");

    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    const std::string path = Dev() + "/" + node;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0 || ::listen(fd, 512) != 0) {
      std::perror("fake hidraw node");
      std::abort();
    }
    auto& slot = nodes_[s.number];
    slot = std::make_unique<FakeNode>(fd);
    return *slot;
  }

  // The device goes away: sysfs entries and device file vanish, every open sees a hang-up.
  void Unplug(int number) {
    const std::string node = "hidraw" + std::to_string(number);
    std::error_code ec;
    std::filesystem::remove_all(Sys() + "/class/hidraw/" + node, ec);
    std::filesystem::remove(Dev() + "/" + node, ec);
    auto it = nodes_.find(number);
    if (it != nodes_.end()) it->second->CloseAll();
  }

  FakeNode& Node(int number) { return *nodes_.at(number); }

 private:
  static void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  }
  static std::string Hex(unsigned v, int digits) {
    char b[16];
    std::snprintf(b, sizeof b, "%0*X", digits, v);
    return b;
  }

  std::string root_;
  std::map<int, std::unique_ptr<FakeNode>> nodes_;
};

}  // namespace vz::hid::testing
