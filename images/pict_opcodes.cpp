#include "images/pict_opcodes.h"

#include "runtime/byte_order.h"

namespace {

constexpr PictOpcode Fixed(uint16_t bytes, bool unsupported = false) {
  return PictOpcode{PictRule::Bytes, bytes, unsupported};
}
constexpr PictOpcode Rule(PictRule rule, bool unsupported = false) { return PictOpcode{rule, 0, unsupported}; }

bool In(uint32_t op, uint32_t first, uint32_t last) { return op >= first && op <= last; }

// The opcodes 0x00 to 0xA1, row by row of the format's table.
PictOpcode Listed(uint32_t op) {
  constexpr bool kRefused = true;
  if (op == 0x00 || In(op, 0x17, 0x19) || op == 0x1C || op == 0x1E) return Fixed(0);
  if (op == 0x01) return Rule(PictRule::RegionLength);
  if (op == 0x02 || op == 0x09 || op == 0x0A || op == 0x10) return Fixed(8);
  if (op == 0x03 || op == 0x05 || op == 0x08 || op == 0x0D || op == 0x15 || op == 0x16 || op == 0xA0) return Fixed(2);
  if (op == 0x04 || op == 0x11) return Fixed(1);
  if (op == 0x06 || op == 0x07 || op == 0x0B || op == 0x0C || op == 0x0E || op == 0x0F) return Fixed(4);
  if (In(op, 0x12, 0x14) || In(op, 0x90, 0x91) || In(op, 0x98, 0x9B)) return Rule(PictRule::Handler);
  if (op == 0x1A || op == 0x1B || op == 0x1D || op == 0x1F) return Fixed(6);
  if (op == 0x20) return Fixed(8, kRefused);
  if (op == 0x21) return Fixed(4, kRefused);
  if (op == 0x22) return Fixed(6, kRefused);
  if (op == 0x23) return Fixed(2, kRefused);
  if (In(op, 0x24, 0x27)) return Rule(PictRule::WordLength, kRefused);
  if (op == 0x28) return Rule(PictRule::TextAfter5, kRefused);
  if (op == 0x29 || op == 0x2A) return Rule(PictRule::TextAfter2, kRefused);
  if (op == 0x2B) return Rule(PictRule::TextAfter3, kRefused);
  if (op == 0x2C) return Rule(PictRule::TextAfter5);
  if (op == 0x2D) return Fixed(10);
  if (op == 0x2E || op == 0x32) return Fixed(8);
  if (op == 0x2F) return Rule(PictRule::WordLength);
  if (In(op, 0x30, 0x31) || In(op, 0x33, 0x37) || In(op, 0x40, 0x47) || In(op, 0x50, 0x57)) return Fixed(8, kRefused);
  if (In(op, 0x38, 0x3F) || In(op, 0x48, 0x4F) || In(op, 0x58, 0x5F) || In(op, 0x78, 0x7F) || In(op, 0x88, 0x8F))
    return Fixed(0, kRefused);
  if (In(op, 0x60, 0x67)) return Fixed(12, kRefused);
  if (In(op, 0x68, 0x6F)) return Fixed(4, kRefused);
  if (In(op, 0x70, 0x74) || In(op, 0x80, 0x84)) return Rule(PictRule::RegionLength, kRefused);
  if (In(op, 0x75, 0x77) || In(op, 0x85, 0x87)) return Rule(PictRule::WordLength, kRefused);
  if (In(op, 0x92, 0x97) || In(op, 0x9C, 0x9F)) return Rule(PictRule::WordLength);
  return Rule(PictRule::Comment);  // 0xA1
}

Status ReadNumber(ImageStream* input, uint32_t bytes, uint32_t* value) {
  const uint8_t* data = ImageStreamTake(input, bytes);
  if (!data) return kErrImageData;
  *value = bytes == 1 ? data[0] : bytes == 2 ? GetBig16(data) : GetBig32(data);
  return kOk;
}

}  // namespace

PictOpcode PictOpcodeOf(uint32_t op) {
  if (op <= 0xA1) return Listed(op);
  if (op <= 0xAF) return Rule(PictRule::WordLength);
  if (op <= 0xCF) return Fixed(0);
  if (op <= 0xFE) return Rule(PictRule::LongLength);
  if (op == 0x02FF) return Fixed(2);
  if (op == 0x0C00) return Fixed(24);
  if (op <= 0x7FFF) return Fixed(uint16_t(2 * (op >> 8)));
  if (op == 0x8000) return Fixed(0);
  if (op == 0x8200 || op == 0x8201) return Rule(PictRule::LongLength, true);  // compressed movie images
  return Rule(PictRule::LongLength);
}

Status PictSkipData(ImageStream* input, const PictOpcode& opcode) {
  uint32_t count = 0;
  Status status = kOk;
  switch (opcode.rule) {
    case PictRule::Bytes:
      count = opcode.bytes;
      break;
    case PictRule::Handler:
      return kErrImageFormat;
    case PictRule::WordLength:
      status = ReadNumber(input, 2, &count);
      break;
    case PictRule::LongLength:
      status = ReadNumber(input, 4, &count);
      if (status == kOk && count > INT32_MAX) return kErrImageFormat;
      break;
    case PictRule::RegionLength:
      status = ReadNumber(input, 2, &count);
      if (status == kOk && count < 2) return kErrImageFormat;
      count -= 2;
      break;
    case PictRule::TextAfter2:
    case PictRule::TextAfter3:
    case PictRule::TextAfter5: {
      const uint32_t leading = opcode.rule == PictRule::TextAfter2 ? 1 : opcode.rule == PictRule::TextAfter3 ? 2 : 4;
      status = ImageStreamSkip(input, leading);
      if (status == kOk) status = ReadNumber(input, 1, &count);
      break;
    }
    case PictRule::Comment:
      status = ImageStreamSkip(input, 2);
      if (status == kOk) status = ReadNumber(input, 2, &count);
      break;
  }
  return status == kOk ? ImageStreamSkip(input, count) : status;
}
