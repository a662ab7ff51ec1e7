#include "units/DefinitionText.h"

#include <cmath>
#include <cstdlib>
#include <limits>

#include "base/TextCase.h"
#include "base/Windows1252.h"

namespace kloxmere {

namespace {

std::string_view trimBlanks(std::string_view text) {
    std::size_t begin = text.find_first_not_of(' ');
    if (begin == std::string_view::npos) return {};
    std::size_t end = text.find_last_not_of(' ');
    return text.substr(begin, end - begin + 1);
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

}  // namespace

namespace {

DefinitionLine splitAt(std::string_view line, std::size_t equals, std::size_t semicolon) {
    if (equals == std::string_view::npos) return {};
    DefinitionLine result;
    result.key = trimBlanks(line.substr(0, equals));
    if (semicolon == std::string_view::npos) {
        result.value = trimBlanks(line.substr(equals + 1));
    } else if (semicolon > equals) {
        result.value = trimBlanks(line.substr(equals + 1, semicolon - equals - 1));
    }
    return result;
}

}  // namespace

DefinitionLine CleanedLine::split() const {
    return splitAt(text, equals, semicolon);
}

DefinitionLine SplitDefinitionLine(std::string_view line) {
    return splitAt(line, line.find('='), line.find(';'));
}

void detail::CleanInnerControls(std::string_view raw, std::string& scratch, CleanedLine& line) {
    scratch.clear();
    for (char c : raw) {
        if (c != '\0' && c != '\t') scratch.push_back(c);
    }
    line.text = trimBlanks(scratch);
    line.equals = line.text.find('=');
    line.semicolon = line.text.find(';');
    line.closeBracket = line.text.find(']');
}

void AssignWindows1252(CompactText& out, std::string_view bytes) {
    if (IsAscii(bytes)) {
        out.assign(bytes);
    } else {
        out = DecodeWindows1252(bytes);
    }
}

std::optional<std::int32_t> LeadingInteger(std::string_view text) {
    // Gather the number's characters; blanks between them are skipped.
    std::string number;
    std::size_t i = 0;
    auto skipBlanks = [&] {
        while (i < text.size() && isBlank(text[i])) ++i;
    };
    auto takeDigits = [&] {
        for (skipBlanks(); i < text.size() && isDigit(text[i]); skipBlanks()) number += text[i++];
    };
    skipBlanks();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) number += text[i++];
    takeDigits();
    if (i < text.size() && text[i] == '.') {
        number += text[i++];
        takeDigits();
    }
    bool hasMantissa = number.find_first_of("0123456789") != std::string::npos;
    if (hasMantissa && i < text.size() &&
        (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
        std::string exponent = "e";
        std::size_t mark = i++;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) exponent += text[i++];
        std::size_t digitsBefore = exponent.size();
        while (i < text.size() && isDigit(text[i])) exponent += text[i++];
        if (exponent.size() > digitsBefore) {
            number += exponent;
        } else {
            i = mark;
        }
    }
    if (!hasMantissa) return 0;
    double value = std::strtod(number.c_str(), nullptr);
    double rounded = std::nearbyint(value);  // the default rounding mode: halves to even
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::string RemovePreBlanks(std::string_view line) {
    if (!line.empty() && line.front() == '\t') line.remove_prefix(1);
    return std::string(trimBlanks(line));
}

}  // namespace kloxmere
