// Status codes: the result of almost every operation. 0 is success, failures are negative and are
// passed up unchanged; results travel through out arguments.
#pragma once

#include <cstdint>

using Status = int32_t;

enum : Status {
  kOk = 0,

  // Mail exchange
  kErrMailReply = -1605,    // unexpected or negative reply of the mail server
  kErrMailSender = -1607,   // the mail server refused the sender address

  // General
  kErrSystem = -7000,       // a system call failed, or an internal table is damaged
  kErrArgument = -7001,     // bad index or argument, or a fixed-size list is full
  kErrState = -7002,        // needed item missing or in the wrong state (e.g. a locked handle)
  kErrUnsupported = -7003,  // not supported by this kind of object
  kErrMemory = -7004,       // out of memory, or a system resource could not be made
  kErrNotFound = -7005,
  kErrDuplicate = -7006,
  kErrCancelled = -7007,    // cancelled by the user
  kErrTimeout = -7008,
  kErrEncoding = -7009,     // text in an encoding that cannot be converted

  // Network
  kErrNetWait = -7100,
  kErrNetUnavailable = -7101,
  kErrSocketOpen = -7102,
  kErrSocketBind = -7103,
  kErrConnect = -7105,
  kErrReceive = -7107,
  kErrHostNotFound = -7108,
  kErrNotConnected = -7109,
  kErrConnectionRefused = -7110,

  // Files and archives
  kErrFileSystem = -7200,
  kErrBadName = -7201,
  kErrPathNotFound = -7202,
  kErrFileNotFound = -7203,
  kErrExists = -7204,
  kErrDamagedArchive = -7206,
  kErrBusy = -7208,
  kErrNotPermitted = -7209,
  kErrPastEnd = -7210,
  kErrDiskFull = -7211,
  kErrNoVolume = -7212,
  kErrTooManyOpen = -7213,
  kErrWholeVolume = -7214,

  // Graphics and images
  kErrGraphics = -7300,
  kErrImageFormat = -7301,  // unsupported or malformed image data
  kErrImageData = -7302,    // image data ended early, or a size out of range
  kErrPixmapLocked = -7305,
  kErrPrintDialog = -7350,
  kErrPrintStart = -7351,

  // Interface engine
  kErrNativeWindow = -8400,
  kErrNoInterface = -8401,
  kErrRefused = -8404,      // a check failed or the page callback vetoed: not an error, the action is not taken
  kErrNoIndex = -8405,
  kErrUnicodePage = -8406,
};
