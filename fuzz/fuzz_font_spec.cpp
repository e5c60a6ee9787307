// Fuzz target for font specs ("Face Size Weight"): the input is a spec. A
// spec that parses must parse again to the same font once written out
// plainly; one that does not must leave the result alone.

#include "FuzzSupport.h"
#include "resources/LoaderGLFont.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) { return 0; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using qbnfuzz::check;
    NSLoader::FontSpec spec;
    spec.face = "untouched";
    if (!NSLoader::parseFontSpec(std::string(reinterpret_cast<const char*>(data), size), spec)) {
        check(spec.face == "untouched" && spec.size == 0 && spec.weight == 0, "a failed parse changed the result");
        return 0;
    }
    check(!spec.face.empty() && spec.face.front() != ' ' && spec.face.back() != ' ', "face with blanks at its ends");
    NSLoader::FontSpec again;
    check(NSLoader::parseFontSpec(spec.face + " " + std::to_string(spec.size) + " " + std::to_string(spec.weight),
                                  again) &&
              again.face == spec.face && again.size == spec.size && again.weight == spec.weight,
          "a parsed spec does not parse again the same");
    return 0;
}
