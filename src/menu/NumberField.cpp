#include "menu/NumberField.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "shell/Language.h"

namespace NSMenu {

namespace {

// A slider's fine keys move it a quarter of one of its 88 pixels.
constexpr float kFineStepsPerTrack = 88.0f * 4.0f;
constexpr int kMostPlaces = 3;
constexpr size_t kLongestText = 12;

double tenTo(int places) { return std::pow(10.0, places); }

} // namespace

void NumberField::setRange(float lo, float hi) {
    min = lo;
    max = hi;
}

int NumberField::places() const {
    if (readout.places >= 0)
        return readout.places;
    const double span = std::fabs(double(highest() - lowest()) * readout.scale);
    if (!(span > 0.0))
        return kMostPlaces;
    const int needed = int(std::ceil(std::log10(kFineStepsPerTrack / span) - 1e-9));
    return std::min(std::max(needed, 0), kMostPlaces);
}

std::string NumberField::shown(float value, int placesShown) const {
    return formatDecimal(double(value) * readout.scale, placesShown) + readout.unit;
}

std::string NumberField::format(float value) const { return shown(value, places()); }

std::string NumberField::format(float value, int width, const TextMeasure& measure) const {
    std::string result;
    for (int p = places(); p >= 0; --p) {
        result = shown(value, p);
        if (measure(result) <= width)
            break;
    }
    return result;
}

void NumberField::openWith(const std::string& shownText) {
    open = true;
    selected = true;
    typed = false;
    // The unit is not typed.
    text = shownText.substr(0, shownText.size() - std::min(shownText.size(), readout.unit.size()));
}

bool NumberField::type(int key) {
    const bool erase = key == 8 || key == 127;
    const bool digit = key >= '0' && key <= '9';
    const bool mark = key == '.' || key == ',';
    if (!erase && !digit && !mark && key != '-')
        return false;
    if (selected) {
        text.clear();
        selected = false;
    }
    typed = true;
    if (erase) {
        if (!text.empty())
            text.pop_back();
    } else if (text.size() >= kLongestText) {
        return true;
    } else if (key == '-') {
        if (text.empty())
            text = "-";
    } else if (mark) {
        if (places() > 0 && text.find_first_of(".,") == std::string::npos)
            text += (text.empty() || text == "-") ? std::string("0") + char(key) : std::string(1, char(key));
    } else {
        text += char(key);
    }
    return true;
}

NumberField::Typed NumberField::take(float& value) const {
    if (!typed)
        return Typed::Nothing;
    std::string plain = text;
    std::replace(plain.begin(), plain.end(), ',', '.');
    char* end = nullptr;
    const double number = std::strtod(plain.c_str(), &end);
    if (plain.empty() || plain == "-" || !end || *end || !std::isfinite(number))
        return Typed::NotANumber;
    const double scale = tenTo(places());
    const double rounded = std::round(number * scale) / scale;
    // The ends as shown (a range end of 1.502 shown as 1.5 still takes 1.5).
    const double slack = 0.5 / scale;
    if (rounded < double(lowest()) * readout.scale - slack || rounded > double(highest()) * readout.scale + slack)
        return Typed::OutOfRange;
    value = float(std::min(std::max(rounded / readout.scale, double(lowest())), double(highest())));
    return Typed::Taken;
}

std::string NumberField::outOfRange(const std::string& label) const {
    char line[200];
    std::snprintf(line, sizeof line, tr("%s: only from %s to %s").c_str(), tr(label).c_str(),
                  format(lowest()).c_str(), format(highest()).c_str());
    return line;
}

std::string NumberField::refused(const std::string& label, float value) const {
    char line[200];
    std::snprintf(line, sizeof line, tr("%s: %s does not fit here").c_str(), tr(label).c_str(), format(value).c_str());
    return line;
}

} // namespace NSMenu
