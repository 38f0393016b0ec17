// What the help text of every build is, whatever its system's passages say: six sections under
// indented headings, each followed by an empty line; about a hundred lines of at most 105
// characters, each ended by CR LF; about 4,800 characters in all.
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace fixtures {

// The text's lines without their CR LF; a last line without one fails the test.
inline std::vector<std::string> CrLfLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
        if (end == std::string::npos) {
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// `chars` counts the characters of a piece of the text as the build shows it.
inline void ExpectHelpTextShape(const std::string& text,
                                const std::function<std::size_t(const std::string&)>& chars) {
    const auto lines = CrLfLines(text);
    EXPECT_GE(lines.size(), 85u);
    EXPECT_LE(lines.size(), 115u);
    EXPECT_NEAR(static_cast<double>(chars(text)), 4800.0, 400.0);
    const std::vector<std::string> headings{
        "--- Program Purpose ---",
        "--- If you want to test your CD-ROM drive performance ---",
        "--- If you want to check new or questionable disk ---",
        "--- Program Options ---",
        "--- Notes ---",
        "--- Program Status & Distribution ---"};
    std::vector<std::string> found;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_LE(chars(lines[i]), 105u) << lines[i];
        const auto first = lines[i].find_first_not_of(' ');
        if (first != std::string::npos && lines[i].compare(first, 4, "--- ") == 0) {
            found.push_back(lines[i].substr(first));
            EXPECT_GT(first, 0u) << "headings are indented";
            ASSERT_LT(i + 1, lines.size());
            EXPECT_TRUE(lines[i + 1].empty()) << "a heading is followed by an empty line";
        }
    }
    EXPECT_EQ(found, headings);
    EXPECT_EQ(text.find('"'), std::string::npos) << "typographic quotes only";
}

}  // namespace fixtures
