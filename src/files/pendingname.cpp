#include "pendingname.h"

namespace corvane {

std::string pendingNameBeside(const std::string& targetName, const unsigned char* random,
                              size_t count) {
    std::string base = targetName;
    if (base.size() > 100) {
        size_t cut = 100;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
            --cut;  // keep whole UTF-8 characters
        base.resize(cut);
    }
    static const char kDigits[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_";
    std::string name = "." + base + ".";
    for (size_t i = 0; i < count; ++i)
        name += kDigits[random[i] & 63];
    return name;
}

}  // namespace corvane
