// Whether the environment's character type is UTF-8: the exact forms are then written with √,
// π and − (U+2212), and in ASCII otherwise. Asked once, at start, by main. One file per
// platform: character_encoding_posix.cpp asks nl_langinfo(CODESET) under the environment's
// LC_CTYPE and leaves the program's own locale as it was; character_encoding_windows.cpp says
// no (a console's code page is not UTF-8 unless set so).
#pragma once

// True when LC_ALL, LC_CTYPE or LANG make the character type UTF-8.
bool character_type_is_utf8();
