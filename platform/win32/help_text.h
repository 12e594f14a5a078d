// The help pages as the plain text that the Windows build's help window shows.
#pragma once

#include <string>

// The page as plain text with CR LF line ends: blocks on lines of their own, list items marked,
// table cells apart by tabs, entities decoded.
std::string HelpPlainText(const std::string& html);
