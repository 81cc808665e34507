#include "net/winsock_library.h"

#include "runtime/late_library.h"

const WinsockFunctions& Winsock() {
  static const WinsockFunctions functions = [] {
    WinsockFunctions found{};
    const HMODULE library = LoadLibraryA("wsock32.dll");
    const bool all = FindLateFunction(library, "WSAStartup", &found.WSAStartup) &&
                     FindLateFunction(library, "WSACleanup", &found.WSACleanup) &&
                     FindLateFunction(library, "WSAGetLastError", &found.WSAGetLastError) &&
                     FindLateFunction(library, "socket", &found.socket) &&
                     FindLateFunction(library, "bind", &found.bind) &&
                     FindLateFunction(library, "connect", &found.connect) &&
                     FindLateFunction(library, "select", &found.select) &&
                     FindLateFunction(library, "send", &found.send) &&
                     FindLateFunction(library, "recv", &found.recv) &&
                     FindLateFunction(library, "shutdown", &found.shutdown) &&
                     FindLateFunction(library, "closesocket", &found.closesocket) &&
                     FindLateFunction(library, "ioctlsocket", &found.ioctlsocket) &&
                     FindLateFunction(library, "setsockopt", &found.setsockopt) &&
                     FindLateFunction(library, "getsockopt", &found.getsockopt) &&
                     FindLateFunction(library, "getsockname", &found.getsockname) &&
                     FindLateFunction(library, "gethostbyname", &found.gethostbyname);
    if (!all) return WinsockFunctions{};
    found.loaded = true;
    return found;
  }();
  return functions;
}
