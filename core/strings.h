// String helpers every part of the programs uses.
//
// Positions are 1-based and 0 means "not found"; counts and positions are
// signed so that a caller's "position - 1" of a missing text (0 - 1) gives an
// empty result instead of the whole string. Narrow text is bytes (the ANSI
// code page), wide text UTF-16; every helper that exists in both kinds is an
// overload, and where the programs know the wide form under its own name
// (wideLeft, widePos, ...) that name exists as well.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zq {

// ---------------------------------------------------------------- parts

// The first n characters (all of them when n is larger, none when n < 1).
std::string leftPart(std::string_view s, int64_t n);
std::u16string leftPart(std::u16string_view s, int64_t n);
std::u16string wideLeft(std::u16string_view s, int64_t n);

// The characters from position `from` to the end (from < 1 counts as 1).
std::string rightPart(std::string_view s, int64_t from);
std::u16string rightPart(std::u16string_view s, int64_t from);
std::u16string wideFrom(std::u16string_view s, int64_t from);

// The characters from position `from` to position `to`, both included.
std::string midPart(std::string_view s, int64_t from, int64_t to);
std::u16string midPart(std::u16string_view s, int64_t from, int64_t to);
std::u16string wideMid(std::u16string_view s, int64_t from, int64_t to);

// ---------------------------------------------------------------- search

// Position of the first occurrence of sub at or after `from` (from < 1 counts
// as 1); 0 when there is none or sub is empty.
int64_t posFrom(std::string_view sub, std::string_view s, int64_t from);
int64_t posFrom(std::u16string_view sub, std::u16string_view s, int64_t from);
int64_t widePosFrom(std::u16string_view sub, std::u16string_view s, int64_t from);

// Position of the first occurrence; 0 when there is none or sub is empty.
int64_t widePos(std::u16string_view sub, std::u16string_view s);

// Position of the last occurrence; 0 when there is none or sub is empty.
int64_t lastPos(std::string_view sub, std::string_view s);
int64_t lastPos(std::u16string_view sub, std::u16string_view s);
int64_t wideLastPos(std::u16string_view sub, std::u16string_view s);

// Every occurrence of `from` replaced by `to`, scanning on after each inserted
// text (so a replacement that contains `from` is not replaced again). An empty
// `from` leaves the text as it is.
std::string replaceAll(std::string_view s, std::string_view from, std::string_view to);
std::u16string replaceAll(std::u16string_view s, std::u16string_view from, std::u16string_view to);

// ---------------------------------------------------------------- fields

// Removes leading and trailing spaces, then leading and trailing carriage
// returns (only these two characters: a tab or a line feed stays).
std::string trimText(std::string_view s);
std::u16string trimText(std::u16string_view s);

// The n-th (1-based) field of the trimmed text split at `separator`; empty
// when there are fewer fields. Fields themselves are not trimmed.
std::string fieldAt(std::string_view s, int64_t n, char separator);
std::u16string fieldAt(std::u16string_view s, int64_t n, char16_t separator);

// The n-th space-separated argument of the trimmed text. An argument in double
// quotes may contain spaces and comes back without its quotes (an unclosed
// quote runs to the end). A text of one character with n = 1 comes back
// unchanged. Empty when there are fewer arguments.
std::string argumentAt(std::string_view s, int64_t n);
std::u16string argumentAt(std::u16string_view s, int64_t n);

// ---------------------------------------------------------------- case

// Upper or lower case by the system's character tables (Unicode simple case
// mapping).
std::u16string upperText(std::u16string_view s);
std::u16string lowerText(std::u16string_view s);

// ---------------------------------------------------------------- wide arrays

// The wide arrays of the archive hold at most this many code units of text
// before their terminating NUL.
constexpr size_t kWideArrayTextLimit = 520;

// Copies s into a fixed wide array and ends it with a NUL. Texts longer than
// 520 code units (or than the array can hold with its NUL) are cut. Units
// after the NUL are left as they were.
void copyToWideArray(char16_t* array, size_t capacity, std::u16string_view s);
template <size_t N>
void copyToWideArray(char16_t (&array)[N], std::u16string_view s) {
  copyToWideArray(array, N, s);
}

// ---------------------------------------------------------------- numbers

std::string int64ToText(int64_t v);

// True and the value when s is a decimal integer that fits 64 bits: optional
// leading spaces, an optional sign, digits and nothing after them ("12 kB" is
// not a number).
bool textToInt64(std::string_view s, int64_t& out);
bool textToInt64(std::u16string_view s, int64_t& out);

// The value, or -1 when s is empty or not an integer.
int64_t textToInt64OrMinus1(std::string_view s);
int64_t textToInt64OrMinus1(std::u16string_view s);

int64_t minOf(int64_t a, int64_t b);
int64_t maxOf(int64_t a, int64_t b);

// counter + 1; when that exceeds limit the counter becomes restart and the
// result is true (walks cyclic indices).
bool stepCounter(int64_t& counter, int64_t limit, int64_t restart);

// The bytes of ceil(bits / blockBits) whole blocks of blockBits bits each
// (blockBits 64: whole 8-byte blocks). 0 for a block size or bit count < 1.
int64_t wholeBlockBytes(int64_t blockBits, int64_t bits);

}  // namespace zq
