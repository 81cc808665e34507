#include "net/net_start.h"

#include "net/endpoint_list.h"
#include "net/winsock_library.h"
#include "runtime/platform.h"

namespace {

bool gSocketsStarted = false;
uint32_t gProbed = 0;
uint32_t gWorking = 0;

void NetStop() {
  Winsock().WSACleanup();
  gSocketsStarted = false;
  gProbed = 0;
  gWorking = 0;
}

bool ProbeFamily(uint32_t bit) {
  constexpr int kNodeNumberProtocol = 16002;
  SOCKET probe = INVALID_SOCKET;
  if (bit == 0) probe = Winsock().socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  if (bit == 1) probe = Winsock().socket(AF_APPLETALK, SOCK_DGRAM, kNodeNumberProtocol);
  if (probe == INVALID_SOCKET) {
    Winsock().WSAGetLastError();
    return false;
  }
  Winsock().closesocket(probe);
  return true;
}

}  // namespace

Status NetStart(uint32_t families) {
  Status status = PlatformStart();
  if (status != kOk) return status;
  if (!gSocketsStarted) {
    WSADATA data;
    if (!Winsock().loaded || Winsock().WSAStartup(MAKEWORD(1, 1), &data) != 0) return kErrNetUnavailable;
    gSocketsStarted = true;
    PlatformAtExit(NetStop);
    PlatformAddIdle(NetworkIdle);
  }
  for (uint32_t bit = 0; bit < 32; ++bit) {
    const uint32_t mask = 1u << bit;
    if (!(families & mask) || (gProbed & mask)) continue;
    gProbed |= mask;
    if (ProbeFamily(bit)) gWorking |= mask;
  }
  if (gWorking == 0) return kErrNetUnavailable;
  if (families != kNetFamilyAny && (gWorking & families) != families) return kErrNetUnavailable;
  return kOk;
}

uint32_t NetFamilies() { return gWorking; }
