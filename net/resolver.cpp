#include "net/resolver.h"

#include <winsock.h>

#include <atomic>
#include <cstring>
#include <new>

#include "net/host_text.h"
#include "net/queue_wait.h"
#include "net/winsock_library.h"
#include "runtime/system_heap.h"

namespace {

constexpr SIZE_T kResolverStackBytes = 64 * 1024;

// Shared by the caller and the lookup thread; the last of the two to let go frees it. A caller whose
// wait ran out lets go first, and the answer that comes later is dropped with the record.
struct Resolver {
  QueueItem link;  // delivered into replies when the lookup ends
  std::atomic<int> holders;
  ItemQueue replies;
  char name[kHostNameSize];
  uint16_t port;
  NetAddress address;
  int lookupError;  // the socket error of a failed lookup, kept for a debugger
};

std::atomic<uint32_t> gLookupsStarted{0};

void LetGo(Resolver* resolver) {
  if (resolver->holders.fetch_sub(1) != 1) return;
  QueueDispose(&resolver->replies);
  resolver->~Resolver();
  SystemHeapFree(resolver);
}

DWORD WINAPI LookUp(void* parameter) {
  auto* resolver = static_cast<Resolver*>(parameter);
  const hostent* host = Winsock().gethostbyname(resolver->name);
  if (host && host->h_addrtype == AF_INET && host->h_length == 4 && host->h_addr_list[0]) {
    uint32_t ipv4;
    memcpy(&ipv4, host->h_addr_list[0], sizeof ipv4);
    AddressSetInternet(&resolver->address, NetOrder16(resolver->port), ipv4);
  } else {
    resolver->lookupError = Winsock().WSAGetLastError();
  }
  // An answer either way, so that a name that is not found does not keep the caller waiting.
  QueuePush(&resolver->replies, &resolver->link);
  LetGo(resolver);
  return 0;
}

}  // namespace

Status ResolveHost(uint16_t family, const char* host, NetAddress* address) {
  if (!address) return kErrArgument;
  AddressClear(address);
  if (family != kFamilyInternet || !host) return kErrArgument;
  uint32_t ipv4;
  uint16_t port;
  if (HostTextParseDotted(host, &ipv4, &port)) {
    AddressSetInternet(address, NetOrder16(port), NetOrder32(ipv4));
    return kOk;
  }

  if (!Winsock().loaded) return kErrHostNotFound;  // no name can be looked up
  void* memory = SystemHeapAllocate(sizeof(Resolver), true);
  if (!memory) return kErrMemory;
  auto* resolver = new (memory) Resolver{};
  resolver->holders = 1;
  if (!HostTextSplit(host, resolver->name, &resolver->port)) {
    LetGo(resolver);
    return kErrHostNotFound;
  }
  if (QueueCreate(&resolver->replies) != kOk) {
    LetGo(resolver);
    return kErrMemory;
  }
  resolver->holders = 2;
  HANDLE thread = CreateThread(nullptr, kResolverStackBytes, LookUp, resolver, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
  if (!thread) {
    resolver->holders = 1;
    LetGo(resolver);
    return kErrSystem;
  }
  ++gLookupsStarted;
  if (QueueWait(&resolver->replies, kResolveWaitSeconds)) {
    AddressCopy(address, &resolver->address);
    WaitForSingleObject(thread, INFINITE);  // it has answered: all it has left to do is let go
  }
  CloseHandle(thread);
  LetGo(resolver);
  return AddressIsEmpty(address) ? kErrHostNotFound : kOk;
}

uint32_t ResolverLookupsStarted() { return gLookupsStarted; }
