// The value-table text reader: a forgiving state machine over "KEY=value KEY='quoted value' FLAG".
// A bad byte is read again as a blank, so no input fails the read; only memory can.
#include <cstring>

#include "runtime/memory.h"
#include "runtime/text.h"
#include "runtime/value_table.h"

namespace {

enum class State { kSkip, kInKey, kAfterKey, kExpectValue, kBeforeValue, kBareValue, kQuotedValue };

bool IsBlank(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }
bool IsQuote(uint8_t c) { return c == '"' || c == '\'' || c == '`'; }

class TableReader {
 public:
  TableReader(uint32_t flags, const char* text, size_t length)
      : extended_((flags & kTableExtendedKeys) != 0),
        text_(reinterpret_cast<const uint8_t*>(text)),
        length_(length),
        table_(create_table(flags)),
        scratch_(static_cast<uint8_t*>(BlockNew(length + 1))) {}
  ~TableReader() {
    free_table(table_);
    BlockDispose(scratch_);
  }

  ValueTable* Read() {
    if (!table_ || !scratch_) return nullptr;
    for (size_t i = 0; i < length_ && status_ == kOk; ++i) Step(i, text_[i]);
    if (status_ == kOk) Finish();
    if (status_ != kOk) return nullptr;
    ValueTable* table = table_;
    table_ = nullptr;
    return table;
  }

 private:
  bool IsKey(uint8_t c) const { return IsTableKeyByte(c, extended_); }
  bool IsOperator(uint8_t c) const {
    return c == '=' || (extended_ && (c == '!' || c == ':' || c == '<' || c == '>' || c == '~'));
  }

  void Step(size_t i, uint8_t c) {
    for (;;) {  // runs twice only when a bad byte is read again as a blank
      switch (state_) {
        case State::kSkip:
          if (IsBlank(c)) return;
          if (IsKey(c)) {
            keyStart_ = i;
            state_ = State::kInKey;
            return;
          }
          break;
        case State::kInKey:
          if (IsKey(c)) return;
          if (IsBlank(c)) {
            keyEnd_ = i;
            state_ = State::kAfterKey;
            return;
          }
          if (IsOperator(c)) {
            keyEnd_ = i;
            separator_ = c;
            state_ = State::kExpectValue;
            return;
          }
          break;
        case State::kAfterKey:
          if (IsBlank(c)) return;
          if (IsKey(c)) {
            Store(nullptr, 0, 0);
            keyStart_ = i;
            state_ = State::kInKey;
            return;
          }
          if (IsOperator(c)) {
            separator_ = c;
            state_ = State::kExpectValue;
            return;
          }
          break;
        case State::kExpectValue:
          if (IsBlank(c)) {
            state_ = State::kBeforeValue;
            return;
          }
          if (c == '=' && !extended_) return;
          if (IsOperator(c)) break;
          StartValue(i, c);
          return;
        case State::kBeforeValue:
          if (IsBlank(c)) return;
          StartValue(i, c);
          return;
        case State::kBareValue:
          if (IsBlank(c)) EndValue(i);
          return;
        case State::kQuotedValue:
          if (c == quote_) EndValue(i);
          return;
      }
      c = ' ';
    }
  }

  void StartValue(size_t i, uint8_t c) {
    if (IsQuote(c)) {
      quote_ = c;
      valueStart_ = i + 1;
      state_ = State::kQuotedValue;
    } else {
      valueStart_ = i;
      state_ = State::kBareValue;
    }
  }

  // Percent escapes: '%' and two hexadecimal digits give that byte (a zero byte gives a blank).
  void EndValue(size_t end) {
    size_t length = 0;
    for (size_t i = valueStart_; i < end; ++i) {
      uint8_t c = text_[i];
      if (c == '%' && end - i > 2) {
        const int high = HexDigitValue(text_[i + 1]), low = HexDigitValue(text_[i + 2]);
        if (high >= 0 && low >= 0) {
          c = uint8_t(high << 4 | low);
          if (c == 0) c = ' ';
          i += 2;
        }
      }
      scratch_[length++] = c;
    }
    Store(scratch_, length, separator_);
    state_ = State::kSkip;
  }

  void Store(const uint8_t* value, size_t length, uint8_t separator) {
    // Only memory fails the read: a repeated key under unique keys (-7006) is left out.
    const ValueKey key(text_ + keyStart_, keyEnd_ - keyStart_);
    const Status status = append_value(table_, key, value, length, separator);
    if (status == kErrMemory) status_ = status;
  }

  void Finish() {
    switch (state_) {
      case State::kSkip:
        break;
      case State::kInKey:
        keyEnd_ = length_;
        Store(nullptr, 0, 0);
        break;
      case State::kAfterKey:
      case State::kExpectValue:
      case State::kBeforeValue:
        Store(nullptr, 0, 0);
        break;
      case State::kBareValue:
      case State::kQuotedValue:  // an unclosed quote keeps what it gathered
        EndValue(length_);
        break;
    }
  }

  const bool extended_;
  const uint8_t* text_;
  const size_t length_;
  ValueTable* table_;
  uint8_t* scratch_;
  Status status_ = kOk;
  State state_ = State::kSkip;
  size_t keyStart_ = 0, keyEnd_ = 0, valueStart_ = 0;
  uint8_t separator_ = '=';
  uint8_t quote_ = 0;
};

}  // namespace

ValueTable* read_table_from_text(uint32_t flags, const char* text, size_t length) {
  return TableReader(flags, text, length).Read();
}

ValueTable* read_table_from_text(uint32_t flags, const char* text) {
  return read_table_from_text(flags, text, std::strlen(text));
}
