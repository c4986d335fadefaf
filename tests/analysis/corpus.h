#pragma once

// The real patents beside the project: each is a pair of UTF-8 files <number>.claims.txt and
// <number>.description.txt with LF line ends. Shared by the tests and the benchmarks.

#include <unicode/ustring.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace claimcheck::corpus {

struct Patent {
    std::string number;
    std::u16string claims;
    std::u16string description;
};

inline std::u16string FromUtf8(const std::string& bytes) {
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = 0;
    u_strFromUTF8(nullptr, 0, &length, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (status != U_BUFFER_OVERFLOW_ERROR && U_FAILURE(status)) {
        throw std::runtime_error("invalid UTF-8");
    }
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    status = U_ZERO_ERROR;
    u_strFromUTF8(text.data(), length, nullptr, bytes.data(), static_cast<int32_t>(bytes.size()), &status);
    if (U_FAILURE(status)) {
        throw std::runtime_error("invalid UTF-8");
    }
    return text;
}

inline std::u16string readUtf8File(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return FromUtf8(bytes.str());
}

// The text as a Windows text box holds it: every LF preceded by a CR.
inline std::u16string withCrLf(std::u16string_view text) {
    std::u16string result;
    result.reserve(text.size() + text.size() / 16);
    for (const char16_t unit : text) {
        if (unit == u'\n') {
            result.push_back(u'\r');
        }
        result.push_back(unit);
    }
    return result;
}

// Every patent of the folder, ordered by number.
inline std::vector<Patent> loadAll(const std::filesystem::path& folder) {
    const std::string suffix = ".claims.txt";
    std::set<std::string> numbers;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (name.size() > suffix.size() && name.ends_with(suffix)) {
            numbers.insert(name.substr(0, name.size() - suffix.size()));
        }
    }
    std::vector<Patent> patents;
    for (const std::string& number : numbers) {
        patents.push_back(Patent{number, readUtf8File(folder / (number + ".claims.txt")),
                                 readUtf8File(folder / (number + ".description.txt"))});
    }
    return patents;
}

} // namespace claimcheck::corpus
