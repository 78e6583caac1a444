// The line reader, tokenizer and line writer shared by every part of the
// settings text: instance blocks, control records, clips and settings files.
#pragma once

#include <cstddef>

#include "persist/settings_state.h"

namespace orvik {

// A physical line is read into a 256-byte buffer and keeps at most 253
// characters; the rest of a longer line is read as the following line.
constexpr int kSettingsLineBufferSize = 256;
constexpr int kSettingsLineMaxChars = 253;
// Words taken from a line go into buffers of this size.
constexpr int kTokenBufferSize = 260;
// Counted texts ("STRING2 5 @hello") are never longer than this.
constexpr int kCountedTextMaxChars = 255;
// Lines are formatted into a buffer of this size before they are written.
constexpr int kWriteLineBufferSize = 1024;

using SettingsLineBuffer = char[kSettingsLineBufferSize];
using TokenBuffer = char[kTokenBufferSize];

// The parse position that failure messages report: a line counter raised
// before every physical line, and a copy of the last line read. Each thread
// has its own, so a paste on a panel thread cannot disturb a load on the
// host's thread.
void ResetParsePosition();  // counter 1, no line read yet
int ParseLineNumber();
const char* LastSettingsLine();
// "Line %d: %.100s" with the counter and at most 100 characters of the last
// line read (empty when none was read since the reset).
void FormatParsePosition(char* out, size_t capacity);

// Reads one physical line into buffer (terminated, the line break dropped).
// Returns false at the end of data.
bool ReadPhysicalLine(LoadState* state, SettingsLineBuffer& buffer);

// The next significant line: comment lines (empty after leading blanks, or
// beginning with '#', '%' or '/') are skipped; leading and trailing blanks are
// removed. Returns a pointer into buffer, or null at the end of data.
const char* ReadSettingsLine(LoadState* state, SettingsLineBuffer& buffer);

// Copies the n-th blank-separated word (counted from 1) of line into out,
// cut to fit. Returns 0 on success, 1 when line or out is missing, n is below
// 1 or the line has fewer than n words (out is then left empty).
int GetToken(const char* line, char* out, size_t outSize, int n);
template <size_t N>
int GetToken(const char* line, char (&out)[N], int n) {
  return GetToken(line, out, N, n);
}

// The text between the first '@' of line and the next '@' (or the end of the
// line); empty when there is no '@' or the first is followed by another.
void GetDelimitedText(const char* line, char* out, size_t outSize);

// For "WORD COUNT @text" lines: copies COUNT characters after the first '@',
// no more than are present and never more than 255 (nor than fit). Returns
// false, writing nothing, when the second word or the '@' is missing.
bool GetCountedText(const char* line, char* out, size_t outSize);

// Decimal conversions of settings values: text that is not a number reads
// as 0, integers out of range saturate instead of overflowing, and a double
// that is not finite ("nan", "inf", "1e999") reads as 0.
int TextToInt(const char* text);
long TextToLong(const char* text);
double TextToDouble(const char* text);

// Formats one line (cut to 1023 characters) and hands it to the save state
// with its terminating zero. Returns the bytes handed over (characters plus
// one), 0 when there is no state.
long WriteSettingsLine(SaveState* state, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Copies text for use inside one written line: bytes that would end the line
// when it is read back (control bytes other than tab) become spaces, so a
// stray line break can neither cut a value nor start a record of its own.
// Cut to capacity - 1; returns the length stored.
size_t CopyLineText(char* out, size_t capacity, const char* text);

// The indent of a record at the given depth: that many spaces (capped).
const char* SettingsIndent(int depth);

}  // namespace orvik
