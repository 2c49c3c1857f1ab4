// Code-page conversions of the layer (949, UTF-8, 1252): any bytes and any
// UTF-16 text convert without touching memory past the buffers given; the
// size a call reports is the size it fills; a buffer one short fails with
// ERROR_INSUFFICIENT_BUFFER; a valid text converts back to itself.
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>

#include "fuzz_support.h"
#include "windows.h"

namespace {

const UINT kCodePages[] = {949, CP_UTF8, 1252};

// Converts into a heap buffer of exactly `count` units, so that the
// address sanitizer sees any write past it.
std::u16string ToWide(UINT cp, DWORD flags, const std::string& bytes, int* result) {
  const int need = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  *result = need;
  if (need <= 0) return {};
  auto exact = std::make_unique<WCHAR[]>(static_cast<size_t>(need));
  const int got = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), exact.get(), need);
  fuzz::Check(got == need, "MultiByteToWideChar filled " + std::to_string(got) + " of " + std::to_string(need));
  if (need > 1) {
    auto shorter = std::make_unique<WCHAR[]>(static_cast<size_t>(need - 1));
    SetLastError(0xdeadbeef);
    const int cut = MultiByteToWideChar(cp, flags, bytes.data(), static_cast<int>(bytes.size()), shorter.get(), need - 1);
    fuzz::Check(cut == 0 && GetLastError() == ERROR_INSUFFICIENT_BUFFER, "MultiByteToWideChar into a short buffer");
  }
  return std::u16string(reinterpret_cast<const char16_t*>(exact.get()), static_cast<size_t>(need));
}

std::string ToBytes(UINT cp, const std::u16string& wide, bool* usedDefault) {
  const WCHAR* w = reinterpret_cast<const WCHAR*>(wide.data());
  BOOL used = FALSE;
  BOOL* usedOut = cp == CP_UTF8 ? nullptr : &used;
  const int need = WideCharToMultiByte(cp, 0, w, static_cast<int>(wide.size()), nullptr, 0, nullptr, usedOut);
  fuzz::Check(need > 0, "WideCharToMultiByte of a non-empty text gave " + std::to_string(need));
  auto exact = std::make_unique<char[]>(static_cast<size_t>(need));
  const int got = WideCharToMultiByte(cp, 0, w, static_cast<int>(wide.size()), exact.get(), need, nullptr, usedOut);
  fuzz::Check(got == need, "WideCharToMultiByte filled " + std::to_string(got) + " of " + std::to_string(need));
  *usedDefault = used != FALSE;
  return std::string(exact.get(), static_cast<size_t>(need));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::Input in(data, size);
  const UINT cp = kCodePages[in.Byte() % 3];
  const std::string bytes(in.Rest());
  if (bytes.empty()) return 0;

  int plain = 0;
  const std::u16string wide = ToWide(cp, 0, bytes, &plain);
  fuzz::Check(plain > 0, "MultiByteToWideChar without flags failed on " + fuzz::Escaped(bytes));

  // A text that converts with MB_ERR_INVALID_CHARS converts back to the
  // same bytes (in 949 and 1252 through no default character).
  int strict = 0;
  const std::u16string valid = ToWide(cp, MB_ERR_INVALID_CHARS, bytes, &strict);
  if (strict > 0) {
    fuzz::Check(valid == wide, "the flag changed a valid text's conversion");
    bool usedDefault = false;
    const std::string back = ToBytes(cp, valid, &usedDefault);
    if (!usedDefault) {
      fuzz::Check(back == bytes, "cp " + std::to_string(cp) + ": " + fuzz::Escaped(bytes) + " came back as " +
                                     fuzz::Escaped(back));
    }
  }

  // The input read as UTF-16 converts to every code page, and what comes
  // out reads back to the same text when no default character was used.
  if (bytes.size() >= 2) {
    std::u16string units(bytes.size() / 2, u'\0');
    std::memcpy(units.data(), bytes.data(), units.size() * 2);
    bool usedDefault = false;
    const std::string out = ToBytes(cp, units, &usedDefault);
    int count = 0;
    const std::u16string again = ToWide(cp, 0, out, &count);
    bool lone = false;
    for (size_t i = 0; i < units.size(); ++i) {
      const char16_t u = units[i];
      if (u >= 0xD800 && u <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF) {
        ++i;
      } else if (u >= 0xD800 && u <= 0xDFFF) {
        lone = true;
      }
    }
    if (!usedDefault && !lone) {
      fuzz::Check(again == units, "cp " + std::to_string(cp) + ": UTF-16 did not come back from " + fuzz::Escaped(out));
    }
  }
  return 0;
}
