#include "stavik/TypeLibrary.h"

#include <algorithm>
#include <cctype>

namespace stavik {
namespace {

bool sameNameNoCase(std::string_view a, std::string_view b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

const PropertyInfo* findProperty(DispId id)
{
    if (id == dispid::Value) {
        id = toDispId(StavikProperty::Port);
    }
    const auto it = std::find_if(
        kStavikProperties.begin(), kStavikProperties.end(), [id](const PropertyInfo& p) { return p.id == id; });
    return it == kStavikProperties.end() ? nullptr : &*it;
}

std::optional<DispId> findMember(std::string_view name)
{
    for (const PropertyInfo& p : kStavikProperties) {
        if (sameNameNoCase(p.name, name)) {
            return p.id;
        }
    }
    for (const MethodInfo& m : kStavikMethods) {
        if (sameNameNoCase(m.name, name)) {
            return m.id;
        }
    }
    return std::nullopt;
}

} // namespace stavik
