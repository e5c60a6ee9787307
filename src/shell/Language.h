#pragma once
// The language of the texts a player sees. The game's own texts (menu labels,
// level texts, messages) stay as they are inside the game, where labels are
// also keys; they are translated only where they are drawn, through the
// gettext catalogue "quibbleton". Text inside the game is Latin-1; the
// catalogue is asked for Latin-1.
//
// The language comes from LANGUAGE, LC_ALL, LC_MESSAGES and LANG as in every
// gettext program (LANGUAGE counts only when the locale is not C or POSIX),
// or from a code given on the command line, which overrides them. "C" or
// "POSIX" shows the texts as they are written in the game.

#include <string>

// Chooses the language once at start-up; overrideCode (e.g. "de", "en") may
// be null or empty. The catalogues are looked for beside the executable
// (locale/ in the run folder, or the installation's share/locale).
void initLanguage(const char* overrideCode);
// The same with the catalogue folder given (tests).
void initLanguageIn(const char* overrideCode, const std::string& localeDir);

// The text as the player sees it in the chosen language, Latin-1; the text
// itself when the catalogue has no translation. A label of the form
// "3 - Name" or " - Name" keeps its number and translates the name.
std::string tr(const std::string& text);

// The catalogue folder found beside the executable, or "" when there is none.
std::string findLocaleDir();
