#include "interface/interface_log.h"

namespace {

InterfaceLog gLog = nullptr;
void* gContext = nullptr;

}  // namespace

void set_interface_log(InterfaceLog log, void* context) {
  gLog = log;
  gContext = log ? context : nullptr;
}

bool interface_log_set() { return gLog != nullptr; }

void interface_log_report(const InterfaceLogEntry& entry) {
  if (gLog) gLog(gContext, entry);
}
