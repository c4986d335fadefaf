#pragma once

// How the fuzz targets turn libFuzzer's bytes into UTF-16 text, and how they report a disagreement.
//
// Byte by byte:
// - 0x01 lo hi stands for the code unit hi << 8 | lo, so that every unit can be reached (a missing hi counts as 0);
// - tab, LF, CR and printable ASCII stand for themselves, so that a seed can be written as plain text;
// - 0xF0 to 0xFF stand for a fresh unit, one not seen before in the text (CJK ideographs in order), and 0xE0 to
//   0xEF for the fresh unit 0 to 15 places before the last one: one byte each for texts of hundreds of distinct
//   units, which shape the automaton's states quite differently from a small alphabet;
// - every other byte stands for a token of kTokens, picked by the byte's value modulo their number.
// The tokens are what the rules are sensitive to, repeated by weight: spaces and a few letters, so that repeats,
// seams and empty words are common rather than rare; CR LF pairs, lone CRs and LFs and the four removed marks;
// letters whose upper case is another letter, or no single one; surrogate pairs and lone surrogates. Uniformly
// random units would almost never produce any of these cases.

#include <cctype>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace claimcheck::fuzz {

inline constexpr std::u16string_view kTokens[] = {
    u" ", u" ", u" ", u" ", u" ", u" ", u"a", u"a", u"a", u"a", u"a", u"b", u"b", u"b", u"b", u"A", u"A", u"B", u"\r\n",
    u"\r\n", u"\r\n", u"\r", u"\r", u"\n", u"\n", u".", u".", u",", u":", u";",
    // Case pairs: accents, ß (no single capital), long s, the three sigmas, dotless i, a titlecase digraph and
    // the Kelvin sign (upper case of nothing, lower case k).
    u"é", u"É", u"ß", u"ſ", u"s", u"σ", u"Σ", u"ς", u"ı", u"ǅ", u"ǆ", u"\u212A", u"k",
    // Deseret small and capital letter, a lone lead, a lone trail of each and a pair without case.
    u"\U00010428", u"\U00010400", u"\xD801", u"\xDC28", u"\xDC00", u"\U0001F600"};

inline constexpr std::uint8_t kRawUnit = 0x01;

inline bool standsForItself(std::uint8_t byte) {
    return byte == '\t' || byte == '\n' || byte == '\r' || (byte >= 0x20 && byte < 0x7F);
}

inline constexpr char16_t kFirstFreshUnit = u'\u4E00';

inline std::u16string decodeText(std::span<const std::uint8_t> bytes) {
    std::u16string text;
    unsigned freshUnits = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const std::uint8_t byte = bytes[i];
        if (byte >= 0xF0) {
            text.push_back(static_cast<char16_t>(kFirstFreshUnit + freshUnits++));
        } else if (byte >= 0xE0) {
            const unsigned back = byte & 0x0F;
            text.push_back(static_cast<char16_t>(kFirstFreshUnit + (freshUnits > back ? freshUnits - 1 - back : 0)));
        } else if (byte == kRawUnit) {
            const unsigned lo = i + 1 < bytes.size() ? bytes[i + 1] : 0;
            const unsigned hi = i + 2 < bytes.size() ? bytes[i + 2] : 0;
            text.push_back(static_cast<char16_t>(hi << 8 | lo));
            i += 2;
        } else if (standsForItself(byte)) {
            text.push_back(static_cast<char16_t>(byte));
        } else {
            text += kTokens[byte % std::size(kTokens)];
        }
    }
    return text;
}

// Where an input of two texts is cut: at its first 0x00 byte that is not part of a raw unit, or at its end.
inline std::size_t separatorAt(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size(); i += bytes[i] == kRawUnit ? 3 : 1) {
        if (bytes[i] == 0x00) {
            return i;
        }
    }
    return bytes.size();
}

// Printable ASCII as it is, everything else as \xHHHH, so that a report can be pasted into a test as a u"" literal.
// A hex escape would swallow a hex digit after it, so the literal is closed and reopened there.
inline std::string escape(std::u16string_view text) {
    std::string out = "u\"";
    bool afterEscape = false;
    for (const char16_t unit : text) {
        if (unit >= 0x20 && unit < 0x7F && unit != u'"' && unit != u'\\') {
            if (afterEscape && std::isxdigit(unit)) {
                out += "\" u\"";
            }
            out.push_back(static_cast<char>(unit));
            afterEscape = false;
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%04X", static_cast<unsigned>(unit));
            out += buffer;
            afterEscape = true;
        }
    }
    return out + "\"";
}

inline std::string escape(const std::vector<std::u16string>& words) {
    std::string out = "{";
    for (std::size_t i = 0; i < words.size(); ++i) {
        out += (i == 0 ? "" : ", ") + escape(words[i]);
    }
    return out + "}";
}

// Prints what disagreed and aborts, which libFuzzer records as a crash and saves the input of.
[[noreturn]] inline void disagreement(const char* operation, const std::string& input, const std::string& production,
                                      const std::string& literal) {
    std::fprintf(stderr,
                 "\n%s disagrees with the literal rules\n  input:      %s\n  production: %s\n  literal:    %s\n",
                 operation, input.c_str(), production.c_str(), literal.c_str());
    std::abort();
}

} // namespace claimcheck::fuzz
