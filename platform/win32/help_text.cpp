// The help pages as the plain text that the Windows build's help window shows.
#include "help_text.h"

#include <cctype>

std::string HelpPlainText(const std::string& html) {
    std::string out;
    // A picture of a board's row: its cells stand side by side as on the board, where tabs
    // would spread them over more than the window's width.
    bool inGrid = false;
    // Japanese runs on across line breaks and marks list items with its own dot.
    const bool japanese = html.find("<html lang=\"ja\"") != std::string::npos;
    std::size_t i = html.find("<body");
    if (i == std::string::npos) i = 0;
    auto newline = [&out](int count) {
        while (!out.empty() && out.back() == ' ') out.pop_back();
        int have = 0;
        for (auto r = out.rbegin(); r != out.rend() && *r == '\n'; ++r) ++have;
        if (out.empty()) return;
        for (; have < count; ++have) out += '\n';
    };
    while (i < html.size()) {
        char c = html[i];
        if (c == '<') {
            std::size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            std::string tag;
            for (std::size_t j = i + 1; j < end && !std::isspace(static_cast<unsigned char>(html[j])); ++j)
                tag += static_cast<char>(std::tolower(static_cast<unsigned char>(html[j])));
            // The links to the previous and next pages: the list beside the text serves instead.
            if (tag == "p" && html.compare(i, end - i, "<p class=\"nav\"") == 0) {
                std::size_t close = html.find("</p>", end);
                i = close == std::string::npos ? html.size() : close + 4;
                continue;
            }
            if (tag == "table") {
                const std::string grid = "<table class=\"grid\"";
                inGrid = html.compare(i, grid.size(), grid) == 0;
            }
            if (tag == "h1" || tag == "h2" || tag == "h3" || tag == "p" || tag == "table" ||
                tag == "ol" || tag == "ul" || tag == "/h1" || tag == "/h2" || tag == "/h3" ||
                tag == "/p" || tag == "/table")
                newline(2);
            else if (tag == "br" || tag == "br/" || tag == "tr" || tag == "/li" || tag == "dt" || tag == "dd")
                newline(1);
            else if (tag == "li") {
                newline(1);
                out += japanese ? "・" : "• ";
            } else if ((tag == "td" || tag == "th") && !inGrid) {
                out += "\t";
            } else if (tag == "td" && !out.empty() && std::isalnum(static_cast<unsigned char>(out.back()))) {
                out += ' ';  // the clue numbers of a line, one apart from the next
            }
            i = end + 1;
        } else if (c == '&') {
            std::size_t end = html.find(';', i);
            std::string entity = end == std::string::npos ? "" : html.substr(i + 1, end - i - 1);
            if (entity == "amp") out += '&';
            else if (entity == "lt") out += '<';
            else if (entity == "gt") out += '>';
            else if (entity == "quot") out += '"';
            else if (entity == "nbsp") out += ' ';
            else out += '&', end = i;
            i = end + 1;
        } else if (c == '\r' || c == '\n' || c == '\t' || c == ' ') {
            // A line break between Japanese characters, or between the cells of a board's row, is
            // no space; one between words is.
            std::size_t next = html.find_first_not_of(" \t\r\n", i);
            const bool lineBreak = html.find('\n', i) < next;
            const bool wide = (!out.empty() && static_cast<unsigned char>(out.back()) >= 0x80) ||
                              (next != std::string::npos && static_cast<unsigned char>(html[next]) >= 0x80);
            if (!out.empty() && out.back() != ' ' && out.back() != '\n' && out.back() != '\t' &&
                !(lineBreak && wide && (japanese || inGrid)))
                out += ' ';
            i = next == std::string::npos ? html.size() : next;
        } else {
            out += c;
            ++i;
        }
    }
    newline(1);
    std::string crlf;
    for (char ch : out) {
        if (ch == '\n') crlf += '\r';
        crlf += ch;
    }
    return crlf;
}

