// Text for the pages the export library writes (the gallery, the diff page).
#pragma once

#include <string>
#include <string_view>

// Text from the game or the file system, safe in HTML text and in quoted attributes.
std::string EscapedHtml(std::string_view text);
