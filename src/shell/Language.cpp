#include "shell/Language.h"

#include <libintl.h>
#include <limits.h>
#include <locale.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "shell/Log.h"

// gettext remembers the translations it found; a new choice must forget them.
extern "C" int _nl_msg_cat_cntr;

namespace {

const char* const kDomain = "quibbleton";
// The catalogue for every language the game has none for.
const char* const kFallback = "en";

bool isSourceLocale(const std::string& name) { return name.empty() || name == "C" || name == "POSIX"; }

std::string env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// The language list gettext should follow, or "" for the texts as written.
std::string wantedLanguages(const char* overrideCode) {
    if (overrideCode && *overrideCode)
        return isSourceLocale(overrideCode) ? "" : overrideCode;
    std::string locale = env("LC_ALL");
    if (locale.empty())
        locale = env("LC_MESSAGES");
    if (locale.empty())
        locale = env("LANG");
    if (isSourceLocale(locale))
        return "";
    std::string languages = env("LANGUAGE");
    return languages.empty() ? locale : languages;
}

// The language of the catalogue that answers, from its header ("" for none).
std::string answeringLanguage() {
    const char* header = dgettext(kDomain, "");
    const char* field = header ? std::strstr(header, "Language: ") : nullptr;
    if (!field)
        return "";
    field += std::strlen("Language: ");
    return std::string(field, std::strcspn(field, "\n"));
}

std::string vformat(const std::string& format, va_list args) {
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, format.c_str(), args);
    std::string text(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0)
        std::vsnprintf(&text[0], text.size() + 1, format.c_str(), again);
    va_end(again);
    return text;
}

// The catalogues are UTF-8 and keyed by UTF-8: the key goes out as UTF-8,
// the translation comes back in Latin-1 (bind_textdomain_codeset).
std::string translated(const std::string& text) {
    const std::string key = latin1ToUtf8(text);
    const char* result = dgettext(kDomain, key.c_str());
    return result && result != key.c_str() ? result : text;
}

} // namespace

std::string findLocaleDir() {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return "";
    exe[n] = '\0';
    namespace fs = std::filesystem;
    const fs::path dir = fs::path(exe).parent_path();
    // The run folder keeps locale/ beside the binary; an installed game finds
    // share/locale by the path from its own folder.
    for (const fs::path& candidate : {dir / "locale", dir / QBN_LOCALE_FROM_GAME}) {
        std::error_code error;
        if (fs::is_directory(candidate, error))
            return fs::weakly_canonical(candidate, error).string();
    }
    return "";
}

void initLanguage(const char* overrideCode) { initLanguageIn(overrideCode, findLocaleDir()); }

void initLanguageIn(const char* overrideCode, const std::string& localeDir) {
    std::string languages = wantedLanguages(overrideCode);
    if (languages.empty()) {
        // The texts as the game writes them, also after another choice.
        unsetenv("LANGUAGE");
        setlocale(LC_MESSAGES, "C");
        ++_nl_msg_cat_cntr;
        log(LOG_INFO, "Language: the game's own texts\n");
        return;
    }
    // English for a language without a catalogue, not the game's mixed texts.
    const std::string wanted = languages;
    if ((":" + languages + ":").find(std::string(":") + kFallback + ":") == std::string::npos)
        languages += std::string(":") + kFallback;
    setenv("LANGUAGE", languages.c_str(), 1);
    ++_nl_msg_cat_cntr;
    // gettext ignores LANGUAGE in the C locale, and a locale the system does
    // not have falls back to C: C.UTF-8 always exists and is not C to it.
    // Only the messages change; numbers keep their C format.
    const char* locale = setlocale(LC_MESSAGES, "");
    if (!locale || isSourceLocale(locale))
        setlocale(LC_MESSAGES, "C.UTF-8");
    if (!localeDir.empty())
        bindtextdomain(kDomain, localeDir.c_str());
    bind_textdomain_codeset(kDomain, "ISO-8859-1");
    // The catalogue that answers for its own header is the one shown.
    const std::string shown = answeringLanguage();
    log(LOG_INFO, "Language: %s, shown in %s (catalogues in \"%s\")\n", wanted.c_str(),
        shown.empty() ? "the game's own texts: no catalogue found" : shown.c_str(), localeDir.c_str());
}

std::string trFormat(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::string text = vformat(translated(format), args);
    va_end(args);
    return text;
}

std::string trPlural(const char* one, const char* many, unsigned long n, ...) {
    const std::string oneKey = latin1ToUtf8(one), manyKey = latin1ToUtf8(many);
    const char* form = dngettext(kDomain, oneKey.c_str(), manyKey.c_str(), n);
    // Without a translation gettext hands back one of the keys (UTF-8).
    const std::string chosen = form == oneKey.c_str() ? one : form == manyKey.c_str() ? many : form;
    va_list args;
    va_start(args, n);
    std::string text = vformat(chosen, args);
    va_end(args);
    return text;
}

std::string formatDecimal(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals < 0 ? 0 : decimals, value);
    std::string result = text;
    if (result.find_first_not_of("-0.") == std::string::npos && result[0] == '-')
        result.erase(0, 1);
    const size_t point = result.find('.');
    if (point != std::string::npos)
        result[point] = decimalMark();
    return result;
}

// The catalogue's own header names its language; German writes a comma.
char decimalMark() { return answeringLanguage().rfind("de", 0) == 0 ? ',' : '.'; }

std::string tr(const std::string& text) {
    if (text.empty())
        return text;
    std::string result = translated(text);
    if (result != text)
        return result;
    // "3 - Gravity", " - Gravity": the number stays, the name is translated.
    const size_t dash = text.find(" - ");
    if (dash == std::string::npos || text.find_first_not_of("0123456789") != dash)
        return text;
    const std::string name = text.substr(dash + 3);
    return name.empty() ? text : text.substr(0, dash + 3) + translated(name);
}
