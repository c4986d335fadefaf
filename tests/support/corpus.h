#pragma once

// The real patents in tests/data/patents/: each is a pair of UTF-8 files <number>.claims.txt and
// <number>.description.txt with LF line ends. Shared by the tests and the benchmarks.

#include <unicode/ustring.h>

#include <filesystem>
#include <fstream>
#include <iterator>
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

inline std::u16string fromUtf8(const std::string& bytes) {
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
    return fromUtf8(bytes.str());
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

// The numbers of the patents in the folder, ordered. Listed here rather than read from the folder, so that the
// tests' names are known without reading any file, and a missing file fails its own test instead of the build.
inline const std::vector<std::string>& numbers() {
    static const std::vector<std::string> listed{"EP1000000", "EP3882239", "EP3882354", "US3937375",
                                                 "US4347903", "US6859910", "US7272630", "WO2018148832"};
    return listed;
}

// Every listed patent, read from the folder, ordered by number.
inline std::vector<Patent> loadAll(const std::filesystem::path& folder) {
    std::vector<Patent> patents;
    for (const std::string& number : numbers()) {
        patents.push_back(Patent{number, readUtf8File(folder / (number + ".claims.txt")),
                                 readUtf8File(folder / (number + ".description.txt"))});
    }
    return patents;
}

} // namespace claimcheck::corpus
