// Initialization files are stored in the machine's ANSI code page, or in
// UTF-8 / UTF-16 when they start with a byte order mark; a rewrite keeps the
// file's own encoding.
#pragma once
#include <string>
#include <string_view>

namespace winsim::profile {

enum class ProfileEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

struct DecodedProfile {
  ProfileEncoding encoding = ProfileEncoding::Ansi;
  std::u16string text;
};

// Bytes of a file -> its text. Sequences the code page lacks become '?'.
DecodedProfile DecodeProfileBytes(std::string_view bytes);
// The same for a rewrite, without loss: in a code-page file, each byte that
// is no character of the code page (or no character that encodes back to
// it) becomes U+DC00 + byte, which EncodeProfileText writes back as that
// byte, so lines the writer does not change keep their bytes.
DecodedProfile DecodeProfileBytesForRewrite(std::string_view bytes);
// A caller's text (not NULL) for a change of a file in `encoding`. In a
// code-page file, the characters that DecodeProfileBytesForRewrite uses for
// kept bytes become '?', which is what Windows writes for a character the
// code page lacks.
std::u16string CallerText(const char16_t* text, ProfileEncoding encoding);

// Whether bytes start with a UTF-8 or UTF-16 byte order mark.
bool StartsWithByteOrderMark(std::string_view bytes);
// Text -> bytes of a file in the given encoding, with its byte order mark.
std::string EncodeProfileText(std::u16string_view text, ProfileEncoding encoding);

}  // namespace winsim::profile
