// The one narrow encoding a Windows program keeps its paths in, and the conversions to and
// from the UTF-16 that the wide Windows functions take. Each program links one definition of
// NarrowCodePage: DuzuRoro.exe the ANSI code page (ansi_code_page.cpp), as its open dialog
// and messages are ANSI; duzuroro-cli.exe UTF-8 (frontends/cli/windows_utf8.cpp), as on Linux.
#pragma once

#include <string>

unsigned NarrowCodePage();

// False when `text` is not valid in the narrow encoding.
bool ToWide(const std::string& text, std::wstring* wide);

// False when the narrow encoding cannot spell `wide` exactly. A name it can only approximate
// (a best-fit letter, a '?', a replacement character) would name another file, or none.
bool ToNarrow(const std::wstring& wide, std::string* text);
