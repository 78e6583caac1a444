#include "persist/settings_text.h"

#include <cmath>
#include <climits>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace orvik {

namespace {

// A line break reads as nothing: with blank lines in a row the reader sees many
// empty reads, which are skipped up to this many in a row. Reads reporting the
// end of data are retried only kEndOfDataRetries more times.
constexpr int kMaxEmptyReads = 4096;
constexpr int kEndOfDataRetries = 10;
// At the end of data one larger read lets the host state settle its position.
constexpr int kDrainReadBytes = 30;
// Bytes up to this value end a physical line (tab excepted: it is a blank).
constexpr unsigned char kLastControlByte = 20;
constexpr int kPositionTextChars = 100;
constexpr int kMaxIndent = 32;

struct ParsePosition {
  int line = 1;
  char lastLine[kSettingsLineBufferSize] = {};
};

thread_local ParsePosition tParsePosition;

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

void ResetParsePosition() {
  tParsePosition.line = 1;
  tParsePosition.lastLine[0] = '\0';
}

int ParseLineNumber() { return tParsePosition.line; }

const char* LastSettingsLine() { return tParsePosition.lastLine; }

void FormatParsePosition(char* out, size_t capacity) {
  if (out == nullptr || capacity == 0) return;
  std::snprintf(out, capacity, "Line %d: %.*s", tParsePosition.line, kPositionTextChars,
                tParsePosition.lastLine);
}

bool ReadPhysicalLine(LoadState* state, SettingsLineBuffer& buffer) {
  if (tParsePosition.line < INT_MAX) ++tParsePosition.line;
  std::memset(buffer, 0, sizeof buffer);
  if (state == nullptr || state->read == nullptr) return false;

  // First byte: skip line breaks (a state that hands them over as bytes
  // gives them here), give up after repeated end-of-data reports.
  int emptyReads = 0;
  int failedReads = 0;
  for (;;) {
    int got = state->read(state->context, buffer, 1);
    unsigned char first = static_cast<unsigned char>(buffer[0]);
    if (got >= 1 && (first > kLastControlByte || first == '\t')) break;
    if (got >= 1) got = 0;
    if (got == 0 && emptyReads < kMaxEmptyReads) {
      ++emptyReads;
      continue;
    }
    if (++failedReads > kEndOfDataRetries) {
      SettingsLineBuffer drain = {};
      state->read(state->context, drain, kDrainReadBytes);
      std::memset(buffer, 0, sizeof buffer);
      return false;
    }
  }

  // The rest of the line, one byte at a time, up to 253 characters.
  int pos = 1;
  while (pos < kSettingsLineMaxChars) {
    int got = state->read(state->context, buffer + pos, 1);
    unsigned char byte = static_cast<unsigned char>(buffer[pos]);
    if (got != 1 || (byte <= kLastControlByte && byte != '\t')) {
      buffer[pos] = '\0';
      return true;
    }
    ++pos;
  }
  buffer[kSettingsLineMaxChars] = '\0';
  return true;
}

const char* ReadSettingsLine(LoadState* state, SettingsLineBuffer& buffer) {
  for (;;) {
    if (!ReadPhysicalLine(state, buffer)) return nullptr;
    std::memcpy(tParsePosition.lastLine, buffer, sizeof buffer);
    tParsePosition.lastLine[kSettingsLineBufferSize - 1] = '\0';

    char* text = buffer;
    while (*text != '\0' && IsBlank(*text)) ++text;
    if (*text == '\0' || *text == '#' || *text == '%' || *text == '/') continue;

    size_t length = std::strlen(text);
    while (length > 0 && IsBlank(text[length - 1])) text[--length] = '\0';
    return text;
  }
}

int GetToken(const char* line, char* out, size_t outSize, int n) {
  if (out != nullptr && outSize > 0) out[0] = '\0';
  if (line == nullptr || out == nullptr || outSize == 0 || n < 1) return 1;
  const char* p = line;
  for (int word = 1;; ++word) {
    while (*p != '\0' && IsBlank(*p)) ++p;
    if (*p == '\0') return 1;
    const char* start = p;
    while (*p != '\0' && !IsBlank(*p)) ++p;
    if (word == n) {
      size_t length = static_cast<size_t>(p - start);
      if (length > outSize - 1) length = outSize - 1;
      std::memcpy(out, start, length);
      out[length] = '\0';
      return 0;
    }
  }
}

void GetDelimitedText(const char* line, char* out, size_t outSize) {
  if (out == nullptr || outSize == 0) return;
  out[0] = '\0';
  if (line == nullptr) return;
  const char* start = std::strchr(line, '@');
  if (start == nullptr) return;
  ++start;
  const char* end = std::strchr(start, '@');
  size_t length = end != nullptr ? static_cast<size_t>(end - start) : std::strlen(start);
  if (length > outSize - 1) length = outSize - 1;
  std::memcpy(out, start, length);
  out[length] = '\0';
}

bool GetCountedText(const char* line, char* out, size_t outSize) {
  if (line == nullptr || out == nullptr || outSize == 0) return false;
  TokenBuffer countWord;
  if (GetToken(line, countWord, 2) != 0) return false;
  const char* at = std::strchr(line, '@');
  if (at == nullptr) return false;
  const char* text = at + 1;

  long count = TextToLong(countWord);
  if (count < 0) count = 0;
  size_t length = static_cast<size_t>(count);
  size_t present = std::strlen(text);
  if (length > present) length = present;
  if (length > static_cast<size_t>(kCountedTextMaxChars)) length = kCountedTextMaxChars;
  if (length > outSize - 1) length = outSize - 1;
  std::memcpy(out, text, length);
  out[length] = '\0';
  return true;
}

long TextToLong(const char* text) {
  if (text == nullptr) return 0;
  return std::strtol(text, nullptr, 10);  // saturates at LONG_MIN / LONG_MAX
}

int TextToInt(const char* text) {
  long v = TextToLong(text);
  if (v > INT_MAX) return INT_MAX;
  if (v < INT_MIN) return INT_MIN;
  return static_cast<int>(v);
}

double TextToDouble(const char* text) {
  if (text == nullptr) return 0.0;
  double v = std::strtod(text, nullptr);
  // "nan", "inf" and overflowing exponents are no usable setting.
  return std::isfinite(v) ? v : 0.0;
}

long WriteSettingsLine(SaveState* state, const char* format, ...) {
  if (state == nullptr || state->write == nullptr) return 0;
  char line[kWriteLineBufferSize];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(line, sizeof line, format, args);
  va_end(args);
  if (n < 0) line[0] = '\0';
  int length = static_cast<int>(std::strlen(line)) + 1;
  state->write(state->context, line, length);
  return length;
}

size_t CopyLineText(char* out, size_t capacity, const char* text) {
  if (out == nullptr || capacity == 0) return 0;
  size_t n = 0;
  if (text != nullptr) {
    for (; text[n] != '\0' && n < capacity - 1; ++n) {
      unsigned char byte = static_cast<unsigned char>(text[n]);
      out[n] = (byte < 0x20 && byte != '\t') ? ' ' : text[n];
    }
  }
  out[n] = '\0';
  return n;
}

const char* SettingsIndent(int depth) {
  static const char kSpaces[kMaxIndent + 1] = "                                ";
  if (depth < 0) depth = 0;
  if (depth > kMaxIndent) depth = kMaxIndent;
  return kSpaces + (kMaxIndent - depth);
}

}  // namespace orvik
