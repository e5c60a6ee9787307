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
// "POSIX" shows the texts as they are written in the game; a language without
// a catalogue shows the English one.

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

// A message with numbers or names in it, put together in the player's
// language: the translation of format, filled in as by printf. Numbers with
// decimals go in as text made by formatDecimal. The result is no key: tr()
// leaves it as it is.
std::string trFormat(const char* format, ...) __attribute__((format(printf, 1, 2)));
// The same for a message about a count: the form of one or many that the
// language uses for n (the format still takes n among its arguments).
std::string trPlural(const char* one, const char* many, unsigned long n, ...)
    __attribute__((format(printf, 2, 4)));

// A number as the player reads it: `decimals` places after the language's
// decimal mark ("7,5" in German, "7.5" in English and the game's own texts);
// never "-0".
std::string formatDecimal(double value, int decimals);
// The language's decimal mark: ',' in German, '.' otherwise.
char decimalMark();

// The catalogue folder found beside the executable, or "" when there is none.
std::string findLocaleDir();
