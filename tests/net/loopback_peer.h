// The other end of a test connection: a plain blocking Winsock listener on a free loopback port.
#pragma once

#include <winsock.h>

#include <string>

#include "net/address.h"

class LoopbackPeer {
 public:
  explicit LoopbackPeer(int backlog = 4) {
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address = {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    int size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    listen(listener_, backlog);
  }
  ~LoopbackPeer() {
    Drop();
    if (listener_ != INVALID_SOCKET) closesocket(listener_);
  }
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  uint16_t port() const { return port_; }
  NetAddress address() const {
    NetAddress address;
    AddressSetInternet(&address, htons(port_), htonl(INADDR_LOOPBACK));
    return address;
  }
  // Stops listening: connecting to the port is then refused.
  void StopListening() {
    closesocket(listener_);
    listener_ = INVALID_SOCKET;
  }

  bool Accept() {
    connection_ = accept(listener_, nullptr, nullptr);
    return connection_ != INVALID_SOCKET;
  }
  void Send(const std::string& bytes) { send(connection_, bytes.data(), int(bytes.size()), 0); }
  // Reads until the given number of bytes arrived or the connection ended.
  std::string Receive(size_t count) {
    std::string bytes;
    char chunk[4096];
    while (bytes.size() < count) {
      const int got = recv(connection_, chunk, int(std::min(sizeof chunk, count - bytes.size())), 0);
      if (got <= 0) break;
      bytes.append(chunk, size_t(got));
    }
    return bytes;
  }
  void Close() {
    closesocket(connection_);
    connection_ = INVALID_SOCKET;
  }
  // Ends the connection with a reset instead of a close.
  void Reset() {
    linger hard = {1, 0};
    setsockopt(connection_, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard);
    Close();
  }
  void Drop() {
    if (connection_ != INVALID_SOCKET) Close();
  }

 private:
  SOCKET listener_ = INVALID_SOCKET;
  SOCKET connection_ = INVALID_SOCKET;
  uint16_t port_ = 0;
};
