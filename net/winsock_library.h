// Windows Sockets 1.1 from its library, loaded when the network is first used (see
// runtime/late_library.h): most runs of the program never mail, and the library with those it needs
// would otherwise load before the program's first instruction.
#pragma once

#include <winsock.h>

// The library's functions under their own names, called as Winsock().socket(...).
struct WinsockFunctions {
  bool loaded;  // every function below was found; when not, none is set
  decltype(&::WSAStartup) WSAStartup;
  decltype(&::WSACleanup) WSACleanup;
  decltype(&::WSAGetLastError) WSAGetLastError;
  decltype(&::socket) socket;
  decltype(&::bind) bind;
  decltype(&::connect) connect;
  decltype(&::select) select;
  decltype(&::send) send;
  decltype(&::recv) recv;
  decltype(&::shutdown) shutdown;
  decltype(&::closesocket) closesocket;
  decltype(&::ioctlsocket) ioctlsocket;
  decltype(&::setsockopt) setsockopt;
  decltype(&::getsockopt) getsockopt;
  decltype(&::getsockname) getsockname;
  decltype(&::gethostbyname) gethostbyname;
};

// Loads the library on the first call. Every socket comes from EndpointConnect and every name lookup
// from ResolveHost, which check `loaded`; the other calls act on what those made.
const WinsockFunctions& Winsock();
